#include "map/land_maps/lightmap_trace.h"

#include "map/trace/map_trace.h"

bool LandTrace(const Vector3& start, const Vector3& end, bool withNormal, LandTraceHit* hit)
{
    const float from[3] = {start.x, start.y, start.z};
    const float to[3] = {end.x, end.y, end.z};
    MapTraceInfo info;
    info.flags = withNormal ? TRACE_NORMAL : 0u;
    info.ignoreObject = nullptr;
    info.objOptions = 0;
    info.normal = {0.0f, 1.0f, 0.0f};
    if (!MapTrace(from, to, &info))
        return false;
    if (hit) {
        hit->fraction = info.fraction;
        hit->point = info.hitPoint;
        hit->normal = info.normal;
    }
    return true;
}
