// An actor's death as the game and plug-ins trigger it.
#pragma once
#include "core/types.h"

// The host function "die": the actor (an Actor; null is ignored) dies with the death set, the hit
// having come from the angle (radians).
extern "C" void die(void* actor, s32_t deathSet, float angle);

class Actor;

// The hit angle (radians) as the death sets give it: degrees in 0..360, an angle of 0 or below
// taken a turn further first.
float ActorDeathAngleDegrees(float angle);
// The death entry of the set for the actor's pose, the angle (degrees) and the weapon in hand,
// drawn among the candidates; -1 when the class lacks the set or no entry fits.
s32_t ActorChooseDeath(const Actor* actor, s32_t set, float degrees);
