// Debug primitives drawn from a camera on the offscreen device: they land where the camera's
// projection puts them; lines ignore depth, faces are depth-tested, neither writes depth.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "render/draw2d/debug_primitives.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "support/render_test_support.h"

using namespace render_test;

namespace {

constexpr DWORD kBackground = 0xFF102030u;
constexpr DWORD kRed = 0xFFFF0000u;
constexpr DWORD kGreen = 0xFF00FF00u;
constexpr DWORD kBlue = 0xFF0000FFu;
constexpr DWORD kYellow = 0xFFFFFF00u;
constexpr float kQuarterTurn = D3DX_PI / 2;

struct ColouredVertex {
    float x, y, z;
    DWORD colour;
};

// A frame begun on the 64 x 48 device with the camera at the origin looking along +z.
class DebugPixels : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        DebugListsReset();
        RenderSetClearColor(kBackground & 0x00FFFFFFu);  // alpha 0: the frame clears to it
        ASSERT_EQ(RenderBeginFrame(), 0);
        RenderSetupCamera(0, 0, 0, 0, 0, 0, kQuarterTurn, 1);
        RenderSetState(D3DRS_CULLMODE, D3DCULL_CCW);
    }
    void TearDown() override
    {
        DebugListsReset();
        RenderCore::TearDown();
    }

    Pixels EndAndRead()
    {
        RenderEndFrame(false);
        return ReadBackBuffer(Device());
    }

    // Where the camera puts a world point, in whole pixels.
    static POINT Project(const D3DXVECTOR3& world)
    {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        D3DXVECTOR3 screen;
        D3DXVec3Project(&screen, &world, &g_camera.viewport, &g_camera.projection, &g_camera.view, &identity);
        return {static_cast<LONG>(std::floor(screen.x)), static_cast<LONG>(std::floor(screen.y))};
    }

    // The colour is found at the pixel or one of its eight neighbours (line rasterisation rules differ
    // by a pixel).
    static ::testing::AssertionResult NearPixelIs(const Pixels& pixels, POINT at, DWORD colour)
    {
        for (LONG dy = -1; dy <= 1; ++dy)
            for (LONG dx = -1; dx <= 1; ++dx) {
                const LONG x = at.x + dx, y = at.y + dy;
                if (x >= 0 && y >= 0 && x < LONG(pixels.width) && y < LONG(pixels.height) &&
                    ColourNear(pixels.At(UINT(x), UINT(y)), colour))
                    return ::testing::AssertionSuccess();
            }
        return ::testing::AssertionFailure() << "no pixel near (" << at.x << ", " << at.y << ") has the colour";
    }

    // An opaque quad that writes depth, drawn straight through the device.
    void DrawOccluder(float x0, float y0, float x1, float y1, float z, DWORD colour)
    {
        RenderSetState(D3DRS_ZENABLE, 1);
        RenderSetState(D3DRS_ZWRITEENABLE, 1);
        RenderSetState(D3DRS_LIGHTING, 0);
        RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0xFFFFFFFFu);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0xFFFFFFFFu);
        const ColouredVertex quad[4] = {
            {x0, y1, z, colour}, {x1, y1, z, colour}, {x1, y0, z, colour}, {x0, y0, z, colour}};
        Device()->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        ASSERT_EQ(Device()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ColouredVertex)), D3D_OK);
    }
};

TEST_F(DebugPixels, ABoxAppearsWhereTheProjectionPutsIt)
{
    const Vector3 boxMin{-2, -2, 8}, boxMax{2, 2, 12};
    DebugBoxAdd(&boxMin, &boxMax, kRed, 1);
    DebugLinesDraw();
    const Pixels pixels = EndAndRead();

    // The midpoint of each of the 12 edges.
    const float xs[2] = {-2, 2}, ys[2] = {-2, 2}, zs[2] = {8, 12};
    int edges = 0;
    for (int axis = 0; axis < 3; ++axis)
        for (int a = 0; a < 2; ++a)
            for (int b = 0; b < 2; ++b) {
                D3DXVECTOR3 mid;
                if (axis == 0)
                    mid = {0, ys[a], zs[b]};
                else if (axis == 1)
                    mid = {xs[a], 0, zs[b]};
                else
                    mid = {xs[a], ys[b], 10};
                EXPECT_TRUE(NearPixelIs(pixels, Project(mid), kRed)) << "axis " << axis << " " << a << b;
                ++edges;
            }
    EXPECT_EQ(edges, 12);
    // Lines only: the box's middle and the view's corner keep the background.
    EXPECT_TRUE(ColourNear(pixels.At(32, 24), kBackground));
    EXPECT_TRUE(ColourNear(pixels.At(2, 2), kBackground));
    // The front face's corner lies where the projection says, not a pixel further out.
    const POINT corner = Project({2, 2, 8});
    EXPECT_TRUE(ColourNear(pixels.At(UINT(corner.x + 3), UINT(corner.y - 3)), kBackground));
}

TEST_F(DebugPixels, LinesIgnoreDepthWhileFacesAreDepthTestedAndWriteNone)
{
    DrawOccluder(-20, -20, 0, 20, 5, kGreen);  // the left half of the view, nearer than all below

    const Vector3 lineFrom{-8, 0, 10}, lineTo{8, 0, 10};
    DebugLineAdd(&lineFrom, &lineTo, kRed, kRed, 1);
    // Two overlapping bands above the line, drawn clockwise on screen (front-facing): the nearer
    // blue one is drawn first, the yellow one behind it next.
    const Vector3 b0{-8, 1, 10}, b1{8, 4, 10}, b2{8, 1, 10}, b3{-8, 4, 10};
    const Vector3 y0{-10, 3, 12}, y1{10, 6, 12}, y2{10, 3, 12}, y3{-10, 6, 12};
    DebugFaceAdd(&y0, &y1, &y2, kYellow, 1);
    DebugFaceAdd(&y0, &y3, &y1, kYellow, 1);
    DebugFaceAdd(&b0, &b1, &b2, kBlue, 1);
    DebugFaceAdd(&b0, &b3, &b1, kBlue, 1);
    DebugLinesDraw();
    DebugFacesDraw();
    const Pixels pixels = EndAndRead();

    EXPECT_TRUE(NearPixelIs(pixels, Project({-4, 0, 10}), kRed));  // through the occluder
    EXPECT_TRUE(NearPixelIs(pixels, Project({4, 0, 10}), kRed));
    EXPECT_TRUE(ColourNear(pixels.At(UINT(Project({4, 1.5f, 10}).x), UINT(Project({4, 1.5f, 10}).y)), kBlue));
    // Behind the occluder the faces fail the depth test.
    EXPECT_TRUE(ColourNear(pixels.At(UINT(Project({-4, 1.5f, 10}).x), UINT(Project({-4, 1.5f, 10}).y)), kGreen));
    // The blue face wrote no depth: the yellow one behind it, drawn later, covers it.
    const POINT overlap = Project({5, 3.5f * 12 / 10, 12});
    EXPECT_TRUE(ColourNear(pixels.At(UINT(overlap.x), UINT(overlap.y)), kYellow));
    // States the draw leaves: depth test back on, depth writes off.
    DWORD zEnable = 0, zWrite = 1;
    Device()->GetRenderState(D3DRS_ZENABLE, &zEnable);
    Device()->GetRenderState(D3DRS_ZWRITEENABLE, &zWrite);
    EXPECT_EQ(zEnable, 1u);
    EXPECT_EQ(zWrite, 0u);
}

TEST_F(DebugPixels, AOneShotLineIsDrawnOnceThenGone)
{
    const Vector3 from{-8, 0, 10}, to{8, 0, 10};
    DebugLineAdd(&from, &to, kRed, kRed, 1);
    DebugLinesDraw();
    EXPECT_TRUE(NearPixelIs(EndAndRead(), Project({0, 0, 10}), kRed));
    EXPECT_EQ(g_debugPrimitives.lines.count, 0u);

    ASSERT_EQ(RenderBeginFrame(), 0);
    DebugLinesDraw();
    const Pixels pixels = EndAndRead();
    EXPECT_TRUE(ColourNear(pixels.At(32, 24), kBackground));
}

}  // namespace
