// Frame begin and end: clearing, lost-device recovery and the default-pool resources.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/test_clock.h"
#include "render/device/dynamic_buffers.h"
#include "support/render_test_support.h"

using namespace render_test;

namespace {

using Frame = RenderCore;

void DrawStreamedQuad(int x0, int y0, int x1, int y1, DWORD colour)
{
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, static_cast<u32_t>(-1));
    DynBufferSelect(&g_dynBuffers.screenVertices);
    DynVertexBufferLock(4);
    const float l = x0 - 0.5f, t = y0 - 0.5f, r = x1 - 0.5f, b = y1 - 0.5f;
    const ScreenVertex quad[4] = {{l, t, 0.5f, 1, colour, 0, 0},
                                  {r, t, 0.5f, 1, colour, 0, 0},
                                  {r, b, 0.5f, 1, colour, 0, 0},
                                  {l, b, 0.5f, 1, colour, 0, 0}};
    std::memcpy(g_dynBuffers.vertexOut, quad, sizeof quad);
    DynBuffersUnlock();
    DynVertexBufferDraw(D3DPT_TRIANGLEFAN, 4, true);
}

TEST_F(Frame, ALostDeviceSkipsFramesUntilItIsResetThenDrawsAgain)
{
    IDirect3DVertexBuffer8* streaming = g_dynBuffers.screenVertices.buffer;
    D3D8TestSetCooperativeLevel(Device(), D3DERR_DEVICELOST);
    PlatformTestClockStart(0x40000);
    for (int frame = 0; frame < 2; ++frame) {
        const DWORD start = GetTickCount();
        EXPECT_EQ(RenderBeginFrame(), -1);
        EXPECT_EQ(GetTickCount() - start, 20u);                    // a lost frame waits
        EXPECT_EQ(g_dynBuffers.screenVertices.buffer, streaming);  // nothing is released while lost
    }
    PlatformTestClockStop();
    EXPECT_EQ(Counts().reset, 0u);

    D3D8TestSetCooperativeLevel(Device(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(RenderBeginFrame(), -1);  // the frame that resets is not drawn
    EXPECT_EQ(Counts().reset, 1u);
    EXPECT_NE(g_dynBuffers.screenVertices.buffer, nullptr);
    EXPECT_NE(g_render.secondaryViewTarget, nullptr);

    RenderSetClearColor(0x00000000u);
    ASSERT_EQ(RenderBeginFrame(), 0);
    DrawStreamedQuad(0, 0, 8, 8, 0xFF00FF00u);
    RenderEndFrame(true);
    EXPECT_EQ(ReadBackBuffer(Device()).At(4, 4), 0xFF00FF00u);
}

TEST_F(Frame, AResetThatFindsTheDeviceLostAgainIsTriedNextFrame)
{
    D3D8TestSetCooperativeLevel(Device(), D3DERR_DEVICENOTRESET);
    D3D8TestSetResetResult(Device(), D3DERR_DEVICELOST);
    EXPECT_EQ(RenderBeginFrame(), -1);
    EXPECT_EQ(Device()->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(RenderBeginFrame(), -1);
    EXPECT_EQ(Counts().reset, 2u);
    EXPECT_EQ(RenderBeginFrame(), 0);
    RenderEndFrame(false);
}

TEST_F(Frame, AnyOtherResetFailureEndsTheProgram)
{
    D3D8TestSetCooperativeLevel(Device(), D3DERR_DEVICENOTRESET);
    D3D8TestSetResetResult(Device(), D3DERR_INVALIDCALL);
    EXPECT_EXIT(RenderBeginFrame(), ::testing::ExitedWithCode(3), AssertionText("res == D3D_OK"));
}

TEST_F(Frame, TheClearColourAlphaDecidesWhetherTheBackBufferIsCleared)
{
    struct Case {
        D3DCOLOR clearColour;
        DWORD expected;
    };
    // A quad is drawn after every clear; the next frame shows what its clear left of it.
    const Case cases[] = {{0x00102030u, 0xFF102030u}, {0xFF000000u, 0xFFFF0000u}, {0x00000000u, 0xFF000000u}};
    for (const Case& c : cases) {
        RenderSetClearColor(c.clearColour);
        ASSERT_EQ(RenderBeginFrame(), 0);
        EXPECT_EQ(ReadBackBuffer(Device()).At(4, 4), c.expected) << std::hex << c.clearColour;
        DrawStreamedQuad(0, 0, 8, 8, 0xFFFF0000u);
        RenderEndFrame(true);
    }
}

TEST_F(Frame, ASecondSceneInAFrameIsSkipped)
{
    ASSERT_EQ(RenderBeginFrame(), 0);
    EXPECT_EQ(RenderBeginFrame(), -1);
    RenderEndFrame(false);
}

TEST_F(Frame, DefaultPoolResourcesCanBeReleasedTwiceAndMadeAgain)
{
    // 8 streaming vertex buffers, 5 index buffers, 3 textures, a cube and a depth-stencil surface.
    EXPECT_EQ(D3D8TestLiveDefaultPoolResources(Device()), 18u);
    RenderReleaseDeviceResources();
    RenderReleaseDeviceResources();
    EXPECT_EQ(D3D8TestLiveDefaultPoolResources(Device()), 0u);
    for (DynVertexBuffer* record : DynVertexBuffers())
        EXPECT_EQ(record->buffer, nullptr);
    EXPECT_EQ(g_render.cubeTarget, nullptr);
    EXPECT_EQ(g_render.targetDepthStencil, nullptr);
    RenderCreateDeviceResources();
    EXPECT_EQ(D3D8TestLiveDefaultPoolResources(Device()), 18u);
    EXPECT_EQ(g_dynBuffers.screenVertices.vertexSize, 28u);
    EXPECT_EQ(g_dynBuffers.posVertices.size, 16384u * 12u);
    EXPECT_EQ(g_dynBuffers.shaderVertices.fvf, 0u);
    EXPECT_EQ(g_dynBuffers.shaderVertices.vertexSize, 12u);
    EXPECT_EQ(g_dynBuffers.largeIndices.size, 262144u);
    DWORD zEnable = 1, lighting = 1;
    Device()->GetRenderState(D3DRS_ZENABLE, &zEnable);
    Device()->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(zEnable, 0u);
    EXPECT_EQ(lighting, 0u);
}

}  // namespace
