// A node of a graphic object's tree: a transform, an animated mesh with a texture per mesh, child
// nodes and the decals cut onto its meshes. The graphic objects that build node trees fill the
// rest in.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"
#include "platform/d3d8.h"
#include "world/decal.h"

class AnimMesh;
struct D3DXMATRIX;

constexpr s32_t GRAPH_NODE_MAX_DECALS = 64;

// When present, only these meshes of frame 0 are used, in list order.
struct MeshSelection {
    u32_t count;
    const u32_t* meshes;
};

// Per-mesh level-of-detail settings, one per mesh of frame 0.
struct MeshLodInfo {
    u8_t allLevels;  // set: one common setting for every level
    u32_t flags[3];  // per level 0 to 2; bit value 2 shows the mesh. flags[0] is the common word.
    u8_t hide[3];    // per level
    // In all-levels mode the low byte of the level-1 word is the "hidden" byte.
    u8_t Hidden() const { return static_cast<u8_t>(flags[1]); }
};

constexpr u32_t MESH_LOD_SHOWN = 2;

// Whether the settings show the mesh at the detail level (0 to 2).
inline bool MeshLodShows(const MeshLodInfo& info, int level)
{
    if (info.allLevels)
        return (info.flags[0] & MESH_LOD_SHOWN) != 0 && info.Hidden() == 0;
    return info.hide[level] == 0 && (info.flags[level] & MESH_LOD_SHOWN) != 0;
}

class GraphNode {
public:
    explicit GraphNode(const char* name = "");
    // Frees the children, the decals and the per-mesh tables (the mesh and textures are shared).
    virtual ~GraphNode();
    GraphNode(const GraphNode&) = delete;
    GraphNode& operator=(const GraphNode&) = delete;

    // The node's world matrix (row-vector convention) into out: its local matrix, then its
    // parent's world matrix. Also what a camera linked to the node follows.
    virtual void UpdateTransform(D3DXMATRIX* out);

    const char* GetName() const { return m_name.Text(); }
    void SetLocalMatrix(const D3DMATRIX& local) { m_local = local; }
    const D3DMATRIX& GetLocalMatrix() const { return m_local; }

    // Takes the child; it is freed with this node.
    GraphNode* AddChild(GraphNode* child);
    s32_t GetChildCount() const { return m_childCount; }
    // Null when absent.
    GraphNode* GetChild(s32_t index) const;
    GraphNode* GetParent() const { return m_parent; }

    // Gives the node a mesh: a texture word of -1 in a frame-0 material becomes 0xFFFF, and the
    // texture each frame-0 mesh names is found or loaded.
    void SetAnimMesh(AnimMesh* mesh);
    AnimMesh* GetAnimMesh() const { return m_mesh; }
    // One texture per mesh of frame 0 (null entries for none); null without a mesh.
    IDirect3DTexture8** GetMeshTextures() const { return m_meshTextures; }
    void SetMeshTexture(u32_t mesh, IDirect3DTexture8* texture);
    const MeshSelection* GetMeshSelection() const { return m_selection; }
    // Copies the list; an empty list removes it.
    void SetMeshSelection(const u32_t* meshes, u32_t count);
    // One record per mesh of frame 0, or null.
    const MeshLodInfo* GetMeshLodInfo() const { return m_lodInfo; }
    void SetMeshLodInfo(u32_t mesh, const MeshLodInfo& info);

    // Takes the decal (see DecalList::Add); at most 64 per node.
    void AddDecal(Decal* decal, bool spacingTest) { m_decals.Add(decal, spacingTest); }
    void ExpireDecals(float fogFactor) { m_decals.Expire(fogFactor); }
    void ClearDecals() { m_decals.Clear(); }
    const DecalList& Decals() const { return m_decals; }

private:
    u32_t FrameZeroMeshCount() const;

    EngineString m_name;
    D3DMATRIX m_local;
    GraphNode* m_parent = nullptr;
    GraphNode** m_children = nullptr;
    s32_t m_childCount = 0;
    AnimMesh* m_mesh = nullptr;
    IDirect3DTexture8** m_meshTextures = nullptr;
    MeshSelection* m_selection = nullptr;
    u32_t* m_selectionList = nullptr;
    MeshLodInfo* m_lodInfo = nullptr;
    DecalList m_decals{GRAPH_NODE_MAX_DECALS};
};
