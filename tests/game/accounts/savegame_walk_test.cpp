// The sample's savegame screen walked as a player walks it, in a child process on the packed sample
// data: a soldier made by typing, play, Escape, "Savegames", "Save"; later Escape, "Savegames", "Load the first"; later again
// "Restart"; then quit from the in-game menu. Each pick closes the menu over the running mission.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/strings/text_case.h"
#include "core/files/uff_file.h"
#include "core/winos.h"
#include "game/accounts/account_file.h"
#include "game/game_test_hooks.h"
#include "game/accounts/player_account.h"
#include "game/view/player_view.h"
#include "gui/screens/gui.h"
#include "platform/test_input.h"
#include "support/files.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "tests/game/sample_walk.h"

namespace {

int g_frames = 0;
std::vector<std::string> g_messages;

void OnStep(MissionRoad road, int step)
{
    sample_walk::PressAtTheLoadWait(road, step);
}

// Escape every 10 drawn frames of the mission; the message console's new lines are kept.
void OnFrame(bool present)
{
    if (!present)
        return;
    sample_walk::EscapeEveryTenFrames(++g_frames);
    sample_walk::KeepNewestMessage(g_messages);
}

int WalkTheSavegames()
{
    gui_test::GuiDriver driver;
    sample_walk::MakeAndLogInRecruit(driver);
    driver.ClickWhen("MAINMENU", "play");
    driver.ClickWhen("_MAINMENU", "savegames");
    driver.ClickWhen("SAVEGAMES", "save");
    driver.ClickWhen("_MAINMENU", "savegames");
    driver.ClickWhen("SAVEGAMES", "load1");
    driver.ClickWhen("_MAINMENU", "savegames");
    driver.ClickWhen("SAVEGAMES", "restart");
    driver.ClickWhen("_MAINMENU", "quit");
    const int exitCode = sample_walk::RunTheProgram(OnFrame, OnStep);
    std::string text = sample_walk::DriverLine(driver) + "\n";
    for (const std::string& line : g_messages)
        text += line;
    WriteFileBytes("walk.txt", text);
    return exitCode;
}

const bool g_savegameWalkJob = RegisterChildJob("savegame_walk", WalkTheSavegames);

// The mouse moved while the savegames screen is up, in every frame of it up to the one whose click
// on "Save" closes it (a player's hand does not stop at the click, and a frame that saves is long).
// The pitch of the view in the drawn frame that presses Escape for the menu and in the last one
// before the next Escape (some frames after the save) are noted.
struct LookWalk {
    int frames = 0;
    float lastPitch = 0.0f;
    float pitchBefore = 0.0f;
    float pitchAfter = 0.0f;
    bool saved = false;
    bool moved = false;
    std::vector<std::string> messages;
};
LookWalk g_look;

void OnLookFrame(bool present)
{
    if (!present) {
        if (g_gui.currentScreen && CompareNoCase(g_gui.currentScreen->name.Text(), "SAVEGAMES") == 0) {
            PlatformInjectMouseMotion(0, 40);
            g_look.moved = true;
        }
        return;
    }
    const int frame = ++g_look.frames;
    if (frame == 3)
        g_look.pitchBefore = GameGetPitch();
    sample_walk::EscapeEveryTenFrames(frame);
    sample_walk::KeepNewestMessage(g_look.messages);
    if (!g_look.messages.empty() && g_look.messages.back().find("Game saved") != std::string::npos)
        g_look.saved = true;
    // The frame before the Escape that opens the menu for the quit: some frames after the save.
    if (frame == 12)
        g_look.pitchAfter = GameGetPitch();
}

int WalkSaveWithTheMouseMoving()
{
    gui_test::GuiDriver driver;
    sample_walk::MakeAndLogInRecruit(driver);
    driver.ClickWhen("MAINMENU", "play");
    driver.ClickWhen("_MAINMENU", "savegames");
    driver.ClickWhen("SAVEGAMES", "save");
    driver.ClickWhen("_MAINMENU", "quit");
    const int exitCode = sample_walk::RunTheProgram(OnLookFrame, OnStep);
    std::string text = sample_walk::DriverLine(driver) + "\n";
    text += std::string("moved ") + (g_look.moved ? "yes" : "no") + ", saved " + (g_look.saved ? "yes" : "no") + "\n";
    text += std::to_string(g_look.pitchBefore) + " " + std::to_string(g_look.pitchAfter) + "\n";
    WriteFileBytes("walk.txt", text);
    return exitCode;
}

const bool g_saveLookJob = RegisterChildJob("save_with_the_mouse_moving", WalkSaveWithTheMouseMoving);

class SavegameWalk : public TempDirTest {};

TEST_F(SavegameWalk, SaveLoadAndRestartFromTheInGameMenu)
{
    std::string error;
    ASSERT_TRUE(sample_walk::PrepareSampleFolder(error)) << error;

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

namespace {

// The mouse moved while the savegames screen is up does not turn the view: the mission comes back
// after "Save" looking where it looked when the menu opened.
TEST_F(SavegameWalk, MouseMotionWhileTheScreenIsUpDoesNotTurnTheViewAfterSave)
{
    std::string error;
    ASSERT_TRUE(sample_walk::PrepareSampleFolder(error)) << error;
    const ProgramResult run = RunChildJob("save_with_the_mouse_moving", TempPath(), {{"ALSOFT_DRIVERS", "null"}});
    ASSERT_TRUE(run.exited) << ReadFileBytes("stderr.txt");
    EXPECT_EQ(run.exitCode, 0);
    const std::string walk = ReadFileBytes("walk.txt");
    std::istringstream lines(walk);
    std::string driverLine, doneLine;
    float before = 1.0f, after = -1.0f;
    std::getline(lines, driverLine);
    std::getline(lines, doneLine);
    lines >> before >> after;
    EXPECT_EQ(driverLine, "driver: all steps taken");
    ASSERT_EQ(doneLine, "moved yes, saved yes") << walk;
    EXPECT_FLOAT_EQ(after, before) << walk;
}

}  // namespace
