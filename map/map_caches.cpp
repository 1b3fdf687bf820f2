#include "map/map_caches.h"

namespace {

bool g_forcedRebuild = false;

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
