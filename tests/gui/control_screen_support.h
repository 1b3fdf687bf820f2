// Screens of the newer control kinds built from a script text on the 160 x 120 drawing fixture: the
// script is written to the working folder, read through the script cache and its first section made
// the current screen.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "core/files/script_file.h"
#include "gui/screen_scripts/screen_script_parser.h"
#include "gui/controls/gui_tooltip.h"
#include "support/files.h"
#include "tests/gui/screens/gui_draw_support.h"

namespace gui_test {

class ControlScreenTest : public GuiDraw {
protected:
    void SetUp() override
    {
        GuiDraw::SetUp();
        CreateScriptCache();
    }
    void TearDown() override
    {
        g_gui.currentScreen = nullptr;
        g_gui.frameTime = 0.0f;
        GuiDraw::TearDown();
        DestroyScriptCache();
    }

    GuiScreen* Build(const std::string& text)
    {
        EXPECT_TRUE(WriteFileBytes("script/controls.scr", text));
        ScriptFile* file = GetScriptFile("controls", true);
        EXPECT_NE(file, nullptr);
        if (!file || file->Root()->children.empty())
            return nullptr;
        for (ScriptSection* section : file->Root()->children)
            ScreenScriptParser(section, nullptr);
        g_gui.currentScreen = GuiFindScreen(file->Root()->children.at(0)->Name());
        return g_gui.currentScreen;
    }
    template <typename Control>
    static Control* ControlAt(GuiScreen* screen, u32_t index)
    {
        return screen ? dynamic_cast<Control*>(screen->Control(index)) : nullptr;
    }
    // The text the current screen's message box was last given.
    static std::string Message()
    {
        GuiToolTip* box = g_gui.currentScreen ? g_gui.currentScreen->GetToolTip() : nullptr;
        return box ? box->text : "(no message box)";
    }
};

}  // namespace gui_test
