#include "render/env_maps.h"

#include <string>

#include "render/land/map_render_setup.h"
#include "render/textures/texture_manager.h"

namespace {
const char* const kFaceSuffixes[ENV_FACE_COUNT] = {"rt", "lf", "up", "dn", "bk", "fr"};
}  // namespace

void EnvMapsLoad(const EngineString& folder)
{
    for (int face = 0; face < ENV_FACE_COUNT; ++face) {
        const std::string name = std::string(folder.Text()) + "\\env_" + kFaceSuffixes[face];
        g_mapRender.envMaps[face] = TextureFindOrLoad(name.c_str());
    }
}
