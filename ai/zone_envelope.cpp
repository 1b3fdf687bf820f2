#include "ai/zone_envelope.h"

#include <cmath>

ZoneEnvelope::~ZoneEnvelope()
{
    delete[] outlines[0];
    delete[] outlines[1];
}

bool ZoneEnvelope::ContainsPoint(int outline, float x, float z) const
{
    if (outline < 0 || outline > 1 || !outlines[outline])
        return false;
    const float* p = outlines[outline];
    const u32_t n = outlineCounts[outline];
    bool within = false;
    for (u32_t i = 0, j = n - 1; i < n; j = i++) {
        const float xi = p[2 * i], zi = p[2 * i + 1];
        const float xj = p[2 * j], zj = p[2 * j + 1];
        if ((zi > z) != (zj > z) && x < (xj - xi) * (z - zi) / (zj - zi) + xi)
            within = !within;
    }
    return within;
}

bool ZoneEnvelope::IntersectOutline(int outline, const float* a, const float* b, float* distance) const
{
    if (outline < 0 || outline > 1 || !outlines[outline])
        return false;
    const float* p = outlines[outline];
    const u32_t n = outlineCounts[outline];
    const float dx = b[0] - a[0], dz = b[1] - a[1];
    const float length = std::sqrt(dx * dx + dz * dz);
    float best = 2.0f;
    for (u32_t i = 0, j = n - 1; i < n; j = i++) {
        const float ex = p[2 * i] - p[2 * j], ez = p[2 * i + 1] - p[2 * j + 1];
        const float denominator = dx * ez - dz * ex;
        if (denominator == 0.0f)
            continue;
        const float wx = p[2 * j] - a[0], wz = p[2 * j + 1] - a[1];
        const float t = (wx * ez - wz * ex) / denominator;  // along the segment
        const float u = (wx * dz - wz * dx) / denominator;  // along the edge
        if (t >= 0.0f && t <= 1.0f && u >= 0.0f && u <= 1.0f && t < best)
            best = t;
    }
    if (best > 1.0f)
        return false;
    if (distance)
        *distance = best * length;
    return true;
}

bool ZoneEnvelope::IntersectSegment(PathWaypoint*, int, PathWaypoint*)
{
    return false;
}

ZoneEnvelope* CreateZoneEnvelope(const char* name, const float* polygon, u32_t count, u8_t inside)
{
    ZoneEnvelope* zone = new ZoneEnvelope();
    if (name)
        zone->name = EngineString(name);
    zone->inside = inside;
    for (int outline = 0; outline < 2; ++outline) {
        zone->outlineCounts[outline] = count;
        zone->outlines[outline] = count ? new float[count * 2] : nullptr;
        for (u32_t i = 0; i < count * 2; ++i)
            zone->outlines[outline][i] = polygon[i];
    }
    return zone;
}
