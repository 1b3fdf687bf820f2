// Map traces: the leaf test (land triangles, map meshes, objects, water), the walk over the world's
// repetitions, terrain heights, and the prepared leaf triangles against the plain face-by-face test;
// traces over a small octree checked against a brute-force oracle that tests every triangle of the
// tree in double precision; and the cut of a triangle to the prism over a map triangle.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "ai/envelopes/envelope.h"
#include "map/terrain/map_caches.h"
#include "map/trace/map_trace.h"
#include "map/trace/map_trace_leaf.h"
#include "map/trace/map_trace_walk.h"
#include "map/octree/octree.h"
#include "map/octree/octree_query.h"
#include "map/octree/octree_trace.h"
#include "map/terrain/terrain_height.h"
#include "map/meshes/polygon_clip.h"
#include "map/land_maps/water_square.h"
#include "platform/d3dx8_math.h"
#include "support/land_octree.h"
#include "support/map_octree_support.h"
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

TEST_F(MapTraceTest, OnlyTheLeafsOwnFacesAreTraced)
{
    MakeWorld(0);
    // Two triangles: the first covers x <= z, the second x >= z; the column goes through the second.
    SetLeafTriangles(OctreeGetRoot(), Square(-100, 100, -100, 100, 0));
    const float start[3] = {50, 50, -50}, end[3] = {50, -50, -50};
    OctreeGeometry& g = OctreeGetRoot()->geometry;
    g.traceFaceCount = 1;  // the second face is a layer copy: not traced
    EXPECT_FALSE(MapTrace(start, end, nullptr));
    g.traceFaceCount = 0;  // no count set: every face is the leaf's own
    EXPECT_TRUE(MapTrace(start, end, nullptr));
    g.traceFaceCount = 2;
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
    // A trace of the base tile after it reports its hit in the base tile.
    const float baseStart[3] = {10, 10, 0}, baseEnd[3] = {10, -10, 0};
    ASSERT_TRUE(MapTrace(baseStart, baseEnd, &info));
    EXPECT_FLOAT_EQ(info.hitPoint.x, 10.0f);
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
        m_square = WaterSquare{-100, -100, 100, 100, 10.0f};
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
    EXPECT_FALSE(Water({0, 5, 0}, {0, -50, 0}));       // starting below the surface
    EXPECT_FALSE(Water({0, -15, 0}, {0, 50, 0}));      // going up
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
        {"destroyed",
         [&](TestObject* o, MapTraceInfo&) {
             o->envelope = &destroyed;
             destroyed.object = o;  // an envelope counts its object destroyed only while bound
         }},
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
        destroyed.object = nullptr;
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
            const Vector3 direction =
                ray % 4 == 0 ? Vector3{0, -300, 0} : Vector3{random(-300, 300), random(-300, 300), random(-300, 300)};
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
    MapSetBox({1e30f, 1e30f, 1e30f}, {-1e30f, -1e30f, -1e30f});
}

// Traces checked against the oracle.
namespace oracle {

using Triangle = std::array<Vector3, 3>;

// The normal the land gives a vertex: tilted by its place, so that no two corners share one.
Vector3 VertexNormal(const Vector3& p)
{
    const double x = 0.3 * std::sin(p.x * 0.1), z = 0.3 * std::cos(p.z * 0.1);
    const double length = std::sqrt(x * x + 1.0 + z * z);
    return {static_cast<float>(x / length), static_cast<float>(1.0 / length), static_cast<float>(z / length)};
}

// Replaces the node's land triangles by these (each lies inside the node's box); no trace face count
// is set: all of them are the leaf's own.
void SetTriangles(OctreeNode* node, const std::vector<Triangle>& triangles)
{
    OctreeGeometry& geometry = node->geometry;
    delete[] geometry.vertices;
    delete[] geometry.faces;
    geometry.vertexCount = geometry.vertexCapacity = static_cast<u32_t>(triangles.size() * 3);
    geometry.faceCount = geometry.faceCapacity = static_cast<u32_t>(triangles.size());
    geometry.vertices = new MapVertex[geometry.vertexCount];
    geometry.faces = new MapFace[geometry.faceCount];
    for (size_t t = 0; t < triangles.size(); ++t) {
        for (int corner = 0; corner < 3; ++corner) {
            geometry.vertices[t * 3 + corner] =
                MapVertex{triangles[t][corner], 0.0f, 0.0f, VertexNormal(triangles[t][corner])};
            geometry.faces[t].indices[corner] = static_cast<u16_t>(t * 3 + corner);
        }
    }
}

// Leaves of the root split once: child c covers the high half along x when c & 4, y when c & 2, z when c & 1.
enum Leaf { kLowWest = 0, kLowEast = 4, kHighWest = 2, kHighEast = 6, kLowWestFar = 1, kLowEastFar = 5 };

// The root spans -50..50 on every axis. Ground quads at y = -10 under the low leaves, a slope in one
// high leaf, a wall standing across x = 20 in another, a small roof over part of the ground.
void BuildMap()
{
    OctreeNode* root = OctreeCreateRoot({-50, -50, -50}, {50, 50, 50});
    map_test::Split(root);
    auto groundQuad = [](float x0, float x1, float z0, float z1) {
        return std::vector<Triangle>{{Vector3{x0, -10, z0}, Vector3{x0, -10, z1}, Vector3{x1, -10, z1}},
                                     {Vector3{x0, -10, z0}, Vector3{x1, -10, z1}, Vector3{x1, -10, z0}}};
    };
    SetTriangles(root->children[kLowWest], groundQuad(-50, 0, -50, 0));
    SetTriangles(root->children[kLowEast], groundQuad(0, 50, -50, 0));
    SetTriangles(root->children[kLowWestFar], groundQuad(-50, 0, 0, 50));
    std::vector<Triangle> farEast = groundQuad(0, 50, 0, 50);
    farEast.push_back({Vector3{10, -5, 10}, Vector3{40, -5, 10}, Vector3{10, -5, 40}});  // the roof
    SetTriangles(root->children[kLowEastFar], farEast);
    SetTriangles(root->children[kHighWest], {{Vector3{-40, 5, -40}, Vector3{-5, 40, -40}, Vector3{-40, 5, -5}}});
    SetTriangles(root->children[kHighEast], {{Vector3{20, 1, -45}, Vector3{20, 45, -45}, Vector3{20, 1, -2}}});
}

// The oracle's view of a trace.
struct Expected {
    bool hit = false;
    double fraction = 0.0;
    Vector3 normal = {};     // the vertex normals interpolated at the crossing
    bool ambiguous = false;  // an edge, a grazing angle or an end point too close to call
};

struct Vec {
    double x, y, z;
};
Vec V(const Vector3& v)
{
    return {v.x, v.y, v.z};
}
Vec Sub(Vec a, Vec b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec Cross(Vec a, Vec b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(Vec a, Vec b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Every triangle of every node, each with the plane through it; the nearest crossing wins.
Expected Oracle(const Vector3& start, const Vector3& end)
{
    Expected result;
    result.fraction = 2.0;
    const Vec s = V(start), d = Sub(V(end), s);
    const double length = std::sqrt(Dot(d, d));
    if (length == 0.0)
        return result;  // a point crosses nothing
    OctreeForEachLeaf(OctreeGetRoot(), OCTREE_WALK_ROOM_CHECK, [&](OctreeNode* leaf) {
        const OctreeGeometry& g = leaf->geometry;
        for (u32_t f = 0; f < g.faceCount; ++f) {
            const Vec a = V(g.vertices[g.faces[f].indices[0]].position);
            const Vec b = V(g.vertices[g.faces[f].indices[1]].position);
            const Vec c = V(g.vertices[g.faces[f].indices[2]].position);
            const Vec n = Cross(Sub(b, a), Sub(c, a));
            const double nLength = std::sqrt(Dot(n, n));
            const double along = Dot(n, d);
            if (std::fabs(along) < 1e-3 * nLength * length) {
                if (std::fabs(Dot(n, Sub(s, a))) < 1e-3 * nLength)
                    result.ambiguous = true;  // runs in the plane
                continue;
            }
            const double t = Dot(n, Sub(a, s)) / along;
            const Vec p = {s.x + d.x * t, s.y + d.y * t, s.z + d.z * t};
            // Distances of the crossing inside each edge, in world units.
            const double inside[3] = {
                Dot(n, Cross(Sub(b, a), Sub(p, a))) / nLength / std::sqrt(Dot(Sub(b, a), Sub(b, a))),
                Dot(n, Cross(Sub(c, b), Sub(p, b))) / nLength / std::sqrt(Dot(Sub(c, b), Sub(c, b))),
                Dot(n, Cross(Sub(a, c), Sub(p, c))) / nLength / std::sqrt(Dot(Sub(a, c), Sub(a, c)))};
            const double margin = std::fmin(inside[0], std::fmin(inside[1], inside[2]));
            const double endMargin = std::fmin(std::fabs(t), std::fabs(1.0 - t)) * length;
            if (std::fabs(margin) < 1e-2 || (margin > 0 && endMargin < 1e-2))
                result.ambiguous = true;
            if (margin < 0 || t < 0 || t > 1 || t >= result.fraction)
                continue;
            result.hit = true;
            result.fraction = t;
            // Barycentric weights of the corners from the sub-triangles' areas.
            const double wa = Dot(n, Cross(Sub(b, p), Sub(c, p))) / (nLength * nLength);
            const double wb = Dot(n, Cross(Sub(c, p), Sub(a, p))) / (nLength * nLength);
            const double wc = 1.0 - wa - wb;
            const Vec na = V(g.vertices[g.faces[f].indices[0]].normal);
            const Vec nb = V(g.vertices[g.faces[f].indices[1]].normal);
            const Vec nc = V(g.vertices[g.faces[f].indices[2]].normal);
            const Vec m = {wa * na.x + wb * nb.x + wc * nc.x, wa * na.y + wb * nb.y + wc * nc.y,
                           wa * na.z + wb * nb.z + wc * nc.z};
            const double mLength = std::sqrt(Dot(m, m));
            result.normal = {static_cast<float>(m.x / mLength), static_cast<float>(m.y / mLength),
                             static_cast<float>(m.z / mLength)};
        }
    });
    return result;
}

struct TraceCase {
    const char* name;
    Vector3 start, end;
};

void ExpectTraceAsOracle(const TraceCase& c)
{
    SCOPED_TRACE(c.name);
    const Expected expected = Oracle(c.start, c.end);
    ASSERT_FALSE(expected.ambiguous) << "the case is too close to call";
    const float start[3] = {c.start.x, c.start.y, c.start.z}, end[3] = {c.end.x, c.end.y, c.end.z};
    MapTraceInfo hit;
    hit.flags = TRACE_NORMAL;
    hit.ignoreObject = nullptr;
    hit.objOptions = 0;
    const bool result = MapTrace(start, end, &hit);
    ASSERT_EQ(result, expected.hit);
    EXPECT_EQ(MapTrace(start, end, nullptr), expected.hit);  // without a record: only the answer
    if (!expected.hit)
        return;
    EXPECT_NEAR(hit.fraction, expected.fraction, 1e-5);
    const float t = static_cast<float>(expected.fraction);
    EXPECT_NEAR(hit.hitPoint.x, c.start.x + (c.end.x - c.start.x) * t, 1e-3);
    EXPECT_NEAR(hit.hitPoint.y, c.start.y + (c.end.y - c.start.y) * t, 1e-3);
    EXPECT_NEAR(hit.hitPoint.z, c.start.z + (c.end.z - c.start.z) * t, 1e-3);
    EXPECT_NEAR(hit.normal.x, expected.normal.x, 1e-4);
    EXPECT_NEAR(hit.normal.y, expected.normal.y, 1e-4);
    EXPECT_NEAR(hit.normal.z, expected.normal.z, 1e-4);
}

class MapTraceOracle : public ::testing::Test {
protected:
    void SetUp() override { BuildMap(); }
    void TearDown() override { OctreeDestroy(); }
};

TEST_F(MapTraceOracle, TheNearestHitAsTheOracleFindsIt)
{
    const TraceCase cases[] = {
        // Points off the diagonals of the ground quads (x = z, x = z + 50, z = x + 50).
        {"straight down onto the ground", {-20, 30, -35}, {-20, -30, -35}},
        {"straight up onto the ground's underside", {-20, -40, -35}, {-20, 0, -35}},
        {"ends above the ground", {-20, 30, -35}, {-20, -9, -35}},
        {"level over the ground, under the wall", {-45, 0, -30}, {45, 0, -30}},
        {"onto the slope from above", {-30, 45, -33}, {-30, 0, -33}},
        {"onto the slope from below", {-30, 0, -33}, {-30, 45, -33}},
        {"the roof before the ground", {25, 20, 23}, {25, -20, 23}},
        {"the ground beside the roof", {45, 20, 43}, {45, -20, 43}},
        {"the roof from below", {25, -9, 23}, {25, -1, 23}},
        {"the ground's underside before the roof", {25, -30, 23}, {25, 0, 23}},
        {"into the wall", {5, 20, -30}, {45, 20, -30}},
        {"into the wall from behind", {45, 20, -30}, {5, 20, -30}},
        {"through the wall before the ground", {5, 30, -30}, {45, -30, -30}},
        {"across every leaf", {-45, 45, -44}, {45, -45, 43}},
        {"a point", {0, 0, 0}, {0, 0, 0}},
    };
    for (const TraceCase& c : cases)
        ExpectTraceAsOracle(c);
}

TEST_F(MapTraceOracle, SegmentsAllOverTheMapAgreeWithTheOracle)
{
    // A fixed series of segments between points of the root's box; the few too close to call are skipped.
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return -48.0f + 96.0f * static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
    };
    int checked = 0, hits = 0;
    for (int i = 0; i < 400; ++i) {
        TraceCase c{"", {next(), next(), next()}, {next(), next(), next()}};
        const std::string name = "segment " + std::to_string(i);
        c.name = name.c_str();
        const Expected expected = Oracle(c.start, c.end);
        if (expected.ambiguous)
            continue;
        ExpectTraceAsOracle(c);
        ++checked;
        hits += expected.hit;
    }
    // The series is of use only when it both hits and misses.
    EXPECT_GT(hits, 50);
    EXPECT_LT(hits, checked - 50);
}

TEST_F(MapTraceOracle, TheObjectToIgnoreAndTheOptionsNeverHideTheLand)
{
    const float start[3] = {25, 20, 23}, end[3] = {25, -20, 23};
    MapTraceInfo plain;
    plain.flags = TRACE_NORMAL;
    plain.ignoreObject = nullptr;
    plain.objOptions = 0;
    ASSERT_TRUE(MapTrace(start, end, &plain));
    // The lens flare traces with the player's actor ignored and must still stop at the roof: every
    // option but the one that leaves the land out.
    int someObject = 0;
    MapTraceInfo ignoring;
    ignoring.flags = TRACE_NORMAL | TRACE_TILED | TRACE_VEGLAYER | TRACE_FACESETS | TRACE_OBJECTS | TRACE_WATER;
    ignoring.ignoreObject = reinterpret_cast<DynamicObject*>(&someObject);
    ignoring.objOptions = OBJTRACE_WITHIN_SEGMENT;
    ignoring.hitFaceSet = nullptr;
    ignoring.hitWater = 0;
    ASSERT_TRUE(MapTrace(start, end, &ignoring));
    EXPECT_EQ(ignoring.fraction, plain.fraction);
    EXPECT_EQ(ignoring.hitPoint.y, -5.0f);
    EXPECT_EQ(ignoring.normal.y, plain.normal.y);
    EXPECT_EQ(ignoring.resultKind, TRACE_RESULT_NONE);
}

TEST(MapTraceWithoutMap, FindsNothing)
{
    OctreeDestroy();
    const float start[3] = {0, 10, 0}, end[3] = {0, -10, 0};
    MapTraceInfo hit;
    hit.flags = 0;
    hit.ignoreObject = nullptr;
    hit.objOptions = 0;
    EXPECT_FALSE(MapTrace(start, end, &hit));
}

// ClipTriangleToTrianglePrism: the caster's part inside the prism over the map triangle.

struct ClipResult {
    int triangles = 0;
    double area = 0.0;
    bool insidePrism = true;        // every corner within the three edge planes
    bool coordinatesFollow = true;  // every corner's coordinates those of the caster at that point
    bool inCasterPlane = true;
};

// The caster's coordinates are u = x / 10, v = z / 10 + y / 100 at its corners.
D3DXVECTOR2 CasterCoordinates(const D3DXVECTOR3& p)
{
    return {p.x / 10.0f, p.z / 10.0f + p.y / 100.0f};
}

ClipResult Clip(const std::array<D3DXVECTOR3, 3>& map, const std::array<D3DXVECTOR3, 3>& caster)
{
    D3DXVECTOR2 casterUv[3];
    for (int i = 0; i < 3; ++i)
        casterUv[i] = CasterCoordinates(caster[i]);
    D3DXVECTOR3 positions[CLIP_TRIANGLE_MAX_TRIANGLES * 3];
    D3DXVECTOR2 uvs[CLIP_TRIANGLE_MAX_TRIANGLES * 3];
    ClipResult result;
    result.triangles = ClipTriangleToTrianglePrism(positions, uvs, map.data(), caster.data(), casterUv);
    D3DXVECTOR3 mapNormal, casterNormal;
    const D3DXVECTOR3 m1 = map[1] - map[0], m2 = map[2] - map[0], c1 = caster[1] - caster[0],
                      c2 = caster[2] - caster[0];
    D3DXVec3Cross(&mapNormal, &m1, &m2);
    D3DXVec3Cross(&casterNormal, &c1, &c2);
    D3DXVec3Normalize(&casterNormal, &casterNormal);
    for (int t = 0; t < result.triangles; ++t) {
        const D3DXVECTOR3* corner = &positions[t * 3];
        const D3DXVECTOR3 e1 = corner[1] - corner[0], e2 = corner[2] - corner[0];
        D3DXVECTOR3 cross;
        D3DXVec3Cross(&cross, &e1, &e2);
        result.area += 0.5 * D3DXVec3Length(&cross);
        for (int k = 0; k < 3; ++k) {
            const D3DXVECTOR3& p = corner[k];
            for (int edge = 0; edge < 3; ++edge) {
                const D3DXVECTOR3 along = map[(edge + 1) % 3] - map[edge];
                D3DXVECTOR3 inward;
                D3DXVec3Cross(&inward, &mapNormal, &along);
                const D3DXVECTOR3 toCorner = map[(edge + 2) % 3] - map[edge], toPoint = p - map[edge];
                if (D3DXVec3Dot(&inward, &toCorner) < 0)
                    inward = -inward;
                D3DXVec3Normalize(&inward, &inward);
                if (D3DXVec3Dot(&inward, &toPoint) < -1e-3f)
                    result.insidePrism = false;
            }
            const D3DXVECTOR2 expected = CasterCoordinates(p);
            const D3DXVECTOR2& actual = uvs[t * 3 + k];
            if (std::fabs(actual.x - expected.x) > 1e-4f || std::fabs(actual.y - expected.y) > 1e-4f)
                result.coordinatesFollow = false;
            const D3DXVECTOR3 fromCaster = p - caster[0];
            if (std::fabs(D3DXVec3Dot(&casterNormal, &fromCaster)) > 1e-3f)
                result.inCasterPlane = false;
        }
    }
    return result;
}

TEST(ClipTriangleToTrianglePrism, KeepsTheCastersPartOverTheMapTriangle)
{
    using P = D3DXVECTOR3;
    const std::array<P, 3> ground = {P(0, 0, 0), P(10, 0, 0), P(0, 0, 10)};
    const std::array<P, 3> groundReversed = {P(0, 0, 0), P(0, 0, 10), P(10, 0, 0)};
    struct Case {
        const char* name;
        std::array<P, 3> map, caster;
        int triangles;
        double area;
    };
    const Case cases[] = {
        {"inside", ground, {P(1, 0, 1), P(4, 0, 1), P(1, 0, 4)}, 1, 4.5},
        {"inside, either winding of the map", groundReversed, {P(1, 0, 1), P(4, 0, 1), P(1, 0, 4)}, 1, 4.5},
        {"outside", ground, {P(20, 0, 20), P(30, 0, 20), P(20, 0, 30)}, 0, 0.0},
        {"covering: the map triangle itself", ground, {P(-10, 0, -10), P(40, 0, -10), P(-10, 0, 40)}, 1, 50.0},
        {"a corner cut off", ground, {P(-10, 0, 14), P(14, 0, -10), P(40, 0, 40)}, 2, 50.0 - 8.0},
        {"turned half round about the centre: a hexagon",
         ground,
         {P(20.0f / 3, 0, 20.0f / 3), P(-10.0f / 3, 0, 20.0f / 3), P(20.0f / 3, 0, -10.0f / 3)},
         4,
         100.0 / 3},
        {"above the ground: cut by the upright planes only",
         ground,
         {P(-10, 5, -10), P(40, 5, -10), P(-10, 5, 40)},
         1,
         50.0},
        {"a degenerate map triangle",
         {P(0, 0, 0), P(5, 0, 5), P(10, 0, 10)},
         {P(1, 0, 1), P(4, 0, 1), P(1, 0, 4)},
         0,
         0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ClipResult result = Clip(c.map, c.caster);
        EXPECT_EQ(result.triangles, c.triangles);
        EXPECT_NEAR(result.area, c.area, 1e-3);
        EXPECT_TRUE(result.insidePrism);
        EXPECT_TRUE(result.coordinatesFollow);
        EXPECT_TRUE(result.inCasterPlane);
    }
}

TEST(ClipTriangleToTrianglePrism, ATiltedCasterIsCutAlongTheUprightPlanes)
{
    using P = D3DXVECTOR3;
    // The caster rises with x; its part over the map triangle is the triangle (0..10) x (0..10) lifted onto it.
    const std::array<P, 3> ground = {P(0, 0, 0), P(10, 0, 0), P(0, 0, 10)};
    const std::array<P, 3> tilted = {P(-10, -10, -10), P(40, 40, -10), P(-10, -10, 40)};
    const ClipResult result = Clip(ground, tilted);
    EXPECT_EQ(result.triangles, 1);
    EXPECT_NEAR(result.area, 50.0 * std::sqrt(2.0), 1e-3);  // the projected area over the cosine of the tilt
    EXPECT_TRUE(result.insidePrism);
    EXPECT_TRUE(result.coordinatesFollow);
    EXPECT_TRUE(result.inCasterPlane);
}

}  // namespace oracle

}  // namespace
