// Spheres against a floor and a triangle: the touch margin, pushes out of the face and off its
// edges, contact-only meshes, a centre on an edge or a corner, the nodes' mesh selection, and the
// footprint box's corners.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "map/materials/material.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "tests/world/node_tree.h"
#include "tests/world/trace_fixtures.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/mesh_collision.h"

using graph_test::GraphObjTest;

namespace {

bool Finite(const Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

class MeshCollisions : public GraphObjTest {
protected:
    void SetUp() override
    {
        GraphObjTest::SetUp();
        aff_test::AffFile aff;
        aff.strings = {"floor"};
        aff.frames = {{{trace_test::FloorQuad(0, 0)}}};
        floor = AddChildNode(&root, "floor", WriteMesh("floor", aff));
    }

    GraphNode root{"root"};
    GraphNode* floor = nullptr;
};

TEST_F(MeshCollisions, ASphereIsPushedOutOfAFloorItSinksInto)
{
    struct Case {
        const char* what;
        Vector3 centre;
        bool touches;
        Vector3 after;
    };
    const Case cases[] = {
        {"sunk halfway", {0.2f, 0.5f, 0.3f}, true, {0.2f, 1.0f, 0.3f}},
        {"within the margin", {0, 0.9995f, 0}, false, {0, 0.9995f, 0}},
        {"just past the margin", {0, 0.998f, 0}, true, {0, 1.0f, 0}},
        {"below the floor's back", {0, -0.5f, 0}, false, {0, -0.5f, 0}},
        {"off the box", {0, 1.5f, 0}, false, {0, 1.5f, 0}},
        // Beyond the edge at x = 1: pushed away from the edge to the radius.
        {"over the edge", {1.5f, 0.5f, 0}, true, {1.0f + std::sqrt(0.5f), std::sqrt(0.5f), 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Vector3 centre = c.centre;
        SphereContact contact;
        EXPECT_EQ(root.SphereCollision(&centre, 1.0f, -1, &contact), c.touches);
        EXPECT_NEAR(centre.x, c.after.x, 1e-4f);
        EXPECT_NEAR(centre.y, c.after.y, 1e-4f);
        EXPECT_NEAR(centre.z, c.after.z, 1e-4f);
        EXPECT_EQ(contact.contactOnlyTouched, 0);
    }
    // The node's transform applies: a floor raised by 10.
    floor->SetPosition({0, 10, 0});
    Vector3 centre = {0, 10.5f, 0};
    EXPECT_TRUE(root.SphereCollision(&centre, 1.0f, -1, nullptr));
    EXPECT_NEAR(centre.y, 11.0f, 1e-4f);
}

TEST_F(MeshCollisions, AContactOnlyMeshReportsTheTouchWithoutPushing)
{
    floor->GetMeshSettings()[0].setLdr = 1;
    Vector3 centre = {0, 0.5f, 0};
    SphereContact contact;
    EXPECT_TRUE(root.SphereCollision(&centre, 1.0f, 0, &contact));
    EXPECT_EQ(contact.contactOnlyTouched, 1);
    EXPECT_EQ(centre.y, 0.5f);
    // A later solid node still pushes, and the flag stays.
    aff_test::AffFile aff;
    aff.strings = {"slab"};
    aff.frames = {{{trace_test::FloorQuad(0, 0)}}};
    AddChildNode(&root, "slab", WriteMesh("slab", aff));
    EXPECT_TRUE(root.SphereCollision(&centre, 1.0f, 0, &contact));
    EXPECT_EQ(contact.contactOnlyTouched, 1);
    EXPECT_NEAR(centre.y, 1.0f, 1e-4f);
}

TEST_F(MeshCollisions, ACentreOnAnEdgeOrACornerIsPushedAlongTheFacesNormal)
{
    // A two-sided triangle in the plane y = 0.
    aff_test::AffFile aff;
    aff.strings = {"sail"};
    aff_test::Mesh sail = aff_test::TriangleMesh(0, {0, 0, 0}, {0, 0, 1}, {1, 0, 0});
    sail.material.textureWord = ANIM_TEXTURE_TWO_SIDED | ANIM_TEXTURE_NONE;
    aff.frames = {{{sail}}};
    AnimMesh* mesh = WriteMesh("sail", aff);
    for (Vector3 start : {Vector3{0, 0, 0}, Vector3{1, 0, 0}, Vector3{0.5f, 0, 0}, Vector3{0.5f, 0, 0.5f}}) {
        SCOPED_TRACE(::testing::Message() << start.x << " " << start.z);
        Vector3 centre = start;
        EXPECT_TRUE(MeshSphereCollision(mesh, 0, 0, false, &centre, 0.5f));
        EXPECT_TRUE(Finite(centre));
        EXPECT_NEAR(std::fabs(centre.y), 0.5f, 1e-4f);
        EXPECT_NEAR(centre.x, start.x, 1e-4f);
    }
}

TEST_F(MeshCollisions, TheLevelSettingsChooseWhichMeshesCollide)
{
    MeshSettings& settings = floor->GetMeshSettings()[0];
    Material noHit;
    std::strcpy(noHit.name, "NoHit_");
    struct Case {
        const char* what;
        u8_t noClip;
        u32_t mode;
        u8_t hidden;
        s32_t step;
        bool touches;
    };
    const Case cases[] = {
        {"plain", 0, 3, 0, 0, true},
        {"noclip at a step", 1, 3, 0, 0, false},
        {"noclip with no step", 1, 3, 0, -1, true},
        {"hidden at the step", 0, 3, 1, 0, false},
        {"not colliding at the step", 0, 1, 0, 0, false},
        {"marked only", 0, 0x80, 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings.noClip = c.noClip;
        settings.lodMode[0] = c.mode;
        settings.lodHidden[0] = c.hidden;
        Vector3 centre = {0, 0.5f, 0};
        EXPECT_EQ(floor->SphereCollision(&centre, 1.0f, c.step, nullptr), c.touches);
    }
}

TEST_F(MeshCollisions, TheFootprintBoxsCornersComeInTheirOrder)
{
    Vector3 corners[8];
    FootprintCorners(1.0f, 2.0f, {10, 0, 20}, corners);
    const Vector3 expected[8] = {{11, 0, 19}, {9, 0, 19}, {11, 0, 21}, {9, 0, 21},
                                 {11, 2, 19}, {9, 2, 19}, {11, 2, 21}, {9, 2, 21}};
    for (int k = 0; k < 8; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(corners[k].x, expected[k].x);
        EXPECT_EQ(corners[k].y, expected[k].y);
        EXPECT_EQ(corners[k].z, expected[k].z);
    }
    // Corners within the base diagonal of the faces leave the centre where it was; never a hit.
    Vector3 centre = {0, 0.5f, 0};
    EXPECT_FALSE(floor->FootprintCollision(&centre, 1.0f, 1.0f, 0));
    EXPECT_EQ(centre.y, 0.5f);
}

}  // namespace
