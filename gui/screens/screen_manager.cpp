// The screen manager's loading, frame and input step. The history and screen switches are in
// gui/screens/gui_history.cpp.
#include "gui/screens/screen_manager.h"

#include <cstdio>
#include <string>

#include "actors/actor.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/input/input_modes.h"
#include "core/log.h"
#include "core/plugins/plugin_host.h"
#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "core/winos.h"
#include "game/accounts/accounts.h"
#include "game/mission/game_flow.h"
#include "game/game_state.h"
#include "game/commands/multiplayer_commands.h"
#include "game/player/player_state.h"
#include "gui/texts/fonts.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui_live_values.h"
#include "gui/gui_test_hooks.h"
#include "gui/screens/gui_textures.h"
#include "gui/controls/gui_tooltip.h"
#include "gui/screen_scripts/screen_script_parser.h"
#include "render/device/frame.h"
#include "render/draw2d/grid_font.h"
#include "render/draw2d/hud_input.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"

ConsoleVar gui_cursorinfo("gui_cursorinfo", CVAR_BOOL, "false");

namespace {

constexpr float kLongestFrameSeconds = 0.1f;
constexpr s16_t kHitLayerEnd = GUI_LAYER_COUNT;

GuiTestFrameHook g_testFrameHook = nullptr;
GuiFrameObserver g_frameObserver = nullptr;
// Why the main menu could not be built; empty while it could. Shown in the window in its place.
char g_menuError[320] = {};

void ParseSections(ScriptFile* file)
{
    if (!file)
        return;
    for (ScriptSection* section : file->Root()->children)
        ScreenScriptParser(section, nullptr);
}

// A script that gives no main menu is refused whole: its screens would show nothing a player can
// use. The log and the terminal say which file and line went wrong, the window says it too.
void CheckMainMenu(ScriptFile* menus)
{
    g_menuError[0] = '\0';
    if (GuiFindLoadedScreen("MAINMENU"))
        return;
    if (!menus)
        std::snprintf(g_menuError, sizeof g_menuError, "The menus cannot be built: script\\gui.scr is missing.");
    else if (menus->WarningCount() > 0)
        std::snprintf(g_menuError, sizeof g_menuError, "The menus cannot be built, their script was refused: %s.",
                      menus->FirstWarning());
    else
        std::snprintf(g_menuError, sizeof g_menuError, "The menus cannot be built: %s has no screen MAINMENU.",
                      menus->Name().Text());
    LogFailure("\nERROR: GUI: %s\n", g_menuError);
}

void DrawGridLines(s32_t x, s32_t y)
{
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetTexture(0, GridFontBuiltinTexture());
    char line[64];
    std::snprintf(line, sizeof line, "cursor: %d %d", x, y);
    DrawGridText(16, 16, 16, 16, line, 0xFFFFFFFF);
    const float u = g_gui.width ? static_cast<float>(x) / static_cast<float>(g_gui.width) : 0.0f;
    const float v = g_gui.height ? static_cast<float>(y) / static_cast<float>(g_gui.height) : 0.0f;
    std::snprintf(line, sizeof line, "uv: %g %g", u, v);
    DrawGridText(16, 16 * 20, 16, 16, line, 0xFFFFFFFF);
}

void DrawFrameRate()
{
    ++g_gui.fpsFrames;
    if (g_gui.time > g_gui.fpsNextUpdate) {
        g_gui.fpsShown = g_gui.fpsFrames;
        g_gui.fpsFrames = 0;
        g_gui.fpsNextUpdate = g_gui.time + 1.0f;
    }
    RenderSetTexture(0, GridFontBuiltinTexture());
    char text[16];
    std::snprintf(text, sizeof text, "%u", g_gui.fpsShown);
    DrawGridText(g_gui.width - 64, 8, 14, 15, text, 0x80FFFFFF);
}

// The reason the menus are missing, in the built-in grid font (the bitmap fonts may be what failed).
void DrawMenuError()
{
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetTexture(0, GridFontBuiltinTexture());
    const s32_t cell = 12;
    const s32_t perLine = g_gui.width > 4 * cell ? (g_gui.width - 2 * cell) / cell : 40;
    const std::string text = std::string(g_menuError) + "\nPress Escape or close the window to end the program.";
    std::string line;
    s32_t y = 2 * cell;
    auto flush = [&]() {
        DrawGridText(cell, y, cell, cell, line.c_str(), 0xFFFFD060);
        line.clear();
        y += cell + 4;
    };
    for (char c : text) {
        if (c == '\n') {
            flush();
            continue;
        }
        line += c;
        if (static_cast<s32_t>(line.size()) >= perLine)
            flush();
    }
    if (!line.empty())
        flush();
}

void GuiDraw(s32_t x, s32_t y)
{
    GuiSet2DStates();
    if (g_gui.currentScreen)
        g_gui.currentScreen->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    else if (g_menuError[0])
        DrawMenuError();
    if (gui_cursorinfo.Bool())
        DrawGridLines(x, y);
    if (rbdrawfps.Bool())
        DrawFrameRate();
}

// Lifts input suspension and hides the cursor: the GUI closes.
void Close()
{
    g_input.guiMode = false;
    SetCursorVisible(false);
}

void StopScreenSounds(GuiScreen* screen)
{
    if (screen)
        screen->StopSounds();
}

bool FocusRefusedBy(GuiScreen* screen, const GuiControl* hit)
{
    bool refused = false;
    for (u32_t i = 0; i < screen->ControlCount(); ++i) {
        GuiControl* control = screen->Control(i);
        if (control == hit)
            continue;
        if (control->ReleasesFocus())
            control->SetFocus(false);
        else
            refused = true;
    }
    return refused;
}

// Every other control gives up the focus; one that will not refuses the click. The subscreen is
// asked only when the whole screen gave it up.
bool TakeFocus(GuiControl* hit)
{
    GuiScreen* screen = g_gui.currentScreen;
    if (FocusRefusedBy(screen, hit))
        return false;
    if (screen->subscreen && screen->subscreen != screen && FocusRefusedBy(screen->subscreen, hit))
        return false;
    return true;
}

GuiControl* FirstFocused(GuiScreen* screen)
{
    for (u32_t i = 0; i < screen->ControlCount(); ++i) {
        if (screen->Control(i)->IsFocused())
            return screen->Control(i);
    }
    return nullptr;
}

// The message pump hands over each character message once (a frame without a new message carries
// none), and the system's own key repeat makes a held key's repeats: every character is delivered,
// so a double letter typed at any pace stays double.
void DeliverCharacter(WPARAM character)
{
    GuiScreen* screen = g_gui.currentScreen;
    if (!screen)
        return;
    GuiControl* target = FirstFocused(screen);
    if (!target && screen->subscreen && screen->subscreen != screen)
        target = FirstFocused(screen->subscreen);
    if (target)
        target->OnChar(static_cast<char>(character));
}

bool IsResultScreen(const GuiScreen* screen)
{
    if (!screen)
        return false;
    static const char* const kResultScreens[] = {"FAILSCREEN", "SUCCESSSCREEN", "SUCCESSSCREENQM", "FAILSCREENQM"};
    for (const char* name : kResultScreens) {
        if (CompareNoCase(screen->name.Text(), name) == 0)
            return true;
    }
    return false;
}

bool NetworkedModeRuns()
{
    return g_frameView.currentGameMod && g_frameView.currentGameMod->ownScreens;
}

bool PlayerDead()
{
    const Actor* player = PlayerActor();
    return player && player->isDead;
}

// The game's respawn request: a game mode's "respawn" command, then the flag the player's return
// clears.
void RequestRespawn()
{
    GameRequestRespawn();
}

void SwitchOnExit(s32_t* stateWord, s32_t state, const char* screenName)
{
    *stateWord = state;
    StopScreenSounds(g_gui.previousScreen);
    g_gui.currentScreen = GuiFindScreen(screenName);
    g_gui.exitAction = GUI_EXIT_NONE;
}

bool RunExitAction(s32_t* stateWord)
{
    switch (g_gui.exitAction) {
        case GUI_EXIT_STARTGAME:
            Close();
            g_gui.exitAction = GUI_EXIT_NONE;
            StopScreenSounds(g_gui.currentScreen);
            StopScreenSounds(GuiFindScreen("MAINMENU"));
            return false;
        case GUI_EXIT_EXITGAME:
            Close();
            *stateWord = 1;
            StopScreenSounds(g_gui.currentScreen);
            g_gui.exitAction = GUI_EXIT_NONE;
            return false;
        case GUI_EXIT_PREVIOUS:
            GuiReturnToPrevious();
            return true;
        case GUI_EXIT_EXITTOGUI:
            SwitchOnExit(stateWord, 2, "MAINMENU");
            return false;
        case GUI_EXIT_EXITTOCAMPAIGN:
            SwitchOnExit(stateWord, 4, "CAMPAIGN");
            return false;
        case GUI_EXIT_EXITTOQUICKMISSIONS:
            SwitchOnExit(stateWord, 5, "QUICKMISSIONS");
            GuiHistoryReset(GuiFindScreen("MAINMENU"));
            return false;
        default:
            return true;
    }
}

}  // namespace

void GuiAdvanceClock()
{
    const float now = static_cast<float>(GetTickCount() - g_gui.startTick) * 0.001f;
    g_gui.frameTime = now - g_gui.time;
    if (g_gui.frameTime > kLongestFrameSeconds)
        g_gui.frameTime = kLongestFrameSeconds;
    g_gui.time = now;
}

void GuiSet2DStates()
{
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ZENABLE, FALSE);
    RenderSetState(D3DRS_ZWRITEENABLE, FALSE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_ALPHATESTENABLE, FALSE);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
}

void GuiSetTestFrameHook(GuiTestFrameHook hook)
{
    g_testFrameHook = hook;
}

void GuiSetFrameObserver(GuiFrameObserver observer)
{
    g_frameObserver = observer;
}

const char* GuiMenuError()
{
    return g_menuError;
}

bool GuiInit(HWND window, int width, int height)
{
    Log("Initializing GUI...");
    g_gui.window = window;
    g_gui.width = width;
    g_gui.height = height;
    FontsLoad();
    DefScriptsInit();
    GuiLoadScreens();
    g_gui.currentScreen = g_menuError[0] ? nullptr : GuiScreenAt(0);
    if (g_gui.currentScreen)
        g_gui.currentScreen->Activate(g_gui.currentScreen);
    g_gui.startTick = GetTickCount();
    for (GuiScreen*& entry : g_gui.history)
        entry = nullptr;
    PlayerAccount* const* accounts = nullptr;
    s32_t accountCount = 0;
    AccountsGetList(&accounts, &accountCount);
    // Without an account "back" from the first screen leads to the soldier screen, then the menu.
    if (accountCount == 0) {
        g_gui.history[0] = GuiFindScreen("MAINMENU");
        g_gui.history[1] = GuiFindScreen("ROVUDAZURARAZU");
        g_gui.historyDepth = 2;
    }
    g_pluginHost.Broadcast(HookGuiInit, 0);
    Log("done\n");
    return true;
}

void GuiShutdown()
{
    Log("Destroying GUI...");
    g_menuError[0] = '\0';
    FontsFree();
    DefScriptsFree();
    GuiFreeScreens();
    GuiTexturesFree();
    // A rebuild (gui_refresh) keeps the history's depth, as GuiInit does, and its count of rebuilds.
    const s16_t depth = g_gui.historyDepth;
    const u32_t refreshes = g_gui.refreshCount;
    g_gui = {};
    g_gui.historyDepth = depth;
    g_gui.refreshCount = refreshes;
    g_frameView.screenOpen = false;
    g_frameView.inGameDisplay = false;
    Log("done\n");
}

void GuiLoadScreens()
{
    // The menus' pictures always come from the GUI's own registry, also when the menus are built
    // again after a mission's screens were loaded: the general texture manager releases all its
    // textures whenever a mission is left, and the menus would draw released textures.
    const bool gameScreensLoaded = g_gui.gameScreensLoaded;
    g_gui.gameScreensLoaded = false;
    ScriptFile* menus = GetScriptFile("gui", false);
    g_gui.errorScreen = new GuiScreen("ERROR");
    if (menus) {
        if (ScriptSection* error = menus->Root()->FindChild("ERROR"))
            ScreenScriptParser(error, g_gui.errorScreen);
    }
    ParseSections(menus);
    g_gui.menuScreenCount = GuiScreenCount();
    CheckMainMenu(menus);
    g_gui.gameScreensLoaded = gameScreensLoaded;
}

void GuiLoadGameScreens()
{
    g_gui.gameScreensLoaded = true;
    // What is loaded before them stays when the mission's screens go, however it came to be loaded.
    g_gui.menuScreenCount = GuiScreenCount();
    ParseSections(GetScriptFile("guigame", false));
    g_hudInput.flags.markersReady = 1;
}

void GuiFreeGameScreens()
{
    GuiFreeScreensFrom(g_gui.menuScreenCount);
    g_hudInput.flags.markersReady = 0;
}

void GuiSetScreenSize(s32_t width, s32_t height)
{
    g_gui.width = width;
    g_gui.height = height;
}

GuiControl* GuiControlAtPoint(GuiScreen* screen, s32_t x, s32_t y)
{
    if (!screen)
        return nullptr;
    GuiControl* best = nullptr;
    s16_t bestZ = 0;
    auto test = [&](GuiScreen* owner, bool inSubscreen) {
        for (u32_t i = 0; i < owner->ControlCount(); ++i) {
            GuiControl* control = owner->Control(i);
            const s16_t z = control->GetZIndex();
            if (z <= bestZ || z >= kHitLayerEnd)
                continue;
            RECT rect = {};
            control->GetRect(&rect);
            if (x < rect.left || x > rect.right || y < rect.top || y > rect.bottom)
                continue;
            best = control;
            bestZ = z;
            g_gui.hitInSubscreen = inSubscreen;
        }
    };
    test(screen, false);
    g_gui.hitInSubscreen = false;
    if (screen->subscreen && screen->subscreen != screen)
        test(screen->subscreen, true);
    return best;
}

GuiControl* GuiCurrentControlAtPoint(s32_t x, s32_t y)
{
    return GuiControlAtPoint(g_gui.currentScreen, x, y);
}

bool GuiInputStep(s32_t x, s32_t y, UINT message, LPARAM, WPARAM wParam, s32_t* stateWord)
{
    // A closed window ends the program from any screen; with no screen to show, a released Escape is
    // the only way out as well.
    const bool escapeUp = message == WM_KEYUP && wParam == VK_ESCAPE;
    if (message == WM_CLOSE || message == WM_QUIT || (escapeUp && !g_gui.currentScreen && !g_frameView.screenOpen)) {
        Close();
        *stateWord = 1;
        return false;
    }
    GuiControl* hit = GuiCurrentControlAtPoint(x, y);
    u32_t button = GUI_MOUSE_NONE;
    if (message == WM_CHAR)
        DeliverCharacter(wParam);

    if (g_input.mouseStates[0]) {
        button = GUI_MOUSE_LEFT;
        g_gui.leftHeld = true;
    } else if (g_gui.leftHeld) {
        if (hit && TakeFocus(hit)) {
            hit->SetFocus(true);
            hit->OnClick(x, y);
            if (g_gui.refreshed) {
                g_gui.refreshed = false;
                return true;
            }
        }
        g_gui.leftHeld = false;
    }

    if (g_input.mouseStates[1]) {
        button = GUI_MOUSE_RIGHT;
        g_gui.rightHeld = true;
    } else if (g_gui.rightHeld) {
        if (hit)
            hit->OnRightClick(x, y);
        g_gui.rightHeld = false;
    }

    if (hit) {
        const s16_t dx = static_cast<s16_t>(x - g_gui.previousX);
        const s16_t dy = static_cast<s16_t>(y - g_gui.previousY);
        hit->OnMouse(button, x, y, dx, dy);
    } else if (g_gui.currentScreen && g_gui.currentScreen->GetToolTip()) {
        g_gui.currentScreen->GetToolTip()->Unlock(false);
    }
    g_gui.previousX = static_cast<s16_t>(x);
    g_gui.previousY = static_cast<s16_t>(y);

    if (g_input.mouseStates[3]) {
        if (hit)
            hit->OnScrollUp();
        g_input.mouseStates[3] = 0;
    } else if (g_input.mouseStates[4]) {
        if (hit)
            hit->OnScrollDown();
        g_input.mouseStates[4] = 0;
    }

    if (g_input.actionReleased[ACTION_ESCAPE] && g_frameView.screenOpen && !IsResultScreen(g_gui.currentScreen)) {
        Close();
        g_frameView.screenOpen = false;
        return false;
    }
    if (NetworkedModeRuns() && g_frameView.screenOpen) {
        if (g_input.actionReleased[ACTION_OBJECTIVES]) {
            Close();
            g_frameView.screenOpen = false;
            return false;
        }
        if (g_input.actionReleased[ACTION_FIRE] && PlayerDead()) {
            Close();
            RequestRespawn();
            g_frameView.screenOpen = false;
            g_gui.screenRequested = false;
            return false;
        }
    }
    return RunExitAction(stateWord);
}

bool GuiFrame(int cursorX, int cursorY, UINT message, LPARAM lParam, WPARAM wParam, s32_t* stateWord)
{
    if (g_frameObserver)
        g_frameObserver();
    // A road of `quit` has ended the program: nothing more is drawn or read.
    if (g_program.ending)
        return false;
    GuiAdvanceClock();
    g_input.guiMode = true;
    // The screen is drawn in the client area, and the window layer's message records carry the cursor
    // in client coordinates: taken as they are, clicks land where the pointer is drawn (measured from
    // the outer window's corner they would land off by the frame).
    const POINT cursor = {cursorX, cursorY};
    // Drawn over a mission, the GUI hides the HUD and stills the water; a menu screen shows neither.
    g_frameView.inGameDisplay = g_frameView.screenOpen;
    if (RenderBeginFrame() != 0)
        return false;
    GuiDraw(cursor.x, cursor.y);
    bool stayUp;
    if (g_testFrameHook)
        stayUp = g_testFrameHook(stateWord);
    else
        stayUp = GuiInputStep(cursor.x, cursor.y, message, lParam, wParam, stateWord);
    DrawDebugOverlays();
    RenderEndFrame(true);
    // Closed, the mission's own drawing comes back (else the HUD would stay hidden under no screen).
    if (!stayUp) {
        g_frameView.screenOpen = false;
        g_frameView.inGameDisplay = false;
    }
    return stayUp;
}
