#include "world/decals/decal_work.h"

#include <cmath>

#include "core/assert.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "map/octree/octree.h"
#include "map/octree/octree_query.h"
#include "map/meshes/polygon_clip.h"
#include "map/registry/world_registry.h"
#include "scene/passes/decal_list.h"
#include "world/animation/anim_mesh.h"
#include "world/decals/decal.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

namespace decal_work {

namespace {
// Texture coordinates of the square's corners c0..c3.
const D3DXVECTOR2 kSquareTexCoords[4] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};

// A quad clipped by three planes keeps at most 7 vertices: a fan of 5 triangles.
constexpr u32_t kMaxClipTriangles = 5;
}  // namespace

DecalTriangles::DecalTriangles(u32_t triangleCapacity, bool withPerTriangle)
    : capacity(triangleCapacity), perTriangle(withPerTriangle)
{
    positions.resize(static_cast<size_t>(capacity) * 9);
    texCoords.resize(static_cast<size_t>(capacity) * 6);
    if (perTriangle) {
        meshes.resize(capacity);
        materials.resize(capacity);
    }
}

void DecalTriangles::AddClipped(const D3DXVECTOR3* face, const D3DXVECTOR3* square, const D3DXVECTOR3& push,
                                AnimFrameMesh* mesh, AnimMaterial* material)
{
    ENGINE_ASSERT(count + kMaxClipTriangles <= capacity);
    D3DXVECTOR3 clipped[kMaxClipTriangles * 3];
    D3DXVECTOR2 clippedCoords[kMaxClipTriangles * 3];
    const int made = ClipQuadToTrianglePrism(clipped, clippedCoords, face, square, kSquareTexCoords);
    for (int t = 0; t < made; ++t) {
        for (int c = 0; c < 3; ++c) {
            const D3DXVECTOR3 p = clipped[t * 3 + c] + push;
            float* out = &positions[(static_cast<size_t>(count) * 3 + c) * 3];
            out[0] = p.x;
            out[1] = p.y;
            out[2] = p.z;
            float* uv = &texCoords[(static_cast<size_t>(count) * 3 + c) * 2];
            uv[0] = clippedCoords[t * 3 + c].x;
            uv[1] = clippedCoords[t * 3 + c].y;
        }
        if (perTriangle) {
            meshes[count] = mesh;
            materials[count] = material;
        }
        ++count;
    }
}

IDirect3DTexture8* PickDecalTexture(IDirect3DTexture8* const* textures, u32_t count)
{
    return count && textures ? textures[static_cast<u32_t>(EngineRand()) % count] : nullptr;
}

namespace {

Decal* MakeEventDecal(const DecalTriangles& work, const DecalEvent& event, GraphNode* node)
{
    DecalInitParams params;
    params.vertices = work.positions.data();
    params.texCoords = work.texCoords.data();
    params.triangles = work.count;
    params.texture = PickDecalTexture(event.textures, event.textureCount);
    params.node = node;
    params.lifetimeMs = event.lifetime;
    params.attached = node != nullptr;
    if (node && work.perTriangle) {
        params.meshes = work.meshes.data();
        params.materials = work.materials.data();
    }
    Decal* decal = new Decal;
    decal->Init(params);
    decal->kind = event.kind;
    decal->centre = event.centre;
    decal->spacingRadius = event.spacingRadius;
    decal->lightTint = event.lightTint;
    decal->facesLight = event.facesLight;
    return decal;
}

}  // namespace

void AddNodeDecal(const DecalTriangles& work, const DecalEvent& event, GraphNode& node)
{
    node.AddDecal(MakeEventDecal(work, event, &node), event.spacingTest);
}

void AddWorldDecal(const DecalTriangles& work, const DecalEvent& event)
{
    DecalListAdd(MakeEventDecal(work, event, nullptr), event.spacingTest);
}

void SurfaceFrame(const D3DXVECTOR3& normal, D3DXVECTOR3* u, D3DXVECTOR3* v)
{
    const D3DXVECTOR3 reference = std::fabs(normal.z) >= 0.999f ? D3DXVECTOR3(0, 1, 0) : D3DXVECTOR3(0, 0, 1);
    D3DXVec3Cross(u, &reference, &normal);
    D3DXVec3Cross(v, &normal, u);
    D3DXVec3Normalize(u, u);
    D3DXVec3Normalize(v, v);
}

void RotateFrame(const D3DXVECTOR3& axis, float angle, D3DXVECTOR3* u, D3DXVECTOR3* v)
{
    D3DXMATRIX rotation;
    D3DXMatrixRotationAxis(&rotation, &axis, angle);
    D3DXVec3TransformNormal(u, u, &rotation);
    D3DXVec3TransformNormal(v, v, &rotation);
}

void SquareCorners(const D3DXVECTOR3& centre, const D3DXVECTOR3& u, const D3DXVECTOR3& v, float half,
                   D3DXVECTOR3* corners)
{
    corners[0] = centre + (-u - v) * half;
    corners[1] = centre + (u - v) * half;
    corners[2] = centre + (u + v) * half;
    corners[3] = centre + (v - u) * half;
}

float RandomBetween(float minimum, float maximum)
{
    return static_cast<float>(EngineRand()) / 32767.0f * (maximum - minimum) + minimum;
}

float RandomAngle()
{
    return static_cast<float>(EngineRand()) * 2.0f * D3DX_PI / 32767.0f;
}

u32_t RandomLifetime()
{
    return static_cast<u32_t>(EngineRand()) * 5000u / 32767u + 2000u;
}

void CollectDecalObjects(const float* worldBox, bool skipActors, const DynamicObject* skip, std::vector<GraphObj*>& out)
{
    out.clear();
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* object = objects[i];
        if (!object || object == skip || !object->IsCollidable() || object->name.IsEmpty())
            continue;
        if (skipActors && object->typeId == OBJECT_TYPE_ACTOR)
            continue;
        GraphObj* graphic = dynamic_cast<GraphObj*>(object);
        if (!graphic)
            continue;
        float bounds[6];
        object->GetGeometryBounds(bounds);
        bool overlaps = true;
        for (int axis = 0; axis < 3 && overlaps; ++axis)
            overlaps = bounds[axis] <= worldBox[axis + 3] && bounds[axis + 3] >= worldBox[axis];
        if (overlaps)
            out.push_back(graphic);
    }
}

void CollectMeshNodes(GraphNode* root, std::vector<GraphNode*>& out)
{
    out.clear();
    std::vector<GraphNode*> stack = {root};
    while (!stack.empty()) {
        GraphNode* node = stack.back();
        stack.pop_back();
        if (node->GetAnimMesh() && node->GetAnimMesh()->frames_c)
            out.push_back(node);
        for (s32_t i = 0; i < node->GetChildCount(); ++i)
            stack.push_back(node->GetChild(i));
    }
}

bool MeshTakesDecals(const GraphNode& node, const AnimMesh& mesh, u32_t m, const D3DXVECTOR3& boxMin,
                     const D3DXVECTOR3& boxMax)
{
    const AnimFrameMesh& frameMesh = mesh.frames[0].meshes[m];
    if (frameMesh.detailLevel != 0 && frameMesh.detailLevel != -1)
        return false;
    if (node.GetMeshSettings() && !MeshSettingsShows(node.GetMeshSettings()[m], 0))
        return false;
    if ((frameMesh.flags & ANIM_MESH_TAKES_DECALS) == 0)
        return false;
    const AnimVertexData* vertices = mesh.GetMeshVertices(0, m);
    return vertices->boxMin.x <= boxMax.x && vertices->boxMax.x >= boxMin.x && vertices->boxMin.y <= boxMax.y &&
           vertices->boxMax.y >= boxMin.y && vertices->boxMin.z <= boxMax.z && vertices->boxMax.z >= boxMin.z;
}

bool NodeSpace(GraphNode& node, D3DXMATRIX* world, D3DXMATRIX* inverse)
{
    node.UpdateTransform(world);
    return D3DXMatrixInverse(inverse, nullptr, world) != nullptr;
}

namespace {
std::vector<CollectedLeaf> g_leaves;
}  // namespace

int DecalCollectOctreeLeaf(OctreeNode* leaf, s32_t tileX, s32_t tileZ)
{
    g_leaves.push_back({leaf, (static_cast<u32_t>(tileX) & 0xFFFF) | (static_cast<u32_t>(tileZ) << 16)});
    return 0;
}

const std::vector<CollectedLeaf>& CollectOctreeLeaves(const float* worldBox)
{
    g_leaves.clear();
    OctreeQueryBox(worldBox, DecalCollectOctreeLeaf);
    return g_leaves;
}

u32_t LeafFaceCount(const CollectedLeaf& entry)
{
    return entry.leaf->geometry.faceCount;
}

bool LeafFace(const CollectedLeaf& entry, u32_t face, D3DXVECTOR3* out)
{
    const OctreeGeometry& geometry = entry.leaf->geometry;
    const float size = g_frameView.worldSize;
    const float dx = static_cast<float>(static_cast<s16_t>(entry.tiles & 0xFFFF)) * size;
    const float dz = static_cast<float>(static_cast<s16_t>(entry.tiles >> 16)) * size;
    for (int c = 0; c < 3; ++c) {
        const u16_t index = geometry.faces[face].indices[c];
        if (index >= geometry.vertexCount)
            return false;
        const Vector3& p = geometry.vertices[index].position;
        out[c] = D3DXVECTOR3(p.x + dx, p.y, p.z + dz);
    }
    return true;
}

}  // namespace decal_work
