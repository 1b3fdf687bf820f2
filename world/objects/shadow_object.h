// Shadow companions: world objects that stand for the shadow another object casts. They are
// registered beside their source, found by the same spatial queries and drawn by the shadow
// passes. The base estimates the space the shadow covers from the source's box and the sun;
// the bounds shadow is a small textured quad laid on the ground under the source. Each rebuilds
// its geometry lazily, after the source marked it with Invalidate.
#pragma once
#include "core/types.h"
#include "world/objects/dynamic_object.h"

class IDirect3DTexture8;

enum ShadowKind : s32_t {
    SHADOW_KIND_ESTIMATE = 0,  // the base: no geometry of its own
    SHADOW_KIND_VOLUME = 1,
    SHADOW_KIND_BOUNDS = 2,
};

// |sun direction y| is taken as at least this, so that a sun on the horizon casts long but
// finite shadows.
constexpr float SHADOW_MIN_SUN_HEIGHT = 0.01f;

// The direction towards the sun ("mvsundir") at unit length; straight up when it is the zero vector.
Vector3 ShadowLightDirection();
// The box the source's shadow can cover: the source's geometry box together with that box moved
// away from the sun until it has sunk by its own height. Returns the extrusion length that goes
// with it: twice the length of that move.
float ShadowEstimateBox(DynamicObject* source, float* box);

// Marks the source's two companions (shadowCompanion, shadowVolume) stale and relinks them in the
// world grid: what the classes' InvalidateShadows do when their shape changed.
void ShadowCompanionsInvalidate(DynamicObject* source);

class ShadowObject : public DynamicObject {
public:
    // The companion of the source (not owned), with its own grid entry (kind 4).
    explicit ShadowObject(DynamicObject* sourceObject);
    ~ShadowObject() override;

    // The estimated box; it also sets shadowLength.
    void GetGeometryBounds(float* box) override;

    // Operations every companion adds: marks the geometry stale; brings it up to date.
    virtual void Invalidate() { needsRebuild = 1; }
    virtual void Rebuild() {}

    Vector3 builtBoxMin = {1e30f, 1e30f, 1e30f};  // box of the built geometry (volumes)
    Vector3 builtBoxMax = {-1e30f, -1e30f, -1e30f};
    DynamicObject* source;
    float shadowLength = 0.0f;  // extrusion length, set with the estimate
    s32_t shadowKind = SHADOW_KIND_ESTIMATE;
    u8_t needsRebuild = 1;
};

// A 2 x 2 grid of ground points under the source, carrying the texture of its flagged mesh.
class BoundsShadowObject : public ShadowObject {
public:
    BoundsShadowObject(DynamicObject* sourceObject, IDirect3DTexture8* texture);
    ~BoundsShadowObject() override;

    // A square of the source's larger horizontal extent, stretched away from the sun, whose
    // corners are dropped onto the map and raised 0.1 along its normal there.
    void Rebuild() override;

    u32_t gridSize = 0;                // 2 from the first rebuild on
    Vector3* groundPoints = nullptr;   // owned; gridSize x gridSize, row by row
    IDirect3DTexture8* shadowTexture;  // the texture manager's
};
