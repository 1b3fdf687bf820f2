// A projectile in flight: what the decal builders and the hit reactions read of it so far.
#pragma once
#include "core/types.h"

enum ProjectileKind : s32_t {
    PROJECTILE_IMPACT = 0,     // leaves impact decals and blood
    PROJECTILE_EXPLOSIVE = 1,  // leaves explosion scorches
};

class Projectile {
public:
    // True while the projectile is alive and in flight.
    bool IsActive() const { return active; }

    bool active = false;
    s32_t kind = PROJECTILE_IMPACT;
    Vector3 direction;  // flight direction
    float minDecalSize = 0.0f;
    float maxDecalSize = 0.0f;
    float decalSpacing = 0.0f;  // a new decal this close to an earlier one is dropped
    float hitSound = 0.0f;      // a hit makes a sound only at 0.5 or below
    float damageA = 0.0f;       // the damage of a hit: damageA x 0.01 x damageB x 0.01 x 25
    float damageB = 0.0f;
};
