// The vegetation draw: the cells the view triangle visits, the per-cell counts and sizes, and what a
// frame puts on the offscreen device for a small flat map with one blade layer.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "core/frame_view.h"
#include "core/random.h"
#include "core/files/vegetation_mask.h"
#include "core/winos.h"
#include "game/game_state.h"
#include "map/terrain/map_caches.h"
#include "map/terrain/map_grid.h"
#include "map/octree/octree.h"
#include "map/land_maps/vegetation_layers.h"
#include "render/camera.h"
#include "render/draw2d/colour_pack.h"
#include "render/draw2d/hud_input.h"
#include "render/land/map_render_setup.h"
#include "render/render_cvars.h"
#include "render/device/shader_hash.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "scene/vegetation/vegetation.h"
#include "support/keep_var.h"
#include "support/render_test_support.h"
#include "tests/scene/anim_mesh_fixture.h"
#include "tests/scene/scene_fixture.h"

using namespace render_test;
using namespace scene_test;

namespace {

DWORD ColourOf(const ConsoleVar& var)
{
    return ColourPackRounded(var.Colour());
}

using Cells = std::set<std::pair<int, int>>;  // (row, column)

void Collect(s32_t row, s32_t first, s32_t last, void* context)
{
    for (s32_t column = first; column <= last; ++column)
        static_cast<Cells*>(context)->insert({row, column});
}

Cells Visited(float x, float z, float yaw, float fov)
{
    const float position[3] = {x, 0.0f, z};
    Vec2 ring[3];
    VegetationViewTriangle(position, yaw, fov, ring);
    Cells cells;
    VegetationRasterise(ring, Collect, &cells);
    return cells;
}

Cells Rows(std::vector<std::pair<int, std::pair<int, int>>> rows)
{
    Cells cells;
    for (const auto& row : rows)
        for (int c = row.second.first; c <= row.second.second; ++c)
            cells.insert({row.first, c});
    return cells;
}

class VegetationCells : public ::testing::Test {
protected:
    KeepAllVars m_vars;
};

TEST_F(VegetationCells, TheViewTriangleVisitsEveryCellItTouches)
{
    rf_vegsquaresize.value.asFloat = 1.0f;
    ri_vegfar.value.asFloat = 2.0f;
    const float quarter = 1.5707964f;
    EXPECT_EQ(Visited(0, 0, 0, quarter), Rows({{0, {-1, 1}}, {1, {-2, 2}}, {2, {-2, 2}}}));
    EXPECT_EQ(Visited(0.25f, 0.5f, quarter, quarter),
              Rows({{-2, {1, 2}}, {-1, {0, 2}}, {0, {0, 2}}, {1, {0, 2}}, {2, {1, 2}}}));

    // Any camera: every cell that a point of the triangle lies in is visited, and nothing lies
    // farther than one cell outside the triangle's bounds.
    rf_vegsquaresize.value.asFloat = 78.125f;
    ri_vegfar.value.asFloat = 800.0f;
    struct Camera {
        float x, z, yaw, fov;
    };
    const Camera cameras[] = {{0, 0, 0.3f, 1.2f},
                              {-500, 1200, 2.0f, 0.9f},
                              {37, -12, -2.6f, 1.57f},
                              {3000, -40, 4.1f, 0.5f},
                              {10, 10, 3.14159f, 2.4f}};
    for (const Camera& c : cameras) {
        const Cells cells = Visited(c.x, c.z, c.yaw, c.fov);
        const float position[3] = {c.x, 0, c.z};
        Vec2 ring[3];
        VegetationViewTriangle(position, c.yaw, c.fov, ring);
        for (int a = 0; a <= 60; ++a) {
            for (int b = 0; a + b <= 60; ++b) {
                const float wa = a / 60.0f, wb = b / 60.0f, wc = 1 - wa - wb;
                const float px = ring[0].x * wa + ring[1].x * wb + ring[2].x * wc;
                const float pz = ring[0].z * wa + ring[1].z * wb + ring[2].z * wc;
                ASSERT_TRUE(cells.count({int(std::floor(pz)), int(std::floor(px))}))
                    << c.x << "," << c.z << " misses " << px << "," << pz;
            }
        }
        float minX = 1e9f, maxX = -1e9f;
        for (const Vec2& p : ring)
            minX = std::fmin(minX, p.x), maxX = std::fmax(maxX, p.x);
        for (const auto& cell : cells)
            EXPECT_TRUE(cell.second >= std::floor(minX) - 1 && cell.second <= std::floor(maxX) + 1);
    }
}

TEST_F(VegetationCells, BladeCellsComeNearestFirstAndAreTheCellsTheTriangleVisits)
{
    rf_vegsquaresize.value.asFloat = 78.125f;
    ri_vegfar.value.asFloat = 800.0f;
    // Looking along each axis both ways (row order is far first for -z) and obliquely.
    struct Camera {
        float x, z, yaw;
    };
    const Camera cameras[] = {
        {10, 20, 0.0f}, {10, 20, 3.14159f}, {120, -40, 1.5708f}, {-300, 75, -1.5708f}, {37, -12, -2.6f}};
    for (const Camera& c : cameras) {
        const float position[3] = {c.x, 0.0f, c.z};
        Vec2 ring[3];
        VegetationViewTriangle(position, c.yaw, 1.2f, ring);
        std::vector<VegetationCell> ordered;
        ASSERT_TRUE(VegetationCellsNearestFirst(ring, ordered));
        Cells seen;
        float last = -1.0f;
        for (const VegetationCell& cell : ordered) {
            seen.insert({cell.row, cell.column});
            const float dx = float(cell.column) + 0.5f - c.x / 78.125f, dz = float(cell.row) + 0.5f - c.z / 78.125f;
            EXPECT_NEAR(cell.distance, dx * dx + dz * dz, 1e-3f);
            EXPECT_GE(cell.distance, last) << "yaw " << c.yaw;
            last = cell.distance;
        }
        EXPECT_EQ(seen.size(), ordered.size());
        EXPECT_EQ(seen, Visited(c.x, c.z, c.yaw, 1.2f)) << "yaw " << c.yaw;
        // The camera's own cell first.
        EXPECT_EQ(ordered.front().row, int(std::floor(c.z / 78.125f)));
        EXPECT_EQ(ordered.front().column, int(std::floor(c.x / 78.125f)));
    }
    // Too many cells to order: none, and the draw goes row by row.
    rf_vegsquaresize.value.asFloat = 2.0f;
    ri_vegfar.value.asFloat = 2000.0f;
    const float position[3] = {0.0f, 0.0f, 0.0f};
    Vec2 ring[3];
    VegetationViewTriangle(position, 0.0f, 0.9f, ring);
    std::vector<VegetationCell> ordered = {{0.0f, 1, 1}};
    EXPECT_FALSE(VegetationCellsNearestFirst(ring, ordered));
    EXPECT_TRUE(ordered.empty());
}

TEST_F(VegetationCells, ConsoleValuesThatWouldWalkWithoutEndVisitNothing)
{
    for (float size : {1e-7f, 0.0f, NAN}) {
        rf_vegsquaresize.value.asFloat = size;
        EXPECT_TRUE(Visited(0, 0, 0.2f, 1.0f).empty()) << size;
    }
}

TEST_F(VegetationCells, SizesStayFiniteWhereThePlainRatioIsNoNumber)
{
    ri_vegmaxdensity.value.asInt = 700;
    EXPECT_FLOAT_EQ(VegetationSizeFactor(100, 10, 30), std::sqrt(90.0f / 690.0f));
    EXPECT_FLOAT_EQ(VegetationSizeFactor(100, 10, 4), std::sqrt(90.0f / 690.0f) * 0.2f);
    // Below the floor, a maximum at the floor, and below it.
    EXPECT_EQ(VegetationSizeFactor(5, 10, 30), 0.0f);
    ri_vegmaxdensity.value.asInt = 10;
    EXPECT_EQ(VegetationSizeFactor(12, 10, 30), 0.0f);
    ri_vegmaxdensity.value.asInt = 3;
    EXPECT_TRUE(std::isfinite(VegetationSizeFactor(12, 10, 30)));
    EXPECT_TRUE(std::isfinite(VegetationSizeFactor(-1, 10, 30)));
}

TEST_F(VegetationCells, CountsFallToATenthTowardsTheFarDistance)
{
    rf_vegsquaresize.value.asFloat = 100.0f;  // area 1
    ri_vegmaxdensity.value.asInt = 700;
    rfvegradius.value.asFloat = 300.0f;
    ri_vegfar.value.asFloat = 800.0f;
    EXPECT_EQ(VegetationCountAt(255.0f, 100.0f).count, 700);
    EXPECT_EQ(VegetationCountAt(255.0f, 100.0f).floor, 70);
    EXPECT_EQ(VegetationCountAt(255.0f, 550.0f).count, 385);
    EXPECT_EQ(VegetationCountAt(255.0f, 5000.0f).count, 70);
    EXPECT_EQ(VegetationCountAt(127.5f, 0.0f).count, 350);
    ri_vegfar.value.asFloat = 300.0f;  // no band: the tenth at once
    EXPECT_EQ(VegetationCountAt(255.0f, 301.0f).count, 70);
}

// A flat map of side 1000 with one blade layer of full density round the origin.
class VegetationDraw : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        MapSetBox({-500.0f, 0.0f, -500.0f}, {500.0f, 0.0f, 500.0f});
        OctreeCreateRoot({-500.0f, -500.0f, -500.0f}, {500.0f, 500.0f, 500.0f});  // the world size
        m_white = Solid(0xFFFFFFFFu);
        VegetationLayer& layer = MapGetVegetationLayers()[2];
        layer = VegetationLayer{};
        layer.density = MapGridCreate(4);
        for (u32_t i = 0; i < 16; ++i)
            layer.density->data[i] = 255;
        layer.value3 = 1000.0f;  // radius
        layer.kind = VEGETATION_BILLBOARD;
        layer.texture = m_white;
        layer.value4 = layer.value5 = 1.0f;
        layer.billboard[0] = 2.0f;
        layer.billboard[1] = 20.0f;
        g_mapRender.landCompositeLit = m_white;
        g_mapRender.landCompositePlain = m_white;
        g_frameView.frameTime = 0.0f;  // wind held
        g_hudInput.flags.nightVision = 0;
        VegetationInit();
        RenderSetupCamera(0.0f, 3.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
    }
    void TearDown() override
    {
        VegetationShutdown();
        VegetationLayersFree();
        delete g_program.vegetationMask;
        g_program.vegetationMask = nullptr;
        g_mapRender.landCompositeLit = nullptr;
        g_mapRender.landCompositePlain = nullptr;
        MapSetBox({0, 0, 0}, {0, 0, 0});
        OctreeDestroy();
        m_white->Release();
        RenderCore::TearDown();
    }
    IDirect3DTexture8* Solid(DWORD argb)
    {
        IDirect3DTexture8* texture = render_test::SolidTexture(Device(), argb);
        return texture;
    }
    // Draws one frame looking along +z from (x, 3, z); the blades drawn.
    u32_t Frame(float x, float z, Pixels* pixels = nullptr, std::vector<DrawState>* draws = nullptr)
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        DrawLog log(Device());
        const float position[3] = {x, 3.0f, z};
        VegetationRender(position, 0.0f, 1.2f);
        if (pixels)
            *pixels = ReadBackBuffer(Device());
        if (draws)
            *draws = log.Draws();
        u32_t quads = 0;
        for (const DrawState& draw : log.Draws())
            quads += draw.primitives / 2;
        return quads;
    }
    // A camera inside cell (0, 0) whose short view triangle stays in it.
    u32_t OneCell() { return Frame(39.0f, 10.0f); }
    KeepAllVars m_vars;
    IDirect3DTexture8* m_white = nullptr;
};

// Which 4 x 4 pixel blocks of the frame show anything: '#' or '.', one text row per block row.
std::vector<std::string> Coverage(const Pixels& pixels)
{
    std::vector<std::string> rows;
    for (UINT by = 0; by < pixels.height / 4; ++by) {
        std::string row;
        for (UINT bx = 0; bx < pixels.width / 4; ++bx) {
            bool lit = false;
            for (UINT y = by * 4; y < by * 4 + 4; ++y)
                for (UINT x = bx * 4; x < bx * 4 + 4; ++x)
                    lit = lit || (pixels.At(x, y) & 0xFFFFFF) != 0;
            row += lit ? '#' : '.';
        }
        rows.push_back(row);
    }
    return rows;
}

TEST_F(VegetationDraw, GrassStandsInFrontOfTheCameraTheSameInEveryFrame)
{
    // A sparse meadow of small blades.
    ri_vegmaxdensity.value.asInt = 60;
    VegetationLayer& layer = MapGetVegetationLayers()[2];
    layer.billboard[0] = 3.0f;
    layer.billboard[1] = 6.0f;
    Pixels first, second;
    ASSERT_GT(Frame(0.0f, 0.0f, &first), 0u);
    Frame(0.0f, 0.0f, &second);
    EXPECT_EQ(first.words, second.words);
    // Blades below the horizon, the sky above it empty.
    u32_t lit = 0;
    for (DWORD word : first.words)
        lit += (word & 0xFFFFFF) != 0;
    EXPECT_GT(lit, 40u);
    EXPECT_EQ(first.At(kWidth / 2, 1) & 0xFFFFFF, 0u);
    // The blades stand where the cell seeds put them (the golden coverage, a few blocks of slack for
    // the rasteriser's edge pixels).
    const std::vector<std::string> golden = {
        "................", "................", "................", "................",
        ".............###", "##....#.########", "################", "......#.####.###",
        ".............###", ".............###", ".............###", "................",
    };
    const std::vector<std::string> coverage = Coverage(first);
    ASSERT_EQ(coverage.size(), golden.size());
    int differing = 0;
    for (size_t row = 0; row < golden.size(); ++row)
        for (size_t column = 0; column < golden[row].size(); ++column)
            differing += coverage[row][column] != golden[row][column];
    EXPECT_LE(differing, 4);
}

TEST_F(VegetationDraw, TheGeneratorEndsAtTheValueDrawnFirst)
{
    EngineSRand(4242);
    const int first = EngineRand();
    EngineSRand(4242);
    Frame(0.0f, 0.0f);
    EXPECT_EQ(EngineRandState(), u32_t(first));
}

TEST_F(VegetationDraw, ACellLargerThanABatchLosesNoBlade)
{
    ri_vegfar.value.asFloat = 10.0f;
    ri_vegmaxdensity.value.asInt = 5000;
    const u32_t expected = u32_t(VegetationCountAt(255.0f, 0.0f).count);
    ASSERT_GT(expected, 2 * VEGETATION_BATCH_QUADS);
    std::vector<DrawState> draws;
    EXPECT_EQ(Frame(39.0f, 10.0f, nullptr, &draws), expected);
    EXPECT_EQ(draws.size(), 3u);
}

TEST_F(VegetationDraw, TheClipMaskEmptiesFillsOrThinsACell)
{
    ri_vegfar.value.asFloat = 10.0f;
    const u32_t full = OneCell();
    ASSERT_GT(full, 10u);
    auto* mask = new VegetationMask;
    g_program.vegetationMask = mask;
    mask->cellsPerSide = 256;
    mask->cells = new u16_t[256 * 256];
    for (int i = 0; i < 256 * 256; ++i)
        mask->cells[i] = VEG_CELL_FULL;
    mask->blockCount = 2;
    mask->blocks = new VegetationMaskBlock[2];
    for (u32_t b = 0; b < 2; ++b) {
        mask->blocks[b].side = 8;
        mask->blocks[b].shift = 3;
        mask->blocks[b].bits = new u8_t[8];
        for (int i = 0; i < 8; ++i)
            mask->blocks[b].bits[i] = b == 0 ? 0xFF : 0x0F;  // all set; the left half of each row
    }
    u16_t& cell = mask->cells[128 * 256 + 128];
    EXPECT_EQ(OneCell(), full);
    cell = VEG_CELL_CLEAR;
    EXPECT_EQ(OneCell(), 0u);
    // Mixed, every bit set: as many plants (counted from the count down to 1).
    cell = 0;
    const u32_t all = OneCell();
    EXPECT_EQ(all, full);
    cell = 1;
    const u32_t half = OneCell();
    EXPECT_GT(half, all / 4);
    EXPECT_LT(half, all * 3 / 4);
}

TEST_F(VegetationDraw, CellSidesThatCutNoCellsAndMeshLayersWithoutMeshesDrawNothing)
{
    for (float size : {0.0f, -5.0f, NAN, 1e-6f}) {
        rf_vegsquaresize.value.asFloat = size;
        EXPECT_EQ(Frame(0.0f, 0.0f), 0u) << size;
    }
    rf_vegsquaresize.value.asFloat = 78.125f;
    VegetationLayer& layer = MapGetVegetationLayers()[2];
    layer.kind = VEGETATION_ANIMATED;
    layer.meshCount = 0;
    std::vector<DrawState> draws;
    Frame(0.0f, 0.0f, nullptr, &draws);
    EXPECT_TRUE(draws.empty());
}

TEST_F(VegetationDraw, MeshLayersDrawEveryPlantFromTheGpuBuffersInTheSecondPass)
{
    auto bush = ReadAff(OneFrame({SizedMesh(3, 1), SizedMesh(3, 1)}));
    GpuAnimRequest(bush.get());
    GpuAnimUpload();
    ASSERT_NE(bush->frames[0].meshes[1].gpuVertexSlot, ANIM_GPU_SLOT_NONE);
    VegetationLayer& layer = MapGetVegetationLayers()[2];
    layer.kind = VEGETATION_ANIMATED;
    layer.meshes[0] = bush.get();
    layer.meshCount = 1;
    layer.animated = 1.0f;
    ri_vegfar.value.asFloat = 10.0f;
    ri_vegmaxdensity.value.asInt = 40;
    std::vector<DrawState> draws;
    Frame(39.0f, 10.0f, nullptr, &draws);
    const u32_t plants = u32_t(VegetationCountAt(255.0f, 0.0f).count);
    ASSERT_GT(plants, 0u);
    EXPECT_EQ(draws.size(), 2 * plants);
    layer.meshCount = 0;
    GpuAnimRelease();
}

TEST_F(VegetationDraw, BladesOfTwoLayersAreDrawnWithTheirOwnTextures)
{
    IDirect3DTexture8* other = Solid(0xFFFF0000u);
    VegetationLayer& second = MapGetVegetationLayers()[5];
    second = MapGetVegetationLayers()[2];
    second.density = MapGridCreate(4);
    for (u32_t i = 0; i < 16; ++i)
        second.density->data[i] = 255;
    second.texture = other;
    // Few enough blades for one batch: only the change of texture starts another.
    ri_vegmaxdensity.value.asInt = 10;
    std::vector<DrawState> draws;
    Frame(0.0f, 0.0f, nullptr, &draws);
    bool first = false, red = false;
    for (const DrawState& draw : draws) {
        first = first || draw.textures[0] == m_white;
        red = red || draw.textures[0] == other;
    }
    EXPECT_TRUE(first);
    EXPECT_TRUE(red);
    other->Release();
}

TEST_F(VegetationDraw, ImageNumbersPastTheAtlasStayInsideIt)
{
    // A layer line may list any byte; the atlas holds 16 images.
    VegetationLayer& layer = MapGetVegetationLayers()[2];
    layer.byteCount = 2;
    layer.bytes[0] = 200;
    layer.bytes[1] = 255;
    EXPECT_GT(Frame(0.0f, 0.0f), 0u);
}

TEST_F(VegetationDraw, ANewMapIsTakenAfreshAtTheFirstDraw)
{
    Frame(0.0f, 0.0f);
    EXPECT_TRUE(g_vegetation.prepared);
    ASSERT_NE(g_vegetation.cellTable, nullptr);
    EXPECT_EQ(g_vegetation.cellTable->bucketCount, 17u);
    VegetationInit();
    EXPECT_FALSE(g_vegetation.prepared);
    VegetationShutdown();
    EXPECT_EQ(g_vegetation.cellTable, nullptr);
    EXPECT_FALSE(g_vegetation.prepared);
}

TEST_F(VegetationDraw, SwitchedOffItStoresTheCameraAndTouchesNothing)
{
    rbvegetation.SetBool(false);
    const D3D8CallCounts before = Counts();
    EngineSRand(99);
    const float position[3] = {1.0f, 2.0f, 3.0f};
    VegetationRender(position, 0.7f, 1.1f);
    EXPECT_EQ(EngineRandState(), 99u);
    EXPECT_EQ(g_vegetation.camera[2], 3.0f);
    EXPECT_EQ(g_vegetation.yaw, 0.7f);
    EXPECT_EQ(g_vegetation.fov, 1.1f);
    const D3D8CallCounts after = Counts();
    EXPECT_EQ(after.setRenderState, before.setRenderState);
    EXPECT_EQ(after.setTextureStageState, before.setTextureStageState);
    EXPECT_EQ(after.setTexture, before.setTexture);
    EXPECT_EQ(after.drawIndexedPrimitive, before.drawIndexedPrimitive);
}

TEST_F(VegetationDraw, NightVisionSwitchesTheFactorStageZeroAndTheLayerTexture)
{
    IDirect3DTexture8* night = Solid(0xFF00FF00u);
    g_mapRender.landCompositePlain = night;
    for (bool on : {false, true}) {
        g_hudInput.flags.nightVision = on ? 1 : 0;
        std::vector<DrawState> draws;
        Frame(0.0f, 0.0f, nullptr, &draws);
        ASSERT_FALSE(draws.empty());
        const DrawState& draw = draws[0];
        EXPECT_EQ(draw.colorOp[0], DWORD(on ? D3DTOP_MODULATE : D3DTOP_ADD));
        EXPECT_EQ(draw.textureFactor, on ? ColourOf(rc_nvisioncol) : ColourOf(rcvegcol));
        EXPECT_EQ(draw.textures[1], on ? static_cast<IDirect3DBaseTexture8*>(night) : m_white);
    }
    g_hudInput.flags.nightVision = 0;
    g_mapRender.landCompositePlain = nullptr;
    night->Release();
}

}  // namespace
