// The renderer's state that runs from frame to frame of one map: the camera of the main view saved
// for the rest of the frame, the previous frame's camera, and the first-person view's state.
#pragma once
#include "core/types.h"
#include "platform/d3dx8_math.h"

// The main view's camera, kept while secondary views change the current one.
struct SavedCamera {
    float yaw = 0.0f, pitch = 0.0f, roll = 0.0f;
    D3DXMATRIX view;
    D3DXMATRIX projection;
    D3DXVECTOR3 position = {0.0f, 0.0f, 0.0f};
    D3DXPLANE frustumPlanes[6] = {};
};
extern SavedCamera g_savedCamera;

// The previous frame's camera yaw and position (the first-person view reads them), and the state
// the first-person view and the player control keep between frames.
struct FrameCarryState {
    float previousYaw = 0.0f;
    D3DXVECTOR3 previousPosition = {0.0f, 0.0f, 0.0f};
    s32_t firstPersonCounters[4] = {};
    u8_t firstPersonFlags[4][4] = {};
};
extern FrameCarryState g_frameCarry;

// Records the current camera as the main view's: its angles, view and projection matrices,
// position and frustum planes.
void RenderSaveCamera();
// Starts the per-map frame state afresh (at map load and when the player is brought back): the
// previous-frame copies take the current camera's yaw and position, and the first-person view
// state is cleared.
void RenderResetFrameState();
