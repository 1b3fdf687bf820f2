// What the renderer reaches of the loaded land's derived data: the forced-rebuild switch of the
// map caches, the lightmap and fog textures, the land name and its texture layers' tiling values,
// and the byte grids of the land's layers. No land is loaded until the map load exists: no
// lightmap, no fog texture, an empty land name.
#pragma once
#include "core/engine_string.h"
#include "platform/d3d8.h"

struct MapGrid;

constexpr int MAP_LAYER_GRID_COUNT = 32;

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

// The byte grids of the land's texture layers 1 to 31, read from their alpha map images
// (folder + alphaNames[i] + ".tga", from disk, else through the virtual file system), and the
// "veg_layer" grid of the folder. An empty name or an image that yields no grid leaves the layer
// without one; name 0 is not used. Grids held from an earlier load are freed first.
void MapLoadVegetationLayers(const char* folder, const EngineString* alphaNames);
// The grid of layer 0 to 31; null when it has none, for layer 0, and past 31.
MapGrid* MapGetVegetationLayerGrid(int layer);
// Puts the grid in as layer 1 to 31's, freeing the grid held before (null takes the layer's grid
// away). The caches own the grid from now on, as a loaded one; for any other layer it is freed at
// once. Tests use it in place of alpha map images.
void MapSetVegetationLayerGrid(int layer, MapGrid* grid);
// Frees the layer grids and the "veg_layer" grid (map unload).
void MapFreeGrids();
