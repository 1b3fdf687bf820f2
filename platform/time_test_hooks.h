// Lets tests pin the millisecond tick count: code that compares GetTickCount differences (animation
// cross-fades, decal lifetimes, hit shakes) then sees exactly the milliseconds a test sets.
#pragma once
#include "platform/win32.h"

// From now on GetTickCount answers ticks, until the next pin or unpin.
void PlatformPinTickCount(DWORD ticks);
// GetTickCount follows the real clock again.
void PlatformUnpinTickCount();
