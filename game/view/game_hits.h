// What the game does when a projectile strikes near the player or a game mode runs: view jolts,
// screen shakes, the red flash of a hit and the game mode's notice. The calls are counted as well.
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

// The player was hit (called only while gbshake is on): a screen shake of the projectile's strength,
// a random jolt of up to its yaw and pitch jolts, the game mode's notice and a red flash of 500 ms.
void GamePlayerHitShake(const Projectile* projectile);
// A blast at that squared distance (within ten times the projectile's reach): a 200 ms screen shake
// and a jolt that fade with the distance; nothing for a reach of 0.
void GameShakeViewNearHit(const Projectile* projectile, float distanceSquared);
// While a game mode runs: plug-in event 0x30004 with the projectile.
void GameModNotifyHit(Projectile* projectile);
// True when a hit on a friend of the player is to be reported: no game mode runs, or the running
// one asks for it.
bool GameReportsFriendlyFire();
void GameHitsClear();
