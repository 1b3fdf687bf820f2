#include "render/land/map_render_setup.h"

#include <string>

#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/textures/texture_manager.h"
#include "render/textures/texture_preload.h"
#include "scene/sky/environment.h"
#include "world/objects/graph_obj.h"

MapRenderState g_mapRender;

namespace {

constexpr const char* kLandFolder = "component\\land\\";
constexpr const char* kReflectLayer = "reflect";

}  // namespace

void LandTexturesLoad(const EngineString& prefix, const EngineString* layerNames, const EngineString* variantNames)
{
    for (int i = 0; i < LAND_LAYER_COUNT; ++i) {
        LandTextureSlot& slot = g_mapRender.landTextures[i];
        const char* layerName = layerNames ? layerNames[i].Text() : "";
        g_mapRender.landLayerBorrowed[i] = std::string(layerName) == kReflectLayer;
        if (g_mapRender.landLayerBorrowed[i])
            slot.layer = g_preloadedTextures.guiLogo;
        else
            slot.layer = TextureFindOrLoad((std::string(kLandFolder) + layerName).c_str());
        const char* variantName = variantNames ? variantNames[i].Text() : "";
        slot.variant = TextureFindOrLoad((std::string(prefix.Text()) + variantName).c_str());
    }
    g_mapRender.landTexturesLoaded = 1;
}

void LandTexturesRelease()
{
    for (int i = 0; i < LAND_LAYER_COUNT; ++i) {
        LandTextureSlot& slot = g_mapRender.landTextures[i];
        // Two slots may name one texture: the second release finds it gone and does nothing.
        if (!g_mapRender.landLayerBorrowed[i])
            TextureRelease(slot.layer);
        TextureRelease(slot.variant);
        slot = {};
        g_mapRender.landLayerBorrowed[i] = false;
    }
    g_mapRender.landTexturesLoaded = 0;
    // Without the layer textures the landscape cannot draw layer by layer.
    rblvi.SetBool(false);
}

void RenderClearMapLinks()
{
    g_mapRender.skyBefore = nullptr;
    g_mapRender.skyAfter = nullptr;
}

void EnvironmentRelease()
{
    delete g_mapRender.skyBefore;
    delete g_mapRender.skyAfter;
    RenderClearMapLinks();
    for (IDirect3DTexture8*& texture : g_mapRender.envMaps) {
        TextureRelease(texture);
        texture = nullptr;
    }
}

int MissionEnvironmentLoad(const char* missionName, const char* environmentDefinition)
{
    if (!missionName && !environmentDefinition)
        return 0;
    EnvironmentRelease();
    if (missionName)
        EnvMapsLoad(EngineString((std::string("mission\\") + missionName).c_str()));
    if (environmentDefinition)
        EnvironmentLoad(environmentDefinition);
    return 1;
}

void RenderReleaseMapResources()
{
    if (g_render.device) {
        for (u32_t stage = 0; stage < 8; ++stage)
            RenderSetTexture(stage, nullptr);
    }
    LandTexturesRelease();
    EnvironmentRelease();
}
