// Moving positions between the repetitions of the world.
#pragma once
#include "core/types.h"

// Moves a position (x, y, z) by whole world tiles on x and z: tileX and tileZ times the world size.
void MapOffsetByWorld(float* position, s32_t tileX, s32_t tileZ);
