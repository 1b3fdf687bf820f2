// The game's side of the mouse: the sensitivity of the player's view. The view factors and the
// free-mouse flag live in the game record (game/game_state.h).
#pragma once
#include "core/types.h"

// Both view factors become gi_mousesensitivity x 0.0002, or 0.003 when that is 0.
void GameUpdateMouseSensitivity();
// The command "gx_updatemouse": the same; returns 0.
s32_t GameUpdateMouseCommand(const char* arguments);
