// The program's entry and outermost control flow. Everything runs on this one thread.
//
// A composition root: WinMain and its loops wire every subsystem together, so this file may include
// any folder. Other sources include only their own folder and those below it, except where their
// work calls a later subsystem.
#include "core/winos.h"
#include <cmath>
#include <cstdio>
#include <cstring>
#include "core/strings/text_case.h"
#include "actors/weapons/projectile.h"
#include "ai/soldier/ai_runtime.h"
#include "core/assert.h"
#include "core/console/console.h"
#include "core/core_cvars.h"
#include "core/files/def_file.h"
#include "core/frame_view.h"
#include "core/plugins/editor.h"
#include "core/input/input.h"
#include "core/log.h"
#include "core/plugins/plugin_host.h"
#include "core/files/script_file.h"
#include "core/sound/sound.h"
#include "core/files/vfs.h"
#include "core/video/video.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/accounts.h"
#include "game/accounts/campaign_chronology.h"
#include "game/game_cvars.h"
#include "game/mission/game_flow.h"
#include "game/mission/game_frame.h"
#include "game/game_state.h"
#include "gui/screens/gui.h"
#include "map/registry/actor_lists.h"
#include "map/terrain/map_load.h"
#include "render/render_cvars.h"
#include "render/device/render_device.h"
#include "scene/hud/screen_fade.h"
#include "scene/draw_records/draw_lists.h"
#include "scene/passes/frame_state.h"
#include "scene/passes/prepare_buffers.h"

ConsoleVar gbconsoles("gbconsoles", CVAR_BOOL, "false");
ConsoleVar dsmap("dsmap", CVAR_STRING, "map_01");
ConsoleVar gbsf("gbsf", CVAR_BOOL, "true");

ProgramState g_program;

namespace {
constexpr const char* kWindowClass = "zintar";
constexpr const char* kWindowTitle = "Zintar Engine";

// The record of the last message pump; the GUI frame reads its fields.
MSG g_message = {};
// Set while the screen shown by the main loop is a game mod's score screen.
bool g_scoreScreenShown = false;

enum class LoopExit { Quit, ToMenu, NextMission };

// How far start-up came: Shutdown stops what the stages reached have started, and nothing else.
enum class Stage { Nothing, Archives, Devices, Everything };
Stage g_started = Stage::Nothing;

// Takes at most one window message and dispatches it. When none was waiting the record keeps
// the cursor position but carries no message, so the GUI never sees one message twice.
void PumpOneMessage()
{
    if (PeekMessageA(&g_message, g_program.mainWindow, 0, 0, PM_REMOVE)) {
        TranslateMessage(&g_message);
        DispatchMessageA(&g_message);
    } else {
        g_message.message = WM_NULL;
        g_message.wParam = 0;
        g_message.lParam = 0;
    }
}

bool RunGuiFrame()
{
    return GuiFrame(g_message.pt.x, g_message.pt.y, g_message.message, g_message.lParam, g_message.wParam,
                    &g_program.loopState);
}

void FrameStep(bool present)
{
    GameUpdateFrame(present);
}

ATOM RegisterMainWindowClass(const char* className)
{
    WNDCLASSA windowClass = {};
    windowClass.style = 0;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = nullptr;
    windowClass.lpszClassName = className;
    return RegisterClassA(&windowClass);
}

HWND CreateMainWindow(const char* className, const char* title)
{
    HWND window = CreateWindowExA(0, className, title, WS_CAPTION | WS_THICKFRAME | WS_CLIPCHILDREN, 0, 0, 320, 200,
                                  nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    return window;
}

// Runs the front end until it asks to leave.
void MenuLoop()
{
    for (;;) {
        PumpOneMessage();
        if (g_program.ending)
            return;
        InputUpdate();
        g_pluginHost.Broadcast(HookFrame, 0);
        if (g_game.multiplayerPending) {
            if (dsmap.stringValue.IsEmpty()) {
                g_game.multiplayerPending = false;
                g_program.menuRequest = 1;
            } else {
                SetCursorVisible(false);
                g_pluginHost.Broadcast(HookMultiplayerPending,
                                       reinterpret_cast<std::uintptr_t>(&g_program.menuRequest));
            }
        }
        if (!RunGuiFrame() || g_program.ending)
            return;
        if (g_program.menuRequest == 1) {
            g_program.menuRequest = 0;
            g_game.multiplayerPending = false;
            g_gui.currentScreen = GuiFindScreen("MULTIPLAYER");
            if (g_gui.currentScreen)
                g_gui.currentScreen->Activate(g_gui.currentScreen);
            --g_gui.multiplayerCounter;
            SetCursorVisible(true);
        } else if (g_program.menuRequest == 2) {
            g_program.menuRequest = 0;
            g_game.multiplayerPending = false;
            g_input.guiMode = false;
            if (g_gui.currentScreen) {
                g_gui.currentScreen->DeInit();
                g_gui.currentScreen->StopSounds();
            }
            if (GuiScreen* mainMenu = GuiFindScreen("MAINMENU"))
                mainMenu->StopSounds();
            return;
        }
    }
}

// Loads the mission of `dsmap` and runs its first frame. A map that cannot be loaded halts the
// program: false, with the exit code the halt gave; closeRequested tells whether the window's close
// ended the halt.
bool MissionStart(int& exitCode, bool& closeRequested)
{
    SetCursorVisible(false);
    ConPrint(0, "Loading map '%s'\n", dsmap.String());
    if (GameInitMission(dsmap.String()) < 0) {
        ConPrint(0, "Unable to load map '%s'\n", dsmap.String());
        LogFailure("Unable to load map '%s'\n", dsmap.String());
        exitCode = GameHaltAfterLoadError(&closeRequested);
        return false;
    }
    ConSetCurrent(-1);
    RenderPrepareBuffers();
    if (*gs_load_slot_request.String() != '\0') {
        GameLoadGameCommand(nullptr);
    } else {
        AccountResetCurrentMissionValue();
        ax_getcutscene_begin.value.handler(nullptr);
        ScreenFadeStart(1000, 0);
    }
    gs_load_slot_request.SetString("");
    SoundResumeAll();
    g_game.frameClock = GetTickCount();
    Log("Entering main loop...\n");
    GameFrameStampCaption();
    GameUpdateFrame(false);
    MSALStartAll();
    AIRestartAll();
    return true;
}

void ShowMenuScreen(const char* name)
{
    g_gui.currentScreen = GuiFindScreen(name);
    if (g_gui.currentScreen)
        g_gui.currentScreen->Activate(g_gui.currentScreen);
}

// Acts on the state word; LOOP_NOTHING and unknown values let the main loop go on.
bool ActOnLoopState(LoopExit& exit)
{
    s32_t state = g_program.loopState;
    if (state < LOOP_QUIT || state > LOOP_QUICK_MISSIONS)
        return false;
    SetCursorVisible(false);
    switch (state) {
        case LOOP_QUIT:
            // The road out behind the exit screen; Shutdown then finds its subsystems down.
            GameExitToGui("");
            exit = LoopExit::Quit;
            return true;
        case LOOP_LOAD_MAP:
            GameExitToGui("-g");
            g_program.loopState = LOOP_NOTHING;
            g_frameView.screenOpen = false;
            g_input.guiMode = false;
            exit = LoopExit::NextMission;
            return true;
        default:
            break;
    }
    GameExitToGui("-g");
    GameModEnd();
    if (state == LOOP_MAIN_MENU) {
        ShowMenuScreen("MAINMENU");
    } else if (state == LOOP_CAMPAIGN) {
        if (g_game.campaignCompleted) {
            ShowMenuScreen("MAINMENU");
        } else {
            AccountDetermineNextMission(nullptr);
            ShowMenuScreen("CAMPAIGN");
        }
    } else {
        ShowMenuScreen("QUICKMISSIONS");
    }
    g_program.loopState = LOOP_NOTHING;
    g_frameView.screenOpen = false;
    SetCursorVisible(true);
    exit = LoopExit::ToMenu;
    return true;
}

bool GameModHasOwnScreens()
{
    return g_frameView.currentGameMod && g_frameView.currentGameMod->ownScreens;
}

// The presses made on one side of a screen's edge stay there: the click or key that closes a screen
// does not reach the game (the button is the rifle's trigger), and a trigger held when a screen opens
// does not click in it when it is let go. Keys held on stay held: their states are the keys'.
void ForgetPressesAtTheScreensEdge()
{
    std::memset(g_input.actionDown, 0, sizeof g_input.actionDown);
    std::memset(g_input.actionReleased, 0, sizeof g_input.actionReleased);
    std::memset(g_input.actionPrevious, 0, sizeof g_input.actionPrevious);
    std::memset(g_input.mouseStates, 0, sizeof g_input.mouseStates);
    g_gui.leftHeld = false;
    g_gui.rightHeld = false;
}

// Opens the screen asked for by Escape, game code or the objectives key.
void OpenScreen(bool byEscape)
{
    g_frameView.screenOpen = true;
    // From the game frame before the first GUI frame on: the HUD's layers, drawn by making their screen
    // current for a moment, would take the screen chosen here away.
    g_frameView.inGameDisplay = true;
    g_input.guiMode = true;
    GameClearFrameInput();
    SetCursorVisible(true);
    g_scoreScreenShown = false;
    if (byEscape) {
        if (!g_gui.screenRequested)
            g_gui.currentScreen = GuiFindScreen("_MAINMENU");
        if (g_game.missionFailed)
            g_gui.currentScreen = GuiFindScreen("FAILSCREEN");
        if (GameModHasOwnScreens())
            g_gui.currentScreen = GuiFindScreen(g_frameView.currentGameMod->escapeScreen);
    } else if (GameModHasOwnScreens()) {
        g_gui.currentScreen = GuiFindScreen(g_frameView.currentGameMod->scoreScreen);
        g_pluginHost.Broadcast(HookScreenShown, reinterpret_cast<std::uintptr_t>(g_gui.currentScreen));
        g_scoreScreenShown = true;
    }
    g_gui.screenRequested = false;
    ForgetPressesAtTheScreensEdge();
    SoundStopAll();
}

// The screen loop under an open screen; true when the state word led out of the main loop.
bool ScreenLoop(LoopExit& exit)
{
    for (;;) {
        PumpOneMessage();
        if (g_program.ending) {
            exit = LoopExit::Quit;
            return true;
        }
        InputUpdate();
        if (g_scoreScreenShown && g_gui.currentScreen) {
            g_pluginHost.Broadcast(HookScreenShown, reinterpret_cast<std::uintptr_t>(g_gui.currentScreen));
            g_gui.currentScreen->DeInit();
        }
        FrameStep(false);
        if (g_program.ending) {
            exit = LoopExit::Quit;
            return true;
        }
        bool screenUp = RunGuiFrame();
        if (g_program.ending) {
            exit = LoopExit::Quit;
            return true;
        }
        if (screenUp && g_program.loopState != LOOP_LOAD_MAP)
            continue;
        g_scoreScreenShown = false;
        if (ActOnLoopState(exit))
            return true;
        ForgetPressesAtTheScreensEdge();
        InputForgetMouseMotion();
        SoundResumeAll();
        return false;
    }
}

LoopExit MainLoop()
{
    LoopExit exit = LoopExit::Quit;
    for (;;) {
        PumpOneMessage();
        if (g_program.ending)
            return LoopExit::Quit;
        // A close request of the window (or the quit message the window procedure posts for it) takes
        // the road of `quit`: a window that cannot be closed during a mission would be a fault.
        if (g_message.message == WM_CLOSE || g_message.message == WM_QUIT) {
            g_program.loopState = LOOP_QUIT;
            ActOnLoopState(exit);
            return exit;
        }
        // "quit -g" typed at the console has left the mission and asks for the menus.
        if (g_program.loopState == LOOP_MAIN_MENU && ActOnLoopState(exit))
            return exit;
        InputUpdate();
        bool byEscape = g_input.actionReleased[ACTION_ESCAPE] != 0;
        bool byObjectives = g_input.actionReleased[ACTION_OBJECTIVES] != 0 && GameModHasOwnScreens();
        if (byEscape || g_gui.screenRequested || byObjectives) {
            OpenScreen(byEscape);
            if (ScreenLoop(exit))
                return exit;
        }
        if (g_program.loopState == LOOP_MAIN_MENU && ActOnLoopState(exit))
            return exit;
        if (g_frameView.cursorMode)
            SetCursorVisible(true);
        if (g_program.loopState == LOOP_LOAD_MAP && ActOnLoopState(exit))
            return exit;
        FrameStep(true);
        if (g_program.ending)
            return LoopExit::Quit;
        if (gbsound.Bool())
            SoundUpdate();
    }
}

// Start-up in its fixed order. False when the program is to end without running the loops; the
// exit code is then in exitCode.
bool StartUp(char* commandLine, int& exitCode)
{
    exitCode = 0;
    // The program may run more than once in one process (tests): its options and state word start
    // afresh each time.
    g_program.startOptions = {};
    g_program.loopState = LOOP_NOTHING;
    g_program.menuRequest = 0;
    g_program.ending = 0;
    // A new map, in a mission or in the editor, starts the renderer's frame carry afresh.
    MapSetLoadedHook(RenderResetFrameState);

    if (!VFSInit()) {
        exitCode = 1;
        return false;
    }
    g_started = Stage::Archives;

    if (!SplitCommandLine(commandLine, g_program.startOptions) || !CommandLineOptionsValid(g_program.startOptions)) {
        exitCode = 1;
        return false;
    }
    if (ApplyCommandLineOptions(g_program.startOptions)) {
        exitCode = g_program.startOptions.editorFailed ? 1 : 0;
        return false;  // editor mode ran
    }

    RegisterMainWindowClass(kWindowClass);
    g_program.mainWindow = CreateMainWindow(kWindowClass, kWindowTitle);
    InputInit(g_program.mainWindow, true);
    RenderInit(g_program.mainWindow);
    SceneDrawListsInit();
    LoadPlugins();
    g_started = Stage::Devices;
    ConExecFile("config.def");

    if (RenderSetDisplayModeLadder(riwidth.Int(), riheight.Int(), rbwindowed.Bool(), rirefresh.Int()) != 0) {
        MessageBoxA(nullptr, "Cannot set display mode", "Fatal Error", MB_OK);
        exitCode = -1;
        return false;
    }

    SoundInit(g_program.mainWindow);
    SetCursorVisible(false);
    VideoInit();
    SetForegroundWindow(g_program.mainWindow);
    VideoPlayFullscreen("intro");
    SetCursorVisible(false);
    ConStartup();
    ConSetCurrent(-1);
    ConPrint(0, "Startup ...\n");
    RenderLogDeviceInfo();
    AccountsInit();
    GameModsInit();
    CreateScriptCache();
    GuiInit(g_program.mainWindow, riwidth.Int(), riheight.Int());
    SetForegroundWindow(g_program.mainWindow);
    SetCursorVisible(true);
    RegisterDefObject();
    g_started = Stage::Everything;
    return true;
}

// The menu and the missions, until a road leads out of the program; the result is the exit code.
int RunLoops()
{
    if (g_program.startOptions.directStart) {
        as_accname.SetString(g_program.startOptions.accountName ? g_program.startOptions.accountName : "developer");
        AccountLogIn(nullptr);
        GameFillMissionInfo(nullptr);
    } else {
        MenuLoop();
        if (g_program.loopState == LOOP_QUIT || g_program.ending)
            return 0;
    }
    for (;;) {
        int exitCode = 0;
        bool closeRequested = false;
        if (!MissionStart(exitCode, closeRequested)) {
            // Started from the menus, a mission that cannot load leads back to them (what it loaded
            // goes as a left mission's does); started with "-m", or with the window closed, the
            // program ends.
            if (g_program.startOptions.directStart || closeRequested || g_program.ending)
                return exitCode;
            LoopExit exit = LoopExit::ToMenu;
            g_program.loopState = LOOP_MAIN_MENU;
            ActOnLoopState(exit);
            MenuLoop();
            if (g_program.loopState == LOOP_QUIT || g_program.ending)
                return 0;
            continue;
        }
        switch (MainLoop()) {
            case LoopExit::Quit:
                return 0;
            case LoopExit::NextMission:
                break;
            case LoopExit::ToMenu:
                MenuLoop();
                if (g_program.loopState == LOOP_QUIT || g_program.ending)
                    return 0;
                break;
        }
    }
}

void HideCursor()
{
    SetCursorVisible(false);
}

// At the program's end the vegetation is not freed.
void ShutDownRender()
{
    RenderShutdown(false);
}

void DestroyMainWindow()
{
    DestroyWindow(g_program.mainWindow);
    g_program.mainWindow = nullptr;
}

// The shutdown order is fixed and is not the mirror of start-up: the lists the last mission left go
// first, then game modes, sound, video, the script cache and the consoles; input stops before the
// GUI, the render device after it; accounts, the archives and the definition files come last. The
// plug-ins, loaded just after the Direct3D object, are unloaded just before the render device, and
// the window goes once nothing draws into it or reads input from it. Each step is taken only when
// the start-up stage that needs it was reached.
struct ShutdownStep {
    Stage startedBy;
    void (*stop)();
};

// The logged-in account is written once on every road out; a quit road that wrote it has freed the
// accounts already, and this step then finds none.
void SaveCurrentAccount()
{
    AccountsSaveCurrent();
}

constexpr ShutdownStep kShutdownOrder[] = {
    {Stage::Everything, HideCursor},
    {Stage::Everything, SaveCurrentAccount},
    {Stage::Everything, CampaignChronologyFree},
    {Stage::Everything, ActorListsFree},
    {Stage::Everything, ProjectileTableFree},
    {Stage::Everything, GameModsFree},
    {Stage::Everything, SoundShutdown},
    {Stage::Everything, VideoShutdown},
    {Stage::Everything, DestroyScriptCache},
    {Stage::Everything, ConShutdown},
    {Stage::Devices, InputShutdown},
    {Stage::Everything, GuiShutdown},
    {Stage::Devices, UnloadPlugins},
    {Stage::Devices, ShutDownRender},
    {Stage::Devices, DestroyMainWindow},
    {Stage::Everything, AccountsShutdown},
    {Stage::Archives, VFSShutdown},
    {Stage::Archives, DefFileFreeAll},
};

// The one road out: every exit of WinMain passes here.
void Shutdown()
{
    for (const ShutdownStep& step : kShutdownOrder) {
        if (g_started >= step.startedBy)
            step.stop();
    }
    g_started = Stage::Nothing;
}

}  // namespace

bool SplitCommandLine(const char* commandLine, StartOptions& options)
{
    std::memset(options.words, 0, sizeof options.words);
    int word = 0;
    int length = 0;
    for (const char* p = commandLine ? commandLine : ""; *p; ++p) {
        if (*p == ' ') {
            ++word;
            length = 0;
            continue;
        }
        // Words past the table's end are dropped rather than written beyond it.
        if (word >= PARAM_MAX_COUNT)
            continue;
        ++length;
        // A word the table cannot hold is the user's input, not the program's fault: it is refused
        // with a line, never cut (a cut map name would load another map) nor asserted on.
        if (length >= PARAM_MAX_SIZE) {
            const char* start = p - (length - 1);
            LogFailure("ERROR : Command-line word longer than %d characters: '%.*s...'\n", PARAM_MAX_SIZE - 1,
                       PARAM_MAX_SIZE - 1, start);
            options.lastWord = 0;
            std::memset(options.words, 0, sizeof options.words);
            return false;
        }
        options.words[word][length - 1] = (*p == '/') ? '-' : *p;
        options.words[word][length] = 0;
    }
    options.lastWord = word < PARAM_MAX_COUNT ? word : PARAM_MAX_COUNT - 1;
    return true;
}

bool CommandLineOptionsValid(const StartOptions& options)
{
    for (int i = 0; i <= options.lastWord; ++i) {
        if (CompareNoCase(options.words[i], "-p") != 0)
            continue;
        for (int k = 1; k <= 3 && i + k <= options.lastWord; ++k) {
            float value = 0.0f;
            if (std::sscanf(options.words[i + k], "%f", &value) == 1 && !std::isfinite(value)) {
                LogFailure("ERROR : -p takes finite numbers, not '%s'\n", options.words[i + k]);
                return false;
            }
        }
    }
    return true;
}

bool ApplyCommandLineOptions(StartOptions& options)
{
    float* position[3] = {&options.startPosition.x, &options.startPosition.y, &options.startPosition.z};
    for (int i = 0; i <= options.lastWord; ++i) {
        if (CompareNoCase(options.words[i], "-e") == 0) {
            options.editorMode = true;
            options.editorFailed = !RunEditorSession();
            return true;
        }
        if (CompareNoCase(options.words[i], "-g") == 0)
            grx_toggle_camins.value.handler(nullptr);
        if (CompareNoCase(options.words[i], "-a") == 0 && i < options.lastWord)
            options.accountName = options.words[++i];
        if (CompareNoCase(options.words[i], "-m") == 0 && i < options.lastWord) {
            dsmap.SetString(options.words[++i]);
            options.directStart = 1;
        }
        // The start position in map units of 10, as the mission load reads it from `gv_startpos`.
        if (CompareNoCase(options.words[i], "-p") == 0) {
            for (int axis = 0; axis < 3; ++axis) {
                if (i < options.lastWord)
                    std::sscanf(options.words[++i], "%f", position[axis]);
                gv_startpos.value.asVector[axis] = *position[axis];
            }
        }
    }
    return false;
}

int KeyMessageScanCode(LPARAM lParam)
{
    int scanCode = static_cast<int>((lParam >> 16) & 0xFF);
    if (lParam & (1 << 24))
        scanCode += 0x80;
    return scanCode;
}

LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    InputWindowMessage(window, message, wParam, lParam);
    switch (message) {
        case WM_CLOSE:
            PostQuitMessage(0);
            return 0;
        case WM_SYSCOMMAND:
            return 0;
        case WM_KEYDOWN:
            ConPageKey(static_cast<int>(wParam));
            break;
        case WM_KEYUP:
            if (gbconsoles.Bool()) {
                if (wParam == VK_F1 || KeyMessageScanCode(lParam) == 0x29)
                    ConTogglePage(0);
                else if (wParam >= VK_F2 && wParam <= VK_F5)
                    ConTogglePage(static_cast<int>(wParam - VK_F1));
            }
            break;
        case WM_CHAR:
            if (!g_input.guiMode && KeyMessageScanCode(lParam) != 0x29)
                ConKeyInput(static_cast<int>(wParam));
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The spine of the program: start-up, the loops, and the one shutdown that every road out takes
// (archives missing, editor mode, no display mode, quit, a mission that halts).
int WinMain(HINSTANCE, HINSTANCE, char* commandLine, int)
{
    int exitCode = 0;
    if (StartUp(commandLine, exitCode))
        exitCode = RunLoops();
    Shutdown();
    return exitCode;
}
