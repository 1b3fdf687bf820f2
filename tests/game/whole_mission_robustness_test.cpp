// A whole run of the sample mission, in a child process on the packed sample data, as a player plays it: a soldier made and logged
// in, "Play", the placed rifle taken and the supply crate used by the frame's use click, then from
// the in-game menu a restart, a save, a load, the leave to the main menu, "Play" again and "Quit".
// Under the address sanitizer every step of it must stay clean; here its course is checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_table.h"
#include "core/console/console_var.h"
#include "core/winos.h"
#include "game/game_test_hooks.h"
#include "map/registry/world_registry.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "tests/game/sample_walk.h"
#include "tests/game/use_click.h"

namespace {

struct Walk {
    int frames = 0;     // drawn mission frames since the last wait at a loading screen
    int missions = 0;   // the waits at a loading screen
    int allFrames = 0;  // drawn mission frames of the whole run
    std::vector<std::string> notes;
    std::vector<std::string> messages;  // the message console's new lines
};
Walk g_walk;

// The rifle lying in the world: a weapon with an envelope and no owner.
Weapon* LyingRifle()
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i)
        if (auto* weapon = dynamic_cast<Weapon*>(objects[i]); weapon && weapon->envelope && !weapon->owner)
            return weapon;
    return nullptr;
}

bool ConsoleHas(const char* text)
{
    for (const std::string& line : engine_log::ConsoleLines(0))
        if (line.find(text) != std::string::npos)
            return true;
    return false;
}

void OnStep(MissionRoad road, int step)
{
    // The player starts without a rifle of his own, so that the placed one is his to take.
    if (road == MISSION_LOAD && step == 1) {
        FindCVar("gs_curprimaryweapon")->SetFromText("");
        FindCVar("gs_grenadeweapon")->SetFromText("");
    } else if (road == MISSION_LOAD && step == 27) {
        ++g_walk.missions;
        g_walk.frames = 0;
    }
    sample_walk::PressAtTheLoadWait(road, step);
}

// In the first mission's first frames the rifle is taken and the crate used; Escape opens the
// in-game menu every 10 drawn frames for the driver's next pick.
void OnFrame(bool present)
{
    if (!present)
        return;
    const int frame = ++g_walk.frames;
    const int all = ++g_walk.allFrames;
    if (g_walk.missions == 1 && frame == 1) {
        Weapon* rifle = LyingRifle();
        if (!rifle) {
            g_walk.notes.emplace_back("no rifle lying");
        } else {
            UseClickOn(rifle->envelope);
            g_walk.notes.emplace_back(
                rifle->owner && rifle->owner == PlayerActor() && !rifle->envelope ? "rifle taken" : "rifle not taken");
        }
    } else if (g_walk.missions == 1 && frame == 2) {
        if (Envelope* crate = EnvelopeFind("supplies")) {
            UseClickOn(crate);
            g_walk.notes.emplace_back(ConsoleHas("Supplies taken") ? "crate used" : "crate not used");
        }
    }
    sample_walk::EscapeEveryTenFrames(all);
    sample_walk::KeepNewestMessage(g_walk.messages);
}

// The walk in the child: the driver's picks, the run, then what it saw in "walk.txt".
int WalkTheMission()
{
    gui_test::GuiDriver driver;
    sample_walk::MakeAndLogInRecruit(driver);
    driver.ClickWhen("MAINMENU", "play");
    driver.ClickWhen("_MAINMENU", "savegames");
    driver.ClickWhen("SAVEGAMES", "restart");
    driver.ClickWhen("_MAINMENU", "savegames");
    driver.ClickWhen("SAVEGAMES", "save");
    driver.ClickWhen("_MAINMENU", "savegames");
    driver.ClickWhen("SAVEGAMES", "load1");
    driver.ClickWhen("_MAINMENU", "leave");
    driver.ClickWhen("MAINMENU", "play");
    driver.ClickWhen("_MAINMENU", "quit");
    const int exitCode = sample_walk::RunTheProgram(OnFrame, OnStep);
    std::string text = sample_walk::DriverLine(driver) + "\n";
    for (const std::string& note : g_walk.notes)
        text += note + "\n";
    text += "messages:\n";
    for (const std::string& line : g_walk.messages)
        text += line;
    WriteFileBytes("walk.txt", text);
    return exitCode;
}

const bool g_wholeMissionJob = RegisterChildJob("whole_mission", WalkTheMission);

class WholeMissionRobustness : public TempDirTest {};

TEST_F(WholeMissionRobustness, TakeUseRestartSaveLoadLeavePlayAgainAndQuit)
{
    std::string error;
    ASSERT_TRUE(sample_walk::PrepareSampleFolder(error)) << error;

    const ProgramResult run =
        RunChildJob("whole_mission", TempPath(), {{"ALSOFT_DRIVERS", "null"}}, std::chrono::seconds(240));
    const std::string ran = ReadFileBytes("zintar.log");
    ASSERT_TRUE(run.exited) << ReadFileBytes("stderr.txt") << ran.substr(ran.size() > 2500 ? ran.size() - 2500 : 0);
    EXPECT_EQ(run.exitCode, 0) << ReadFileBytes("stderr.txt");
    // Under the sanitizers the child reports on its error output; an undefined-behaviour report does
    // not end it.
    const std::string reports = ReadFileBytes("stderr.txt");
    for (const char* report : {"Sanitizer", "runtime error"})
        EXPECT_EQ(reports.find(report), std::string::npos) << reports;
    const std::string walk = ReadFileBytes("walk.txt");
    EXPECT_EQ(walk.substr(0, walk.find("messages:")), "driver: all steps taken\nrifle taken\ncrate used\n") << walk;
    const std::string messages = walk.substr(std::min(walk.find("messages:"), walk.size()));
    for (size_t at :
         sample_walk::InOrder(messages, {"global: Mission restarted.", "Game saved", "global: Game loaded."}))
        EXPECT_NE(at, std::string::npos) << messages;
    const std::string log = ReadFileBytes("zintar.log");
    const std::vector<std::string> course = {
        "Initializing mission 'map_01'...",
        "Saving game...done",
        "Loading game...done",
        "Leaving mission 'map_01'...",
        "Initializing mission 'map_01'...",
        "Leaving mission 'map_01'...",
        "Destroying virtual file system...",
    };
    const std::vector<size_t> at = sample_walk::InOrder(log, course);
    for (size_t i = 0; i < course.size(); ++i)
        EXPECT_NE(at[i], std::string::npos) << course[i];
}

}  // namespace
