// The base class of every placed visible object: a world object with a tree of nodes rooted at
// "root", a cached geometry box, and the loading of the meshes and textures its definition names.
// The object classes fill the rest in (parameters, drawing).
#pragma once
#include "world/dynamic_object.h"

class AnimMesh;
class GraphNode;
struct BleedingInfo;

class GraphObj : public DynamicObject {
public:
    GraphObj();
    ~GraphObj() override;

    // The root node's translation and rotation; setting either makes the geometry box stale.
    void SetPosition(const Vector3& position) override;
    void SetRotation(const Vector3& angles) override;
    Vector3 GetPosition() const override;
    Vector3 GetRotation() const override;
    bool IsCollidable() const override { return collidable; }
    // The box of the world-space vertices of the tree below the root, at the nodes' current frames,
    // cached until boundsValid is cleared; -10 to 10 on every axis when the tree adds nothing.
    void GetGeometryBounds(float* box) override;

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
    // The mesh file of a definition's "anim" name: under the object's component folder, or with
    // "..\" under "component\" directly. folder receives the folder the file lies in (where its
    // textures are looked for). False, with "WARNING: Anim %s not found" in the log, when the
    // cache cannot give it.
    bool LoadAnim(const char* fileName, AnimMesh** mesh, EngineString* folder);
    // A texture named in a definition, under the object's component folder. False, with
    // "WARNING: Texture %s not found" in the log, when there is none.
    bool LoadTexture(const char* textureName, IDirect3DTexture8** texture, EngineString* folder);
    // Searches the tree for a frame-0 mesh or a dummy box of that name (without regard to case).
    // Gives its node and its point in the node's space: the centre of the mesh's box, or the
    // box's position. False when nothing has the name.
    bool FindNamedPoint(const char* pointName, GraphNode** nodeOut, Vector3* pointOut) const;

    GraphNode* root;  // owned; the node named "root"
    Vector3 boundsMin;
    Vector3 boundsMax;
    u8_t boundsValid = 0;
    // The faces of the last collidable mesh of level 0 (or of every level) that LoadAnim loaded.
    s32_t collidableFaceCount = 0;
    u8_t fly = 0;             // "fly": not set down on the terrain when placed
    u8_t animate = 0;         // "animate": the first child plays its animation continuously
    u8_t alwaysAnimated = 0;  // the sky objects
    bool collidable = true;
    // Set by each collection of visible objects: 1 for a near object, 0 for one far enough to be
    // drawn with reduced detail.
    s32_t fullDetail = 1;
};
