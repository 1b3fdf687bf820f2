// The input on a real X server: a virtual display (Xvfb) and events made by xdotool, as a person's
// mouse and keyboard make them. The view turns on every move of the mouse while the cursor is
// confined to the window and held at its centre, and a key tapped between two frames counts once.
// Each check runs in a child process on the virtual display; without an X server the tests say so
// and are skipped.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/input/input.h"
#include "core/log.h"
#include "core/winos.h"
#include "support/files.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_window.h"

extern char** environ;

namespace {

// Frames a child waits for the X server to deliver what xdotool made, 10 ms apart.
constexpr int kDeliveryFrames = 300;

// An Xvfb server of its own, on the first free display number (Xvfb picks it and reports it once it
// accepts connections).
class VirtualDisplay {
public:
    VirtualDisplay()
    {
        int pipe_ends[2];
        if (pipe(pipe_ends) != 0)
            return;
        const std::string fd = std::to_string(pipe_ends[1]);
        std::vector<std::string> texts = {"Xvfb", "-displayfd", fd, "-screen", "0", "1024x768x24", "-nolisten", "tcp"};
        std::vector<char*> args;
        for (std::string& text : texts)
            args.push_back(text.data());
        args.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawnp(&m_server, "Xvfb", &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipe_ends[1]);
        if (spawned != 0) {
            m_server = 0;
            close(pipe_ends[0]);
            return;
        }
        // The number comes once the server is ready; a server that fails closes the pipe instead.
        std::string number;
        char c = 0;
        while (read(pipe_ends[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(pipe_ends[0]);
        if (!number.empty())
            m_display = ":" + number;
    }
    ~VirtualDisplay()
    {
        if (m_server > 0) {
            kill(m_server, SIGTERM);
            waitpid(m_server, nullptr, 0);
        }
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N", or empty when no server could be started.
    const std::string& Name() const { return m_display; }

private:
    pid_t m_server = 0;
    std::string m_display;
};

bool Xdotool(const std::string& arguments)
{
    return std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

// The child's window as the program has it in a mission: shown with the focus, the input read
// through the devices, the cursor hidden and confined to the client area, at its centre.
class ChildWindow {
public:
    ChildWindow() : m_window(640, 480, MainWindowProc, WS_CAPTION)
    {
        m_window.Show();
        InputInit(m_window.Handle(), true);
        RECT client;
        GetClientRect(m_window.Handle(), &client);
        POINT topLeft{client.left, client.top};
        POINT bottomRight{client.right, client.bottom};
        ClientToScreen(m_window.Handle(), &topLeft);
        ClientToScreen(m_window.Handle(), &bottomRight);
        m_centre = POINT{(topLeft.x + bottomRight.x) / 2, (topLeft.y + bottomRight.y) / 2};
        // The pointer enters the window, which takes the focus as a window manager would give it.
        Xdotool("mousemove " + std::to_string(m_centre.x) + " " + std::to_string(m_centre.y));
        Xdotool("search --name '^test$' windowfocus --sync");
        const RECT clip{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
        ClipCursor(&clip);
        SetCursorVisible(false);
        InputCenterCursor();
        for (int i = 0; i < kDeliveryFrames && GetForegroundWindow() != m_window.Handle(); ++i)
            Frame();
        Frame();
    }
    ~ChildWindow()
    {
        ClipCursor(nullptr);
        InputShutdown();
    }

    bool Focused() const { return GetForegroundWindow() == m_window.Handle(); }

    // One frame as the main loop runs it: waiting messages dispatched, then the poll.
    void Frame()
    {
        MSG message;
        while (PeekMessageA(&message, m_window.Handle(), 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        InputUpdate();
    }

private:
    TestWindow m_window;
    POINT m_centre{};
};

int g_turnX = 0;

void RecordTurn(s32_t dx, s32_t)
{
    g_turnX += dx;
}

// Three moves of 150 pixels to the right; prints how far each one turned the view.
int MouseLookJob()
{
    ChildWindow window;
    if (!window.Focused()) {
        std::printf("the window never got the focus\n");
        return 2;
    }
    InputSetMouseMoveListener(RecordTurn);
    int failed = 0;
    for (int move = 0; move < 3; ++move) {
        g_turnX = 0;
        if (!Xdotool("mousemove_relative -- 150 0"))
            return 3;
        for (int i = 0; i < kDeliveryFrames && g_turnX < 150; ++i) {
            window.Frame();
            Sleep(10);
        }
        std::printf("move %d turned %d\n", move, g_turnX);
        failed += g_turnX == 150 ? 0 : 1;
    }
    return failed;
}

// F12 pressed and released between two frames: held in the first frame after it, released in the next.
int KeyTapJob()
{
    WriteFileBytes("input.def", "screenshot DIK_F12\n");
    ChildWindow window;
    if (!window.Focused()) {
        std::printf("the window never got the focus\n");
        return 2;
    }
    if (!Xdotool("keydown F12 keyup F12"))
        return 3;
    // Both events reach the program before the frame that reads them: without the wait a slow server
    // could split them over two frames, and the tap would not be inside one frame.
    Sleep(100);
    window.Frame();
    const bool heldFirst = g_input.actionDown[ACTION_SCREENSHOT] != 0;
    window.Frame();
    const bool releasedNext = g_input.actionReleased[ACTION_SCREENSHOT] != 0;
    window.Frame();
    const bool quietAfter =
        g_input.actionDown[ACTION_SCREENSHOT] == 0 && g_input.actionReleased[ACTION_SCREENSHOT] == 0;
    std::printf("held %d released %d quiet %d\n", heldFirst, releasedNext, quietAfter);
    return heldFirst && releasedNext && quietAfter ? 0 : 1;
}

const bool g_mouseJob = RegisterChildJob("x11-mouse-look", MouseLookJob);
const bool g_keyJob = RegisterChildJob("x11-key-tap", KeyTapJob);

class X11Input : public TempDirTest {
protected:
    static void SetUpTestSuite()
    {
        if (std::system("command -v xdotool >/dev/null 2>&1") != 0)
            return;
        s_display = new VirtualDisplay();
    }
    static void TearDownTestSuite()
    {
        delete s_display;
        s_display = nullptr;
    }

    void SetUp() override
    {
        TempDirTest::SetUp();
        if (!s_display)
            GTEST_SKIP() << "SKIPPED: xdotool is not installed (scripts/setup installs it)";
        if (s_display->Name().empty())
            GTEST_SKIP() << "SKIPPED: no X server could be started (Xvfb; scripts/setup installs it)";
    }

    // Runs the job on the virtual display; its report (stdout) comes back in the text.
    ProgramResult RunOnDisplay(const char* job, std::string& report)
    {
        const ProgramResult result =
            RunChildJob(job, TempPath(), {{"DISPLAY", s_display->Name()}, {"SDL_VIDEODRIVER", "x11"}});
        report = ReadFileBytes(TempPath() + "/stdout.txt") + ReadFileBytes(TempPath() + "/stderr.txt");
        return result;
    }

    static VirtualDisplay* s_display;
};

VirtualDisplay* X11Input::s_display = nullptr;

TEST_F(X11Input, EveryMouseMoveTurnsTheViewWhileTheCursorIsConfined)
{
    std::string report;
    const ProgramResult result = RunOnDisplay("x11-mouse-look", report);
    ASSERT_TRUE(result.exited) << report;
    EXPECT_EQ(result.exitCode, 0) << report;
}

TEST_F(X11Input, AKeyTappedBetweenTwoFramesCountsOnce)
{
    std::string report;
    const ProgramResult result = RunOnDisplay("x11-key-tap", report);
    ASSERT_TRUE(result.exited) << report;
    EXPECT_EQ(result.exitCode, 0) << report;
}

}  // namespace
