// The window-message road of the input: key, button and wheel messages into the states, the cursor held
// at the window's centre, and what the road leaves to the devices while they read the input.
#include <string>

#include "core/frame_view.h"
#include "core/input/input.h"
#include "game/game_state.h"
#include "tests/core/input/input_fixture.h"
#include "platform/direct_input.h"

namespace {

s32_t g_movedX = 0;
s32_t g_movedY = 0;
int g_moves = 0;

void RecordMove(s32_t dx, s32_t dy)
{
    g_movedX += dx;
    g_movedY += dy;
    ++g_moves;
}

LPARAM KeyLParam(int scanCode, bool extended)
{
    return (static_cast<LPARAM>(scanCode) << 16) | (extended ? LPARAM{1} << 24 : 0) | 1;
}

WPARAM WheelWParam(int delta)
{
    return static_cast<WPARAM>(static_cast<u16_t>(static_cast<s16_t>(delta))) << 16;
}

class InputMessagesTest : public InputWindowTest {
protected:
    void SetUp() override
    {
        InputWindowTest::SetUp();
        g_movedX = g_movedY = g_moves = 0;
        InputSetMouseMoveListener(RecordMove);
    }
    void TearDown() override
    {
        g_frameView.freeMouse = false;
        InputWindowTest::TearDown();
    }

    POINT Centre() const
    {
        RECT rect;
        GetClientRect(m_window, &rect);
        POINT centre{rect.right / 2, rect.bottom / 2};
        ClientToScreen(m_window, &centre);
        return centre;
    }

    static POINT Cursor()
    {
        POINT cursor{};
        GetCursorPos(&cursor);
        return cursor;
    }

    void Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        EXPECT_EQ(InputWindowMessage(m_window, message, wParam, lParam), 0);
    }
};

TEST_F(InputMessagesTest, KeyButtonAndWheelMessagesSetTheStates)
{
    ASSERT_EQ(InputInit(m_window, false), 0);
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool mouse;  // which table: the mouse states or the key states
        int index;
    };
    const Case cases[] = {
        {WM_KEYDOWN, VK_CONTROL, KeyLParam(0x1D, true), false, 157},  // right Control, as the devices report it
        {WM_KEYDOWN, VK_CONTROL, KeyLParam(0x1D, false), false, 29},
        {WM_KEYDOWN, VK_RETURN, KeyLParam(0x1C, true), false, 156},
        {WM_KEYDOWN, VK_UP, KeyLParam(0x48, true), false, 200},
        {WM_KEYDOWN, VK_NUMPAD0 + 8, KeyLParam(0x48, false), false, 72},
        {WM_SYSKEYDOWN, VK_MENU, KeyLParam(0x38, false), false, 56},
        {WM_LBUTTONDOWN, 0, 0, true, 0},
        {WM_RBUTTONDOWN, 0, 0, true, 1},
        {WM_MBUTTONDOWN, 0, 0, true, 2},
        {WM_MOUSEWHEEL, WheelWParam(120), 0, true, MOUSE_WHEEL_UP},
        {WM_MOUSEWHEEL, WheelWParam(240), 0, true, MOUSE_WHEEL_UP},
        {WM_MOUSEWHEEL, WheelWParam(-120), 0, true, MOUSE_WHEEL_DOWN},
    };
    const UINT releases[][2] = {{WM_KEYDOWN, WM_KEYUP},
                                {WM_SYSKEYDOWN, WM_SYSKEYUP},
                                {WM_LBUTTONDOWN, WM_LBUTTONUP},
                                {WM_RBUTTONDOWN, WM_RBUTTONUP},
                                {WM_MBUTTONDOWN, WM_MBUTTONUP}};
    for (const Case& c : cases) {
        SCOPED_TRACE("message " + std::to_string(c.message) + " index " + std::to_string(c.index));
        CleanStart();
        Send(c.message, c.wParam, c.lParam);
        const u8_t* table = c.mouse ? g_input.mouseStates : g_input.keyStates;
        EXPECT_EQ(table[c.index], 255);
        // A frame reads the press (a press no frame has read stays down until one has).
        KeyPressesRead();
        for (const auto& pair : releases) {
            if (pair[0] == c.message) {
                Send(pair[1], c.wParam, c.lParam);
            }
        }
        // Releases clear the entry; for the wheel any later message does.
        if (c.message == WM_MOUSEWHEEL) {
            Send(WM_NULL);
        }
        EXPECT_EQ(table[c.index], 0);
    }

    // Less than a notch either way turns nothing.
    for (int delta : {60, -119, 119}) {
        Send(WM_MOUSEWHEEL, WheelWParam(delta));
        EXPECT_EQ(g_input.mouseStates[MOUSE_WHEEL_UP], 0) << delta;
        EXPECT_EQ(g_input.mouseStates[MOUSE_WHEEL_DOWN], 0) << delta;
    }
}

TEST_F(InputMessagesTest, MouseMovementSteersFromTheCentreUnlessTheMouseIsFree)
{
    ASSERT_EQ(InputInit(m_window, false), 0);
    InputCenterCursor();
    const POINT centre = Centre();
    ASSERT_EQ(Cursor().x, centre.x);
    ASSERT_EQ(Cursor().y, centre.y);

    SetCursorPos(centre.x + 7, centre.y - 4);
    Send(WM_MOUSEMOVE);
    EXPECT_EQ(g_movedX, 7);
    EXPECT_EQ(g_movedY, -4);
    EXPECT_EQ(Cursor().x, centre.x);
    EXPECT_EQ(Cursor().y, centre.y);
    Send(WM_MOUSEMOVE);  // at the centre: no movement
    EXPECT_EQ(g_moves, 1);

    for (bool* flag : {&g_frameView.freeMouse, &g_input.guiMode}) {
        *flag = true;
        SetCursorPos(centre.x + 3, centre.y + 3);
        Send(WM_MOUSEMOVE);
        EXPECT_EQ(g_moves, 1);
        EXPECT_EQ(Cursor().x, centre.x + 3);
        *flag = false;
    }
}

TEST_F(InputMessagesTest, WhileTheDevicesReadTheInputMessagesOnlyHoldTheCursor)
{
    ASSERT_EQ(InputInit(m_window, true), 0);
    const POINT centre = Centre();
    MouseWheel(1);
    Send(WM_KEYDOWN, 'W', KeyLParam(DIK_W, false));
    Send(WM_LBUTTONDOWN);
    EXPECT_EQ(g_input.keyStates[DIK_W], 0);
    EXPECT_EQ(g_input.mouseStates[0], 0);
    EXPECT_EQ(g_input.mouseStates[MOUSE_WHEEL_UP], 255);  // not cleared on this road

    SetCursorPos(centre.x + 9, centre.y);
    Send(WM_MOUSEMOVE);
    EXPECT_EQ(g_moves, 0);  // the mouse device reports the movement
    EXPECT_EQ(Cursor().x, centre.x);

    // With a screen open, or the mouse free, the messages feed the states.
    for (bool* flag : {&g_input.guiMode, &g_frameView.freeMouse}) {
        CleanStart();
        *flag = true;
        Send(WM_KEYDOWN, 'W', KeyLParam(DIK_W, false));
        EXPECT_EQ(g_input.keyStates[DIK_W], 255);
        *flag = false;
    }
}

class InputMessagesRobustness : public InputMessagesTest {};

TEST_F(InputMessagesRobustness, AnyKeyMessageStaysInsideTheTables)
{
    ASSERT_EQ(InputInit(m_window, false), 0);
    const UINT messages[] = {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_MOUSEWHEEL};
    for (UINT message : messages) {
        for (int scanCode = 0; scanCode < 256; ++scanCode) {
            for (bool extended : {false, true}) {
                const LPARAM lParam = KeyLParam(scanCode, extended) | (LPARAM{1} << 31);
                Send(message, ~WPARAM{0}, lParam);
            }
        }
    }
    // Only codes inside the key table were set: an extended code past 255 is no key.
    CleanStart();
    Send(WM_KEYDOWN, 0, KeyLParam(0xFF, true));
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(g_input.keyStates[code], 0) << code;
}

}  // namespace
