// The front end's bitmap fonts (render/draw2d/bitmap_font.h): one per top-level section of the script
// "font", loaded when the front end starts. The default font, g_hudInput.defaultFont
// (render/draw2d/hud_input.h), is the font "gui"; the consoles and the HUD draw with it, and with the grid
// font while there is none.
#pragma once
#include "render/draw2d/bitmap_font.h"

// Frees the fonts there are, then loads one font per section of "script\font.scr" in order and
// takes the font "gui" as the default font. No script, no fonts.
void FontsLoad();
// Destroys every font (their textures stay with the texture manager) and clears the default font.
void FontsFree();
// After the mission's textures were dropped: every font looks its textures up again by name; a font
// without a glow name keeps a null glow.
void FontsReloadTextures();
// The first font of that name without regard to case; else the first named name + "_" + the value
// of "language"; else null.
Font* FindFont(const char* name);
// The default font; null while none is loaded.
Font* FontDefault();
int FontCount();
Font* FontAt(int index);
