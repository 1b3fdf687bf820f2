// Loading and unloading a mission's land: the land's section of the script "land" (its console
// settings, texture, vegetation and water layers, map mesh and transforms), then every cache the
// renderers and the world queries need, each read back when current and built otherwise.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

// Layers of each kind a land can hold.
constexpr int MAP_LAYER_SLOTS = 32;

// Turns the land of that name and the mission folder into the loaded map. 0 when the map is ready,
// -1 when the map mesh cannot be loaded (the land names none, or it is found nowhere or unreadable);
// what the earlier steps loaded then stays in place. Expects the previous map to be unloaded.
int MapLoad(const EngineString& landName, const EngineString& missionFolder);
// Sets the function every successful MapLoad calls once the map is ready, before the map settings
// are finished: the state kept above map/ that starts afresh with each map (the renderer's frame carry
// and the first-person view) is reset there by whoever runs the program or the editor. Null: none.
void MapSetLoadedHook(void (*hook)());
// Frees all map data: objects, meshes, caches, layers, roads and the octree.
void MapUnload();
