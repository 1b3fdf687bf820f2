// Chunk drawing over the static map buffers: which chunks, layers and material pieces each drawer
// picks (pixels on the back buffer and draw calls reaching the device), the visibility filter, the
// material pass's states and projection, and the wireframe colours.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "map/terrain/static_map_buffers.h"
#include "tests/render/map_draw_support.h"
#include "tests/render/texture_test_support.h"
#include "world/objects/dynamic_object.h"

using namespace map_test;

namespace {

// One quad per ground cell of a 4 x 2 grid (cell c covers x 16 (c % 4) + [2, 14], z 24 (c / 4) + [2, 22]).
struct Cell {
    float x0, z0, x1, z1;
    float CentreX() const { return (x0 + x1) / 2; }
    float CentreZ() const { return (z0 + z1) / 2; }
};

Cell CellOf(int c)
{
    const float x0 = 16.0f * float(c % 4) + 2, z0 = 24.0f * float(c / 4) + 2;
    return {x0, z0, x0 + 12, z0 + 20};
}

class MapChunks : public MapDraw {
protected:
    void SetUp() override
    {
        MapDraw::SetUp();
        m_root = OctreeCreateRoot({0, -32, 0}, {64, 32, 64});
        Split(m_root);
    }
    void TearDown() override
    {
        MapChunksSetVisibilityFilter(false, 0);
        MapDraw::TearDown();
    }

    // Child c as a visible chunk holding a quad over cell c.
    OctreeNode* QuadLeaf(int c, u32_t flags = 0, u32_t visibilityBits = 0)
    {
        OctreeNode* leaf = m_root->children[c];
        const Cell cell = CellOf(c);
        FillGrid(leaf->geometry, cell.x0, cell.x1, cell.z0, cell.z1, 0, 1, 1);
        leaf->flags = flags;
        leaf->planeMask = visibilityBits;
        ViewNodeAppend(leaf);
        return leaf;
    }

    // The cells (0 to 7) that show white.
    std::set<int> LitCells(const render_test::Pixels& pixels, int cells = 8)
    {
        std::set<int> lit;
        for (int c = 0; c < cells; ++c) {
            if (!render_test::ColourNear(At(pixels, CellOf(c).CentreX(), CellOf(c).CentreZ()), kBackground))
                lit.insert(c);
        }
        return lit;
    }

    OctreeNode* m_root = nullptr;
};

TEST_F(MapChunks, DrawPicksChunksByPassFogFlagAndVisibility)
{
    QuadLeaf(0, 0, 1u << 2);                                                // near
    QuadLeaf(1, OCTREE_NODE_FAR_DETAIL, 0);                                 // far
    QuadLeaf(2, OCTREE_NODE_BEYOND_FOG, (1u << 2) | 1u);                    // near, beyond the fog
    QuadLeaf(3, OCTREE_NODE_FAR_DETAIL | OCTREE_NODE_BEYOND_FOG, 1u << 5);  // far, beyond the fog
    ViewNodeAppend(m_root->children[4]);                                    // no faces
    ASSERT_TRUE(RenderBuildStaticBuffers());

    struct Case {
        bool flaggedOnly;
        u32_t passMask;
        int filterBit;  // -1: filter off
        std::set<int> drawn;
    };
    const Case cases[] = {
        {false, MAP_CHUNK_PASS_NEAR, -1, {0, 2}},
        {false, MAP_CHUNK_PASS_FAR, -1, {1, 3}},
        {false, MAP_CHUNK_PASS_NEAR | MAP_CHUNK_PASS_FAR, -1, {0, 1, 2, 3}},
        {true, MAP_CHUNK_PASS_NEAR | MAP_CHUNK_PASS_FAR, -1, {2, 3}},
        {true, MAP_CHUNK_PASS_NEAR, -1, {2}},
        {false, MAP_CHUNK_PASS_NEAR | MAP_CHUNK_PASS_FAR, 2, {0, 2}},
        {false, MAP_CHUNK_PASS_NEAR | MAP_CHUNK_PASS_FAR, 5, {3}},
    };
    for (const Case& c : cases) {
        MapChunksSetVisibilityFilter(c.filterBit >= 0, c.filterBit >= 0 ? u32_t(c.filterBit) : 0);
        BeginFlatFrame();
        MapChunksDraw(c.flaggedOnly, c.passMask);
        const D3D8CallCounts counts = Counts();
        const RenderFrameStats stats = g_render.frameStats;
        const render_test::Pixels pixels = EndFrame();
        const std::string label =
            std::to_string(c.flaggedOnly) + " " + std::to_string(c.passMask) + " " + std::to_string(c.filterBit);
        EXPECT_EQ(LitCells(pixels), c.drawn) << label;
        EXPECT_EQ(counts.drawIndexedPrimitive, c.drawn.size()) << label;
        EXPECT_EQ(stats.faces, 2 * c.drawn.size()) << label;
        EXPECT_EQ(stats.vertices, 4 * c.drawn.size()) << label;
        EXPECT_EQ(stats.indices, 6 * c.drawn.size()) << label;
    }
}

TEST_F(MapChunks, DrawLayerDrawsOnlyThatLayersFaces)
{
    // Cell 0 holds two quads side by side: faces 0 and 1 on the left, 2 and 3 on the right.
    OctreeNode* leaf = m_root->children[0];
    const Cell cell = CellOf(0);
    FillGrid(leaf->geometry, cell.x0, cell.x1, cell.z0, cell.z1, 0, 2, 1);
    AppendLayer(leaf, 3, {2, 3});
    AppendLayer(leaf, 5, {0, 1});
    ViewNodeAppend(leaf);
    ASSERT_TRUE(RenderBuildStaticBuffers());
    const float left = cell.x0 + 3, right = cell.x1 - 3, middle = cell.CentreZ();

    struct Case {
        int layer;
        u32_t passMask;
        bool leftShown, rightShown;
        u32_t draws;
    };
    const Case cases[] = {
        {3, MAP_CHUNK_PASS_NEAR, false, true, 1},   {5, MAP_CHUNK_PASS_NEAR, true, false, 1},
        {0, MAP_CHUNK_PASS_NEAR, false, false, 0},  // no faces in layer 0
        {5, MAP_CHUNK_PASS_FAR, false, false, 0},   // a near chunk
        {32, MAP_CHUNK_PASS_NEAR, false, false, 0}, {-1, MAP_CHUNK_PASS_NEAR, false, false, 0},
    };
    for (const Case& c : cases) {
        BeginFlatFrame();
        MapChunksDrawLayer(c.layer, c.passMask);
        const u32_t draws = Counts().drawIndexedPrimitive;
        const render_test::Pixels pixels = EndFrame();
        EXPECT_EQ(draws, c.draws) << c.layer;
        EXPECT_EQ(!render_test::ColourNear(At(pixels, left, middle), kBackground), c.leftShown) << c.layer;
        EXPECT_EQ(!render_test::ColourNear(At(pixels, right, middle), kBackground), c.rightShown) << c.layer;
    }
}

class MapChunkMaterials : public MapChunks {
protected:
    void TearDown() override
    {
        for (IDirect3DTexture8* texture : m_textures)
            texture->Release();
        MapChunks::TearDown();
    }

    // A piece over cell c of the chunk, in a texture of one colour.
    OctreeGeometry* Piece(OctreeNode* chunk, int c, D3DCOLOR colour, u32_t stamp)
    {
        OctreeGeometry* piece = AddPiece(chunk);
        const Cell cell = CellOf(c);
        FillGrid(*piece, cell.x0, cell.x1, cell.z0, cell.z1, 0, 1, 1);
        m_textures.push_back(texture_test::SolidTexture(Device(), 4, 4, 1, colour));
        piece->material = {m_textures.back(), D3DTEXF_POINT, D3DTEXF_NONE, 1.0f, stamp};
        return piece;
    }

    void BeginTexturedFrame()
    {
        BeginFlatFrame();
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, 0xFFFFFFFFu);
    }

    std::vector<IDirect3DTexture8*> m_textures;
};

TEST_F(MapChunkMaterials, OnlyPiecesSeenFromThisViewTileOrAlwaysVisibleAreDrawn)
{
    g_visible.cellWord = 0x00030002u;
    OctreeNode* near = m_root->children[0];
    OctreeNode* far = m_root->children[1];
    far->flags = OCTREE_NODE_FAR_DETAIL;
    Piece(near, 0, 0xFFFF0000u, OCTREE_ALWAYS_VISIBLE);
    Piece(near, 1, 0xFF0000FFu, 0x00030001u);  // stamped by another tile
    Piece(near, 2, 0xFF00FF00u, 0x00030002u);
    OctreeGeometry* lastDrawn = Piece(far, 4, 0xFFFFFF00u, OCTREE_ALWAYS_VISIBLE);
    lastDrawn->material.filter = D3DTEXF_LINEAR;
    lastDrawn->material.mipFilter = D3DTEXF_POINT;
    lastDrawn->material.maxAnisotropy = 4.7f;
    ViewNodeAppend(near);
    ViewNodeAppend(far);
    ASSERT_TRUE(RenderBuildStaticBuffers());

    BeginTexturedFrame();
    MapChunksDrawMaterials();
    EXPECT_EQ(Counts().drawIndexedPrimitive, 3u);
    DWORD value = 0;
    Device()->GetTextureStageState(0, D3DTSS_MAGFILTER, &value);
    EXPECT_EQ(value, DWORD(D3DTEXF_LINEAR));
    Device()->GetTextureStageState(0, D3DTSS_MIPFILTER, &value);
    EXPECT_EQ(value, DWORD(D3DTEXF_POINT));
    Device()->GetTextureStageState(0, D3DTSS_MAXANISOTROPY, &value);
    EXPECT_EQ(value, 4u);
    Device()->GetRenderState(D3DRS_ZWRITEENABLE, &value);
    EXPECT_EQ(value, 1u);
    Device()->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, 1u);
    D3DMATRIX projection;
    Device()->GetTransform(D3DTS_PROJECTION, &projection);
    EXPECT_EQ(std::memcmp(&projection, &g_camera.projection, sizeof projection), 0);
    render_test::Pixels pixels = EndFrame();
    EXPECT_TRUE(render_test::ColourNear(At(pixels, CellOf(0).CentreX(), CellOf(0).CentreZ()), 0xFFFF0000u));
    EXPECT_TRUE(render_test::ColourNear(At(pixels, CellOf(1).CentreX(), CellOf(1).CentreZ()), kBackground));
    EXPECT_TRUE(render_test::ColourNear(At(pixels, CellOf(2).CentreX(), CellOf(2).CentreZ()), 0xFF00FF00u));
    EXPECT_TRUE(render_test::ColourNear(At(pixels, CellOf(4).CentreX(), CellOf(4).CentreZ()), 0xFFFFFF00u));

    BeginTexturedFrame();
    MapChunksDrawMaterialsPass(MAP_CHUNK_PASS_FAR);
    EXPECT_EQ(Counts().drawIndexedPrimitive, 1u);
    pixels = EndFrame();
    EXPECT_TRUE(render_test::ColourNear(At(pixels, CellOf(0).CentreX(), CellOf(0).CentreZ()), kBackground));
    EXPECT_TRUE(render_test::ColourNear(At(pixels, CellOf(4).CentreX(), CellOf(4).CentreZ()), 0xFFFFFF00u));
}

TEST_F(MapChunkMaterials, WireframeGivesEachChunkItsOwnStableColourAndFlaggedOnesGreen)
{
    QuadLeaf(0);
    QuadLeaf(1);
    OctreeNode* flagged = QuadLeaf(2, OCTREE_NODE_BEYOND_FOG);
    Piece(flagged, 5, 0xFFFFFFFFu, 0x12345678u);  // drawn whatever its stamp
    ASSERT_TRUE(RenderBuildStaticBuffers());

    std::vector<DWORD> frames[2];
    for (std::vector<DWORD>& colours : frames) {
        BeginFlatFrame();
        MapChunksDrawWireframe();
        EXPECT_EQ(Counts().drawIndexedPrimitive, 4u);
        const render_test::Pixels pixels = EndFrame();
        for (int c : {0, 1, 2, 5})
            colours.push_back(At(pixels, CellOf(c).CentreX(), CellOf(c).CentreZ()));
    }
    EXPECT_EQ(frames[0], frames[1]);
    const std::vector<DWORD>& colours = frames[0];
    EXPECT_NE(colours[0], colours[1]);
    for (int i : {0, 1}) {
        EXPECT_FALSE(render_test::ColourNear(colours[size_t(i)], kBackground));
        EXPECT_NE(colours[size_t(i)], 0xFF00FF00u);
    }
    EXPECT_EQ(colours[2], 0xFF00FF00u);
    EXPECT_EQ(colours[3], 0xFF00FF00u);  // the piece of a flagged chunk
}

TEST_F(MapChunks, VisibleObjectListStopsAtItsCapacity)
{
    DynamicObject object;
    RenderResetVisibleObjects();
    for (u32_t i = 0; i < MAX_REPORTED_VISIBLE_OBJECTS; ++i)
        ASSERT_TRUE(RenderAddVisibleObject(&object));
    EXPECT_FALSE(RenderAddVisibleObject(&object));
    EXPECT_FALSE(RenderAddVisibleObject(nullptr));
    EXPECT_EQ(g_visible.reportedObjectCount, MAX_REPORTED_VISIBLE_OBJECTS);
    RenderResetVisibleObjects();
    EXPECT_EQ(g_visible.reportedObjectCount, 0u);
}

}  // namespace
