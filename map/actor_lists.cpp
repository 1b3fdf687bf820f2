#include "map/actor_lists.h"

#include "actors/actor.h"
#include "map/map_state.h"

void ActorListsFree()
{
    for (PtrArray<Actor>& list : g_map.teamLists)
        list.DeleteAll();
}
