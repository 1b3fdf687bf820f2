// The satellite camera over flat land: the render core's 64 x 48 device, a flat land 2000 wide at
// height 0 centred on the origin, the screen size settings at the device's size and the satellite
// view open (the cursor steers the pick ray). Look() draws nothing but leaves on the device the view,
// projection and viewport of a camera 5000 up looking straight down, with +x to the right and +z up
// the screen, as the frame leaves them for the next frame's control.
#pragma once
#include <memory>
#include <string>

#include "game/game_state.h"
#include "render/render_cvars.h"
#include "support/keep_var.h"
#include "support/land_octree.h"
#include "support/render_test_support.h"
#include "support/temp_dir.h"

namespace map_camera {

constexpr float kCameraHeight = 5000.0f;
constexpr float kFieldOfView = 0.7853982f;

class MapCamera : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        render_test::RenderCore::SetUp();
        m_dir = std::make_unique<TempDir>();
        std::string error;
        ASSERT_TRUE(land_test::LoadLand(land_test::FlatPlan(), "land.lff", error)) << error;
        riwidth.SetInt(kWidth);
        riheight.SetInt(kHeight);
        g_game.satelliteView = 1;
        Look(0.0f, 0.0f);
    }
    void TearDown() override
    {
        g_game.satelliteView = 0;
        g_game.cursorX = g_game.cursorY = 0.0f;
        land_test::UnloadLand();
        m_dir.reset();
        render_test::RenderCore::TearDown();
    }
    static void Look(float x, float z)
    {
        RenderSetupCamera(x, kCameraHeight, z, 0.0f, 1.5707964f, 0.0f, kFieldOfView, 1);
    }
    static void Cursor(float x, float y)
    {
        g_game.cursorX = x;
        g_game.cursorY = y;
    }

private:
    KeepVar m_width{riwidth};
    KeepVar m_height{riheight};
    std::unique_ptr<TempDir> m_dir;
};

}  // namespace map_camera
