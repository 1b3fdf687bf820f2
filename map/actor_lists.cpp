#include "map/actor_lists.h"

#include "actors/actor.h"

PtrArray<Actor> g_actorSideLists[2];
PtrArray<Actor> g_actorList;

void ActorListsFree()
{
    g_actorSideLists[0].DeleteAll();
    g_actorSideLists[1].DeleteAll();
    g_actorList.DeleteAll();
}
