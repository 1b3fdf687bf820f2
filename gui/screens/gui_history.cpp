// The screens a control's switches left behind, newest on top, so that "back" can return.
#include "gui/screens/gui.h"
#include "gui/screens/gui_live_values.h"
#include "gui/screens/screen_manager.h"

namespace {

void Push(GuiScreen* screen)
{
    if (g_gui.historyDepth < GUI_HISTORY_SIZE) {
        g_gui.history[g_gui.historyDepth++] = screen;
        return;
    }
    for (s16_t i = 1; i < GUI_HISTORY_SIZE; ++i)
        g_gui.history[i - 1] = g_gui.history[i];
    g_gui.history[GUI_HISTORY_SIZE - 1] = screen;
}

}  // namespace

void GuiOpenScreen(const char* target)
{
    GuiScreen* current = g_gui.currentScreen;
    if (g_gui.hitInSubscreen && current) {
        current->SetSubscreen(GuiFindScreen(target));
        return;
    }
    Push(current);
    g_gui.previousScreen = current;
    g_gui.currentScreen = GuiFindScreen(target);
    if (g_gui.currentScreen)
        g_gui.currentScreen->Activate(g_gui.previousScreen);
}

void GuiReturnToPrevious()
{
    g_gui.exitAction = GUI_EXIT_NONE;
    const s16_t depth = g_gui.historyDepth;
    if (depth < 2) {
        // Nothing below the screen just left: it stays current.
        if (depth == 1) {
            g_gui.currentScreen = g_gui.history[0];
            g_gui.history[0] = nullptr;
            g_gui.historyDepth = 0;
        }
        return;
    }
    g_gui.history[depth - 1] = nullptr;
    if (g_gui.history[depth - 2])
        g_gui.currentScreen = g_gui.history[depth - 2];
    g_gui.historyDepth = static_cast<s16_t>(depth - 2);
    g_gui.history[depth - 2] = nullptr;
    if (g_gui.currentScreen && g_gui.previousScreen)
        g_gui.currentScreen->Activate(g_gui.previousScreen);
}

void GuiHistoryReset(GuiScreen* bottom)
{
    for (GuiScreen*& entry : g_gui.history)
        entry = nullptr;
    g_gui.history[0] = bottom;
    g_gui.historyDepth = 1;
}
