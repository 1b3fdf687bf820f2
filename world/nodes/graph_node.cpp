// Graphic nodes: construction and destruction, the child array, the transform setters, the per-mesh
// tables, poses and the level-of-detail render flags.
#include "world/nodes/graph_node.h"

#include <cstring>

#include "core/assert.h"
#include "platform/d3dx8_math.h"
#include "world/animation/anim_mesh.h"

GraphNode::GraphNode(const char* nodeName) : name(nodeName)
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    matrix = identity;
}

GraphNode::~GraphNode()
{
    delete[] meshTextures;
    delete[] meshColors;
    for (u32_t i = 0; i < childCount; ++i)
        delete children[i];
    delete[] children;
    ClearDecals();
    delete[] meshSettings;
    for (u32_t i = 0; i < lodSwitchCount && i < GRAPH_NODE_MAX_LOD_SWITCHES; ++i)
        delete[] lodSwitches[i].meshes;
    for (LodLevel& list : lodMeshLists)
        delete[] list.meshes;
    delete[] zones;
    sourceDefName.Clear();
    name.Clear();
}

// Tree ---------------------------------------------------------------------------------------------

void GraphNode::SetParent(GraphNode* node)
{
    parent = node;
    Invalidate();
}

void GraphNode::AddChild(GraphNode* node)
{
    if (!(childCount <= childCapacity))
        AssertionFailed("childs_c <= childs_maxc", "graphobj", __LINE__);
    if (childCount == childCapacity) {
        const u32_t capacity = childCapacity == 0 ? 4 : childCapacity * 2;
        GraphNode** grown = new GraphNode*[capacity]();
        for (u32_t i = 0; i < childCount; ++i)
            grown[i] = children[i];
        delete[] children;
        children = grown;
        childCapacity = capacity;
    }
    children[childCount++] = node;
}

void GraphNode::RemoveChild(GraphNode* node)
{
    for (u32_t i = 0; i < childCount; ++i) {
        if (children[i] != node)
            continue;
        delete node;
        children[i] = children[childCount - 1];
        children[childCount - 1] = nullptr;
        --childCount;
        return;
    }
}

void GraphNode::ReleaseChild(GraphNode* node)
{
    for (u32_t i = 0; i < childCount; ++i) {
        if (children[i] != node)
            continue;
        children[i] = children[childCount - 1];
        children[childCount - 1] = nullptr;
        --childCount;
        return;
    }
}

// Transform ----------------------------------------------------------------------------------------

void GraphNode::Invalidate()
{
    // The whole subtree, without recursion: a deep chain of nodes must not run the stack out.
    GraphNode* pending[64];
    u32_t pendingCount = 0;
    pending[pendingCount++] = this;
    while (pendingCount) {
        GraphNode* node = pending[--pendingCount];
        node->matrixValid = 0;
        for (u32_t i = 0; i < node->childCount; ++i) {
            if (pendingCount == sizeof pending / sizeof pending[0]) {
                node->children[i]->Invalidate();
                continue;
            }
            pending[pendingCount++] = node->children[i];
        }
    }
}

void GraphNode::SetPosition(const Vector3& value)
{
    Invalidate();
    position = value;
}

void GraphNode::SetRotation(const Vector3& value)
{
    Invalidate();
    rotation = value;
}

void GraphNode::SetScale(float value)
{
    scale = value;
    Invalidate();
}

void GraphNode::SetMatrix(const float* values)
{
    // The descendants were computed from the old matrix.
    Invalidate();
    std::memcpy(&matrix, values, sizeof matrix);
    matrixValid = 1;
}

void GraphNode::SetAttachPoint(s32_t parentDummy, s32_t ownDummy)
{
    attachDummyA = parentDummy;
    attachDummyB = ownDummy;
    Invalidate();
}

void GraphNode::GetAttachPoint(s32_t* parentDummy, s32_t* ownDummy) const
{
    *parentDummy = attachDummyA;
    *ownDummy = attachDummyB;
}

// Per-mesh tables ----------------------------------------------------------------------------------

u32_t GraphNode::FrameZeroMeshCount() const
{
    return animMesh && animMesh->frames_c ? animMesh->frames[0].meshes_c : 0;
}

void GraphNode::SetMeshTexture(u32_t mesh, IDirect3DTexture8* texture)
{
    if (meshTextures && mesh < FrameZeroMeshCount())
        meshTextures[mesh] = texture;
}

void GraphNode::SetMeshColor(u32_t mesh, u32_t color)
{
    if (meshColors && mesh < FrameZeroMeshCount())
        meshColors[mesh] = color;
}

// Poses --------------------------------------------------------------------------------------------

void GraphNode::StorePose()
{
    pose.stored = {frame, position, rotation, animMesh};
}

void GraphNode::ApplyStoredPose()
{
    pose.kept = {frame, position, rotation, animMesh};
    const NodePose stored = pose.stored;
    SetFrame(stored.frame);
    SetPosition(stored.position);
    SetRotation(stored.rotation);
    SwitchAnim(stored.mesh, false);
}

void GraphNode::RestorePose()
{
    const NodePose kept = pose.kept;
    SetFrame(kept.frame);
    SetPosition(kept.position);
    SetRotation(kept.rotation);
    SwitchAnim(kept.mesh, false);
}

// Level-of-detail render flags ---------------------------------------------------------------------

void GraphNode::SetLodRender(const u8_t* flags)
{
    for (u32_t step = 0; step < GRAPH_NODE_LOD_STEPS; ++step)
        lodRender[step] = flags[step];
}

bool GraphNode::GetLodRender(s32_t step) const
{
    return step >= 0 && step < static_cast<s32_t>(GRAPH_NODE_LOD_STEPS) && lodRender[step] != 0;
}

void GraphNode::CopyLodRender(GraphNode* other) const
{
    for (u32_t step = 0; step < GRAPH_NODE_LOD_STEPS; ++step)
        other->lodRender[step] = lodRender[step];
}
