#include "map/world_tiles.h"

#include "map/octree.h"

float MapGetWorldSize()
{
    return OctreeGetWorldSize();
}
