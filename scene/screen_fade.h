// Full-screen fades.
#pragma once
#include "core/types.h"

// Starts a fade of the given duration from the current tick count.
void ScreenFadeStart(u32_t durationMs, u32_t colour);
