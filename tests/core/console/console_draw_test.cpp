// The consoles on the screen: the shown page as a panel with its newest lines and the typed command
// line, and the message lines, read back from the offscreen device.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/console/console.h"
#include "gui/texts/fonts.h"
#include "gui/screens/gui.h"
#include "platform/test_clock.h"
#include "render/draw2d/grid_font.h"
#include "render/draw2d/hud_input.h"
#include "render/draw2d/text_draw.h"
#include "support/render_test_support.h"

using namespace render_test;

namespace {

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 240;
constexpr DWORD kGreen = 0xFF00FF00u;

class ConsoleDraw : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        ASSERT_EQ(RenderSetDisplayMode(kScreenWidth, kScreenHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
        ConStartup();
    }
    void TearDown() override
    {
        ConSetCurrent(-1);
        ConShutdown();
        RenderCore::TearDown();
    }

    // One frame cleared to clearColour (alpha 0) with the consoles drawn, read back.
    Pixels DrawFrame(DWORD clearColour)
    {
        RenderSetClearColor(clearColour & 0x00FFFFFFu);
        EXPECT_EQ(RenderBeginFrame(), 0);
        ConDraw();
        Pixels pixels = ReadBackBuffer(Device());
        RenderEndFrame(false);
        return pixels;
    }

    static void Type(const char* text)
    {
        for (const char* p = text; *p; ++p)
            ConKeyInput(*p);
    }
};

// The console's 12 x 15 cells sample 14 x 15 texels of each glyph (point filtering).
::testing::AssertionResult TextAt(const Pixels& pixels, int left, int top, const char* text, DWORD ink, DWORD paper)
{
    for (int k = 0; text[k]; ++k) {
        for (int j = 0; j < 15; ++j) {
            for (int i = 0; i < 12; ++i) {
                const int texelX = 1 + static_cast<int>(std::floor((i + 0.5) * 14.0 / 12.0));
                const bool ink_ = GridFontInk(static_cast<u8_t>(text[k]), texelX, j);
                const int x = left + 12 * k + i, y = top + j;
                if (x >= kScreenWidth || y < 0 || y >= kScreenHeight)
                    continue;
                const DWORD actual = pixels.At(UINT(x), UINT(y));
                if (!ColourNear(actual, ink_ ? ink : paper, 2))
                    return ::testing::AssertionFailure() << "'" << text[k] << "' at (" << x << ", " << y << ") "
                                                         << ColourNear(actual, ink_ ? ink : paper, 2).message();
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(ConsoleDraw, PageShowsItsNewestLinesOverItsBackgroundAndTheCommandLine)
{
    for (int i = 0; i < 20; ++i)
        ConPrint(0, "line %d\n", i);
    ConSetCurrent(0);
    Type("echo");

    // Page 0 has room for far more lines than the screen: the background covers it all, white
    // dimmed by alpha 0x60.
    const DWORD paper = 0xFF9F9F9Fu;
    Pixels pixels = DrawFrame(0xFFFFFF);
    EXPECT_TRUE(TextAt(pixels, 12, kScreenHeight - 45, "line 19", kGreen, paper));
    EXPECT_TRUE(TextAt(pixels, 12, kScreenHeight - 60, "line 18", kGreen, paper));
    EXPECT_TRUE(TextAt(pixels, 12, kScreenHeight - 45 - 15 * 13, "line 6", kGreen, paper));
    EXPECT_TRUE(TextAt(pixels, 12, kScreenHeight - 22, ">echo", kGreen, paper));
    EXPECT_TRUE(ColourNear(pixels.At(0, 0), paper, 2));

    // Scrolled back one line.
    ConPageKey(VK_PRIOR);
    pixels = DrawFrame(0xFFFFFF);
    EXPECT_TRUE(TextAt(pixels, 12, kScreenHeight - 45, "line 18", kGreen, paper));
    EXPECT_TRUE(TextAt(pixels, 12, kScreenHeight - 22, ">echo", kGreen, paper));
}

TEST_F(ConsoleDraw, SmallPageBackgroundCoversItsLinesOnly)
{
    for (int i = 0; i < 12; ++i)
        ConPrint(3, "%c\n", 'a' + i);
    ConSetCurrent(3);
    const Pixels pixels = DrawFrame(0xFFFFFF);
    // Ten lines: the background starts at (H - 45) - 150 and is lighter on pages 2 and 3.
    const int top = (kScreenHeight - 45) - 150;
    EXPECT_TRUE(ColourNear(pixels.At(300, UINT(top - 1)), 0xFFFFFFFFu, 1));
    EXPECT_TRUE(ColourNear(pixels.At(300, UINT(top)), 0xFFDFDFDFu, 2));
    EXPECT_TRUE(TextAt(pixels, 12, kScreenHeight - 45, "l", kGreen, 0xFFDFDFDFu));
    EXPECT_TRUE(TextAt(pixels, 12, kScreenHeight - 45 - 15 * 9, "c", kGreen, 0xFFDFDFDFu));
}

TEST_F(ConsoleDraw, MessageLinesShowWithoutBackgroundAndTheInputOnlyWhileTyping)
{
    ConPrint(4, "older\n");
    ConPrint(4, "hello\n");
    // Half-transparent white over black.
    const DWORD grey = 0xFF808080u, black = 0xFF000000u;
    Pixels pixels = DrawFrame(0);
    EXPECT_TRUE(TextAt(pixels, 112, kScreenHeight - 45, "hello", grey, black));
    EXPECT_TRUE(TextAt(pixels, 112, kScreenHeight - 60, "older", grey, black));
    EXPECT_TRUE(TextAt(pixels, 112, kScreenHeight - 22, "     ", grey, black));
    EXPECT_TRUE(TextAt(pixels, 0, kScreenHeight - 45, "         ", grey, black));

    ConSetCurrent(4);
    Type("hi");
    pixels = DrawFrame(0);
    EXPECT_TRUE(TextAt(pixels, 112, kScreenHeight - 22, ">hi", grey, black));
}

// The bitmap-font message lines fade a line out after 5.5 s and empty it after 6 s.
TEST_F(ConsoleDraw, BitmapMessageLinesFadeAndExpire)
{
    IDirect3DTexture8* white = nullptr;
    ASSERT_EQ(Device()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &white), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(white->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = 0xFFFFFFFFu;
    white->UnlockRect(0);
    // Scale on a 320-pixel screen: 0.4 x 320 / 800 = 0.16; lines 16 pixels apart.
    auto font = std::make_unique<Font>("console", white, nullptr, 100, 0, 'b');
    font->SetGlyph('a', 0.0f, 0.0f, 1.0f, 1.0f, 100, 100);
    font->SetGlyph('b', 0.0f, 0.0f, 1.0f, 1.0f, 10, 20);
    g_hudInput.defaultFont = font.get();

    char expired[] = "a\n", fading[] = "a\n", fresh[] = "a\n";
    char* lines[] = {expired, fading, fresh};
    // The test clock stands still between the stamps and the draw: a loaded machine fades nothing more.
    PlatformTestClockStart(100000);
    const u32_t now = GetTickCount();
    u32_t stamps[] = {now - 7000, now - 5750, now - 100};
    RenderSetClearColor(0);
    ASSERT_EQ(RenderBeginFrame(), 0);
    DrawMessageLines(false, lines, 3, "", 0, stamps, 0x60000000u, 0xFFFFFFFFu);
    PlatformTestClockStop();
    const Pixels pixels = ReadBackBuffer(Device());
    RenderEndFrame(false);
    g_hudInput.defaultFont = nullptr;
    RenderSetTexture(0, nullptr);
    font.reset();
    white->Release();

    // Newest at the bottom: y = H - 3 x 16 = 192, the glyph 16 below it; the left margin is the
    // cursor character's advance (20).
    EXPECT_TRUE(ColourNear(pixels.At(25, 215), 0xFFFFFFFFu, 1));
    EXPECT_TRUE(ColourNear(pixels.At(25, 200), 0xFF7F7F7Fu, 4));
    EXPECT_TRUE(ColourNear(pixels.At(25, 185), 0xFF000000u, 1));
    EXPECT_TRUE(ColourNear(pixels.At(19, 215), 0xFF000000u, 1));
    EXPECT_STREQ(expired, "");
    EXPECT_EQ(stamps[0], 0u);
    EXPECT_STREQ(fading, "a\n");
    EXPECT_EQ(stamps[1], now - 5750);
}

}  // namespace
