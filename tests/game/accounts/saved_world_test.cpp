// The restart snapshot and savegames on a small world: the sample soldier with his rifle.
#include <gtest/gtest.h>

#include "game/accounts/account_file.h"
#include "game/game_state.h"
#include "game/accounts/player_account.h"
#include "actors/weapons/projectile.h"
#include "game/accounts/restart_info.h"
#include "game/accounts/saved_objects.h"
#include "game/accounts/savegame.h"
#include "ai/envelopes/envelope.h"
#include "map/meshes/map_object.h"
#include "map/registry/world_registry.h"
#include "game/player/player_weapon_fixture.h"

using namespace player_weapon_test;

namespace {

class SavedWorld : public PlayerWeaponFrames {
protected:
    void SetUp() override
    {
        PlayerWeaponFrames::SetUp();
        m_soldier->name.Assign("guard");
        m_soldier->SetPosition({10.0f, 0.0f, 20.0f});
        ASSERT_TRUE(DynObjectAdd(m_soldier));
        m_rifle->FillMagazines();
        m_fullRounds = Unit()->roundsInGun;
        ASSERT_GT(m_fullRounds, 0);
    }
    void TearDown() override
    {
        RestartInfoFree();
        // A rifle left lying in the world goes back to the soldier, who owns it.
        if (m_soldier->WeaponInHand() != m_rifle)
            m_soldier->TakeItem(m_rifle);
        DynObjectRemove(m_soldier);
        PlayerWeaponFrames::TearDown();
    }
    // What play does to the world: the soldier walks off, empties his rifle and drops it.
    void Disturb()
    {
        Unit()->roundsInGun = 0;
        m_soldier->SetPosition({90.0f, 0.0f, -30.0f});
        ASSERT_EQ(m_soldier->DropItem(1), m_rifle);
        ASSERT_EQ(m_soldier->weaponCount, 0);
    }
    void ExpectBack(bool fullMagazine)
    {
        EXPECT_EQ(m_soldier->GetPosition().x, 10.0f);
        EXPECT_EQ(m_soldier->GetPosition().z, 20.0f);
        EXPECT_EQ(m_soldier->weaponCount, 1);
        EXPECT_EQ(m_soldier->WeaponInHand(), m_rifle) << "the same kind in hand";
        EXPECT_EQ(m_rifle->owner, m_soldier);
        if (fullMagazine) {
            EXPECT_EQ(Unit()->roundsInGun, m_fullRounds);
        }
    }
    u16_t m_fullRounds = 0;
};

TEST_F(SavedWorld, ARestartPutsTheSoldierAndHisFullRifleBackAnyNumberOfTimes)
{
    g_game.savingRestart = true;
    RestartInfoSave();
    g_game.savingRestart = false;
    EXPECT_EQ(m_soldier->WeaponInHand(), m_rifle) << "the snapshot gives every item back";
    ASSERT_EQ(g_restartInfo.records.size(), 2u);
    EXPECT_EQ(g_restartInfo.records[0].kind, 2u);
    EXPECT_EQ(g_restartInfo.records[1].kind, 4u);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        Disturb();
        EXPECT_EQ(RestartInfoLoad(), 1);
        ExpectBack(true);
    }
    RestartInfoFree();
    EXPECT_EQ(RestartInfoLoad(), 0);
}

TEST_F(SavedWorld, ASavegameLeavesTheWorldAsItWasAndBringsItBack)
{
    Unit()->roundsInGun = 3;
    Savegame savegame;
    SavegameWrite(savegame);
    EXPECT_EQ(m_soldier->WeaponInHand(), m_rifle) << "within the call";
    EXPECT_EQ(m_rifle->owner, m_soldier);
    ASSERT_EQ(savegame.records.size(), 2u);
    EXPECT_STREQ(reinterpret_cast<const char*>(savegame.records[1].kindArea), "guard") << "the holder's name";

    Disturb();
    EXPECT_TRUE(SavegameApply(savegame));
    ExpectBack(false);
    EXPECT_EQ(Unit()->roundsInGun, 3);

    // Through the account file: what it keeps is enough to put the rifle back in his hands.
    PlayerAccount account;
    account.name.Assign("k");
    account.GetMissionSavegames("m").AddSavegame(savegame);
    std::vector<u8_t> bytes;
    AccountWriteRecord(account, bytes);
    PlayerAccount read;
    ASSERT_TRUE(AccountReadRecord(read, bytes.data(), static_cast<u32_t>(bytes.size())));
    Disturb();
    EXPECT_TRUE(SavegameApply(read.modes[0].savegames[0].savegames[0]));
    ExpectBack(false);
    EXPECT_EQ(Unit()->roundsInGun, 3);
}

// Loading a game puts the pick-up items the player carried when it was saved back into his
// inventory, hidden and disabled as a taken item is.
TEST_F(SavedWorld, LoadingGivesThePlayerTheItemsHeCarried)
{
    MapObject medkit;
    medkit.name.Assign("medkit");
    DOEnvelope envelope("medkit");
    envelope.Attach(&medkit);
    ASSERT_TRUE(DynObjectAdd(&medkit));
    m_soldier->TakeItem(&medkit);
    ASSERT_EQ(m_soldier->carriedItems[0], &envelope);
    Savegame savegame;
    SavegameWrite(savegame);
    m_soldier->ReleaseInventory();
    ASSERT_EQ(m_soldier->carriedItems[0], nullptr);
    ASSERT_EQ(envelope.disabled, 0);
    EXPECT_TRUE(SavegameApply(savegame));
    EXPECT_EQ(m_soldier->carriedItems[0], &envelope);
    EXPECT_EQ(envelope.disabled, 1);
    EXPECT_EQ(medkit.drawn, 0);
    m_soldier->ReleaseInventory();
    DynObjectRemove(&medkit);
}

}  // namespace

namespace {

TEST_F(SavedWorld, LoadingBringsBackFlyingShotsAndDestroyedStructures)
{
    // A shot of the rifle in flight.
    Projectile* shot = m_rifle->SpawnProjectile();
    ASSERT_NE(shot, nullptr);
    shot->SetPosition({1.0f, 2.0f, 3.0f});
    shot->direction = {0.0f, 0.0f, 2.0f};
    shot->flightClock = 40;
    ASSERT_TRUE(DynObjectAdd(shot));
    // A wall that was destroyed: it waits in the destroy queue, its ruin stands in its place.
    GraphObj wall, ruin;
    wall.typeId = ruin.typeId = OBJECT_TYPE_STRUCTURE;
    wall.name.Assign("wall");
    ruin.name.Assign("wall_ruin");
    wall.destroyedReplacement = &ruin;
    ruin.replacedOriginal = &wall;
    ruin.SetPosition({5.0f, 0.0f, 5.0f});
    ASSERT_TRUE(DestroyQueueAdd(&wall));
    ASSERT_TRUE(DynObjectAdd(&ruin));

    Savegame savegame;
    SavegameWrite(savegame);
    ASSERT_EQ(savegame.records.size(), 4u);
    EXPECT_EQ(savegame.records[2].kind, 11u);
    EXPECT_EQ(savegame.records[3].kind, 3u);
    EXPECT_STREQ(savegame.records[3].name.Text(), "wall");

    ProjectileTableClear();
    ProjectileTableAdd(shot);
    ProjectileTableDestroyAll();
    ProjectileTableClear();
    EXPECT_TRUE(SavegameApply(savegame));

    Projectile* again = nullptr;
    DynamicObject** all = nullptr;
    s32_t count = 0;
    DynObjectsGet(&all, &count);
    for (s32_t i = 0; i < count; ++i) {
        if (all[i]->GetTypeId() == OBJECT_TYPE_PROJECTILE)
            again = static_cast<Projectile*>(all[i]);
    }
    ASSERT_NE(again, nullptr) << "the shot flies again";
    EXPECT_EQ(again->weapon, m_rifle);
    EXPECT_EQ(again->GetPosition().z, 3.0f);
    EXPECT_EQ(again->direction.z, 1.0f) << "normalised";
    EXPECT_EQ(again->flightClock, 40u);
    EXPECT_EQ(DynObjectFind("wall"), nullptr) << "the wall stays destroyed";
    EXPECT_EQ(DynObjectFind("wall_ruin"), &ruin);
    EXPECT_EQ(DestroyQueueFind("wall"), &wall);

    RemoveAllProjectiles();
    DynObjectRemove(&ruin);
    DestroyQueueRemove(&wall);
    DestroyQueueRemove(&ruin);
}

}  // namespace
