#include "actors/actor_death.h"

#include "actors/actor.h"

extern "C" void die(void* actor, s32_t deathSet, float angle)
{
    if (actor)
        static_cast<Actor*>(actor)->die(deathSet, angle);
}
