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
    // The front face of the view: the eye and the forward direction through it.
    D3DXVECTOR3 eye = {0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 forward = {0.0f, 0.0f, 1.0f};
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
// position, frustum planes and front face. The HUD's world markers read this copy, so that a view
// drawn into a texture in the meantime (the inset) does not move them.
void RenderSaveCamera();
// Starts the per-map frame state afresh (at map load and when the player is brought back): the
// previous-frame copies take the current camera's yaw and position, and the first-person view
// state is cleared.
void RenderResetFrameState();
