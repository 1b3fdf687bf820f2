#include "map/lightmap_trace.h"

#include "map/map_trace.h"

namespace {

// The trace option that asks for the normal at the hit.
constexpr u32_t kTraceNormal = 0x01;

}  // namespace

bool LandTrace(const Vector3& start, const Vector3& end, bool withNormal, LandTraceHit* hit)
{
    const float from[3] = {start.x, start.y, start.z};
    const float to[3] = {end.x, end.y, end.z};
    MapTraceInfo info;
    info.flags = withNormal ? kTraceNormal : 0u;
    info.ignore = nullptr;
    info.fraction = 1.0f;
    info.point = end;
    info.normal = {0.0f, 1.0f, 0.0f};
    if (!MapTrace(from, to, &info))
        return false;
    if (hit) {
        hit->fraction = info.fraction;
        hit->point = info.point;
        hit->normal = info.normal;
    }
    return true;
}
