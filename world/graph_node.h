// A node of a graphic object's tree: a named transform (position, rotation, scale) with an optional
// animated mesh played at a frame, a texture, colour and settings record per mesh, an attachment to
// a dummy of the parent's mesh, a 300 ms cross-fade from the previous animation, a stored pose,
// the decals cut onto its meshes, and its children, which it owns.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"
#include "platform/d3d8.h"
#include "world/decal.h"

class AnimMesh;
class Material;
struct AnimZone;
struct D3DXMATRIX;

constexpr s32_t GRAPH_NODE_MAX_DECALS = 64;
// A cross-fade lasts this long after a blended switch (inclusive).
constexpr u32_t GRAPH_NODE_BLEND_MS = 300;
// The colour of a mesh that was given none.
constexpr u32_t GRAPH_NODE_NO_COLOR = 0xFEDCBA98u;
constexpr u32_t GRAPH_NODE_LOD_STEPS = 3;
constexpr u32_t GRAPH_NODE_MAX_LOD_SWITCHES = 8;
constexpr u32_t GRAPH_NODE_LOD_LISTS = 4;

// When present, only these meshes of frame 0 are used, in list order.
struct MeshSelection {
    u32_t count;
    const u32_t* meshes;
};

// Bits of a mesh's mode word.
constexpr u32_t MESH_MODE_DRAWN = 0x01;
constexpr u32_t MESH_MODE_COLLIDES = 0x02;       // takes part in traces and collisions
constexpr u32_t MESH_MODE_NO_ENUM = 0x08;        // left out of geometry enumeration
constexpr u32_t MESH_MODE_NO_OVERLAY = 0x10;     // left out of shadow overlays
constexpr u32_t MESH_MODE_NO_OVERLAY_2 = 0x40;   // left out of shadow overlays
constexpr u32_t MESH_MODE_MARKED = 0x80;
constexpr u32_t MESH_MODE_DEFAULT = MESH_MODE_DRAWN | MESH_MODE_COLLIDES;

// Per-mesh settings, one per mesh of frame 0. A mesh that belongs to one level of detail only
// (lodTagged) has one mode word and one hidden byte, the first of each; any other mesh has one of
// each per level-of-detail step.
struct MeshSettings {
    u8_t lodTagged;
    u8_t noClip;       // skipped by traces with OBJTRACE_SKIP_NOCLIP and by sphere and footprint tests
    u8_t setLdr;       // sphere collisions report a contact but do not push out
    u8_t groundClip;   // traces with OBJTRACE_ALPHA_EXEMPT ignore the alpha map
    u8_t landTexture;
    float shadowLength;  // 0: the node's
    u8_t lit;
    Material* material;  // trace material override; null: the texture's
    u32_t lodMode[GRAPH_NODE_LOD_STEPS];
    u8_t lodHidden[GRAPH_NODE_LOD_STEPS];

    u32_t ModeAt(u32_t step) const { return lodMode[lodTagged ? 0 : step]; }
    u8_t HiddenAt(u32_t step) const { return lodHidden[lodTagged ? 0 : step]; }
    // Hidden at every step it has.
    bool HiddenEverywhere() const
    {
        return lodTagged ? lodHidden[0] != 0 : (lodHidden[0] && lodHidden[1] && lodHidden[2]);
    }
};

// Whether a mesh counts as shown at the level-of-detail step for the far-view clusters and the
// decals: not hidden there, with mode bit value 2.
inline bool MeshSettingsShows(const MeshSettings& settings, u32_t step)
{
    return settings.HiddenAt(step) == 0 && (settings.ModeAt(step) & MESH_MODE_COLLIDES) != 0;
}

// A level-of-detail entry: from a distance on, these meshes (indices into frame 0).
struct LodLevel {
    float distance = 0.0f;
    u32_t count = 0;
    u32_t* meshes = nullptr;  // owned by the node
};

// A node's transform and animation at one moment.
struct NodePose {
    float frame = 0.0f;
    Vector3 position;
    Vector3 rotation;
    AnimMesh* mesh = nullptr;
};

// The pose that StorePose saved, and the pose ApplyStoredPose replaced.
struct NodePoseSlots {
    NodePose stored;
    NodePose kept;
};

class GraphNode {
public:
    explicit GraphNode(const char* nodeName = "");
    GraphNode(const GraphNode&) = delete;
    GraphNode& operator=(const GraphNode&) = delete;

    // The node's world matrix (row-vector convention), recomputed when the node is stale: its own
    // pose, its animation and the attachment dummies of its mesh and its parent's mesh, then the
    // parent's world matrix. The first operation of the node's table (code outside the program
    // calls it by that place).
    virtual void UpdateTransform(D3DXMATRIX* out);
    // Frees the children, the decals and the per-mesh tables; the mesh and the textures belong to
    // their caches.
    virtual ~GraphNode();

    // Meshes and animation.
    // Shows the mesh: finds the texture of every frame-0 mesh (prefix followed by the name in the
    // mesh's texture table), resets the colours and makes the settings once.
    void SetAnimMesh(AnimMesh* mesh, const char* prefix = "");
    // Switches to another mesh with the same mesh list; with blend, cross-fades from the current one.
    void SwitchAnim(AnimMesh* mesh, bool blend);
    void ClearBlend();
    AnimMesh* GetAnimMesh() const { return animMesh; }
    // The mesh being faded from, while a cross-fade runs; else null.
    AnimMesh* GetBlendSourceAnim() const;
    void StampTime();
    // The new animation's share of a cross-fade at the last StampTime: 0 at the switch, 1 at 300 ms
    // and later.
    float GetBlendWeight();
    // While a cross-fade runs the frame stays at 0.
    void SetFrame(float value);
    float GetFrame() const;
    float GetBlendSourceFrame() const { return blendSourceFrame; }

    // Tree.
    void SetParent(GraphNode* node);
    GraphNode* GetParent() const { return parent; }
    // Appends the child (which the node then owns); the caller sets the child's parent.
    void AddChild(GraphNode* node);
    // Frees the child; the last child takes its place. Nothing when it is not a child.
    void RemoveChild(GraphNode* node);
    s32_t GetChildCount() const { return static_cast<s32_t>(childCount); }
    // No bound check: callers stay below GetChildCount.
    GraphNode* GetChild(s32_t index) const { return children[index]; }

    // Transform. Every setter marks the node and its descendants stale.
    void Invalidate();
    void SetPosition(const Vector3& value);
    const Vector3& GetPosition() const { return position; }
    void SetRotation(const Vector3& value);
    const Vector3& GetRotation() const { return rotation; }
    void SetScale(float value);
    // Takes a world matrix as it is: the node keeps it until marked stale.
    void SetMatrix(const float* values);
    void SetAttachPoint(s32_t parentDummy, s32_t ownDummy);
    void GetAttachPoint(s32_t* parentDummy, s32_t* ownDummy) const;

    // Bounds, boxes of six floats (min corner, then max corner) that these extend.
    // The world-space vertices of the descendants' meshes at their frames; meshes hidden at every
    // level of detail add nothing.
    void AccumulateBounds(float* box);
    // The stored boxes of the node's own meshes at its frame, untransformed.
    void GetFrameBounds(float* box) const;

    // Per-mesh tables, one entry per mesh of frame 0 (null while the node has no mesh).
    void SetMeshTexture(u32_t mesh, IDirect3DTexture8* texture);
    IDirect3DTexture8** GetMeshTextures() const { return meshTextures; }
    void SetMeshColor(u32_t mesh, u32_t color);
    u32_t* GetMeshColors() const { return meshColors; }
    MeshSettings* GetMeshSettings() const { return meshSettings; }
    const MeshSelection* GetMeshSelection() const { return m_selection; }
    // Copies the list; an empty list removes it.
    void SetMeshSelection(const u32_t* meshes, u32_t count);

    const char* GetName() const { return name.Text(); }
    void SetName(const EngineString& value) { name.Assign(value); }
    void SetShadowLength(float value) { shadowLength = value; }
    float GetShadowLength() const { return shadowLength; }

    // Poses: StorePose saves the current one; ApplyStoredPose keeps the current one and shows the
    // saved one; RestorePose shows the kept one again. No cross-fade in either.
    void StorePose();
    void ApplyStoredPose();
    void RestorePose();

    // Level-of-detail render flags, for steps 0 to 2; any other step reads false.
    void SetLodRender(const u8_t* flags);
    bool GetLodRender(s32_t step) const;
    // Copies this node's flags into the other node.
    void CopyLodRender(GraphNode* other) const;

    // Takes the decal (see DecalList::Add); at most 64 per node.
    void AddDecal(Decal* decal, bool spacingTest) { m_decals.Add(decal, spacingTest); }
    void ExpireDecals(float fogFactor) { m_decals.Expire(fogFactor); }
    void ClearDecals() { m_decals.Clear(); }
    const DecalList& Decals() const { return m_decals; }

    // The number of meshes of frame 0 of the node's mesh; 0 without a mesh or frames.
    u32_t FrameZeroMeshCount() const;

    EngineString name;
    EngineString sourceDefName;  // the definition being applied when a parameter made the node
    AnimMesh* animMesh = nullptr;         // the animation cache's
    AnimMesh* blendSourceAnim = nullptr;  // the mesh faded from
    u32_t stampTick = 0;                  // StampTime: the reference of the blend weight
    float blendWeight = 0.0f;
    u32_t switchTick = 0;                 // when the animation was last switched
    u8_t blending = 0;                    // the last switch asked for a cross-fade
    IDirect3DTexture8** meshTextures = nullptr;
    u32_t* meshColors = nullptr;
    GraphNode** children = nullptr;
    u32_t childCount = 0;
    u32_t childCapacity = 0;
    s32_t attachDummyA = -1;  // the dummy of the parent's mesh the node follows (-1: none)
    GraphNode* parent = nullptr;
    s32_t attachDummyB = -1;  // the node's own dummy that lands on it (-1: none)
    Vector3 position;
    Vector3 rotation;  // radians: x pitch, y yaw, z roll
    float scale = 1.0f;
    u8_t matrixValid = 0;
    D3DMATRIX matrix;  // the cached world matrix
    float frame = 0.0f;
    float blendSourceFrame = 0.0f;  // the previous animation's frame at the switch
    float shadowLength = 0.0f;      // "svlength"
    u8_t traceExcluded = 0;         // the node and its subtree are left out of ray traces
    NodePoseSlots pose;
    u8_t lodRender[GRAPH_NODE_LOD_STEPS] = {1, 1, 1};
    u8_t lodListsBuilt = 0;
    AnimZone** zones = nullptr;  // null: every zone; else a null-terminated list
    LodLevel lodSwitches[GRAPH_NODE_MAX_LOD_SWITCHES];
    LodLevel lodMeshLists[GRAPH_NODE_LOD_LISTS];
    u32_t lodSwitchCount = 0;
    MeshSettings* meshSettings = nullptr;
    u8_t renderMark = 0;
    u8_t swapPivotAxes = 0;  // set per frame by the actor renderer: turns y about a2 and z about a1

private:
    MeshSelection* m_selection = nullptr;
    u32_t* m_selectionList = nullptr;
    DecalList m_decals{GRAPH_NODE_MAX_DECALS};
};
