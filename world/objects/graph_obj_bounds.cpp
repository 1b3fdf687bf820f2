// The geometry box of a graphic object's node tree, and the node operations it is built from.
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "world/animation/anim_frame_position.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

namespace {

void Extend(float* box, float x, float y, float z)
{
    if (x < box[0])
        box[0] = x;
    if (y < box[1])
        box[1] = y;
    if (z < box[2])
        box[2] = z;
    if (x > box[3])
        box[3] = x;
    if (y > box[4])
        box[4] = y;
    if (z > box[5])
        box[5] = z;
}

// Every vertex of the node's visible frame-0 meshes, at the node's frame, in world space.
void ExtendByNodeVertices(GraphNode& node, float* box)
{
    AnimMesh* mesh = node.animMesh;
    if (!mesh || mesh->frames_c == 0)
        return;
    D3DXMATRIX world;
    node.UpdateTransform(&world);
    const u32_t frame = AnimFrameAt(mesh, node.frame).index;
    const u32_t count = node.FrameZeroMeshCount();
    for (u32_t j = 0; j < count && j < mesh->frames[frame].meshes_c; ++j) {
        if (node.meshSettings && node.meshSettings[j].HiddenEverywhere())
            continue;
        const AnimVertexData* vertices = mesh->GetMeshVertices(frame, j);
        for (u32_t v = 0; v < vertices->count; ++v) {
            const float* p = vertices->positions + static_cast<size_t>(v) * 3;
            const D3DXVECTOR3 local(p[0], p[1], p[2]);
            D3DXVECTOR3 placed;
            D3DXVec3TransformCoord(&placed, &local, &world);
            Extend(box, placed.x, placed.y, placed.z);
        }
    }
}

}  // namespace

void GraphNode::AccumulateBounds(float* box)
{
    for (u32_t i = 0; i < childCount; ++i) {
        ExtendByNodeVertices(*children[i], box);
        children[i]->AccumulateBounds(box);
    }
}

void GraphNode::GetFrameBounds(float* box) const
{
    if (!animMesh || animMesh->frames_c == 0)
        return;
    const u32_t shown = AnimFrameAt(animMesh, frame).index;
    const u32_t count = FrameZeroMeshCount();
    for (u32_t j = 0; j < count && j < animMesh->frames[shown].meshes_c; ++j) {
        const AnimVertexData* vertices = animMesh->GetMeshVertices(shown, j);
        Extend(box, vertices->boxMin.x, vertices->boxMin.y, vertices->boxMin.z);
        Extend(box, vertices->boxMax.x, vertices->boxMax.y, vertices->boxMax.z);
    }
}

void GraphObj::GetGeometryBounds(float* box)
{
    if (!boundsValid) {
        float computed[6] = {1e30f, 1e30f, 1e30f, -1e30f, -1e30f, -1e30f};
        root->AccumulateBounds(computed);
        // Nothing added: a box the object can still be found in.
        if (computed[0] > computed[3]) {
            for (int axis = 0; axis < 3; ++axis) {
                computed[axis] = -10.0f;
                computed[axis + 3] = 10.0f;
            }
        }
        boundsMin = {computed[0], computed[1], computed[2]};
        boundsMax = {computed[3], computed[4], computed[5]};
        boundsValid = 1;
        if (shadowCompanion)
            DynObjectUpdateGrid(shadowCompanion);
        if (shadowVolume)
            DynObjectUpdateGrid(shadowVolume);
    }
    box[0] = boundsMin.x;
    box[1] = boundsMin.y;
    box[2] = boundsMin.z;
    box[3] = boundsMax.x;
    box[4] = boundsMax.y;
    box[5] = boundsMax.z;
}
