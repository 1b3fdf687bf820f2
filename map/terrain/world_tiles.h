// The world repeats on x and z with a period equal to the world size (the side of the square map);
// tile 0 is centred on the origin.
#pragma once
#include "core/types.h"

// The side of the square world: the largest extent of the map box, 0 while no map is loaded.
float MapGetWorldSize();

// Splits a position into its tile index (x, z) and its place inside that tile, on x and z alike:
// t = coordinate / size rounded to the nearest integer with halves away from zero gives the index,
// (t - index) x size the local coordinate (between -size / 2 and size / 2); y is copied. A size
// that is not positive leaves the position as it is in tile (0, 0).
void MapPosToCell(const float* position, float size, float* localOut, s32_t* indexOut);
