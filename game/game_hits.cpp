#include "game/game_hits.h"

#include "core/plugin_api.h"
#include "core/plugin_host.h"
#include "game/game_flow.h"
#include "game/game_state.h"

GameHitState g_gameHits;

void GamePlayerHitShake(const Projectile* projectile)
{
    ++g_gameHits.playerShakes;
    g_gameHits.lastProjectile = projectile;
}

void GameShakeViewNearHit(const Projectile* projectile, float distanceSquared)
{
    ++g_gameHits.nearShakes;
    g_gameHits.lastNearDistanceSquared = distanceSquared;
    g_gameHits.lastProjectile = projectile;
}

void GameModNotifyHit(Projectile* projectile)
{
    if (!g_game.currentGameMod)
        return;
    ++g_gameHits.notices;
    g_gameHits.lastProjectile = projectile;
    g_pluginHost.Broadcast(HookGameModHit, reinterpret_cast<std::uintptr_t>(projectile));
}

bool GameReportsFriendlyFire()
{
    return !g_game.currentGameMod || g_game.currentGameMod->friendlyFireMessage != 0;
}

void GameHitsClear()
{
    g_gameHits = GameHitState{};
}
