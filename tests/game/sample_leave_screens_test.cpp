// The sample's two screens behind "quit" ("LEAVESCREEN" for the menus, "EXITSCREEN" for the end of
// the program) drawn offscreen on an 800 x 600 display from the sample's own script and pictures: the
// bar over the panel (coord 0.22 0.807 0.56 0.014: columns 176 to 624, rows 484 to 492) shows the
// green fill picture as far as the percentage the quit road writes, then the back picture: a dark
// face as dark as the panel round it, with a light rim at its two ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/files/def_file.h"
#include "core/input/input.h"
#include "core/files/script_file.h"
#include "game/game_cvars.h"
#include "gui/screens/gui.h"
#include "gui/screens/screen_manager.h"
#include "platform/test_clock.h"
#include "render/device/frame.h"
#include "support/gui_fixture.h"
#include "support/keep_var.h"

using namespace gui_test;
namespace fs = std::filesystem;

namespace {

constexpr int kPictureWidth = 800;
constexpr int kPictureHeight = 600;
constexpr int kBarLeft = 176;
constexpr int kBarRight = 624;
constexpr int kBarRow = 488;

int Green(DWORD word)
{
    return int((word >> 8) & 0xFF);
}

class SampleLeaveScreens : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        ASSERT_EQ(RenderSetDisplayMode(kPictureWidth, kPictureHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
        const fs::path sample = fs::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data" / "sample";
        for (const char* folder : {"script", "component/gui", "locale", "sound/gui"}) {
            fs::create_directories(fs::path(TempPath()) / folder);
            fs::copy(sample / folder, fs::path(TempPath()) / folder,
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        }
        PlatformTestClockStart(1000);
        CreateScriptCache();
        ASSERT_TRUE(GuiInit(nullptr, kPictureWidth, kPictureHeight));
    }
    void TearDown() override
    {
        GuiShutdown();
        DestroyScriptCache();
        DefFileFreeAll();
        g_input = InputState();
        PlatformTestClockStop();
        GuiTest::TearDown();
    }

    // The named screen drawn on black in a frame of its own, read back.
    render_test::Pixels Draw(const char* name)
    {
        GuiScreen* screen = GuiFindScreen(name);
        EXPECT_NE(screen, nullptr) << name;
        RenderSetClearColor(0);
        EXPECT_EQ(RenderBeginFrame(), 0);
        if (screen)
            screen->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        render_test::Pixels pixels = render_test::ReadBackBuffer(Device());
        RenderEndFrame(false);
        return pixels;
    }
};

// The fill's green (about 134 along the middle row), the back's rim (about 122); the back's face
// and the panel stay near 20.
bool Lit(DWORD word)
{
    return Green(word) >= 80;
}
bool Dark(DWORD word)
{
    return Green(word) < 40;
}

TEST_F(SampleLeaveScreens, TheBarFillsAsFarAsTheQuitRoadsPercentage)
{
    KeepVar keep(gi_maploadprogress);
    for (const char* name : {"LEAVESCREEN", "EXITSCREEN"}) {
        // The values the two roads write, the empty and the full bar among them.
        for (int percent : {0, 35, 42, 80, 100}) {
            SCOPED_TRACE(::testing::Message() << name << " at " << percent);
            gi_maploadprogress.SetInt(percent);
            const render_test::Pixels pixels = Draw(name);
            ASSERT_EQ(pixels.width, UINT(kPictureWidth));
            const int edge = kBarLeft + (kBarRight - kBarLeft) * percent / 100;
            const auto at = [&pixels](int x) { return pixels.At(UINT(x), kBarRow); };
            if (percent > 0) {
                for (int x : {kBarLeft + 10, edge - 3})
                    EXPECT_TRUE(Lit(at(x))) << x << ": " << std::hex << at(x);
            }
            if (percent < 100) {
                // Beyond the fill the back's face (its left rim is under the fill or at 176 to 182).
                for (int x : {std::max(edge + 3, kBarLeft + 10), kBarRight - 12})
                    EXPECT_TRUE(Dark(at(x))) << x << ": " << std::hex << at(x);
            }
            // The back's right rim, or the full fill over it: the bar spans its whole width.
            EXPECT_TRUE(Lit(at(kBarRight - 3))) << std::hex << at(kBarRight - 3);
            for (int x : {kBarLeft - 4, kBarRight + 4})
                EXPECT_TRUE(Dark(at(x))) << x << ": " << std::hex << at(x);
        }
    }
}

}  // namespace
