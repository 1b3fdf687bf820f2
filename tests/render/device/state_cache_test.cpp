// The render-state and texture-stage caches, counted at the device.
#include <gtest/gtest.h>

#include "render/device/state_cache.h"
#include "support/render_test_support.h"

using namespace render_test;

namespace {

using StateCache = RenderCore;

TEST_F(StateCache, RepeatedValuesStayAwayFromTheDevice)
{
    const D3D8CallCounts before = Counts();
    RenderSetState(D3DRS_FOGENABLE, TRUE);
    RenderSetState(D3DRS_FOGENABLE, TRUE);
    RenderSetState(D3DRS_FOGENABLE, FALSE);
    RenderSetStageState(3, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(3, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    const D3D8CallCounts after = Counts();
    EXPECT_EQ(after.setRenderState - before.setRenderState, 2u);
    EXPECT_EQ(after.setTextureStageState - before.setTextureStageState, 1u);
}

TEST_F(StateCache, TheFirstSetAfterAClearAlwaysReachesTheDevice)
{
    // The value table still holds the value, and the device has it too: only the known bit counts.
    RenderSetState(D3DRS_ALPHAREF, 0x40);
    RenderSetStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    RenderStateCacheClear();
    const D3D8CallCounts before = Counts();
    RenderSetState(D3DRS_ALPHAREF, 0x40);
    RenderSetState(D3DRS_ALPHAREF, 0x40);
    RenderSetStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    const D3D8CallCounts after = Counts();
    EXPECT_EQ(after.setRenderState - before.setRenderState, 1u);
    EXPECT_EQ(after.setTextureStageState - before.setTextureStageState, 1u);
}

TEST_F(StateCache, EveryStateIsSentAgainAfterADeviceReset)
{
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    D3D8TestSetCooperativeLevel(Device(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(RenderBeginFrame(), -1);  // releases, resets, re-creates
    EXPECT_EQ(RenderBeginFrame(), 0);
    RenderEndFrame(false);
    const D3D8CallCounts before = Counts();
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    const D3D8CallCounts after = Counts();
    EXPECT_EQ(after.setRenderState - before.setRenderState, 1u);
    EXPECT_EQ(after.setTextureStageState - before.setTextureStageState, 1u);
    DWORD cull = 0;
    Device()->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, DWORD(D3DCULL_NONE));
}

TEST_F(StateCache, AnArgumentOfMinusOneIsLeftAlone)
{
    RenderSetColorOp(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    const D3D8CallCounts before = Counts();
    RenderSetColorOp(1, D3DTOP_ADD, static_cast<u32_t>(-1), static_cast<u32_t>(-1));
    RenderSetAlphaOp(1, D3DTOP_SELECTARG1, D3DTA_TFACTOR, static_cast<u32_t>(-1));
    const D3D8CallCounts after = Counts();
    EXPECT_EQ(after.setTextureStageState - before.setTextureStageState, 3u);
    const struct {
        D3DTEXTURESTAGESTATETYPE type;
        DWORD value;
    } expected[] = {{D3DTSS_COLOROP, D3DTOP_ADD},      {D3DTSS_COLORARG1, D3DTA_TEXTURE},
                    {D3DTSS_COLORARG2, D3DTA_DIFFUSE}, {D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
                    {D3DTSS_ALPHAARG1, D3DTA_TFACTOR}, {D3DTSS_ALPHAARG2, D3DTA_CURRENT}};
    for (const auto& entry : expected) {
        DWORD value = 0;
        Device()->GetTextureStageState(1, entry.type, &value);
        EXPECT_EQ(value, entry.value) << entry.type;
    }
}

TEST_F(StateCache, TexturesGoToTheDeviceEveryTime)
{
    const D3D8CallCounts before = Counts();
    RenderSetTexture(0, nullptr);
    RenderSetTexture(0, nullptr);
    EXPECT_EQ(Counts().setTexture - before.setTexture, 2u);
}

TEST_F(StateCache, IdsOutsideTheCachesEndTheProgram)
{
    EXPECT_EXIT(RenderSetState(MAX_STATES_COUNT, 0), ::testing::ExitedWithCode(3),
                AssertionText("st < MAX_STATES_COUNT"));
    EXPECT_EXIT(RenderSetStageState(7, D3DTSS_RESULTARG, 0), ::testing::ExitedWithCode(3),
                AssertionText("t < MAX_STAGES"));
    RenderSetStageState(6, D3DTSS_RESULTARG, D3DTA_CURRENT);  // the last entry that fits
}

}  // namespace
