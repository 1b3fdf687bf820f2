// The scene's state record: the lighting the world passes set up each frame, the vegetation set-up,
// the indoor plug-in's clip data, what the first-person view shares with the HUD, and what the
// object drawing reads and queues.
#pragma once
#include "core/plugin_api.h"
#include "core/types.h"
#include "scene/object_draw.h"
#include "scene/particle_effects.h"
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

    // Set by the map load and "mxrebuild": the landscape drawing refreshes what it keeps of the land.
    bool landscapeNeedsRefresh = false;

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

    // Object drawing (scene/object_draw.h, scene/draw_records.h).
    u32_t passSelector = 0xFFFFFFFFu;                // material colour terms the mesh renderers use
    u8_t animatedFlag = 0;                           // the object being drawn animates
    u8_t objectFog = 1;                              // meshes may take their fog pass
    u8_t batching = 1;                               // distance-faded objects and the HUD's map items are batched
    bool billboardsOn = true;                        // far objects may stand in as billboards
    bool indoorPassRunning = false;                  // the pass list of a camera inside an indoor cell runs
    GraphNode* drawingNode = nullptr;                // the node being drawn
    float lodDistances[3] = {0.0f, 120.0f, 250.0f};  // the default level-of-detail switch table
    SceneDrawLog drawLog;
    // Named particle effects objects attach to their nodes; no operation fills it yet.
    ParticleEffect* particleEffects[PARTICLE_EFFECT_SLOTS] = {};
};

extern SceneState g_scene;
