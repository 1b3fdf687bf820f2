// The screen manager's input step and history: the hit test, focus, character delivery,
// closing by key, the exit actions and "back". Input arrives as the window layer leaves it (mouse
// states, released actions, the last window message); time is the test clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "game/mission/game_flow.h"
#include "game/game_state.h"
#include "game/player/player_state.h"
#include "gui/screens/gui.h"
#include "gui/screens/gui_live_values.h"
#include "gui/screens/screen_manager.h"
#include "platform/test_clock.h"

namespace {

std::vector<std::string> g_notes;

// A control at a pixel rectangle and z-index that notes what it is sent.
class ProbeControl : public GuiControl {
public:
    ProbeControl(const char* controlName, RECT rect, s16_t z) : m_rect(rect)
    {
        SetName(controlName);
        SetZIndex(z);
    }
    void GetRect(RECT* rect) const override { *rect = m_rect; }
    void OnClick(s32_t, s32_t) override { g_notes.push_back(std::string("click ") + GetName()); }
    void OnChar(char c) override { g_notes.push_back(std::string("char ") + GetName() + " " + c); }

private:
    RECT m_rect;
};

GuiScreen* AddScreen(const char* name)
{
    auto* screen = new GuiScreen(name);
    GuiAddScreen(screen);
    return screen;
}

class ScreenManagerInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        PlatformTestClockStart(100000);
        g_notes.clear();
        g_gui = {};
        g_input = InputState();
        g_frameView.screenOpen = false;
    }
    void TearDown() override
    {
        GuiFreeScreens();
        g_gui = {};
        g_input = InputState();
        g_frameView.screenOpen = false;
        g_frameView.player = nullptr;
        g_frameView.currentGameMod = nullptr;
        PlatformTestClockStop();
    }
    bool Step(s32_t x = 0, s32_t y = 0, UINT message = WM_NULL, WPARAM wParam = 0)
    {
        return GuiInputStep(x, y, message, 0, wParam, &m_state);
    }
    // A left click at the point: pressed in one frame, released in the next.
    void Click(s32_t x, s32_t y)
    {
        g_input.mouseStates[0] = INPUT_STATE_DOWN;
        Step(x, y);
        g_input.mouseStates[0] = 0;
        Step(x, y);
    }
    s32_t m_state = 0;
};

struct HitCase {
    const char* what;
    std::vector<s16_t> zIndexes;  // every control covers the point
    int expected;                 // index of the control found, -1 none
};

TEST_F(ScreenManagerInput, HitTestTakesTheHighestLayerFromOneToNineteenAndTheEarlierOnTies)
{
    const HitCase cases[] = {
        {"higher wins", {3, 7, 5}, 1},
        {"equal: the earlier", {4, 4}, 0},
        {"zero never hits", {0}, -1},
        {"negative never beats a positive", {-1, 2}, 1},
        {"negative alone never hits", {-5}, -1},
        {"twenty and above never hit", {20, 1}, 1},
        {"nineteen hits", {19, 18}, 0},
    };
    for (const HitCase& c : cases) {
        GuiScreen screen("S");
        std::vector<GuiControl*> controls;
        for (s16_t z : c.zIndexes) {
            controls.push_back(new ProbeControl("c", RECT{10, 10, 50, 50}, z));
            screen.AddControl(controls.back());
        }
        GuiControl* hit = GuiControlAtPoint(&screen, 30, 30);
        EXPECT_EQ(hit, c.expected < 0 ? nullptr : controls[c.expected]) << c.what;
    }
    GuiScreen screen("S");
    auto* inside = new ProbeControl("c", RECT{10, 10, 50, 50}, 1);
    screen.AddControl(inside);
    EXPECT_EQ(GuiControlAtPoint(&screen, 10, 50), inside) << "edges belong to the rectangle";
    EXPECT_EQ(GuiControlAtPoint(&screen, 51, 30), nullptr);
    EXPECT_EQ(GuiControlAtPoint(&screen, 30, 9), nullptr);
    EXPECT_EQ(GuiControlAtPoint(nullptr, 30, 30), nullptr);
}

TEST_F(ScreenManagerInput, HitTestGoesOnIntoTheSubscreenAndSaysSo)
{
    GuiScreen screen("S");
    GuiScreen sub("SUB");
    auto* own = new ProbeControl("own", RECT{0, 0, 100, 100}, 3);
    auto* lower = new ProbeControl("lower", RECT{0, 0, 100, 100}, 3);
    auto* higher = new ProbeControl("higher", RECT{0, 0, 100, 100}, 4);
    screen.AddControl(own);
    sub.AddControl(lower);
    screen.subscreen = &sub;
    EXPECT_EQ(GuiControlAtPoint(&screen, 5, 5), own) << "a tie with the subscreen keeps the screen's own";
    EXPECT_FALSE(g_gui.hitInSubscreen);
    sub.AddControl(higher);
    EXPECT_EQ(GuiControlAtPoint(&screen, 5, 5), higher);
    EXPECT_TRUE(g_gui.hitInSubscreen);
    screen.subscreen = nullptr;
}

TEST_F(ScreenManagerInput, AClickIsRefusedWhileAnotherControlKeepsTheFocus)
{
    GuiScreen* screen = AddScreen("S");
    auto* editing = new ProbeControl("editing", RECT{0, 0, 10, 10}, 1);
    auto* button = new ProbeControl("button", RECT{20, 20, 40, 40}, 1);
    screen->AddControl(editing);
    screen->AddControl(button);
    g_gui.currentScreen = screen;

    editing->SetFocus(true);
    editing->releasesFocus = false;
    Click(30, 30);
    EXPECT_TRUE(g_notes.empty());
    EXPECT_TRUE(editing->IsFocused());

    editing->releasesFocus = true;
    Click(30, 30);
    EXPECT_EQ(g_notes, std::vector<std::string>{"click button"});
    EXPECT_FALSE(editing->IsFocused());
    EXPECT_TRUE(button->IsFocused());
}

TEST_F(ScreenManagerInput, EveryCharacterMessageIsDeliveredOnceDoubleLettersAtAnyPace)
{
    GuiScreen* screen = AddScreen("S");
    auto* field = new ProbeControl("field", RECT{0, 0, 10, 10}, 1);
    screen->AddControl(field);
    g_gui.currentScreen = screen;
    field->SetFocus(true);

    // Each row types its text at the pace given: one window message per key press, and a frame
    // without a new message between presses (the pump carries no message then).
    struct {
        const char* typed;
        DWORD paceMs;
    } const cases[] = {
        {"rookie", 0}, {"pass1", 10}, {"aabbccddee", 120}, {"aabbccddee", 149}, {"aabbccddee", 200},
    };
    for (const auto& c : cases) {
        std::string received;
        for (const char* p = c.typed; *p; ++p) {
            PlatformTestClockAdvance(c.paceMs);
            g_notes.clear();
            Step(50, 50, WM_CHAR, static_cast<WPARAM>(*p));
            Step(50, 50, WM_NULL, 0);
            for (const std::string& note : g_notes)
                received += note.back();
        }
        EXPECT_EQ(received, c.typed) << "typed every " << c.paceMs << " ms";
    }
}

TEST_F(ScreenManagerInput, EscapeClosesOverAMissionExceptOnTheResultScreens)
{
    struct {
        const char* screen;
        bool overMission;
        bool closes;
    } const cases[] = {
        {"_MAINMENU", true, true},     {"OPTIONS", true, true},        {"_MAINMENU", false, false},
        {"FAILSCREEN", true, false},   {"successscreen", true, false}, {"SUCCESSSCREENQM", true, false},
        {"FailScreenQM", true, false},
    };
    for (const auto& c : cases) {
        GuiScreen screen(c.screen);
        g_gui.currentScreen = &screen;
        g_frameView.screenOpen = c.overMission;
        g_input.guiMode = true;
        g_input.actionReleased[ACTION_ESCAPE] = INPUT_STATE_DOWN;
        EXPECT_EQ(Step(), !c.closes) << c.screen;
        EXPECT_EQ(g_frameView.screenOpen, c.overMission && !c.closes) << c.screen;
        EXPECT_EQ(g_input.guiMode, !c.closes) << c.screen;
        g_gui.currentScreen = nullptr;
    }
}

TEST_F(ScreenManagerInput, AClosedWindowQuitsFromAnyScreenAndEscapeWhenNoScreenIsShown)
{
    GuiScreen menu("MAINMENU");
    struct {
        const char* what;
        GuiScreen* current;
        UINT message;
        WPARAM wParam;
        bool quits;
    } const cases[] = {
        {"quit message on a menu", &menu, WM_QUIT, 0, true},
        {"close request on a menu", &menu, WM_CLOSE, 0, true},
        {"Escape without a screen", nullptr, WM_KEYUP, VK_ESCAPE, true},
        {"Escape on a menu", &menu, WM_KEYUP, VK_ESCAPE, false},
        {"another key without a screen", nullptr, WM_KEYUP, 'A', false},
    };
    for (const auto& c : cases) {
        g_gui.currentScreen = c.current;
        m_state = 0;
        EXPECT_EQ(GuiInputStep(0, 0, c.message, 0, c.wParam, &m_state), !c.quits) << c.what;
        EXPECT_EQ(m_state, c.quits ? 1 : 0) << c.what;
    }
    g_gui.currentScreen = nullptr;
}

TEST_F(ScreenManagerInput, EachExitActionLeavesItsResultStateScreenAndHistory)
{
    struct {
        s32_t action;
        bool stays;
        s32_t state;
        const char* current;
        s16_t depth;
        bool suspended;
    } const rows[] = {
        {GUI_EXIT_NONE, true, 0, "OPTIONS", 2, true},
        {GUI_EXIT_STARTGAME, false, 0, "OPTIONS", 2, false},
        {GUI_EXIT_EXITGAME, false, 1, "OPTIONS", 2, false},
        {GUI_EXIT_PREVIOUS, true, 0, "MAINMENU", 0, true},
        {GUI_EXIT_EXITTOGUI, false, 2, "MAINMENU", 2, true},
        {GUI_EXIT_EXITTOCAMPAIGN, false, 4, "CAMPAIGN", 2, true},
        {GUI_EXIT_EXITTOQUICKMISSIONS, false, 5, "QUICKMISSIONS", 1, true},
    };
    GuiScreen* mainMenu = AddScreen("MAINMENU");
    GuiScreen* options = AddScreen("OPTIONS");
    AddScreen("CAMPAIGN");
    AddScreen("QUICKMISSIONS");
    for (const auto& r : rows) {
        // MAINMENU opened OPTIONS, whose back button pushed it again.
        g_gui.history[0] = mainMenu;
        g_gui.history[1] = options;
        g_gui.historyDepth = 2;
        g_gui.previousScreen = options;
        g_gui.currentScreen = options;
        g_input.guiMode = true;
        m_state = 0;
        g_gui.exitAction = r.action;
        EXPECT_EQ(Step(), r.stays) << r.action;
        EXPECT_EQ(m_state, r.state) << r.action;
        ASSERT_NE(g_gui.currentScreen, nullptr) << r.action;
        EXPECT_STREQ(g_gui.currentScreen->name.Text(), r.current) << r.action;
        EXPECT_EQ(g_gui.historyDepth, r.depth) << r.action;
        EXPECT_EQ(g_input.guiMode, r.suspended) << r.action;
        EXPECT_EQ(g_gui.exitAction, GUI_EXIT_NONE) << r.action;
    }
    g_gui.historyDepth = 1;
    g_gui.exitAction = GUI_EXIT_EXITTOQUICKMISSIONS;
    Step();
    EXPECT_EQ(g_gui.history[0], mainMenu);
    EXPECT_EQ(g_gui.history[1], nullptr);
}

TEST_F(ScreenManagerInput, TheHistoryKeepsTheNewestTwentyScreens)
{
    std::vector<GuiScreen*> screens;
    for (int i = 0; i <= GUI_HISTORY_SIZE + 1; ++i)
        screens.push_back(AddScreen(("S" + std::to_string(i)).c_str()));
    g_gui.currentScreen = screens[0];
    for (int i = 1; i <= GUI_HISTORY_SIZE + 1; ++i)
        GuiOpenScreen(screens[i]->name.Text());
    // 21 pushes: S0 .. S20; S0 dropped.
    EXPECT_EQ(g_gui.historyDepth, GUI_HISTORY_SIZE);
    EXPECT_EQ(g_gui.history[0], screens[1]);
    EXPECT_EQ(g_gui.history[GUI_HISTORY_SIZE - 1], screens[GUI_HISTORY_SIZE]);
    EXPECT_EQ(g_gui.currentScreen, screens[GUI_HISTORY_SIZE + 1]);
    EXPECT_EQ(g_gui.previousScreen, screens[GUI_HISTORY_SIZE]);
}

TEST_F(ScreenManagerInput, PreviousWithOneEntryStaysOnTheScreen)
{
    GuiScreen* first = AddScreen("FIRST");
    g_gui.currentScreen = first;
    GuiOpenScreen("PREVIOUS");
    g_gui.exitAction = GUI_EXIT_PREVIOUS;
    EXPECT_TRUE(Step());
    EXPECT_EQ(g_gui.currentScreen, first);
    EXPECT_EQ(g_gui.historyDepth, 0);
    EXPECT_EQ(g_gui.exitAction, GUI_EXIT_NONE);
}

TEST_F(ScreenManagerInput, BackTwiceWithoutAccountsLeadsToTheSoldierScreenThenTheMainMenu)
{
    AddScreen("MAINMENU");
    AddScreen("ROVUDAZURARAZU");
    ASSERT_TRUE(GuiInit(nullptr, 640, 480));
    ASSERT_NE(g_gui.currentScreen, nullptr);
    EXPECT_STREQ(g_gui.currentScreen->name.Text(), "MAINMENU");
    for (const char* expected : {"ROVUDAZURARAZU", "MAINMENU"}) {
        GuiOpenScreen("PREVIOUS");
        g_gui.exitAction = GUI_EXIT_PREVIOUS;
        EXPECT_TRUE(Step());
        ASSERT_NE(g_gui.currentScreen, nullptr);
        EXPECT_STREQ(g_gui.currentScreen->name.Text(), expected);
    }
    EXPECT_EQ(g_gui.historyDepth, 0);
    GuiShutdown();
}

TEST_F(ScreenManagerInput, ANetworkedModeClosesByObjectivesAndAsksForARespawnOnFireWhileDead)
{
    GameMod networked;
    networked.ownScreens = 1;
    Actor player;
    g_frameView.player = &player;
    GuiScreen screen("SCORES");
    struct {
        const char* what;
        GameMod* mode;
        u8_t action;
        bool dead;
        bool closes;
        bool respawn;
    } const cases[] = {
        {"objectives", &networked, ACTION_OBJECTIVES, false, true, false},
        {"fire while dead", &networked, ACTION_FIRE, true, true, true},
        {"fire while alive", &networked, ACTION_FIRE, false, false, false},
        {"objectives without a mode", nullptr, ACTION_OBJECTIVES, false, false, false},
    };
    for (const auto& c : cases) {
        g_gui = {};
        g_gui.currentScreen = &screen;
        g_gui.screenRequested = true;
        g_frameView.currentGameMod = c.mode;
        g_frameView.screenOpen = true;
        g_input = InputState();
        g_input.guiMode = true;
        g_input.actionReleased[c.action] = INPUT_STATE_DOWN;
        g_playerState.respawnRequested = 0;
        player.isDead = c.dead;
        EXPECT_EQ(Step(), !c.closes) << c.what;
        EXPECT_EQ(g_frameView.screenOpen, !c.closes) << c.what;
        EXPECT_EQ(g_playerState.respawnRequested, c.respawn ? 1 : 0) << c.what;
        EXPECT_EQ(g_gui.screenRequested, !c.respawn) << c.what;
    }
    g_gui.currentScreen = nullptr;
    g_playerState.respawnRequested = 0;
}

}  // namespace
