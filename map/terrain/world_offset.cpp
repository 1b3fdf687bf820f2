#include "map/terrain/world_offset.h"

#include "map/terrain/world_tiles.h"

void MapOffsetByWorld(float* position, s32_t tileX, s32_t tileZ)
{
    const float size = MapGetWorldSize();
    position[0] += static_cast<float>(tileX) * size;
    position[2] += static_cast<float>(tileZ) * size;
}
