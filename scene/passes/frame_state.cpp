#include "scene/passes/frame_state.h"

#include <algorithm>

#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "scene/views/camera_angles.h"
#include "scene/views/first_person_view.h"
#include "scene/scene_state.h"

SavedCamera g_savedCamera;
FrameCarryState g_frameCarry;

void RenderSaveCamera()
{
    CameraGetYawPitch(&g_savedCamera.yaw, &g_savedCamera.pitch, &g_savedCamera.roll);
    g_savedCamera.view = g_camera.view;
    g_savedCamera.projection = g_camera.projection;
    g_savedCamera.position = g_camera.position;
    std::copy(g_camera.frustumPlanes, g_camera.frustumPlanes + 6, g_savedCamera.frustumPlanes);
    g_savedCamera.eye = g_camera.eye;
    g_savedCamera.forward = g_camera.forward;
}

void RenderResetFrameState()
{
    g_frameCarry = FrameCarryState();
    g_frameCarry.previousYaw = g_camera.yaw;
    g_frameCarry.previousPosition = g_camera.position;
    g_hudInput.flags.firstPersonViewState = 0;
    FirstPersonViewResetFrameState();
}
