// The global actor lists (g_map.actorSideLists and g_map.actors, map/map_state.h).
#pragma once

// Deletes every actor still listed and frees the blocks (program end).
void ActorListsFree();
