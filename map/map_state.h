// The map subsystem's state record: the octree's per-pass visit mark and the global actor lists.
#pragma once
#include "core/ptr_array.h"
#include "core/types.h"

class Actor;

struct MapState {
    // Bumped by each pass that walks the octree; an object whose octree link carries the current mark
    // counts as already handled in this pass. Plug-ins read it through the host data entry
    // "octree_object_checked".
    u32_t octreeVisitMark = 0;
    // The two per-side lists and a third list of actors; ActorListsFree deletes the actors still listed.
    PtrArray<Actor> actorSideLists[2];
    PtrArray<Actor> actors;
};

extern MapState g_map;
