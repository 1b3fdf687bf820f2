#include "scene/screen_fade.h"
#include "platform/win32.h"

namespace {
u32_t g_fadeStart = 0;
u32_t g_fadeDuration = 0;
u32_t g_fadeColour = 0;
}

void ScreenFadeStart(u32_t durationMs, u32_t colour)
{
    g_fadeStart = GetTickCount();
    g_fadeDuration = durationMs;
    g_fadeColour = colour;
}
