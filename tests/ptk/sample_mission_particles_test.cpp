// The program on the sample mission with the particle plug-in in its "plugins" folder: the smoke
// column and the jeep's trail hand particle records to the frame from the start; the ground's hit
// effect, as a shot at the ground starts it, adds the impact's streaks; and a screenshot with the
// smoke column differs from one taken after the particles were reset, above the hut where it stands.
// The mission runs in a child process of its own, so that what earlier tests of the program left behind
// (the clock, the water's and the wires' phases) cannot change its pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/console/console_var.h"
#include "core/plugins/plugin_api.h"
#include "core/log.h"
#include "core/winos.h"
#include "game/mission/game_flow.h"
#include "game/game_test_hooks.h"
#include "gui/screens/gui.h"
#include "gui/gui_test_hooks.h"
#include "platform/test_clock.h"
#include "platform/test_input.h"
#include "map/materials/material.h"
#include "map/materials/material_table.h"
#include "scene/plugin_bridges/particle_effects.h"
#include "scene/plugin_bridges/particle_host.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/screenshot_bmp.h"
#include "support/run_program.h"
#include "support/keep_var.h"
#include "support/temp_dir.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace fs = std::filesystem;

namespace {

struct Seen {
    int frames = 0;
    int recordsAtStart = 0;  // the records of the frames before the shot, at most
    int streaksAfterShot = 0;
    int groundEffectNamed = 0;  // the ground's hit effect is the sample's impact
};
Seen g_seen;

constexpr int kShotFrame = 65;
// The screenshot key of the sample's input.def (F12 in the keyboard's scan-code numbering).
constexpr int kScreenshotKey = 0x58;

void CountRecords(int frame)
{
    const s32_t count = ParticleInfoCount();
    if (frame < kShotFrame)
        g_seen.recordsAtStart = std::max(g_seen.recordsAtStart, static_cast<int>(count));
    for (s32_t i = 0; i < count && frame > kShotFrame; ++i) {
        const auto* info = static_cast<const ParticleInfo*>(ParticleInfoAt(i));
        g_seen.streaksAfterShot += info->kind == PARTICLE_STRETCHED;
    }
}

// A screenshot with the particles and one without them, then a look down at the ground and a shot.
void ShootAndShoot(bool)
{
    // Every frame lasts 100 ms of the test clock (the longest game frame), however fast the machine
    // draws: the column has risen for four seconds when the first screenshot is taken.
    PlatformTestClockAdvance(100);
    const int frame = g_seen.frames++;
    CountRecords(frame);
    if (frame == 40 || frame == 46)
        PlatformInjectKey(kScreenshotKey, true);
    else if (frame == 41 || frame == 47)
        PlatformInjectKey(kScreenshotKey, false);
    else if (frame == 43)
        ParticlesReset();  // the smoke column, started once by its object, ends here
    else if (frame == kShotFrame) {
        // The ground's hit effect started directly, where a projectile's hit starts it, on the ground
        // ahead of the view, along the ground's normal (the player's real shot has a test of its own).
        const Material* ground = MaterialFind("ground");
        if (!ground)
            return;
        g_seen.groundEffectNamed = std::string(ground->hit.effect) == "impact_ground";
        ParticleSpawnEffect(ground->hit.effect, {0.0f, 25.0f, 60.0f}, {0.0f, 1.0f, 0.0f});
    } else if (frame >= kShotFrame + 30)
        g_gui.screenRequested = true;
}

bool QuitFromTheScreen(s32_t* stateWord)
{
    *stateWord = LOOP_QUIT;
    return false;
}

using Shot = ScreenshotBmp;

// The child's job: the mission in the working folder, which holds the packed sample data and the
// plug-in; what it saw goes to "seen.txt", the screenshots to "screenshots".
int RunTheMission()
{
    g_seen = Seen();
    PlatformTestClockStart(1000);
    GameSetTestHooks({-1, nullptr, ShootAndShoot});
    GuiSetTestFrameHook(QuitFromTheScreen);
    char commandLine[] = "-m map_01";
    const int result = WinMain(nullptr, nullptr, commandLine, SW_SHOW);
    const std::string seen = std::to_string(g_seen.frames) + " " + std::to_string(g_seen.recordsAtStart) + " " +
                             std::to_string(g_seen.streaksAfterShot) + " " + std::to_string(g_seen.groundEffectNamed);
    return WriteFileBytes("seen.txt", seen) ? result : 90;
}

const bool g_missionJob = RegisterChildJob("ptk_sample_mission", RunTheMission);

using PtkSampleMission = TempDirTest;

TEST_F(PtkSampleMission, ParticlesReachTheFrameAndTheScreen)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    fs::create_directories("plugins");
    fs::copy_file(fs::path(ZINTAR_BIN_DIR) / "plugins" / "ptk.plg", "plugins/ptk.plg");
    const ProgramResult run = RunChildJob("ptk_sample_mission", TempPath(), {{"ALSOFT_DRIVERS", "null"}});
    ASSERT_TRUE(run.exited);
    ASSERT_EQ(run.exitCode, 0);
    Seen seen;
    std::istringstream words(ReadFileBytes("seen.txt"));
    words >> seen.frames >> seen.recordsAtStart >> seen.streaksAfterShot >> seen.groundEffectNamed;
    ASSERT_GT(seen.frames, kShotFrame + 30);
    EXPECT_GT(seen.recordsAtStart, 0);  // the smoke column and the jeep's trail
    EXPECT_EQ(seen.groundEffectNamed, 1);
    EXPECT_GT(seen.streaksAfterShot, 0);

    const std::vector<fs::path> shots = ScreenshotFiles();
    ASSERT_EQ(shots.size(), 2u);
    Shot with, without;
    ASSERT_TRUE(with.Read(shots[0]));
    ASSERT_TRUE(without.Read(shots[1]));
    ASSERT_EQ(with.width, without.width);
    ASSERT_EQ(with.height, without.height);
    // The column rises in the upper left quarter of the view (elsewhere the jeep's trail and the
    // water's shimmer change too).
    int column = 0;
    for (int y = 0; y < with.height; ++y)
        for (int x = 0; x < with.width; ++x) {
            const std::array<int, 3> a = with.Pixel(x, y), b = without.Pixel(x, y);
            const bool changed = std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 30;
            column += changed && x < with.width / 2 && y < with.height / 2;
        }
    EXPECT_GT(column, with.width * with.height / 100);
}

}  // namespace
