// The frame's pass lists: the ordinary outdoor frame, the frame of a camera inside an indoor cell
// and the external camera frame. Each calls the passes of the world renderer in a fixed order and
// sets the stencil states that tell shadow receivers (the static map, 8; the shader-setting sets,
// 9) from the objects of the first object pass (0). Every pass is called through a hook table:
// every pass has its renderer there, a test may empty or replace a hook, and a tracer sees every call.
#pragma once
#include "core/types.h"
#include "platform/d3dx8_math.h"
#include "scene/scene_cvars.h"

enum ScenePass : u32_t {
    SCENE_PASS_PREPARE_OBJECTS = 0,    // per-frame object preparation
    SCENE_PASS_SHADER_SET_VISIBILITY,  // which shader-setting sets the view sees
    SCENE_PASS_DECAL_UPDATE,
    SCENE_PASS_MAP_DECALS,
    SCENE_PASS_SHADER_SET_0,  // the shader-set pass in modes 0 to 3
    SCENE_PASS_SHADER_SET_1,
    SCENE_PASS_SHADER_SET_2,
    SCENE_PASS_SHADER_SET_3,
    SCENE_PASS_OBJECTS,  // the visible-object pass (RenderMeshPassIndex tells the first from the second)
    SCENE_PASS_VEGETATION,
    SCENE_PASS_RECORDS_SORT,
    SCENE_PASS_PLANT_REPLAY,  // the second record replay
    SCENE_PASS_RECORDS_CLEAR,
    SCENE_PASS_VOLUMES_ZPASS,
    SCENE_PASS_VOLUMES_ZFAIL,
    SCENE_PASS_OBJECT_DECALS,
    SCENE_PASS_DARKENING,
    SCENE_PASS_WIRES,
    SCENE_PASS_MENU_INDICATORS,
    SCENE_PASS_WATER,
    SCENE_PASS_WATER_SECOND,
    SCENE_PASS_RAIN,
    SCENE_PASS_RECORD_REPLAY,  // the first record replay
    SCENE_PASS_SPRITE_BATCHES,
    SCENE_PASS_FIRST_PERSON,
    SCENE_PASS_SUN_FLARE,
    SCENE_PASS_PARTICLES,
    SCENE_PASS_HUD_LAYERS,
    SCENE_PASS_WATER_REFLECTION,
    SCENE_PASS_HUD_LAYERS_EXTERNAL,
    SCENE_PASS_STATS_OVERLAY,
    SCENE_PASS_SECONDARY_VIEWS,  // the game frame: the views drawn into textures
    SCENE_PASS_OBJECT_PREVIEWS,  // the game frame: the object previews
    SCENE_PASS_SCREEN_FADE,      // the game frame: the screen fade
    SCENE_PASS_COUNT
};

using ScenePassHook = void (*)();
using ScenePassTracer = void (*)(ScenePass pass);

// The hook of every pass; null draws nothing. ScenePassHooksReset puts back the start table.
extern ScenePassHook g_scenePassHooks[SCENE_PASS_COUNT];
void ScenePassHooksReset();
// Called before every pass of the lists (hooked or not); null for none.
void ScenePassSetTracer(ScenePassTracer tracer);
const char* ScenePassName(ScenePass pass);
// Calls one pass the way the lists do (the game frame's own steps).
void ScenePassRun(ScenePass pass);

// The stencil values of a frame.
constexpr u32_t STENCIL_STATIC_MAP = 8;
constexpr u32_t STENCIL_SHADER_SETS = 9;
constexpr u32_t STENCIL_FIRST_OBJECTS = 0;
// Pass selector values of the lists.
constexpr u32_t PASS_SELECTOR_SHADOWED = 9;  // ambient and specular: the lit parts come later
constexpr u32_t PASS_SELECTOR_FULL = 15;

// Every following draw writes 8 into the stencil of every pixel it covers.
void StencilMarkBegin();
// The stencil on, nothing else.
void StencilEnable();

// The outdoor and external lists have no cell object for the decal passes and clear it; the indoor
// road names its cell's graphic object (DecalPassesSetCellObject) before the indoor list runs. The
// external list's shadow volumes ignore the distance limit.
void RenderScenePasses();
void RenderScenePassesIndoor();
void RenderScenePassesExternal();

// What the command-menu block of the lists reads of the game flow: the mission kind (1: the
// indicators are drawn), the map's name ("tutorial" draws them too), the indicator flags.
// The game flow keeps it; the lists only test it.
struct ScenePassGameState {
    s32_t missionKind = 0;
    bool tutorialMap = false;     // the current map's name is "tutorial" (any case)
    u8_t indicatorFlags[3] = {};  // the remembered second (two flags) and third items
    u8_t noWeaponView = 0;        // the game flow's no-weapon-view flag
};
extern ScenePassGameState g_scenePassGame;
