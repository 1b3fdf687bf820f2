// Wire shadows on a real octree built in the test: projection along the sun onto the triangles
// below a span, the spans that get no record, the repeating world, and the per-span limits.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "map/map_cvars.h"
#include "map/octree/octree.h"
#include "support/map_octree_support.h"
#include "tests/world/wires/wire_poles.h"
#include "world/wires/wire_shadows.h"

namespace {

// A leaf over the box whose geometry is a grid of cells x cells squares (two triangles each)
// covering [x0, x1] x [z0, z1] at height y.
void FillGrid(OctreeNode* leaf, float x0, float x1, float z0, float z1, float y, int cells)
{
    OctreeGeometry& geometry = leaf->geometry;
    const int side = cells + 1;
    geometry.vertexCount = geometry.vertexCapacity = static_cast<u32_t>(side * side);
    geometry.vertices = new MapVertex[geometry.vertexCount];
    for (int j = 0; j < side; ++j) {
        for (int i = 0; i < side; ++i) {
            const float x = x0 + (x1 - x0) * i / cells, z = z0 + (z1 - z0) * j / cells;
            geometry.vertices[j * side + i] = MapVertex{{x, y, z}, 0, 0, {0, 1, 0}};
        }
    }
    geometry.faceCount = geometry.faceCapacity = static_cast<u32_t>(cells * cells * 2);
    geometry.faces = new MapFace[geometry.faceCount];
    u32_t f = 0;
    for (int j = 0; j < cells; ++j) {
        for (int i = 0; i < cells; ++i) {
            const u16_t a = static_cast<u16_t>(j * side + i);
            const u16_t b = static_cast<u16_t>(a + 1), c = static_cast<u16_t>(a + side), d = static_cast<u16_t>(c + 1);
            geometry.faces[f++] = MapFace{{a, c, d}};
            geometry.faces[f++] = MapFace{{a, d, b}};
        }
    }
}

struct ShadowShape {
    Vector3 lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
    float area = 0.0f;
    float maxU = 0.0f;
};

ShadowShape ShapeOf(const WireShadowMesh& mesh)
{
    ShadowShape shape;
    for (u32_t i = 0; i < mesh.vertexCount; ++i) {
        const Vector3& p = mesh.positions[i];
        shape.lo = {std::fmin(shape.lo.x, p.x), std::fmin(shape.lo.y, p.y), std::fmin(shape.lo.z, p.z)};
        shape.hi = {std::fmax(shape.hi.x, p.x), std::fmax(shape.hi.y, p.y), std::fmax(shape.hi.z, p.z)};
        shape.maxU = std::fmax(shape.maxU, mesh.texCoords[i * 2]);
    }
    for (u32_t t = 0; t + 3 <= mesh.vertexCount; t += 3) {
        const Vector3 &a = mesh.positions[t], &b = mesh.positions[t + 1], &c = mesh.positions[t + 2];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        const float cx = uy * vz - uz * vy, cy = uz * vx - ux * vz, cz = ux * vy - uy * vx;
        shape.area += 0.5f * std::sqrt(cx * cx + cy * cy + cz * cz);
    }
    return shape;
}

class WireShadows : public wire_test::WirePoles {
protected:
    void SetUp() override
    {
        WirePoles::SetUp();
        m_savedSun = mvsundir.Vector();
    }
    void TearDown() override
    {
        SetSun(m_savedSun);
        WirePoles::TearDown();
    }

    static void SetSun(Vector3 direction)
    {
        mvsundir.value.asVector[0] = direction.x;
        mvsundir.value.asVector[1] = direction.y;
        mvsundir.value.asVector[2] = direction.z;
    }

    // A one-leaf map (-50..50 on every axis, so the world repeats every 100 units) with a flat
    // 40 x 40 quad of two triangles at height 0.
    static void FlatQuadMap() { FillGrid(OctreeCreateRoot({-50, -50, -50}, {50, 50, 50}), -20, 20, -20, 20, 0, 1); }

    // Wire 0 from a to b in a new group (lengths in file units).
    ConObjGroup* Span(const char* profile, float fileWidth, s32_t segments, Vector3 a, Vector3 b,
                      float fileTextureLength = 0.5f)
    {
        ConObjGroup* group = ConObjCreateGroup("span", profile, "", fileWidth, 0.0f, fileTextureLength, segments);
        const std::string tag = std::to_string(m_count++);
        EXPECT_EQ(ConObjGroupAppendObject(group, AddPole("a" + tag, {{"-0", a}})), 1);
        EXPECT_EQ(ConObjGroupAppendObject(group, AddPole("b" + tag, {{"+0", b}})), 1);
        return group;
    }

    Vector3 m_savedSun;
    int m_count = 0;
};

TEST_F(WireShadows, SpansCastAlongTheSunOntoTheTrianglesBelow)
{
    FlatQuadMap();
    const float r = 1.0f / std::sqrt(2.0f);
    struct Case {
        const char* profile;
        float fileWidth;  // half-size 10 x this
        Vector3 sun;
        Vector3 lo, hi;  // of the shadow; lo.x > hi.x: an empty record
        float area;
    };
    const Case cases[] = {
        // A thin wire 5 above the ground from x = -5 to 5: its horizontal quad lands right below it.
        {"CROSS", 0.01f, {0, 1, 0}, {-5, 0, -0.1f}, {5, 0, 0.1f}, 2.0f},
        // A sun from the upper +x side throws it 5 units towards -x.
        {"CROSS", 0.01f, {r, r, 0}, {-10, 0, -0.1f}, {0, 0, 0.1f}, 2.0f},
        // A band (0.5 each way) seen from straight above covers nothing, yet the span keeps its record.
        {"YFLAT", 0.05f, {0, 1, 0}, {10, 10, 10}, {-10, -10, -10}, 0.0f},
        // A sun from the upper +z side lays the band down between z = -5.5 and -4.5.
        {"YFLAT", 0.05f, {0, r, r}, {-5, 0, -5.5f}, {5, 0, -4.5f}, 10.0f},
    };
    for (const Case& c : cases) {
        ConObjFreeAll();
        SetSun(c.sun);
        ConObjGroup* group = Span(c.profile, c.fileWidth, 1, {-5, 5, 0}, {5, 5, 0});
        ConObjBuildShadows();
        ConObjBuildShadows();  // a second build replaces the first
        const WireShadowMesh* mesh = group->first->shadows;
        ASSERT_NE(mesh, nullptr) << c.profile;
        EXPECT_EQ(mesh->next, nullptr);
        EXPECT_EQ(group->last->shadows, nullptr);
        EXPECT_STREQ(mesh->name.Text(), "con_obj_shadow");
        EXPECT_EQ(mesh->texture, group->texture);
        EXPECT_EQ(mesh->vertexCount % 3, 0u);
        if (c.lo.x > c.hi.x) {
            EXPECT_EQ(mesh->vertexCount, 0u);
            EXPECT_EQ(mesh->boxMin.x, -10.0f);
            EXPECT_EQ(mesh->boxMax.y, 10.0f);
            continue;
        }
        const ShadowShape shape = ShapeOf(*mesh);
        const float lo[3] = {shape.lo.x, shape.lo.y, shape.lo.z}, hi[3] = {shape.hi.x, shape.hi.y, shape.hi.z};
        const float wantLo[3] = {c.lo.x, c.lo.y, c.lo.z}, wantHi[3] = {c.hi.x, c.hi.y, c.hi.z};
        const float boxLo[3] = {mesh->boxMin.x, mesh->boxMin.y, mesh->boxMin.z};
        const float boxHi[3] = {mesh->boxMax.x, mesh->boxMax.y, mesh->boxMax.z};
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(lo[axis], wantLo[axis], 1e-3f) << c.profile << " axis " << axis;
            EXPECT_NEAR(hi[axis], wantHi[axis], 1e-3f) << c.profile << " axis " << axis;
            EXPECT_EQ(boxLo[axis], lo[axis]);
            EXPECT_EQ(boxHi[axis], hi[axis]);
        }
        EXPECT_NEAR(shape.area, c.area, 1e-2f) << c.profile;
        // The texture repeats every 5 units along the 10-unit wire.
        EXPECT_NEAR(shape.maxU, 2.0f, 1e-4f) << c.profile;
    }
}

TEST_F(WireShadows, SpansWithoutCasterOrLeavesGetNoRecord)
{
    FlatQuadMap();
    SetSun({0, 1, 0});
    // Segment counts: none gives no geometry, one a single straight piece.
    ConObjGroup* none = Span("CROSS", 0.01f, 0, {-5, 5, 0}, {5, 5, 0});
    ConObjGroup* one = Span("CROSS", 0.01f, 1, {-5, 5, 0}, {5, 5, 0});
    // Both poles carry only "-0": the wire has no end.
    ConObjGroup* endless = ConObjCreateGroup("endless", "CROSS", "", 0.01f, 0, 1, 1);
    ConObjGroupAppendObject(endless, AddPole("m1", {{"-0", {-5, 5, 0}}}));
    ConObjGroupAppendObject(endless, AddPole("m2", {{"-0", {5, 5, 0}}}));
    // High above the map's box no leaf lies under the caster box.
    ConObjGroup* high = Span("CROSS", 0.01f, 1, {-5, 60, 0}, {5, 60, 0});
    ConObjBuildShadows();
    EXPECT_EQ(none->first->shadows, nullptr);
    EXPECT_NE(one->first->shadows, nullptr);
    EXPECT_EQ(endless->first->shadows, nullptr);
    EXPECT_EQ(high->first->shadows, nullptr);

    // A leaf without triangles counts as no leaf.
    ConObjFreeAll();
    OctreeCreateRoot({-50, -50, -50}, {50, 50, 50});
    ConObjGroup* bare = Span("CROSS", 0.01f, 1, {-5, 5, 0}, {5, 5, 0});
    ConObjBuildShadows();
    EXPECT_EQ(bare->first->shadows, nullptr);
}

TEST_F(WireShadows, ASpanInAnotherWorldTileFallsOnTheRepeatedMap)
{
    FlatQuadMap();
    SetSun({0, 1, 0});
    ConObjGroup* group = Span("CROSS", 0.01f, 4, {95, 5, 200}, {105, 5, 200});
    ConObjBuildShadows();
    ASSERT_NE(group->first->shadows, nullptr);
    const ShadowShape shape = ShapeOf(*group->first->shadows);
    EXPECT_NEAR(shape.lo.x, 95.0f, 1e-3f);
    EXPECT_NEAR(shape.hi.x, 105.0f, 1e-3f);
    EXPECT_NEAR(shape.lo.z, 199.9f, 1e-3f);
    EXPECT_NEAR(shape.area, 2.0f, 1e-2f);
}

TEST_F(WireShadows, LimitsCutTheShadowShortWithAWarning)
{
    SetSun({0, 1, 0});
    // 64 leaves of one triangle each; a diagonal wire's box touches them all.
    OctreeNode* root = OctreeCreateRoot({-50, -50, -50}, {50, 50, 50});
    map_test::Split(root);
    for (OctreeNode* child : root->children) {
        map_test::Split(child);
        for (OctreeNode* leaf : child->children)
            FillGrid(leaf, leaf->boxMin.x, leaf->boxMax.x, leaf->boxMin.z, leaf->boxMax.z, leaf->boxMin.y, 1);
    }
    ConObjGroup* diagonal = Span("CROSS", 0.01f, 1, {-45, -45, -45}, {45, 45, 45});
    ConObjBuildShadows();
    EXPECT_NE(diagonal->first->shadows, nullptr);
    EXPECT_TRUE(Printed("WARNING: Shadow of 'span' span 0: more than 32 map leaves, the rest is left out\n"));

    // A ground of many small triangles under a wire gives more pieces than a shadow may hold.
    ConObjFreeAll();
    ConClear(0);
    OctreeNode* dense = OctreeCreateRoot({-50, -50, -50}, {50, 50, 50});
    FillGrid(dense, -5, 5, -0.2f, 0.2f, 0, 150);
    ConObjGroup* wire = Span("CROSS", 0.02f, 1, {-5, 5, 0}, {5, 5, 0});
    ConObjBuildShadows();
    ASSERT_NE(wire->first->shadows, nullptr);
    EXPECT_LE(wire->first->shadows->vertexCount, WIRE_SHADOW_MAX_OUTPUT_VERTICES);
    EXPECT_GT(wire->first->shadows->vertexCount, WIRE_SHADOW_MAX_OUTPUT_VERTICES - 12);
    EXPECT_EQ(wire->first->shadows->vertexCount % 3, 0u);
    EXPECT_EQ(
        ConsoleLines(),
        std::vector<std::string>{"WARNING: Shadow of 'span' span 0: more than 64500 vertices, the rest is left out\n"});
}

}  // namespace
