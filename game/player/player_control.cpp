#include "game/player/player_control.h"

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "core/input/input.h"
#include "game/player/player_state.h"
#include "render/draw2d/hud_input.h"
#include "render/render_cvars.h"
#include "scene/views/first_person_view.h"
#include "game/player/player_control_state.h"
#include "scene/passes/frame_state.h"
#include "game/view/player_view.h"

PlayerControlState g_playerControl;

namespace {
float g_lean = 0.0f;
float g_yawBeforeFiring = 0.0f;
float g_pitchBeforeFiring = 0.0f;
// The player starts at the viewer's start position.
float g_playerPosition[3] = {10.0f, 10.0f, -40.0f};
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
    return g_hudInput.flags.playerOnLadder;
}

u8_t GameIsPlayerFalling()
{
    return g_falling;
}

void GameSetPlayerClimbState(bool onLadder, bool falling)
{
    g_hudInput.flags.playerOnLadder = onLadder ? 1 : 0;
    g_falling = falling ? 1 : 0;
}

void ReincarnatePlayer()
{
    for (u8_t& held : g_input.actionDown)
        held = 0;
    // A plug-in may call this outside a mission: the actor's steps need a player.
    Actor* player = PlayerActor();
    if (player) {
        player->Revive();
        player->ResetPoseAndWeapons();
    }
    gbthirdperson.SetBool(false);
    if (player)
        player->SetDrawn(false);
    // The keys reach the player again: no screen holds them.
    g_input.guiMode = false;
    GamePlayerSoundView().playerDead = false;
    if (AIEntity* entity = player ? player->GetAIEntity() : nullptr)
        entity->health = 100.0f;
    g_playerHealth = 100.0f;
    g_hudInput.flags.playerOnLadder = 0;
    g_falling = 0;
    // The flags that the first-person view and the player's sounds read.
    GamePlayerSoundView().movementFlags[0] = 0;
    GamePlayerSoundView().movementFlags[1] = 0;
    g_firstPersonControl.firedThisFrame = false;
    g_firstPersonControl.burstRunning = false;
    g_firstPersonControl.reloadFromEmpty = false;
    g_firstPersonControl.tilt = false;
    RenderResetFrameState();
    g_playerState.respawnRequested = 0;
}

float GameGetPlayerHealth()
{
    return g_playerHealth;
}

void PlayerControlStateReset()
{
    g_playerControl = PlayerControlState();
}
