// What the game does when a projectile strikes near the player or a game mode runs: view shakes
// and the game mode's notice. The view shake itself comes with the player view; until then the
// requests are recorded.
#pragma once
#include "core/types.h"

class Projectile;

struct GameHitState {
    u32_t playerShakes = 0;  // GamePlayerHitShake calls
    u32_t nearShakes = 0;    // GameShakeViewNearHit calls
    float lastNearDistanceSquared = 0.0f;
    u32_t notices = 0;  // GameModNotifyHit calls that reached a running game mode
    const Projectile* lastProjectile = nullptr;
};

extern GameHitState g_gameHits;

// Jolts the player's view by the projectile's screen-shake values (the player was hit).
void GamePlayerHitShake(const Projectile* projectile);
// Jolts the player's view for a blast at that squared distance.
void GameShakeViewNearHit(const Projectile* projectile, float distanceSquared);
// While a game mode runs: plug-in event 0x30004 with the projectile.
void GameModNotifyHit(Projectile* projectile);
// True when a hit on a friend of the player is to be reported: no game mode runs, or the running
// one asks for it.
bool GameReportsFriendlyFire();
void GameHitsClear();
