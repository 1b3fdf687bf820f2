// tools/font_make: its fonts load, with the advances and heights stb_truetype gives and ink where
// their glyphs are; the sample's committed fonts are what the maker makes of their description; a
// description that is not one is refused with the line named.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "core/files/script_file.h"
#include "gui/texts/fonts.h"
#include "map/terrain/map_grid.h"
#include "render/textures/texture_manager.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/gui_fixture.h"
#include "tools/font_make/font_description.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
#endif
#include <stb/stb_truetype.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

using namespace gui_test;
namespace fs = std::filesystem;

namespace {

fs::path RepositoryData()
{
    return fs::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data";
}

// The alpha map's bytes summed over a pixel rectangle.
long AlphaMapSum(const MapGrid* grid, int left, int top, int width, int height)
{
    long sum = 0;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            sum += grid->data[std::size_t(y) * grid->size + x];
    return sum;
}

// The alpha of a texture's top level summed over a pixel rectangle.
long AlphaSum(IDirect3DTexture8* texture, int left, int top, int width, int height)
{
    D3DSURFACE_DESC desc = {};
    D3DLOCKED_RECT locked = {};
    if (FAILED(texture->GetLevelDesc(0, &desc)) || desc.Format != D3DFMT_A8R8G8B8 ||
        FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY)))
        return -1;
    long sum = 0;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            sum += static_cast<const BYTE*>(locked.pBits)[y * locked.Pitch + x * 4 + 3];
    texture->UnlockRect(0);
    return sum;
}

using FontMake = GuiTest;

TEST_F(FontMake, ItsFontLoadsWithTheAdvancesAndHeightOfTheTrueTypeFont)
{
    std::string error;
    ASSERT_TRUE(WriteTestFont(TempPath(), &error)) << error;
    const size_t logBefore = engine_log::LogSize();
    FontsLoad();
    // The texture manager makes an alpha map of both textures, the picture the right way up.
    EXPECT_EQ(engine_log::LogFrom(logBefore).find("alphamap"), std::string::npos) << engine_log::LogFrom(logBefore);
    const Font* font = FindFont("test");
    ASSERT_NE(font, nullptr);
    ASSERT_NE(font->GetTexture(), nullptr);
    ASSERT_NE(font->GetGlowTexture(), nullptr);
    EXPECT_EQ(font->GetTextureWidth(), static_cast<u32_t>(fontmake::kTextureWidth));

    const std::string bytes = ReadFileBytes(fs::path(TrueTypeFolder()) / TestFontRequest().trueTypeFile);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    stbtt_fontinfo info;
    ASSERT_TRUE(stbtt_InitFont(&info, data, stbtt_GetFontOffsetForIndex(data, 0)));
    const float scale = stbtt_ScaleForPixelHeight(&info, static_cast<float>(TestFontRequest().pixelHeight));
    int ascent, descent, lineGap;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &lineGap);
    EXPECT_EQ(font->GetCharHeight(), std::ceil(ascent * scale) + std::ceil(-descent * scale));

    EXPECT_EQ(font->GetGlyphCount(), 95u);
    for (int code = 32; code <= 126; ++code) {
        SCOPED_TRACE(code);
        int advanceUnits, bearing;
        stbtt_GetCodepointHMetrics(&info, code, &advanceUnits, &bearing);
        int width, advance;
        font->GetGlyphMetrics(static_cast<u8_t>(code), &width, &advance);
        EXPECT_EQ(advance, std::lround(advanceUnits * scale));
        EXPECT_GE(width, advance);
    }
    EXPECT_GT(font->GetTextWidth("WWW"), font->GetTextWidth("iii"));

    // Ink inside a letter's cell, none in the blank's; the glow reaches past the letter's ink.
    auto cell = [&](u8_t code, int* left, int* top, int* width) {
        float u0, v0, u1, v1;
        font->GetGlyphUV(code, &u0, &v0, &u1, &v1);
        *left = static_cast<int>(std::lround(u0 * font->GetTextureWidth()));
        *top = static_cast<int>(std::lround(v0 * font->GetTextureHeight()));
        int advance;
        font->GetGlyphMetrics(code, width, &advance);
    };
    int left, top, width;
    cell('H', &left, &top, &width);
    EXPECT_GT(AlphaSum(font->GetTexture(), left, top, width, font->GetCharHeight()), 255 * 10);
    for (IDirect3DTexture8* texture : {font->GetTexture(), font->GetGlowTexture()}) {
        const MapGrid* alphaMap = TextureGetAlphaMap(texture);
        ASSERT_NE(alphaMap, nullptr);
        EXPECT_EQ(alphaMap->size, font->GetTextureHeight());
        EXPECT_EQ(AlphaMapSum(alphaMap, left, top, width, font->GetCharHeight()),
                  AlphaSum(texture, left, top, width, font->GetCharHeight()));
    }
    // The row above the cell lies in the gap between rows: empty in the glyphs, lit by the glow.
    if (top > 0) {
        EXPECT_EQ(AlphaSum(font->GetTexture(), left, top - 1, width, 1), 0);
    } else {
        EXPECT_EQ(AlphaSum(font->GetTexture(), left, top + font->GetCharHeight(), width, 1), 0);
        EXPECT_GT(AlphaSum(font->GetGlowTexture(), left, top + font->GetCharHeight(), width, 1), 0);
    }
    cell(' ', &left, &top, &width);
    EXPECT_EQ(AlphaSum(font->GetTexture(), left, top, width, font->GetCharHeight()), 0);
}

TEST(FontMakeSample, CommittedFontsAreWhatTheMakerMakesOfTheirDescription)
{
    const fs::path description = RepositoryData() / "sample_fonts" / "font.txt";
    fontmake::FontDescription fonts;
    std::string error;
    ASSERT_TRUE(fontmake::ParseFontDescription(ReadFileBytes(description), &fonts, &error)) << error;
    std::string script;
    for (const fontmake::FontRequest& request : fonts.fonts) {
        SCOPED_TRACE(request.name);
        const fs::path trueType = fs::path(TrueTypeFolder()) / request.trueTypeFile;
        const std::string bytes = ReadFileBytes(trueType);
        ASSERT_FALSE(bytes.empty()) << trueType << " missing: scripts/setup installs fonts-dejavu-core";
        fontmake::MadeFont made;
        ASSERT_TRUE(fontmake::MakeFont(request, bytes, &made, &error)) << error;
        const fs::path gui = RepositoryData() / "sample" / "component" / "gui";
        EXPECT_TRUE(made.glyphImage == ReadFileBytes(gui / (fontmake::GlyphTextureName(request) + ".tga")))
            << "not current: run scripts/sample_fonts";
        EXPECT_TRUE(made.glowImage == ReadFileBytes(gui / (fontmake::GlowTextureName(request) + ".tga")))
            << "not current: run scripts/sample_fonts";
        script += made.section;
    }
    EXPECT_EQ(script, ReadFileBytes(RepositoryData() / "sample" / "script" / "font.scr"))
        << "not current: run scripts/sample_fonts";
    // The sample has the default font and a heading font larger than it.
    ASSERT_EQ(fonts.fonts.size(), 2u);
    EXPECT_EQ(fonts.fonts[0].name, "gui");
    EXPECT_GT(fonts.fonts[1].pixelHeight, fonts.fonts[0].pixelHeight);
}

TEST(FontMakeDescription, RefusesWhatIsNoDescriptionNamingTheLine)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"", "no font"},
        {"# only a comment\n", "no font"},
        {"fonts a b.ttf 12 32 126", "line 1: unknown keyword 'fonts'"},
        {"font a b.ttf 12 32", "line 1: expected: font <name> <TrueType file> <pixel height> <first code> <last code>"},
        {"\nfont a b.ttf 12 32 126 7",
         "line 2: expected: font <name> <TrueType file> <pixel height> <first code> <last code>"},
        {"font a b.ttf x 32 126",
         "line 1: expected: font <name> <TrueType file> <pixel height> <first code> <last code>"},
        {"font a b.ttf 200 32 126", "line 1: pixel height out of 4 to 96"},
        {"font a b.ttf 12 0 126", "line 1: codes out of 1 to 255"},
        {"font a b.ttf 12 32 256", "line 1: codes out of 1 to 255"},
        {"font a b.ttf 12 40 39", "line 1: codes out of 1 to 255"},
    };
    for (const Case& c : cases) {
        fontmake::FontDescription fonts;
        std::string error;
        EXPECT_FALSE(fontmake::ParseFontDescription(c.text, &fonts, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
    fontmake::FontDescription fonts;
    std::string error;
    ASSERT_TRUE(
        fontmake::ParseFontDescription("font a b.ttf 12 32 126 # small\nfont c d.ttf 20 65 90\n", &fonts, &error));
    ASSERT_EQ(fonts.fonts.size(), 2u);
    EXPECT_EQ(fonts.fonts[1].name, "c");
    EXPECT_EQ(fonts.fonts[1].firstCode, 65);

    fontmake::MadeFont made;
    EXPECT_FALSE(fontmake::MakeFont(fonts.fonts[0], "not a font", &made, &error));
    EXPECT_EQ(error, "a: not a TrueType font");
}

}  // namespace
