#include "map/terrain/world_tiles.h"

#include "map/octree/octree.h"

float MapGetWorldSize()
{
    return OctreeGetWorldSize();
}
