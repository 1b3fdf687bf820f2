#include "game/mission/loading_screen.h"

#include <cstring>

#include "core/console/console.h"
#include "core/core_cvars.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/winos.h"
#include "game/game_cvars.h"
#include "gui/screens/gui.h"
#include "render/device/frame.h"

namespace {

GuiScreen* g_loadingScreen = nullptr;

// One frame with the screen over the whole view; a frame that cannot begin draws nothing.
void DrawScreenFrame(GuiScreen* screen)
{
    if (RenderBeginFrame() != 0)
        return;
    if (screen)
        screen->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    RenderEndFrame(true);
}

bool AnyKeyOrButtonDown()
{
    for (u8_t state : g_input.keyStates) {
        if (state)
            return true;
    }
    for (int button = 0; button < MOUSE_STATE_COUNT; ++button) {
        if (g_input.mouseStates[button])
            return true;
    }
    return false;
}

}  // namespace

void GameDrawLoadingProgress(const char* text, GuiScreen* screen, int percent)
{
    if (g_program.editorMode)
        return;
    const bool begun = RenderBeginFrame() == 0;
    gs_maploadprogress.SetString(text);
    gi_maploadprogress.SetInt(percent);
    if (begun) {
        if (screen)
            screen->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        RenderEndFrame(true);
    }
    g_loadingScreen = screen;
}

void GameDrawLoadingMessage(const char* text)
{
    if (g_program.editorMode)
        return;
    const bool begun = RenderBeginFrame() == 0;
    gs_maploadprogress.SetString(text);
    if (begun) {
        if (g_loadingScreen)
            g_loadingScreen->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        RenderEndFrame(true);
    }
}

void GameWaitForAnyKey(GuiScreen* screen)
{
    for (;;) {
        const float yaw = g_frameView.yaw, pitch = g_frameView.pitch;
        InputUpdate();
        g_frameView.yaw = yaw;
        g_frameView.pitch = pitch;
        DrawScreenFrame(screen);
        if (AnyKeyOrButtonDown())
            break;
    }
    std::memset(g_input.mouseStates, 0, sizeof g_input.mouseStates);
    std::memset(g_input.keyStates, 0, sizeof g_input.keyStates);
    // A press or release still waiting for its poll would bring the key back in the first frame.
    std::memset(g_input.keyPressUnread, 0, sizeof g_input.keyPressUnread);
    std::memset(g_input.keyReleaseHeld, 0, sizeof g_input.keyReleaseHeld);
    std::memset(g_input.actionDown, 0, sizeof g_input.actionDown);
    std::memset(g_input.actionReleased, 0, sizeof g_input.actionReleased);
    std::memset(g_input.actionPrevious, 0, sizeof g_input.actionPrevious);
}

GuiScreen* GameLoadingScreen()
{
    return g_loadingScreen;
}

void GameDrawLoadingScreenAndConsole()
{
    if (RenderBeginFrame() != 0)
        return;
    // Looked up afresh: the remembered screen may be one an earlier load drew and the GUI has freed.
    if (GuiScreen* screen = GuiFindLoadedScreen("LOADSCREEN"))
        screen->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    ConDraw();
    RenderEndFrame(true);
}
