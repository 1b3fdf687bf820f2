// The decal builders: each cuts a textured square onto the faces around an event and hands the
// pieces to their owners (the graphic node they cover, or the world renderer's list for the
// static map geometry). Pseudo-random numbers come from the engine's generator, in a fixed order.
#pragma once
#include "core/types.h"

class GraphObj;
class Material;
class Projectile;

// A bullet impact at the hit point on a surface with that normal (world space). Only projectiles
// of the impact kind make one; a missing normal or material is reported on console 0.
void DecalCreateAtHit(const Vector3& hitPoint, const Vector3* normal, Material* material, const Projectile* projectile);
// An explosion scorch on every object and map face within reach of the centre. Only explosive
// projectiles make one.
void DecalCreateExplosion(const Vector3& centre, const Vector3* normal, Material* material,
                          const Projectile* projectile);
// Blood splashed along the shot onto the faces behind a bleeding object that was hit.
void DecalCreateBlood(GraphObj* bleeding, const Vector3& hitPoint, const Vector3* normal, Material* material,
                      const Projectile* projectile);
// A blood pool on the upward faces under an actor, at its point "xb"; none without that point.
void DecalCreateActorBlood(GraphObj* actor);
