// Damaged screen scripts built into screens: named damages, a table of truncations and a fixed-seed
// mutation loop over a script with every kind of section and command built so far, and "load"
// commands that come back to the sections reading them. Run under ASan: no crash, no read or write
// past a word or field.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/files/def_file.h"
#include "core/random.h"
#include "core/files/script_file.h"
#include "gui/texts/fonts.h"
#include "gui/screens/gui.h"
#include "gui/screens/screen_manager.h"
#include "gui/screen_scripts/screen_script_parser.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "support/text_mutation.h"

namespace {

const std::string& Original()
{
    static const std::string text =
        "<ERROR>\ntxt 0.1 0.1 10 gui.error ffffffff gui 1;\n</ERROR>\n"
        "<MAINMENU>\n"
        "property subscreen NEWS 0.1 0.1 0.5 0.5;\nproperty isdialog 1;\nproperty coord 0 0 1 1;\n"
        "property sound menu;\n"
        "line 0.1 0.2 0.3 0.4 ffff0000 ff00ff00 2;\n"
        "rect 0.1 0.1 0.2 0.2 ff0000ff ff0000ff ff0000ff ff0000ff 3;\n"
        "poly 0.1 0.1 0.2 0.2 ff0000ff ff0000ff ff0000ff ff0000ff 3;\n"
        "txt 0.5 0.5 12 gui.title ff00ff00 gui 4 2;\n"
        "load gui.NEWS;\n"
        "<IMG> property tex back; property coord 0 0 1 1; property opacity 0.5; property zindex 1; "
        "property name back; property alpha 0; property source $CURRENTWEAPON; property tooltip gui.tip; </IMG>\n"
        "<BUTTON> property label gui.play; property color ffffffff; property coord 0.4 0.5 0.2 0.05; "
        "property opacity 0.9; property tex button; property name play; property call STARTGAME; "
        "property zindex 5; property font gui; property fontsize 12; property talign LEFT; "
        "property call_fn gui_refresh; property tooltip gui.tip; property condition logged_on; "
        "property hover_snd gui\\hover; property click_snd gui\\click; property sel dsmap map_01; </BUTTON>\n"
        "<SQUARE> property tex dot; property size 10 10; property center 400 300; property color 80ffffff; "
        "property zindex 2; property name dot; </SQUARE>\n"
        "<TOOLTIP> property texture panel; property font gui; property color ffffffff; "
        "property colors ffff0000 ff00ff00; property talign 1; property opacity 1; property fontsize 10; "
        "property coord 0 0.9 1 0.1; property write_snd gui\\type; </TOOLTIP>\n"
        "</MAINMENU>\n"
        "<NEWS>\nload gui.MAINMENU;\n<BUTTON> property call MAINMENU.RefreshData; </BUTTON>\n</NEWS>\n"
        "<FAILSCREEN>\nload other.A.B;\n</FAILSCREEN>\n";
    return text;
}

class ScreenScriptRobustness : public TempDirTest {
protected:
    void TearDown() override
    {
        GuiShutdown();
        DestroyScriptCache();
        DefFileFreeAll();
        TempDirTest::TearDown();
    }
    void BuildAll(const std::string& text)
    {
        ASSERT_TRUE(WriteFileBytes(TempPath() + "/script/gui.scr", text));
        GetScriptFile("gui", true);
        GuiLoadScreens();
        for (u32_t i = 0; i < GuiScreenCount(); ++i)
            GuiFindScreen(GuiScreenAt(i)->name.Text());
        GuiShutdown();
    }
};

TEST_F(ScreenScriptRobustness, NamedDamagesAndTruncations)
{
    const std::string& original = Original();
    for (const test_support::TextDamage& damage : test_support::CommonTextDamages()) {
        SCOPED_TRACE(damage.what);
        BuildAll(damage.make(original));
    }
    const double cuts[] = {0.0, 0.01, 0.05, 0.1, 0.2, 0.33, 0.5, 0.66, 0.75, 0.9, 0.99};
    for (double cut : cuts) {
        SCOPED_TRACE(cut);
        BuildAll(original.substr(0, static_cast<std::size_t>(static_cast<double>(original.size()) * cut)));
    }
    for (std::size_t end = 1; end < 120; end += 7)
        BuildAll(original.substr(0, original.size() - end));
}

TEST_F(ScreenScriptRobustness, FixedSeedMutations)
{
    EngineSRand(60);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        BuildAll(test_support::MutateText(Original()));
    }
}

TEST_F(ScreenScriptRobustness, LoadCyclesEnd)
{
    ASSERT_TRUE(WriteFileBytes(TempPath() + "/script/a.scr",
                               "<A>\nload b.B;\nload a.A;\n<IMG> property name a; </IMG>\n</A>\n"));
    ASSERT_TRUE(WriteFileBytes(TempPath() + "/script/b.scr",
                               "<B>\nload a.A;\nload b;\n<IMG> property name b; </IMG>\n</B>\n"
                               "load b.B;\nload a.A;\n"));
    ScriptFile* file = GetScriptFile("a", true);
    ASSERT_NE(file, nullptr);
    ScreenScriptParser(file->Root()->FindChild("A"), nullptr);
    GuiScreen* screen = GuiFindScreen("A");
    ASSERT_NE(screen, nullptr);
    // A, then B; the loads back into A and B and through b's root are skipped as they come round.
    EXPECT_LE(screen->ControlCount(), 4u);
    EXPECT_GE(screen->ControlCount(), 2u);
}

std::string RandomBytes(unsigned seed, std::size_t count)
{
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

// A menu script that gives no main menu is refused: the log (and the terminal) name the file and,
// when the reader found a fault, its line; no junk screen is shown, the window says why instead,
// and Escape ends the program. The fonts' script without the default font says so too.
TEST_F(ScreenScriptRobustness, MenusOrFontsThatCannotBeBuiltAreReportedWithFileAndLine)
{
    struct Case {
        const char* what;
        std::string menus;
        std::string fonts;
        bool menusBuilt;
        std::vector<std::string> logged;
    };
    const std::string goodFonts = "<gui>\n\ttexture none;\n\tchar_height 8;\n\t65 0 0 8 8;\n</gui>\n";
    const Case cases[] = {
        {"random menus", RandomBytes(75, 4096), goodFonts, false, {"ERROR: GUI: ", "script\\gui.scr"}},
        {"a fault on line 2", "<NEWS>\n/ x;\n</NEWS>\n", goodFonts, false, {"script\\gui.scr - Line 2"}},
        {"no main menu", "<NEWS>\n</NEWS>\n", goodFonts, false, {"has no screen MAINMENU"}},
        {"random fonts", "<MAINMENU>\n</MAINMENU>\n", RandomBytes(76, 4096), true, {"WARNING: Fonts: ", "\"gui\""}},
        {"fonts with a fault on line 3",
         "<MAINMENU>\n</MAINMENU>\n",
         "<other>\n\tbase 2;\n/ 1;\n</other>\n",
         true,
         {"script\\font.scr - Line 3"}},
        {"both sound", "<MAINMENU>\n</MAINMENU>\n", goodFonts, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteFileBytes(TempPath() + "/script/gui.scr", c.menus));
        ASSERT_TRUE(WriteFileBytes(TempPath() + "/script/font.scr", c.fonts));
        DestroyScriptCache();
        const std::size_t logStart = engine_log::LogSize();
        ASSERT_TRUE(GuiInit(nullptr, 320, 240));
        const std::string log = engine_log::LogFrom(logStart);
        for (const std::string& wanted : c.logged)
            EXPECT_NE(log.find(wanted), std::string::npos) << wanted << " in:\n" << log;
        if (c.logged.empty()) {
            EXPECT_EQ(log.find("ERROR: GUI"), std::string::npos) << log;
            EXPECT_EQ(log.find("WARNING: Fonts"), std::string::npos) << log;
        }
        EXPECT_EQ(GuiMenuError()[0] == '\0', c.menusBuilt);
        if (c.menusBuilt) {
            ASSERT_NE(g_gui.currentScreen, nullptr);
            EXPECT_STREQ(g_gui.currentScreen->name.Text(), "MAINMENU");
        } else {
            EXPECT_EQ(g_gui.currentScreen, nullptr) << "no junk screen in its place";
            s32_t state = 0;
            EXPECT_FALSE(GuiInputStep(0, 0, WM_KEYUP, 0, VK_ESCAPE, &state));
            EXPECT_EQ(state, 1) << "Escape ends the program";
        }
        GuiShutdown();
    }
}

}  // namespace
