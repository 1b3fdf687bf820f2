// The leaf tree walk with SSE 4.1: the four triangles of a packet and the four boxes of a node at
// once. Compiled for SSE 4.1 (map/CMakeLists.txt); called only when the processor has it.
#if defined(__x86_64__) || defined(__i386__)
#include <smmintrin.h>

#include "map/trace/map_trace_leaf_kernels.h"
#include "map/trace/map_trace_leaf_tree_walk.h"

namespace {

// Four signed 16-bit steps as floats.
__m128 Widen(const s16_t* steps)
{
    return _mm_cvtepi32_ps(_mm_cvtepi16_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(steps))));
}

struct Sse41Kernel {
    struct Slabs {
        __m128 stepFactor[3];
        __m128 offset[3];
    };

    static Slabs MakeSlabs(const float* stepFactor, const float* offset)
    {
        Slabs s;
        for (int axis = 0; axis < 3; ++axis) {
            s.stepFactor[axis] = _mm_set1_ps(stepFactor[axis]);
            s.offset[axis] = _mm_set1_ps(offset[axis]);
        }
        return s;
    }

    static int NodeSlabs(const QuadNode& node, const Slabs& s, float limit, float* entries)
    {
        __m128 near = _mm_setzero_ps(), far = _mm_set1_ps(limit);
        for (int axis = 0; axis < 3; ++axis) {
            const __m128 low = Widen(node.low[axis]), high = Widen(node.high[axis]);
            const __m128 t0 = _mm_add_ps(_mm_mul_ps(low, s.stepFactor[axis]), s.offset[axis]);
            const __m128 t1 = _mm_add_ps(_mm_mul_ps(high, s.stepFactor[axis]), s.offset[axis]);
            near = _mm_max_ps(near, _mm_min_ps(t0, t1));
            far = _mm_min_ps(far, _mm_max_ps(t0, t1));
        }
        _mm_store_ps(entries, near);
        return _mm_movemask_ps(_mm_cmple_ps(near, far));
    }

    static void TestPacket(const TrianglePacket& p, const TraceLeafRay& ray, LeafTriangleHit* best, bool* found)
    {
        const __m128 dx = _mm_set1_ps(ray.direction[0]), dy = _mm_set1_ps(ray.direction[1]),
                     dz = _mm_set1_ps(ray.direction[2]);
        const __m128 e1x = _mm_load_ps(p.e1[0]), e1y = _mm_load_ps(p.e1[1]), e1z = _mm_load_ps(p.e1[2]);
        const __m128 e2x = _mm_load_ps(p.e2[0]), e2y = _mm_load_ps(p.e2[1]), e2z = _mm_load_ps(p.e2[2]);
        const __m128 px = _mm_sub_ps(_mm_mul_ps(dy, e2z), _mm_mul_ps(dz, e2y));
        const __m128 py = _mm_sub_ps(_mm_mul_ps(dz, e2x), _mm_mul_ps(dx, e2z));
        const __m128 pz = _mm_sub_ps(_mm_mul_ps(dx, e2y), _mm_mul_ps(dy, e2x));
        const __m128 det = _mm_add_ps(_mm_add_ps(_mm_mul_ps(e1x, px), _mm_mul_ps(e1y, py)), _mm_mul_ps(e1z, pz));
        const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
        __m128 reject = _mm_cmplt_ps(_mm_and_ps(det, absMask), _mm_set1_ps(1e-12f));
        const __m128 inverse = _mm_div_ps(_mm_set1_ps(1.0f), det);
        const __m128 tx = _mm_sub_ps(_mm_set1_ps(ray.origin[0]), _mm_load_ps(p.p0[0]));
        const __m128 ty = _mm_sub_ps(_mm_set1_ps(ray.origin[1]), _mm_load_ps(p.p0[1]));
        const __m128 tz = _mm_sub_ps(_mm_set1_ps(ray.origin[2]), _mm_load_ps(p.p0[2]));
        const __m128 bu =
            _mm_mul_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(tx, px), _mm_mul_ps(ty, py)), _mm_mul_ps(tz, pz)), inverse);
        const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
        reject = _mm_or_ps(reject, _mm_or_ps(_mm_cmplt_ps(bu, zero), _mm_cmpgt_ps(bu, one)));
        if (_mm_movemask_ps(reject) == 0xF)
            return;
        const __m128 qx = _mm_sub_ps(_mm_mul_ps(ty, e1z), _mm_mul_ps(tz, e1y));
        const __m128 qy = _mm_sub_ps(_mm_mul_ps(tz, e1x), _mm_mul_ps(tx, e1z));
        const __m128 qz = _mm_sub_ps(_mm_mul_ps(tx, e1y), _mm_mul_ps(ty, e1x));
        const __m128 bv =
            _mm_mul_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, qx), _mm_mul_ps(dy, qy)), _mm_mul_ps(dz, qz)), inverse);
        reject = _mm_or_ps(reject, _mm_or_ps(_mm_cmplt_ps(bv, zero), _mm_cmpgt_ps(_mm_add_ps(bu, bv), one)));
        const __m128 t =
            _mm_mul_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(e2x, qx), _mm_mul_ps(e2y, qy)), _mm_mul_ps(e2z, qz)), inverse);
        reject = _mm_or_ps(reject, _mm_cmplt_ps(t, zero));
        // The trace's own rule: 0 <= t <= 1 (a parameter that is not a number is never taken).
        const __m128 inRange = _mm_and_ps(_mm_cmpge_ps(t, zero), _mm_cmple_ps(t, one));
        const int mask = _mm_movemask_ps(_mm_andnot_ps(reject, inRange));
        if (!mask)
            return;
        alignas(16) float ts[4], us[4], vs[4];
        _mm_store_ps(ts, t);
        _mm_store_ps(us, bu);
        _mm_store_ps(vs, bv);
        for (u32_t lane = 0; lane < kTraceLanes; ++lane) {
            if (mask & (1 << lane))
                TraceLeafTakeLane(ts[lane], us[lane], vs[lane], p.face[lane], best, found);
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

bool MapTraceLeafWalkSse41(const MapTraceLeafData* data, const Vector3& start, const Vector3& direction,
                           LeafTriangleHit* hit)
{
    return TraceLeafTreeWalk<Sse41Kernel>(data, start, direction, hit);
}
#endif
