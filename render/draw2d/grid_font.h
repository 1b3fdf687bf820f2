// The built-in grid font: the consoles' font when the data has no "component\gui\font" image.
// One 256 x 256 texture of 16 x 16 cells of 16 x 16 texels, cell of code c at column c & 15, row c >> 4.
// Letters, digits and signs (codes 32 to 126) are 5 x 7 dot glyphs drawn two texels per dot;
// code 4 is the blinking cursor; codes 0x80 to 0x85 are the pieces of the console's progress bar
// (left end, full step, right end, a third, two thirds, empty step), which join across cells.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

constexpr int GRID_FONT_SIZE = 256;  // texels per side
constexpr int GRID_FONT_CELL = 16;   // texels per cell side

// Whether texel (x, y) of the cell of code is ink; x and y from 0 to 15.
bool GridFontInk(u8_t code, int x, int y);
// The built-in font on the current device: made at the first call and again after the device
// changed. White ink on transparent texels (A8R8G8B8). Null without a device.
IDirect3DTexture8* GridFontBuiltinTexture();
// Lets the built-in texture go (render shutdown).
void GridFontReleaseBuiltin();
