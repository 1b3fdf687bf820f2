#include "game/player_view.h"

namespace {
float g_viewPosition[3] = {0.0f, 0.0f, 0.0f};
float g_playerModeModifier = 0.0f;
float g_viewYaw = 0.0f;
float g_viewPitch = 0.0f;
PlayerSoundView g_playerSoundView;
EngineString g_currentMapName;
}  // namespace

float* GameGetViewPos()
{
    return g_viewPosition;
}

float GameGetPlayerModeModifier()
{
    return g_playerModeModifier;
}

void GameSetPlayerModeModifier(float modifier)
{
    g_playerModeModifier = modifier;
}

float GameGetYaw()
{
    return g_viewYaw;
}

float GameGetPitch()
{
    return g_viewPitch;
}

void GameSetYaw(float yaw)
{
    g_viewYaw = yaw;
}

void GameSetPitch(float pitch)
{
    g_viewPitch = pitch;
}

PlayerSoundView& GamePlayerSoundView()
{
    return g_playerSoundView;
}

SurfaceSounds* GameTraceSurfaceBelow(const float*, float)
{
    // No map traces yet: the surface is what the player control last stored.
    return g_playerSoundView.surfaceBelowViewer;
}

EngineString& GameCurrentMapName()
{
    return g_currentMapName;
}
