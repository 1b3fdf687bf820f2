// The front end's bitmap fonts (render/bitmap_font.h). The front end loads them with its screens;
// until then no font is loaded, there is no default font, and the consoles draw with the grid font.
#pragma once
#include "render/bitmap_font.h"

// The font the front end loaded first is g_hudInput.defaultFont (render/hud_input.h).

// The loaded font of that name (without regard to case), or null.
Font* FindFont(const char* name);
