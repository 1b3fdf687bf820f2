#include "render/pass_timing.h"

#include "platform/gpu_timer.h"
#include "render/render_context.h"

namespace {

struct TimingState {
    bool on = false;
    UINT used = 0;                       // time-stamp slots handed out since the last collect
    UINT open[RENDER_TIMED_PASS_COUNT];  // the begin slot of each pass's open span
    bool isOpen[RENDER_TIMED_PASS_COUNT] = {};
    // Each closed span: its pass and its two slots.
    RenderTimedPass spanPass[GPU_TIMER_SLOTS / 2];
    UINT spanBegin[GPU_TIMER_SLOTS / 2];
    UINT spanEnd[GPU_TIMER_SLOTS / 2];
    UINT spans = 0;
};

TimingState g_timing;

void Drop()
{
    g_timing.used = 0;
    g_timing.spans = 0;
    for (bool& open : g_timing.isOpen)
        open = false;
}

}  // namespace

void RenderTimingEnable(bool on)
{
    g_timing.on = on;
    Drop();
}

bool RenderTimingEnabled()
{
    return g_timing.on;
}

void RenderTimingBegin(RenderTimedPass pass)
{
    if (!g_timing.on || pass >= RENDER_TIMED_PASS_COUNT || g_timing.used + 2 > GPU_TIMER_SLOTS)
        return;
    if (!GpuTimerMark(g_render.device, g_timing.used))
        return;
    g_timing.open[pass] = g_timing.used++;
    g_timing.isOpen[pass] = true;
}

void RenderTimingEnd(RenderTimedPass pass)
{
    if (!g_timing.on || pass >= RENDER_TIMED_PASS_COUNT || !g_timing.isOpen[pass])
        return;
    g_timing.isOpen[pass] = false;
    if (g_timing.used >= GPU_TIMER_SLOTS || !GpuTimerMark(g_render.device, g_timing.used))
        return;
    g_timing.spanPass[g_timing.spans] = pass;
    g_timing.spanBegin[g_timing.spans] = g_timing.open[pass];
    g_timing.spanEnd[g_timing.spans] = g_timing.used++;
    ++g_timing.spans;
}

void RenderTimingCollect(double* out)
{
    for (u32_t i = 0; i < RENDER_TIMED_PASS_COUNT; ++i)
        out[i] = 0.0;
    for (UINT i = 0; i < g_timing.spans; ++i) {
        double milliseconds = 0.0;
        if (GpuTimerElapsed(g_render.device, g_timing.spanBegin[i], g_timing.spanEnd[i], &milliseconds))
            out[g_timing.spanPass[i]] += milliseconds;
    }
    Drop();
}
