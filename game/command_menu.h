// The squad command menu the HUD draws while it is open.
#pragma once
#include "core/types.h"

struct CommandMenuState {
    s32_t x, y;      // screen position
    s32_t openItem;  // the open submenu
    s32_t selection;
    s32_t count;  // items of the open menu
};

// Draws the menu at (x, y). Its drawing lands with the game's menus; until then the calls are
// counted so that the HUD's choices can be seen.
void CommandMenuDraw(s32_t x, s32_t y, s32_t first, s32_t openItem, s32_t selection, s32_t count, s32_t flag);
u32_t CommandMenuDrawCount();
