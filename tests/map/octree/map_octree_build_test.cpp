// The map's octree step: roads moved into the base tile and cut at its far edges, overlays laid on
// the land, water squares filed in their leaves, and the ".oct" cache written then read back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "map/meshes/geometry_cut.h"
#include "map/terrain/map_caches.h"
#include "map/terrain/map_grid.h"
#include "map/octree/map_leaf_data.h"
#include "map/octree/map_octree_build.h"
#include "map/terrain/roads.h"
#include "map/land_maps/water_layers.h"
#include "octree_fixture.h"
#include "support/temp_dir.h"

using namespace octree_test;

namespace {

constexpr float kHalf = 50.0f;  // the base tile is [-50, 50] on x and z: world size 100

// A road strip along x from x0 to x1 (a cross-section about every 10 units), z from z0 to z0 + 4, at
// height y; u = x / 10.
Road* MakeRoad(float x0, float x1, float z0, float y, u32_t tileWord)
{
    Road* road = new Road();
    std::vector<MapVertex> vertices;
    std::vector<MapFace> faces;
    const int sections = std::max(2, static_cast<int>((x1 - x0) / 10.0f) + 1);
    for (int s = 0; s < sections; ++s) {
        const float x = x0 + (x1 - x0) * float(s) / float(sections - 1);
        vertices.push_back(Vertex(x, y, z0, x / 10, 0));
        vertices.push_back(Vertex(x, y, z0 + 4, x / 10, 1));
        if (s > 0) {
            const u32_t b = static_cast<u32_t>(s - 1) * 2;
            faces.push_back(Face(b, b + 1, b + 2));
            faces.push_back(Face(b + 3, b + 2, b + 1));
        }
    }
    road->vertexCount = static_cast<u32_t>(vertices.size());
    road->vertices = new MapVertex[vertices.size()];
    std::copy(vertices.begin(), vertices.end(), road->vertices);
    road->faceCount = static_cast<u32_t>(faces.size());
    road->faces = new MapFace[faces.size()];
    std::copy(faces.begin(), faces.end(), road->faces);
    road->boundsMin = {x0, y, z0};
    road->boundsMax = {x1, y, z0 + 4};
    road->tileWord = tileWord;
    return road;
}

// The land over the base tile: cells x cells quads with the height function; arrays for the octree.
MapLandGeometry Land(int cells, float (*height)(float, float))
{
    OwnedSet set;
    FillLand(set, cells, -kHalf, kHalf, -kHalf, kHalf, height);
    MapLandGeometry land;
    land.vertices = set.vertices;
    land.vertexCount = set.vertexCount;
    land.faces = set.faces;
    land.faceCount = set.faceCount;
    land.boxMin = {-kHalf, -kHalf, -kHalf};
    land.boxMax = {kHalf, kHalf, kHalf};
    set.vertices = nullptr;
    set.faces = nullptr;
    set.Reset(false);
    return land;
}

float Flat(float, float)
{
    return 0.0f;
}

float Slope(float x, float)
{
    return 0.25f * x;
}

MapGrid* Mask(u32_t side, u8_t fill)
{
    MapGrid* grid = static_cast<MapGrid*>(std::malloc(sizeof(MapGrid)));
    grid->size = side;
    grid->data = static_cast<u8_t*>(std::malloc(side * side));
    std::memset(grid->data, fill, side * side);
    return grid;
}

class MapOctreeBuild : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        WriteFileBytes("maps/land.dat", "map data");
        MapSetDataPath("maps\\land.dat");
    }
    void TearDown() override
    {
        RoadListFree();
        WaterLayersFree();
        OctreeDestroy();
        MapSetDataPath("");
        TempDirTest::TearDown();
    }
    // A fresh root over the base tile and the octree step over the land and the roads.
    bool Build(int cells, float (*height)(float, float))
    {
        OctreeCreateRoot({-kHalf, -kHalf, -kHalf}, {kHalf, kHalf, kHalf});
        MapLandGeometry land = Land(cells, height);
        const bool read = MapBuildOctree(&land, "land");
        EXPECT_EQ(land.vertices, nullptr);  // taken over
        return read;
    }
};

std::vector<OctreeGeometry*> AllSets(OctreeNode* root)
{
    std::vector<OctreeGeometry*> sets;
    for (OctreeNode* leaf : AllLeaves(root)) {
        for (u32_t i = 0; i < leaf->secondarySetCount; ++i) {
            if (leaf->secondarySets[i]->faceCount)
                sets.push_back(leaf->secondarySets[i]);
        }
    }
    return sets;
}

}  // namespace

TEST(GeometryCut, RecentringMovesByWholeTilesAndAdvancesTheOffset)
{
    struct Case {
        float minX, minZ;
        u32_t stamp, expected;
        float movedX;
    };
    const Case cases[] = {
        {230, 10, 0, 2, -200},                                          // two tiles along x
        {-260, 160, 0, 0xFFFDu | (2u << 16), 300},                      // back three, up two: 16-bit halves wrap
        {230, 10, OCTREE_ALWAYS_VISIBLE, OCTREE_ALWAYS_VISIBLE, -200},  // moved, the stamp kept
        {40, -40, 5, 5, 0},                                             // already in the base tile
    };
    for (const Case& c : cases) {
        OwnedSet set;
        Fill(set, {Vertex(c.minX, 0, c.minZ), Vertex(c.minX + 30, 0, c.minZ), Vertex(c.minX, 0, c.minZ + 5)},
             {Face(0, 1, 2)});
        set.material.visibleStamp = c.stamp;
        GeometryRecentreToBaseTile(&set, 100.0f);
        EXPECT_EQ(set.material.visibleStamp, c.expected) << c.minX;
        EXPECT_FLOAT_EQ(set.vertices[0].position.x, c.minX + c.movedX);
        EXPECT_FLOAT_EQ(set.boundsMin.x, c.minX + c.movedX);
    }
    EXPECT_EQ(TileOffsetAdvance(0x0001FFFFu, 1, -2), 0xFFFF0000u);
}

TEST_F(MapOctreeBuild, ARoadFarPastTheEdgeIsCutIntoTheBaseTile)
{
    RoadListAdd(MakeRoad(30, 280, 0, 1, 0));                 // past max x by 2.3 world sizes
    RoadListAdd(MakeRoad(130, 160, 44, 1, ROAD_TILE_NONE));  // one tile on; across max z
    Build(4, Flat);
    std::vector<u32_t> xTiles;
    double length = 0.0;
    for (OctreeGeometry* set : AllSets(OctreeGetRoot())) {
        for (u32_t v = 0; v < set->vertexCount; ++v) {
            const Vector3& p = set->vertices[v].position;
            EXPECT_GE(p.x, -kHalf - 1e-3f);
            EXPECT_LE(p.x, kHalf + 1e-3f);
            EXPECT_GE(p.z, -kHalf - 1e-3f);
            EXPECT_LE(p.z, kHalf + 1e-3f);
            EXPECT_NEAR(p.y, 0.0f, 1e-4f);  // laid on the land
        }
        if (set->material.visibleStamp != ROAD_TILE_NONE)
            xTiles.push_back(set->material.visibleStamp);
        length += TotalArea(*set);
    }
    std::sort(xTiles.begin(), xTiles.end());
    EXPECT_EQ(xTiles, (std::vector<u32_t>{0, 1, 2, 3}));
    // Nothing lost: 250 x 4 and 30 x 4.
    EXPECT_NEAR(length, 250.0 * 4 + 30.0 * 4, 1e-2);
}

TEST_F(MapOctreeBuild, OverlaysLieOnTheLandOrVanish)
{
    RoadListAdd(MakeRoad(-20, 20, -2, 30, 0));
    Build(8, Slope);
    const std::vector<OctreeGeometry*> sets = AllSets(OctreeGetRoot());
    ASSERT_FALSE(sets.empty());
    double area = 0.0;
    for (OctreeGeometry* set : sets) {
        area += TotalArea(*set);
        for (u32_t v = 0; v < set->vertexCount; ++v) {
            const Vector3& p = set->vertices[v].position;
            EXPECT_NEAR(p.y, 0.25f * p.x, 1e-3f);
            EXPECT_NEAR(set->vertices[v].u, p.x / 10, 1e-3f);
        }
    }
    EXPECT_NEAR(area, 40.0 * 4 * std::sqrt(1 + 0.25 * 0.25), 1e-2);

    // A piece over no face of its leaf keeps no faces.
    OctreeNode* leaf = AllLeaves(OctreeGetRoot()).front();
    OctreeGeometry* set = new OctreeGeometry();
    Fill(*set, {Vertex(500, 0, 500), Vertex(510, 0, 500), Vertex(500, 0, 510)}, {Face(0, 1, 2)});
    leaf->AddSecondarySet(set);
    MapPrepareLeafData();
    EXPECT_EQ(set->faceCount, 0u);
}

TEST_F(MapOctreeBuild, WaterSquaresFromTheMask)
{
    OctreeCreateRoot({-kHalf, -kHalf, -kHalf}, {kHalf, kHalf, kHalf});
    WaterLayer layer;
    layer.height = 2.0f;
    layer.mask = Mask(2, 50);
    WaterLayerBuildSquares(layer, 100.0f);
    EXPECT_EQ(layer.squareCount, 0u);
    layer.mask->data[0] = 51;  // row 0 of the mask is its last row on z
    WaterLayerBuildSquares(layer, 100.0f);
    ASSERT_EQ(layer.squareCount, 1u);
    const WaterSquare& s = layer.squares[0];
    EXPECT_EQ(s.minX, -50.0f);
    EXPECT_EQ(s.maxX, 0.0f);
    EXPECT_EQ(s.minZ, 0.0f);
    EXPECT_EQ(s.maxZ, 50.0f);
    EXPECT_EQ(s.height, 2.0f);
    MapGridFree(layer.mask);
    delete[] layer.squares;
}

TEST_F(MapOctreeBuild, AFullLeafDropsFurtherSquaresAndSquaresOutsideTheTreeAreSkipped)
{
    WaterLayer* layers = MapGetWaterLayers();
    layers[3].mask = Mask(32, 255);  // 1024 squares over one leaf
    layers[3].height = 1.0f;
    layers[5].mask = Mask(2, 255);
    layers[5].height = 500.0f;  // above the tree: in no leaf
    Build(2, Flat);
    OctreeNode* root = OctreeGetRoot();
    ASSERT_TRUE(root->IsLeaf());
    EXPECT_EQ(layers[3].squareCount, 1024u);
    EXPECT_EQ(layers[5].squareCount, 4u);
    ASSERT_EQ(root->waterSquareCount, OCTREE_MAX_WATER_SQUARES);
    for (u32_t i = 0; i < root->waterSquareCount; ++i)
        EXPECT_EQ(root->waterSquares[i]->height, 1.0f);
    WaterLayersFree();
    EXPECT_EQ(layers[3].mask, nullptr);
    EXPECT_EQ(layers[3].squareCount, 0u);
}

TEST_F(MapOctreeBuild, TheCacheReadBackGivesTheSameLeavesAndSets)
{
    struct Leaf {
        Vector3 boxMin;
        u32_t faces;
        std::vector<std::vector<float>> sets;  // every set's vertex positions
        bool operator==(const Leaf& o) const
        {
            return boxMin.x == o.boxMin.x && boxMin.y == o.boxMin.y && boxMin.z == o.boxMin.z && faces == o.faces &&
                   sets == o.sets;
        }
    };
    auto snapshot = [] {
        std::vector<Leaf> leaves;
        for (OctreeNode* node : AllLeaves(OctreeGetRoot())) {
            Leaf leaf{node->boxMin, node->geometry.faceCount, {}};
            for (u32_t i = 0; i < node->secondarySetCount; ++i) {
                const OctreeGeometry* set = node->secondarySets[i];
                std::vector<float> points;
                for (u32_t v = 0; v < set->vertexCount; ++v) {
                    points.push_back(set->vertices[v].position.x);
                    points.push_back(set->vertices[v].position.y);
                    points.push_back(set->vertices[v].position.z);
                }
                points.push_back(static_cast<float>(set->faceCount));
                leaf.sets.push_back(points);
            }
            leaves.push_back(leaf);
        }
        return leaves;
    };
    auto roads = [] {
        RoadListFree();
        RoadListAdd(MakeRoad(-40, 140, -10, 5, 0));
        RoadListAdd(MakeRoad(-30, 30, 20, 5, ROAD_TILE_NONE));
    };
    roads();
    EXPECT_FALSE(Build(24, Slope));
    EXPECT_FALSE(OctreeGetRoot()->IsLeaf());
    EXPECT_TRUE(std::filesystem::exists("maps/land.oct"));
    EXPECT_GT(AllSets(OctreeGetRoot()).size(), 2u);  // the roads in several leaves
    const std::vector<Leaf> built = snapshot();

    roads();
    EXPECT_TRUE(Build(24, Slope));
    EXPECT_TRUE(snapshot() == built);

    // A forced rebuild ignores the file.
    roads();
    MapForceCacheRebuild(true);
    EXPECT_FALSE(Build(24, Slope));
    MapForceCacheRebuild(false);
    EXPECT_TRUE(snapshot() == built);
}
