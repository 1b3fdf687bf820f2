// The parametric octree traversal of Revelles, Urena and Lastra ("An Efficient Parametric Algorithm
// for Octree Traversal", 2000): the ray is mirrored so that its direction is positive on every axis,
// and each node is entered with the ray parameters of its slabs, from which the children it crosses
// follow in order without any further box test.
#include "map/octree/octree_trace.h"

#include <cmath>

#include "core/assert.h"
#include "map/octree/octree.h"

namespace {

// The smallest direction component: keeps the slab divisions finite for axis-parallel rays.
constexpr float kMinDirection = 1e-25f;

using Slabs = OctreeTraceSlabs;

bool Subtree(OctreeNode* node, const Slabs& t, OctreeTraceContext* context)
{
    if (t.x1 < 0.0f || t.y1 < 0.0f || t.z1 < 0.0f)
        return false;
    if (node->IsLeaf())
        return context->callback(node, context);
    const float xm = (t.x0 + t.x1) / 2, ym = (t.y0 + t.y1) / 2, zm = (t.z0 + t.z1) / 2;
    const u32_t mirror = context->mirrorMask;
    int k = OctreeTraceFirstChild(t, xm, ym, zm);
    while (k < 8) {
        ENGINE_ASSERT((static_cast<u32_t>(k) ^ mirror) < 8);
        OctreeNode* child = node->children[static_cast<u32_t>(k) ^ mirror];
        Slabs c;
        switch (k) {
            case 0:
                c = {t.x0, t.y0, t.z0, xm, ym, zm};
                if (Subtree(child, c, context))
                    return true;
                k = OctreeTraceNextChild(xm, 4, ym, 2, zm, 1);
                break;
            case 1:
                c = {t.x0, t.y0, zm, xm, ym, t.z1};
                if (Subtree(child, c, context))
                    return true;
                k = OctreeTraceNextChild(xm, 5, ym, 3, t.z1, 8);
                break;
            case 2:
                c = {t.x0, ym, t.z0, xm, t.y1, zm};
                if (Subtree(child, c, context))
                    return true;
                k = OctreeTraceNextChild(xm, 6, t.y1, 8, zm, 3);
                break;
            case 3:
                c = {t.x0, ym, zm, xm, t.y1, t.z1};
                if (Subtree(child, c, context))
                    return true;
                k = OctreeTraceNextChild(xm, 7, t.y1, 8, t.z1, 8);
                break;
            case 4:
                c = {xm, t.y0, t.z0, t.x1, ym, zm};
                if (Subtree(child, c, context))
                    return true;
                k = OctreeTraceNextChild(t.x1, 8, ym, 6, zm, 5);
                break;
            case 5:
                c = {xm, t.y0, zm, t.x1, ym, t.z1};
                if (Subtree(child, c, context))
                    return true;
                k = OctreeTraceNextChild(t.x1, 8, ym, 7, t.z1, 8);
                break;
            case 6:
                c = {xm, ym, t.z0, t.x1, t.y1, zm};
                if (Subtree(child, c, context))
                    return true;
                k = OctreeTraceNextChild(t.x1, 8, t.y1, 8, zm, 7);
                break;
            default:
                c = {xm, ym, zm, t.x1, t.y1, t.z1};
                if (Subtree(child, c, context))
                    return true;
                k = 8;
                break;
        }
    }
    return false;
}

}  // namespace

bool OctreeTraceBegin(const Vector3& boxMin, const Vector3& boxMax, const float* start, const float* end, void* user,
                      s32_t tileX, s32_t tileZ, OctreeTraceContext* context, OctreeTraceSlabs* slabs, float* entry)
{
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(start[i]) || !std::isfinite(end[i]))
            return false;
    }
    context->start = {start[0], start[1], start[2]};
    context->direction = {end[0] - start[0], end[1] - start[1], end[2] - start[2]};
    context->callback = nullptr;
    context->user = user;
    context->mirrorMask = 0;
    context->tileX = tileX;
    context->tileZ = tileZ;
    const Vector3& d = context->direction;
    context->lengthSquared = d.x * d.x + d.y * d.y + d.z * d.z;

    // Mirror the ray about the box's centre on every axis it runs down.
    const float origin[3] = {start[0], start[1], start[2]};
    const float direction[3] = {d.x, d.y, d.z};
    const float low[3] = {boxMin.x, boxMin.y, boxMin.z};
    const float high[3] = {boxMax.x, boxMax.y, boxMax.z};
    const u32_t bits[3] = {OCTREE_CHILD_X, OCTREE_CHILD_Y, OCTREE_CHILD_Z};
    float o[3], dir[3], t0[3], t1[3];
    for (int i = 0; i < 3; ++i) {
        o[i] = origin[i];
        dir[i] = direction[i];
        if (dir[i] < 0.0f) {
            dir[i] = -dir[i];
            o[i] = (low[i] + high[i]) - origin[i];
            context->mirrorMask |= bits[i];
        }
        if (dir[i] < kMinDirection)
            dir[i] = kMinDirection;
        t0[i] = (low[i] - o[i]) / dir[i];
        t1[i] = (high[i] - o[i]) / dir[i];
        // Only a box too large for float parameters gets here.
        if (std::isnan(t0[i]) || std::isnan(t1[i]))
            return false;
    }
    const Slabs t = {t0[0], t0[1], t0[2], t1[0], t1[1], t1[2]};
    ENGINE_ASSERT(t.x0 <= t.x1);
    ENGINE_ASSERT(t.y0 <= t.y1);
    ENGINE_ASSERT(t.z0 <= t.z1);
    *slabs = t;
    *entry = std::fmax(t.x0, std::fmax(t.y0, t.z0));
    const float exit = std::fmin(t.x1, std::fmin(t.y1, t.z1));
    return *entry < exit && t.x1 >= 0.0f && t.y1 >= 0.0f && t.z1 >= 0.0f;
}

bool OctreeTraceSegment(const float* start, const float* end, OctreeLeafCallback callback, void* user, s32_t tileX,
                        s32_t tileZ)
{
    OctreeNode* root = OctreeGetRoot();
    if (!root || !callback)
        return false;
    OctreeTraceContext context;
    Slabs t;
    float entry = 0.0f;
    if (!OctreeTraceBegin(root->boxMin, root->boxMax, start, end, user, tileX, tileZ, &context, &t, &entry))
        return false;
    context.callback = callback;
    if (root->IsLeaf())
        return callback(root, &context);
    return Subtree(root, t, &context);
}
