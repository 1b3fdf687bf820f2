// The per-frame poll on injected SDL events: device records into key states and actions, the GUI mode,
// a shown console page, lost focus, and the road without DirectInput.
#include <functional>
#include <string>

#include "core/input/input.h"
#include "tests/core/input/input_fixture.h"
#include "platform/direct_input.h"
#include "platform/test_input.h"

namespace {

s32_t g_movedX = 0;
s32_t g_movedY = 0;

void RecordMove(s32_t dx, s32_t dy)
{
    g_movedX += dx;
    g_movedY += dy;
}

class InputUpdateTest : public InputWindowTest {
protected:
    std::string Bindings() const override
    {
        return "move_forward DIK_W\n"
               "fire MOUSE0\n"
               "fire DIK_SPACE\n"
               "zoomin MOUSE_WHEEL_UP\n"
               "zoomout MOUSE_WHEEL_DOWN\n";
    }

    void SetUp() override
    {
        InputWindowTest::SetUp();
        ASSERT_EQ(InputInit(m_window, true), 0);
        ASSERT_TRUE(InputUsesDirectInput());
        g_movedX = 0;
        g_movedY = 0;
        InputSetMouseMoveListener(RecordMove);
    }
};

TEST_F(InputUpdateTest, InjectedEventsDriveTheActionsFrameByFrame)
{
    struct Step {
        std::function<void()> inject;
        u8_t action;
        bool down;
        bool released;
    };
    const Step steps[] = {
        {[] { PlatformInjectKey(DIK_W, true); }, ACTION_MOVE_FORWARD, true, false},
        {[] {}, ACTION_MOVE_FORWARD, true, false},
        {[] { PlatformInjectKey(DIK_W, false); }, ACTION_MOVE_FORWARD, false, true},
        {[] {}, ACTION_MOVE_FORWARD, false, false},
        {[] { PlatformInjectKey(DIK_ESCAPE, true); }, ACTION_ESCAPE, true, false},
        {[] { PlatformInjectKey(DIK_ESCAPE, false); }, ACTION_ESCAPE, false, true},
        {[] { PlatformInjectMouseWheel(1); }, ACTION_ZOOMIN, true, false},
        {[] {}, ACTION_ZOOMIN, false, true},
        {[] { PlatformInjectMouseWheel(-1); }, ACTION_ZOOMOUT, true, false},
        {[] {}, ACTION_ZOOMOUT, false, true},
        // Two keys on "fire": releasing one while the other is held releases nothing.
        {[] { PlatformInjectMouseButton(0, true); }, ACTION_FIRE, true, false},
        {[] { PlatformInjectKey(DIK_SPACE, true); }, ACTION_FIRE, true, false},
        {[] { PlatformInjectMouseButton(0, false); }, ACTION_FIRE, true, false},
        {[] { PlatformInjectKey(DIK_SPACE, false); }, ACTION_FIRE, false, true},
    };
    int index = 0;
    for (const Step& step : steps) {
        step.inject();
        Frame();
        SCOPED_TRACE("step " + std::to_string(index++));
        EXPECT_EQ(g_input.actionDown[step.action], step.down ? 255 : 0);
        EXPECT_EQ(g_input.actionReleased[step.action], step.released ? 255 : 0);
    }
}

TEST_F(InputUpdateTest, MouseMotionReachesTheListener)
{
    PlatformInjectMouseMotion(4, -2);
    PlatformInjectMouseMotion(3, 0);
    Frame();
    EXPECT_EQ(g_movedX, 7);
    EXPECT_EQ(g_movedY, -2);
}

TEST_F(InputUpdateTest, InGuiModeOnlyTheWindowMessagesFeedTheStates)
{
    g_input.guiMode = true;
    PlatformInjectMouseMotion(5, 5);
    PlatformInjectKey(DIK_W, true);
    PlatformInjectMouseButton(1, true);
    // A key message with no device record behind it.
    PostMessageA(m_window, WM_KEYDOWN, 'A', (DIK_A << 16) | 1);
    Frame();
    EXPECT_EQ(g_movedX, 0);
    EXPECT_EQ(g_input.keyStates[DIK_W], 255);
    EXPECT_EQ(g_input.keyStates[DIK_A], 255);
    EXPECT_EQ(g_input.mouseStates[1], 255);
    EXPECT_EQ(g_input.actionDown[ACTION_MOVE_FORWARD], 255);

    // Back in the game the device records count again.
    g_input.guiMode = false;
    PlatformInjectKey(DIK_W, false);
    PlatformInjectMouseMotion(5, 0);
    Frame();
    EXPECT_EQ(g_input.keyStates[DIK_W], 0);
    EXPECT_EQ(g_movedX, 5);
}

TEST_F(InputUpdateTest, AShownConsolePageKeepsTheActionTables)
{
    ConSetCurrent(0);
    PlatformInjectKey(DIK_W, true);
    Frame();
    EXPECT_EQ(g_input.keyStates[DIK_W], 255);
    EXPECT_EQ(g_input.actionDown[ACTION_MOVE_FORWARD], 0);
    ConSetCurrent(-1);
    Frame();
    EXPECT_EQ(g_input.actionDown[ACTION_MOVE_FORWARD], 255);
    PlatformInjectKey(DIK_W, false);
}

// A key pressed and released between two polls (a short tap at a low frame rate) still counts once:
// down in the first frame, released in the next, on both roads.
TEST_F(InputUpdateTest, ATapInsideOneFrameCountsOncePressed)
{
    struct Case {
        const char* name;
        bool directInput;
        std::function<void()> inject;
        // Per frame from the tap on: down, released.
        bool down[3];
        bool released[3];
    };
    const Case cases[] = {
        {"tap",
         true,
         [] { PlatformInjectKey(DIK_W, true), PlatformInjectKey(DIK_W, false); },
         {true, false, false},
         {false, true, false}},
        {"two taps",
         true,
         [] {
             PlatformInjectKey(DIK_W, true), PlatformInjectKey(DIK_W, false);
             PlatformInjectKey(DIK_W, true), PlatformInjectKey(DIK_W, false);
         },
         {true, false, false},
         {false, true, false}},
        {"tap then hold",
         true,
         [] { PlatformInjectKey(DIK_W, true), PlatformInjectKey(DIK_W, false), PlatformInjectKey(DIK_W, true); },
         {true, true, true},
         {false, false, false}},
        {"tap on the messages",
         false,
         [] { PlatformInjectKey(DIK_W, true), PlatformInjectKey(DIK_W, false); },
         {true, false, false},
         {false, true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InputShutdown();
        ASSERT_EQ(InputInit(m_window, c.directInput), 0);
        Frame();
        c.inject();
        for (int frame = 0; frame < 3; ++frame) {
            Frame();
            SCOPED_TRACE("frame " + std::to_string(frame));
            EXPECT_EQ(g_input.actionDown[ACTION_MOVE_FORWARD], c.down[frame] ? 255 : 0);
            EXPECT_EQ(g_input.actionReleased[ACTION_MOVE_FORWARD], c.released[frame] ? 255 : 0);
        }
        PlatformInjectKey(DIK_W, false);
        Frame();
    }
}

TEST_F(InputUpdateTest, LosingTheFocusLetsGoOfHeldKeysAndTheDevicesComeBackWithIt)
{
    PlatformInjectKey(DIK_W, true);
    PlatformInjectMouseButton(0, true);
    Frame();
    ASSERT_EQ(g_input.actionDown[ACTION_MOVE_FORWARD], 255);
    ASSERT_EQ(g_input.actionDown[ACTION_FIRE], 255);

    PushFocusEvent(false);
    Frame();
    EXPECT_EQ(g_input.keyStates[DIK_W], 0);
    EXPECT_EQ(g_input.mouseStates[0], 0);
    EXPECT_EQ(g_input.actionReleased[ACTION_MOVE_FORWARD], 255);
    EXPECT_EQ(g_input.actionReleased[ACTION_FIRE], 255);

    PushFocusEvent(true);
    Frame();  // acquires again; no records in this frame
    PlatformInjectKey(DIK_W, false);
    PlatformInjectKey(DIK_W, true);
    Frame();
    EXPECT_EQ(g_input.actionDown[ACTION_MOVE_FORWARD], 255);
    PlatformInjectKey(DIK_W, false);
    PlatformInjectMouseButton(0, false);
}

// A screen open over the game takes its clicks and keys from the window messages. The devices may be
// lost meanwhile (the window without the focus, for a moment or for good): a poll that cannot read
// them must not wipe what the messages set, or the screen never sees a click or Escape.
TEST_F(InputUpdateTest, AnOpenScreensClicksAndKeysOutliveDevicesThatCannotBeRead)
{
    g_input.guiMode = true;
    PushFocusEvent(false);
    Frame();
    PostMessageA(m_window, WM_LBUTTONDOWN, 0, 0);
    PostMessageA(m_window, WM_KEYDOWN, VK_ESCAPE, (KEY_ESCAPE << 16) | 1);
    Frame();
    EXPECT_EQ(g_input.mouseStates[0], 255);
    EXPECT_EQ(g_input.keyStates[KEY_ESCAPE], 255);
    Frame();
    EXPECT_EQ(g_input.mouseStates[0], 255) << "still held in the next frame";
    PostMessageA(m_window, WM_LBUTTONUP, 0, 0);
    PostMessageA(m_window, WM_KEYUP, VK_ESCAPE, (KEY_ESCAPE << 16) | 1);
    Frame();
    EXPECT_EQ(g_input.mouseStates[0], 0);
    EXPECT_EQ(g_input.actionReleased[ACTION_ESCAPE], 255) << "the screen sees Escape go up";
    g_input.guiMode = false;
    PushFocusEvent(true);
    Frame();
}

TEST_F(InputUpdateTest, AWindowWithoutFocusAtStartUpGetsTheDevicesWhenTheFocusComes)
{
    InputShutdown();
    PushFocusEvent(false);
    PlatformPumpEvents();
    ASSERT_EQ(InputInit(m_window, true), 0);
    PlatformInjectKey(DIK_W, true);
    Frame();
    EXPECT_EQ(g_input.actionDown[ACTION_MOVE_FORWARD], 0);

    PushFocusEvent(true);
    Frame();
    PlatformInjectKey(DIK_W, false);
    PlatformInjectKey(DIK_W, true);
    Frame();
    EXPECT_EQ(g_input.actionDown[ACTION_MOVE_FORWARD], 255);
    PlatformInjectKey(DIK_W, false);
}

TEST_F(InputUpdateTest, WithoutDirectInputTheMessagesFeedTheStatesAndNoBindingsAreRead)
{
    InputShutdown();
    std::memset(g_input.keyMap, ACTION_UNBOUND, sizeof g_input.keyMap);
    g_input.keyMap[DIK_E] = ACTION_MOVE_FORWARD;
    DirectInputFailCreation(true);
    const int result = InputInit(m_window, true);
    DirectInputFailCreation(false);
    EXPECT_LT(result, 0);
    EXPECT_FALSE(InputUsesDirectInput());
    EXPECT_EQ(g_input.keyMap[DIK_W], ACTION_UNBOUND);

    PlatformInjectKey(DIK_E, true);
    Frame();
    EXPECT_EQ(g_input.keyStates[DIK_E], 255);
    EXPECT_EQ(g_input.actionDown[ACTION_MOVE_FORWARD], 255);
    PlatformInjectKey(DIK_E, false);
    Frame();
    EXPECT_EQ(g_input.actionReleased[ACTION_MOVE_FORWARD], 255);
}

// Whatever the last session left, the next one starts as the first: no key held or bound, no action
// down or about to be reported released, not in GUI mode.
TEST_F(InputUpdateTest, ShutdownReturnsTheInputToItsStartState)
{
    PlatformInjectKey(DIK_W, true);
    Frame();
    ASSERT_EQ(g_input.actionDown[ACTION_MOVE_FORWARD], 255);
    g_input.guiMode = true;

    InputShutdown();
    EXPECT_FALSE(InputUsesDirectInput());
    EXPECT_FALSE(g_input.guiMode);
    EXPECT_EQ(g_input.keyStates[DIK_W], 0);
    EXPECT_EQ(g_input.keyMap[DIK_W], ACTION_UNBOUND);
    EXPECT_EQ(g_input.actionDown[ACTION_MOVE_FORWARD], 0);
    ActionsUpdate();
    EXPECT_EQ(g_input.actionReleased[ACTION_MOVE_FORWARD], 0);
}

}  // namespace
