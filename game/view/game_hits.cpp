#include "game/view/game_hits.h"

#include <cmath>

#include "actors/weapons/projectile.h"
#include "core/frame_view.h"
#include "core/plugins/plugin_api.h"
#include "core/plugins/plugin_host.h"
#include "core/random.h"
#include "game/mission/game_flow.h"
#include "game/game_state.h"
#include "game/view/player_view.h"
#include "game/view/view_roll.h"
#include "scene/hud/screen_fade.h"

GameHitState g_gameHits;

namespace {

constexpr float kDegree = 3.14159265f / 180.0f;
constexpr float kHalfPi = 1.5707964f;
constexpr u32_t kNearShakeMs = 200;
constexpr u32_t kHitShakeMs = 1;
constexpr s32_t kHitFadeMs = 500;
constexpr u32_t kHitFadeColour = 0x00800000u;  // dark red

// A random part (0 .. all) of the jolt, in radians.
float RandomJolt(float degrees)
{
    return static_cast<float>(EngineRand()) * (degrees * kDegree) * (1.0f / static_cast<float>(ENGINE_RAND_MAX));
}

void Jolt(float yawDegrees, float pitchDegrees)
{
    GameSetYaw(GameGetYaw() + RandomJolt(yawDegrees));
    const float pitch = GameGetPitch() + RandomJolt(pitchDegrees);
    GameSetPitch(std::fmax(-kHalfPi, std::fmin(kHalfPi, pitch)));
}

}  // namespace

void GamePlayerHitShake(const Projectile* projectile)
{
    ++g_gameHits.playerShakes;
    g_gameHits.lastProjectile = projectile;
    if (!projectile)
        return;
    const float* shake = projectile->screenShake;
    ViewRollStartShake(kHitShakeMs, shake[1]);
    Jolt(shake[2], shake[3]);
    GameModNotifyHit(const_cast<Projectile*>(projectile));
    ScreenFadeStart(kHitFadeMs, kHitFadeColour);
}

void GameShakeViewNearHit(const Projectile* projectile, float distanceSquared)
{
    ++g_gameHits.nearShakes;
    g_gameHits.lastNearDistanceSquared = distanceSquared;
    g_gameHits.lastProjectile = projectile;
    if (!projectile)
        return;
    const float* shake = projectile->screenShake;
    const float k = 100.0f * shake[0] * shake[0];
    if (k == 0.0f)
        return;
    const float f = 1.0f / k;
    ViewRollStartShake(kNearShakeMs, shake[1] - f * shake[1] * distanceSquared);
    Jolt(shake[2] - f * shake[2] * distanceSquared, shake[3] - f * shake[3] * distanceSquared);
}

void GameModNotifyHit(Projectile* projectile)
{
    if (!g_frameView.currentGameMod)
        return;
    ++g_gameHits.notices;
    g_gameHits.lastProjectile = projectile;
    g_pluginHost.Broadcast(HookGameModHit, reinterpret_cast<std::uintptr_t>(projectile));
}

bool GameReportsFriendlyFire()
{
    return !g_frameView.currentGameMod || g_frameView.currentGameMod->aiSoldiers != 0;
}

void GameHitsClear()
{
    g_gameHits = GameHitState{};
}
