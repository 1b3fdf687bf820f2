// The program's entry and outermost control flow. Everything runs on this one thread.
#include "core/winos.h"
#include <cstdio>
#include <cstring>
#include <strings.h>
#include "ai/ai_runtime.h"
#include "core/assert.h"
#include "core/console.h"
#include "core/def_file.h"
#include "core/editor.h"
#include "core/input.h"
#include "core/log.h"
#include "core/plugin_host.h"
#include "core/script_file.h"
#include "core/sound.h"
#include "core/vfs.h"
#include "core/video.h"
#include "game/accounts.h"
#include "game/game_flow.h"
#include "gui/gui.h"
#include "map/actor_lists.h"
#include "render/render_device.h"
#include "scene/screen_fade.h"

ConsoleVar gbconsoles("gbconsoles", CVAR_BOOL, "false");
ConsoleVar riwidth("riwidth", CVAR_INT, "800");
ConsoleVar riheight("riheight", CVAR_INT, "600");
ConsoleVar rirefresh("rirefresh", CVAR_INT, "0");
ConsoleVar rbwindowed("rbwindowed", CVAR_BOOL, "false");
ConsoleVar dsmap("dsmap", CVAR_STRING, "map_01");
ConsoleVar gbsf("gbsf", CVAR_BOOL, "true");
ConsoleVar gbsound("gbsound", CVAR_BOOL, "true");

StartOptions g_startOptions = {};
s32_t g_loopState = LOOP_NOTHING;
s32_t g_menuRequest = 0;
HWND g_mainWindow = nullptr;

namespace {
constexpr const char* kWindowClass = "zintar";
constexpr const char* kWindowTitle = "Zintar Engine";

float g_viewPosition[3] = {0.0f, 0.0f, 0.0f};
float g_playerModeModifier = 0.0f;

// The record of the last message pump; the GUI frame reads its fields.
MSG g_message = {};
// Set while the screen shown by the main loop is a game mod's score screen.
bool g_scoreScreenShown = false;

enum class LoopExit { Quit, ToMenu, NextMission };

// Takes at most one window message and dispatches it. When none was waiting the record keeps
// the cursor position but carries no message, so the GUI never sees one message twice.
void PumpOneMessage()
{
    if (PeekMessageA(&g_message, g_mainWindow, 0, 0, PM_REMOVE)) {
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
                    &g_loopState);
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
    HWND window = CreateWindowExA(0, className, title, WS_CAPTION | WS_THICKFRAME | WS_CLIPCHILDREN, 0, 0, 320,
                                  200, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    return window;
}

// Runs the front end until it asks to leave.
void MenuLoop()
{
    for (;;) {
        PumpOneMessage();
        InputUpdate();
        g_pluginHost.Broadcast(HookFrame, 0);
        if (g_multiplayerPending) {
            if (dsmap.stringValue.IsEmpty()) {
                g_multiplayerPending = false;
                g_menuRequest = 1;
            } else {
                SetCursorVisible(false);
                g_pluginHost.Broadcast(HookMultiplayerPending, reinterpret_cast<std::uintptr_t>(&g_menuRequest));
            }
        }
        if (!RunGuiFrame())
            return;
        if (g_menuRequest == 1) {
            g_menuRequest = 0;
            g_multiplayerPending = false;
            g_guiCurrentScreen = GuiFindScreen("MULTIPLAYER");
            if (g_guiCurrentScreen)
                g_guiCurrentScreen->Activate(g_guiCurrentScreen);
            --g_guiMultiplayerCounter;
            SetCursorVisible(true);
        } else if (g_menuRequest == 2) {
            g_menuRequest = 0;
            g_multiplayerPending = false;
            g_inputGuiMode = false;
            if (g_guiCurrentScreen) {
                g_guiCurrentScreen->DeInit();
                g_guiCurrentScreen->StopSounds();
            }
            if (GuiScreen* mainMenu = GuiFindScreen("MAINMENU"))
                mainMenu->StopSounds();
            return;
        }
    }
}

// Loads the mission of `dsmap`; a map that cannot be loaded halts the program.
void MissionStart()
{
    SetCursorVisible(false);
    ConPrint(0, "Loading map '%s'\n", dsmap.String());
    if (GameInitMission(dsmap.String()) < 0) {
        ConPrint(0, "Unable to load map '%s'\n", dsmap.String());
        GameHaltAfterLoadError();
    }
    ConSetCurrent(-1);
    RenderPrepareBuffers();
    if (!g_pendingSaveGame.IsEmpty()) {
        GameLoadGameCommand(g_pendingSaveGame.Text());
    } else {
        AccountResetCurrentMissionValue();
        ax_getcutscene_begin.value.handler(nullptr);
        ScreenFadeStart(1000, 0);
    }
    g_pendingSaveGame.Clear();
    SoundResumeAll();
    g_gameFrameClock = GetTickCount();
    Log("Entering main loop...\n");
    GameUpdateFrame(false);
    MSALStartAll();
    AIRestartAll();
}

void ShowMenuScreen(const char* name)
{
    g_guiCurrentScreen = GuiFindScreen(name);
    if (g_guiCurrentScreen)
        g_guiCurrentScreen->Activate(g_guiCurrentScreen);
}

// Acts on the state word; LOOP_NOTHING and unknown values let the main loop go on.
bool ActOnLoopState(LoopExit& exit)
{
    s32_t state = g_loopState;
    if (state < LOOP_QUIT || state > LOOP_QUICK_MISSIONS)
        return false;
    SetCursorVisible(false);
    switch (state) {
    case LOOP_QUIT:
        GameExitToGui("");
        exit = LoopExit::Quit;
        return true;
    case LOOP_LOAD_MAP:
        GameExitToGui("-g");
        g_loopState = LOOP_NOTHING;
        g_guiScreenOpen = false;
        g_inputGuiMode = false;
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
        if (g_campaignCompleted) {
            ShowMenuScreen("MAINMENU");
        } else {
            AccountDetermineNextMission(nullptr);
            ShowMenuScreen("CAMPAIGN");
        }
    } else {
        ShowMenuScreen("QUICKMISSIONS");
    }
    g_loopState = LOOP_NOTHING;
    g_guiScreenOpen = false;
    SetCursorVisible(true);
    exit = LoopExit::ToMenu;
    return true;
}

bool GameModHasOwnScreens()
{
    return g_currentGameMod && g_currentGameMod->ownScreens;
}

// Opens the screen asked for by Escape, game code or the objectives key.
void OpenScreen(bool byEscape)
{
    g_guiScreenOpen = true;
    g_inputGuiMode = true;
    GameClearFrameInput();
    SetCursorVisible(true);
    g_scoreScreenShown = false;
    if (byEscape) {
        if (!g_guiScreenRequested)
            g_guiCurrentScreen = GuiFindScreen("_MAINMENU");
        if (g_missionFailed)
            g_guiCurrentScreen = GuiFindScreen("FAILSCREEN");
        if (GameModHasOwnScreens())
            g_guiCurrentScreen = GuiFindScreen(g_currentGameMod->escapeScreen.Text());
    } else if (GameModHasOwnScreens()) {
        g_guiCurrentScreen = GuiFindScreen(g_currentGameMod->scoreScreen.Text());
        g_pluginHost.Broadcast(HookScreenShown, reinterpret_cast<std::uintptr_t>(g_guiCurrentScreen));
        g_scoreScreenShown = true;
    }
    g_guiScreenRequested = false;
    std::memset(g_actionDown, 0, sizeof g_actionDown);
    std::memset(g_actionReleased, 0, sizeof g_actionReleased);
    SoundStopAll();
}

// The screen loop under an open screen; true when the state word led out of the main loop.
bool ScreenLoop(LoopExit& exit)
{
    for (;;) {
        PumpOneMessage();
        InputUpdate();
        if (g_scoreScreenShown && g_guiCurrentScreen) {
            g_pluginHost.Broadcast(HookScreenShown, reinterpret_cast<std::uintptr_t>(g_guiCurrentScreen));
            g_guiCurrentScreen->DeInit();
        }
        FrameStep(false);
        bool screenUp = RunGuiFrame();
        if (screenUp && g_loopState != LOOP_LOAD_MAP)
            continue;
        g_scoreScreenShown = false;
        if (ActOnLoopState(exit))
            return true;
        SoundResumeAll();
        return false;
    }
}

LoopExit MainLoop()
{
    LoopExit exit = LoopExit::Quit;
    for (;;) {
        PumpOneMessage();
        InputUpdate();
        bool byEscape = g_actionReleased[ACTION_ESCAPE] != 0;
        bool byObjectives = g_actionReleased[ACTION_OBJECTIVES] != 0 && GameModHasOwnScreens();
        if (byEscape || g_guiScreenRequested || byObjectives) {
            OpenScreen(byEscape);
            if (ScreenLoop(exit))
                return exit;
        }
        if (g_loopState == LOOP_MAIN_MENU && ActOnLoopState(exit))
            return exit;
        if (g_cursorMode)
            SetCursorVisible(true);
        if (g_loopState == LOOP_LOAD_MAP && ActOnLoopState(exit))
            return exit;
        FrameStep(true);
        if (gbsound.Bool())
            SoundUpdate();
    }
}

void Shutdown()
{
    SetCursorVisible(false);
    CampaignChronologyFree();
    ActorListsFree();
    GameModsFree();
    SoundShutdown();
    VideoShutdown();
    DestroyScriptCache();
    ConShutdown();
    InputShutdown();
    GuiShutdown();
    RenderShutdown(false);
    AccountsShutdown();
    DestroyWindow(g_mainWindow);
    g_mainWindow = nullptr;
    VFSShutdown();
    DefFileFreeAll();
}
}  // namespace

void SplitCommandLine(const char* commandLine, StartOptions& options)
{
    std::memset(options.words, 0, sizeof options.words);
    int word = 0;
    int pc = 0;
    for (const char* p = commandLine ? commandLine : ""; *p; ++p) {
        if (*p == ' ') {
            ++word;
            pc = 0;
            continue;
        }
        // Words past the table's end are dropped rather than written beyond it.
        if (word >= PARAM_MAX_COUNT)
            continue;
        ++pc;
        ENGINE_ASSERT(pc < PARAM_MAX_SIZE);
        options.words[word][pc - 1] = (*p == '/') ? '-' : *p;
        options.words[word][pc] = 0;
    }
    options.lastWord = word < PARAM_MAX_COUNT ? word : PARAM_MAX_COUNT - 1;
}

bool ApplyCommandLineOptions(StartOptions& options)
{
    float* position[3] = {&options.startPosition.x, &options.startPosition.y, &options.startPosition.z};
    for (int i = 0; i <= options.lastWord; ++i) {
        if (strcasecmp(options.words[i], "-e") == 0) {
            options.editorMode = true;
            RunEditorSession();
            return true;
        }
        if (strcasecmp(options.words[i], "-g") == 0)
            grx_toggle_camins.value.handler(nullptr);
        if (strcasecmp(options.words[i], "-a") == 0 && i < options.lastWord)
            options.accountName = options.words[++i];
        if (strcasecmp(options.words[i], "-m") == 0 && i < options.lastWord) {
            dsmap.SetString(options.words[++i]);
            options.directStart = 1;
        }
        if (strcasecmp(options.words[i], "-p") == 0) {
            for (float* coordinate : position) {
                if (i < options.lastWord)
                    std::sscanf(options.words[++i], "%f", coordinate);
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
        if (!g_inputGuiMode && KeyMessageScanCode(lParam) != 0x29)
            ConKeyInput(static_cast<int>(wParam));
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

float* GameGetViewPos()
{
    return g_viewPosition;
}

float GameGetPlayerModeModifier()
{
    return g_playerModeModifier;
}

void GameSetPlayerModeModifier(float modifier)
{
    g_playerModeModifier = modifier;
}

int WinMain(HINSTANCE, HINSTANCE, char* commandLine, int)
{
    if (!VFSInit())
        return 0;

    SplitCommandLine(commandLine, g_startOptions);
    if (ApplyCommandLineOptions(g_startOptions)) {
        VFSShutdown();
        return 0;
    }

    RegisterMainWindowClass(kWindowClass);
    g_mainWindow = CreateMainWindow(kWindowClass, kWindowTitle);
    InputInit(g_mainWindow, true);
    RenderInit(g_mainWindow);
    LoadPlugins();
    ConExecFile("config.def");

    if (RenderSetDisplayModeLadder(riwidth.Int(), riheight.Int(), rbwindowed.Bool(), rirefresh.Int()) != 0) {
        MessageBoxA(nullptr, "Cannot set display mode", "Fatal Error", MB_OK);
        return -1;
    }

    SoundInit(g_mainWindow);
    SetCursorVisible(false);
    VideoInit();
    SetForegroundWindow(g_mainWindow);
    VideoPlayFullscreen("intro");
    SetCursorVisible(false);
    ConStartup();
    ConSetCurrent(-1);
    ConPrint(0, "Startup ...\n");
    RenderLogDeviceInfo();
    AccountsInit();
    GameModsInit();
    CreateScriptCache();
    GuiInit(g_mainWindow, riwidth.Int(), riheight.Int());
    SetForegroundWindow(g_mainWindow);
    SetCursorVisible(true);
    RegisterDefObject();

    if (g_startOptions.directStart) {
        g_accountCurrentName.Assign(g_startOptions.accountName ? g_startOptions.accountName : "developer");
        AccountLogIn(nullptr);
        GameFillMissionInfo(nullptr);
    } else {
        MenuLoop();
        if (g_loopState == LOOP_QUIT) {
            Shutdown();
            return 0;
        }
    }

    for (;;) {
        MissionStart();
        switch (MainLoop()) {
        case LoopExit::Quit:
            return 0;
        case LoopExit::NextMission:
            break;
        case LoopExit::ToMenu:
            MenuLoop();
            if (g_loopState == LOOP_QUIT) {
                Shutdown();
                return 0;
            }
            break;
        }
    }
}
