// Buildings: graphic objects set down on the terrain at their first update (unless they fly),
// collidable through their child nodes, optionally animated, and optionally linked to an indoor
// mesh of the indoor-rendering plug-in.
#pragma once
#include "world/objects/graph_obj.h"

class Structure : public GraphObj {
public:
    // typeId 3, at (0, 0, 0), waiting to be placed.
    Structure();

    // The graphic object's drawing, then the indoor link's transform refresh.
    void Render() override;
    float TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit) override;
    bool SphereCollision(const Vector3& centre, float radius, Vector3* out) override;
    bool FootprintCollision(const Vector3& point, float halfSize, Vector3* out) override;
    // The random start frame and the animation of the first child, the placing, and the shadow
    // refresh after a level change or while animating.
    void Update() override;
    const char* GetComponentFolder() const override { return "component\\structure\\"; }
    const char* GetObjectFolder() const override { return "object\\structures\\"; }
    bool IsCollidable() const override { return true; }
    void InvalidateShadows() override;
    void LoadState(SavedObjectState* /*state*/) override {}
    bool UsesGpuAnimBuffers() const override { return true; }
    // With an indoor name: makes the indoor link and announces it to the plug-in.
    void AttachIndoor() override;

    u8_t needsPlacing = 1;
};
