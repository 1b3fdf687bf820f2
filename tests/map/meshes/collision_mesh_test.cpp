// The collision mesh's segment test: its range, its tie rule, its box probe and its normal.
#include <gtest/gtest.h>

#include <cmath>

#include "map/meshes/collision_mesh.h"

namespace {

// Unit triangles at heights y in the plane y = const, spanning x and z 0..10; normals per vertex.
void Fill(CollisionMesh& mesh, std::initializer_list<float> heights)
{
    mesh.Free();
    mesh.vertexCount = static_cast<u32_t>(heights.size() * 3);
    mesh.faceCount = static_cast<u32_t>(heights.size());
    mesh.vertices = new MapVertex[mesh.vertexCount];
    mesh.faces = new CollisionFace[mesh.faceCount];
    u32_t v = 0, f = 0;
    for (float y : heights) {
        mesh.vertices[v] = {{0, y, 0}, 0, 0, {0, 1, 0}};
        mesh.vertices[v + 1] = {{10, y, 0}, 0, 0, {1, 0, 0}};
        mesh.vertices[v + 2] = {{0, y, 10}, 0, 0, {0, 0, 1}};
        mesh.faces[f++] = {{static_cast<u16_t>(v), static_cast<u16_t>(v + 1), static_cast<u16_t>(v + 2)}};
        v += 3;
    }
    mesh.ComputeBounds();
}

TEST(CollisionMesh, HitsFromTheStartToTheEndOfTheSegmentOnly)
{
    CollisionMesh mesh;
    Fill(mesh, {0.0f});
    s32_t face = 7;
    struct Case {
        float startY, lengthY, t;
    };
    for (const Case& c : {Case{10, -10, 1.0f}, Case{0, -10, 0.0f}, Case{10, -20, 0.5f}, Case{-1, -10, COLLISION_NO_HIT},
                          Case{10, -9, COLLISION_NO_HIT}}) {
        EXPECT_EQ(mesh.TraceRay({1, c.startY, 1}, {0, c.lengthY, 0}, &face, nullptr), c.t)
            << c.startY << " " << c.lengthY;
    }
}

TEST(CollisionMesh, OfEqualHitsTheLowerFaceStays)
{
    CollisionMesh mesh;
    Fill(mesh, {5.0f, 2.0f, 2.0f, 5.0f});
    s32_t face = -5;
    EXPECT_EQ(mesh.TraceRay({1, 10, 1}, {0, -10, 0}, &face, nullptr), 0.5f);
    EXPECT_EQ(face, 0);
    EXPECT_EQ(mesh.TraceRay({1, 4, 1}, {0, -10, 0}, &face, nullptr), 0.2f);
    EXPECT_EQ(face, 1);
}

TEST(CollisionMesh, AMissedBoxLeavesTheFaceAReachedBoxWithoutAHitGivesMinusOne)
{
    CollisionMesh mesh;
    Fill(mesh, {0.0f});
    s32_t face = 42;
    EXPECT_EQ(mesh.TraceRay({20, 10, 20}, {0, -20, 0}, &face, nullptr), COLLISION_NO_HIT);
    EXPECT_EQ(face, 42);
    // Inside the box (x 0..10, z 0..10) but beside the triangle (x + z > 10).
    EXPECT_EQ(mesh.TraceRay({9, 10, 9}, {0, -20, 0}, &face, nullptr), COLLISION_NO_HIT);
    EXPECT_EQ(face, -1);
    CollisionMesh empty;
    EXPECT_EQ(empty.TraceRay({0, 0, 0}, {1, 1, 1}, &face, nullptr), COLLISION_NO_HIT);
}

TEST(CollisionMesh, TheNormalAtUOneIsTheSecondVertexsNormal)
{
    CollisionMesh mesh;
    Fill(mesh, {0.0f});
    Vector3 normal = {};
    s32_t face = 0;
    // The second vertex (10, 0, 0): U = 1, V = 0.
    EXPECT_EQ(mesh.TraceRay({10, 5, 0}, {0, -10, 0}, &face, &normal), 0.5f);
    EXPECT_NEAR(normal.x, 1.0f, 1e-6f);
    EXPECT_NEAR(normal.y, 0.0f, 1e-6f);
    // Halfway between the first and the third: the normalised mean of their normals.
    mesh.TraceRay({0, 5, 5}, {0, -10, 0}, &face, &normal);
    EXPECT_NEAR(normal.y, std::sqrt(0.5f), 1e-5f);
    EXPECT_NEAR(normal.z, std::sqrt(0.5f), 1e-5f);
}

TEST(CollisionMesh, AFaceNamingAMissingVertexIsNoFace)
{
    CollisionMesh mesh;
    Fill(mesh, {0.0f, 1.0f});
    mesh.faces[1].indices[2] = 99;
    s32_t face = 0;
    EXPECT_EQ(mesh.TraceRay({1, 10, 1}, {0, -10, 0}, &face, nullptr), 1.0f);
    EXPECT_EQ(face, 0);
}

}  // namespace
