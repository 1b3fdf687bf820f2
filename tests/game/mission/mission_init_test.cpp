// Mission start and exit on maps made with the map authoring tool: the land named by the mission's
// definition is loaded with the material table, and leaving frees both.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/actor_class.h"
#include "actors/actor_state.h"
#include "actors/ai_entity.h"
#include "actors/obstacle_tree.h"
#include "actors/weapons/projectile.h"
#include "actors/trace_material.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_events.h"
#include "ai/squads/ai_groups.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_runtime.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/camera_envelope.h"
#include "ai/squads/defend_points.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_markers.h"
#include "ai/envelopes/envelope_table.h"
#include "ai/envelopes/event_handlers.h"
#include "ai/envelopes/mission_cameras.h"
#include "ai/msal/msal_reader.h"
#include "ai/soldier/path_follower.h"
#include "ai/squads/patrol_path.h"
#include "ai/rules/rules.h"
#include "ai/rules/script_events.h"
#include "ai/envelopes/shape_envelopes.h"
#include "ai/rules/time_events.h"
#include "ai/envelopes/zone_envelope.h"
#include "core/strings/colour_codes.h"
#include "core/input/actions.h"
#include "core/console/console.h"
#include "core/input/input.h"
#include "core/files/def_file.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "game/mission_objects/camera_pose_settings.h"
#include "game/view/external_camera.h"
#include "game/mission/game_flow.h"
#include "game/mission_objects/object_factory.h"
#include "game/mission_objects/object_list.h"
#include "game/view/player_view.h"
#include "map/registry/actor_lists.h"
#include "game/mission_objects/player_assembly.h"
#include "game/player/player_control.h"
#include "game/game_cvars.h"
#include "game/game_test_hooks.h"
#include "game/accounts/campaign_chronology.h"
#include "game/accounts/current_account.h"
#include "game/accounts/account_cvars.h"
#include "game/view/satellite_view.h"
#include "game/mission/loading_screen.h"
#include "game/mission/code_signal.h"
#include "game/commands/game_mod_registry.h"
#include "game/game_state.h"
#include "game/mission/objectives.h"
#include "game/accounts/restart_info.h"
#include "map/terrain/map_state.h"
#include "gui/screens/gui.h"
#include "core/core_cvars.h"
#include "core/frame_view.h"
#include "core/winos.h"
#include "map/terrain/map_caches.h"
#include "map/terrain/map_load.h"
#include "scene/passes/frame_state.h"
#include "map/meshes/map_mesh.h"
#include "map/terrain/map_state.h"
#include "map/trace/map_trace.h"
#include "map/materials/material.h"
#include "map/materials/material_table.h"
#include "map/octree/octree.h"
#include "map/registry/world_registry.h"
#include "platform/test_clock.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "render/device/render_device.h"
#include "render/textures/texture_manager.h"
#include "scene/draw_records/draw_lists.h"
#include "render/textures/texture_preload.h"
#include "scene/passes/decal_list.h"
#include "scene/scene_cvars.h"
#include "scene/sky/sun_effect.h"
#include "scene/vegetation/vegetation.h"
#include "scene/views/first_person_view.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/keep_var.h"
#include "support/temp_dir.h"
#include "support/test_window.h"
#include "tests/render/texture_test_support.h"
#include "tools/bfs_pack/bfs_pack.h"
#include "tools/map_author/map_author.h"
#include "world/animation/clustered_mesh.h"
#include "world/decals/decal.h"
#include "world/decals/decal_builders.h"
#include "world/nodes/graph_node.h"
#include "world/objects/dynamic_object.h"
#include "world/wires/wires.h"

namespace {

// The small flat land "flat" of the mission "m1", 100 units across at the given height.
MapAuthorPlan SmallFlatMission(float height)
{
    MapAuthorPlan plan;
    plan.land = "flat";
    plan.mission = "m1";
    plan.size = 100.0f;
    plan.grid = 5;
    MapAuthorFlatHeights(plan, height);
    return plan;
}

class MissionInit : public ::testing::Test {
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
        MapAuthorPlan plan = SmallFlatMission(0.0f);
        std::string error;
        ASSERT_TRUE(MapAuthorWrite(plan, ".", error)) << error;
        WriteFileBytes("script/material.scr", "<ground>\n</ground>\n");
        // Started with "-m": the load does not wait for a key.
        m_directStart = g_program.startOptions.directStart;
        g_program.startOptions.directStart = 1;
    }
    void TearDown() override
    {
        GameExitToGui("-g");
        GameSetTestHooks({});
        g_program.startOptions.directStart = m_directStart;
        RenderShutdown(true);
        DefFileFreeAll();
        DestroyScriptCache();
        ConShutdown();
        VFSShutdown();
        m_folder.reset();
    }

    std::unique_ptr<TempDir> m_folder;
    TestWindow m_window;
    u8_t m_directStart = 0;
};

TEST_F(MissionInit, TheMissionsLandIsLoadedAndLeavingFreesIt)
{
    struct Case {
        const char* what;
        const char* mission;
        const char* definition;  // written as "mission\<mission>\mission.def"; null: none
        int result;
    };
    const Case cases[] = {
        {"a mission without a definition", "none", nullptr, -1},
        {"a definition without the key land", "nokey", "name flat\n", -1},
        {"a land that cannot be loaded", "broken", "land nowhere\n", -1},
        {"the map's own mission", "m1", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.definition)
            WriteFileBytes(std::string("mission/") + c.mission + "/mission.def", c.definition);
        EXPECT_EQ(GameInitMission(c.mission), c.result);
        if (c.result == 0) {
            EXPECT_NE(OctreeGetRoot(), nullptr);
            EXPECT_STREQ(MapGetDataPath(), "component\\land\\flat.lff");
            EXPECT_STREQ(MapGetMissionFolder(), "mission\\m1");
            EXPECT_NE(MaterialFind("ground"), nullptr);
        }
        GameExitToGui("-g");
        EXPECT_EQ(OctreeGetRoot(), nullptr);
        EXPECT_STREQ(MapGetDataPath(), "");
        EXPECT_EQ(MaterialFind("ground"), nullptr);
    }
}

// The mission start reads the mission's wires ("mission.cog"); leaving frees them with the map's
// decals and the vegetation set-up, and clears the force-actor flag, so that nothing of one mission
// reaches the next.
TEST_F(MissionInit, TheWiresAreReadAtTheStartAndTheRendersMissionStateFreedOnLeaving)
{
    WriteFileBytes("mission/m1/mission.cog", "group g1 CROSS 0.5 0.2 wire 3.0 4\n");
    ASSERT_EQ(GameInitMission("m1"), 0);
    EXPECT_EQ(WireGroupCount(), 1);
    VegetationInit();  // the device-buffer preparation that follows the mission start
    EXPECT_NE(g_vegetation.cellTable, nullptr);
    DecalListAdd(new Decal, false);
    EXPECT_EQ(DecalListCount(), 1);
    ForceActorCreation(true);
    GameExitToGui("-g");
    EXPECT_FALSE(GameActorCreationForced());
    EXPECT_EQ(WireGroupCount(), 0);
    EXPECT_EQ(DecalListCount(), 0);
    EXPECT_EQ(g_vegetation.cellTable, nullptr);
    EXPECT_FALSE(g_vegetation.prepared);
}

// The mission start loads the water's animation frames that the water surface cycles through; a
// frame that is missing stays empty.
TEST_F(MissionInit, TheMissionStartLoadsTheWaterFrames)
{
    for (int frame = 1; frame <= WATER_FRAME_COUNT; ++frame) {
        char name[64];
        std::snprintf(name, sizeof name, "component/_common/water_nf_%02d.tga", frame);
        if (frame != 5) {
            ASSERT_TRUE(texture_test::WriteTga(name, 4, 4, 0xFF3060A0u));
        }
    }
    ASSERT_EQ(GameInitMission("m1"), 0);
    for (int i = 0; i < WATER_FRAME_COUNT; ++i)
        EXPECT_EQ(g_preloadedTextures.water[i] != nullptr, i != 4) << i;
}

// The definition's "create" lines put their objects into the world after the land; leaving the
// mission removes and deletes each of them once, with their shadow companions and the soldier's AI,
// frees the clustered meshes and forgets the loader's current object.
TEST_F(MissionInit, TheDefinitionsObjectsAreInTheWorldUntilTheMissionIsLeft)
{
    KeepVar shadows(rbshadows);
    rbshadows.SetBool(false);
    WriteFileBytes("mission/m1/mission.def",
                   "land flat\ncreate structure hut\npos root 1 0 2\ncreate actor guard\naiparam player_rel ENEMY\n"
                   "create structure shed\n");
    WriteFileBytes("mission/m1/mission.ctr", "cluster village\nadd hut\nadd shed\n");
    ASSERT_EQ(GameInitMission("m1"), 0);
    DynamicObject* hut = DynObjectFind("hut");
    ASSERT_NE(hut, nullptr);
    EXPECT_EQ(hut->GetPosition().z, 20.0f);
    EXPECT_NE(DynObjectFind("shed"), nullptr);
    EXPECT_EQ(ActorTableCount(), 2u);  // the guard and the player
    EXPECT_NE(DynObjectFind("guard"), nullptr);
    EXPECT_EQ(g_ai.interfaceCount, 2u);
    EXPECT_EQ(GameGetCurrentObject(), DynObjectFind("shed"));
    ASSERT_NE(ClusteredObjGroups(), nullptr);
    // With shadows off the objects have no companions until a frame finds shadows switched on.
    EXPECT_EQ(hut->shadowVolume, nullptr);
    rbshadows.SetBool(true);
    GameUpdateFrame(false);
    EXPECT_NE(hut->shadowVolume, nullptr);

    GameExitToGui("-g");
    s32_t count = -1;
    DynObjectsGet(nullptr, &count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(g_ai.interfaceCount, 0u);
    EXPECT_EQ(GameGetCurrentObject(), nullptr);
    EXPECT_EQ(ClusteredObjGroups(), nullptr);
}

// The mission's envelopes: "mission.env" and "mission.zns" are read at the start, after the objects
// they name and before the obstacle tree that goes round their zones; leaving deletes them with the
// map markers.
TEST_F(MissionInit, TheEnvelopeFilesAreReadAtTheStartAndTheirEnvelopesDeletedOnLeaving)
{
    KeepVar shadows(rbshadows);
    rbshadows.SetBool(false);
    WriteFileBytes("mission/m1/mission.def",
                   "land flat\ncreate structure hut\npos root 1 0 2\ncreate actor guard\n"
                   "aiparam player_rel ENEMY\n");
    WriteFileBytes("mission/m1/mission.env",
                   "create dobj Hut hut root\n"
                   "create zone Yard root 0 3 0 0 0 50 0 0 0 50 0\n"
                   "create camera Eye CAM1 root\n"
                   "oz north 1 2 ff\n");
    WriteFileBytes("mission/m1/mission.zns", "zone Yard 2\nobj guard\n");
    ASSERT_EQ(GameInitMission("m1"), 0);
    DynamicObject* hut = DynObjectFind("hut");
    ASSERT_NE(hut, nullptr);
    ASSERT_NE(g_ai.envelopes[0], nullptr);
    EXPECT_EQ(hut->envelope, g_ai.envelopes[0]);
    Envelope* yard = g_ai.envelopes[1];
    ASSERT_NE(yard, nullptr);
    ASSERT_NE(yard->GetObjectList(), nullptr);
    EXPECT_EQ(yard->GetObjectList()->At(0), DynObjectFind("guard"));
    ASSERT_NE(g_actors.obstacleTree, nullptr);
    ASSERT_GE(g_actors.obstacleTree->root.ChildCount(), 1u);
    EXPECT_EQ(g_actors.obstacleTree->root.At(g_actors.obstacleTree->root.ChildCount() - 1)->GetEnvelope(),
              static_cast<ZoneEnvelope*>(yard));
    EXPECT_EQ(g_ai.markerCount, 2u);
    // The mission's camera exists before the envelopes are read: the camera line links to it.
    auto* eye = dynamic_cast<CameraEnvelope*>(g_ai.envelopes[2]);
    ASSERT_NE(eye, nullptr);
    ASSERT_NE(eye->GetCamera(), nullptr);
    EXPECT_EQ(eye->GetCamera(), MissionCameraFind("cam1"));
    EXPECT_EQ(MissionCameraCount(), 1);
    GameUpdateFrame(false);
    SwitchToExternalCamera();

    // Leaving ends the cameras and the external view with the envelopes.
    GameExitToGui("-g");
    for (Envelope* envelope : g_ai.envelopes)
        EXPECT_EQ(envelope, nullptr);
    EXPECT_EQ(g_ai.markerCount, 0u);
    EXPECT_EQ(MissionCameraCount(), 0);
    EXPECT_FALSE(ExternalCameraActive());
}

// What the soldiers and weapons need of a mission, round the sample soldier and a rifle lying on
// the ground: the start reads the soldier's class anew, fills every weapon's magazines (ring entries
// of "magazinecap" rounds, one more than "magazinecount") and builds the obstacle tree; a frame first
// deletes the projectiles retired in the frame before; leaving deletes the ones retired since (before
// the map's unload deletes the rest of the world), the tree, the envelopes (a dropped weapon's goes
// with the weapon) and the classes.
TEST_F(MissionInit, SoldiersAndWeaponsAreReadiedAtTheStartAndReleasedOnLeaving)
{
    KeepVar shadows(rbshadows);
    rbshadows.SetBool(false);
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    ASSERT_TRUE(VFSInit());
    WriteFileBytes("mission/m1/mission.def",
                   "land flat\ncreate actor guard\ntemplate ..\\actors\\soldier\naiparam player_rel ENEMY\n"
                   "create weapon spare\ntemplate ..\\weapons\\rifle\n");
    for (int mission = 0; mission < 2; ++mission) {
        SCOPED_TRACE(mission);
        ASSERT_EQ(GameInitMission("m1"), 0);
        EXPECT_EQ(ActorClassCount(), 1u);
        EXPECT_NE(g_actors.obstacleTree, nullptr);
        Actor* guard = static_cast<Actor*>(DynObjectFind("guard"));
        Weapon* spare = static_cast<Weapon*>(DynObjectFind("spare"));
        ASSERT_NE(guard, nullptr);
        ASSERT_NE(spare, nullptr);
        for (Weapon* weapon : {guard->weapons[0], spare}) {
            ASSERT_NE(weapon, nullptr);
            ASSERT_EQ(weapon->RingSize(), 4u);  // three spare magazines and the one in the gun
            for (u32_t i = 0; i < 4; ++i)
                EXPECT_EQ(weapon->GetMagazineRounds(i), 30) << weapon->name.Text() << " " << i;
        }

        // The rifle the guard takes in hand in his first frame and drops lies in the world with an
        // envelope of its own.
        GameUpdateFrame(false);
        Weapon* dropped = guard->DropItem(1);
        ASSERT_NE(dropped, nullptr);
        ASSERT_NE(dropped->envelope, nullptr);
        EXPECT_GE(EnvelopeRegister(dropped->envelope), 0);

        s32_t before = 0;
        DynObjectsGet(nullptr, &before);
        Projectile* spent = new Projectile();
        ASSERT_TRUE(DynObjectAdd(spent));
        ASSERT_TRUE(ProjectileTableAdd(spent));
        GameUpdateFrame(false);
        s32_t after = -1;
        DynObjectsGet(nullptr, &after);
        EXPECT_EQ(after, before);
        EXPECT_EQ(ProjectileTableCount(), 0u);

        // Retired in the last frame of the mission: deleted once, by the leave.
        Projectile* last = new Projectile();
        ASSERT_TRUE(DynObjectAdd(last));
        ASSERT_TRUE(ProjectileTableAdd(last));
        GameExitToGui("-g");
        EXPECT_EQ(ProjectileTableCount(), 0u);
        EXPECT_EQ(g_actors.obstacleTree, nullptr);
        EXPECT_EQ(ActorClassCount(), 0u);
        for (Envelope* envelope : g_ai.envelopes)
            EXPECT_EQ(envelope, nullptr);
    }
}

// Soldiers of the mission's definition: each is made under its name with its AI, the mission start
// compiles the common rule script for each of them into the AI log, and the AI step runs their rules
// once the profiles have enabled them.
TEST_F(MissionInit, TheSoldiersRulesAreCompiledAtTheStartAndRunByTheAIStep)
{
    WriteFileBytes("script/ai/script.txt", "rule Report{ OnTrue{ Test(1); } }\n");
    WriteFileBytes("script/guard.txt", "Report\n");
    std::string definition = "land flat\n";
    for (const char* name : {"north", "east", "south"})
        definition += std::string("create actor ") + name + "\naiscript guard.txt\naiparam player_rel ENEMY\n";
    WriteFileBytes("mission/m1/mission.def", definition);
    PlatformTestClockStart(50000);
    ASSERT_EQ(GameInitMission("m1"), 0);
    ASSERT_EQ(g_ai.interfaceCount, 4u);  // the three soldiers and the player
    for (const char* name : {"north", "east", "south"}) {
        auto* body = dynamic_cast<Actor*>(DynObjectFind(name));
        ASSERT_NE(body, nullptr) << name;
        ASSERT_NE(body->ai, nullptr) << name;
        EXPECT_STREQ(body->ai->scriptFile.Text(), "guard.txt");
        EXPECT_NE(body->ai->ruleSet->rules.Find("Report"), nullptr) << name;
    }
    const std::string compiled = ReadFileBytes("log.txt");
    size_t allOk = 0;
    for (size_t at = compiled.find("All OK"); at != std::string::npos; at = compiled.find("All OK", at + 1))
        ++allOk;
    EXPECT_EQ(allOk, 3u) << compiled;

    AIRestartAll();
    PlatformTestClockAdvance(100);
    AIFrame();
    const std::string ran = ReadFileBytes("log.txt");
    for (const char* name : {"north", "east", "south"})
        EXPECT_NE(ran.find(std::string("AIInterface::Test for: ") + name + " 1 \n"), std::string::npos) << ran;
    GameExitToGui("-g");
    PlatformTestClockStop();
    EXPECT_NE(ReadFileBytes("log.txt").find("=========== LOG end ===========\n"), std::string::npos);
}

// The sample data's soldiers on a small map: the two definitions the outpost places ("guard" and
// "patrol") template the sample soldier and name their profiles; the sample's rule script compiles
// for each soldier without an error or warning, every rule a profile names exists, and the rules
// react as the script says: a shot heard puts each soldier on alert and starts his search. The
// sample's sun and camera scripts give the sun its three textured elements and every movement mode
// its head bob.
TEST_F(MissionInit, TheSampleRuleScriptAndProfilesDriveTheSampleSoldiers)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    ASSERT_TRUE(VFSInit());
    struct Soldier {
        const char* name;
        const char* definition;
        const char* profile;
        const char* ownRule;  // the rule only his profile enables
        const char* report;   // the line his own rule's start writes into the AI log
    };
    const Soldier soldiers[] = {
        {"north", "guard", "guard.txt", "hold_post", "AIInterface::Test for: north 1 \n"},
        {"east", "guard", "guard.txt", "hold_post", "AIInterface::Test for: east 1 \n"},
        {"south", "patrol", "patrol.txt", "walk_round", "AIInterface::Test for: south 2 \n"},
    };
    std::string definition = "land flat\nsun map_01\n";
    for (const Soldier& soldier : soldiers)
        definition +=
            std::string("create actor ") + soldier.name + "\ntemplate ..\\actors\\" + soldier.definition + "\n";
    WriteFileBytes("mission/m1/mission.def", definition);
    // A mission without handlers, events or timed events still has their files: a missing one is an
    // error line of the AI log.
    for (const char* file : {"mission.hnd", "events.txt", "timeline.txt"})
        WriteFileBytes(std::string("mission/m1/") + file, "");
    PlatformTestClockStart(50000);
    ASSERT_EQ(GameInitMission("m1"), 0);
    ASSERT_EQ(g_ai.interfaceCount, 4u);  // the three soldiers and the player
    const SunEffect* sun = RenderGetSunEffect();
    ASSERT_NE(sun, nullptr);
    ASSERT_EQ(sun->elementCount, 3u);
    for (u32_t i = 0; i < sun->elementCount; ++i)
        EXPECT_NE(sun->elements[i].texture, nullptr) << i;
    for (const CameraPoseSettings& mode : g_cameraPoseSettings) {
        EXPECT_GT(mode.floatSway[0], 0.0f);
        EXPECT_GT(mode.floatSway[1], 0.0f);
    }
    const std::string compiled = ReadFileBytes("log.txt");
    size_t allOk = 0;
    for (size_t at = compiled.find("All OK\n"); at != std::string::npos; at = compiled.find("All OK\n", at + 1))
        ++allOk;
    EXPECT_EQ(allOk, 3u) << compiled;
    EXPECT_EQ(compiled.find("ERROR"), std::string::npos) << compiled;
    EXPECT_EQ(compiled.find("WARNING"), std::string::npos) << compiled;

    AIRestartAll();
    const std::string restarted = ReadFileBytes("log.txt");
    EXPECT_EQ(restarted.find("not found"), std::string::npos) << restarted;
    for (const Soldier& soldier : soldiers) {
        SCOPED_TRACE(soldier.name);
        auto* body = dynamic_cast<Actor*>(DynObjectFind(soldier.name));
        ASSERT_NE(body, nullptr);
        ASSERT_NE(body->ai, nullptr);
        EXPECT_STREQ(body->ai->scriptFile.Text(), soldier.profile);
        EXPECT_EQ(body->ai->entity->team, 2);  // the enemy side: "aiparam player_rel ENEMY"
        RuleSet* rules = body->ai->ruleSet;
        for (const char* name : {"hold_post", "walk_round"}) {
            ASSERT_NE(rules->rules.Find(name), nullptr) << name;
            EXPECT_EQ(rules->rules.Find(name)->enabled, std::strcmp(name, soldier.ownRule) == 0) << name;
        }
        EXPECT_TRUE(rules->rules.Find("shot_heard")->enabled);
        EXPECT_FALSE(rules->rules.Find("search")->enabled);
        EXPECT_FALSE(body->ai->entity->inAlert);
        EXPECT_NE(restarted.find(soldier.report), std::string::npos) << restarted;
    }

    // A shot fired among them: heard after each one's reaction time, at the next run of the rule.
    AIRaiseEventInRadius(2, {0.0f, 0.0f, 0.0f}, 150.0f, nullptr, nullptr);
    PlatformTestClockAdvance(1500);
    AIFrame();
    for (const Soldier& soldier : soldiers) {
        SCOPED_TRACE(soldier.name);
        AIInterface* ai = static_cast<Actor*>(DynObjectFind(soldier.name))->ai;
        EXPECT_TRUE(ai->entity->inAlert);
        EXPECT_TRUE(ai->ruleSet->rules.Find("search")->enabled);
    }
    GameExitToGui("-g");
    PlatformTestClockStop();
    for (CameraPoseSettings& mode : g_cameraPoseSettings)
        mode = CameraPoseSettings();
}

// The sample mission's files, every one of them read by the mission start without an error line on
// console 0 or in the AI log (a campaign of mode 1, where the player's squadmate stays): its
// "mission.env" binds the outpost's five soldiers, the squadmate and two crates to
// envelopes of their names, puts points at the gate and on the patrols' and defenders' places, a
// trigger box across the gate, the camp and the map's range as zones, the mission camera's envelope
// and three markers; "mission.zns" lists the soldiers in the camp; "mission.hnd" compiles with the
// envelopes bound, and the handlers do what the file says (the spare crate starts hidden until the
// supplies are used, which happens once); "mission.aig" makes the outpost's group with its radio and
// the player's; the patrols walk a loop and a to-and-fro path of the point envelopes; the event,
// its time and the mission script that waits for it are read.
// The console lines from the one given on and the engine log's text since a point: no error line,
// no warning.
void ExpectNoFaultLines(size_t console, const std::string& log)
{
    const std::vector<std::string> lines = engine_log::ConsoleLines(0);
    for (size_t i = console; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].find(ERROR_COLOUR), std::string::npos) << lines[i];
        for (const char* fault :
             {"ERROR", "Error", "Could not", "Invalid", "no such envelope", "POINT type expected", "Unknown"})
            EXPECT_EQ(lines[i].find(fault), std::string::npos) << lines[i];
    }
    std::istringstream logLines(log);
    std::string line;
    while (std::getline(logLines, line)) {
        for (const char* fault : {"WARNING", "Warning", "not found"})
            EXPECT_EQ(line.find(fault), std::string::npos) << line;
    }
}

// The single-player mode for one test; the old one comes back at the end.
struct SinglePlayerModeFor {
    s32_t saved = SinglePlayerMode();
    explicit SinglePlayerModeFor(s32_t mode) { SetSinglePlayerMode(mode); }
    ~SinglePlayerModeFor() { SetSinglePlayerMode(saved); }
};

// The sample packed into the working folder's archive, read with its own land and material scripts
// (not the fixture's stand-ins for its flat land), and its settings.
void UseTheSample()
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    std::filesystem::remove_all("script");
    ASSERT_TRUE(VFSInit());
    ASSERT_EQ(ConExecFile("config.def"), 0);
}

// Shots at every placed object of the sample that a bullet can strike, from four sides at the
// height of its middle, each hit handed to the impact decal as a flying bullet's hit is (the trace
// asks for the normal, the alpha map and the material): every surface a shot can strike has a
// material, so none is refused with the decal's error line. Returns the number of hits.
int ShootEveryPlacedObject()
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    auto bullet = std::make_unique<Projectile>();
    bullet->decalSize[0] = 0.2f;
    bullet->decalSize[1] = 0.6f;
    int hits = 0;
    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* object = objects[i];
        if (!object->IsCollidable() || object->name.Text()[0] == '\0')
            continue;
        float box[6];
        object->GetGeometryBounds(box);
        const Vector3 centre = {(box[0] + box[3]) * 0.5f, (box[1] + box[4]) * 0.5f, (box[2] + box[5]) * 0.5f};
        const float reach = std::max(box[3] - box[0], box[5] - box[2]) + 5.0f;
        for (const Vector3 direction : {Vector3{1, 0, 0}, Vector3{-1, 0, 0}, Vector3{0, 0, 1}, Vector3{0, 0, -1}}) {
            ObjectTraceBlock hit{};
            hit.objOptions = OBJTRACE_NORMAL | OBJTRACE_ALPHA | OBJTRACE_MATERIAL;
            hit.objAlphaThreshold = 0x80;
            const Vector3 origin = {centre.x - direction.x * reach, centre.y, centre.z - direction.z * reach};
            if (object->TraceRay(origin, direction, &hit) >= OBJTRACE_NO_HIT)
                continue;
            ++hits;
            EXPECT_NE(hit.objMaterial, nullptr)
                << object->name.Text() << ": node " << (hit.objHitNode ? hit.objHitNode->GetName() : "") << ", mesh "
                << hit.objMeshIndex << ", texture '" << hit.objTextureName << "'";
            bullet->flightDirection = direction;
            DecalCreateAtHit(hit.objHitPoint, &hit.objNormal, hit.objMaterial, bullet->DecalShotOf());
        }
    }
    return hits;
}

// A solo campaign (mode 0, a new soldier's) loads the sample as cleanly: its squadmate is taken out
// at the start, and his envelope with him.
TEST_F(MissionInit, ASoloCampaignLoadsTheSampleWithoutAnErrorOrAWarning)
{
    ASSERT_NO_FATAL_FAILURE(UseTheSample());
    const SinglePlayerModeFor modeZero(0);
    const size_t console = engine_log::ConsoleLines(0).size();
    PlatformTestClockStart(50000);
    const size_t engineLog = engine_log::LogSize();
    ASSERT_EQ(GameInitMission("map_01"), 0) << engine_log::LogFrom(engineLog);
    ExpectNoFaultLines(console, engine_log::LogFrom(engineLog));
    EXPECT_EQ(DynObjectFind("mate"), nullptr);
    EXPECT_EQ(EnvelopeFind("mate"), nullptr);
    EXPECT_NE(EnvelopeFind("guard"), nullptr);
    GameExitToGui("-g");
    PlatformTestClockStop();
}

TEST_F(MissionInit, TheSampleMissionLoadsEveryFileWithoutAnErrorAndBindsTheOutpost)
{
    ASSERT_NO_FATAL_FAILURE(UseTheSample());
    // A campaign of mode 1, which keeps the player's squadmate (mode 0 removes him before his
    // envelope looks for him).
    const SinglePlayerModeFor modeOne(1);
    // A player with a name, as every player has: the shots below strike his body too.
    KeepVar account(as_accname);
    as_accname.SetString("rookie");
    const size_t console = engine_log::ConsoleLines(0).size();
    PlatformTestClockStart(50000);
    const size_t engineLog = engine_log::LogSize();
    ASSERT_EQ(GameInitMission("map_01"), 0) << engine_log::LogFrom(engineLog);
    ASSERT_NE(DynObjectFind("rookie"), nullptr);
    const std::string log = ReadFileBytes("log.txt");
    EXPECT_NE(log.find("Compiling succesful !!!\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;
    EXPECT_EQ(log.find("Error"), std::string::npos) << log;
    // Not one line of the sample is refused or warned about: no error line on the console (the placed
    // rifle's model line included) and no warning in the engine's log; nor is a shot at any of its
    // placed objects.
    EXPECT_GT(ShootEveryPlacedObject(), 40);
    ExpectNoFaultLines(console, engine_log::LogFrom(engineLog));

    struct Bound {
        const char* envelope;
        const char* object;
        const char* handler;
        bool visible;  // after the mission start's OnInit
    };
    const Bound bound[] = {
        {"guard", "guard", "hSoldier", true},       {"guard_w", "guard_w", "hSoldier", true},
        {"guard_e", "guard_e", "hSoldier", true},   {"patrol_a", "patrol_a", "hSoldier", true},
        {"patrol_b", "patrol_b", "hSoldier", true}, {"supplies", "crate_a", "hSupplyCrate", true},
        {"spare", "crate_d", "hSpareCrate", false},
    };
    const size_t soldierCount = 5;
    for (const Bound& entry : bound) {
        SCOPED_TRACE(entry.envelope);
        auto* envelope = dynamic_cast<DOEnvelope*>(EnvelopeFind(entry.envelope));
        ASSERT_NE(envelope, nullptr);
        DynamicObject* object = DynObjectFind(entry.object);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(envelope->object, object);
        EXPECT_EQ(object->envelope, envelope);
        EXPECT_STREQ(envelope->handlerName.Text(), entry.handler);
        ASSERT_NE(envelope->handler, nullptr) << "bound to its own instance";
        EXPECT_EQ(envelope->visible != 0, entry.visible);
        EXPECT_EQ(envelope->parent, nullptr) << "parent root";
    }
    EXPECT_NE(EnvelopeFind("guard")->handler, EnvelopeFind("guard_w")->handler);
    // Every soldier is of the enemy side, so that a solo campaign's start keeps him, and compiled
    // his rule script.
    for (size_t i = 0; i < soldierCount; ++i) {
        SCOPED_TRACE(bound[i].object);
        auto* soldier = dynamic_cast<Actor*>(DynObjectFind(bound[i].object));
        ASSERT_NE(soldier, nullptr);
        ASSERT_NE(soldier->ai, nullptr);
        EXPECT_EQ(soldier->ai->entity->team, ACTOR_TEAM_ENEMY);
        EXPECT_NE(soldier->ai->ruleSet->rules.Find("shot_heard"), nullptr);
    }

    // The points: the gate, the patrols' corners and the defenders' places.
    struct Point {
        const char* name;
        float x, z;
    };
    const Point points[] = {{"gate", 12, 110},    {"huts_1", 40, 100},   {"huts_2", 75, 100}, {"huts_3", 75, 130},
                            {"huts_4", 40, 130},  {"fence_1", 52, 44},   {"fence_2", 68, 48}, {"fence_3", 86, 42},
                            {"hold_gate", 0, 78}, {"hold_huts", -5, 125}};
    for (const Point& point : points) {
        SCOPED_TRACE(point.name);
        Envelope* envelope = EnvelopeFind(point.name);
        ASSERT_NE(envelope, nullptr);
        EXPECT_EQ(envelope->kind, ENVELOPE_KIND_POINT);
        EXPECT_NEAR(envelope->GetPosition().x, point.x, 1e-4f);
        EXPECT_NEAR(envelope->GetPosition().z, point.z, 1e-4f);
    }
    EXPECT_NE(EnvelopeFind("gate")->handler, nullptr);
    auto* trigger = dynamic_cast<AABoxEnvenlope*>(EnvelopeFind("gate_trigger"));
    ASSERT_NE(trigger, nullptr);
    EXPECT_NE(trigger->handler, nullptr);
    // The trigger spans the gap in the fence (the road's middle, x 0, where the fence's line z 66
    // crosses it) from below the land to above a standing man; the gate guards' meeting place is
    // behind it, off the road.
    const Vector3 gate = EnvelopeFind("gate")->GetPosition();
    EXPECT_LT(trigger->minimum.x, 0.0f);
    EXPECT_GT(trigger->maximum.x, 0.0f);
    EXPECT_LT(trigger->minimum.z, 66.0f);
    EXPECT_GT(trigger->maximum.z, 66.0f);
    EXPECT_GT(gate.z, trigger->maximum.z);
    EXPECT_LT(trigger->minimum.y, gate.y);
    EXPECT_GT(trigger->maximum.y, gate.y + 20.0f);

    // The camera envelope is linked to the mission's camera both ways.
    auto* overview = dynamic_cast<CameraEnvelope*>(EnvelopeFind("overview"));
    ASSERT_NE(overview, nullptr);
    EXPECT_EQ(overview->GetCamera(), MissionCameraFind("cam1"));
    ASSERT_NE(MissionCameraFind("cam1"), nullptr);
    // The markers: the file's three (the last on the supply crate), then the default one.
    ASSERT_EQ(EnvelopeMarkerCount(), 4u);
    EXPECT_STREQ(EnvelopeMarkerGet(0)->name.Text(), "gate");
    EXPECT_EQ(EnvelopeMarkerGet(0)->word, 0xFF00FF00u);
    EXPECT_STREQ(EnvelopeMarkerGet(1)->name.Text(), "huts");
    EXPECT_EQ(EnvelopeMarkerGet(1)->word, 0xFFFFA000u);
    EXPECT_FLOAT_EQ(EnvelopeMarkerGet(1)->z, 130.0f);
    EXPECT_STREQ(EnvelopeMarkerGet(2)->name.Text(), "supplies");
    EXPECT_FLOAT_EQ(EnvelopeMarkerGet(2)->x, -14.0f);
    EXPECT_FLOAT_EQ(EnvelopeMarkerGet(2)->z, 0.0f);
    EXPECT_EQ(EnvelopeMarkerGet(3)->word, 0xFF80FF80u);

    // The map's range for the satellite view: the whole land of 1000 units.
    auto* range = dynamic_cast<ZoneEnvelope*>(EnvelopeFind("ZONERANGE"));
    ASSERT_NE(range, nullptr);
    EXPECT_TRUE(range->ContainsPoint(0, -499.0f, -499.0f));
    EXPECT_TRUE(range->ContainsPoint(0, 499.0f, 499.0f));
    EXPECT_FALSE(range->ContainsPoint(0, 501.0f, 0.0f));

    auto* camp = dynamic_cast<ZoneEnvelope*>(EnvelopeFind("camp"));
    ASSERT_NE(camp, nullptr);
    // The zone lies round the soldiers and the spare crate between the huts, in the objects' own
    // units; the supply crate lies by the road outside the camp.
    for (const Bound& entry : bound) {
        const Vector3 at = EnvelopeFind(entry.envelope)->GetPosition();
        EXPECT_EQ(camp->ContainsPoint(0, at.x, at.z), std::strcmp(entry.envelope, "supplies") != 0)
            << entry.object << " " << at.x << " " << at.z;
    }
    const EnvelopeObjectList* soldiers = camp->GetObjectList();
    ASSERT_NE(soldiers, nullptr);
    ASSERT_EQ(soldiers->Count(), soldierCount);
    for (u32_t i = 0; i < soldierCount; ++i)
        EXPECT_EQ(soldiers->At(i), DynObjectFind(bound[i].object)) << i;
    EXPECT_FALSE(camp->AllActorsDead());

    // The groups: the outpost's five with their radio, and the player's.
    AIGroup* outpost = AIFindGroup("outpost");
    ASSERT_NE(outpost, nullptr);
    EXPECT_EQ(outpost->radioReports, 1);
    ASSERT_EQ(outpost->memberCount, soldierCount);
    for (u32_t i = 0; i < soldierCount; ++i) {
        EXPECT_EQ(outpost->members[i], static_cast<Actor*>(DynObjectFind(bound[i].object))->ai) << i;
        EXPECT_EQ(outpost->members[i]->group, outpost) << i;
    }
    AIGroup* squad = AIFindGroup("squad");
    ASSERT_NE(squad, nullptr);
    EXPECT_EQ(squad->radioReports, 0);
    // The player's squadmate: of his side, in his group, his orders hung on hSoldier's OnInteract.
    auto* mate = dynamic_cast<Actor*>(DynObjectFind("mate"));
    ASSERT_NE(mate, nullptr);
    ASSERT_NE(mate->ai, nullptr);
    EXPECT_NE(mate->ai->entity->team, ACTOR_TEAM_ENEMY);
    EXPECT_EQ(mate->ai->group, squad);
    ASSERT_NE(mate->envelope, nullptr);
    EXPECT_STREQ(mate->envelope->handlerName.Text(), "hSoldier");

    // The patrols' paths, through the points in the file's order, and who walks them.
    struct Path {
        const char* name;
        s32_t mode;
        std::vector<const char*> points;
        const char* walker;
    };
    const Path paths[] = {
        {"huts", PATROL_MODE_LOOP, {"huts_1", "huts_2", "huts_3", "huts_4"}, "patrol_a"},
        {"fence", PATROL_MODE_PINGPONG, {"fence_1", "fence_2", "fence_3"}, "patrol_b"},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(path.name);
        PatrolPath* loaded = AIFindPatrolPath(path.name);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->mode, path.mode);
        ASSERT_EQ(loaded->pointCount, path.points.size());
        for (u32_t i = 0; i < loaded->pointCount; ++i)
            EXPECT_EQ(loaded->envelopes[i], EnvelopeFind(path.points[i])) << i;
        auto* walker = static_cast<Actor*>(DynObjectFind(path.walker));
        EXPECT_EQ(walker->GetAIEntity()->assignedPatrolPath, loaded);
        EXPECT_EQ(walker->GetAIEntity()->currentPatrolPath, loaded);
    }
    for (const char* name : {"guard", "guard_w", "guard_e"})
        EXPECT_EQ(static_cast<Actor*>(DynObjectFind(name))->GetAIEntity()->assignedPatrolPath, nullptr) << name;
    ASSERT_NE(AIFindDefendPoint("gate"), nullptr);
    EXPECT_EQ(AIFindDefendPoint("gate")->envelope, EnvelopeFind("hold_gate"));
    ASSERT_NE(AIFindDefendPoint("huts"), nullptr);
    EXPECT_EQ(AIFindDefendPoint("huts")->envelope, EnvelopeFind("hold_huts"));

    // The events, their times and the mission script waiting for them: one list run by the gate
    // guard's two flankers, who must both reach its "End", and the camera envelope's overview.
    ASSERT_NE(ScriptGlobalEventList(), nullptr);
    for (const char* event : {"Relief", "JeepView", "JeepViewEnd", "Overview", "OverviewEnd"})
        ASSERT_NE(ScriptGlobalEventList()->Find(event), nullptr) << event;
    ASSERT_NE(TimeEventList::Instance(), nullptr);
    EXPECT_EQ(TimeEventList::Instance()->Count(), 5);
    MSALCommandList* overviewList = MSALFindList("overview");
    ASSERT_NE(overviewList, nullptr);
    EXPECT_EQ(overviewList->runners.size(), 1u);
    MSALCommandList* relief = MSALFindList("relief");
    ASSERT_NE(relief, nullptr);
    ASSERT_EQ(relief->runners.size(), 2u);
    std::vector<s32_t> kinds;
    for (const MSALCommand* command = relief->first; command; command = command->next)
        kinds.push_back(command->kind);
    EXPECT_EQ(kinds, (std::vector<s32_t>{MSAL_WAIT_FOR_EVENT, MSAL_BEGIN, MSAL_METHOD, MSAL_END}));
    EXPECT_EQ(relief->first->event, ScriptGlobalEventList()->Find("Relief"));

    // Using the supplies brings out the spare crate and counts one use; once used they are disabled.
    Envelope* supplies = EnvelopeFind("supplies");
    Envelope* spare = EnvelopeFind("spare");
    supplies->FireEvent(nullptr, ENVELOPE_EVENT_ON_INTERACT);
    EXPECT_TRUE(spare->visible);
    EXPECT_TRUE(supplies->disabled);
    const ScriptValue* used = supplies->handler->GetMembers()->Find("used");
    ASSERT_NE(used, nullptr);
    EXPECT_EQ(*static_cast<const s32_t*>(used->data), 1);
    // The restart's OnInit hides the spare crate again and clears the count.
    EnvelopeResetAll();
    EXPECT_FALSE(spare->visible);
    EXPECT_FALSE(supplies->disabled);
    EXPECT_EQ(*static_cast<const s32_t*>(used->data), 0);

    GameExitToGui("-g");
    PlatformTestClockStop();
}

// The sample land's triangles carry no texture of their own: a shot (the projectile's trace asks for
// the land layer) and a footstep's look-down (the base layer without it) find the material of the land
// layer's texture, "ground" for both of the sample's layers, whose HIT effect is "impact_ground".
TEST_F(MissionInit, ATraceIntoTheSampleLandFindsTheGroundMaterial)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    std::filesystem::remove_all("script");
    ASSERT_TRUE(VFSInit());
    ASSERT_EQ(ConExecFile("config.def"), 0);
    ASSERT_EQ(GameInitMission("map_01"), 0);
    const Material* ground = MaterialFind("ground");
    ASSERT_NE(ground, nullptr);
    EXPECT_STREQ(ground->hit.effect, "impact_ground");
    const Vector3* bounds = nullptr;
    MapGetBounds(&bounds);
    struct Case {
        float x, z;
        u32_t flags;
    };
    const u32_t shot = TRACE_NORMAL | TRACE_TILED | TRACE_VEGLAYER | TRACE_FACESETS;
    for (const Case c : {Case{0.0f, 60.0f, shot}, Case{80.0f, -30.0f, shot}, Case{-60.0f, 40.0f, shot},
                         Case{0.0f, 60.0f, 0u}, Case{-60.0f, 40.0f, 0u}}) {
        SCOPED_TRACE(::testing::Message() << c.x << ", " << c.z << " flags " << c.flags);
        const float start[3] = {c.x, bounds[1].y + 10.0f, c.z};
        const float end[3] = {c.x, bounds[0].y - 10.0f, c.z};
        MapTraceInfo hit;
        hit.flags = c.flags;
        hit.ignoreObject = nullptr;
        hit.objOptions = 0;
        hit.vegetationLayer = -1;  // the trace sets it on every static hit
        hit.hitMapMesh = nullptr;
        hit.resultKind = TRACE_RESULT_NONE;
        ASSERT_TRUE(MapTrace(start, end, &hit));
        ASSERT_EQ(hit.hitMapMesh, nullptr) << "a land triangle";
        EXPECT_EQ(SurfaceMaterial(hit), ground);
        EXPECT_EQ(TraceHitMaterial(hit), ground);
    }
    // The player's footsteps trace 20 units down from the viewer: standing on the land they sound
    // of its ground.
    const float top[3] = {0.0f, bounds[1].y + 10.0f, 60.0f}, bottom[3] = {0.0f, bounds[0].y - 10.0f, 60.0f};
    MapTraceInfo land;
    land.flags = 0;
    land.ignoreObject = nullptr;
    land.objOptions = 0;
    ASSERT_TRUE(MapTrace(top, bottom, &land));
    const float viewer[3] = {0.0f, land.hitPoint.y + 5.0f, 60.0f};
    EXPECT_EQ(GameTraceSurfaceBelow(viewer, 20.0f), &ground->surface);
}

// A soldier's route goals stand on the ground of the loaded land, whatever height it was asked for.
TEST_F(MissionInit, RouteGoalsCarryTheGroundHeight)
{
    MapAuthorPlan plan = SmallFlatMission(7.0f);
    std::string error;
    ASSERT_TRUE(MapAuthorWrite(plan, ".", error)) << error;
    ASSERT_EQ(GameInitMission("m1"), 0);
    PathFollower follower;
    follower.PlanTo({100.0f, 50.0f, 100.0f}, {300.0f, 50.0f, 300.0f});
    Vector3 goal;
    follower.GetGoal(&goal);
    EXPECT_NEAR(goal.y, 7.0f, 0.01f);
    follower.NextWaypoint();
    follower.GetGoal(&goal);
    EXPECT_NEAR(goal.y, 7.0f, 0.01f);
}

// The loading screen of the mission load: each drawing notes the step's text and percent as the
// loading variables hold them.
class NotingScreen : public GuiScreen {
public:
    using GuiScreen::GuiScreen;
    void Draw(float, float, float, float) override
    {
        drawn.push_back(std::string(gs_maploadprogress.String()) + " " + std::to_string(gi_maploadprogress.Int()));
    }
    void Activate(GuiScreen* previous) override
    {
        ++entered;
        GuiScreen::Activate(previous);
    }
    std::vector<std::string> drawn;
    int entered = 0;
};

// What a step of the load or leave finds when it begins.
struct StepSeen {
    MissionRoad road;
    int step;
    bool mapLoaded;
    u32_t soldiers;  // AI interfaces, the player's among them
    bool player;
    bool obstacleTree;
    bool envelopes;
    bool restartInfo;    // the restart information taken
    bool codeCounting;   // a coded message's countdown left from before the load
    bool objectiveDone;  // an objective flag left from the mission
};
std::vector<StepSeen> g_stepsSeen;

void NoteStep(MissionRoad road, int step)
{
    g_stepsSeen.push_back({road, step, OctreeGetRoot() != nullptr, g_ai.interfaceCount, g_frameView.player != nullptr,
                           g_actors.obstacleTree != nullptr, g_ai.envelopes[0] != nullptr, g_restartInfo.valid,
                           g_codeCountdowns[1].active != 0, ObjectiveGet(2)});
}

const StepSeen* SeenAt(MissionRoad road, int step)
{
    for (const StepSeen& seen : g_stepsSeen) {
        if (seen.road == road && seen.step == step)
            return &seen;
    }
    return nullptr;
}

// The load runs its 28 steps and the leave its 9 in order; the loading screen shows the percentages
// 0, 5, 35, 45, 85, 87, 92, 95, (100 with shadows) and 100; the log frames both; each step finds
// what the steps before it made (the map from step 8, the soldiers from 11, the player from 12, the
// envelopes and obstacle tree from 14) and the leave frees the map in its step 4 and the AI layer
// in its step 8, last. The missing "events.txt" and "timeline.txt" are error lines, not failures.
TEST_F(MissionInit, TheLoadAndTheLeaveRunTheirStepsInOrder)
{
    WriteFileBytes("mission/m1/mission.def", "land flat\ncreate actor guard\naiparam player_rel ENEMY\n");
    WriteFileBytes("mission/m1/mission.env", "create point gate root 0 0 0 14\n");
    struct Case {
        bool shadows;
        std::vector<std::string> drawn;
    };
    const std::vector<std::string> before = {
        "Loading materials... 0",  "Loading land... 5",     "Loading ai... 35",
        "Loading objects... 45",   "Creating player... 85", "Loading connected objects... 87",
        "Loading ai groups... 92", "Loading events... 95",
    };
    std::vector<std::string> withShadows = before;
    withShadows.push_back("Preparing shadows... 100");
    withShadows.push_back("Entering map... 100");
    std::vector<std::string> withoutShadows = before;
    withoutShadows.push_back("Entering map... 100");
    const Case cases[] = {{false, withoutShadows}, {true, withShadows}};
    std::vector<int> loadSteps, leaveSteps;
    for (int step = 1; step <= 28; ++step)
        loadSteps.push_back(step);
    for (int step = 1; step <= 9; ++step)
        leaveSteps.push_back(step);

    KeepVar shadows(rbshadows);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shadows ? "shadows on" : "shadows off");
        rbshadows.SetBool(c.shadows);
        auto* screen = new NotingScreen("LOADSCREEN");
        GuiAddScreen(screen);
        // A menu screen, which the leave keeps (it frees the in-game screens loaded after the menus').
        g_gui.menuScreenCount = GuiScreenCount();
        g_stepsSeen.clear();
        GameSetTestHooks({-1, nullptr, nullptr, nullptr, NoteStep});
        const size_t log = engine_log::LogSize();
        const size_t console = engine_log::ConsoleLines(0).size();
        RestartInfoFree();
        g_codeCountdowns[1].active = 1;
        ASSERT_EQ(GameInitMission("m1"), 0);
        ASSERT_NE(ObjectiveComplete(2), nullptr);
        GameExitToGui("-g");
        GameSetTestHooks({});
        EXPECT_EQ(screen->drawn, c.drawn);
        GuiShutdown();
        g_gui.menuScreenCount = 0;

        std::vector<int> load, leave;
        for (const StepSeen& seen : g_stepsSeen)
            (seen.road == MISSION_LOAD ? load : leave).push_back(seen.step);
        EXPECT_EQ(load, loadSteps);
        EXPECT_EQ(leave, leaveSteps);
        ASSERT_EQ(g_stepsSeen.size(), 37u);
        EXPECT_FALSE(SeenAt(MISSION_LOAD, 8)->mapLoaded);
        EXPECT_TRUE(SeenAt(MISSION_LOAD, 9)->mapLoaded);
        EXPECT_EQ(SeenAt(MISSION_LOAD, 11)->soldiers, 0u);
        EXPECT_EQ(SeenAt(MISSION_LOAD, 12)->soldiers, 1u);
        EXPECT_FALSE(SeenAt(MISSION_LOAD, 12)->player);
        EXPECT_TRUE(SeenAt(MISSION_LOAD, 13)->player);
        EXPECT_EQ(SeenAt(MISSION_LOAD, 13)->soldiers, 2u);
        EXPECT_FALSE(SeenAt(MISSION_LOAD, 14)->envelopes);
        EXPECT_FALSE(SeenAt(MISSION_LOAD, 14)->obstacleTree);
        EXPECT_TRUE(SeenAt(MISSION_LOAD, 15)->envelopes);
        EXPECT_TRUE(SeenAt(MISSION_LOAD, 15)->obstacleTree);
        EXPECT_TRUE(SeenAt(MISSION_LEAVE, 4)->mapLoaded);
        EXPECT_FALSE(SeenAt(MISSION_LEAVE, 5)->mapLoaded);
        EXPECT_TRUE(SeenAt(MISSION_LEAVE, 5)->player);
        EXPECT_FALSE(SeenAt(MISSION_LEAVE, 6)->player);
        EXPECT_EQ(SeenAt(MISSION_LEAVE, 8)->soldiers, 2u);
        EXPECT_TRUE(SeenAt(MISSION_LEAVE, 8)->envelopes);
        EXPECT_EQ(SeenAt(MISSION_LEAVE, 9)->soldiers, 0u);
        EXPECT_FALSE(SeenAt(MISSION_LEAVE, 9)->envelopes);
        EXPECT_FALSE(SeenAt(MISSION_LEAVE, 9)->obstacleTree);
        // The restart information is written in load step 23, the coded messages are cleared in
        // step 17 and the objective flags in leave step 4.
        EXPECT_FALSE(SeenAt(MISSION_LOAD, 23)->restartInfo);
        EXPECT_TRUE(SeenAt(MISSION_LOAD, 24)->restartInfo);
        EXPECT_TRUE(SeenAt(MISSION_LOAD, 17)->codeCounting);
        EXPECT_FALSE(SeenAt(MISSION_LOAD, 18)->codeCounting);
        EXPECT_TRUE(SeenAt(MISSION_LEAVE, 4)->objectiveDone);
        EXPECT_FALSE(SeenAt(MISSION_LEAVE, 5)->objectiveDone);

        const std::string text = engine_log::LogFrom(log);
        const size_t start = text.find("\nInitializing mission 'm1'...");
        const size_t done = text.find("done\n", start);
        const size_t leaving = text.find("Leaving mission 'm1'...", done);
        const size_t left = text.find("done\n\n", leaving);
        EXPECT_NE(start, std::string::npos) << text;
        EXPECT_NE(done, std::string::npos) << text;
        EXPECT_NE(leaving, std::string::npos) << text;
        EXPECT_NE(left, std::string::npos) << text;
        const std::vector<std::string> lines = engine_log::ConsoleLines(0);
        std::string printed;
        for (size_t i = console; i < lines.size(); ++i)
            printed += lines[i];
        EXPECT_NE(printed.find("\x0E\x02"
                               "Error loading events 'mission\\m1\\events.txt'!"),
                  std::string::npos)
            << printed;
        EXPECT_NE(printed.find("\x0E\x02"
                               "Error loading timeline 'mission\\m1\\timeline.txt'!"),
                  std::string::npos)
            << printed;
        EXPECT_NE(printed.find("Textures: "), std::string::npos) << printed;
    }
}

// A game mode that keeps running under its own screens loads behind the screen its load-screen name
// gives; without one, or under a mode that uses the game's screens, the load shows "LOADSCREEN".
TEST_F(MissionInit, AGameModeWithItsOwnScreensShowsItsLoadingScreen)
{
    WriteFileBytes("mission/m1/mission.def", "land flat\n");
    struct Case {
        const char* what;
        bool mode;
        u8_t ownScreens;
    };
    const Case cases[] = {{"no game mode", false, 0}, {"the game's screens", true, 0}, {"its own screens", true, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* classic = new NotingScreen("LOADSCREEN");
        auto* own = new NotingScreen("MODLOAD");
        GuiAddScreen(classic);
        GuiAddScreen(own);
        g_gui.menuScreenCount = GuiScreenCount();
        if (c.mode) {
            GameMod* mod = BeginGameModRegistration();
            ASSERT_NE(mod, nullptr);
            std::snprintf(mod->name, sizeof mod->name, "loadtest");
            std::snprintf(mod->loadScreen, sizeof mod->loadScreen, "MODLOAD");
            mod->ownScreens = c.ownScreens;
            EndGameModRegistration();
            g_frameView.currentGameMod = mod;
        }
        ASSERT_EQ(GameInitMission("m1"), 0);
        g_frameView.currentGameMod = nullptr;
        GameExitToGui("-g");
        const bool ownShown = c.mode && c.ownScreens;
        EXPECT_EQ(own->drawn.empty(), !ownShown);
        EXPECT_EQ(classic->drawn.empty(), ownShown);
        EXPECT_EQ(own->entered, ownShown ? 1 : 0) << "the loading screen is entered once";
        EXPECT_EQ(classic->entered, ownShown ? 0 : 1);
        GuiShutdown();
        g_gui.menuScreenCount = 0;
        GameModRegistryFree();
    }
}

// A campaign of index 0 removes every soldier who is a friend of the player (the player stays), but
// not in the map "tutorial"; a campaign of index 1 keeps them. An enemy always stays. The envelope
// of a soldier removed so goes without an error; one for an object that never was is reported.
TEST_F(MissionInit, ACampaignOfIndexZeroRemovesTheFriendlySoldiers)
{
    struct Case {
        const char* mission;
        s32_t campaign;
        bool friendsStay;
    };
    const Case cases[] = {{"m1", 0, false}, {"Tutorial", 0, true}, {"m1", 1, true}};
    const s32_t campaign = SinglePlayerMode();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mission << " campaign " << c.campaign);
        SetSinglePlayerMode(c.campaign);
        WriteFileBytes(std::string("mission/") + c.mission + "/mission.def",
                       "land flat\ncreate actor mate\ncreate actor foe\naiparam player_rel ENEMY\n"
                       "create actor buddy\naiparam player_rel FRIEND\n");
        WriteFileBytes(std::string("mission/") + c.mission + "/mission.env",
                       "create dobj mate mate root\ncreate dobj ghost ghost root\n");
        const size_t console = engine_log::ConsoleLines(0).size();
        ASSERT_EQ(GameInitMission(c.mission), 0);
        std::string printed;
        const std::vector<std::string> lines = engine_log::ConsoleLines(0);
        for (size_t i = console; i < lines.size(); ++i)
            printed += lines[i];
        EXPECT_EQ(printed.find("Could not find object 'mate'"), std::string::npos) << printed;
        EXPECT_NE(printed.find("Could not find object 'ghost' for envelope 'ghost'!"), std::string::npos) << printed;
        EXPECT_EQ(EnvelopeFind("mate") != nullptr, c.friendsStay);
        ASSERT_NE(g_frameView.player, nullptr);
        EXPECT_EQ(DynObjectFind(g_frameView.player->name.Text()), g_frameView.player);
        EXPECT_NE(DynObjectFind("foe"), nullptr);
        EXPECT_EQ(DynObjectFind("mate") != nullptr, c.friendsStay);
        EXPECT_EQ(DynObjectFind("buddy") != nullptr, c.friendsStay);
        EXPECT_EQ(g_ai.interfaceCount, c.friendsStay ? 4u : 2u);
        GameExitToGui("-g");
    }
    SetSinglePlayerMode(campaign);
}

// The viewer stands 17 units above the ground at the start position, given in map units of 10; the
// player and the satellite view's centre start there. Without a "ZONERANGE" envelope the satellite
// view's range is 5000 units round the origin; with one it is the envelope's extent.
TEST_F(MissionInit, TheViewerStartsAboveTheGroundAtTheStartPositionTheSatelliteRangeIsSetAndTheMarkersShow)
{
    MapAuthorPlan plan = SmallFlatMission(7.0f);
    std::string error;
    ASSERT_TRUE(MapAuthorWrite(plan, ".", error)) << error;
    KeepVar start(gv_startpos);
    struct Case {
        const char* startPosition;
        float x, z;
        const char* envelopes;  // "mission.env"
        float minX, minZ, maxX, maxZ;
    };
    const Case cases[] = {
        {"(0,0,0)", 0.0f, 0.0f, "", -5000.0f, -5000.0f, 5000.0f, 5000.0f},
        {"(2,90,-3)", 20.0f, -30.0f, "", -5000.0f, -5000.0f, 5000.0f, 5000.0f},
        {"(0,0,0)", 0.0f, 0.0f, "create zone ZONERANGE root 0 4 -100 -200 0 300 -200 0 300 400 0 -100 400 0\n", -100.0f,
         -200.0f, 300.0f, 400.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.startPosition << " " << c.envelopes);
        gv_startpos.SetFromText(c.startPosition);
        WriteFileBytes("mission/m1/mission.env", c.envelopes);
        DefFileFreeAll();                        // the envelope file is read anew
        g_hudInput.flags.worldMarkersShown = 0;  // hidden by the last mission's navigation key
        ASSERT_EQ(GameInitMission("m1"), 0);
        EXPECT_EQ(g_hudInput.flags.worldMarkersShown, 1) << "the navigation display is on at the start";
        const float* viewer = GameGetViewPos();
        EXPECT_FLOAT_EQ(viewer[0], c.x);
        EXPECT_FLOAT_EQ(viewer[1], 7.0f + 17.0f);
        EXPECT_FLOAT_EQ(viewer[2], c.z);
        const float* player = GameGetPlayerPos();
        EXPECT_FLOAT_EQ(player[0], c.x);
        EXPECT_FLOAT_EQ(player[1], 24.0f);
        EXPECT_FLOAT_EQ(player[2], c.z);
        EXPECT_FLOAT_EQ(g_satelliteView.centreX, c.x);
        EXPECT_FLOAT_EQ(g_satelliteView.centreZ, c.z);
        EXPECT_FLOAT_EQ(g_satelliteView.minX, c.minX);
        EXPECT_FLOAT_EQ(g_satelliteView.minZ, c.minZ);
        EXPECT_FLOAT_EQ(g_satelliteView.maxX, c.maxX);
        EXPECT_FLOAT_EQ(g_satelliteView.maxZ, c.maxZ);
        GameExitToGui("-g");
    }
}

// Started from the menus (no "-m"), the load ends waiting for a key: a key held through the wait ends
// it at once, and the key, the mouse buttons and the action tables are cleared, so that the key does
// nothing in the first frame.
TEST_F(MissionInit, AKeyHeldThroughTheKeyWaitEndsItAndIsForgotten)
{
    constexpr int kSpace = 0x39;
    auto* screen = new NotingScreen("LOADSCREEN");
    GuiAddScreen(screen);
    g_program.startOptions.directStart = 0;
    KeyDown(kSpace);
    MouseButtonDown(1);
    g_input.actionDown[ACTION_JUMP] = 1;
    g_input.actionReleased[ACTION_FIRE] = 1;
    g_input.actionPrevious[ACTION_JUMP] = 1;
    ASSERT_EQ(GameInitMission("m1"), 0);
    ASSERT_FALSE(screen->drawn.empty());
    EXPECT_EQ(screen->drawn.back(), "Press any key to continue... 100");
    for (int code = 0; code < 256; ++code) {
        EXPECT_EQ(g_input.keyStates[code], 0) << code;
        EXPECT_EQ(g_input.actionDown[code], 0) << code;
        EXPECT_EQ(g_input.actionReleased[code], 0) << code;
        EXPECT_EQ(g_input.actionPrevious[code], 0) << code;
    }
    for (u8_t button : g_input.mouseStates)
        EXPECT_EQ(button, 0);
    // The next poll finds nothing pressed.
    InputUpdate();
    EXPECT_EQ(g_input.keyStates[kSpace], 0);
    KeyUp(kSpace);
    MouseButtonUp(1);
    GuiShutdown();
}

// What the player sees of the timeline: however long the loading screen waited for a key (here
// 10 s), an event due at 3 s fires 3 s after the main loop began, as the start-up restarts the
// mission clock when it enters the loop; not in the first frame.
void WaitTenSecondsForTheKey(MissionRoad road, int step)
{
    if (road == MISSION_LOAD && step == 28)
        PlatformTestClockAdvance(10000);
}

TEST_F(MissionInit, TimedEventsCountFromTheFirstFrameNotFromTheLoad)
{
    WriteFileBytes("mission/m1/events.txt", "Event Alarm { }\n");
    WriteFileBytes("mission/m1/timeline.txt", "TimeEvent { StartTime 3000 Times 1 Event Alarm }\n");
    PlatformTestClockStart(50000);
    GameSetTestHooks({-1, nullptr, nullptr, nullptr, WaitTenSecondsForTheKey});
    ASSERT_EQ(GameInitMission("m1"), 0);
    GameSetTestHooks({});
    ScriptEvent* alarm = ScriptGlobalEventList()->Find("Alarm");
    ASSERT_NE(alarm, nullptr);
    // The start-up's clock at the main loop (core/winos.cpp), then frames of 100 ms.
    g_game.frameClock = GetTickCount();
    int firedAt = 0;
    for (int frame = 1; frame <= 40 && !firedAt; ++frame) {
        PlatformTestClockAdvance(100);
        GameUpdateFrame(false);
        if (alarm->fired)
            firedAt = frame;
    }
    EXPECT_EQ(firedAt, 30);
    GameExitToGui("-g");
    PlatformTestClockStop();
}

// A start with "-m" and "-a" naming no account that exists: nobody is logged in, the player is
// named after the name asked for, and the load does not reach for an account's mission record.
TEST_F(MissionInit, WithoutACurrentAccountThePlayerIsNamedAfterTheAccountAskedFor)
{
    ASSERT_EQ(GetCurrentAccount(), nullptr);
    KeepVar account(as_accname);
    as_accname.SetString("nobody_here");
    ASSERT_EQ(GameInitMission("m1"), 0);
    ASSERT_NE(g_frameView.player, nullptr);
    EXPECT_STREQ(g_frameView.player->name.Text(), "nobody_here");
    EXPECT_EQ(DynObjectFind("nobody_here"), g_frameView.player);
}

// The player's body: "actors\player_common" and one template per filled weapon variable, told its
// body node and mount node ("$0", "$1"; the template here keeps them in the weapon's "torso" and
// "legs" names). A weapon other than the primary reads its
// own definition first: a "pin_inactive" value becomes the mount node, and one whose second
// character is "t" hangs from "torso". The Tesk team's actor comes with "gbteskenable" and the
// previous one goes when it is off.
TEST_F(MissionInit, ThePlayerIsAssembledWithItsWeaponsAndTheTeskActorFollowsItsSwitch)
{
    WriteFileBytes("object/actors/player_common.def", "infoname common_body\n");
    WriteFileBytes("object/actors/tesk_common.def", "infoname tesk_body\n");
    const char* const weaponLines = "torso $0\nlegs $1\n";
    for (const char* weapon : {"longgun", "sidearm_t", "sidearm_l", "sidearm_none"}) {
        std::string definition = std::string("weapon ") + weapon + "\n" + weaponLines;
        if (std::strcmp(weapon, "sidearm_t") == 0 || std::strcmp(weapon, "longgun") == 0)
            definition += "pin_inactive xtorso_b01\n";
        if (std::strcmp(weapon, "sidearm_l") == 0)
            definition += "pin_inactive xleg_r02\n";
        WriteFileBytes(std::string("object/weapons/") + weapon + ".def", definition);
    }
    struct Case {
        const char* what;
        ConsoleVar* variable;
        const char* weapon;  // null: every weapon variable empty
        const char* node;
        const char* mountNode;
    };
    const Case cases[] = {
        {"no weapons", nullptr, nullptr, nullptr, nullptr},
        {"a primary keeps its row", &gs_curprimaryweapon, "longgun", "torso", "xhand_r"},
        {"pinned to the torso", &gs_cursecondaryweapon, "sidearm_t", "torso", "xtorso_b01"},
        {"pinned to the legs", &gs_cursecondaryweapon, "sidearm_l", "legs", "xleg_r02"},
        {"without a pin", &gs_cursecondaryweapon, "sidearm_none", "legs", "xleg_r02"},
        {"a grenade without a pin", &gs_grenadeweapon, "sidearm_none", "legs", "xtorso_b01"},
    };
    ConsoleVar* const variables[] = {&gs_curprimaryweapon, &gs_cursecondaryweapon, &gs_curexplosiveweapon,
                                     &gs_curexpdevicesweapon, &gs_grenadeweapon};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (ConsoleVar* variable : variables)
            variable->SetString("");
        if (c.variable)
            c.variable->SetString(c.weapon);
        ASSERT_EQ(GameInitMission("m1"), 0);
        auto* player = dynamic_cast<Actor*>(g_frameView.player);
        ASSERT_NE(player, nullptr);
        EXPECT_STREQ(player->infoName.Text(), "common_body");
        ASSERT_EQ(player->weaponCount, c.weapon ? 1 : 0);
        if (c.weapon) {
            const Weapon* weapon = player->weapons[0];
            EXPECT_STREQ(weapon->name.Text(), c.weapon);
            EXPECT_STREQ(weapon->torsoName.Text(), c.node);
            EXPECT_STREQ(weapon->legsName.Text(), c.mountNode);
        }
        GameExitToGui("-g");
    }

    // Two assemblies in one mission: the Tesk team's actor made with the switch on goes with it off.
    KeepVar tesk(gbteskenable);
    gbteskenable.SetBool(true);
    ASSERT_EQ(GameInitMission("m1"), 0);
    DynamicObject* first = GameTeskActor();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(DynObjectFind("tesk"), first);
    EXPECT_STREQ(first->infoName.Text(), "tesk_body");
    const u32_t withTesk = g_ai.interfaceCount;
    gbteskenable.SetBool(false);
    GameCreateTeskActor();
    EXPECT_EQ(GameTeskActor(), nullptr);
    EXPECT_EQ(DynObjectFind("tesk"), nullptr);
    EXPECT_EQ(g_ai.interfaceCount, withTesk - 1);
    // A second player replaces the first in the world and in the AI table.
    s32_t before = 0, after = 0;
    DynObjectsGet(nullptr, &before);
    GameAssemblePlayer();
    DynObjectsGet(nullptr, &after);
    EXPECT_EQ(after, before);
    EXPECT_EQ(g_ai.interfaceCount, withTesk - 1);
    ASSERT_NE(g_frameView.player, nullptr);
    EXPECT_EQ(DynObjectFind(g_frameView.player->name.Text()), g_frameView.player);

    // A full world table refuses the player and the Tesk team's actor with the table's check: neither
    // is kept outside the world, and their soldiers' AI goes with them.
    GameDeleteWorldObject(g_frameView.player);
    g_frameView.player = nullptr;
    std::vector<std::unique_ptr<DynamicObject>> filler;
    while (g_map.objectCount < DYN_MAX_OBJECTS) {
        filler.push_back(std::make_unique<DynamicObject>());
        ASSERT_TRUE(DynObjectAdd(filler.back().get()));
    }
    const u32_t interfaces = g_ai.interfaceCount;
    const size_t log = engine_log::LogSize();
    GameAssemblePlayer();
    gbteskenable.SetBool(true);
    GameCreateTeskActor();
    EXPECT_EQ(g_frameView.player, nullptr);
    EXPECT_EQ(GameTeskActor(), nullptr);
    EXPECT_EQ(g_ai.interfaceCount, interfaces);
    const std::string text = engine_log::LogFrom(log);
    const size_t refused = text.find("dyn_objects_c < DYN_MAX_OBJECTS\n");
    ASSERT_NE(refused, std::string::npos) << text;
    EXPECT_NE(text.find("dyn_objects_c < DYN_MAX_OBJECTS\n", refused + 1), std::string::npos) << text;
    for (auto& object : filler)
        DynObjectRemove(object.get());
}

// Two missions, one after the other, in one process (the sanitizer build runs this suite): the land's
// crate is textured from the land's own folder, and its texture, which outlives the first mission,
// takes its material from the table of the mission in force rather than from the one freed at leaving.
class MissionInitRobustness : public MissionInit {};

TEST_F(MissionInitRobustness, TwoMissionsInOneProcess)
{
    MapAuthorPlan plan = SmallFlatMission(0.0f);
    const float low[3] = {-5, -5, -5}, high[3] = {5, 5, 5};
    plan.meshes.push_back(MapAuthorBox("col_crate", "crate", low, high));
    std::string error;
    ASSERT_TRUE(MapAuthorWrite(plan, ".", error)) << error;
    ASSERT_TRUE(texture_test::WriteTga("component/land/flat/crate.tga", 4, 4, 0xFF806040u));
    WriteFileBytes("script/detect.scr", "<MATERIALS>\n  assign crate ground;\n</MATERIALS>\n");
    for (int mission = 0; mission < 2; ++mission) {
        SCOPED_TRACE(mission);
        const size_t log = engine_log::LogSize();
        ASSERT_EQ(GameInitMission("m1"), 0);
        ASSERT_EQ(g_map.meshCount, 1u);
        IDirect3DTexture8* crate = g_map.meshes[0]->texture;
        ASSERT_NE(crate, nullptr) << engine_log::LogFrom(log);
        EXPECT_EQ(TextureGetMaterial(crate), MaterialFind("ground"));
        GameExitToGui("-g");
        // A texture kept past the mission has no material until the next table is loaded.
        if (TextureFindSlot(crate) >= 0) {
            EXPECT_EQ(TextureGetMaterial(crate), nullptr);
        }
    }
}

// The sample mission loaded, left and loaded again in one process: each load makes its soldiers'
// AI, envelopes, handlers, script classes and world objects, and each leave lets every one of them
// go (the sanitizer build runs without leak detection, so the counts stand in for it).
TEST_F(MissionInitRobustness, LoadLeaveLoadLeavesNothingOfTheMissionBehind)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    std::filesystem::remove_all("script");
    ASSERT_TRUE(VFSInit());
    PlatformTestClockStart(50000);
    // As the program has it: each loaded map starts the views' frame state afresh.
    MapSetLoadedHook(RenderResetFrameState);
    for (int mission = 0; mission < 2; ++mission) {
        SCOPED_TRACE(mission);
        ASSERT_EQ(GameInitMission("map_01"), 0);
        EXPECT_GT(g_ai.interfaceCount, 1u);
        EXPECT_NE(EnvelopeFind("gate"), nullptr);
        ASSERT_NE(HandlerList(), nullptr);
        EXPECT_GT(HandlerList()->Count(), 0);
        EXPECT_GT(ScriptClassRegistry::Count(), 0);
        s32_t objects = 0;
        DynObjectsGet(nullptr, &objects);
        EXPECT_GT(objects, 0);
        GameUpdateFrame(false);

        GameExitToGui("-g");
        EXPECT_EQ(g_ai.interfaceCount, 0u);
        u32_t envelopes = 0;
        for (Envelope* envelope : g_ai.envelopes)
            envelopes += envelope ? 1u : 0u;
        EXPECT_EQ(envelopes, 0u);
        EXPECT_TRUE(HandlerList() == nullptr || HandlerList()->Count() == 0);
        EXPECT_EQ(ScriptClassRegistry::Count(), 0);
        DynObjectsGet(nullptr, &objects);
        EXPECT_EQ(objects, 0);
        EXPECT_EQ(ActorTableCount(), 0u);
        EXPECT_EQ(g_frameView.player, nullptr);
        EXPECT_EQ(GameTeskActor(), nullptr);
        // The player's weapons went with him: the first-person view keeps none of them.
        EXPECT_EQ(g_firstPersonView.previousWeapon, nullptr);
        EXPECT_EQ(g_firstPersonView.lastChosen, nullptr);
    }
    MapSetLoadedHook(nullptr);
    PlatformTestClockStop();
}

}  // namespace
