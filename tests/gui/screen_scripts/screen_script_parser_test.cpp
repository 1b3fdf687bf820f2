// Screen scripts built into screens: controls stand before the items of a section whatever the file
// order, kinds and keys in any case, words that are no numbers, "txt" of 8 to 10 words, commands too
// short for their key, names cut to their fields, "load" of nested, missing and looping sections,
// and the screen lookup with and without the error screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/files/script_file.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_button.h"
#include "gui/controls/gui_image.h"
#include "gui/controls/gui_primitives.h"
#include "gui/controls/gui_text.h"
#include "gui/controls/gui_tooltip.h"
#include "gui/screens/screen_manager.h"
#include "gui/screen_scripts/screen_script_parser.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace {

class ScreenScripts : public TempDirTest {
protected:
    void SetUp() override
    {
        engine_log::StartFolder();  // before the working folder changes
        TempDirTest::SetUp();
    }
    void TearDown() override
    {
        GuiShutdown();
        DestroyScriptCache();
        DefFileFreeAll();
        TempDirTest::TearDown();
    }
    // Writes script\<name>.scr in the working folder.
    void WriteScript(const std::string& name, const std::string& text)
    {
        ASSERT_TRUE(WriteFileBytes(TempPath() + "/script/" + name + ".scr", text));
    }
    // Builds every screen of the script and answers the first.
    GuiScreen* Build(const std::string& text)
    {
        WriteScript("screens", text);
        ScriptFile* file = GetScriptFile("screens", true);
        EXPECT_NE(file, nullptr);
        if (!file)
            return nullptr;
        for (ScriptSection* section : file->Root()->children)
            ScreenScriptParser(section, nullptr);
        return GuiScreenCount() > 0 ? GuiFindScreen(file->Root()->children.at(0)->Name()) : nullptr;
    }
};

std::string Names(const GuiScreen& screen)
{
    std::string names;
    for (u32_t i = 0; i < screen.ControlCount(); ++i)
        names += std::string(i ? " " : "") + screen.Control(i)->GetName();
    return names;
}

TEST_F(ScreenScripts, ControlsComeFirstAndKindsAndKeysReadInAnyCase)
{
    WriteScript("parts", "<EXTRA>\n<IMG> property name loaded; </IMG>\n</EXTRA>\n");
    GuiScreen* screen = Build(
        "<MENU>\n"
        "load parts.EXTRA;\n"
        "RECT 0.1 0.1 0.2 0.2 ff0000ff ff0000ff ff0000ff ff0000ff 3;\n"
        "property ISDIALOG 1;\n"
        "<img> PROPERTY NAME first; property ZINDEX 4; property Coord 0.1 0.2 0.3 0.4; </img>\n"
        "<NOTAKIND> property name never; </NOTAKIND>\n"
        "<Button> property Name second; property CALL MAINMENU; </Button>\n"
        "<square> property SIZE 101 101; property center 400 300; property color 80ffffff; "
        "property name third; </square>\n"
        "</MENU>\n");
    ASSERT_NE(screen, nullptr);
    // The loaded section's control joins after the section's own, though "load" stands first.
    EXPECT_EQ(Names(*screen), "first second third loaded");
    EXPECT_TRUE(screen->isDialog);
    auto* image = dynamic_cast<GuiImage*>(screen->Control(0));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetZIndex(), 4);
    EXPECT_FLOAT_EQ(image->y, 0.2f);
    EXPECT_FLOAT_EQ(image->height, 0.4f);
    auto* button = dynamic_cast<GuiButton*>(screen->Control(1));
    ASSERT_NE(button, nullptr);
    EXPECT_STREQ(button->target.Text(), "MAINMENU");
    auto* square = dynamic_cast<GuiSquare*>(screen->Control(2));
    ASSERT_NE(square, nullptr);
    EXPECT_EQ(square->sizeX, 101u);
    EXPECT_EQ(square->centreY, 300);
    EXPECT_EQ(square->colour, 0x80FFFFFFu);
}

TEST_F(ScreenScripts, WordsThatAreNoNumbersReadAsZero)
{
    GuiScreen* screen = Build(
        "<MENU>\n"
        "<IMG> property coord 0.25 0.5 wide tall; property alpha 5; property source 3; </IMG>\n"
        "<IMG> property coord 0.25 0.5 0.1 0.2; property alpha no; property source "
        "$CURRENTWEAPON; property opacity half; </IMG>\n"
        "<IMG> property coord 1e999 nan 0x10 inf; property zindex lots; </IMG>\n"
        "</MENU>\n");
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(screen->ControlCount(), 3u);
    const struct {
        float x, y, width, height;
        bool alpha;
        const char* source;
        float opacity;
    } expected[] = {
        {0.25f, 0.5f, 0.0f, 0.0f, true, "", 1.0f},
        {0.25f, 0.5f, 0.1f, 0.2f, false, "$CURRENTWEAPON", 0.0f},
        {0.0f, 0.0f, 0.0f, 0.0f, true, "", 1.0f},
    };
    for (u32_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const auto* image = dynamic_cast<GuiImage*>(screen->Control(i));
        ASSERT_NE(image, nullptr);
        EXPECT_FLOAT_EQ(image->x, expected[i].x);
        EXPECT_FLOAT_EQ(image->y, expected[i].y);
        EXPECT_FLOAT_EQ(image->width, expected[i].width);
        EXPECT_FLOAT_EQ(image->height, expected[i].height);
        EXPECT_EQ(image->alphaBlended, expected[i].alpha);
        EXPECT_STREQ(image->source.Text(), expected[i].source);
        EXPECT_FLOAT_EQ(image->opacity, expected[i].opacity);
        EXPECT_EQ(image->GetZIndex(), 0);
    }
}

TEST_F(ScreenScripts, TextItemsOfEightToTenWords)
{
    const struct {
        const char* command;
        s32_t alignment;
    } cases[] = {
        {"txt 0.5 0.25 12 hello ff00ff00 nofont 3;", 0},
        {"txt 0.5 0.25 12 hello ff00ff00 nofont 3 2;", 2},
        {"txt 0.5 0.25 12 hello ff00ff00 nofont 3 2 9;", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        GuiShutdown();
        GuiScreen* screen = Build(std::string("<MENU>\n") + c.command + "\n</MENU>\n");
        ASSERT_NE(screen, nullptr);
        const GuiText* text = screen->Text(0);
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text->Text(), "hello");  // no locale file knows the key
        EXPECT_FLOAT_EQ(text->x, 0.5f);
        EXPECT_FLOAT_EQ(text->y, 0.25f);
        EXPECT_FLOAT_EQ(text->size, 12.0f);
        EXPECT_EQ(text->colour, 0xFF00FF00u);
        EXPECT_EQ(text->font, nullptr);
        EXPECT_EQ(text->GetZIndex(), 3);
        EXPECT_EQ(text->alignment, c.alignment);
    }
}

TEST_F(ScreenScripts, CommandsShortOfTheirWordsAreSkippedAndNamesCutToTheirFields)
{
    const std::string longWord(120, 'n');
    GuiScreen* screen = Build(
        "<MENU>\n"
        "txt 0.5 0.25 12 hello ff00ff00 nofont;\n"
        "rect 0.1 0.1 0.2 0.2 ff0000ff ff0000ff ff0000ff ff0000ff;\n"
        "property coord 0.1 0.2 0.3;\n"
        "property subscreen " +
        longWord +
        " 0 0 1 1;\n"
        "<IMG> property coord 0.1 0.2 0.3; property name " +
        longWord +
        "; property name; </IMG>\n"
        "<BUTTON> property call " +
        longWord + "; property sel; </BUTTON>\n</MENU>\n");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->Text(0), nullptr);
    EXPECT_FLOAT_EQ(screen->width, 1.0f);
    EXPECT_EQ(std::string(screen->subscreenName.Text()), longWord.substr(0, GUI_SUBSCREEN_NAME_SIZE - 1));
    const auto* image = dynamic_cast<GuiImage*>(screen->Control(0));
    ASSERT_NE(image, nullptr);
    EXPECT_FLOAT_EQ(image->x, 0.0f);
    EXPECT_EQ(std::string(image->GetName()), longWord.substr(0, GUI_IMAGE_NAME_SIZE - 1));
    const auto* button = dynamic_cast<GuiButton*>(screen->Control(1));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(std::string(button->target.Text()), longWord);
}

TEST_F(ScreenScripts, ButtonAndMessageBoxKeys)
{
    GuiScreen* screen = Build(
        "<MENU>\n"
        "<BUTTON> property talign right; property color ff102030; property opacity 0.5; "
        "property condition logged_on; property fontsize 14; </BUTTON>\n"
        "<BUTTON> property talign Left; </BUTTON>\n"
        "<BUTTON> property talign CENTER; </BUTTON>\n"
        "<TOOLTIP> property talign 2; property coord 0 0.9 1 0.1; </TOOLTIP>\n"
        "<tooltip> property talign 1; property colors ff00ff00 80112233; property tex x; "
        "property opacity 0.25; </tooltip>\n"
        "</MENU>\n");
    ASSERT_NE(screen, nullptr);
    const s32_t alignments[] = {GUI_BUTTON_RIGHT, GUI_BUTTON_LEFT, GUI_BUTTON_CENTRE};
    for (u32_t i = 0; i < 3; ++i) {
        const auto* button = dynamic_cast<GuiButton*>(screen->Control(i));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->alignment, alignments[i]) << i;
    }
    const auto* first = dynamic_cast<GuiButton*>(screen->Control(0));
    EXPECT_EQ(first->captionColour, 0xFF102030u);
    EXPECT_FLOAT_EQ(first->opacity, 0.5f);
    EXPECT_FLOAT_EQ(first->picture.opacity, 1.0f);
    EXPECT_STREQ(first->condition.Text(), "logged_on");
    EXPECT_FLOAT_EQ(first->fontSize, 14.0f);
    // The later section is the message box; it read a number for its alignment.
    const GuiToolTip* box = screen->GetToolTip();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->alignment, 1);
    EXPECT_EQ(box->colours[0], 0xFF00FF00u);
    EXPECT_EQ(box->colours[1], 0x80112233u);
    EXPECT_FLOAT_EQ(box->opacity, 0.25f);
    EXPECT_FLOAT_EQ(box->rect[1], 0.0f);
    EXPECT_EQ(screen->ControlCount(), 3u);
}

TEST_F(ScreenScripts, LoadFindsNestedSectionsAndFallsBackToTheRoot)
{
    WriteScript("parts",
                "<IMG> property name rootimage; </IMG>\n"
                "txt 0.5 0.5 10 roottext ffffffff nofont 1;\n"
                "<OUTER>\n<INNER>\n<IMG> property name deep; </IMG>\n</INNER>\n"
                "<IMG> property name middle; </IMG>\n</OUTER>\n");
    const struct {
        const char* load;
        const char* names;
        bool rootText;
        const char* logLine;
    } cases[] = {
        {"parts.OUTER.INNER", "own deep", false, nullptr},
        {"parts.OUTER", "own middle", false, nullptr},
        {"parts.NOSUCH", "own rootimage", true, nullptr},
        {"parts", "own rootimage", true, nullptr},
        {"nofile.OUTER", "own", false, "WARNING: Couldn't load script file 'nofile'\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.load);
        GuiShutdown();
        const size_t logStart = engine_log::LogSize();
        GuiScreen* screen =
            Build(std::string("<MENU>\nload ") + c.load + ";\n<IMG> property name own; </IMG>\n</MENU>\n");
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(Names(*screen), c.names);
        EXPECT_STREQ(screen->name.Text(), "MENU");
        EXPECT_EQ(screen->Text(0) != nullptr, c.rootText);
        if (c.logLine) {
            EXPECT_NE(engine_log::LogFrom(logStart).find(c.logLine), std::string::npos);
        }
    }
}

TEST_F(ScreenScripts, LoadsThatLoopOrNestTooDeepAreSkippedWithALogLine)
{
    // A section that loads itself is read once.
    const size_t logStart = engine_log::LogSize();
    GuiScreen* looping = Build("<LOOP>\nload screens.LOOP;\n<IMG> property name once; </IMG>\n</LOOP>\n");
    ASSERT_NE(looping, nullptr);
    EXPECT_EQ(Names(*looping), "once");
    EXPECT_NE(engine_log::LogFrom(logStart).find("WARNING: Skipped loading 'screens.LOOP'"), std::string::npos);

    // A chain of 20 sections each loading the next: the root and 16 loads are read.
    GuiShutdown();
    std::string chain;
    for (int i = 0; i < 20; ++i)
        chain += "<L" + std::to_string(i) + ">\nload chain.L" + std::to_string(i + 1) + ";\n<IMG> property name i" +
                 std::to_string(i) + "; </IMG>\n</L" + std::to_string(i) + ">\n";
    WriteScript("chain", chain);
    const size_t deepStart = engine_log::LogSize();
    GuiScreen* deep = Build("<DEEP>\nload chain.L0;\n</DEEP>\n");
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->ControlCount(), GUI_SCREEN_LOAD_DEPTH_LIMIT);
    EXPECT_NE(engine_log::LogFrom(deepStart).find("WARNING: Skipped loading 'chain.L16': loads nested deeper than 16"),
              std::string::npos);
}

TEST_F(ScreenScripts, FindScreenIgnoresCaseTakesTheFirstAndFallsBackToTheErrorScreen)
{
    setenv("ZINTAR_DEBUG", "1", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(GuiFindScreen("NOWHERE"), nullptr);
    const std::string before = testing::internal::GetCapturedStderr();
    EXPECT_NE(before.find("GUI: Cannot find screen 'NOWHERE', returning null...\n"), std::string::npos);

    // The screen manager's loading of "gui": the error screen first, then every section.
    WriteScript("gui",
                "<ERROR>\n<IMG> property name oops; </IMG>\n</ERROR>\n"
                "<MAINMENU>\n<IMG> property name first; </IMG>\n</MAINMENU>\n"
                "<MainMenu>\n<IMG> property name second; </IMG>\n</MainMenu>\n");
    GuiLoadScreens();
    GuiScreen* found = GuiFindScreen("mainmenu");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(Names(*found), "first");
    // The error screen is filled from "ERROR" and is not one of the loaded screens, which hold
    // "ERROR" too.
    ASSERT_NE(g_gui.errorScreen, nullptr);
    EXPECT_EQ(Names(*g_gui.errorScreen), "oops");
    EXPECT_EQ(GuiScreenCount(), 3u);
    EXPECT_NE(GuiFindScreen("error"), g_gui.errorScreen);
    testing::internal::CaptureStderr();
    EXPECT_EQ(GuiFindScreen("NOWHERE"), g_gui.errorScreen);
    const std::string after = testing::internal::GetCapturedStderr();
    unsetenv("ZINTAR_DEBUG");
    EXPECT_NE(after.find("GUI: Cannot find screen 'NOWHERE', returning error screen...\n"), std::string::npos);

    // Screens loaded later (a mission's) go again alone.
    GuiFreeScreensFrom(1);
    EXPECT_EQ(GuiScreenCount(), 1u);
    EXPECT_EQ(GuiFindScreen("mainmenu"), g_gui.errorScreen);
    EXPECT_NE(GuiFindScreen("ERROR"), g_gui.errorScreen);
}

TEST_F(ScreenScripts, FailScreenSaysSoOnTheMessageConsole)
{
    ConStartup();
    Build("<failscreen>\n</failscreen>\n<OTHER>\n</OTHER>\n");
    int said = 0;
    for (const std::string& line : engine_log::ConsoleLines(CON_MESSAGE_CONSOLE))
        said += line == "mam ta!" || line == "mam ta!\n";
    ConShutdown();
    EXPECT_EQ(said, 1);
}

}  // namespace
