// What the renderer takes from a map when it loads and lets go when it is left: the land's layer
// textures (render/land/land_textures.h), the environment maps and the two sky objects.
#pragma once
#include "core/strings/engine_string.h"
#include "render/env_maps.h"
#include "render/land/land_textures.h"

class GraphObj;

// What the renderer holds of the loaded map; each part is let go by its release below (the
// composites by LandLayersRelease, render/land/land_composite.h).
struct MapRenderState {
    LandTextureSlot landTextures[LAND_LAYER_COUNT] = {};
    u8_t landTexturesLoaded = 0;
    // Slots whose layer texture is the placeholder of a "reflect" layer: it belongs to the GUI
    // preloads, so the land forgets it without releasing it.
    bool landLayerBorrowed[LAND_LAYER_COUNT] = {};

    // The land layer composites (render/land/land_composite.h).
    IDirect3DTexture8* landCompositePlain = nullptr;
    IDirect3DTexture8* landCompositeLit = nullptr;
    u8_t landCompositeReady = 0;  // both composites exist

    // The environment textures, one per face of the sky box; a face without a texture holds null.
    IDirect3DTexture8* envMaps[ENV_FACE_COUNT] = {};

    // The mission's sky objects, owned here once loaded; null while there is none.
    GraphObj* skyBefore = nullptr;  // drawn behind the world
    GraphObj* skyAfter = nullptr;   // drawn over the sky box
    // The geometry bounds (minimum x, y, z, maximum x, y, z) of the sky objects as their environment
    // left them; the sky backdrop lays its fog floor under the "before" box. Kept until the next
    // environment is loaded.
    float skyBox[6] = {};
    float skyAfterBox[6] = {};
};

extern MapRenderState g_mapRender;

// Fills the 32 land texture slots: the layer texture from "component\land\" + layerNames[i], the
// alpha texture from prefix + variantNames[i]. A layer named exactly "reflect" gets the shared GUI
// logo as its placeholder (the landscape draws reflecting layers from its own target) and causes
// no file lookup. Missing files leave null.
void LandTexturesLoad(const EngineString& prefix, const EngineString* layerNames, const EngineString* variantNames);
// Releases both textures of every slot through the texture manager (the borrowed placeholder is
// only forgotten) and clears the slots and the loaded flag.
void LandTexturesRelease();
// Forgets the sky objects without deleting them: the start state, in which a release frees nothing.
void RenderClearMapLinks();
// Deletes the two sky objects and releases the six environment-map textures.
void EnvironmentRelease();
// 0 and nothing done when both are null. Otherwise releases the environment, then loads the
// environment maps of "mission\" + missionName and the sky objects of the environment definition
// (each when given); 1.
int MissionEnvironmentLoad(const char* missionName, const char* environmentDefinition);
// At map unload: unbinds the 8 texture stages, releases the land textures and the environment.
void RenderReleaseMapResources();
