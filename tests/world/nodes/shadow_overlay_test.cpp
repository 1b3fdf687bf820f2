// Shadow overlays: shadow geometry laid along the sun onto the lit faces of a graphic object's
// meshes, one overlay setting per node, the settings' box, and the wires' shadows handed to the
// structures under them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "map/map_cvars.h"
#include "map/octree/octree.h"
#include "platform/d3dx8_math.h"
#include "support/map_octree_support.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "tests/world/node_tree.h"
#include "tests/world/trace_fixtures.h"
#include "tests/world/wires/wire_poles.h"
#include "world/nodes/graph_node.h"
#include "world/objects/shader_settings.h"
#include "world/nodes/shadow_overlay.h"
#include "world/objects/structure.h"

using graph_test::GraphObjTest;
using graph_test::SavedVar;

namespace {

void SetSun(Vector3 direction)
{
    mvsundir.value.asVector[0] = direction.x;
    mvsundir.value.asVector[1] = direction.y;
    mvsundir.value.asVector[2] = direction.z;
}

// Two triangles of a square on the ground (y = -5) from -0.5 to 0.5 on x and z: (s0, s1, e1) and
// (s0, e1, e0), so that positions 0, 1, 5 and 3 are s0, s1, e0 and s0 again.
struct GroundShadow {
    Vector3 positions[6] = {{-0.5f, -5, -0.5f}, {-0.5f, -5, 0.5f}, {0.5f, -5, 0.5f},
                            {-0.5f, -5, -0.5f}, {0.5f, -5, 0.5f},  {0.5f, -5, -0.5f}};
    float texCoords[12] = {0, 0, 0, 1, 1, 1, 0, 0, 1, 1, 1, 0};
};

class ShadowOverlays : public GraphObjTest {
protected:
    void SetUp() override
    {
        GraphObjTest::SetUp();
        aff_test::AffFile aff;
        aff.strings = {"box"};
        aff.frames = {{{trace_test::CubeMesh(0)}}};
        cube = WriteMesh("cube", aff);
        object = std::make_unique<Structure>();
        object->fly = 1;
        AddChildNode(object->GetRootNode(), "box", cube);
        shadowTemplate.kind = SHADOW_TEMPLATE_TRIANGLES;
        shadowTemplate.enabled = 0;
        shadowTemplate.texture = reinterpret_cast<IDirect3DTexture8*>(0x1234);
    }
    void TearDown() override
    {
        object.reset();
        GraphObjTest::TearDown();
    }

    // What the builds write to the debugger output (stderr while ZINTAR_DEBUG is set).
    template <class Build>
    static std::string DebugOutputOf(Build build)
    {
        setenv("ZINTAR_DEBUG", "1", 1);
        testing::internal::CaptureStderr();
        build();
        const std::string output = testing::internal::GetCapturedStderr();
        unsetenv("ZINTAR_DEBUG");
        return output;
    }

    u32_t OverlayCount() const
    {
        u32_t count = 0;
        for (u32_t i = 0; object->shaderSettings && i < object->shaderSettings->count; ++i)
            count += object->shaderSettings->items[i]->kind == SHADER_SETTING_OVERLAY ? 1 : 0;
        return count;
    }

    AnimMesh* cube = nullptr;
    std::unique_ptr<Structure> object;
    ShaderSetting shadowTemplate;
    GroundShadow ground;
    SavedVar sun{mvsundir};
};

TEST_F(ShadowOverlays, ASunBelowEveryFaceBuildsNothingAndTheEmptyBoxIsTen)
{
    SetSun({0, -1, 0});
    // Every cube face turned away from a sun straight below... except the bottom one, which the
    // shadow on the ground lies behind.
    const std::string output =
        DebugOutputOf([&] { object->BuildShadowOverlays(&shadowTemplate, ground.positions, ground.texCoords, 2); });
    EXPECT_EQ(output.find("ShadowCloak"), std::string::npos);
    ASSERT_NE(object->shaderSettings, nullptr);
    EXPECT_EQ(OverlayCount(), 0u);
    EXPECT_EQ(object->shaderSettings->boxMin.x, -10.0f);
    EXPECT_EQ(object->shaderSettings->boxMax.y, 10.0f);

    // Declared settings alone give the same box.
    ShaderSetting* declared = new ShaderSetting;
    declared->kind = SHADER_SETTING_DECLARED;
    ShaderSettingListAppend(object->shaderSettings, declared);
    object->BuildShadowOverlays(&shadowTemplate, ground.positions, ground.texCoords, 2);
    EXPECT_EQ(object->shaderSettings->count, 1u);
    EXPECT_EQ(object->shaderSettings->boxMin.z, -10.0f);
    EXPECT_EQ(object->shaderSettings->boxMax.z, 10.0f);
}

TEST_F(ShadowOverlays, TrianglesFromBelowLandOnTheTopFace)
{
    SetSun({0, 1, 0});
    const std::string output =
        DebugOutputOf([&] { object->BuildShadowOverlays(&shadowTemplate, ground.positions, ground.texCoords, 2); });
    ASSERT_EQ(OverlayCount(), 1u);
    const ShaderSetting& overlay = *object->shaderSettings->items[0];
    EXPECT_NE(output.find("ShadowCloak faces " + std::to_string(OverlayVertexCount(overlay) / 3) + "\n"),
              std::string::npos)
        << output;
    EXPECT_EQ(overlay.texture, shadowTemplate.texture);
    EXPECT_EQ(overlay.enabled, 0);
    const u32_t count = OverlayVertexCount(overlay);
    ASSERT_GT(count, 0u);
    EXPECT_EQ(count % 3, 0u);
    float area = 0.0f;
    for (u32_t v = 0; v < count; ++v) {
        const Vector3& p = OverlayPositions(overlay)[v];
        EXPECT_NEAR(p.y, 1.0f, 1e-4f);  // the cube's top; the shadow stands behind the bottom face
        EXPECT_LE(std::fabs(p.x), 0.5f + 1e-4f);
    }
    for (u32_t t = 0; t < count; t += 3) {
        const Vector3* p = OverlayPositions(overlay) + t;
        const float ux = p[1].x - p[0].x, uz = p[1].z - p[0].z, vx = p[2].x - p[0].x, vz = p[2].z - p[0].z;
        area += 0.5f * std::fabs(ux * vz - uz * vx);
    }
    EXPECT_NEAR(area, 1.0f, 1e-3f);
    EXPECT_NEAR(object->shaderSettings->boxMin.x, -0.5f, 1e-4f);
    EXPECT_NEAR(object->shaderSettings->boxMax.y, 1.0f, 1e-4f);

    // A second build appends another record.
    object->BuildShadowOverlays(&shadowTemplate, ground.positions, ground.texCoords, 2);
    EXPECT_EQ(OverlayCount(), 2u);
}

TEST_F(ShadowOverlays, AFullWorkBufferStopsTheBuildBeforeAClipCouldOverrun)
{
    SetSun({0, 1, 0});
    // More shadow triangles than the buffers hold pieces: every one lands on the top face.
    const u32_t triangles = MAX_CLOAK_FACES + 1000;
    std::vector<Vector3> positions;
    std::vector<float> coords;
    for (u32_t t = 0; t < triangles; ++t) {
        positions.insert(positions.end(), {{-0.5f, -5, -0.5f}, {-0.5f, -5, 0.5f}, {0.5f, -5, 0.5f}});
        coords.insert(coords.end(), {0, 0, 0, 1, 1, 1});
    }
    object->BuildShadowOverlays(&shadowTemplate, positions.data(), coords.data(), triangles);
    ASSERT_EQ(OverlayCount(), 1u);
    const u32_t count = OverlayVertexCount(*object->shaderSettings->items[0]);
    EXPECT_LE(count, OVERLAY_WORK_VERTICES);
    EXPECT_GT(count, OVERLAY_WORK_VERTICES - OVERLAY_CLIP_VERTICES);
}

TEST_F(ShadowOverlays, OneQuadGivesAnOverlayRecord)
{
    SetSun({0, 1, 0});
    // The quad template: positions 0, 1, 5 and 3 make its corners.
    Vector3 quad[6] = {{-0.5f, -5, -0.5f}, {-0.5f, -5, 0.5f}, {0.5f, -5, 0.5f}, {0.5f, -5, -0.5f}, {},
                       {0.5f, -5, 0.5f}};
    float coords[12] = {0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 1};
    shadowTemplate.kind = SHADOW_TEMPLATE_QUAD;
    object->BuildShadowOverlays(&shadowTemplate, quad, coords, 2);
    ASSERT_EQ(OverlayCount(), 1u);
    const ShaderSetting& overlay = *object->shaderSettings->items[0];
    EXPECT_EQ(overlay.kind, SHADER_SETTING_OVERLAY);
    ASSERT_GT(OverlayVertexCount(overlay), 0u);
    for (u32_t v = 0; v < OverlayVertexCount(overlay); ++v)
        EXPECT_NEAR(OverlayPositions(overlay)[v].y, 1.0f, 1e-4f);

    // Other kinds add nothing.
    object->ReleaseShaderSettings();
    shadowTemplate.kind = 7;
    object->BuildShadowOverlays(&shadowTemplate, quad, coords, 2);
    EXPECT_EQ(OverlayCount(), 0u);
}

TEST(ProjectTriangleOntoFace, ATriangleWhollyBehindTheFaceAddsNothing)
{
    const D3DXVECTOR3 face[3] = {{-1, 0, -1}, {-1, 0, 1}, {1, 0, 1}};
    D3DXPLANE plane;
    D3DXPlaneFromPoints(&plane, &face[0], &face[1], &face[2]);
    const D3DXVECTOR3 normal(plane.a, plane.b, plane.c);
    const D3DXVECTOR3 light = normal;  // toward the sun, along the face's normal
    const D3DXVECTOR2 uv[3] = {{0, 0}, {0, 1}, {1, 1}};
    D3DXVECTOR3 out[OVERLAY_CLIP_VERTICES];
    D3DXVECTOR2 outUv[OVERLAY_CLIP_VERTICES];
    // Above the face on the sun's side: the sun reaches it first.
    const D3DXVECTOR3 above[3] = {{-0.5f, 2, -0.5f}, {-0.5f, 2, 0.5f}, {0.5f, 2, 0.5f}};
    const D3DXVECTOR3 behind[3] = {above[0] - normal * 4.0f, above[1] - normal * 4.0f, above[2] - normal * 4.0f};
    const D3DXVECTOR3 across[3] = {above[0], behind[1], behind[2]};
    if (normal.y > 0) {
        EXPECT_EQ(ProjectTriangleOntoFace(out, outUv, above, uv, face, plane, normal, light), 0);
        EXPECT_GT(ProjectTriangleOntoFace(out, outUv, behind, uv, face, plane, normal, light), 0);
    } else {
        EXPECT_EQ(ProjectTriangleOntoFace(out, outUv, behind, uv, face, plane, normal, light), 0);
        EXPECT_GT(ProjectTriangleOntoFace(out, outUv, above, uv, face, plane, normal, light), 0);
    }
    // Crossing the plane: only the part before the face is laid onto it.
    const int pieces = ProjectTriangleOntoFace(out, outUv, across, uv, face, plane, normal, light);
    EXPECT_GT(pieces, 0);
    for (int v = 0; v < pieces * 3; ++v)
        EXPECT_NEAR(D3DXPlaneDotCoord(&plane, &out[v]), 0.0f, 1e-4f);
    // A light grazing the face gives nothing.
    const D3DXVECTOR3 grazing(1, 0.05f, 0);
    EXPECT_EQ(ProjectTriangleOntoFace(out, outUv, behind, uv, face, plane, normal, grazing), 0);
}

class WireOverlays : public wire_test::WirePoles {
protected:
    void TearDown() override
    {
        for (std::unique_ptr<Structure>* held : {&structure, &aside}) {
            if (*held)
                DynObjectRemove(held->get());
            held->reset();
        }
        WirePoles::TearDown();
    }
    std::unique_ptr<Structure> structure;
    std::unique_ptr<Structure> aside;
};

TEST_F(WireOverlays, AStructureUnderAWireGetsTheWiresShadow)
{
    SavedVar sun(mvsundir);
    SetSun({0, 1, 0});
    map_test::FillGrid(OctreeCreateRoot({-50, -50, -50}, {50, 50, 50})->geometry, -20, 20, -20, 20, 0, 1, 1);
    aff_test::AffFile aff;
    aff.strings = {"box"};
    aff.frames = {{{trace_test::CubeMesh(0)}}};
    ASSERT_TRUE(aff_test::WriteAff("cube.aff", aff));
    structure = std::make_unique<Structure>();
    structure->fly = 1;
    AddChildNode(structure->GetRootNode(), "box", AnimCacheAcquire("cube.aff", false));
    structure->SetPosition({0, 2, 0});
    structure->Update();
    ASSERT_TRUE(DynObjectAdd(structure.get()));
    // A structure off the wire's way gets nothing.
    aside = std::make_unique<Structure>();
    aside->fly = 1;
    AddChildNode(aside->GetRootNode(), "box", AnimCacheAcquire("cube.aff", false));
    aside->SetPosition({30, 2, 30});
    aside->Update();
    ASSERT_TRUE(DynObjectAdd(aside.get()));

    ConObjGroup* group = ConObjCreateGroup("span", "CROSS", "", 0.01f, 0.0f, 0.5f, 1);
    ASSERT_EQ(ConObjGroupAppendObject(group, AddPole("a", {{"-0", {-5, 5, 0}}})), 1);
    ASSERT_EQ(ConObjGroupAppendObject(group, AddPole("b", {{"+0", {5, 5, 0}}})), 1);
    ConObjBuildShadows();
    ASSERT_NE(group->first->shadows, nullptr);
    ASSERT_NE(structure->shaderSettings, nullptr);
    ASSERT_EQ(structure->shaderSettings->count, 1u);
    const ShaderSetting& overlay = *structure->shaderSettings->items[0];
    EXPECT_EQ(overlay.kind, SHADER_SETTING_OVERLAY);
    EXPECT_EQ(overlay.texture, group->texture);
    ASSERT_GT(OverlayVertexCount(overlay), 0u);
    for (u32_t v = 0; v < OverlayVertexCount(overlay); ++v) {
        const Vector3& p = OverlayPositions(overlay)[v];
        EXPECT_NEAR(p.y, 3.0f, 1e-3f);  // the cube's top
        EXPECT_LE(std::fabs(p.x), 1.0f + 1e-4f);
    }
    EXPECT_EQ(aside->shaderSettings, nullptr);
}

}  // namespace
