// The scene's state record: the lighting the world passes set up each frame, the vegetation set-up,
// the indoor plug-in's clip data and what the first-person view shares with the HUD.
#pragma once
#include "core/plugin_api.h"
#include "core/types.h"
#include "scene/scene_light.h"
#include "scene/vegetation.h"

struct SceneState {
    // The direction towards the scene's light: a decal whose surface normal points along it
    // (positive dot product) faces the light.
    Vector3 lightDirection = {0.0f, 1.0f, 0.0f};
    // The parts of mesh materials applied when a merged mesh's material is set; all by default.
    u32_t materialComponentMask = MATERIAL_AMBIENT | MATERIAL_DIFFUSE | MATERIAL_SPECULAR | MATERIAL_EMISSIVE;
    // Night vision: the ambient and diffuse parts take the night-vision colours.
    bool nightVision = false;

    // Vegetation (VegetationInit and VegetationShutdown).
    IDirect3DTexture8* vegetationTexture = nullptr;  // "component\extras\veg", null when missing
    // Offsets (x, z) in [0, 80] that scatter the plants of a cell, table by table, x before z.
    float vegetationJitter[VEGETATION_JITTER_TABLES][VEGETATION_JITTER_PAIRS][2] = {};
    int vegetationTopLayer = 0;  // the highest vegetation layer the map offers; 0 for none

    // The clip state of the current portal, shared with the indoor plug-in through the host data
    // entry "ndr_clip_data".
    IndoorClipData indoorClip = {};

    // Set and cleared by the first-person view; while it is set the HUD draws no scope.
    u8_t firstPersonViewState = 0;
};

extern SceneState g_scene;
