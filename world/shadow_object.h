// Shadow companions: world objects that stand beside their source object in the world registry and
// the object grid, and that the shadow passes draw. So far they estimate the space their shadow
// covers; building the shadow geometry comes with the shadow passes.
#pragma once
#include "world/dynamic_object.h"

class ShadowObject : public DynamicObject {
public:
    // Creates the companion's grid entry (kind 4, owned by the companion).
    explicit ShadowObject(DynamicObject* shadowSource);
    ~ShadowObject() override;

    // The source's box together with the same box moved against the sun direction by the box's
    // height along it (sets shadowLength to twice that length).
    void GetGeometryBounds(float* box) override;

    virtual void Invalidate() { needsRebuild = 1; }
    virtual void Rebuild() {}

    Vector3 builtBoxMin = {1e30f, 1e30f, 1e30f};
    Vector3 builtBoxMax = {-1e30f, -1e30f, -1e30f};
    DynamicObject* source;  // not owned
    float shadowLength = 0.0f;
    s32_t shadowKind = 0;  // 0 shadow object, 1 shadow volume, 2 bounds shadow
    u8_t needsRebuild = 1;
};

class ShadowVolume : public ShadowObject {
public:
    explicit ShadowVolume(DynamicObject* shadowSource) : ShadowObject(shadowSource) { shadowKind = 1; }
};
