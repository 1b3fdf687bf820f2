// Plug-ins mark points in the world with timed debug crosses.
#pragma once
#include "core/types.h"

// Host function: a debug cross through a copy of the point, in the colour (ARGB) for the duration
// in milliseconds (0: until the debug lists are freed).
void DebugVertex(const Vector3* point, u32_t colour, u32_t durationMs);
