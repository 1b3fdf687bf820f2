// Segment traces against the map: MapTrace tests the land triangles of the octree; WorldTraceIndoor
// also enters the world's indoor meshes (none are loaded yet, so it finds nothing so far).
#pragma once
#include "core/types.h"

class DynamicObject;

// The trace request and its result. The caller sets the option flags and the object to ignore.
struct MapTraceInfo {
    MapTraceInfo();

    u32_t flags;
    const DynamicObject* ignore;
    // The nearest hit: how far along the segment (0 at the start, 1 at the end), where, and the
    // facing normal of the triangle hit.
    float fraction;
    Vector3 point;
    Vector3 normal;
};

// Non-zero when the segment from start to end (3 floats each) hits the map geometry; the record
// then holds the nearest hit. Triangles count from both sides.
int MapTrace(const float* start, const float* end, MapTraceInfo* hit);
// 1 when the segment hits the world or its indoor meshes, filling the record.
int WorldTraceIndoor(const float* start, const float* end, MapTraceInfo* hit);
