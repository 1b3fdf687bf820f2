// The screen grab on the render core's test window without a map: the path's segments and their
// 40 ms frames, one screenshot per frame unless previewing, the console lines, the roll and its
// suppression, and the Hermite flight of the view.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/console/console.h"
#include "core/frame_view.h"
#include "game/mission/game_flow.h"
#include "game/player/player_control.h"
#include "game/player/player_state.h"
#include "game/view/screen_grab.h"
#include "platform/test_clock.h"
#include "render/render_cvars.h"
#include "support/render_test_support.h"
#include "support/temp_dir.h"

namespace {

std::string LineFromEnd(int back)
{
    const char* line = ConLines(CON_MESSAGE_CONSOLE)[ConLineCapacity(CON_MESSAGE_CONSOLE) - 1 - back];
    return line ? line : "";
}

int ScreenshotFileCount()
{
    if (!std::filesystem::is_directory("screenshots"))
        return 0;
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("screenshots"))
        ++count;
    return count;
}

class ScreenGrab : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        PlatformTestClockStart(10000);
        ConStartup();
        m_windowed = rbwindowed.Bool();
        rbwindowed.SetBool(true);
        CameraPathClear();
    }
    void TearDown() override
    {
        CameraPathClear();
        GameSetRoll(0.0f);
        GameSetViewTilt(0.0f);
        rbwindowed.SetBool(m_windowed);
        ConShutdown();
        PlatformTestClockStop();
        RenderCore::TearDown();
    }
    // Points along x, 10 apart, each with the roll and duration given.
    void MakePath(int points, s32_t durationMs, float roll = 0.0f)
    {
        for (int i = 0; i < points; ++i) {
            CameraPathPoint point;
            point.position[0] = 10.0f * static_cast<float>(i);
            point.position[1] = 100.0f + static_cast<float>(i * i);
            point.roll = roll;
            point.durationMs = durationMs;
            ASSERT_TRUE(CameraPathAdd(point));
        }
    }

    TempDir m_folder;
    bool m_windowed = true;
};

TEST_F(ScreenGrab, APathOfThreePointsGrabsNothing)
{
    MakePath(3, 2000);
    EXPECT_EQ(GrabSequenceCommand(""), 0);
    EXPECT_EQ(LineFromEnd(0), "Grab sequence ended, 0 screens grabbed.\n");
    EXPECT_EQ(LineFromEnd(1), "Grab sequence started...\n");
    EXPECT_EQ(ScreenshotFileCount(), 0);
    EXPECT_FALSE(ScreenGrabRunning());
}

// Five points fly two segments (from the third and the fourth point); 2000 ms give 50 frames, and a
// segment of 0 ms is skipped. A preview flies the same path without files.
TEST_F(ScreenGrab, TwoSecondsGiveFiftyFramesAndFiftyFilesUnlessPreviewing)
{
    for (int i = 0; i < 5; ++i) {
        CameraPathPoint point;
        point.position[0] = 10.0f * static_cast<float>(i);
        point.durationMs = i == 3 ? 0 : 2000;
        CameraPathAdd(point);
    }
    EXPECT_EQ(GrabSequenceCommand("p"), 0);
    EXPECT_EQ(LineFromEnd(0), "Grab sequence ended, 50 screens grabbed.\n");
    EXPECT_EQ(LineFromEnd(1), "frames_c: 0\n");
    EXPECT_EQ(LineFromEnd(2), "Grabbed screen #0.\n");
    EXPECT_EQ(LineFromEnd(3), "frames_c: 50\n");
    EXPECT_EQ(ScreenshotFileCount(), 0);
    EXPECT_FLOAT_EQ(g_frameView.frameTime, 0.04f);

    EXPECT_EQ(GrabSequenceCommand(""), 0);
    EXPECT_EQ(LineFromEnd(0), "Grab sequence ended, 50 screens grabbed.\n");
    EXPECT_EQ(ScreenshotFileCount(), 50);
}

// Only an argument that ends in "noroll" keeps the view level; otherwise the roll follows the points.
TEST_F(ScreenGrab, OnlyAnArgumentEndingInNoRollSuppressesTheRoll)
{
    MakePath(4, 200, 0.25f);
    const struct {
        const char* argument;
        bool level;
    } cases[] = {{"pnoroll", true}, {"p noroll", true}, {"pnorollx", false}, {"pron", false}, {"pl", false}};
    for (const auto& c : cases) {
        GameSetRoll(1.0f);
        GrabSequenceCommand(c.argument);
        EXPECT_FLOAT_EQ(GameGetRoll(), c.level ? 0.0f : 0.25f) << c.argument;
    }
}

// The curve runs from the segment's first point to its second with the tangents of the neighbours, and
// the view stands on it frame by frame: after the flight, on the last frame's point.
TEST_F(ScreenGrab, TheViewFollowsTheHermiteCurve)
{
    const float p0[3] = {0, 0, 0}, p1[3] = {10, 0, 0}, p2[3] = {20, 10, 0}, p3[3] = {40, 10, 0};
    const struct {
        float t;
        float expected[3];
    } cases[] = {{0.0f, {10, 0, 0}}, {1.0f, {20, 10, 0}}, {0.5f, {13.75f, 5.0f, 0.0f}}};
    for (const auto& c : cases) {
        float out[3];
        GrabHermite(p0, p1, p2, p3, c.t, out);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(out[i], c.expected[i], 1e-4f) << "t " << c.t << " axis " << i;
    }
    MakePath(4, 200);  // one segment of 5 frames, from point 2 to point 3
    GrabSequenceCommand("p");
    float p[4][3];
    for (int i = 0; i < 4; ++i) {
        p[i][0] = 10.0f * static_cast<float>(i);
        p[i][1] = 100.0f + static_cast<float>(i * i);
        p[i][2] = 0.0f;
    }
    float last[3];
    GrabHermite(p[1], p[2], p[3], p[0], 4.0f / 5.0f, last);
    const float* at = GameGetPlayerPos();
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(at[i], last[i], 1e-3f) << i;
}

}  // namespace
