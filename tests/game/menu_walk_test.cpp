// The sample's front end walked end to end as a player walks it, in a child process of its own on
// the packed sample data: `zintar` without arguments opens the main menu; the driver (tests/support/
// gui_driver.h) makes a soldier on the account screen by typing, comes back to that screen and logs
// him in from its list with his password, clicks "Play", presses a key at "Press any key to
// continue...", opens the in-game menu with Escape, leaves the mission for the main menu, plays again
// and quits from the in-game menu. Every step waits for its screen in the GUI's own frames (no
// sleeping); the run has one time limit. The child notes what it saw in "walk.txt" for the checks.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "core/core_cvars.h"
#include "core/winos.h"
#include "game/accounts/account_cvars.h"
#include "game/game_test_hooks.h"
#include "gui/screens/gui.h"
#include "platform/test_input.h"
#include "support/files.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "tests/game/sample_walk.h"

namespace {

constexpr int kKeyEscape = 0x01;

// What the child saw, one line a fact, in the order it happened.
std::vector<std::string> g_notes;
int g_missionFrames = 0;  // drawn mission frames since the mission began
int g_missions = 0;

void Note(const std::string& line)
{
    g_notes.push_back(line);
}

// The screen of that name among the loaded ones (the error screen stands in for none).
bool Loaded(const GuiScreen* screen)
{
    if (!screen)
        return false;
    for (u32_t i = 0; i < GuiScreenCount(); ++i)
        if (GuiScreenAt(i) == screen)
            return true;
    return false;
}

std::string WeaponScreens()
{
    const Weapon* weapon = ActorWeaponInUse(PlayerActor());
    if (!weapon)
        return "no weapon";
    auto name = [](const GuiScreen* screen) -> std::string {
        if (!screen)
            return "none";
        if (screen == g_gui.errorScreen)
            return "error";
        return std::string(screen->name.Text()) + (Loaded(screen) ? "" : "(freed)");
    };
    return name(weapon->crosshairScreen) + " " + name(weapon->statScreen) + " " + name(weapon->zoomScreen);
}

// The key at the loading screen's wait; what the wait shows and whether the leave freed the game's screens are noted.
void OnMissionStep(MissionRoad road, int step)
{
    sample_walk::PressAtTheLoadWait(road, step);
    if (road == MISSION_LOAD && step == 27) {
        ++g_missions;
        g_missionFrames = 0;
    } else if (road == MISSION_LOAD && step == 28) {
        Note("shown at the wait: " + std::string(gs_maploadprogress.String()));
    } else if (road == MISSION_LEAVE && step == 9) {
        Note(std::string("left: game screens ") + (GuiFindScreen("CROSS") == g_gui.errorScreen ? "freed" : "kept"));
    }
}

// In the mission's third drawn frame: the weapon's screens are noted and Escape is pressed (released
// in the next frame, when the in-game menu opens).
void OnMissionFrame(bool present)
{
    if (!present)
        return;
    const int frame = ++g_missionFrames;
    if (frame == 3) {
        Note("mission " + std::to_string(g_missions) + " weapon screens: " + WeaponScreens());
        PlatformInjectKey(kKeyEscape, true);
    } else if (frame == 4) {
        PlatformInjectKey(kKeyEscape, false);
    }
}

int WalkTheMenus()
{
    gui_test::GuiDriver driver;
    sample_walk::MakeAndLogInRecruit(driver);
    driver.ClickWhen("MAINMENU", "play");
    driver.ClickWhen("_MAINMENU", "leave");
    driver.ClickWhen("MAINMENU", "play");
    driver.ClickWhen("_MAINMENU", "quit");
    const int exitCode = sample_walk::RunTheProgram(OnMissionFrame, OnMissionStep);
    Note("account: " + std::string(as_accname.String()));
    Note(sample_walk::DriverLine(driver));
    std::string text;
    for (const std::string& line : g_notes)
        text += line + "\n";
    WriteFileBytes("walk.txt", text);
    return exitCode;
}

const bool g_walkJob = RegisterChildJob("menu_walk", WalkTheMenus);

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = text.find('\n', from);
        lines.push_back(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
        if (end == std::string::npos)
            break;
        from = end + 1;
    }
    return lines;
}

class MenuWalk : public TempDirTest {};

TEST_F(MenuWalk, PlayLeaveToTheMenuPlayAgainAndQuitFromTheInGameMenu)
{
    std::string error;
    ASSERT_TRUE(sample_walk::PrepareSampleFolder(error)) << error;

    const ProgramResult run = RunChildJob("menu_walk", TempPath(), {{"ALSOFT_DRIVERS", "null"}});
    ASSERT_TRUE(run.exited) << ReadFileBytes("stderr.txt");
    EXPECT_EQ(run.exitCode, 0);

    const std::vector<std::string> notes = Lines(ReadFileBytes("walk.txt"));
    EXPECT_EQ(notes, (std::vector<std::string>{
                         "shown at the wait: Press any key to continue...",
                         "mission 1 weapon screens: CROSS RIFLE SCOPE",
                         "left: game screens freed",
                         "shown at the wait: Press any key to continue...",
                         "mission 2 weapon screens: CROSS RIFLE SCOPE",
                         "left: game screens freed",
                         "account: recruit",
                         "driver: all steps taken",
                     }));

    // The log: the soldier made and logged in, two missions each entered and left, then the one
    // shutdown.
    const std::string log = ReadFileBytes("zintar.log");
    const std::vector<std::string> expected = {
        "Initializing GUI...done",
        "'recruit' logged in",
        "Initializing mission 'map_01'...",
        "Entering main loop...",
        "Leaving mission 'map_01'...",
        "Initializing mission 'map_01'...",
        "Entering main loop...",
        "Leaving mission 'map_01'...",
        "Destroying sound...",
        "Destroying video subsystem...",
        "Destroying input...",
        "Destroying GUI...done",
        "Destroying device buffers and vegetation...",
        "Destroying accounts...done",
        "Destroying virtual file system...",
    };
    const std::vector<std::size_t> at = sample_walk::InOrder(log, expected);
    std::string missing;
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (at[i] == std::string::npos)
            missing += expected[i] + "\n";
    EXPECT_EQ(missing, "") << log.substr(log.size() > 3000 ? log.size() - 3000 : 0);
}

}  // namespace
