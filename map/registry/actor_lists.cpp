#include "map/registry/actor_lists.h"

#include <initializer_list>

#include "map/terrain/map_state.h"

PtrRefArray<Actor>* ActorTeamList(s32_t team)
{
    switch (team) {
        case ACTOR_TEAM_FRIEND:
            return &g_map.FriendActorList;
        case ACTOR_TEAM_NEUTRAL:
            return &g_map.NeutralActorList;
        case ACTOR_TEAM_ENEMY:
            return &g_map.EnemyActorList;
        default:
            return nullptr;
    }
}

void ActorSideListsForget(const Actor* actor)
{
    for (PtrRefArray<Actor>* list : {&g_map.EnemyActorList, &g_map.FriendActorList, &g_map.NeutralActorList}) {
        while (list->RemoveSwapLast(actor)) {
        }
    }
}

void ActorListsFree()
{
    g_map.FriendActorList.Release();
    g_map.NeutralActorList.Release();
    g_map.EnemyActorList.Release();
}
