// The base class of every placed visible object: a world object with a tree of nodes rooted at
// "root", a cached geometry box, the loading of the meshes and textures its definition names, its
// definition parameters, its per-frame level of detail and drawing (meshes, or a billboard far
// away), its destruction by damage and the walks over its whole node tree. In messages it calls
// itself "GOBJ".
#pragma once
#include "core/types.h"
#include "world/objects/dynamic_object.h"
#include "world/nodes/node_walk.h"

class AnimMesh;
class GraphNode;
class Weapon;
struct BleedingInfo;
struct IndoorLink;
struct ShaderSetting;
struct ShaderSettingList;

constexpr u32_t GRAPH_OBJ_DECAL_TEXTURES = 5;

class GraphObj : public DynamicObject {
public:
    // typeId 1; the root node "root"; the object's grid entry (kind 3).
    GraphObj();
    // Frees the node tree, the grid entry and the shader settings, and releases the indoor link.
    // The fixed weapon stays: the world registry deletes it.
    ~GraphObj() override;

    // The world object's operations.
    void Render() override;
    // Energy falls by the amount; at 0 the object is destroyed (replacement, envelope event,
    // effect, sound, damage round it). Nothing once the energy is 0 or below.
    void ApplyDamage(int kind, float angle, float amount) override;
    bool SphereCollision(const Vector3& /*centre*/, float /*radius*/, Vector3* /*out*/) override { return false; }
    bool QueryFalse(int /*argument*/) override { return false; }
    // A projectile's hit (world/objects/projectile_hits.cpp): the surface's sound at the hit point (none
    // when the projectile's hit-sound value is above 0.5); once the projectile has stopped, its
    // damage and, with "hitshake", the hit shake. The record must be given.
    void OnProjectileHit(ObjectTraceBlock* hit, const ProjectileHit& shot) override;
    void OnProjectileHitNotify(ObjectTraceBlock* hit, DynamicObject* source) override;
    // Geometry of the node tree (world/nodes/geometry_enum.cpp).
    // The texture of the first frame-0 mesh flagged for shadow overlays, depth first from the root.
    IDirect3DTexture8* FindFlaggedMeshTexture() override;
    // EnumNodeGeometry from the root; true.
    bool EnumGeometry(GeometryEnumCallback callback, GeometryEnumData* data) override;
    // The root node's translation and rotation; setting either makes the geometry box stale.
    void SetPosition(const Vector3& position) override;
    void SetRotation(const Vector3& angles) override;
    Vector3 GetPosition() const override;
    Vector3 GetRotation() const override;
    // The box of the world-space vertices of the tree below the root, at the nodes' current frames,
    // cached until boundsValid is cleared; -10 to 10 on every axis when the tree adds nothing.
    void GetGeometryBounds(float* box) override;
    // A definition line (world/objects/graph_obj_params.cpp). Unknown keywords go to the fixed weapon.
    bool SetParam(const char* name, const EngineString* values, int count) override;
    void ReleaseShaderSettings() override;
    // The poses of every node; applying or restoring one relinks the object in the world grid.
    void StorePose() override;
    void ApplyStoredPose() override;
    void RestorePose() override;

    // Operations every graphic class adds behind the world object's.
    // True for objects that animate every frame.
    virtual bool IsAnimated() const { return animate || alwaysAnimated; }
    // Whether the object's meshes go into the static GPU animation buffers.
    virtual bool UsesGpuAnimBuffers() const { return false; }
    // Binds the object's indoor mesh (the structure's).
    virtual void AttachIndoor() {}
    // The blood an object sheds when hit; null for objects that do not bleed.
    virtual const BleedingInfo* GetBleedingInfo() const { return nullptr; }

    GraphNode* GetRootNode() const { return root; }
    // Depth first from the root, the last child first: the node whose name equals the text without
    // regard to case. Null, with "WARNING: Child %s not found in GOBJ %s" in the log, when none.
    GraphNode* FindChild(const char* childName) const;
    // The same search without the log line, for a caller to whom a missing node is no fault.
    GraphNode* FindChildQuietly(const char* childName) const;
    // The mesh file of a definition's "anim" name: under the object's component folder, or with
    // "..\" under "component\" directly. folder receives the folder the file lies in (where its
    // textures are looked for). False, with "WARNING: Anim %s not found" in the log, when the
    // cache cannot give it.
    bool LoadAnim(const char* fileName, AnimMesh** mesh, EngineString* folder);
    // A texture named in a definition, under the object's component folder. False, with
    // "WARNING: Texture %s not found" in the log, when there is none.
    bool LoadTexture(const char* textureName, IDirect3DTexture8** texture, EngineString* folder);

    // Once per frame before drawing: the view distance, the level of detail, the billboard fade.
    void UpdateViewDistance();
    // The node decal operations on every node; UpdateDecals hands them the fog fade of the
    // object's distance from the viewer, DrawDecals draws nothing for an object (not an actor)
    // whose envelope counts it destroyed.
    void UpdateDecals();
    void DrawDecals();
    void ClearDecals();
    // Every node's mesh lists of the four drawing steps.
    void BuildLodMeshLists();
    // Every node's time stamp: the reference of the cross-fade weights.
    void StampNodeTimes();
    // Every node with a mesh moves on by seconds x the mesh's frame rate.
    void AdvanceFrameAll(float seconds);
    // Attaches the particle effect of that name (kind 1) to every node; nothing when none.
    void ExecParticleSet(const char* effectName);
    // Hands the callback, once per mesh, the world-space geometry of each mesh of the node's
    // current frame (blended towards the next, or during a cross-fade from the old mesh's frozen
    // frame towards frame 0 of the new one) that the object's level-of-detail step shows and that is
    // not left out of enumeration; then does the same for the children. A mesh too large for the
    // work buffer is skipped with a warning in the log.
    void EnumNodeGeometry(GraphNode* node, GeometryEnumCallback callback, GeometryEnumData* data);
    // The hit shake: a second of rocking about the horizontal axis across the direction. A shake
    // that runs is not restarted. UpdateHitShake moves it on once per frame and ends it with the
    // object's x and z rotation set to 0.
    void StartHitShake(const Vector3& direction);
    void UpdateHitShake();
    // Replaces the shader-setting list by the settings the mesh file declares (entries named
    // "sh..."); none when it declares none.
    void AddMeshShaderSettings(const AnimMesh* mesh);
    // Shadow overlays (world/nodes/shadow_overlay.cpp): the shadow triangles (three positions and three
    // coordinate pairs each) laid along the sun onto the lit faces of every node's meshes, one
    // overlay setting per node that receives some; then the list's box.
    void BuildShadowOverlays(const ShaderSetting* shadowTemplate, const Vector3* shadowPositions,
                             const float* shadowTexCoords, u32_t shadowTriangleCount);
    void BuildNodeShadowOverlay(GraphNode* node, const ShaderSetting* shadowTemplate, const Vector3* shadowPositions,
                                const float* shadowTexCoords, u32_t shadowTriangleCount);
    // Visits every node, root first, then the last child's subtree before the earlier ones.
    template <class Visit>
    void ForEachNode(Visit visit)
    {
        WalkNodeTree(root, [&](GraphNode* node) {
            visit(node);
            return false;
        });
    }

    float viewDistance = 0.0f;    // level-of-detail distance of the frame
    float viewDistanceSq = 0.0f;  // squared camera distance of the root; sort key of far billboards
    u8_t meshFadeAlpha = 0;       // alpha of the meshes while they cross-fade into the billboard
    u8_t lodLevel = 0;            // 0 near to 2 far
    u8_t billboardOnly = 0;       // while the field of view is not the normal one
    u8_t meshOnly = 0;
    u8_t alwaysAnimated = 0;  // the sky objects
    // Made by "weapon"; lines this object does not know go to it. Registered in the world, which
    // deletes it.
    Weapon* fixedWeapon = nullptr;
    u8_t previousLodLevel = 0;
    GraphNode* root;  // owned; the node named "root"
    Vector3 boundsMin;
    Vector3 boundsMax;
    u8_t boundsValid = 0;
    u8_t fly = 0;         // "fly": not set down on the terrain when placed
    u8_t lodChanged = 0;  // the level changed this frame; the classes' Update rebuild shadows
    IDirect3DTexture8* billboardTexture = nullptr;
    u8_t billboardVariant = 0;   // the quarter of the billboard texture used, 0-3
    float billboardNear = 0.0f;  // 0: no billboard
    float billboardMid = 0.0f;
    float billboardFar = 0.0f;
    u8_t animate = 0;  // "animate": the first child plays its animation continuously
    float animateSpeed = 0.0f;
    EngineString indoorName;  // "indoor"
    IndoorLink* indoorLink = nullptr;
    ObjectGridEntry* gridEntryCopy = nullptr;  // the entry gridEntry holds
    // Hit shake.
    u8_t shaking = 0;
    u32_t shakeDuration = 0;
    u32_t shakeStartTick = 0;
    float shakePhase = 0.0f;
    float shakeSpeed = 0.0f;
    Vector3 shakeAxis;
    // "decal": the blood of the object: up to 5 textures, and the smallest size, the largest size
    // and a size factor.
    IDirect3DTexture8* decalTextures[GRAPH_OBJ_DECAL_TEXTURES] = {};
    float decalSize[3] = {};
    s32_t decalTextureCount = 0;
    float damageRadius = 0.0f;                    // "radius": damage round the object at its destruction
    float damageAmount = 0.0f;                    // "damage"
    u8_t randomStartFrame = 0;                    // set with "animate"
    ShaderSettingList* shaderSettings = nullptr;  // owned
    // 1: drawn in the world passes; 0 (far, set by the visibility collection): drawn under pass
    // selector 15, and not at all while the indoor pass list runs.
    s32_t fullDetail = 1;
    // The faces of the last collidable mesh of level 0 (or of every level) that LoadAnim loaded.
    s32_t collidableFaceCount = 0;

private:
    void DrawBillboard();
};

// A new child node of the parent, named so and showing the mesh (its textures from textureFolder),
// attached at the parent mesh's dummy and at its own (null or unknown names: none). A node made while
// a definition is applied takes that definition as its source.
GraphNode* GraphObjAddMeshNode(GraphNode* parent, const char* name, AnimMesh* mesh, const char* textureFolder,
                               const char* parentDummy, const char* ownDummy);
