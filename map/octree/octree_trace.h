// Walking a segment through the octree: the leaves its ray meets, nearest first.
#pragma once
#include "core/types.h"
#include "map/octree/octree.h"

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

// The first child the ray enters: the entry plane is that of the latest entry parameter (ties to
// the later axis), and the mid planes already crossed at that moment give the other bits.
inline int OctreeTraceFirstChild(const OctreeTraceSlabs& t, float xm, float ym, float zm)
{
    float entry = t.x0;
    int axis = 0;
    if (t.y0 >= entry) {
        entry = t.y0;
        axis = 1;
    }
    if (t.z0 >= entry) {
        entry = t.z0;
        axis = 2;
    }
    switch (axis) {
        case 0:
            return (ym < entry ? OCTREE_CHILD_Y : 0) | (zm < entry ? OCTREE_CHILD_Z : 0);
        case 1:
            return (xm < entry ? OCTREE_CHILD_X : 0) | (zm < entry ? OCTREE_CHILD_Z : 0);
        default:
            return (xm < entry ? OCTREE_CHILD_X : 0) | (ym < entry ? OCTREE_CHILD_Y : 0);
    }
}

// The child after the current one: the exit plane is the nearest of the three, ties to the one
// listed first; 8 when the ray leaves the node.
inline int OctreeTraceNextChild(float a, int ia, float b, int ib, float c, int ic)
{
    if (a <= b && a <= c)
        return ia;
    return b <= c ? ib : ic;
}

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
