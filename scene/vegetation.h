// Grass and small plants round the camera. What exists so far is what the mission preparation and
// the render shutdown call: the per-map set-up and its release.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

constexpr int VEGETATION_JITTER_TABLES = 4;
constexpr int VEGETATION_JITTER_PAIRS = 32;

// Finds the texture, fills the jitter tables from the engine's generator and chooses the top layer.
void VegetationInit();
// The texture, tables and top layer live in g_scene (scene/scene_state.h).
// Forgets what VegetationInit set up (the texture manager keeps the texture).
void VegetationShutdown();
