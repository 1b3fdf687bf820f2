#include "render/map_render_setup.h"

#include <string>

#include "render/env_maps.h"
#include "render/render_context.h"
#include "render/state_cache.h"
#include "render/texture_manager.h"
#include "render/texture_preload.h"
#include "scene/environment.h"
#include "world/graph_obj.h"

GraphObj* g_skyBefore = nullptr;
GraphObj* g_skyAfter = nullptr;

namespace {

constexpr const char* kLandFolder = "component\\land\\";
constexpr const char* kReflectLayer = "reflect";

// Slots whose layer texture is the placeholder of a "reflect" layer: it belongs to the GUI
// preloads, so the land forgets it without releasing it.
bool g_layerBorrowed[LAND_LAYER_COUNT] = {};

}  // namespace

void LandTexturesLoad(const EngineString& prefix, const EngineString* layerNames, const EngineString* variantNames)
{
    for (int i = 0; i < LAND_LAYER_COUNT; ++i) {
        LandTextureSlot& slot = g_landTextures[i];
        const char* layerName = layerNames ? layerNames[i].Text() : "";
        g_layerBorrowed[i] = std::string(layerName) == kReflectLayer;
        if (g_layerBorrowed[i])
            slot.layer = g_texGuiLogo;
        else
            slot.layer = TextureFindOrLoad((std::string(kLandFolder) + layerName).c_str());
        const char* variantName = variantNames ? variantNames[i].Text() : "";
        slot.variant = TextureFindOrLoad((std::string(prefix.Text()) + variantName).c_str());
    }
    g_landTexturesLoaded = 1;
}

void LandTexturesRelease()
{
    for (int i = 0; i < LAND_LAYER_COUNT; ++i) {
        LandTextureSlot& slot = g_landTextures[i];
        // Two slots may name one texture: the second release finds it gone and does nothing.
        if (!g_layerBorrowed[i])
            TextureRelease(slot.layer);
        TextureRelease(slot.variant);
        slot = {};
        g_layerBorrowed[i] = false;
    }
    g_landTexturesLoaded = 0;
}

void RenderClearMapLinks()
{
    g_skyBefore = nullptr;
    g_skyAfter = nullptr;
}

void EnvironmentRelease()
{
    delete g_skyBefore;
    delete g_skyAfter;
    RenderClearMapLinks();
    for (IDirect3DTexture8*& texture : EnvMapTextures) {
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
