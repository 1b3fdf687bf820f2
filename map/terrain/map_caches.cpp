#include "map/terrain/map_caches.h"

#include <cstdint>
#include <string>

#include "map/terrain/map_grid.h"
#include "map/terrain/map_state.h"
#include "platform/file_system.h"

namespace {

bool g_forcedRebuild = false;
std::string g_dataPath;
std::string g_missionFolder;
std::string g_landFolder;
std::string g_landName;
MapGrid* g_layerGrids[MAP_LAYER_GRID_COUNT] = {};
MapGrid* g_vegetationLayerGrid = nullptr;  // "veg_layer": kept for the map's life; no reader needs it

// The modification time of a disk file in whole seconds; false when there is none.
bool FileSeconds(const char* path, std::int64_t& seconds)
{
    return path && PlatformFileModifiedSeconds(path, &seconds);
}

}  // namespace

void MapForceCacheRebuild(bool forced)
{
    g_forcedRebuild = forced;
}

bool MapCacheRebuildForced()
{
    return g_forcedRebuild;
}

void MapSetFolders(const char* missionFolder, const char* landName)
{
    g_missionFolder = missionFolder ? missionFolder : "";
    g_landFolder = "component\\land\\";
    g_landName = landName ? landName : "";
}

const char* MapGetMissionFolder()
{
    return g_missionFolder.c_str();
}

const char* MapGetLandFolder()
{
    return g_landFolder.c_str();
}

const char* MapGetLandName()
{
    return g_landName.c_str();
}

// The box is the map state's one map box, which the land reader computes and the traces read.
void MapSetBox(const Vector3& boxMin, const Vector3& boxMax)
{
    g_map.bounds[0] = boxMin;
    g_map.bounds[1] = boxMax;
}

void MapGetBox(Vector3* boxMin, Vector3* boxMax)
{
    if (boxMin)
        *boxMin = g_map.bounds[0];
    if (boxMax)
        *boxMax = g_map.bounds[1];
}

const char* MapGetDataPath()
{
    return g_dataPath.c_str();
}

void MapSetDataPath(const char* path)
{
    g_dataPath = path ? path : "";
}

bool MapCacheIsStale(const char* cachePath, const char* sourcePath)
{
    if (g_forcedRebuild)
        return true;
    std::int64_t cacheTime = 0, sourceTime = 0;
    if (!FileSeconds(cachePath, cacheTime) || !FileSeconds(sourcePath, sourceTime))
        return true;
    return sourceTime > cacheTime;
}

bool MapDiskCacheIsStale(const char* cachePath, const char* sourcePath)
{
    std::int64_t sourceTime = 0;
    if (!g_forcedRebuild && !FileSeconds(sourcePath, sourceTime))
        return false;
    return MapCacheIsStale(cachePath, sourcePath);
}

void MapLoadVegetationLayers(const char* folder, const EngineString* alphaNames)
{
    MapFreeGrids();
    const std::string prefix = folder ? folder : "";
    for (int layer = 1; alphaNames && layer < MAP_LAYER_GRID_COUNT; ++layer) {
        if (alphaNames[layer].Length() > 0)
            g_layerGrids[layer] = MapGridLoad((prefix + alphaNames[layer].Text()).c_str());
    }
    g_vegetationLayerGrid = MapGridLoad((prefix + "veg_layer").c_str());
}

MapGrid* MapGetVegetationLayerGrid(int layer)
{
    return layer >= 0 && layer < MAP_LAYER_GRID_COUNT ? g_layerGrids[layer] : nullptr;
}

void MapSetVegetationLayerGrid(int layer, MapGrid* grid)
{
    if (layer < 1 || layer >= MAP_LAYER_GRID_COUNT) {
        MapGridFree(grid);
        return;
    }
    if (g_layerGrids[layer] != grid)
        MapGridFree(g_layerGrids[layer]);
    g_layerGrids[layer] = grid;
}

void MapFreeGrids()
{
    for (MapGrid*& grid : g_layerGrids) {
        MapGridFree(grid);
        grid = nullptr;
    }
    MapGridFree(g_vegetationLayerGrid);
    g_vegetationLayerGrid = nullptr;
}

MapGrid* MapGetVegetationGrid()
{
    return nullptr;
}
