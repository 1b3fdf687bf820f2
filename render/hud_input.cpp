#include "render/hud_input.h"

HudInput g_hudInput;
