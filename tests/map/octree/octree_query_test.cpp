// Questions to the octree: the segment walk, points, boxes, and the box tests they share.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include "core/random.h"
#include "map/octree/octree.h"
#include "map/octree/octree_query.h"
#include "map/octree/octree_trace.h"
#include "platform/d3dx8_math.h"
#include "tests/map/octree/octree_fixture.h"

using namespace octree_test;

namespace {

// A root over -4..4 split twice everywhere (64 leaves of side 2), and once more in two places.
class OctreeQuery : public OctreeTest {
protected:
    void SetUp() override
    {
        m_root = OctreeCreateRoot({-4, -4, -4}, {4, 4, 4});
        m_root->CreateChildren();
        for (OctreeNode* child : m_root->children)
            child->CreateChildren();
        m_root->children[0]->children[7]->CreateChildren();
        m_root->children[6]->children[1]->CreateChildren();
        s_visits.clear();
        s_contexts.clear();
        s_stopAt = -1;
    }

    // The leaf holding the point, found by testing every leaf's box.
    OctreeNode* LeafAt(float x, float y, float z)
    {
        const Vector3 p = {x, y, z};
        OctreeNode* found = nullptr;
        for (OctreeNode* leaf : AllLeaves(m_root)) {
            if (leaf->IsPointInside(p) && !found)
                found = leaf;
        }
        return found;
    }

    static bool Visit(OctreeNode* leaf, OctreeTraceContext* context)
    {
        s_visits.push_back(leaf);
        s_contexts.push_back(*context);
        return static_cast<int>(s_visits.size()) == s_stopAt;
    }

    bool Trace(Vector3 a, Vector3 b, void* user = nullptr, s32_t tileX = 0, s32_t tileZ = 0)
    {
        const float start[3] = {a.x, a.y, a.z}, end[3] = {b.x, b.y, b.z};
        return OctreeTraceSegment(start, end, Visit, user, tileX, tileZ);
    }

    OctreeNode* m_root = nullptr;
    static inline std::vector<OctreeNode*> s_visits;
    static inline std::vector<OctreeTraceContext> s_contexts;
    static inline int s_stopAt = -1;
};

TEST_F(OctreeQuery, AStraightDownSegmentVisitsItsColumnFromTopToBottom)
{
    int user = 0;
    EXPECT_FALSE(Trace({-1, 9, 1.5f}, {-1, 7, 1.5f}, &user, 3, -2));
    ASSERT_EQ(s_visits.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        const OctreeNode* leaf = s_visits[i];
        EXPECT_EQ(leaf->boxMax.y, 4.0f - 2.0f * float(i));
        EXPECT_EQ(leaf->boxMin.x, -2.0f);
        EXPECT_EQ(leaf->boxMin.z, 0.0f);
    }
    const OctreeTraceContext& context = s_contexts[0];
    EXPECT_EQ(context.mirrorMask, u32_t(OCTREE_CHILD_Y));  // x and z are not mirrored
    EXPECT_EQ(context.start.y, 9.0f);
    EXPECT_EQ(context.direction.y, -2.0f);
    EXPECT_EQ(context.lengthSquared, 4.0f);
    EXPECT_EQ(context.user, &user);
    EXPECT_EQ(context.tileX, 3);
    EXPECT_EQ(context.tileZ, -2);
}

TEST_F(OctreeQuery, SegmentsOutsideTheRootEnterItOrVisitNothing)
{
    // Starting outside and ending before the root: the walk goes on along the ray.
    EXPECT_FALSE(Trace({-9, 1, 1}, {-8, 1, 1}));
    ASSERT_EQ(s_visits.size(), 4u);
    EXPECT_EQ(s_visits.front()->boxMin.x, -4.0f);
    EXPECT_EQ(s_visits.back()->boxMax.x, 4.0f);
    s_visits.clear();
    EXPECT_FALSE(Trace({9, 1, 1}, {10, 1, 1}));    // the root lies behind the start
    EXPECT_FALSE(Trace({-9, 9, 1}, {-8, 10, 1}));  // the ray passes the root by
    EXPECT_TRUE(s_visits.empty());
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(Trace({nan, 0, 0}, {1, 1, 1}));
    EXPECT_FALSE(Trace({0, 0, 0}, {1, inf, 1}));
    EXPECT_TRUE(s_visits.empty());
}

TEST_F(OctreeQuery, ACallbackThatReturnsTrueStopsTheWalk)
{
    s_stopAt = 2;
    EXPECT_TRUE(Trace({-3.5f, -3.5f, -3.5f}, {3.5f, 3.4f, 3.3f}));
    EXPECT_EQ(s_visits.size(), 2u);
    // A root that is a leaf is handed over as it is.
    OctreeNode* root = OctreeCreateRoot({0, 0, 0}, {1, 1, 1});
    s_visits.clear();
    s_stopAt = -1;
    EXPECT_FALSE(Trace({0.5f, 2, 0.5f}, {0.5f, 1.5f, 0.5f}));
    ASSERT_EQ(s_visits.size(), 1u);
    EXPECT_EQ(s_visits[0], root);
}

// Entry and exit of the ray start + t d in a box; no entry when it misses.
std::pair<double, double> Slabs(const OctreeNode* node, const Vector3& o, const Vector3& d)
{
    const double lo[3] = {node->boxMin.x, node->boxMin.y, node->boxMin.z};
    const double hi[3] = {node->boxMax.x, node->boxMax.y, node->boxMax.z};
    const double origin[3] = {o.x, o.y, o.z}, dir[3] = {d.x, d.y, d.z};
    double entry = -1e300, exit = 1e300;
    for (int a = 0; a < 3; ++a) {
        if (dir[a] == 0.0) {
            if (origin[a] < lo[a] || origin[a] > hi[a])
                return {1, 0};
            continue;
        }
        double t0 = (lo[a] - origin[a]) / dir[a], t1 = (hi[a] - origin[a]) / dir[a];
        if (t0 > t1)
            std::swap(t0, t1);
        entry = std::max(entry, t0);
        exit = std::min(exit, t1);
    }
    return {entry, exit};
}

float Random(float low, float high)
{
    return low + (high - low) * float(EngineRand()) / float(ENGINE_RAND_MAX);
}

// Against every leaf's own slab test: the leaves the ray meets ahead of its start, each once, in the
// order the ray enters them.
TEST_F(OctreeQuery, LeavesComeFrontToBackEachOnce)
{
    EngineSRand(777u);
    const std::vector<OctreeNode*> leaves = AllLeaves(m_root);
    ASSERT_EQ(leaves.size(), 78u);
    int walked = 0;
    for (int round = 0; round < 600; ++round) {
        const bool inside = round % 2 == 0;
        const float reach = inside ? 3.9f : 9.0f;
        const Vector3 start = {Random(-reach, reach), Random(-reach, reach), Random(-reach, reach)};
        Vector3 end = {Random(-9, 9), Random(-9, 9), Random(-9, 9)};
        if (round % 5 == 0)
            end.z = start.z;  // parallel to a plane: the floor of the direction takes over
        const Vector3 d = {end.x - start.x, end.y - start.y, end.z - start.z};
        std::vector<std::pair<double, OctreeNode*>> expected;
        for (OctreeNode* leaf : leaves) {
            const auto [entry, exit] = Slabs(leaf, start, d);
            if (entry < exit && exit >= 0)
                expected.emplace_back(entry, leaf);
        }
        std::sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<OctreeNode*> order;
        for (const auto& e : expected)
            order.push_back(e.second);
        s_visits.clear();
        EXPECT_FALSE(Trace(start, end));
        ASSERT_EQ(s_visits, order) << "round " << round;
        walked += !order.empty();
    }
    EXPECT_GT(walked, 400);
}

TEST_F(OctreeQuery, PointsFindTheirLeafAndTile)
{
    struct Case {
        const char* name;
        float point[3];
        float inRoot[3];  // where the leaf must hold it; NaN: no leaf
        s32_t tileX, tileZ;
    };
    const float none = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {"inside", {-1, 1, 3}, {-1, 1, 3}, 0, 0},
        {"at the root's top", {-1, 4, 3}, {-1, 4, 3}, 0, 0},
        {"just above the root", {-1, 4.001f, 3}, {none}, 0, 0},
        {"below the root", {-1, -4.001f, 3}, {none}, 0, 0},
        {"on the centre planes: upper children", {0, 0, 0}, {0.5f, 0.5f, 0.5f}, 0, 0},
        {"one world size to the right", {7, 1, 3}, {-1, 1, 3}, 1, 0},
        {"to the left and two ahead", {-9, 1, 19}, {-1, 1, 3}, -1, 2},
        {"on the right edge", {4, 1, 3}, {3.9f, 1, 3}, 0, 0},
        {"on the right edge a tile further", {12, 1, 3}, {3.9f, 1, 3}, 1, 0},
        {"10^6 world sizes away", {-1 + 8e6f, 1, 3}, {-1, 1, 3}, 1000000, 0},
        {"beyond every tile index", {8e12f, 1, 3}, {none}, 0, 0},
        {"not a number", {none, 1, 3}, {none}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        s32_t tile[2] = {99, 99};
        OctreeNode* leaf = OctreeFindLeaf(c.point, tile);
        EXPECT_EQ(tile[0], c.tileX);
        EXPECT_EQ(tile[1], c.tileZ);
        if (std::isnan(c.inRoot[0])) {
            EXPECT_EQ(leaf, nullptr);
            continue;
        }
        ASSERT_NE(leaf, nullptr);
        EXPECT_TRUE(leaf->IsLeaf());
        EXPECT_EQ(leaf, LeafAt(c.inRoot[0], c.inRoot[1], c.inRoot[2]));
    }
}

std::vector<std::tuple<OctreeNode*, s32_t, s32_t>> g_boxVisits;

int RecordBoxLeaf(OctreeNode* leaf, s32_t tileX, s32_t tileZ)
{
    g_boxVisits.emplace_back(leaf, tileX, tileZ);
    return 1;
}

TEST_F(OctreeQuery, BoxesAreQueriedInEveryTileTheyTouch)
{
    g_boxVisits.clear();
    // From 3.5 to 4.5 on x: the base tile's right edge lies at 4.
    const float box[6] = {3.5f, 1.5f, 1.5f, 4.5f, 1.9f, 1.9f};
    EXPECT_EQ(OctreeQueryBox(box, RecordBoxLeaf), 1);
    ASSERT_EQ(g_boxVisits.size(), 2u);
    EXPECT_EQ(g_boxVisits[0], std::make_tuple(LeafAt(3.9f, 1.7f, 1.7f), 0, 0));
    EXPECT_EQ(g_boxVisits[1], std::make_tuple(LeafAt(-3.9f, 1.7f, 1.7f), 1, 0));
    OctreeDestroy();
    EXPECT_EQ(OctreeQueryBox(box, RecordBoxLeaf), 0);
}

// A node touching the box's min face from below is not reported; one touching its max face is.
TEST_F(OctreeQuery, TouchingFacesCountOnlyOnTheBoxsMaxSide)
{
    g_boxVisits.clear();
    const float box[6] = {0, 1.5f, 1.5f, 2, 1.9f, 1.9f};
    m_root->QueryBox(box, 0, 0, RecordBoxLeaf);
    std::vector<float> reported;
    for (const auto& visit : g_boxVisits)
        reported.push_back(std::get<0>(visit)->boxMin.x);
    EXPECT_EQ(reported, (std::vector<float>{0, 2}));

    const float nodeBox[6] = {-1, -1, -1, 0, 0, 0}, above[6] = {0, 0, 0, 1, 1, 1};
    EXPECT_FALSE(BoxesOverlap(nodeBox, above));  // a's max on b's min
    EXPECT_TRUE(BoxesOverlap(above, nodeBox));   // a's min on b's max
    OctreeNode leaf;
    leaf.boxMin = {-1, -1, -1};
    leaf.boxMax = {0, 0, 0};
    EXPECT_TRUE(leaf.OverlapsBox(above));  // the box comes first
    EXPECT_TRUE(leaf.IsPointInside({0, -1, 0}));
    EXPECT_FALSE(leaf.IsPointInside({0, 0.0001f, 0}));
}

TEST(OctreeBoxTests, PlaneTestsKeepBoxesThatCrossAPlane)
{
    const float box[6] = {0, 0, 0, 2, 2, 2};
    const D3DXPLANE belowOne(0, -1, 0, 1);   // y <= 1: crosses the box
    const D3DXPLANE belowZero(0, -1, 0, 0);  // y <= 0: touches the box's bottom
    const D3DXPLANE belowMinusOne(0, -1, 0, -1);
    EXPECT_TRUE(BoxInFrontOfPlane(box, belowOne));
    EXPECT_TRUE(BoxInFrontOfPlane(box, belowZero));
    EXPECT_FALSE(BoxInFrontOfPlane(box, belowMinusOne));
    const D3DXPLANE planes[2] = {belowOne, D3DXPLANE(1, 0, 0, 0)};
    EXPECT_TRUE(BoxInsidePlanes(box, planes, 2));
    EXPECT_TRUE(BoxInsidePlanes(box, nullptr, 0));
    const D3DXPLANE outside[2] = {belowOne, belowMinusOne};
    EXPECT_FALSE(BoxInsidePlanes(box, outside, 2));

    OctreeNode node;
    node.boxMax = {2, 2, 2};
    EXPECT_EQ(node.TestPlanes(nullptr, 0), 1);
    EXPECT_EQ(node.TestPlanes(planes, 2), 2);
    EXPECT_EQ(node.TestPlanes(outside, 2), 0);
}

}  // namespace
