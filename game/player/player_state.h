// The player's state as other code reads and sets it: the view roll and tilt, the view reset, the
// dead and movement-mode flags, the clearing of the control's carried inputs, console scripts and the default
// weapon variables. The player control writes these values each frame.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

struct PlayerState {
    u8_t movementMode = 0;
    u8_t respawnRequested = 0;  // the game asks for the player to be brought back
};

extern PlayerState g_playerState;

// The view roll (radians, kept in the frame view), read by the secondary views and the camera saving.
float GameGetRoll();
void GameSetRoll(float roll);
// The decaying view tilt: the roll before lean (g_playerControl.baseRoll), which the player control
// brings back toward 0 and adds the lean roll to for the view roll.
void GameSetViewTilt(float angle);
float GameGetViewTilt();
// Runs a console script (a file on disk, else in the archives).
void GameExecConsoleScript(const EngineString& fileName);
// Yaw, pitch and roll become 0.
void GameResetViewAngles();
// The primary, secondary, explosive, explosive-device and grenade variables back to their defaults.
void GameResetDefaultWeapons();
// True when the player-dead flag is set and the player's actor reports itself dead.
bool IsPlayerDead();
s32_t GetPlayerMovementMode();
void GameSetPlayerMovementMode(bool on);
// Back to the start values (mission start, tests).
void PlayerStateReset();
// The mission restart's reset of the control input: the use-pending flag and the four movement
// accumulators (forward, backward, left, right) of the frame input.
void GameResetControlInput();
