// The one road from the cache builders (lightmap, heightmap) to the map trace: every request field
// set here, every result read here.
#pragma once
#include "core/types.h"

// What a builder needs of a trace hit.
struct LandTraceHit {
    float fraction;  // 0 at the start, 1 at the end
    Vector3 point;   // where the segment hits
    Vector3 normal;  // unit normal at the hit, with withNormal
};

// True when the segment from start to end hits the map; hit, when given, receives the nearest hit.
// withNormal asks the trace for the normal; otherwise the trace carries no option.
bool LandTrace(const Vector3& start, const Vector3& end, bool withNormal, LandTraceHit* hit);
