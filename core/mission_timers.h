// Named countdowns that the mission script starts: the runner that starts one waits until it runs
// out or the player ends it. The game frame ticks them, the HUD lists them.
#pragma once
#include "core/strings/engine_string.h"
#include "core/strings/grow_array.h"
#include "core/types.h"

class MSALRunner;

struct MissionTimer {
    MSALRunner* runner = nullptr;  // the runner waiting on the timer, may be null
    u32_t duration = 0;            // milliseconds; 0 never fires
    EngineString name;             // the label the HUD shows
    u32_t elapsed = 0;             // milliseconds
    u8_t expired = 0;
};

// Starts a timer of that many seconds (negative counts as 0) and marks the runner's list waiting.
void StartTimer(MSALRunner* runner, const char* name, s32_t seconds);
// Once per game frame: fires the timers that reached their duration (each exactly once), advances
// the others by the frame time in whole milliseconds, and removes and frees the fired ones.
void TimersTick(float seconds);
// Ends the timer at that index as on expiry and removes it; other indices are ignored.
void RemoveTimer(s32_t index);
// Drops every timer without notifying (mission start).
void ClearTimers();
// The timer list, in start order.
GrowArray<MissionTimer*>* GetTimerList();
bool AnyTimerRunning();
