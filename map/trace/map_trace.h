// Segment traces against the map: the land triangles of the octree leaves, the map meshes linked to
// them, the dynamic objects linked to them and the water squares, over the repetitions of the world.
#pragma once
#include "core/types.h"
#include "world/nodes/object_trace.h"

class DynamicObject;
struct IndoorPosition;
struct MapMesh;
struct OctreeGeometry;
struct OctreeNode;
struct OctreeTraceContext;

// Option bits of MapTraceInfo::flags.
constexpr u32_t TRACE_NORMAL = 0x01;       // compute normal
constexpr u32_t TRACE_TILED = 0x02;        // walk the repetitions of the world the segment crosses
constexpr u32_t TRACE_VEGLAYER = 0x04;     // find the vegetation layer at the static hit point
constexpr u32_t TRACE_FACESETS = 0x08;     // find hitFaceSet
constexpr u32_t TRACE_OBJECTS = 0x10;      // also test the dynamic objects linked to the leaves
constexpr u32_t TRACE_NO_GEOMETRY = 0x20;  // skip leaf triangles and map meshes
constexpr u32_t TRACE_WATER = 0x40;        // test the water squares of the leaves

// Values of resultKind.
constexpr u32_t TRACE_RESULT_NONE = 0;
constexpr u32_t TRACE_RESULT_OBJECT_BEHIND = 0x01;   // an object was hit, a static hit is as near
constexpr u32_t TRACE_RESULT_OBJECT_NEAREST = 0x11;  // an object is the nearest hit
constexpr u32_t TRACE_RESULT_OBJECT_BIT = 0x10;

// The static hit parameter of a trace that hit nothing static.
constexpr float MAP_TRACE_NO_HIT = 1e30f;
// Tiles a tiled MapTrace walks at most.
constexpr int MAP_TRACE_MAX_TILES = 5;

// The request and result of one trace, usually on the caller's stack. The constructor sets nothing:
// the caller sets every request field it relies on (flags, ignoreObject, objOptions with
// OBJTRACE_WITHIN_SEGMENT), and reads only the results the trace reports.
struct MapTraceInfo : ObjectTraceBlock {
    MapTraceInfo() {}

    DynamicObject* hitObject;     // the object of the accepted object hit
    DynamicObject* ignoreObject;  // request: never reported
    u32_t resultKind;
    u32_t flags;              // request
    float fraction;           // nearest static hit along the segment, 0..1
    u32_t faceIndex;          // the hit triangle in the leaf's faces (or in the map mesh's faces)
    OctreeGeometry* hitMesh;  // the leaf's own geometry
    Vector3 hitPoint;         // world coordinates
    Vector3 normal;           // with TRACE_NORMAL
    s32_t vegetationLayer;
    OctreeGeometry* hitFaceSet;  // with TRACE_FACESETS: the first of the leaf's secondary sets the ray crosses
    Vector3 waterPoint;
    u8_t hitWater;
    MapMesh* hitMapMesh;  // the map mesh that gave the static hit; null for a land triangle
};

// True when something stopped the trace: a land triangle, a map mesh or, with TRACE_OBJECTS, the
// nearest object. Every call increments the trace stamp. With a null record only land triangles
// and map meshes of the base tile are tested and nothing but the result is reported. A segment with
// a coordinate that is not finite traces nothing.
bool MapTrace(const float* start, const float* end, MapTraceInfo* info);
// MapTrace's answer for a request whose object hits count only within the segment
// (OBJTRACE_WITHIN_SEGMENT, or no TRACE_OBJECTS) and that asks for no water: the walk ends at the
// segment's end, since no leaf the ray enters beyond it can stop the trace. When true, the record
// holds what MapTrace reports (the leaf that stopped the walk is the same); when false, only the
// result counts. Other requests and very short segments take MapTrace itself.
bool MapTraceWithinSegment(const float* start, const float* end, MapTraceInfo* info);
// The same walk over the leaves with the caller's callback (tiled: over the repetitions of the world
// without a limit on their number). The trace stamp is not touched. A segment that is not finite,
// or whose tiles lie beyond 2^24 world sizes, traces nothing.
bool MapTraceWithCallback(const float* start, const float* end, bool (*callback)(OctreeNode*, OctreeTraceContext*),
                          void* user, bool tiled);
// 1 when the segment hits an indoor mesh, filling the record (the callers trace the map itself).
// With a known indoor position the segment is traced inside its mesh; otherwise every structure
// with an indoor mesh whose box the segment crosses is asked, and the nearest hit wins; a position
// given without an indoor object then receives where that hit lies (the structure and its cell).
// Nothing is hit while no indoor plug-in answers.
int WorldTraceIndoor(const float* start, const float* end, MapTraceInfo* hit, IndoorPosition* position = nullptr);
// The map box, min then max.
void MapGetBounds(const Vector3** bounds);
// Copies the normals of the land vertices on the min x (min z) edge to the matching vertices of
// the max x (max z) edge, so that the repeating world has no seam in its lighting.
void MapMatchEdgeNormals();
