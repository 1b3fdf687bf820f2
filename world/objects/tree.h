// Trees: graphic objects always set down on the terrain at their first update, collidable through
// their child nodes, and swaying about the horizontal axis across the wind while they are seen at
// the nearest level of detail.
#pragma once
#include "platform/d3d8.h"
#include "world/objects/graph_obj.h"

// The sway's largest angle either way, in radians.
constexpr float TREE_SWAY_ANGLE = 0.02f;

class Tree : public GraphObj {
public:
    // typeId 10, energy 1000, at (0, 0, 0), waiting to be placed.
    Tree();

    float TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit) override;
    bool SphereCollision(const Vector3& centre, float radius, Vector3* out) override;
    bool FootprintCollision(const Vector3& point, float halfSize, Vector3* out) override;
    // The placing, then at level of detail 0 the sway and the shadow refresh.
    void Update() override;
    const char* GetComponentFolder() const override { return "component\\tree\\"; }
    const char* GetObjectFolder() const override { return "object\\trees\\"; }
    bool IsCollidable() const override { return true; }
    void InvalidateShadows() override;
    void LoadState(SavedObjectState* /*state*/) override {}
    bool IsAnimated() const override { return false; }
    bool UsesGpuAnimBuffers() const override { return true; }

    u8_t needsPlacing = 1;
    D3DMATRIX baseMatrix;  // the root's matrix once placed
    Vector3 swayAxis;      // horizontal, across the wind
    D3DMATRIX toOrigin;    // translation by minus the placed position
    D3DMATRIX fromOrigin;  // translation by the placed position
    float swayPhase = 0.0f;

private:
    void Place();
    void Sway();
};
