// Ray traces through a graphic node's tree: the ray is taken into each node's space, tested against
// the faces of the node's selected meshes at the node's whole frame, and the nearest hit is given
// back in world space with its triangle, point, normal, texture coordinates and material.
#include "world/nodes/mesh_trace.h"

#include <cmath>

#include "core/assert.h"
#include "core/vector_d3dx.h"
#include "map/terrain/map_grid.h"
#include "map/materials/material_table.h"
#include "platform/d3dx8_math.h"
#include "render/textures/texture_manager.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/mesh_selection.h"
#include "world/nodes/object_trace.h"

namespace {

constexpr float kNormalScale = 0.007874016f;  // a packed normal component is byte / 127

Vector3 FromD3DX(const D3DXVECTOR3& v)
{
    return {v.x, v.y, v.z};
}

D3DXVECTOR2 TexCoord(const AnimTexCoords* texCoords, u16_t index)
{
    if (!texCoords || !texCoords->uv || index >= texCoords->count)
        return D3DXVECTOR2(0.0f, 0.0f);
    const float* uv = texCoords->uv + static_cast<size_t>(index) * 2;
    return D3DXVECTOR2(uv[0], uv[1]);
}

// The texture coordinates at barycentric (u, v) of the face, each wrapped into [0, 1).
D3DXVECTOR2 FaceTexCoord(const AnimTexCoords* texCoords, const u16_t* corners, float u, float v)
{
    const D3DXVECTOR2 a = TexCoord(texCoords, corners[0]);
    const D3DXVECTOR2 b = TexCoord(texCoords, corners[1]);
    const D3DXVECTOR2 c = TexCoord(texCoords, corners[2]);
    D3DXVECTOR2 at;
    D3DXVec2BaryCentric(&at, &a, &b, &c, u, v);
    return D3DXVECTOR2(WrapTexCoord(at.x), WrapTexCoord(at.y));
}

s32_t TraceMeshFaces(const AnimMesh* mesh, u32_t meshIndex, u32_t frame, const MapGrid* alphaMap, u8_t threshold,
                     const Vector3& origin, const Vector3& direction, float* bestDistance, float* barycentric)
{
    const AnimVertexData* vertices = mesh->GetMeshVertices(frame, meshIndex);
    const AnimFaces* faces = mesh->GetMeshFaces(frame, meshIndex);
    if (!vertices || !faces || !vertices->positions || !faces->indices)
        return -1;
    const D3DXVECTOR3 rayOrigin = ToD3DX(origin);
    const D3DXVECTOR3 rayDirection = ToD3DX(direction);
    const D3DXVECTOR3 boxMin = ToD3DX(vertices->boxMin);
    const D3DXVECTOR3 boxMax = ToD3DX(vertices->boxMax);
    if (!D3DXBoxBoundProbe(&boxMin, &boxMax, &rayOrigin, &rayDirection))
        return -1;
    const bool twoSided = (mesh->GetMeshTextureRef(frame, meshIndex)->textureWord & ANIM_TEXTURE_TWO_SIDED) != 0;
    const AnimTexCoords* texCoords = alphaMap ? mesh->GetMeshTexCoords(frame, meshIndex) : nullptr;
    s32_t result = -1;
    for (u32_t f = 0; f < faces->count; ++f) {
        const u16_t* corners = faces->indices + static_cast<size_t>(f) * 3;
        if (!vertices->HoldsFace(corners))
            continue;
        const D3DXVECTOR3 a = ToD3DX(vertices->Position(corners[0]));
        const D3DXVECTOR3 b = ToD3DX(vertices->Position(corners[1]));
        const D3DXVECTOR3 c = ToD3DX(vertices->Position(corners[2]));
        if (!twoSided) {
            // The front is the side from which the corners run counter-clockwise, as the mesh
            // passes draw it: the plane of (a, c, b).
            D3DXPLANE plane;
            D3DXPlaneFromPoints(&plane, &a, &c, &b);
            const D3DXVECTOR3 normal(plane.a, plane.b, plane.c);
            if (D3DXVec3Dot(&normal, &rayDirection) > 0.0f || D3DXPlaneDotCoord(&plane, &rayOrigin) < 0.0f)
                continue;
        }
        float u = 0.0f, v = 0.0f, distance = 0.0f;
        if (!D3DXIntersectTri(&a, &b, &c, &rayOrigin, &rayDirection, &u, &v, &distance) || !(distance < *bestDistance))
            continue;
        if (alphaMap) {
            const D3DXVECTOR2 st = FaceTexCoord(texCoords, corners, u, v);
            const u32_t size = alphaMap->size;
            u32_t x = static_cast<u32_t>(st.x * static_cast<float>(size));
            u32_t y = static_cast<u32_t>(st.y * static_cast<float>(size));
            if (x > size - 1)
                x = size - 1;
            if (y > size - 1)
                y = size - 1;
            ENGINE_ASSERT_TEXT((x < size) && (y < size), "(x < size) && (y < size)");
            if (alphaMap->data[static_cast<size_t>(y) * size + x] < threshold)
                continue;  // a see-through texel: the ray passes on
        }
        *bestDistance = distance;
        barycentric[0] = u;
        barycentric[1] = v;
        result = static_cast<s32_t>(f);
    }
    return result;
}

}  // namespace

float WrapTexCoord(float value)
{
    float wrapped = std::fmod(value, 1.0f);
    if (wrapped < 0.0f)
        wrapped += 1.0f;
    // A tiny negative value wraps to 1.0 in float arithmetic; [0, 1) keeps 0 instead.
    return wrapped < 1.0f ? wrapped : 0.0f;
}

s32_t MeshTraceRay(const AnimMesh* mesh, u32_t meshIndex, u32_t frame, const Vector3& origin, const Vector3& direction,
                   float* bestDistance, float* barycentric)
{
    return TraceMeshFaces(mesh, meshIndex, frame, nullptr, 0, origin, direction, bestDistance, barycentric);
}

s32_t MeshTraceRayGrid(const AnimMesh* mesh, u32_t meshIndex, u32_t frame, const MapGrid* alphaMap, u8_t threshold,
                       const Vector3& origin, const Vector3& direction, float* bestDistance, float* barycentric)
{
    // A grid without texels lets nothing through: the plain test.
    const MapGrid* grid = alphaMap && alphaMap->data && alphaMap->size ? alphaMap : nullptr;
    return TraceMeshFaces(mesh, meshIndex, frame, grid, threshold, origin, direction, bestDistance, barycentric);
}

u32_t GraphNode::WholeFrame() const
{
    if (!animMesh || animMesh->frames_c <= 1 || !std::isfinite(frame))
        return 0;
    const s32_t period = static_cast<s32_t>(animMesh->frames_c - 1);
    // Truncated toward zero; far-out frames are reduced before the conversion.
    s32_t whole = static_cast<s32_t>(std::fmod(std::trunc(frame), static_cast<float>(period)));
    whole %= period;
    if (whole < 0)
        whole += period;
    return static_cast<u32_t>(whole);
}

void GraphNode::FillTraceHit(u32_t meshIndex, u32_t frameIndex, u32_t face, const D3DXMATRIX& world,
                             IDirect3DTexture8* texture, Material* material, const float* barycentric,
                             const Vector3& origin, const Vector3& direction, float distance,
                             ObjectTraceBlock* record) const
{
    const AnimVertexData* vertices = animMesh->GetMeshVertices(frameIndex, meshIndex);
    const AnimFaces* faces = animMesh->GetMeshFaces(frameIndex, meshIndex);
    const u16_t* corners = faces->indices + static_cast<size_t>(face) * 3;
    const float u = barycentric[0];
    const float v = barycentric[1];
    for (int k = 0; k < 3; ++k) {
        const D3DXVECTOR3 local = ToD3DX(vertices->Position(corners[k]));
        D3DXVECTOR3 placed;
        D3DXVec3TransformCoord(&placed, &local, &world);
        record->objTriangle[k] = FromD3DX(placed);
    }
    const D3DXVECTOR2 st = FaceTexCoord(animMesh->GetMeshTexCoords(frameIndex, meshIndex), corners, u, v);
    record->objTexCoord[0] = st.x;
    record->objTexCoord[1] = st.y;
    record->objHitPoint = {origin.x + direction.x * distance, origin.y + direction.y * distance,
                           origin.z + direction.z * distance};
    record->objFaceIndex = face;
    record->objMeshIndex = meshIndex;
    if (record->objOptions & OBJTRACE_NORMAL) {
        D3DXVECTOR3 n[3];
        for (int k = 0; k < 3; ++k) {
            const s8_t* packed = vertices->normals ? vertices->normals + static_cast<size_t>(corners[k]) * 3 : nullptr;
            n[k] = packed ? D3DXVECTOR3(packed[0] * kNormalScale, packed[1] * kNormalScale, packed[2] * kNormalScale)
                          : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        }
        D3DXVECTOR3 normal = n[0] + n[1] * u + n[2] * v;
        D3DXVec3Normalize(&normal, &normal);
        D3DXVECTOR3 turned;
        D3DXVec3TransformNormal(&turned, &normal, &world);
        D3DXVec3Normalize(&turned, &turned);
        const bool twoSided =
            (animMesh->GetMeshTextureRef(frameIndex, meshIndex)->textureWord & ANIM_TEXTURE_TWO_SIDED) != 0;
        const D3DXVECTOR3 ray = ToD3DX(direction);
        if (twoSided && D3DXVec3Dot(&turned, &ray) > 0.0f)
            turned = -turned;
        record->objNormal = FromD3DX(turned);
    }
    if (record->objOptions & OBJTRACE_MATERIAL) {
        TextureGetFileName(texture, record->objTextureName);
        record->objMaterial = MaterialRefineByRegion(material, record->objTextureName, st.x, st.y);
    }
}

float GraphNode::TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* record, s32_t lodStep)
{
    // The subtree of an excluded node (a weapon in an actor's hand) contributes no hit.
    if (traceExcluded)
        return record->objDistance;
    float best = OBJTRACE_NO_HIT;
    const u32_t options = record->objOptions;
    if (animMesh && animMesh->frames_c) {
        const u32_t frameIndex = WholeFrame();
        const AnimFrame& shown = animMesh->frames[frameIndex];
        const u32_t meshCount = FrameZeroMeshCount() < shown.meshes_c ? FrameZeroMeshCount() : shown.meshes_c;
        bool haveLocalRay = false;
        D3DXMATRIX world;
        Vector3 localOrigin, localDirection;
        s32_t hitMesh = -1, hitFace = -1;
        Material* hitMaterial = nullptr;
        float hitBarycentric[2] = {0.0f, 0.0f};
        for (u32_t i = 0; i < meshCount; ++i) {
            Material* material = nullptr;
            if (!MeshSelectedForTest(*this, i, shown.meshes[i], lodStep, MESH_TEST_TRACE, options, &material))
                continue;
            if (!haveLocalRay) {
                // Once per node: the world matrix and the ray in the node's space. The direction is
                // not renormalised, so distances stay ray parameters of the world ray.
                UpdateTransform(&world);
                D3DXMATRIX inverse;
                D3DXMatrixInverse(&inverse, nullptr, &world);
                const D3DXVECTOR3 o = ToD3DX(origin), d = ToD3DX(direction);
                D3DXVECTOR3 lo, ld;
                D3DXVec3TransformCoord(&lo, &o, &inverse);
                D3DXVec3TransformNormal(&ld, &d, &inverse);
                localOrigin = FromD3DX(lo);
                localDirection = FromD3DX(ld);
                haveLocalRay = true;
            }
            IDirect3DTexture8* texture = meshTextures ? meshTextures[i] : nullptr;
            const MapGrid* alphaMap = nullptr;
            const bool exempt = (options & OBJTRACE_ALPHA_EXEMPT) && meshSettings && meshSettings[i].groundClip;
            if ((options & OBJTRACE_ALPHA) && !exempt)
                alphaMap = TextureGetAlphaMap(texture);
            float barycentric[2];
            const s32_t face =
                alphaMap ? MeshTraceRayGrid(animMesh, i, frameIndex, alphaMap, record->objAlphaThreshold, localOrigin,
                                            localDirection, &best, barycentric)
                         : MeshTraceRay(animMesh, i, frameIndex, localOrigin, localDirection, &best, barycentric);
            if (face != -1) {
                hitMesh = static_cast<s32_t>(i);
                hitFace = face;
                hitMaterial = material;
                hitBarycentric[0] = barycentric[0];
                hitBarycentric[1] = barycentric[1];
            }
        }
        if (hitMesh != -1) {
            IDirect3DTexture8* texture = meshTextures ? meshTextures[hitMesh] : nullptr;
            FillTraceHit(static_cast<u32_t>(hitMesh), frameIndex, static_cast<u32_t>(hitFace), world, texture,
                         hitMaterial, hitBarycentric, origin, direction, best, record);
        }
    }
    record->objOrigin = origin;
    record->objDirection = direction;
    record->objHitNode = this;
    record->objDistance = best;
    for (u32_t c = 0; c < childCount; ++c) {
        ObjectTraceBlock scratch{};
        scratch.objOptions = record->objOptions;
        scratch.objAlphaThreshold = record->objAlphaThreshold;
        scratch.objOrigin = origin;
        scratch.objDirection = direction;
        scratch.objDistance = OBJTRACE_NO_HIT;
        const float childBest = children[c]->TraceRay(origin, direction, &scratch, lodStep);
        if (childBest < best) {
            best = childBest;
            *record = scratch;
        }
    }
    return best;
}
