// The screen's drawn items read back from the offscreen device on a 160 x 120 display: the filled
// rectangle's corner colours and its placement under the draw arguments, its least rectangle, the
// outline with its two corner points, and the line's gradient. Tolerance: kGradientTolerance per
// channel where colours are interpolated, exact elsewhere.
#include <gtest/gtest.h>

#include "gui/controls/gui_primitives.h"
#include "gui/screens/gui_scale.h"
#include "tests/gui/screens/gui_draw_support.h"

using namespace gui_test;
using render_test::ColourNear;

namespace {

constexpr DWORD kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kYellow = 0xFFFFFF00u;

using GuiPrimitives = GuiDraw;

TEST_F(GuiPrimitives, RectTakesItsCornerColoursClockwiseFromTheTopLeft)
{
    GuiRect rect;
    rect.x = rect.y = 0.25f;
    rect.width = rect.height = 0.5f;  // pixels 40..119 by 30..89
    const DWORD corners[4] = {kRed, kGreen, kBlue, kYellow};
    for (int i = 0; i < 4; ++i)
        rect.colours[i] = corners[i];
    rect.Draw(0.0f, 0.0f, 1.0f, 1.0f);
    const render_test::Pixels pixels = Read();
    EXPECT_TRUE(ColourNear(pixels.At(40, 30), kRed, kGradientTolerance));
    EXPECT_TRUE(ColourNear(pixels.At(119, 30), kGreen, kGradientTolerance));
    EXPECT_TRUE(ColourNear(pixels.At(119, 89), kBlue, kGradientTolerance));
    EXPECT_TRUE(ColourNear(pixels.At(40, 89), kYellow, kGradientTolerance));
    for (const auto& outside : {std::pair{39, 30}, {120, 30}, {40, 29}, {40, 90}})
        EXPECT_EQ(pixels.At(outside.first, outside.second), kBlack) << outside.first << ", " << outside.second;
}

// A half-transparent black rectangle dims what lies under it to half, whatever states the item drawn
// before it left: here added blending and an alpha taken from the texture factor.
TEST_F(GuiPrimitives, ARectBlendsByItsOwnAlphaWhateverTheItemBeforeLeft)
{
    GuiRect white;
    white.width = white.height = 1.0f;
    for (DWORD& colour : white.colours)
        colour = 0xFFFFFFFFu;
    white.Draw(0.0f, 0.0f, 1.0f, 1.0f);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    RenderSetState(D3DRS_TEXTUREFACTOR, 0xFF000000u);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    GuiRect dim;
    dim.width = dim.height = 1.0f;
    for (DWORD& colour : dim.colours)
        colour = 0x80000000u;
    dim.Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_TRUE(ColourNear(Read().At(80, 60), 0xFF7F7F7Fu, 2)) << std::hex << Read().At(80, 60);
}

TEST_F(GuiPrimitives, DrawArgumentsOffsetAndScaleThePixelBox)
{
    GuiRect whole;
    whole.width = whole.height = 1.0f;
    for (DWORD& colour : whole.colours)
        colour = kGreen;
    // Offset (0.5, 0) and scale (0.5, 1): the right half of the display at half width.
    whole.Draw(0.5f, 0.0f, 0.5f, 1.0f);
    const render_test::Pixels pixels = Read();
    for (int y : {0, 60, 119}) {
        EXPECT_EQ(pixels.At(79, y), kBlack) << y;
        EXPECT_EQ(pixels.At(80, y), kGreen) << y;
        EXPECT_EQ(pixels.At(159, y), kGreen) << y;
    }
}

TEST_F(GuiPrimitives, GetRectIsTheUnscaledBoxAndAtLeastOnePixel)
{
    const struct {
        float x, y, width, height;
        RECT expected;
    } cases[] = {
        {0.25f, 0.25f, 0.5f, 0.5f, {40, 30, 120, 90}},
        {0.5f, 0.5f, 0.0f, 0.0f, {80, 60, 81, 61}},      // zero size: one pixel
        {0.5f, 0.5f, 0.001f, 0.001f, {80, 60, 81, 61}},  // under a pixel
        {0.1f, 0.2f, 0.3f, 0.0f, {16, 24, 64, 25}},
    };
    for (const auto& c : cases) {
        GuiRect rect;
        rect.x = c.x;
        rect.y = c.y;
        rect.width = c.width;
        rect.height = c.height;
        RECT got = {-7, -7, -7, -7};
        rect.GetRect(&got);
        EXPECT_EQ(got.left, c.expected.left) << c.x;
        EXPECT_EQ(got.top, c.expected.top) << c.y;
        EXPECT_EQ(got.right, c.expected.right) << c.width;
        EXPECT_EQ(got.bottom, c.expected.bottom) << c.height;
    }
    // The base control leaves the rectangle as it was.
    GuiControl plain;
    RECT kept = {1, 2, 3, 4};
    plain.GetRect(&kept);
    EXPECT_EQ(kept.left + kept.top + kept.right + kept.bottom, 10);
}

TEST_F(GuiPrimitives, PolyOutlinesTheBoxAndPutsColourTwoOnTwoCorners)
{
    GuiPoly poly;
    poly.x = poly.y = 0.25f;
    poly.width = poly.height = 0.5f;  // corners (40, 30) and (120, 90)
    const DWORD corners[4] = {kRed, kGreen, kBlue, kYellow};
    for (int i = 0; i < 4; ++i)
        poly.colours[i] = corners[i];
    poly.Draw(0.0f, 0.0f, 1.0f, 1.0f);
    const render_test::Pixels pixels = Read();
    // The side from the bottom-left corner back to the top-left is colour 4 at both ends.
    EXPECT_EQ(pixels.At(40, 60), kYellow);
    EXPECT_TRUE(ColourNear(pixels.At(40, 31), kYellow, kGradientTolerance));
    EXPECT_TRUE(ColourNear(pixels.At(80, 30), 0xFF808000u, kGradientTolerance));   // red to green
    EXPECT_TRUE(ColourNear(pixels.At(120, 60), 0xFF008080u, kGradientTolerance));  // green to blue
    EXPECT_TRUE(ColourNear(pixels.At(80, 90), 0xFF808080u, kGradientTolerance));   // blue to yellow
    // The two single points: colour 2 at the top-right and at the bottom-left corner.
    EXPECT_EQ(pixels.At(120, 30), kGreen);
    EXPECT_EQ(pixels.At(40, 90), kGreen);
    // An outline only.
    EXPECT_EQ(pixels.At(80, 60), kBlack);
    EXPECT_EQ(pixels.At(41, 31), kBlack);
}

TEST_F(GuiPrimitives, LineRunsFromTheStartColourToTheEndColour)
{
    GuiLine line;
    line.startX = 0.1f;  // pixel 16
    line.startY = 0.5f;  // row 60
    line.endX = 0.9f;    // pixel 144
    line.endY = 0.5f;
    line.startColour = kRed;
    line.endColour = kBlue;
    line.Draw();
    const render_test::Pixels pixels = Read();
    EXPECT_TRUE(ColourNear(pixels.At(16, 60), kRed, kGradientTolerance));
    EXPECT_TRUE(ColourNear(pixels.At(80, 60), 0xFF800080u, kGradientTolerance));
    EXPECT_TRUE(ColourNear(pixels.At(143, 60), kBlue, kGradientTolerance));
    EXPECT_EQ(pixels.At(15, 60), kBlack);
    EXPECT_EQ(pixels.At(80, 59), kBlack);
    EXPECT_EQ(pixels.At(80, 61), kBlack);
}

TEST(GuiScale, ToScreenIsFloatAndByHeightAnIntegerFactor)
{
    const struct {
        int width, height;
        float text;
        float textPixels;
        s32_t spacing;
        s32_t spacingPixels;
    } cases[] = {
        {800, 600, 10.0f, 10.0f, 3, 3}, {1024, 768, 10.0f, 12.8f, 3, 3}, {640, 480, 10.0f, 8.0f, 3, 0},
        {1600, 1199, 1.0f, 2.0f, 5, 5}, {1600, 1200, 1.0f, 2.0f, 5, 10},
    };
    const int keptWidth = g_render.screenWidth, keptHeight = g_render.screenHeight;
    for (const auto& c : cases) {
        g_render.screenWidth = c.width;
        g_render.screenHeight = c.height;
        EXPECT_FLOAT_EQ(GuiScaleToScreen(c.text), c.textPixels) << c.width;
        EXPECT_EQ(GuiScaleByHeight(c.spacing), c.spacingPixels) << c.height;
    }
    g_render.screenWidth = keptWidth;
    g_render.screenHeight = keptHeight;
}

TEST(GuiControlBase, DefaultsAndANameCutToItsField)
{
    GuiControl control;
    EXPECT_EQ(control.x, 0.0f);
    EXPECT_EQ(control.y, 0.0f);
    EXPECT_FALSE(control.IsFocused());
    EXPECT_TRUE(control.ReleasesFocus());
    EXPECT_STREQ(control.GetName(), "");
    control.SetFocus(true);
    EXPECT_TRUE(control.IsFocused());
    control.SetZIndex(7);
    EXPECT_EQ(control.GetZIndex(), 7);

    const std::string longName(300, 'n');
    control.SetName(longName.c_str());
    EXPECT_EQ(std::string(control.GetName()), longName.substr(0, 127));

    // The drawn items never take the focus.
    GuiRect rect;
    GuiPoly poly;
    for (GuiControl* item : {static_cast<GuiControl*>(&rect), static_cast<GuiControl*>(&poly)}) {
        item->SetFocus(true);
        EXPECT_FALSE(item->IsFocused());
    }
}

}  // namespace
