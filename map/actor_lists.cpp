#include "map/actor_lists.h"

#include "actors/actor.h"
#include "map/map_state.h"

void ActorListsFree()
{
    g_map.actorSideLists[0].DeleteAll();
    g_map.actorSideLists[1].DeleteAll();
    g_map.actors.DeleteAll();
}
