#include "core/mission_timers.h"
#include <cmath>
#include <cstdint>
#include <cstring>
#include "ai/msal/mission_script_runner.h"
#include "ai/msal/msal_reader.h"

namespace {
GrowArray<MissionTimer*> g_timers{1};

// Frees the records still listed at exit (the list itself frees only its block).
struct TimerListCleanup {
    ~TimerListCleanup() { ClearTimers(); }
} g_timerListCleanup;

// The runner moves on and stops waiting.
void NotifyExpiry(MissionTimer& timer)
{
    if (!timer.runner)
        return;
    timer.runner->Advance();
    if (timer.runner->commands)
        timer.runner->commands->waiting = 0;
}

void RemoveAt(s32_t index)
{
    delete g_timers[index];
    std::memmove(&g_timers[index], &g_timers[index + 1],
                 sizeof(MissionTimer*) * static_cast<size_t>(g_timers.count - index - 1));
    --g_timers.count;
}

u32_t SecondsToMilliseconds(double seconds)
{
    const double ms = std::floor(seconds * 1000.0);
    if (!(ms > 0.0))  // also NaN
        return 0;
    return ms >= static_cast<double>(UINT32_MAX) ? UINT32_MAX : static_cast<u32_t>(ms);
}
}  // namespace

void StartTimer(MSALRunner* runner, const char* name, s32_t seconds)
{
    MissionTimer* timer = new MissionTimer;
    timer->runner = runner;
    timer->duration = SecondsToMilliseconds(seconds);
    timer->name.Assign(name);
    g_timers.Append(timer);
    if (runner && runner->commands)
        runner->commands->waiting = 1;
}

void TimersTick(float seconds)
{
    for (s32_t i = 0; i < g_timers.count; ++i) {
        MissionTimer& timer = *g_timers[i];
        if (timer.duration != 0 && !timer.expired && timer.elapsed >= timer.duration) {
            NotifyExpiry(timer);
            timer.expired = 1;
        }
    }
    const u32_t step = SecondsToMilliseconds(seconds);
    for (s32_t i = 0; i < g_timers.count; ++i) {
        MissionTimer& timer = *g_timers[i];
        if (timer.duration == 0 || timer.expired)
            continue;
        const std::uint64_t elapsed = static_cast<std::uint64_t>(timer.elapsed) + step;
        timer.elapsed = elapsed > timer.duration ? timer.duration : static_cast<u32_t>(elapsed);
    }
    for (s32_t i = 0; i < g_timers.count;) {
        if (g_timers[i]->expired)
            RemoveAt(i);
        else
            ++i;
    }
}

void RemoveTimer(s32_t index)
{
    if (index < 0 || index >= g_timers.count)
        return;
    MissionTimer& timer = *g_timers[index];
    if (!timer.expired)
        NotifyExpiry(timer);
    RemoveAt(index);
}

void ClearTimers()
{
    for (s32_t i = 0; i < g_timers.count; ++i)
        delete g_timers[i];
    g_timers.Free();
}

GrowArray<MissionTimer*>* GetTimerList()
{
    return &g_timers;
}

bool AnyTimerRunning()
{
    return g_timers.count > 0;
}
