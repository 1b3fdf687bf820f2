// Switch groups over the campaign progress ("mission_list"): entry selects the first item neither
// completed nor hidden, clicks on completed or hidden items do nothing, a selection the variable
// already names is kept, and items not among the next missions are hidden.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/console/console_var.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/accounts.h"
#include "game/game_state.h"
#include "game/accounts/player_account.h"
#include "gui/controls/gui_switch_group.h"
#include "tests/gui/control_screen_support.h"

using namespace gui_test;

namespace {

ConsoleVar g_chosen("gui_test_switch_chosen", CVAR_STRING, "");
ConsoleVar g_hovered("gui_test_switch_hovered", CVAR_STRING, "");

// Item centres on the 800 x 600 grid at x 100, 300, 500, 700 (pixels 20, 60, 100, 140 on the
// 160-wide display), all at y 300 (pixel 60), 100 units wide (20 pixels).
constexpr s32_t kItemX[] = {20, 60, 100, 140};
constexpr s32_t kItemY = 60;

class SwitchGroups : public ControlScreenTest {
protected:
    void SetUp() override
    {
        ControlScreenTest::SetUp();
        m_savedAccount = as_accname.String();
        m_savedNext = g_game.accounts.missionFiles;
        auto* account = new PlayerAccount();
        account->name.Assign("mapper");
        account->AddCompletedMission("ALPHA");
        AccountsAdd(account);
        as_accname.SetString("mapper");
        g_game.accounts.missionFiles = {EngineString("alpha"), EngineString("bravo"), EngineString("charlie")};
        g_chosen.SetString("");
        g_hovered.SetString("");
    }
    void TearDown() override
    {
        AccountsShutdown();
        as_accname.SetString(m_savedAccount.c_str());
        g_game.accounts.missionFiles = m_savedNext;
        ControlScreenTest::TearDown();
    }
    GuiSwitchGroup* Map()
    {
        GuiScreen* screen = Build(
            "<CAMPAIGN>\n<SWITCHGROUP>\n"
            "<ITEM> property name alpha; property center 100 300; property size 100; </ITEM>\n"
            "<ITEM> property name bravo; property center 300 300; property size 100; </ITEM>\n"
            "<ITEM> property name charlie; property center 500 300; property size 100; </ITEM>\n"
            "<ITEM> property name delta; property center 700 300; property size 100; </ITEM>\n"
            "property source MISSION_LIST; property sel_hold_var gui_test_switch_chosen; "
            "property hover_hold_var gui_test_switch_hovered;\n"
            "</SWITCHGROUP>\n</CAMPAIGN>\n");
        return ControlAt<GuiSwitchGroup>(screen, 0);
    }
    static std::vector<s32_t> States(const GuiSwitchGroup& group)
    {
        std::vector<s32_t> states;
        for (u32_t i = 0; i < group.ItemCount(); ++i)
            states.push_back(group.Item(i)->visible ? group.Item(i)->state : -1);
        return states;
    }

private:
    std::string m_savedAccount;
    std::vector<EngineString> m_savedNext;
};

TEST_F(SwitchGroups, EntrySelectsTheFirstOpenItemAndClicksSkipCompletedAndHidden)
{
    GuiSwitchGroup* group = Map();
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->ItemCount(), 4u);
    group->OnActivate(g_gui.currentScreen);
    // -1 hidden; 0 selected, 1 normal, 2 completed.
    EXPECT_EQ(States(*group), (std::vector<s32_t>{2, 0, 1, -1}));
    EXPECT_STREQ(g_chosen.String(), "bravo");

    group->OnClick(kItemX[0], kItemY);
    group->OnClick(kItemX[3], kItemY);
    group->OnClick(5, 5);
    EXPECT_EQ(States(*group), (std::vector<s32_t>{2, 0, 1, -1}));
    EXPECT_STREQ(g_chosen.String(), "bravo");

    group->OnClick(kItemX[2] + 9, kItemY - 9);
    EXPECT_EQ(States(*group), (std::vector<s32_t>{2, 1, 0, -1}));
    EXPECT_STREQ(g_chosen.String(), "charlie");

    group->OnMouse(GUI_MOUSE_NONE, kItemX[1], kItemY, 0, 0);
    EXPECT_STREQ(g_hovered.String(), "bravo");
    EXPECT_STREQ(g_chosen.String(), "charlie") << "hovering selects nothing";
}

TEST_F(SwitchGroups, TheVariableKeepsAVisibleOpenItemOnly)
{
    struct Case {
        const char* named;
        std::vector<s32_t> states;
        const char* chosen;
    };
    const Case cases[] = {
        {"CHARLIE", {2, 1, 0, -1}, "CHARLIE"},
        {"alpha", {2, 0, 1, -1}, "bravo"},  // completed: the first open one instead
        {"delta", {2, 0, 1, -1}, "bravo"},  // hidden: not selected behind the map's back
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named);
        GuiSwitchGroup* group = Map();
        ASSERT_NE(group, nullptr);
        g_chosen.SetString(c.named);
        group->OnActivate(g_gui.currentScreen);
        EXPECT_EQ(States(*group), c.states);
        EXPECT_STREQ(g_chosen.String(), c.chosen);
        GuiFreeScreens();
        DestroyScriptCache();
        CreateScriptCache();
    }
}

TEST_F(SwitchGroups, ItemsDrawTheirStatePicture)
{
    GuiSwitchGroup* group = Map();
    ASSERT_NE(group, nullptr);
    group->OnActivate(g_gui.currentScreen);
    group->textures[0] = White();  // only the selected picture exists
    group->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    const render_test::Pixels pixels = Read();
    EXPECT_EQ(pixels.At(kItemX[1], kItemY), 0xFFFFFFFFu);
    EXPECT_EQ(pixels.At(kItemX[1] - 9, kItemY - 9), 0xFFFFFFFFu);
    EXPECT_EQ(pixels.At(kItemX[1] - 12, kItemY), kBlack);
    EXPECT_EQ(pixels.At(kItemX[2], kItemY), kBlack);
}

}  // namespace
