// Full-screen playback on a real window, device and input: the video plays to its end on time and
// upright, Escape or a click skips it, and keys held from before neither end it nor outlive it. Time
// comes from the test clock: every pass of the loop sleeps, and each sleep moves the clock on at once.
#include <gtest/gtest.h>

#include <functional>

#include "core/input/input.h"
#include "core/video/video.h"
#include "platform/raw_input.h"
#include "platform/test_clock.h"
#include "platform/test_input.h"
#include "render/render_cvars.h"
#include "support/render_test_support.h"
#include "support/archive_builder.h"
#include "support/temp_dir.h"
#include "tests/core/video/video_fixture.h"

namespace {

using namespace video_test;

constexpr int kVideoMs = kFrames * kMsPerFrame;
// What each pass of the loop sleeps.
constexpr DWORD kPassMs = 50;

class VideoFullscreenTest : public render_test::RenderCore {
protected:
    // The display mode the video fills.
    static constexpr int kScreenWidth = kWidth;
    static constexpr int kScreenHeight = kHeight;

    void SetUp() override
    {
        render_test::RenderCore::SetUp();
        ASSERT_TRUE(WriteFileBytes("component/gui/intro.avi", ReadFileBytes(FixturePath("colours.avi"))));
        m_width = riwidth.Int();
        m_height = riheight.Int();
        riwidth.SetInt(kScreenWidth);
        riheight.SetInt(kScreenHeight);
        // The keyboard device reads only while the window has the focus.
        ShowWindow(Window(), SW_SHOW);
        SetForegroundWindow(Window());
        MSG message;
        while (PeekMessageA(&message, Window(), 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        PlatformClearRawInput();
        ASSERT_EQ(InputInit(Window(), true), 0);
        VideoInit();
        PlatformTestClockStart(0x20000);
    }
    void TearDown() override
    {
        PlatformTestClockStop();
        VideoShutdown();
        InputShutdown();
        riwidth.SetInt(m_width);
        riheight.SetInt(m_height);
        render_test::RenderCore::TearDown();
    }

    // Plays the video; the milliseconds it took.
    static DWORD Play(const char* name)
    {
        const DWORD start = GetTickCount();
        VideoPlayFullscreen(name);
        return GetTickCount() - start;
    }

private:
    TempDir m_folder;
    s32_t m_width = 0;
    s32_t m_height = 0;
};

// The frame whose colour the pixel shows, -1 for none.
int FrameShownBy(DWORD pixel)
{
    for (int frame = 0; frame < kFrames; ++frame) {
        if (render_test::ColourNear(pixel, FrameColourWord(frame), 2))
            return frame;
    }
    return -1;
}

TEST_F(VideoFullscreenTest, KeysHeldBeforeTheStartNeitherEndItNorOutliveIt)
{
    g_input.keyStates[KEY_ESCAPE] = INPUT_STATE_DOWN;
    g_input.mouseStates[0] = INPUT_STATE_DOWN;
    const DWORD took = Play("intro");
    // Frames are chosen by time: the video ends with the first pass at or after its length.
    EXPECT_GE(took, DWORD(kVideoMs));
    EXPECT_LT(took, kVideoMs + kPassMs);
    EXPECT_EQ(g_input.keyStates[KEY_ESCAPE], 0);
    EXPECT_EQ(g_input.mouseStates[0], 0);

    // The last pass drew a frame upright and in its own colours: colour above, black below.
    const render_test::Pixels screen = render_test::ReadBackBuffer(Device());
    ASSERT_EQ(screen.width, static_cast<UINT>(kScreenWidth));
    const int shown = FrameShownBy(screen.At(kScreenWidth / 2, 6));
    EXPECT_EQ(shown, kFrames - 1) << std::hex << screen.At(kScreenWidth / 2, 6);
    EXPECT_EQ(FrameShownBy(screen.At(4, 10)), shown);
    EXPECT_TRUE(render_test::ColourNear(screen.At(kScreenWidth / 2, kScreenHeight - 8), 0xFF000000u));
}

struct SkipCase {
    const char* name;
    std::function<void(bool down)> press;
};

void PrintTo(const SkipCase& skip, std::ostream* out)
{
    *out << skip.name;
}

class VideoFullscreenSkip : public VideoFullscreenTest, public ::testing::WithParamInterface<SkipCase> {
protected:
    // Presses once the playback has slept kPressAt milliseconds.
    static constexpr DWORD kPressAt = 300;
    static inline const SkipCase* s_skip = nullptr;
    static inline DWORD s_start = 0;
    static inline bool s_pressed = false;
    static void PressOnTime(DWORD now)
    {
        if (!s_pressed && now - s_start >= kPressAt) {
            s_skip->press(true);
            s_pressed = true;
        }
    }
};

TEST_P(VideoFullscreenSkip, EndsThePlaybackAndIsClearedAfter)
{
    const SkipCase& skip = GetParam();
    s_skip = &skip;
    s_start = GetTickCount();
    s_pressed = false;
    PlatformTestClockOnSleep(PressOnTime);
    const DWORD took = Play("intro");
    EXPECT_TRUE(s_pressed);
    // The pass after the press reads it, and the loop ends before drawing another.
    EXPECT_EQ(took, kPressAt + kPassMs);
    // The key that ended the video does not reach the game.
    EXPECT_EQ(g_input.keyStates[KEY_ESCAPE], 0);
    EXPECT_EQ(g_input.mouseStates[0], 0);
    skip.press(false);
    InputUpdate();
}

INSTANTIATE_TEST_SUITE_P(
    Input, VideoFullscreenSkip,
    ::testing::Values(SkipCase{"Escape", [](bool down) { PlatformInjectKey(KEY_ESCAPE, down); }},
                      SkipCase{"LeftButton", [](bool down) { PlatformInjectMouseButton(0, down); }}),
    [](const ::testing::TestParamInfo<SkipCase>& testInfo) { return std::string(testInfo.param.name); });

TEST_F(VideoFullscreenTest, AVideoThatCannotPlayReturnsAtOnceTouchingNothing)
{
    constexpr int kSomeKey = 30;
    g_input.keyStates[kSomeKey] = INPUT_STATE_DOWN;
    g_input.mouseStates[1] = INPUT_STATE_DOWN;
    EXPECT_EQ(Play("missing"), 0u);
    EXPECT_EQ(g_input.keyStates[kSomeKey], INPUT_STATE_DOWN);
    EXPECT_EQ(g_input.mouseStates[1], INPUT_STATE_DOWN);
}

}  // namespace
