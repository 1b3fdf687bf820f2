// Triangle sets: vertex merging and the cut at an axis-aligned plane.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/random.h"
#include "map/octree/octree_geometry.h"
#include "map/octree/octree_split.h"
#include "tests/map/octree/octree_fixture.h"

using namespace octree_test;

namespace {

float& Along(Vector3& p, int axis)
{
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

// A point whose coordinate on the axis is h and whose other two are p and q.
Vector3 OnAxis(int axis, float h, float p, float q)
{
    Vector3 v = axis == 0 ? Vector3{h, p, q} : axis == 1 ? Vector3{p, h, q} : Vector3{p, q, h};
    return v;
}

bool Cut(int axis, float value, const OctreeGeometry& source, OctreeGeometry* lower, OctreeGeometry* upper)
{
    switch (axis) {
        case 0:
            return OctreeGeometrySplitX(value, source, lower, upper);
        case 1:
            return OctreeGeometrySplitY(value, source, lower, upper);
        default:
            return OctreeGeometrySplitZ(value, source, lower, upper);
    }
}

TEST(OctreeSplit, TrianglesGoToTheirSideOrAreCutInTwo)
{
    struct Case {
        const char* name;
        float h[3];  // the corners' coordinates on the cut axis; the plane lies at 0.1
        u32_t lowerFaces, upperFaces;
        u32_t lowerVertices, upperVertices;
    };
    const Case cases[] = {
        {"wholly below", {-1.0f, -2.0f, -0.5f}, 1, 0, 3, 0},
        {"a corner on the plane counts as upper", {0.1f, 1.0f, 2.0f}, 0, 1, 0, 3},
        {"lying on the plane goes up whole", {0.1f, 0.1f, 0.1f}, 0, 1, 0, 3},
        {"one corner below: a triangle and a quadrilateral", {-0.3f, 0.7f, 1.0f}, 1, 2, 3, 4},
        {"two corners below", {-0.3f, -1.0f, 0.7f}, 2, 1, 4, 3},
        // The cut on the edge from the corner on the plane is that corner: the quadrilateral above
        // loses its degenerate half.
        {"a corner on the plane and one on each side", {0.1f, -1.0f, 1.0f}, 1, 1, 3, 3},
    };
    const float value = 0.1f;
    for (int axis = 0; axis < 3; ++axis) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << " on axis " << axis);
            OwnedSet source, lower, upper;
            const Vector3 normals[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
            MapFace face = Face(0, 1, 2);
            face.words[1] = 77;  // the pieces carry default face fields, not the source's
            face.surface = 0xABCD;
            Fill(source,
                 {MapVertex{OnAxis(axis, c.h[0], 0, 0), 0, 0, normals[0]},
                  MapVertex{OnAxis(axis, c.h[1], 4, 0), 1, 0, normals[1]},
                  MapVertex{OnAxis(axis, c.h[2], 0, 4), 0, 1, normals[2]}},
                 {face});
            ASSERT_TRUE(Cut(axis, value, source, &lower, &upper));
            EXPECT_EQ(lower.faceCount, c.lowerFaces);
            EXPECT_EQ(upper.faceCount, c.upperFaces);
            EXPECT_EQ(lower.vertexCount, c.lowerVertices);
            EXPECT_EQ(upper.vertexCount, c.upperVertices);
            EXPECT_EQ(lower.faceCapacity, lower.faceCount);  // shrunk to fit
            EXPECT_EQ(upper.vertexCapacity, upper.vertexCount);
            EXPECT_NEAR(TotalArea(lower) + TotalArea(upper), TotalArea(source), 1e-4);

            const OctreeGeometry* sides[2] = {&lower, &upper};
            for (int s = 0; s < 2; ++s) {
                const OctreeGeometry& side = *sides[s];
                for (u32_t v = 0; v < side.vertexCount; ++v) {
                    MapVertex vertex = side.vertices[v];
                    const float h = Along(vertex.position, axis);
                    EXPECT_TRUE(s == 0 ? h <= value : h >= value) << "side " << s << " vertex " << v;
                    const bool original = h == c.h[0] || h == c.h[1] || h == c.h[2];
                    if (original)
                        continue;
                    // A new corner lies on the plane exactly; the rest is interpolated along its
                    // edge, and the normal is normalised.
                    EXPECT_EQ(h, value);
                    const Vector3& n = vertex.normal;
                    EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1.0f, 1e-5f);
                    const Vector3& p = vertex.position;
                    const float pa = axis == 0 ? p.y : p.x, pb = axis == 2 ? p.y : p.z;
                    EXPECT_NEAR(vertex.u, pa / 4, 1e-5f);
                    EXPECT_NEAR(vertex.v, pb / 4, 1e-5f);
                }
                for (u32_t f = 0; f < side.faceCount; ++f) {
                    const MapFace& made = side.faces[f];
                    EXPECT_EQ(made.words[1], 0u);
                    EXPECT_EQ(made.surface, MAP_SURFACE_DEFAULT);
                }
            }
        }
    }
}

TEST(OctreeSplit, InterpolatedNormalsAreNormalised)
{
    OwnedSet source, lower, upper;
    Fill(source,
         {Vertex(-1, 0, 0, 0, 0, {1, 0, 0}), Vertex(1, 0, 0, 1, 0, {0, 1, 0}), Vertex(1, 0, 1, 1, 1, {0, 1, 0})},
         {Face(0, 1, 2)});
    ASSERT_TRUE(OctreeGeometrySplitAxis(0, 0.0f, source, &lower, &upper));
    // The cut of the edge from corner 0 to corner 1 lies half-way: (0.5, 0.5, 0) normalised.
    bool found = false;
    for (u32_t v = 0; v < lower.vertexCount; ++v) {
        const MapVertex& m = lower.vertices[v];
        if (m.position.x == 0.0f && m.position.z == 0.0f) {
            found = true;
            EXPECT_NEAR(m.normal.x, std::sqrt(0.5f), 1e-6f);
            EXPECT_NEAR(m.normal.y, std::sqrt(0.5f), 1e-6f);
            EXPECT_EQ(m.u, 0.5f);
        }
    }
    EXPECT_TRUE(found);
}

TEST(OctreeSplit, DropsDegenerateBrokenAndNonFiniteFaces)
{
    OwnedSet source, lower, upper;
    Fill(source, {Vertex(1, 0, 0), Vertex(2, 0, 0), Vertex(1, 0, 1), Vertex(1, 0, 1), Vertex(NAN, 0, 0)},
         {Face(0, 0, 1),    // two equal indices
          Face(0, 2, 3),    // equal once merged
          Face(0, 1, 9),    // a vertex the set does not have
          Face(0, 1, 4),    // not finite
          Face(0, 1, 2)});  // the one that stays
    ASSERT_TRUE(OctreeGeometrySplitAxis(0, -5.0f, source, &lower, &upper));
    EXPECT_EQ(lower.faceCount, 0u);
    ASSERT_EQ(upper.faceCount, 1u);
    EXPECT_EQ(upper.vertexCount, 3u);
}

TEST(OctreeSplit, RefusesResultsThatAreNotEmpty)
{
    OwnedSet source, lower, upper;
    Fill(source, {Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(0, 0, 1)}, {Face(0, 1, 2)});
    Fill(lower, {Vertex(5, 5, 5)}, {});
    EXPECT_FALSE(OctreeGeometrySplitAxis(1, 0.5f, source, &lower, &upper));
    EXPECT_EQ(upper.faces, nullptr);
    EXPECT_FALSE(OctreeGeometrySplitAxis(3, 0.5f, source, &upper, &upper));
}

// k corners below the plane and k above, with a face from every lower corner to every pair of
// neighbouring upper corners: each of the k x k crossing edges gives a cut vertex of its own.
void FillCrossing(OctreeGeometry& set, u32_t k)
{
    std::vector<MapVertex> vertices;
    std::vector<MapFace> faces;
    for (u32_t i = 0; i < k; ++i)
        vertices.push_back(Vertex(-1.0f, float(i), float(i * i % 97)));
    for (u32_t j = 0; j < k; ++j)
        vertices.push_back(Vertex(1.0f, float(j) * 1.37f + 0.5f, float(j % 13) * 3.1f - 7.0f));
    for (u32_t i = 0; i < k; ++i) {
        for (u32_t j = 0; j < k; ++j)
            faces.push_back(Face(i, k + j, k + (j + 1) % k));
    }
    Fill(set, vertices, faces);
}

TEST(OctreeSplit, ResultsNeedingMoreThanTwiceTheSourceVerticesGrow)
{
    OwnedSet source, lower, upper;
    FillCrossing(source, 4);  // 8 vertices; 16 cut vertices plus 4 own below
    ASSERT_TRUE(OctreeGeometrySplitX(0.0f, source, &lower, &upper));
    EXPECT_EQ(lower.vertexCount, 20u);
    EXPECT_EQ(lower.faceCount, 16u);
    EXPECT_EQ(upper.vertexCount, 20u);
    EXPECT_EQ(upper.faceCount, 32u);
}

TEST(OctreeSplit, ResultsPastSixteenBitIndicesAreRefused)
{
    OwnedSet source, lower, upper;
    FillCrossing(source, 257);  // 66049 cut vertices
    EXPECT_FALSE(OctreeGeometrySplitX(0.0f, source, &lower, &upper));
    EXPECT_EQ(lower.vertices, nullptr);
    EXPECT_EQ(upper.vertices, nullptr);
    EXPECT_EQ(lower.faceCount + upper.faceCount, 0u);
}

float Jitter(float scale)
{
    return (float(EngineRand()) / float(ENGINE_RAND_MAX) - 0.5f) * scale;
}

// The lookup of a set being filled must give what a search through the array in index order
// gives: near matches on every side of the 1e-3 reach, across cell edges, and unequal texture
// coordinates or normals.
TEST(OctreeGeometry, MergingFindsTheFirstMatchLikeALinearSearch)
{
    EngineSRand(4242u);
    OwnedSet hashed, searched;
    ASSERT_TRUE(hashed.Init(16, 0));
    ASSERT_NE(hashed.merge, nullptr);
    std::vector<MapVertex> seen;
    for (int i = 0; i < 6000; ++i) {
        MapVertex v;
        if (!seen.empty() && EngineRand() % 3) {
            v = seen[static_cast<size_t>(EngineRand()) % seen.size()];
            switch (EngineRand() % 5) {
                case 0:
                    break;
                case 1:
                    v.position.x += Jitter(2.2e-3f);
                    v.position.y += Jitter(2.2e-3f);
                    break;
                case 2:
                    v.u += Jitter(2.5e-3f);
                    break;
                case 3:
                    v.normal.z += Jitter(2.5e-3f);
                    break;
                default:
                    v.position.z += 1.0f / 64.0f * Jitter(2.0f);
                    break;
            }
        } else {
            // Coordinates on and next to cell edges (multiples of 1/64) and far away.
            const float base = float(EngineRand() % 64) / 64.0f + (EngineRand() % 2 ? 1e-4f : -3e-4f);
            v = Vertex(base + float(EngineRand() % 3) * 1000.0f, Jitter(0.01f), base, Jitter(1), Jitter(1));
        }
        seen.push_back(v);
        const s32_t fromHash = hashed.AddVertex(v);
        const s32_t fromSearch = searched.AddVertex(v);
        ASSERT_EQ(fromHash, fromSearch) << "vertex " << i;
    }
    EXPECT_EQ(hashed.vertexCount, searched.vertexCount);
    EXPECT_LT(hashed.vertexCount, 6000u);
    EXPECT_GT(hashed.vertexCount, 1000u);
    const Vector3 bounds = hashed.boundsMax;
    EXPECT_GT(bounds.x, 2000.0f);
}

TEST(OctreeGeometry, FacesGrowFrom128AndShrinkToFit)
{
    OwnedSet set;
    ASSERT_TRUE(set.Init(4, 0));
    set.AddVertex(Vertex(0, 0, 0));
    set.AddVertex(Vertex(1, 0, 0));
    set.AddVertex(Vertex(0, 0, 1));
    EXPECT_TRUE(set.AddFace(Face(0, 1, 1)));
    EXPECT_EQ(set.faceCount, 0u);
    EXPECT_TRUE(set.AddFace(Face(0, 1, 2)));
    EXPECT_EQ(set.faceCapacity, 128u);
    for (int i = 0; i < 128; ++i)
        set.AddFace(Face(2, 1, 0));
    EXPECT_EQ(set.faceCapacity, 256u);
    EXPECT_EQ(set.faceCount, 129u);
    EXPECT_TRUE(set.Shrink());
    EXPECT_EQ(set.faceCapacity, 129u);
    EXPECT_EQ(set.vertexCapacity, 3u);
    EXPECT_EQ(set.faces[128].indices[0], 2u);
    EXPECT_NEAR(set.boundsRadius, 0.5f * std::sqrt(2.0f), 1e-6f);
    EXPECT_FALSE(set.Init(4, 4));  // only an empty set
}

}  // namespace
