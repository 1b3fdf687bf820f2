// The particle host with the particle test plug-in: its registries, the group-6 events and
// "rbparticles", the particle-to-record table, fog and ground height, weapon pins as stable
// handles, a plug-in that throws, damaged particle records, and what the pass puts on screen.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>

#include "core/plugins/plugin_host.h"
#include "game/game_state.h"
#include "game/mission_objects/object_factory.h"
#include "game/view/player_view.h"
#include "map/map_cvars.h"
#include "map/terrain/map_grid.h"
#include "map/octree/octree.h"
#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "render/camera.h"
#include "render/fpw_transform.h"
#include "render/draw2d/hud_input.h"
#include "render/render_cvars.h"
#include "render/textures/texture_manager.h"
#include "scene/meshes/object_draw.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/draw_records/draw_records.h"
#include "scene/plugin_bridges/particle_effects.h"
#include "scene/plugin_bridges/particle_host.h"
#include "scene/plugin_bridges/particles_draw.h"
#include "scene/draw_records/quad_records.h"
#include "tests/plugins/particle_plugin/particle_plugin_state.h"
#include "support/render_test_support.h"
#include "tests/scene/anim_mesh_fixture.h"
#include "tests/scene/scene_fixture.h"
#include "tools/aff_make/aff_writer.h"
#include "world/animation/anim_cache.h"

using namespace render_test;
using namespace scene_test;

namespace {

ParticleInfo Info(u32_t kind)
{
    ParticleInfo info = {};
    info.kind = kind;
    info.position[0] = 1.0f;
    info.position[1] = 2.0f;
    info.position[2] = 3.0f;
    info.halfSize = 1.5f;
    info.rect[0] = 0.25f;
    info.rect[1] = 0.5f;
    info.rect[2] = 0.125f;
    info.rect[3] = 0.75f;
    info.vector[0] = 4.0f;
    info.vector[1] = 5.0f;
    info.vector[2] = 6.0f;
    info.value = 0x3F000000u;  // 0.5f
    info.colour = 0x80402010u;
    info.sourceBlend = D3DBLEND_SRCALPHA;
    info.destinationBlend = D3DBLEND_ONE;
    info.alphaTest = 1;
    return info;
}

// The host's plug-in host with only the particle test plug-in, and the host's state put back.
class ParticleHost : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        // Meshes draw with every material term whatever an earlier test left selected.
        m_keptSelector = RenderGetPassSelector();
        RenderSetPassSelector(0xFFFFFFFFu);
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
        float* view = GameGetViewPos();
        std::memcpy(m_savedView, view, sizeof m_savedView);
        view[0] = view[1] = view[2] = 0.0f;
        mffogstart.value.asFloat = 1e6f;
        mfrange.value.asFloat = 2e6f;
        rbparticles.value.asBool = true;
        rbfog.value.asBool = false;
        g_hudInput.flags.nightVision = 0;
        RegisterHostInterface(g_pluginHost);
        PluginRecord* record = g_pluginHost.LoadPluginFile(ZINTAR_TEST_PLUGIN_DIR, "particle_test.plg");
        ASSERT_NE(record, nullptr);
        auto get = reinterpret_cast<ParticlePluginStateFn>(
            GetProcAddress(static_cast<HMODULE>(record->Module()), "ParticlePluginGetState"));
        ASSERT_NE(get, nullptr);
        m_state = get();
        std::memset(m_state, 0, sizeof *m_state);
    }
    void TearDown() override
    {
        ParticleHostFree();
        ParticleSetMapValues({0.0f, 0.0f, nullptr});
        g_pluginHost.Clear();
        DrawRecordsClear();
        DrawRecordListFree();
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        FPWSetTransform(&identity.m[0][0], nullptr);
        AnimCacheFreeAll();
        TexturesReleaseAll();
        std::memcpy(GameGetViewPos(), m_savedView, sizeof m_savedView);
        RenderSetPassSelector(m_keptSelector);
        g_hudInput.flags.nightVision = 0;
        RenderCore::TearDown();
    }

    // A 4 x 4 texture of one colour, registered under the shared folder so that any name whose
    // file part is `name` finds it.
    IDirect3DTexture8* SharedTexture(const char* name, DWORD argb)
    {
        IDirect3DTexture8* texture = render_test::SolidTexture(Device(), argb);
        TextureRegister(texture, (std::string(TEXTURE_SHARED_FOLDER) + name).c_str());
        return texture;
    }
    void SetName(char* out, const char* name) { std::strncpy(out, name, kParticlePluginNameSize - 1); }
    void Frame(std::initializer_list<ParticleInfo> infos)
    {
        m_state->infoCount = 0;
        for (const ParticleInfo& info : infos)
            m_state->infos[m_state->infoCount++] = info;
        ParticlesFrame();
    }

    ParticlePluginState* m_state = nullptr;
    float m_savedView[3] = {};
    u32_t m_keptSelector = 0;
    SavedVars m_vars{&mffogstart,   &mfrange,       &mffogpow,    &mcfogcolor,
                     &mcmapdiffuse, &rc_nvisioncol, &rbparticles, &rbfog};
};

TEST_F(ParticleHost, TexturesThatAreOneShareOneIndexAndAMissingTextureIsRegisteredAsNone)
{
    IDirect3DTexture8* spark = SharedTexture("spark", 0xFFFFFFFF);
    SetName(m_state->textureNames[0], "spark");
    SetName(m_state->textureNames[1], "fx\\spark");  // another name, the same texture
    SetName(m_state->textureNames[2], "no_such_texture");
    ParticlesMapLoaded();
    EXPECT_EQ(m_state->textureIndex[0], 0);
    EXPECT_EQ(m_state->textureIndex[1], 0);
    EXPECT_EQ(m_state->textureIndex[2], 1);
    EXPECT_EQ(ParticleRegisterTexture("spark"), 0);
    EXPECT_EQ(ParticleTextureAt(0), spark);
    EXPECT_EQ(ParticleTextureAt(1), nullptr);
    EXPECT_EQ(ParticleTextureCount(), 2);
    // A mesh that cannot be loaded gives no index and registers nothing (not even its texture).
    EXPECT_EQ(ParticleRegisterAnim("no_such_mesh"), -1);
    EXPECT_EQ(ParticleAnimCount(), 0);
    EXPECT_EQ(ParticleTextureCount(), 2);
    ParticlesMapUnloaded();
    EXPECT_EQ(ParticleTextureCount(), 0);
    EXPECT_EQ(m_state->events[1], 1);
}

TEST_F(ParticleHost, EachKindBecomesItsRecord)
{
    IDirect3DTexture8* spark = SharedTexture("spark", 0xFFFFFFFF);
    SetName(m_state->textureNames[0], "spark");
    ParticlesMapLoaded();
    struct Case {
        u32_t kind;
        u32_t recordKind;
        float u0, u1, v0, v1;
        bool vector;
    } cases[] = {
        {0, DRAW_RECORD_FACING_QUAD, 0, 1, 0, 1, false},
        {1, DRAW_RECORD_UPRIGHT_QUAD, 0, 1, 0, 1, false},
        {2, DRAW_RECORD_STRETCHED_QUAD, 0, 1, 0, 1, true},
        {3, DRAW_RECORD_FACING_QUAD, 0, 1, 0, 1, false},
        {4, DRAW_RECORD_FACING_QUAD, 0.25f, 0.5f, 0.125f, 0.75f, false},
        {5, DRAW_RECORD_GROUND_QUAD, 0, 1, 0, 1, false},
        {6, DRAW_RECORD_XY_QUAD, 0, 1, 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        ParticleInfo info = Info(c.kind);
        info.textureIndex = 0;
        Frame({info});
        ParticlesDraw();
        ASSERT_EQ(DrawRecordCount(), 1u);
        DrawRecord* record = DrawRecordAt(0);
        const QuadRecordFields& quad = *QuadFields(record);
        EXPECT_EQ(record->Kind(), c.recordKind);
        EXPECT_EQ(record->SourceBlend(), u32_t(D3DBLEND_SRCALPHA));
        EXPECT_EQ(record->DestinationBlend(), u32_t(D3DBLEND_ONE));
        EXPECT_EQ(record->world._41, 1.0f);
        EXPECT_EQ(record->world._42, 2.0f);  // kind 3 without a heightmap keeps its own height
        EXPECT_EQ(record->world._43, 3.0f);
        EXPECT_EQ(quad.texture, spark);
        EXPECT_EQ(quad.width, 3.0f);
        EXPECT_EQ(quad.height, 3.0f);
        EXPECT_EQ(quad.u[0], c.u0);
        EXPECT_EQ(quad.u[1], c.u1);
        EXPECT_EQ(quad.v[0], c.v0);
        EXPECT_EQ(quad.v[1], c.v1);
        EXPECT_EQ(quad.colour, 0x80402010u);
        EXPECT_EQ(quad.alphaTested, 1);
        EXPECT_EQ(quad.secondStage, 0.0f);
        if (c.vector) {
            EXPECT_EQ(quad.turn[0], 4.0f);
            EXPECT_EQ(quad.turn[1], 5.0f);
            EXPECT_EQ(quad.turn[2], 6.0f);
        } else {
            u32_t bits;
            std::memcpy(&bits, &quad.turn[0], sizeof bits);
            EXPECT_EQ(bits, 0x3F000000u);
        }
        DrawRecordsClear();
    }
    // A texture index beyond the list draws untextured; the environment and night-vision colours
    // keep the particle's alpha.
    ParticleInfo info = Info(0);
    info.textureIndex = 7;
    info.environmentColour = 1;
    mcmapdiffuse.value.asColour[0] = 1.0f;
    mcmapdiffuse.value.asColour[1] = 0.5f;
    mcmapdiffuse.value.asColour[2] = 0.0f;
    Frame({info});
    ParticlesDraw();
    ASSERT_EQ(DrawRecordCount(), 1u);
    EXPECT_EQ(QuadFields(DrawRecordAt(0))->texture, nullptr);
    EXPECT_EQ(QuadFields(DrawRecordAt(0))->colour, 0x80FF7F00u);
    DrawRecordsClear();
    g_hudInput.flags.nightVision = 1;
    rc_nvisioncol.value.asColour[0] = 0.0f;
    rc_nvisioncol.value.asColour[1] = 1.0f;
    rc_nvisioncol.value.asColour[2] = 0.0f;
    ParticlesDraw();
    EXPECT_EQ(QuadFields(DrawRecordAt(0))->colour, 0x8000FF00u);
}

TEST_F(ParticleHost, AFrameWithoutParticlesDrawsNothingAndASecondDrawRepeatsTheList)
{
    ParticlesMapLoaded();
    Frame({});
    ParticlesDraw();
    EXPECT_EQ(DrawRecordCount(), 0u);
    Frame({Info(0), Info(5)});
    ParticlesDraw();
    EXPECT_EQ(DrawRecordCount(), 2u);
    ParticlesDraw();  // the reflection view of the same frame
    EXPECT_EQ(DrawRecordCount(), 4u);
    EXPECT_EQ(DrawRecordAt(2)->Kind(), DRAW_RECORD_FACING_QUAD);
    EXPECT_EQ(DrawRecordAt(3)->Kind(), DRAW_RECORD_GROUND_QUAD);
    // While recording is off no record is made.
    DrawRecordsClear();
    DrawRecordSetRecordingOff(true);
    ParticlesDraw();
    DrawRecordSetRecordingOff(false);
    EXPECT_EQ(DrawRecordCount(), 0u);
    // The next frame event starts a new list.
    Frame({});
    EXPECT_EQ(ParticleInfoCount(), 0);
}

TEST_F(ParticleHost, FogBlendsTowardsTheFogColourAndSaturatesBeyondTheRange)
{
    mffogstart.value.asFloat = 10.0f;  // 100 units
    mfrange.value.asFloat = 20.0f;     // 200 units
    mffogpow.value.asFloat = 1.0f;
    for (int i = 0; i < 4; ++i)
        mcfogcolor.value.asColour[i] = 1.0f;
    struct Case {
        float distance;
        float fogStart, fogRange;
        D3DCOLOR colour;
        float amount;
    } cases[] = {
        {100.0f, 10.0f, 20.0f, 0xFF000000u, 0.0f},    // at the fog start: untouched
        {150.0f, 10.0f, 20.0f, 0xBF808080u, 127.0f},  // half way
        {250.0f, 10.0f, 20.0f, 0xFFFFFFFFu, 255.0f},  // t = 1.5: the fog byte saturates, not wraps
        {150.0f, 10.0f, 10.0f, 0xFFFFFFFFu, 255.0f},  // no band: full fog from the start on
        {150.0f, 10.0f, 5.0f, 0xFFFFFFFFu, 255.0f},   // a range before the start, the same
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        mffogstart.value.asFloat = c.fogStart;
        mfrange.value.asFloat = c.fogRange;
        ParticleInfo info = Info(0);
        info.position[0] = 0.0f;
        info.position[1] = 0.0f;
        info.position[2] = c.distance;
        info.colour = 0xFF000000u;
        DrawRecord* record = DrawRecordAlloc(DRAW_RECORD_FACING_QUAD, 0);
        ASSERT_NE(record, nullptr);
        const float viewer[3] = {0.0f, 0.0f, 0.0f};
        ParticleFillRecord(record, info, viewer);
        EXPECT_EQ(QuadFields(record)->colour, c.colour);
        EXPECT_EQ(QuadFields(record)->secondStage, c.amount);
    }
}

TEST_F(ParticleHost, GroundParticlesStandOnTheHeightmapAtTheFourCorners)
{
    MapGrid* grid = MapGridCreate(1024);
    ASSERT_NE(grid, nullptr);
    grid->data[0] = 0;                       // row 0 (min z), column 0 (min x)
    grid->data[1023] = 51;                   // min z, max x
    grid->data[1023u * 1024u] = 102;         // max z, min x
    grid->data[1023u * 1024u + 1023] = 255;  // max z, max x
    ParticleSetMapValues({-10.0f, 100.0f, grid});
    // Without a world size the particle keeps its own height.
    EXPECT_EQ(ParticleGroundHeight(500.0f, 7.0f, 500.0f), 7.0f);
    OctreeCreateRoot({-500.0f, -50.0f, -500.0f}, {500.0f, 50.0f, 500.0f});
    struct Case {
        float x, z, height;
    } cases[] = {
        {-500.0f, -500.0f, -10.0f},
        {500.0f, -500.0f, 10.0f},
        {-500.0f, 500.0f, 30.0f},
        {500.0f, 500.0f, 90.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x + c.z * 0.001f);
        EXPECT_NEAR(ParticleGroundHeight(c.x, 7.0f, c.z), c.height, 1e-4f);
        ParticleInfo info = Info(PARTICLE_ON_GROUND);
        info.position[0] = c.x;
        info.position[2] = c.z;
        DrawRecord* record = DrawRecordAlloc(DRAW_RECORD_FACING_QUAD, 0);
        const float viewer[3] = {0.0f, 0.0f, 0.0f};
        ParticleFillRecord(record, info, viewer);
        EXPECT_NEAR(record->world._42, c.height, 1e-4f);
    }
    // Points far out or not numbers keep their height.
    EXPECT_EQ(ParticleGroundHeight(NAN, 7.0f, 0.0f), 7.0f);
    EXPECT_EQ(ParticleGroundHeight(1e30f, 7.0f, 0.0f), 7.0f);
    ParticleSetMapValues({0.0f, 0.0f, nullptr});
    OctreeDestroy();
    MapGridFree(grid);
}

TEST_F(ParticleHost, PinIndicesStayWithTheirPinsWhenAnEarlierPinIsRemoved)
{
    aff::AffFile file;
    file.strings = {"flash_a", "flash_b", "flash_c"};
    for (u32_t n = 0; n < 3; ++n) {
        aff::Mesh mesh = SizedMesh(3, 1);
        mesh.name = n;
        mesh.positions = {{float(n), 0, 0}, {float(n) + 4, 0, 0}, {float(n), 0, 2}};
        file.frames.resize(1);
        file.frames[0].meshes.push_back(mesh);
    }
    std::unique_ptr<AnimMesh> weapon = ReadAff(file);
    AnimMeshBuildDummyFrames(weapon.get());
    D3DXMATRIX place;
    D3DXMatrixTranslation(&place, 100.0f, 0.0f, 0.0f);
    SetName(m_state->pinNames[0], "flash_a");
    SetName(m_state->pinNames[1], "flash_b");
    SetName(m_state->pinNames[2], "flash_c");
    ParticlesMapLoaded();
    ASSERT_EQ(m_state->pinIndex[0], 0);
    ASSERT_EQ(m_state->pinIndex[2], 2);
    float axes[9], origin[3] = {-1, -1, -1};
    ParticlePinGetTransform(2, axes, origin);  // no weapon shown: untouched
    EXPECT_EQ(origin[0], -1.0f);
    FPWSetTransform(&place.m[0][0], weapon.get());
    float before[3];
    ParticlePinGetTransform(2, axes, before);
    EXPECT_GT(before[0], 100.0f);
    ParticleUnregisterPin(0);
    float after[3] = {-1, -1, -1};
    ParticlePinGetTransform(2, axes, after);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[2], before[2]);
    float removed[3] = {-1, -1, -1};
    ParticlePinGetTransform(0, axes, removed);
    ParticlePinGetTransform(3, axes, removed);
    ParticlePinGetTransform(-1, axes, removed);
    EXPECT_EQ(removed[0], -1.0f);
    // A new pin takes a new place, not the emptied one.
    EXPECT_EQ(ParticleRegisterPinFPW("flash_a"), 3);
    ParticleUnregisterPin(0);  // again: nothing
    EXPECT_EQ(ParticlePinCount(), 4);
    // An object pin needs a graphic object with such a mesh.
    EXPECT_EQ(ParticleRegisterPinOBJ(nullptr, "flash_a"), -1);
    ParticlesMapUnloaded();
}

TEST_F(ParticleHost, WithParticlesOffOnlyTheMapAndFrameEventsAreSent)
{
    for (bool on : {true, false}) {
        SCOPED_TRACE(on);
        std::memset(m_state->events, 0, sizeof m_state->events);
        rbparticles.value.asBool = on;
        ParticlesMapLoaded();
        ParticlesFrame();
        ParticleSpawnEffect("smoke", {1, 2, 3}, {0, 1, 0});
        EXPECT_EQ(ParticleObjectEffect("exhaust", nullptr), on ? 5 : 0);
        ParticlesReset();
        ParticlesMapUnloaded();
        const int expected[7] = {1, 1, 1, on, on, 0, on};
        for (int e = 0; e < 7; ++e)
            EXPECT_EQ(m_state->events[e], expected[e]) << "event 0x6000" << e;
    }
    EXPECT_STREQ(m_state->lastSpawnName, "smoke");
    EXPECT_EQ(m_state->lastSpawn[2], 3.0f);
    EXPECT_EQ(m_state->lastSpawn[4], 1.0f);
    EXPECT_STREQ(m_state->lastEffectName, "exhaust");
    EXPECT_EQ(ParticleEffectFind(0, ""), nullptr);
}

TEST_F(ParticleHost, APluginThatThrowsIsStoppedAndTheRegistriesStay)
{
    SharedTexture("spark", 0xFFFFFFFF);
    SetName(m_state->textureNames[0], "spark");
    SetName(m_state->pinNames[0], "flash");
    ParticlesMapLoaded();
    m_state->throwOn = HookParticlesFrame;
    Frame({Info(0)});
    EXPECT_TRUE(g_pluginHost.Plugin(0)->IsStopped());
    EXPECT_EQ(ParticleTextureCount(), 1);
    EXPECT_EQ(ParticlePinCount(), 1);
    EXPECT_EQ(ParticleInfoCount(), 0);
    ParticlesFrame();
    EXPECT_EQ(m_state->events[2], 1);  // a stopped plug-in receives nothing more
    ParticlesDraw();
    EXPECT_EQ(DrawRecordCount(), 0u);
}

TEST_F(ParticleHost, RobustnessDamagedParticleRecordsDrawNothingWrong)
{
    SharedTexture("spark", 0xFFFFFFFF);
    SetName(m_state->textureNames[0], "spark");
    ParticlesMapLoaded();
    MapGrid* grid = MapGridCreate(16);
    ParticleSetMapValues({0.0f, 10.0f, grid});
    OctreeCreateRoot({-50.0f, -50.0f, -50.0f}, {50.0f, 50.0f, 50.0f});
    mffogstart.value.asFloat = 1.0f;
    mfrange.value.asFloat = 2.0f;
    ParticleInfo table[8];
    for (ParticleInfo& info : table)
        info = Info(0);
    table[0].kind = 8;
    table[1].kind = 0xFFFFFFFFu;
    table[2].textureIndex = 0x80000000u;
    table[3].kind = PARTICLE_MESH;  // animation index at 72: no animation registered
    table[4].kind = PARTICLE_ON_GROUND;
    table[4].position[0] = NAN;
    table[4].position[2] = INFINITY;
    table[5].halfSize = NAN;
    table[5].sourceBlend = 0xFFFFFFFFu;
    table[6].kind = PARTICLE_ON_GROUND;
    table[6].position[0] = -1e38f;
    table[6].position[2] = 1e38f;
    table[7].position[0] = NAN;
    Frame({table[0], table[1], table[2], table[3], table[4], table[5], table[6], table[7]});
    ParticlesDraw();
    EXPECT_EQ(DrawRecordCount(), 5u);  // unknown kinds and the mesh without an animation draw nothing
    EXPECT_EQ(QuadFields(DrawRecordAt(0))->texture, nullptr);
    for (u32_t i = 0; i < DrawRecordCount(); ++i)
        EXPECT_LT(DrawRecordAt(i)->Kind(), DRAW_RECORD_KIND_COUNT);
    DrawRecordsReplay();
    DrawRecordsClear();
    std::mt19937 random(1234);
    for (int round = 0; round < 200; ++round) {
        ParticleInfo infos[kParticlePluginInfos];
        for (ParticleInfo& info : infos) {
            info = Info(random() % 9);
            u8_t* bytes = reinterpret_cast<u8_t*>(&info);
            for (int flips = 0; flips < 6; ++flips)
                bytes[4 + random() % (sizeof info - 4)] = static_cast<u8_t>(random());
        }
        m_state->infoCount = kParticlePluginInfos;
        std::memcpy(m_state->infos, infos, sizeof infos);
        ParticlesFrame();
        ParticlesDraw();
        DrawRecordsReplay();
        DrawRecordsClear();
    }
    ParticleSetMapValues({0.0f, 0.0f, nullptr});
    OctreeDestroy();
    MapGridFree(grid);
}

TEST_F(ParticleHost, TheFacingParticleAndTheMeshParticleShowOnScreen)
{
    SharedTexture("red", 0xFFFF0000);
    SharedTexture("green", 0xFF00FF00);
    // The mesh particle: a square of two faces, its texture "green".
    std::filesystem::create_directories("component/extras");
    aff::AffFile file;
    file.strings = {"square"};
    file.textures = {"green"};
    aff::Mesh square;
    square.positions = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    square.uvs = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    square.normals = {{0, 0, -127}, {0, 0, -127}, {0, 0, -127}, {0, 0, -127}};
    square.indices = {0, 2, 1, 0, 3, 2, 0, 1, 2, 0, 2, 3};
    square.material.textureWord = 0;
    square.material.ambient[0] = square.material.ambient[1] = square.material.ambient[2] = 1.0f;
    square.material.emissive[0] = square.material.emissive[1] = square.material.emissive[2] = 1.0f;
    file.frames = {aff::Frame{{square}}};
    ASSERT_TRUE(aff::WriteAff("component/extras/square.aff", file));
    SetName(m_state->textureNames[0], "red");
    SetName(m_state->animName, "square");
    ParticlesMapLoaded();
    ASSERT_EQ(m_state->animIndex, 0);
    ASSERT_EQ(ParticleTextureAt(1), TextureFind(TEXTURE_SHARED_FOLDER "green"));

    ParticleInfo facing = Info(PARTICLE_FACING);
    facing.position[0] = -3.0f;
    facing.position[1] = 0.0f;
    facing.position[2] = 10.0f;
    facing.halfSize = 1.0f;
    facing.textureIndex = static_cast<u32_t>(m_state->textureIndex[0]);
    facing.colour = 0xFFFFFFFFu;
    facing.value = 0;
    facing.alphaTest = 0;
    facing.sourceBlend = D3DBLEND_ONE;
    facing.destinationBlend = D3DBLEND_ONE;  // added to the blue clear colour
    ParticleMeshInfo mesh = {};
    mesh.kind = PARTICLE_MESH;
    D3DXMATRIX at;
    D3DXMatrixTranslation(&at, 3.0f, 0.0f, 10.0f);
    std::memcpy(mesh.matrix, &at.m[0][0], sizeof mesh.matrix);
    mesh.animIndex = static_cast<u32_t>(m_state->animIndex);
    ParticleInfo meshAsInfo;
    std::memcpy(&meshAsInfo, &mesh, sizeof mesh);
    Frame({facing, meshAsInfo});

    ASSERT_EQ(RenderBeginFrame(), 0);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
    RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
    ParticlesDraw();
    DrawRecordsReplay();
    DrawRecordsClear();
    const Pixels pixels = ReadBackBuffer(Device());
    RenderEndFrame(true);
    auto at_ = [&](float x) {
        const D3DXVECTOR3 world(x, 0.0f, 10.0f);
        D3DXVECTOR3 view, clip;
        D3DXVec3TransformCoord(&view, &world, &g_camera.view);
        D3DXVec3TransformCoord(&clip, &view, &g_camera.projection);
        return pixels.At(static_cast<UINT>((clip.x + 1.0f) * 0.5f * kWidth),
                         static_cast<UINT>((1.0f - clip.y) * 0.5f * kHeight));
    };
    EXPECT_EQ(at_(-3.0f) & 0xFFFFFF, 0xFF00FFu);  // red texture added to blue
    const DWORD meshPixel = at_(3.0f);
    EXPECT_GT((meshPixel >> 8) & 0xFF, 0x80u) << std::hex << meshPixel;
    EXPECT_LT((meshPixel >> 16) & 0xFF, 0x40u) << std::hex << meshPixel;
    EXPECT_EQ(at_(0.0f) & 0xFFFFFF, 0x0000FFu);  // between them the clear colour
}

TEST_F(ParticleHost, TheEffectObjectTakesItsPlaceAndNameAndSpawnsOnce)
{
    DynamicObject* made = CreateDynamicObjectByClass("particle");
    auto* object = dynamic_cast<ParticleEffectObject*>(made);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->GetTypeId(), 1);
    const EngineString place[3] = {EngineString("1"), EngineString("2"), EngineString("3")};
    const EngineString two[2] = {EngineString("smoke"), EngineString("fire")};
    const EngineString bad[3] = {EngineString("x"), EngineString("2.5"), EngineString("")};
    struct Case {
        const char* keyword;
        const EngineString* values;
        int count;
        bool accepted;
    } cases[] = {
        {"pos", place, 3, true},  {"rot", place, 3, true},  {"set", two, 2, false},   {"set", two, 1, true},
        {"POS", place, 3, false}, {"pos", place, 2, false}, {"rot", place, 1, false}, {"anim", place, 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(object->SetParam(c.keyword, c.values, c.count), c.accepted) << c.keyword << " " << c.count;
    const Vector3 at = object->GetPosition();
    EXPECT_EQ(at.x, 10.0f);
    EXPECT_EQ(at.y, 20.0f);
    EXPECT_EQ(at.z, 30.0f);
    EXPECT_STREQ(object->EffectName().Text(), "smoke");
    EXPECT_FALSE(object->SetParam("set", two, 2));
    EXPECT_STREQ(object->EffectName().Text(), "smoke");
    EXPECT_TRUE(object->SetParam("pos", bad, 3));  // what does not read as a number counts 0
    EXPECT_EQ(object->GetPosition().x, 0.0f);
    EXPECT_EQ(object->GetPosition().y, 25.0f);
    delete object;

    // An unnamed object sends one request with an empty name, pointing up, from its place.
    auto* unnamed = dynamic_cast<ParticleEffectObject*>(CreateDynamicObjectByClass("particle"));
    ASSERT_NE(unnamed, nullptr);
    unnamed->SetParam("pos", place, 3);
    SetName(m_state->lastSpawnName, "before");
    unnamed->Update();
    EXPECT_EQ(m_state->events[4], 1);
    EXPECT_STREQ(m_state->lastSpawnName, "");
    const float expected[6] = {10.0f, 20.0f, 30.0f, 0.0f, 1.0f, 0.0f};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(m_state->lastSpawn[i], expected[i]) << i;
    unnamed->Update();
    EXPECT_EQ(m_state->events[4], 1);
    EXPECT_TRUE(unnamed->Spawned());
    delete unnamed;

    // With particles off nothing is sent, but the object counts as spawned.
    rbparticles.value.asBool = false;
    auto* quiet = dynamic_cast<ParticleEffectObject*>(CreateDynamicObjectByClass("particle"));
    ASSERT_NE(quiet, nullptr);
    quiet->Update();
    EXPECT_TRUE(quiet->Spawned());
    EXPECT_EQ(m_state->events[4], 1);
    delete quiet;
}

}  // namespace
