// Rebuilding the GUI (the command gui_refresh, and a language change at log-in) and filling a
// control's text from a form file.
#include <cstdio>
#include <cstring>

#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/strings/engine_string.h"
#include "core/frame_view.h"
#include "core/files/script_file.h"
#include "game/accounts/campaign_chronology.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/screen_manager.h"

namespace {

// "file.key" cut at its first dot; a form path or key longer than this is cut.
constexpr u32_t kFormNameSize = 256;

// A mission's weapons and seats point at its in-game screens, which a rebuild would free under them.
bool MissionScreensLoaded()
{
    return GuiScreenCount() > g_gui.menuScreenCount;
}

s32_t RefreshCommand(const char*)
{
    if (MissionScreensLoaded()) {
        ConPrint(0, "gui_refresh: not while a mission's screens are loaded\n");
        return -1;
    }
    GuiRefresh();
    return 0;
}

// The form key's suffix by the campaign index: 0 gives "_0", 2 gives "_1", every other "_2".
const char* FormSuffix()
{
    switch (SinglePlayerMode()) {
        case 0:
            return "_0";
        case 2:
            return "_1";
        default:
            return "_2";
    }
}

}  // namespace

ConsoleVar gui_refresh("gui_refresh", RefreshCommand);

void GuiRefresh()
{
    if (MissionScreensLoaded())
        return;
    // The history's entries point at the screens about to be freed: kept by name, found again after.
    EngineString left[GUI_HISTORY_SIZE];
    const s16_t depth = g_gui.historyDepth;
    for (s16_t i = 0; i < depth && i < GUI_HISTORY_SIZE; ++i) {
        if (g_gui.history[i])
            left[i] = g_gui.history[i]->name;
    }
    HWND window = g_gui.window;
    const s32_t width = g_gui.width;
    const s32_t height = g_gui.height;
    const bool overMission = g_frameView.screenOpen;

    GuiShutdown();
    DestroyScriptCache();
    CreateScriptCache();
    DefFileFreeAll();
    GuiInit(window, width, height);

    g_frameView.screenOpen = overMission;
    for (s16_t i = 0; i < g_gui.historyDepth && i < GUI_HISTORY_SIZE; ++i) {
        if (!g_gui.history[i] && !left[i].IsEmpty())
            g_gui.history[i] = GuiFindLoadedScreen(left[i].Text());
    }
    g_gui.refreshed = true;
    ++g_gui.refreshCount;
    g_gui.currentScreen = GuiFindScreen("MAINMENU");
    if (g_gui.currentScreen)
        g_gui.currentScreen->Activate(g_gui.currentScreen);
    g_gui.leftHeld = false;
}

void GuiSetItemForm(const char* screenName, const char* controlName)
{
    GuiScreen* screen = GuiFindLoadedScreen(screenName);
    GuiControl* control = screen ? screen->FindControl(controlName) : nullptr;
    auto* target = dynamic_cast<GuiFormTextTarget*>(control);
    if (!target)
        return;
    const char* source = target->FormSource();
    const char* dot = source ? std::strchr(source, '.') : nullptr;
    // Without a dot the text names no key.
    if (!dot || dot == source || dot[1] == '\0')
        return;
    char path[kFormNameSize];
    char key[kFormNameSize];
    std::snprintf(path, sizeof path, "script\\%.*s.frm", static_cast<int>(dot - source), source);
    std::snprintf(key, sizeof key, "%s%s", dot + 1, FormSuffix());
    target->SetForm(path, key, DefScriptGetText(path, key));
}
