// The scene's lighting as the world passes set it up each frame (the light direction and the
// material component mask live in g_scene, scene/scene_state.h; night vision is the game's one
// switch, g_hudInput.flags.nightVision in render/draw2d/hud_input.h).
#pragma once
#include "core/types.h"

// Bit values of the pass selector (g_scene.materialComponentMask, set by RenderSetPassSelector):
// which colour terms of a mesh material are applied; a clear bit gives black for its term.
constexpr u32_t MATERIAL_AMBIENT = 1;
constexpr u32_t MATERIAL_DIFFUSE = 2;
constexpr u32_t MATERIAL_SPECULAR = 4;
constexpr u32_t MATERIAL_EMISSIVE = 8;
