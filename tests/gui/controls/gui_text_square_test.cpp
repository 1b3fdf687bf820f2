// The text item and the square read back from the offscreen device on a 160 x 120 display with a
// font of solid 8 x 8 cells: where a text stands (its y is its bottom), its alignment, live values
// shown in the next frame, the square's size in virtual units, its opacity, and a square clipped
// at the display's corner. Flat colours compare exactly; the half-opaque square within 2 units.
#include <gtest/gtest.h>

#include <string>

#include "core/console/console_var.h"
#include "gui/controls/gui_text.h"
#include "tests/gui/screens/gui_draw_support.h"

using namespace gui_test;
using render_test::ColourNear;

namespace {

constexpr DWORD kBlue = 0xFF0000FFu;
constexpr DWORD kWhite = 0xFFFFFFFFu;

// Size 10 on a 160-wide display is scale 2: cells of 16 x 16 pixels.
constexpr float kTextSize = 10.0f;

using GuiTextItems = GuiDraw;

bool AllBlack(const render_test::Pixels& pixels)
{
    for (DWORD word : pixels.words)
        if (word != kBlack)
            return false;
    return true;
}

TEST_F(GuiTextItems, TextStandsOnItsYAndAlignsAsDrawFontTextDoes)
{
    const struct {
        s32_t alignment;
        int left;  // first inked column of "AB" (32 pixels wide) anchored at x 80
    } cases[] = {{0, 80}, {1, 48}, {2, 64}};
    for (const auto& c : cases) {
        NextFrame();
        GuiText text;
        text.Set(0.5f, 0.5f, "AB", kTextSize, CellFont());
        text.colour = kBlue;
        text.alignment = c.alignment;
        text.Draw(0.0f, 0.0f, 1.0f, 1.0f);
        const render_test::Pixels pixels = Read();
        EXPECT_EQ(pixels.At(c.left, 59), kBlue) << c.alignment;  // the bottom row is row 59
        EXPECT_EQ(pixels.At(c.left, 44), kBlue) << c.alignment;
        EXPECT_EQ(pixels.At(c.left, 60), kBlack) << c.alignment;
        EXPECT_EQ(pixels.At(c.left, 43), kBlack) << c.alignment;
        EXPECT_EQ(pixels.At(c.left + 31, 50), kBlue) << c.alignment;
        EXPECT_EQ(pixels.At(c.left - 1, 50), kBlack) << c.alignment;
        EXPECT_EQ(pixels.At(c.left + 32, 50), kBlack) << c.alignment;
    }
    // At y = 0 the whole text lies above the display.
    NextFrame();
    GuiText top;
    top.Set(0.5f, 0.0f, "AB", kTextSize, CellFont());
    top.Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_TRUE(AllBlack(Read()));
}

TEST_F(GuiTextItems, LiveValueShowsAChangedVariableInTheNextFrame)
{
    ConsoleVar live("gui_test_live", CVAR_STRING, "AB");
    GuiText text;
    text.Set(0.0f, 0.5f, "$gui_test_live", kTextSize, CellFont());
    text.colour = kWhite;
    text.Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_STREQ(text.ShownText(), "AB");
    EXPECT_EQ(Read().At(40, 50), kBlack);  // two cells end at 32

    live.SetString("XYZ");
    NextFrame();
    text.Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_STREQ(text.ShownText(), "XYZ");
    EXPECT_EQ(Read().At(40, 50), kWhite);

    // A live value longer than the shown field is cut to it, not written past it.
    live.SetString(std::string(3000, 'L').c_str());
    text.Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(std::string(text.ShownText()), std::string(GUI_TEXT_SHOWN_SIZE - 1, 'L'));
}

TEST_F(GuiTextItems, SquareHalvesItsSizeByIntegerDivisionAndTintsByItsColour)
{
    // On 160 x 120 a unit is 0.2 pixels: 100 units are 20 pixels, centred at (400, 300) = (80, 60).
    GuiSquare square;
    square.texture = White();
    square.centreX = 400;
    square.centreY = 300;
    square.sizeX = square.sizeY = 101;
    const RECT box = square.PixelBox();
    EXPECT_EQ(box.left, 70);
    EXPECT_EQ(box.right, 90);
    EXPECT_EQ(box.top, 50);
    EXPECT_EQ(box.bottom, 70);
    square.colour = 0x80FFFFFFu;
    square.Draw(0.0f, 0.0f, 1.0f, 1.0f);
    const render_test::Pixels pixels = Read();
    EXPECT_TRUE(ColourNear(pixels.At(70, 50), 0xFF808080u, 2));
    EXPECT_TRUE(ColourNear(pixels.At(89, 69), 0xFF808080u, 2));
    EXPECT_EQ(pixels.At(69, 60), kBlack);
    EXPECT_EQ(pixels.At(90, 60), kBlack);
    EXPECT_EQ(pixels.At(80, 70), kBlack);
}

TEST_F(GuiTextItems, SquareNearTheCornerIsClippedNotWrapped)
{
    GuiSquare square;
    square.centreX = 10;
    square.centreY = 10;
    square.sizeX = square.sizeY = 100;  // edges at -40 and 60 units: -8 and 12 pixels
    square.colour = kBlue;
    const RECT box = square.PixelBox();
    EXPECT_EQ(box.left, -8);
    EXPECT_EQ(box.top, -8);
    EXPECT_EQ(box.right, 12);
    EXPECT_EQ(box.bottom, 12);
    square.Draw(0.0f, 0.0f, 1.0f, 1.0f);  // no texture: a flat tinted quad
    const render_test::Pixels pixels = Read();
    EXPECT_EQ(pixels.At(0, 0), kBlue);
    EXPECT_EQ(pixels.At(11, 11), kBlue);
    EXPECT_EQ(pixels.At(12, 5), kBlack);
    EXPECT_EQ(pixels.At(159, 119), kBlack);

    square.SetFocus(true);
    EXPECT_FALSE(square.IsFocused());
}

}  // namespace
