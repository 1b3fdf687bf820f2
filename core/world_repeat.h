// The world repeats on x and z with a period equal to the world size (the side of the square map, the
// frame view's worldSize); tile 0 is centred on the origin. The tile arithmetic that the renderer, the
// objects and the map share.
#pragma once
#include "core/types.h"

// Splits a position into its tile index (x, z) and its place inside that tile, on x and z alike:
// t = coordinate / size rounded to the nearest integer with halves away from zero gives the index,
// (t - index) x size the local coordinate (between -size / 2 and size / 2); y is copied. A size
// that is not positive leaves the position as it is in tile (0, 0). The position and the local
// place may be the same array.
inline void MapPosToCell(const float* position, float size, float* localOut, s32_t* indexOut)
{
    const float x = position[0], y = position[1], z = position[2];
    if (!(size > 0.0f)) {
        localOut[0] = x;
        localOut[1] = y;
        localOut[2] = z;
        indexOut[0] = 0;
        indexOut[1] = 0;
        return;
    }
    const auto splitAxis = [size](float coordinate, float* local, s32_t* index) {
        const float t = coordinate * (1.0f / size);
        const s32_t n = static_cast<s32_t>(t > 0.0f ? t + 0.5f : t - 0.5f);
        *local = (t - static_cast<float>(n)) * size;
        *index = n;
    };
    splitAxis(x, &localOut[0], &indexOut[0]);
    localOut[1] = y;
    splitAxis(z, &localOut[2], &indexOut[1]);
}
