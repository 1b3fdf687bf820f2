// GUI frames on the render core: the in-game display flag across opening, closing and leaving, the
// key picker's wait for a key, and the cursor lines of gui_cursorinfo.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/console/console_var.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "gui/screens/gui.h"
#include "gui/screens/gui_live_values.h"
#include "gui/gui_test_hooks.h"
#include "gui/screens/screen_manager.h"
#include "platform/raw_input.h"
#include "platform/test_input.h"
#include "render/draw2d/grid_font.h"
#include "support/gui_fixture.h"
#include "support/keep_var.h"

namespace {

using render_test::Pixels;

// Keyboard scan codes.
constexpr u8_t kKeyK = 0x25;
constexpr u8_t kKeyEscape = 0x01;

class ScreenFrames : public gui_test::GuiTest {
protected:
    void TearDown() override
    {
        GuiFreeScreens();
        g_gui = {};
        g_input = InputState();
        g_frameView.screenOpen = false;
        g_frameView.inGameDisplay = false;
        gui_test::GuiTest::TearDown();
    }
};

TEST_F(ScreenFrames, TheInGameDisplayFlagIsSetWhileTheGuiIsOverAMissionAndClearedWhenItLeaves)
{
    auto* screen = new GuiScreen("_MAINMENU");
    GuiAddScreen(screen);
    GuiAddScreen(new GuiScreen("MAINMENU"));
    struct Step {
        const char* what;
        bool overMission;
        bool escape;
        s32_t exitAction;
        bool staysOpen;
        bool inGameDisplay;
    };
    const Step steps[] = {
        {"over a mission", true, false, GUI_EXIT_NONE, true, true},
        {"Escape closes it", true, true, GUI_EXIT_NONE, false, false},
        {"over a mission again", true, false, GUI_EXIT_NONE, true, true},
        {"to the main menu", true, false, GUI_EXIT_EXITTOGUI, false, false},
        {"a menu screen", false, false, GUI_EXIT_NONE, true, false},
    };
    for (const Step& step : steps) {
        g_gui.currentScreen = screen;
        g_frameView.screenOpen = step.overMission;
        g_input = InputState();
        g_input.actionReleased[ACTION_ESCAPE] = step.escape ? INPUT_STATE_DOWN : 0;
        g_gui.exitAction = step.exitAction;
        s32_t state = 0;
        EXPECT_EQ(GuiFrame(0, 0, WM_NULL, 0, 0, &state), step.staysOpen) << step.what;
        EXPECT_EQ(g_frameView.inGameDisplay, step.inGameDisplay) << step.what;
    }
}

// The wait for a key on a shown, focused window with the input devices on it, as the program has them.
class KeyWait : public ScreenFrames {
protected:
    void SetUp() override
    {
        ScreenFrames::SetUp();
        ShowWindow(Window(), SW_SHOW);
        SetForegroundWindow(Window());
        DispatchWaiting();
        PlatformClearRawInput();
        ASSERT_EQ(InputInit(Window(), true), 0);
        ASSERT_TRUE(InputUsesDirectInput());
        g_gui.window = Window();
        GuiAddScreen(new GuiScreen("KEYS"));
        g_gui.currentScreen = GuiScreenAt(0);
    }
    void TearDown() override
    {
        InputShutdown();
        ScreenFrames::TearDown();
    }
    void DispatchWaiting()
    {
        MSG message;
        while (PeekMessageA(&message, Window(), 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
};

TEST_F(KeyWait, AnswersTheKeyOrButtonPressedAndClearsItOrNoKeyWhenEscapeIsDownOrNoFrameBegins)
{
    struct Case {
        const char* what;
        void (*before)(IDirect3DDevice8* device);
        u8_t expected;
    };
    const Case cases[] = {
        {"a key", [](IDirect3DDevice8*) { PlatformInjectKey(kKeyK, true); }, kKeyK},
        {"the right button", [](IDirect3DDevice8*) { PlatformInjectMouseButton(1, true); }, KEY_MOUSE1},
        // Escape is read as a key like any other once the wait has begun.
        {"Escape pressed during the wait", [](IDirect3DDevice8*) { PlatformInjectKey(kKeyEscape, true); }, kKeyEscape},
        {"Escape already down", [](IDirect3DDevice8*) { g_input.keyStates[KEY_ESCAPE] = INPUT_STATE_DOWN; }, 0},
        {"no frame can begin", [](IDirect3DDevice8* device) { D3D8TestSetCooperativeLevel(device, D3DERR_DEVICELOST); },
         0},
    };
    for (const Case& c : cases) {
        ClearKeyStates();
        for (u8_t& state : g_input.mouseStates)
            state = 0;
        // Called from a click, inside a frame.
        ASSERT_EQ(RenderBeginFrame(), 0) << c.what;
        c.before(Device());
        EXPECT_EQ(GuiWaitForKey(), c.expected) << c.what;
        D3D8TestSetCooperativeLevel(Device(), D3D_OK);
        // The key found is taken: the picker's own click does not see it again.
        if (c.expected >= KEY_MOUSE0) {
            EXPECT_EQ(g_input.mouseStates[c.expected - KEY_MOUSE0], 0) << c.what;
        } else if (c.expected != 0) {
            EXPECT_EQ(g_input.keyStates[c.expected], 0) << c.what;
        }
        RenderEndFrame(false);
        // Let go of what was pressed, so that the next case starts with every key up.
        PlatformInjectKey(kKeyK, false);
        PlatformInjectKey(kKeyEscape, false);
        PlatformInjectMouseButton(1, false);
        InputUpdate();
    }
}

// Whether the pixels of a grid-font line drawn at (left, top) in cells of 16 x 16 show the text:
// each cell's pixels lit where the glyph has ink, within the blur of linear filtering at the ink's
// edges (at most a tenth of a cell's pixels differ).
::testing::AssertionResult GridLineAt(const Pixels& pixels, int left, int top, const std::string& text)
{
    for (std::size_t n = 0; n < text.size(); ++n) {
        int differing = 0;
        for (int j = 0; j < 16; ++j) {
            for (int i = 0; i < 16; ++i) {
                const int texelX = 1 + static_cast<int>((i + 0.5) * 14.0 / 16);
                const int texelY = static_cast<int>((j + 0.5) * 15.0 / 16);
                const bool ink = GridFontInk(static_cast<u8_t>(text[n]), texelX, texelY);
                const DWORD pixel = pixels.At(UINT(left + int(n) * 16 + i), UINT(top + j));
                const bool lit = (pixel & 0xFF) > 0x80 && ((pixel >> 8) & 0xFF) > 0x80 && ((pixel >> 16) & 0xFF) > 0x80;
                differing += ink != lit ? 1 : 0;
            }
        }
        if (differing > 16 * 16 / 10)
            return ::testing::AssertionFailure()
                   << "'" << text[n] << "' at column " << n << ": " << differing << " pixels differ";
    }
    return ::testing::AssertionSuccess();
}

Pixels g_drawn;

// Reads what the GUI frame drew, before the frame is shown.
bool ReadDrawn(s32_t*)
{
    g_drawn = render_test::ReadBackBuffer(g_render.device);
    return true;
}

TEST_F(ScreenFrames, CursorInfoWritesTheCursorAndItsScreenFractionsInWhiteGridText)
{
    ASSERT_EQ(RenderSetDisplayMode(640, 480, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    RenderSetClearColor(0);
    GuiSetScreenSize(640, 480);
    ConsoleVar* cursorInfo = CVarListFind("gui_cursorinfo");
    ASSERT_NE(cursorInfo, nullptr);
    KeepVar keep(*cursorInfo);
    cursorInfo->SetBool(true);
    GuiSetTestFrameHook(ReadDrawn);
    s32_t state = 0;
    const bool drawn = GuiFrame(160, 120, WM_NULL, 0, 0, &state);
    GuiSetTestFrameHook(nullptr);
    ASSERT_TRUE(drawn);
    ASSERT_EQ(g_drawn.width, 640u);
    // Column 1, row 1 and column 1, row 20 of the 16-pixel grid.
    EXPECT_TRUE(GridLineAt(g_drawn, 16, 16, "cursor: 160 120"));
    EXPECT_TRUE(GridLineAt(g_drawn, 16, 320, "uv: 0.25 0.25"));
    // Nothing else is drawn.
    int litElsewhere = 0;
    for (UINT y = 0; y < g_drawn.height; ++y) {
        const bool textRow = (y >= 16 && y < 32) || (y >= 320 && y < 336);
        for (UINT x = 0; x < g_drawn.width; ++x) {
            if (!(textRow && x >= 16 && x < 16 + 16 * 15) && (g_drawn.At(x, y) & 0xFFFFFF) != 0)
                ++litElsewhere;
        }
    }
    EXPECT_EQ(litElsewhere, 0);
}

}  // namespace
