// The inset camera: its picture is rendered at most every 250 ms, into its own target, and drawn
// every frame as a quad over its rectangle; the "- ITF -" list of the mission timers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/mission_timers.h"
#include "gui/screens/gui.h"
#include "render/draw2d/bitmap_font.h"
#include "render/draw2d/hud_input.h"
#include "render/device/render_clock.h"
#include "map/octree/octree.h"
#include "render/device/state_cache.h"
#include "scene/hud/hud_overlays.h"
#include "scene/meshes/object_draw.h"
#include "scene/scene_state.h"
#include "support/render_test_support.h"

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

TEST_F(Inset, AnUpdateLeavesTheFramesPassSelector)
{
    const u32_t kept = RenderGetPassSelector();
    RenderSetPassSelector(9);
    g_now = 1000;
    HudDrawTeskCam(8, 8, 24, 20);
    ASSERT_EQ(HudInsetUpdateCount(), 1u);
    EXPECT_EQ(RenderGetPassSelector(), 9u) << "the sky sets 0 while the picture is drawn";
    RenderSetPassSelector(kept);
}

// The inset's visibility pass is a secondary view's: the main view's camera, which the water pass
// draws from, stays the one of the frame.
TEST_F(Inset, ItsVisibilityPassLeavesTheMainViewsCamera)
{
    OctreeCreateRoot({-500.0f, -500.0f, -500.0f}, {500.0f, 500.0f, 500.0f});
    const ViewCamera main = {{1.0f, 2.0f, 3.0f}, {0.1f, 0.2f, 0.3f}, 1.2f};
    g_scene.mainViewCamera = main;
    g_now = 1000;
    HudDrawTeskCam(8, 8, 24, 20);
    ASSERT_EQ(HudInsetUpdateCount(), 1u);
    EXPECT_EQ(g_scene.mainView, 1);
    EXPECT_EQ(std::memcmp(&g_scene.mainViewCamera, &main, sizeof main), 0);
    OctreeDestroy();
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

struct ItfText {
    std::string text;
    int x, y;
};
std::vector<ItfText> g_itf;

using ItfList = RenderCore;

TEST_F(ItfList, HeaderThenOneLinePerTimerWithTheWholeSecondsLeft)
{
    IDirect3DTexture8* texture = SolidTexture(Device(), 0xFFFFFFFFu);
    Font font("hud", texture, nullptr, 16, 0, '_');
    for (int c = ' '; c < 127; ++c)
        font.SetGlyph(static_cast<u8_t>(c), 0.0f, 0.0f, 0.25f, 0.25f, 100, 100);
    g_hudInput.defaultFont = &font;
    GuiScreen* screen = new GuiScreen("ITF");
    screen->left = 0.5f;
    screen->top = 0.25f;
    GuiAddScreen(screen);
    StartTimer(nullptr, "extract", 60);
    StartTimer(nullptr, "hold", 5);
    TimersTick(1.5f);
    g_itf.clear();
    HudSetItfTracer([](const char* text, int x, int y) { g_itf.push_back({text, x, y}); });
    ASSERT_EQ(RenderBeginFrame(), 0);
    HudDrawItfList();
    RenderEndFrame(false);
    HudSetItfTracer(nullptr);
    ClearTimers();
    GuiShutdown();
    g_hudInput.defaultFont = nullptr;
    RenderSetTexture(0, nullptr);
    texture->Release();
    HudOverlayRequestsClear();

    ASSERT_EQ(g_itf.size(), 5u);
    const char* texts[] = {"- ITF -", "[0][extract] ", " >58sec", "[1][hold] ", " >3sec"};
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(g_itf[i].text, texts[i]);
    EXPECT_EQ(g_itf[0].x, 32) << "the screen's corner";
    EXPECT_EQ(g_itf[0].y, 12);
    EXPECT_EQ(g_itf[1].x, 32);
    EXPECT_GT(g_itf[2].x, g_itf[1].x) << "the time follows its label";
    EXPECT_EQ(g_itf[2].y, g_itf[1].y);
    EXPECT_GT(g_itf[1].y, g_itf[0].y);
    EXPECT_GT(g_itf[3].y, g_itf[1].y);
}

}  // namespace
