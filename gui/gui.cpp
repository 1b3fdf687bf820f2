// No screen script is loaded yet. The stand-in front end keeps one empty screen up, presenting a
// cleared frame each pass, and closes it, asking to quit (state word 1), on a released Escape key
// or when the window is closed.
#include "gui/gui.h"
#include "core/plugin_host.h"
#include "render/frame.h"
#include "platform/win32.h"

GuiScreen* g_guiCurrentScreen = nullptr;
bool g_guiScreenOpen = false;
bool g_guiScreenRequested = false;
s16_t g_guiMultiplayerCounter = 0;

void GuiScreen::Activate(GuiScreen* screen)
{
    g_guiCurrentScreen = screen;
}

void GuiScreen::DeInit() {}
void GuiScreen::StopSounds() {}

bool GuiInit(HWND, int, int)
{
    g_pluginHost.Broadcast(HookGuiInit, 0);
    return true;
}

void GuiShutdown()
{
    g_guiCurrentScreen = nullptr;
}

bool GuiFrame(int, int, UINT message, LPARAM, WPARAM wParam, s32_t* stateWord)
{
    bool quit = message == WM_CLOSE || message == WM_QUIT || (message == WM_KEYUP && wParam == VK_ESCAPE);
    if (quit) {
        *stateWord = 1;
        g_guiScreenOpen = false;
        return false;
    }
    // The stand-in screen draws nothing of its own: the frame shows the clear colour.
    if (RenderBeginFrame() == 0)
        RenderEndFrame(true);
    Sleep(5);
    return true;
}

GuiScreen* GuiFindScreen(const char*)
{
    return nullptr;
}
