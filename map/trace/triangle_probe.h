// The segment and box tests of the map traces, written out so that they inline: the triangle test
// is the D3DX probe's (Moeller-Trumbore) operation for operation, so it answers exactly as the
// probe does.
#pragma once
#include <cmath>

#include "core/types.h"

// The ray origin + t x direction against the triangle (p0, p1, p2): true with t >= 0 and the
// barycentric weights u of p1 and v of p2, as D3DXIntersectTri.
inline bool ProbeTriangle(const Vector3& p0, const Vector3& p1, const Vector3& p2, const Vector3& origin,
                          const Vector3& direction, float* u, float* v, float* t)
{
    const Vector3 e1 = {p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
    const Vector3 e2 = {p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
    const Vector3 p = {direction.y * e2.z - direction.z * e2.y, direction.z * e2.x - direction.x * e2.z,
                       direction.x * e2.y - direction.y * e2.x};
    const float det = e1.x * p.x + e1.y * p.y + e1.z * p.z;
    if (std::fabs(det) < 1e-12f)
        return false;
    const float inverse = 1.0f / det;
    const Vector3 s = {origin.x - p0.x, origin.y - p0.y, origin.z - p0.z};
    const float bu = (s.x * p.x + s.y * p.y + s.z * p.z) * inverse;
    if (bu < 0.0f || bu > 1.0f)
        return false;
    const Vector3 q = {s.y * e1.z - s.z * e1.y, s.z * e1.x - s.x * e1.z, s.x * e1.y - s.y * e1.x};
    const float bv = (direction.x * q.x + direction.y * q.y + direction.z * q.z) * inverse;
    if (bv < 0.0f || bu + bv > 1.0f)
        return false;
    const float hit = (e2.x * q.x + e2.y * q.y + e2.z * q.z) * inverse;
    if (hit < 0.0f)
        return false;
    *u = bu;
    *v = bv;
    *t = hit;
    return true;
}

// True when the part of the segment origin + t x direction with t in [0, limit] can meet the box
// grown by a margin that covers rounding in the tests made inside it.
inline bool SegmentNearBox(const Vector3& origin, const Vector3& direction, float limit, const Vector3& low,
                           const Vector3& high)
{
    const float o[3] = {origin.x, origin.y, origin.z}, d[3] = {direction.x, direction.y, direction.z};
    const float lo[3] = {low.x, low.y, low.z}, hi[3] = {high.x, high.y, high.z};
    float near = 0.0f, far = limit;
    for (int axis = 0; axis < 3; ++axis) {
        const float margin = (std::fabs(lo[axis]) + std::fabs(hi[axis]) + (hi[axis] - lo[axis])) * 1e-4f + 1e-3f;
        const float a = lo[axis] - margin, b = hi[axis] + margin;
        if (d[axis] == 0.0f) {
            if (o[axis] < a || o[axis] > b)
                return false;
            continue;
        }
        const float inverse = 1.0f / d[axis];
        float t0 = (a - o[axis]) * inverse, t1 = (b - o[axis]) * inverse;
        if (t0 > t1) {
            const float swap = t0;
            t0 = t1;
            t1 = swap;
        }
        near = t0 > near ? t0 : near;
        far = t1 < far ? t1 : far;
        if (near > far)
            return false;
    }
    return true;
}

// The infinite ray origin + t x direction, t >= 0, against the box, as D3DXBoxBoundProbe. The box
// and the ray must be finite.
inline bool ProbeBox(const Vector3& low, const Vector3& high, const Vector3& origin, const Vector3& direction)
{
    float nearest = 0.0f, farthest = INFINITY;
    const float o[3] = {origin.x, origin.y, origin.z}, d[3] = {direction.x, direction.y, direction.z};
    const float lo[3] = {low.x, low.y, low.z}, hi[3] = {high.x, high.y, high.z};
    for (int axis = 0; axis < 3; ++axis) {
        if (d[axis] == 0.0f) {
            if (o[axis] < lo[axis] || o[axis] > hi[axis])
                return false;
            continue;
        }
        float t1 = (lo[axis] - o[axis]) / d[axis];
        float t2 = (hi[axis] - o[axis]) / d[axis];
        if (t1 > t2) {
            const float swap = t1;
            t1 = t2;
            t2 = swap;
        }
        // (Plain comparisons: the box and the ray are finite, so no parameter is not a number.)
        nearest = t1 > nearest ? t1 : nearest;
        farthest = t2 < farthest ? t2 : farthest;
        if (nearest > farthest)
            return false;
    }
    return true;
}
