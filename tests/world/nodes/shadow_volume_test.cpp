// Shadow companions: the estimated box, the extruded volume of a source's meshes (caps, silhouette
// sides, the extrusion rules over a map floor) and the ground quad of bounds shadows.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "map/map_cvars.h"
#include "map/meshes/map_face.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree.h"
#include "platform/d3dx8_math.h"
#include "tests/world/graph_fixtures.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "tests/world/node_tree.h"
#include "tests/world/trace_fixtures.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/shadow_volume.h"

using namespace graph_test;

namespace {

constexpr float kTolerance = 1e-4f;

// A one-leaf map whose ground is a 10 x 10 floor at height 0 round the origin, two triangles.
void MakeFloor()
{
    OctreeNode* root = OctreeCreateRoot({-50, -50, -50}, {50, 50, 50});
    OctreeGeometry& geometry = root->geometry;
    geometry.vertices = new MapVertex[4];
    geometry.vertexCount = geometry.vertexCapacity = 4;
    const float corners[4][2] = {{-5, -5}, {-5, 5}, {5, 5}, {5, -5}};
    for (int i = 0; i < 4; ++i)
        geometry.vertices[i] = MapVertex{{corners[i][0], 0, corners[i][1]}, 0, 0, {0, 1, 0}};
    geometry.faces = new MapFace[2];
    geometry.faceCount = geometry.faceCapacity = 2;
    geometry.faces[0] = MapFace{{0, 1, 2}};
    geometry.faces[1] = MapFace{{0, 2, 3}};
}

class Shadows : public GraphObjTest {
protected:
    void TearDown() override
    {
        OctreeDestroy();
        ShadowBuildFree();
        GraphObjTest::TearDown();
    }
    static void SetSun(float x, float y, float z)
    {
        mvsundir.value.asVector[0] = x;
        mvsundir.value.asVector[1] = y;
        mvsundir.value.asVector[2] = z;
    }
    // A graphic object at the origin showing the mesh written under that name.
    GraphObj* MakeSource(const std::string& meshName, const aff_test::AffFile& file)
    {
        AnimMesh* mesh = WriteMesh(meshName, file);
        sources.emplace_back(new GraphObj);
        AddChildNode(sources.back()->GetRootNode(), "body", mesh);
        return sources.back().get();
    }
    static void ExpectBox(const float* box, const std::vector<float>& expected)
    {
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(box[i], expected[i], kTolerance) << "box value " << i;
    }

    SavedVar savedSun{mvsundir};
    std::vector<std::unique_ptr<GraphObj>> sources;
};

aff_test::AffFile CubeFile()
{
    aff_test::AffFile file;
    file.strings = {"cube"};
    file.frames = {{{trace_test::CubeMesh(0)}}};
    return file;
}

TEST_F(Shadows, ACubeLitFromOneSideGivesEveryCapAndTwoSidesPerSilhouetteEdge)
{
    SetSun(1, 0, 0);
    GraphObj* cube = MakeSource("cube", CubeFile());
    ShadowVolume volume(cube);
    EXPECT_EQ(volume.shadowKind, SHADOW_KIND_VOLUME);
    ASSERT_NE(volume.GetGridEntry(), nullptr);
    EXPECT_EQ(volume.GetGridEntry()->kind, 4u);
    EXPECT_EQ(volume.GetGridEntry()->owner, &volume);
    volume.Rebuild();
    EXPECT_EQ(volume.needsRebuild, 0);
    ASSERT_EQ(volume.subMeshCount, 1u);
    EXPECT_EQ(volume.subMeshTags[0], MESH_MODE_DEFAULT);
    const ShadowVolumePiece& piece = volume.subMeshes[0];
    const u32_t vc = 24;  // four corners per face
    EXPECT_EQ(piece.vertexCount, 2 * vc);
    EXPECT_EQ(piece.capCount, 12u);
    // The face towards the sun (+x) is lit; its four outer edges are the silhouette.
    ASSERT_EQ(piece.triangleCount, 12u + 4 * 2);
    int lit = 0;
    for (u32_t t = 0; t < 12; ++t) {
        const u16_t* tri = piece.indices + t * 3;
        const bool front = tri[0] < vc && tri[1] < vc && tri[2] < vc;
        const bool back = tri[0] >= vc && tri[1] >= vc && tri[2] >= vc;
        EXPECT_TRUE(front || back) << t;
        if (front) {
            ++lit;
            EXPECT_FLOAT_EQ(piece.vertices[tri[0] * 3], 1.0f) << t;
        }
    }
    EXPECT_EQ(lit, 2);
    // Each side joins an edge of the lit face to the same edge pushed away: two corners of one
    // set, one of the other, all on the face's ring of x = 1 or its extrusion.
    for (u32_t t = 12; t < piece.triangleCount; ++t) {
        int front = 0;
        for (int k = 0; k < 3; ++k) {
            const u16_t index = piece.indices[t * 3 + k];
            front += index < vc ? 1 : 0;
            const u16_t own = static_cast<u16_t>(index % vc);
            EXPECT_FLOAT_EQ(piece.vertices[own * 3], 1.0f) << t;
        }
        EXPECT_TRUE(front == 1 || front == 2) << t;
    }
    // Extruded vertices lie away from the sun.
    for (u32_t v = vc; v < 2 * vc; ++v)
        EXPECT_LT(piece.vertices[v * 3], piece.vertices[(v - vc) * 3]) << v;
    // The volume is the box from the lit face to the far cap, every triangle of it wound as the
    // stencil counting needs: counter-clockwise seen from outside, the cross product of its edges
    // pointing inwards (a left-handed frame).
    float box[6];
    volume.GetGeometryBounds(box);
    const D3DXVECTOR3 middle((box[0] + box[3]) / 2, (box[1] + box[4]) / 2, (box[2] + box[5]) / 2);
    for (u32_t t = 0; t < piece.triangleCount; ++t) {
        D3DXVECTOR3 p[3];
        for (int k = 0; k < 3; ++k) {
            const float* at = piece.vertices + piece.indices[t * 3 + k] * 3;
            p[k] = D3DXVECTOR3(at[0], at[1], at[2]);
        }
        const D3DXVECTOR3 ab = p[1] - p[0], ac = p[2] - p[0];
        D3DXVECTOR3 cross;
        D3DXVec3Cross(&cross, &ab, &ac);
        const D3DXVECTOR3 outward = (p[0] + p[1] + p[2]) * (1.0f / 3.0f) - middle;
        EXPECT_LT(D3DXVec3Dot(&cross, &outward), 0.0f) << "triangle " << t;
    }
}

TEST_F(Shadows, LitAndUnlitTrianglesAndWhichEdgesMakeSides)
{
    SetSun(0, 1, 0);
    // A triangle facing up (counter-clockwise seen from above), one facing down sharing its last edge
    // (1-0), and a vertical one seen edge-on.
    const float vertices[] = {0, 0, 0, 0, 0, 1, 1, 0, 0, -1, 0, 0, 0, 1, 0};
    struct Case {
        const char* what;
        std::vector<u16_t> triangles;
        std::vector<u16_t> neighbours;  // empty: no table
        std::vector<u16_t> expected;
    };
    const u16_t none = 0xFFFF;
    const Case cases[] = {
        {"facing the sun", {0, 2, 1}, {none, none, none}, {0, 2, 1}},
        {"facing away", {0, 1, 2}, {none, none, none}, {5, 6, 7}},
        {"edge-on counts as unlit", {0, 2, 4}, {none, none, none}, {5, 7, 9}},
        {"a lit and an unlit triangle across an edge",
         {0, 2, 1, 0, 3, 1},
         {none, none, 1, none, none, 0},
         {0, 2, 1, 5, 8, 6, 1, 6, 5, 1, 5, 0}},
        {"the same edge left open", {0, 2, 1, 0, 3, 1}, {none, none, none, none, none, none}, {0, 2, 1, 5, 8, 6}},
        {"no neighbour table", {0, 2, 1, 0, 3, 1}, {}, {0, 2, 1, 5, 8, 6}},
        {"a neighbour past the faces is none",
         {0, 2, 1, 0, 3, 1},
         {none, none, 7, none, none, none},
         {0, 2, 1, 5, 8, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const float* outVertices = vertices;
        u32_t vertexCount = 5;
        const u16_t* outTriangles = c.triangles.data();
        u32_t triangleCount = static_cast<u32_t>(c.triangles.size() / 3);
        ASSERT_TRUE(ShadowVolumeBuild(&outVertices, &vertexCount, &outTriangles, &triangleCount,
                                      c.neighbours.empty() ? nullptr : c.neighbours.data(), 10.0f, 0.0f, false));
        EXPECT_EQ(vertexCount, 10u);
        EXPECT_EQ(std::vector<u16_t>(outTriangles, outTriangles + triangleCount * 3), c.expected);
    }
}

TEST_F(Shadows, ExtrusionByOwnLengthDefaultLengthOrDownToTheGround)
{
    SetSun(0, 1, 0);
    MakeFloor();
    // Over the floor, and beside it where the drop meets nothing.
    const float vertices[] = {0, 2, 0, 20, 2, 0};
    struct Case {
        const char* what;
        bool isStatic;
        float ownLength;
        float overFloorY, besideY;
    };
    const Case cases[] = {
        {"static: 5 beyond the ground, a quarter of the default length where it misses", true, 0.0f, -5.0f, -0.5f},
        {"own length ignores the static rule", true, 3.0f, -1.0f, -1.0f},
        {"moving: the default length", false, 0.0f, -8.0f, -8.0f},
        {"moving with its own length", false, 3.0f, -1.0f, -1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const float* out = vertices;
        u32_t vertexCount = 2;
        const u16_t* triangles = nullptr;
        u32_t triangleCount = 0;
        ASSERT_TRUE(
            ShadowVolumeBuild(&out, &vertexCount, &triangles, &triangleCount, nullptr, 10.0f, c.ownLength, c.isStatic));
        ASSERT_EQ(vertexCount, 4u);
        EXPECT_NEAR(out[7], c.overFloorY, kTolerance);
        EXPECT_NEAR(out[10], c.besideY, kTolerance);
        EXPECT_EQ(out[6], 0.0f);
        EXPECT_EQ(out[9], 20.0f);
    }
}

TEST_F(Shadows, MeshesBeyondTheLimitsGetNoVolume)
{
    std::vector<float> vertices(3 * 8192, 0.0f);
    std::vector<u16_t> triangles(3 * 16384, 0);
    struct Case {
        u32_t vertexCount, triangleCount;
        bool built;
    };
    for (const Case& c : {Case{8191, 16383, true}, Case{8192, 1, false}, Case{3, 16384, false}}) {
        const float* out = vertices.data();
        u32_t vertexCount = c.vertexCount;
        const u16_t* tris = triangles.data();
        u32_t triangleCount = c.triangleCount;
        EXPECT_EQ(ShadowVolumeBuild(&out, &vertexCount, &tris, &triangleCount, nullptr, 1.0f, 0.0f, false), c.built)
            << c.vertexCount << " " << c.triangleCount;
        if (!c.built) {
            EXPECT_EQ(vertexCount, c.vertexCount);
            EXPECT_EQ(out, vertices.data());
        }
    }
    // An index past the vertices makes no volume either.
    const float three[9] = {};
    const u16_t bad[3] = {0, 1, 3};
    const float* out = three;
    u32_t vertexCount = 3;
    const u16_t* tris = bad;
    u32_t triangleCount = 1;
    EXPECT_FALSE(ShadowVolumeBuild(&out, &vertexCount, &tris, &triangleCount, nullptr, 1.0f, 0.0f, false));
}

TEST_F(Shadows, AVolumesBoxIsTheEstimateUntilTheFirstRebuild)
{
    // The sun at 45 degrees over +x: a unit-high quad's box grows by one unit towards -x and down.
    SetSun(1, 1, 0);
    GraphObj* quad = MakeSource("quad", QuadsAff({"body"}));
    ShadowVolume volume(quad);
    float box[6];
    volume.GetGeometryBounds(box);
    ExpectBox(box, {-1, -1, 0, 1, 1, 0});
    EXPECT_NEAR(volume.shadowLength, 2.0f * std::sqrt(2.0f), kTolerance);

    // No map: the static source's extrusion is a quarter of the default length.
    volume.Rebuild();
    volume.GetGeometryBounds(box);
    const float push = 0.25f * 2.0f * std::sqrt(2.0f) / std::sqrt(2.0f);
    ExpectBox(box, {-push, -push, 0, 1, 1, 0});
    volume.Invalidate();
    volume.GetGeometryBounds(box);
    ExpectBox(box, {-1, -1, 0, 1, 1, 0});
}

TEST_F(Shadows, AHorizontalSunGivesAFiniteBox)
{
    SetSun(1, 0, 0);
    GraphObj* quad = MakeSource("quad", QuadsAff({"body"}));
    for (ShadowObject* shadow :
         {static_cast<ShadowObject*>(new ShadowObject(quad)), static_cast<ShadowObject*>(new ShadowVolume(quad))}) {
        float box[6];
        shadow->GetGeometryBounds(box);
        for (float value : box)
            EXPECT_TRUE(std::isfinite(value));
        EXPECT_TRUE(std::isfinite(shadow->shadowLength));
        // Long shadows: the unit-high quad's reaches 1 / SHADOW_MIN_SUN_HEIGHT units away.
        EXPECT_NEAR(box[0], -1.0f / SHADOW_MIN_SUN_HEIGHT, 1e-2f);
        shadow->Rebuild();
        shadow->GetGeometryBounds(box);
        for (float value : box)
            EXPECT_TRUE(std::isfinite(value));
        delete shadow;
    }
}

TEST_F(Shadows, AVolumeKeepsTheFirst32MeshesAndAnEmptySourceGivesTheEmptyBox)
{
    SetSun(0, 1, 0);
    std::vector<std::string> names;
    for (int i = 0; i < 33; ++i)
        names.push_back("part" + std::to_string(i) + "x");  // a last digit would name a level
    GraphObj* many = MakeSource("many", QuadsAff(names));
    ShadowVolume volume(many);
    volume.Rebuild();
    EXPECT_EQ(volume.subMeshCount, 32u);
    EXPECT_EQ(volume.subMeshes[31].meshIndex, 31u);

    GraphObj empty;
    ShadowVolume nothing(&empty);
    nothing.Rebuild();
    EXPECT_EQ(nothing.subMeshCount, 0u);
    float box[6];
    nothing.GetGeometryBounds(box);
    ExpectBox(box, {1e30f, 1e30f, 1e30f, -1e30f, -1e30f, -1e30f});
}

TEST_F(Shadows, TheSourceMarksBothCompanionsStale)
{
    SetSun(0, 1, 0);
    GraphObj* quad = MakeSource("quad", QuadsAff({"body"}));
    ShadowVolume volume(quad);
    BoundsShadowObject bounds(quad, nullptr);
    quad->shadowVolume = &volume;
    quad->shadowCompanion = &bounds;
    volume.Rebuild();
    bounds.Rebuild();
    ASSERT_EQ(volume.needsRebuild + bounds.needsRebuild, 0);
    ShadowCompanionsInvalidate(quad);
    EXPECT_EQ(volume.needsRebuild, 1);
    EXPECT_EQ(bounds.needsRebuild, 1);
    // A source with one companion, or none.
    quad->shadowCompanion = nullptr;
    volume.Rebuild();
    ShadowCompanionsInvalidate(quad);
    EXPECT_EQ(volume.needsRebuild, 1);
    quad->shadowVolume = nullptr;
    ShadowCompanionsInvalidate(quad);
}

TEST_F(Shadows, ABoundsShadowLaysItsFourPointsOnTheGround)
{
    SetSun(0, 1, 0);
    // A unit quad from x 0 to 1, one unit high: a square of side 1 round the position, its far
    // corners (seen along the forward offset +x under a sun straight above) dropped from the top.
    GraphObj* quad = MakeSource("quad", QuadsAff({"body"}));
    static u8_t textureMarker;
    IDirect3DTexture8* texture = reinterpret_cast<IDirect3DTexture8*>(&textureMarker);
    BoundsShadowObject shadow(quad, texture);
    EXPECT_EQ(shadow.shadowKind, SHADOW_KIND_BOUNDS);
    EXPECT_EQ(shadow.gridSize, 0u);
    EXPECT_EQ(shadow.shadowTexture, texture);
    struct Case {
        const char* what;
        bool floor;
        float lowY, highY;  // where the points under the raised and the ground corners end
    };
    for (const Case& c : {Case{"over the floor", true, 0.1f, 0.1f}, Case{"no ground", false, 1.1f, 0.1f}}) {
        SCOPED_TRACE(c.what);
        OctreeDestroy();
        if (c.floor)
            MakeFloor();
        shadow.Invalidate();
        shadow.Rebuild();
        ASSERT_EQ(shadow.gridSize, 2u);
        // Row by row: under c3, c0, c2, c1.
        const Vector3 expected[4] = {
            {-0.5f, c.lowY, -0.5f}, {-0.5f, c.lowY, 0.5f}, {0.5f, c.highY, -0.5f}, {0.5f, c.highY, 0.5f}};
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(shadow.groundPoints[i].x, expected[i].x, kTolerance) << i;
            EXPECT_NEAR(shadow.groundPoints[i].y, expected[i].y, kTolerance) << i;
            EXPECT_NEAR(shadow.groundPoints[i].z, expected[i].z, kTolerance) << i;
        }
    }
}

}  // namespace
