#include "game/player_control.h"
#include "game/player_control_state.h"
#include "scene/frame_state.h"
#include "game/player_view.h"

PlayerControlState g_playerControl;

namespace {
float g_lean = 0.0f;
float g_yawBeforeFiring = 0.0f;
float g_pitchBeforeFiring = 0.0f;
float g_playerPosition[3] = {0.0f, 0.0f, 0.0f};
u8_t g_onLadder = 0;
u8_t g_falling = 0;
float g_playerHealth = 100.0f;
}  // namespace

float GameGetLean()
{
    return g_lean;
}

void GameSetLean(float lean)
{
    g_lean = lean;
}

float GameGetYawBeforeFiring()
{
    return g_yawBeforeFiring;
}

float GameGetPitchBeforeFiring()
{
    return g_pitchBeforeFiring;
}

void GameSaveAnglesBeforeFiring(float yaw, float pitch)
{
    g_yawBeforeFiring = yaw;
    g_pitchBeforeFiring = pitch;
}

void GameSetPlayerPos(const float* position)
{
    if (!position)
        return;
    for (int i = 0; i < 3; ++i)
        g_playerPosition[i] = position[i];
}

const float* GameGetPlayerPos()
{
    return g_playerPosition;
}

u8_t GameIsPlayerOnLadder()
{
    return g_onLadder;
}

u8_t GameIsPlayerFalling()
{
    return g_falling;
}

void GameSetPlayerClimbState(bool onLadder, bool falling)
{
    g_onLadder = onLadder ? 1 : 0;
    g_falling = falling ? 1 : 0;
}

void ReincarnatePlayer()
{
    g_playerHealth = 100.0f;
    g_onLadder = 0;
    g_falling = 0;
    GamePlayerSoundView().playerDead = false;
    RenderResetFrameState();
}

float GameGetPlayerHealth()
{
    return g_playerHealth;
}

void PlayerControlStateReset()
{
    g_playerControl = PlayerControlState();
}
