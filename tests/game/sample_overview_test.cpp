// The sample mission's overview on the test clock: `zintar -m map_01` on the packed sample, one frame a
// second up to 44 s, then a tenth of a second. The timeline's "Overview" (45 s) hands the view to the
// external camera, whose frame simulates nothing; the camera's own list gives it back five seconds
// later, and the player's frame runs again. A restart gives the view back as well.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/frame_view.h"
#include "core/winos.h"
#include "game/view/external_camera.h"
#include "game/game_cvars.h"
#include "game/mission/game_flow.h"
#include "game/game_state.h"
#include "game/game_test_hooks.h"
#include "game/mission/mission_end.h"
#include "gui/screens/gui.h"
#include "gui/gui_test_hooks.h"
#include "platform/test_clock.h"
#include "support/engine_log.h"
#include "support/temp_dir.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace {

constexpr DWORD kClockStart = 1000000;

struct OverviewFrame {
    DWORD missionMs;
    bool external;
};

struct OverviewRecord {
    std::vector<OverviewFrame> frames;
    bool externalAfterSwitch = false;  // the frame after the test switched the camera on
    bool externalAfterRestart = true;  // the frame after the restart
    int restartStep = 0;
};
OverviewRecord g_overview;

constexpr DWORD kEndMs = 53000;

// Called at the start of every game frame: which frame runs now is the flag's answer.
void OverviewFrameHook(bool)
{
    const DWORD mission = GetTickCount() - g_game.frameClock;
    if (mission < kEndMs) {
        g_overview.frames.push_back({mission, ExternalCameraActive()});
        PlatformTestClockAdvance(mission < 44000 ? 1000 : 100);
        return;
    }
    // Then a camera that has the view when the mission restarts.
    switch (g_overview.restartStep++) {
        case 0:
            SwitchToExternalCamera();
            break;
        case 1:
            g_overview.externalAfterSwitch = ExternalCameraActive();
            MissionRestartCommand(nullptr);
            break;
        case 2:
            g_overview.externalAfterRestart = ExternalCameraActive();
            break;
        default:
            g_gui.screenRequested = true;
            break;
    }
    PlatformTestClockAdvance(100);
}

bool QuitFromTheScreen(s32_t* stateWord)
{
    *stateWord = LOOP_QUIT;
    return false;
}

class SampleOverview : public TempDirTest {
protected:
    void SetUp() override
    {
        engine_log::StartFolder();
        TempDirTest::SetUp();
        g_overview = {};
        PlatformTestClockStart(kClockStart);
    }
    void TearDown() override
    {
        PlatformTestClockStop();
        GameSetTestHooks({});
        GuiSetTestFrameHook(nullptr);
        SwitchFromExternalCamera();
        gbthirdperson.SetBool(false);
        g_frameView.sound.playerDead = false;
        TempDirTest::TearDown();
    }
};

TEST_F(SampleOverview, TheExternalCameraHasTheViewFrom45To50SecondsAndARestartEndsIt)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    GameSetTestHooks({-1, nullptr, OverviewFrameHook, nullptr, nullptr});
    GuiSetTestFrameHook(QuitFromTheScreen);
    char commandLine[] = "-m map_01";
    ASSERT_EQ(WinMain(nullptr, nullptr, commandLine, SW_SHOW), 0);

    // The event fires in the frame after 45 s and the camera's list takes the view in the next; its
    // five seconds are counted from there. A frame of slack at each end.
    int external = 0, normalAfter = 0;
    for (const OverviewFrame& frame : g_overview.frames) {
        if (frame.missionMs < 45000 || frame.missionMs > 50400) {
            EXPECT_FALSE(frame.external) << frame.missionMs << " ms";
        } else if (frame.missionMs >= 45300 && frame.missionMs <= 50000) {
            EXPECT_TRUE(frame.external) << frame.missionMs << " ms";
        }
        external += frame.external;
        normalAfter += frame.missionMs > 50400 && !frame.external;
    }
    EXPECT_GE(external, 47);
    EXPECT_GE(normalAfter, 20);
    EXPECT_TRUE(g_overview.externalAfterSwitch);
    EXPECT_FALSE(g_overview.externalAfterRestart);
}

}  // namespace
