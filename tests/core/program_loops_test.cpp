// The program's outer loops with missions that start: the menu loop, the main loop and the screen
// loop, each state word, each menu request and each screen that Escape, game code or the objectives
// key opens. WinMain runs in this process; a script plays the player (injected keys), the game (its
// frame) and the front end (a GUI frame that closes its screen with a state word), one step at the
// next place of its kind. The road the run takes (missions started, screens shown, screens
// activated, menus) is compared with the one the loops must take, with the exit code and the log.
#include <gtest/gtest.h>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>
#include <unistd.h>
#include "core/console/console.h"
#include "core/core_cvars.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/log.h"
#include "core/plugins/plugin_host.h"
#include "core/winos.h"
#include "game/mission/game_flow.h"
#include "game/commands/game_mod_registry.h"
#include "game/game_state.h"
#include "game/game_test_hooks.h"
#include "gui/screens/gui.h"
#include "gui/gui_test_hooks.h"
#include "platform/test_clock.h"
#include "platform/win32.h"
#include "platform/test_input.h"
#include "support/archive_builder.h"
#include "support/temp_dir.h"

namespace {

// The log is opened in the folder the test process starts in, before any test changes folder.
const std::string g_logPath = [] {
    char folder[4096];
    return std::string(getcwd(folder, sizeof folder) ? folder : ".") + "/zintar.log";
}();

constexpr int kObjectivesKey = 0x18;  // bound to the action "objectives" by the test's "input.def"

// Where a step of the script is taken.
enum class At {
    Start,   // the mission start, before it answers
    Game,    // a game frame of the main loop (one that presents)
    Screen,  // the GUI frame of the screen loop
    Menu,    // the GUI frame of the menu loop
};

constexpr s32_t kStaysUp = -1;

struct Step {
    At at;
    void (*act)() = nullptr;  // what the player, the game or the front end does there
    s32_t close = kStaysUp;   // at a GUI frame: the screen closes with this state word
};

// A run that leaves its script (steps left over, or too many passes) is ended through a screen with
// the state word 1, and the road shows where it left.
constexpr int kMostHookCalls = 400;

struct ScriptRun {
    const std::vector<Step>* steps = nullptr;
    size_t next = 0;
    int hookCalls = 0;
    bool offScript = false;
    bool afterStart = false;   // the mission start's own first frame comes next
    bool screenFrame = false;  // a frame that does not present came last: the screen loop's GUI frame follows
    std::vector<std::string> road;
    GuiScreen* scoreScreen = nullptr;
};
ScriptRun g_run;

void Note(const std::string& what)
{
    if (g_run.road.empty() || g_run.road.back() != what)
        g_run.road.push_back(what);
}

std::string ScreenName()
{
    return g_gui.currentScreen ? std::string(" ") + g_gui.currentScreen->name.Text() : std::string();
}

bool CursorShown()
{
    const int counter = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    return counter >= 0;
}

// A screen that notes its activation on the road.
class NotedScreen : public GuiScreen {
public:
    using GuiScreen::GuiScreen;
    void Activate(GuiScreen* screen) override
    {
        Note(std::string("activate ") + name.Text());
        GuiScreen::Activate(screen);
    }
};

// The screens the loops and the scripts ask for; the GUI deletes them at its shutdown.
void AddScreensOnce()
{
    // An unknown name finds the error screen once the GUI has loaded one.
    const GuiScreen* found = GuiFindScreen("_MAINMENU");
    if (found && found != g_gui.errorScreen)
        return;
    for (const char* name : {"_MAINMENU", "FAILSCREEN", "SUCCESSSCREEN", "MAINMENU", "CAMPAIGN", "QUICKMISSIONS",
                             "MULTIPLAYER", "MODESC", "MODSCORE"})
        GuiAddScreen(new NotedScreen(name));
    // They stand for the menu's screens, which leaving a mission keeps (it frees the mission's own).
    g_gui.menuScreenCount = GuiScreenCount();
    g_run.scoreScreen = GuiFindScreen("MODSCORE");
}

// The step to take here, when the script's next step is at this place.
const Step* TakeStep(At at)
{
    AddScreensOnce();
    if (++g_run.hookCalls > kMostHookCalls || (g_run.next >= g_run.steps->size() && !g_run.offScript)) {
        if (!g_run.offScript)
            g_run.road.push_back("(off the script)");
        g_run.offScript = true;
    }
    if (g_run.offScript || (*g_run.steps)[g_run.next].at != at)
        return nullptr;
    const Step& step = (*g_run.steps)[g_run.next++];
    if (step.act)
        step.act();
    return &step;
}

void OnMissionStart(const char* mapName)
{
    Note(std::string("start ") + mapName);
    EXPECT_FALSE(CursorShown()) << mapName;
    char** lines = ConLines(0);
    const char* newest = lines ? lines[ConLineCapacity(0) - 1] : nullptr;
    EXPECT_STREQ(newest, ("Loading map '" + std::string(mapName) + "'\n").c_str());
    g_run.afterStart = true;
    TakeStep(At::Start);
}

void OnGameFrame(bool present)
{
    if (g_run.afterStart) {
        g_run.afterStart = false;
        EXPECT_FALSE(present);
        return;
    }
    if (!present) {
        g_run.screenFrame = true;
        return;
    }
    Note("game");
    TakeStep(At::Game);
    if (g_run.offScript)
        g_gui.screenRequested = true;  // a screen opens, and its GUI frame quits
}

bool OnGuiFrame(s32_t* stateWord)
{
    const bool screen = g_run.screenFrame;
    g_run.screenFrame = false;
    Note((screen ? "screen" : "menu") + ScreenName());
    if (screen) {
        // What opening a screen set, whatever opened it.
        EXPECT_TRUE(g_frameView.screenOpen);
        EXPECT_TRUE(g_input.guiMode);
        EXPECT_FALSE(g_gui.screenRequested);
        EXPECT_TRUE(CursorShown());
    }
    const Step* step = TakeStep(screen ? At::Screen : At::Menu);
    if (g_run.offScript) {
        *stateWord = LOOP_QUIT;
        return false;
    }
    if (!step || step->close == kStaysUp)
        return true;
    *stateWord = step->close;
    return false;
}

// What the player does: a key goes down in one frame and up in a later one.
void EscapeDown()
{
    PlatformInjectKey(KEY_ESCAPE, true);
}
void EscapeUp()
{
    PlatformInjectKey(KEY_ESCAPE, false);
}
void ObjectivesDown()
{
    PlatformInjectKey(kObjectivesKey, true);
}
void ObjectivesUp()
{
    PlatformInjectKey(kObjectivesKey, false);
}
// The halt after a map that cannot load waits with its fatal lines on console 0: a few polls into
// the wait a key goes down (any key, Escape or not), or the window is asked to close, and the wait
// ends. A halt that waits on past that is ended with Escape, and the road shows it.
constexpr int kSpaceKey = 0x39;
constexpr int kPollsBeforeTheKey = 5;
constexpr int kPollsBeforeEscape = 200;
int g_haltPolls = 0;
bool g_haltByClose = false;

void WatchTheHalt(DWORD)
{
    ++g_haltPolls;
    if (g_haltPolls == kPollsBeforeEscape) {
        Note("still halted: escape");
        PlatformInjectKey(KEY_ESCAPE, true);
    }
    if (g_haltPolls != kPollsBeforeTheKey)
        return;
    const std::vector<std::string> lines = {ConLines(0)[ConLineCapacity(0) - 2], ConLines(0)[ConLineCapacity(0) - 1]};
    if (ConCurrentPage() == 0 && lines[0] == "\x0E\x02 *** FATAL ERROR : Program halted ***\n" &&
        lines[1] == "\x0E\x02<press ESC to exit>\n")
        Note("fatal lines on console 0");
    if (g_haltByClose) {
        Note("close");
        PlatformInjectCloseRequest();
    } else {
        Note("space");
        PlatformInjectKey(kSpaceKey, true);
    }
}

void WatchTheHaltUntilAKey()
{
    g_haltPolls = 0;
    g_haltByClose = false;
    PlatformTestClockStart(GetTickCount());
    PlatformTestClockOnSleep(WatchTheHalt);
}

void WatchTheHaltUntilTheClose()
{
    WatchTheHaltUntilAKey();
    g_haltByClose = true;
}

// The halt is over: the menus came back.
void StopWatchingTheHalt()
{
    PlatformTestClockStop();
    PlatformInjectKey(kSpaceKey, false);
}

// What the game does.
void RequestSuccessScreen()
{
    g_gui.currentScreen = GuiFindScreen("SUCCESSSCREEN");
    g_gui.screenRequested = true;
}
void EscapeUpAndRequestSuccessScreen()
{
    EscapeUp();
    RequestSuccessScreen();
}
void FailMission()
{
    g_game.missionFailed = true;
}
void RunGameMod(bool ownScreens)
{
    GameMod* mod = BeginGameModRegistration();
    ASSERT_NE(mod, nullptr);
    std::snprintf(mod->name, sizeof mod->name, "looptest");
    mod->ownScreens = ownScreens ? 1 : 0;
    std::snprintf(mod->escapeScreen, sizeof mod->escapeScreen, "MODESC");
    std::snprintf(mod->scoreScreen, sizeof mod->scoreScreen, "MODSCORE");
    EndGameModRegistration();
    g_frameView.currentGameMod = mod;
}
void RunGameModWithOwnScreens()
{
    RunGameMod(true);
}
void RunGameModWithoutOwnScreens()
{
    RunGameMod(false);
}
void FailMissionInGameModWithOwnScreens()
{
    RunGameModWithOwnScreens();
    FailMission();
}
void CompleteCampaign()
{
    g_game.campaignCompleted = true;
}
void EnterCursorMode()
{
    g_frameView.cursorMode = true;
}
// A game mode's change of map (`gxmap` does the same): the state word becomes 3.
void LoadNextMap()
{
    GameLoadNextGameModMap("map_b");
}
void AskForTheMainMenu()
{
    g_program.loopState = LOOP_MAIN_MENU;
}

// What the front end does: it holds the input while its menus show, and gives it back to a mission
// that it resumes.
// The map a joining plug-in names during the join (empty: none).
std::string g_joinMap;
void NameTheJoinedMap()
{
    dsmap.SetString(g_joinMap.c_str());
}
void JoinServer()
{
    using SetJoinHookFn = void (*)(void (*)());
    for (s32_t i = 0; i < g_pluginHost.PluginCount(); ++i) {
        void* module = g_pluginHost.Plugin(i)->Module();
        auto set =
            module ? reinterpret_cast<SetJoinHookFn>(GetProcAddress(static_cast<HMODULE>(module), "TraceSetJoinHook"))
                   : nullptr;
        if (set)
            set(NameTheJoinedMap);
    }
    ConExec("gx_joinserver", true);
    g_input.guiMode = true;
}
void ResumeMission()
{
    g_input.guiMode = false;
}

// The trigger (the left button, "fire") held: in the game when Escape opens the menu, or in the menu
// by the click that closes it.
void HoldTheTrigger()
{
    g_input.mouseStates[0] = INPUT_STATE_DOWN;
    g_input.actionDown[ACTION_FIRE] = INPUT_STATE_DOWN;
}
// A press made on one side of a screen's edge does not reach the other side.
void ExpectNoTriggerInTheMenu()
{
    EXPECT_EQ(g_input.mouseStates[0], 0);
    EXPECT_FALSE(g_gui.leftHeld);
}
void ExpectNoTriggerInTheGame()
{
    EXPECT_EQ(g_input.mouseStates[0], 0);
    EXPECT_EQ(g_input.actionDown[ACTION_FIRE], 0);
    EXPECT_EQ(g_input.actionReleased[ACTION_FIRE], 0);
}

// What must hold at a step.
void ExpectCursorHidden()
{
    EXPECT_FALSE(CursorShown());
}
void ExpectCursorShown()
{
    EXPECT_TRUE(CursorShown());
}
void ExpectBackInTheMission()
{
    EXPECT_FALSE(g_frameView.screenOpen);
    EXPECT_EQ(g_program.loopState, LOOP_NOTHING);
}
void ExpectBackAtTheMenu()
{
    EXPECT_EQ(g_program.loopState, LOOP_NOTHING);
    EXPECT_FALSE(g_frameView.screenOpen);
    EXPECT_EQ(g_frameView.currentGameMod, nullptr);  // the game mode ended
    EXPECT_TRUE(CursorShown());
}
void ExpectScreenLeft()
{
    EXPECT_EQ(g_program.loopState, LOOP_NOTHING);
    EXPECT_FALSE(g_frameView.screenOpen);
    EXPECT_FALSE(g_input.guiMode);
}
void ExpectMultiplayerShown()
{
    EXPECT_EQ(g_program.menuRequest, 0);
    EXPECT_FALSE(g_game.multiplayerPending);
    EXPECT_EQ(g_gui.multiplayerCounter, -1);
    EXPECT_TRUE(CursorShown());
}
void ExpectJoinStarted()
{
    EXPECT_EQ(g_program.menuRequest, 0);
    EXPECT_FALSE(g_game.multiplayerPending);
    EXPECT_FALSE(g_input.guiMode);
}

// A script's last steps: Escape in the mission, and the screen it opens quits the program.
const std::vector<Step> kEscapeAndQuit = {{At::Game, EscapeDown}, {At::Game, EscapeUp}, {At::Screen, nullptr, 1}};

std::vector<Step> Then(std::vector<Step> steps, const std::vector<Step>& more)
{
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

struct LoopCase {
    const char* name;
    const char* commandLine;  // "-m" starts the mission at once
    std::vector<Step> script;
    std::vector<std::string> road;
    int exitCode = 0;
    int missionsEntered = 0;    // "Entering main loop..." in the log
    int screenShownEvents = 0;  // the game mode's score screen sent to the plug-ins
    int joinEvents = 0;         // HookMultiplayerPending sent with the menu request word
    const char* map = nullptr;  // `dsmap` before the run, when given
    const char* plugin = "a_good.plg";
    int initMissionResult = 0;
};

void PrintTo(const LoopCase& c, std::ostream* out)
{
    *out << c.name;
}

const LoopCase kStateWords[] = {
    {"QuitFromAScreen", "-m map_a", kEscapeAndQuit, {"start map_a", "game", "screen _MAINMENU"}, 0, 1},
    {"MainMenuFromAScreen",
     "-m map_a",
     {{At::Game, RunGameModWithoutOwnScreens},
      {At::Game, EscapeDown},
      {At::Game, EscapeUp},
      {At::Screen, nullptr, 2},
      {At::Menu, ExpectBackAtTheMenu, 1}},
     {"start map_a", "game", "screen _MAINMENU", "activate MAINMENU", "menu MAINMENU"},
     0,
     1},
    {"MainMenuWhileNoScreenIsUp",
     "-m map_a",
     {{At::Game, RunGameModWithoutOwnScreens}, {At::Game, AskForTheMainMenu}, {At::Menu, ExpectBackAtTheMenu, 1}},
     {"start map_a", "game", "activate MAINMENU", "menu MAINMENU"},
     0,
     1},
    {"LoadMapFromTheGame",
     "-m map_a",
     Then({{At::Game, LoadNextMap}, {At::Start, ExpectScreenLeft}}, kEscapeAndQuit),
     {"start map_a", "game", "start map_b", "game", "screen _MAINMENU"},
     0,
     2},
    {"LoadMapUnderAScreen",
     "-m map_a",
     Then({{At::Game, EscapeDown}, {At::Game, EscapeUp}, {At::Screen, LoadNextMap}, {At::Start, ExpectScreenLeft}},
          kEscapeAndQuit),
     {"start map_a", "game", "screen _MAINMENU", "start map_b", "game", "screen _MAINMENU"},
     0,
     2},
    {"CampaignFromAScreenThenTheNextMission",
     "-m map_a",
     Then({{At::Game, RunGameModWithoutOwnScreens},
           {At::Game, EscapeDown},
           {At::Game, EscapeUp},
           {At::Screen, nullptr, 4},
           {At::Menu, ExpectBackAtTheMenu, 0},
           {At::Start}},
          kEscapeAndQuit),
     {"start map_a", "game", "screen _MAINMENU", "activate CAMPAIGN", "menu CAMPAIGN", "start map_a", "game",
      "screen _MAINMENU"},
     0,
     2},
    {"CampaignCompleted",
     "-m map_a",
     {{At::Game, CompleteCampaign},
      {At::Game, EscapeDown},
      {At::Game, EscapeUp},
      {At::Screen, nullptr, 4},
      {At::Menu, ExpectBackAtTheMenu, 1}},
     {"start map_a", "game", "screen _MAINMENU", "activate MAINMENU", "menu MAINMENU"},
     0,
     1},
    {"QuickMissionsFromAScreen",
     "-m map_a",
     {{At::Game, RunGameModWithoutOwnScreens},
      {At::Game, EscapeDown},
      {At::Game, EscapeUp},
      {At::Screen, nullptr, 5},
      {At::Menu, ExpectBackAtTheMenu, 1}},
     {"start map_a", "game", "screen _MAINMENU", "activate QUICKMISSIONS", "menu QUICKMISSIONS"},
     0,
     1},
    {"NothingBackToTheMission",
     "-m map_a",
     Then({{At::Game, EscapeDown},
           {At::Game, EscapeUp},
           {At::Screen, ResumeMission, 0},
           {At::Game, ExpectBackInTheMission}},
          kEscapeAndQuit),
     {"start map_a", "game", "screen _MAINMENU", "game", "screen _MAINMENU"},
     0,
     1},
    {"CursorModeShowsTheCursorInPlay",
     "-m map_a",
     Then({{At::Game, ExpectCursorHidden}, {At::Game, EnterCursorMode}, {At::Game, ExpectCursorShown}}, kEscapeAndQuit),
     {"start map_a", "game", "screen _MAINMENU"},
     0,
     1},
    {"MenuStartsTheMission",
     "",
     Then({{At::Menu, nullptr, 0}, {At::Start}}, kEscapeAndQuit),
     {"menu", "start map_menu", "game", "screen _MAINMENU"},
     0,
     1,
     0,
     0,
     "map_menu"},
    {"QuitFromTheMenu", "", {{At::Menu, nullptr, 1}}, {"menu"}, 0, 0},
    {"MapThatCannotLoadHaltsUntilAKey",
     "-m missing_map",
     {{At::Start, WatchTheHaltUntilAKey}},
     {"start missing_map", "fatal lines on console 0", "space"},
     -1,
     0,
     0,
     0,
     nullptr,
     "a_good.plg",
     -1},
    {"MapThatCannotLoadHaltsUntilTheWindowCloses",
     "-m missing_map",
     {{At::Start, WatchTheHaltUntilTheClose}},
     {"start missing_map", "fatal lines on console 0", "close"},
     -1,
     0,
     0,
     0,
     nullptr,
     "a_good.plg",
     -1},
    {"MapThatCannotLoadFromTheMenuLeadsBackToIt",
     "",
     {{At::Menu, nullptr, LOOP_NOTHING}, {At::Start, WatchTheHaltUntilAKey}, {At::Menu, StopWatchingTheHalt, 1}},
     {"menu", "start missing_map", "fatal lines on console 0", "space", "activate MAINMENU", "menu MAINMENU"},
     0,
     0,
     0,
     0,
     "missing_map",
     "a_good.plg",
     -1},
};

const LoopCase kEscapeScreens[] = {
    {"TheTriggerHeldWhenEscapeOpensTheMenuClicksNothingThere",
     "-m map_a",
     Then({{At::Game, HoldTheTrigger},
           {At::Game, EscapeDown},
           {At::Game, EscapeUp},
           {At::Screen, ExpectNoTriggerInTheMenu}},
          {{At::Screen, nullptr, 1}}),
     {"start map_a", "game", "screen _MAINMENU"},
     0,
     1},
    {"TheClickThatClosesTheMenuDoesNotReachTheGame",
     "-m map_a",
     Then({{At::Game, EscapeDown},
           {At::Game, EscapeUp},
           {At::Screen, HoldTheTrigger, LOOP_NOTHING},
           {At::Game, ExpectNoTriggerInTheGame}},
          kEscapeAndQuit),
     {"start map_a", "game", "screen _MAINMENU", "game", "screen _MAINMENU"},
     0,
     1},
    {"Escape", "-m map_a", kEscapeAndQuit, {"start map_a", "game", "screen _MAINMENU"}, 0, 1},
    {"EscapeAfterGameCodeChoseAScreen",
     "-m map_a",
     {{At::Game, EscapeDown}, {At::Game, EscapeUpAndRequestSuccessScreen}, {At::Screen, nullptr, 1}},
     {"start map_a", "game", "screen SUCCESSSCREEN"},
     0,
     1},
    {"EscapeAfterTheMissionFailed",
     "-m map_a",
     Then({{At::Game, FailMission}}, kEscapeAndQuit),
     {"start map_a", "game", "screen FAILSCREEN"},
     0,
     1},
    {"EscapeInAGameModWithItsOwnScreens",
     "-m map_a",
     Then({{At::Game, FailMissionInGameModWithOwnScreens}}, kEscapeAndQuit),
     {"start map_a", "game", "screen MODESC"},
     0,
     1},
    {"EscapeInAGameModWithoutOwnScreens",
     "-m map_a",
     Then({{At::Game, RunGameModWithoutOwnScreens}}, kEscapeAndQuit),
     {"start map_a", "game", "screen _MAINMENU"},
     0,
     1},
    {"GameCodeChoseAScreen",
     "-m map_a",
     {{At::Game, RequestSuccessScreen}, {At::Screen, nullptr, 1}},
     {"start map_a", "game", "screen SUCCESSSCREEN"},
     0,
     1},
    {"GameCodeAskedForAScreenInAGameModWithItsOwnScreens",
     "-m map_a",
     {{At::Game, RunGameModWithOwnScreens},
      {At::Game, RequestSuccessScreen},
      {At::Screen},
      {At::Screen},
      {At::Screen, nullptr, 1}},
     {"start map_a", "game", "screen MODSCORE"},
     0,
     1,
     4},
    {"ObjectivesKeyInAGameModWithItsOwnScreens",
     "-m map_a",
     {{At::Game, RunGameModWithOwnScreens},
      {At::Game, ObjectivesDown},
      {At::Game, ObjectivesUp},
      {At::Screen, nullptr, 1}},
     {"start map_a", "game", "screen MODSCORE"},
     0,
     1,
     2},
    {"ObjectivesKeyWithoutAGameModOpensNothing",
     "-m map_a",
     Then({{At::Game, ObjectivesDown}, {At::Game, ObjectivesUp}, {At::Game}}, kEscapeAndQuit),
     {"start map_a", "game", "screen _MAINMENU"},
     0,
     1},
};

const LoopCase kMenuRequests[] = {
    {"JoinWithoutAMapShowsMultiplayer",
     "",
     {{At::Menu, JoinServer}, {At::Menu}, {At::Menu, ExpectMultiplayerShown, 1}},
     {"menu", "activate MULTIPLAYER", "menu MULTIPLAYER"},
     0,
     0,
     0,
     0,
     ""},
    {"PluginAsksForMultiplayer",
     "",
     {{At::Menu, JoinServer}, {At::Menu, ExpectCursorHidden}, {At::Menu, ExpectMultiplayerShown, 1}},
     {"menu", "activate MULTIPLAYER", "menu MULTIPLAYER"},
     0,
     0,
     0,
     1,
     "map_net",
     "g_join_show.plg"},
    {"PluginStartsTheMission",
     "",
     Then({{At::Menu, JoinServer}, {At::Menu}, {At::Start, ExpectJoinStarted}}, kEscapeAndQuit),
     {"menu", "start map_net", "game", "screen _MAINMENU"},
     0,
     1,
     0,
     1,
     "map_net",
     "g_join_start.plg"},
};

// The parameters of one event in the plug-in's trace, in order.
std::vector<std::uintptr_t> EventParameters(const std::string& trace, const std::string& code)
{
    std::vector<std::uintptr_t> parameters;
    std::istringstream lines(trace);
    const std::string event = ": event " + code + " ";
    for (std::string line; std::getline(lines, line);) {
        const size_t at = line.find(event);
        if (at != std::string::npos)
            parameters.push_back(std::stoull(line.substr(at + event.size()), nullptr, 16));
    }
    return parameters;
}

size_t CountOf(const std::string& text, const std::string& wanted)
{
    size_t count = 0;
    for (size_t at = text.find(wanted); at != std::string::npos; at = text.find(wanted, at + wanted.size()))
        ++count;
    return count;
}

class ProgramLoops : public TempDirTest, public ::testing::WithParamInterface<LoopCase> {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_savedMap = dsmap.ValueToText();
    }
    void TearDown() override
    {
        GameSetTestHooks({});
        GuiSetTestFrameHook(nullptr);
        PlatformTestClockStop();
        if (g_haltPolls > 0) {
            PlatformInjectKey(kSpaceKey, false);
            PlatformInjectKey(KEY_ESCAPE, false);
            g_haltPolls = 0;
        }
        // The flags the scripts set in the game's part.
        g_game.missionFailed = false;
        g_frameView.cursorMode = false;
        g_game.campaignCompleted = false;
        g_game.multiplayerPending = false;
        g_run = {};
        dsmap.SetFromText(m_savedMap.c_str());
        TempDirTest::TearDown();
    }

private:
    std::string m_savedMap;
};

TEST_P(ProgramLoops, TakeTheRoadThePlayerTheGameAndTheMenusAskFor)
{
    const LoopCase& c = GetParam();
    ASSERT_TRUE(
        WriteTestArchive("main.bfs", {{"config.def", "rbwindowed = 1\n"}, {"input.def", "objectives DIK_O\n"}}));
    std::filesystem::create_directories("plugins");
    std::filesystem::copy_file(std::filesystem::path(ZINTAR_TEST_PLUGIN_DIR) / c.plugin,
                               std::filesystem::path("plugins") / c.plugin);
    if (c.map)
        dsmap.SetString(c.map);
    g_joinMap = c.map ? c.map : "";
    g_run.steps = &c.script;
    GameSetTestHooks({c.initMissionResult, OnMissionStart, OnGameFrame});
    GuiSetTestFrameHook(OnGuiFrame);
    const std::string marker = std::string("-- loops ") + c.name + " --\n";
    Log("%s", marker.c_str());

    std::string commandLine = c.commandLine;
    const int exitCode = WinMain(nullptr, nullptr, commandLine.data(), SW_SHOW);

    EXPECT_EQ(exitCode, c.exitCode);
    EXPECT_EQ(g_run.road, c.road);
    EXPECT_EQ(g_run.next, c.script.size()) << "steps not taken";
    const std::string log = ReadFileBytes(g_logPath);
    const size_t from = log.rfind(marker);
    ASSERT_NE(from, std::string::npos);
    EXPECT_EQ(CountOf(log.substr(from), "Entering main loop...\n"), static_cast<size_t>(c.missionsEntered));

    const std::string trace = ReadFileBytes("plugin_trace.txt");
    const std::vector<std::uintptr_t> shown = EventParameters(trace, "50006");
    EXPECT_EQ(shown.size(), static_cast<size_t>(c.screenShownEvents));
    for (std::uintptr_t screen : shown)
        EXPECT_EQ(screen, reinterpret_cast<std::uintptr_t>(g_run.scoreScreen));
    const std::vector<std::uintptr_t> joins = EventParameters(trace, "50009");
    EXPECT_EQ(joins.size(), static_cast<size_t>(c.joinEvents));
    for (std::uintptr_t word : joins)
        EXPECT_EQ(word, reinterpret_cast<std::uintptr_t>(&g_program.menuRequest));
}

std::string CaseName(const ::testing::TestParamInfo<LoopCase>& c)
{
    return c.param.name;
}

INSTANTIATE_TEST_SUITE_P(StateWords, ProgramLoops, ::testing::ValuesIn(kStateWords), CaseName);
INSTANTIATE_TEST_SUITE_P(EscapeScreens, ProgramLoops, ::testing::ValuesIn(kEscapeScreens), CaseName);
INSTANTIATE_TEST_SUITE_P(MenuRequests, ProgramLoops, ::testing::ValuesIn(kMenuRequests), CaseName);

}  // namespace
