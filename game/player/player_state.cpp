#include "game/player/player_state.h"

#include "actors/actor.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "game/game_cvars.h"
#include "game/mission/game_flow.h"
#include "game/player/player_control_state.h"
#include "game/player/player_foot_control.h"
#include "game/view/player_view.h"

PlayerState g_playerState;

float GameGetRoll()
{
    return g_frameView.roll;
}

void GameSetRoll(float roll)
{
    g_frameView.roll = roll;
}

// The view tilt is the roll before lean, which the player control brings back to level each frame.
void GameSetViewTilt(float angle)
{
    g_playerControl.baseRoll = angle;
}

float GameGetViewTilt()
{
    return g_playerControl.baseRoll;
}

void GameExecConsoleScript(const EngineString& fileName)
{
    if (const char* name = fileName.Text())
        ConExecFile(name);
}

void GameResetViewAngles()
{
    GameSetYawPitch(0.0f, 0.0f);
    g_frameView.roll = 0.0f;
}

void GameResetDefaultWeapons()
{
    gs_curprimaryweapon.SetString("vss");
    gs_cursecondaryweapon.SetString("steckin");
    gs_curexplosiveweapon.SetString("");
    gs_curexpdevicesweapon.SetString("");
    gs_grenadeweapon.SetString("rgd5");
}

bool IsPlayerDead()
{
    const Actor* player = PlayerActor();
    return g_frameView.sound.playerDead && player && player->isDead;
}

s32_t GetPlayerMovementMode()
{
    return g_playerState.movementMode ? 1 : 0;
}

void GameSetPlayerMovementMode(bool on)
{
    g_playerState.movementMode = on ? 1 : 0;
}

void GameClearFrameInput()
{
    // What the control on foot carries from one frame to the next out of the keys: the glide of each
    // move key, the lean with its roll and the head bob. A screen or a view that takes the keys away
    // leaves none of them running behind it.
    PlayerFootState& foot = g_playerFoot;
    for (float& momentum : foot.momentum)
        momentum = 0.0f;
    foot.savedSpeed = 0.0f;
    foot.lean = 0.0f;
    foot.leanRoll = 0.0f;
    foot.bobOffset = 0.0f;
}

void PlayerStateReset()
{
    g_playerState = PlayerState();
}

void GameResetControlInput()
{
    // The pending use click and what the four move keys still carry (their glide) are forgotten.
    g_playerControl.usePending = 0;
    for (float& momentum : g_playerFoot.momentum)
        momentum = 0.0f;
}
