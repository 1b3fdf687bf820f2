// The global team lists of actors (g_map.teamLists, map/map_state.h): 0 friend, 1 neutral,
// 2 enemy. The world registry adds actors as they enter the world and removes them as they leave;
// it never deletes through them.
#pragma once

// Deletes every actor still listed and frees the blocks (program end).
void ActorListsFree();
