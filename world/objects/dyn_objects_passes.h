// Passes over every object of the world registry that the world rendering and the restart
// loading run.
#pragma once
#include "core/types.h"

struct D3DXPLANE;

// Before the world passes of a view: each graphic object's shader-setting list becomes visible
// when its box has a corner in front of every plane and it lies within 3000 units of the camera
// (at any distance while the HUD shows every list); otherwise not. Root objects and plain graphic
// objects are left alone.
void DynObjectsUpdateShaderSetVisibility(const D3DXPLANE* planes, u32_t planeCount);
// The decals of every named graphic object are cleared.
void DynObjectsClearDecals();
