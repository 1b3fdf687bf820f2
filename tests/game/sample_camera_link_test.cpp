// The sample mission's intro puts the camera on the jeep for a while: its timeline links the camera
// to the node of the jeep's driver's seat 30 seconds in and takes it off 5 seconds later. The program
// on "-m map_01" with the packed sample, on the test clock (a second a frame, then a tenth from 29 s); the render camera's
// object is looked at in every frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/console/console.h"
#include "core/winos.h"
#include "game/view/camera_link.h"
#include "game/view/external_camera.h"
#include "game/game_state.h"
#include "game/game_test_hooks.h"
#include "gui/screens/gui.h"
#include "gui/gui_test_hooks.h"
#include "map/registry/world_registry.h"
#include "platform/test_clock.h"
#include "platform/test_input.h"
#include "render/camera.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "tools/bfs_pack/bfs_pack.h"
#include "world/objects/graph_obj.h"

namespace {

constexpr DWORD kFrameMs = 100;
constexpr int kLastFrame = 470;      // 47 s: past the unlink and into the overview (from 45 s)
constexpr int kInTheJeepView = 320;  // 32 s

struct LinkRun {
    int frame = 0;  // the last frame's mission time in tenths of a second
    int firstLinked = -1, lastLinked = -1;
    int linkedFrames = 0;
    bool otherNode = false;  // linked to anything but the seat's node
    bool linkedInOverview = false;
    int firstOverview = -1;  // the mission camera's view
    bool seatFound = false;
    bool typed = false;
    std::vector<std::string> console;  // console 0 at the last frame
    int leaveAt = kLastFrame;          // the frame at which "quit -g" is typed
    bool linkedAtTheLeave = false;     // the camera followed a node as the leave began
    bool linkedAfterTheUnload = true;  // and still did once the map's objects were deleted
};
LinkRun g_link;

void Watch(bool present)
{
    if (!present)
        return;
    // Tenths of a second into the mission: a second a frame up to 29 s, then a tenth.
    const DWORD mission = GetTickCount() - g_game.frameClock;
    const int frame = static_cast<int>(mission / 100);
    g_link.frame = frame;
    PlatformTestClockAdvance(mission < 29000 ? 1000 : kFrameMs);
    auto* jeep = dynamic_cast<GraphObj*>(DynObjectFind("jeep"));
    GraphNode* seat = jeep ? jeep->FindChild("driver") : nullptr;
    g_link.seatFound = g_link.seatFound || seat != nullptr;
    if (GraphNode* linked = g_camera.cameraObject) {
        if (g_link.firstLinked < 0)
            g_link.firstLinked = frame;
        g_link.lastLinked = frame;
        ++g_link.linkedFrames;
        g_link.otherNode = g_link.otherNode || linked != seat;
    }
    if (ExternalCameraActive()) {
        if (g_link.firstOverview < 0)
            g_link.firstOverview = frame;
        g_link.linkedInOverview = g_link.linkedInOverview || g_camera.cameraObject != nullptr;
    }
    if (!g_link.typed && frame >= g_link.leaveAt) {
        g_link.typed = true;
        g_link.console = engine_log::ConsoleLines(0);
        ConSetCurrent(0);
        PlatformInjectText("quit -g\r");
    }
    if (frame > g_link.leaveAt + 50)
        g_gui.screenRequested = true;  // the command never arrived: a screen quits
}

void WatchTheLeave(MissionRoad road, int step)
{
    if (road == MISSION_LEAVE && step == 1)
        g_link.linkedAtTheLeave = g_camera.cameraObject != nullptr;
    else if (road == MISSION_LEAVE && step == 5)
        g_link.linkedAfterTheUnload = g_camera.cameraObject != nullptr;
}

bool Quit(s32_t* stateWord)
{
    *stateWord = LOOP_QUIT;
    return false;
}

class SampleCameraLink : public TempDirTest {
protected:
    // The sample mission run until "quit -g" is typed at the frame given.
    void Play(int leaveAt)
    {
        std::string error;
        ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
        std::string config = ReadFileBytes(ZINTAR_TEST_DATA_DIR "/../../data/sample/config.def");
        config += "riwidth = 320\nriheight = 240\n";
        WriteFileBytes("config.def", config);
        g_link.leaveAt = leaveAt;
        PlatformTestClockStart(100000);
        GameSetTestHooks({-1, nullptr, Watch, nullptr, WatchTheLeave});
        GuiSetTestFrameHook(Quit);
        char commandLine[] = "-m map_01";
        EXPECT_EQ(WinMain(nullptr, nullptr, commandLine, SW_SHOW), 0);
        ASSERT_GE(g_link.frame, leaveAt);
    }
    void SetUp() override
    {
        engine_log::StartFolder();
        TempDirTest::SetUp();
        g_link = LinkRun();
        GameUnlinkCamera();
    }
    void TearDown() override
    {
        GameSetTestHooks({});
        GuiSetTestFrameHook(nullptr);
        PlatformTestClockStop();
        GameUnlinkCamera();
        g_link = LinkRun();
        TempDirTest::TearDown();
    }
};

TEST_F(SampleCameraLink, TheIntroLinksTheCameraToTheJeepAtThirtySecondsAndUnlinksItBeforeTheOverview)
{
    Play(kLastFrame);
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(g_link.seatFound);
    // Linked from 30 s to 35 s (a frame either way: the timeline counts from the mission's start,
    // a little before the first frame), to the seat's node only, and not linked again.
    EXPECT_NEAR(g_link.firstLinked, 300, 2);
    EXPECT_NEAR(g_link.lastLinked, 350, 2);
    EXPECT_EQ(g_link.linkedFrames, g_link.lastLinked - g_link.firstLinked + 1);
    EXPECT_FALSE(g_link.otherNode);
    EXPECT_EQ(g_camera.cameraObject, nullptr);
    // The overview after it still takes the view at 45 s, with the camera unlinked.
    EXPECT_NEAR(g_link.firstOverview, 450, 2);
    EXPECT_FALSE(g_link.linkedInOverview);
    // The script's calls found what they named: no line of the jeep or its seat not found.
    bool viewLine = false;
    for (const std::string& line : g_link.console) {
        EXPECT_FALSE(line.find("not found") != std::string::npos && line.find("jeep") != std::string::npos) << line;
        viewLine = viewLine || line.find("Jeep view: the camera on the driver seat.") != std::string::npos;
    }
    EXPECT_TRUE(viewLine);
}

// Left in the middle of the jeep view, the mission gives the view back before its objects go: the
// render camera follows no node of the deleted world.
TEST_F(SampleCameraLink, LeavingInTheJeepViewUnlinksTheCameraBeforeTheObjectsGo)
{
    Play(kInTheJeepView);
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(g_link.linkedAtTheLeave);
    EXPECT_FALSE(g_link.linkedAfterTheUnload);
}

}  // namespace
