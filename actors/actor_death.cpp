// Death animations and the death's sounds come with the actor's animation set; until then dying
// changes nothing that anything reads.
#include "actors/actor_death.h"

void ActorDie(Actor*) {}
