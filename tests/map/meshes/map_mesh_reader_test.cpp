// The ".lff" readers from disk and from a memory image, the land transform, the bounds and texture
// coordinates, and the small vertex-array operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/strings/colour_codes.h"
#include "map/octree/octree.h"
#include "tests/map/meshes/map_mesh_fixture.h"

using namespace mesh_test;

namespace {

class MapMeshReader : public MeshFileTest {};

MapAuthorPlan SmallPlan()
{
    MapAuthorPlan plan;
    plan.grid = 5;
    plan.size = 400.0f;
    MapAuthorSeededHeights(plan, 7, 30.0f);
    const float low[3] = {-20, 0, -20}, high[3] = {20, 40, 20};
    plan.meshes.push_back(MapAuthorBox("COL_rock", "rock.tga", low, high));
    plan.meshes.push_back(MapAuthorBox("Land_hill", "", low, high));
    plan.meshes.push_back(MapAuthorBox("collider", "", low, high));
    return plan;
}

bool Printed(const std::string& text)
{
    for (const std::string& line : engine_log::ConsoleLines())
        if (line.find(text) != std::string::npos)
            return true;
    return false;
}

TEST_F(MapMeshReader, FileAndImageGiveTheSameLandAndMeshes)
{
    std::string error;
    ASSERT_TRUE(MapAuthorWriteLff(SmallPlan(), "land.lff", error)) << error;
    std::string debug;
    ASSERT_EQ(LoadFile("land.lff", &debug), 0);
    EXPECT_NE(debug.find("MAP: face-count:32 MAP: vertex-count:25\n"), std::string::npos) << debug;
    const Loaded fromFile = Snapshot();
    Unload();
    ASSERT_EQ(LoadImage("land.lff", &debug), 0);
    EXPECT_NE(debug.find("MAP: face-count:32 MAP: vertex-count:25\n"), std::string::npos) << debug;
    EXPECT_EQ(Snapshot(), fromFile);
    // Prefixes ignore case and need their underscore; a mesh without "texture" has an empty name
    // and no message.
    EXPECT_EQ(fromFile.meshes,
              (std::vector<std::string>{"COL_rock|2|rock.tga|24|12", "Land_hill|1||24|12", "collider|0||24|12"}));
    EXPECT_EQ(MapGetMesh(1)->texture, nullptr);
    EXPECT_EQ(MapFindMeshIndex("land_HILL"), 1);
    EXPECT_EQ(MapFindMeshIndex("none"), -1);
    EXPECT_EQ(MapGetMesh(3), nullptr);
    EXPECT_TRUE(Printed(ERROR_COLOUR "Missing texture: 'component\\land\\test\\rock.tga'"));
    EXPECT_EQ(engine_log::ConsoleLines().size(), 2u);  // one per reader, for rock.tga only
}

TEST_F(MapMeshReader, AFileWithoutLand0IsRefusedByBothReaders)
{
    WriteLff("noland.lff", [](UffWriter& w, s32_t root) { MeshObject(w, root, "rock"); });
    std::string debug;
    EXPECT_EQ(LoadFile("noland.lff", &debug), -2);
    EXPECT_NE(debug.find("Invalid geometry format\n"), std::string::npos);
    EXPECT_EQ(LoadImage("noland.lff"), -2);
    EXPECT_EQ(LoadFile("missing.lff"), -1);
    EXPECT_EQ(MapMeshesLoadFromImage("UFF 1.0\n", 8, ""), -1);
    EXPECT_EQ(MapGetMeshCount(), 0u);
}

TEST_F(MapMeshReader, TrailingBytesOfTheArraysAreIgnoredAndBrokenFacesDropped)
{
    WriteLff("odd.lff", [](UffWriter& w, s32_t root) {
        const s32_t land = w.BeginEntry("land0", root);
        w.EndEntry();
        Entry(w, "vertex-array", land, Vertices({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}) + "12345");
        // The second face names vertex 7 of 3.
        Entry(w, "face-array", land, Faces({{0, 1, 2}, {0, 7, 2}, {2, 1, 0}}) + "abcd");
    });
    for (int reader = 0; reader < 2; ++reader) {
        ASSERT_EQ(reader ? LoadImage("odd.lff") : LoadFile("odd.lff"), 0);
        EXPECT_EQ(g_map.landVertexCount, 3u);
        ASSERT_EQ(g_map.landFaceCount, 2u);
        EXPECT_EQ(g_map.landFaces[1].indices[0], 2);
        EXPECT_EQ(g_map.landFaces[1].words[0], 0u);
        EXPECT_EQ(g_map.landFaces[1].surface, MAP_SURFACE_DEFAULT);
        Unload();
    }
}

TEST_F(MapMeshReader, AMeshWithoutItsArraysIsReportedAndSkipped)
{
    WriteLff("broken.lff", [](UffWriter& w, s32_t root) {
        SmallLand(w, root);
        const s32_t bare = w.BeginEntry("bare", root);
        w.EndEntry();
        Entry(w, "face-array", bare, Faces({{0, 1, 2}}));
        MeshObject(w, root, "good");
    });
    for (int reader = 0; reader < 2; ++reader) {
        ConClear(0);
        std::string debug;
        ASSERT_EQ(reader ? LoadImage("broken.lff", &debug) : LoadFile("broken.lff", &debug), 0);
        EXPECT_NE(debug.find("MapLoad: Mesh::Load(bare) failed\n"), std::string::npos);
        EXPECT_TRUE(Printed(ERROR_COLOUR "Missing Mesh: 'bare'"));
        ASSERT_EQ(MapGetMeshCount(), 1u);
        EXPECT_STREQ(MapGetMesh(0)->name.Text(), "good");
        Unload();
    }
}

TEST_F(MapMeshReader, ATextureNameOver255BytesIsCut)
{
    const std::string longName(300, 't');
    WriteLff("long.lff", [&](UffWriter& w, s32_t root) {
        SmallLand(w, root);
        MeshObject(w, root, "rock", longName.c_str());
    });
    for (int reader = 0; reader < 2; ++reader) {
        ASSERT_EQ(reader ? LoadImage("long.lff") : LoadFile("long.lff"), 0);
        ASSERT_EQ(MapGetMeshCount(), 1u);
        EXPECT_EQ(MapGetMesh(0)->textureName.Length(), 255u);
        Unload();
    }
}

TEST_F(MapMeshReader, The2049thMeshIsSkipped)
{
    WriteLff("many.lff", [](UffWriter& w, s32_t root) {
        SmallLand(w, root);
        for (int i = 0; i <= 2048; ++i)
            MeshObject(w, root, ("m" + std::to_string(i)).c_str());
    });
    ASSERT_EQ(LoadFile("many.lff"), 0);
    EXPECT_EQ(MapGetMeshCount(), 2048u);
    EXPECT_EQ(MapFindMeshIndex("m2047"), 2047);
    EXPECT_EQ(MapFindMeshIndex("m2048"), -1);
}

class LandTransform : public MeshFileTest {
protected:
    void Load(const MapAuthorPlan& plan)
    {
        std::string error;
        ASSERT_TRUE(MapAuthorWriteLff(plan, "land.lff", error)) << error;
        ASSERT_EQ(LoadFile("land.lff"), 0);
    }
};

TEST_F(LandTransform, MirrorOneAndNoTurnPutTheLowestVertexAtZero)
{
    MapAuthorPlan plan = SmallPlan();
    Load(plan);
    float lowest = 1e30f;
    for (float h : plan.heights)
        lowest = std::min(lowest, h);
    std::vector<Vector3> before;
    for (u32_t i = 0; i < g_map.landVertexCount; ++i)
        before.push_back(g_map.landVertices[i].position);
    const float one[3] = {1, 1, 1};
    MapGeometryApplyTransformValues(true, one, true, 0.0f);
    for (u32_t i = 0; i < g_map.landVertexCount; ++i) {
        EXPECT_NEAR(g_map.landVertices[i].position.y, before[i].y - lowest, 1e-3f);
        EXPECT_NEAR(g_map.landVertices[i].position.x, before[i].x, 1e-3f);
    }
    EXPECT_NEAR(g_map.bounds[0].y, 0.0f, 1e-3f);
    EXPECT_EQ(g_map.textureMatrix[0], 1.0f);
    EXPECT_EQ(g_map.textureMatrix[8], 0.0f);
}

TEST_F(LandTransform, MirrorOnXKeepsEachVertexsTextureCoordinates)
{
    Load(SmallPlan());
    MapGeometryApplyTransformValues(false, nullptr, false, 0.0f);
    std::vector<std::pair<float, float>> plain;
    for (u32_t i = 0; i < g_map.landVertexCount; ++i)
        plain.emplace_back(g_map.landVertices[i].u, g_map.landVertices[i].v);
    Unload();
    Load(SmallPlan());
    const float mirror[3] = {-1, 1, 1};
    MapGeometryApplyTransformValues(true, mirror, true, 0.0f);
    for (u32_t i = 0; i < g_map.landVertexCount; ++i) {
        EXPECT_NEAR(g_map.landVertices[i].u, plain[i].first, 1e-5f) << i;
        EXPECT_NEAR(g_map.landVertices[i].v, plain[i].second, 1e-5f) << i;
    }
    EXPECT_NEAR(g_map.landVertices[0].position.x, 200.0f, 1e-3f);  // x negated
}

TEST_F(LandTransform, RotateNinetyTurnsAQuarterAndMeshBoxesTakeAllCorners)
{
    Load(SmallPlan());
    const Vector3 first = g_map.landVertices[0].position;  // (-200, h, -200)
    const float one[3] = {1, 1, 1};
    MapGeometryApplyTransformValues(true, one, true, 90.0f);
    // Row-vector turn about y by 90 degrees: (x, z) becomes (z, -x).
    EXPECT_NEAR(g_map.landVertices[0].position.x, first.z, 1e-3f);
    EXPECT_NEAR(g_map.landVertices[0].position.z, -first.x, 1e-3f);
    Unload();

    Load(SmallPlan());
    MapGeometryApplyTransformValues(true, one, true, 45.0f);
    const CollisionMesh& rock = *MapGetMesh(0)->collision;
    for (u32_t i = 0; i < rock.vertexCount; ++i) {
        const Vector3& p = rock.vertices[i].position;
        EXPECT_GE(p.x, rock.boxMin.x - 1e-3f);
        EXPECT_LE(p.x, rock.boxMax.x + 1e-3f);
        EXPECT_GE(p.z, rock.boxMin.z - 1e-3f);
        EXPECT_LE(p.z, rock.boxMax.z + 1e-3f);
    }
    // A box of half side 20 turned by 45 degrees reaches 20 x sqrt(2) on x.
    EXPECT_NEAR(rock.boxMax.x, 20.0f * std::sqrt(2.0f), 1e-2f);
}

TEST_F(LandTransform, AFlatLandGetsTenUnitsOfHeightAndUvRunsFromOneAtMinZ)
{
    MapAuthorPlan plan;
    plan.grid = 3;
    plan.size = 100.0f;
    MapAuthorFlatHeights(plan, 4.0f);
    Load(plan);
    MapGeometryApplyTransformValues(false, nullptr, false, 0.0f);
    EXPECT_EQ(g_map.bounds[0].y, 4.0f);
    EXPECT_EQ(g_map.bounds[1].y, 14.0f);
    float uv[2];
    const float atMinZ[3] = {-50, 0, -50}, atMaxZ[3] = {50, 0, 50};
    MapWorldToUV(uv, atMinZ);
    EXPECT_EQ(uv[0], 0.0f);
    EXPECT_EQ(uv[1], 1.0f);
    MapWorldToUV(uv, atMaxZ);
    EXPECT_EQ(uv[0], 1.0f);
    EXPECT_EQ(uv[1], 0.0f);
}

TEST(MapVertexArrays, TranslateMovesPositionsOnly)
{
    MapVertex v[2] = {{{1, 2, 3}, 0.5f, 0.5f, {0, 1, 0}}, {{-1, 0, 0}, 0.0f, 1.0f, {1, 0, 0}}};
    const float offset[3] = {10, 20, 30};
    EXPECT_EQ(VertexArrayTranslate(v, 2, offset), 1);
    EXPECT_EQ(v[0].position.y, 22.0f);
    EXPECT_EQ(v[1].position.x, 9.0f);
    EXPECT_EQ(v[1].u, 0.0f);
    EXPECT_EQ(v[1].normal.x, 1.0f);
}

TEST(MapVertexArrays, ClippingByAPlane)
{
    const MapVertex triangle[3] = {{{0, 0, 0}, 0, 0, {}}, {{2, 0, 0}, 1, 0, {}}, {{0, 2, 0}, 0, 1, {}}};
    MapVertex out[4];
    const float keepAll[4] = {1, 0, 0, 5}, keepNone[4] = {1, 0, 0, -5}, half[4] = {-1, 0, 0, 1};
    EXPECT_EQ(PolygonClipByPlane(out, keepAll, triangle, 3), 3);
    EXPECT_EQ(out[1].position.x, 2.0f);
    EXPECT_EQ(PolygonClipByPlane(out, keepNone, triangle, 3), 0);
    EXPECT_EQ(PolygonClipByPlane(out, half, triangle, 0), 0);
    // x <= 1 keeps a quad: the cut points carry interpolated texture coordinates.
    ASSERT_EQ(PolygonClipByPlane(out, half, triangle, 3), 4);
    bool cutOnEdge = false;
    for (const MapVertex& v : out)
        cutOnEdge = cutOnEdge || (std::fabs(v.position.x - 1.0f) < 1e-6f && std::fabs(v.u - 0.5f) < 1e-6f);
    EXPECT_TRUE(cutOnEdge);
    // Products of plane values between -0.001 and 0 are no crossing.
    const MapVertex flat[3] = {{{0, 0, 0}, 0, 0, {}}, {{0.0001f, 0, 0}, 0, 0, {}}, {{-0.0001f, 1, 0}, 0, 0, {}}};
    const float x0[4] = {1, 0, 0, 0};
    EXPECT_EQ(PolygonClipByPlane(out, x0, flat, 3), 2);
}

}  // namespace
