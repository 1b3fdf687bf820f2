// The program on the sample mission ("-m map_01", the packed sample, the test clock 100 ms a frame):
// the outpost's soldiers made the player's squad, the squad's command menu lists them, the gate guard
// is chosen, his orders come from his script ("menu" and hSoldier), and he is sent to the ground
// point under the cursor, where he walks. Then "quit -g" typed at the console shows the sample's
// "LEAVESCREEN" with its progress and the program is back at the sample's "MAINMENU".
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "core/log.h"
#include "core/winos.h"
#include "game/player/command_menu.h"
#include "game/player/cursor_pick.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/game_test_hooks.h"
#include "game/view/player_view.h"
#include "game/mission/quit.h"
#include "gui/screens/gui.h"
#include "gui/gui_test_hooks.h"
#include "map/registry/world_registry.h"
#include "platform/test_clock.h"
#include "platform/test_input.h"
#include "render/draw2d/hud_input.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/keep_var.h"
#include "support/temp_dir.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMostFrames = 400;
constexpr DWORD kFrameMs = 100;

// The leave's screen and progress lines as the command's road takes them.
std::vector<std::string> g_leaveSteps;
void NoteLeaveStep(const char* step)
{
    const std::string text = step;
    if (text.rfind("screen ", 0) == 0 || text.rfind("progress ", 0) == 0)
        g_leaveSteps.push_back(text);
}

struct OrdersRun {
    int frame = 0;
    std::vector<std::string> squad;   // the squad menu's lines
    std::vector<std::string> orders;  // the chosen soldier's menu
    Vector3 start = {}, target = {}, end = {};
    bool ordered = false;
    int arrivedFrame = -1;
    bool typed = false;
    std::string menuAfter;
};
OrdersRun g_run;

std::vector<std::string> Shown()
{
    std::vector<std::string> lines;
    if (const CommandMenuEntries* entries = g_hudInput.commandMenu.entries) {
        for (const CommandMenuItem* item : *entries)
            lines.emplace_back(item->name);
    }
    return lines;
}

s32_t IndexOf(const std::vector<std::string>& lines, const std::string& text)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == text)
            return static_cast<s32_t>(i);
    }
    return -1;
}

float Flat(const Vector3& a, const Vector3& b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

void Play(bool present)
{
    if (!present)
        return;
    const int frame = g_run.frame++;
    PlatformTestClockAdvance(kFrameMs);
    auto* guard = static_cast<Actor*>(DynObjectFind("guard"));
    auto* player = static_cast<Actor*>(g_frameView.player);
    if (frame == 0 && guard && player && player->GetAIEntity()) {
        // Level, as a fresh run starts: the cursor below the middle then lies on the ground.
        GameSetYawPitch(GameGetYaw(), 0.0f);
        // Every soldier of the outpost joins the player's side.
        const s32_t team = player->GetAIEntity()->team;
        for (const char* name : {"guard", "guard_w", "guard_e", "patrol_a", "patrol_b"}) {
            auto* soldier = static_cast<Actor*>(DynObjectFind(name));
            if (soldier && soldier->GetAIEntity())
                soldier->GetAIEntity()->SetTeam(team);
        }
    } else if (frame == 5 && guard) {
        CommandMenuResetDynamic();
        ASSERT_TRUE(CommandMenuOpenSquad());
        g_run.squad = Shown();
        const s32_t chosen = IndexOf(g_run.squad, "guard");
        ASSERT_GE(chosen, 0);
        CommandMenuSelect(chosen);
        g_run.orders = Shown();
        const s32_t move = IndexOf(g_run.orders, "Move there");
        ASSERT_GE(move, 0);
        // The cursor, freed, on the ground to the lower left of the view.
        g_frameView.cursorMode = true;
        g_game.cursorX = 100.0f;
        g_game.cursorY = 200.0f;
        float point[3];
        ASSERT_TRUE(GamePickGroundPointAtCursor(point));
        g_run.target = {point[0], point[1], point[2]};
        g_run.start = guard->GetPosition();
        CommandMenuSelect(move);
        g_frameView.cursorMode = false;
        g_run.ordered = true;
    } else if (g_run.ordered && guard && g_run.arrivedFrame < 0) {
        // The order's point moves by up to 10 units each way.
        if (Flat(guard->GetPosition(), g_run.target) < 16.0f) {
            g_run.arrivedFrame = frame;
            g_run.end = guard->GetPosition();
        }
    }
    if (!g_run.typed && (g_run.arrivedFrame >= 0 || frame >= kMostFrames)) {
        g_run.typed = true;
        ConSetCurrent(0);
        PlatformInjectText("quit -g\r");
    }
    if (frame > kMostFrames + 50)
        g_gui.screenRequested = true;  // the command never arrived: a screen quits
}

bool AtTheMenu(s32_t* stateWord)
{
    if (g_gui.currentScreen)
        g_run.menuAfter = g_gui.currentScreen->name.Text();
    *stateWord = LOOP_QUIT;
    return false;
}

class SampleOrders : public TempDirTest {
protected:
    void SetUp() override
    {
        engine_log::StartFolder();
        TempDirTest::SetUp();
        g_run = OrdersRun();
        g_leaveSteps.clear();
        QuitSetStepRecorder(NoteLeaveStep);
    }
    void TearDown() override
    {
        GameSetTestHooks({});
        GuiSetTestFrameHook(nullptr);
        QuitSetStepRecorder(nullptr);
        PlatformTestClockStop();
        g_frameView.cursorMode = false;
        g_game.cursorX = g_game.cursorY = 0.0f;
        gbthirdperson.SetBool(false);
        g_frameView.sound.playerDead = false;
        g_run = OrdersRun();
        TempDirTest::TearDown();
    }
    KeepVar m_thirdPerson{gbthirdperson};
};

TEST_F(SampleOrders, AChosenSoldierWalksToTheClickedGroundAndQuitLeavesForTheMenu)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    std::string config = ReadFileBytes(ZINTAR_TEST_DATA_DIR "/../../data/sample/config.def");
    config += "riwidth = 320\nriheight = 240\n";
    WriteFileBytes("config.def", config);
    PlatformTestClockStart(100000);
    GameSetTestHooks({-1, nullptr, Play});
    GuiSetTestFrameHook(AtTheMenu);
    char commandLine[] = "-m map_01";
    EXPECT_EQ(WinMain(nullptr, nullptr, commandLine, SW_SHOW), 0);

    // The squad: the five soldiers of the outpost, each with his menu event.
    EXPECT_EQ(g_run.squad.size(), 5u) << ::testing::PrintToString(g_run.squad);
    EXPECT_EQ(g_run.orders, (std::vector<std::string>{"Move there", "Attack", "Attack or move", "Hold position",
                                                      "Follow me", "Stance", "Report"}));
    ASSERT_TRUE(g_run.ordered);
    EXPECT_GT(Flat(g_run.start, g_run.target), 30.0f) << "the point is away from his post";
    EXPECT_GE(g_run.arrivedFrame, 0) << "he did not reach the point";
    // The leave's progress on its screen, and the menu after it.
    ASSERT_TRUE(g_run.typed);
    // Twice: the command's leave, then the main loop's own, which finds no mission; behind the
    // sample's own leaving screen.
    std::vector<std::string> leave = {"screen LEAVESCREEN",
                                      "progress 0 Unloading map...",
                                      "progress 35 Unloading scripts...",
                                      "progress 37 Destroying vegetation...",
                                      "progress 42 Releasing dynamic data...",
                                      "progress 70 Destroying textures and device buffers...",
                                      "progress 100 Returning to GUI..."};
    std::vector<std::string> twice = leave;
    twice.insert(twice.end(), leave.begin(), leave.end());
    EXPECT_EQ(g_leaveSteps, twice);
    EXPECT_EQ(g_run.menuAfter, "MAINMENU");
}

}  // namespace
