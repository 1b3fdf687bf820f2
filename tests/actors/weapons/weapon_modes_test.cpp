// Sub-weapons and fire modes with the clock pinned, ammunition shared under "common_stats", and a
// mounted weapon's first update.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "core/console/console.h"
#include "platform/test_clock.h"
#include "tests/actors/weapons/weapon_test_support.h"
#include "world/nodes/graph_node.h"
#include "world/objects/saved_object_state.h"

namespace {

using weapon_test::ApplyLine;

class WeaponModes : public weapon_test::WeaponFixture {
protected:
    void SetUp() override
    {
        WeaponFixture::SetUp();
        PlatformTestClockStart(100000);
    }
    void TearDown() override
    {
        PlatformTestClockStop();
        WeaponFixture::TearDown();
    }
};

TEST_F(WeaponModes, NextFireModeSwitchesOncePer300Milliseconds)
{
    Weapon weapon;
    ASSERT_TRUE(ApplyLine(weapon, "mode SEMI AUTO BURST"));
    weapon.NextFireMode();
    EXPECT_EQ(weapon.fireMode, kFireModeAuto);
    PlatformTestClockAdvance(299);
    weapon.NextFireMode();
    EXPECT_EQ(weapon.fireMode, kFireModeAuto);
    PlatformTestClockAdvance(2);
    weapon.NextFireMode();
    EXPECT_EQ(weapon.fireMode, kFireModeBurst);
    PlatformTestClockAdvance(301);
    weapon.NextFireMode();
    EXPECT_EQ(weapon.fireMode, kFireModeSingle);

    // SetFireMode takes only a listed mode; one mode never changes.
    weapon.SetFireMode(0x40);
    EXPECT_EQ(weapon.fireMode, kFireModeSingle);
    EXPECT_TRUE(weapon.HasFireMode(kFireModeBurst));
    weapon.SetFireMode(kFireModeBurst);
    EXPECT_EQ(weapon.fireMode, kFireModeBurst);
    Weapon single;
    ASSERT_TRUE(ApplyLine(single, "mode SEMI"));
    PlatformTestClockAdvance(1000);
    single.NextFireMode();
    EXPECT_EQ(single.fireMode, kFireModeSingle);
}

TEST_F(WeaponModes, SubWeaponSelectionCyclesAndMarksTheSwitch)
{
    Weapon weapon;
    Weapon* sub = new Weapon;
    ASSERT_TRUE(weapon.AddSubWeapon(sub));
    // One sub-weapon: weapon, sub-weapon, weapon.
    EXPECT_EQ(weapon.currentWeapon, &weapon);
    weapon.NextSubWeapon();
    EXPECT_EQ(weapon.currentWeapon, sub);
    EXPECT_TRUE(weapon.IsSwitchPending());
    weapon.ClearSwitchPending();
    weapon.NextSubWeapon();
    EXPECT_EQ(weapon.currentWeapon, &weapon);
    EXPECT_TRUE(sub->IsSwitchPending());

    // Below 0 counts as 0; past the end changes nothing.
    Weapon* second = new Weapon;
    ASSERT_TRUE(weapon.AddSubWeapon(second));
    weapon.SelectSubWeapon(-3);
    EXPECT_EQ(weapon.currentWeapon, sub);
    weapon.SelectSubWeapon(9);
    EXPECT_EQ(weapon.currentWeapon, sub);
    weapon.SelectSubWeapon(1);
    EXPECT_EQ(weapon.currentWeapon, second);
    // Two sub-weapons: the last is reached only by selection; from it the cycle returns home.
    weapon.NextSubWeapon();
    EXPECT_EQ(weapon.currentWeapon, &weapon);
    weapon.NextSubWeapon();
    EXPECT_EQ(weapon.currentWeapon, sub);
    weapon.NextSubWeapon();
    EXPECT_EQ(weapon.currentWeapon, &weapon);

    // Without sub-weapons nothing happens.
    Weapon plain;
    plain.NextSubWeapon();
    plain.SelectSubWeapon(0);
    EXPECT_EQ(plain.currentWeapon, &plain);
    EXPECT_FALSE(plain.IsSwitchPending());
}

TEST_F(WeaponModes, SubWeaponCountStopsAt128)
{
    Weapon weapon;
    for (u32_t i = 0; i < WEAPON_MAX_SUBWEAPONS; ++i)
        ASSERT_TRUE(weapon.AddSubWeapon(new Weapon));
    Weapon* extra = new Weapon;
    EXPECT_FALSE(weapon.AddSubWeapon(extra));
    delete extra;
    EXPECT_EQ(weapon.subWeaponCount, WEAPON_MAX_SUBWEAPONS);
    EXPECT_EQ(weapon.GetSubWeapon(127)->subWeaponIndex, 127);
    // The key refuses the 129th with a warning and still succeeds.
    const size_t log = actor_test::LogSize();
    EXPECT_TRUE(ApplyLine(weapon, "subweapon grenade"));
    EXPECT_EQ(weapon.subWeaponCount, WEAPON_MAX_SUBWEAPONS);
    EXPECT_EQ(weapon_test::LogCount(log, "more than 128 sub-weapons"), 1);
}

TEST_F(WeaponModes, CommonStatsShareTheRingAndTheModes)
{
    Weapon* weapon = new Weapon;
    for (const char* line : {"common_stats 1", "magazinecap 30", "magazinecount 2", "mode SEMI AUTO", "fpm 500"})
        ASSERT_TRUE(ApplyLine(*weapon, line));
    ASSERT_TRUE(ApplyLine(*weapon, "subweapon grenade"));
    Weapon* sub = weapon->GetSubWeapon(0);
    // Taken over at the "subweapon" line, then the sub-weapon's own file overrides what it names.
    EXPECT_TRUE(sub->commonStats);
    EXPECT_EQ(sub->fpmFirst, 500.0f);
    EXPECT_EQ(sub->magazineCap, 1);
    weapon->FillMagazines();
    EXPECT_EQ(sub->magazines, weapon->magazines);
    EXPECT_EQ(sub->RingSize(), 3u);
    sub->SetMagazineRounds(1, 7);
    EXPECT_EQ(weapon->GetMagazineRounds(1), 7);
    // Filled again: the sub-weapons take the new ring.
    weapon->FillMagazines();
    EXPECT_EQ(sub->magazines, weapon->magazines);

    // The mode follows across the weapon and its sub-weapons.
    weapon->SelectSubWeapon(0);
    weapon->currentWeapon->fireMode = kFireModeSingle;
    weapon->NextFireMode();
    EXPECT_EQ(sub->fireMode, kFireModeAuto);
    EXPECT_EQ(weapon->fireMode, kFireModeAuto);
    weapon->ClearSwitchPending();
    EXPECT_FALSE(sub->IsSwitchPending());

    // A saved record loads into both.
    SavedObjectState state;
    weapon->roundsInGun = 11;
    weapon->spareMagazines = 1;
    weapon->SaveState(&state);
    weapon->roundsInGun = 0;
    weapon->LoadState(&state);
    EXPECT_EQ(sub->roundsInGun, 11);
    EXPECT_EQ(sub->spareMagazines, 1);
    // The ring is freed once, by the weapon (ASan reports a second free).
    delete weapon;
}

TEST_F(WeaponModes, MountedWeaponSetsUpOnceAndFollowsItsMount)
{
    GraphObj carrier;
    GraphNode* mount = new GraphNode("turret");
    mount->SetParent(carrier.GetRootNode());
    carrier.GetRootNode()->AddChild(mount);
    mount->SetPosition({1.0f, 2.0f, 3.0f});
    carrier.SetPosition({100.0f, 0.0f, 0.0f});

    Weapon* weapon = new Weapon;
    weapon->name.Assign("turret_fixed");
    weapon->mountNode = mount;
    DynObjectAdd(weapon);
    ConStartup();
    weapon->Update();
    const char* warning = "\x0E\x02Warning: handler 'weapon_fixed' not found, fixed weapons will be unusable!\n";
    EXPECT_STREQ(ConLines(0)[ConLineCapacity(0) - 1], warning);
    ConClear(0);
    ASSERT_NE(weapon->envelope, nullptr);
    EXPECT_STREQ(weapon->envelope->name.Text(), "turret_fixed");
    EXPECT_TRUE(weapon->mountSetUp);
    EXPECT_FALSE(weapon->drawn);
    ASSERT_NE(weapon->fireNode[0], nullptr);
    EXPECT_EQ(weapon->fireNode[0], weapon->fireNode[1]);
    EXPECT_STREQ(weapon->fireNode[0]->GetName(), "turret");
    EXPECT_EQ(weapon->fireNode[0]->traceExcluded, 1);
    // The muzzle: the mount's own position carried by its world transform.
    Vector3 at = weapon->GetPosition();
    EXPECT_FLOAT_EQ(at.x, 102.0f);
    EXPECT_FLOAT_EQ(at.y, 4.0f);

    // Later updates only follow the mount; the warning is not repeated.
    carrier.SetPosition({0.0f, 50.0f, 0.0f});
    weapon->Update();
    at = weapon->GetPosition();
    EXPECT_FLOAT_EQ(at.x, 2.0f);
    EXPECT_FLOAT_EQ(at.y, 54.0f);
    EXPECT_EQ(ConLines(0)[ConLineCapacity(0) - 1], nullptr);
    ConShutdown();

    // With the handler loaded it is bound and counted.
    EventHandlerListAdd(new EventHandler("weapon_fixed"));
    Weapon* second = new Weapon;
    second->mountNode = mount;
    DynObjectAdd(second);
    second->Update();
    ASSERT_NE(second->envelope, nullptr);
    EXPECT_EQ(second->envelope->handler, EventHandlerFind("weapon_fixed"));
    EXPECT_EQ(EventHandlerFind("weapon_fixed")->references, 1u) << "a new template has no users";
    EXPECT_EQ(EventHandlerFind("Weapon_Fixed"), nullptr);

    // FindWeaponByName: any case, the whole name only.
    EXPECT_EQ(FindWeaponByName("TURRET_FIXED"), weapon);
    EXPECT_EQ(FindWeaponByName("turret"), nullptr);

    // Each mount's envelope is the weapon's own: it leaves the envelope table with the weapon.
    for (Weapon* mounted : {weapon, second}) {
        const Envelope* own = mounted->envelope;
        const auto inTable = [own]() {
            return std::find(std::begin(g_ai.envelopes), std::end(g_ai.envelopes), own) != std::end(g_ai.envelopes);
        };
        EXPECT_TRUE(inTable());
        DynObjectRemove(mounted);
        delete mounted;
        EXPECT_FALSE(inTable());
    }
}

}  // namespace
