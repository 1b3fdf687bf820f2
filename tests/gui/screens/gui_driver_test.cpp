// The front end driven through the window layer as a player drives it: injected pointer moves,
// clicks and keys travel through the message pump and the input's message handling into GUI frames,
// where the driver acts once its screen is current.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/input/input.h"
#include "gui/screens/gui.h"
#include "gui/screens/screen_manager.h"
#include "support/gui_driver.h"
#include "support/gui_fixture.h"

using namespace gui_test;

namespace {
// The space bar's key code.
constexpr int kSpaceKey = 0x39;
}  // namespace

namespace {

std::vector<std::string> g_clicks;

// Opens the screen of its target when clicked, as a button does.
class SwitchControl : public GuiControl {
public:
    SwitchControl(const char* controlName, RECT rect, const char* target) : m_rect(rect), m_target(target)
    {
        SetName(controlName);
        SetZIndex(1);
    }
    void GetRect(RECT* rect) const override { *rect = m_rect; }
    void OnClick(s32_t clickX, s32_t clickY) override
    {
        g_clicks.push_back(std::string(GetName()) + " " + std::to_string(clickX) + "," + std::to_string(clickY));
        GuiOpenScreen(m_target);
    }

private:
    RECT m_rect;
    const char* m_target;
};

class GuiDriverTest : public GuiTest {
protected:
    void TearDown() override
    {
        GuiFreeScreens();
        g_gui = {};
        g_input = InputState();
        GuiTest::TearDown();
    }
    // One pass of the menu loop: at most one window message, then a GUI frame with it.
    bool Pass()
    {
        MSG message = {};
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            InputWindowMessage(message.hwnd, message.message, message.wParam, message.lParam);
        } else {
            message.pt = m_lastPoint;
        }
        m_lastPoint = message.pt;
        InputUpdate();
        return GuiFrame(message.pt.x, message.pt.y, message.message, message.lParam, message.wParam, &m_state);
    }
    s32_t m_state = 0;
    POINT m_lastPoint = {};
};

TEST_F(GuiDriverTest, ClicksTheMiddleOfANamedControlOnceItsScreenIsCurrentThenPressesKeys)
{
    auto* first = new GuiScreen("FIRST");
    first->AddControl(new SwitchControl("decoy", RECT{0, 0, 8, 8}, "FIRST"));
    first->AddControl(new SwitchControl("go", RECT{10, 12, 30, 20}, "SECOND"));
    GuiAddScreen(first);
    auto* second = new GuiScreen("second");
    second->AddControl(new SwitchControl("back", RECT{30, 30, 40, 40}, "FIRST"));
    GuiAddScreen(second);
    g_gui.currentScreen = first;
    g_clicks.clear();

    GuiDriver driver;
    driver.ClickWhen("first", "go");
    driver.ClickWhen("SECOND", "back");
    driver.PressWhen("FIRST", {kSpaceKey});
    // A frame limit in place of a time limit: each step needs a handful of passes.
    for (int pass = 0; pass < 200 && !(driver.Done() && g_clicks.size() == 2); ++pass)
        ASSERT_TRUE(Pass());
    EXPECT_EQ(driver.Error(), "");
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(g_clicks, (std::vector<std::string>{"go 20,16", "back 35,35"}));
    ASSERT_NE(g_gui.currentScreen, nullptr);
    EXPECT_STREQ(g_gui.currentScreen->name.Text(), "FIRST");
    bool spaceSeen = false;
    for (int pass = 0; pass < 20 && !spaceSeen; ++pass) {
        Pass();
        spaceSeen = g_input.keyStates[kSpaceKey] != 0 || g_input.keyPressUnread[kSpaceKey];
    }
    EXPECT_TRUE(spaceSeen);
}

}  // namespace
