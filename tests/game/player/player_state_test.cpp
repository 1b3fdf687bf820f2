// The player's state as plug-ins and scripts see it: the dead check, bringing the player back with
// and without a player, the view reset and the console page's change time.
#include <gtest/gtest.h>

#include "core/console/console.h"
#include "core/input/input.h"
#include "game/mission/game_flow.h"
#include "game/player/player_control.h"
#include "game/player/player_state.h"
#include "render/render_cvars.h"
#include "scene/views/first_person_view.h"
#include "support/keep_var.h"
#include "tests/ai/ai_mission_fixture.h"

namespace {

class PlayerState : public AIMission {
protected:
    void TearDown() override
    {
        g_frameView.sound = PlayerSoundView();
        g_firstPersonControl = FirstPersonControl();
        g_input.actionDown[7] = 0;
        PlayerStateReset();
        GameSetYawPitch(0.0f, 0.0f);
        g_frameView.gameTime = 0.0f;
        AIMission::TearDown();
    }
    KeepVar m_thirdPerson{gbthirdperson};
};

TEST_F(PlayerState, IsPlayerDeadNeedsTheFlagAndADeadActor)
{
    EXPECT_FALSE(IsPlayerDead()) << "no player";
    AIInterface* player = Soldier("player", 0.0f, 3);
    g_frameView.player = player->body;
    const struct {
        bool flag, actorDead, expected;
    } cases[] = {{false, true, false}, {true, false, false}, {true, true, true}, {false, false, false}};
    for (const auto& c : cases) {
        g_frameView.sound.playerDead = c.flag;
        player->body->isDead = c.actorDead;
        EXPECT_EQ(IsPlayerDead(), c.expected) << c.flag << c.actorDead;
    }
}

TEST_F(PlayerState, ReincarnateRunsItsStepsWithAndWithoutAPlayer)
{
    for (bool withPlayer : {false, true}) {
        SCOPED_TRACE(withPlayer);
        AIInterface* player = withPlayer ? Soldier("player", 0.0f, 3) : nullptr;
        g_frameView.player = player ? player->body : nullptr;
        if (player) {
            player->body->isDead = true;
            player->entity->health = -20.0f;
        }
        g_input.actionDown[7] = 255;
        gbthirdperson.SetBool(true);
        g_frameView.sound.playerDead = true;
        g_frameView.sound.movementFlags[1] = 1;
        g_firstPersonControl.firedThisFrame = true;
        g_input.guiMode = true;
        g_playerState.respawnRequested = 1;
        GameSetPlayerClimbState(true, true);

        ReincarnatePlayer();

        EXPECT_EQ(g_input.actionDown[7], 0) << "held actions cleared";
        EXPECT_FALSE(gbthirdperson.Bool());
        EXPECT_FALSE(g_frameView.sound.playerDead);
        EXPECT_EQ(g_frameView.sound.movementFlags[1], 0);
        EXPECT_FALSE(g_firstPersonControl.firedThisFrame);
        EXPECT_FALSE(g_input.guiMode) << "the keys reach the player again";
        EXPECT_EQ(g_playerState.respawnRequested, 0);
        EXPECT_EQ(GameIsPlayerOnLadder(), 0);
        EXPECT_EQ(GameIsPlayerFalling(), 0);
        EXPECT_EQ(GameGetPlayerHealth(), 100.0f);
        if (player) {
            EXPECT_FALSE(player->body->isDead);
            EXPECT_EQ(player->entity->health, 100.0f);
        }
    }
}

TEST_F(PlayerState, ViewAnglesResetAndMovementMode)
{
    GameSetYawPitch(1.0f, 0.5f);
    GameSetRoll(0.25f);
    GameResetViewAngles();
    EXPECT_EQ(GameGetYaw(), 0.0f);
    EXPECT_EQ(GameGetPitch(), 0.0f);
    EXPECT_EQ(GameGetRoll(), 0.0f);

    GameSetPlayerMovementMode(true);
    EXPECT_EQ(GetPlayerMovementMode(), 1);
    GameSetPlayerMovementMode(false);
    EXPECT_EQ(GetPlayerMovementMode(), 0);
}

TEST_F(PlayerState, TogglePageHidesAndShowsStampingTheGameTime)
{
    ConStartup();
    g_frameView.gameTime = 12.5f;
    ConTogglePage(2);
    EXPECT_EQ(ConCurrentPage(), 2);
    EXPECT_EQ(ConPageChangeTime(), 12.5f);
    g_frameView.gameTime = 20.0f;
    ConTogglePage(2);
    EXPECT_EQ(ConCurrentPage(), -1) << "the page shown hides";
    EXPECT_EQ(ConPageChangeTime(), 20.0f);
    g_frameView.gameTime = 21.0f;
    ConTogglePage(2);
    EXPECT_EQ(ConCurrentPage(), 2);
    EXPECT_EQ(ConPageChangeTime(), 21.0f);
    ConSetCurrent(-1);
    ConShutdown();
}

}  // namespace
