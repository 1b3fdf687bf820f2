// The game's side of the mouse: the sensitivity of the player's view and the look itself. The view
// factors and the free-mouse flag live in the game record (game/game_state.h).
#pragma once
#include "core/types.h"

// The keyboard code of Z, which turns the third-person orbit in place of the view while held.
constexpr u8_t KEY_ORBIT = 0x2C;
// The pitch stops at 89 degrees up and down.
constexpr float kPitchLimit = 1.553343f;

// Both view factors become gi_mousesensitivity x 0.0002, or 0.003 when that is 0.
void GameUpdateMouseSensitivity();
// The command "gx_updatemouse": the same; returns 0.
s32_t GameUpdateMouseCommand(const char* arguments);

// The mouse-move listener of a mission: marks the mouse as moved this frame; unless the satellite
// view is open, turns the third-person orbit (Z held in third person) or the view, each angle kept
// within a turn and the pitch within 89 degrees (gb_invertmouse turns its sense over).
void MouseLookUpdate(s32_t dx, s32_t dy);
