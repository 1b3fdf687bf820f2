// The external camera's picture of the sample mission: the camera stands 500 units over the map's
// origin and looks out level, so the horizon runs across the middle of the picture, the sky fills
// what lies above it, and the land, far below the camera, fills what lies below it. The picture is
// read back by the screenshot step at the point where the external frame has drawn it and not yet
// presented it (the normal frame's screenshot step does not run in the external frame), in a child
// process on the test clock (as the mission's golden pictures are). ZINTAR_KEEP_PICTURE=<file> keeps
// the picture as a BMP file to look at.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/winos.h"
#include "game/view/external_camera.h"
#include "game/game_state.h"
#include "game/game_test_hooks.h"
#include "game/view/screenshot.h"
#include "gui/screens/gui.h"
#include "gui/gui_test_hooks.h"
#include "platform/test_clock.h"
#include "support/files.h"
#include "support/run_program.h"
#include "support/screenshot_bmp.h"
#include "support/temp_dir.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace fs = std::filesystem;

namespace {

int g_frames = 0;
bool g_taken = false;

// A few frames of the player's own view, then the external camera for one frame and back to the
// player's view and the quitting screen. The mission start fades in from black over a second: the
// test clock, which stands still between frames, is moved past it first.
void SwitchOnceAndQuit(bool)
{
    const int frame = g_frames++;
    if (frame == 3) {
        PlatformTestClockAdvance(1500);
        SwitchToExternalCamera();
    } else if (g_taken) {
        SwitchFromExternalCamera();
        g_gui.screenRequested = true;
    }
}

void ShootTheDrawnPicture()
{
    if (!g_taken)
        GameTakeScreenshot();
    g_taken = true;
}

bool QuitFromTheScreen(s32_t* stateWord)
{
    *stateWord = LOOP_QUIT;
    return false;
}

int TakeExternalPicture()
{
    PlatformTestClockStart(1000);
    GameSetTestHooks({-1, nullptr, SwitchOnceAndQuit, nullptr, nullptr, ShootTheDrawnPicture});
    GuiSetTestFrameHook(QuitFromTheScreen);
    char commandLine[] = "-m map_01";
    return WinMain(nullptr, nullptr, commandLine, SW_SHOW);
}

const bool g_externalPictureJob = RegisterChildJob("external_camera_picture", TakeExternalPicture);

using ExternalCameraPicture = TempDirTest;

TEST_F(ExternalCameraPicture, ShowsTheSkyAboveTheHorizonAndTheLandBelowIt)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    ASSERT_TRUE(WriteFileBytes("config.def",
                               "riwidth = 400\nriheight = 300\nrbwindowed = true\ngb_showgui = false\n"
                               "gs_curprimaryweapon =\ngs_grenadeweapon =\n"));
    const ProgramResult run = RunChildJob("external_camera_picture", TempPath(), {{"ALSOFT_DRIVERS", "null"}});
    ASSERT_TRUE(run.exited);
    ASSERT_EQ(run.exitCode, 0);
    const std::vector<fs::path> shots = ScreenshotFiles();
    ASSERT_EQ(shots.size(), 1u);
    ScreenshotBmp picture;
    ASSERT_TRUE(picture.Read(shots[0]));
    ASSERT_EQ(picture.width, 400);
    ASSERT_EQ(picture.height, 300);
    if (const char* keep = std::getenv("ZINTAR_KEEP_PICTURE"))
        WriteFileBytes(keep, picture.bytes);

    // Where the land must end: the view reaches "mfrange" x 10 units (the sample map's 200) along
    // its direction, and its field of view, 1.5707964 across the picture's width, is that over the
    // aspect upwards. The farthest land, 500 units below the level camera, therefore lies
    // atan(500 / 2000) below the horizon, which is the middle row.
    constexpr double kHeight = 500.0, kReach = 2000.0;
    const double halfUp = std::tan(1.5707964 / (400.0 / 300.0) / 2.0);
    const int horizon = picture.height / 2;
    const int landEdge = horizon + int(std::lround(kHeight / kReach / halfUp * picture.height / 2.0));
    ASSERT_GT(landEdge, horizon + 40);
    ASSERT_LT(landEdge, picture.height - 40);

    // The share of a band of rows, in percent, whose pixels pass the test.
    const auto percentOfRows = [&](int top, int bottom, auto test) {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < picture.width; ++x)
                count += test(picture.Pixel(x, y));
        return count * 100 / ((bottom - top) * picture.width);
    };
    // Sky and clouds are blue or white, never more red or green than blue; the land is green.
    const auto skyOrCloud = [](const std::array<int, 3>& p) { return p[2] >= p[0] && p[2] >= p[1]; };
    const auto grass = [](const std::array<int, 3>& p) { return p[1] > p[0] + 4 && p[1] > p[2] + 4; };

    // The upper third is sky: nothing of the land rises that high seen from 500 units up.
    EXPECT_EQ(percentOfRows(0, picture.height / 3, skyOrCloud), 100);
    // Below the horizon and above the land's far edge the land does not reach.
    EXPECT_EQ(percentOfRows(horizon + 5, landEdge - 6, grass), 0);
    // From below its far edge down to the bottom of the picture the land fills the view.
    EXPECT_GE(percentOfRows(landEdge + 6, picture.height, grass), 85);
}

}  // namespace
