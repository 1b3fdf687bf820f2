// A node of a graphic object's tree: a named transform (position, rotation, scale) with an optional
// animated mesh played at a frame, a texture, colour and settings record per mesh, an attachment to
// a dummy of the parent's mesh, a 300 ms cross-fade from the previous animation, a stored pose,
// the decals cut onto its meshes, and its children, which it owns.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"
#include "platform/d3d8.h"

class AnimMesh;
class Decal;
class Material;
class ParticleEffect;
struct AnimZone;
struct D3DXMATRIX;
struct ObjectTraceBlock;

constexpr s32_t GRAPH_NODE_MAX_DECALS = 64;
// A cross-fade lasts this long after a blended switch (inclusive).
constexpr u32_t GRAPH_NODE_BLEND_MS = 300;
// The colour of a mesh that was given none.
constexpr u32_t GRAPH_NODE_NO_COLOR = 0xFEDCBA98u;
constexpr u32_t GRAPH_NODE_LOD_STEPS = 3;
constexpr u32_t GRAPH_NODE_MAX_LOD_SWITCHES = 8;
constexpr u32_t GRAPH_NODE_LOD_LISTS = 4;

// Bits of a mesh's mode word.
constexpr u32_t MESH_MODE_DRAWN = 0x01;
constexpr u32_t MESH_MODE_COLLIDES = 0x02;      // takes part in traces and collisions
constexpr u32_t MESH_MODE_NO_ENUM = 0x08;       // left out of geometry enumeration
constexpr u32_t MESH_MODE_NO_OVERLAY = 0x10;    // left out of shadow overlays
constexpr u32_t MESH_MODE_NO_OVERLAY_2 = 0x40;  // left out of shadow overlays
constexpr u32_t MESH_MODE_MARKED = 0x80;
constexpr u32_t MESH_MODE_DEFAULT = MESH_MODE_DRAWN | MESH_MODE_COLLIDES;

// Per-mesh settings, one per mesh of frame 0. A mesh that belongs to one level of detail only
// (lodTagged) has one mode word and one hidden byte, the first of each; any other mesh has one of
// each per level-of-detail step.
struct MeshSettings {
    u8_t lodTagged;
    u8_t noClip;      // skipped by traces with OBJTRACE_SKIP_NOCLIP and by sphere and footprint tests
    u8_t setLdr;      // sphere collisions report a contact but do not push out
    u8_t groundClip;  // traces with OBJTRACE_ALPHA_EXEMPT ignore the alpha map
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
    u32_t* meshes = nullptr;  // owned by the node; null when the count is 0

    // Fills the record with a copy of the array (the array it held is freed).
    void Set(const u32_t* array, u32_t arrayCount, float atDistance);
};

// The two operations ApplyMeshNameList hands each named mesh's index to. Both return 1 when they
// changed the set and LodIndexAddUnique also when the index was there already.
using LodIndexOperation = u32_t (*)(u32_t* array, u32_t* count, u32_t index);
// Removes the index: the last entry takes its place.
u32_t LodIndexRemove(u32_t* array, u32_t* count, u32_t index);
// Appends the index unless it is there already.
u32_t LodIndexAddUnique(u32_t* array, u32_t* count, u32_t index);

// What a sphere collision reports besides its result.
struct SphereContact {
    u8_t contactOnlyTouched = 0;   // set when a touched mesh reports contact only ("setldr")
    Material* material = nullptr;  // the material of the last touched mesh's texture
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
    // Grows the per-mesh tables to the frame-0 mesh count of the mesh shown, keeping what they hold;
    // makeSettings makes the settings table when the node has none yet.
    void GrowMeshTables(bool makeSettings);
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
    // Takes the child out of the list without freeing it (the caller owns it from then on); its
    // parent link stays for the caller to set. Nothing when it is not a child.
    void ReleaseChild(GraphNode* node);
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

    // Binds the particle effect to this node (its attach operation with flag 1); nothing for null.
    void AttachParticleEffect(ParticleEffect* effect);

    // Decals: the node owns them, in the order they were added; the array holds exactly
    // decalCount entries. Destroying a decal frees its buffers and the record.
    // Takes the decal. With dropNear, a decal whose centre lies within the radius of one already
    // listed is destroyed instead. A list of 64 first loses the decal of the strictly greatest
    // age, when one is older than 0 ms.
    void AddDecal(Decal* decal, bool dropNear);
    // Removes and destroys the decal; nothing when it is not listed.
    void RemoveDecal(Decal* decal);
    void ClearDecals();
    // With "rbremovedecals" on, removes the decals whose lifetime is over; then hands the fade
    // to every remaining decal and updates its fading.
    void ExpireDecals(float fade);
    // Draws each decal in list order with the renderer's tinted-mesh drawing.
    void DrawDecals();

    // Levels of detail (world/nodes/graph_node_lod.cpp).
    // Adds a level at the distance: the meshes of level 2 less those the list names, or, for the
    // list "all", none; plus those the extra list names (may be null). 0 when the node has no
    // mesh or already holds GRAPH_NODE_MAX_LOD_SWITCHES levels, else 1.
    u32_t AddLodLevel(float distance, const char* meshNames, const char* extraNames);
    // A new array (the caller frees it; room for every frame-0 mesh) of the frame-0 meshes that
    // have a bit of flagMask in their flags word and, unless level is -1, belong to the level,
    // are not hidden there and have a bit of modeMask in their mode word there.
    u32_t* CollectLodMeshes(u32_t* count, s32_t level, u32_t flagMask, u32_t modeMask) const;
    // The record for a new level at the distance, placed before every level at that distance or
    // farther; the count grows by one. The table must have room.
    LodLevel* InsertLodLevel(float distance);
    // The last level whose distance is not above the distance; null below the first or when none.
    const LodLevel* FindLodLevel(float distance) const;
    // The level with the greatest distance, or null.
    const LodLevel* GetLastLodLevel() const;
    // Hands the index of each named mesh (names separated by single spaces; the first frame-0
    // mesh named so, or so with "_2") to the operation; unknown names are skipped.
    void ApplyMeshNameList(u32_t* array, u32_t* count, const char* names, LodIndexOperation operation) const;
    // With a mesh: the mesh lists of the four drawing steps (step s holds level s - 1's meshes).
    void BuildLodMeshLists();

    // Zones (world/nodes/graph_node_zones.cpp).
    // "all": the node is in every zone (1). Otherwise the named zones of the node's mesh; 0 when
    // the node has no mesh or the mesh no zones (the list is then left as it was).
    u32_t SetZones(const char* names);
    bool HasZone(const AnimZone* zone) const;

    // Traces and collisions (world/nodes/mesh_trace.cpp, world/nodes/mesh_collision.cpp). lodStep is the
    // object's level-of-detail step, or -1 for no level-of-detail selection.
    // The nearest hit in the node's subtree along the world ray; OBJTRACE_NO_HIT when none. The
    // record receives the nearest hit's fields.
    float TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* record, s32_t lodStep);
    // Writes the hit fields of the record for face of mesh meshIndex at frame.
    void FillTraceHit(u32_t meshIndex, u32_t frameIndex, u32_t face, const D3DXMATRIX& world,
                      IDirect3DTexture8* texture, Material* material, const float* barycentric, const Vector3& origin,
                      const Vector3& direction, float distance, ObjectTraceBlock* record) const;
    // True when a mesh of the subtree touches the sphere; centre (world) is pushed out of solid meshes.
    bool SphereCollision(Vector3* centre, float radius, s32_t lodStep, SphereContact* contact);
    // Moves centre out of the node's faces by the footprint box's corners; always false. The
    // node's own meshes only.
    bool FootprintCollision(Vector3* centre, float halfSize, float height, s32_t lodStep);
    // The whole frame the traces and collisions use: the node's frame truncated, modulo the
    // mesh's frame count less one (0 for a single frame).
    u32_t WholeFrame() const;

    // The number of meshes of frame 0 of the node's mesh; 0 without a mesh or frames.
    u32_t FrameZeroMeshCount() const;

    EngineString name;
    EngineString sourceDefName;           // the definition being applied when a parameter made the node
    AnimMesh* animMesh = nullptr;         // the animation cache's
    AnimMesh* blendSourceAnim = nullptr;  // the mesh faded from
    u32_t stampTick = 0;                  // StampTime: the reference of the blend weight
    float blendWeight = 0.0f;
    u32_t switchTick = 0;  // when the animation was last switched
    u8_t blending = 0;     // the last switch asked for a cross-fade
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
    u32_t meshTableCount = 0;     // entries of meshTextures and meshColors
    u32_t meshSettingsCount = 0;  // entries of meshSettings
    u8_t renderMark = 0;
    u8_t swapPivotAxes = 0;    // set per frame by the actor renderer: turns y about a2 and z about a1
    Decal** decals = nullptr;  // owned, exactly decalCount entries
    u32_t decalCount = 0;
};
