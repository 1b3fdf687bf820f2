#include "render/draw2d/hud_input.h"

HudInput g_hudInput;
