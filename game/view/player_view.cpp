#include "game/view/player_view.h"

#include "actors/actor.h"
#include "actors/trace_material.h"
#include "core/frame_view.h"
#include "game/game_state.h"
#include "map/trace/map_trace.h"
#include "map/materials/material.h"

namespace {
float g_playerModeModifier = 0.0f;
}  // namespace

float* GameGetViewPos()
{
    return g_frameView.viewPos;
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
    return g_frameView.yaw;
}

float GameGetPitch()
{
    return g_frameView.pitch;
}

void GameSetYaw(float yaw)
{
    g_frameView.yaw = yaw;
}

void GameSetYawPitch(float yaw, float pitch)
{
    GameSetYaw(yaw);
    GameSetPitch(pitch);
}

void GameSetPitch(float pitch)
{
    g_frameView.pitch = pitch;
}

PlayerSoundView& GamePlayerSoundView()
{
    return g_frameView.sound;
}

SurfaceSounds* GameTraceSurfaceBelow(const float* from, float distance)
{
    MapTraceInfo info;
    // The land layer at the hit names a land face's material by its texture.
    info.flags = TRACE_TILED | TRACE_OBJECTS | TRACE_VEGLAYER;
    info.objOptions = OBJTRACE_MATERIAL;
    info.objMaterial = nullptr;
    info.ignoreObject = g_frameView.player;
    info.hitObject = nullptr;
    info.hitMapMesh = nullptr;
    info.resultKind = TRACE_RESULT_NONE;
    info.hitMesh = nullptr;
    info.vegetationLayer = 0;
    const float end[3] = {from[0], from[1] - distance, from[2]};
    Material* material = nullptr;
    if (MapTrace(from, end, &info) || WorldTraceIndoor(from, end, &info))
        material = TraceHitMaterial(info);
    g_frameView.sound.surfaceBelowViewer = material ? &material->surface : nullptr;
    return g_frameView.sound.surfaceBelowViewer;
}

EngineString& GameCurrentMapName()
{
    return g_frameView.mapName;
}
