#include "world/graph_node.h"

#include <cstring>

#include "platform/d3dx8_math.h"
#include "render/texture_manager.h"
#include "world/anim_mesh.h"

GraphNode::GraphNode(const char* name) : m_name(name)
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    m_local = identity;
}

GraphNode::~GraphNode()
{
    for (s32_t i = 0; i < m_childCount; ++i)
        delete m_children[i];
    delete[] m_children;
    delete[] m_meshTextures;
    delete m_selection;
    delete[] m_selectionList;
    delete[] m_lodInfo;
}

void GraphNode::UpdateTransform(D3DXMATRIX* out)
{
    D3DXMATRIX world(m_local);
    if (m_parent) {
        D3DXMATRIX parentWorld;
        m_parent->UpdateTransform(&parentWorld);
        world = world * parentWorld;
    }
    *out = world;
}

GraphNode* GraphNode::AddChild(GraphNode* child)
{
    GraphNode** children = new GraphNode*[m_childCount + 1];
    for (s32_t i = 0; i < m_childCount; ++i)
        children[i] = m_children[i];
    children[m_childCount] = child;
    delete[] m_children;
    m_children = children;
    ++m_childCount;
    child->m_parent = this;
    return child;
}

GraphNode* GraphNode::GetChild(s32_t index) const
{
    return index >= 0 && index < m_childCount ? m_children[index] : nullptr;
}

u32_t GraphNode::FrameZeroMeshCount() const
{
    return m_mesh && m_mesh->frames_c ? m_mesh->frames[0].meshes_c : 0;
}

void GraphNode::SetAnimMesh(AnimMesh* mesh)
{
    delete[] m_meshTextures;
    m_meshTextures = nullptr;
    delete[] m_lodInfo;
    m_lodInfo = nullptr;
    SetMeshSelection(nullptr, 0);
    m_mesh = mesh;
    const u32_t count = FrameZeroMeshCount();
    if (!mesh)
        return;
    m_meshTextures = new IDirect3DTexture8*[count ? count : 1]();
    for (u32_t m = 0; m < count; ++m) {
        AnimMaterial* material = mesh->GetMeshTextureRef(0, m);
        if (material->textureWord == 0xFFFFFFFFu)
            material->textureWord = ANIM_TEXTURE_NONE;
        const u32_t index = material->textureWord & ANIM_TEXTURE_INDEX_MASK;
        // An index past the table names no texture.
        if (index != ANIM_TEXTURE_NONE && index < mesh->textures_c)
            m_meshTextures[m] = TextureFindOrLoad(mesh->textures[index].Text());
    }
}

void GraphNode::SetMeshTexture(u32_t mesh, IDirect3DTexture8* texture)
{
    if (m_meshTextures && mesh < FrameZeroMeshCount())
        m_meshTextures[mesh] = texture;
}

void GraphNode::SetMeshSelection(const u32_t* meshes, u32_t count)
{
    delete m_selection;
    delete[] m_selectionList;
    m_selection = nullptr;
    m_selectionList = nullptr;
    if (!meshes || count == 0)
        return;
    m_selectionList = new u32_t[count];
    std::memcpy(m_selectionList, meshes, sizeof(u32_t) * count);
    m_selection = new MeshSelection{count, m_selectionList};
}

void GraphNode::SetMeshLodInfo(u32_t mesh, const MeshLodInfo& info)
{
    const u32_t count = FrameZeroMeshCount();
    if (mesh >= count)
        return;
    if (!m_lodInfo) {
        m_lodInfo = new MeshLodInfo[count];
        // Until set otherwise every mesh is shown at every level.
        for (u32_t m = 0; m < count; ++m)
            m_lodInfo[m] = MeshLodInfo{0, {MESH_LOD_SHOWN, MESH_LOD_SHOWN, MESH_LOD_SHOWN}, {0, 0, 0}};
    }
    m_lodInfo[mesh] = info;
}
