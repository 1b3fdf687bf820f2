// The campaign chronology: which campaign plays next, which missions it offers, quick missions,
// videos and the single-player modes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "account_fixture.h"

namespace {

const char kChronology0[] =
    "<first>\n name campaign_one; screen CampaignScreen;\n"
    " <MISSION> load map_01; name mission_one; cut_begin intro_one; </MISSION>\n"
    " <MISSION> last; need map_01 map_02; load map_03; name mission_three; </MISSION>\n"
    " <MISSION> need map_01; last; final; load map_02; </MISSION>\n"
    " <MISSION> final; need map_03; load map_04; cut_end_fail retry_one; </MISSION>\n"
    "</first>\n"
    "<second>\n need first;\n <MISSION> load map_10; cut_end_acc outro_two; </MISSION>\n</second>\n"
    "<third>\n need nothing;\n</third>\n";
const char kChronology1[] = "<tactics>\n <MISSION> load tac_01; </MISSION>\n</tactics>\n";

std::vector<std::string> Files()
{
    std::vector<std::string> names;
    for (const EngineString& name : g_game.accounts.missionFiles)
        names.emplace_back(name.Text());
    return names;
}

std::vector<std::string> g_videos;
void RecordVideo(const char* name)
{
    g_videos.emplace_back(name);
}

class Chronology : public AccountTest {
protected:
    void SetUp() override
    {
        AccountTest::SetUp();
        WriteFileBytes(TempPath() + "/script/chronolist_0.scr", kChronology0);
        WriteFileBytes(TempPath() + "/script/chronolist_1.scr", kChronology1);
        ASSERT_EQ(Create("bob"), 0);
        account = GetCurrentAccount();
        ASSERT_NE(account, nullptr);
        g_videos.clear();
        VideoSetFullscreenHook(RecordVideo);
    }
    PlayerAccount* account = nullptr;
};

TEST_F(Chronology, ANewAccountStartsWithTheFirstCampaign)
{
    EXPECT_EQ(ax_determinenextmission.value.handler(nullptr), 0);
    EXPECT_STREQ(as_curcampaign.String(), "first");
    EXPECT_STREQ(as_campaignscreen.String(), "CampaignScreen");
    EXPECT_EQ(Files(), (std::vector<std::string>{"map_01"}));
    EXPECT_EQ(g_game.accounts.lastMissionIndex, -1);

    account->AddCompletedMission("MAP_01");
    ax_determinenextmission.value.handler(nullptr);
    EXPECT_EQ(Files(), (std::vector<std::string>{"map_01", "map_02"}));
    EXPECT_EQ(g_game.accounts.lastMissionIndex, -1) << "'last' after the 'need' line does not count";
    EXPECT_FALSE(g_game.accounts.finalMission);

    account->AddCompletedMission("Map_02");
    ax_determinenextmission.value.handler(nullptr);
    EXPECT_EQ(Files(), (std::vector<std::string>{"map_01", "map_03", "map_02"})) << "a two-mission need in any case";
    EXPECT_EQ(g_game.accounts.lastMissionIndex, 1);

    account->AddCompletedMission("map_03");
    ax_determinenextmission.value.handler(nullptr);
    EXPECT_TRUE(g_game.accounts.finalMission) << "'final' before the 'need' line sets the flag";
    EXPECT_STREQ(g_game.accounts.currentMission.Text(), "map_04");

    ax_getcutscene_begin.value.handler(nullptr);
    ax_getcutscene_fail.value.handler(nullptr);
    EXPECT_EQ(g_videos, (std::vector<std::string>{"intro_one", "retry_one"}));
}

TEST_F(Chronology, CompletedCampaignsAreNeverChosenAgain)
{
    account->AddCompletedCampaign("first");
    ax_determinenextmission.value.handler(nullptr);
    EXPECT_STREQ(as_curcampaign.String(), "second");
    ax_getcutscene_acc.value.handler(nullptr);
    EXPECT_EQ(g_videos, (std::vector<std::string>{"outro_two"}));
    account->AddCompletedCampaign("second");
    account->AddCompletedCampaign("third");
    ax_determinenextmission.value.handler(nullptr);
    EXPECT_TRUE(Files().empty());
    EXPECT_TRUE(g_game.campaignCompleted);
}

TEST_F(Chronology, QuickMissionsModesAndReset)
{
    account->AddCompletedMission("map_01");
    account->AddCompletedMission("TUTORIAL");
    account->AddCompletedMission("tutorial");  // the same name: not added again
    ax_determinequickmissions.value.handler(nullptr);
    ASSERT_EQ(g_game.accounts.quickMissions.size(), 2u);
    EXPECT_STREQ(g_game.accounts.quickMissions[1].Text(), "TUTORIAL");

    PlayerAccount* other = account;
    other->AddCompletedMission("tutorial2");
    other->CurrentMode().completedMissions.emplace_back("tutorial");
    ax_determinequickmissions.value.handler(nullptr);
    EXPECT_EQ(g_game.accounts.quickMissions.size(), 3u) << "\"tutorial\" itself is no quick mission";

    as_spmod.SetString("tactical");
    ax_setspmod.value.handler(nullptr);
    EXPECT_EQ(SinglePlayerMode(), 1);
    ax_determinenextmission.value.handler(nullptr);
    EXPECT_EQ(Files(), (std::vector<std::string>{"tac_01"}));
    account->AddCompletedMission("tac_01");
    EXPECT_EQ(ax_resetsingleplayer.value.handler(nullptr), 0);
    EXPECT_TRUE(account->CurrentMode().completedMissions.empty());
    SetSinglePlayerMode(0);
    EXPECT_FALSE(account->CurrentMode().completedMissions.empty()) << "only the current mode is emptied";
}

}  // namespace
