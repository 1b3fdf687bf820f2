#include "game/view/external_camera.h"

#include "ai/envelopes/mission_cameras.h"
#include "core/frame_view.h"
#include "game/mission/game_frame.h"
#include "game/game_test_hooks.h"
#include "game/player/game_water.h"
#include "render/camera.h"
#include "render/device/frame.h"
#include "scene/scene_state.h"
#include "scene/hud/screen_fade.h"
#include "scene/sky/sky_backdrop.h"
#include "scene/passes/visibility_pass.h"

namespace {

bool g_externalCamera = false;

// The external camera stands high over the map's origin and never moves.
const float kExternalPosition[3] = {0.0f, 500.0f, 0.0f};
constexpr float kExternalYaw = -1.0f;
constexpr float kExternalFieldOfView = 1.5707964f;

}  // namespace

void SwitchToExternalCamera(ScriptArgWord*)
{
    g_externalCamera = true;
}

void SwitchFromExternalCamera(ScriptArgWord*)
{
    g_externalCamera = false;
}

bool ExternalCameraActive()
{
    return g_externalCamera;
}

const float* ExternalCameraPosition()
{
    return kExternalPosition;
}

void ExternalCameraFrame()
{
    GameAdvanceFrameClock();
    MissionCameraUpdateAll();
    ExternalCameraDraw();
}

void ExternalCameraDraw()
{
    // The water test of this view, not the player's last outdoor frame's.
    u32_t surface = 0;
    g_scene.viewUnderWater = GameIsPointUnderWater(&surface, kExternalPosition) ? 1 : 0;
    RenderSetViewFromAngles(kExternalPosition, kExternalYaw, 0.0f, 0.0f);
    if (RenderBeginFrame() != 0)
        return;
    SkyBackdropDrawStandalone(kExternalPosition, kExternalYaw, 0.0f, 0.0f, kExternalFieldOfView);
    RenderVisibilityPass(kExternalPosition[0], kExternalPosition[1], kExternalPosition[2], kExternalYaw, 0.0f, 0.0f,
                         kExternalFieldOfView);
    GameDrawConsoleOrMessages(g_frameView.screenOpen);
    ScreenFadeDraw();
    if (const auto drawn = GameGetTestHooks().externalDrawn)
        drawn();
    RenderEndFrame(true);
}
