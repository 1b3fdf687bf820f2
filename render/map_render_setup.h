// What the renderer takes from a map when it loads and lets go when it is left: the land's layer
// textures (render/land_textures.h), the environment maps and the two sky objects.
#pragma once
#include "core/engine_string.h"
#include "render/land_textures.h"

class GraphObj;

// The mission's sky objects, owned here once loaded; null while there is none.
extern GraphObj* g_skyBefore;  // drawn behind the world
extern GraphObj* g_skyAfter;   // drawn over the sky box

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
