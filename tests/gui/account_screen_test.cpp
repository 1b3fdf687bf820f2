// The sample's account screen driven as a player drives it: clicks and typed characters go through the
// screen manager's input step into its edit boxes, and its "Create" button runs the account command.
// Names the file system cannot hold show the message and write no file; a good name makes its file
// and logs in. The list of soldiers: a click on a row chooses the soldier that "Log in" logs in and
// "Remove" removes, each with the password typed beside the list.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/input/input.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/accounts.h"
#include "gui/texts/fonts.h"
#include "gui/screens/gui.h"
#include "gui/lists/gui_list_box.h"
#include "gui/screens/gui_scale.h"
#include "gui/screens/screen_manager.h"
#include "platform/test_clock.h"
#include "tests/gui/control_screen_support.h"

using namespace gui_test;
namespace fs = std::filesystem;

namespace {

class SampleAccountScreen : public ControlScreenTest {
protected:
    void SetUp() override
    {
        ControlScreenTest::SetUp();
        const fs::path sample = fs::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data" / "sample";
        for (const char* file : {"script/gui.scr", "script/guiparts.scr", "locale/_common/gui.asc"})
            ASSERT_TRUE(WriteFileBytes(file, ReadFileBytes(sample / file)));
        m_account = as_accname.String();
        as_accname.SetString("");
        PlatformTestClockStart(1000);
        GuiLoadScreens();
        g_gui.currentScreen = GuiFindScreen("ROVUDAZURARAZU");
        ASSERT_NE(g_gui.currentScreen, nullptr);
        ASSERT_STREQ(g_gui.currentScreen->name.Text(), "ROVUDAZURARAZU");
        g_gui.currentScreen->Activate(g_gui.currentScreen);
    }
    void TearDown() override
    {
        AccountsShutdown();
        for (ConsoleVar* variable : {&as_accname, &as_curaccount, &as_accpassword, &as_curpassword, &as_playername})
            variable->SetString("");
        as_accname.SetString(m_account.c_str());
        g_input.mouseStates[0] = 0;
        g_gui.leftHeld = false;
        PlatformTestClockStop();
        ControlScreenTest::TearDown();
    }

    // One input step with the pointer at the control's middle.
    void Step(const char* control, UINT message, WPARAM wParam)
    {
        GuiControl* target = GuiFindItem(control);
        ASSERT_NE(target, nullptr) << control;
        RECT box = {};
        target->GetRect(&box);
        s32_t state = 0;
        GuiInputStep((box.left + box.right) / 2, (box.top + box.bottom) / 2, message, 0, wParam, &state);
    }
    // A click on the list's row (counted from its top row).
    void ClickRow(const char* list, int row)
    {
        auto* box = dynamic_cast<GuiListBox*>(GuiFindItem(list));
        ASSERT_NE(box, nullptr) << list;
        RECT rect = {};
        box->GetRect(&rect);
        // Rows are a line of the list's font and one pixel apart (no font loaded: a pixel each).
        const int rowHeight =
            box->font
                ? static_cast<int>(static_cast<float>(box->font->GetCharHeight()) * GuiScaleToScreen(box->fontSize))
                : 0;
        const int y = rect.top + row * (rowHeight + 1) + rowHeight / 2;
        s32_t state = 0;
        g_input.mouseStates[0] = INPUT_STATE_DOWN;
        GuiInputStep((rect.left + rect.right) / 2, y, WM_NULL, 0, 0, &state);
        g_input.mouseStates[0] = 0;
        GuiInputStep((rect.left + rect.right) / 2, y, WM_NULL, 0, 0, &state);
    }
    void Click(const char* control)
    {
        g_input.mouseStates[0] = INPUT_STATE_DOWN;
        Step(control, WM_NULL, 0);
        g_input.mouseStates[0] = 0;
        Step(control, WM_NULL, 0);
    }
    // Clicks the field, empties it and types the text; Enter ends the field.
    void TypeInto(const char* control, const std::string& text)
    {
        Click(control);
        for (int i = 0; i < 80; ++i)
            Character(control, 8);
        for (char c : text)
            Character(control, static_cast<unsigned char>(c));
        Character(control, 13);
    }
    void Character(const char* control, unsigned code)
    {
        // Apart enough that the screen manager takes a repeated character.
        PlatformTestClockAdvance(200);
        Step(control, WM_CHAR, code);
    }
    void Create(const std::string& name, const std::string& password = "pw")
    {
        TypeInto("new_name", name);
        TypeInto("new_password", password);
        TypeInto("new_repeat", password);
        g_gui.lastMessageKey.Assign("");
        Click("create");
    }
    static std::size_t AccountFiles()
    {
        std::size_t count = 0;
        if (fs::exists("accounts")) {
            for (const auto& entry : fs::directory_iterator("accounts"))
                count += entry.is_regular_file() ? 1 : 0;
        }
        return count;
    }

private:
    std::string m_account;
};

TEST_F(SampleAccountScreen, BadNamesShowTheMessageAndAGoodOneMakesItsFileAndLogsIn)
{
    const std::string invalid = "That name cannot be an account name.";
    struct Case {
        std::string name;
        const char* key;
        std::string shown;
    };
    // The name field takes 59 characters at most (its "limit"): the 60th is refused by the field.
    // Each field commits only what was typed into it: the log-in panel's empty password field, bound
    // to the same variable as the repeated password, must not write over it when "Create" is clicked.
    const Case cases[] = {
        {".", "_fnmsg_invalid_acc_name", invalid},
        {"..", "_fnmsg_invalid_acc_name", invalid},
        {"a/b", "_fnmsg_invalid_acc_name", invalid},
        {"a\\b", "_fnmsg_invalid_acc_name", invalid},
        {std::string("ab") + '\x01' + "c", "_fnmsg_invalid_acc_name", invalid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Create(c.name);
        EXPECT_STREQ(g_gui.lastMessageKey.Text(), c.key);
        EXPECT_EQ(Message(), c.shown);
        EXPECT_STREQ(g_gui.currentScreen->name.Text(), "ROVUDAZURARAZU");
        EXPECT_EQ(AccountFiles(), 0u);
    }

    // Sixty characters typed: the field keeps 59 and says so.
    TypeInto("new_name", std::string(60, 'n'));
    EXPECT_EQ(Message(), "String can contain max. 59 characters");
    EXPECT_EQ(std::string(as_curaccount.String()), std::string(59, 'n'));

    PlatformTestClockAdvance(3000);  // past the message's lock
    Create("bob");
    EXPECT_STREQ(g_gui.lastMessageKey.Text(), "");
    EXPECT_TRUE(fs::exists("accounts/bob.acc"));
    EXPECT_STREQ(as_accname.String(), "bob") << "logged in";
    ASSERT_NE(g_gui.currentScreen, nullptr);
    // The script reader keeps one spelling per word: the main menu's button "setup" names the screen.
    EXPECT_STRCASEEQ(g_gui.currentScreen->name.Text(), "SETUP");

    g_gui.currentScreen = GuiFindScreen("ROVUDAZURARAZU");
    g_gui.currentScreen->Activate(g_gui.currentScreen);
    PlatformTestClockAdvance(3000);
    Create("Bob");
    EXPECT_STREQ(g_gui.lastMessageKey.Text(), "_fnmsg_account_exists");
    EXPECT_EQ(AccountFiles(), 1u);
}

TEST_F(SampleAccountScreen, TheListChoosesTheSoldierThatLogsInAndTheOneRemoved)
{
    for (const char* name : {"alpha", "bravo"}) {
        g_gui.currentScreen = GuiFindScreen("ROVUDAZURARAZU");
        g_gui.currentScreen->Activate(g_gui.currentScreen);
        PlatformTestClockAdvance(3000);
        Create(name, std::string("p") + name[0]);
        ASSERT_STREQ(g_gui.lastMessageKey.Text(), "") << name;
    }
    // Nobody chosen: the list takes its first row.
    as_accname.SetString("");
    g_gui.currentScreen = GuiFindScreen("ROVUDAZURARAZU");
    g_gui.currentScreen->Activate(g_gui.currentScreen);
    auto* list = dynamic_cast<GuiListBox*>(GuiFindItem("accounts"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->ItemCount(), 2u);
    EXPECT_STREQ(list->ItemText(0), "alpha");
    EXPECT_STREQ(list->ItemText(1), "bravo");
    EXPECT_STREQ(as_accname.String(), "alpha");

    // The second row chosen; a wrong password logs nobody in, the right one logs him in.
    as_playername.SetString("");
    ClickRow("accounts", 1);
    EXPECT_STREQ(as_accname.String(), "bravo");
    PlatformTestClockAdvance(3000);
    TypeInto("login_password", "pa");
    g_gui.lastMessageKey.Assign("");
    Click("login");
    EXPECT_STREQ(g_gui.lastMessageKey.Text(), "_fnmsg_invalid_password");
    EXPECT_STREQ(as_playername.String(), "");
    EXPECT_STREQ(g_gui.currentScreen->name.Text(), "ROVUDAZURARAZU");
    PlatformTestClockAdvance(3000);
    TypeInto("login_password", "pb");
    g_gui.lastMessageKey.Assign("");
    Click("login");
    EXPECT_STREQ(g_gui.lastMessageKey.Text(), "");
    EXPECT_STREQ(as_playername.String(), "bravo") << "logged in";
    EXPECT_STRCASEEQ(g_gui.currentScreen->name.Text(), "MAINMENU");

    // The first row chosen and removed with its password: its file goes, the list reads again.
    g_gui.currentScreen = GuiFindScreen("ROVUDAZURARAZU");
    g_gui.currentScreen->Activate(g_gui.currentScreen);
    ClickRow("accounts", 0);
    EXPECT_STREQ(as_accname.String(), "alpha");
    PlatformTestClockAdvance(3000);
    TypeInto("login_password", "pa");
    Click("remove");
    EXPECT_FALSE(fs::exists("accounts/alpha.acc"));
    EXPECT_TRUE(fs::exists("accounts/bravo.acc"));
    ASSERT_EQ(list->ItemCount(), 1u);
    EXPECT_STREQ(list->ItemText(0), "bravo");
}

}  // namespace
