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

// The ray parameters at which the segment's line crosses the root box's slabs, the ray mirrored to
// run up every axis: the traversal's starting state.
struct OctreeTraceSlabs {
    float x0, y0, z0, x1, y1, z1;
};

// Starts a traversal of the box (the root's) by the segment: fills the context (callback null) and
// the slabs, and the parameter where the ray enters the box. False for a segment with a coordinate
// that is not finite, a box too large for float parameters, or a box the ray misses or that lies
// wholly behind the start.
bool OctreeTraceBegin(const Vector3& boxMin, const Vector3& boxMax, const float* start, const float* end, void* user,
                      s32_t tileX, s32_t tileZ, OctreeTraceContext* context, OctreeTraceSlabs* slabs, float* entry);

// Hands the leaves that the ray from start through end meets inside the root box to the callback,
// front to back, each once, until a callback returns true (the result is then true). Leaves past
// the end are visited too: the callback decides what counts. A root that lies wholly behind the
// start, or a segment with a coordinate that is not finite, visits nothing.
bool OctreeTraceSegment(const float* start, const float* end, OctreeLeafCallback callback, void* user, s32_t tileX,
                        s32_t tileZ);
