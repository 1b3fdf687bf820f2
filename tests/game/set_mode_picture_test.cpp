// The display-mode command in the menu: a screen whose button shows a picture from the GUI's texture
// registry draws the same pixels on the new device as on the old one.
#include <gtest/gtest.h>

#include <string>

#include "core/console/console.h"
#include "core/files/script_file.h"
#include "game/commands/mission_commands.h"
#include "gui/controls/gui_button.h"
#include "gui/screen_scripts/screen_script_parser.h"
#include "render/device/frame.h"
#include "render/render_cvars.h"
#include "support/files.h"
#include "support/keep_var.h"
#include "tests/gui/screens/gui_draw_support.h"

using namespace gui_test;

namespace {

constexpr DWORD kRed = 0xFFFF0000u;

std::string SolidTga(int width, int height, DWORD argb)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(width);
    bytes[14] = static_cast<char>(height);
    bytes[16] = 32;
    bytes[17] = 0x28;
    for (int i = 0; i < width * height; ++i) {
        bytes += static_cast<char>(argb & 0xFF);
        bytes += static_cast<char>((argb >> 8) & 0xFF);
        bytes += static_cast<char>((argb >> 16) & 0xFF);
        bytes += static_cast<char>(argb >> 24);
    }
    return bytes;
}

class SetModePicture : public GuiDraw {
protected:
    void SetUp() override
    {
        GuiDraw::SetUp();
        ConStartup();
        rbwindowed.SetBool(true);
    }
    void TearDown() override
    {
        GuiDraw::TearDown();
        DestroyScriptCache();
        ConShutdown();
    }
    // The screen's picture where the script puts it (columns 40 to 119, rows 30 to 89), black around.
    void ExpectPicture(const char* when)
    {
        SCOPED_TRACE(when);
        GuiButton* button = dynamic_cast<GuiButton*>(g_gui.currentScreen->Control(0));
        ASSERT_NE(button, nullptr);
        button->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        const render_test::Pixels pixels = Read();
        EXPECT_EQ(pixels.At(40, 30), kRed);
        EXPECT_EQ(pixels.At(80, 60), kRed);
        EXPECT_EQ(pixels.At(119, 89), kRed);
        EXPECT_EQ(pixels.At(39, 60), kBlack);
        EXPECT_EQ(pixels.At(120, 60), kBlack);
        EXPECT_EQ(pixels.At(80, 29), kBlack);
        EXPECT_EQ(pixels.At(80, 90), kBlack);
    }
    KeepVar m_windowed{rbwindowed};
    KeepVar m_width{riwidth};
    KeepVar m_height{riheight};
};

TEST_F(SetModePicture, TheMenuPictureDrawsAsBeforeAfterTheModeChange)
{
    ASSERT_TRUE(WriteFileBytes("component/gui/red.tga", SolidTga(4, 4, kRed)));
    ASSERT_TRUE(WriteFileBytes("script/menu.scr",
                               "<MAIN>\n<BUTTON> property coord 0.25 0.25 0.5 0.5; "
                               "property tex red; </BUTTON>\n</MAIN>\n"));
    ScriptFile* file = GetScriptFile("menu", true);
    ASSERT_NE(file, nullptr);
    for (ScriptSection* section : file->Root()->children)
        ScreenScriptParser(section, nullptr);
    g_gui.currentScreen = GuiFindScreen("MAIN");
    ASSERT_NE(g_gui.currentScreen, nullptr);
    ExpectPicture("before");

    RenderEndFrame(false);
    ASSERT_EQ(GameSetMode("160 120 32"), 0);
    ASSERT_EQ(RenderBeginFrame(), 0);
    GuiAlphaBlendStates();
    ExpectPicture("after");
}

}  // namespace
