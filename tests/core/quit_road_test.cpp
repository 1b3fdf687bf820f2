// The roads of `quit`, taken inside the whole program (WinMain in this process): from the menu and
// from a mission (a stand-in mission start), each argument form as an ordered log of its steps with
// the progress each screen drew, the program's end through the one shutdown with exit code 0 and
// nothing drawn after the end was marked, the account written once on every road out with the
// settings of the moment, "quit -g" from a mission back at the main menu, and the window's close
// request in a mission taking the road of "quit".
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/core_cvars.h"
#include "core/log.h"
#include "core/files/uff_file.h"
#include "core/winos.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/account_file.h"
#include "game/accounts/accounts.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/game_test_hooks.h"
#include "game/accounts/player_account.h"
#include "game/mission/quit.h"
#include "gui/screens/gui.h"
#include "gui/gui_test_hooks.h"
#include "platform/file_system.h"
#include "platform/win32.h"
#include "platform/test_input.h"
#include "support/archive_builder.h"
#include "support/temp_dir.h"

namespace {

const std::string g_logPath = [] {
    char folder[4096];
    return std::string(getcwd(folder, sizeof folder) ? folder : ".") + "/zintar.log";
}();

struct RoadRecord {
    std::vector<std::string> steps;
    bool ended = false;        // the program was marked as ending
    int drawsAfterEnd = 0;     // GUI or game frames, or screen draws, after the mark
    std::string menuScreen;    // the current screen at the menu frame after a mission
    const char* command = "";  // typed at the first chance; null: the window is asked to close
    bool fromMission = false;  // typed in a game frame of a stand-in mission
    bool typed = false;
    int framesAfterTyping = 0;
    int accountWrites = 0;        // whole writes of "tester.acc"
    bool missionScreens = false;  // the progress screens go with the mission
};
RoadRecord g_road;

void RecordStep(const char* step)
{
    g_road.steps.push_back(step);
    if (std::string(step) == "program ending")
        g_road.ended = true;
}

// A progress screen: each draw notes the text and value the loading display shows.
class ProgressScreen : public GuiScreen {
public:
    using GuiScreen::GuiScreen;
    void Draw(float x, float y, float w, float h) override
    {
        if (g_road.ended)
            ++g_road.drawsAfterEnd;
        g_road.steps.push_back("drawn " + std::to_string(gi_maploadprogress.Int()) + " " + gs_maploadprogress.String());
        GuiScreen::Draw(x, y, w, h);
    }
};

// An account "tester", logged in, whose shadow setting is then changed.
void MakeAccountAndChangeASetting()
{
    as_curaccount.SetString("tester");
    as_accpassword.SetString("");
    as_curpassword.SetString("");
    ASSERT_EQ(AccountAdd(nullptr), 0);
    ASSERT_NE(FindCVar("rbshadows"), nullptr);
    FindCVar("rbshadows")->SetFromText("true");
}

void Prepare()
{
    g_road.typed = true;
    MakeAccountAndChangeASetting();
    GuiAddScreen(new ProgressScreen("EXITSCREEN"));
    GuiAddScreen(new ProgressScreen("LEAVESCREEN"));
    GuiAddScreen(new GuiScreen("MAINMENU"));
    // Screens of the menus, as the "gui" script's are; otherwise they are the mission's, and leaving
    // the mission frees them.
    if (!g_road.missionScreens)
        g_gui.menuScreenCount = GuiScreenCount();
}

// In the menu the command runs as a GUI frame begins, before it draws (as a console line runs between
// frames).
void OnGuiFrameStart()
{
    if (g_road.ended)
        ++g_road.drawsAfterEnd;
    if (g_road.typed || g_road.fromMission)
        return;
    Prepare();
    ConExec(g_road.command, true);
}

bool OnGuiFrame(s32_t* stateWord)
{
    if (g_road.fromMission && g_gui.currentScreen)
        g_road.menuScreen = g_gui.currentScreen->name.Text();
    // The road did not end the program: the menu quits it.
    *stateWord = LOOP_QUIT;
    return false;
}

// In a mission the command is typed at the console, a character a message.
void OnGameFrame(bool present)
{
    if (g_road.ended)
        ++g_road.drawsAfterEnd;
    if (!present)
        return;
    // A request nobody answers would run the mission for ever: the immediate form ends it (and the
    // steps show the difference).
    if (g_road.typed) {
        if (++g_road.framesAfterTyping == 200)
            ConExec("quit -m", true);
        return;
    }
    Prepare();
    if (!g_road.command) {
        PlatformInjectCloseRequest();
        return;
    }
    ConSetCurrent(0);
    PlatformInjectText((std::string(g_road.command) + "\r").c_str());
}

bool CountAccountWrites(AtomicWriteStage stage, const char* temporaryPath)
{
    if (stage == ATOMIC_WRITE_BEFORE_RENAME && temporaryPath &&
        std::string(temporaryPath).find("tester.acc") != std::string::npos)
        ++g_road.accountWrites;
    return true;
}

void OnMissionStart(const char*) {}

std::vector<std::string> Then(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<std::string> kCommon = {"event 0x30002", "restart information dropped"};

std::vector<std::string> ExitRoad(bool mission)
{
    std::vector<std::string> steps = {"screen EXITSCREEN",
                                      "GameModsFree",
                                      "progress 10 Destroying additional data...",
                                      "drawn 10 Destroying additional data...",
                                      "VideoShutdown",
                                      "ConShutdown",
                                      "progress 30 Destroying objects...",
                                      "drawn 30 Destroying objects...",
                                      "GameResetDefaultWeapons"};
    if (mission)
        steps.push_back("GameLeaveMission");
    return Then(steps, {"progress 0 Destroying sound...", "drawn 0 Destroying sound...", "SoundShutdown",
                        "progress 80 Destroying scripts...", "drawn 80 Destroying scripts...", "DestroyScriptCache",
                        "progress 100 Exiting...", "drawn 100 Exiting...", "RenderShutdown 1", "InputShutdown",
                        "GuiShutdown", "BlockListFree", "account options refreshed", "AccountSave", "ActorListsFree",
                        "AccountsShutdown", "VFSShutdown", "DefFileFreeAll", "program ending"});
}

const std::vector<std::string> kImmediateRoad = {"GameModsFree",       "SoundShutdown",    "VideoShutdown",
                                                 "DestroyScriptCache", "ConShutdown",      "InputShutdown",
                                                 "GuiShutdown",        "RenderShutdown 0", "account options refreshed",
                                                 "AccountSave",        "AccountsShutdown", "VFSShutdown",
                                                 "DefFileFreeAll",     "program ending"};

std::vector<std::string> LeaveRoad(bool mission)
{
    std::vector<std::string> steps = {"screen LEAVESCREEN", "progress 0 Unloading map...", "drawn 0 Unloading map...",
                                      "SoundStopAll", "SoundFreeMission"};
    if (mission)
        steps.push_back("GameLeaveMission");
    return Then(steps, {"progress 35 Unloading scripts...",
                        "drawn 35 Unloading scripts...",
                        "DestroyScriptCache",
                        "progress 37 Destroying vegetation...",
                        "drawn 37 Destroying vegetation...",
                        "VegetationShutdown",
                        "DrawRecordListFree",
                        "progress 42 Releasing dynamic data...",
                        "drawn 42 Releasing dynamic data...",
                        "DecalListClear",
                        "DebugListsFree",
                        "progress 70 Destroying textures and device buffers...",
                        "drawn 70 Destroying textures and device buffers...",
                        "TexturesReleaseAll",
                        "RenderFreeSunEffect",
                        "GpuAnimRelease",
                        "RenderReleaseDeviceResources",
                        "BlockListFree",
                        "GuiTexturesLoad",
                        "RenderCreateDeviceResources",
                        "DrawRecordListInit",
                        "DebugListsReset",
                        "CreateScriptCache",
                        "FontsReloadTextures",
                        "progress 100 Returning to GUI...",
                        "drawn 100 Returning to GUI..."});
}

// The road with its progress screen gone at the mission's leave: no draws of it after the leave; the
// screen found for a later road is the error screen.
std::vector<std::string> WithoutDrawsAfterTheLeave(std::vector<std::string> steps, const char* screen = nullptr)
{
    std::vector<std::string> kept;
    bool left = false;
    for (const std::string& step : steps) {
        if (screen && step.rfind("screen ", 0) == 0) {
            kept.push_back(std::string("screen ") + screen);
            left = true;
            continue;
        }
        if (left && step.rfind("drawn ", 0) == 0)
            continue;
        kept.push_back(step);
        left = left || step == "GameLeaveMission";
    }
    return kept;
}

struct QuitCase {
    const char* name;
    const char* command;
    bool fromMission;
    std::vector<std::string> steps;
    bool ends;                   // the command itself ended the program
    const char* menuAfter = "";  // the screen the menu shows after the mission
    bool missionScreens = false;
};

void PrintTo(const QuitCase& c, std::ostream* out)
{
    *out << c.name;
}

const QuitCase kCases[] = {
    {"NoArgumentInTheMenu", "quit", false, Then(kCommon, ExitRoad(false)), true},
    {"ImmediateInTheMenu", "quit -m", false, Then(kCommon, kImmediateRoad), true},
    {"ImmediateCapitalInTheMenu", "quit -M", false, Then(kCommon, kImmediateRoad), true},
    {"LeaveInTheMenu", "quit -g", false, Then(kCommon, LeaveRoad(false)), false},
    {"LeaveCapitalInTheMenu", "quit -G", false, Then(kCommon, LeaveRoad(false)), false},
    // Any other argument, even two characters that begin with "-": only the first two steps.
    {"OtherArgument", "quit -x", false, kCommon, false},
    {"LongerArgumentWithG", "quit -gx", false, kCommon, false},
    {"NoArgumentInAMission", "quit", true, Then(kCommon, ExitRoad(true)), true},
    {"ImmediateInAMission", "quit -m", true, Then(kCommon, kImmediateRoad), true},
    // The console's "-g" leaves the mission and asks for the menus; the main loop's own leave then
    // finds no mission and still rebuilds the menus' resources.
    {"LeaveInAMission", "quit -g", true, Then(Then(kCommon, LeaveRoad(true)), Then(kCommon, LeaveRoad(false))), false,
     "MAINMENU"},
    // Progress screens that belong to the mission go with it: the road goes on behind the error screen.
    {"LeaveInAMissionWhoseScreensGoWithIt", "quit -g", true,
     Then(Then(kCommon, WithoutDrawsAfterTheLeave(LeaveRoad(true))),
          Then(kCommon, WithoutDrawsAfterTheLeave(LeaveRoad(false), "ERROR"))),
     false, "ERROR", true},
    {"NoArgumentInAMissionWhoseScreensGoWithIt", "quit", true, Then(kCommon, WithoutDrawsAfterTheLeave(ExitRoad(true))),
     true, "", true},
    // The window's close button during a mission: the road of "quit" without argument.
    {"CloseRequestInAMission", nullptr, true, Then(kCommon, ExitRoad(true)), true},
};

class QuitRoad : public TempDirTest, public ::testing::WithParamInterface<QuitCase> {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        for (ConsoleVar* var : {&dsmap, FindCVar("rbshadows"), &as_accname})
            m_saved.emplace_back(var, var->ValueToText());
        g_road = {};
        // The program starts without a mission, whatever an earlier test of the process left marked.
        g_game.missionLoaded = false;
    }
    void TearDown() override
    {
        QuitSetStepRecorder(nullptr);
        SetAtomicWriteTestHook(nullptr);
        GuiSetTestFrameHook(nullptr);
        GuiSetFrameObserver(nullptr);
        GameSetTestHooks({});
        for (auto& [var, text] : m_saved)
            var->SetFromText(text.c_str());
        g_road = {};
        // A program that ended on the window's close leaves the quit message its window procedure
        // posted; fetched by the next program run in this process, it would end that run at once.
        MSG left;
        while (PeekMessageA(&left, nullptr, 0, 0, PM_REMOVE)) {
        }
        TempDirTest::TearDown();
    }

private:
    std::vector<std::pair<ConsoleVar*, std::string>> m_saved;
};

TEST_P(QuitRoad, TakesItsStepsInOrderAndEndsThroughTheOneShutdown)
{
    const QuitCase& c = GetParam();
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"config.def", "rbwindowed = 1\nrbshadows = false\n"}}));
    g_road.command = c.command;
    g_road.fromMission = c.fromMission;
    g_road.missionScreens = c.missionScreens;
    QuitSetStepRecorder(RecordStep);
    GuiSetTestFrameHook(OnGuiFrame);
    GuiSetFrameObserver(OnGuiFrameStart);
    GameSetTestHooks({0, OnMissionStart, OnGameFrame});
    SetAtomicWriteTestHook(CountAccountWrites);
    const std::string marker = std::string("-- quit road ") + c.name + " --\n";
    Log("%s", marker.c_str());

    std::string commandLine = c.fromMission ? "-m map_a -a tester" : "";
    const int exitCode = WinMain(nullptr, nullptr, commandLine.data(), SW_SHOW);
    QuitSetStepRecorder(nullptr);
    SetAtomicWriteTestHook(nullptr);

    EXPECT_EQ(exitCode, 0);
    ASSERT_TRUE(g_road.typed);
    EXPECT_EQ(g_road.steps, c.steps);
    EXPECT_EQ(g_road.ended, c.ends);
    EXPECT_EQ(g_road.drawsAfterEnd, 0);
    EXPECT_EQ(g_road.menuScreen, c.menuAfter);

    // The shutdown ran after the road, whatever the road had already shut down.
    const std::string log = ReadFileBytes(g_logPath);
    const size_t from = log.rfind(marker);
    ASSERT_NE(from, std::string::npos);
    const std::string since = log.substr(from);
    size_t at = 0;
    for (const char* line : {"Destroying sound...", "Destroying video subsystem...", "Destroying input...",
                             "Destroying device buffers and vegetation...", "Destroying virtual file system..."}) {
        at = since.find(line, at);
        ASSERT_NE(at, std::string::npos) << line << "\n" << since;
    }

    // Whichever road ended the program (the command's, or the menu's "Quit" after it), the account was
    // written once more after its creation, with the setting of the moment.
    EXPECT_EQ(g_road.accountWrites, 2);
    UffFile file("accounts/tester.acc");
    ASSERT_TRUE(file.IsOpen());
    PlayerAccount account;
    ASSERT_TRUE(AccountReadFile(account, file));
    bool found = false;
    for (s32_t i = 0; i < ACCOUNT_OPTION_COUNT; ++i) {
        if (std::string(account.optionNames[i].Text()) == "rbshadows") {
            EXPECT_STREQ(account.optionValues[i].Text(), "true");
            found = true;
        }
    }
    EXPECT_TRUE(found);
}

INSTANTIATE_TEST_SUITE_P(EveryForm, QuitRoad, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<QuitCase>& c) { return std::string(c.param.name); });

}  // namespace
