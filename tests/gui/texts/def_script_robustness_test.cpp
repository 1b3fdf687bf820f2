// Damaged markup texts and forms: every truncation, named damages, fixed-seed mutation rounds,
// 100,000 nested tags and include cycles, read by key and laid out by a text box (without drawing),
// so that the reader, the inline codes and the layout meet every broken shape.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/console/console_var.h"
#include "core/random.h"
#include "gui/texts/def_script.h"
#include "gui/texts/def_script_codes.h"
#include "gui/controls/gui_text_box.h"
#include "render/draw2d/bitmap_font.h"
#include "render/device/render_context.h"
#include "support/text_mutation.h"
#include "support/vfs_fixture.h"

namespace {

ConsoleVar g_cycleFile("w64_cycle_file", CVAR_STRING, "loop");

const char* const kForm = R"(# A briefing form
<briefing_0>
  <intro>Welcome,<tab offset=2><font color=FFFFD040>soldier</font>.<br>
    Your task: <var name="w64_cycle_file"> <inc source="common.k"></intro>
  <task><font color=FF80FF80>Hold <font color=FFFF0000>the gate</font> until dawn</font>.</task>
</briefing_0>
<briefing_1><intro>Second <tab> act</intro></briefing_1>
)";
const char* const kCommon = "<k>from the common file <inc source=\"$w64_cycle_file.k\"></k>";
const char* const kKeys[] = {"briefing_0.intro", "briefing_0.task", "briefing_1.intro", "", "briefing_0"};

class MarkupRobustness : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        DefScriptsInit();
        m_width = g_render.screenWidth;
        m_height = g_render.screenHeight;
        g_render.screenWidth = 800;
        g_render.screenHeight = 600;
        m_font = std::make_unique<Font>("cells", nullptr, nullptr, 8, 8, '_');
        for (int c = 32; c < 256; ++c)
            m_font->SetGlyph(static_cast<u8_t>(c), 0.0f, 0.0f, 1.0f, 1.0f, 8, 8);
        WriteFileBytes("locale/eng/common.asc", kCommon);
        WriteFileBytes("locale/eng/loop.asc", "<k>loop <inc source=\"$w64_cycle_file.k\"></k>");
    }
    void TearDown() override
    {
        g_render.screenWidth = m_width;
        g_render.screenHeight = m_height;
        DefScriptsFree();
        g_cycleFile.SetString("loop");
        VfsTest::TearDown();
    }
    // Every key of the form written with that content: a text's length is its stated length, its
    // codes decode within it, and a text box lays it out.
    void ReadAll(const std::string& content, const std::string& what)
    {
        const std::string name = "script/damaged" + std::to_string(++m_files % 150) + ".frm";
        WriteFileBytes(name, content);
        for (const char* key : kKeys) {
            u32_t length = 0;
            const char* text = DefScriptGetText(name.c_str(), key, &length);
            if (!text)
                continue;
            ASSERT_EQ(std::strlen(text), length) << what << ", key '" << key << "'";
            DefPlainText(text);
            GuiTextBox box;
            box.font = m_font.get();
            box.textSize = 5.0f;
            box.width = 0.2f;
            box.height = 0.1f;
            box.SetSourceText(text);
            box.OnActivate(nullptr);
            box.VisibleRange();
            box.OnScrollDown();
        }
    }

    std::unique_ptr<Font> m_font;
    s32_t m_width = 0;
    s32_t m_height = 0;
    int m_files = 0;
};

TEST_F(MarkupRobustness, EveryTruncationOfAFormAndALocaleText)
{
    const std::string form = kForm;
    for (std::size_t size = 0; size <= form.size(); ++size)
        ReadAll(form.substr(0, size), "form cut to " + std::to_string(size));
    const std::string common = kCommon;
    for (std::size_t size = 0; size <= common.size(); ++size) {
        WriteFileBytes("locale/eng/common.asc", common.substr(0, size));
        ReadAll(form, "common text cut to " + std::to_string(size));
    }
}

TEST_F(MarkupRobustness, NamedDamagesAndFixedSeedMutations)
{
    std::vector<test_support::TextDamage> damages = test_support::CommonTextDamages();
    damages.push_back({"closing tags made opening", [](const std::string& o) {
                           std::string d = o;
                           for (std::size_t at = d.find("</"); at != std::string::npos; at = d.find("</", at))
                               d.erase(at + 1, 1);
                           return d;
                       }});
    damages.push_back({"quotes removed", [](const std::string& o) {
                           std::string d = o;
                           for (char& c : d)
                               if (c == '"')
                                   c = ' ';
                           return d;
                       }});
    damages.push_back({"stray backslashes", [](const std::string& o) {
                           std::string d;
                           for (char c : o)
                               d += c == ' ' ? std::string("\\") : std::string(1, c);
                           return d + "\\";
                       }});
    damages.push_back({"huge offsets and colours", [](const std::string& o) {
                           std::string d = o;
                           d.insert(d.find("<br>"),
                                    "<tab offset=2147483647><tab offset=-5><font color=FFFFFFFFFFFFFFFFFF>x");
                           return d;
                       }});
    for (const auto& damage : damages)
        ReadAll(damage.make(kForm), damage.what);
    EngineSRand(640);
    for (int round = 0; round < 400; ++round) {
        if (round % 4 == 0)
            WriteFileBytes("locale/eng/common.asc", test_support::MutateText(kCommon));
        ReadAll(test_support::MutateText(kForm), "mutation round " + std::to_string(round));
    }
}

TEST_F(MarkupRobustness, AHundredThousandNestedTagsAndIncludeCycles)
{
    constexpr int kDepth = 100000;
    std::string sections, colours;
    for (int i = 0; i < kDepth; ++i) {
        sections += "<a>";
        colours += "<font color=FF00FF00>";
    }
    sections += "deep";
    colours += "x";
    for (int i = 0; i < kDepth; ++i) {
        sections += "</a>";
        colours += "</font>";
    }
    WriteFileBytes("script/sections.frm", sections + "<b>after</b>");
    WriteFileBytes("script/colours.frm", "<c>" + colours + "</c>");
    WriteFileBytes("script/unclosed.frm", sections.substr(0, 3 * kDepth + 4));  // never closed
    ASSERT_NE(DefScriptGetText("script/sections.frm", "a.a.a"), nullptr);
    EXPECT_STREQ(DefScriptGetText("script/sections.frm", "b"), "after");
    std::string deepKey = "a";
    for (int i = 1; i < kDepth; ++i)
        deepKey += ".a";
    EXPECT_STREQ(DefScriptGetText("script/sections.frm", deepKey.c_str()), "deep");
    u32_t length = 0;
    ASSERT_NE(DefScriptGetText("script/colours.frm", "c", &length), nullptr);
    EXPECT_EQ(length, 2u * DEF_OPEN_TAGS * 10u + 1u) << "the first 100 colours open and close";
    EXPECT_NE(DefScriptGetText("script/unclosed.frm", "a"), nullptr);

    // Includes that lead back through a variable, read again on every lookup.
    WriteFileBytes("script/cycle.frm", "<k>start <inc source=\"$w64_cycle_file.k\"></k>");
    for (int lookup = 0; lookup < 3; ++lookup)
        EXPECT_STREQ(DefScriptGetText("script/cycle.frm", "k"), "startloop");
    g_cycleFile.SetString("common");
    EXPECT_STREQ(DefScriptGetText("script/cycle.frm", "k"), "startfrom the common file");
}

}  // namespace
