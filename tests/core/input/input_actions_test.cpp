// Actions: names, "input.def" into the key map, and the down / released / previous tables.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/files/def_file.h"
#include "core/input/input.h"
#include "core/random.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "support/vfs_fixture.h"

namespace {

class ActionsTest : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        // A clean start, as the game makes one.
        std::memset(g_input.keyStates, 0, sizeof g_input.keyStates);
        std::memset(g_input.mouseStates, 0, sizeof g_input.mouseStates);
        std::memset(g_input.actionDown, 0, sizeof g_input.actionDown);
        std::memset(g_input.actionReleased, 0, sizeof g_input.actionReleased);
        std::memset(g_input.actionPrevious, 0, sizeof g_input.actionPrevious);
        std::memset(g_input.keyMap, ACTION_UNBOUND, sizeof g_input.keyMap);
    }
    void TearDown() override
    {
        DefFileFreeAll();
        gi_mousesensitivity.SetInt(50);
        VfsTest::TearDown();
    }
};

TEST(ActionNames, EachOfTheFiftyFourHasItsIndex)
{
    const char* const names[] = {
        "move_forward",
        "move_backward",
        "strafe_left",
        "strafe_right",
        "crouch",
        "jump",
        "run",
        "mode_up",
        "mode_down",
        "reload",
        "set_csw",
        "set_primary",
        "set_secondary",
        "set_grenade",
        "set_explosive",
        "always_run",
        "fire",
        "zoom",
        "map",
        "cycle_mode",
        "lean_left",
        "lean_right",
        "accept_cmd_g0_0",
        "accept_cmd_g0_1",
        "accept_cmd_g0_2",
        "accept_cmd_g1_0",
        "accept_cmd_g1_1",
        "accept_cmd_g1_2",
        "accept_cmd_g2_0",
        "accept_cmd_g2_1",
        "accept_cmd_g2_2",
        "accept_cmd_g3_0",
        "accept_cmd_g3_1",
        "accept_cmd_g3_2",
        "drop_weapon",
        "cmd_menu_sel",
        "screenshot",
        "quicksave",
        "quickload",
        "codered",
        "codegreen",
        "codeblue",
        "codered5",
        "codegreen5",
        "codeblue5",
        "binocular",
        "objectives",
        "satcam",
        "quickmode",
        "zoomin",
        "zoomout",
        "nightvision",
        "cmd_menu_sel2",
        "navigation",
    };
    ASSERT_EQ(std::size(names), static_cast<size_t>(ACTION_COUNT));
    for (int i = 0; i < ACTION_COUNT; ++i) {
        EXPECT_EQ(ActionFromName(names[i]), i) << names[i];
        EXPECT_STREQ(ActionName(i), names[i]);
    }
    EXPECT_EQ(ActionFromName("objectives"), ACTION_OBJECTIVES);
    for (const char* unknown : {"Fire", "fire ", "", "escape", "move"})
        EXPECT_EQ(ActionFromName(unknown), ACTION_UNBOUND) << unknown;
    EXPECT_EQ(ActionFromName(nullptr), ACTION_UNBOUND);
    EXPECT_EQ(ActionName(ACTION_COUNT), nullptr);
    EXPECT_EQ(ActionName(-1), nullptr);
}

TEST_F(ActionsTest, InputDefBindsKeysToActions)
{
    ASSERT_TRUE(WriteFileBytes("input.def",
                               "move_forward DIK_W\n"
                               "fire MOUSE0\n"
                               "fire DIK_SPACE\n"
                               "Fire DIK_F\n"          // no action name: F stays unbound
                               "jump DIK_NOSUCHKEY\n"  // no key name: the action goes to code 0
                               "crouch\n"              // no key at all: nothing is bound
                               "zoom DIK_Z\n"
                               "map DIK_Z extra\n"  // a later line for the same key wins
                               "zoomin MOUSE_WHEEL_UP\n"
                               "navigation DIK_RCONTROL\n"));
    g_input.keyMap[0x10] = ACTION_RUN;  // replaced: the whole map is rebuilt
    g_input.actionDown[ACTION_FIRE] = 255;
    gi_mousesensitivity.SetInt(10);

    EXPECT_TRUE(LoadKeyBindings());

    u8_t expected[256];
    std::memset(expected, ACTION_UNBOUND, sizeof expected);
    expected[0x11] = ACTION_MOVE_FORWARD;
    expected[KEY_MOUSE0] = ACTION_FIRE;
    expected[0x39] = ACTION_FIRE;
    expected[0] = ACTION_JUMP;
    expected[0x2C] = ACTION_MAP;
    expected[KEY_MOUSE_WHEEL_UP] = ACTION_ZOOMIN;
    expected[0x9D] = ACTION_NAVIGATION;
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(g_input.keyMap[code], expected[code]) << "key code " << code;
    EXPECT_EQ(g_input.actionDown[ACTION_FIRE], 0);
    EXPECT_FLOAT_EQ(g_game.mouseLookFactorX, 0.002f);
    EXPECT_FLOAT_EQ(g_game.mouseLookFactorY, 0.002f);
}

TEST_F(ActionsTest, AMissingInputDefKeepsTheMapButStillClearsAndAppliesTheSensitivity)
{
    g_input.keyMap[0x11] = ACTION_MOVE_FORWARD;
    g_input.actionDown[ACTION_MOVE_FORWARD] = 255;
    gi_mousesensitivity.SetInt(0);

    EXPECT_FALSE(LoadKeyBindings());

    EXPECT_EQ(g_input.keyMap[0x11], ACTION_MOVE_FORWARD);
    EXPECT_EQ(g_input.keyMap[0x12], ACTION_UNBOUND);
    EXPECT_EQ(g_input.actionDown[ACTION_MOVE_FORWARD], 0);
    EXPECT_FLOAT_EQ(g_game.mouseLookFactorX, 0.003f);
    EXPECT_FLOAT_EQ(g_game.mouseLookFactorY, 0.003f);
}

// One update after each step: which actions are down and which were released in it.
TEST_F(ActionsTest, TablesFollowTheKeysBoundToEachAction)
{
    constexpr int kA = 0x1E;
    constexpr int kSpace = 0x39;
    constexpr int kUnboundKey = 0x30;
    g_input.keyMap[kA] = ACTION_FIRE;
    g_input.keyMap[kSpace] = ACTION_FIRE;
    g_input.keyMap[KEY_MOUSE1] = ACTION_ZOOM;
    g_input.keyMap[KEY_ESCAPE] = ACTION_MAP;
    g_input.keyMap[KEY_MOUSE_WHEEL_UP] = ACTION_ZOOMIN;

    struct Step {
        void (*act)();
        u8_t action;
        bool down;
        bool released;
    };
    const Step steps[] = {
        {[] { KeyDown(kA); }, ACTION_FIRE, true, false},
        {[] { KeyDown(kSpace); }, ACTION_FIRE, true, false},
        {[] { KeyUp(kA); }, ACTION_FIRE, true, false},  // the other key still holds it
        {[] { KeyUp(kSpace); }, ACTION_FIRE, false, true},
        {[] {}, ACTION_FIRE, false, false},  // released lasts one update
        {[] { MouseButtonDown(1); }, ACTION_ZOOM, true, false},
        {[] { MouseButtonUp(1); }, ACTION_ZOOM, false, true},
        {[] { KeyDown(KEY_ESCAPE); }, ACTION_ESCAPE, true, false},
        {[] {}, ACTION_MAP, true, false},  // Escape drives its own binding too
        {[] { KeyUp(KEY_ESCAPE); }, ACTION_ESCAPE, false, true},
        {[] { MouseWheel(1); }, ACTION_ZOOMIN, true, false},
        {[] { ClearWheel(); }, ACTION_ZOOMIN, false, true},
        {[] { MouseButtonDown(3); }, ACTION_ZOOMIN, true, false},  // a fourth button shows as wheel up
        {[] { MouseButtonUp(3); }, ACTION_ZOOMIN, false, true},
        {[] { KeyDown(kUnboundKey); }, ACTION_UNBOUND, true, false},
        {[] { KeyUp(kUnboundKey); }, ACTION_UNBOUND, false, false},  // 255 is never released
    };
    int index = 0;
    for (const Step& step : steps) {
        step.act();
        ActionsUpdate();
        SCOPED_TRACE("step " + std::to_string(index++));
        EXPECT_EQ(g_input.actionDown[step.action], step.down ? 255 : 0);
        EXPECT_EQ(g_input.actionReleased[step.action], step.released ? 255 : 0);
        if (step.action != ACTION_UNBOUND) {
            EXPECT_EQ(g_input.actionPrevious[step.action], step.down ? 1 : 0);
        }
    }
}

class InputDefRobustness : public ActionsTest {};

TEST_F(InputDefRobustness, DamagedFilesBindOnlyKnownActions)
{
    EngineSRand(6);
    const std::string good = "move_forward DIK_W\nfire MOUSE0\nzoomin MOUSE_WHEEL_UP\n\nreload\t DIK_R  x\n";
    for (int round = 0; round < 200; ++round) {
        std::string text = good.substr(0, static_cast<size_t>(EngineRand()) % (good.size() + 1));
        for (int i = 0, n = EngineRand() % 8; i < n; ++i)
            text.insert(static_cast<size_t>(EngineRand()) % (text.size() + 1), 1, static_cast<char>(EngineRand()));
        DefFileFreeAll();
        ASSERT_TRUE(WriteFileBytes("input.def", text));
        LoadKeyBindings();
        for (int code = 0; code < 256; ++code)
            ASSERT_TRUE(g_input.keyMap[code] < ACTION_COUNT || g_input.keyMap[code] == ACTION_UNBOUND) << code;
    }
}

}  // namespace
