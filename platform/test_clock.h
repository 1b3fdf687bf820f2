// Lets tests make time exact and instant: while the test clock runs, GetTickCount reads it and Sleep
// moves it on by the time asked for instead of waiting, so that a test of something that waits for a
// duration neither waits nor depends on how busy the machine is.
#pragma once
#include "platform/win32.h"

// Starts (or sets) the test clock at the tick given.
void PlatformTestClockStart(DWORD now);
// Back to the steady clock; the listener is dropped.
void PlatformTestClockStop();
// Moves the test clock on, as a Sleep does.
void PlatformTestClockAdvance(DWORD milliseconds);
// Called by every Sleep after it has moved the test clock on (null: none), so that a test can act at a
// given moment of a loop that sleeps, on the loop's own thread.
void PlatformTestClockOnSleep(void (*listener)(DWORD now));
// While set, GetLocalTime answers this hour and minute (seconds 0) of the real date.
void PlatformTestLocalTimeSet(WORD hour, WORD minute);
void PlatformTestLocalTimeClear();
