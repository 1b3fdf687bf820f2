// The two replays of the draw-record list: which renderer each kind reaches, the kind-5 step after
// kind 4 and at the end of the plant replay, the plant direction table, and the states each replay
// leaves on the device.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "render/device/dynamic_buffers.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/draw_records/draw_records.h"
#include "support/render_test_support.h"

namespace {

std::vector<std::string> g_calls;

template <int Kind>
void Renderer(DrawRecord* record)
{
    g_calls.push_back("kind " + std::to_string(Kind) + " key " + std::to_string(static_cast<int>(record->sortKey)));
}

void Flush()
{
    g_calls.push_back("flush");
}

class DrawRecordReplayTest : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        g_calls.clear();
        DrawRecordRendererSet(0, Renderer<0>);
        DrawRecordRendererSet(1, Renderer<1>);
        DrawRecordRendererSet(2, Renderer<2>);
        DrawRecordRendererSet(4, Renderer<4>);
        DrawRecordRendererSet(6, Renderer<6>);
        // The render start-up registered the quad renderers; these tests leave kinds 3 and 7 without one.
        DrawRecordRendererSet(3, nullptr);
        DrawRecordRendererSet(7, nullptr);
        DrawRecordPlantFlushSet(Flush);
    }
    void TearDown() override
    {
        g_drawRecordReplay = {};
        rbwireframe.value.asBool = 0;
        RenderCore::TearDown();
    }

    static void Queue(u32_t kind, float key)
    {
        DrawRecord* record = DrawRecordAlloc(kind, 0);
        ASSERT_NE(record, nullptr);
        record->sortKey = key;
    }
    DWORD State(D3DRENDERSTATETYPE state) const
    {
        DWORD value = 0xDEADBEEF;
        Device()->GetRenderState(state, &value);
        return value;
    }
    DWORD StageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const
    {
        DWORD value = 0xDEADBEEF;
        Device()->GetTextureStageState(stage, type, &value);
        return value;
    }
};

TEST_F(DrawRecordReplayTest, TheFirstReplayRunsRegisteredKindsInOrderAndSkipsTheRest)
{
    // Kind 3 and 7 have no renderer here; kind 1 belongs to the plant replay; 8 and 63 to none.
    const u32_t kinds[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 63, 4};
    for (u32_t i = 0; i < sizeof kinds / sizeof kinds[0]; ++i)
        Queue(kinds[i], static_cast<float>(i));
    DrawRecordsReplay();
    const std::vector<std::string> expected = {"kind 0 key 0", "kind 2 key 2", "kind 4 key 4",  "flush",
                                               "flush",        "kind 6 key 6", "kind 4 key 10", "flush"};
    EXPECT_EQ(g_calls, expected);
    EXPECT_EQ(DrawRecordCount(), 11u);  // the caller clears
}

TEST_F(DrawRecordReplayTest, AfterTheSortGreaterKeysReplayFirst)
{
    Queue(2, 5.0f);
    Queue(2, 50.0f);
    Queue(0, 20.0f);
    DrawRecordsSort();
    DrawRecordsReplay();
    const std::vector<std::string> expected = {"kind 2 key 50", "kind 0 key 20", "kind 2 key 5"};
    EXPECT_EQ(g_calls, expected);
}

TEST_F(DrawRecordReplayTest, ThePlantReplayDrawsOnlyPlantsThenFlushesOnce)
{
    Queue(1, 1.0f);
    Queue(4, 2.0f);
    Queue(5, 3.0f);
    Queue(1, 4.0f);
    DrawRecordsReplayPlants();
    const std::vector<std::string> expected = {"kind 1 key 1", "kind 1 key 4", "flush"};
    EXPECT_EQ(g_calls, expected);

    // A list of plants only: nothing in the first replay.
    DrawRecordsClear();
    Queue(1, 1.0f);
    g_calls.clear();
    DrawRecordsReplay();
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(DrawRecordReplayTest, KindsWithoutRendererAreRefusedWhereTheyCannotBeSet)
{
    DrawRecordRendererSet(5, Renderer<5>);
    DrawRecordRendererSet(8, Renderer<0>);
    EXPECT_EQ(g_drawRecordReplay.renderers[5], nullptr);
    DrawRecordRendererSet(2, nullptr);
    Queue(2, 1.0f);
    Queue(5, 2.0f);
    DrawRecordsReplay();
    const std::vector<std::string> expected = {"flush"};
    EXPECT_EQ(g_calls, expected);
}

TEST_F(DrawRecordReplayTest, ThePlantDirectionTableHoldsEveryFifteenDegreesFromZero)
{
    DrawRecordsReplayPlants();
    for (int k = 0; k < PLANT_DIRECTION_COUNT; ++k) {
        const double angle = k * 15.0 * 3.14159265358979 / 180.0;
        EXPECT_NEAR(g_drawRecordReplay.plantDirections[k][0], std::cos(angle), 1e-5) << k;
        EXPECT_NEAR(g_drawRecordReplay.plantDirections[k][1], std::sin(angle), 1e-5) << k;
    }
}

TEST_F(DrawRecordReplayTest, EachReplaySetsItsStates)
{
    struct StateCase {
        D3DRENDERSTATETYPE state;
        DWORD first, plants;
    };
    const StateCase states[] = {
        {D3DRS_ZWRITEENABLE, 0, 7},  // 7: the plant replay leaves it as it found it
        {D3DRS_ZENABLE, D3DZB_TRUE, 7},
        {D3DRS_ALPHABLENDENABLE, 1, 1},
        {D3DRS_ALPHATESTENABLE, 0, 0},
        {D3DRS_ALPHAFUNC, 7, D3DCMP_GREATER},
        {D3DRS_ALPHAREF, 7, 0x40},
        {D3DRS_CULLMODE, D3DCULL_CW, D3DCULL_CW},
        {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL, D3DMCS_MATERIAL},
        {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL, D3DMCS_MATERIAL},
        {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL, D3DMCS_MATERIAL},
        {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL, D3DMCS_MATERIAL},
        {D3DRS_SPECULARENABLE, 0, 0},
    };
    struct StageCase {
        DWORD stage;
        D3DTEXTURESTAGESTATETYPE type;
        DWORD first, plants;
    };
    const StageCase stages[] = {
        {0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR, D3DTEXF_LINEAR},
        {0, D3DTSS_MINFILTER, D3DTEXF_LINEAR, D3DTEXF_LINEAR},
        {0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR, D3DTEXF_NONE},
        {0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP, D3DTADDRESS_WRAP},
        {0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP, D3DTADDRESS_WRAP},
        {0, D3DTSS_TEXCOORDINDEX, 0, 0},
        {1, D3DTSS_TEXCOORDINDEX, 1, 1},
    };
    for (bool plants : {false, true}) {
        for (bool wireframe : {false, true}) {
            for (const StateCase& c : states)
                RenderSetState(c.state, 7);
            for (const StageCase& c : stages)
                RenderSetStageState(c.stage, c.type, 7);
            g_render.worldLightingSetUp = false;
            rbwireframe.value.asBool = wireframe ? 1 : 0;
            if (plants)
                DrawRecordsReplayPlants();
            else
                DrawRecordsReplay();
            const char* which = plants ? "plant replay" : "first replay";
            for (const StateCase& c : states)
                EXPECT_EQ(State(c.state), plants ? c.plants : c.first) << which << " state " << c.state;
            for (const StageCase& c : stages)
                EXPECT_EQ(StageState(c.stage, c.type), plants ? c.plants : c.first)
                    << which << " stage " << c.stage << " type " << c.type;
            EXPECT_EQ(State(D3DRS_FILLMODE), wireframe ? DWORD(D3DFILL_WIREFRAME) : DWORD(D3DFILL_SOLID)) << which;
            EXPECT_TRUE(g_render.worldLightingSetUp) << which << ": the sun lights are set";
            EXPECT_EQ(g_dynBuffers.vertexBuffer, nullptr) << which;
            EXPECT_EQ(g_dynBuffers.indexBuffer, nullptr) << which;
        }
    }
}

TEST_F(DrawRecordReplayTest, TheSkyPassSwitchIsKept)
{
    RenderSetSkyPass(true);
    EXPECT_TRUE(g_drawRecordReplay.skyPass);
    DrawRecordsReplay();
    EXPECT_TRUE(g_drawRecordReplay.skyPass);
    RenderSetSkyPass(false);
    EXPECT_FALSE(g_drawRecordReplay.skyPass);
}

}  // namespace
