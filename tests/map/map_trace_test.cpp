// Segment traces against the land triangles of a small octree, checked against a brute-force oracle
// that tests every triangle of the tree in double precision; and the cut of a triangle to the prism
// over a map triangle.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "map/map_trace.h"
#include "map/octree.h"
#include "map/polygon_clip.h"
#include "platform/d3dx8_math.h"
#include "support/map_octree_support.h"

namespace {

using Triangle = std::array<Vector3, 3>;

// Replaces the node's land triangles by these (each lies inside the node's box).
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
            geometry.vertices[t * 3 + corner] = MapVertex{triangles[t][corner], 0.0f, 0.0f, {0, 1, 0}};
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
    Vector3 normal = {};
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
            const double sign = along > 0 ? -1.0 : 1.0;  // facing the segment's start
            result.normal = {static_cast<float>(sign * n.x / nLength), static_cast<float>(sign * n.y / nLength),
                             static_cast<float>(sign * n.z / nLength)};
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
    hit.flags = 0;
    hit.ignore = nullptr;
    const int result = MapTrace(start, end, &hit);
    ASSERT_EQ(result != 0, expected.hit);
    EXPECT_EQ(MapTrace(start, end, nullptr) != 0, expected.hit);  // without a record: only the answer
    if (!expected.hit)
        return;
    EXPECT_NEAR(hit.fraction, expected.fraction, 1e-5);
    const float t = static_cast<float>(expected.fraction);
    EXPECT_NEAR(hit.point.x, c.start.x + (c.end.x - c.start.x) * t, 1e-3);
    EXPECT_NEAR(hit.point.y, c.start.y + (c.end.y - c.start.y) * t, 1e-3);
    EXPECT_NEAR(hit.point.z, c.start.z + (c.end.z - c.start.z) * t, 1e-3);
    EXPECT_NEAR(hit.normal.x, expected.normal.x, 1e-5);
    EXPECT_NEAR(hit.normal.y, expected.normal.y, 1e-5);
    EXPECT_NEAR(hit.normal.z, expected.normal.z, 1e-5);
}

class MapTraceTest : public ::testing::Test {
protected:
    void SetUp() override { BuildMap(); }
    void TearDown() override { OctreeDestroy(); }
};

TEST_F(MapTraceTest, TheNearestHitAsTheOracleFindsIt)
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

TEST_F(MapTraceTest, SegmentsAllOverTheMapAgreeWithTheOracle)
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

TEST_F(MapTraceTest, TheObjectToIgnoreAndTheOptionsNeverHideTheLand)
{
    const float start[3] = {25, 20, 23}, end[3] = {25, -20, 23};
    MapTraceInfo plain;
    plain.flags = 0;
    plain.ignore = nullptr;
    ASSERT_TRUE(MapTrace(start, end, &plain));
    // The lens flare traces with the player's actor ignored and must still stop at the roof.
    int someObject = 0;
    MapTraceInfo ignoring;
    ignoring.flags = 0xFFFFFFFFu;
    ignoring.ignore = reinterpret_cast<const DynamicObject*>(&someObject);
    ASSERT_TRUE(MapTrace(start, end, &ignoring));
    EXPECT_EQ(ignoring.fraction, plain.fraction);
    EXPECT_EQ(ignoring.point.y, -5.0f);
    EXPECT_EQ(ignoring.normal.y, 1.0f);
}

TEST(MapTraceWithoutMap, FindsNothing)
{
    OctreeDestroy();
    const float start[3] = {0, 10, 0}, end[3] = {0, -10, 0};
    MapTraceInfo hit;
    EXPECT_EQ(MapTrace(start, end, &hit), 0);
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

}  // namespace
