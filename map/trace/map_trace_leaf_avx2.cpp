// The leaf tree walk with AVX2: two packets (eight triangles) at once, the four boxes of a node as
// with SSE 4.1. Compiled for AVX2 without fused multiply-add (map/CMakeLists.txt), so that every
// lane rounds as the scalar test does; called only when the processor has AVX2.
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "map/trace/map_trace_leaf_kernels.h"
#include "map/trace/map_trace_leaf_tree_walk.h"

namespace {

// Four signed 16-bit steps as floats.
__m128 Widen(const s16_t* steps)
{
    return _mm_cvtepi32_ps(_mm_cvtepi16_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(steps))));
}

// One row of two packets: the first's four lanes, then the second's.
__m256 Pair(const float* first, const float* second)
{
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_load_ps(first)), _mm_load_ps(second), 1);
}

struct Avx2Kernel {
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

    // Packets a and b (b may be a again, its lanes then ignored).
    static void TestPair(const TrianglePacket& a, const TrianglePacket& b, bool both, const TraceLeafRay& ray,
                         LeafTriangleHit* best, bool* found)
    {
        const __m256 dx = _mm256_set1_ps(ray.direction[0]), dy = _mm256_set1_ps(ray.direction[1]),
                     dz = _mm256_set1_ps(ray.direction[2]);
        const __m256 e1x = Pair(a.e1[0], b.e1[0]), e1y = Pair(a.e1[1], b.e1[1]), e1z = Pair(a.e1[2], b.e1[2]);
        const __m256 e2x = Pair(a.e2[0], b.e2[0]), e2y = Pair(a.e2[1], b.e2[1]), e2z = Pair(a.e2[2], b.e2[2]);
        const __m256 px = _mm256_sub_ps(_mm256_mul_ps(dy, e2z), _mm256_mul_ps(dz, e2y));
        const __m256 py = _mm256_sub_ps(_mm256_mul_ps(dz, e2x), _mm256_mul_ps(dx, e2z));
        const __m256 pz = _mm256_sub_ps(_mm256_mul_ps(dx, e2y), _mm256_mul_ps(dy, e2x));
        const __m256 det =
            _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(e1x, px), _mm256_mul_ps(e1y, py)), _mm256_mul_ps(e1z, pz));
        const __m256 absMask = _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF));
        __m256 reject = _mm256_cmp_ps(_mm256_and_ps(det, absMask), _mm256_set1_ps(1e-12f), _CMP_LT_OQ);
        const __m256 inverse = _mm256_div_ps(_mm256_set1_ps(1.0f), det);
        const __m256 tx = _mm256_sub_ps(_mm256_set1_ps(ray.origin[0]), Pair(a.p0[0], b.p0[0]));
        const __m256 ty = _mm256_sub_ps(_mm256_set1_ps(ray.origin[1]), Pair(a.p0[1], b.p0[1]));
        const __m256 tz = _mm256_sub_ps(_mm256_set1_ps(ray.origin[2]), Pair(a.p0[2], b.p0[2]));
        const __m256 bu = _mm256_mul_ps(
            _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(tx, px), _mm256_mul_ps(ty, py)), _mm256_mul_ps(tz, pz)), inverse);
        const __m256 zero = _mm256_setzero_ps(), one = _mm256_set1_ps(1.0f);
        reject =
            _mm256_or_ps(reject, _mm256_or_ps(_mm256_cmp_ps(bu, zero, _CMP_LT_OQ), _mm256_cmp_ps(bu, one, _CMP_GT_OQ)));
        const int lanes = both ? 0xFF : 0x0F;
        if ((_mm256_movemask_ps(reject) & lanes) == lanes)
            return;
        const __m256 qx = _mm256_sub_ps(_mm256_mul_ps(ty, e1z), _mm256_mul_ps(tz, e1y));
        const __m256 qy = _mm256_sub_ps(_mm256_mul_ps(tz, e1x), _mm256_mul_ps(tx, e1z));
        const __m256 qz = _mm256_sub_ps(_mm256_mul_ps(tx, e1y), _mm256_mul_ps(ty, e1x));
        const __m256 bv = _mm256_mul_ps(
            _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(dx, qx), _mm256_mul_ps(dy, qy)), _mm256_mul_ps(dz, qz)), inverse);
        reject = _mm256_or_ps(reject, _mm256_or_ps(_mm256_cmp_ps(bv, zero, _CMP_LT_OQ),
                                                   _mm256_cmp_ps(_mm256_add_ps(bu, bv), one, _CMP_GT_OQ)));
        const __m256 t = _mm256_mul_ps(
            _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(e2x, qx), _mm256_mul_ps(e2y, qy)), _mm256_mul_ps(e2z, qz)),
            inverse);
        reject = _mm256_or_ps(reject, _mm256_cmp_ps(t, zero, _CMP_LT_OQ));
        // The trace's own rule: 0 <= t <= 1 (a parameter that is not a number is never taken).
        const __m256 inRange = _mm256_and_ps(_mm256_cmp_ps(t, zero, _CMP_GE_OQ), _mm256_cmp_ps(t, one, _CMP_LE_OQ));
        const int mask = _mm256_movemask_ps(_mm256_andnot_ps(reject, inRange)) & lanes;
        if (!mask)
            return;
        alignas(32) float ts[8], us[8], vs[8];
        _mm256_store_ps(ts, t);
        _mm256_store_ps(us, bu);
        _mm256_store_ps(vs, bv);
        for (u32_t lane = 0; lane < 2 * kTraceLanes; ++lane) {
            if (!(mask & (1 << lane)))
                continue;
            const TrianglePacket& p = lane < kTraceLanes ? a : b;
            TraceLeafTakeLane(ts[lane], us[lane], vs[lane], p.face[lane % kTraceLanes], best, found);
        }
    }

    static void TestPackets(const TrianglePacket* const* packets, u32_t count, const TraceLeafRay& ray,
                            LeafTriangleHit* best, bool* found)
    {
        u32_t i = 0;
        for (; i + 1 < count; i += 2)
            TestPair(*packets[i], *packets[i + 1], true, ray, best, found);
        if (i < count)
            TestPair(*packets[i], *packets[i], false, ray, best, found);
    }
};

}  // namespace

bool MapTraceLeafWalkAvx2(const MapTraceLeafData* data, const Vector3& start, const Vector3& direction,
                          LeafTriangleHit* hit)
{
    return TraceLeafTreeWalk<Avx2Kernel>(data, start, direction, hit);
}
#endif
