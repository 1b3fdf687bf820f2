// The map load and unload on lands made with the map authoring tool, on the render core of a hidden
// window: the land section read by position, the caches written once and read back, the map mesh from
// disk or from an archive, and damaged land sections.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "core/winos.h"
#include "map/land_maps/fog_textures.h"
#include "map/terrain/map_caches.h"
#include "map/map_cvars.h"
#include "map/terrain/map_layers_reload.h"
#include "map/terrain/map_load.h"
#include "map/meshes/map_mesh.h"
#include "map/trace/map_sight.h"
#include "map/terrain/map_state.h"
#include "map/materials/material_table.h"
#include "map/octree/octree.h"
#include "map/terrain/roads.h"
#include "map/land_maps/vegetation_layers.h"
#include "map/land_maps/water_layers.h"
#include "map/registry/world_registry.h"
#include "render/land/map_render_setup.h"
#include "render/device/render_context.h"
#include "render/device/render_device.h"
#include "scene/draw_records/draw_lists.h"
#include "render/textures/texture_manager.h"
#include "scene/views/first_person_view.h"
#include "scene/passes/frame_state.h"
#include "support/archive_builder.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/keep_var.h"
#include "support/map_world.h"
#include "support/temp_dir.h"
#include "tests/render/texture_test_support.h"
#include "support/test_window.h"
#include "tools/map_author/map_author.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kMission = "mission\\m1";
constexpr const char* kCaches[] = {"component/land/hills.oct", "component/land/hills_hmap.tga", "mission/m1/lmap.dds",
                                   "mission/m1/map.ocl"};

// A small hilly land with a crate, a lake, two texture layers and a road.
MapAuthorPlan SmallLand()
{
    MapAuthorPlan plan;
    plan.land = "hills";
    plan.mission = "m1";
    plan.size = 200.0f;
    plan.grid = 9;
    MapAuthorSeededHeights(plan, 3, 20.0f);
    const float low[3] = {-10, -30, -10}, high[3] = {10, 30, 10};
    plan.meshes.push_back(MapAuthorBox("col_crate", "crate", low, high));
    plan.water = true;
    plan.waterHeight = -5.0f;
    plan.waterMaskSize = 16;
    plan.layers = {{"grass", "grass_a", 3.0f}, {"rock", "rock_a", 7.0f, true, 5.0f}};
    plan.roads = {{"asphalt", "road", 8.0f, 0.3f, {{{-80, -80}}, {{0, 0}}, {{80, 60}}}}};
    plan.configLines = {"mihmapsize = 32", "milmapsize = 32", "mioccres = 4"};
    return plan;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line;
    return text;
}

size_t CountOf(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

class MapLoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine_log::StartFolder();
        m_folder = std::make_unique<TempDir>();
        ConStartup();
        CreateScriptCache();
        ASSERT_EQ(RenderInit(m_window.Handle()), 0);
        SceneDrawListsInit();
        ASSERT_EQ(RenderSetDisplayMode(64, 48, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
        WriteFileBytes("script/material.scr", "<water>\n</water>\n<ground>\n</ground>\n");
        MaterialsLoad();
    }
    void TearDown() override
    {
        test_support::ShutDownMapWorld();
        MapSetLoadedHook(nullptr);
        g_program.editorMode = 0;
        m_folder.reset();
    }

    // Writes the plan, with further land section lines.
    void Write(MapAuthorPlan plan, const std::vector<std::string>& landLines = {})
    {
        plan.landLines.insert(plan.landLines.end(), landLines.begin(), landLines.end());
        std::string error;
        ASSERT_TRUE(MapAuthorWrite(plan, ".", error)) << error;
        // The land script is read anew.
        DestroyScriptCache();
        CreateScriptCache();
    }

    int Load() { return MapLoad(EngineString("hills"), EngineString(kMission)); }

    KeepAllVars m_keptVars;  // a load's reset and "mission.cfg" set map variables
    std::unique_ptr<TempDir> m_folder;
    TestWindow m_window;
};

TEST_F(MapLoadTest, TheFirstLoadBuildsTheCachesAndTheSecondReadsThem)
{
    // The road is laid on the land at every load; only a build traces the faces it adds.
    Write(SmallLand());
    ASSERT_EQ(Load(), 0);
    EXPECT_EQ(RoadListCount(), 1u);
    for (const char* cache : kCaches)
        EXPECT_TRUE(fs::exists(cache)) << cache;
    const std::string firstConsole = Joined(engine_log::ConsoleLines(0));
    EXPECT_NE(firstConsole.find("Building heightmap"), std::string::npos) << firstConsole;

    // What the land section gave.
    EXPECT_STREQ(MapGetDataPath(), "component\\land\\hills.lff");
    EXPECT_EQ(MapGetLayerVar(0), 3.0f);
    EXPECT_EQ(MapGetLayerVar(1), 7.0f);
    EXPECT_NE(g_mapRender.landTextures[1].variant, nullptr);  // "rock_a"
    EXPECT_NE(OctreeGetRoot(), nullptr);
    EXPECT_EQ(MapGetMeshCount(), 1u);
    const WaterLayer& water = MapGetWaterLayers()[0];
    ASSERT_NE(water.mask, nullptr);
    EXPECT_EQ(water.material, MaterialFind("water"));
    EXPECT_EQ(water.height, -5.0f);
    EXPECT_EQ(mioccres.Int(), 4);  // from "mission.cfg", after the load values

    MapUnload();
    EXPECT_STREQ(MapGetDataPath(), "");
    EXPECT_EQ(MapGetLayerVar(40), 0.0f);
    EXPECT_EQ(OctreeGetRoot(), nullptr);
    EXPECT_EQ(RoadListCount(), 0u);
    EXPECT_EQ(MapGetMeshCount(), 0u);
    EXPECT_EQ(MapGetWaterLayers()[0].mask, nullptr);

    std::vector<fs::file_time_type> written;
    for (const char* cache : kCaches)
        written.push_back(fs::last_write_time(cache));
    ConClear(0);
    const size_t logStart = engine_log::LogSize();
    ASSERT_EQ(Load(), 0);
    const std::string secondConsole = Joined(engine_log::ConsoleLines(0));
    const std::string secondLog = engine_log::LogFrom(logStart);
    EXPECT_EQ(secondConsole.find("Building"), std::string::npos) << secondConsole;
    EXPECT_EQ(secondLog.find("ONMAF"), std::string::npos) << secondLog.substr(0, 2000);
    // The road was laid all the same.
    u32_t overlayFaces = 0;
    OctreeForEachLeaf(OctreeGetRoot(), OCTREE_WALK_DEPTH_CHECK, [&](OctreeNode* leaf) {
        for (u32_t i = 0; i < leaf->secondarySetCount; ++i)
            overlayFaces += leaf->secondarySets[i]->faceCount;
    });
    EXPECT_GT(overlayFaces, 0u);
    for (size_t i = 0; i < std::size(kCaches); ++i)
        EXPECT_EQ(fs::last_write_time(kCaches[i]), written[i]) << kCaches[i];
}

// A map mesh's texture is named relative to the land's own folder; a texture of that name in the
// folder above it is another land's business. The load's hook, set as the program's start-up sets it,
// starts the frame state afresh, so that nothing of the first-person view of the last mission (its
// weapon) reaches this one.
TEST_F(MapLoadTest, MapMeshTexturesComeFromTheLandsOwnFolder)
{
    Write(SmallLand());
    MapSetLoadedHook(RenderResetFrameState);
    ASSERT_TRUE(texture_test::WriteTga("component/land/crate.tga", 4, 4, 0xFF0000FFu));
    struct Case {
        const char* what;
        const char* file;  // the crate texture in the land's own folder, or none
        bool textured;
    };
    const Case cases[] = {
        {"only in the folder of every land", nullptr, false},
        {"in the land's own folder", "component/land/hills/crate.tga", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.file) {
            ASSERT_TRUE(texture_test::WriteTga(c.file, 4, 4, 0xFF00FF00u));
        }
        g_firstPersonView.previousWeapon = reinterpret_cast<Weapon*>(&m_folder);
        g_frameCarry.firstPersonCounters[0] = 5;
        ConClear(0);
        ASSERT_EQ(Load(), 0);
        ASSERT_EQ(MapGetMeshCount(), 1u);
        EXPECT_EQ(g_map.meshes[0]->texture != nullptr, c.textured);
        const std::string console = Joined(engine_log::ConsoleLines(0));
        EXPECT_EQ(console.find("Missing texture: 'component\\land\\hills\\crate'") != std::string::npos, !c.textured)
            << console;
        EXPECT_EQ(g_firstPersonView.previousWeapon, nullptr);
        EXPECT_EQ(g_frameCarry.firstPersonCounters[0], 0);
        MapUnload();
    }
}

// Land section lines read by position: each case adds lines to the land section and looks at what
// the load made of them.
struct SectionCase {
    const char* name;
    std::vector<std::string> lines;
    bool withLayerSection;
    std::function<void(const std::string& console)> check;
};

TEST_F(MapLoadTest, LandSectionLinesAreReadByCountAndTheSurplusIgnored)
{
    const std::vector<SectionCase> cases = {
        {"the layer section beats layer%d lines",
         {"layer1 rock rock_a 9", "layer2 rock rock_a 9"},
         true,
         [](const std::string&) {
             EXPECT_EQ(MapGetLayerVar(0), 3.0f);
             EXPECT_EQ(MapGetLayerVar(1), 7.0f);
             EXPECT_EQ(MapGetLayerVar(2), 0.0f);
             EXPECT_EQ(g_mapRender.landTextures[2].variant, nullptr);
         }},
        {"layer%d with two or four values is ignored",
         {"layer0 grass grass_a 5", "layer1 rock rock_a", "layer2 rock rock_a 6 9"},
         false,
         [](const std::string&) {
             EXPECT_EQ(MapGetLayerVar(0), 5.0f);
             EXPECT_NE(g_mapRender.landTextures[0].variant, nullptr);
             EXPECT_EQ(g_mapRender.landTextures[1].variant, nullptr);
             EXPECT_EQ(g_mapRender.landTextures[2].variant, nullptr);
         }},
        {"an anim sveg keeps eight meshes",
         {"sveg0 grass_a plant 1 2 3 anim 4 m0 m1 m2 m3 m4 m5 m6 m7 m8 m9"},
         true,
         [](const std::string&) {
             const VegetationLayer& layer = MapGetVegetationLayers()[0];
             EXPECT_EQ(layer.kind, VEGETATION_ANIMATED);
             EXPECT_EQ(layer.meshCount, 8u);
             EXPECT_NE(layer.density, nullptr);
             EXPECT_EQ(layer.value3, 1.0f);
             EXPECT_EQ(layer.animated, 4.0f);
         }},
        {"a bb sveg and a veg keep sixteen numbers",
         {"sveg1 grass_a plant 1 2 3 bb 4 5 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 300",
          "veg2 4 2 0.5 flat 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 70000"},
         true,
         [](const std::string&) {
             const VegetationLayer& layer = MapGetVegetationLayers()[1];
             EXPECT_EQ(layer.kind, VEGETATION_BILLBOARD);
             EXPECT_EQ(layer.byteCount, 16u);
             EXPECT_EQ(layer.bytes[15], 16);
             EXPECT_EQ(layer.billboard[1], 5.0f);
             const VegLayerParams& veg = MapGetVegLayerParams()[2];
             EXPECT_EQ(veg.a, 2.0f);
             EXPECT_EQ(veg.c, 127);
             EXPECT_EQ(veg.kind, VEG_LAYER_FLAT);
             EXPECT_EQ(veg.count, 16u);
             EXPECT_EQ(veg.numbers[15], 16);
         }},
        {"short sveg, veg and water lines read what they have",
         {"sveg3 grass_a", "veg3 1 2", "water2 hills_water", "sveg4 grass_a plant 1 2 3 tall 7"},
         true,
         [](const std::string&) {
             const VegetationLayer& layer = MapGetVegetationLayers()[3];
             EXPECT_NE(layer.density, nullptr);
             EXPECT_EQ(layer.meshCount + layer.byteCount, 0u);
             EXPECT_EQ(MapGetVegLayerParams()[3].count, 0u);
             EXPECT_EQ(MapGetVegLayerParams()[3].a, 0.0f);
             EXPECT_NE(MapGetWaterLayers()[2].mask, nullptr);
             EXPECT_EQ(MapGetWaterLayers()[2].material, nullptr);
             EXPECT_EQ(MapGetVegetationLayers()[4].meshCount + MapGetVegetationLayers()[4].byteCount, 0u);
         }},
        {"a missing water map keeps its material and values",
         {"water1 nowhere water 4.5 7"},
         true,
         [](const std::string& console) {
             EXPECT_EQ(CountOf(console, "Missing alphamap layer 'nowhere'!"), 1u) << console;
             EXPECT_NE(console.find("\x0E\x02Missing alphamap layer 'nowhere'!\n"), std::string::npos);
             const WaterLayer& water = MapGetWaterLayers()[1];
             EXPECT_EQ(water.mask, nullptr);
             EXPECT_EQ(water.material, MaterialFind("water"));
             EXPECT_EQ(water.height, 4.5f);
             EXPECT_EQ(water.value, 7);
         }},
    };
    for (const SectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        MapAuthorPlan plan = SmallLand();
        if (!c.withLayerSection)
            plan.layers.clear();
        Write(plan, c.lines);
        ConClear(0);
        ASSERT_EQ(Load(), 0);
        std::string console;
        for (const std::string& line : engine_log::ConsoleLines(0))
            console += line + "\n";
        c.check(console);
        MapUnload();
    }
}

TEST_F(MapLoadTest, MoreThanThirtyTwoLayerLinesFillThirtyTwoSlots)
{
    MapAuthorPlan plan = SmallLand();
    plan.layers.clear();
    for (int i = 0; i < 40; ++i)
        plan.layers.push_back({"grass", "grass_a", static_cast<float>(i + 1)});
    Write(plan);
    ASSERT_EQ(Load(), 0);
    EXPECT_EQ(MapGetLayerVar(31), 32.0f);
    EXPECT_EQ(MapGetLayerVar(32), 0.0f);
}

// The editor loads through MapLoad as well: its loads run the loaded hook as the game's do, once each.
TEST_F(MapLoadTest, EditorModeLoadsEverythingButTheRoads)
{
    static int loaded;
    loaded = 0;
    MapSetLoadedHook([] { ++loaded; });
    Write(SmallLand());
    ASSERT_EQ(Load(), 0);
    EXPECT_EQ(RoadListCount(), 1u);
    EXPECT_EQ(loaded, 1);
    MapUnload();
    g_program.editorMode = 1;
    ASSERT_EQ(Load(), 0);
    EXPECT_EQ(RoadListCount(), 0u);
    EXPECT_EQ(loaded, 2);
    EXPECT_NE(OctreeGetRoot(), nullptr);
    EXPECT_EQ(MapGetMeshCount(), 1u);
}

TEST_F(MapLoadTest, AMeshOnlyInAnArchiveLoadsSilentlyAndAMissingOneFails)
{
    Write(SmallLand());
    const std::string mesh = ReadFileBytes("component/land/hills.lff");
    fs::remove("component/land/hills.lff");
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"component\\land\\hills.lff", mesh}}));
    ASSERT_TRUE(VFSInit());
    size_t logStart = engine_log::LogSize();
    ASSERT_EQ(Load(), 0);
    EXPECT_EQ(engine_log::LogFrom(logStart).find("WARNING"), std::string::npos);
    EXPECT_GT(g_map.meshCount, 0u);
    MapUnload();

    VFSShutdown();
    fs::remove("main.bfs");
    logStart = engine_log::LogSize();
    EXPECT_EQ(Load(), -1);
    EXPECT_NE(engine_log::LogFrom(logStart).find("WARNING: Unable to load map 'component\\land\\hills.lff'\n"),
              std::string::npos);
}

TEST_F(MapLoadTest, ALandWithoutAMeshLineFails)
{
    Write(SmallLand());
    WriteFileBytes("script/land.scr", "<hills>\n    water0 hills_water water 1 0;\n</hills>\n");
    DestroyScriptCache();
    CreateScriptCache();
    static int loaded;
    loaded = 0;
    MapSetLoadedHook([] { ++loaded; });
    const size_t logStart = engine_log::LogSize();
    EXPECT_EQ(Load(), -1);
    EXPECT_NE(engine_log::LogFrom(logStart).find("WARNING: Unable to load map 'hills'\n"), std::string::npos);
    EXPECT_EQ(loaded, 0);  // a failed load is no new map
}

// A display-mode change makes a new device: the textures the map holds are reloaded or made again
// on it, and each holder sees a texture of the new device.
TEST_F(MapLoadTest, AfterADisplayModeChangeTheMapsTexturesBelongToTheNewDevice)
{
    Write(SmallLand());
    ASSERT_TRUE(texture_test::WriteTga("component/land/grass.tga", 2, 2, 0xFF406080u));
    ASSERT_EQ(Load(), 0);
    ASSERT_TRUE(texture_test::WriteTga("mission/m1/env_up.tga", 2, 2, 0xFF102030u));
    ASSERT_EQ(MissionEnvironmentLoad("m1", nullptr), 1);
    IDirect3DTexture8* const landLayer = g_mapRender.landTextures[0].layer;

    ASSERT_EQ(RenderSetDisplayMode(64, 48, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    TexturesRecreate();
    EXPECT_EQ(g_mapRender.landTextures[0].layer, landLayer);  // holders keep their handles
    const std::pair<const char*, IDirect3DTexture8*> held[] = {
        {"land layer", g_mapRender.landTextures[0].layer},
        {"land alpha", g_mapRender.landTextures[1].variant},
        {"environment map", g_mapRender.envMaps[ENV_UP]},
        {"fog", MapGetFogTexture()},
        {"water fog", MapGetWaterFogTexture()},
        {"lightmap", MapGetLightmapTexture()},
    };
    for (const auto& [what, texture] : held) {
        SCOPED_TRACE(what);
        ASSERT_NE(texture, nullptr);
        IDirect3DDevice8* owner = nullptr;
        ASSERT_EQ(texture->GetDevice(&owner), D3D_OK);
        EXPECT_EQ(owner, g_render.device);
        owner->Release();
        EXPECT_GT(texture_test::ReadTexture(g_render.device, texture).width, 0u);
    }
    EXPECT_EQ(texture_test::ReadTexture(g_render.device, g_mapRender.envMaps[ENV_UP]).At(1, 1), 0xFF102030u);
}

TEST_F(MapLoadTest, TheSunDirectionIsNormalisedAndTheSightFactorsFollowTheMission)
{
    MapAuthorPlan plan = SmallLand();
    plan.configLines.push_back("mvsundir = (0, 2, 0)");
    plan.configLines.push_back("mcmapambient = (30, 60, 90, 255)");
    plan.configLines.push_back("mffogstart = 700");
    Write(plan);
    ASSERT_EQ(Load(), 0);
    EXPECT_EQ(mvsundir.Vector().x, 0.0f);
    EXPECT_EQ(mvsundir.Vector().y, 1.0f);
    EXPECT_EQ(mvsundir.Vector().z, 0.0f);
    const float* ambient = mcmapambient.Colour();
    EXPECT_FLOAT_EQ(MapSightLightFactor(), 2.0f * (ambient[0] + ambient[1] + ambient[2]) * 0.33333334f);
    EXPECT_FLOAT_EQ(MapSightRangeFactor(), (1500.0f - 700.0f) * 0.0025f);
}

TEST_F(MapLoadTest, ReloadingTheLayersReadsOnlyTheLayerSection)
{
    Write(SmallLand());
    ASSERT_EQ(Load(), 0);
    struct Case {
        const char* what;
        const char* script;
        int result;
        float var0, var1;
    };
    const Case cases[] = {
        {"no section for the land", "<other>\n<layer>\ngrass grass_a 1;\n</layer>\n</other>\n", 0, 3.0f, 7.0f},
        {"no layer section", "<hills>\nlayer0 grass grass_a 1;\n</hills>\n", 0, 3.0f, 7.0f},
        {"a new layer section", "<hills>\n<layer>\nrock rock_a 5;\n</layer>\nlayer1 grass grass_a 9;\n</hills>\n", 1,
         5.0f, 0.0f},
    };
    // The script is edited between the calls and the cache left alone, as a person editing the
    // land's layers beside the running program does.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes("script/land.scr", c.script);
        rblvi.SetBool(true);
        EXPECT_EQ(MapLayersReload("hills"), c.result);
        EXPECT_EQ(MapGetLayerVar(0), c.var0);
        EXPECT_EQ(MapGetLayerVar(1), c.var1);
        EXPECT_EQ(rblvi.Bool(), c.result == 0);
    }
    EXPECT_NE(g_mapRender.landTextures[0].variant, nullptr);  // "rock_a"
    EXPECT_EQ(g_mapRender.landTextures[1].variant, nullptr);
}

// Damaged land sections load or fail cleanly.
class MapLoadRobustness : public MapLoadTest {
protected:
    void LoadSection(const std::string& section)
    {
        WriteFileBytes("script/land.scr", section);
        DestroyScriptCache();
        CreateScriptCache();
        const int result = Load();
        EXPECT_TRUE(result == 0 || result == -1) << result;
        MapUnload();
    }
};

TEST_F(MapLoadRobustness, DamagedSectionsLoadOrFailCleanly)
{
    MapAuthorPlan plan = SmallLand();
    plan.configLines = {"mihmapsize = 16", "milmapsize = 16"};
    Write(plan);
    const char* const sections[] = {
        "",
        "<hills>\n</hills>\n",
        "<hills>\nmesh;\n</hills>\n",
        "<hills>\nmesh nowhere;\n</hills>\n",
        "<hills>\nmesh hills;\nsveg0;\nwater0;\nveg0 1;\nlayer0;\n</hills>\n",
        "<hills>\nmesh hills;\nsveg0 ; ; anim;\nsveg1 a b c d e anim;\nsveg2 a b c d e bb;\n</hills>\n",
        "<hills>\nmesh hills;\nveg0 1 2 3 bogus 1 2 3;\nveg1 x y z flat;\nwater3 a b c d e f;\n</hills>\n",
        "<hills>\nmesh hills;\n<var>\nnosuchvar 1;\nmioccres;\n</var>\n<layer>\n a;\n;\n</layer>\n</hills>\n",
        "<hills>\nmesh hills;\nmirror;\nrotate x;\n</hills>\n",
        "<hills>\nmesh hills\n",
        "<hills>\n<layer>\n<layer>\n</hills>\nmesh hills;\n",
    };
    for (const char* section : sections) {
        SCOPED_TRACE(section);
        LoadSection(section);
    }
}

TEST_F(MapLoadRobustness, MutatedSectionsLoadOrFailCleanly)
{
    MapAuthorPlan plan = SmallLand();
    plan.configLines = {"mihmapsize = 16", "milmapsize = 16"};
    Write(plan);
    const std::string base =
        "<hills>\n    mesh hills;\n    water0 hills_water water -5 0;\n    <layer>\n        grass grass_a 3;\n"
        "        rock rock_a 7;\n    </layer>\n    sveg0 grass_a plant 1 2 3 anim 4 m0 m1;\n"
        "    sveg1 rock_a plant 1 2 3 bb 4 5 1 2 3;\n    veg0 1 2 0.5 flat 1 2 3;\n</hills>\n";
    const std::string alphabet = " ;<>/\n0123456789.-abgmnsvwy";
    std::mt19937 random(20261210u);
    for (int round = 0; round < 60; ++round) {
        std::string text = base;
        const int edits = 1 + static_cast<int>(random() % 6);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % text.size();
            const char c = alphabet[random() % alphabet.size()];
            switch (random() % 3) {
                case 0:
                    text[at] = c;
                    break;
                case 1:
                    text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), c);
                    break;
                default:
                    text.erase(at, 1);
                    break;
            }
        }
        SCOPED_TRACE(text);
        LoadSection(text);
    }
}

}  // namespace
