#include "actors/actor_state.h"

ActorState g_actors;
