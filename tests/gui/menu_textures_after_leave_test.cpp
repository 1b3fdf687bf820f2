// The main menu's pictures after a mission was played: once the in-game screens have been loaded,
// the menu screens built again (as a log-in or a language switch rebuilds them) keep their pictures
// through the release of every texture that leaving the next mission makes.
#include <gtest/gtest.h>

#include <string>

#include "core/files/script_file.h"
#include "gui/screens/gui.h"
#include "gui/screens/screen_manager.h"
#include "render/textures/texture_manager.h"
#include "support/files.h"
#include "tests/gui/screens/gui_draw_support.h"

using namespace gui_test;

namespace {

// A 4 x 4 uncompressed 32-bit TGA of one colour.
std::string SolidTga(DWORD argb)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = 4;
    bytes[14] = 4;
    bytes[16] = 32;
    bytes[17] = 0x28;
    for (int i = 0; i < 16; ++i) {
        bytes += static_cast<char>(argb & 0xFF);
        bytes += static_cast<char>((argb >> 8) & 0xFF);
        bytes += static_cast<char>((argb >> 16) & 0xFF);
        bytes += static_cast<char>(argb >> 24);
    }
    return bytes;
}

class MenuTextures : public GuiDraw {
protected:
    void TearDown() override
    {
        g_gui.gameScreensLoaded = false;
        GuiDraw::TearDown();
        DestroyScriptCache();
    }
    DWORD MenuPixel()
    {
        NextFrame();
        GuiScreen* menu = GuiFindScreen("MAINMENU");
        EXPECT_NE(menu, nullptr);
        if (menu)
            menu->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        return Read().At(kDisplayWidth / 2, kDisplayHeight / 2) & 0xFFFFFFu;
    }
};

TEST_F(MenuTextures, TheMenusPicturesOutliveTheTexturesReleasedOnLeavingAMission)
{
    ASSERT_TRUE(WriteFileBytes("component/gui/red.tga", SolidTga(0xFFFF0000u)));
    ASSERT_TRUE(WriteFileBytes("script/gui.scr",
                               "<MAINMENU>\n<IMG> property tex red; property coord 0 0 1 1; </IMG>\n</MAINMENU>\n"));
    CreateScriptCache();
    GuiShutdown();
    GuiLoadScreens();
    const DWORD before = MenuPixel();
    ASSERT_EQ(before, 0xFF0000u);

    // A mission's in-game screens were loaded; the menus are built again.
    g_gui.gameScreensLoaded = true;
    GuiFreeScreens();
    GuiLoadScreens();
    EXPECT_EQ(MenuPixel(), before);
    // The next mission is left: every texture of the general manager goes.
    TexturesReleaseAll();
    EXPECT_EQ(MenuPixel(), before);
}

}  // namespace
