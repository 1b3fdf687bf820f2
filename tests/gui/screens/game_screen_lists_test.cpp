// List boxes built from screen scripts, and the lists the game fills on its screens: the subtitle
// layer keeps its last two lines, the objectives list takes coloured entries and empties, the
// satellite view's marker list shows the map's markers, and the resolution list selects an entry.
#include <gtest/gtest.h>

#include <string>

#include "ai/envelopes/envelope_markers.h"
#include "core/console/console_var.h"
#include "core/files/script_file.h"
#include "gui/screens/game_screen_lists.h"
#include "gui/screens/gui.h"
#include "gui/screens/gui_in_game.h"
#include "gui/lists/gui_list_box.h"
#include "gui/screens/mission_screen_lines.h"
#include "gui/screen_scripts/screen_script_parser.h"
#include "support/temp_dir.h"

namespace {

s32_t NoteNothing(const char*)
{
    return 0;
}
ConsoleVar g_scriptChoice("gui_test_script_choice", CVAR_STRING, "");
ConsoleVar g_scriptCommand("gui_test_script_command", NoteNothing);

class GameScreenLists : public TempDirTest {
protected:
    void TearDown() override
    {
        EnvelopeMarkersFree();
        MissionScreenReset();
        g_gui.subtitleLineCount = 0;
        GuiShutdown();
        DestroyScriptCache();
        TempDirTest::TearDown();
    }

    // Loads the screens of the script text.
    void Build(const std::string& text)
    {
        ASSERT_TRUE(WriteFileBytes("script/lists.scr", text));
        ScriptFile* file = GetScriptFile("lists", true);
        ASSERT_NE(file, nullptr);
        for (ScriptSection* section : file->Root()->children)
            ScreenScriptParser(section, nullptr);
    }
    static std::string Items(const GuiListBox& list)
    {
        std::string items;
        for (u32_t i = 0; i < list.ItemCount(); ++i)
            items += std::string(i ? "|" : "") + list.ItemText(i);
        return items;
    }
};

TEST_F(GameScreenLists, ScriptKeysSetUpTheListAndItsSourceFillsItAtOnce)
{
    Build(
        "<MENU>\n<LISTBOX> property name modes; property coord 0.1 0.2 0.3 0.4; property color FF00FF00; "
        "property fontsize 7; property sel_hold_var gui_test_script_choice; "
        "property sel_fn gui_test_script_command; property call other.RefreshData; "
        "property columns 0.5 0.75; property taligns LEFT RIGHT; property talign RIGHT; "
        "property source spmods_list; </LISTBOX>\n"
        "<LISTBOX> property name loose; property sel_hold_var no_such_variable; "
        "property sel_fn no_such_command; </LISTBOX>\n</MENU>\n");
    GuiListBox* list = GuiFindLoadedList("MENU", "modes");
    ASSERT_NE(list, nullptr);
    EXPECT_FLOAT_EQ(list->y, 0.2f);
    EXPECT_FLOAT_EQ(list->height, 0.4f);
    EXPECT_EQ(list->textColour, 0xFF00FF00u);
    EXPECT_FLOAT_EQ(list->fontSize, 7.0f);
    EXPECT_EQ(list->boundVar, &g_scriptChoice);
    EXPECT_STREQ(list->changeEvent.Text(), "other.RefreshData");
    EXPECT_EQ(list->ColumnCount(), 2u);
    EXPECT_EQ(list->alignment, GUI_LIST_RIGHT);
    EXPECT_EQ(Items(*list), "ZEZOD|TACTICAL");
    EXPECT_EQ(list->refreshCount, 1);

    GuiListBox* loose = GuiFindLoadedList("MENU", "loose");
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(loose->boundVar, nullptr);
}

// A key with no further word hands an empty array: what an earlier row gave is gone.
TEST_F(GameScreenLists, ColumnsAndTheirAlignmentsWithoutWordsLeaveNone)
{
    struct Case {
        const char* rows;
        u32_t columns;
        u32_t aligns;
    };
    const Case cases[] = {
        {"property columns 0.5 0.75; property taligns LEFT RIGHT;", 2, 2},
        {"property columns 0.5 0.75; property taligns LEFT RIGHT; property columns;", 0, 2},
        {"property columns 0.5 0.75; property taligns LEFT RIGHT; property taligns;", 2, 0},
        {"property columns 0.5; property columns; property taligns LEFT; property taligns;", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        Build(std::string("<MENU>\n<LISTBOX> property name cols; ") + c.rows + " </LISTBOX>\n</MENU>\n");
        GuiListBox* list = GuiFindLoadedList("MENU", "cols");
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->ColumnCount(), c.columns);
        EXPECT_EQ(list->ColumnAlignCount(), c.aligns);
        GuiFreeScreens();
        DestroyScriptCache();
    }
}

TEST_F(GameScreenLists, TheSubtitleLayerKeepsItsLastTwoLines)
{
    Build("<LAYER10>\n<LISTBOX> property name subtitles; </LISTBOX>\n</LAYER10>\n");
    GuiShowSubtitle("alpha", "radio.one", 1500);
    GuiShowSubtitle(nullptr, "radio.two", 1500);
    GuiShowSubtitle("bravo", "radio.three", 1500);
    GuiListBox* list = GuiFindLoadedList("LAYER10", "subtitles");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->ItemCount(), 2u);
    EXPECT_EQ(std::string(list->ItemText(0)).rfind("global:  ", 0), 0u);
    EXPECT_EQ(std::string(list->ItemText(1)).rfind("bravo:  ", 0), 0u);
}

TEST_F(GameScreenLists, ObjectivesTakeColouredEntriesAndEmpty)
{
    Build("<OBJECTIVES>\n<LISTBOX> property name goals; property color FFFFFFFF; </LISTBOX>\n</OBJECTIVES>\n");
    GuiListBox* list = GuiFindLoadedList("OBJECTIVES", "goals");
    ASSERT_NE(list, nullptr);
    const u32_t red = 0xFFFF0000u;
    GuiAddObjective("goals", "objectives.first", &red);
    GuiAddObjective("goals", "objectives.second");
    GuiAddObjective("nowhere", "objectives.third", &red);
    ASSERT_EQ(list->ItemCount(), 2u);
    EXPECT_EQ(list->ItemColour(0), red);
    EXPECT_EQ(list->ItemColour(1), 0xFFFFFFFFu);

    GuiClearObjectives("goals");
    EXPECT_EQ(list->ItemCount(), 0u);
    EXPECT_EQ(list->ItemColourCount(), 0u);
    EXPECT_EQ(list->selectedRow, -1);
}

TEST_F(GameScreenLists, TheMarkerListShowsTheMapsMarkers)
{
    Build("<LAYER6>\n<LISTBOX> property name OZICONS; </LISTBOX>\n</LAYER6>\n");
    GuiListBox* list = GuiFindLoadedList("LAYER6", "OZICONS");
    ASSERT_NE(list, nullptr);
    list->AddString("left from the last mission");
    ASSERT_TRUE(EnvelopeMarkerAdd("alpha", 1.0f, 2.0f, 0x11u));
    ASSERT_TRUE(EnvelopeMarkerAdd("bravo", 3.0f, 4.0f, 0x22u));
    GuiFillMarkerList();
    EXPECT_EQ(Items(*list), "alpha|bravo");
    EXPECT_EQ(list->ItemColour(1), 0x22u);
}

TEST_F(GameScreenLists, TheResolutionListSelectsTheEntryAndIgnoresOthers)
{
    Build(
        "<OPTIONS_GRAPHICS_RESOLUTION>\n<LISTBOX> property name resolution; property source quality_list; "
        "</LISTBOX>\n</OPTIONS_GRAPHICS_RESOLUTION>\n");
    GuiListBox* list = GuiFindLoadedList("OPTIONS_GRAPHICS_RESOLUTION", "resolution");
    ASSERT_NE(list, nullptr);
    GuiSelectResolution(1);
    EXPECT_EQ(list->SelectedItem(), 1);
    GuiSelectResolution(7);
    EXPECT_EQ(list->SelectedItem(), 1);
}

}  // namespace
