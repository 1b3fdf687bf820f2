// The screen grab: the view flies along a path of camera points and each 40 ms frame is saved as a
// screenshot, to make videos of a mission.
#pragma once
#include "core/types.h"

// A point of the camera path: where the view is, its roll, and how long the segment that starts at it
// lasts in milliseconds.
struct CameraPathPoint {
    float position[3] = {};
    float roll = 0.0f;
    s32_t durationMs = 0;
};

constexpr u32_t MAX_CAMERA_PATH_POINTS = 256;

// The longest segment a point may ask for: 10 minutes.
constexpr s32_t MAX_CAMERA_POINT_MS = 10 * 60 * 1000;

// The recorded path: a full path refuses further points (false).
bool CameraPathAdd(const CameraPathPoint& point);
void CameraPathClear();
u32_t CameraPathCount();
// The path's point at the index (below CameraPathCount()).
const CameraPathPoint& CameraPathPointAt(u32_t index);
// The command "grx_add_camera_point <ms>": the player's position and the view's roll now become the
// path's next point, its segment lasting the milliseconds given (none: 0, a point the flight only
// steers by). 0, or -1 with a console line for an argument that is not a whole number from 0 to
// MAX_CAMERA_POINT_MS or a full path.
s32_t CameraPathAddCommand(const char* arguments);
// The command "grx_clear_camera_path": the path is empty again.
s32_t CameraPathClearCommand(const char* arguments);
// True while a grab sequence runs (the player control leaves lean and roll to it).
bool ScreenGrabRunning();
// The command "grx_start_grab_sequence": flies the whole path before it returns. An argument that
// begins with "p" is a preview (no screenshots); one that ends in "noroll" keeps the view level.
s32_t GrabSequenceCommand(const char* arguments);
// The position on the cubic Hermite curve from p1 to p2 with tangents p2 - p0 and p3 - p1 at t.
void GrabHermite(const float* p0, const float* p1, const float* p2, const float* p3, float t, float* out);
