// The sample mission's pictures held against golden screenshots: the frame the program draws first
// (sky box, clouds, land, grass), the same view with the shadow volumes and the rain on, the
// satellite view straight down on the map's centre, the first view in wire frame (cleared black), the
// first view with the player carrying the sample rifle, drawn in the lower right by the weapon view, and
// the first view again after a display-mode change in the running mission (what lives on the device is
// made anew there and must draw as before). Each picture is taken by a child process of its own on the
// test clock, so that the clouds, the rain, the water and the wires stand still and the pictures repeat
// exactly (the water's phase and the wires' sway carry over from one mission to the next in one
// process); a loose "config.def" draws at 400 x 300 to keep the golden files small.
// The render paths change for speed, never for looks: every pixel stays within kChannelTolerance of
// the golden picture in each channel, except at most kLoosePixelsPerMillion pixels per million, whose
// channels stay within kLooseTolerance (a rasteriser may round an edge or a blend a unit apart).
// Set ZINTAR_UPDATE_GOLDEN=1 to write the golden pictures anew into tests/data/game/ (then commit them);
// ZINTAR_KEEP_PICTURE=<prefix> keeps each picture taken as <prefix><n>.bmp to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/console/console_var.h"
#include "core/winos.h"
#include "game/game_state.h"
#include "game/game_test_hooks.h"
#include "game/commands/mission_commands.h"
#include "game/view/satellite_view.h"
#include "gui/screens/gui.h"
#include "gui/gui_test_hooks.h"
#include "map/terrain/map_state.h"
#include "platform/direct_input.h"
#include "platform/test_clock.h"
#include "platform/test_input.h"
#include "support/files.h"
#include "support/screenshot_bmp.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace fs = std::filesystem;

namespace {

constexpr int kChannelTolerance = 2;
constexpr int kLooseTolerance = 40;
constexpr int kLoosePixelsPerMillion = 500;

using Picture = ScreenshotBmp;

struct Difference {
    int loose = 0;  // pixels past kChannelTolerance
    int worst = 0;  // the largest channel difference
    int worstX = -1, worstY = -1;
};

Difference Compare(const Picture& a, const Picture& b)
{
    Difference d;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            int most = 0;
            for (int c = 0; c < 3; ++c)
                most = std::max(most, std::abs(a.Channel(x, y, c) - b.Channel(x, y, c)));
            d.loose += most > kChannelTolerance;
            if (most > d.worst) {
                d.worst = most;
                d.worstX = x;
                d.worstY = a.height - 1 - y;
            }
        }
    return d;
}

int g_frames = 0;
enum class View { First, Weather, Satellite, Wireframe, ModeChanged };
View g_view = View::First;

// The satellite view over the map's centre, held there: the pan stands still whatever the cursor.
void LookFromTheSatellite()
{
    const Vector3 low = g_map.bounds[0], high = g_map.bounds[1];
    g_satelliteView.minX = low.x;
    g_satelliteView.maxX = high.x;
    g_satelliteView.minZ = low.z;
    g_satelliteView.maxZ = high.z;
    g_satelliteView.centreX = (low.x + high.x) * 0.5f;
    g_satelliteView.centreZ = (low.z + high.z) * 0.5f;
    g_satelliteView.panSpeedSet = 1;
    g_satelliteView.panSpeed = 0.0f;
    g_game.satelliteView = 1;
}

// The view asked for from the first frame, F12 over frames 2 and 3, then the quitting screen.
void ShootOnce(bool)
{
    const int frame = g_frames++;
    if (frame == 0 && g_view == View::Weather) {
        FindCVar("rbshadows")->SetBool(true);
        FindCVar("rbrain")->SetBool(true);
    } else if (frame == 0 && g_view == View::Satellite) {
        LookFromTheSatellite();
    } else if (frame == 0 && g_view == View::Wireframe) {
        FindCVar("rbwireframe")->SetBool(true);
    } else if (frame == 1 && g_view == View::ModeChanged) {
        // The same size again: the device, its buffers and every texture are made anew, and the
        // picture must not tell.
        GameSetMode("400 300 32");
    } else if (frame == 2) {
        PlatformInjectKey(DIK_F12, true);
    } else if (frame == 3) {
        PlatformInjectKey(DIK_F12, false);
    } else if (frame >= 6) {
        g_gui.screenRequested = true;
    }
}

bool QuitFromTheScreen(s32_t* stateWord)
{
    *stateWord = LOOP_QUIT;
    return false;
}

// The child's job: the mission run on the test clock in the working folder, which holds the packed
// sample data and the loose "config.def"; the screenshot lands in "screenshots".
int TakePicture()
{
    PlatformTestClockStart(1000);
    GameSetTestHooks({-1, nullptr, ShootOnce});
    GuiSetTestFrameHook(QuitFromTheScreen);
    char commandLine[] = "-m map_01";
    return WinMain(nullptr, nullptr, commandLine, SW_SHOW);
}

int TakeFirstFrame()
{
    return TakePicture();
}

int TakeWeatherFrame()
{
    g_view = View::Weather;
    return TakePicture();
}

int TakeSatelliteFrame()
{
    g_view = View::Satellite;
    return TakePicture();
}

int TakeWireframeFrame()
{
    g_view = View::Wireframe;
    return TakePicture();
}

int TakeModeChangedFrame()
{
    g_view = View::ModeChanged;
    return TakePicture();
}

const bool g_firstFrameJob = RegisterChildJob("mission_picture_first_frame", TakeFirstFrame);
const bool g_weatherFrameJob = RegisterChildJob("mission_picture_weather", TakeWeatherFrame);
const bool g_satelliteFrameJob = RegisterChildJob("mission_picture_satellite", TakeSatelliteFrame);
const bool g_wireframeFrameJob = RegisterChildJob("mission_picture_wireframe", TakeWireframeFrame);
const bool g_modeChangedFrameJob = RegisterChildJob("mission_picture_mode_changed", TakeModeChangedFrame);

// The share of pixels, in percent, whose channels are all within kChannelTolerance of the colour.
int PercentOf(const Picture& picture, int r, int g, int b)
{
    int count = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            count += std::abs(picture.Channel(x, y, 0) - r) <= kChannelTolerance &&
                     std::abs(picture.Channel(x, y, 1) - g) <= kChannelTolerance &&
                     std::abs(picture.Channel(x, y, 2) - b) <= kChannelTolerance;
    return count * 100 / (picture.width * picture.height);
}

struct Case {
    const char* golden;  // under tests/data/game/
    const char* job;
    const char* name;
    int blackPercentAtLeast;  // the wire frame's background; 0: no demand
    int blackPercentAtMost;   // the satellite view sees land in every corner; 100: no demand
    const char* config = "";  // lines added to the loose "config.def"
    // A golden picture of the same view without the player's weapon: the picture differs from it
    // only in its lower right quarter, where the first-person rifle lies, and differs there. Null: no demand.
    const char* sameOutsideLowerRightOf = nullptr;
    // A golden picture of the same view without the HUD: the HUD covers only its own places, and at
    // least this share of the pixels, in percent, stays as in that picture. Null: no demand.
    const char* mostlyAs = nullptr;
    int mostlyPercent = 0;
};

class MissionPicture : public TempDirTest, public ::testing::WithParamInterface<Case> {};

TEST_P(MissionPicture, StaysTheGoldenPicture)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    // The HUD's layers stay off unless the case turns them on: these pictures are of the world and
    // the weapon view (the GUI's own tests look at its screens). The player carries nothing unless the case says so (the sample
    // knows the default weapons' names).
    ASSERT_TRUE(WriteFileBytes("config.def", std::string("riwidth = 400\nriheight = 300\nrbwindowed = true\n"
                                                         "gb_showgui = false\n"
                                                         "gs_curprimaryweapon =\ngs_grenadeweapon =\n") +
                                                 GetParam().config));
    // The mission's own weapon choice (its "mission.wpn", read by the direct start's briefing) would
    // arm the player: a loose empty one in its place leaves the choice to the lines above.
    fs::create_directories("mission/map_01");
    ASSERT_TRUE(WriteFileBytes("mission/map_01/mission.wpn", ""));
    const ProgramResult run = RunChildJob(GetParam().job, TempPath(), {{"ALSOFT_DRIVERS", "null"}});
    ASSERT_TRUE(run.exited);
    ASSERT_EQ(run.exitCode, 0);

    std::vector<fs::path> shots;
    if (fs::exists("screenshots"))
        for (const fs::directory_entry& entry : fs::directory_iterator("screenshots"))
            shots.push_back(entry.path());
    ASSERT_EQ(shots.size(), 1u);
    Picture picture;
    ASSERT_TRUE(picture.Read(shots[0]));
    EXPECT_EQ(picture.width, 400);
    EXPECT_EQ(picture.height, 300);
    const int black = PercentOf(picture, 0, 0, 0);
    EXPECT_GE(black, GetParam().blackPercentAtLeast);
    EXPECT_LE(black, GetParam().blackPercentAtMost);

    const std::string golden = std::string(ZINTAR_TEST_DATA_DIR "/game/") + GetParam().golden;
    static int kept = 0;
    if (const char* keep = std::getenv("ZINTAR_KEEP_PICTURE"))
        WriteFileBytes(std::string(keep) + std::to_string(kept++) + ".bmp", picture.bytes);
    if (std::getenv("ZINTAR_UPDATE_GOLDEN")) {
        fs::create_directories(fs::path(golden).parent_path());
        ASSERT_TRUE(WriteFileBytes(golden, picture.bytes));
    }
    Picture expected;
    ASSERT_TRUE(expected.Read(golden)) << golden << " missing: run with ZINTAR_UPDATE_GOLDEN=1";
    ASSERT_EQ(expected.width, picture.width);
    ASSERT_EQ(expected.height, picture.height);
    const Difference d = Compare(picture, expected);
    EXPECT_LE(d.worst, kLooseTolerance) << "at " << d.worstX << ", " << d.worstY << " (from the top left)";
    EXPECT_LE(int64_t(d.loose) * 1000000, int64_t(kLoosePixelsPerMillion) * picture.width * picture.height)
        << d.loose << " pixels past " << kChannelTolerance << "; worst " << d.worst << " at " << d.worstX << ", "
        << d.worstY;

    if (const char* bare = GetParam().sameOutsideLowerRightOf) {
        Picture without;
        ASSERT_TRUE(without.Read(std::string(ZINTAR_TEST_DATA_DIR "/game/") + bare));
        int inside = 0, outside = 0;
        for (int y = 0; y < picture.height; ++y)  // rows from the bottom
            for (int x = 0; x < picture.width; ++x) {
                int most = 0;
                for (int c = 0; c < 3; ++c)
                    most = std::max(most, std::abs(picture.Channel(x, y, c) - without.Channel(x, y, c)));
                if (most > kLooseTolerance)
                    ++(x >= picture.width / 2 && y < picture.height / 2 ? inside : outside);
            }
        EXPECT_EQ(outside, 0);
        EXPECT_GT(inside * 20, picture.width * picture.height / 4);  // the rifle fills 5% of its quarter or more
    }
    if (const char* bare = GetParam().mostlyAs) {
        Picture without;
        ASSERT_TRUE(without.Read(std::string(ZINTAR_TEST_DATA_DIR "/game/") + bare));
        int same = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                int most = 0;
                for (int c = 0; c < 3; ++c)
                    most = std::max(most, std::abs(picture.Channel(x, y, c) - without.Channel(x, y, c)));
                same += most <= kLooseTolerance;
            }
        EXPECT_GE(same * 100, GetParam().mostlyPercent * picture.width * picture.height)
            << same << " of " << picture.width * picture.height << " pixels as in " << bare;
    }
}

INSTANTIATE_TEST_SUITE_P(
    SampleMission, MissionPicture,
    ::testing::Values(
        Case{"sample_mission_first_frame.bmp", "mission_picture_first_frame", "FirstFrame", 0, 100},
        Case{"sample_mission_shadows_rain.bmp", "mission_picture_weather", "ShadowsRainAndVegetation", 0, 100},
        Case{"sample_mission_satellite.bmp", "mission_picture_satellite", "SatelliteViewFromAbove", 0, 1},
        // With the HUD on, the land still fills the view: the compass strip, the marker marks and the
        // layers take their own places and cover nothing else.
        Case{"sample_mission_satellite_hud.bmp", "mission_picture_satellite", "SatelliteViewWithTheHud", 0, 1,
             "gb_showgui = true\n", nullptr, "sample_mission_satellite.bmp", 85},
        Case{"sample_mission_wireframe.bmp", "mission_picture_wireframe", "WireframeClearsBlack", 30, 100},
        Case{"sample_mission_first_person_rifle.bmp", "mission_picture_first_frame", "FirstPersonRifle", 0, 100,
             "gs_curprimaryweapon = carried_rifle\n", "sample_mission_first_frame.bmp"},
        Case{"sample_mission_first_frame.bmp", "mission_picture_mode_changed", "FirstFrameAfterTheModeChange", 0, 100},
        // Each land layer drawn once with its lightmap and fog keeps the picture of the passes.
        Case{"sample_mission_satellite.bmp", "mission_picture_satellite", "SatelliteViewWithTheLandInOneDraw", 0, 1,
             "rbtexunits = 8\n"}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

}  // namespace
