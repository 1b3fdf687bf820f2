#include "map/registry/actor_side_lists.h"

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "map/registry/actor_lists.h"
#include "map/terrain/map_state.h"

void ActorSideListAdd(Actor* actor)
{
    const AIEntity* entity = actor ? actor->GetAIEntity() : nullptr;
    if (!entity)
        return;
    if (PtrRefArray<Actor>* list = ActorTeamList(entity->team))
        list->Append(actor);
}

void ActorSideListRemove(Actor* actor)
{
    if (!actor)
        return;
    if (const AIEntity* entity = actor->GetAIEntity()) {
        if (PtrRefArray<Actor>* list = ActorTeamList(entity->team))
            list->RemoveSwapLast(actor);
        return;
    }
    g_map.EnemyActorList.RemoveSwapLast(actor);
    g_map.FriendActorList.RemoveSwapLast(actor);
    g_map.NeutralActorList.RemoveSwapLast(actor);
}
