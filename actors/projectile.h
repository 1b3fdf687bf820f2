// A projectile in flight: what the decal builders read of it so far.
#pragma once
#include "core/types.h"

enum ProjectileKind : s32_t {
    PROJECTILE_IMPACT = 0,     // leaves impact decals and blood
    PROJECTILE_EXPLOSIVE = 1,  // leaves explosion scorches
};

class Projectile {
public:
    s32_t kind = PROJECTILE_IMPACT;
    Vector3 direction;  // flight direction
    float minDecalSize = 0.0f;
    float maxDecalSize = 0.0f;
    float decalSpacing = 0.0f;  // a new decal this close to an earlier one is dropped
};
