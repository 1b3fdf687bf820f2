// Key pickers over a logged-in account: rebinding through the key wait keeps the account's table
// and the live key map in step, Escape and Enter are refused, a wait given up changes nothing, and no
// sequence of rebindings leaves two actions on one key.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>

#include "core/input/actions.h"
#include "core/input/input.h"
#include "core/random.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/accounts.h"
#include "game/accounts/player_account.h"
#include "gui/controls/gui_key_picker.h"
#include "tests/gui/control_screen_support.h"

using namespace gui_test;

namespace {

std::deque<u8_t> g_pressed;
u8_t NextPressed()
{
    if (g_pressed.empty())
        return 0;
    const u8_t key = g_pressed.front();
    g_pressed.pop_front();
    return key;
}

class KeyPickers : public ControlScreenTest {
protected:
    void SetUp() override
    {
        ControlScreenTest::SetUp();
        std::memcpy(m_savedMap, g_input.keyMap, sizeof m_savedMap);
        m_savedAccount = as_accname.String();
        GuiSetKeyWait(NextPressed);
        g_pressed.clear();
        auto* account = new PlayerAccount();
        account->name.Assign("picker");
        account->SetDefaultKeys();
        account->ApplyKeyBindings(g_input.keyMap);
        AccountsAdd(account);
        as_accname.SetString("picker");
        m_account = account;
    }
    void TearDown() override
    {
        GuiSetKeyWait(nullptr);
        AccountsShutdown();
        as_accname.SetString(m_savedAccount.c_str());
        std::memcpy(g_input.keyMap, m_savedMap, sizeof m_savedMap);
        g_gui.lastMessageKey.Assign("");
        ControlScreenTest::TearDown();
    }
    // One picker per action name, in order.
    GuiScreen* Pickers(const std::vector<std::string>& actions)
    {
        std::string text = "<KEYS>\n";
        for (const std::string& action : actions)
            text += "<KEYPICKER> property name " + action + "; property coord 0 0 0.5 0.1; </KEYPICKER>\n";
        return Build(text + "</KEYS>\n");
    }
    // Presses the key while the picker waits.
    static void Press(GuiKeyPicker* picker, u8_t key)
    {
        g_pressed.push_back(key);
        picker->OnClick(1, 1);
    }

    PlayerAccount* m_account = nullptr;
    u8_t m_savedMap[256] = {};
    std::string m_savedAccount;
};

u8_t Key(const char* name)
{
    return KeyCodeFromName(name);
}

u8_t Action(const char* name)
{
    return ActionFromName(name);
}

TEST_F(KeyPickers, RebindingKeepsTableAndKeyMapInStep)
{
    GuiScreen* screen = Pickers({"move_forward"});
    auto* picker = ControlAt<GuiKeyPicker>(screen, 0);
    ASSERT_NE(picker, nullptr);
    const u8_t forward = Action("move_forward");
    const u8_t jump = Action("jump");
    const u8_t w = Key("DIK_W");
    const u8_t space = Key("DIK_SPACE");
    ASSERT_EQ(m_account->keyBindings[forward], w);
    ASSERT_EQ(m_account->keyBindings[jump], space);
    ASSERT_NE(space, 0);

    struct Case {
        const char* what;
        u8_t pressed;
        u8_t forwardKey;      // the account's key of move_forward after
        u8_t jumpKey;         // and of jump
        const char* message;  // the last message key written
    };
    const Case cases[] = {
        {"the key it already has", w, w, space, "_fnmsg_wait_for_key"},
        {"Escape is refused", 1, w, space, "_fnmsg_keys_reserved"},
        {"Enter is refused", 28, w, space, "_fnmsg_keys_reserved"},
        {"a wait given up changes nothing", 0, w, space, "_fnmsg_wait_for_key"},
        {"another action's key", space, space, 0, "_fnmsg_wait_for_key"},
        {"a mouse button", KEY_MOUSE1, KEY_MOUSE1, 0, "_fnmsg_wait_for_key"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Press(picker, c.pressed);
        EXPECT_TRUE(picker->done);
        EXPECT_TRUE(picker->IsFocused());
        EXPECT_STREQ(g_gui.lastMessageKey.Text(), c.message);
        EXPECT_EQ(m_account->keyBindings[forward], c.forwardKey);
        EXPECT_EQ(m_account->keyBindings[jump], c.jumpKey);
        EXPECT_EQ(g_input.keyMap[c.forwardKey], forward);
        if (c.jumpKey) {
            EXPECT_EQ(g_input.keyMap[c.jumpKey], jump);
        }
        EXPECT_EQ(g_input.keyMap[0], ACTION_UNBOUND) << "key 0 never drives an action";
        // The next draw ends the wait.
        picker->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        EXPECT_FALSE(picker->done);
        EXPECT_FALSE(picker->IsFocused());
    }
    EXPECT_EQ(g_input.keyMap[w], ACTION_UNBOUND) << "the old key of move_forward is free";
    EXPECT_EQ(g_input.keyMap[space], ACTION_UNBOUND) << "space went on to the mouse button";
}

TEST_F(KeyPickers, NoAccountOrUnknownActionChangesNothing)
{
    GuiScreen* screen = Pickers({"move_forward", "no_such_action"});
    auto* known = ControlAt<GuiKeyPicker>(screen, 0);
    auto* unknown = ControlAt<GuiKeyPicker>(screen, 1);
    ASSERT_NE(known, nullptr);
    ASSERT_NE(unknown, nullptr);
    u8_t mapBefore[256];
    std::memcpy(mapBefore, g_input.keyMap, sizeof mapBefore);
    u8_t tableBefore[ACCOUNT_BINDING_COUNT];
    std::memcpy(tableBefore, m_account->keyBindings, sizeof tableBefore);

    Press(unknown, Key("DIK_W"));
    EXPECT_TRUE(unknown->done);
    as_accname.SetString("");
    Press(known, Key("DIK_K"));
    EXPECT_TRUE(known->done);
    known->font = CellFont();
    known->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(std::memcmp(mapBefore, g_input.keyMap, sizeof mapBefore), 0);
    EXPECT_EQ(std::memcmp(tableBefore, m_account->keyBindings, sizeof tableBefore), 0);
}

TEST_F(KeyPickers, NoTwoActionsEverShareAKey)
{
    std::vector<std::string> names;
    for (int action = 0; action < ACTION_COUNT; ++action)
        names.emplace_back(ActionName(action));
    GuiScreen* screen = Pickers(names);
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(screen->ControlCount(), static_cast<u32_t>(ACTION_COUNT));
    EngineSRand(63);
    for (int round = 0; round < 2000; ++round) {
        auto* picker = ControlAt<GuiKeyPicker>(screen, static_cast<u32_t>(EngineRand() % ACTION_COUNT));
        ASSERT_NE(picker, nullptr);
        // Any code, mouse codes and the refused and given-up ones among them.
        Press(picker, static_cast<u8_t>(EngineRand() % 245));
        picker->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        ASSERT_EQ(g_input.keyMap[0], ACTION_UNBOUND) << "round " << round;
        int owners[256] = {};
        for (int action = 0; action < ACCOUNT_BINDING_COUNT; ++action) {
            const u8_t key = m_account->keyBindings[action];
            if (key == 0)
                continue;
            ASSERT_EQ(++owners[key], 1) << "round " << round << ": key " << int(key) << " shared";
            ASSERT_EQ(g_input.keyMap[key], action) << "round " << round;
        }
        for (int key = 0; key < 256; ++key) {
            if (g_input.keyMap[key] != ACTION_UNBOUND) {
                ASSERT_EQ(m_account->keyBindings[g_input.keyMap[key]], key) << "round " << round;
            }
        }
    }
}

}  // namespace
