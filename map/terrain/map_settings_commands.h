// The map's console commands, registered with the map variables (map/map_cvars.h). Both ignore their
// arguments and return 0.
#pragma once
#include "core/types.h"

// "mxrebuild": with a map loaded, rebuilds the land layers and the lightmap as if their caches were
// stale, turns the layer-by-layer drawing on and has the landscape refreshed. Without a map it does
// nothing: there is no octree to build them from.
s32_t MapRebuildCommand(const char* arguments);
// "mxlayersreload": reloads the texture layers of the current land.
s32_t MapLayersReloadCommand(const char* arguments);

// The folder of every land's layers and meshes.
inline constexpr const char* MAP_LAND_FOLDER = "component\\land\\";
