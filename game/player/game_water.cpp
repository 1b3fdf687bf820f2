#include "game/player/game_water.h"

#include <cstring>

#include "game/view/player_view.h"
#include "map/octree/octree.h"
#include "map/octree/octree_query.h"
#include "map/land_maps/water_square.h"
#include "map/terrain/world_tiles.h"

namespace {

// A point up to this far above the surface still counts as in water.
constexpr float kSurfaceMargin = 1.0f;

}  // namespace

bool GameIsPointUnderWater(u32_t* surface, const float* point)
{
    float local[3];
    s32_t tile[2];
    MapPosToCell(point, MapGetWorldSize(), local, tile);
    s32_t leafTile[2];
    OctreeNode* leaf = OctreeFindLeaf(local, leafTile);
    if (!leaf)
        return false;
    *surface = 0;
    if (leaf->waterSquareCount == 0 || !leaf->waterSquares)
        return false;
    if (point[1] > leaf->waterSquares[0]->height + kSurfaceMargin)
        return false;
    for (u32_t i = 0; i < leaf->waterSquareCount; ++i) {
        const WaterSquare* square = leaf->waterSquares[i];
        if (local[0] > square->minX && local[0] < square->maxX && local[2] > square->minZ && local[2] < square->maxZ) {
            std::memcpy(surface, &square->height, sizeof(*surface));
            return true;
        }
    }
    return false;
}

bool GameIsViewUnderWater(u32_t* surface)
{
    return GameIsPointUnderWater(surface, GameGetViewPos());
}
