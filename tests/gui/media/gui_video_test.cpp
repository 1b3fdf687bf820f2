// Video controls drawn on a 160 x 120 display with the sample's intro video (100 frames at 40 ms;
// the top-left 8 x 8 pixels of frame n hold red 2 n) on the test clock: the loop by frame arithmetic,
// and "Video error!" in red where there is no video.
#include <gtest/gtest.h>

#include <string>

#include "core/video/video.h"
#include "gui/media/gui_video.h"
#include "platform/test_clock.h"
#include "tests/gui/screen_scripts/control_script_support.h"
#include "tests/gui/screens/gui_draw_support.h"

using namespace gui_test;

namespace {

constexpr DWORD kStart = 50000;

class Videos : public GuiDraw {
protected:
    void SetUp() override
    {
        GuiDraw::SetUp();
        ASSERT_TRUE(WriteFileBytes("component/gui/intro.avi",
                                   ReadFileBytes(ZINTAR_TEST_DATA_DIR "/../../data/sample/component/gui/intro.avi")));
        VideoInit();
        PlatformTestClockStart(kStart);
    }
    void TearDown() override
    {
        PlatformTestClockStop();
        DestroyScriptCache();
        GuiDraw::TearDown();
        VideoShutdown();
    }
    GuiVideo* Build(const std::string& keys)
    {
        GuiScreen* screen = BuildScreens("<MENU>\n<VIDEO>\nproperty name clip;\n" + keys + "</VIDEO>\n</MENU>\n");
        return screen ? dynamic_cast<GuiVideo*>(screen->FindControl("clip")) : nullptr;
    }
    // Draws at that many milliseconds after the start; the frame the corner's red names.
    int FrameAt(GuiVideo* video, DWORD ms)
    {
        PlatformTestClockStart(kStart + ms);
        NextFrame();
        video->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        const DWORD red = (Read().At(1, 1) >> 16) & 0xFF;
        return static_cast<int>((red + 1) / 2);
    }
};

TEST_F(Videos, AHundredFramesOf40MsShowFrameZeroAgainAtFourSeconds)
{
    GuiVideo* video =
        Build("property coord 0 0 1 1;\nproperty video intro;\nproperty opacity 1;\nproperty zindex 2;\n");
    ASSERT_NE(video, nullptr);
    ASSERT_NE(video->player, nullptr);
    EXPECT_EQ(video->player->frameCount, 100);
    EXPECT_EQ(video->player->msPerFrame, 40u);
    EXPECT_EQ(video->GetZIndex(), 2);

    struct Step {
        DWORD ms;
        int frame;
    };
    const Step steps[] = {{0, 0}, {39, 0}, {40, 1}, {2000, 50}, {3999, 99}, {4000, 0}, {4040, 1}, {8000, 0}};
    for (const Step& step : steps) {
        EXPECT_EQ(FrameAt(video, step.ms), step.frame) << step.ms << " ms";
        EXPECT_EQ(video->shownFrame, step.frame) << step.ms << " ms";
    }
    // The picture is upright: the corner block is at the top-left, the gradient's light end low.
    NextFrame();
    video->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    const render_test::Pixels pixels = Read();
    EXPECT_EQ(pixels.At(1, 1) & 0xFFFF, 0u) << "the block has no green or blue";
    EXPECT_NE(pixels.At(1, 118) & 0xFF00, 0u) << "the bottom-left corner is the gradient";
}

TEST_F(Videos, AVideoWithoutAVideoSaysVideoErrorInRedAtItsTopLeft)
{
    for (const char* keys : {"", "property video no_such_video;\n"}) {
        GuiVideo* video = Build(std::string("property coord 0.25 0.5 0.5 0.25;\n") + keys);
        ASSERT_NE(video, nullptr);
        EXPECT_EQ(video->player, nullptr);
        NextFrame();
        video->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        const render_test::Pixels pixels = Read();
        // Twelve cells of 10 x 10 from (40, 60): the red ink lies in that row of cells only.
        int inside = 0, outside = 0;
        for (UINT y = 0; y < pixels.height; ++y) {
            for (UINT x = 0; x < pixels.width; ++x) {
                const DWORD p = pixels.At(x, y);
                if (p == kBlack)
                    continue;
                const bool inCells = x >= 40 && x < 160 && y >= 60 && y < 70;
                EXPECT_EQ(p, 0xFFFF0000u) << x << "," << y;
                (inCells ? inside : outside) += 1;
            }
        }
        EXPECT_GT(inside, 60) << keys;
        EXPECT_EQ(outside, 0) << keys;
        bool firstCellInked = false;
        for (UINT y = 60; y < 70; ++y)
            for (UINT x = 40; x < 50; ++x)
                firstCellInked = firstCellInked || pixels.At(x, y) != kBlack;
        EXPECT_TRUE(firstCellInked) << "\"V\" in the first cell";
        GuiShutdown();
    }
}

}  // namespace
