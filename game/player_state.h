// The player's state as other code reads and sets it: the view roll and tilt, the view reset, the
// dead and movement-mode flags, the per-frame control inputs, console scripts and the default
// weapon variables. The player control writes these values each frame.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"

// What the player control gathers from the keys in one frame; cleared when a screen opens.
struct PlayerFrameInput {
    float lean = 0.0f;  // -1 .. 1: left .. right
    float forward = 0.0f;
    float backward = 0.0f;
    float left = 0.0f;
    float right = 0.0f;
    u32_t keys = 0;  // the frame's key bits
    float turn = 0.0f;
    float lookUp = 0.0f;
    float rise = 0.0f;
    float fall = 0.0f;
};

struct PlayerState {
    u8_t movementMode = 0;
    u8_t inputSuspended = 0;    // the player's keys do nothing while set
    u8_t respawnRequested = 0;  // the game asks for the player to be brought back
    PlayerFrameInput input;
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
