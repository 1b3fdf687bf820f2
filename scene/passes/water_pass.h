// The water geometry of a view: the 25 world tiles seen from the main view's camera, each listing
// its octree leaves in view and drawing their water squares in one indexed draw.
#pragma once
#include "core/types.h"

// Water squares drawn in one lock of the streaming buffers.
constexpr u32_t WATER_SQUARES_PER_DRAW = 1024;

// The water of the 25 tiles from g_scene.mainViewCamera; afterwards the world transform is the
// identity and the camera is set up from the main view's camera again.
void RenderWaterPass();
// The water squares of the leaves in g_visible.nodes under the current world transform: through
// the water vertex shader when the device has one for the slot, else as plain positions.
void RenderWaterSurfaces();
// Whether the water shader path draws (the device has vertex shaders and the slot's shader loaded).
bool WaterShadersUsable(int slot);
// The slot RenderWaterSurfaces binds: 1 when fog is usable (rbfog on, cursor mode off), else 0.
int WaterShaderSlot();
