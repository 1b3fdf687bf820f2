// The three global actor lists: the two per-side lists and a third list of actors.
#pragma once
#include "core/ptr_array.h"

// Held by pointer; deleting an actor (ActorListsFree) needs the whole class, which only the lists'
// own source includes.
class Actor;

extern PtrArray<Actor> g_actorSideLists[2];
extern PtrArray<Actor> g_actorList;

// Deletes every actor still listed and frees the blocks (program end).
void ActorListsFree();
