// Map traces: the leaf test (land triangles, map meshes, objects, water), the walk over the world's
// repetitions, terrain heights, and the prepared leaf triangles against the plain face-by-face test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "ai/envelope.h"
#include "map/map_trace.h"
#include "map/map_trace_leaf.h"
#include "map/map_trace_walk.h"
#include "map/octree_query.h"
#include "map/octree_trace.h"
#include "map/terrain_height.h"
#include "map/water_square.h"
#include "platform/d3dx8_math.h"
#include "support/land_octree.h"
#include "support/temp_dir.h"
#include "tests/map/map_world_fixture.h"

using namespace map_world;

namespace {

struct Tri {
    Vector3 a, b, c;
};

// Replaces the leaf's own faces by the triangles (normals up), all of them traced.
void SetLeafTriangles(OctreeNode* leaf, const std::vector<Tri>& triangles)
{
    OctreeGeometry& g = leaf->geometry;
    g.Reset(true);
    g.vertexCount = g.vertexCapacity = static_cast<u32_t>(triangles.size() * 3);
    g.faceCount = g.faceCapacity = static_cast<u32_t>(triangles.size());
    g.vertices = new MapVertex[g.vertexCount];
    g.faces = new MapFace[g.faceCount];
    g.boundsMin = {1e30f, 1e30f, 1e30f};
    g.boundsMax = {-1e30f, -1e30f, -1e30f};
    u32_t v = 0, f = 0;
    for (const Tri& t : triangles) {
        for (const Vector3& p : {t.a, t.b, t.c}) {
            g.vertices[v] = {p, 0, 0, {0, 1, 0}};
            g.boundsMin = {std::fmin(g.boundsMin.x, p.x), std::fmin(g.boundsMin.y, p.y), std::fmin(g.boundsMin.z, p.z)};
            g.boundsMax = {std::fmax(g.boundsMax.x, p.x), std::fmax(g.boundsMax.y, p.y), std::fmax(g.boundsMax.z, p.z)};
            ++v;
        }
        g.faces[f] = MapFace{};
        for (int c = 0; c < 3; ++c)
            g.faces[f].indices[c] = static_cast<u16_t>(f * 3 + c);
        ++f;
    }
    g.traceFaceCount = g.faceCount;
}

// A horizontal square of two triangles at height y over [x0, x1] x [z0, z1].
std::vector<Tri> Square(float x0, float x1, float z0, float z1, float y)
{
    return {{{x0, y, z0}, {x0, y, z1}, {x1, y, z1}}, {{x0, y, z0}, {x1, y, z1}, {x1, y, z0}}};
}

OctreeNode* LeafAt(float x, float y, float z)
{
    const float p[3] = {x, y, z};
    s32_t tile[2];
    return OctreeFindLeaf(p, tile);
}

MapTraceInfo Request(u32_t flags, u32_t objOptions = 0)
{
    MapTraceInfo info;
    info.flags = flags;
    info.objOptions = objOptions;
    info.ignoreObject = nullptr;
    info.hitObject = nullptr;
    info.hitFaceSet = nullptr;
    info.hitWater = 0;
    return info;
}

class MapTraceTest : public WorldTest {};

TEST_F(MapTraceTest, AHitBeyondTheCurrentLeafIsFoundInTheNext)
{
    MakeWorld(1);
    // A wall at x = 100 across y and z, held by both lower-y, lower-z leaves.
    const Tri wall = {{100, -400, -400}, {100, -400, -10}, {100, -10, -250}};
    OctreeNode* first = LeafAt(-1, -250, -250);
    OctreeNode* second = LeafAt(1, -250, -250);
    SetLeafTriangles(first, {wall});
    SetLeafTriangles(second, {wall});
    MapTraceInfo info = Request(0);
    const float start[3] = {-400, -250, -250}, end[3] = {400, -250, -250};
    ASSERT_TRUE(MapTrace(start, end, &info));
    EXPECT_EQ(info.hitMesh, &second->geometry);
    EXPECT_FLOAT_EQ(info.fraction, 0.625f);
    EXPECT_FLOAT_EQ(info.hitPoint.x, 100.0f);
    EXPECT_EQ(info.hitMapMesh, nullptr);
    EXPECT_EQ(info.resultKind, TRACE_RESULT_NONE);
    // A hit exactly at the end counts; one behind the start does not.
    const float toWall[3] = {100, -250, -250}, fromBehind[3] = {101, -250, -250}, further[3] = {400, -250, -250};
    EXPECT_TRUE(MapTrace(start, toWall, &info));
    EXPECT_FLOAT_EQ(info.fraction, 1.0f);
    EXPECT_FALSE(MapTrace(fromBehind, further, &info));
}

TEST_F(MapTraceTest, ALeafWithoutTraceFacesIsNotTested)
{
    MakeWorld(0);
    SetLeafTriangles(OctreeGetRoot(), Square(-100, 100, -100, 100, 0));
    OctreeGetRoot()->geometry.traceFaceCount = 0;
    const float start[3] = {0, 50, 0}, end[3] = {0, -50, 0};
    EXPECT_FALSE(MapTrace(start, end, nullptr));
    OctreeGetRoot()->geometry.traceFaceCount = 2;
    EXPECT_TRUE(MapTrace(start, end, nullptr));
}

TEST_F(MapTraceTest, TheNormalIsInterpolatedOverTheFace)
{
    MakeWorld(0);
    const Tri t = {{0, 0, 0}, {0, 0, 100}, {100, 0, 0}};
    SetLeafTriangles(OctreeGetRoot(), {t});
    OctreeGeometry& g = OctreeGetRoot()->geometry;
    g.vertices[0].normal = {0, 1, 0};
    g.vertices[1].normal = {0, 0, 1};  // second vertex: weight V
    g.vertices[2].normal = {1, 0, 0};  // third vertex: weight U
    MapTraceInfo info = Request(TRACE_NORMAL);
    const float start[3] = {100, 10, 0}, end[3] = {100, -10, 0};  // the third vertex
    ASSERT_TRUE(MapTrace(start, end, &info));
    EXPECT_NEAR(info.normal.x, 1.0f, 1e-5f);
    const float middle[3] = {0, 10, 50}, below[3] = {0, -10, 50};  // between first and second
    ASSERT_TRUE(MapTrace(middle, below, &info));
    EXPECT_NEAR(info.normal.y, std::sqrt(0.5f), 1e-5f);
    EXPECT_NEAR(info.normal.z, std::sqrt(0.5f), 1e-5f);
}

TEST_F(MapTraceTest, ANullRecordWalksNoTiles)
{
    MakeWorld(0);
    SetLeafTriangles(OctreeGetRoot(), Square(-100, 100, -100, 100, 0));
    // From tile 1 down onto the square's repetition: only a tiled trace gets there.
    const float start[3] = {1000, 10, 0}, end[3] = {1000, -10, 0};
    EXPECT_FALSE(MapTrace(start, end, nullptr));
    MapTraceInfo info = Request(TRACE_TILED);
    ASSERT_TRUE(MapTrace(start, end, &info));
    EXPECT_FLOAT_EQ(info.hitPoint.x, 1000.0f);
    info = Request(0);
    EXPECT_FALSE(MapTrace(start, end, &info));
}

TEST_F(MapTraceTest, ATiledTraceWalksAtMostFiveTiles)
{
    MakeWorld(0);
    SetLeafTriangles(OctreeGetRoot(), Square(-100, 100, -100, 100, 0));
    // Slanting through tiles 0..7 on x; the square's repetition in tile 6 is hit at x = 6000.
    const float start[3] = {0, 60, 0}, end[3] = {7000, -10, 0};
    MapTraceInfo info = Request(TRACE_TILED);
    const float nearEnd[3] = {5000, 10, 0};
    EXPECT_FALSE(MapTrace(start, end, &info));
    EXPECT_EQ(g_map.traceTileOffset[0], 4000.0f);  // tiles 0 to 4
    // The same walk through the callback has no limit.
    struct Seen {
        int tiles = 0;
        s32_t lastTile = -1;
    } seen;
    auto count = [](OctreeNode*, OctreeTraceContext* context) {
        Seen* s = static_cast<Seen*>(context->user);
        if (context->tileX != s->lastTile) {
            ++s->tiles;
            s->lastTile = context->tileX;
        }
        return false;
    };
    EXPECT_FALSE(MapTraceWithCallback(start, end, count, &seen, true));
    EXPECT_EQ(seen.tiles, 8);
    (void)nearEnd;
    // A segment that is not finite traces nothing, and neither does a tile beyond the counted ones.
    seen = Seen{};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float broken[3] = {nan, 0, 0}, huge[3] = {1e30f, 0, 0};
    EXPECT_FALSE(MapTraceWithCallback(broken, end, count, &seen, true));
    EXPECT_FALSE(MapTraceWithCallback(start, huge, count, &seen, true));
    EXPECT_FALSE(MapTrace(broken, end, &info));
    EXPECT_EQ(seen.tiles, 0);
}

TEST_F(MapTraceTest, TerrainHeightOverAHoleIsZeroAfterTwoTracesAndRepeatsOneWorldAway)
{
    MakeWorld(0);
    // Land at height 40 over x from 100.005 on: a column at x = 100 misses, its neighbour 0.0134
    // further hits.
    SetLeafTriangles(OctreeGetRoot(), Square(100.005f, 400, -400, 400, 40));
    const u32_t stamp = g_map.traceStamp;
    EXPECT_EQ(MapTerrainHeight(-200, 0, nullptr, nullptr), 0.0f);
    EXPECT_EQ(g_map.traceStamp, stamp + 2);
    bool hit = true;
    Vector3 normal = {7, 7, 7};
    EXPECT_EQ(MapTerrainHeight(-200, 0, &hit, &normal), 0.0f);
    EXPECT_TRUE(hit);  // left unwritten
    EXPECT_EQ(normal.x, 7.0f);
    EXPECT_FLOAT_EQ(MapTerrainHeight(100, 0, nullptr, nullptr), 40.0f);
    EXPECT_FLOAT_EQ(MapTerrainHeight(250 + 1000, -3000, nullptr, nullptr), 40.0f);
    EXPECT_FLOAT_EQ(MapTerrainHeight(250 - 2000, 0, &hit, &normal), 40.0f);
    EXPECT_FALSE(hit);
    EXPECT_NEAR(normal.y, 1.0f, 1e-6f);
}

TEST_F(MapTraceTest, TheHitFlagTellsOfAMapMeshPieceAcrossTheColumn)
{
    MakeWorld(0);
    OctreeNode* root = OctreeGetRoot();
    SetLeafTriangles(root, Square(-400, 400, -400, 400, 0));
    OctreeGeometry* roof = new OctreeGeometry();
    roof->vertexCount = roof->vertexCapacity = 3;
    roof->vertices = new MapVertex[3]{{{0, 50, 0}, 0, 0, {}}, {{0, 50, 100}, 0, 0, {}}, {{100, 50, 0}, 0, 0, {}}};
    roof->faceCount = roof->faceCapacity = 1;
    roof->faces = new MapFace[1];
    roof->faces[0] = MapFace{{0, 1, 2}};
    root->AddSecondarySet(roof);
    bool hit = false;
    EXPECT_EQ(MapTerrainHeight(10, 10, &hit, nullptr), 0.0f);
    EXPECT_TRUE(hit);
    EXPECT_EQ(MapTerrainHeight(-10, -10, &hit, nullptr), 0.0f);
    EXPECT_FALSE(hit);
    MapTraceInfo info = Request(TRACE_FACESETS);
    const float start[3] = {10, 100, 10}, end[3] = {10, -100, 10};
    ASSERT_TRUE(MapTrace(start, end, &info));
    EXPECT_EQ(info.hitFaceSet, roof);
}

class WaterTrace : public MapTraceTest {
protected:
    void SetUp() override
    {
        MakeWorld(0);
        OctreeNode* root = OctreeGetRoot();
        SetLeafTriangles(root, Square(-400, 400, -400, 400, -20));
        m_square = WaterSquare{{{-100, -100}, {100, -100}, {-100, 100}, {100, 100}}, 10.0f};
        root->waterSquares = new WaterSquare*[OCTREE_MAX_WATER_SQUARES];
        root->waterSquares[0] = &m_square;
        root->waterSquareCount = 1;
    }
    bool Water(std::initializer_list<float> from, std::initializer_list<float> to, Vector3* point = nullptr)
    {
        MapTraceInfo info = Request(TRACE_WATER);
        std::vector<float> a(from), b(to);
        MapTrace(a.data(), b.data(), &info);
        if (point)
            *point = info.waterPoint;
        return info.hitWater != 0;
    }
    WaterSquare m_square;
};

TEST_F(WaterTrace, WaterAboveTheLandSeenFromAboveIsReported)
{
    Vector3 point;
    EXPECT_TRUE(Water({0, 50, 0}, {0, -50, 0}, &point));
    EXPECT_FLOAT_EQ(point.y, 10.0f);
    EXPECT_FALSE(Water({0, 5, 0}, {0, -50, 0}));   // starting below the surface
    EXPECT_FALSE(Water({0, -15, 0}, {0, 50, 0}));  // going up
    EXPECT_FALSE(Water({150, 50, 0}, {150, -50, 0}));  // beside the square
    // Land above the water: the water lies below the first solid hit.
    SetLeafTriangles(OctreeGetRoot(), Square(-400, 400, -400, 400, 30));
    EXPECT_FALSE(Water({0, 50, 0}, {0, -50, 0}));
}

class ObjectTrace : public MapTraceTest {
protected:
    void SetUp() override
    {
        MakeWorld(1);
        for (OctreeNode* leaf : AllLeaves())
            if (leaf->boxMin.y < 0)
                SetLeafTriangles(leaf, Square(leaf->boxMin.x, leaf->boxMax.x, leaf->boxMin.z, leaf->boxMax.z, -100));
    }
    // A collidable structure in the way of the downward trace at (50, *, 50), hit at y = 0.
    TestObject* Target(s32_t type = OBJECT_TYPE_STRUCTURE)
    {
        TestObject* object = Make({40, -10, 40, 60, 10, 60}, type);
        object->traceDistance = 100.0f;  // from y = 100
        EXPECT_TRUE(DynObjectAdd(object));
        return object;
    }
    bool Trace(MapTraceInfo& info, float endY = -200)
    {
        const float start[3] = {50, 100, 50}, end[3] = {50, endY, 50};
        return MapTrace(start, end, &info);
    }
};

TEST_F(ObjectTrace, TheNearestObjectStopsTheTraceAndIsReported)
{
    TestObject* object = Target();
    MapTraceInfo info = Request(TRACE_OBJECTS);
    ASSERT_TRUE(Trace(info));
    EXPECT_EQ(info.resultKind, TRACE_RESULT_OBJECT_NEAREST);
    EXPECT_EQ(info.hitObject, object);
    EXPECT_FLOAT_EQ(info.objHitPoint.y, 0.0f);
    EXPECT_EQ(object->gridEntry->traceStamp, g_map.traceStamp);
    // Objects not asked for: the land.
    info = Request(0);
    ASSERT_TRUE(Trace(info));
    EXPECT_EQ(info.resultKind, TRACE_RESULT_NONE);
    EXPECT_FLOAT_EQ(info.hitPoint.y, -100.0f);
}

TEST_F(ObjectTrace, AnObjectBehindTheLandGivesKindOne)
{
    MakeWorld(0);
    SetLeafTriangles(OctreeGetRoot(), Square(-400, 400, -400, 400, 20));
    TestObject* object = Target();
    MapTraceInfo info = Request(TRACE_OBJECTS);
    ASSERT_TRUE(Trace(info));
    EXPECT_EQ(info.resultKind, TRACE_RESULT_OBJECT_BEHIND);
    EXPECT_EQ(info.hitObject, object);
    EXPECT_FLOAT_EQ(info.hitPoint.y, 20.0f);
}

TEST_F(ObjectTrace, ObjectsThatMayNotBeHitAreNever)
{
    DOEnvelope destroyed;
    destroyed.destroyed = true;
    struct Case {
        const char* what;
        std::function<void(TestObject*, MapTraceInfo&)> make;
    };
    const Case cases[] = {
        {"type 0", [](TestObject* o, MapTraceInfo&) { o->typeId = OBJECT_TYPE_ROOT; }},
        {"type 1", [](TestObject* o, MapTraceInfo&) { o->typeId = OBJECT_TYPE_GRAPHIC; }},
        {"destroyed", [&](TestObject* o, MapTraceInfo&) { o->envelope = &destroyed; }},
        {"not collidable", [](TestObject* o, MapTraceInfo&) { o->collidable = false; }},
        {"ignored", [](TestObject* o, MapTraceInfo& info) { info.ignoreObject = o; }},
    };
    for (const Case& c : cases) {
        TestObject* object = Target();
        MapTraceInfo info = Request(TRACE_OBJECTS);
        c.make(object, info);
        ASSERT_TRUE(Trace(info)) << c.what;
        EXPECT_EQ(info.resultKind, TRACE_RESULT_NONE) << c.what;
        EXPECT_EQ(object->traces, 0) << c.what;
        object->envelope = nullptr;
        DynObjectRemove(object);
    }
}

TEST_F(ObjectTrace, WithinTheSegmentLimitsObjectHitsToItsLength)
{
    TestObject* object = Target();
    // The segment ends at y = 20, 80 units long: the hit 100 units away is beyond it.
    MapTraceInfo info = Request(TRACE_OBJECTS, OBJTRACE_WITHIN_SEGMENT);
    EXPECT_FALSE(Trace(info, 20));
    EXPECT_EQ(info.resultKind, TRACE_RESULT_NONE);
    info = Request(TRACE_OBJECTS, OBJTRACE_WITHIN_SEGMENT);
    EXPECT_TRUE(Trace(info, -5));
    EXPECT_EQ(info.hitObject, object);
    // Without the option the object's own distance decides.
    info = Request(TRACE_OBJECTS);
    EXPECT_TRUE(Trace(info, 20));
    EXPECT_EQ(info.resultKind, TRACE_RESULT_OBJECT_NEAREST);
}

TEST(MapTraceLeaf, PreparedTrianglesAnswerAsThePlainFaceByFaceTest)
{
    TempDir folder;
    MapAuthorPlan plan;
    plan.grid = 65;
    plan.size = 2000.0f;
    MapAuthorSeededHeights(plan, 11, 120.0f);
    std::string error;
    ASSERT_TRUE(land_test::LoadLand(plan, "land.lff", error)) << error;
    u32_t state = 99;
    auto random = [&state](float low, float high) {
        state = state * 214013u + 2531011u;
        return low + (high - low) * static_cast<float>((state >> 16) & 0x7FFF) / 32767.0f;
    };
    int compared = 0, hits = 0;
    for (OctreeNode* leaf : AllLeaves()) {
        const OctreeGeometry& g = leaf->geometry;
        if (!g.traceFaceCount)
            continue;
        for (int ray = 0; ray < 40; ++ray) {
            const Vector3 start = {random(leaf->boxMin.x, leaf->boxMax.x), random(-150, 150),
                                   random(leaf->boxMin.z, leaf->boxMax.z)};
            // Vertical rays hit vertices and edges exactly now and then.
            const Vector3 direction = ray % 4 == 0 ? Vector3{0, -300, 0}
                                                   : Vector3{random(-300, 300), random(-300, 300), random(-300, 300)};
            float best = 1e30f;
            u32_t bestFace = 0;
            bool found = false;
            const D3DXVECTOR3 o(start.x, start.y, start.z), d(direction.x, direction.y, direction.z);
            for (u32_t f = 0; f < g.traceFaceCount; ++f) {
                const MapFace& face = g.faces[f];
                const Vector3 &a = g.vertices[face.indices[0]].position, &b = g.vertices[face.indices[1]].position,
                              &c = g.vertices[face.indices[2]].position;
                const D3DXVECTOR3 p0(a.x, a.y, a.z), p1(c.x, c.y, c.z), p2(b.x, b.y, b.z);
                float u, v, t;
                if (D3DXIntersectTri(&p0, &p1, &p2, &o, &d, &u, &v, &t) && t >= 0 && t <= 1 && t < best) {
                    best = t;
                    bestFace = f;
                    found = true;
                }
            }
            LeafTriangleHit hit = {1e30f, 0, 0, 0};
            const bool prepared = MapTraceLeafTriangles(leaf, start, direction, &hit);
            ASSERT_EQ(prepared, found);
            if (found) {
                EXPECT_EQ(hit.t, best);
                EXPECT_EQ(hit.face, bestFace);
                ++hits;
            }
            ++compared;
        }
    }
    EXPECT_GT(hits, compared / 10);
    land_test::UnloadLand();
}

TEST(MapTraceWalk, LeavesComeInTheOrderOfTheOctreeTraversal)
{
    TempDir folder;
    MapAuthorPlan plan;
    plan.grid = 65;
    plan.size = 2000.0f;
    MapAuthorSeededHeights(plan, 5, 300.0f);
    std::string error;
    ASSERT_TRUE(land_test::LoadLand(plan, "land.lff", error)) << error;
    struct Seen {
        std::vector<OctreeNode*> leaves;
        std::vector<u32_t> masks;
    };
    auto record = [](OctreeNode* leaf, OctreeTraceContext* context) {
        Seen* seen = static_cast<Seen*>(context->user);
        seen->leaves.push_back(leaf);
        seen->masks.push_back(context->mirrorMask);
        return false;
    };
    auto recordWalk = [](OctreeNode* leaf, OctreeTraceContext* context, float) {
        Seen* seen = static_cast<Seen*>(context->user);
        seen->leaves.push_back(leaf);
        seen->masks.push_back(context->mirrorMask);
        return false;
    };
    u32_t state = 7;
    auto random = [&state](float low, float high) {
        state = state * 214013u + 2531011u;
        return low + (high - low) * static_cast<float>((state >> 16) & 0x7FFF) / 32767.0f;
    };
    for (int i = 0; i < 300; ++i) {
        float start[3] = {random(-1200, 1200), random(-400, 400), random(-1200, 1200)};
        float end[3] = {random(-1200, 1200), random(-400, 400), random(-1200, 1200)};
        if (i % 5 == 0) {  // straight down, along an axis
            end[0] = start[0];
            end[2] = start[2];
        }
        Seen octree, walk;
        OctreeTraceSegment(start, end, record, &octree, 0, 0);
        MapTraceWalkSegment(start, end, recordWalk, &walk, 0, 0);
        ASSERT_EQ(walk.leaves, octree.leaves) << i;
        ASSERT_EQ(walk.masks, octree.masks) << i;
        // Ending at the segment's end keeps the leaves the segment reaches, in the same order.
        Seen ended;
        bool passed = false;
        MapTraceWalkSegment(start, end, recordWalk, &ended, 0, 0, 1.0f, &passed);
        ASSERT_LE(ended.leaves.size(), octree.leaves.size());
        ASSERT_TRUE(std::equal(ended.leaves.begin(), ended.leaves.end(), octree.leaves.begin())) << i;
    }
    // The copy follows a change of the tree's shape.
    OctreeNode* leaf = AllLeaves().front();
    leaf->CreateChildren();
    const float down[3] = {0, 1000, 0}, bottom[3] = {0, -1000, 0};
    Seen octree, walk;
    OctreeTraceSegment(down, bottom, record, &octree, 0, 0);
    MapTraceWalkSegment(down, bottom, recordWalk, &walk, 0, 0);
    EXPECT_EQ(walk.leaves, octree.leaves);
    land_test::UnloadLand();
}

TEST(MapEdgeNormals, EveryVertexOfALongEdgeIsMatched)
{
    // 1500 vertices on each x edge: more than a fixed list of 1024 would hold.
    constexpr u32_t kEdge = 1500;
    g_map.landVertexCount = 2 * kEdge;
    g_map.landVertices = new MapVertex[g_map.landVertexCount];
    for (u32_t i = 0; i < kEdge; ++i) {
        const float z = -500.0f + static_cast<float>(i) * 0.5f;
        g_map.landVertices[i] = {{-500, 0, z}, 0, 0, {0, 1, static_cast<float>(i)}};
        g_map.landVertices[kEdge + i] = {{500, 0, z}, 0, 0, {0, 1, -1}};
    }
    g_map.bounds[0] = {-500, 0, -500};
    g_map.bounds[1] = {500, 10, 500};
    MapMatchEdgeNormals();
    for (u32_t i = 0; i < kEdge; ++i)
        ASSERT_EQ(g_map.landVertices[kEdge + i].normal.z, static_cast<float>(i)) << i;
    MapLandGeometryFree();
    g_map.bounds[0] = g_map.bounds[1] = {0, 0, 0};
}

}  // namespace
