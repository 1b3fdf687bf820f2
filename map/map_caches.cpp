#include "map/map_caches.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "core/vfs.h"
#include "map/map_grid.h"
#include "platform/file_system.h"

namespace {

bool g_forcedRebuild = false;
std::string g_dataPath;
MapGrid* g_layerGrids[MAP_LAYER_GRID_COUNT] = {};
MapGrid* g_vegetationLayerGrid = nullptr;  // "veg_layer": kept for the map's life, read by nothing yet

// The grid of name + ".tga": from disk, else through the virtual file system.
MapGrid* LoadGrid(const std::string& name)
{
    if (MapGrid* grid = MapGridLoadTga(name.c_str()))
        return grid;
    u32_t size = 0;
    char* bytes = VFSLoadFile((name + ".tga").c_str(), &size);
    if (!bytes)
        return nullptr;
    MapGrid* grid = MapGridFromTga(bytes, size);
    delete[] bytes;
    return grid;
}

// The modification time of a disk file; false when there is none.
bool FileTime(const char* path, std::filesystem::file_time_type& time)
{
    std::string resolved;
    if (!path || !PlatformResolvePath(path, resolved))
        return false;
    std::error_code error;
    if (!std::filesystem::is_regular_file(resolved, error))
        return false;
    time = std::filesystem::last_write_time(resolved, error);
    return !error;
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

const char* MapGetLandName()
{
    return "";
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
    std::filesystem::file_time_type cacheTime, sourceTime;
    if (!FileTime(cachePath, cacheTime) || !FileTime(sourcePath, sourceTime))
        return true;
    return sourceTime > cacheTime;
}

void MapBuildLightmap(const char*, const char*) {}

IDirect3DTexture8* MapGetLightmapTexture()
{
    return nullptr;
}

IDirect3DTexture8* MapGetFogTexture()
{
    return nullptr;
}

void MapCreateFogTexture(const char*) {}

float MapGetLayerVar(int)
{
    return 0.0f;
}

void MapLoadVegetationLayers(const char* folder, const EngineString* alphaNames)
{
    MapFreeGrids();
    const std::string prefix = folder ? folder : "";
    for (int layer = 1; alphaNames && layer < MAP_LAYER_GRID_COUNT; ++layer) {
        if (alphaNames[layer].Length() > 0)
            g_layerGrids[layer] = LoadGrid(prefix + alphaNames[layer].Text());
    }
    g_vegetationLayerGrid = LoadGrid(prefix + "veg_layer");
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
