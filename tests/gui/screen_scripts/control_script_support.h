// Builds the screens of a screen script written into the working folder, for the tests of control
// kinds read from their sections.
#pragma once
#include <string>

#include "core/files/script_file.h"
#include "gui/screens/gui.h"
#include "gui/screens/screen_manager.h"
#include "gui/screen_scripts/screen_script_parser.h"
#include "support/files.h"

namespace gui_test {

// Writes script\<name>.scr, builds every screen in it and answers the first (null when none).
inline GuiScreen* BuildScreens(const std::string& text, const std::string& name = "controls")
{
    if (!WriteFileBytes("script/" + name + ".scr", text))
        return nullptr;
    ScriptFile* file = GetScriptFile(name.c_str(), true);
    if (!file || file->Root()->children.empty())
        return nullptr;
    for (ScriptSection* section : file->Root()->children)
        ScreenScriptParser(section, nullptr);
    return GuiFindScreen(file->Root()->children.at(0)->Name());
}

}  // namespace gui_test
