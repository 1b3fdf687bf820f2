#include "game/view/screen_grab.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/input/actions.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "game/mission/game_flow.h"
#include "game/player/player_control.h"
#include "game/player/player_state.h"
#include "game/view/player_view.h"

namespace {

constexpr float kFramesPerMs = 0.025f;  // one frame per 40 ms
constexpr float kGrabFrameTime = 0.04f;

CameraPathPoint g_path[MAX_CAMERA_PATH_POINTS];
u32_t g_pathCount = 0;
bool g_grabbing = false;

float HermiteScalar(float p1, float p2, float m1, float m2, float t)
{
    const float t2 = t * t, t3 = t2 * t;
    return (2.0f * t3 - 3.0f * t2 + 1.0f) * p1 + (t3 - 2.0f * t2 + t) * m1 + (-2.0f * t3 + 3.0f * t2) * p2 +
           (t3 - t2) * m2;
}

const float* PointAt(u32_t index)
{
    return g_path[index % g_pathCount].position;
}

// "noroll" at the end: the first character of the argument that is one of the word's letters stands
// where the word would start. Only an argument that ends in the word counts.
bool EndsInNoRoll(const char* arguments)
{
    const std::size_t length = std::strlen(arguments);
    return length >= 6 && std::strcmp(arguments + length - 6, "noroll") == 0;
}

void AimAlong(const float* from, const float* to)
{
    float d[3] = {to[0] - from[0], to[1] - from[1], to[2] - from[2]};
    const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (length <= 0.0f)
        return;
    for (float& c : d)
        c /= length;
    const float yaw = std::atan2(d[0], d[2]);
    const float pitch = std::atan2(d[1], std::sqrt(d[0] * d[0] + d[2] * d[2]));
    GameSetYawPitch(yaw, pitch);
}

}  // namespace

bool CameraPathAdd(const CameraPathPoint& point)
{
    if (g_pathCount >= MAX_CAMERA_PATH_POINTS)
        return false;
    g_path[g_pathCount++] = point;
    return true;
}

void CameraPathClear()
{
    g_pathCount = 0;
}

u32_t CameraPathCount()
{
    return g_pathCount;
}

const CameraPathPoint& CameraPathPointAt(u32_t index)
{
    return g_path[index];
}

s32_t CameraPathAddCommand(const char* arguments)
{
    // Nothing in the game records the path otherwise: a developer stands where the flight should
    // pass, turns the view's roll with lean, and records each point here.
    long duration = 0;
    const char* text = arguments ? arguments : "";
    while (*text == ' ' || *text == '\t')
        ++text;
    if (*text) {
        char* end = nullptr;
        errno = 0;
        duration = std::strtol(text, &end, 10);
        while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n')
            ++end;
        if (errno != 0 || end == text || *end != '\0' || duration < 0 || duration > INT_MAX) {
            ConPrint(CON_MESSAGE_CONSOLE, "grx_add_camera_point: milliseconds expected, not '%s'\n", text);
            return -1;
        }
        // The grab runs a segment frame by frame before it returns: one mistyped digit must not hold
        // the program for days.
        if (duration > MAX_CAMERA_POINT_MS) {
            ConPrint(CON_MESSAGE_CONSOLE, "grx_add_camera_point: at most %d ms (10 minutes), not '%s'\n",
                     MAX_CAMERA_POINT_MS, text);
            return -1;
        }
    }
    CameraPathPoint point;
    std::memcpy(point.position, GameGetPlayerPos(), sizeof point.position);
    point.roll = GameGetRoll();
    point.durationMs = static_cast<s32_t>(duration);
    if (!CameraPathAdd(point)) {
        ConPrint(CON_MESSAGE_CONSOLE, "grx_add_camera_point: the path is full (%u points)\n", MAX_CAMERA_PATH_POINTS);
        return -1;
    }
    ConPrint(CON_MESSAGE_CONSOLE, "Camera point %u: %g %g %g, roll %g, %d ms\n", g_pathCount,
             static_cast<double>(point.position[0]), static_cast<double>(point.position[1]),
             static_cast<double>(point.position[2]), static_cast<double>(point.roll), point.durationMs);
    return 0;
}

s32_t CameraPathClearCommand(const char*)
{
    CameraPathClear();
    return 0;
}

bool ScreenGrabRunning()
{
    return g_grabbing;
}

void GrabHermite(const float* p0, const float* p1, const float* p2, const float* p3, float t, float* out)
{
    for (int i = 0; i < 3; ++i)
        out[i] = HermiteScalar(p1[i], p2[i], p2[i] - p0[i], p3[i] - p1[i], t);
}

s32_t GrabSequenceCommand(const char* arguments)
{
    if (!arguments)
        arguments = "";
    ConPrint(CON_MESSAGE_CONSOLE, "Grab sequence started...\n");
    g_grabbing = true;
    const bool preview = arguments[0] == 'p';
    const bool noRoll = EndsInNoRoll(arguments);
    g_frameView.frameTime = 0.0f;
    s32_t total = 0;
    const u32_t count = g_pathCount;
    for (u32_t i = 2; count > 3 && i - 2 < count - 3; ++i) {
        const float* p0 = PointAt(i - 1);
        const float* p1 = PointAt(i);
        const float* p2 = PointAt(i + 1);
        const float* p3 = PointAt(i + 2);
        const float* p4 = PointAt(i + 3);
        const float frames = static_cast<float>(g_path[i % count].durationMs) * kFramesPerMs;
        ConPrint(CON_MESSAGE_CONSOLE, "frames_c: %g\n", static_cast<double>(frames));
        if (!(frames > 0.0f))
            continue;
        const float rollFrom = g_path[i % count].roll, rollTo = g_path[(i + 1) % count].roll;
        for (s32_t n = 0; static_cast<float>(n) < frames; ++n) {
            const float t = static_cast<float>(n) / frames;
            float position[3], ahead[3];
            GrabHermite(p0, p1, p2, p3, t, position);
            GameSetPlayerPos(position);
            const float next = t + 1.0f / frames;
            if (next > 1.0f)
                GrabHermite(p1, p2, p3, p4, next - 1.0f, ahead);
            else
                GrabHermite(p0, p1, p2, p3, next, ahead);
            AimAlong(position, ahead);
            const float roll = noRoll ? 0.0f : HermiteScalar(rollFrom, rollTo, 0.0f, 0.0f, t);
            GameSetViewTilt(roll);
            GameSetRoll(roll);
            if (!preview)
                g_input.actionReleased[ACTION_SCREENSHOT] = INPUT_STATE_DOWN;
            GameUpdateFrame(true);
            std::memset(g_input.actionReleased, 0, sizeof g_input.actionReleased);
            std::memset(g_input.actionDown, 0, sizeof g_input.actionDown);
            g_frameView.frameTime = kGrabFrameTime;
        }
        ConPrint(CON_MESSAGE_CONSOLE, "Grabbed screen #%d.\n", total);
        total += static_cast<s32_t>(frames);
    }
    ConPrint(CON_MESSAGE_CONSOLE, "Grab sequence ended, %d screens grabbed.\n", total);
    g_grabbing = false;
    return 0;
}

ConsoleVar grx_start_grab_sequence("grx_start_grab_sequence", GrabSequenceCommand);
ConsoleVar grx_add_camera_point("grx_add_camera_point", CameraPathAddCommand);
ConsoleVar grx_clear_camera_path("grx_clear_camera_path", CameraPathClearCommand);
