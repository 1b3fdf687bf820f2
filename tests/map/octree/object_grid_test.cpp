// The object grid: the link pool, linking boxes into leaves over the world's repetitions, and the
// per-leaf collections of the view passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "map/terrain/map_state.h"
#include "map/octree/object_grid.h"
#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "render/device/render_context.h"
#include "tests/map/map_world_fixture.h"
#include "world/world_cvars.h"

using namespace map_world;

namespace {

class ObjectGrid : public WorldTest {
protected:
    void TearDown() override
    {
        for (ObjectGridEntry* entry : m_entries) {
            ObjectGridUnlink(entry);
            delete entry;
        }
        m_entries.clear();
        WorldTest::TearDown();
    }
    ObjectGridEntry* Linked(std::initializer_list<float> box)
    {
        ObjectGridEntry* entry = ObjectGridEntryCreate(OBJECT_GRID_MAP_MESH, nullptr);
        m_entries.push_back(entry);
        std::vector<float> values(box);
        ObjectGridLink(entry, values.data());
        return entry;
    }
    std::vector<ObjectGridEntry*> m_entries;
};

// Planes that every box is inside of.
const D3DXPLANE kOpen[6] = {{0, 1, 0, 1e6f},  {0, -1, 0, 1e6f}, {1, 0, 0, 1e6f},
                            {-1, 0, 0, 1e6f}, {0, 0, 1, 1e6f},  {0, 0, -1, 1e6f}};
const s8_t kBaseCell[2] = {0, 0};

TEST_F(ObjectGrid, ThePoolHandsOutItsHighestSlotFirstAndDoublesWhenFull)
{
    OctreeNode* root = MakeWorld(0);
    EXPECT_EQ(g_map.gridLinkCapacity, 0u);
    ObjectGridEntry* first = Linked({-10, -10, -10, 10, 10, 10});
    EXPECT_EQ(first->firstLink, 15u);
    EXPECT_EQ(root->linkHead, 15u);
    EXPECT_EQ(g_map.gridLinkCapacity, 16u);
    for (int i = 1; i < 16; ++i)
        Linked({-10, -10, -10, 10, 10, 10});
    EXPECT_EQ(g_map.gridLinkCapacity, 16u);
    ObjectGridEntry* seventeenth = Linked({-10, -10, -10, 10, 10, 10});
    EXPECT_EQ(g_map.gridLinkCapacity, 32u);
    EXPECT_EQ(seventeenth->firstLink, 31u);
    // Iteration runs newest first; an unlinked link is reused first.
    EXPECT_EQ(EntriesOf(root).front(), seventeenth);
    ObjectGridUnlink(first);
    EXPECT_EQ(first->firstLink, GRID_LINK_NONE);
    EXPECT_EQ(EntriesOf(root).size(), 16u);
    EXPECT_EQ(Linked({0, 0, 0, 1, 1, 1})->firstLink, 15u);
}

TEST_F(ObjectGrid, ABoxTouchingALeafsMinFaceIsNotLinkedToItItsMaxFaceIs)
{
    OctreeNode* root = MakeWorld(1);
    OctreeNode* lower = root->children[0];  // x, y, z below 0
    OctreeNode* upper = root->children[OCTREE_CHILD_X];
    // Max x = 0 touches the upper-x leaf's min face only: not linked there.
    const std::vector<OctreeNode*> below = LinkedLeaves(Linked({-100, -100, -100, 0, -50, -50}));
    EXPECT_EQ(below, std::vector<OctreeNode*>{lower});
    // Min x = 0 touches the lower-x leaf's max face: linked to both.
    const std::vector<OctreeNode*> above = LinkedLeaves(Linked({0, -100, -100, 100, -50, -50}));
    EXPECT_EQ(above.size(), 2u);
    EXPECT_NE(std::find(above.begin(), above.end(), lower), above.end());
    EXPECT_NE(std::find(above.begin(), above.end(), upper), above.end());
}

TEST_F(ObjectGrid, ABoxAcrossTheBaseTilesEdgeLinksAtBothEnds)
{
    OctreeNode* root = MakeWorld(1);
    ObjectGridEntry* entry = Linked({480, -100, -100, 520, -50, -50});
    EXPECT_EQ(entry->tileRect[0], 0);
    EXPECT_EQ(entry->tileRect[2], 1);
    EXPECT_EQ(entry->tileRect[1], 0);
    EXPECT_EQ(entry->tileRect[3], 0);
    // 480..500 in the upper-x leaf, -500..-480 (the part in tile 1 shifted back) in the lower one.
    const std::vector<OctreeNode*> leaves = LinkedLeaves(entry);
    ASSERT_EQ(leaves.size(), 2u);
    EXPECT_NE(std::find(leaves.begin(), leaves.end(), root->children[0]), leaves.end());
    EXPECT_NE(std::find(leaves.begin(), leaves.end(), root->children[OCTREE_CHILD_X]), leaves.end());

    float pieces[4][6];
    const float box[6] = {480, -100, -100, 520, -50, -50};
    ASSERT_EQ(ObjectGridSplitBox(box, pieces), 2);
    EXPECT_NEAR(pieces[0][0], 480.0f, 1e-3f);
    EXPECT_EQ(pieces[0][3], 500.0f);
    EXPECT_EQ(pieces[1][0], -500.0f);
    EXPECT_NEAR(pieces[1][3], -480.0f, 1e-3f);
}

TEST_F(ObjectGrid, ABoxTwoOrMoreTilesWideIsLinkedAsOneWorldSize)
{
    MakeWorld(0);
    float pieces[4][6];
    // From x = -100 across three tiles: cut to -100 .. 900, which is the base tile's -100 .. 500
    // and tile 1's -500 .. -100.
    const float wide[6] = {-100, 0, 0, 2400, 10, 10};
    ASSERT_EQ(ObjectGridSplitBox(wide, pieces), 2);
    EXPECT_EQ(pieces[0][0], -100.0f);
    EXPECT_EQ(pieces[0][3], 500.0f);
    EXPECT_EQ(pieces[1][0], -500.0f);
    EXPECT_NEAR(pieces[1][3], -100.0f, 1e-3f);
    // Two neighbouring tiles are linked in full.
    const float two[6] = {-100, 0, 0, 700, 10, 10};
    ASSERT_EQ(ObjectGridSplitBox(two, pieces), 2);
    EXPECT_NEAR(pieces[1][3], 200.0f - 500.0f + 0.0f + 0.0f, 1e-3f);
    // Both axes straddling: four pieces, x outer.
    const float corner[6] = {490, 0, 490, 510, 10, 510};
    ASSERT_EQ(ObjectGridSplitBox(corner, pieces), 4);
    EXPECT_EQ(pieces[0][0], 490.0f);
    EXPECT_EQ(pieces[0][2], 490.0f);
    EXPECT_EQ(pieces[1][0], 490.0f);
    EXPECT_EQ(pieces[1][2], -500.0f);
}

TEST_F(ObjectGrid, EmptyNonFiniteAndFarAwayBoxesLinkNowhere)
{
    MakeWorld(1);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    for (ObjectGridEntry* entry : {Linked({1e30f, 1e30f, 1e30f, -1e30f, -1e30f, -1e30f}), Linked({nan, 0, 0, 1, 1, 1}),
                                   Linked({0, 0, 0, inf, 1, 1}), Linked({1e12f, 0, 0, 1e12f + 1, 1, 1})}) {
        EXPECT_EQ(entry->firstLink, GRID_LINK_NONE);
        EXPECT_EQ(entry->tileRect[0], 0);
    }
    // Without an octree nothing links either, and destroying the octree unlinks what was linked.
    ObjectGridEntry* linked = Linked({0, 0, 0, 1, 1, 1});
    EXPECT_NE(linked->firstLink, GRID_LINK_NONE);
    OctreeDestroy();
    EXPECT_EQ(linked->firstLink, GRID_LINK_NONE);
    EXPECT_EQ(Linked({0, 0, 0, 1, 1, 1})->firstLink, GRID_LINK_NONE);
}

TEST_F(ObjectGrid, CellRangesCompareSignedTileNumbers)
{
    const s8_t rect[4] = {-2, 0, 1, 3};
    struct Case {
        s8_t x, z;
        bool inside;
    };
    for (const Case& c : {Case{-2, 0, true}, Case{1, 3, true}, Case{2, 0, false}, Case{-3, 1, false},
                          Case{0, -1, false}, Case{0, 4, false}}) {
        const s8_t cell[2] = {c.x, c.z};
        EXPECT_EQ(CellRangeContains(cell, rect), c.inside) << int(c.x) << " " << int(c.z);
    }
}

// The map traces read a leaf's entries from its packed list: it must hold the links' entries in the
// links' order (newest first) with their kinds, owners tile rectangles and boxes, through links, unlinks
// and links again, and be empty once the pool is gone.
TEST_F(ObjectGrid, EveryLeafsPackedListFollowsItsLinksInOrder)
{
    OctreeNode* root = MakeWorld(1);
    std::vector<OctreeNode*> leaves;
    CollectLeaves(root, leaves);
    int owners[4] = {};
    auto object = [&](int i, std::initializer_list<float> box) {
        ObjectGridEntry* entry = ObjectGridEntryCreate(OBJECT_GRID_OBJECT, &owners[i]);
        m_entries.push_back(entry);
        std::vector<float> values(box);
        ObjectGridLink(entry, values.data());
        return entry;
    };
    auto expectPackedAsLinked = [&]() {
        for (const OctreeNode* leaf : leaves) {
            const std::vector<ObjectGridEntry*> linked = EntriesOf(leaf);
            ASSERT_EQ(leaf->packedCount, linked.size());
            for (size_t i = 0; i < linked.size(); ++i) {
                const PackedGridEntry& packed = leaf->packedEntries[i];
                EXPECT_EQ(packed.entry, linked[i]);
                EXPECT_EQ(packed.owner, linked[i]->owner);
                EXPECT_EQ(packed.kind, linked[i]->kind);
                EXPECT_TRUE(std::equal(packed.tileRect, packed.tileRect + 4, linked[i]->tileRect));
                EXPECT_EQ(std::memcmp(&packed.boxMin, &linked[i]->boxMin, sizeof(Vector3)), 0);
                EXPECT_EQ(std::memcmp(&packed.boxMax, &linked[i]->boxMax, sizeof(Vector3)), 0);
            }
        }
    };
    ObjectGridEntry* across = object(0, {-100, -100, -100, 100, 100, 100});     // every leaf
    Linked({-300, -300, -300, -200, -200, -200});                               // a map mesh in one leaf
    ObjectGridEntry* edge = object(1, {kHalf - 10, 0, 0, kHalf + 10, 10, 10});  // both ends of the tile
    object(2, {10, 10, 10, 20, 20, 20});
    // More entries than a new list has room for.
    for (int i = 0; i < 12; ++i)
        Linked({-50, -50, -50, 50, 50, 50});
    expectPackedAsLinked();
    ObjectGridUnlink(across);
    ObjectGridUnlink(edge);
    expectPackedAsLinked();
    ObjectGridLink(across, std::vector<float>{-100, 0, -100, 100, 100, 100}.data());
    expectPackedAsLinked();
    GridLinkPoolFree();
    for (const OctreeNode* leaf : leaves)
        EXPECT_EQ(leaf->packedCount, 0u);
}

TEST_F(ObjectGrid, CollectInPlanesCountsPastItsCapacity)
{
    OctreeNode* root = MakeWorld(0);
    for (int i = 0; i < 6; ++i)
        Linked({float(i), 0, 0, float(i) + 1, 1, 1});
    ++g_map.octreeVisitMark;
    ObjectGridEntry* list[8] = {};
    u32_t count = 0;
    root->CollectInPlanes(kOpen, 6, list, &count, 4, kBaseCell);
    EXPECT_EQ(count, 6u);
    int stamped = 0;
    for (ObjectGridEntry* entry : m_entries)
        stamped += entry->visitStamp == g_map.octreeVisitMark ? 1 : 0;
    EXPECT_EQ(stamped, 4);
    EXPECT_EQ(list[4], nullptr);
}

TEST_F(ObjectGrid, AnEntryInSeveralLeavesIsCollectedOncePerStamp)
{
    OctreeNode* root = MakeWorld(1);
    ObjectGridEntry* entry = Linked({-10, -10, -10, 10, 10, 10});  // in all 8 leaves
    ObjectGridEntry* list[16] = {};
    u32_t count = 0;
    ++g_map.octreeVisitMark;
    for (OctreeNode* leaf : {root->children[0], root->children[3], root->children[7]})
        leaf->CollectDrawable(kOpen, list, &count, 16, kBaseCell);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(list[0], entry);
    ++g_map.octreeVisitMark;
    root->children[5]->CollectDrawable(kOpen, list, &count, 16, kBaseCell);
    EXPECT_EQ(count, 2u);
    // Outside the camera's cell, or outside a plane, it is not collected.
    ++g_map.octreeVisitMark;
    const s8_t otherCell[2] = {1, 0};
    root->children[0]->CollectDrawable(kOpen, list, &count, 16, otherCell);
    D3DXPLANE closed[6];
    std::copy(kOpen, kOpen + 6, closed);
    closed[2] = {1, 0, 0, -100};  // only x >= 100
    root->children[0]->CollectDrawable(closed, list, &count, 16, kBaseCell);
    EXPECT_EQ(count, 2u);
}

class ObjectGridDistance : public ObjectGrid {
protected:
    void SetUp() override
    {
        m_camera = g_camera;
        m_width = g_render.screenWidth;
        m_height = g_render.screenHeight;
        g_camera.eye = D3DXVECTOR3(0, 0, 0);
        g_camera.fov = 1.5707964f;
        g_render.screenWidth = 800;
        g_render.screenHeight = 600;
    }
    void TearDown() override
    {
        g_camera = m_camera;
        g_render.screenWidth = m_width;
        g_render.screenHeight = m_height;
        ObjectGrid::TearDown();
    }
    CameraState m_camera;
    int m_width = 0, m_height = 0;
};

TEST_F(ObjectGridDistance, TooSmallForItsDistanceIsStampedNotCollectedFarIsReducedDetail)
{
    MakeWorld(1);
    // k = tan(pi/2 / 1 / 2) = 1. A structure of radius ~0.87 at distance 400: 0.87/400 < 1/200.
    TestObject* tiny = Make({399.5f, -0.5f, -0.5f, 400.5f, 0.5f, 0.5f}, OBJECT_TYPE_STRUCTURE);
    // Radius ~17 at 400: collected, (400 - 17) x 0.1 = 38 is within rfspdist 100: full detail.
    TestObject* near = Make({390, -10, -10, 410, 10, 10}, OBJECT_TYPE_TREE);
    // At 2000 (beyond the base tile, but linked by its local place) it would be far; a map object
    // of radius 173 at 1500 on z: (1500 - 173) x 0.1 > 100: reduced detail.
    TestObject* far = Make({-100, -100, 1400, 100, 100, 1600}, OBJECT_TYPE_MAP_OBJECT);
    // An entity is not subject to the rule.
    TestObject* entity = Make({299.9f, -0.1f, -0.1f, 300.1f, 0.1f, 0.1f}, OBJECT_TYPE_ENTITY);
    for (TestObject* o : {tiny, near, far, entity})
        ASSERT_TRUE(DynObjectAdd(o));
    far->fullDetail = 1;
    near->fullDetail = 0;
    ++g_map.octreeVisitMark;
    ObjectGridEntry* list[16] = {};
    u32_t count = 0;
    const s8_t cell1[2] = {0, 1};
    for (OctreeNode* leaf : AllLeaves())
        leaf->CollectDrawable(kOpen, list, &count, 16, kBaseCell);
    for (OctreeNode* leaf : AllLeaves())
        leaf->CollectDrawable(kOpen, list, &count, 16, cell1);
    std::vector<ObjectGridEntry*> got(list, list + count);
    EXPECT_EQ(std::count(got.begin(), got.end(), tiny->gridEntry), 0);
    EXPECT_EQ(tiny->gridEntry->visitStamp, g_map.octreeVisitMark);
    EXPECT_EQ(std::count(got.begin(), got.end(), near->gridEntry), 1);
    EXPECT_EQ(near->fullDetail, 1);
    EXPECT_EQ(std::count(got.begin(), got.end(), far->gridEntry), 1);
    EXPECT_EQ(far->fullDetail, 0);
    EXPECT_EQ(std::count(got.begin(), got.end(), entity->gridEntry), 1);
}

TEST_F(ObjectGridDistance, AScreenTallerThanWideCountsAsAspectOne)
{
    MakeWorld(1);
    g_render.screenWidth = 600;
    g_render.screenHeight = 800;
    TestObject* tree = Make({390, -10, -10, 410, 10, 10}, OBJECT_TYPE_TREE);
    ASSERT_TRUE(DynObjectAdd(tree));
    ++g_map.octreeVisitMark;
    ObjectGridEntry* list[4] = {};
    u32_t count = 0;
    for (OctreeNode* leaf : AllLeaves())
        leaf->CollectDrawable(kOpen, list, &count, 4, kBaseCell);
    EXPECT_EQ(count, 1u);
}

}  // namespace
