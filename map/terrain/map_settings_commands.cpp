#include "map/terrain/map_settings_commands.h"

#include "map/terrain/map_caches.h"
#include "map/map_cvars.h"
#include "map/terrain/map_layers_reload.h"
#include "map/octree/octree.h"
#include "map/terrain/map_state.h"
#include "render/land/land_layers.h"

s32_t MapRebuildCommand(const char*)
{
    if (!OctreeGetRoot())
        return 0;
    MapForceCacheRebuild(true);
    LandLayersBuild(MapGetLandName());
    rblvi.SetBool(true);
    g_map.landscapeNeedsRefresh = true;
    MapBuildLightmap(MapGetMissionFolder(), MAP_LAND_FOLDER);
    MapForceCacheRebuild(false);
    return 0;
}

s32_t MapLayersReloadCommand(const char*)
{
    MapLayersReload(MapGetLandName());
    return 0;
}
