#include "map/terrain/world_tiles.h"

#include "map/octree/octree.h"

float MapGetWorldSize()
{
    return OctreeGetWorldSize();
}

namespace {

void SplitAxis(float coordinate, float size, float* local, s32_t* index)
{
    const float t = coordinate * (1.0f / size);
    const s32_t n = static_cast<s32_t>(t > 0.0f ? t + 0.5f : t - 0.5f);
    *local = (t - static_cast<float>(n)) * size;
    *index = n;
}

}  // namespace

void MapPosToCell(const float* position, float size, float* localOut, s32_t* indexOut)
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
    SplitAxis(x, size, &localOut[0], &indexOut[0]);
    localOut[1] = y;
    SplitAxis(z, size, &localOut[2], &indexOut[1]);
}
