// Fire while dead over a networked game mode's screen: the GUI closes and the game's respawn request
// runs, the game mode's own "respawn" command included (not only the player's flag).
#include <gtest/gtest.h>

#include "actors/actor.h"
#include "core/console/console_var.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "game/mission/game_flow.h"
#include "game/game_state.h"
#include "game/player/player_state.h"
#include "gui/screens/gui.h"
#include "gui/screens/screen_manager.h"
#include "platform/test_clock.h"

namespace {

int g_respawnCalls = 0;

s32_t CountRespawn(const char*)
{
    ++g_respawnCalls;
    return 0;
}

TEST(ScreenManagerRespawn, FireWhileDeadRunsTheGameModesRespawnCommandOnce)
{
    PlatformTestClockStart(100000);
    ConsoleVar respawn("respawn", CountRespawn);
    g_respawnCalls = 0;
    GameMod networked;
    networked.ownScreens = 1;
    Actor player;
    player.isDead = true;
    g_frameView.player = &player;
    GuiScreen screen("SCORES");
    g_gui = {};
    g_gui.currentScreen = &screen;
    g_gui.screenRequested = true;
    g_frameView.currentGameMod = &networked;
    g_frameView.screenOpen = true;
    g_input = InputState();
    g_input.guiMode = true;
    g_input.actionReleased[ACTION_FIRE] = INPUT_STATE_DOWN;
    g_playerState.respawnRequested = 0;

    s32_t state = 0;
    EXPECT_FALSE(GuiInputStep(0, 0, WM_NULL, 0, 0, &state));
    EXPECT_EQ(g_respawnCalls, 1);
    EXPECT_EQ(g_playerState.respawnRequested, 1);
    EXPECT_FALSE(g_frameView.screenOpen);

    g_gui = {};
    g_input = InputState();
    g_frameView.player = nullptr;
    g_frameView.currentGameMod = nullptr;
    g_playerState.respawnRequested = 0;
    PlatformTestClockStop();
}

}  // namespace
