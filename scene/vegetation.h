// Grass and small plants round the camera. What exists so far is what the mission preparation and
// the render shutdown call: the per-map set-up and its release.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

constexpr int VEGETATION_JITTER_TABLES = 4;
constexpr int VEGETATION_JITTER_PAIRS = 32;

extern IDirect3DTexture8* g_vegetationTexture;  // "component\extras\veg", null when missing
// Offsets (x, z) in [0, 80] that scatter the plants of a cell, table by table, x before z.
extern float g_vegetationJitter[VEGETATION_JITTER_TABLES][VEGETATION_JITTER_PAIRS][2];
extern int g_vegetationTopLayer;  // the highest vegetation layer the map offers; 0 for none

// Finds the texture, fills the jitter tables from the engine's generator and chooses the top layer.
void VegetationInit();
// Forgets what VegetationInit set up (the texture manager keeps the texture).
void VegetationShutdown();
