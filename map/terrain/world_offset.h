// Moving positions between the repetitions of the world.
#pragma once
#include "core/types.h"

// Moves a position (x, y, z) by whole world tiles on x and z: tileX and tileZ times the world size
// (the side of the square world, so that the move matches the tile numbers the octree gives even
// for a land that is not square).
void MapOffsetByWorld(float* position, s32_t tileX, s32_t tileZ);
