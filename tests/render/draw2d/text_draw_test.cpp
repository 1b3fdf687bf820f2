// Text drawing read back from the offscreen device: grid-font glyphs where the cells put them in
// the colours the codes choose, batching, and bitmap-font placement and alignment.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "gui/texts/fonts.h"
#include "render/device/dynamic_buffers.h"
#include "render/draw2d/grid_font.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"
#include "tests/render/texture_test_support.h"

using namespace render_test;

namespace {

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 240;
constexpr DWORD kBlack = 0xFF000000u;

// A 320 x 240 mode, a frame begun on black and the states text is drawn with.
class TextDraw : public texture_test::TextureTest {
protected:
    void SetUp() override
    {
        texture_test::TextureTest::SetUp();
        ASSERT_EQ(RenderSetDisplayMode(kScreenWidth, kScreenHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
        RenderSetClearColor(0);
        ASSERT_EQ(RenderBeginFrame(), 0);
        RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
        RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        RenderSetState(D3DRS_ZENABLE, FALSE);
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    }
    void TearDown() override
    {
        RenderEndFrame(false);
        texture_test::TextureTest::TearDown();
    }
};

// The cell of a grid glyph drawn at (left, top) with cells of cellWidth x cellHeight pixels: each
// pixel shows the texel its centre samples (point filtering) in ink or stays paper.
::testing::AssertionResult GridGlyphAt(const Pixels& pixels, int left, int top, int cellWidth, int cellHeight,
                                       u8_t code, DWORD ink, DWORD paper = kBlack)
{
    for (int j = 0; j < cellHeight; ++j) {
        for (int i = 0; i < cellWidth; ++i) {
            const int texelX = 1 + static_cast<int>(std::floor((i + 0.5) * 14.0 / cellWidth));
            const int texelY = static_cast<int>(std::floor((j + 0.5) * 15.0 / cellHeight));
            const DWORD expected = GridFontInk(code, texelX, texelY) ? ink : paper;
            const DWORD actual = pixels.At(UINT(left + i), UINT(top + j));
            if (!ColourNear(actual, expected, 2))
                return ::testing::AssertionFailure() << "code " << int(code) << " pixel (" << left + i << ", "
                                                     << top + j << ") " << ColourNear(actual, expected, 2).message();
        }
    }
    return ::testing::AssertionSuccess();
}

bool RowHasInk(const Pixels& pixels, int y, int fromX, int toX)
{
    for (int x = fromX; x < toX; ++x)
        if (pixels.At(UINT(x), UINT(y)) != kBlack)
            return true;
    return false;
}

TEST_F(TextDraw, GridTextPutsEachGlyphInItsCellInTheColourItsCodesChoose)
{
    RenderSetTexture(0, GridFontBuiltinTexture());
    struct Case {
        const char* what;
        std::string text;
        DWORD colour;
        std::vector<std::pair<u8_t, DWORD>> glyphs;  // cell by cell
    };
    const Case cases[] = {
        {"palette colours, an index past the palette keeps the colour, 0x0F restores",
         "A\x0E\x02"
         "B\x0E\x09"
         "C\x0F"
         "D",
         0xFFFFFFFFu,
         {{'A', 0xFFFFFFFFu}, {'B', 0xFFFF0000u}, {'C', 0xFFFF0000u}, {'D', 0xFFFFFFFFu}}},
        {"a palette colour takes the caller's alpha",
         "\x0E\x03"
         "W",
         0x80FFFFFFu,
         {{'W', 0xFF008000u}}},
        {"a code at the very end ends the text", "Xy\x0E", 0xFF00FFFFu, {{'X', 0xFF00FFFFu}, {'y', 0xFF00FFFFu}}},
        {"bar pieces from the upper half of the font",
         "\x80\x81\x83\x84\x85\x82",
         0xFFFFFF00u,
         {{0x80, 0xFFFFFF00u},
          {0x81, 0xFFFFFF00u},
          {0x83, 0xFFFFFF00u},
          {0x84, 0xFFFFFF00u},
          {0x85, 0xFFFFFF00u},
          {0x82, 0xFFFFFF00u}}},
    };
    int top = 4;
    for (const Case& c : cases) {
        DrawGridText(10, top, 14, 15, c.text.c_str(), c.colour);
        top += 20;
    }
    const Pixels pixels = ReadBackBuffer(Device());
    top = 4;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (size_t k = 0; k < c.glyphs.size(); ++k)
            EXPECT_TRUE(GridGlyphAt(pixels, 10 + 14 * int(k), top, 14, 15, c.glyphs[k].first, c.glyphs[k].second));
        // Nothing left of the first cell or after the last glyph.
        for (int y = top; y < top + 15; ++y) {
            EXPECT_FALSE(RowHasInk(pixels, y, 0, 10));
            EXPECT_FALSE(RowHasInk(pixels, y, 10 + 14 * int(c.glyphs.size()), kScreenWidth));
        }
        top += 20;
    }
}

TEST_F(TextDraw, GridLineFeedReturnsToTheStartOnTheSameRow)
{
    RenderSetTexture(0, GridFontBuiltinTexture());
    DrawGridText(20, 30, 12, 15, " \n|", 0xFFFFFFFFu);
    const Pixels pixels = ReadBackBuffer(Device());
    EXPECT_TRUE(GridGlyphAt(pixels, 20, 30, 12, 15, '|', 0xFFFFFFFFu));
    for (int y = 30; y < 45; ++y)
        EXPECT_FALSE(RowHasInk(pixels, y, 32, kScreenWidth));
    for (int y = 45; y < 60; ++y)
        EXPECT_FALSE(RowHasInk(pixels, y, 0, kScreenWidth));
}

TEST_F(TextDraw, GlyphsGoOutInBatchesOfSixteenAndCodesDoNotCount)
{
    RenderSetTexture(0, GridFontBuiltinTexture());
    const struct {
        std::string text;
        UINT draws;
    } cases[] = {
        {std::string(16, 'x'), 1}, {std::string(17, 'x'), 2},
        {std::string(40, 'x'), 3}, {std::string(20, '\x0F') + std::string(16, 'x') + "\n\x0E\x02", 1},
        {"\x0E\x02\x0F\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const D3D8CallCounts before = Counts();
        const u32_t facesBefore = g_render.frameStats.faces;
        DrawGridText(0, 0, 4, 4, c.text.c_str(), 0xFFFFFFFFu);
        EXPECT_EQ(Counts().drawIndexedPrimitive - before.drawIndexedPrimitive, c.draws);
        u32_t glyphs = 0;
        for (char ch : c.text)
            glyphs += ch == 'x';
        EXPECT_EQ(g_render.frameStats.faces - facesBefore, 2 * glyphs);
        EXPECT_EQ(g_dynBuffers.vertexBuffer, nullptr);  // stream 0 let go after the text
    }
    DrawGridText(0, 0, 4, 4, nullptr, 0xFFFFFFFFu);
}

// A font of white glyphs: 'a' 10 pixels wide and advancing 10, 'b' 1 and 1, nothing else.
class FontText : public TextDraw {
protected:
    void SetUp() override
    {
        TextDraw::SetUp();
        m_texture = texture_test::SolidTexture(Device(), 16, 16, 1, 0xFFFFFFFFu);
        m_font = std::make_unique<Font>("test", m_texture, nullptr, 10, 0, 'b');
        m_font->SetGlyph('a', 0.0f, 0.0f, 1.0f, 1.0f, 10, 10);
        m_font->SetGlyph('b', 0.0f, 0.0f, 1.0f, 1.0f, 1, 1);
    }
    void TearDown() override
    {
        m_font.reset();
        RenderSetTexture(0, nullptr);
        if (m_texture)
            m_texture->Release();
        TextDraw::TearDown();
    }

    // First and one past the last column with ink on the row.
    static std::pair<int, int> InkSpan(const Pixels& pixels, int y)
    {
        int first = -1, last = -1;
        for (int x = 0; x < kScreenWidth; ++x) {
            if (pixels.At(UINT(x), UINT(y)) != kBlack) {
                if (first < 0)
                    first = x;
                last = x + 1;
            }
        }
        return {first, last};
    }

    IDirect3DTexture8* m_texture = nullptr;
    std::unique_ptr<Font> m_font;
};

TEST_F(FontText, AlignmentPlacesTheTextAndTheResultIsTheDistanceMoved)
{
    // Ten wide glyphs and a narrow one: 101 pixels.
    const struct {
        int alignment, x;
        int firstInk, result;
    } cases[] = {{0, 100, 100, 101}, {1, 200, 99, 0}, {2, 150, 100, 51}, {7, 40, 40, 101}};
    int y = 0;
    for (const auto& c : cases) {
        EXPECT_EQ(DrawFontText(m_font.get(), false, c.x, y, 1.0f, "aaaaaaaaaab", 0xFFFFFFFFu, c.alignment), c.result);
        y += 30;
    }
    const Pixels pixels = ReadBackBuffer(Device());
    y = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.alignment);
        // The glyphs hang below y by their height less the base.
        EXPECT_EQ(InkSpan(pixels, y + 10), std::make_pair(c.firstInk, c.firstInk + 101));
        EXPECT_EQ(InkSpan(pixels, y + 19), std::make_pair(c.firstInk, c.firstInk + 101));
        EXPECT_EQ(InkSpan(pixels, y + 9).first, -1);
        EXPECT_EQ(InkSpan(pixels, y + 20).first, -1);
        y += 30;
    }
}

TEST_F(FontText, LineFeedsReturnToTheGivenXAndGlyphlessCharactersTakeNoRoom)
{
    // Right-aligned: the whole text is 40 wide, so the first line starts at 160; the second at x.
    EXPECT_EQ(DrawFontText(m_font.get(), false, 200, 0, 1.0f, "aa\naa", 0xFFFFFFFFu, 1), 20);
    EXPECT_EQ(DrawFontText(m_font.get(), false, 10, 100, 1.0f,
                           "a?\x01"
                           "a",
                           0xFFFFFFFFu, 0),
              20);
    EXPECT_EQ(DrawFontText(m_font.get(), true, 10, 150, 1.0f, "aaa", 0xFFFFFFFFu, 0), 0);  // no glow texture
    EXPECT_EQ(DrawFontText(nullptr, false, 10, 150, 1.0f, "aaa", 0xFFFFFFFFu, 0), 0);
    EXPECT_EQ(DrawFontText(m_font.get(), false, 10, 150, 1.0f, nullptr, 0xFFFFFFFFu, 0), 0);
    DrawFontGlyph(m_font.get(), false, 300, 200, 2.0f, 'a', 0xFF00FF00u);
    DrawFontGlyph(m_font.get(), false, 300, 150, 2.0f, 'z', 0xFF00FF00u);  // no glyph

    const Pixels pixels = ReadBackBuffer(Device());
    EXPECT_EQ(InkSpan(pixels, 15), std::make_pair(160, 180));
    EXPECT_EQ(InkSpan(pixels, 11 + 15), std::make_pair(200, 220));
    EXPECT_EQ(InkSpan(pixels, 115), std::make_pair(10, 30));
    EXPECT_EQ(InkSpan(pixels, 165).first, -1);
    // Scale 2: 20 pixels down from y, 20 wide and 20 high.
    EXPECT_EQ(InkSpan(pixels, 220), std::make_pair(300, 320));
    EXPECT_EQ(InkSpan(pixels, 219).first, -1);
    EXPECT_EQ(InkSpan(pixels, 180).first, -1);
    EXPECT_TRUE(ColourNear(pixels.At(310, 230), 0xFF00FF00u));
}

}  // namespace
