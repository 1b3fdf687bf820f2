// Accomplishing, failing and restarting a mission as the account and the screens see it, and the
// objectives the mission script completes.
#include <gtest/gtest.h>

#include <cstdio>

#include <string>

#include "game/accounts/account_fixture.h"
#include "actors/actor.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_table.h"
#include "core/console/console.h"
#include "core/core_cvars.h"
#include "core/frame_view.h"
#include "game/accounts/accounts.h"
#include "game/game_cvars.h"
#include "game/mission/game_flow.h"
#include "game/mission/mission_end.h"
#include "game/mission/mission_services.h"
#include "game/mission/objectives.h"
#include "game/player/player_control_state.h"
#include "game/player/player_foot_control.h"
#include "game/player/player_state.h"
#include "game/view/player_view.h"
#include "game/accounts/restart_info.h"
#include "game/accounts/savegame.h"
#include "gui/screens/gui_live_values.h"
#include "platform/file_system.h"
#include "support/engine_log.h"
#include "world/objects/graph_obj.h"

namespace {

std::string Newest(int console)
{
    const char* line = ConLines(console)[ConLineCapacity(console) - 1];
    return line ? line : "";
}

class MissionEnd : public AccountTest {
protected:
    void SetUp() override
    {
        AccountTest::SetUp();
        ConStartup();
        ASSERT_EQ(Create("bob"), 0);
        m_map = GameCurrentMapName().Text();
        GameCurrentMapName().Assign("map_02");
        g_gui.screenRequested = false;
    }
    void TearDown() override
    {
        GameCurrentMapName().Assign(m_map.c_str());
        g_gui.screenRequested = false;
        g_gui.currentScreen = nullptr;
        g_playerState.respawnRequested = 0;
        g_game.quickMission = false;
        g_frameView.currentGameMod = nullptr;
        g_game.accounts.missionFiles.clear();
        g_game.accounts.lastMissionIndex = -1;
        ObjectivesReset();
        RestartInfoFree();
        ConShutdown();
        AccountTest::TearDown();
    }
    std::string m_map;
};

TEST_F(MissionEnd, AccomplishingAddsTheMissionOnceAndTheCampaignOnlyAtItsLast)
{
    PlayerAccount* bob = GetCurrentAccount();
    ASSERT_NE(bob, nullptr);
    as_curcampaign.SetString("first");
    g_game.accounts.missionFiles = {EngineString("map_01"), EngineString("map_02"), EngineString("map_03")};
    g_game.accounts.lastMissionIndex = 2;
    EXPECT_EQ(MissionAccomplishCommand(nullptr), 0);
    EXPECT_EQ(Newest(0), "Mission 'map_02' succesfully acomplished!\n");
    EXPECT_TRUE(g_gui.screenRequested) << "set even when the screen is not loaded";
    GameAccomplishMission();  // the script function's way
    EXPECT_EQ(bob->CurrentMode().completedMissions.size(), 1u);
    EXPECT_TRUE(bob->CurrentMode().completedCampaigns.empty()) << "map_02 is not the chronology's last";

    GameCurrentMapName().Assign("MAP_03");
    MissionAccomplishCommand(nullptr);
    ASSERT_EQ(bob->CurrentMode().completedCampaigns.size(), 1u);
    EXPECT_STREQ(bob->CurrentMode().completedCampaigns[0].Text(), "first");
}

TEST_F(MissionEnd, FailingChangesNothingWhileARespawnIsPendingAndNothingOfTheAccount)
{
    PlayerAccount* bob = GetCurrentAccount();
    g_playerState.respawnRequested = 1;
    ConClear(0);
    EXPECT_EQ(MissionFailCommand(nullptr), 0);
    EXPECT_FALSE(g_gui.screenRequested);
    EXPECT_EQ(Newest(0), "");
    g_playerState.respawnRequested = 0;
    GameFailMission();
    EXPECT_EQ(Newest(0), "Mission 'map_02' failed!\n");
    EXPECT_TRUE(g_gui.screenRequested);
    EXPECT_TRUE(bob->CurrentMode().completedMissions.empty());

    // A networked mode shows its score screen without a line.
    GameMod mod;
    mod.ownScreens = 1;
    std::snprintf(mod.scoreScreen, sizeof mod.scoreScreen, "SCORES");
    g_frameView.currentGameMod = &mod;
    g_gui.screenRequested = false;
    ConClear(0);
    MissionFailCommand(nullptr);
    EXPECT_TRUE(g_gui.screenRequested);
    EXPECT_EQ(Newest(0), "");
}

TEST_F(MissionEnd, ARestartWithoutSnapshotSaysSoAndResetsTheSaveCount)
{
    PlayerAccount* bob = GetCurrentAccount();
    MissionSavegames& saves = bob->GetMissionSavegames("map_02");
    // A run that used every save of the mission.
    saves.savegames.resize(4);
    bob->CurrentMode().savegameMark = 4;
    gi_maxsaves.SetInt(4);
    Actor player;
    g_frameView.player = &player;
    const std::string map = dsmap.String();
    dsmap.SetString("map_02");
    EXPECT_FALSE(GuiEvalCondition("saves")) << "every save used";
    g_gui.screenRequested = true;
    // The caption on the screen goes; the control input of the last frame is forgotten.
    g_gui.captionSlot.shown = 1;
    g_playerControl.usePending = 1;
    for (float& momentum : g_playerFoot.momentum)
        momentum = 1.0f;
    EXPECT_EQ(MissionRestartCommand(nullptr), 0);
    EXPECT_FALSE(g_gui.screenRequested);
    EXPECT_EQ(g_gui.captionSlot.shown, 0);
    EXPECT_EQ(g_playerControl.usePending, 0);
    for (float momentum : g_playerFoot.momentum)
        EXPECT_EQ(momentum, 0.0f);
    const std::string messages = std::string(ConLines(4)[ConLineCapacity(4) - 2]) + ConLines(4)[ConLineCapacity(4) - 1];
    EXPECT_EQ(messages, "Error occured while loading restart info!\nglobal: messages._gm_game_restarted\n");
    EXPECT_EQ(bob->CurrentMode().savegameMark, 0u);
    EXPECT_EQ(saves.maxSavegames, 4);
    EXPECT_EQ(saves.savegames.size(), 4u) << "the savegames stay loadable";
    // The restarted mission may save again: the "Save" button shows, and the savegames it makes
    // replace the old ones from the first.
    EXPECT_TRUE(GuiEvalCondition("saves"));
    bob->CurrentMode().savegameMark = 3;
    EXPECT_TRUE(GuiEvalCondition("saves"));
    bob->CurrentMode().savegameMark = 4;
    EXPECT_FALSE(GuiEvalCondition("saves"));
    bob->CurrentMode().savegameMark = 0;
    dsmap.SetString(map.c_str());
    g_frameView.player = nullptr;

    // During a game mode the account is left alone.
    GameMod mod;
    g_frameView.currentGameMod = &mod;
    bob->CurrentMode().savegameMark = 2;
    gi_maxsaves.SetInt(3);
    MissionRestartCommand(nullptr);
    EXPECT_EQ(bob->CurrentMode().savegameMark, 2u);
    EXPECT_EQ(saves.maxSavegames, 4);
    gi_maxsaves.SetInt(3);
}

TEST_F(MissionEnd, AMissionStartedWithoutASavegameResetsTheSaveCount)
{
    PlayerAccount* bob = GetCurrentAccount();
    bob->CurrentMode().savegameMark = 2;
    AccountResetCurrentMissionValue();
    EXPECT_EQ(bob->CurrentMode().savegameMark, 0u);
}

TEST_F(MissionEnd, ObjectivesByNumber)
{
    GameCompleteObjective(2);
    GameCompleteObjective(7);
    EXPECT_TRUE(GameIsObjectiveComplete(2));
    EXPECT_FALSE(GameIsObjectiveComplete(7)) << "six objective variables: 7 names none";
    EXPECT_EQ(ObjectiveComplete(7), nullptr);
    EXPECT_EQ(FindCVar("gb_objective7"), nullptr);
    EXPECT_EQ(FindCVar("gi_objectivecnt")->Int(), 6);
    for (s32_t n = 0; n < 6; ++n)
        ObjectiveComplete(n);
    ObjectivesReset();
    for (s32_t n = 0; n < 6; ++n)
        EXPECT_FALSE(ObjectiveGet(n)) << n;
}

// An object whose pose passes count.
class PosedObject : public GraphObj {
public:
    void StorePose() override { ++stores; }
    int stores = 0;
};

TEST_F(MissionEnd, TwoPoseStoresASecondApartStoreOnce)
{
    PlatformTestClockStart(20000);
    PosedObject object;
    auto* envelope = new DOEnvelope("posed");
    ASSERT_GE(EnvelopeRegister(envelope), 0);
    envelope->Attach(&object);
    EnvelopesPoseStoreReset();
    EnvelopesStorePose();
    PlatformTestClockAdvance(1000);
    EnvelopesStorePose();
    EXPECT_EQ(object.stores, 1);
    PlatformTestClockAdvance(500);
    EnvelopesStorePose();
    EXPECT_EQ(object.stores, 2);
    envelope->disabled = 1;
    PlatformTestClockAdvance(2000);
    EnvelopesStorePose();
    EXPECT_EQ(object.stores, 2) << "a disabled envelope is passed over";
    object.envelope = nullptr;
    EnvelopeTableDeleteAll();
    PlatformTestClockStop();
}

}  // namespace

namespace {

// The lines of the message console, newest last.
std::vector<std::string> MessageLines()
{
    std::vector<std::string> lines;
    char** slots = ConLines(4);
    for (int i = 0; slots && i < ConLineCapacity(4); ++i) {
        if (slots[i])
            lines.emplace_back(slots[i]);
    }
    return lines;
}

TEST_F(MissionEnd, SavesCountDownAndAreWrittenWithTheAccount)
{
    PlayerAccount* bob = GetCurrentAccount();
    MissionSavegames& saves = bob->GetMissionSavegames("map_02");
    saves.maxSavegames = 3;
    ConClear(4);
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(SavegameSaveCommand(nullptr), 0);
    EXPECT_EQ(MessageLines(), (std::vector<std::string>{"Game saved - 2 more left.\n", "Game saved - 1 more left.\n",
                                                        "Game saved - 0 more left.\n"}));
    const std::string file = FileOf("bob");
    EXPECT_EQ(SavegameSaveCommand(nullptr), -1);
    EXPECT_EQ(MessageLines().size(), 3u) << "a save too many prints nothing";
    EXPECT_EQ(saves.savegames.size(), 3u);
    EXPECT_EQ(FileOf("bob"), file);
    EXPECT_FALSE(g_game.savingRestart);

    // The file holds the three.
    AccountsShutdown();
    AccountsInit();
    ASSERT_EQ(LogIn("bob", "pw"), 0);
    bob = GetCurrentAccount();
    ASSERT_NE(bob, nullptr);
    EXPECT_EQ(bob->GetMissionSavegames("map_02").savegames.size(), 3u);
}

TEST_F(MissionEnd, ASaveWithoutIndexDropsWhatThisRunDidNotMake)
{
    PlayerAccount* bob = GetCurrentAccount();
    MissionSavegames& saves = bob->GetMissionSavegames("map_02");
    saves.savegames.resize(2);  // from an earlier run
    saves.maxSavegames = 4;
    bob->CurrentMode().savegameMark = 0;
    EXPECT_EQ(SavegameSaveCommand("0"), 0);
    EXPECT_EQ(saves.savegames.size(), 3u) << "index 0 keeps the earlier ones";
    bob->CurrentMode().savegameMark = 1;
    EXPECT_EQ(SavegameSaveCommand(nullptr), 0);
    EXPECT_EQ(saves.savegames.size(), 2u) << "without index they go first";
    EXPECT_EQ(bob->CurrentMode().savegameMark, 2u);
}

TEST_F(MissionEnd, LoadingNeedsASavegameOfThatNumber)
{
    PlayerAccount* bob = GetCurrentAccount();
    MissionSavegames& saves = bob->GetMissionSavegames("map_02");
    saves.maxSavegames = 3;
    ASSERT_EQ(SavegameSaveCommand(nullptr), 0);
    for (const char* request : {"1", "-1", "abc", "", "0x0", "1e0"}) {
        gs_load_slot_request.SetString(request);
        ConClear(4);
        EXPECT_EQ(GameLoadGameCommand("0"), -1) << request;
        EXPECT_TRUE(MessageLines().empty()) << request;
    }
    gs_load_slot_request.SetString(" 0");
    EXPECT_EQ(GameLoadGameCommand(nullptr), 0);
    EXPECT_EQ(MessageLines(), (std::vector<std::string>{"global: messages._gm_game_loaded\n"}));
    EXPECT_FALSE(g_game.savingRestart);
    gs_load_slot_request.SetString("");
}

bool RefuseWrites(AtomicWriteStage, const char*)
{
    return false;
}

// A disk that takes no file: every road that writes the account says so on console 0 and in the log,
// and a save is not called saved.
TEST_F(MissionEnd, AFailedAccountWriteIsSaidAndNoSaveIsCalledDone)
{
    GetCurrentAccount()->GetMissionSavegames("map_02").maxSavegames = 3;
    const struct {
        const char* road;
        void (*write)();
        const char* file;
    } roads[] = {
        {"creation", [] { EXPECT_EQ(Create("amy"), 0); }, "amy"},
        {"a save", [] { EXPECT_EQ(SavegameSaveCommand(nullptr), -1); }, "bob"},
        {"the program's end", [] { EXPECT_FALSE(AccountsSaveCurrent()); }, "bob"},
        {"log-off", [] { ax_logoff.value.handler(nullptr); }, "bob"},
    };
    SetAtomicWriteTestHook(RefuseWrites);
    for (const auto& road : roads) {
        SCOPED_TRACE(road.road);
        as_accname.SetString("bob");
        ConClear(0);
        ConClear(4);
        const size_t logStart = engine_log::LogSize();
        road.write();
        const std::string line =
            std::string("ERROR : account file 'accounts\\") + road.file + ".acc' could not be written\n";
        EXPECT_EQ(Newest(0), line);
        EXPECT_NE(engine_log::LogFrom(logStart).find(line), std::string::npos);
        EXPECT_TRUE(MessageLines().empty());
    }
    SetAtomicWriteTestHook(nullptr);
}

TEST_F(MissionEnd, NothingIsSavedOrLoadedWhileAGameModeRuns)
{
    PlayerAccount* bob = GetCurrentAccount();
    MissionSavegames& saves = bob->GetMissionSavegames("map_02");
    saves.maxSavegames = 3;
    ASSERT_EQ(SavegameSaveCommand(nullptr), 0);
    const std::string file = FileOf("bob");
    GameMod mod;
    g_frameView.currentGameMod = &mod;
    ConClear(4);
    EXPECT_EQ(SavegameSaveCommand(nullptr), 0);
    gs_load_slot_request.SetString("0");
    EXPECT_EQ(GameLoadGameCommand(nullptr), 0);
    EXPECT_EQ(saves.savegames.size(), 1u);
    EXPECT_EQ(FileOf("bob"), file);
    EXPECT_TRUE(MessageLines().empty());
    gs_load_slot_request.SetString("");
}

}  // namespace

namespace {

TEST_F(MissionEnd, AQuickMissionEndsOnItsOwnScreens)
{
    for (const char* name : {"SUCCESSSCREEN", "SUCCESSSCREENQM", "FAILSCREEN", "FAILSCREENQM"})
        GuiAddScreen(new GuiScreen(name));
    const struct {
        bool quick;
        s32_t (*command)(const char*);
        const char* screen;
    } cases[] = {
        {false, MissionAccomplishCommand, "SUCCESSSCREEN"},
        {true, MissionAccomplishCommand, "SUCCESSSCREENQM"},
        {false, MissionFailCommand, "FAILSCREEN"},
        {true, MissionFailCommand, "FAILSCREENQM"},
    };
    for (const auto& c : cases) {
        g_game.quickMission = c.quick;
        g_gui.currentScreen = nullptr;
        c.command(nullptr);
        ASSERT_NE(g_gui.currentScreen, nullptr) << c.screen;
        EXPECT_STREQ(g_gui.currentScreen->name.Text(), c.screen);
    }
    // The mission-info commands of the menus say which kind the next mission is.
    FindCVar("gx_fillmissioninfo")->value.handler(nullptr);
    EXPECT_FALSE(g_game.quickMission);
    FindCVar("gx_fillquickmissioninfo")->value.handler(nullptr);
    EXPECT_TRUE(g_game.quickMission);
    g_gui.currentScreen = nullptr;
    GuiFreeScreens();
}

}  // namespace
