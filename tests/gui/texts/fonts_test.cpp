// The bitmap fonts of the "font" script: the glyph lines, the layout cursor, the lookups by name,
// the table's capacity, writing a font back and re-acquiring its textures.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/files/script_file.h"
#include "gui/texts/fonts.h"
#include "gui/screens/gui.h"
#include "gui/gui_cvars.h"
#include "render/draw2d/hud_input.h"
#include "render/textures/texture_manager.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/gui_fixture.h"
#include "support/keep_var.h"

using namespace gui_test;

namespace {

// A slot in pixels of the 256 x 256 test texture.
struct Slot {
    int code, x, y, width, advance;
};

bool operator==(const Slot& a, const Slot& b)
{
    return a.code == b.code && a.x == b.x && a.y == b.y && a.width == b.width && a.advance == b.advance;
}

std::ostream& operator<<(std::ostream& out, const Slot& s)
{
    return out << "{" << s.code << ", " << s.x << ", " << s.y << ", " << s.width << ", " << s.advance << "}";
}

class Fonts : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        Temp().Write("component/gui/t256.tga", BlankTga(256, 256));
        Temp().Write("component/gui/t256g.tga", BlankTga(256, 256));
    }

    // The fonts of a "font" script with that text, loaded.
    void LoadScript(const std::string& text)
    {
        Temp().Write("script/font.scr", text);
        DestroyScriptCache();
        FontsLoad();
    }

    // A one-font script: texture t256, char height 16, then the body.
    static std::string Section(const std::string& name, const std::string& body)
    {
        return "<" + name + ">\ntexture t256;\nchar_height 16;\n" + body + "\n</" + name + ">\n";
    }

    // Every slot of the font, the rectangle read back in pixels; the bottom must lie one char height
    // below the top, the right edge width pixels right of the left.
    static std::vector<Slot> Slots(const Font& font)
    {
        std::vector<Slot> slots;
        for (u32_t i = 0; i < font.GetGlyphCount(); ++i) {
            const u8_t code = static_cast<u8_t>(font.GetGlyphChar(static_cast<int>(i)));
            // Slots of one code answer with the first: only the table's order tells them apart here.
            if (font.FindGlyph(code) != static_cast<int>(i)) {
                slots.push_back({code, -1, -1, -1, -1});
                continue;
            }
            float u0, v0, u1, v1;
            font.GetGlyphUV(code, &u0, &v0, &u1, &v1);
            int width, advance;
            font.GetGlyphMetrics(code, &width, &advance);
            const float w = static_cast<float>(font.GetTextureWidth()), h = static_cast<float>(font.GetTextureHeight());
            EXPECT_FLOAT_EQ((u1 - u0) * w, static_cast<float>(width)) << "code " << int(code);
            EXPECT_FLOAT_EQ((v1 - v0) * h, static_cast<float>(font.GetCharHeight())) << "code " << int(code);
            slots.push_back(
                {code, static_cast<int>(std::lround(u0 * w)), static_cast<int>(std::lround(v0 * h)), width, advance});
        }
        return slots;
    }
};

TEST_F(Fonts, GlyphLinesFillTheTableByTheirCodesAndTheLayoutCursor)
{
    struct Case {
        const char* what;
        const char* body;
        std::vector<Slot> slots;
    };
    const Case cases[] = {
        {"decimal code", "65 10 20 8 9;", {{65, 10, 20, 8, 9}}},
        {"decimal code keeps its low 8 bits", "321 10 20 8 9;", {{65, 10, 20, 8, 9}}},
        {"quoted character", "'A' 10 20 8 9;", {{65, 10, 20, 8, 9}}},
        {"escaped quote", "'\\'' 1 2 3 4;", {{39, 1, 2, 3, 4}}},
        {"escaped backslash", "'\\\\' 1 2 3 4;", {{92, 1, 2, 3, 4}}},
        {"double-quoted character", "\"q\" 1 2 3 4;", {{113, 1, 2, 3, 4}}},
        {"unquoted letter gives 0", "x 1 2 3 4;", {{0, 1, 2, 3, 4}}},
        {"unclosed quote gives 0", "'ab 1 2 3 4;", {{0, 1, 2, 3, 4}}},
        {"y -1 takes the layout row", "EOLN;\nEOLN;\n66 4 -1 8 9;", {{66, 4, 32, 8, 9}}},
        {"explicit glyphs leave the layout x", "65 100 0 8 9;\n10 11 b;", {{65, 100, 0, 8, 9}, {98, 0, 0, 10, 11}}},
        {"automatic glyphs wrap to the next row",
         "100 101 a;\n100 101 b;\n100 101 c;",
         {{97, 0, 0, 100, 101}, {98, 100, 0, 100, 101}, {99, 0, 16, 100, 101}}},
        {"EOLN starts a row", "10 11 a;\nEOLN;\n10 11 b;", {{97, 0, 0, 10, 11}, {98, 0, 16, 10, 11}}},
        {"four tokens share one picture", "7 8 a b;", {{97, 0, 0, 7, 8}, {98, 0, 0, 7, 8}}},
        {"second code 255 adds nothing", "7 8 a 255;", {{97, 0, 0, 7, 8}}},
        {"longer code token is a number", "7 8 200;", {{200, 0, 0, 7, 8}}},
        {"other token counts are no glyph", "1 2;\n1 2 3 4 5 6;", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadScript(Section("f", c.body));
        const Font* font = FindFont("f");
        ASSERT_NE(font, nullptr);
        ASSERT_EQ(font->GetTextureWidth(), 256u);
        EXPECT_EQ(Slots(*font), c.slots);
    }
}

TEST_F(Fonts, HeaderLinesAndQueriesOfCodesWithoutAGlyph)
{
    LoadScript(
        "<f>\ntexture t256;\nglow t256g;\nchar_height 16;\nbase -3;\ncursor 95 1;\n65 10 20 8 9;\n"
        "65 30 20 4 5;\n</f>\n<g>\ncursor 95 2;\nbase x;\n</g>\n");
    const Font* font = FindFont("f");
    ASSERT_NE(font, nullptr);
    EXPECT_NE(font->GetTexture(), nullptr);
    EXPECT_NE(font->GetGlowTexture(), nullptr);
    EXPECT_STREQ(font->GetTextureName(), "component\\gui\\t256");
    EXPECT_STREQ(font->GetGlowName(), "component\\gui\\t256g");
    EXPECT_EQ(font->GetCharHeight(), 16);
    EXPECT_EQ(font->GetBase(), -3);
    EXPECT_EQ(font->GetCursorChar(), 95);
    EXPECT_EQ(font->GetCursorFlag(), 1);
    // Two slots of one code: the first answers.
    EXPECT_EQ(font->GetGlyphCount(), 2u);
    EXPECT_EQ(font->FindGlyph('A'), 0);
    EXPECT_EQ(font->GetTextWidth("AAB"), 18);
    EXPECT_EQ(font->FindGlyph('B'), -1);
    float u0 = 1, v0 = 1, u1 = 1, v1 = 1;
    font->GetGlyphUV('B', &u0, &v0, &u1, &v1);
    EXPECT_EQ(u0 + v0 + u1 + v1, 0.0f);
    int width = 1, advance = 1;
    font->GetGlyphMetrics('B', &width, &advance);
    EXPECT_EQ(width + advance, 0);
    // Only slots in use have a code: the index just past them too has none.
    EXPECT_EQ(font->GetGlyphChar(1), 65);
    EXPECT_EQ(font->GetGlyphChar(2), -1);
    EXPECT_EQ(font->GetGlyphChar(-1), -1);

    const Font* other = FindFont("g");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->GetCursorFlag(), 0);
    EXPECT_EQ(other->GetBase(), 0);
    EXPECT_EQ(other->GetTexture(), nullptr);
    EXPECT_EQ(other->GetTextureWidth(), 0u);
}

TEST_F(Fonts, FindFontIgnoresCaseAndFallsBackToTheLanguageVariant)
{
    KeepVar keep(language);
    language.SetString("english");
    LoadScript(Section("gui_english", "") + Section("Heading", "") + Section("heading_english", ""));
    ASSERT_EQ(FontCount(), 3);
    ASSERT_NE(FindFont("gui"), nullptr);
    EXPECT_STREQ(FindFont("gui")->GetName(), "gui_english");
    EXPECT_STREQ(FindFont("GUI")->GetName(), "gui_english");
    // A font of the name itself comes before its language variant.
    EXPECT_STREQ(FindFont("heading")->GetName(), "Heading");
    EXPECT_EQ(FindFont("none"), nullptr);
    EXPECT_EQ(FindFont(nullptr), nullptr);
    // The default font is "gui" as FindFont gives it.
    EXPECT_EQ(FontDefault(), FindFont("gui"));
    EXPECT_EQ(g_hudInput.defaultFont, FindFont("gui"));

    language.SetString("eng");
    LoadScript(Section("Gui", "") + Section("gui_english", ""));
    EXPECT_STREQ(FindFont("gui")->GetName(), "Gui");
    EXPECT_STREQ(FontDefault()->GetName(), "Gui");

    FontsFree();
    EXPECT_EQ(FontCount(), 0);
    EXPECT_EQ(FontDefault(), nullptr);
    EXPECT_EQ(g_hudInput.defaultFont, nullptr);
}

TEST_F(Fonts, SaveWritesTheSectionThatLoadsBackToTheSameTable)
{
    LoadScript(
        "<tiny>\ntexture t256;\nglow t256g;\nchar_height 16;\nbase -3;\ncursor 95 1;\n65 10 20 8 9;\n"
        "EOLN;\n7 8 a b;\n249 9 c;\n9 9 d;\n</tiny>\n");
    Font* font = FindFont("tiny");
    ASSERT_NE(font, nullptr);
    ASSERT_TRUE(font->Save());
    EXPECT_EQ(ReadFileBytes(Temp() / "tiny.scr"),
              "<tiny>\n\t texture t256;\n\t glow t256g;\n\t char_height 16;\n\t base 253;\n\t cursor 95 1;\n"
              "//--------\n\t65 10 20 8 9;\n\t97 0 16 7 8;\n\t98 0 16 7 8;\n\t99 7 16 249 9;\n\t100 0 32 9 9;\n"
              "</tiny>\n");

    ScriptFile saved("tiny.scr");
    const std::string text = ReadFileBytes(Temp() / "tiny.scr");
    saved.Parse(text.data(), text.size());
    ASSERT_EQ(saved.Root()->children.size(), 1u);
    Font reloaded("tiny");
    reloaded.Load(*saved.Root()->children[0]);
    ASSERT_EQ(reloaded.GetGlyphCount(), font->GetGlyphCount());
    EXPECT_EQ(reloaded.GetBase(), -3);
    EXPECT_EQ(reloaded.GetCursorChar(), 95);
    EXPECT_EQ(reloaded.GetCursorFlag(), 1);
    EXPECT_STREQ(reloaded.GetGlowName(), font->GetGlowName());
    EXPECT_EQ(Slots(reloaded), Slots(*font));
}

TEST_F(Fonts, TheTableKeepsItsFirst256GlyphsAndLogsTheRestOnce)
{
    std::string body;
    for (int i = 0; i < 258; ++i)
        body += std::to_string(i % 256) + " 0 0 1 " + std::to_string(i / 256 + 1) + ";\n";
    std::string shared;
    for (int i = 0; i < 255; ++i)
        shared += "1 1 " + std::to_string(i) + ";\n";
    shared += "3 3 a b;\n";
    const size_t logStart = engine_log::LogSize();
    LoadScript(Section("full", body) + Section("shared", shared));
    const Font* full = FindFont("full");
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->GetGlyphCount(), 256u);
    EXPECT_EQ(full->GetGlyphChar(255), 255);
    int width, advance;
    full->GetGlyphMetrics(0, &width, &advance);
    EXPECT_EQ(advance, 1);
    // The second picture of a shared line has no room.
    const Font* sharing = FindFont("shared");
    ASSERT_NE(sharing, nullptr);
    EXPECT_EQ(sharing->GetGlyphCount(), 256u);
    EXPECT_EQ(sharing->GetGlyphChar(255), 'a');
    const std::string log = engine_log::LogFrom(logStart);
    const std::string line = "WARNING: font 'full' has more than 256 glyphs; the rest are left out\n";
    EXPECT_NE(log.find(line), std::string::npos) << log;
    EXPECT_EQ(log.find(line), log.rfind(line));
}

TEST_F(Fonts, ReloadingTexturesKeepsANullGlowForAFontWithout)
{
    LoadScript("<glowing>\ntexture t256;\nglow t256g;\n</glowing>\n<plain>\ntexture t256;\n</plain>\n");
    Font* glowing = FindFont("glowing");
    Font* plain = FindFont("plain");
    ASSERT_NE(glowing, nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetGlowTexture(), nullptr);

    // The mission's textures go: the fonts take theirs anew from the texture manager.
    TexturesReleaseAll();
    FontsReloadTextures();
    EXPECT_NE(glowing->GetTexture(), nullptr);
    EXPECT_EQ(glowing->GetTexture(), TextureFind("component\\gui\\t256"));
    EXPECT_EQ(glowing->GetGlowTexture(), TextureFind("component\\gui\\t256g"));
    EXPECT_NE(glowing->GetGlowTexture(), nullptr);
    EXPECT_EQ(plain->GetTexture(), glowing->GetTexture());
    EXPECT_EQ(plain->GetGlowTexture(), nullptr);

    // The font's own reload lets go of its textures first.
    glowing->ReloadTextures();
    plain->ReloadTextures();
    EXPECT_NE(plain->GetTexture(), nullptr);
    EXPECT_EQ(plain->GetTexture(), TextureFind("component\\gui\\t256"));
    EXPECT_EQ(plain->GetGlowTexture(), nullptr);
}

TEST_F(Fonts, TuningMovesWidensRecodesAndAddsGlyphs)
{
    LoadScript(Section("f", "65 10 32 8 9;\n66 40 0 8 9;"));
    Font* font = FindFont("f");
    ASSERT_NE(font, nullptr);
    EXPECT_FALSE(font->AdjustGlyph(-1, 1, 1, 1, 1));
    EXPECT_FALSE(font->AdjustGlyph(2, 1, 1, 1, 1));
    ASSERT_TRUE(font->AdjustGlyph(0, 3, -1, 2, 1));
    font->ShiftGlyphChar(1, 2);
    font->ShiftGlyphChar(-1, 2);
    ASSERT_TRUE(font->AddGlyph(100, 48, 5, 6, 'z'));
    EXPECT_EQ(Slots(*font), (std::vector<Slot>{{65, 13, 16, 10, 10}, {68, 40, 0, 8, 9}, {'z', 100, 48, 5, 6}}));
    EXPECT_FALSE(font->HasGlyph('B'));
}

TEST_F(Fonts, GuiInitLoadsTheFontsAndShutdownFreesThem)
{
    LoadScript(Section("heading", "") + Section("gui", "10 11 a;"));
    FontsFree();
    ASSERT_TRUE(GuiInit(nullptr, kScreenWidth, kScreenHeight));
    EXPECT_EQ(FontCount(), 2);
    ASSERT_NE(g_hudInput.defaultFont, nullptr);
    EXPECT_STREQ(g_hudInput.defaultFont->GetName(), "gui");
    // Loading again replaces the fonts rather than adding to them.
    FontsLoad();
    EXPECT_EQ(FontCount(), 2);
    GuiShutdown();
    EXPECT_EQ(FontCount(), 0);
    EXPECT_EQ(g_hudInput.defaultFont, nullptr);
}

}  // namespace
