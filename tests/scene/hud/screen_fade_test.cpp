// The screen fade: its alpha over time (durations of 0 or less draw nothing), and the tint read back
// from the offscreen device halfway through a dark red fade.
#include <gtest/gtest.h>

#include "render/draw2d/primitives_2d.h"
#include "render/device/render_clock.h"
#include "render/device/state_cache.h"
#include "scene/passes/scene_passes.h"
#include "scene/hud/screen_fade.h"
#include "support/render_test_support.h"

using namespace render_test;

namespace {

DWORD g_now = 0;
DWORD FakeClock()
{
    return g_now;
}

class ScreenFadeClock : public ::testing::Test {
protected:
    void SetUp() override
    {
        RenderSetClock(FakeClock);
        ScreenFadeReset();
    }
    void TearDown() override
    {
        ScreenFadeReset();
        RenderSetClock(nullptr);
    }
};

TEST_F(ScreenFadeClock, AlphaFallsFromOpaqueToNothingOverTheDuration)
{
    const struct {
        s32_t duration;
        u32_t start, now, alpha;
    } cases[] = {
        {1000, 5000, 5000, 255}, {1000, 5000, 5500, 127}, {1000, 5000, 5999, 0},  // 0.255: below one step
        {1000, 5000, 6000, 0},   {1000, 5000, 9000, 0},   {500, 100, 350, 127},           {0, 5000, 5000, 0},
        {-5, 5000, 5000, 0},     {-5, 5000, 5002, 0},     {1000, 0xFFFFFF00u, 0x64, 164},  // the tick count wrapped: 356 ms gone
        {1000, 5000, 4999, 0},  // a start after now is a huge unsigned elapsed time
    };
    for (const auto& c : cases) {
        g_now = c.start;
        ScreenFadeStart(c.duration, 0);
        EXPECT_EQ(ScreenFadeAlphaAt(c.now), c.alpha) << c.duration << " ms, " << c.now - c.start << " ms gone";
    }
}

TEST_F(ScreenFadeClock, NeverStartedDrawsNothing)
{
    EXPECT_EQ(ScreenFadeAlphaAt(0), 0u);
    EXPECT_EQ(ScreenFadeAlphaAt(123456), 0u);
}

class ScreenFadePixels : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        RenderSetClock(FakeClock);
        ScreenFadeReset();
        RenderSetClearColor(0x00FFFFFFu);  // white; a zero alpha byte clears
        ASSERT_EQ(RenderBeginFrame(), 0);
        RenderSetState(D3DRS_ZENABLE, FALSE);
        RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
        RenderSetState(D3DRS_LIGHTING, FALSE);
    }
    void TearDown() override
    {
        RenderEndFrame(false);
        ScreenFadeReset();
        RenderSetClock(nullptr);
        RenderCore::TearDown();
    }
};

TEST_F(ScreenFadePixels, DarkRedFadeAtHalfTimeTintsEveryPixelHalfway)
{
    g_now = 1000;
    ScreenFadeStart(500, 0x800000);
    g_now = 1250;
    ScenePassRun(SCENE_PASS_SCREEN_FADE);  // the game frame's hook draws it
    const Pixels pixels = ReadBackBuffer(Device());
    ASSERT_EQ(pixels.words.size(), std::size_t(kWidth) * kHeight);
    // alpha 127 of 0x80 red over white: red 0x80 x 127/255 + 255 x 128/255, green and blue 128.
    for (DWORD word : pixels.words)
        ASSERT_TRUE(ColourNear(word, 0xFFC08080u, 2));
}

// States the passes leave behind (the shadow and water passes' stencil test, the depth test, an alpha
// test) keep no pixel out of the fade: it covers the whole frame.
TEST_F(ScreenFadePixels, LeftoverStencilDepthAndAlphaTestsDoNotHoleTheFade)
{
    Device()->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0);
    RenderSetState(D3DRS_STENCILENABLE, TRUE);
    RenderSetState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    RenderSetState(D3DRS_STENCILREF, 8);
    RenderSetState(D3DRS_ZENABLE, TRUE);
    RenderSetState(D3DRS_ZFUNC, D3DCMP_NEVER);
    RenderSetState(D3DRS_ALPHATESTENABLE, TRUE);
    RenderSetState(D3DRS_ALPHAFUNC, D3DCMP_NEVER);
    g_now = 1000;
    ScreenFadeStart(500, 0x800000);
    g_now = 1250;
    ScreenFadeDraw();
    const Pixels pixels = ReadBackBuffer(Device());
    for (DWORD word : pixels.words)
        ASSERT_TRUE(ColourNear(word, 0xFFC08080u, 2));
    RenderSetState(D3DRS_STENCILENABLE, FALSE);
    RenderSetState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    RenderSetState(D3DRS_ALPHAFUNC, D3DCMP_ALWAYS);
}

TEST_F(ScreenFadePixels, FinishedOrZeroFadeLeavesTheFrame)
{
    const struct {
        s32_t duration;
        DWORD later;
    } cases[] = {{500, 500}, {0, 0}, {-5, 1}};
    for (const auto& c : cases) {
        g_now = 2000;
        ScreenFadeStart(c.duration, 0);
        g_now = 2000 + c.later;
        ScreenFadeDraw();
    }
    const Pixels pixels = ReadBackBuffer(Device());
    for (DWORD word : pixels.words)
        ASSERT_EQ(word, 0xFFFFFFFFu);
}

}  // namespace
