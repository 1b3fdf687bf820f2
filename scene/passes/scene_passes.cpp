#include "scene/passes/scene_passes.h"

#include "core/frame_view.h"
#include "scene/plugin_bridges/particles_draw.h"
#include "scene/sky/rain.h"

#include <cmath>

#include "actors/actor.h"
#include "map/map_cvars.h"
#include "render/camera.h"
#include "render/draw2d/hud.h"
#include "render/device/pass_timing.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/draw2d/sun_flare.h"
#include "render/land/visible_nodes.h"
#include "scene/draw_records/batch_records.h"
#include "scene/views/camera_angles.h"
#include "scene/hud/command_menu.h"
#include "scene/meshes/connection_draw.h"
#include "scene/passes/decal_list.h"
#include "scene/passes/decal_pass.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/draw_records/draw_records.h"
#include "scene/views/first_person_view.h"
#include "scene/meshes/object_draw.h"
#include "scene/passes/object_pass.h"
#include "scene/hud/object_preview.h"
#include "scene/scene_cvars.h"
#include "scene/scene_state.h"
#include "scene/hud/screen_fade.h"
#include "scene/views/secondary_views.h"
#include "scene/passes/shader_set_pass.h"
#include "scene/draw_records/sprite_batches.h"
#include "scene/passes/stats_overlay.h"
#include "scene/passes/stencil_shadows.h"
#include "scene/vegetation/vegetation.h"
#include "scene/passes/visibility_pass.h"
#include "scene/passes/water_surface.h"
#include "scene/views/wide_projection.h"
#include "world/objects/dyn_objects_passes.h"

ConsoleVar rbfx("rbfx", CVAR_BOOL, "true");
ConsoleVar rbgg("rbgg", CVAR_BOOL, "true");
ConsoleVar rbfp("rbfp", CVAR_BOOL, "true");

ScenePassHook g_scenePassHooks[SCENE_PASS_COUNT];
ScenePassGameState g_scenePassGame;

namespace {

ScenePassTracer g_tracer = nullptr;
// Which list runs: the external camera's volumes ignore the shadow distance limit, and only the
// indoor list has a cell object whose decals come first.
enum class ListKind { Outdoor, Indoor, External };
ListKind g_list = ListKind::Outdoor;

void ShaderSetVisibility()
{
    DynObjectsUpdateShaderSetVisibility(g_visible.visibilityFrustum, 6);
}

void DecalUpdate()
{
    // Outside an indoor cell no object holds the camera; the indoor road names its cell's object
    // before the indoor list runs.
    if (g_list != ListKind::Indoor)
        DecalPassesSetCellObject(nullptr);
    DecalListUpdate();
}

void ShaderSet0()
{
    RenderShaderSetPass(0);
}

void ShaderSet1()
{
    RenderShaderSetPass(1);
}

void ShaderSet2()
{
    RenderShaderSetPass(2);
}

void ShaderSet3()
{
    RenderShaderSetPass(3);
}

void Vegetation()
{
    float yaw = g_camera.yaw;
    // The orbit camera of the third-person view looks along its own direction, not the player's yaw.
    if (g_list == ListKind::Indoor && gbthirdperson.Bool())
        CameraGetYawPitch(&yaw, nullptr, nullptr);
    VegetationRender(&g_camera.position.x, yaw, g_camera.fov);
}

void VolumesZPass()
{
    ShadowVolumePassZPass(g_shadowList.records, g_shadowList.count, g_list == ListKind::External);
}

void VolumesZFail()
{
    ShadowVolumePassZFail(g_shadowList.records, g_shadowList.count, g_list == ListKind::External);
}

void SpriteBatches()
{
    BatchRecordsDraw();
    BatchRecordReset();
}

// Sets the running list for the length of one list call.
class ListScope {
public:
    explicit ListScope(ListKind kind) { g_list = kind; }
    ~ListScope() { g_list = ListKind::Outdoor; }
    ListScope(const ListScope&) = delete;
    ListScope& operator=(const ListScope&) = delete;
};

constexpr const char* kNames[SCENE_PASS_COUNT] = {"prepare objects",  "shader-set visibility",
                                                  "decal update",     "map decals",
                                                  "shader set 0",     "shader set 1",
                                                  "shader set 2",     "shader set 3",
                                                  "objects",          "vegetation",
                                                  "records sort",     "plant replay",
                                                  "records clear",    "volumes z-pass",
                                                  "volumes z-fail",   "object decals",
                                                  "darkening",        "wires",
                                                  "menu indicators",  "water",
                                                  "water second",     "rain",
                                                  "record replay",    "sprite batches",
                                                  "first person",     "sun flare",
                                                  "particles",        "hud layers",
                                                  "water reflection", "hud layers external",
                                                  "stats overlay",    "secondary views",
                                                  "object previews",  "screen fade"};

// The timed pass a pass counts towards, or RENDER_TIMED_PASS_COUNT for none.
RenderTimedPass TimedPassOf(ScenePass pass)
{
    switch (pass) {
        case SCENE_PASS_OBJECTS:
            return TIMED_PASS_OBJECTS;
        case SCENE_PASS_PLANT_REPLAY:
        case SCENE_PASS_RECORD_REPLAY:
            return TIMED_PASS_RECORDS;
        case SCENE_PASS_HUD_LAYERS:
        case SCENE_PASS_HUD_LAYERS_EXTERNAL:
        case SCENE_PASS_STATS_OVERLAY:
            return TIMED_PASS_OVERLAYS;
        case SCENE_PASS_VEGETATION:
            return TIMED_PASS_VEGETATION;
        case SCENE_PASS_DECAL_UPDATE:
        case SCENE_PASS_MAP_DECALS:
        case SCENE_PASS_OBJECT_DECALS:
            return TIMED_PASS_DECALS;
        case SCENE_PASS_VOLUMES_ZPASS:
        case SCENE_PASS_VOLUMES_ZFAIL:
        case SCENE_PASS_DARKENING:
            return TIMED_PASS_SHADOWS;
        case SCENE_PASS_SHADER_SET_0:
        case SCENE_PASS_SHADER_SET_1:
        case SCENE_PASS_SHADER_SET_2:
        case SCENE_PASS_SHADER_SET_3:
        case SCENE_PASS_WIRES:
            return TIMED_PASS_WIRES;
        case SCENE_PASS_SPRITE_BATCHES:
            return TIMED_PASS_SPRITES;
        default:
            return RENDER_TIMED_PASS_COUNT;
    }
}

void Run(ScenePass pass)
{
    if (g_tracer)
        g_tracer(pass);
    ScenePassHook hook = g_scenePassHooks[pass];
    if (!hook)
        return;
    const RenderTimedPass timed = TimedPassOf(pass);
    RenderTimingBegin(timed);
    hook();
    RenderTimingEnd(timed);
}

void State(u32_t state, u32_t value)
{
    RenderSetState(state, value);
}

bool ShadowsOn()
{
    return rbflm.Bool() || rbshadows.Bool();
}

// "Recording on" sets the recording-off byte (nothing is queued), "recording off" clears it.
void RecordingOn()
{
    DrawRecordSetRecordingOff(true);
}

void RecordingOff()
{
    DrawRecordSetRecordingOff(false);
}

// Step 6's stencil states: the shader sets write 9 where the depth test passes.
void ShaderSetStencil()
{
    State(D3DRS_STENCILENABLE, 1);
    State(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    State(D3DRS_STENCILFAIL, D3DSTENCILOP_REPLACE);
    State(D3DRS_STENCILMASK, 0xFFFFFFFFu);
    State(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    State(D3DRS_STENCILREF, STENCIL_SHADER_SETS);
    State(D3DRS_STENCILWRITEMASK, 0xFFFFFFFFu);
    State(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
}

void FirstObjectPass()
{
    State(D3DRS_ZWRITEENABLE, 1);
    State(D3DRS_ZENABLE, 1);
    RenderMeshPassIndex = 0;
    Run(SCENE_PASS_OBJECTS);
}

// Step 8: the static map's value again for what follows.
void AfterFirstObjectPass()
{
    State(D3DRS_STENCILENABLE, 0);
    State(D3DRS_STENCILENABLE, 1);
    State(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    State(D3DRS_STENCILREF, STENCIL_STATIC_MAP);
}

void SortReplayClear()
{
    Run(SCENE_PASS_RECORDS_SORT);
    Run(SCENE_PASS_PLANT_REPLAY);
    Run(SCENE_PASS_RECORDS_CLEAR);
}

// Step 10 after the volumes: the shader sets' third mode over the map's value, then the second
// object pass where the stencil still holds 0.
void SecondStencilAndMode2(bool masksAgain)
{
    State(D3DRS_STENCILENABLE, 1);
    State(D3DRS_STENCILFAIL, D3DSTENCILOP_REPLACE);
    State(D3DRS_STENCILMASK, 0xFFFFFFFFu);
    State(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    State(D3DRS_STENCILREF, STENCIL_STATIC_MAP);
    State(D3DRS_STENCILWRITEMASK, 0xFFFFFFFFu);
    State(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    State(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
    Run(SCENE_PASS_SHADER_SET_2);
    State(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    State(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    if (masksAgain) {
        State(D3DRS_STENCILMASK, 0xFFFFFFFFu);
        State(D3DRS_STENCILWRITEMASK, 0xFFFFFFFFu);
    }
    State(D3DRS_STENCILREF, STENCIL_FIRST_OBJECTS);
    State(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
}

void SecondObjectPass()
{
    RenderMeshPassIndex = 1;
    Run(SCENE_PASS_OBJECTS);
}

bool MenuIndicatorsShown()
{
    return g_scenePassGame.missionKind == 1 || g_scenePassGame.tutorialMap;
}

bool FirstPersonShown()
{
    if (gbthirdperson.Bool() || g_scenePassGame.noWeaponView)
        return false;
    return !(PlayerActor() && PlayerActor()->IsDriver());
}

void WaterLayers()
{
    if (rbwater.Bool())
        Run(SCENE_PASS_WATER);
    if (rbwater.Bool())
        Run(SCENE_PASS_WATER_SECOND);
}

void ReplayAndClear()
{
    Run(SCENE_PASS_RECORD_REPLAY);
    Run(SCENE_PASS_RECORDS_CLEAR);
}

// Steps 1 to 5, shared by the three lists.
void FrameStart()
{
    Run(SCENE_PASS_PREPARE_OBJECTS);
    Run(SCENE_PASS_SHADER_SET_VISIBILITY);
    RenderWideProjectionUpdate();
    Run(SCENE_PASS_DECAL_UPDATE);
    Run(SCENE_PASS_MAP_DECALS);
    Run(SCENE_PASS_SHADER_SET_0);
}

// Step 6 as the indoor and external lists run it.
void ShaderSetStencilIndoorOrder(bool cullNone)
{
    ShaderSetStencil();
    if (cullNone)
        State(D3DRS_CULLMODE, D3DCULL_NONE);
    Run(SCENE_PASS_SHADER_SET_1);
    Run(SCENE_PASS_SHADER_SET_3);
    RenderSetPassSelector(PASS_SELECTOR_SHADOWED);
    State(D3DRS_STENCILREF, STENCIL_FIRST_OBJECTS);
    RecordingOn();
}

}  // namespace

void ScenePassHooksReset()
{
    for (ScenePassHook& hook : g_scenePassHooks)
        hook = nullptr;
    g_scenePassHooks[SCENE_PASS_PREPARE_OBJECTS] = RenderPrepareVisibleObjects;
    g_scenePassHooks[SCENE_PASS_SHADER_SET_VISIBILITY] = ShaderSetVisibility;
    g_scenePassHooks[SCENE_PASS_DECAL_UPDATE] = DecalUpdate;
    g_scenePassHooks[SCENE_PASS_MAP_DECALS] = DecalListDraw;
    g_scenePassHooks[SCENE_PASS_SHADER_SET_0] = ShaderSet0;
    g_scenePassHooks[SCENE_PASS_SHADER_SET_1] = ShaderSet1;
    g_scenePassHooks[SCENE_PASS_SHADER_SET_2] = ShaderSet2;
    g_scenePassHooks[SCENE_PASS_SHADER_SET_3] = ShaderSet3;
    g_scenePassHooks[SCENE_PASS_OBJECTS] = RenderObjectPass;
    g_scenePassHooks[SCENE_PASS_VEGETATION] = Vegetation;
    g_scenePassHooks[SCENE_PASS_RECORDS_SORT] = DrawRecordsSort;
    g_scenePassHooks[SCENE_PASS_PLANT_REPLAY] = DrawRecordsReplayPlants;
    g_scenePassHooks[SCENE_PASS_RECORDS_CLEAR] = DrawRecordsClear;
    g_scenePassHooks[SCENE_PASS_VOLUMES_ZPASS] = VolumesZPass;
    g_scenePassHooks[SCENE_PASS_VOLUMES_ZFAIL] = VolumesZFail;
    g_scenePassHooks[SCENE_PASS_OBJECT_DECALS] = DrawObjectDecals;
    g_scenePassHooks[SCENE_PASS_DARKENING] = ShadowDarkenPass;
    g_scenePassHooks[SCENE_PASS_WIRES] = RenderConnectionObjects;
    g_scenePassHooks[SCENE_PASS_RECORD_REPLAY] = DrawRecordsReplay;
    g_scenePassHooks[SCENE_PASS_SPRITE_BATCHES] = SpriteBatches;
    g_scenePassHooks[SCENE_PASS_SUN_FLARE] = SunFlareDraw;
    g_scenePassHooks[SCENE_PASS_HUD_LAYERS] = HudDrawLayers;
    g_scenePassHooks[SCENE_PASS_HUD_LAYERS_EXTERNAL] = HudDrawLayersExternal;
    g_scenePassHooks[SCENE_PASS_STATS_OVERLAY] = RenderStatsOverlay;
    g_scenePassHooks[SCENE_PASS_PARTICLES] = ParticlesDraw;
    g_scenePassHooks[SCENE_PASS_RAIN] = RainPass;
    g_scenePassHooks[SCENE_PASS_WATER] = RenderWaterSurface;
    g_scenePassHooks[SCENE_PASS_WATER_SECOND] = RenderWaterOverlay;
    g_scenePassHooks[SCENE_PASS_WATER_REFLECTION] = RenderReflectionViewExternal;
    g_scenePassHooks[SCENE_PASS_SECONDARY_VIEWS] = RenderSecondaryViews;
    g_scenePassHooks[SCENE_PASS_FIRST_PERSON] = RenderFirstPersonView;
    g_scenePassHooks[SCENE_PASS_SCREEN_FADE] = ScreenFadeDraw;
    g_scenePassHooks[SCENE_PASS_MENU_INDICATORS] = CommandMenuDrawIndicators;
    g_scenePassHooks[SCENE_PASS_OBJECT_PREVIEWS] = ObjectPreviewDrawAll;
}

namespace {
// The start table is in place before the first frame.
const bool g_hooksMade = (ScenePassHooksReset(), true);
}  // namespace

void ScenePassRun(ScenePass pass)
{
    if (pass < SCENE_PASS_COUNT)
        Run(pass);
}

void ScenePassSetTracer(ScenePassTracer tracer)
{
    g_tracer = tracer;
}

const char* ScenePassName(ScenePass pass)
{
    return pass < SCENE_PASS_COUNT ? kNames[pass] : "?";
}

void StencilMarkBegin()
{
    State(D3DRS_STENCILENABLE, 1);
    State(D3DRS_STENCILFAIL, D3DSTENCILOP_REPLACE);
    State(D3DRS_STENCILMASK, 0xFFFFFFFFu);
    State(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    State(D3DRS_STENCILREF, STENCIL_STATIC_MAP);
    State(D3DRS_STENCILWRITEMASK, 0xFFFFFFFFu);
    State(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    State(D3DRS_STENCILZFAIL, D3DSTENCILOP_REPLACE);
}

void StencilEnable()
{
    State(D3DRS_STENCILENABLE, 1);
}

void RenderScenePasses()
{
    const ListScope scope(ListKind::Outdoor);
    const bool shadows = ShadowsOn();
    FrameStart();
    if (shadows) {
        ShaderSetStencil();
        Run(SCENE_PASS_SHADER_SET_1);
        Run(SCENE_PASS_SHADER_SET_3);
        RecordingOn();
        RenderSetPassSelector(PASS_SELECTOR_SHADOWED);
        State(D3DRS_STENCILREF, STENCIL_FIRST_OBJECTS);
    } else {
        RecordingOff();
        RenderSetPassSelector(PASS_SELECTOR_FULL);
    }
    FirstObjectPass();
    if (shadows) {
        RecordingOff();
        AfterFirstObjectPass();
    }
    Run(SCENE_PASS_VEGETATION);
    if (shadows) {
        SortReplayClear();
        Run(rbzpass.Bool() ? SCENE_PASS_VOLUMES_ZPASS : SCENE_PASS_VOLUMES_ZFAIL);
        SecondStencilAndMode2(false);
        State(D3DRS_ZWRITEENABLE, 0);
        State(D3DRS_ZENABLE, 1);
        RenderSetPassSelector(PASS_SELECTOR_FULL);
        SecondObjectPass();
        State(D3DRS_STENCILENABLE, 0);
        RenderMeshPassIndex = 0;
    }
    Run(SCENE_PASS_RECORDS_SORT);
    Run(SCENE_PASS_OBJECT_DECALS);
    if (shadows)
        Run(SCENE_PASS_DARKENING);
    Run(SCENE_PASS_WIRES);
    if (MenuIndicatorsShown())
        Run(SCENE_PASS_MENU_INDICATORS);
    const bool underWater = RenderViewUnderWater != 0;
    if (!underWater) {
        WaterLayers();
        if (rbrain.Bool())
            Run(SCENE_PASS_RAIN);
    }
    ReplayAndClear();
    Run(SCENE_PASS_SPRITE_BATCHES);
    if (underWater)
        WaterLayers();
    if (FirstPersonShown())
        Run(SCENE_PASS_FIRST_PERSON);
    Run(SCENE_PASS_SUN_FLARE);
    Run(SCENE_PASS_PARTICLES);
    ReplayAndClear();
    Run(SCENE_PASS_HUD_LAYERS);
    Run(SCENE_PASS_STATS_OVERLAY);
}

void RenderScenePassesIndoor()
{
    const ListScope scope(ListKind::Indoor);
    FrameStart();
    ShaderSetStencilIndoorOrder(false);
    FirstObjectPass();
    RecordingOff();
    AfterFirstObjectPass();
    Run(SCENE_PASS_VEGETATION);
    SortReplayClear();
    Run(SCENE_PASS_VOLUMES_ZFAIL);
    SecondStencilAndMode2(false);
    RenderSetPassSelector(PASS_SELECTOR_FULL);
    State(D3DRS_ZWRITEENABLE, 0);
    State(D3DRS_ZENABLE, 1);
    SecondObjectPass();
    Run(SCENE_PASS_RECORDS_SORT);
    State(D3DRS_STENCILENABLE, 0);
    RenderMeshPassIndex = 0;
    Run(SCENE_PASS_OBJECT_DECALS);
    Run(SCENE_PASS_DARKENING);
    Run(SCENE_PASS_WIRES);
    if (MenuIndicatorsShown())
        Run(SCENE_PASS_MENU_INDICATORS);
    ReplayAndClear();
    Run(SCENE_PASS_SPRITE_BATCHES);
    if (FirstPersonShown())
        Run(SCENE_PASS_FIRST_PERSON);
    if (rbfx.Bool())
        Run(SCENE_PASS_SUN_FLARE);
    if (rbparticles.Bool()) {
        Run(SCENE_PASS_PARTICLES);
        Run(SCENE_PASS_RECORD_REPLAY);
    }
    Run(SCENE_PASS_RECORDS_CLEAR);
    if (rbgg.Bool())
        Run(SCENE_PASS_HUD_LAYERS);
    Run(SCENE_PASS_STATS_OVERLAY);
}

void RenderScenePassesExternal()
{
    const ListScope scope(ListKind::External);
    FrameStart();
    ShaderSetStencilIndoorOrder(true);
    FirstObjectPass();
    RecordingOff();
    State(D3DRS_STENCILENABLE, 0);
    Run(SCENE_PASS_VOLUMES_ZFAIL);
    SecondStencilAndMode2(true);
    RenderSetPassSelector(PASS_SELECTOR_FULL);
    State(D3DRS_ZWRITEENABLE, 0);
    State(D3DRS_ZENABLE, 1);
    SecondObjectPass();
    Run(SCENE_PASS_RECORDS_SORT);
    State(D3DRS_STENCILENABLE, 0);
    RenderMeshPassIndex = 0;
    Run(SCENE_PASS_DARKENING);
    Run(SCENE_PASS_WIRES);
    if (MenuIndicatorsShown())
        Run(SCENE_PASS_MENU_INDICATORS);
    Run(SCENE_PASS_PARTICLES);
    ReplayAndClear();
    // The HUD world overlay is drawn as the batched sprites.
    Run(SCENE_PASS_SPRITE_BATCHES);
    Run(SCENE_PASS_WATER_REFLECTION);
    Run(SCENE_PASS_WATER);
    Run(SCENE_PASS_HUD_LAYERS_EXTERNAL);
    Run(SCENE_PASS_STATS_OVERLAY);
}
