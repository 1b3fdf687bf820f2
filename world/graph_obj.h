// The base class of every placed visible object: a world object with a tree of nodes rooted at
// "root". The object classes fill the rest in (parameters, animations, drawing).
#pragma once
#include "world/dynamic_object.h"

class GraphNode;
struct BleedingInfo;

class GraphObj : public DynamicObject {
public:
    GraphObj();
    ~GraphObj() override;

    // The translation of the root node.
    Vector3 GetPosition() const override;
    // Sets the translation of the root node.
    void SetPosition(const Vector3& position) override;
    bool IsCollidable() const override { return collidable; }
    // The boxes of every frame-0 mesh of the tree, in world space; a point at the position when
    // the tree holds no mesh.
    void GetGeometryBounds(float* box) const override;

    // Whether the object's meshes go into the static GPU animation buffers.
    virtual bool UsesGpuAnimBuffers() const { return false; }
    // The blood an object sheds when hit; null for objects that do not bleed.
    virtual const BleedingInfo* GetBleedingInfo() const { return nullptr; }

    GraphNode* GetRootNode() const { return m_root; }
    // Searches the tree for a frame-0 mesh or a dummy box of that name (without regard to case).
    // Gives its node and its point in the node's space: the centre of the mesh's box, or the
    // box's position. False when nothing has the name.
    bool FindNamedPoint(const char* pointName, GraphNode** nodeOut, Vector3* pointOut) const;

    bool collidable = true;
    // Set once the object has been moved onto the terrain; "fly" objects are never moved there.
    u8_t placedOnGround = 0;
    u8_t fly = 0;

private:
    GraphNode* m_root;
};
