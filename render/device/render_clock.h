// The millisecond clock the HUD, the lens flare and the water shaders read: GetTickCount unless a
// test or a replay sets another.
#pragma once
#include "platform/win32.h"

DWORD RenderTicks();
// Null restores GetTickCount.
void RenderSetClock(DWORD (*clock)());
