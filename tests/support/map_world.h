// What a test that loads a whole map lets go of after it: the map, the materials, the map's render
// resources and the render core, the definitions, the script cache, the console and the file
// system, in that order; and the sight factors the map set put back.
#pragma once
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "map/terrain/map_load.h"
#include "map/trace/map_sight.h"
#include "map/materials/material_table.h"
#include "render/land/map_render_setup.h"
#include "render/device/render_device.h"

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
