// Recording the screen grab's camera path at the console: each point takes the player's position and
// the view's roll where they are when the command runs, and the milliseconds given; bad arguments and
// a full path add nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/console/console.h"
#include "game/player/player_control.h"
#include "game/player/player_state.h"
#include "game/view/screen_grab.h"

namespace {

std::string LastLine()
{
    const char* line = ConLines(CON_MESSAGE_CONSOLE)[ConLineCapacity(CON_MESSAGE_CONSOLE) - 1];
    return line ? line : "";
}

class CameraPathRecord : public testing::Test {
protected:
    void SetUp() override
    {
        ConStartup();
        CameraPathClear();
        std::copy(GameGetPlayerPos(), GameGetPlayerPos() + 3, m_position);
        m_roll = GameGetRoll();
    }
    void TearDown() override
    {
        CameraPathClear();
        GameSetPlayerPos(m_position);
        GameSetRoll(m_roll);
        ConShutdown();
    }
    float m_position[3] = {};
    float m_roll = 0.0f;
};

// Typed at the console while the player moves and leans: the points follow him in order.
TEST_F(CameraPathRecord, EachPointIsWhereTheViewStandsWhenTyped)
{
    const struct {
        float position[3];
        float roll;
        const char* line;
        s32_t durationMs;
    } steps[] = {
        {{1.0f, 20.0f, -3.0f}, 0.0f, "grx_add_camera_point 1500", 1500},
        {{4.5f, 21.0f, 7.0f}, 0.2f, "grx_add_camera_point", 0},
        {{-8.0f, 19.5f, 12.0f}, -0.1f, "grx_add_camera_point  40 ", 40},
    };
    for (const auto& step : steps) {
        GameSetPlayerPos(step.position);
        GameSetRoll(step.roll);
        ConExec(step.line, false);
    }
    ASSERT_EQ(CameraPathCount(), 3u);
    for (u32_t i = 0; i < 3; ++i) {
        const CameraPathPoint& point = CameraPathPointAt(i);
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_FLOAT_EQ(point.position[axis], steps[i].position[axis]) << i;
        EXPECT_FLOAT_EQ(point.roll, steps[i].roll) << i;
        EXPECT_EQ(point.durationMs, steps[i].durationMs) << i;
    }
    EXPECT_EQ(LastLine(), "Camera point 3: -8 19.5 12, roll -0.1, 40 ms\n");
    ConExec("grx_clear_camera_path", false);
    EXPECT_EQ(CameraPathCount(), 0u);
}

TEST_F(CameraPathRecord, AnArgumentThatIsNotMillisecondsAddsNothing)
{
    for (const char* argument : {"-1", "abc", "12x", "1.5", "99999999999", "3000000000"}) {
        EXPECT_EQ(CameraPathAddCommand(argument), -1) << argument;
        EXPECT_EQ(LastLine(), "grx_add_camera_point: milliseconds expected, not '" + std::string(argument) + "'\n");
    }
    EXPECT_EQ(CameraPathCount(), 0u);

    // A whole number, but a segment longer than ten minutes.
    for (const char* argument : {"600001", "2147483647"}) {
        EXPECT_EQ(CameraPathAddCommand(argument), -1) << argument;
        EXPECT_EQ(LastLine(),
                  "grx_add_camera_point: at most 600000 ms (10 minutes), not '" + std::string(argument) + "'\n");
    }
    EXPECT_EQ(CameraPathCount(), 0u);
    EXPECT_EQ(CameraPathAddCommand("600000"), 0);
    EXPECT_EQ(CameraPathPointAt(0).durationMs, 600000);
}

TEST_F(CameraPathRecord, AFullPathRefusesTheNextPoint)
{
    for (u32_t i = 0; i < MAX_CAMERA_PATH_POINTS; ++i)
        ASSERT_EQ(CameraPathAddCommand("40"), 0) << i;
    EXPECT_EQ(CameraPathAddCommand("40"), -1);
    EXPECT_EQ(LastLine(), "grx_add_camera_point: the path is full (256 points)\n");
    EXPECT_EQ(CameraPathCount(), MAX_CAMERA_PATH_POINTS);
}

}  // namespace
