// The restart on a flat land with two sample soldiers and the sample jeep: carried items, same-named
// weapons, the jeep that drove away, shots in flight; and a savegame read back from the account file
// that must leave the jeep where it was and able to drive.
#include <gtest/gtest.h>

#include <cmath>

#include "actors/actor.h"
#include "actors/weapons/projectile.h"
#include "actors/weapons/weapon.h"
#include "game/accounts/account_file.h"
#include "game/accounts/player_account.h"
#include "game/accounts/restart_info.h"
#include "game/accounts/saved_objects.h"
#include "game/accounts/savegame.h"
#include "tests/actors/vehicles/vehicle_test_support.h"

namespace {

class RestartWorld : public vehicle_test::FlatLandFixture {
protected:
    void SetUp() override
    {
        FlatLandFixture::SetUp();
        m_alpha = Soldier({0.0f, 0.0f, 0.0f}, "alpha");
        m_bravo = Soldier({20.0f, 0.0f, 0.0f}, "bravo");
        m_alphaRifle = m_alpha->WeaponInHand();
        m_bravoRifle = m_bravo->WeaponInHand();
        ASSERT_NE(m_alphaRifle, nullptr);
        ASSERT_NE(m_bravoRifle, nullptr);
        // Alpha carries two more items and has the pistol in hand.
        m_alpha->TakeItem(Item("pistol", WEAPON_SLOT_SECONDARY));
        m_alpha->TakeItem(Item("charge", WEAPON_SLOT_EXPLOSIVE));
        ASSERT_EQ(m_alpha->weaponCount, 3);
        ASSERT_TRUE(m_alpha->SelectWeaponKind(WEAPON_SLOT_SECONDARY));
        for (int slot = 0; slot < kActorWeaponSlots; ++slot)
            m_alphaSlots[slot] = m_alpha->weapons[slot];
        m_jeep = Jeep({50.0f, 0.0f, 50.0f});
        ASSERT_TRUE(DynObjectAdd(m_jeep));
        m_jeep->Update();
    }
    void TearDown() override
    {
        RestartInfoFree();
        RemoveAllProjectiles();
        DynObjectRemove(m_jeep);
        delete m_jeep;
        FlatLandFixture::TearDown();
    }
    Weapon* Item(const char* itemName, u32_t kind)
    {
        Weapon* weapon = new Weapon;
        weapon->name.Assign(itemName);
        weapon->slotType = kind;
        weapon->magazineCap = weapon->magazineCapFull = 10;
        weapon->magazineCountFull = 2;
        weapon->FillMagazines();
        EXPECT_TRUE(DynObjectAdd(weapon));
        return weapon;
    }
    void Snapshot()
    {
        g_game.savingRestart = true;
        RestartInfoSave();
        g_game.savingRestart = false;
    }
    // Play: alpha throws everything away with empty magazines, both rifles lie swapped, the jeep
    // drives off and turns, a shot is in flight.
    void Play()
    {
        for (int slot = 0; slot < kActorWeaponSlots; ++slot) {
            if (Weapon* weapon = m_alpha->weapons[slot]) {
                for (u32_t i = 0; i < weapon->RingSize(); ++i)
                    *weapon->magazines[i] = 0;
            }
        }
        while (m_alpha->weaponCount)
            ASSERT_NE(m_alpha->DropItem(1), nullptr);
        m_bravo->DropItem(1);
        m_bravo->TakeItem(m_alphaRifle);
        m_jeep->SetPosition({150.0f, 0.0f, 80.0f});
        m_jeep->SetSpeed(12.0f);
        m_jeep->SetRotation({0.0f, 1.0f, 0.0f});
        Projectile* shot = m_alphaRifle->SpawnProjectile();
        ASSERT_NE(shot, nullptr);
        ASSERT_TRUE(DynObjectAdd(shot));
    }
    static s32_t ProjectilesInWorld()
    {
        DynamicObject** all = nullptr;
        s32_t count = 0, shots = 0;
        DynObjectsGet(&all, &count);
        for (s32_t i = 0; i < count; ++i)
            shots += all[i]->GetTypeId() == OBJECT_TYPE_PROJECTILE ? 1 : 0;
        return shots;
    }

    Actor* m_alpha = nullptr;
    Actor* m_bravo = nullptr;
    Weapon* m_alphaRifle = nullptr;
    Weapon* m_bravoRifle = nullptr;
    Weapon* m_alphaSlots[kActorWeaponSlots] = {};
    Vehicle* m_jeep = nullptr;
};

TEST_F(RestartWorld, EveryoneHasHisOwnItemsBackFullInTheSameSlots)
{
    Snapshot();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        Play();
        g_game.savingRestart = true;
        ASSERT_EQ(RestartInfoLoad(), 1);
        g_game.savingRestart = false;
        // Slot 0 holds a rifle (either of the two), the others the very items they held.
        for (int slot = 1; slot < kActorWeaponSlots; ++slot)
            EXPECT_EQ(m_alpha->weapons[slot], m_alphaSlots[slot]) << "slot " << slot;
        EXPECT_EQ(m_alpha->WeaponInHand()->slotType, static_cast<u32_t>(WEAPON_SLOT_SECONDARY));
        for (int slot = 0; slot < kActorWeaponSlots; ++slot) {
            const Weapon* weapon = m_alpha->weapons[slot];
            for (u32_t i = 0; weapon && i < weapon->RingSize(); ++i)
                EXPECT_EQ(*weapon->magazines[i], weapon->magazineCap) << weapon->name.Text() << " magazine " << i;
        }
        // The two rifles of one name went to the two records in order, each once: one rifle each.
        ASSERT_NE(m_alpha->weapons[0], nullptr);
        EXPECT_STREQ(m_alpha->weapons[0]->name.Text(), "rifle");
        EXPECT_EQ(m_bravo->weaponCount, 1);
        EXPECT_NE(m_bravo->WeaponInHand(), m_alpha->weapons[0]);
        EXPECT_EQ(m_alphaRifle->owner == m_alpha, m_bravoRifle->owner == m_bravo) << "each rifle has one holder";
        EXPECT_EQ(ProjectilesInWorld(), 0);
        // The jeep is back, at rest, in the rotation it had before the restart.
        EXPECT_EQ(m_jeep->GetPosition().x, 50.0f);
        EXPECT_EQ(m_jeep->GetPosition().z, 50.0f);
        EXPECT_EQ(m_jeep->GetSpeed(), 0.0f);
        EXPECT_EQ(m_jeep->GetRotation().y, 1.0f);
        EXPECT_EQ(m_jeep->firstUpdatePending, 1);
    }
}

TEST_F(RestartWorld, AJeepFromTheAccountFileStaysWhereItWasAndDrives)
{
    Savegame savegame;
    SavegameWrite(savegame);
    PlayerAccount account;
    account.name.Assign("k");
    account.GetMissionSavegames("m").AddSavegame(savegame);
    std::vector<u8_t> bytes;
    AccountWriteRecord(account, bytes);
    PlayerAccount read;
    ASSERT_TRUE(AccountReadRecord(read, bytes.data(), static_cast<u32_t>(bytes.size())));
    const Savegame& fromFile = read.modes[0].savegames[0].savegames[0];

    const Vector3 wheel = m_jeep->GetContactPoint0();
    m_jeep->SetPosition({150.0f, 0.0f, 80.0f});
    EXPECT_TRUE(SavegameApply(fromFile));
    EXPECT_EQ(m_jeep->GetPosition().x, 50.0f);
    EXPECT_EQ(m_jeep->GetPosition().z, 50.0f);
    // An area of zeros would have put the wheels' contact points at the origin.
    EXPECT_GT(std::fabs(m_jeep->GetContactPoint0().x), 10.0f);
    EXPECT_NEAR(m_jeep->GetContactPoint0().z, wheel.z, 100.0f);
    // And it drives: a few frames of throttle move it.
    g_frameView.player = m_alpha;
    m_alpha->TakeItem(m_jeep);
    ASSERT_EQ(g_game.playerVehicle, m_jeep);
    const Vector3 before = m_jeep->GetPosition();
    for (int frame = 0; frame < 20; ++frame) {
        PlatformTestClockAdvance(20);
        m_jeep->ControlForward();
        m_jeep->Update();
    }
    const Vector3 after = m_jeep->GetPosition();
    EXPECT_GT(std::hypot(after.x - before.x, after.z - before.z), 0.5f);
    EXPECT_TRUE(std::isfinite(after.x) && std::isfinite(after.y) && std::isfinite(after.z));
    m_alpha->LeaveVehicle();
}

}  // namespace
