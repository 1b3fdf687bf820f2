// The actors' state record: the table of actor classes of the running mission, the obstacle tree
// and the retired projectiles.
#pragma once
#include "core/types.h"

class Projectile;
struct ActorClassInfo;
struct ObstacleTree;

constexpr u32_t ACTOR_CLASS_SLOTS = 16;

struct ActorState {
    // The registered classes, filled from slot 0 upward; the table owns them.
    ActorClassInfo* classInfos[ACTOR_CLASS_SLOTS] = {};
    u32_t classCount = 0;
    // The zones routes go round, built at mission start and freed when the mission is left.
    ObstacleTree* obstacleTree = nullptr;
    // Raised by one for every route planned; zones stamp the route that last went round them.
    u32_t routeNumber = 0;
    // Projectiles retired within the current simulation step (ProjectileTable), deleted together at
    // the start of the next; filled from slot 0, grown when a step retires more than it holds.
    Projectile** retiredProjectiles = nullptr;
    u32_t retiredCapacity = 0;
    u32_t retiredCount = 0;
};

extern ActorState g_actors;
