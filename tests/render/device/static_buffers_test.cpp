// The static map buffers built from synthetic octrees: offsets written into leaves and pieces in
// cache order, buffer sizes, a rebuild after a device reset, and maps past 65535 vertices drawing
// every leaf.
#include <gtest/gtest.h>

#include <vector>

#include "render/device/render_device.h"
#include "map/terrain/static_map_buffers.h"
#include "scene/meshes/object_draw.h"
#include "scene/scene_state.h"
#include "scene/vegetation/vegetation.h"
#include "world/nodes/graph_node.h"
#include "tests/render/map_draw_support.h"
#include "scene/passes/prepare_buffers.h"

using namespace map_test;

namespace {

using StaticBuffers = MapDraw;

UINT SizeOf(IDirect3DVertexBuffer8* buffer)
{
    D3DVERTEXBUFFER_DESC desc = {};
    return buffer && SUCCEEDED(buffer->GetDesc(&desc)) ? desc.Size : 0;
}

UINT SizeOf(IDirect3DIndexBuffer8* buffer)
{
    D3DINDEXBUFFER_DESC desc = {};
    return buffer && SUCCEEDED(buffer->GetDesc(&desc)) ? desc.Size : 0;
}

struct LeafOffsets {
    u32_t firstIndex;
    std::vector<u32_t> layerFirstIndex;
    u32_t baseVertex;
    bool operator==(const LeafOffsets&) const = default;
};

std::vector<LeafOffsets> OffsetsOfLeaves()
{
    std::vector<LeafOffsets> offsets;
    for (const OctreeNode* leaf : Leaves())
        offsets.push_back({leaf->firstIndex,
                           std::vector<u32_t>(leaf->layerFirstIndex, leaf->layerFirstIndex + OCTREE_LAYER_COUNT),
                           leaf->baseVertex});
    return offsets;
}

// Children are handled from 7 down to 0. Child 7: 2 quads; child 6: nothing; child 5: a quad with
// layer 0 (both faces) and layer 3 (one face); child 4: a quad with a piece of one triangle and a
// piece of vertices without faces.
OctreeGeometry* BuildMixedTree(OctreeGeometry** faceless)
{
    OctreeNode* root = OctreeCreateRoot({0, -32, 0}, {64, 32, 64});
    Split(root);
    FillGrid(root->children[7]->geometry, 0, 2, 0, 1, 0, 2, 1);
    FillGrid(root->children[5]->geometry, 0, 1, 0, 1, 0, 1, 1);
    AppendLayer(root->children[5], 0, {0, 1});
    AppendLayer(root->children[5], 3, {1});
    FillGrid(root->children[4]->geometry, 0, 1, 0, 1, 0, 1, 1);
    OctreeGeometry* piece = AddPiece(root->children[4]);
    FillGrid(*piece, 0, 1, 0, 1, 0, 1, 1);
    piece->faceCount = 1;
    piece->vertexCount = 3;
    *faceless = AddPiece(root->children[4]);
    FillGrid(**faceless, 0, 1, 0, 1, 0, 1, 1);
    (*faceless)->faceCount = 0;
    (*faceless)->firstIndex = (*faceless)->baseVertex = 0xDEAD;
    return piece;
}

TEST_F(StaticBuffers, OffsetsFollowTheLeavesInCacheOrder)
{
    OctreeGeometry* faceless = nullptr;
    OctreeGeometry* piece = BuildMixedTree(&faceless);
    ASSERT_TRUE(RenderBuildStaticBuffers());

    auto layers = [](u32_t first, std::initializer_list<std::pair<int, u32_t>> changes) {
        std::vector<u32_t> starts(OCTREE_LAYER_COUNT, first);
        for (auto [layer, start] : changes)
            for (int j = layer; j < OCTREE_LAYER_COUNT; ++j)
                starts[size_t(j)] = start;
        return starts;
    };
    const std::vector<LeafOffsets> expected = {
        {0, layers(12, {}), 0},                   // child 7: 4 faces
        {12, layers(12, {}), 6},                  // child 6: empty
        {12, layers(18, {{1, 24}, {4, 27}}), 6},  // child 5: 2 own faces, layer 0 x 2, layer 3 x 1
        {27, layers(33, {}), 10},                 // child 4
        {33, layers(33, {}), 14},
        {33, layers(33, {}), 14},
        {33, layers(33, {}), 14},
        {33, layers(33, {}), 14},
    };
    EXPECT_EQ(OffsetsOfLeaves(), expected);
    EXPECT_EQ(piece->firstIndex, 0u);
    EXPECT_EQ(piece->baseVertex, 0u);
    EXPECT_EQ(faceless->firstIndex, 0xDEADu);  // a piece without faces has no place in the buffers

    const StaticMapBuffers& map = g_render.staticMap;
    EXPECT_EQ(SizeOf(map.leafVertices), 14u * sizeof(VertexPT));
    EXPECT_EQ(SizeOf(map.leafIndices), 33u * 2);
    EXPECT_EQ(SizeOf(map.attachedVertices), 3u * sizeof(VertexPT));
    EXPECT_EQ(SizeOf(map.attachedIndices), 3u * 2);

    for (OctreeNode* leaf : Leaves())
        leaf->firstIndex = leaf->baseVertex = 0xBAD;
    ASSERT_TRUE(RenderBuildStaticBuffers());
    EXPECT_EQ(OffsetsOfLeaves(), expected);
}

TEST_F(StaticBuffers, ATreeTooDeepForTheWalkStackEndsTheProgram)
{
    OctreeNode* root = OctreeCreateRoot({0, 0, 0}, {64, 64, 64});
    OctreeNode* deepest = SplitChain(root, kLongestWalkableChain);
    FillGrid(deepest->geometry, 0, 1, 0, 1, 0, 1, 1);
    ASSERT_TRUE(RenderBuildStaticBuffers());
    EXPECT_EQ(deepest->baseVertex, 0u);  // handled first
    EXPECT_EXIT(
        {
            SplitChain(deepest, 1);
            RenderBuildStaticBuffers();
        },
        ::testing::ExitedWithCode(3), render_test::AssertionText("stack_c < 256"));
    // The checks of the two walks against each other report these texts.
    EXPECT_STREQ(STATIC_BUFFERS_VERTEX_CHECK, "(u32_t)((vb_out - vb_start) / 5) == vertices");
    EXPECT_STREQ(STATIC_BUFFERS_INDEX_CHECK, "(u32_t)(ib_out - ib_start) == indices");
}

TEST_F(StaticBuffers, WithoutPiecesOnlyTheLeafPairIsMade)
{
    OctreeNode* root = OctreeCreateRoot({0, 0, 0}, {8, 8, 8});
    FillGrid(root->geometry, 0, 8, 0, 8, 0, 2, 2);
    ASSERT_TRUE(RenderBuildStaticBuffers());
    EXPECT_NE(g_render.staticMap.leafVertices, nullptr);
    EXPECT_NE(g_render.staticMap.leafIndices, nullptr);
    EXPECT_EQ(g_render.staticMap.attachedVertices, nullptr);
    EXPECT_EQ(g_render.staticMap.attachedIndices, nullptr);
}

// Both roads to a new device let go of the buffers first; both must end with them built again from
// the octree, or the map would not be drawn until the next mission.
TEST_F(StaticBuffers, ADeviceResetOrADisplayModeChangeBuildsThemAgain)
{
    OctreeNode* root = OctreeCreateRoot({0, 0, 0}, {8, 8, 8});
    FillGrid(root->geometry, 0, 8, 0, 8, 0, 2, 2);
    const struct {
        const char* road;
        void (*run)();
    } roads[] = {
        {"reset",
         [] {
             D3D8TestSetCooperativeLevel(g_render.device, D3DERR_DEVICENOTRESET);
             EXPECT_EQ(RenderBeginFrame(), -1);
             EXPECT_EQ(D3D8TestCallCounts(g_render.device).reset, 1u);
         }},
        {"display mode",
         [] { ASSERT_EQ(RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0); }},
    };
    for (const auto& road : roads) {
        SCOPED_TRACE(road.road);
        ASSERT_TRUE(RenderBuildStaticBuffers());
        road.run();
        EXPECT_EQ(SizeOf(g_render.staticMap.leafVertices), 9u * sizeof(VertexPT));
        EXPECT_EQ(SizeOf(g_render.staticMap.leafIndices), 8u * 3 * 2);
    }
}

// Eight leaves of 9000 vertices each, of which only the last four make a quad: the leaves handled
// last start far past vertex 65535. Each quad covers its own cell of a 4 x 2 grid on the ground.
TEST_F(StaticBuffers, MapsPastSixteenBitVertexNumbersDrawEveryLeaf)
{
    constexpr u32_t kVertices = 9000;
    OctreeNode* root = OctreeCreateRoot({0, -32, 0}, {64, 32, 64});
    Split(root);
    for (int c = 0; c < 8; ++c) {
        OctreeGeometry& geometry = root->children[c]->geometry;
        geometry.vertexCount = geometry.vertexCapacity = kVertices;
        geometry.vertices = new MapVertex[kVertices];
        for (u32_t v = 0; v < kVertices; ++v)  // unused vertices far off to the side
            geometry.vertices[v] = MapVertex{{-1000.0f, 0, -1000.0f}, 0, 0, {0, 1, 0}};
        const float x0 = 16.0f * float(c % 4) + 2, z0 = 24.0f * float(c / 4) + 2, x1 = x0 + 12, z1 = z0 + 20;
        const u16_t a = kVertices - 4;
        geometry.vertices[a] = MapVertex{{x0, 0, z0}, 0, 0, {0, 1, 0}};
        geometry.vertices[a + 1] = MapVertex{{x1, 0, z0}, 0, 0, {0, 1, 0}};
        geometry.vertices[a + 2] = MapVertex{{x0, 0, z1}, 0, 0, {0, 1, 0}};
        geometry.vertices[a + 3] = MapVertex{{x1, 0, z1}, 0, 0, {0, 1, 0}};
        geometry.faceCount = geometry.faceCapacity = 2;
        geometry.faces = new MapFace[2]{{{a, u16_t(a + 2), u16_t(a + 3)}}, {{a, u16_t(a + 3), u16_t(a + 1)}}};
        ViewNodeAppend(root->children[c]);
    }
    ASSERT_TRUE(RenderBuildStaticBuffers());
    EXPECT_GT(root->children[0]->baseVertex, 65535u - kVertices);

    BeginFlatFrame();
    MapChunksDraw(false, MAP_CHUNK_PASS_NEAR | MAP_CHUNK_PASS_FAR);
    const render_test::Pixels pixels = EndFrame();
    EXPECT_EQ(Counts().drawIndexedPrimitive, 8u);
    for (int c = 0; c < 8; ++c) {
        const float x = 16.0f * float(c % 4) + 8, z = 24.0f * float(c / 4) + 12;
        EXPECT_TRUE(render_test::ColourNear(At(pixels, x, z), kWhite)) << "leaf " << c;
    }
    EXPECT_TRUE(render_test::ColourNear(At(pixels, 1, 1), kBackground));
}

TEST_F(StaticBuffers, MissionPreparationBuildsTheBuffersAndVegetationAndResetsTheRenderSwitches)
{
    OctreeNode* root = OctreeCreateRoot({0, 0, 0}, {8, 8, 8});
    FillGrid(root->geometry, 0, 8, 0, 8, 0, 1, 1);
    GraphNode carrier("carrier");
    RenderSetCameraObject(&carrier);
    RenderSetAnimatedFlag(true);
    RenderSetObjectFog(false);
    RenderSetBatching(false);
    for (auto& table : g_scene.vegetationJitter)
        for (auto& pair : table)
            pair[0] = pair[1] = -1.0f;

    RenderPrepareBuffers();
    EXPECT_NE(g_render.staticMap.leafVertices, nullptr);
    EXPECT_EQ(g_camera.cameraObject, nullptr);
    EXPECT_EQ(g_scene.animatedFlag, 0);
    EXPECT_EQ(g_scene.objectFog, 1);
    EXPECT_EQ(g_scene.batching, 1);
    for (auto& table : g_scene.vegetationJitter) {
        for (auto& pair : table) {
            EXPECT_GE(pair[0], 0.0f);
            EXPECT_LE(pair[1], 80.0f);
        }
    }
}

}  // namespace
