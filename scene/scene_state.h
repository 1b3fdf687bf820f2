// The scene's state record: the lighting the world passes set up each frame, the vegetation set-up,
// the indoor plug-in's clip data, what the first-person view shares with the HUD, and what the
// object drawing reads and queues.
#pragma once
#include "core/plugins/plugin_api.h"
#include "core/types.h"
#include "scene/meshes/object_draw.h"
#include "scene/plugin_bridges/particle_effects.h"
#include "scene/sky/scene_light.h"
#include "scene/vegetation/vegetation.h"

class AnimMesh;

// A view's camera as the visibility pass was given it.
struct ViewCamera {
    float position[3] = {0.0f, 0.0f, 0.0f};
    float angles[3] = {0.0f, 0.0f, 0.0f};
    float fov = 0.0f;
};

struct SceneState {
    // The pass selector: the material colour terms (MATERIAL_AMBIENT ...) the mesh renderers and the
    // merged meshes apply; one word, written by RenderSetPassSelector, all bits set at start.
    u32_t materialComponentMask = 0xFFFFFFFFu;

    // Set while the main view is drawn, cleared around the visibility pass of a secondary, inset or
    // external view (the map-drawing flag of the secondary views): only the main view's pass stores
    // its camera as mainViewCamera, from which the water pass draws.
    u8_t mainView = 1;
    ViewCamera mainViewCamera;
    // The view being drawn is under water (the water pass decides; never before it exists).
    u8_t viewUnderWater = 0;

    // Vegetation (VegetationInit and VegetationShutdown).
    IDirect3DTexture8* vegetationTexture = nullptr;  // "component\extras\veg", null when missing
    // Offsets (x, z) in [0, 80] that scatter the plants of a cell, table by table, x before z.
    float vegetationJitter[VEGETATION_JITTER_TABLES][VEGETATION_JITTER_PAIRS][2] = {};
    int vegetationTopLayer = 0;  // the highest vegetation layer the map offers; 0 for none

    // The clip state of the current portal, shared with the indoor plug-in through the host data
    // entry "ndr_clip_data".
    IndoorClipData indoorClip = {};

    // The first-person view's animated mesh: its reflection pass maps by camera-space normals.
    AnimMesh* firstPersonMesh = nullptr;

    // Object drawing (scene/meshes/object_draw.h, scene/draw_records/draw_records.h).
    u8_t animatedFlag = 0;  // the object being drawn animates
    u8_t objectFog = 1;     // meshes may take their fog pass
    u8_t batching = 1;      // distance-faded objects and the HUD's map items are batched
    // The light direction, the billboard and indoor-pass switches and the node being drawn are the
    // objects' scene view (world/scene_view.h).
    float lodDistances[3] = {0.0f, 120.0f, 250.0f};  // the default level-of-detail switch table
    SceneDrawLog drawLog;
    // Named particle effects objects attach to their nodes. No operation adds an entry, so a lookup
    // finds none and the nodes attach nothing.
    ParticleEffect* particleEffects[PARTICLE_EFFECT_SLOTS] = {};
};

extern SceneState g_scene;

// The frame globals the pass lists and the secondary views set and the mesh renderers read.
// The mesh pass being drawn: 0 the visible objects, above 0 the clustered meshes (land-layer
// meshes draw only in pass 0).
extern s32_t RenderMeshPassIndex;
// The view being drawn is under water (kept in the scene record).
inline u8_t& RenderViewUnderWater = g_scene.viewUnderWater;
// The projection of the view is the wide one of the secondary views.
extern u8_t RenderWideProjection;
// A view is being drawn into a texture.
extern u8_t RenderToTextureActive;
