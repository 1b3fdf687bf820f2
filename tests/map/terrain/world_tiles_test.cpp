// World tiles and the octree walk over view planes.
#include <gtest/gtest.h>

#include <vector>

#include "map/octree/octree.h"
#include "map/terrain/world_tiles.h"
#include "platform/d3dx8_math.h"

namespace {

TEST(WorldTiles, PositionsSplitIntoTileAndPlaceInIt)
{
    struct Case {
        float size, x, z;
        s32_t tileX, tileZ;
        float localX, localZ;
    };
    const Case cases[] = {
        {100, 150, 0, 2, 0, -50, 0},      {100, -150, 0, -2, 0, 50, 0},
        {100, 0, 49, 0, 0, 0, 49},        {100, 51, -51, 1, -1, -49, 49},
        {100, 420, -980, 4, -10, 20, 20}, {0, 150, -7, 0, 0, 150, -7},  // no world: nothing moves
    };
    for (const Case& c : cases) {
        const float position[3] = {c.x, 33, c.z};
        float local[3];
        s32_t tile[2];
        MapPosToCell(position, c.size, local, tile);
        EXPECT_EQ(tile[0], c.tileX) << c.x;
        EXPECT_EQ(tile[1], c.tileZ) << c.z;
        EXPECT_NEAR(local[0], c.localX, 1e-3f) << c.x;
        EXPECT_EQ(local[1], 33.0f);
        EXPECT_NEAR(local[2], c.localZ, 1e-3f) << c.z;
    }
    // In place, as the third-person camera wraps its target.
    float target[3] = {150, 1, -150};
    s32_t tile[2];
    MapPosToCell(target, 100, target, tile);
    EXPECT_NEAR(target[0], -50, 1e-3f);
    EXPECT_NEAR(target[2], 50, 1e-3f);
}

std::vector<OctreeNode*> g_reached;
void Reach(OctreeNode* node)
{
    g_reached.push_back(node);
}

TEST(OctreeWalk, DropsOutsideNodesAndSplitsOnlyCrossingOnes)
{
    // A root of 0..8 on each axis with eight leaves of 0..4 / 4..8; child i is high on x for bit 2,
    // y for bit 1, z for bit 0.
    OctreeNode root = {};
    root.boxMax = {8, 8, 8};
    OctreeNode leaves[8] = {};
    for (int i = 0; i < 8; ++i) {
        const float x = (i & 4) ? 4.0f : 0.0f, y = (i & 2) ? 4.0f : 0.0f, z = (i & 1) ? 4.0f : 0.0f;
        leaves[i].boxMin = {x, y, z};
        leaves[i].boxMax = {x + 4, y + 4, z + 4};
        root.children[i] = &leaves[i];
    }

    const D3DXPLANE lowX(-1, 0, 0, 3);  // x <= 3 inside: crosses the root, keeps the low half
    g_reached.clear();
    OctreeNodeCullFrustum(&root, &lowX, 1, Reach);
    EXPECT_EQ(g_reached, (std::vector<OctreeNode*>{&leaves[0], &leaves[1], &leaves[2], &leaves[3]}));

    const D3DXPLANE everything(1, 0, 0, 100);
    g_reached.clear();
    OctreeNodeCullFrustum(&root, &everything, 1, Reach);
    EXPECT_EQ(g_reached.size(), 8u);

    const D3DXPLANE nothing(1, 0, 0, -100);
    g_reached.clear();
    OctreeNodeCullFrustum(&root, &nothing, 1, Reach);
    EXPECT_TRUE(g_reached.empty());
    EXPECT_EQ(root.TestPlanes(&lowX, 1), 2);
    EXPECT_EQ(root.TestPlanes(nullptr, 0), 1);

    // Without a loaded map there is no tree to walk.
    g_reached.clear();
    OctreeCullFrustum(&everything, 1, Reach);
    EXPECT_TRUE(g_reached.empty());
    EXPECT_EQ(MapGetWorldSize(), 0.0f);
}

}  // namespace
