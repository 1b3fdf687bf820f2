// Walking a segment through the octree: the leaves its ray meets, nearest first.
#pragma once
#include "core/types.h"

struct OctreeNode;
struct OctreeTraceContext;

// Called for each leaf the ray meets; true stops the walk.
using OctreeLeafCallback = bool (*)(OctreeNode* leaf, OctreeTraceContext* context);

// What the walk hands to each leaf callback.
struct OctreeTraceContext {
    Vector3 start;      // as passed
    Vector3 direction;  // end - start, as passed
    OctreeLeafCallback callback;
    void* user;
    u32_t mirrorMask;  // the axes the walk mirrored to make the direction positive: x 4, y 2, z 1
    s32_t tileX, tileZ;
    float lengthSquared;  // of end - start
};

// Hands the leaves that the ray from start through end meets inside the root box to the callback,
// front to back, each once, until a callback returns true (the result is then true). Leaves past
// the end are visited too: the callback decides what counts. A root that lies wholly behind the
// start, or a segment with a coordinate that is not finite, visits nothing.
bool OctreeTraceSegment(const float* start, const float* end, OctreeLeafCallback callback, void* user, s32_t tileX,
                        s32_t tileZ);
