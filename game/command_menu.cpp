#include "game/command_menu.h"

namespace {
u32_t g_drawCount = 0;
}  // namespace

void CommandMenuDraw(s32_t, s32_t, s32_t, s32_t, s32_t, s32_t, s32_t)
{
    ++g_drawCount;
}

u32_t CommandMenuDrawCount()
{
    return g_drawCount;
}
