// Walks of a graphic object's node tree for other parts of the program: the world-space geometry of
// the visible meshes, the flagged mesh's texture and the node and mesh of a mesh name.
#include "world/nodes/geometry_enum.h"

#include <cstring>

#include "core/log.h"
#include "platform/d3dx8_math.h"
#include "world/animation/anim_frame_position.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"
#include "world/nodes/node_walk.h"

namespace {

// Where the vertices of the enumerated meshes come from and how they are blended: vertex i is
// first's vertex x firstWeight + second's vertex x secondWeight.
struct FramePair {
    const AnimMesh* firstMesh;
    u32_t first;
    const AnimMesh* secondMesh;
    u32_t second;
    float firstWeight;
    float secondWeight;
};

FramePair FramesToBlend(GraphNode& node)
{
    AnimMesh* current = node.GetAnimMesh();
    AnimMesh* source = node.GetBlendSourceAnim();
    if (source && source->frames_c > 0) {
        // The old mesh stays at the frame it had at the switch; the new one starts at frame 0.
        const float weight = node.GetBlendWeight();
        return {source, AnimFrameAt(source, node.GetBlendSourceFrame()).index, current, 0, 1.0f - weight, weight};
    }
    const AnimFramePosition at = AnimFrameAt(current, node.GetFrame());
    return {current, at.index, current, at.next, 1.0f - at.fraction, at.fraction};
}

// The same vertex block in the second frame, when it matches the first one vertex for vertex.
const AnimVertexData* MatchingVertices(const FramePair& frames, u32_t mesh, const AnimVertexData& first)
{
    if (frames.second >= frames.secondMesh->frames_c || mesh >= frames.secondMesh->frames[frames.second].meshes_c)
        return nullptr;
    const AnimVertexData* second = frames.secondMesh->GetMeshVertices(frames.second, mesh);
    return second && second->positions && second->count == first.count ? second : nullptr;
}

}  // namespace

bool GraphObj::EnumGeometry(GeometryEnumCallback callback, GeometryEnumData* data)
{
    EnumNodeGeometry(root, callback, data);
    return true;
}

void GraphObj::EnumNodeGeometry(GraphNode* node, GeometryEnumCallback callback, GeometryEnumData* data)
{
    if (!node)
        return;
    AnimMesh* current = node->GetAnimMesh();
    if (current && current->frames_c > 0) {
        D3DXMATRIX world;
        node->UpdateTransform(&world);
        const FramePair frames = FramesToBlend(*node);
        const AnimFrame& shown = frames.firstMesh->frames[frames.first];
        // The node's per-mesh settings follow the current mesh's frame-0 list.
        const u32_t zeroCount = node->FrameZeroMeshCount();
        const u32_t count = shown.meshes_c < zeroCount ? shown.meshes_c : zeroCount;
        const u32_t step = lodLevel < GRAPH_NODE_LOD_STEPS ? lodLevel : 0;
        for (u32_t i = 0; i < count; ++i) {
            const AnimFrameMesh& record = shown.meshes[i];
            if (record.detailLevel != -1 && record.detailLevel != static_cast<s32_t>(lodLevel))
                continue;
            u32_t mode = MESH_MODE_DEFAULT;
            if (const MeshSettings* settings = node->GetMeshSettings()) {
                mode = settings[i].ModeAt(step);
                if (!(mode & MESH_MODE_DRAWN) || (mode & MESH_MODE_NO_ENUM) || settings[i].HiddenAt(step))
                    continue;
            }
            if (!(record.flags & MESH_MODE_DRAWN) || (record.flags & ANIM_MESH_FLAGGED_TEXTURE))
                continue;
            const AnimVertexData* first = frames.firstMesh->GetMeshVertices(frames.first, i);
            const AnimFaces* faces = frames.firstMesh->GetMeshFaces(frames.first, i);
            if (!first || !first->positions || !faces || (faces->count && !faces->indices))
                continue;
            if (GeometryEnumBytes(first->count, faces->count) >= data->workBufferSize) {
                Log("WARNING: Mesh %s of GOBJ %s does not fit the geometry work buffer (%u bytes), left out\n",
                    frames.firstMesh->MeshName(record), name.Text(), data->workBufferSize);
                continue;
            }
            const AnimVertexData* second = MatchingVertices(frames, i, *first);
            float* out = reinterpret_cast<float*>(data->workBuffer);
            for (u32_t v = 0; v < first->count; ++v) {
                const float* a = first->positions + static_cast<size_t>(v) * 3;
                D3DXVECTOR3 local(a[0], a[1], a[2]);
                if (second) {
                    const float* b = second->positions + static_cast<size_t>(v) * 3;
                    local = D3DXVECTOR3(a[0], a[1], a[2]) * frames.firstWeight +
                            D3DXVECTOR3(b[0], b[1], b[2]) * frames.secondWeight;
                }
                D3DXVECTOR3 placed;
                D3DXVec3TransformCoord(&placed, &local, &world);
                out[v * 3] = placed.x;
                out[v * 3 + 1] = placed.y;
                out[v * 3 + 2] = placed.z;
            }
            data->vertices = out;
            data->vertexCount = first->count;
            data->faces = reinterpret_cast<u16_t*>(data->workBuffer + static_cast<size_t>(first->count) * 12);
            if (faces->count)
                std::memcpy(data->faces, faces->indices, static_cast<size_t>(faces->count) * 6);
            data->faceCount = faces->count;
            data->faceExtra = faces->neighbours;
            data->meshFlags = mode;
            data->meshIndex = i;
            const MeshSettings* settings = node->GetMeshSettings();
            data->shadowLength =
                settings && settings[i].shadowLength != 0.0f ? settings[i].shadowLength : node->GetShadowLength();
            data->node = node;
            callback(data);
        }
    }
    for (s32_t c = 0; c < node->GetChildCount(); ++c)
        EnumNodeGeometry(node->GetChild(c), callback, data);
}

IDirect3DTexture8* GraphObj::FindFlaggedMeshTexture()
{
    IDirect3DTexture8* texture = nullptr;
    WalkNodeTree(root, [&](GraphNode* node) {
        const AnimMesh* mesh = node->GetAnimMesh();
        const u32_t count = node->FrameZeroMeshCount();
        for (u32_t i = 0; mesh && i < count; ++i) {
            if (mesh->frames[0].meshes[i].flags & ANIM_MESH_FLAGGED_TEXTURE) {
                texture = node->GetMeshTextures() ? node->GetMeshTextures()[i] : nullptr;
                return true;
            }
        }
        return false;
    });
    return texture;
}

bool GraphObjFindNodeMeshAtFrame(const GraphObj* object, GraphNode** nodeOut, const AnimDummyFrame** frameOut,
                                 const char* meshName, s32_t frame)
{
    if (!object)
        return false;
    bool found = false;
    WalkNodeTree(object->GetRootNode(), [&](GraphNode* node) {
        const AnimMesh* mesh = node->GetAnimMesh();
        if (!mesh || mesh->frames_c == 0)
            return false;
        const s32_t nameIndex = mesh->FindName(meshName);
        if (nameIndex < 0)
            return false;
        const s32_t index = mesh->FindMesh(static_cast<u32_t>(nameIndex), 0);
        if (index < 0)
            return false;
        const u32_t last = mesh->frames_c - 1;
        const u32_t at = frame < 0 || static_cast<u32_t>(frame) > last ? last : static_cast<u32_t>(frame);
        const AnimFrame& record = mesh->frames[at];
        *frameOut = static_cast<u32_t>(index) < record.meshes_c ? record.meshes[index].dummyFrame : nullptr;
        *nodeOut = node;
        found = true;
        return true;
    });
    return found;
}

bool GraphObjFindNodeMesh(const GraphObj* object, GraphNode** nodeOut, const AnimDummyFrame** frameOut,
                          const char* meshName)
{
    return GraphObjFindNodeMeshAtFrame(object, nodeOut, frameOut, meshName, 0);
}

void BoxCorners(const float* box, Vector3 corners[8])
{
    for (int i = 0; i < 8; ++i) {
        // Corners 1 and 2 lie at max x, corners 2 and 3 at max y; the second four at max z.
        const int k = i & 3;
        corners[i] = {box[(k == 1 || k == 2) ? 3 : 0], box[k >= 2 ? 4 : 1], box[i >= 4 ? 5 : 2]};
    }
}
