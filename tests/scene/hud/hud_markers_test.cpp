// The HUD's screen brackets and labels: where a projected place is marked (brackets on screen, an
// edge arrow at the border or behind the camera), label layouts, and brackets and arrows read back
// from the offscreen device.
#include <gtest/gtest.h>

#include "render/draw2d/bitmap_font.h"
#include "render/camera.h"
#include "render/device/state_cache.h"
#include "scene/passes/frame_state.h"
#include "scene/hud/hud_overlays.h"
#include "support/render_test_support.h"

using namespace render_test;

namespace {

TEST(HudMarkerPlace, BracketsOnlyStrictlyInsideTheScreenAndInFront)
{
    const struct {
        float x, y;
        bool inFront;
        float placedX, placedY;
        bool brackets;
    } cases[] = {
        {32.0f, 24.0f, true, 32.0f, 24.0f, true},
        {-5.0f, 24.0f, true, 0.0f, 24.0f, false},
        {70.0f, 24.0f, true, 64.0f, 24.0f, false},
        {32.0f, -1.0f, true, 32.0f, 0.0f, false},
        {32.0f, 60.0f, true, 32.0f, 48.0f, false},
        {0.0f, 24.0f, true, 0.0f, 24.0f, false},
        {64.0f, 24.0f, true, 64.0f, 24.0f, false},
        {32.0f, 0.0f, true, 32.0f, 0.0f, false},
        {32.0f, 48.0f, true, 32.0f, 48.0f, false},
        // Behind the camera: right of the centre goes to the left edge and the reverse; the exact
        // centre stays but still gets the arrow, never brackets.
        {40.0f, 24.0f, false, 0.0f, 24.0f, false},
        {20.0f, 24.0f, false, 64.0f, 24.0f, false},
        {32.0f, 24.0f, false, 32.0f, 24.0f, false},
        {-300.0f, 24.0f, false, 64.0f, 24.0f, false},
    };
    for (const auto& c : cases) {
        float x = c.x, y = c.y;
        EXPECT_EQ(HudMarkerPlace(&x, &y, c.inFront, 64, 48), c.brackets) << c.x << ", " << c.y << " " << c.inFront;
        EXPECT_EQ(x, c.placedX) << c.x << ", " << c.y << " " << c.inFront;
        EXPECT_EQ(y, c.placedY) << c.x << ", " << c.y << " " << c.inFront;
    }
}

TEST(HudLabelLayout, BackdropHasTheMinimumHalfWidthAndAFactorByTheColoursAlpha)
{
    const int keptWidth = g_render.screenWidth;
    g_render.screenWidth = 800;  // label scale 0.4
    Font font("hud", nullptr, nullptr, 20, 4, '_');
    font.SetGlyph('a', 0.0f, 0.0f, 0.1f, 0.1f, 11, 11);
    Font lowBase("hud", nullptr, nullptr, 20, -4, '_');
    lowBase.SetGlyph('a', 0.0f, 0.0f, 0.1f, 0.1f, 11, 11);
    const float point[2] = {100.5f, 50.0f};
    const struct {
        const Font* font;
        const char* text;
        s32_t minHalf;
        D3DCOLOR colour;
        int left, right, textY;
        D3DCOLOR factor;
    } cases[] = {
        // Widths are truncated: 0.4 x 22 gives 8, 0.4 x 44 gives 17.
        {&font, "aa", 30, 0xFF00FF00u, 70, 130, 50 - 5 - 6, 0x80000000u},   // narrower than the minimum
        {&font, "aaaa", 2, 0x80FFFFFFu, 83, 117, 50 - 5 - 6, 0x80000000u},  // the text's width
        {&font, "aa", 2, 0x7FFFFFFFu, 92, 108, 50 - 5 - 6, 0u},             // alpha below 128: clear
        {&lowBase, "aa", 2, 0x00FFFFFFu, 92, 108, 50 - 5 - 9, 0u},          // 0.4 x (20 + 4) = 9.6
    };
    for (const auto& c : cases) {
        const HudLabelLayout layout = HudLabelLayoutOf(c.font, point, c.minHalf, 5, c.colour, c.text);
        EXPECT_EQ(layout.left, c.left) << c.text << " " << c.minHalf;
        EXPECT_EQ(layout.right, c.right) << c.text << " " << c.minHalf;
        EXPECT_EQ(layout.top, 45);
        EXPECT_EQ(layout.bottom, 55);
        EXPECT_EQ(layout.textX, 100);
        EXPECT_EQ(layout.textY, c.textY) << c.text;
        EXPECT_EQ(layout.backdropFactor, c.factor) << std::hex << c.colour;
        EXPECT_FLOAT_EQ(layout.scale, 0.4f);
    }
    g_render.screenWidth = keptWidth;
}

constexpr DWORD kRed = 0xFFFF0000u;

class HudMarkerPixels : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        RenderSetClearColor(0);
        ASSERT_EQ(RenderBeginFrame(), 0);
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.5f, 1);
        RenderSaveCamera();  // as the frame does before its passes
        RenderSetState(D3DRS_ZENABLE, FALSE);
        RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
        RenderSetState(D3DRS_LIGHTING, FALSE);
        RenderSetState(D3DRS_ALPHABLENDENABLE, FALSE);
        HudReadViewport();
    }
    void TearDown() override
    {
        RenderEndFrame(false);
        RenderCore::TearDown();
    }
    // The number of red pixels in the rectangle x0..x1-1, y0..y1-1.
    static int RedIn(const Pixels& pixels, int x0, int y0, int x1, int y1)
    {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                count += ColourNear(pixels.At(x, y), kRed, 8) ? 1 : 0;
        return count;
    }
};

TEST_F(HudMarkerPixels, BracketsFrameAProjectedBoxInFrontOfTheCamera)
{
    const float box[6] = {-2.0f, -2.0f, 9.0f, 2.0f, 2.0f, 11.0f};
    const float point[3] = {0.0f, 0.0f, 10.0f};
    ScreenRect rect;
    ScreenRectOfBox(box, &rect);
    ASSERT_LT(rect.left, 32.0f);
    ASSERT_GT(rect.right, 32.0f);
    ASSERT_LT(rect.top, 24.0f);
    ASSERT_GT(rect.bottom, 24.0f);
    ASSERT_TRUE(HudPointInFront(point));
    HudDrawBoxMarker(box, point, kRed);
    const Pixels pixels = ReadBackBuffer(Device());
    EXPECT_EQ(RedIn(pixels, 28, 20, 36, 28), 0) << "the centre is left open";
    // A bracket in each quarter of the screen round the centre.
    EXPECT_GT(RedIn(pixels, 0, 0, 32, 24), 0);
    EXPECT_GT(RedIn(pixels, 32, 0, 64, 24), 0);
    EXPECT_GT(RedIn(pixels, 0, 24, 32, 48), 0);
    EXPECT_GT(RedIn(pixels, 32, 24, 64, 48), 0);
}

TEST_F(HudMarkerPixels, ABoxBehindTheCameraGetsAnEdgeArrowNotBrackets)
{
    // Behind and a little to the left (seen from behind, it projects right of the centre): the
    // arrow sits at the left edge.
    const float box[6] = {-3.0f, -1.0f, -11.0f, -1.0f, 1.0f, -9.0f};
    const float point[3] = {-2.0f, 0.0f, -10.0f};
    ASSERT_FALSE(HudPointInFront(point));
    HudDrawBoxMarker(box, point, kRed);
    const Pixels pixels = ReadBackBuffer(Device());
    const int left = RedIn(pixels, 0, 0, 16, 48);
    const int right = RedIn(pixels, 48, 0, 64, 48);
    EXPECT_GT(left + right, 0);
    EXPECT_EQ(RedIn(pixels, 16, 0, 48, 48), 0) << "only the arrow at an edge";
    EXPECT_TRUE(left == 0 || right == 0) << "one arrow";
}

TEST_F(HudMarkerPixels, ABoxOffTheRightOfTheScreenGetsAnArrowAtTheRightEdge)
{
    const float box[6] = {40.0f, -1.0f, 9.0f, 42.0f, 1.0f, 11.0f};
    const float point[3] = {41.0f, 0.0f, 10.0f};
    ASSERT_TRUE(HudPointInFront(point));
    HudDrawBoxMarker(box, point, kRed);
    const Pixels pixels = ReadBackBuffer(Device());
    EXPECT_GT(RedIn(pixels, 48, 0, 64, 48), 0);
    EXPECT_EQ(RedIn(pixels, 0, 0, 48, 48), 0);
}

}  // namespace
