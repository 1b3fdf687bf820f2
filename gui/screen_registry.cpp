#include "gui/screen_registry.h"

#include <vector>

#include "core/log.h"
#include "core/text_case.h"
#include "gui/gui.h"

namespace {
std::vector<GuiScreen*> g_screens;
GuiScreen* g_errorScreen = nullptr;
bool g_gameScreensLoaded = false;
}  // namespace

GuiScreen* GuiFindScreen(const char* name)
{
    if (!name)
        return nullptr;
    for (GuiScreen* screen : g_screens) {
        if (CompareNoCase(screen->name.Text(), name) == 0)
            return screen;
    }
    if (g_errorScreen) {
        DebugPrint("GUI: Cannot find screen '%s', returning error screen...\n", name);
        return g_errorScreen;
    }
    DebugPrint("GUI: Cannot find screen '%s', returning null...\n", name);
    return nullptr;
}

void GuiAddScreen(GuiScreen* screen)
{
    if (screen)
        g_screens.push_back(screen);
}

void GuiForEachScreen(void (*visit)(GuiScreen* screen, void* context), void* context)
{
    for (GuiScreen* screen : g_screens)
        visit(screen, context);
}

GuiScreen* GuiErrorScreen()
{
    return g_errorScreen;
}

void GuiSetErrorScreen(GuiScreen* screen)
{
    if (screen == g_errorScreen)
        return;
    delete g_errorScreen;
    g_errorScreen = screen;
}

void GuiFreeScreens()
{
    for (GuiScreen* screen : g_screens)
        delete screen;
    g_screens.clear();
    delete g_errorScreen;
    g_errorScreen = nullptr;
}

void GuiFreeScreensFrom(u32_t first)
{
    while (g_screens.size() > first) {
        delete g_screens.back();
        g_screens.pop_back();
    }
}

u32_t GuiScreenCount()
{
    return static_cast<u32_t>(g_screens.size());
}

bool GuiGameScreensLoaded()
{
    return g_gameScreensLoaded;
}

void GuiSetGameScreensLoaded(bool loaded)
{
    g_gameScreensLoaded = loaded;
}
