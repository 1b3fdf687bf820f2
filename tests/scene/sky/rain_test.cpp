// Rain: the drops a cell wants by distance, cells that keep their drops while their table slot is
// theirs, the batches of 375 drops, the streak of a drop at the camera, and streaks on screen.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/camera.h"
#include "render/device/render_context.h"
#include "render/textures/texture_manager.h"
#include "scene/sky/rain.h"
#include "scene/passes/scene_passes.h"
#include "game/view/player_view.h"
#include "render/render_cvars.h"
#include "support/render_test_support.h"
#include "tests/render/texture_test_support.h"
#include "tests/scene/scene_fixture.h"

using scene_test::SavedVars;

namespace {

class Rain : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        render_test::RenderCore::SetUp();
        m_texture = texture_test::SolidTexture(Device(), 4, 4, 1, 0xFFFFFFFFu);
        TextureRegister(m_texture, TEXTURE_SHARED_FOLDER "rain");
        RainInit();
    }
    void TearDown() override
    {
        RainShutdown();
        TexturesReleaseAll();
        render_test::RenderCore::TearDown();
    }
    // Draws one frame of rain; the number of triangles drawn.
    u32_t Frame(float x, float y, float z, float frameTime)
    {
        EXPECT_EQ(RenderBeginFrame(), 0);
        u32_t triangles = 0;
        {
            scene_test::DrawLog log(Device());
            const float camera[3] = {x, y, z};
            RainDraw(camera, frameTime);
            for (const scene_test::DrawState& draw : log.Draws())
                triangles += draw.primitives;
        }
        RenderEndFrame(false);
        return triangles;
    }
    static std::vector<RainDrop> Drops(s32_t row, s32_t column)
    {
        const RainCell* cell = RainCellAt(RainCellSlot(row, column));
        return cell ? std::vector<RainDrop>(cell->drops, cell->drops + cell->count) : std::vector<RainDrop>{};
    }
    IDirect3DTexture8* m_texture = nullptr;
};

TEST(RainCells, WantedDropsFadeWithDistance)
{
    const struct {
        float distance;
        s32_t wanted;
    } cases[] = {{0.0f, 100}, {75.0f, 50}, {150.0f, 0}, {149.0f, 0}, {300.0f, 0}, {NAN, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(RainWantedDrops(c.distance), c.wanted) << c.distance;
    EXPECT_EQ(RainCellSlot(17, 1), RainCellSlot(1, 17));
    EXPECT_NE(RainCellKey(17, 1), RainCellKey(1, 17));
}

TEST_F(Rain, ACellThatComesBackShowsItsDropsWhereTheyWere)
{
    Frame(20.0f, 0.0f, 20.0f, 0.02f);
    const std::vector<RainDrop> before = Drops(1, 1);
    ASSERT_GT(before.size(), 50u);
    for (const RainDrop& drop : before) {
        EXPECT_GE(drop.x, 20.0f);
        EXPECT_LT(drop.x, 60.0f);
        // Made between -25 and 25, fallen by 2; below the floor (-1) restarted 12.5 to 37.5 up.
        EXPECT_GE(drop.y, -1.0f);
        EXPECT_LT(drop.y, 37.5f);
    }
    // Away (the slot is not taken by another cell), and back without time passing.
    Frame(420.0f, 0.0f, 420.0f, 0.02f);
    Frame(20.0f, 0.0f, 20.0f, 0.0f);
    const std::vector<RainDrop> back = Drops(1, 1);
    ASSERT_EQ(back.size(), before.size());
    for (size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].x, before[i].x);
        EXPECT_EQ(back[i].y, before[i].y);
        EXPECT_EQ(back[i].z, before[i].z);
    }
    // Another cell takes the slot: the cell starts again from its own generator (the same places
    // across, new heights).
    Frame(17.0f * 40.0f + 20.0f, 0.0f, 17.0f * 40.0f + 20.0f, 0.02f);
    EXPECT_EQ(RainCellAt(RainCellSlot(1, 1))->key, RainCellKey(17, 17));
    Frame(20.0f, 0.0f, 20.0f, 0.0f);
    const std::vector<RainDrop> again = Drops(1, 1);
    ASSERT_EQ(again.size(), before.size());
    EXPECT_EQ(again[0].x, before[0].x);
    EXPECT_EQ(again[0].z, before[0].z);
}

TEST_F(Rain, MoreThanABatchOfDropsIsDrawnInSeveralBatches)
{
    const u32_t triangles = Frame(20.0f, 0.0f, 20.0f, 0.02f);
    s32_t drops = 0;
    for (s32_t row = -3; row <= 2; ++row)
        for (s32_t column = -3; column <= 2; ++column)
            drops += RainCellAt(RainCellSlot(row, column))->count;
    ASSERT_GT(drops, 375);
    EXPECT_EQ(triangles, u32_t(drops) * 2);
    EXPECT_EQ(RainLastBatchCount(), u32_t((drops + 374) / 375));
    // Cells whose centre lies 150 or more away want no drops.
    EXPECT_EQ(RainCellAt(RainCellSlot(-3, -3))->count, RainWantedDrops(std::hypot(20.0f + 100.0f, 20.0f + 100.0f)));
}

TEST_F(Rain, ADropAtTheCameraGetsASideVectorAndNoNumberIsLost)
{
    Frame(20.0f, 0.0f, 20.0f, 0.02f);
    const RainDrop drop = Drops(0, 0).at(0);
    Frame(drop.x, 0.0f, drop.z, 0.0f);
    const RainDrop& seen = RainCellAt(RainCellSlot(0, 0))->drops[0];
    EXPECT_EQ(seen.distance, 0.0f);
    EXPECT_EQ(seen.sideX, 0.3f);
    EXPECT_EQ(seen.sideZ, 0.0f);
    EXPECT_EQ(seen.colour, 0xFFFFFFFFu);
    // A camera that is not a number draws nothing and leaves the cells alone.
    const float bad[3] = {NAN, 0.0f, 0.0f};
    RainDraw(bad, 0.02f);
    EXPECT_EQ(RainLastBatchCount(), 0u);
}

TEST_F(Rain, StreaksShowInFrontOfTheCamera)
{
    render_test::Pixels pixels;
    ASSERT_EQ(RenderBeginFrame(), 0);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    RenderSetupCamera(20.0f, 20.0f, 20.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    Device()->SetTransform(D3DTS_WORLD, &identity);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    const float camera[3] = {20.0f, 20.0f, 20.0f};
    RainDraw(camera, 0.02f);
    pixels = render_test::ReadBackBuffer(Device());
    RenderEndFrame(false);
    int lit = 0;
    for (UINT y = 0; y < pixels.height; ++y)
        for (UINT x = 0; x < pixels.width; ++x)
            lit += (pixels.At(x, y) & 0xFFFFFF) != 0;
    EXPECT_GT(lit, 10);
}

TEST_F(Rain, TheOutdoorPassListDrawsRainWhileRbrainIsOn)
{
    SavedVars saved{&rbrain, &rbwater};
    float* viewer = GameGetViewPos();
    const float kept[3] = {viewer[0], viewer[1], viewer[2]};
    viewer[0] = viewer[2] = 20.0f;
    viewer[1] = 0.0f;
    rbwater.SetBool(false);
    for (bool on : {false, true}) {
        SCOPED_TRACE(on);
        rbrain.SetBool(on);
        const float nowhere[3] = {NAN, NAN, NAN};
        RainDraw(nowhere, 0.0f);  // the batch count starts at 0
        ASSERT_EQ(RenderBeginFrame(), 0);
        RenderSetupCamera(20.0f, 0.0f, 20.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
        RenderScenePasses();
        RenderEndFrame(false);
        EXPECT_EQ(RainLastBatchCount() > 0, on);
    }
    viewer[0] = kept[0];
    viewer[1] = kept[1];
    viewer[2] = kept[2];
}

}  // namespace
