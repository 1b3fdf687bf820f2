// The actors' relation lists (g_map.FriendActorList, NeutralActorList and EnemyActorList,
// map/terrain/map_state.h): the actors in the world by the team of their AI. The lists reference the actors;
// the world owns them, so nothing here ever deletes an actor. The world registry fills and empties
// them as actors enter and leave the world (map/registry/actor_side_lists.h).
#pragma once
#include "core/strings/ptr_ref_array.h"
#include "core/types.h"

class Actor;

// Team values of an actor's AI.
enum ActorTeam : s32_t {
    ACTOR_TEAM_FRIEND = 0,
    ACTOR_TEAM_NEUTRAL = 1,
    ACTOR_TEAM_ENEMY = 2,
};

// The relation list of a team value; null for a value outside 0..2.
PtrRefArray<Actor>* ActorTeamList(s32_t team);
// Takes every entry of the actor out of all three lists; a destroyed actor leaves nothing behind.
void ActorSideListsForget(const Actor* actor);
// Frees the blocks of the three lists without deleting any actor (program end, and whenever the
// lists are emptied).
void ActorListsFree();
