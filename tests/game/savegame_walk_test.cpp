// The sample's savegame screen walked as a player walks it, in a child process on the packed sample
// data: a soldier made by typing, play, Escape, "Savegames", "Save"; later Escape, "Savegames", "Load the first"; later again
// "Restart"; then quit from the in-game menu. Each pick closes the menu over the running mission.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/console.h"
#include "core/uff_file.h"
#include "core/winos.h"
#include "game/account_file.h"
#include "game/game_test_hooks.h"
#include "game/player_account.h"
#include "gui/gui.h"
#include "platform/test_input.h"
#include "support/files.h"
#include "support/gui_driver.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace {

constexpr int kKeyEscape = 0x01;
constexpr int kKeySpace = 0x39;

int g_frames = 0;
std::vector<std::string> g_messages;

void OnStep(MissionRoad road, int step)
{
    if (road == MISSION_LOAD && step == 27)
        PlatformInjectKey(kKeySpace, true);
    else if (road == MISSION_LOAD && step == 28)
        PlatformInjectKey(kKeySpace, false);
}

// Escape every 10 drawn frames of the mission; the message console's new lines are kept.
void OnFrame(bool present)
{
    if (!present)
        return;
    const int frame = ++g_frames;
    if (frame % 10 == 3)
        PlatformInjectKey(kKeyEscape, true);
    else if (frame % 10 == 4)
        PlatformInjectKey(kKeyEscape, false);
    char** lines = ConLines(CON_MESSAGE_CONSOLE);
    const char* newest = lines ? lines[ConLineCapacity(CON_MESSAGE_CONSOLE) - 1] : nullptr;
    if (newest && *newest && (g_messages.empty() || g_messages.back() != newest))
        g_messages.emplace_back(newest);
}

int WalkTheSavegames()
{
    gui_test::GuiDriver driver;
    // The soldier made by typing on the account screen, then logged in from its list ("Log in" leads
    // to the main menu; the setup screen's background image shares the name "back" with its button).
    driver.ClickWhen("MAINMENU", "soldiers");
    driver.TypeWhen("ROVUDAZURARAZU", "new_name", "recruit");
    driver.TypeWhen("ROVUDAZURARAZU", "new_password", "pw");
    driver.TypeWhen("ROVUDAZURARAZU", "new_repeat", "pw");
    driver.ClickWhen("ROVUDAZURARAZU", "create");
    driver.ClickWhen("SETUP", "accounts");
    driver.TypeWhen("ROVUDAZURARAZU", "login_password", "pw");
    driver.ClickWhen("ROVUDAZURARAZU", "login");
    driver.ClickWhen("MAINMENU", "play");
    driver.ClickWhen("_MAINMENU", "savegames");
    driver.ClickWhen("SAVEGAMES", "save");
    driver.ClickWhen("_MAINMENU", "savegames");
    driver.ClickWhen("SAVEGAMES", "load1");
    driver.ClickWhen("_MAINMENU", "savegames");
    driver.ClickWhen("SAVEGAMES", "restart");
    driver.ClickWhen("_MAINMENU", "quit");
    GameSetTestHooks({-1, nullptr, OnFrame, nullptr, OnStep});
    char commandLine[] = "";
    const int exitCode = WinMain(nullptr, nullptr, commandLine, SW_SHOW);
    GameSetTestHooks({});
    std::string text =
        "driver: " + std::string(driver.Done() ? "all steps taken" : "steps left") + driver.Error() + "\n";
    for (const std::string& line : g_messages)
        text += line;
    WriteFileBytes("walk.txt", text);
    return exitCode;
}

const bool g_savegameWalkJob = RegisterChildJob("savegame_walk", WalkTheSavegames);

class SavegameWalk : public TempDirTest {};

TEST_F(SavegameWalk, SaveLoadAndRestartFromTheInGameMenu)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    std::string config = ReadFileBytes(ZINTAR_TEST_DATA_DIR "/../../data/sample/config.def");
    WriteFileBytes("config.def", config + "riwidth = 400\nriheight = 300\nrbwindowed = true\n");

    const ProgramResult run = RunChildJob("savegame_walk", TempPath(), {{"ALSOFT_DRIVERS", "null"}});
    ASSERT_TRUE(run.exited) << ReadFileBytes("stderr.txt");
    EXPECT_EQ(run.exitCode, 0);
    const std::string walk = ReadFileBytes("walk.txt");
    EXPECT_EQ(walk.substr(0, walk.find('\n')), "driver: all steps taken");
    // The message console: the save, the load and the restart, in that order.
    const size_t saved = walk.find("Game saved - 2 more left.");
    const size_t loaded = walk.find("global: Game loaded.");
    const size_t restarted = walk.find("global: Mission restarted.");
    EXPECT_NE(saved, std::string::npos) << walk;
    EXPECT_LT(saved, loaded) << walk;
    EXPECT_LT(loaded, restarted) << walk;
    const std::string log = ReadFileBytes("zintar.log");
    for (const char* line :
         {"Saving restart info...done", "Saving game...done", "Loading game...done", "Loading restart info...done"})
        EXPECT_NE(log.find(line), std::string::npos) << line;

    // The account file holds the savegame, with the soldier and his rifle.
    UffFile file("accounts/recruit.acc");
    PlayerAccount account;
    ASSERT_TRUE(AccountReadFile(account, file));
    const MissionSavegames& saves = account.GetMissionSavegames("map_01");
    ASSERT_EQ(saves.savegames.size(), 1u);
    EXPECT_GT(saves.savegames[0].records.size(), 5u);
}

}  // namespace
