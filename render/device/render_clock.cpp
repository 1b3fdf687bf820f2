#include "render/device/render_clock.h"

namespace {
DWORD (*g_clock)() = GetTickCount;
}  // namespace

DWORD RenderTicks()
{
    return g_clock();
}

void RenderSetClock(DWORD (*clock)())
{
    g_clock = clock ? clock : GetTickCount;
}
