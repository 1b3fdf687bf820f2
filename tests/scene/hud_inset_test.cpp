// The inset camera: its picture is rendered at most every 250 ms, into its own target, and drawn
// every frame as a quad over its rectangle; the "- ITF -" list of the mission timers.
#include <gtest/gtest.h>

#include "core/mission_timers.h"
#include "render/render_clock.h"
#include "render/state_cache.h"
#include "scene/hud_overlays.h"
#include "tests/render/render_test_support.h"

using namespace render_test;

namespace {

DWORD g_now = 0;
DWORD FakeClock()
{
    return g_now;
}

class Inset : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        RenderSetClock(FakeClock);
        HudInsetReset();
        RenderSetClearColor(0);
        ASSERT_EQ(RenderBeginFrame(), 0);
    }
    void TearDown() override
    {
        RenderEndFrame(false);
        HudInsetReset();
        HudOverlayRequestsClear();
        RenderSetClock(nullptr);
        RenderCore::TearDown();
    }
    // Fills level 0 of the target texture with the colour, as a view drawn into it would.
    void Fill(IDirect3DTexture8* texture, D3DCOLOR colour)
    {
        ASSERT_NE(texture, nullptr);
        IDirect3DSurface8* surface = nullptr;
        IDirect3DSurface8* keptTarget = nullptr;
        IDirect3DSurface8* keptDepth = nullptr;
        ASSERT_EQ(texture->GetSurfaceLevel(0, &surface), D3D_OK);
        Device()->GetRenderTarget(&keptTarget);
        Device()->GetDepthStencilSurface(&keptDepth);
        Device()->SetRenderTarget(surface, g_render.targetDepthStencil);
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0);
        Device()->SetRenderTarget(keptTarget, keptDepth);
        keptTarget->Release();
        keptDepth->Release();
        surface->Release();
    }
};

TEST_F(Inset, UpdatedAtMostEveryQuarterSecond)
{
    const struct {
        DWORD now;
        u32_t updates;
    } calls[] = {{1000, 1}, {1249, 1}, {1250, 2}, {1300, 2}, {1499, 2}, {1500, 3}};
    for (const auto& c : calls) {
        g_now = c.now;
        HudDrawTeskCam(8, 8, 24, 20);
        EXPECT_EQ(HudInsetUpdateCount(), c.updates) << c.now;
    }
    EXPECT_EQ(HudOverlayRequestsSoFar().insetViews, 6u) << "drawn every call";
}

TEST_F(Inset, KeepsItsOwnPictureAfterAWaterViewInTheSameFrame)
{
    g_now = 1000;
    HudDrawTeskCam(8, 8, 24, 20);                     // the update
    Fill(g_render.secondTarget, 0xFF00FF00u);         // the inset's picture
    Fill(g_render.secondaryViewTarget, 0xFFFF0000u);  // a water view drawn later in the frame
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    g_now = 1100;
    HudDrawTeskCam(8, 8, 24, 20);  // no update: the kept picture
    ASSERT_EQ(HudInsetUpdateCount(), 1u);
    const Pixels pixels = ReadBackBuffer(Device());
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool inside = x >= 8 && x < 24 && y >= 8 && y < 20;
            if (inside)
                ASSERT_TRUE(ColourNear(pixels.At(x, y), 0xFF00FF00u, 4)) << x << ", " << y;
            else
                ASSERT_EQ(pixels.At(x, y), 0xFF000000u) << x << ", " << y;
        }
}

}  // namespace
