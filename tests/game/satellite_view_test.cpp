// The satellite view's pan and zoom: the cursor at the window's edges and the movement keys pan the
// centre within its rectangle at the pan speed fixed at the first call; zoom steps the field of view.
#include <gtest/gtest.h>

#include <cstring>

#include "core/actions.h"
#include "core/frame_view.h"
#include "core/input.h"
#include "game/game_state.h"
#include "game/satellite_view.h"
#include "game/view_keys.h"

namespace {

constexpr float kHalfPi = 1.5707964f;

class SatelliteView : public ::testing::Test {
protected:
    void SetUp() override
    {
        Reset();
        g_satelliteView.minX = -100.0f;
        g_satelliteView.maxX = 100.0f;
        g_satelliteView.minZ = -100.0f;
        g_satelliteView.maxZ = 100.0f;
        g_frameView.frameTime = 0.02f;
    }
    void TearDown() override
    {
        Reset();
        g_frameView.frameTime = 0.001f;
    }
    static void Reset()
    {
        g_satelliteView = SatelliteViewState();
        std::memset(g_input.actionDown, 0, sizeof g_input.actionDown);
        g_game.cursorX = g_game.cursorY = 0.0f;
        g_game.satelliteFieldOfView = 0.5f * kHalfPi;
    }
};

TEST_F(SatelliteView, ACursorInTheTopLeftCornerPansTowardMinXAndMaxZAtOnce)
{
    g_satelliteView.panSpeed = 500.0f;
    g_game.cursorX = 0.0f;
    g_game.cursorY = 0.0f;
    SatellitePanStep(640, 480);
    EXPECT_FLOAT_EQ(g_satelliteView.centreX, -10.0f);
    EXPECT_FLOAT_EQ(g_satelliteView.centreZ, 10.0f);
    // The far corner pans the other way; the rectangle holds the centre.
    g_game.cursorX = 639.0f;
    g_game.cursorY = 479.0f;
    for (int i = 0; i < 30; ++i)
        SatellitePanStep(640, 480);
    EXPECT_FLOAT_EQ(g_satelliteView.centreX, 100.0f);
    EXPECT_FLOAT_EQ(g_satelliteView.centreZ, -100.0f);
    // The middle of the window pans nothing.
    g_game.cursorX = 320.0f;
    SatellitePanStep(640, 480);
    EXPECT_FLOAT_EQ(g_satelliteView.centreX, 100.0f);
}

TEST_F(SatelliteView, ZoomingStepsTheFieldOfViewButNotThePanSpeed)
{
    g_satelliteView.zoomLevel = 2;
    SatelliteViewUpdate();
    EXPECT_FLOAT_EQ(g_satelliteView.panSpeed, 100.0f);  // 0.1 x 1000 at the first call
    g_input.actionDown[ACTION_ZOOMOUT] = INPUT_STATE_DOWN;
    SatelliteViewUpdate();
    EXPECT_EQ(g_satelliteView.zoomLevel, 1);
    EXPECT_FLOAT_EQ(g_game.satelliteFieldOfView, 0.3f * kHalfPi);
    EXPECT_FLOAT_EQ(g_satelliteView.panSpeed, 100.0f);
    // Held at the limit, the level stays and the field of view is set again.
    for (int i = 0; i < 3; ++i)
        SatelliteZoomStep();
    EXPECT_EQ(g_satelliteView.zoomLevel, 0);
    EXPECT_FLOAT_EQ(g_game.satelliteFieldOfView, 0.5f * kHalfPi);
    g_input.actionDown[ACTION_ZOOMOUT] = 0;
    g_input.actionDown[ACTION_ZOOMIN] = INPUT_STATE_DOWN;
    for (int i = 0; i < 3; ++i)
        SatelliteZoomStep();
    EXPECT_EQ(g_satelliteView.zoomLevel, 2);
    EXPECT_FLOAT_EQ(g_game.satelliteFieldOfView, 0.1f * kHalfPi);
}

}  // namespace
