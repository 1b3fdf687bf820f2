// A graphic node's world matrix: its own pose, its animation, the dummies that attach it to its
// parent's mesh, then the parent's world matrix. Computed once per change and cached.
#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "world/animation/anim_cache.h"
#include "world/animation/anim_frame_position.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

namespace {

// The dummy record of a mesh in a stored frame; null when the frame or mesh is not there or the
// mesh carries no dummy.
const AnimDummyFrame* DummyRecord(const AnimMesh* mesh, u32_t frame, s32_t meshIndex)
{
    if (!mesh || meshIndex < 0 || frame >= mesh->frames_c)
        return nullptr;
    const AnimFrame& stored = mesh->frames[frame];
    if (static_cast<u32_t>(meshIndex) >= stored.meshes_c)
        return nullptr;
    return stored.meshes[meshIndex].dummyFrame;
}

// The world-to-dummy matrix of a node's dummy at the node's frame: blended from the mesh faded
// from while its cross-fade counts, else between the mesh's frame and the next. False when the
// records are missing.
bool DummyMatrix(GraphNode& node, AnimMesh* blendSource, s32_t dummy, D3DXMATRIX* out)
{
    const AnimFramePosition at = AnimFrameAt(node.animMesh, node.frame);
    if (blendSource) {
        const AnimFramePosition from = AnimFrameAt(blendSource, node.blendSourceFrame);
        const AnimDummyFrame* first = DummyRecord(blendSource, from.index, dummy);
        const AnimDummyFrame* second = DummyRecord(node.animMesh, at.index, dummy);
        if (!first || !second)
            return false;
        DummyFrameLerpMatrix(first, out, node.GetBlendWeight(), second);
        return true;
    }
    const AnimDummyFrame* first = DummyRecord(node.animMesh, at.index, dummy);
    const AnimDummyFrame* second = DummyRecord(node.animMesh, at.next, dummy);
    if (!first || !second)
        return false;
    DummyFrameLerpMatrix(first, out, at.fraction, second);
    return true;
}

D3DXMATRIX PlainLocal(const GraphNode& node, const D3DXMATRIX& scaling)
{
    D3DXMATRIX turn, move;
    D3DXMatrixRotationYawPitchRoll(&turn, node.rotation.y, node.rotation.x, node.rotation.z);
    D3DXMatrixTranslation(&move, node.position.x, node.position.y, node.position.z);
    return turn * scaling * move;
}

// A node below a non-root parent turns about its own dummy; its position is not used.
bool PivotLocal(const GraphNode& node, const D3DXMATRIX& scaling, D3DXMATRIX* out)
{
    const AnimFramePosition at = AnimFrameAt(node.animMesh, node.frame);
    const AnimDummyFrame* first = DummyRecord(node.animMesh, at.index, node.attachDummyB);
    const AnimDummyFrame* second = DummyRecord(node.animMesh, at.next, node.attachDummyB);
    if (!first || !second)
        return false;
    Vector3 origin;
    Vector3 axes[3];
    DummyFrameLerp(first, second, at.fraction, &origin, axes);
    const D3DXVECTOR3 axis[3] = {
        {axes[0].x, axes[0].y, axes[0].z}, {axes[1].x, axes[1].y, axes[1].z}, {axes[2].x, axes[2].y, axes[2].z}};
    const int yawAxis = node.swapPivotAxes ? 2 : 1;
    const int rollAxis = node.swapPivotAxes ? 1 : 2;
    D3DXMATRIX toPivot, fromPivot, pitch, yaw, roll;
    D3DXMatrixTranslation(&toPivot, -origin.x, -origin.y, -origin.z);
    D3DXMatrixTranslation(&fromPivot, origin.x, origin.y, origin.z);
    D3DXMatrixRotationAxis(&pitch, &axis[0], node.rotation.x);
    D3DXMatrixRotationAxis(&yaw, &axis[yawAxis], node.rotation.y);
    D3DXMatrixRotationAxis(&roll, &axis[rollAxis], node.rotation.z);
    *out = toPivot * scaling * pitch * yaw * roll * fromPivot;
    return true;
}

}  // namespace

void GraphNode::UpdateTransform(D3DXMATRIX* out)
{
    if (matrixValid) {
        *out = matrix;
        return;
    }
    matrixValid = 1;
    // One reading of the clock for the whole computation.
    const u32_t now = GetTickCount();
    const bool recent = now - switchTick <= GRAPH_NODE_BLEND_MS;

    D3DXMATRIX scaling;
    D3DXMatrixScaling(&scaling, scale, scale, scale);
    D3DXMATRIX world;
    if (!parent || !parent->parent || !PivotLocal(*this, scaling, &world))
        world = PlainLocal(*this, scaling);

    if (parent) {
        D3DXMATRIX parentWorld;
        parent->UpdateTransform(&parentWorld);
        D3DXMATRIX own;
        if (attachDummyB != -1 && DummyMatrix(*this, recent ? blendSourceAnim : nullptr, attachDummyB, &own))
            world = world * own;
        // The parent's own cross-fade counts as GetBlendSourceAnim tells it, on the same clock reading.
        AnimMesh* parentSource =
            parent->blending && now - parent->switchTick <= GRAPH_NODE_BLEND_MS ? parent->blendSourceAnim : nullptr;
        D3DXMATRIX parentDummy, fromParentDummy;
        if (attachDummyA != -1 && parent->animMesh && DummyMatrix(*parent, parentSource, attachDummyA, &parentDummy) &&
            D3DXMatrixInverse(&fromParentDummy, nullptr, &parentDummy))
            world = world * fromParentDummy;
        world = world * parentWorld;
    }
    matrix = world;
    *out = world;
}
