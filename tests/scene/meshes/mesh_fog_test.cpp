// The object fog shared by the mesh renderers: the fog alpha over the band and at its edges, the
// decision for a placed mesh, and the per-vertex fog transform.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/frame_view.h"
#include "game/game_state.h"
#include "map/map_cvars.h"
#include "render/camera.h"
#include "render/render_cvars.h"
#include "scene/meshes/mesh_fog.h"
#include "tests/scene/scene_fixture.h"
#include "world/animation/anim_mesh.h"

using scene_test::SavedVars;

namespace {

TEST(MeshFog, AlphaOverTheBandAndAtItsEdges)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Row {
        float distance, start, range, power;
        int alpha;
    };
    const Row rows[] = {
        {900.0f, 1000.0f, 1500.0f, 2.0f, 0},      // before the start
        {1000.0f, 1000.0f, 1500.0f, 2.0f, 0},     // at the start
        {1250.0f, 1000.0f, 1500.0f, 2.0f, 63},    // 255 x 0.5^2 = 63.75
        {1250.0f, 1000.0f, 1500.0f, 1.0f, 127},   // 127.5
        {1500.0f, 1000.0f, 1500.0f, 2.0f, 255},   // at the range
        {4000.0f, 1000.0f, 1500.0f, 2.0f, 255},   // beyond: no more than 255
        {1001.0f, 1000.0f, 1000.0f, 2.0f, 255},   // range = start: full fog beyond the start
        {999.0f, 1000.0f, 1000.0f, 2.0f, 0},      // and none before it
        {1001.0f, 1000.0f, 500.0f, 2.0f, 255},    // range below the start
        {1250.0f, 1000.0f, 1500.0f, -1.0f, 255},  // a power below 0 makes the share grow
        {1250.0f, 1000.0f, 1500.0f, nan, 255},    // no number: full fog
        {1250.0f, 1000.0f, 1500.0f, 0.0f, 255},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FogAlphaAt(row.distance, row.start, row.range, row.power), row.alpha)
            << row.distance << " " << row.start << " " << row.range << " " << row.power;
}

TEST(MeshFog, DecisionForAPlacedMesh)
{
    SavedVars saved{&mffogstart, &mfrange, &mffogpow, &mcfogcolor, &rbfog, &rfobjrad};
    mffogstart.value.asFloat = 100.0f;
    mfrange.value.asFloat = 150.0f;
    mffogpow.value.asFloat = 1.0f;
    rfobjrad.value.asFloat = 150.0f;
    rbfog.value.asBool = true;
    const float colour[4] = {1.0f, 0.5f, 0.0f, 0.25f};
    for (int i = 0; i < 4; ++i)
        mcfogcolor.value.asColour[i] = colour[i];
    g_camera.position = {0.0f, 0.0f, 0.0f};
    g_frameView.viewModeToggle = 0;

    AnimVertexData block;
    block.boxMin = {-1.0f, -1.0f, -1.0f};
    block.boxMax = {1.0f, 1.0f, 1.0f};
    block.size = {2.0f, 2.0f, 2.0f};
    struct Row {
        float z;  // the mesh's place along z
        bool applies;
        u32_t alpha;
    };
    // Radius 1.4142: the distance is z + 1.4142; fog from 1000 on, full at 1500.
    const Row rows[] = {{900.0f, false, 0}, {1248.5858f, true, 127}, {3000.0f, true, 255}};
    for (const Row& row : rows) {
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, 0.0f, 0.0f, row.z);
        const MeshFog fog = MeshFogDecide(&block, world);
        EXPECT_EQ(fog.applies, row.applies) << row.z;
        EXPECT_EQ(fog.colour >> 24, row.alpha) << row.z;
        EXPECT_EQ(fog.colour & 0xFFFFFF, 0xFF8000u);
        EXPECT_EQ(fog.plainColour, 0x40FF8000u);
        EXPECT_FALSE(fog.perVertex);
    }
    D3DXMATRIX far;
    D3DXMatrixTranslation(&far, 0.0f, 0.0f, 3000.0f);
    rbfog.value.asBool = false;
    EXPECT_FALSE(MeshFogDecide(&block, far).applies);
    rbfog.value.asBool = true;
    g_frameView.viewModeToggle = 1;
    EXPECT_FALSE(MeshFogDecide(&block, far).applies);
    g_frameView.viewModeToggle = 0;
    rfobjrad.value.asFloat = 1.0f;
    EXPECT_TRUE(MeshFogDecide(&block, far).perVertex);
    mfrange.value.asFloat = 0.0f;
    const MeshFog noRange = MeshFogDecide(&block, far);
    EXPECT_FALSE(noRange.perVertex);
    EXPECT_TRUE(noRange.applies);
    EXPECT_EQ(noRange.colour >> 24, 255u);
}

TEST(MeshFog, VertexTransformMapsWorldOffsetsAroundTheMiddle)
{
    // A camera at (50, 0, 0) looking along +z: view = translation by -50 on x.
    D3DXMATRIX view;
    D3DXMatrixTranslation(&view, -50.0f, 0.0f, 0.0f);
    D3DXMATRIX transform;
    ASSERT_TRUE(FogVertexTransform(view, 100.0f, &transform));
    const D3DXVECTOR3 cameraSpace(200.0f, 5.0f, -100.0f);
    D3DXVECTOR3 uv;
    D3DXVec3TransformCoord(&uv, &cameraSpace, &transform);
    EXPECT_NEAR(uv.x, 0.6f, 1e-5f);
    EXPECT_NEAR(uv.y, 0.45f, 1e-5f);
    for (float range : {0.0f, -5.0f}) {
        EXPECT_FALSE(FogVertexTransform(view, range, &transform));
        for (int i = 0; i < 16; ++i)
            EXPECT_TRUE(std::isfinite((&transform._11)[i]));
        EXPECT_EQ(transform._11, 1.0f);
    }
}

}  // namespace
