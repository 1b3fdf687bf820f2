// List boxes on the 160 x 120 offscreen display with a font of solid 8 x 8 cells at size 5 (scale
// 1, a row every 9 pixels): the selection bar's moves at the edges of the items and of the rows
// drawn, clicks, refreshes from a source, removal with colours and columns, and what is drawn.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/console/console_var.h"
#include "game/game_state.h"
#include "gui/lists/gui_list_box.h"
#include "tests/gui/screens/gui_draw_support.h"

using namespace gui_test;

namespace {

constexpr int kRowStep = 9;

s32_t g_selections = 0;
s32_t NoteSelection(const char*)
{
    ++g_selections;
    return 0;
}
ConsoleVar g_listSelected("gui_test_list_selected", NoteSelection);
ConsoleVar g_listChoice("gui_test_list_choice", CVAR_STRING, "");

// The control the lists' change event reaches.
class EventProbe : public GuiControl {
public:
    EventProbe() { SetName("probe"); }
    void RefreshData() override { ++refreshed; }
    int refreshed = 0;
};

class GuiListBoxes : public GuiDraw {
protected:
    void SetUp() override
    {
        GuiDraw::SetUp();
        m_screen.AddControl(m_probe);
        g_gui.currentScreen = &m_screen;
        g_listChoice.SetString("");
        g_selections = 0;
        m_quickMissions = g_game.accounts.quickMissions;
    }
    void TearDown() override
    {
        g_game.accounts.quickMissions = m_quickMissions;
        g_gui.currentScreen = nullptr;
        GuiDraw::TearDown();
    }

    // A list at the top of the screen, heightPixels tall, holding item0, item1, ..., its bar on
    // row after scrolling to first, drawn once so that it knows its rows.
    std::unique_ptr<GuiListBox> MakeList(int items, int heightPixels, s32_t first = 0, s32_t row = 0)
    {
        auto list = std::make_unique<GuiListBox>();
        list->width = 1.0f;
        list->height = static_cast<float>(heightPixels) / static_cast<float>(kDisplayHeight);
        list->font = CellFont();
        list->fontSize = 5.0f;
        list->boundVar = &g_listChoice;
        list->SetSelectionCommand("gui_test_list_selected");
        list->changeEvent.Assign("probe.RefreshData");
        for (int i = 0; i < items; ++i)
            list->AddItem(("item" + std::to_string(i)).c_str());
        list->firstVisible = first;
        list->selectedRow = row;
        list->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        return list;
    }
    int Events() const { return m_probe->refreshed; }

    GuiScreen m_screen{"LISTS"};
    EventProbe* m_probe = new EventProbe();  // owned by the screen

private:
    std::vector<EngineString> m_quickMissions;
};

// Each move writes the selected item, calls the selection command and fires the change event, also
// when the bar cannot move.
TEST_F(GuiListBoxes, MovesKeepTheBarOnTheItemsAndTheRowsDrawn)
{
    struct Case {
        const char* what;
        int items;
        int heightPixels;
        s32_t first, row;
        void (GuiListBox::*move)();
        s32_t wantFirst, wantRow;
        const char* wantChoice;
    };
    const Case cases[] = {
        {"next from the last of 3 items in 5 rows", 3, 5 * kRowStep, 0, 2, &GuiListBox::OnScrollDown, 0, 2, "item2"},
        {"previous from the top, not scrolled", 3, 5 * kRowStep, 0, 0, &GuiListBox::OnScrollUp, 0, 0, "item0"},
        {"next from the bottom row scrolls", 10, 4 * kRowStep, 0, 3, &GuiListBox::OnScrollDown, 1, 3, "item4"},
        {"next on the last item", 10, 4 * kRowStep, 6, 3, &GuiListBox::OnScrollDown, 6, 3, "item9"},
        {"previous from the top row scrolls back", 10, 4 * kRowStep, 3, 0, &GuiListBox::OnScrollUp, 2, 0, "item2"},
        {"increment moves up", 10, 4 * kRowStep, 0, 2, &GuiListBox::OnIncrement, 0, 1, "item1"},
        {"decrement moves down", 10, 4 * kRowStep, 0, 2, &GuiListBox::OnDecrement, 0, 3, "item3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto list = MakeList(c.items, c.heightPixels, c.first, c.row);
        g_selections = 0;
        const int eventsBefore = Events();
        (list.get()->*c.move)();
        EXPECT_EQ(list->firstVisible, c.wantFirst);
        EXPECT_EQ(list->selectedRow, c.wantRow);
        EXPECT_STREQ(g_listChoice.String(), c.wantChoice);
        EXPECT_EQ(g_selections, 1);
        EXPECT_EQ(Events(), eventsBefore + 1);
    }
}

TEST_F(GuiListBoxes, RowsDrawnStopAtTheItemsOrTheBottom)
{
    EXPECT_EQ(MakeList(3, 5 * kRowStep)->rowsDrawn, 3);
    EXPECT_EQ(MakeList(10, 4 * kRowStep)->rowsDrawn, 4);
    EXPECT_EQ(MakeList(10, 4 * kRowStep, 8)->rowsDrawn, 2);
}

TEST_F(GuiListBoxes, AClickBelowTheItemsKeepsTheSelectionButStillReports)
{
    auto list = MakeList(3, 5 * kRowStep, 0, 1);
    g_listChoice.SetString("item1");
    list->OnClick(10, 4 * kRowStep + 2);
    EXPECT_EQ(list->selectedRow, 1);
    EXPECT_STREQ(g_listChoice.String(), "item1");
    EXPECT_EQ(g_selections, 1);
    EXPECT_EQ(Events(), 1);

    list->OnClick(10, 2 * kRowStep + 1);
    EXPECT_EQ(list->selectedRow, 2);
    EXPECT_STREQ(g_listChoice.String(), "item2");
    EXPECT_EQ(g_selections, 2);
    EXPECT_EQ(Events(), 2);
}

TEST_F(GuiListBoxes, ARefreshThatFindsNothingEmptiesTheVariableAndDrawsNothing)
{
    auto list = MakeList(0, 5 * kRowStep);
    list->background = White();
    list->SetSource("files_list");  // no picture folder here
    g_listChoice.SetString("old.dds");
    list->RefreshData();
    EXPECT_EQ(list->ItemCount(), 0u);
    EXPECT_EQ(list->selectedRow, -1);
    EXPECT_STREQ(g_listChoice.String(), "");
    EXPECT_EQ(list->refreshCount, 1);
    list->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(Read().At(80, 20), kBlack);

    // The same list with an item draws its background there.
    NextFrame();
    list->AddString("one");
    list->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(Read().At(80, 30), 0xFFFFFFFFu);
}

TEST_F(GuiListBoxes, ARefreshSelectsTheItemTheVariableNamesInAnyCase)
{
    auto list = MakeList(0, 5 * kRowStep);
    list->SetSource("spmods_list");
    g_listChoice.SetString("tactical");
    list->RefreshData();
    EXPECT_EQ(list->SelectedItem(), 1);
    EXPECT_STREQ(g_listChoice.String(), "TACTICAL");
    EXPECT_EQ(g_selections, 1);
    EXPECT_EQ(Events(), 0);  // a refresh sends no change event
}

TEST_F(GuiListBoxes, DeletingTheSelectedLastItemSelectsTheNewLast)
{
    auto list = MakeList(3, 5 * kRowStep, 0, 2);
    list->DeleteSelection();
    ASSERT_EQ(list->ItemCount(), 2u);
    EXPECT_EQ(list->selectedRow, 1);
    EXPECT_STREQ(g_listChoice.String(), "item1");

    list->DeleteSelection();
    list->DeleteSelection();
    EXPECT_EQ(list->ItemCount(), 0u);
    EXPECT_EQ(list->selectedRow, -1);
}

TEST_F(GuiListBoxes, RemovingAnItemTakesItsColourAndColumnTextsWithIt)
{
    auto list = MakeList(0, 5 * kRowStep);
    list->SetColumns({0.5f});
    const char* names[] = {"a", "b", "c"};
    for (u32_t i = 0; i < 3; ++i) {
        list->AddString(names[i]);
        list->AddItemData(0xFF000001u + i);
        list->AddColumnText(i, (std::string(names[i]) + " column").c_str());
    }
    list->RemoveItem(0);
    ASSERT_EQ(list->ItemCount(), 2u);
    EXPECT_STREQ(list->ItemText(0), "b");
    EXPECT_EQ(list->ItemColourCount(), 2u);
    EXPECT_EQ(list->ItemColour(0), 0xFF000002u);
    EXPECT_STREQ(list->ColumnText(0, 0), "b column");
    EXPECT_STREQ(list->ColumnText(1, 0), "c column");
}

TEST_F(GuiListBoxes, ARefreshOfAScrolledListThatShrankKeepsTheBarOnAnItem)
{
    CVarListFind("gballmissions")->SetBool(false);
    auto& missions = g_game.accounts.quickMissions;
    missions.clear();
    for (int i = 1; i <= 9; ++i)
        missions.emplace_back(("m" + std::to_string(i)).c_str());
    auto list = MakeList(0, 4 * kRowStep);
    list->SetSource("quick_mission_list");
    list->RefreshData();
    list->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    for (int i = 0; i < 9; ++i)
        list->OnScrollDown();
    ASSERT_EQ(list->firstVisible, 6);
    ASSERT_STREQ(g_listChoice.String(), "m9");

    missions.resize(1);
    list->RefreshData();
    ASSERT_EQ(list->ItemCount(), 2u);
    EXPECT_LT(list->firstVisible + list->selectedRow, 2);
    EXPECT_EQ(list->SelectedItem(), 1);
    EXPECT_STREQ(g_listChoice.String(), "m1");

    // The bar is drawn on the second row, beside the third.
    NextFrame();
    list->selectionTexture = White();
    list->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    const render_test::Pixels pixels = Read();
    EXPECT_NE(pixels.At(150, kRowStep + 4), pixels.At(150, 2 * kRowStep + 4));
    EXPECT_EQ(pixels.At(150, 4), pixels.At(150, 2 * kRowStep + 4));
}

TEST_F(GuiListBoxes, TheChangeEventReachesItsControlAndATextWithoutDotSendsNothing)
{
    auto list = MakeList(3, 5 * kRowStep);
    list->FireChange();
    EXPECT_EQ(Events(), 1);
    list->changeEvent.Assign("probe");
    list->FireChange();
    list->changeEvent.Assign("nobody.RefreshData");
    list->FireChange();
    EXPECT_EQ(Events(), 1);
}

}  // namespace

namespace {

// What a plug-in gets for "listbox": a list it fills, and deletes, through the fill interface.
TEST_F(GuiListBoxes, PluginsCreateListsByTypeNameAndFillThemThroughTheInterface)
{
    GuiControl* control = GuiCreateControl("ListBox");
    auto* list = dynamic_cast<GuiListBox*>(control);
    ASSERT_NE(list, nullptr);
    list->SetColumns({0.5f});
    PluginListFill* fill = list;
    fill->AddString("alpha");
    fill->AddString(nullptr);
    fill->AddColumnText(0, "one");
    fill->AddColumnText(1, "beyond the items");
    EXPECT_EQ(list->ItemCount(), 1u);
    EXPECT_STREQ(list->ColumnText(0, 0), "one");
    fill->Clear();
    EXPECT_EQ(list->ItemCount(), 0u);
    EXPECT_EQ(list->ColumnTextCount(0), 0u);
    delete fill;
}

}  // namespace

// A screen's first entry: the list has never been drawn, and the variable names an item far below
// the rows the box holds. The bar is on a drawn row from the first frame.
TEST_F(GuiListBoxes, OnFirstEntryTheSelectedItemIsAmongTheRowsDrawn)
{
    CVarListFind("gballmissions")->SetBool(false);
    auto& missions = g_game.accounts.quickMissions;
    missions.clear();
    for (int i = 1; i <= 40; ++i)
        missions.emplace_back(("m" + std::to_string(i)).c_str());
    struct Case {
        const char* wanted;
        bool byActivate;  // shown (OnActivate) or only filled (RefreshData)
    };
    const Case cases[] = {{"m40", true}, {"m40", false}, {"m12", true}, {"m3", false}, {"m1", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.wanted) + (c.byActivate ? " shown" : " filled"));
        auto list = std::make_unique<GuiListBox>();
        list->width = 1.0f;
        list->height = static_cast<float>(4 * kRowStep) / static_cast<float>(kDisplayHeight);
        list->font = CellFont();
        list->fontSize = 5.0f;
        list->boundVar = &g_listChoice;
        list->SetSource("quick_mission_list");
        list->selectedRow = 0;  // as the screen script's own fill left it
        g_listChoice.SetString(c.wanted);
        if (c.byActivate)
            list->OnActivate(nullptr);
        else
            list->RefreshData();
        ASSERT_GE(list->SelectedItem(), 0);
        EXPECT_STREQ(list->SelectedText(), c.wanted);
        EXPECT_STREQ(g_listChoice.String(), c.wanted);
        NextFrame();
        list->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        EXPECT_GE(list->selectedRow, 0);
        EXPECT_LT(list->selectedRow, list->rowsDrawn) << "first visible " << list->firstVisible;
    }
}
