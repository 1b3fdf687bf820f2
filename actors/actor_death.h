// An actor's death as the game and plug-ins trigger it.
#pragma once
#include "core/types.h"

// The host function "die": the actor (an Actor; null is ignored) dies with the death set, the hit
// having come from the angle (radians).
extern "C" void die(void* actor, s32_t deathSet, float angle);
