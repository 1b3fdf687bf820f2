// The leaf tree walk for any processor: each lane of a packet tested on its own, in the order of
// operations of the vector kernels.
#include "map/trace/map_trace_leaf_kernels.h"
#include "map/trace/map_trace_leaf_tree_walk.h"

namespace {

// The vector instructions' minimum and maximum: the second operand when either is not a number.
float MinLike(float a, float b)
{
    return a < b ? a : b;
}

float MaxLike(float a, float b)
{
    return a > b ? a : b;
}

struct ScalarKernel {
    struct Slabs {
        float stepFactor[3];
        float offset[3];
    };

    static Slabs MakeSlabs(const float* stepFactor, const float* offset)
    {
        Slabs s;
        for (int axis = 0; axis < 3; ++axis) {
            s.stepFactor[axis] = stepFactor[axis];
            s.offset[axis] = offset[axis];
        }
        return s;
    }

    static int NodeSlabs(const QuadNode& node, const Slabs& s, float limit, float* entries)
    {
        int mask = 0;
        for (int k = 0; k < 4; ++k) {
            float near = 0.0f, far = limit;
            for (int axis = 0; axis < 3; ++axis) {
                const float t0 = static_cast<float>(node.low[axis][k]) * s.stepFactor[axis] + s.offset[axis];
                const float t1 = static_cast<float>(node.high[axis][k]) * s.stepFactor[axis] + s.offset[axis];
                near = MaxLike(near, MinLike(t0, t1));
                far = MinLike(far, MaxLike(t0, t1));
            }
            entries[k] = near;
            if (near <= far)
                mask |= 1 << k;
        }
        return mask;
    }

    static void TestPacket(const TrianglePacket& p, const TraceLeafRay& ray, LeafTriangleHit* best, bool* found)
    {
        const float dx = ray.direction[0], dy = ray.direction[1], dz = ray.direction[2];
        for (u32_t lane = 0; lane < kTraceLanes; ++lane) {
            if (p.face[lane] == kTraceNoFace)
                continue;
            const float e1x = p.e1[0][lane], e1y = p.e1[1][lane], e1z = p.e1[2][lane];
            const float e2x = p.e2[0][lane], e2y = p.e2[1][lane], e2z = p.e2[2][lane];
            const float px = dy * e2z - dz * e2y;
            const float py = dz * e2x - dx * e2z;
            const float pz = dx * e2y - dy * e2x;
            const float det = (e1x * px + e1y * py) + e1z * pz;
            if (__builtin_fabsf(det) < 1e-12f)
                continue;
            const float inverse = 1.0f / det;
            const float tx = ray.origin[0] - p.p0[0][lane];
            const float ty = ray.origin[1] - p.p0[1][lane];
            const float tz = ray.origin[2] - p.p0[2][lane];
            const float bu = ((tx * px + ty * py) + tz * pz) * inverse;
            if (bu < 0.0f || bu > 1.0f)
                continue;
            const float qx = ty * e1z - tz * e1y;
            const float qy = tz * e1x - tx * e1z;
            const float qz = tx * e1y - ty * e1x;
            const float bv = ((dx * qx + dy * qy) + dz * qz) * inverse;
            if (bv < 0.0f || bu + bv > 1.0f)
                continue;
            const float t = ((e2x * qx + e2y * qy) + e2z * qz) * inverse;
            // The trace's own rule: 0 <= t <= 1 (a parameter that is not a number is never taken).
            if (!(t >= 0.0f && t <= 1.0f))
                continue;
            TraceLeafTakeLane(t, bu, bv, p.face[lane], best, found);
        }
    }

    static void TestPackets(const TrianglePacket* const* packets, u32_t count, const TraceLeafRay& ray,
                            LeafTriangleHit* best, bool* found)
    {
        for (u32_t i = 0; i < count; ++i)
            TestPacket(*packets[i], ray, best, found);
    }
};

}  // namespace

bool MapTraceLeafWalkScalar(const MapTraceLeafData* data, const Vector3& start, const Vector3& direction,
                            LeafTriangleHit* hit)
{
    return TraceLeafTreeWalk<ScalarKernel>(data, start, direction, hit);
}
