// The player of the sample mission fires the carried rifle with the fire button, the particle plug-in
// in the program's "plugins" folder: the shot starts the rifle's muzzle flash at the player's weapon,
// the bullet hits the land where the view points and the ground's hit effect adds its streaks there,
// and a screenshot after the shot differs from one taken just before it round the middle of the view.
// The mission runs in a child process on the test clock, so its pictures are the same on any machine.
//
// The flash starts at the barrel's end (the shot animation's particle offset in the weapon's model
// frame), not at the eye: its nearest spark is farther from the eye than the rifle's stock.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/frame_view.h"
#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "core/plugins/plugin_api.h"
#include "core/winos.h"
#include "game/mission/game_flow.h"
#include "game/game_test_hooks.h"
#include "game/view/player_view.h"
#include "gui/screens/gui.h"
#include "gui/gui_test_hooks.h"
#include "platform/test_clock.h"
#include "platform/test_input.h"
#include "scene/plugin_bridges/particle_host.h"
#include "support/files.h"
#include "support/run_program.h"
#include "support/screenshot_bmp.h"
#include "support/temp_dir.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace fs = std::filesystem;

namespace {

// The frames of the run: long ones while the mission settles and the view is turned down to the
// ground, short ones around the shot so that the flash (60 ms a spark) is seen in flight.
constexpr int kAimFrame = 20;
constexpr int kShortFramesFrom = 30;
constexpr int kScreenshotBefore = 40;
constexpr int kFireFrame = 50;
// The screenshot with the impact is asked for this many frames after the shot's.
constexpr int kScreenshotAfterShot = 2;
// The frames after the shot whose records are counted.
constexpr int kCountedFrames = 3;
constexpr int kLastFrame = 70;
constexpr DWORD kLongFrameMs = 100;
constexpr DWORD kShortFrameMs = 20;
// The view turns round to the open land behind the start view (yaw half a turn) and looks this far
// below the horizon (radians; a larger pitch looks further down): the bullet hits the land about
// seven metres away, at the middle of the view.
constexpr float kYawBack = 3.14159265f;
constexpr float kPitchDown = 0.31f;
// The screenshot key of the sample's input.def (F12 in the keyboard's scan-code numbering).
constexpr int kScreenshotKey = 0x58;
// The flash's sparks start at the muzzle, about 7.6 units from the eye (the rifle's barrel ends 7.5 out,
// 0.9 right and 0.85 below the line of sight), and fly a little way along the shot.
constexpr float kFlashReach = 12.0f;

struct Seen {
    int frames = 0;
    int roundsBefore = -1;
    int shotFrame = -1;                        // the frame whose player control fired, once seen
    int flashesBefore = 0, streaksBefore = 0;  // before the shot: the effects' records must not be there
    int flashesAfter = 0;                      // flash sparks within reach of the player's eye
    float flashNearest = 1e9f;                 // the nearest of them to the eye
    int streaksAfter = 0;                      // the ground's hit effect's streaks
    float streakDistance = 0.0f;               // their mean distance from the eye, in the ground's plane
    float streakDrop = 0.0f;                   // and how far below the eye they are
};
Seen g_seen;
Vector3 g_eye = {};

// The flash's sparks: facing particles in its colour (1.0, 0.85, 0.5), whatever their alpha.
bool IsFlashSpark(const ParticleInfo& info)
{
    const int r = (info.colour >> 16) & 0xFF, g = (info.colour >> 8) & 0xFF, b = info.colour & 0xFF;
    return info.kind == PARTICLE_FACING && r == 255 && std::abs(g - 217) <= 1 && std::abs(b - 128) <= 1;
}

void CountRecords(int frame)
{
    const bool after = g_seen.shotFrame >= 0;
    const bool counted = after && frame <= g_seen.shotFrame + kCountedFrames;
    float distance = 0.0f, drop = 0.0f;
    int streaks = 0;
    for (s32_t i = 0; i < ParticleInfoCount(); ++i) {
        const auto& info = *static_cast<const ParticleInfo*>(ParticleInfoAt(i));
        const float dx = info.position[0] - g_eye.x, dy = info.position[1] - g_eye.y, dz = info.position[2] - g_eye.z;
        if (IsFlashSpark(info)) {
            if (!after)
                ++g_seen.flashesBefore;
            else if (counted && std::sqrt(dx * dx + dy * dy + dz * dz) < kFlashReach) {
                ++g_seen.flashesAfter;
                g_seen.flashNearest = std::min(g_seen.flashNearest, std::sqrt(dx * dx + dy * dy + dz * dz));
            }
        }
        if (info.kind == PARTICLE_STRETCHED) {
            if (!after)
                ++g_seen.streaksBefore;
            else if (counted) {
                ++streaks;
                distance += std::hypot(dx, dz);
                drop -= dy;
            }
        }
    }
    if (streaks > 0 && g_seen.streaksAfter == 0) {
        g_seen.streakDistance = distance / static_cast<float>(streaks);
        g_seen.streakDrop = drop / static_cast<float>(streaks);
    }
    g_seen.streaksAfter += streaks;
}

void Press(int frame, int at, int key)
{
    if (frame == at)
        PlatformInjectKey(key, true);
    else if (frame == at + 1)
        PlatformInjectKey(key, false);
}

// The rounds in the player's weapon; -1 without one.
int RoundsInHand()
{
    const auto* player = static_cast<const Actor*>(g_frameView.player);
    const Weapon* weapon = player ? player->WeaponInHand() : nullptr;
    return weapon ? weapon->currentWeapon->roundsInGun : -1;
}

void AimAndFire(bool)
{
    const int frame = g_seen.frames++;
    PlatformTestClockAdvance(frame < kShortFramesFrom ? kLongFrameMs : kShortFrameMs);
    if (frame < kAimFrame)
        return;
    // The same view every frame: the shot's kick and its recovery would move the whole picture.
    GameSetYawPitch(kYawBack, kPitchDown);
    g_eye = {g_frameView.viewPos[0], g_frameView.viewPos[1], g_frameView.viewPos[2]};
    if (frame == kShortFramesFrom)
        ParticlesReset();  // the smoke column ends: the two screenshots differ by the shot alone
    // The rifle's trigger lock lets the shot go some frames after the pull: the frame before the one
    // that sees a round less fired it.
    const int rounds = RoundsInHand();
    if (g_seen.shotFrame < 0 && g_seen.roundsBefore >= 0 && rounds == g_seen.roundsBefore - 1)
        g_seen.shotFrame = frame - 1;
    if (g_seen.shotFrame < 0)
        g_seen.roundsBefore = rounds;
    CountRecords(frame);
    Press(frame, kScreenshotBefore, kScreenshotKey);
    if (g_seen.shotFrame >= 0)
        Press(frame, g_seen.shotFrame + kScreenshotAfterShot, kScreenshotKey);
    if (frame == kFireFrame)
        PlatformInjectMouseButton(0, true);
    else if (frame == kFireFrame + 1)
        PlatformInjectMouseButton(0, false);
    if (frame >= kLastFrame)
        g_gui.screenRequested = true;
}

bool QuitFromTheScreen(s32_t* stateWord)
{
    *stateWord = LOOP_QUIT;
    return false;
}

int RunTheShot()
{
    g_seen = Seen();
    PlatformTestClockStart(1000);
    GameSetTestHooks({-1, nullptr, AimAndFire});
    GuiSetTestFrameHook(QuitFromTheScreen);
    char commandLine[] = "-m map_01";
    const int result = WinMain(nullptr, nullptr, commandLine, SW_SHOW);
    std::ostringstream seen;
    seen << g_seen.frames << ' ' << g_seen.shotFrame << ' ' << g_seen.flashesBefore << ' ' << g_seen.streaksBefore
         << ' ' << g_seen.flashesAfter << ' ' << g_seen.streaksAfter << ' ' << g_seen.streakDistance << ' '
         << g_seen.streakDrop << ' ' << g_seen.flashNearest;
    return WriteFileBytes("seen.txt", seen.str()) ? result : 90;
}

const bool g_shotJob = RegisterChildJob("ptk_player_shot", RunTheShot);

class PtkPlayerShot : public TempDirTest {
protected:
    // The packed sample and the plug-in in the test's folder, the mission run in a child: what it saw.
    Seen RunTheMission()
    {
        std::string error;
        EXPECT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
        fs::create_directories("plugins");
        fs::copy_file(fs::path(ZINTAR_BIN_DIR) / "plugins" / "ptk.plg", "plugins/ptk.plg");
        const ProgramResult run = RunChildJob("ptk_player_shot", TempPath(), {{"ALSOFT_DRIVERS", "null"}});
        EXPECT_TRUE(run.exited);
        EXPECT_EQ(run.exitCode, 0);
        Seen seen;
        std::istringstream words(ReadFileBytes("seen.txt"));
        words >> seen.frames >> seen.shotFrame >> seen.flashesBefore >> seen.streaksBefore >> seen.flashesAfter >>
            seen.streaksAfter >> seen.streakDistance >> seen.streakDrop >> seen.flashNearest;
        return seen;
    }
};

// The carried rifle given the first-person view of the sample's rifle (a loose definition in the
// working folder replaces the packed one): the view's end of the switch frees the hands, the fire
// button's pull lets the shot go when the trigger lock has run out, and the view names the muzzle
// effect of its shot animation. Its sparks are there in the frames after the shot, by the eye, and
// were not before.
TEST_F(PtkPlayerShot, TheFireButtonStartsTheRiflesMuzzleFlashAtTheEye)
{
    std::string rifle = ReadFileBytes(ZINTAR_TEST_DATA_DIR "/../../data/sample/object/weapons/carried_rifle.def");
    ASSERT_FALSE(rifle.empty());
    rifle += "fp_anim rifle\n";
    fs::create_directories("object/weapons");
    ASSERT_TRUE(WriteFileBytes("object/weapons/carried_rifle.def", rifle));
    const Seen seen = RunTheMission();
    ASSERT_GT(seen.frames, kLastFrame);
    ASSERT_GT(seen.shotFrame, kFireFrame) << "the fire button fired no round";
    EXPECT_EQ(seen.flashesBefore, 0);
    EXPECT_GT(seen.flashesAfter, 0);
}

// The sample as it is: the same shot, its flash, and its bullet's impact on the land, in the records
// and on the screen.
TEST_F(PtkPlayerShot, TheFireButtonFlashesAtTheMuzzleAndTheBulletRaisesTheGround)
{
    const Seen seen = RunTheMission();
    ASSERT_GT(seen.frames, kLastFrame);
    ASSERT_GT(seen.shotFrame, kFireFrame) << "the fire button fired no round";
    EXPECT_EQ(seen.flashesBefore, 0);
    EXPECT_EQ(seen.streaksBefore, 0);
    EXPECT_GT(seen.flashesAfter, 0);
    // At the barrel's end, not at the eye: the stock starts 1.2 units out and the muzzle ends 7.6 away.
    EXPECT_GT(seen.flashNearest, 6.0f);
    EXPECT_GT(seen.streaksAfter, 0);
    // Where the view points: seven metres off along the ground (70 units, give or take the land's
    // slope), well below the eye (17 units above the ground).
    EXPECT_GT(seen.streakDistance, 40.0f);
    EXPECT_LT(seen.streakDistance, 110.0f);
    EXPECT_GT(seen.streakDrop, 8.0f);

    const std::vector<fs::path> shots = ScreenshotFiles();
    ASSERT_EQ(shots.size(), 2u);
    ScreenshotBmp before, after;
    ASSERT_TRUE(before.Read(shots[0]));
    ASSERT_TRUE(after.Read(shots[1]));
    ASSERT_EQ(before.width, after.width);
    ASSERT_EQ(before.height, after.height);
    // The impact's dust and sparks round the middle of the view (a quarter of its width and height):
    // pixels whose three channels moved by more than 30 together, at least 20 of them.
    int changed = 0;
    for (int y = after.height * 3 / 8; y < after.height * 5 / 8; ++y)
        for (int x = after.width * 3 / 8; x < after.width * 5 / 8; ++x) {
            const std::array<int, 3> a = after.Pixel(x, y), b = before.Pixel(x, y);
            changed += std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 30;
        }
    EXPECT_GE(changed, 20);
}

}  // namespace
