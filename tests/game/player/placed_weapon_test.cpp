// The sample mission's placed rifle: its object line hangs the model on a node the weapon lacks,
// which records a placement; the mission start replaces it with a dynamic weapon at the same place
// (taken in hand by a carrier soldier and dropped) and lets the carrier go. The world's objects, the
// actors and the AI table are counted just before that step and once the mission runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/event_handlers.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/frame_view.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "core/winos.h"
#include "game/accounts/account_cvars.h"
#include "game/mission/game_flow.h"
#include "game/game_state.h"
#include "game/game_test_hooks.h"
#include "game/player/object_use.h"
#include "game/mission_objects/weapon_placements.h"
#include "map/registry/world_registry.h"
#include "platform/test_clock.h"
#include "render/device/render_device.h"
#include "scene/draw_records/draw_lists.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "support/test_window.h"
#include "tests/game/player/sample_placed_weapon.h"
#include "tests/game/use_click.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace {

struct Census {
    s32_t objects = 0;
    u32_t actors = 0;
    u32_t interfaces = 0;
};

Census Count()
{
    Census census;
    DynObjectsGet(nullptr, &census.objects);
    census.actors = ActorTableCount();
    census.interfaces = g_ai.interfaceCount;
    return census;
}

Actor* PlayerActorForTest()
{
    return dynamic_cast<Actor*>(g_frameView.player);
}

std::vector<DynamicObject*> WorldObjects()
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    return std::vector<DynamicObject*>(objects, objects + count);
}

// Before the placements are replaced (the step that does it begins) and after (the next step begins).
struct Seen {
    bool taken = false;
    Census census;
    std::vector<WeaponPlacement> placements;
    std::vector<DynamicObject*> world;
    std::vector<Actor*> previousOwners;  // of the world's weapons, in the world's order
};
Seen g_before, g_after;

void Look(MissionRoad road, int step)
{
    if (road != MISSION_LOAD || (step != 14 && step != 15))
        return;
    Seen& seen = step == 14 ? g_before : g_after;
    seen.taken = true;

    seen.census = Count();
    seen.world = WorldObjects();
    for (DynamicObject* object : seen.world) {
        auto* weapon = dynamic_cast<Weapon*>(object);
        seen.previousOwners.push_back(weapon ? weapon->previousOwner : nullptr);
    }
    for (u32_t i = 0; i < GameWeaponPlacementCount(); ++i)
        seen.placements.push_back(*GameWeaponPlacementAt(i));
}

class PlacedWeapon : public ::testing::Test {
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
        m_directStart = g_program.startOptions.directStart;
        g_program.startOptions.directStart = 1;
        g_before = Seen();
        g_after = Seen();
    }
    void TearDown() override
    {
        GameExitToGui("-g");
        GameSetTestHooks({});
        PlatformTestClockStop();
        g_program.startOptions.directStart = m_directStart;
        RenderShutdown(true);
        DefFileFreeAll();
        DestroyScriptCache();
        ConShutdown();
        VFSShutdown();
        m_folder.reset();
        g_before = Seen();
        g_after = Seen();
    }

    std::unique_ptr<TempDir> m_folder;
    TestWindow m_window;
    u8_t m_directStart = 0;
};

TEST_F(PlacedWeapon, TheSampleMissionsPlacedRifleBecomesADynamicWeaponAndTheCarrierGoes)
{
    std::string error;
    // The rifle lying behind the start: its model line names the hand node of a soldier, which a
    // weapon lacks, so the line records a placement.
    SamplePlacedWeapon rifle;
    ASSERT_TRUE(rifle.Read());
    const Vector3 kPlace = rifle.position, kTurn = rifle.rotation;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    ASSERT_TRUE(VFSInit());
    PlatformTestClockStart(50000);
    FindCVar("gs_curprimaryweapon")->SetFromText("");
    FindCVar("gs_grenadeweapon")->SetFromText("");
    GameSetTestHooks({-1, nullptr, nullptr, nullptr, Look});
    ASSERT_EQ(GameInitMission("map_01"), 0);
    ASSERT_TRUE(g_before.taken && g_after.taken);

    // The object line recorded one placement: the rifle's hand-held definition, where the lines put it.
    ASSERT_EQ(g_before.placements.size(), 1u);
    const WeaponPlacement& placement = g_before.placements[0];
    EXPECT_STREQ(placement.name.Text(), "carried_rifle");
    EXPECT_EQ(rifle.name, "carried_rifle");
    EXPECT_NEAR(placement.position.x, kPlace.x, 1e-4f);
    EXPECT_NEAR(placement.position.y, kPlace.y, 1e-4f);
    EXPECT_NEAR(placement.position.z, kPlace.z, 1e-4f);
    EXPECT_NEAR(placement.rotation.y, kTurn.y, 1e-4f);
    DynamicObject* placed = placement.object;
    ASSERT_NE(placed, nullptr);
    EXPECT_NE(std::find(g_before.world.begin(), g_before.world.end(), placed), g_before.world.end());

    // Replaced: the list is empty, the placed object left the world, and one new weapon lies there.
    EXPECT_EQ(GameWeaponPlacementCount(), 0u);
    EXPECT_TRUE(g_after.placements.empty());
    EXPECT_EQ(std::find(g_after.world.begin(), g_after.world.end(), placed), g_after.world.end());
    std::vector<Weapon*> made;
    for (DynamicObject* object : g_after.world)
        if (std::find(g_before.world.begin(), g_before.world.end(), object) == g_before.world.end())
            if (auto* weapon = dynamic_cast<Weapon*>(object))
                made.push_back(weapon);
    ASSERT_EQ(made.size(), 1u);
    const Vector3 at = made[0]->GetPosition(), turn = made[0]->GetRotation();
    EXPECT_NEAR(at.x, kPlace.x, 1e-3f);
    EXPECT_NEAR(at.y, kPlace.y, 1e-3f);
    EXPECT_NEAR(at.z, kPlace.z, 1e-3f);
    EXPECT_NEAR(turn.y, kTurn.y, 1e-4f);
    EXPECT_FALSE(made[0]->CastsShadow());
    // It lies there for anyone: the carrier that dropped it is deleted, and a weapon that still named
    // it as its last owner would be handed back to whatever the restart record finds at that address
    // (the player, when his body takes the carrier's memory).
    const size_t index = size_t(std::find(g_after.world.begin(), g_after.world.end(), made[0]) - g_after.world.begin());
    EXPECT_EQ(g_after.previousOwners[index], nullptr);
    EXPECT_EQ(made[0]->owner, nullptr);
    EXPECT_EQ(made[0]->previousOwner, nullptr);
    const std::vector<DynamicObject*> running = WorldObjects();
    EXPECT_NE(std::find(running.begin(), running.end(), made[0]), running.end());
    ASSERT_NE(PlayerActorForTest(), nullptr);
    EXPECT_EQ(PlayerActorForTest()->weaponCount, 0);

    // No carrier stays: as many objects as before (one weapon for the other), no more actors, no
    // more AI interfaces, and no actor of the carrier's name.
    EXPECT_EQ(g_after.census.objects, g_before.census.objects);
    EXPECT_EQ(g_after.census.actors, g_before.census.actors);
    EXPECT_EQ(g_after.census.interfaces, g_before.census.interfaces);
    for (DynamicObject* object : g_after.world)
        if (dynamic_cast<Actor*>(object) && object != g_frameView.player) {
            EXPECT_STRNE(object->name.Text(), as_accname.String());
        }

    // The player's use click on it (the used envelope as the handlers' event object, its OnInteract
    // with the player's envelope as sender): the sample's "weapon_dynamic" hands it to him.
    ASSERT_NE(made[0]->envelope, nullptr);
    HandlerSetEventObject(made[0]->envelope);
    made[0]->envelope->FireEvent(PlayerActorForTest()->envelope, kEventOnInteract);
    EXPECT_EQ(made[0]->owner, PlayerActorForTest());
    EXPECT_EQ(PlayerActorForTest()->weaponCount, 1);
}

// The use click on the rifle lying there, as the frame makes it: its "weapon_dynamic" hands it to the
// player and so takes its envelope away while that envelope's own event runs. The frame's use step
// must not reach the envelope after, and neither may the handlers' "this".
TEST_F(PlacedWeapon, TheUseClickOnThePlacedRifleHandsItToThePlayer)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    ASSERT_TRUE(VFSInit());
    PlatformTestClockStart(50000);
    FindCVar("gs_curprimaryweapon")->SetFromText("");
    FindCVar("gs_grenadeweapon")->SetFromText("");
    ASSERT_EQ(GameInitMission("map_01"), 0);
    Actor* player = PlayerActorForTest();
    ASSERT_NE(player, nullptr);
    Weapon* rifle = nullptr;
    for (DynamicObject* object : WorldObjects())
        if (auto* weapon = dynamic_cast<Weapon*>(object); weapon && weapon->envelope && !weapon->owner)
            rifle = weapon;
    ASSERT_NE(rifle, nullptr);
    ASSERT_EQ(player->weaponCount, 0);

    UseClickOn(rifle->envelope);
    EXPECT_EQ(rifle->owner, player);
    EXPECT_EQ(player->weaponCount, 1);
    EXPECT_EQ(rifle->envelope, nullptr);
    EXPECT_EQ(HandlerEventObject(), nullptr);
    const std::vector<DynamicObject*> world = WorldObjects();
    EXPECT_EQ(std::find(world.begin(), world.end(), rifle), world.end());
    for (const Envelope* envelope : g_ai.envelopes)
        if (envelope && envelope->kind == ENVELOPE_KIND_OBJECT) {
            EXPECT_NE(static_cast<const DOEnvelope*>(envelope)->object, rifle);
        }
}

}  // namespace
