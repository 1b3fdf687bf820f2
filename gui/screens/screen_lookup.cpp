// Finding a loaded screen by name, as controls, the game and plug-ins ask for one.
#include "core/log.h"
#include "core/strings/text_case.h"
#include "gui/screens/gui.h"

GuiScreen* GuiFindScreen(const char* name)
{
    if (!name)
        return nullptr;
    const u32_t count = GuiScreenCount();
    for (u32_t i = 0; i < count; ++i) {
        GuiScreen* screen = GuiScreenAt(i);
        if (screen && CompareNoCase(screen->name.Text(), name) == 0)
            return screen;
    }
    if (g_gui.errorScreen) {
        DebugPrint("GUI: Cannot find screen '%s', returning error screen...\n", name);
        return g_gui.errorScreen;
    }
    DebugPrint("GUI: Cannot find screen '%s', returning null...\n", name);
    return nullptr;
}
