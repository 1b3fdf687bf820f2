#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/raw_input.h"
#include "platform/sdl/sdl_window.h"
#include "platform/test_input.h"
#include "platform/win32.h"

namespace {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Received> g_received;

LRESULT RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_received.push_back({message, wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

int KeyCodeOf(LPARAM lParam)
{
    return static_cast<int>((lParam >> 16) & 0xFF) + ((lParam & (1 << 24)) != 0 ? 0x80 : 0);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = RecordingProcedure;
        windowClass.lpszClassName = "ZintarTest";
        RegisterClassA(&windowClass);  // already there after the first test of a run
        g_received.clear();
        window = CreateWindowExA(0, "zintartest", "Test", WS_CAPTION | WS_THICKFRAME | WS_CLIPCHILDREN, 0, 0, 320, 200,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOW);
        Drain();
        PlatformClearRawInput();
        g_received.clear();
    }
    void TearDown() override
    {
        if (window != nullptr) {
            DestroyWindow(window);
        }
    }

    // Every waiting message of the window (WM_QUIT included), each dispatched.
    std::vector<MSG> Drain()
    {
        std::vector<MSG> messages;
        MSG message;
        while (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
            messages.push_back(message);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        return messages;
    }

    static std::vector<MSG> Only(const std::vector<MSG>& messages, std::initializer_list<UINT> kinds)
    {
        std::vector<MSG> kept;
        for (const MSG& message : messages) {
            for (UINT kind : kinds) {
                if (message.message == kind) {
                    kept.push_back(message);
                }
            }
        }
        return kept;
    }

    static std::vector<RawInputEvent> DrainRaw()
    {
        std::vector<RawInputEvent> events;
        RawInputEvent event;
        while (PlatformPopRawInput(&event)) {
            events.push_back(event);
        }
        return events;
    }

    HWND window = nullptr;
};

TEST_F(WindowTest, CreationReachesTheClassProcedure)
{
    DestroyWindow(window);
    g_received.clear();
    window = CreateWindowExA(0, "ZINTARTEST", "Again", WS_CAPTION, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(g_received.empty());
    EXPECT_EQ(g_received.front().message, static_cast<UINT>(WM_CREATE));
    EXPECT_NE(PlatformSdlWindow(window), nullptr);
    EXPECT_TRUE(PlatformIsHeadless());
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 64);
    EXPECT_EQ(client.bottom, 48);

    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST_F(WindowTest, KeysBecomeKeyMessagesWithTheirScanCodes)
{
    struct Case {
        int keyCode;
        WPARAM virtualKey;
        WPARAM character;  // 0: no WM_CHAR
    };
    const Case cases[] = {
        {0x29, VK_OEM_3, 0},  {0x01, VK_ESCAPE, 27}, {0x3B, VK_F1, 0}, {0x1C, VK_RETURN, 13}, {0x0E, VK_BACK, 8},
        {0x0F, VK_TAB, 9},    {0x1E, 'A', 0},        {0xC8, VK_UP, 0}, {0x9D, VK_CONTROL, 0}, {0x9C, VK_RETURN, 13},
        {0xD3, VK_DELETE, 0}, {0x91, 0, 0},  // a key code SDL has no scancode for still arrives
    };
    for (const Case& c : cases) {
        PlatformInjectKey(c.keyCode, true);
        PlatformInjectKey(c.keyCode, false);
        const std::vector<MSG> messages = Only(Drain(), {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP});
        ASSERT_EQ(messages.size(), c.character != 0 ? 3u : 2u) << c.keyCode;
        const MSG& down = messages.front();
        const MSG& up = messages.back();
        EXPECT_EQ(down.message, static_cast<UINT>(WM_KEYDOWN)) << c.keyCode;
        EXPECT_EQ(up.message, static_cast<UINT>(WM_KEYUP)) << c.keyCode;
        EXPECT_EQ(down.wParam, c.virtualKey) << c.keyCode;
        EXPECT_EQ(KeyCodeOf(down.lParam), c.keyCode);
        EXPECT_EQ(KeyCodeOf(up.lParam), c.keyCode);
        EXPECT_EQ(down.lParam & 0xFFFF, 1);
        EXPECT_EQ(static_cast<DWORD>(down.lParam) >> 30, 0u) << c.keyCode;
        EXPECT_EQ(static_cast<DWORD>(up.lParam) >> 30, 3u) << c.keyCode;
        if (c.character != 0) {
            EXPECT_EQ(messages[1].message, static_cast<UINT>(WM_CHAR));
            EXPECT_EQ(messages[1].wParam, c.character);
        }
        const std::vector<RawInputEvent> raw = DrainRaw();
        ASSERT_EQ(raw.size(), 2u);
        EXPECT_EQ(raw[0].kind, RAW_KEY);
        EXPECT_EQ(raw[0].code, c.keyCode);
        EXPECT_TRUE(raw[0].down);
        EXPECT_EQ(raw[1].code, c.keyCode);
        EXPECT_FALSE(raw[1].down);
    }
    // Every key message reached the window procedure.
    std::size_t keyMessages = 0;
    std::size_t expectedKeyMessages = 0;
    for (const Received& received : g_received) {
        keyMessages += received.message == WM_KEYDOWN || received.message == WM_KEYUP || received.message == WM_CHAR;
    }
    for (const Case& c : cases) {
        expectedKeyMessages += c.character != 0 ? 3 : 2;
    }
    EXPECT_EQ(keyMessages, expectedKeyMessages);
}

TEST_F(WindowTest, HeldKeysRepeatWithThePreviousStateBit)
{
    PlatformInjectKey(0x11, true);
    PlatformInjectKey(0x11, true);
    PlatformInjectKey(0x11, false);
    const std::vector<MSG> messages = Only(Drain(), {WM_KEYDOWN, WM_KEYUP});
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].lParam & (1 << 30), 0);
    EXPECT_NE(messages[1].lParam & (1 << 30), 0);
    EXPECT_EQ(messages[2].message, static_cast<UINT>(WM_KEYUP));
    // The input devices see a press and a release, not the repeat.
    EXPECT_EQ(DrainRaw().size(), 2u);
}

TEST_F(WindowTest, AltMakesSystemKeyMessages)
{
    PlatformInjectKey(0x38, true);  // left Alt
    PlatformInjectKey(0x3E, true);  // F4
    PlatformInjectKey(0x3E, false);
    PlatformInjectKey(0x38, false);
    PlatformInjectKey(0x3E, true);
    const std::vector<MSG> messages = Only(Drain(), {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP});
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(messages[1].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_NE(messages[1].lParam & (1 << 29), 0);
    EXPECT_EQ(messages[2].message, static_cast<UINT>(WM_SYSKEYUP));
    EXPECT_EQ(messages[3].message, static_cast<UINT>(WM_SYSKEYUP));
    EXPECT_EQ(messages[4].message, static_cast<UINT>(WM_KEYDOWN));
    PlatformInjectKey(0x3E, false);
    Drain();
}

TEST_F(WindowTest, TextBecomesLatin1Characters)
{
    std::string text = "a\xC3\xA9\xE2\x82\xAC";  // a, e acute, euro sign
    const std::string longText(40, 'z');
    PlatformInjectText((text + longText).c_str());
    const std::vector<MSG> messages = Only(Drain(), {WM_CHAR});
    std::vector<WPARAM> characters;
    for (const MSG& message : messages) {
        characters.push_back(message.wParam);
    }
    std::vector<WPARAM> expected = {'a', 0xE9, '?'};
    expected.insert(expected.end(), longText.size(), 'z');
    EXPECT_EQ(characters, expected);
}

TEST_F(WindowTest, TypedCharactersCarryTheScanCodeOfTheirKey)
{
    // The console key (scan code 0x29) types a character that the window procedure must recognise.
    PlatformInjectKey(0x29, true);
    PlatformInjectText("`");
    PlatformInjectKey(0x29, false);
    const std::vector<MSG> messages = Only(Drain(), {WM_CHAR});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].wParam, static_cast<WPARAM>('`'));
    EXPECT_EQ((messages[0].lParam >> 16) & 0xFF, 0x29);
}

TEST_F(WindowTest, MouseMessagesCarryClientPositionsAndRawMotion)
{
    POINT centre{160, 100};
    ClientToScreen(window, &centre);
    ASSERT_TRUE(SetCursorPos(centre.x, centre.y));
    Drain();
    // Putting the cursor somewhere is not mouse movement.
    for (const RawInputEvent& event : DrainRaw()) {
        EXPECT_NE(static_cast<int>(event.kind), RAW_MOUSE_MOTION);
    }

    PlatformInjectMouseMotion(5, -3);
    PlatformInjectMouseButton(0, true);
    PlatformInjectMouseButton(0, false);
    PlatformInjectMouseButton(1, true);
    PlatformInjectMouseWheel(1);
    PlatformInjectMouseWheel(-2);
    PlatformInjectMouseButton(1, false);
    const std::vector<MSG> messages =
        Only(Drain(), {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEWHEEL});
    ASSERT_EQ(messages.size(), 7u);
    const LPARAM position = 165 | (97 << 16);
    const struct {
        UINT message;
        WPARAM wParam;
    } expected[] = {
        {WM_MOUSEMOVE, 0},
        {WM_LBUTTONDOWN, MK_LBUTTON},
        {WM_LBUTTONUP, 0},
        {WM_RBUTTONDOWN, MK_RBUTTON},
        {WM_MOUSEWHEEL, (static_cast<WPARAM>(WHEEL_DELTA) << 16) | MK_RBUTTON},
        {WM_MOUSEWHEEL, (static_cast<WPARAM>(0x10000 - 2 * WHEEL_DELTA) << 16) | MK_RBUTTON},
        {WM_RBUTTONUP, 0},
    };
    for (std::size_t i = 0; i < messages.size(); ++i) {
        EXPECT_EQ(messages[i].message, expected[i].message) << i;
        EXPECT_EQ(messages[i].wParam, expected[i].wParam) << i;
        EXPECT_EQ(messages[i].lParam, position) << i;
        EXPECT_EQ(messages[i].pt.x, 165) << i;
        EXPECT_EQ(messages[i].pt.y, 97) << i;
    }
    POINT cursor;
    ASSERT_TRUE(GetCursorPos(&cursor));
    ASSERT_TRUE(ScreenToClient(window, &cursor));
    EXPECT_EQ(cursor.x, 165);
    EXPECT_EQ(cursor.y, 97);

    const std::vector<RawInputEvent> raw = DrainRaw();
    ASSERT_EQ(raw.size(), 7u);
    EXPECT_EQ(raw[0].kind, RAW_MOUSE_MOTION);
    EXPECT_EQ(raw[0].dx, 5);
    EXPECT_EQ(raw[0].dy, -3);
    EXPECT_EQ(raw[1].kind, RAW_MOUSE_BUTTON);
    EXPECT_EQ(raw[1].code, 0);
    EXPECT_TRUE(raw[1].down);
    EXPECT_EQ(raw[4].kind, RAW_MOUSE_WHEEL);
    EXPECT_EQ(raw[4].wheel, 1);
    EXPECT_EQ(raw[5].wheel, -2);
}

TEST_F(WindowTest, WaitingMouseMovesMergeButRawMotionIsKept)
{
    for (int i = 0; i < 50; ++i) {
        PlatformInjectMouseMotion(1, 1);
    }
    PlatformPumpEvents();
    const std::vector<MSG> moves = Only(Drain(), {WM_MOUSEMOVE});
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(DrainRaw().size(), 50u);
}

TEST_F(WindowTest, CloseRequestReachesTheProcedureAndQuitIsNotDispatched)
{
    PlatformInjectCloseRequest();
    const std::vector<MSG> closes = Only(Drain(), {WM_CLOSE});
    ASSERT_EQ(closes.size(), 1u);
    ASSERT_FALSE(g_received.empty());
    EXPECT_EQ(g_received.back().message, static_cast<UINT>(WM_CLOSE));

    PostQuitMessage(3);
    g_received.clear();
    MSG message;
    // Quit is seen whatever the window filter, once, and the procedure never gets it.
    ASSERT_TRUE(PeekMessageA(&message, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_EQ(DispatchMessageA(&message), 0);
    EXPECT_TRUE(g_received.empty());
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, FocusChangesAndQuitRequestsBecomeMessages)
{
    const auto push = [this](Uint32 type, Uint8 windowEvent) {
        SDL_Event event{};
        event.type = type;
        event.window.event = windowEvent;
        event.window.windowID = SDL_GetWindowID(PlatformSdlWindow(window));
        SDL_PushEvent(&event);
    };
    EXPECT_TRUE(PlatformWindowHasFocus());
    PlatformInjectKey(0x38, true);  // Alt held while switching away; its release goes elsewhere
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
    std::vector<MSG> messages = Only(Drain(), {WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_CLOSE});
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_ACTIVATE));
    EXPECT_EQ(messages[0].wParam, static_cast<WPARAM>(WA_INACTIVE));
    EXPECT_EQ(messages[1].message, static_cast<UINT>(WM_KILLFOCUS));
    EXPECT_FALSE(PlatformWindowHasFocus());
    EXPECT_EQ(GetForegroundWindow(), nullptr);

    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED);
    push(SDL_QUIT, 0);
    messages = Only(Drain(), {WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_CLOSE});
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_ACTIVATE));
    EXPECT_EQ(messages[0].wParam, static_cast<WPARAM>(WA_ACTIVE));
    EXPECT_EQ(messages[1].message, static_cast<UINT>(WM_SETFOCUS));
    EXPECT_EQ(messages[2].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(GetForegroundWindow(), window);

    PlatformInjectKey(0x1C, true);
    messages = Only(Drain(), {WM_KEYDOWN, WM_SYSKEYDOWN, WM_CHAR});
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(messages[1].message, static_cast<UINT>(WM_CHAR));
}

TEST_F(WindowTest, KeysHeldWhenTheFocusedWindowGoesAreNotHeldForTheNextOne)
{
    PlatformInjectKey(0x38, true);  // Alt, whose release goes to no window of ours
    Drain();
    DestroyWindow(window);
    window = CreateWindowExA(0, "ZintarTest", "Next", WS_CAPTION, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    PlatformInjectKey(0x1E, true);
    const std::vector<MSG> messages = Only(Drain(), {WM_KEYDOWN, WM_SYSKEYDOWN});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(messages[0].lParam & (1 << 29), 0);
    PlatformInjectKey(0x1E, false);
    Drain();
}

TEST_F(WindowTest, PeekHonoursRemoveFlagAndMessageRange)
{
    ASSERT_TRUE(PostMessageA(window, WM_PAINT, 1, 0));
    ASSERT_TRUE(PostMessageA(window, WM_KEYDOWN, 2, 0));
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, window, WM_KEYDOWN, WM_KEYUP, PM_NOREMOVE));
    EXPECT_EQ(message.wParam, 2u);
    ASSERT_TRUE(PeekMessageA(&message, window, WM_KEYDOWN, WM_KEYUP, PM_REMOVE));
    EXPECT_EQ(message.wParam, 2u);
    ASSERT_TRUE(PeekMessageA(&message, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
    EXPECT_FALSE(PeekMessageA(&message, window, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, QueueIsBoundedWhenNobodyReads)
{
    int accepted = 0;
    while (accepted < 20000 && PostMessageA(window, WM_PAINT, 0, 0)) {
        ++accepted;
    }
    EXPECT_LT(accepted, 20000);
    EXPECT_EQ(Drain().size(), static_cast<std::size_t>(accepted));
}

TEST_F(WindowTest, CursorCounterAndGeometry)
{
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);

    RECT rect{0, 0, 800, 600};
    ASSERT_TRUE(AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE));
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 600);
    ASSERT_TRUE(MoveWindow(window, 0, 0, 800, 600, TRUE));
    ASSERT_TRUE(GetClientRect(window, &rect));
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 600);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);

    EXPECT_TRUE(SetForegroundWindow(window));
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_TRUE(PlatformWindowHasFocus());
}

TEST_F(WindowTest, HeadlessMessageBoxWritesOneLine)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Cannot set display mode", "Fatal Error", MB_OK), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Fatal Error: Cannot set display mode\n");
}

}  // namespace
