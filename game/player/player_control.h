// The player state that plug-ins read and set through the host dictionary (the player's actor is
// g_frameView.player, core/frame_view.h).
// The on-foot control writes the lean each frame and the fire step saves the angles before a shot;
// plug-ins read them here and may set them between frames.
#pragma once
#include "core/types.h"

float GameGetLean();
void GameSetLean(float lean);
// View angles saved before the last shot.
float GameGetYawBeforeFiring();
float GameGetPitchBeforeFiring();
void GameSaveAnglesBeforeFiring(float yaw, float pitch);
// Sets the player position from three floats.
void GameSetPlayerPos(const float* position);
const float* GameGetPlayerPos();
u8_t GameIsPlayerOnLadder();
u8_t GameIsPlayerFalling();
void GameSetPlayerClimbState(bool onLadder, bool falling);
// Brings the player back: held actions cleared, the actor revived with its pose and weapons reset
// and undrawn, third person off, the dead and input-suspended flags cleared, health 100.0, the view's
// and sounds' flags and the render frame state reset, no respawn pending. Without a player (outside a
// mission) the actor's steps are skipped.
void ReincarnatePlayer();
float GameGetPlayerHealth();
