// The developer commands on a small world of three sample soldiers ("Bob", "bob" and the player "Ann"):
// taking over an actor, turning every actor of a name, killing all but the player, the map command,
// the map's display name and the window mode written for the next start.
#include <gtest/gtest.h>

#include <string>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "core/core_cvars.h"
#include "core/frame_view.h"
#include "core/winos.h"
#include "game/accounts/account_cvars.h"
#include "game/commands/game_commands.h"
#include "game/mission/game_flow.h"
#include "game/player/player_foot_control.h"
#include "game/view/player_view.h"
#include "map/registry/world_registry.h"
#include "render/render_cvars.h"
#include "support/def_apply.h"
#include "support/files.h"
#include "support/keep_var.h"
#include "tests/actors/weapons/weapon_test_support.h"

namespace {

// Puts a text variable back as it was.
class KeepText {
public:
    explicit KeepText(ConsoleVar& var) : m_var(var), m_text(var.String()) {}
    ~KeepText() { m_var.SetString(m_text.c_str()); }

private:
    ConsoleVar& m_var;
    std::string m_text;
};

class DeveloperCommands : public weapon_test::WeaponFixture {
protected:
    void SetUp() override
    {
        WeaponFixture::SetUp();
        const char* names[3] = {"Bob", "bob", "Ann"};
        for (int i = 0; i < 3; ++i) {
            auto* ai = new AIInterface();
            Actor* soldier = ai->body;
            ApplyDefFile("object\\actors\\soldier.def", soldier);
            soldier->SetNameText(names[i]);
            soldier->SetPosition({100.0f * static_cast<float>(i), 0.0f, 50.0f});
            ASSERT_TRUE(DynObjectAdd(soldier));
            m_soldiers[i] = soldier;
        }
        g_frameView.player = m_soldiers[2];
    }
    void TearDown() override
    {
        g_frameView.player = nullptr;
        for (Actor* soldier : m_soldiers) {
            DynObjectRemove(soldier);
            soldier->DetachAI();
            delete soldier;
        }
        GameSetYawPitch(0.0f, 0.0f);
        WeaponFixture::TearDown();
    }
    Actor* m_soldiers[3] = {};
};

TEST_F(DeveloperCommands, ChangeActorTakesTheFirstOfTheNameAndMovesTheView)
{
    EXPECT_EQ(GameChangeActor("nobody"), 0);
    EXPECT_EQ(g_frameView.player, m_soldiers[2]);

    EXPECT_EQ(GameChangeActor("BOB"), 1);
    EXPECT_EQ(g_frameView.player, m_soldiers[0]);
    const Vector3 at = m_soldiers[0]->GetPosition();
    const float expected[3] = {at.x, at.y, at.z};
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(g_frameView.viewPos[i], expected[i]);
        EXPECT_FLOAT_EQ(g_playerFoot.previousPosition[i], expected[i]);
        EXPECT_FLOAT_EQ(g_playerFoot.lastLocated[i], expected[i]);
    }
    EXPECT_FLOAT_EQ(GameGetYaw(), m_soldiers[0]->GetRotation().y);
}

TEST_F(DeveloperCommands, ActorSetYawTurnsEveryActorOfTheNameInAnyCase)
{
    const float annBefore = m_soldiers[2]->GetHeading();
    EXPECT_EQ(GameActorSetYaw("bOB 90"), 0);
    EXPECT_NEAR(m_soldiers[0]->GetHeading(), 1.5707964f, 1e-5f);
    EXPECT_NEAR(m_soldiers[1]->GetHeading(), 1.5707964f, 1e-5f);
    EXPECT_FLOAT_EQ(m_soldiers[2]->GetHeading(), annBefore);
    // A name longer than the field is cut to it, and nothing is read past the argument.
    const std::string longName(600, 'x');
    EXPECT_EQ(GameActorSetYaw((longName + " 45").c_str()), 0);
    EXPECT_EQ(GameActorSetYaw(""), 0);
    EXPECT_EQ(GameActorSetYaw(nullptr), 0);
}

TEST_F(DeveloperCommands, KillAllLeavesThePlayerAndKillsFriendsToo)
{
    // The sample soldiers are all on one side, the player's: friends die all the same.
    EXPECT_EQ(GameKillAll(nullptr), 0);
    EXPECT_LE(m_soldiers[0]->GetAIEntity()->health, 0.0f);
    EXPECT_LE(m_soldiers[1]->GetAIEntity()->health, 0.0f);
    EXPECT_GT(m_soldiers[2]->GetAIEntity()->health, 0.0f);
}

TEST_F(DeveloperCommands, MapCommandSetsTheMapAndAsksTheMainLoopToLoadIt)
{
    KeepText keepMap(dsmap);
    const s32_t stateBefore = g_program.loopState;
    EXPECT_EQ(GameMapCommand("map_02"), 0);
    EXPECT_STREQ(dsmap.String(), "map_02");
    EXPECT_EQ(g_program.loopState, LOOP_LOAD_MAP);
    g_program.loopState = stateBefore;
}

TEST_F(DeveloperCommands, MapImageLooksTheMapsNameUp)
{
    KeepText keepMap(dsmap);
    KeepText keepName(as_missionname);
    // "_" + "map_01" without its last two characters, in lower case: the sample's "_map_".
    dsmap.SetString("MAP_01");
    EXPECT_EQ(GameMapImage(nullptr), 0);
    EXPECT_STREQ(as_missionname.String(), "The Outpost");
    // Names shorter than two characters look up "_" alone (the key is never cut below its start).
    for (const char* shortName : {"", "a", "ab"}) {
        dsmap.SetString(shortName);
        EXPECT_EQ(GameMapImage(nullptr), 0);
        EXPECT_STREQ(as_missionname.String(), "_") << shortName;
    }
}

TEST_F(DeveloperCommands, FullscreenWritesTheInvertedWindowLineEveryTime)
{
    KeepVar keepWindowed(rbwindowed);
    rbwindowed.SetBool(true);
    for (int call = 0; call < 2; ++call) {
        EXPECT_EQ(GameFullscreen(nullptr), 0);
        const std::string text = ReadFileBytes("config.def");
        ASSERT_EQ(text.rfind("rbwindowed false\nriwidth ", 0), 0u) << text;
        int lines = 0;
        for (char c : text)
            lines += c == '\n';
        EXPECT_EQ(lines, 19);
        const char* order[] = {"riwidth",        "riheight",       "rirefresh",   "rbdrawstats", "rbshowboxes",
                               "rbtraceraytest", "rbactordirs",    "rbdrawfps",   "rbshowpins",  "rbshowzones",
                               "gbtop",          "gbthirdperson",  "gbfastmove",  "gbghost",     "gbwalk",
                               "gb_godmode",     "gui_cursorinfo", "gbteskenable"};
        std::size_t at = 0;
        for (const char* name : order) {
            const std::size_t found = text.find(std::string("\n") + name + " ", at);
            ASSERT_NE(found, std::string::npos) << name;
            at = found + 1;
        }
    }
    rbwindowed.SetBool(false);
    EXPECT_EQ(GameFullscreen(nullptr), 0);
    EXPECT_EQ(ReadFileBytes("config.def").rfind("rbwindowed true\n", 0), 0u);
}

}  // namespace
