// What an object hit by a projectile learns of the shot: the graphic object's own reaction (the
// surface's sound, the damage, the hit shake) reads only these values; a soldier, above the object
// model, reads the projectile itself.
#pragma once
#include "core/types.h"

class Projectile;

struct ProjectileHit {
    Projectile* projectile = nullptr;
    bool flying = false;    // still flying after the hit: it went on (a grenade bouncing off)
    float hitSound = 0.0f;  // a hit makes a sound only at 0.5 or below
    float damageA = 0.0f;   // the damage of a hit: damageA x 0.01 x damageB x 0.01 x 25
    float damageB = 0.0f;
    Vector3 direction;  // the launch direction of the projectile's current arc
};
