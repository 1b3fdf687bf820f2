// The plant batch and the plant records: what one plant of each shape writes, how batches split and
// end, and the record replays' plant steps.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/device/dynamic_buffers.h"
#include "render/device/state_cache.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/draw_records/draw_records.h"
#include "scene/vegetation/plant_batch.h"
#include "support/render_test_support.h"
#include "tests/scene/scene_fixture.h"

using namespace render_test;
using namespace scene_test;

namespace {

struct PlantVertex {
    float x, y, z;
    DWORD colour;
    float u, v;
};

PlantRecordFields Plant(u16_t shape, u8_t k, u32_t image = 0)
{
    PlantRecordFields plant = {};
    plant.base[0] = 5.0f;
    plant.base[1] = 2.0f;
    plant.base[2] = -3.0f;
    plant.halfWidth = 0.5f;  // 5 units
    plant.height = 1.0f;     // 10 units
    plant.image = image;
    plant.colour = 0xFF80C040u;
    plant.shapeWord = shape | (u32_t(k) << 16);
    plant.normal[1] = 1.0f;
    plant.swayPhase = 1.0f;  // no sway: sin(0)
    return plant;
}

class Plants : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        DrawRecordListInit();
        // The direction table is the plant replay's: an empty replay fills it.
        DrawRecordsReplayPlants();
    }
    void TearDown() override
    {
        PlantBatchFlush();
        DrawRecordListFree();
        RenderCore::TearDown();
    }
    // The vertices and indices one plant writes into a fresh batch.
    void Write(const PlantRecordFields& plant, std::vector<PlantVertex>* vertices, std::vector<u16_t>* indices)
    {
        PlantBatchBegin();
        const auto* v = reinterpret_cast<const PlantVertex*>(g_dynBuffers.vertexOut);
        const u16_t* i = g_dynBuffers.indexOut;
        const u16_t base = g_dynBuffers.baseVertex;
        DrawRecord record = {};
        record.flags = DRAW_RECORD_PLANT;
        PlantRecordSet(&record, plant);
        PlantRecordDraw(&record);
        vertices->assign(v, v + PlantBatchVertexCount());
        indices->clear();
        for (u32_t n = 0; n < PlantBatchIndexCount(); ++n)
            indices->push_back(u16_t(i[n] - base));
        PlantBatchFlush();
    }
    void Queue(const PlantRecordFields& plant)
    {
        DrawRecord* record = DrawRecordAlloc(DRAW_RECORD_PLANT, 0);
        ASSERT_NE(record, nullptr);
        PlantRecordSet(record, plant);
    }
};

TEST_F(Plants, CrossedPlantsOfOppositeDirectionsAreTheSameQuadsMirrored)
{
    std::vector<PlantVertex> v0, v12;
    std::vector<u16_t> i0, i12;
    Write(Plant(PLANT_SHAPE_CROSSED, 0, 5), &v0, &i0);
    Write(Plant(PLANT_SHAPE_CROSSED, 12, 5), &v12, &i12);
    ASSERT_EQ(v0.size(), 10u);
    ASSERT_EQ(i0.size(), 24u);
    // Direction 0: wing 1-2 along x (half width 5), wing 3-4 along z; image 5 is column 1, row 1.
    const float expected[10][5] = {{5, 12, -3, 0.375f, 0.25f}, {0, 12, -3, 0.25f, 0.25f}, {10, 12, -3, 0.5f, 0.25f},
                                   {5, 12, -8, 0.25f, 0.25f},  {5, 12, 2, 0.5f, 0.25f},   {5, 2, -3, 0.375f, 0.5f},
                                   {0, 2, -3, 0.25f, 0.5f},    {10, 2, -3, 0.5f, 0.5f},   {5, 2, -8, 0.25f, 0.5f},
                                   {5, 2, 2, 0.5f, 0.5f}};
    for (int n = 0; n < 10; ++n) {
        EXPECT_NEAR(v0[n].x, expected[n][0], 1e-4f) << n;
        EXPECT_NEAR(v0[n].y, expected[n][1], 1e-4f) << n;
        EXPECT_NEAR(v0[n].z, expected[n][2], 1e-4f) << n;
        EXPECT_FLOAT_EQ(v0[n].u, expected[n][3]) << n;
        EXPECT_FLOAT_EQ(v0[n].v, expected[n][4]) << n;
        EXPECT_EQ(v0[n].colour, 0xFF80C040u);
    }
    const std::vector<u16_t> wings = {0, 2, 7, 0, 7, 5, 0, 3, 8, 0, 8, 5, 0, 1, 6, 0, 6, 5, 0, 4, 9, 0, 9, 5};
    EXPECT_EQ(i0, wings);
    EXPECT_EQ(i12, wings);
    // Turned by 180 degrees each wing's ends swap places while keeping their texture coordinates.
    const int swapped[10] = {0, 2, 1, 4, 3, 5, 7, 6, 9, 8};
    for (int n = 0; n < 10; ++n) {
        EXPECT_NEAR(v12[n].x, v0[swapped[n]].x, 1e-4f) << n;
        EXPECT_NEAR(v12[n].z, v0[swapped[n]].z, 1e-4f) << n;
        EXPECT_FLOAT_EQ(v12[n].u, v0[n].u) << n;
    }
}

TEST_F(Plants, FlatPlantLiesOneUnitAboveItsBaseAlongItsDirection)
{
    for (u8_t k : {u8_t(0), u8_t(12), u8_t(5)}) {
        std::vector<PlantVertex> v;
        std::vector<u16_t> i;
        Write(Plant(PLANT_SHAPE_FLAT, k), &v, &i);
        ASSERT_EQ(v.size(), 4u);
        EXPECT_EQ(i, (std::vector<u16_t>{0, 1, 2, 0, 2, 3}));
        for (const PlantVertex& p : v)
            EXPECT_NEAR(p.y, 3.0f, 1e-4f);
        const float angle = k * 15.0f * 3.14159265f / 180.0f;
        EXPECT_NEAR(v[2].x - v[0].x, 10.0f * std::cos(angle), 1e-3f) << int(k);
        EXPECT_NEAR(v[2].z - v[0].z, 10.0f * std::sin(angle), 1e-3f) << int(k);
        EXPECT_NEAR((v[0].x + v[2].x) / 2, 5.0f, 1e-4f);
        EXPECT_NEAR((v[1].z + v[3].z) / 2, -3.0f, 1e-4f);
    }
}

TEST_F(Plants, UnknownShapesAddNothingAndDirectionsPastTheTableWrap)
{
    std::vector<PlantVertex> v, wrapped, plain;
    std::vector<u16_t> i;
    Write(Plant(7, 0), &v, &i);
    EXPECT_TRUE(v.empty());
    Write(Plant(PLANT_SHAPE_CROSSED, 24 + 3), &wrapped, &i);
    Write(Plant(PLANT_SHAPE_CROSSED, 3), &plain, &i);
    ASSERT_EQ(wrapped.size(), plain.size());
    for (size_t n = 0; n < plain.size(); ++n)
        EXPECT_FLOAT_EQ(wrapped[n].x, plain[n].x);
}

TEST_F(Plants, TheTwentyFirstCrossedPlantStartsASecondBatch)
{
    for (int n = 0; n < 21; ++n)
        Queue(Plant(PLANT_SHAPE_CROSSED, u8_t(n % 24)));
    DrawLog log(Device());
    DrawRecordsReplayPlants();
    EXPECT_FALSE(rtm_plant_rendering);
    ASSERT_EQ(log.Draws().size(), 2u);
    // 20 plants: 200 vertices, 480 indices, 160 triangles; then the 21st alone.
    EXPECT_EQ(log.Draws()[0].primitives, 160u);
    EXPECT_EQ(log.Draws()[1].primitives, 8u);
    EXPECT_EQ(log.Draws()[0].cullMode, DWORD(D3DCULL_NONE));
    // A second flush draws nothing.
    PlantBatchFlush();
    EXPECT_EQ(log.Draws().size(), 2u);
}

TEST_F(Plants, FlushOutsidePlantDrawingLeavesTheCullingAlone)
{
    DrawLog log(Device());
    // A replay holding no plant record never opens plant drawing.
    DrawRecordsReplayPlants();
    EXPECT_FALSE(rtm_plant_rendering);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CCW);
    PlantBatchFlush();
    DWORD cull = 0;
    Device()->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, DWORD(D3DCULL_CCW));
    EXPECT_TRUE(log.Draws().empty());
}

TEST_F(Plants, TheFirstReplaysKindFiveStepDrawsAPendingBatch)
{
    DrawRecord record = {};
    PlantRecordSet(&record, Plant(PLANT_SHAPE_FLAT, 0));
    DrawLog log(Device());
    PlantRecordDraw(&record);
    EXPECT_TRUE(rtm_plant_rendering);
    ASSERT_NE(DrawRecordAlloc(DRAW_RECORD_PLANT_FLUSH, 0), nullptr);
    DrawRecordsReplay();
    EXPECT_FALSE(rtm_plant_rendering);
    ASSERT_EQ(log.Draws().size(), 1u);
    EXPECT_EQ(log.Draws()[0].primitives, 2u);
    DWORD cull = 0;
    Device()->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, DWORD(D3DCULL_CW));
}

}  // namespace
