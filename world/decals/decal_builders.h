// The decal builders: each cuts a textured square onto the faces around an event and hands the
// pieces to their owners (the graphic node they cover, or the world renderer's list for the
// static map geometry). Pseudo-random numbers come from the engine's generator, in a fixed order.
#pragma once
#include "core/types.h"

class GraphObj;
class Material;

// The "type" of a bullet block.
enum BulletType : s32_t {
    BULLET_TYPE_HIT = 0,        // leaves impact decals and blood
    BULLET_TYPE_EXPLOSIVE = 1,  // leaves explosion scorches
    BULLET_TYPE_BLANK = 2,
};

// What a shot's decal reads of the projectile that made it (Projectile::DecalShotOf).
struct DecalShot {
    s32_t bulletType = BULLET_TYPE_HIT;
    Vector3 flightDirection;   // unit direction of the shot's last step
    float decalSize[2] = {};   // smallest and largest decal, world units
    float decalRadius = 0.0f;  // a new decal this close to an earlier one is dropped
};

// A bullet impact at the hit point on a surface with that normal (world space). Only projectiles
// of the impact kind make one; a missing normal or material is reported on console 0.
void DecalCreateAtHit(const Vector3& hitPoint, const Vector3* normal, Material* material, const DecalShot& shot);
// An explosion scorch on every object and map face within reach of the centre. Only explosive
// projectiles make one.
void DecalCreateExplosion(const Vector3& centre, const Vector3* normal, Material* material, const DecalShot& shot);
// Blood splashed along the shot onto the faces behind a bleeding object that was hit.
void DecalCreateBlood(GraphObj* bleeding, const Vector3& hitPoint, const Vector3* normal, Material* material,
                      const DecalShot& shot);
// A blood pool on the upward faces under an actor, at its point "xb"; none without that point.
void DecalCreateActorBlood(GraphObj* actor);
