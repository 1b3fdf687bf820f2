// Text boxes drawn on a 160 x 120 display with a font of solid 8 x 8 cells (size 5 is scale 1; the
// line gap of 2 is 0 at this height, so lines are 8 pixels apart): scrolling and its ends, the
// inline codes, live sources, rolling texts, and text boxes built from a screen script.
#include <gtest/gtest.h>

#include <string>

#include "core/console/console_var.h"
#include "core/files/script_file.h"
#include "gui/texts/def_script.h"
#include "gui/texts/def_script_codes.h"
#include "gui/controls/gui_text_box.h"
#include "gui/screen_scripts/screen_script_parser.h"
#include "support/files.h"
#include "tests/gui/screen_scripts/control_script_support.h"
#include "tests/gui/screens/gui_draw_support.h"

using namespace gui_test;

namespace {

constexpr DWORD kWhite = 0xFFFFFFFFu;
constexpr DWORD kGreen = 0xFF00FF00u;

ConsoleVar g_liveKey("w64_textbox_live", CVAR_STRING, "tb.key");
ConsoleVar g_shownNumber("w64_textbox_number", CVAR_INT, "42");

std::string ColourCode(u32_t colour)
{
    std::string code;
    DefAppendColourCode(&code, colour);
    return code;
}

// Lines "A", "AA", ... of 1 to count characters, joined by line-break codes.
std::string Staircase(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i ? "\\n" : "") + std::string(static_cast<std::size_t>(i + 1), 'A');
    return text;
}

class TextBoxes : public GuiDraw {
protected:
    // A box at (0, top) of the display's width and that many pixels high.
    GuiTextBox& Box(const std::string& text, int topPixels, int heightPixels)
    {
        m_box = std::make_unique<GuiTextBox>();
        m_box->font = CellFont();
        m_box->textSize = 5.0f;
        m_box->x = 0.0f;
        m_box->y = static_cast<float>(topPixels) / kDisplayHeight;
        m_box->width = 1.0f;
        m_box->height = static_cast<float>(heightPixels) / kDisplayHeight;
        m_box->SetSourceText(text.c_str());
        m_box->OnActivate(nullptr);
        return *m_box;
    }
    render_test::Pixels Drawn()
    {
        NextFrame();
        m_box->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        return Read();
    }
    // How many pixels of the row are lit from x = 0 on, without a gap.
    static int LitRun(const render_test::Pixels& pixels, int y)
    {
        int x = 0;
        while (x < static_cast<int>(pixels.width) && pixels.At(static_cast<UINT>(x), static_cast<UINT>(y)) != kBlack)
            ++x;
        return x;
    }

    std::unique_ptr<GuiTextBox> m_box;
};

TEST_F(TextBoxes, ATextThatFitsIsNotScrollable)
{
    GuiTextBox& box = Box(Staircase(3), 0, 40);
    const render_test::Pixels before = Drawn();
    EXPECT_EQ(LitRun(before, 4), 8);
    EXPECT_EQ(LitRun(before, 20), 24);
    EXPECT_FALSE(box.scrollable);
    EXPECT_EQ(box.lineCount, 3);
    box.OnScrollDown();
    box.OnDecrement();
    EXPECT_EQ(box.scrollOffset, 0);
    EXPECT_EQ(Drawn().words, before.words);
}

TEST_F(TextBoxes, ScrollingStopsAtTheFirstLineAndWhenTheLastLineIsIn)
{
    GuiTextBox& box = Box(Staircase(10), 0, 40);
    const render_test::Pixels top = Drawn();
    ASSERT_TRUE(box.scrollable);
    EXPECT_EQ(LitRun(top, 4), 8) << "line 1";
    EXPECT_EQ(LitRun(top, 36), 40) << "line 5, the last wholly inside";
    box.OnScrollUp();
    EXPECT_EQ(box.scrollOffset, 0);

    for (int i = 0; i < 20; ++i)
        box.OnScrollDown();
    EXPECT_EQ(box.scrollOffset, -40);
    const render_test::Pixels bottom = Drawn();
    EXPECT_EQ(LitRun(bottom, 4), 48) << "line 6 at the top";
    EXPECT_EQ(LitRun(bottom, 36), 80) << "line 10, the last, inside";
    for (int y = 40; y < kDisplayHeight; ++y)
        ASSERT_EQ(LitRun(bottom, y), 0) << "nothing below the box, row " << y;

    box.OnScrollUp();
    EXPECT_EQ(box.scrollOffset, -32);
    for (int i = 0; i < 20; ++i)
        box.OnIncrement();
    EXPECT_EQ(box.scrollOffset, 0);
    EXPECT_EQ(Drawn().words, top.words);
}

TEST_F(TextBoxes, InlineCodesBreakTabColourAndShowVariables)
{
    // "\t" with the byte 4: four blanks (32 pixels) between A and B.
    Box(std::string("A\\t") + '\x04' + "B", 0, 40);
    render_test::Pixels pixels = Drawn();
    EXPECT_EQ(pixels.At(4, 4), kWhite);
    EXPECT_EQ(pixels.At(20, 4), kBlack);
    EXPECT_EQ(pixels.At(36, 4), kBlack);
    EXPECT_EQ(pixels.At(44, 4), kWhite);
    EXPECT_EQ(pixels.At(52, 4), kBlack);

    // A colour code holds for the rest of the text, and for the next frames until another comes.
    GuiTextBox& box = Box("A " + ColourCode(kGreen) + "B C", 0, 40);
    pixels = Drawn();
    EXPECT_EQ(pixels.At(4, 4), kWhite);
    EXPECT_EQ(pixels.At(20, 4), kGreen);
    EXPECT_EQ(pixels.At(36, 4), kGreen);
    EXPECT_EQ(box.colour, kGreen);
    EXPECT_EQ(Drawn().At(4, 4), kGreen);

    // A variable's value at its place, as it is at each draw; broken codes drop their characters.
    std::string shown = "[";
    DefAppendVariableCode(&shown, &g_shownNumber);
    shown += "]\\c12\\q";
    Box(shown, 0, 40);
    EXPECT_EQ(LitRun(Drawn(), 4), 4 * 8) << "[42] and nothing of the broken codes";
    g_shownNumber.SetInt(12345);
    EXPECT_EQ(LitRun(Drawn(), 4), 7 * 8);
    g_shownNumber.SetInt(42);
}

TEST_F(TextBoxes, ALiveSourceHoldingAKeyShowsTheLocalizedText)
{
    ASSERT_TRUE(WriteFileBytes("locale/_common/tb.asc", "key \"XY\"\n"));
    Box("$w64_textbox_live", 0, 40);
    EXPECT_EQ(LitRun(Drawn(), 4), 16) << "\"XY\", not the six characters of the key";
    EXPECT_STREQ(m_box->DisplayText(), "XY");
}

TEST_F(TextBoxes, ARollingTextStartsBelowTheBoxAndRises30PixelsASecond)
{
    // The box covers rows 60 to 119; lines are centred on column 80.
    GuiTextBox& box = Box(Staircase(10), 60, 60);
    box.smoothScroll = true;
    g_gui.frameTime = 0.0f;
    const render_test::Pixels start = Drawn();
    for (int y = 0; y < kDisplayHeight; ++y)
        ASSERT_EQ(start.At(80, static_cast<UINT>(y)), kBlack) << "row " << y;

    g_gui.frameTime = 0.1f;
    for (int frame = 0; frame < 10; ++frame)
        Drawn();  // one second: the position moves on after each draw
    g_gui.frameTime = 0.0f;
    render_test::Pixels pixels = Drawn();
    EXPECT_EQ(pixels.At(80, 89), kBlack);
    EXPECT_EQ(pixels.At(80, 90), kWhite);
    EXPECT_EQ(pixels.At(75, 93), kBlack) << "one cell centred on 80: 76 to 83";
    EXPECT_EQ(pixels.At(76, 93), kWhite);
    EXPECT_EQ(pixels.At(84, 93), kBlack);

    g_gui.frameTime = 0.1f;
    for (int frame = 0; frame < 20; ++frame)
        Drawn();
    g_gui.frameTime = 0.0f;
    pixels = Drawn();
    // Three seconds: line 1 would stand at row 30, above the box; line 5 stands at row 62.
    for (int y = 0; y < 60; ++y)
        ASSERT_EQ(pixels.At(80, static_cast<UINT>(y)), kBlack) << "clipped, row " << y;
    EXPECT_EQ(pixels.At(80, 62), kWhite);
    EXPECT_EQ(pixels.At(59, 62), kBlack);
    EXPECT_EQ(pixels.At(60, 62), kWhite) << "five cells centred on 80";

    box.OnActivate(nullptr);
    EXPECT_EQ(box.rollingPosition, -60.0f);
}

TEST_F(TextBoxes, ATextBoxSectionTakesItsKeysAndTheNameMakesOne)
{
    GuiScreen* screen = BuildScreens(R"(<SHOWN>
<TEXTBOX>
property name story;
property coord 0.1 0.2 0.5 0.25;
property color FF00FF00;
property text $w64_textbox_live;
property fontsize 5;
property zindex 3;
property form briefing.intro;
property smooth_scroll;
</TEXTBOX>
</SHOWN>
)");
    ASSERT_NE(screen, nullptr);
    auto* box = dynamic_cast<GuiTextBox*>(screen->FindControl("story"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetZIndex(), 3);
    EXPECT_EQ(box->colour, kGreen);
    EXPECT_STREQ(box->SourceText(), "$w64_textbox_live");
    EXPECT_STREQ(box->FormText(), "briefing.intro");
    EXPECT_TRUE(box->smoothScroll);
    EXPECT_EQ(box->textSize, 5.0f);
    RECT rect = {};
    box->GetRect(&rect);
    EXPECT_EQ(rect.left, 16);
    EXPECT_EQ(rect.top, 24);
    EXPECT_EQ(rect.right, 96);
    EXPECT_EQ(rect.bottom, 54);
    DestroyScriptCache();

    std::unique_ptr<GuiControl> made(GuiCreateControl("TextBox"));
    EXPECT_NE(dynamic_cast<GuiTextBox*>(made.get()), nullptr);
}

}  // namespace
