// A new soldier leads his squad in the sample mission with the command menu's keys, in a child process
// of its own on the packed sample data: `zintar` without arguments; the driver (tests/support/
// gui_driver.h) makes a soldier on the account screen, picks the play mode "TACTICAL" on the mode
// screen, opens the campaign map, the briefing and the weapon choice and plays map_01. In the mission
// (the test clock, 100 ms a frame) the player looks down at the ground before him and presses the keys
// as he would: C (a new account's key) opens the squad's menu, "1" chooses the first soldier listed, "1" gives him his
// first order ("Move there"), which sends him to the ground under the crosshair. He walks there;
// "quit" typed at the console ends the program. The child notes what it saw in "squad.txt".
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "core/winos.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/campaign_chronology.h"
#include "game/player/command_keys.h"
#include "game/player/command_menu.h"
#include "game/player/cursor_pick.h"
#include "game/game_test_hooks.h"
#include "map/registry/world_registry.h"
#include "platform/test_clock.h"
#include "platform/test_input.h"
#include "render/draw2d/hud_input.h"
#include "support/files.h"
#include "support/gui_driver.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "tests/game/sample_walk.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace {

constexpr int kKeySpace = 0x39;
// A new account's key of the command menu ("cmd_menu_sel").
constexpr int kKeyMenu = 0x2E;  // C
constexpr int kMostFrames = 500;
constexpr DWORD kFrameMs = 100;
// The order's point moves by up to 10 units each way.
constexpr float kArrivedWithin = 16.0f;

struct SquadRun {
    int frame = 0;
    int mode = -1;
    bool mateAtStart = false;
    std::string squad, orders;
    Vector3 start = {}, target = {};
    bool picked = false;
    int arrivedFrame = -1;
    bool typed = false;
};
SquadRun g_run;

std::string Shown()
{
    std::string lines;
    if (const CommandMenuEntries* entries = g_hudInput.commandMenu.entries) {
        for (const CommandMenuItem* item : *entries)
            lines += std::string(lines.empty() ? "" : "|") + item->name;
    }
    return lines;
}

float Flat(const Vector3& a, const Vector3& b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

void Tap(int key, int frame, int at)
{
    if (frame == at)
        PlatformInjectKey(key, true);
    else if (frame == at + 1)
        PlatformInjectKey(key, false);
}

// The loading screen's key wait; the test clock from the mission's start on (the menus before it run
// on the steady clock, as the screens' typing needs).
void OnMissionStep(MissionRoad road, int step)
{
    if (road == MISSION_LOAD && step == 1) {
        PlatformTestClockStart(GetTickCount());
    } else if (road == MISSION_LOAD && step == 27) {
        g_run.mode = SinglePlayerMode();
        g_run.mateAtStart = DynObjectFind("mate") != nullptr;
        PlatformInjectKey(kKeySpace, true);
    } else if (road == MISSION_LOAD && step == 28) {
        PlatformInjectKey(kKeySpace, false);
    }
}

void OnMissionFrame(bool present)
{
    if (!present)
        return;
    const int frame = ++g_run.frame;
    PlatformTestClockAdvance(kFrameMs);
    auto* mate = static_cast<Actor*>(DynObjectFind("mate"));
    // The player looks down at the ground a few metres before him.
    if (frame == 3)
        PlatformInjectMouseMotion(0, 120);
    Tap(kKeyMenu, frame, 10);
    if (frame == 14)
        g_run.squad = Shown();
    Tap(kKeyCodeOne, frame, 14);
    if (frame == 18) {
        g_run.orders = Shown();
        float point[3];
        g_run.picked = GamePickGroundPointAtCursor(point);
        g_run.target = {point[0], point[1], point[2]};
        if (mate)
            g_run.start = mate->GetPosition();
    }
    Tap(kKeyCodeOne, frame, 18);
    if (frame > 20 && mate && g_run.picked && g_run.arrivedFrame < 0 &&
        Flat(mate->GetPosition(), g_run.target) < kArrivedWithin)
        g_run.arrivedFrame = frame;
    if (!g_run.typed && (g_run.arrivedFrame >= 0 || frame >= kMostFrames)) {
        g_run.typed = true;
        ConSetCurrent(0);
        PlatformInjectText("quit\r");
    }
}

int LeadTheSquad()
{
    gui_test::GuiDriver driver;
    sample_walk::MakeSoldier(driver, "leader");
    // Made and logged in: the mode screen's list, its second line "TACTICAL" under its middle.
    driver.ClickWhen("SETUP", "mode");
    driver.ClickWhen("PLAYMODE", "modes");
    driver.ClickWhen("PLAYMODE", "accept");
    driver.ClickWhen("SETUP", "campaign");
    driver.ClickWhen("CAMPAIGN", "briefing");
    driver.ClickWhen("BRIEFING", "weapons");
    driver.ClickWhen("WEAPONS", "next");
    driver.ClickWhen("WEAPONS", "play");
    const int exitCode = sample_walk::RunTheProgram(OnMissionFrame, OnMissionStep);
    PlatformTestClockStop();
    const SquadRun& run = g_run;
    std::string text;
    text += "driver: " + std::string(driver.Done() ? "all steps taken" : "steps left") + driver.Error() + "\n";
    text += "mode: " + std::to_string(run.mode) + "\n";
    text += std::string("mate at the start: ") + (run.mateAtStart ? "yes" : "no") + "\n";
    text += "squad: " + run.squad + "\n";
    text += "orders: " + run.orders + "\n";
    text += std::string("ground picked: ") + (run.picked ? "yes" : "no") + "\n";
    text += "way: " + std::to_string(static_cast<int>(Flat(run.start, run.target))) + "\n";
    text += std::string("arrived: ") + (run.arrivedFrame >= 0 ? "yes" : "no") + "\n";
    WriteFileBytes("squad.txt", text);
    return exitCode;
}

const bool g_squadJob = RegisterChildJob("sample_squad_keys", LeadTheSquad);

std::string Line(const std::string& text, const std::string& key)
{
    const std::size_t at = text.find(key + ": ");
    if (at == std::string::npos)
        return "(no line " + key + ")";
    const std::size_t from = at + key.size() + 2;
    return text.substr(from, text.find('\n', from) - from);
}

class SampleSquadKeys : public TempDirTest {};

TEST_F(SampleSquadKeys, ANewSoldierInTheTacticalModeSendsHisMateToTheGroundWithTheMenuKeys)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    std::string config = ReadFileBytes(ZINTAR_TEST_DATA_DIR "/../../data/sample/config.def");
    WriteFileBytes("config.def", config + "riwidth = 400\nriheight = 300\nrbwindowed = true\n");

    const ProgramResult run = RunChildJob("sample_squad_keys", TempPath(), {{"ALSOFT_DRIVERS", "null"}});
    ASSERT_TRUE(run.exited) << ReadFileBytes("stderr.txt");
    EXPECT_EQ(run.exitCode, 0);

    const std::string notes = ReadFileBytes("squad.txt");
    EXPECT_EQ(Line(notes, "driver"), "all steps taken") << notes;
    // The mode chosen on the screen is the campaign's: mode 1 keeps the player's friend.
    EXPECT_EQ(Line(notes, "mode"), "1") << notes;
    EXPECT_EQ(Line(notes, "mate at the start"), "yes") << notes;
    // The squad's menu lists the one friend; his orders come from his handler.
    EXPECT_EQ(Line(notes, "squad"), "mate") << notes;
    EXPECT_EQ(Line(notes, "orders"), "Move there|Attack|Attack or move|Hold position|Follow me|Stance|Report") << notes;
    EXPECT_EQ(Line(notes, "ground picked"), "yes") << notes;
    EXPECT_GT(std::atoi(Line(notes, "way").c_str()), 30) << "the point is away from where he stands\n" << notes;
    EXPECT_EQ(Line(notes, "arrived"), "yes") << notes;
}

}  // namespace
