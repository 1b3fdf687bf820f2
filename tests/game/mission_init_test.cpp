// Mission start and exit on maps made with the map authoring tool: the land named by the mission's
// definition is loaded with the material table, and leaving frees both.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "actors/actor.h"
#include "actors/actor_class.h"
#include "actors/actor_state.h"
#include "actors/ai_entity.h"
#include "actors/obstacle_tree.h"
#include "actors/projectile.h"
#include "actors/weapon.h"
#include "ai/ai_events.h"
#include "ai/ai_groups.h"
#include "ai/ai_interface.h"
#include "ai/ai_runtime.h"
#include "ai/ai_state.h"
#include "ai/camera_envelope.h"
#include "ai/defend_points.h"
#include "ai/envelope.h"
#include "ai/envelope_markers.h"
#include "ai/envelope_table.h"
#include "ai/event_handlers.h"
#include "ai/mission_cameras.h"
#include "ai/msal_reader.h"
#include "ai/path_follower.h"
#include "ai/patrol_path.h"
#include "ai/rules.h"
#include "ai/script_events.h"
#include "ai/shape_envelopes.h"
#include "ai/time_events.h"
#include "ai/zone_envelope.h"
#include "core/actions.h"
#include "core/console.h"
#include "core/input.h"
#include "core/def_file.h"
#include "core/script_file.h"
#include "core/vfs.h"
#include "game/camera_pose_settings.h"
#include "game/external_camera.h"
#include "game/game_flow.h"
#include "game/object_factory.h"
#include "game/object_list.h"
#include "game/player_view.h"
#include "map/actor_lists.h"
#include "map/map_caches.h"
#include "map/map_load.h"
#include "map/map_mesh.h"
#include "map/map_state.h"
#include "map/material_table.h"
#include "map/octree.h"
#include "map/world_registry.h"
#include "platform/test_clock.h"
#include "render/camera.h"
#include "render/render_device.h"
#include "render/texture_manager.h"
#include "scene/draw_lists.h"
#include "render/texture_preload.h"
#include "scene/decal_list.h"
#include "scene/scene_cvars.h"
#include "scene/sun_effect.h"
#include "scene/vegetation.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/keep_var.h"
#include "support/temp_dir.h"
#include "support/test_window.h"
#include "tests/render/texture_test_support.h"
#include "tools/bfs_pack/bfs_pack.h"
#include "tools/map_author/map_author.h"
#include "world/clustered_mesh.h"
#include "world/decal.h"
#include "world/dynamic_object.h"
#include "world/wires.h"

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
    }
    void TearDown() override
    {
        GameExitToGui("");
        RenderShutdown(true);
        DefFileFreeAll();
        DestroyScriptCache();
        ConShutdown();
        VFSShutdown();
        m_folder.reset();
    }

    std::unique_ptr<TempDir> m_folder;
    TestWindow m_window;
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
        GameExitToGui("");
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
    GameExitToGui("");
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
                   "land flat\ncreate structure hut\npos root 1 0 2\ncreate actor guard\ncreate structure shed\n");
    WriteFileBytes("mission/m1/mission.ctr", "cluster village\nadd hut\nadd shed\n");
    ASSERT_EQ(GameInitMission("m1"), 0);
    DynamicObject* hut = DynObjectFind("hut");
    ASSERT_NE(hut, nullptr);
    EXPECT_EQ(hut->GetPosition().z, 20.0f);
    EXPECT_NE(DynObjectFind("shed"), nullptr);
    EXPECT_EQ(ActorTableCount(), 1u);
    EXPECT_NE(DynObjectFind("guard"), nullptr);
    EXPECT_EQ(g_ai.interfaceCount, 1u);
    EXPECT_EQ(GameGetCurrentObject(), DynObjectFind("shed"));
    ASSERT_NE(ClusteredObjGroups(), nullptr);
    // With shadows off the objects have no companions until a frame finds shadows switched on.
    EXPECT_EQ(hut->shadowVolume, nullptr);
    rbshadows.SetBool(true);
    GameUpdateFrame(false);
    EXPECT_NE(hut->shadowVolume, nullptr);

    GameExitToGui("");
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
    WriteFileBytes("mission/m1/mission.def", "land flat\ncreate structure hut\npos root 1 0 2\ncreate actor guard\n");
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
    GameExitToGui("");
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
                   "land flat\ncreate actor guard\ntemplate ..\\actors\\soldier\n"
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
        GameExitToGui("");
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
    ASSERT_EQ(g_ai.interfaceCount, 3u);
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
    GameExitToGui("");
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
    // A mission without handlers still has its handler file: a missing one is a compile error.
    WriteFileBytes("mission/m1/mission.hnd", "");
    PlatformTestClockStart(50000);
    ASSERT_EQ(GameInitMission("m1"), 0);
    ASSERT_EQ(g_ai.interfaceCount, 3u);
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
    GameExitToGui("");
    PlatformTestClockStop();
    for (CameraPoseSettings& mode : g_cameraPoseSettings)
        mode = CameraPoseSettings();
}

// The sample mission's files, every one of them read by the mission start without an error line on
// console 0 or in the AI log: its "mission.env" binds the outpost's five soldiers and two crates to
// envelopes of their names, puts points at the gate and on the patrols' and defenders' places, a
// trigger box across the gate, the camp and the map's range as zones, the mission camera's envelope
// and two markers; "mission.zns" lists the soldiers in the camp; "mission.hnd" compiles with the
// envelopes bound, and the handlers do what the file says (the spare crate starts hidden until the
// supplies are used, which happens once); "mission.aig" makes the outpost's group with its radio and
// the player's; the patrols walk a loop and a to-and-fro path of the point envelopes; the event,
// its time and the mission script that waits for it are read.
TEST_F(MissionInit, TheSampleMissionLoadsEveryFileWithoutAnErrorAndBindsTheOutpost)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    // The sample's own land and material scripts, not the fixture's stand-ins for its flat land.
    std::filesystem::remove_all("script");
    ASSERT_TRUE(VFSInit());
    ASSERT_EQ(ConExecFile("config.def"), 0);
    const size_t console = engine_log::ConsoleLines(0).size();
    PlatformTestClockStart(50000);
    const size_t engineLog = engine_log::LogSize();
    ASSERT_EQ(GameInitMission("map_01"), 0) << engine_log::LogFrom(engineLog);
    const std::string log = ReadFileBytes("log.txt");
    EXPECT_NE(log.find("Compiling succesful !!!\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;
    EXPECT_EQ(log.find("Error"), std::string::npos) << log;
    const std::vector<std::string> lines = engine_log::ConsoleLines(0);
    for (size_t i = console; i < lines.size(); ++i) {
        for (const char* fault :
             {"ERROR", "Error", "Could not", "Invalid", "no such envelope", "POINT type expected", "Unknown"})
            EXPECT_EQ(lines[i].find(fault), std::string::npos) << lines[i];
    }

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
    const Point points[] = {{"gate", 0, 66},      {"huts_1", -30, 110},  {"huts_2", 15, 105}, {"huts_3", 20, 140},
                            {"huts_4", -15, 138}, {"fence_1", -60, 50},  {"fence_2", 0, 50},  {"fence_3", 60, 50},
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
    // The trigger spans the gap in the fence (the gate point inside it) from below the land to
    // above a standing man.
    const Vector3 gate = EnvelopeFind("gate")->GetPosition();
    EXPECT_LT(trigger->minimum.x, gate.x);
    EXPECT_GT(trigger->maximum.x, gate.x);
    EXPECT_LT(trigger->minimum.z, gate.z);
    EXPECT_GT(trigger->maximum.z, gate.z);
    EXPECT_LT(trigger->minimum.y, gate.y);
    EXPECT_GT(trigger->maximum.y, gate.y + 20.0f);

    // The camera envelope is linked to the mission's camera both ways.
    auto* overview = dynamic_cast<CameraEnvelope*>(EnvelopeFind("overview"));
    ASSERT_NE(overview, nullptr);
    EXPECT_EQ(overview->GetCamera(), MissionCameraFind("cam1"));
    ASSERT_NE(MissionCameraFind("cam1"), nullptr);
    // The markers: the file's two, then the default one.
    ASSERT_EQ(EnvelopeMarkerCount(), 3u);
    EXPECT_STREQ(EnvelopeMarkerGet(0)->name.Text(), "gate");
    EXPECT_EQ(EnvelopeMarkerGet(0)->word, 0xFF00FF00u);
    EXPECT_STREQ(EnvelopeMarkerGet(1)->name.Text(), "huts");
    EXPECT_EQ(EnvelopeMarkerGet(1)->word, 0xFFFFA000u);
    EXPECT_FLOAT_EQ(EnvelopeMarkerGet(1)->z, 130.0f);
    EXPECT_EQ(EnvelopeMarkerGet(2)->word, 0xFF80FF80u);

    // The map's range for the satellite view: the whole land of 1000 units.
    auto* range = dynamic_cast<ZoneEnvelope*>(EnvelopeFind("ZONERANGE"));
    ASSERT_NE(range, nullptr);
    EXPECT_TRUE(range->ContainsPoint(0, -499.0f, -499.0f));
    EXPECT_TRUE(range->ContainsPoint(0, 499.0f, 499.0f));
    EXPECT_FALSE(range->ContainsPoint(0, 501.0f, 0.0f));

    auto* camp = dynamic_cast<ZoneEnvelope*>(EnvelopeFind("camp"));
    ASSERT_NE(camp, nullptr);
    // The zone lies round every bound object, in the objects' own units.
    for (const Bound& entry : bound) {
        const Vector3 at = EnvelopeFind(entry.envelope)->GetPosition();
        EXPECT_TRUE(camp->ContainsPoint(0, at.x, at.z)) << entry.object << " " << at.x << " " << at.z;
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

    // The event, its time and the mission script waiting for it: one list run by the gate guard's
    // two flankers, who must both reach its "End".
    // Until the mission start reads them itself (and its leave frees them), the test does both.
    struct FreedHere {
        bool loaded = false;
        ~FreedHere()
        {
            if (!loaded)
                return;
            MSALUnloadMission();
            TimeEventList::Destroy();
            ScriptDestroyEventList();
        }
    } freed;
    if (!ScriptGlobalEventList()) {
        freed.loaded = true;
        ScriptCreateEventList();
        EXPECT_TRUE(ScriptLoadEventFile("mission\\map_01\\events.txt"));
        TimeEventList::Create();
        EXPECT_TRUE(TimeEventList::Load("mission\\map_01\\timeline.txt"));
        MSALLoadMission("mission\\map_01");
        const std::vector<std::string> more = engine_log::ConsoleLines(0);
        for (size_t i = console; i < more.size(); ++i)
            EXPECT_EQ(more[i].find("rror"), std::string::npos) << more[i];
    }
    ASSERT_NE(ScriptGlobalEventList(), nullptr);
    ASSERT_NE(ScriptGlobalEventList()->Find("Relief"), nullptr);
    ASSERT_NE(TimeEventList::Instance(), nullptr);
    EXPECT_EQ(TimeEventList::Instance()->Count(), 1);
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

    GameExitToGui("");
    PlatformTestClockStop();
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
        GameExitToGui("");
        // A texture kept past the mission has no material until the next table is loaded.
        if (TextureFindSlot(crate) >= 0) {
            EXPECT_EQ(TextureGetMaterial(crate), nullptr);
        }
    }
}

}  // namespace
