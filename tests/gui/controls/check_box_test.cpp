// Check boxes built from a screen script: a master and its dependants by "bind", the variable shown
// in the next frame after the console set it, the glow's fade, the condition, and the command run
// by name after each toggle.
#include <gtest/gtest.h>

#include "core/console/console.h"
#include "core/console/console_var.h"
#include "game/accounts/account_cvars.h"
#include "gui/controls/gui_check_box.h"
#include "support/keep_var.h"
#include "tests/gui/control_screen_support.h"

using namespace gui_test;

namespace {

ConsoleVar g_master("gui_test_check_master", CVAR_BOOL, "true");
ConsoleVar g_first("gui_test_check_first", CVAR_BOOL, "true");
ConsoleVar g_second("gui_test_check_second", CVAR_BOOL, "false");
s32_t g_toggles = 0;
s32_t NoteToggle(const char* arguments)
{
    g_toggles += arguments ? 100 : 1;
    return 0;
}
ConsoleVar g_toggleCommand("gui_test_check_toggled", NoteToggle);

class CheckBoxes : public ControlScreenTest {
protected:
    void SetUp() override
    {
        ControlScreenTest::SetUp();
        g_master.SetBool(true);
        g_first.SetBool(true);
        g_second.SetBool(false);
        g_toggles = 0;
        m_account = as_accname.String();
        as_accname.SetString("");  // the condition "logged_on" is false
    }
    void TearDown() override
    {
        as_accname.SetString(m_account.c_str());
        ControlScreenTest::TearDown();
    }
    std::string m_account;
    // The dependants come first: "bind" finds only controls already in the screen. A fourth box
    // binds a later one, which it cannot see.
    GuiScreen* Options()
    {
        GuiScreen* screen = Build(
            "<OPTIONS>\n"
            "<CHECKBOX> property name first; property variable gui_test_check_first; "
            "property coord 0 0.5 0.5 0.1; </CHECKBOX>\n"
            "<CHECKBOX> property name second; property variable gui_test_check_second; </CHECKBOX>\n"
            "<CHECKBOX> property name master; property variable gui_test_check_master; "
            "property bind FIRST second nothing master; property call_fn gui_test_check_toggled; "
            "property coord 0.25 0.25 0.5 0.25; property smallcoord 0 0 0.5 1; </CHECKBOX>\n"
            "<CHECKBOX> property name early; property bind late; </CHECKBOX>\n"
            "<CHECKBOX> property name late; </CHECKBOX>\n"
            "</OPTIONS>\n");
        if (screen) {
            for (u32_t i = 0; i < screen->ControlCount(); ++i)
                screen->Control(i)->OnActivate(screen);
        }
        return screen;
    }
};

TEST_F(CheckBoxes, UncheckingTheMasterDisablesItsDependants)
{
    GuiScreen* screen = Options();
    auto* first = ControlAt<GuiCheckBox>(screen, 0);
    auto* second = ControlAt<GuiCheckBox>(screen, 1);
    auto* master = ControlAt<GuiCheckBox>(screen, 2);
    auto* early = ControlAt<GuiCheckBox>(screen, 3);
    ASSERT_NE(master, nullptr);
    ASSERT_NE(early, nullptr);
    EXPECT_EQ(master->DependantCount(), 2u) << "an unknown name and the box itself are not added";
    EXPECT_EQ(early->DependantCount(), 0u) << "a later section is not in the screen yet";
    EXPECT_TRUE(master->checked);
    EXPECT_TRUE(first->checked);

    master->OnClick(0, 0);
    EXPECT_FALSE(master->checked);
    EXPECT_FALSE(g_master.Bool());
    EXPECT_TRUE(first->disabled);
    EXPECT_TRUE(second->disabled);
    EXPECT_EQ(g_toggles, 1) << "the command runs with no text";

    first->OnClick(0, 0);
    second->OnClick(0, 0);
    EXPECT_TRUE(first->checked);
    EXPECT_TRUE(g_first.Bool());
    EXPECT_FALSE(second->checked);
    EXPECT_FALSE(g_second.Bool());

    master->OnClick(0, 0);
    EXPECT_FALSE(first->disabled);
    second->OnClick(0, 0);
    EXPECT_TRUE(g_second.Bool());
    EXPECT_EQ(g_toggles, 2);
}

TEST_F(CheckBoxes, TheConsoleShowsInTheNextFrameAndTheGlowFadesInASecond)
{
    KeepVar kept(g_master);
    GuiScreen* screen = Options();
    auto* master = ControlAt<GuiCheckBox>(screen, 2);
    ASSERT_NE(master, nullptr);
    ConExec("gui_test_check_master false", true);
    EXPECT_TRUE(master->checked) << "not before the frame";
    master->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_FALSE(master->checked);

    g_gui.frameTime = 0.1f;
    master->OnMouse(GUI_MOUSE_NONE, 80, 40, 0, 0);
    master->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(master->glow, 1.0f) << "under the pointer";
    for (int frame = 0; frame < 9; ++frame)
        master->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_GT(master->glow, 0.0f);
    master->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(master->glow, 0.0f) << "a second after the pointer left";
}

TEST_F(CheckBoxes, MarkFollowsTheStateAndAFalseConditionDrawsNothing)
{
    GuiScreen* screen = Build(
        "<OPTIONS>\n<CHECKBOX> property coord 0.25 0.25 0.5 0.5; property smallcoord 0.5 0 0.5 1; "
        "property variable gui_test_check_first; </CHECKBOX>\n</OPTIONS>\n");
    auto* box = ControlAt<GuiCheckBox>(screen, 0);
    ASSERT_NE(box, nullptr);
    box->checkedTexture = White();
    box->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    // The box covers 40..120 x 30..90; its mark the right half.
    EXPECT_EQ(Read().At(100, 60), 0xFFFFFFFFu);
    EXPECT_EQ(Read().At(60, 60), kBlack);
    EXPECT_EQ(Read().At(125, 60), kBlack);

    g_first.SetBool(false);
    NextFrame();
    box->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(Read().At(100, 60), kBlack) << "unchecked has no picture here";

    g_first.SetBool(true);
    box->condition.Assign("logged_on");
    NextFrame();
    box->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(Read().At(100, 60), kBlack);
}

}  // namespace

namespace {

s32_t g_goneCalls = 0;
s32_t NoteGone(const char*)
{
    ++g_goneCalls;
    return 0;
}

// A command a plug-in added goes with the plug-in: a control that named it then runs nothing, and a
// command of the same name registered later is found again.
TEST_F(CheckBoxes, ACommandThatIsGoneRunsNothing)
{
    g_goneCalls = 0;
    auto* command = new ConsoleVar("gui_test_check_plugin_command", NoteGone);
    GuiScreen* screen =
        Build("<OPTIONS>\n<CHECKBOX> property call_fn gui_test_check_plugin_command; </CHECKBOX>\n</OPTIONS>\n");
    auto* box = ControlAt<GuiCheckBox>(screen, 0);
    ASSERT_NE(box, nullptr);
    box->OnClick(0, 0);
    EXPECT_EQ(g_goneCalls, 1);
    delete command;
    box->OnClick(0, 0);
    EXPECT_EQ(g_goneCalls, 1);
    ConsoleVar again("gui_test_check_plugin_command", NoteGone);
    box->OnClick(0, 0);
    EXPECT_EQ(g_goneCalls, 2);
}

}  // namespace
