// Builds screens from the sections of the screen scripts "gui" and "guigame": each control section
// of a screen section becomes a control (in section order), then its commands add the drawn items
// and screen settings, and "load" reads a section of another script into the same screen.
#pragma once
#include "core/types.h"

class GuiScreen;
struct ScriptSection;

// Loads nested deeper than this are skipped with a log line, and so is a load of a section that is
// being read already (a section can load itself).
constexpr u32_t GUI_SCREEN_LOAD_DEPTH_LIMIT = 16;

// Fills the screen from the section; with no screen, a new one named after the section is added
// to the loaded screens. Pictures come from the GUI's registry until the in-game screens have been
// loaded once (g_gui.gameScreensLoaded), from the general texture manager after.
void ScreenScriptParser(ScriptSection* section, GuiScreen* screen);
