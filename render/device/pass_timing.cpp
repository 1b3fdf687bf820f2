#include "render/device/pass_timing.h"

#include "platform/gpu_timer.h"
#include "render/device/render_context.h"

namespace {

struct TimingState {
    bool on = false;
    bool finished = false;
    UINT used = 0;                       // time-stamp slots handed out since the last collect
    UINT open[RENDER_TIMED_PASS_COUNT];  // the begin slot of each pass's open span
    bool isOpen[RENDER_TIMED_PASS_COUNT] = {};
    // Each closed span: its pass and its two slots.
    RenderTimedPass spanPass[GPU_TIMER_SLOTS / 2];
    UINT spanBegin[GPU_TIMER_SLOTS / 2];
    UINT spanEnd[GPU_TIMER_SLOTS / 2];
    UINT spans = 0;

    // Finished: the wall clock at each open pass's begin, the milliseconds of the closed spans, the
    // open passes innermost last, and the sample counts with the pass each belongs to.
    double started[RENDER_TIMED_PASS_COUNT] = {};  // PlatformSteadyMilliseconds
    double wallMs[RENDER_TIMED_PASS_COUNT] = {};
    RenderTimedPass nesting[RENDER_TIMED_PASS_COUNT];
    UINT depth = 0;
    RenderTimedPass countPass[GPU_TIMER_SLOTS];
    UINT counts = 0;
    double faces[RENDER_TIMED_PASS_COUNT] = {};
    u32_t facesAtSwitch = 0;  // the frame's face count when the innermost open pass last changed
};

TimingState g_timing;

void Drop()
{
    g_timing.used = 0;
    g_timing.spans = 0;
    for (bool& open : g_timing.isOpen)
        open = false;
    for (double& ms : g_timing.wallMs)
        ms = 0.0;
    for (double& faces : g_timing.faces)
        faces = 0.0;
    if (g_timing.depth > 0)
        GpuSamplesEnd(g_render.device);
    g_timing.depth = 0;
    g_timing.counts = 0;
}

// The faces drawn since the innermost open pass last changed go to it.
void CountFaces()
{
    const u32_t faces = g_render.frameStats.faces;
    if (g_timing.depth > 0 && faces >= g_timing.facesAtSwitch)
        g_timing.faces[g_timing.nesting[g_timing.depth - 1]] += double(faces - g_timing.facesAtSwitch);
    g_timing.facesAtSwitch = faces;
}

// Starts counting the samples of the pass into the next slot.
void CountFor(RenderTimedPass pass)
{
    if (g_timing.counts < GPU_TIMER_SLOTS && GpuSamplesBegin(g_render.device, g_timing.counts))
        g_timing.countPass[g_timing.counts++] = pass;
}

void FinishedBegin(RenderTimedPass pass)
{
    if (g_timing.depth >= RENDER_TIMED_PASS_COUNT)
        return;
    if (g_timing.depth > 0)
        GpuSamplesEnd(g_render.device);
    CountFaces();
    GpuFinish(g_render.device);
    g_timing.nesting[g_timing.depth++] = pass;
    g_timing.started[pass] = PlatformSteadyMilliseconds();
    CountFor(pass);
}

void FinishedEnd(RenderTimedPass pass)
{
    if (g_timing.depth == 0 || g_timing.nesting[g_timing.depth - 1] != pass)
        return;
    GpuSamplesEnd(g_render.device);
    CountFaces();
    GpuFinish(g_render.device);
    g_timing.wallMs[pass] += PlatformSteadyMilliseconds() - g_timing.started[pass];
    if (--g_timing.depth > 0)
        CountFor(g_timing.nesting[g_timing.depth - 1]);
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

void RenderTimingSetFinished(bool on)
{
    Drop();
    g_timing.finished = on;
}

bool RenderTimingFinished()
{
    return g_timing.finished;
}

void RenderTimingBegin(RenderTimedPass pass)
{
    if (!g_timing.on || pass >= RENDER_TIMED_PASS_COUNT)
        return;
    if (g_timing.finished) {
        FinishedBegin(pass);
        return;
    }
    if (g_timing.used + 2 > GPU_TIMER_SLOTS)
        return;
    if (!GpuTimerMark(g_render.device, g_timing.used))
        return;
    g_timing.open[pass] = g_timing.used++;
    g_timing.isOpen[pass] = true;
}

void RenderTimingEnd(RenderTimedPass pass)
{
    if (!g_timing.on || pass >= RENDER_TIMED_PASS_COUNT)
        return;
    if (g_timing.finished) {
        FinishedEnd(pass);
        return;
    }
    if (!g_timing.isOpen[pass])
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
        out[i] = g_timing.finished ? g_timing.wallMs[i] : 0.0;
    for (UINT i = 0; i < g_timing.spans; ++i) {
        double milliseconds = 0.0;
        if (GpuTimerElapsed(g_render.device, g_timing.spanBegin[i], g_timing.spanEnd[i], &milliseconds))
            out[g_timing.spanPass[i]] += milliseconds;
    }
    Drop();
}

void RenderTimingCollectCounts(const RenderPassCounts& out)
{
    for (u32_t i = 0; i < RENDER_TIMED_PASS_COUNT; ++i) {
        out.samples[i] = 0.0;
        out.shaded[i] = 0.0;
        out.faces[i] = g_timing.faces[i];
        g_timing.faces[i] = 0.0;
    }
    // Counts still open stay uncounted; a collect comes between frames.
    for (UINT i = 0; i < g_timing.counts; ++i) {
        std::uint64_t samples = 0, shaded = 0;
        if (GpuSamplesResult(g_render.device, i, &samples, &shaded)) {
            out.samples[g_timing.countPass[i]] += double(samples);
            out.shaded[g_timing.countPass[i]] += double(shaded);
        }
    }
    g_timing.counts = 0;
}
