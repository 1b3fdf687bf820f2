// What a test that loads a whole map lets go of after it: the map, the materials, the map's render
// resources and the render core, the definitions, the script cache, the console and the file
// system, in that order; and the sight factors the map set put back.
#pragma once
#include "core/console.h"
#include "core/def_file.h"
#include "core/script_file.h"
#include "core/vfs.h"
#include "map/map_load.h"
#include "map/map_sight.h"
#include "map/material_table.h"
#include "render/map_render_setup.h"
#include "render/render_device.h"

namespace test_support {

inline void ShutDownMapWorld()
{
    MapUnload();
    MaterialsFree();
    RenderReleaseMapResources();
    RenderShutdown(true);
    DefFileFreeAll();
    DestroyScriptCache();
    ConShutdown();
    VFSShutdown();
    MapSightFactorsReset();
}

}  // namespace test_support
