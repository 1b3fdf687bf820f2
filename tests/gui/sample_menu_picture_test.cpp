// The sample's main menu drawn offscreen on an 800 x 600 display from the sample's own screen script,
// pictures, fonts and texts, and read back: the buttons stand where script\gui.scr puts them
// ("coord 0.375 <y> 0.25 0.08"), each shows the plate picture (an olive face inside a light rim) with
// its caption centred on it, and the title stands centred above; "Play" shows only while a soldier is
// logged in; a button's glow after the pointer left it is about half of the full glow half a second
// later.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "core/files/def_file.h"
#include "core/input/input.h"
#include "core/files/script_file.h"
#include "game/accounts/account_cvars.h"
#include "gui/screens/gui.h"
#include "gui/screens/screen_manager.h"
#include "platform/test_clock.h"
#include "render/device/frame.h"
#include "support/files.h"
#include "support/gui_fixture.h"

using namespace gui_test;
namespace fs = std::filesystem;

namespace {

constexpr int kMenuWidth = 800;
constexpr int kMenuHeight = 600;

int Red(DWORD word)
{
    return int((word >> 16) & 0xFF);
}
int Green(DWORD word)
{
    return int((word >> 8) & 0xFF);
}
int Blue(DWORD word)
{
    return int(word & 0xFF);
}
// The caption's and the title's light ink (the script's colour ffe8ecd8), drawn over dark ground.
bool Ink(DWORD word)
{
    return Red(word) >= 170 && Green(word) >= 170 && Blue(word) >= 150;
}

struct Box {
    int left = kMenuWidth, top = kMenuHeight, right = -1, bottom = -1;
    int count = 0;
    void Add(int x, int y)
    {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
        ++count;
    }
};

// The ink's extent within the rectangle (right and bottom excluded).
Box InkIn(const render_test::Pixels& pixels, const RECT& rect)
{
    Box box;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            if (Ink(pixels.At(UINT(x), UINT(y))))
                box.Add(x, y);
    return box;
}

class SampleMenuPicture : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        // A soldier logged in: "Play" shows.
        m_account = as_accname.String();
        as_accname.SetString("recruit");
        ASSERT_EQ(RenderSetDisplayMode(kMenuWidth, kMenuHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
        const fs::path sample = fs::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data" / "sample";
        for (const char* folder : {"script", "component/gui", "locale", "sound/gui"}) {
            fs::create_directories(fs::path(TempPath()) / folder);
            fs::copy(sample / folder, fs::path(TempPath()) / folder,
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        }
        // The GUI's clock: a glow fades by the frame time it measures.
        PlatformTestClockStart(1000);
        CreateScriptCache();
        ASSERT_TRUE(GuiInit(nullptr, kMenuWidth, kMenuHeight));
        ASSERT_NE(g_gui.currentScreen, nullptr);
        ASSERT_STREQ(g_gui.currentScreen->name.Text(), "MAINMENU");
    }
    void TearDown() override
    {
        GuiShutdown();
        DestroyScriptCache();
        DefFileFreeAll();
        g_input = InputState();
        PlatformTestClockStop();
        as_accname.SetString(m_account.c_str());
        GuiTest::TearDown();
    }

    // The current screen drawn on black in a frame of its own, read back.
    render_test::Pixels Draw()
    {
        RenderSetClearColor(0);
        EXPECT_EQ(RenderBeginFrame(), 0);
        g_gui.currentScreen->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        render_test::Pixels pixels = render_test::ReadBackBuffer(Device());
        RenderEndFrame(false);
        return pixels;
    }
    // One GUI frame a tenth of a second after the last, with the pointer at (x, y).
    static void Frame(int x, int y)
    {
        PlatformTestClockAdvance(100);
        s32_t state = 0;
        GuiFrame(x, y, WM_NULL, 0, 0, &state);
    }
    static RECT RectOf(const char* name)
    {
        RECT rect = {};
        const GuiControl* control = g_gui.currentScreen->FindControl(name);
        EXPECT_NE(control, nullptr) << name;
        if (control)
            control->GetRect(&rect);
        return rect;
    }
    // The plate's olive face shows at the button's upper left, above the panel's darker ground.
    static bool PlateShown(const render_test::Pixels& pixels, const RECT& rect)
    {
        const DWORD face = pixels.At(312, UINT(rect.top + 8));
        const DWORD outside = pixels.At(294, UINT(rect.top + 8));
        return Green(face) > Red(face) && Red(face) > Blue(face) + 8 && Green(face) > Green(outside) + 20;
    }

private:
    std::string m_account;
};

TEST_F(SampleMenuPicture, ButtonsShowThePlateWithTheCaptionCentredWhereTheScriptPutsThem)
{
    const render_test::Pixels pixels = Draw();
    // "coord 0.375 <y> 0.25 0.08": columns 300 to 500, 48 rows from y x 600.
    const struct {
        const char* name;
        int top;
    } buttons[] = {{"play", 282}, {"soldiers", 342}, {"quit", 414}};
    for (const auto& button : buttons) {
        SCOPED_TRACE(button.name);
        const RECT rect = RectOf(button.name);
        EXPECT_EQ(rect.left, 300);
        EXPECT_EQ(rect.right, 500);
        EXPECT_EQ(rect.top, button.top);
        EXPECT_EQ(rect.bottom, button.top + 48);

        // The plate: a light rim at the edge, an olive face inside it (green over red over blue),
        // the panel's darker ground just outside.
        const DWORD rim = pixels.At(301, UINT(rect.top + 24));
        const DWORD face = pixels.At(312, UINT(rect.top + 8));
        const DWORD outside = pixels.At(294, UINT(rect.top + 8));
        EXPECT_GT(Green(rim), 120) << std::hex << rim;
        EXPECT_GT(Green(face), Red(face)) << std::hex << face;
        EXPECT_GT(Red(face), Blue(face) + 8) << std::hex << face;
        EXPECT_GT(Green(face), Green(outside) + 20) << std::hex << face << " " << outside;

        // The caption: light ink inside the plate, centred on its middle column and near its middle
        // row, none of it on the plate's rim or beyond.
        const Box caption = InkIn(pixels, {rect.left + 4, rect.top + 4, rect.right - 4, rect.bottom - 4});
        ASSERT_GT(caption.count, 40);
        EXPECT_NEAR((caption.left + caption.right) / 2.0, 400.0, 3.0);
        EXPECT_NEAR((caption.top + caption.bottom) / 2.0, rect.top + 24.0, 8.0);
        const Box around = InkIn(pixels, {rect.left - 30, rect.top, rect.left, rect.bottom});
        EXPECT_EQ(around.count, 0);
    }
    // The title "txt 0.5 0.2 1.6 ... heading 3 2": centred on the middle column, ending above row 120.
    const Box title = InkIn(pixels, {0, 0, kMenuWidth, 160});
    ASSERT_GT(title.count, 200);
    EXPECT_NEAR((title.left + title.right) / 2.0, 400.0, 4.0);
    EXPECT_LE(title.bottom, 120);
    EXPECT_GE(title.top, 40);
}

TEST_F(SampleMenuPicture, PlayShowsOnlyWhileASoldierIsLoggedIn)
{
    as_accname.SetString("");
    const render_test::Pixels none = Draw();
    const RECT play = RectOf("play");
    EXPECT_FALSE(PlateShown(none, play));
    EXPECT_EQ(InkIn(none, play).count, 0);
    // The way to a soldier stays.
    EXPECT_TRUE(PlateShown(none, RectOf("soldiers")));

    as_accname.SetString("recruit");
    const render_test::Pixels logged = Draw();
    EXPECT_TRUE(PlateShown(logged, play));
    EXPECT_GT(InkIn(logged, play).count, 40);
}

TEST_F(SampleMenuPicture, TheGlowHalfASecondAfterThePointerLeftIsAboutHalf)
{
    const RECT play = RectOf("play");
    // The light the caption's glow adds over the plate, summed over the button.
    auto light = [&](const render_test::Pixels& pixels) {
        double sum = 0.0;
        for (int y = play.top; y < play.bottom; ++y)
            for (int x = play.left; x < play.right; ++x) {
                const DWORD word = pixels.At(UINT(x), UINT(y));
                sum += Red(word) + Green(word) + Blue(word);
            }
        return sum;
    };
    const double plain = light(Draw());
    // The pointer over the button: the frame's input step lights it fully.
    Frame((play.left + play.right) / 2, (play.top + play.bottom) / 2);
    const double full = light(Draw());
    ASSERT_GT(full - plain, 0.02 * plain) << plain << " " << full;
    // Away for four frames of a tenth of a second, and the drawing that reads the fifth.
    for (int frame = 0; frame < 4; ++frame)
        Frame(40, 40);
    const double half = light(Draw());
    EXPECT_NEAR((half - plain) / (full - plain), 0.5, 0.1) << plain << " " << half << " " << full;
    // Gone after another half second.
    for (int frame = 0; frame < 5; ++frame)
        Frame(40, 40);
    EXPECT_NEAR(light(Draw()), plain, 0.001 * plain);
}

}  // namespace
