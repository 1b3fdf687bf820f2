// The frame's pass lists through their hooks: the order of the passes of the outdoor, indoor and
// external lists with shadows on and off, above and under water, the switches that change them,
// and the stencil and recording states each object pass runs under.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game/game_cvars.h"
#include "map/map_cvars.h"
#include "map/octree/object_grid.h"
#include "render/camera.h"
#include "render/device/frame.h"
#include "render/device/pass_timing.h"
#include "render/draw2d/hud_input.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/draw_records/batch_records.h"
#include "scene/meshes/connection_draw.h"
#include "scene/passes/decal_pass.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/draw_records/draw_records.h"
#include "scene/passes/frame_state.h"
#include "scene/meshes/object_draw.h"
#include "scene/passes/object_pass.h"
#include "scene/vegetation/plant_batch.h"
#include "scene/draw_records/quad_records.h"
#include "scene/scene_cvars.h"
#include "scene/passes/scene_passes.h"
#include "scene/views/secondary_views.h"
#include "scene/passes/water_surface.h"
#include "scene/passes/stencil_shadows.h"
#include "scene/vegetation/vegetation.h"
#include "scene/passes/visibility_pass.h"
#include "scene/views/wide_projection.h"
#include "scene/scene_state.h"
#include "scene/passes/stats_overlay.h"
#include "support/keep_var.h"
#include "support/render_test_support.h"
#include "tests/scene/scene_fixture.h"
#include "world/objects/dynamic_object.h"
#include "world/nodes/shadow_volume.h"

namespace {

u32_t StateNow(D3DRENDERSTATETYPE state)
{
    DWORD value = 0xDEADBEEF;
    g_render.device->GetRenderState(state, &value);
    return value;
}

// The stencil and depth states and the renderer switches one object pass ran under.
struct ObjectPassStates {
    s32_t meshPass;
    u32_t enable, func, ref, pass, fail, zfail, zwrite;
    u8_t recordingOff;
    u32_t selector;
    bool operator==(const ObjectPassStates&) const = default;
};

std::vector<std::string> g_order;
std::vector<ObjectPassStates> g_objectPasses;

void Trace(ScenePass pass)
{
    std::string name = ScenePassName(pass);
    if (pass == SCENE_PASS_OBJECTS) {
        name += " " + std::to_string(RenderMeshPassIndex);
        g_objectPasses.push_back({RenderMeshPassIndex, StateNow(D3DRS_STENCILENABLE), StateNow(D3DRS_STENCILFUNC),
                                  StateNow(D3DRS_STENCILREF), StateNow(D3DRS_STENCILPASS), StateNow(D3DRS_STENCILFAIL),
                                  StateNow(D3DRS_STENCILZFAIL), StateNow(D3DRS_ZWRITEENABLE),
                                  g_drawRecords.recordingOff, RenderGetPassSelector()});
    }
    g_order.push_back(name);
}

enum class List { Outdoor, Indoor, External };

class ScenePasses : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        // Nothing is drawn: only the order and the states are seen.
        for (ScenePassHook& hook : g_scenePassHooks)
            hook = nullptr;
        ScenePassSetTracer(Trace);
        rbwater.SetBool(true);
        rbrain.SetBool(false);
        rbparticles.SetBool(true);
        rbzpass.SetBool(false);
        rbflm.SetBool(false);
        rbshadows.SetBool(false);
        gbthirdperson.SetBool(false);
        rbfx.SetBool(true);
        rbgg.SetBool(true);
        g_scenePassGame = ScenePassGameState();
        RenderViewUnderWater = 0;
    }
    void TearDown() override
    {
        ScenePassSetTracer(nullptr);
        ScenePassHooksReset();
        RenderViewUnderWater = 0;
        RenderMeshPassIndex = 0;
        DrawRecordSetRecordingOff(false);
        RenderSetPassSelector(0xFFFFFFFFu);
        g_scenePassGame = ScenePassGameState();
        g_order.clear();
        g_objectPasses.clear();
        RenderCore::TearDown();
    }
    static std::vector<std::string> Run(List list)
    {
        g_order.clear();
        g_objectPasses.clear();
        StencilMarkBegin();
        StencilEnable();
        if (list == List::Outdoor)
            RenderScenePasses();
        else if (list == List::Indoor)
            RenderScenePassesIndoor();
        else
            RenderScenePassesExternal();
        return g_order;
    }
    KeepAllVars m_vars;
};

using Names = std::vector<std::string>;

Names Join(std::initializer_list<Names> parts)
{
    Names out;
    for (const Names& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

const Names kStart = {"prepare objects", "shader-set visibility", "decal update", "map decals", "shader set 0"};
const Names kShadowedMiddle = {"objects 0",      "vegetation",   "records sort", "plant replay", "records clear",
                               "volumes z-fail", "shader set 2", "objects 1",    "records sort"};
const Names kEnd = {"first person",  "sun flare",  "particles",    "record replay",
                    "records clear", "hud layers", "stats overlay"};

TEST_F(ScenePasses, OutdoorOrderWithShadowsOnAndOffAboveAndUnderWater)
{
    const Names water = {"water", "water second"};
    const Names replay = {"record replay", "records clear", "sprite batches"};
    struct Row {
        bool shadows, underWater;
        Names order;
    };
    const Row rows[] = {
        {false, false,
         Join({kStart, {"objects 0", "vegetation", "records sort", "object decals", "wires"}, water, replay, kEnd})},
        {false, true,
         Join({kStart, {"objects 0", "vegetation", "records sort", "object decals", "wires"}, replay, water, kEnd})},
        {true, false,
         Join({kStart,
               {"shader set 1", "shader set 3"},
               kShadowedMiddle,
               {"object decals", "darkening", "wires"},
               water,
               replay,
               kEnd})},
        {true, true,
         Join({kStart,
               {"shader set 1", "shader set 3"},
               kShadowedMiddle,
               {"object decals", "darkening", "wires"},
               replay,
               water,
               kEnd})},
    };
    for (const Row& row : rows) {
        rbshadows.SetBool(row.shadows);
        RenderViewUnderWater = row.underWater ? 1 : 0;
        EXPECT_EQ(Run(List::Outdoor), row.order) << row.shadows << row.underWater;
    }
    // "rbflm" turns the shadowed road on as well; "rbzpass" picks the z-pass volumes outdoors.
    rbshadows.SetBool(false);
    rbflm.SetBool(true);
    RenderViewUnderWater = 0;
    EXPECT_EQ(Run(List::Outdoor), rows[2].order);
    rbzpass.SetBool(true);
    const Names zpass = Run(List::Outdoor);
    EXPECT_EQ(std::count(zpass.begin(), zpass.end(), "volumes z-pass"), 1);
    EXPECT_EQ(std::count(zpass.begin(), zpass.end(), "volumes z-fail"), 0);
}

TEST_F(ScenePasses, IndoorAndExternalOrdersIgnoreShadowsAndWater)
{
    const Names indoor =
        Join({kStart,
              {"shader set 1", "shader set 3"},
              kShadowedMiddle,
              {"object decals", "darkening", "wires", "record replay", "records clear", "sprite batches"},
              kEnd});
    const Names external =
        Join({kStart,
              {"shader set 1", "shader set 3", "objects 0", "volumes z-fail", "shader set 2", "objects 1",
               "records sort", "darkening", "wires", "particles", "record replay", "records clear", "sprite batches",
               "water reflection", "water", "hud layers external", "stats overlay"}});
    for (bool shadows : {false, true}) {
        for (bool underWater : {false, true}) {
            rbshadows.SetBool(shadows);
            rbzpass.SetBool(true);  // the z-fail volumes all the same
            RenderViewUnderWater = underWater ? 1 : 0;
            EXPECT_EQ(Run(List::Indoor), indoor) << shadows << underWater;
            EXPECT_EQ(Run(List::External), external) << shadows << underWater;
        }
    }
}

TEST_F(ScenePasses, FlareAndHudSwitchesChangeOnlyTheIndoorList)
{
    const Names outdoor = Run(List::Outdoor), indoor = Run(List::Indoor), external = Run(List::External);
    rbfx.SetBool(false);
    rbgg.SetBool(false);
    EXPECT_EQ(Run(List::Outdoor), outdoor);
    EXPECT_EQ(Run(List::External), external);
    Names expected = indoor;
    std::erase(expected, "sun flare");
    std::erase(expected, "hud layers");
    EXPECT_EQ(Run(List::Indoor), expected);
    // Without particles the indoor list leaves out the particles and their replay, not the clear.
    rbparticles.SetBool(false);
    const Names noParticles = Run(List::Indoor);
    EXPECT_EQ(std::count(noParticles.begin(), noParticles.end(), "particles"), 0);
    EXPECT_EQ(std::count(noParticles.begin(), noParticles.end(), "record replay"), 1);
    EXPECT_EQ(noParticles[noParticles.size() - 2], "records clear");
}

TEST_F(ScenePasses, GameSwitchesDecideTheFirstPersonViewAndTheMenuIndicators)
{
    auto has = [](const Names& names, const char* name) { return std::count(names.begin(), names.end(), name) > 0; };
    EXPECT_TRUE(has(Run(List::Outdoor), "first person"));
    EXPECT_FALSE(has(Run(List::Outdoor), "menu indicators"));
    gbthirdperson.SetBool(true);
    EXPECT_FALSE(has(Run(List::Outdoor), "first person"));
    gbthirdperson.SetBool(false);
    g_scenePassGame.noWeaponView = 1;
    EXPECT_FALSE(has(Run(List::Indoor), "first person"));
    g_scenePassGame.missionKind = 1;
    EXPECT_TRUE(has(Run(List::Outdoor), "menu indicators"));
    g_scenePassGame.missionKind = 0;
    g_scenePassGame.tutorialMap = true;
    EXPECT_TRUE(has(Run(List::External), "menu indicators"));
}

TEST_F(ScenePasses, StencilMarkBeginWritesEightWhateverTheDepthTest)
{
    StencilMarkBegin();
    const struct {
        D3DRENDERSTATETYPE state;
        u32_t value;
    } expected[] = {{D3DRS_STENCILENABLE, 1},
                    {D3DRS_STENCILFAIL, D3DSTENCILOP_REPLACE},
                    {D3DRS_STENCILMASK, 0xFFFFFFFFu},
                    {D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE},
                    {D3DRS_STENCILREF, 8},
                    {D3DRS_STENCILWRITEMASK, 0xFFFFFFFFu},
                    {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
                    {D3DRS_STENCILZFAIL, D3DSTENCILOP_REPLACE}};
    for (const auto& e : expected)
        EXPECT_EQ(StateNow(e.state), e.value) << e.state;
    RenderSetState(D3DRS_STENCILENABLE, 0);
    StencilEnable();
    EXPECT_EQ(StateNow(D3DRS_STENCILENABLE), 1u);
    EXPECT_EQ(StateNow(D3DRS_STENCILREF), 8u);
}

TEST_F(ScenePasses, ObjectPassesRunUnderTheirStencilStates)
{
    // Shadows on: the first pass replaces the stencil with 0 where the depth test passes, with
    // nothing queued and the shadowed pass selector; the second draws only where 0 stands, without
    // depth writes, queuing and with every term.
    const ObjectPassStates first = {
        0, 1, D3DCMP_ALWAYS,         0, D3DSTENCILOP_REPLACE, D3DSTENCILOP_REPLACE, D3DSTENCILOP_KEEP,
        1, 1, PASS_SELECTOR_SHADOWED};
    const ObjectPassStates second = {
        1, 1, D3DCMP_EQUAL, 0, D3DSTENCILOP_KEEP, D3DSTENCILOP_KEEP, D3DSTENCILOP_KEEP, 0, 0, PASS_SELECTOR_FULL};
    rbshadows.SetBool(true);
    for (List list : {List::Outdoor, List::Indoor, List::External}) {
        Run(list);
        ASSERT_EQ(g_objectPasses.size(), 2u);
        EXPECT_EQ(g_objectPasses[0], first);
        EXPECT_EQ(g_objectPasses[1], second);
        EXPECT_EQ(StateNow(D3DRS_STENCILENABLE), 0u);
        EXPECT_EQ(RenderMeshPassIndex, 0);
        EXPECT_EQ(g_drawRecords.recordingOff, 0);
    }
    // Shadows off outdoors: one pass under the static map's mark, queuing, every term; the
    // reference stays 8 and no volume or darkening pass runs.
    rbshadows.SetBool(false);
    const Names order = Run(List::Outdoor);
    ASSERT_EQ(g_objectPasses.size(), 1u);
    const ObjectPassStates only = {
        0, 1, D3DCMP_ALWAYS,     8, D3DSTENCILOP_REPLACE, D3DSTENCILOP_REPLACE, D3DSTENCILOP_REPLACE,
        1, 0, PASS_SELECTOR_FULL};
    EXPECT_EQ(g_objectPasses[0], only);
    EXPECT_EQ(StateNow(D3DRS_STENCILREF), 8u);
    for (const std::string& name : order)
        EXPECT_TRUE(name.find("volumes") == std::string::npos && name != "darkening") << name;
}

TEST(StatsOverlay, TheStatisticsLineCountsAndRatesTheFrame)
{
    struct Row {
        RenderFrameStats stats;
        double ms;
        const char* line;
    };
    const Row rows[] = {
        {{1200, 400, 3, 1200}, 10.0, "1200V 1200I 400F 3L t=    10 0.04MTri/s"},
        {{0, 2000000, 0, 6000000}, 20.0, "0V 6000000I 2000000F 0L t=    20 1e+02MTri/s"},
        {{5, 1, 0, 3}, 0.0, "5V 3I 1F 0L t=     0    0MTri/s"},
    };
    for (const Row& row : rows) {
        char text[128];
        StatsOverlayFormatLine(text, sizeof(text), row.stats, row.ms);
        EXPECT_STREQ(text, row.line);
    }
    // A short buffer is cut, never overrun.
    char small[8];
    EXPECT_EQ(StatsOverlayFormatLine(small, sizeof(small), rows[0].stats, 10.0), 7);
    EXPECT_STREQ(small, "1200V 1");
}

using StatsOverlayDraw = render_test::RenderCore;

// The overlay writes its lines at the top left; "rbdrawtimes" holds the timing hook on while set.
TEST_F(StatsOverlayDraw, LinesAppearAndTheTimingHookFollowsRbdrawtimes)
{
    KeepAllVars vars;
    RenderSetClearColor(0x00000000u);
    ASSERT_EQ(RenderBeginFrame(), 0);
    RenderStatsOverlay();
    EXPECT_FALSE(RenderTimingEnabled());
    rbdrawfps.SetBool(true);
    rbdrawstats.SetBool(true);
    rbdrawtimes.SetBool(true);
    RenderStatsOverlay();
    EXPECT_TRUE(RenderTimingEnabled());
    const render_test::Pixels pixels = render_test::ReadBackBuffer(Device());
    int lit = 0;
    for (UINT y = 0; y < 40; ++y)
        for (UINT x = 0; x < 60; ++x)
            lit += (pixels.At(x, y) & 0x00FFFFFFu) != 0;
    EXPECT_GT(lit, 20);
    rbdrawtimes.SetBool(false);
    RenderStatsOverlay();
    EXPECT_FALSE(RenderTimingEnabled());
    RenderEndFrame(false);
}

// Every list recomputes the wide projection from the camera and the view range; the saved camera is
// the main view's, and a reset takes the camera's yaw and position as the previous frame's.
TEST_F(ScenePasses, WideProjectionSavedCameraAndFrameReset)
{
    RenderSetupCamera(10.0f, 20.0f, 30.0f, 0.5f, 0.25f, 0.0f, 1.1f, 1);
    mfrange.SetFloat(250.0f);
    Run(List::External);
    D3DXMATRIX expected;
    D3DXMatrixPerspectiveFovLH(&expected, g_camera.fovY, g_camera.aspect, g_camera.nearPlane + 0.001f, 2500.0f);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ((&g_renderWideProjection._11)[i], (&expected._11)[i]) << i;

    RenderSaveCamera();
    EXPECT_NEAR(g_savedCamera.yaw, 0.5f, 1e-4f);
    EXPECT_NEAR(g_savedCamera.pitch, 0.25f, 1e-4f);
    EXPECT_EQ(std::memcmp(&g_savedCamera.position, &g_camera.position, sizeof(D3DXVECTOR3)), 0);
    EXPECT_EQ(std::memcmp(&g_savedCamera.view, &g_camera.view, sizeof(D3DXMATRIX)), 0);
    EXPECT_EQ(std::memcmp(&g_savedCamera.frustumPlanes, &g_camera.frustumPlanes, sizeof(g_camera.frustumPlanes)), 0);

    g_frameCarry.firstPersonCounters[2] = 7;
    g_frameCarry.firstPersonFlags[1][3] = 1;
    g_hudInput.flags.firstPersonViewState = 1;
    RenderResetFrameState();
    EXPECT_EQ(g_frameCarry.previousYaw, g_camera.yaw);
    EXPECT_EQ(std::memcmp(&g_frameCarry.previousPosition, &g_camera.position, sizeof(D3DXVECTOR3)), 0);
    EXPECT_EQ(g_frameCarry.firstPersonCounters[2], 0);
    EXPECT_EQ(g_frameCarry.firstPersonFlags[1][3], 0);
    EXPECT_EQ(g_hudInput.flags.firstPersonViewState, 0);
}

// The start table holds the world renderer's passes; the passes drawn by the game frame itself
// and those of renderers still to come are the only empty hooks.
TEST_F(ScenePasses, StartTableHoldsTheRenderers)
{
    ScenePassHooksReset();
    const struct {
        ScenePass pass;
        ScenePassHook hook;  // null: a small adapter of this list, which must exist
    } direct[] = {
        {SCENE_PASS_PREPARE_OBJECTS, RenderPrepareVisibleObjects},
        {SCENE_PASS_DECAL_UPDATE, nullptr},
        {SCENE_PASS_MAP_DECALS, DecalListDraw},
        {SCENE_PASS_SHADER_SET_0, nullptr},
        {SCENE_PASS_SHADER_SET_1, nullptr},
        {SCENE_PASS_SHADER_SET_2, nullptr},
        {SCENE_PASS_SHADER_SET_3, nullptr},
        {SCENE_PASS_OBJECTS, RenderObjectPass},
        {SCENE_PASS_VEGETATION, nullptr},
        {SCENE_PASS_RECORDS_SORT, DrawRecordsSort},
        {SCENE_PASS_PLANT_REPLAY, DrawRecordsReplayPlants},
        {SCENE_PASS_RECORDS_CLEAR, DrawRecordsClear},
        {SCENE_PASS_VOLUMES_ZPASS, nullptr},
        {SCENE_PASS_VOLUMES_ZFAIL, nullptr},
        {SCENE_PASS_OBJECT_DECALS, DrawObjectDecals},
        {SCENE_PASS_DARKENING, ShadowDarkenPass},
        {SCENE_PASS_WIRES, RenderConnectionObjects},
        {SCENE_PASS_RECORD_REPLAY, DrawRecordsReplay},
        {SCENE_PASS_SPRITE_BATCHES, nullptr},
        {SCENE_PASS_WATER, RenderWaterSurface},
        {SCENE_PASS_WATER_SECOND, RenderWaterOverlay},
        {SCENE_PASS_WATER_REFLECTION, RenderReflectionViewExternal},
        {SCENE_PASS_SECONDARY_VIEWS, RenderSecondaryViews},
    };
    for (const auto& row : direct) {
        ASSERT_NE(g_scenePassHooks[row.pass], nullptr) << ScenePassName(row.pass);
        if (row.hook) {
            EXPECT_EQ(g_scenePassHooks[row.pass], row.hook) << ScenePassName(row.pass);
        }
    }
    // The four shader-set modes are four different adapters, and the two volume variants two.
    EXPECT_NE(g_scenePassHooks[SCENE_PASS_SHADER_SET_0], g_scenePassHooks[SCENE_PASS_SHADER_SET_1]);
    EXPECT_NE(g_scenePassHooks[SCENE_PASS_SHADER_SET_2], g_scenePassHooks[SCENE_PASS_SHADER_SET_3]);
    EXPECT_NE(g_scenePassHooks[SCENE_PASS_VOLUMES_ZPASS], g_scenePassHooks[SCENE_PASS_VOLUMES_ZFAIL]);

    // The sprite batches are drawn and then emptied for the next frame.
    RenderSetBatching(true);
    g_batchRecords.suspended = 0;
    BatchRecord* record = BatchRecordNext();
    ASSERT_NE(record, nullptr);
    *record = BatchRecord{nullptr, {0.0f, 1.0f, 0.0f, 1.0f}, 1.0f, 1.0f, {0.0f, 0.0f, 0.0f}};
    ASSERT_TRUE(BatchRecordCommit());
    ScenePassRun(SCENE_PASS_SPRITE_BATCHES);
    EXPECT_EQ(BatchRecordCount(), 0u);
    EXPECT_EQ(BatchRecordBatchCount(), 0u);
}

// The vegetation is drawn from the camera with its yaw and field of view; inside an indoor cell the
// third-person orbit camera gives the yaw of its own view direction instead of the player's.
TEST_F(ScenePasses, VegetationFollowsTheCameraAndTheOrbitViewIndoors)
{
    ScenePassHooksReset();
    const ScenePassHook vegetation = g_scenePassHooks[SCENE_PASS_VEGETATION];
    for (ScenePassHook& hook : g_scenePassHooks)
        hook = nullptr;
    g_scenePassHooks[SCENE_PASS_VEGETATION] = vegetation;
    rbvegetation.SetBool(false);  // the camera values are stored, nothing is drawn
    const VegetationState saved = g_vegetation;
    RenderSetupCamera(10.0f, 20.0f, 30.0f, 0.3f, 0.1f, 0.0f, 1.2f, 1);
    g_camera.yaw = 1.0f;  // the player's yaw, which an orbit camera does not look along
    const struct {
        List list;
        bool thirdPerson;
        float yaw;
        int runs;  // vegetation passes of the list
    } rows[] = {
        {List::Outdoor, false, 1.0f, 1}, {List::Outdoor, true, 1.0f, 1},   {List::Indoor, false, 1.0f, 1},
        {List::Indoor, true, 0.3f, 1},   {List::External, true, -9.0f, 0},
    };
    for (const auto& row : rows) {
        gbthirdperson.SetBool(row.thirdPerson);
        g_vegetation.yaw = -9.0f;
        g_vegetation.fov = 0.0f;
        const Names order = Run(row.list);
        EXPECT_EQ(std::count(order.begin(), order.end(), "vegetation"), row.runs);
        EXPECT_NEAR(g_vegetation.yaw, row.yaw, 1e-4f) << int(row.list) << row.thirdPerson;
        if (row.runs) {
            EXPECT_FLOAT_EQ(g_vegetation.fov, 1.2f);
            EXPECT_FLOAT_EQ(g_vegetation.camera[0], 10.0f);
            EXPECT_FLOAT_EQ(g_vegetation.camera[2], 30.0f);
        }
    }
    g_vegetation = saved;
}

// A plant batch still open holds the streaming buffers locked and the plant states set: the quad
// record renderers and the wire pass draw it before anything of their own.
TEST_F(ScenePasses, QuadRecordsAndWiresDrawAPendingPlantBatchFirst)
{
    DrawRecordsReplayPlants();  // fills the plant directions
    DrawRecord plant = {};
    plant.flags = DRAW_RECORD_PLANT;
    PlantRecordFields fields = {};
    fields.halfWidth = 0.5f;
    fields.colour = 0xFF80C040u;
    fields.shapeWord = PLANT_SHAPE_FLAT;
    fields.normal[1] = 1.0f;
    PlantRecordSet(&plant, fields);
    KeepVar wires(rbconobjs);
    for (bool quad : {true, false}) {
        rbconobjs.SetBool(false);  // the pass flushes even when it draws no wire
        scene_test::DrawLog log(Device());
        PlantRecordDraw(&plant);
        ASSERT_TRUE(rtm_plant_rendering);
        DrawRecord record = {};
        record.flags = DRAW_RECORD_FACING_QUAD;
        if (quad)
            RecordBillboardDraw(&record);
        else
            RenderConnectionObjects();
        EXPECT_FALSE(rtm_plant_rendering) << quad;
        ASSERT_FALSE(log.Draws().empty()) << quad;
        EXPECT_EQ(log.Draws()[0].primitives, 2u) << quad;  // the flat plant's quad
    }
}

// A volume that counts the times a volume pass brings it up to date (the pass draws it then).
class CountingVolume : public ShadowVolume {
public:
    using ShadowVolume::ShadowVolume;
    void Rebuild() override { ++rebuilds; }
    int rebuilds = 0;
};

// The volume hooks run over the object pass's shadow list; only the external camera's list ignores
// the distance limit.
TEST_F(ScenePasses, VolumesDrawTheShadowListWithTheExternalCameraUnlimited)
{
    ScenePassHooksReset();
    const ScenePassHook zpass = g_scenePassHooks[SCENE_PASS_VOLUMES_ZPASS];
    const ScenePassHook zfail = g_scenePassHooks[SCENE_PASS_VOLUMES_ZFAIL];
    for (ScenePassHook& hook : g_scenePassHooks)
        hook = nullptr;
    g_scenePassHooks[SCENE_PASS_VOLUMES_ZPASS] = zpass;
    g_scenePassHooks[SCENE_PASS_VOLUMES_ZFAIL] = zfail;
    RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
    rbshadows.SetBool(true);
    rfmaxshadowsdist.SetFloat(50.0f);  // 500 units
    DynamicObject caster;
    CountingVolume volume(&caster);
    ObjectGridEntry* entry = volume.GetGridEntry();
    const ShadowList kept = g_shadowList;
    g_shadowList.records[0] = entry;
    g_shadowList.count = 1;
    const struct {
        List list;
        bool zPass;
        float distance;
        int rebuilds;
    } rows[] = {
        {List::Outdoor, false, 100.0f, 1}, {List::Outdoor, true, 100.0f, 1},    {List::Outdoor, false, 5000.0f, 0},
        {List::Indoor, false, 5000.0f, 0}, {List::External, false, 5000.0f, 1},
    };
    for (const auto& row : rows) {
        rbzpass.SetBool(row.zPass);
        entry->boxMin = {row.distance - 5.0f, -5.0f, -5.0f};
        entry->boxMax = {row.distance + 5.0f, 5.0f, 5.0f};
        volume.rebuilds = 0;
        Run(row.list);
        EXPECT_EQ(volume.rebuilds, row.rebuilds) << int(row.list) << row.zPass << row.distance;
    }
    g_shadowList = kept;
}

}  // namespace
