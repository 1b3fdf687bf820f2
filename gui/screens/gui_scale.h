// The front end's layout scale. Sizes are given for a screen 800 pixels wide; some spacings on a
// virtual grid of 800 x 600 units.
#pragma once
#include "core/types.h"
#include "render/device/render_context.h"

// The display size in pixels that GUI fractions multiply.
s32_t GuiScreenWidth();
s32_t GuiScreenHeight();
// The text scale, GuiScaleToScreen, stands beside the screen size in render/device/render_context.h.

// n x (screen height / 600), the division an integer one: the factor is 1 from 600 to 1199 pixels
// of height, 2 from 1200 (text spacings).
s32_t GuiScaleByHeight(s32_t n);
