#include "scene/vegetation.h"

#include "core/random.h"
#include "render/device_hooks.h"
#include "render/texture_manager.h"

IDirect3DTexture8* g_vegetationTexture = nullptr;
float g_vegetationJitter[VEGETATION_JITTER_TABLES][VEGETATION_JITTER_PAIRS][2] = {};
int g_vegetationTopLayer = 0;

void VegetationInit()
{
    g_vegetationTexture = TextureFindOrLoad("component\\extras\\veg");
    for (auto& table : g_vegetationJitter) {
        for (auto& pair : table) {
            pair[0] = static_cast<float>(EngineRand()) * 80.0f / 32767.0f;
            pair[1] = static_cast<float>(EngineRand()) * 80.0f / 32767.0f;
        }
    }
    // The map's vegetation layer grids arrive with the map loader; until then no layer is offered.
    g_vegetationTopLayer = 0;
    // The render shutdown forgets the set-up when it is asked to free the vegetation.
    RenderRegisterDeviceHooks({RENDER_HOOK_VEGETATION, nullptr, nullptr, [](bool freeVegetation) {
                                   if (freeVegetation)
                                       VegetationShutdown();
                               }});
}

void VegetationShutdown()
{
    RenderUnregisterDeviceHooks(RENDER_HOOK_VEGETATION);
    g_vegetationTexture = nullptr;
    g_vegetationTopLayer = 0;
}
