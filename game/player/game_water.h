// Whether a point, or the viewer, lies in water: the water squares of the octree leaf that holds it.
#pragma once
#include "core/types.h"

// True when the point lies in a water square of its leaf and at most 1.0 above the leaf's first
// square's surface; surface receives the square's surface height (its bits), else 0.
bool GameIsPointUnderWater(u32_t* surface, const float* point);
// The same for the view position.
bool GameIsViewUnderWater(u32_t* surface);
