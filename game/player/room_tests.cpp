#include "game/player/room_tests.h"

#include "core/frame_view.h"
#include "map/trace/map_trace.h"
#include "scene/plugin_bridges/indoor_link.h"

namespace {

// The probes look for the world's objects (walls, crates, roofs) and not for the land: a lean on a
// slope or under a hill is never refused. The map trace finds objects only when asked to, so the
// objects bit goes with the skip of the land and map meshes.
constexpr u32_t kLeanTraceFlags = TRACE_TILED | TRACE_NO_GEOMETRY | TRACE_OBJECTS;
constexpr u32_t kStandTraceFlags = TRACE_NO_GEOMETRY | TRACE_OBJECTS;
// Texels of a mesh's alpha map below this let the probe through.
constexpr u8_t kProbeAlphaLimit = 50;

// Inside an indoor cell: whether the indoor mesh stops the segment.
bool IndoorBlocks(const float* from, const float* to)
{
    IndoorPosition* position = IndoorCameraPosition();
    if (!position || !position->object)
        return false;
    MapTraceInfo hit;
    hit.flags = 0;
    hit.ignoreObject = g_frameView.player;
    hit.objOptions = 0;
    hit.objAlphaThreshold = kProbeAlphaLimit;
    return IndoorTraceSegment(position, from, to, &hit) != 0;
}

// Whether an object lies on the segment nearer than the distance.
bool ObjectWithin(const float* from, const float* to, u32_t flags, float distance)
{
    MapTraceInfo info;
    info.flags = flags;
    info.ignoreObject = g_frameView.player;
    info.objOptions = 0;
    info.objAlphaThreshold = kProbeAlphaLimit;
    info.hitObject = nullptr;
    info.resultKind = TRACE_RESULT_NONE;
    if (!MapTrace(from, to, &info))
        return false;
    return (info.resultKind & TRACE_RESULT_OBJECT_BIT) && info.hitObject && info.objDistance < distance;
}

}  // namespace

bool LeanRoomTest(float dx, float dy, float dz, const float* point)
{
    if (!point)
        return true;
    const float end[3] = {point[0] + kLeanRoom * dx, point[1] + kLeanRoom * dy, point[2] + kLeanRoom * dz};
    if (IndoorBlocks(point, end))
        return false;
    return !ObjectWithin(point, end, kLeanTraceFlags, kLeanRoom);
}

bool StandRoomTest()
{
    const float* eye = g_frameView.viewPos;
    const float from[3] = {eye[0], eye[1], eye[2]};
    const float indoorEnd[3] = {eye[0], eye[1] + kLeanRoom, eye[2]};
    if (IndoorBlocks(from, indoorEnd))
        return false;
    const float end[3] = {eye[0], eye[1] + kStandRoom, eye[2]};
    return !ObjectWithin(from, end, kStandTraceFlags, kStandRoom);
}
