// Edit boxes built from screen scripts and driven by injected characters: the length rules and their
// messages, the chat field's command, the commit to the variable, and what a masked field and its
// caret draw on the offscreen device.
#include <gtest/gtest.h>

#include <string>

#include "core/console/console_var.h"
#include "gui/controls/gui_edit_box.h"
#include "platform/test_clock.h"
#include "tests/gui/control_screen_support.h"

using namespace gui_test;

namespace {

constexpr char kEnter = 13;
constexpr char kEscape = 27;
constexpr char kBackspace = 8;

ConsoleVar g_editTarget("gui_test_edit_target", CVAR_STRING, "");
ConsoleVar g_editStart("gui_test_edit_start", CVAR_STRING, "");
s32_t g_chatCalls = 0;
s32_t NoteChat(const char*)
{
    ++g_chatCalls;
    return 0;
}
ConsoleVar g_chatCommand("gui_test_edit_chat", NoteChat);

class EditBoxes : public ControlScreenTest {
protected:
    void SetUp() override
    {
        ControlScreenTest::SetUp();
        PlatformTestClockStart(100000);
        g_editTarget.SetString("before");
        g_editStart.SetString("");
        g_chatCalls = 0;
    }
    void TearDown() override
    {
        PlatformTestClockStop();
        ControlScreenTest::TearDown();
    }
    // A screen with a message box and one edit box with the keys given.
    GuiEditBox* Field(const std::string& keys)
    {
        GuiScreen* screen = Build(
            "<EDIT>\n<TOOLTIP> property coord 0 0 1 0.1; </TOOLTIP>\n<EDITBOX> "
            "property coord 0 0.25 1 0.25; property var gui_test_edit_target; " +
            keys + " </EDITBOX>\n</EDIT>\n");
        auto* box = ControlAt<GuiEditBox>(screen, 0);
        EXPECT_NE(box, nullptr);
        if (box) {
            box->OnActivate(screen);
            box->SetFocus(true);
        }
        return box;
    }
    static void Type(GuiEditBox* box, const std::string& characters)
    {
        for (char c : characters)
            box->OnChar(c);
    }
};

struct TypingCase {
    const char* what;
    const char* limit;    // the "limit" words
    std::string typed;    // injected characters, Enter and Backspace among them
    std::string text;     // the field's text after
    const char* message;  // the message box's text after, "" for none
    bool focused;
    const char* variable;  // the bound variable after
};

TEST_F(EditBoxes, LengthRulesApplyOnlyWithBothLimits)
{
    const std::string twelve(12, 'a');
    const std::string full(128, 'x');
    const TypingCase cases[] = {
        {"a 13th character is refused", "3 12", twelve + "b", twelve, "String can contain max. 12 characters", true,
         "before"},
        {"Backspace still removes when full", "3 12", twelve + "b" + kBackspace, std::string(11, 'a'),
         "String can contain max. 12 characters", true, "before"},
        {"Enter short of the minimum keeps the focus", "3 12", std::string("ab") + kEnter, "ab",
         "Please enter at least 3 characters", true, "before"},
        {"Enter at the minimum ends and writes", "3 12", std::string("abc") + kEnter, "abc", "", false, "abc"},
        {"one limit zero: no rule up to 128", "0 12", full + "yz" + kEnter, full, "", false, full.c_str()},
        {"one limit zero: Enter with one character ends", "0 12", std::string("q") + kEnter, "q", "", false, "q"},
    };
    for (const TypingCase& c : cases) {
        SCOPED_TRACE(c.what);
        g_editTarget.SetString("before");
        GuiEditBox* box = Field(std::string("property limit ") + c.limit + ";");
        ASSERT_NE(box, nullptr);
        Type(box, c.typed);
        EXPECT_EQ(box->Text(), c.text);
        EXPECT_EQ(box->Length(), c.text.size());
        EXPECT_EQ(Message(), c.message);
        EXPECT_EQ(box->IsFocused(), c.focused);
        EXPECT_STREQ(g_editTarget.String(), c.variable);
        GuiFreeScreens();
        DestroyScriptCache();
        CreateScriptCache();
    }
}

TEST_F(EditBoxes, ChatFieldCallsItsCommandOnEnterAndEscapeEndsWithoutIt)
{
    GuiEditBox* box = Field("property call_fn gui_test_edit_chat;");
    ASSERT_NE(box, nullptr);
    Type(box, std::string("hello") + kEnter);
    EXPECT_EQ(g_chatCalls, 1);
    EXPECT_STREQ(g_editTarget.String(), "hello") << "the line is in the variable when the command runs";
    EXPECT_STREQ(box->Text(), "");
    EXPECT_TRUE(box->IsFocused()) << "ready for the next line";

    Type(box, std::string("bye") + kEscape);
    EXPECT_EQ(g_chatCalls, 1);
    EXPECT_FALSE(box->IsFocused());
    EXPECT_STREQ(g_editTarget.String(), "bye");
}

TEST_F(EditBoxes, EntryTakesTheInitialValueCutToTheFieldAndLeavingCommits)
{
    const std::string longValue(300, 'v');
    g_editStart.SetString(longValue.c_str());
    GuiEditBox* box = Field("property init_var gui_test_edit_start;");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Length(), 128u);
    EXPECT_EQ(std::string(box->Text()), longValue.substr(0, 128));

    Type(box, "w");
    EXPECT_EQ(box->Length(), 128u) << "a full field drops characters";
    box->OnDeInit();
    EXPECT_EQ(std::string(g_editTarget.String()), longValue.substr(0, 128));
    EXPECT_TRUE(box->IsFocused()) << "leaving the screen keeps the flag";

    // An unknown variable leaves the field unbound: ending edits writes nowhere.
    GuiFreeScreens();
    DestroyScriptCache();
    CreateScriptCache();
    g_editTarget.SetString("kept");
    GuiScreen* screen = Build("<EDIT>\n<EDITBOX> property var no_such_variable_here; </EDITBOX>\n</EDIT>\n");
    auto* unbound = ControlAt<GuiEditBox>(screen, 0);
    ASSERT_NE(unbound, nullptr);
    unbound->SetFocus(true);
    Type(unbound, std::string("abc") + kEnter);
    EXPECT_FALSE(unbound->IsFocused());
    EXPECT_STREQ(g_editTarget.String(), "kept");
}

// A font with glyphs only for "*" and the caret "_": letters draw nothing, so only a masked text shows.
class MaskedFieldPixels : public EditBoxes {
protected:
    const Font* StarFont()
    {
        if (!m_font) {
            m_font = std::make_unique<Font>("stars", White(), White(), 8, 8, '_');
            m_font->SetGlyph('*', 0.0f, 0.0f, 1.0f, 1.0f, 8, 8);
            m_font->SetGlyph('_', 0.0f, 0.0f, 1.0f, 1.0f, 8, 8);
        }
        return m_font.get();
    }
    std::unique_ptr<Font> m_font;
};

u32_t LitColumns(const render_test::Pixels& pixels, int row)
{
    u32_t lit = 0;
    for (int x = 0; x < kDisplayWidth; ++x)
        lit += pixels.At(x, row) == 0xFFFFFFFFu ? 1 : 0;
    return lit;
}

TEST_F(MaskedFieldPixels, FiveMaskedCharactersShowFiveStarsAndTheCaretBlinksWithTheTick)
{
    // Size 5 on a 160-wide display is scale 1; the text starts at the left edge (row 30 its top), and
    // the field's clip leaves out the box's first column.
    GuiEditBox* box = Field("property talign LEFT; property fontsize 5; property hide_text yes;");
    ASSERT_NE(box, nullptr);
    box->font = StarFont();
    Type(box, "abcde");
    box->SetFocus(false);
    box->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    render_test::Pixels pixels = Read();
    EXPECT_EQ(LitColumns(pixels, 34), 39u) << "five cells of 8, the first column clipped";
    EXPECT_EQ(pixels.At(20, 34), 0xFFFFFFFFu);
    EXPECT_EQ(pixels.At(0, 34), kBlack);
    EXPECT_EQ(pixels.At(20, 29), kBlack);

    box->masked = false;
    NextFrame();
    box->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(LitColumns(Read(), 34), 0u) << "unmasked, the letters have no glyphs";

    // Focused: the caret follows the text while bit 8 of the tick is set.
    box->masked = true;
    box->SetFocus(true);
    PlatformTestClockStart(0x1100);
    NextFrame();
    box->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(Read().At(44, 34), 0xFFFFFFFFu) << "caret after the fifth star";
    PlatformTestClockStart(0x1200);
    NextFrame();
    box->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(Read().At(44, 34), kBlack);
    EXPECT_EQ(Read().At(20, 34), 0xFFFFFFFFu);
}

// Ten stars (80 pixels) in a field 40 pixels wide: whatever the alignment, the end of the text and
// the caret after it stay in the field, the text's start goes out at the left.
TEST_F(MaskedFieldPixels, ALongEntryKeepsItsEndAndTheCaretInView)
{
    struct Case {
        const char* align;
        bool caretShown;
        UINT x;
        bool lit;
    };
    const Case cases[] = {
        {"LEFT", true, 35, true},   {"LEFT", false, 35, false},   {"LEFT", false, 28, true},
        {"RIGHT", true, 35, true},  {"RIGHT", false, 35, false},  {"RIGHT", false, 2, true},
        {"CENTRE", true, 35, true}, {"CENTRE", false, 35, false}, {"CENTRE", false, 28, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.align) + (c.caretShown ? " caret shown" : " caret hidden") + " at " +
                     std::to_string(c.x));
        GuiEditBox* box = Field(std::string("property talign ") + c.align +
                                "; property fontsize 5; property hide_text yes; property coord 0 0.25 0.25 0.25;");
        ASSERT_NE(box, nullptr);
        box->font = StarFont();
        Type(box, "abcdefghij");
        ASSERT_TRUE(box->IsFocused());
        PlatformTestClockStart(c.caretShown ? 0x1100 : 0x1200);
        NextFrame();
        box->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        const render_test::Pixels pixels = Read();
        EXPECT_EQ(pixels.At(c.x, 34) == 0xFFFFFFFFu, c.lit);
        EXPECT_EQ(pixels.At(41, 34), kBlack) << "nothing beyond the field";
        g_gui.currentScreen = nullptr;
        GuiFreeScreens();
        DestroyScriptCache();
        CreateScriptCache();
    }
}

}  // namespace
