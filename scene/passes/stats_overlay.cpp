#include "scene/passes/stats_overlay.h"

#include <cstdio>

#include "render/device/pass_timing.h"
#include "render/device/render_clock.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"
#include "scene/scene_cvars.h"
#include "scene/passes/zone_draw.h"

namespace {

constexpr int kCellWidth = 12;
constexpr int kCellHeight = 15;
constexpr int kLeft = 8;
constexpr int kTop = 8;
constexpr D3DCOLOR kTextColour = 0xFFFFFF00u;
constexpr int kAveragedFrames = 16;

constexpr const char* kPassNames[RENDER_TIMED_PASS_COUNT] = {
    "visibility", "map depth", "map layers", "map lightmap", "map fog", "sky",   "objects", "clusters",
    "records",    "overlays",  "vegetation", "decals",       "shadows", "wires", "sprites"};

struct OverlayState {
    DWORD lastTick = 0;
    DWORD frameMs[kAveragedFrames] = {};
    int next = 0;
    int filled = 0;
    bool timingByOverlay = false;  // the overlay switched the timing hook on
    double passMs[RENDER_TIMED_PASS_COUNT] = {};
};

OverlayState g_overlay;

double AverageFrameMs()
{
    if (g_overlay.filled == 0)
        return 0.0;
    double sum = 0.0;
    for (int i = 0; i < g_overlay.filled; ++i)
        sum += g_overlay.frameMs[i];
    return sum / g_overlay.filled;
}

void Line(int* y, const char* text)
{
    DrawGridText(kLeft, *y, kCellWidth, kCellHeight, text, kTextColour);
    *y += kCellHeight;
}

}  // namespace

int StatsOverlayFormatLine(char* out, size_t size, const RenderFrameStats& stats, double milliseconds)
{
    const double rate = milliseconds > 0.0 ? double(stats.faces) / (milliseconds * 1000.0) : 0.0;
    const int n = std::snprintf(out, size, "%dV %dI %dF %dL t=%6g %4.2gMTri/s", static_cast<int>(stats.vertices),
                                static_cast<int>(stats.indices), static_cast<int>(stats.faces),
                                static_cast<int>(stats.lines), milliseconds, rate);
    if (n < 0 || size == 0)
        return 0;
    return static_cast<size_t>(n) < size ? n : static_cast<int>(size - 1);
}

const char* StatsOverlayPassName(u32_t pass)
{
    return pass < RENDER_TIMED_PASS_COUNT ? kPassNames[pass] : "?";
}

void RenderStatsOverlay()
{
    const DWORD now = RenderTicks();
    if (g_overlay.lastTick != 0) {
        g_overlay.frameMs[g_overlay.next] = static_cast<DWORD>(now - g_overlay.lastTick);
        g_overlay.next = (g_overlay.next + 1) % kAveragedFrames;
        if (g_overlay.filled < kAveragedFrames)
            ++g_overlay.filled;
    }
    g_overlay.lastTick = now;

    const bool times = rbdrawtimes.Bool();
    if (times && !RenderTimingEnabled()) {
        RenderTimingEnable(true);
        g_overlay.timingByOverlay = true;
    } else if (!times && g_overlay.timingByOverlay) {
        RenderTimingEnable(false);
        g_overlay.timingByOverlay = false;
    }
    // The zones are debug lines, which the game frame draws after the world.
    if (rbshowzones.Bool())
        RenderDrawZones();
    const bool fps = rbdrawfps.Bool(), stats = rbdrawstats.Bool();
    if (!g_render.device || (!fps && !times && !stats))
        return;
    SetGridTextStates();
    int y = kTop;
    char text[160];
    const double frameMs = AverageFrameMs();
    if (fps) {
        std::snprintf(text, sizeof(text), "%.1f fps", frameMs > 0.0 ? 1000.0 / frameMs : 0.0);
        Line(&y, text);
    }
    if (stats) {
        StatsOverlayFormatLine(text, sizeof(text), g_render.frameStats, frameMs);
        Line(&y, text);
    }
    if (times) {
        // The spans of this frame so far, and those of the rest of the last frame.
        RenderTimingCollect(g_overlay.passMs);
        for (u32_t pass = 0; pass < RENDER_TIMED_PASS_COUNT; ++pass) {
            std::snprintf(text, sizeof(text), "%-13s %6.2f ms", kPassNames[pass], g_overlay.passMs[pass]);
            Line(&y, text);
        }
    }
    RenderSetState(D3DRS_ZENABLE, TRUE);
    RenderSetState(D3DRS_ZWRITEENABLE, TRUE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, FALSE);
}
