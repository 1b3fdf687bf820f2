#include "map/map_caches.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/file_system.h"

namespace {

bool g_forcedRebuild = false;
MapGrid* g_vegetationLayers[MAP_VEGETATION_LAYERS] = {};
std::string g_dataPath;

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

MapGrid* MapGetVegetationLayerGrid(int layer)
{
    return layer >= 0 && layer < MAP_VEGETATION_LAYERS ? g_vegetationLayers[layer] : nullptr;
}

void MapSetVegetationLayerGrid(int layer, MapGrid* grid)
{
    if (layer >= 0 && layer < MAP_VEGETATION_LAYERS)
        g_vegetationLayers[layer] = grid;
}
