// The map subsystem's state record: the octree's per-pass visit mark, the actors' relation lists and
// the sight factors of the loaded map.
#pragma once
#include "core/ptr_ref_array.h"
#include "core/types.h"

class Actor;

struct MapState {
    // Bumped by each pass that walks the octree; an object whose octree link carries the current mark
    // counts as already handled in this pass. Plug-ins read it through the host data entry
    // "octree_object_checked".
    u32_t octreeVisitMark = 0;
    // The actors in the world by the team of their AI (0 FRIEND, 1 NEUTRAL, 2 ENEMY), kept by
    // ActorSideListAdd and ActorSideListRemove (map/actor_side_lists.h). They only reference: the world
    // owns the actors, and emptying a list deletes nothing.
    PtrRefArray<Actor> FriendActorList;
    PtrRefArray<Actor> NeutralActorList;
    PtrRefArray<Actor> EnemyActorList;
    // Set by the map load from the view range, the fog start and the ambient light
    // (MapSightFactorsCompute, map/map_sight.h); 1.0 while no map is loaded.
    float sightRangeFactor = 1.0f;
    float sightLightFactor = 1.0f;
};

extern MapState g_map;
