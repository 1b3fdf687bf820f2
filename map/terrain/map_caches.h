// What the renderer reaches of the loaded land's derived data: the forced-rebuild switch of the
// map caches, the lightmap, the land's name, folders and box, its texture layers'
// tiling values, and the byte grids of the land's layers. Until a map load sets them: no lightmap, empty names and an empty box.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"
#include "platform/d3d8.h"

struct MapGrid;

constexpr int MAP_LAYER_GRID_COUNT = 32;

// While set, every map cache counts as stale and is rebuilt.
void MapForceCacheRebuild(bool forced);
bool MapCacheRebuildForced();

// The loaded map's names, set by the map load: the mission folder, the land folder (always
// "component\land\" once set) and the land name. Empty before the first map load.
void MapSetFolders(const char* missionFolder, const char* landName);
const char* MapGetMissionFolder();
const char* MapGetLandFolder();
const char* MapGetLandName();
// The map's bounding box (the land mesh's), set by the map load; min 1e30 and max -1e30 before it and
// after the unload.
void MapSetBox(const Vector3& boxMin, const Vector3& boxMax);
void MapGetBox(Vector3* boxMin, Vector3* boxMax);
// The path of the map's data file; the land layer cache lies in its folder. Empty until set.
const char* MapGetDataPath();
// Set by the map load.
void MapSetDataPath(const char* path);
// True when the forced rebuild is on, when the cache or the source file is missing on disk, or
// when the source was modified in a later second than the cache (the same second is up to date).
bool MapCacheIsStale(const char* cachePath, const char* sourcePath);
// For a cache on disk beside map data that may lie in the archives: stale as MapCacheIsStale when
// the source is a disk file; a source only in the archives has no time to compare, so the cache
// counts as current (unless the rebuild is forced).
bool MapDiskCacheIsStale(const char* cachePath, const char* sourcePath);
// Loads the land lightmap from lightmapFolder + "\lmap.dds", or builds it and writes that file
// (map/land_maps/lightmap.h). The staleness source is meshFolder + "\mesh.lff".
void MapBuildLightmap(const char* lightmapFolder, const char* meshFolder);
// The lightmap texture; null without one.
IDirect3DTexture8* MapGetLightmapTexture();
// The "var" value of land texture layer 0 to 31 as the map load read it (0 before any load, and
// for a text that is no number); 0 for any other number. Kept by the map load (map/terrain/map_load.cpp).
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
// The vegetation grid: no operation fills it, so it answers null; the map unload frees it when it is
// set.
MapGrid* MapGetVegetationGrid();
