// What the renderer reaches of the loaded land's derived data: the forced-rebuild switch of the
// map caches, the lightmap and fog textures, the land name and its texture layers' tiling values.
// No land is loaded until the map load exists: no lightmap, no fog texture, an empty land name.
#pragma once
#include "platform/d3d8.h"

struct MapGrid;

// Vegetation layers 0 to 31.
constexpr int MAP_VEGETATION_LAYERS = 32;

// While set, every map cache counts as stale and is rebuilt.
void MapForceCacheRebuild(bool forced);
bool MapCacheRebuildForced();

const char* MapGetLandName();
// The path of the map's data file; the land layer cache lies in its folder. Empty until set.
const char* MapGetDataPath();
// Set by the map load.
void MapSetDataPath(const char* path);
// True when the forced rebuild is on, when the cache or the source file is missing on disk, or
// when the source is newer than the cache.
bool MapCacheIsStale(const char* cachePath, const char* sourcePath);
// Builds or loads the land lightmap of the land and mission folders.
void MapBuildLightmap(const char* landPath, const char* missionPath);
IDirect3DTexture8* MapGetLightmapTexture();
IDirect3DTexture8* MapGetFogTexture();
// Releases the fog texture held, then creates and fills it anew for the map.
void MapCreateFogTexture(const char* mapName);
// The "var" value of land texture layer 0 to 31 (default 0); 0 for any other number.
float MapGetLayerVar(int layer);
// The density grid of vegetation layer 0 to 31; null when the layer has none (and for any other
// number). The map caches hand the grids in; the caller of the setter keeps ownership.
MapGrid* MapGetVegetationLayerGrid(int layer);
void MapSetVegetationLayerGrid(int layer, MapGrid* grid);
