// Damaged font scripts: truncated and mangled sections, damaged glyph lines and fixed-seed mutations
// of the sample's font script load without overrunning the glyph table or reading past a word.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "core/random.h"
#include "core/files/script_file.h"
#include "gui/texts/fonts.h"
#include "support/files.h"
#include "support/gui_fixture.h"
#include "support/text_mutation.h"

using namespace gui_test;
namespace fs = std::filesystem;

namespace {

class FontSectionRobustness : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        const fs::path sample = fs::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data" / "sample";
        m_sampleScript = ReadFileBytes(sample / "script" / "font.scr");
        ASSERT_FALSE(m_sampleScript.empty());
        for (const fs::directory_entry& texture : fs::directory_iterator(sample / "component" / "gui"))
            if (texture.is_regular_file())  // the briefing pictures have a folder of their own
                Temp().Write("component/gui/" + texture.path().filename().string(), ReadFileBytes(texture.path()));
    }

    // Loads the script as the fonts and asks every font everything a drawer or the tuning tool asks.
    static void LoadAndAsk(const std::string& script)
    {
        ASSERT_TRUE(WriteFileBytes("script/font.scr", script));
        DestroyScriptCache();
        FontsLoad();
        std::string everyCode;
        for (int code = 1; code < 256; ++code)
            everyCode += static_cast<char>(code);
        for (int i = 0; i < FontCount(); ++i) {
            Font* font = FontAt(i);
            ASSERT_LE(font->GetGlyphCount(), static_cast<u32_t>(FONT_GLYPH_SLOTS));
            EXPECT_GE(font->GetTextWidth(everyCode.c_str()), 0);
            for (int index = -1; index <= static_cast<int>(font->GetGlyphCount()); ++index) {
                const int code = font->GetGlyphChar(index);
                if (code < 0)
                    continue;
                float u0, v0, u1, v1;
                font->GetGlyphUV(static_cast<u8_t>(code), &u0, &v0, &u1, &v1);
                EXPECT_TRUE(std::isfinite(u0) && std::isfinite(v0) && std::isfinite(u1) && std::isfinite(v1));
            }
            font->AdjustGlyph(static_cast<int>(font->GetGlyphCount()), 1, 1, 1, 1);
            font->ShiftGlyphChar(static_cast<int>(font->GetGlyphCount()), 1);
        }
        FontsReloadTextures();
        FontsFree();
    }

    std::string m_sampleScript;
};

TEST_F(FontSectionRobustness, TruncatedAndDamagedSections)
{
    for (const test_support::TextDamage& damage : test_support::CommonTextDamages()) {
        SCOPED_TRACE(damage.what);
        LoadAndAsk(damage.make(m_sampleScript));
    }
    const std::string head = "<f>\ntexture font_gui;\nchar_height 255;\n";
    const char* const lines[] = {
        "'",
        "''",
        "'\\",
        "\"",
        "'\\'",
        "\"\\",
        "'\\' 1 2 3 4",
        "' 1 2 3 4",
        "\" 1 2 3 4",
        "'' 1 2 3 4",
        "99999999999999999999 1 2 3 4",
        "1 99999999999999999999 -1 99999999999999999999 4",
        "-5 -5 -5 -5 -5",
        "0 -2147483648 -1 255 255",
        "255 255 99999999999999999999 99999999999999999999",
        "255 255 '' ''",
        "texture",
        "glow",
        "char_height",
        "cursor",
        "cursor 1",
        "base 99999999999999999999",
        "texture ;",
        ";",
        "texture font_gui font_gui font_gui font_gui",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        LoadAndAsk(head + line + ";\n</f>\n");
        LoadAndAsk(head + line);
    }
    // Automatic glyphs of the widest kind on rows of the highest, past the table and the texture.
    std::string wide = head;
    for (int i = 0; i < 600; ++i)
        wide += "255 255 " + std::to_string(i) + " " + std::to_string(i + 1) + ";\nEOLN;\n";
    LoadAndAsk(wide + "</f>\n");
    // A font without a texture divides by no size.
    LoadAndAsk("<f>\n10 10 a;\n65 1 1 1 1;\n</f>\n");
}

TEST_F(FontSectionRobustness, MutatedSampleScriptWithAFixedSeed)
{
    EngineSRand(5902);
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        LoadAndAsk(test_support::MutateText(m_sampleScript));
    }
}

}  // namespace
