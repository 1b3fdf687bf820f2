#include "scene/vegetation.h"

#include "core/random.h"
#include "map/map_caches.h"
#include "render/device_hooks.h"
#include "render/texture_manager.h"
#include "scene/scene_state.h"

void VegetationInit()
{
    g_scene.vegetationTexture = TextureFindOrLoad("component\\extras\\veg");
    for (auto& table : g_scene.vegetationJitter) {
        for (auto& pair : table) {
            pair[0] = static_cast<float>(EngineRand()) * 80.0f / 32767.0f;
            pair[1] = static_cast<float>(EngineRand()) * 80.0f / 32767.0f;
        }
    }
    // The highest layer whose density grid the map offers; layer 0 is never one.
    g_scene.vegetationTopLayer = 0;
    for (int layer = MAP_LAYER_GRID_COUNT - 1; layer >= 1; --layer) {
        if (MapGetVegetationLayerGrid(layer)) {
            g_scene.vegetationTopLayer = layer;
            break;
        }
    }
    // The render shutdown forgets the set-up when it is asked to free the vegetation.
    RenderRegisterDeviceHooks({RENDER_HOOK_VEGETATION, nullptr, nullptr, [](bool freeVegetation) {
                                   if (freeVegetation)
                                       VegetationShutdown();
                               }});
}

void VegetationShutdown()
{
    RenderUnregisterDeviceHooks(RENDER_HOOK_VEGETATION);
    g_scene.vegetationTexture = nullptr;
    g_scene.vegetationTopLayer = 0;
}
