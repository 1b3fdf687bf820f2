// The front end loads its fonts at init, but no screen script yet: the stand-in front end keeps one
// empty screen up, presenting a cleared frame each pass, and closes it, asking to quit (state word 1),
// on a released Escape key or when the window is closed. Tests may decide in its place
// (gui/gui_test_hooks.h).
#include "gui/gui.h"
#include "gui/gui_test_hooks.h"

#include "core/text_case.h"

#include <vector>

#include "core/frame_view.h"
#include "core/plugin_host.h"
#include "gui/fonts.h"
#include "gui/gui_controls.h"
#include "render/frame.h"
#include "render/hud_input.h"
#include "platform/win32.h"

GuiState g_gui;

namespace {
std::vector<GuiScreen*> g_screens;
GuiTestFrameHook g_testFrameHook = nullptr;
}  // namespace

void GuiSetTestFrameHook(GuiTestFrameHook hook)
{
    g_testFrameHook = hook;
}

GuiScreen::~GuiScreen()
{
    for (u32_t i = 0; i < m_controlCount; ++i)
        delete m_controls[i];
    delete[] m_controls;
}

void GuiScreen::Activate(GuiScreen* screen)
{
    g_gui.currentScreen = screen;
}

void GuiScreen::Draw(float, float, float, float) {}

void GuiScreen::AddControl(GuiControl* control)
{
    if (!control)
        return;
    auto** grown = new GuiControl*[m_controlCount + 1];
    for (u32_t i = 0; i < m_controlCount; ++i)
        grown[i] = m_controls[i];
    grown[m_controlCount++] = control;
    delete[] m_controls;
    m_controls = grown;
}

GuiControl* GuiScreen::FindControl(const char* controlName) const
{
    if (!controlName)
        return nullptr;
    for (u32_t i = 0; i < m_controlCount; ++i) {
        if (CompareNoCase(m_controls[i]->name.Text(), controlName) == 0)
            return m_controls[i];
    }
    return nullptr;
}

void GuiScreen::DeInit() {}
void GuiScreen::StopSounds() {}

bool GuiInit(HWND, int, int)
{
    FontsLoad();
    g_pluginHost.Broadcast(HookGuiInit, 0);
    return true;
}

void GuiShutdown()
{
    for (GuiScreen* screen : g_screens)
        delete screen;
    g_screens.clear();
    g_gui = {};
    g_frameView.screenOpen = false;
    g_frameView.inGameDisplay = false;
    FontsFree();
}

bool GuiFrame(int, int, UINT message, LPARAM, WPARAM wParam, s32_t* stateWord)
{
    bool stayUp = true;
    if (g_testFrameHook) {
        stayUp = g_testFrameHook(stateWord);
    } else if (message == WM_CLOSE || message == WM_QUIT || (message == WM_KEYUP && wParam == VK_ESCAPE)) {
        *stateWord = 1;
        stayUp = false;
    }
    if (!stayUp) {
        g_frameView.screenOpen = false;
        return false;
    }
    // The stand-in screen draws nothing of its own: the frame shows the clear colour.
    if (RenderBeginFrame() == 0)
        RenderEndFrame(true);
    Sleep(5);
    return true;
}

GuiScreen* GuiFindScreen(const char* name)
{
    if (!name)
        return nullptr;
    for (GuiScreen* screen : g_screens) {
        if (CompareNoCase(screen->name.Text(), name) == 0)
            return screen;
    }
    return nullptr;
}

void GuiAddScreen(GuiScreen* screen)
{
    if (screen)
        g_screens.push_back(screen);
}
