// Placed static scenery of a mission: a graphic object that settles on the terrain at its first
// update unless it flies, may play a looping animation, and answers ray, sphere and footprint
// tests from its node tree.
#pragma once
#include "world/objects/graph_obj.h"

class MapObject : public GraphObj {
public:
    // typeId 6, at (0, 0, 0), waiting for its first update.
    MapObject();

    float TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit) override;
    bool SphereCollision(const Vector3& centre, float radius, Vector3* out) override;
    bool FootprintCollision(const Vector3& point, float halfSize, Vector3* out) override;
    // The random start frame and the animation of the first child, the settling on the ground
    // (once), the hit shake, and the shadow refresh when asked for or while animating.
    void Update() override;
    const char* GetComponentFolder() const override { return "component\\mapobject\\"; }
    const char* GetObjectFolder() const override { return "object\\map_obj\\"; }
    bool IsCollidable() const override { return true; }
    void InvalidateShadows() override;
    bool UsesGpuAnimBuffers() const override { return true; }

    u8_t firstUpdate = 1;
};
