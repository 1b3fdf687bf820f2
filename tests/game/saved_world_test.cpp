// The restart snapshot and savegames on a small world: the sample soldier with his rifle.
#include <gtest/gtest.h>

#include "game/account_file.h"
#include "game/game_state.h"
#include "game/player_account.h"
#include "game/restart_info.h"
#include "game/savegame.h"
#include "map/world_registry.h"
#include "player_weapon_fixture.h"

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
        if (fullMagazine)
            EXPECT_EQ(Unit()->roundsInGun, m_fullRounds);
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

}  // namespace
