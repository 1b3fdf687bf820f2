// The map command typed during a mission: the running game mode ends, and the main loop leaves the
// mission and starts the one the command names, without the menus. WinMain runs in this process with
// the mission start answered by a hook (no map data): the road shows each mission started and each
// screen shown.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/console/console.h"
#include "core/core_cvars.h"
#include "core/frame_view.h"
#include "core/winos.h"
#include "game/commands/game_mod_registry.h"
#include "game/game_state.h"
#include "game/game_test_hooks.h"
#include "gui/screens/gui.h"
#include "gui/gui_test_hooks.h"
#include "support/archive_builder.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> g_road;
int g_gameFrames = 0;
bool g_modEnded = false;

void OnMissionStart(const char* mapName)
{
    g_road.push_back(std::string("start ") + mapName);
}

void OnGameFrame(bool present)
{
    if (!present)
        return;
    ++g_gameFrames;
    if (g_road.size() == 1 && g_road.back() == "start map_a") {
        // A game mode runs in the first mission; the command ends it.
        GameMod* mod = BeginGameModRegistration();
        ASSERT_NE(mod, nullptr);
        std::snprintf(mod->name, sizeof mod->name, "maptest");
        EndGameModRegistration();
        g_frameView.currentGameMod = mod;
        ConExec("gxmap map_b", true);
        g_road.push_back(std::string("dsmap ") + dsmap.String());
        g_road.push_back("state word " + std::to_string(g_program.loopState));
        g_modEnded = g_frameView.currentGameMod == nullptr;
    } else if (g_gameFrames > 40 || g_road.back() == "start map_b") {
        g_road.push_back("game");
        g_gui.screenRequested = true;  // a screen opens, and its GUI frame quits
    }
}

bool QuitFromTheScreen(s32_t* stateWord)
{
    *stateWord = LOOP_QUIT;
    return false;
}

class MapCommandLoop : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_savedMap = dsmap.ValueToText();
        g_road.clear();
        g_gameFrames = 0;
        g_modEnded = false;
    }
    void TearDown() override
    {
        GameSetTestHooks({});
        GuiSetTestFrameHook(nullptr);
        g_frameView.currentGameMod = nullptr;
        dsmap.SetFromText(m_savedMap.c_str());
        TempDirTest::TearDown();
    }

private:
    std::string m_savedMap;
};

TEST_F(MapCommandLoop, TheMainLoopStartsTheMissionTheCommandNames)
{
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"config.def", "rbwindowed = 1\n"}}));
    GameSetTestHooks({0, OnMissionStart, OnGameFrame});
    GuiSetTestFrameHook(QuitFromTheScreen);
    char commandLine[] = "-m map_a";
    EXPECT_EQ(WinMain(nullptr, nullptr, commandLine, SW_SHOW), 0);
    const std::vector<std::string> road = {"start map_a", "dsmap map_b", "state word 3", "start map_b", "game"};
    EXPECT_EQ(g_road, road);
    EXPECT_TRUE(g_modEnded);
    EXPECT_EQ(g_program.loopState, LOOP_QUIT);
}

}  // namespace
