// Frame begin and end, lost-device recovery, and the default-pool resources that a reset or a
// mode change releases and makes again.
#pragma once
#include "platform/d3d8.h"

// 0 when the scene has begun and the frame may be drawn; -1 when it is to be skipped (device
// lost, just reset, or the scene could not begin).
int RenderBeginFrame();
// Ends the scene and, when present is true, shows the back buffer.
void RenderEndFrame(bool present);
// Releases every default-pool resource: the device's own and, through their release hooks
// (render/device/device_hooks.h), its clients'. Safe to run twice.
void RenderReleaseDeviceResources();
// Makes the streaming buffers, the clients' resources (their recreate hooks) and the render
// targets, and clears the state caches.
void RenderCreateDeviceResources();
// The colour frame begin clears to; a non-zero alpha byte leaves the back buffer uncleared.
void RenderSetClearColor(D3DCOLOR argb);
