// Game modes with a plug-in that registers two of them: the registry and its refusals, starting and
// ending a mode, the score and team tables, the next map, the map-list commands and the mission
// search of "netmodes.def", and the multiplayer commands around them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/console/console.h"
#include "core/core_cvars.h"
#include "core/files/def_file.h"
#include "core/frame_view.h"
#include "core/plugins/plugin_host.h"
#include "core/winos.h"
#include "game/mission/game_flow.h"
#include "game/view/game_hits.h"
#include "game/game_cvars.h"
#include "game/commands/game_mod_commands.h"
#include "game/commands/game_mod_registry.h"
#include "game/game_state.h"
#include "game/commands/multiplayer_commands.h"
#include "game/player/player_state.h"
#include "gui/screens/gui.h"
#include "gui/lists/gui_list_box.h"
#include "platform/win32.h"
#include "support/archive_builder.h"
#include "support/engine_log.h"
#include "support/keep_var.h"
#include "support/vfs_fixture.h"
#include "tests/plugins/game_mode_plugin/game_mode_plugin_state.h"

namespace {

void SetMapFromPlugin(const char* name)
{
    dsmap.SetString(name);
}

class GameModes : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        ConStartup();
        RegisterHostInterface(g_pluginHost);
        PluginRecord* record = g_pluginHost.LoadPluginFile(ZINTAR_TEST_PLUGIN_DIR, "game_mode_test.plg");
        ASSERT_NE(record, nullptr);
        auto get = reinterpret_cast<GameModePluginStateFn>(
            GetProcAddress(static_cast<HMODULE>(record->Module()), "GameModePluginGetState"));
        ASSERT_NE(get, nullptr);
        m_plugin = get();
        const auto keepRespawns = m_plugin->respawns;
        *m_plugin = GameModePluginState();
        m_plugin->respawns = keepRespawns;
        m_plugin->setMap = SetMapFromPlugin;
        // The tables and the next map are judged by the state word and the screen request they set.
        g_program.loopState = LOOP_NOTHING;
        g_gui.screenRequested = false;
        dsmap.SetString("map_01");
        gs_curmod.SetString("classic");
        gs_curmodmap.SetString("");
        GameModsInit();
        ASSERT_EQ(GameModRegistryCount(), 2);
    }
    void TearDown() override
    {
        GameModsFree();
        g_frameView.currentGameMod = nullptr;
        g_game.multiplayerPending = false;
        g_program.loopState = LOOP_NOTHING;
        g_gui.screenRequested = false;
        g_gui.currentScreen = nullptr;
        g_playerState.respawnRequested = 0;
        gs_curmod.SetString("classic");
        gs_curmodmap.SetString("");
        dsmap.SetString("map_01");
        DefFileFreeAll();
        g_pluginHost.Clear();
        ConShutdown();
        VfsTest::TearDown();
    }
    static void AddMaps(GameMod* mod, const std::vector<std::string>& maps)
    {
        for (const std::string& map : maps)
            ASSERT_TRUE(GameModAppendMap(mod, map.c_str()));
    }
    static std::vector<std::string> Maps(const GameMod* mod)
    {
        std::vector<std::string> maps;
        for (u32_t i = 0; i < GameModMapCount(mod); ++i)
            maps.emplace_back(GameModMapAt(mod, i));
        return maps;
    }

    GameModePluginState* m_plugin = nullptr;
};

TEST_F(GameModes, ThePluginRegistersTwoModesWithTheirTeamsAndTheyAreFoundWithoutRegardToCase)
{
    EXPECT_EQ(m_plugin->registrations, 1);
    GameMod* skirmish = FindGameMod("SKIRMISH");
    GameMod* patrol = FindGameMod("patrol");
    ASSERT_EQ(skirmish, m_plugin->modes[0]);
    ASSERT_EQ(patrol, m_plugin->modes[1]);
    EXPECT_EQ(GameModTeamCount(skirmish), 2);
    EXPECT_EQ(GameModTeamCount(patrol), 3);
    EXPECT_EQ(FindGameMod("Skirm"), nullptr) << "a name that is only the start of a mode's name";
    EXPECT_EQ(FindGameMod("Skirmishes"), nullptr);

    const size_t logBefore = engine_log::LogSize();
    GameModStart("sKiRmIsH");
    EXPECT_EQ(g_frameView.currentGameMod, skirmish);
    EXPECT_STREQ(gs_curmod.String(), "Skirmish") << "the registered spelling";
    EXPECT_EQ(skirmish->mapIndex, 0u);
    EXPECT_NE(engine_log::LogFrom(logBefore).find("\nGame mod 'Skirmish' started.\n"), std::string::npos);

    GameModStart("Deathrace");
    EXPECT_EQ(g_frameView.currentGameMod, nullptr);
    EXPECT_STREQ(gs_curmod.String(), "classic");
}

TEST_F(GameModes, RegistrationOutOfOrderIsRefusedWithALogLineNamingTheCheck)
{
    GameModsFree();
    m_plugin->registerOutOfOrder = 1;
    const size_t logBefore = engine_log::LogSize();
    GameModsInit();
    const std::string log = engine_log::LogFrom(logBefore);
    for (const char* check : {"'cur_gmi'", "'gmi'", "'cur_gmi == 0'"}) {
        SCOPED_TRACE(check);
        const size_t at = log.find(check);
        ASSERT_NE(at, std::string::npos);
        EXPECT_NE(log.find("gamemod", at), std::string::npos);
    }
    EXPECT_EQ(m_plugin->outOfOrderResults, 0) << "every refused call answers null";
    // The registration the plug-in did open is filed; the two modes follow it as usual.
    EXPECT_EQ(GameModRegistryCount(), 3);
    EXPECT_NE(FindGameMod("Patrol"), nullptr);
}

TEST_F(GameModes, EndingLogsTheSelectedNameEvenWithNoModeRunningAndGoesBackToClassic)
{
    gs_curmod.SetString("Patrol");  // chosen in the menus, never started
    const size_t logBefore = engine_log::LogSize();
    GameModEnd();
    EXPECT_NE(engine_log::LogFrom(logBefore).find("Game mod 'Patrol' ended.\n"), std::string::npos);
    EXPECT_STREQ(gs_curmod.String(), "classic");
    EXPECT_EQ(g_frameView.currentGameMod, nullptr);
}

TEST_F(GameModes, TheNextMapWrapsAndANamedMapKeepsTheIndex)
{
    GameMod* patrol = FindGameMod("Patrol");
    AddMaps(patrol, {"m_a", "m_b", "m_c"});
    GameModStart("Patrol");
    for (const char* expected : {"m_b", "m_c", "m_a"}) {
        g_program.loopState = LOOP_NOTHING;
        GameLoadNextGameModMap(nullptr);
        EXPECT_STREQ(dsmap.String(), expected);
        EXPECT_EQ(g_program.loopState, LOOP_LOAD_MAP);
    }
    EXPECT_EQ(patrol->mapIndex, 0u);
    GameLoadNextGameModMap("elsewhere");
    EXPECT_STREQ(dsmap.String(), "elsewhere");
    EXPECT_EQ(patrol->mapIndex, 0u);
}

TEST_F(GameModes, TablesAndTheNextMapDoNothingWithoutAModeOrWithoutMaps)
{
    // No mode runs.
    GameInvokeScoreTable();
    GameInvokeTeamTable();
    GameLoadNextGameModMap(nullptr);
    EXPECT_FALSE(g_gui.screenRequested);
    EXPECT_EQ(m_plugin->screensShown, 0);
    EXPECT_STREQ(dsmap.String(), "map_01");
    EXPECT_EQ(g_program.loopState, LOOP_NOTHING);

    // A mode without maps.
    GameModStart("Skirmish");
    GameLoadNextGameModMap(nullptr);
    EXPECT_STREQ(dsmap.String(), "map_01");
    EXPECT_EQ(g_program.loopState, LOOP_NOTHING);

    // The score table of a running mode asks for its screen and tells the plug-ins; the team table
    // tells nobody.
    GameInvokeTeamTable();
    EXPECT_TRUE(g_gui.screenRequested);
    EXPECT_EQ(m_plugin->screensShown, 0);
    GameInvokeScoreTable();
    EXPECT_EQ(m_plugin->screensShown, 1);
    EXPECT_EQ(m_plugin->lastScreen, reinterpret_cast<PluginWord>(g_gui.currentScreen));
}

TEST_F(GameModes, MapCommandsNeedASelectedMapAndEditTheSelectedModesList)
{
    GameMod* patrol = FindGameMod("Patrol");
    AddMaps(patrol, {"kept"});
    gs_curmod.SetString("patrol");
    ConsoleVar* add = FindCVar("gx_addmodmap");
    ConsoleVar* del = FindCVar("gx_delmodmap");
    ConsoleVar* delAll = FindCVar("gx_delallmodmaps");
    ASSERT_TRUE(add && del && delAll);

    // Nothing while no map is selected, even with maps in the list.
    for (ConsoleVar* command : {add, del, delAll})
        EXPECT_EQ(command->value.handler(nullptr), 0);
    EXPECT_EQ(Maps(patrol), std::vector<std::string>({"kept"}));

    gs_curmodmap.SetString("m_new");
    add->value.handler(nullptr);
    add->value.handler(nullptr);
    EXPECT_EQ(Maps(patrol), std::vector<std::string>({"kept", "m_new", "m_new"})) << "duplicates are not checked";
    del->value.handler(nullptr);  // no list "MODMAPS" on screen: no map is selected
    EXPECT_EQ(GameModMapCount(patrol), 3u);
    delAll->value.handler(nullptr);
    EXPECT_EQ(GameModMapCount(patrol), 0u);
}

TEST_F(GameModes, TheListOfMapsSelectsByItsFirstVisibleItemAndRowAndAnInvalidSelectionIsIgnored)
{
    GameMod* patrol = FindGameMod("Patrol");
    AddMaps(patrol, {"m0", "m1", "m2", "m3", "m4"});
    GuiScreen screen("MULTIPLAYER");
    GuiListBox* list = new GuiListBox;
    list->SetName("modmaps");
    screen.AddControl(list);
    g_gui.currentScreen = &screen;
    gs_curmod.SetString("Patrol");
    gs_curmodmap.SetString("m3");

    // Scrolled by two, the bar on the second row: the fourth map.
    list->firstVisible = 2;
    list->selectedRow = 1;
    GameModStart("Patrol");
    EXPECT_EQ(patrol->mapIndex, 3u);
    FindCVar("gx_delmodmap")->value.handler(nullptr);
    EXPECT_EQ(Maps(patrol), std::vector<std::string>({"m0", "m1", "m2", "m4"}));

    // A row past the maps, or none: the start takes the first map and nothing is removed.
    for (s32_t row : {2, -1}) {
        SCOPED_TRACE(row);
        list->selectedRow = row;
        GameModStart("Patrol");
        EXPECT_EQ(patrol->mapIndex, 0u);
        FindCVar("gx_delmodmap")->value.handler(nullptr);
        EXPECT_EQ(GameModMapCount(patrol), 4u);
    }
    g_gui.currentScreen = nullptr;
}

TEST(GameModMapSelection, TheIndexIsTheFirstVisibleItemPlusTheRowAndOnlyWhenItNamesAMap)
{
    const struct {
        s32_t firstVisible, row;
        u32_t count;
        s32_t index;
    } cases[] = {
        {0, 0, 3, 0},  {0, 2, 3, 2},   {4, 1, 8, 5},
        {4, 3, 8, 7},  {4, 4, 8, -1},  {0, -1, 3, -1},
        {0, 0, 0, -1}, {-1, 2, 3, -1}, {0x7fffffff, 5, 10, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.firstVisible << " + " << c.row << " of " << c.count);
        EXPECT_EQ(GameModMapIndexOfSelection(c.firstVisible, c.row, c.count), c.index);
    }
}

TEST_F(GameModes, AddAllMapsCollectsTheMissionsThatNameTheModeTwiceOverWhenRunTwice)
{
    ASSERT_TRUE(WriteFileBytes("mission/m_one/netmodes.def", "mode PATROL\n"));            // capitals count
    ASSERT_TRUE(WriteFileBytes("mission/m_two/netmodes.def", "mode skirmish\npatrol\n"));  // a key alone is no value
    ASSERT_TRUE(WriteFileBytes("mission/m_three/netmodes.def", "x skirmish\ny Patrol extra\n"));
    ASSERT_TRUE(WriteFileBytes("mission/m_four/mission.inf", "x"));
    ASSERT_TRUE(WriteFileBytes("mission/m_five/netmodes.def", "patrol skirmish\n"));  // the key is not looked at
    GameMod* patrol = FindGameMod("Patrol");
    gs_curmod.SetString("Patrol");
    gs_curmodmap.SetString("any");
    ConsoleVar* addAll = FindCVar("gx_addallmodmaps");
    ASSERT_NE(addAll, nullptr);
    addAll->value.handler(nullptr);
    std::vector<std::string> maps = Maps(patrol);
    std::sort(maps.begin(), maps.end());
    EXPECT_EQ(maps, std::vector<std::string>({"m_one", "m_three"}));
    addAll->value.handler(nullptr);
    EXPECT_EQ(GameModMapCount(patrol), 4u);
}

TEST_F(GameModes, TheArchiveSearchJoinsTheFolderAndTheMissionWithASeparator)
{
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"mission\\m_packed\\netmodes.def", "mode patrol\n"},
                                              {"mission\\m_other\\netmodes.def", "mode skirmish\n"}}));
    ASSERT_TRUE(VFSInit());
    gs_curmod.SetString("Patrol");
    ASSERT_EQ(GameModCollectMissions(), 1);
    EXPECT_STREQ(GameModCollectedMission(0), "m_packed");
}

TEST_F(GameModes, TheMissionSearchKeepsAtMostItsTableOfNamesAndNeverTheDotFolders)
{
    for (int i = 0; i < kNetModeMissionSlots + 5; ++i)
        ASSERT_TRUE(WriteFileBytes("mission/m" + std::to_string(i) + "/netmodes.def", "mode patrol\n"));
    gs_curmod.SetString("Patrol");
    ASSERT_EQ(GameModCollectMissions(), kNetModeMissionSlots);
    for (s32_t i = 0; i < kNetModeMissionSlots; ++i) {
        const std::string name = GameModCollectedMission(i);
        EXPECT_NE(name, ".");
        EXPECT_NE(name, "..");
    }
    EXPECT_EQ(GameModCollectedMission(kNetModeMissionSlots), nullptr);
}

TEST_F(GameModes, CreatingAServerWithAnUnknownModeRunsClassicAfterTellingThePlugins)
{
    gs_curmod.SetString("Nonesuch");
    ConsoleVar* create = FindCVar("gx_createserver");
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create->value.handler(nullptr), 0);
    EXPECT_EQ(m_plugin->serverCreates, 1);
    EXPECT_EQ(g_frameView.currentGameMod, nullptr);
    EXPECT_STREQ(gs_curmod.String(), "classic");

    gs_curmod.SetString("skirmish");
    create->value.handler(nullptr);
    EXPECT_EQ(g_frameView.currentGameMod, FindGameMod("Skirmish"));
}

TEST_F(GameModes, AJoinTakesTheMapThePluginNamesUnlessItReachesOutsideTheMissions)
{
    const struct {
        const char* named;
        const char* map;
    } cases[] = {
        {"", ""}, {"m_net", "m_net"}, {"../outside", ""}, {"a/b", ""}, {"a\\b", ""}, {"..", ""}, {"m..x", ""},
    };
    ConsoleVar* join = FindCVar("gx_joinserver");
    ASSERT_NE(join, nullptr);
    gs_curmod.SetString("Skirmish");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        std::snprintf(m_plugin->joinMap, sizeof m_plugin->joinMap, "%s", c.named);
        dsmap.SetString("map_01");
        g_game.multiplayerPending = false;
        EXPECT_EQ(join->value.handler(nullptr), 0);
        EXPECT_STREQ(dsmap.String(), c.map);
        EXPECT_TRUE(g_game.multiplayerPending);
        EXPECT_EQ(g_frameView.currentGameMod, FindGameMod("Skirmish"));
    }
    EXPECT_EQ(m_plugin->serverJoins, static_cast<int>(std::size(cases)));
}

TEST_F(GameModes, AChatTextReachesConsoleFourAndThePluginsUnchanged)
{
    const char* text = "100% sure %s %d %n";
    gs_printmsg.SetString(text);
    ConsoleVar* print = FindCVar("gx_printmsg");
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->value.handler(nullptr), 0);
    const std::vector<std::string> lines = engine_log::ConsoleLines(4);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().substr(0, lines.back().find_last_not_of('\n') + 1), std::string(" says: ") + text);
    EXPECT_EQ(m_plugin->chats, 1);
    EXPECT_STREQ(m_plugin->lastChat, text);
    gs_printmsg.SetString("");
}

TEST_F(GameModes, ServerAndPlayerInformationAndTheRespawnGoThroughThePlugins)
{
    GuiScreen* screen = reinterpret_cast<GuiScreen*>(&m_plugin);  // only passed on
    g_gui.currentScreen = screen;
    FindCVar("gx_fillserverinfo")->value.handler(nullptr);
    EXPECT_EQ(m_plugin->serverInfos, 1);
    EXPECT_EQ(m_plugin->lastInfoScreen, reinterpret_cast<PluginWord>(screen));
    g_gui.currentScreen = nullptr;
    FindCVar("gx_fillplayerinfo")->value.handler(nullptr);
    EXPECT_EQ(m_plugin->playerInfos, 1);

    const auto respawnsBefore = m_plugin->respawns;
    GameRequestRespawn();
    EXPECT_EQ(m_plugin->respawns, respawnsBefore + 1);
    EXPECT_EQ(g_playerState.respawnRequested, 1);
}

TEST_F(GameModes, AModeWithoutAISoldiersShowsNoFriendlyFireSubtitle)
{
    EXPECT_TRUE(GameReportsFriendlyFire());
    GameModStart("Skirmish");  // no AI soldiers
    EXPECT_FALSE(GameReportsFriendlyFire());
    GameModStart("Patrol");
    EXPECT_TRUE(GameReportsFriendlyFire());
}

}  // namespace
