// What the device draws, read back from its back buffer: rasterisation rules, depth, alpha,
// stencil, texture stages, lighting, fog, culling, the camera and render targets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/d3d8_draw_ranges.h"
#include "platform/d3d8_test_hooks.h"
#include "platform/d3dx8_math.h"
#include "support/render_test_support.h"

using namespace render_test;

namespace {

constexpr DWORD kMagenta = 0xFFFF00FFu;
constexpr DWORD kRed = 0xFFFF0000u;
constexpr DWORD kGreen = 0xFF00FF00u;
constexpr DWORD kBlue = 0xFF0000FFu;

class DevicePixels : public RawDeviceTest {
protected:
    static constexpr UINT kWidth = 64;
    static constexpr UINT kHeight = 48;

    DevicePixels() : RawDeviceTest(kWidth, kHeight) {}
    void SetUp() override
    {
        RawDeviceTest::SetUp();
        device->BeginScene();
        ClearTo(kMagenta);
    }
    void TearDown() override
    {
        if (device)
            device->EndScene();
        RawDeviceTest::TearDown();
    }

    void ClearTo(DWORD colour)
    {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, colour, 1.0f, 0);
    }
    Pixels Read() { return ReadBackBuffer(device); }

    // A texture of the given 0xAARRGGBB texels, rows from the top.
    IDirect3DTexture8* MakeTexture(UINT width, UINT height, const std::vector<DWORD>& texels)
    {
        IDirect3DTexture8* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
        D3DLOCKED_RECT locked;
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < height; ++y)
            for (UINT x = 0; x < width; ++x)
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] =
                    texels[y * width + x];
        EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
        return texture;
    }
};

TEST_F(DevicePixels, ClearFillsTheViewportOnly)
{
    D3DVIEWPORT8 viewport = {10, 5, 20, 10, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF123456u, 1.0f, 0);
    const D3DRECT rect = {0, 0, 12, 7};  // cut to the viewport: only (10..11, 5..6)
    device->Clear(1, &rect, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    const Pixels pixels = Read();
    for (UINT y = 0; y < kHeight; ++y) {
        for (UINT x = 0; x < kWidth; ++x) {
            const bool inViewport = x >= 10 && x < 30 && y >= 5 && y < 15;
            const bool inRect = x >= 10 && x < 12 && y >= 5 && y < 7;
            const DWORD expected = inRect ? kGreen : (inViewport ? 0xFF123456u : kMagenta);
            ASSERT_EQ(pixels.At(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(DevicePixels, ScreenQuadCoversExactlyItsPixelRectangle)
{
    struct Rect {
        int x0, y0, x1, y1;
        float z;
    };
    // Screen depth is not clipped: 2D drawing uses z = -0.5.
    const Rect rects[] = {{10, 10, 20, 20, 0.5f},
                          {0, 0, int(kWidth), int(kHeight), 0.0f},
                          {3, 7, 4, 8, 0.5f},
                          {-5, 40, 70, 60, 0.9f},
                          {30, 2, 33, 40, -0.5f}};
    for (const Rect& r : rects) {
        ClearTo(kMagenta);
        // The colour word's bytes are read as B, G, R, A: an 0xAARRGGBB word comes back unchanged.
        ASSERT_EQ(DrawScreenQuad(device, r.x0, r.y0, r.x1, r.y1, 0xFF123456u, r.z), D3D_OK);
        const Pixels pixels = Read();
        for (int y = 0; y < int(kHeight); ++y) {
            for (int x = 0; x < int(kWidth); ++x) {
                const bool inside = x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1;
                ASSERT_EQ(pixels.At(x, y), inside ? 0xFF123456u : kMagenta)
                    << "quad " << r.x0 << "," << r.y0 << " pixel " << x << "," << y;
            }
        }
    }
}

TEST_F(DevicePixels, IndexedDrawsAddTheBaseVertexAndDrawsFromMemoryUnbindTheStream)
{
    auto quad = [](ScreenVertex* out, int x0, DWORD colour) {
        const float l = x0 - 0.5f, r = x0 + 7.5f, t = -0.5f, b = 7.5f;
        const ScreenVertex corners[4] = {{l, t, 0.5f, 1, colour, 0, 0},
                                         {r, t, 0.5f, 1, colour, 0, 0},
                                         {r, b, 0.5f, 1, colour, 0, 0},
                                         {l, b, 0.5f, 1, colour, 0, 0}};
        std::memcpy(out, corners, sizeof corners);
    };
    const WORD indices[6] = {0, 1, 2, 0, 2, 3};
    IDirect3DVertexBuffer8* vertices = nullptr;
    IDirect3DIndexBuffer8* indexBuffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(8 * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY, kScreenFvf, D3DPOOL_MANAGED,
                                         &vertices),
              D3D_OK);
    ASSERT_EQ(
        device->CreateIndexBuffer(sizeof indices, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indexBuffer),
        D3D_OK);
    BYTE* data = nullptr;
    vertices->Lock(0, 0, &data, 0);
    quad(reinterpret_cast<ScreenVertex*>(data), 0, kRed);
    quad(reinterpret_cast<ScreenVertex*>(data) + 4, 16, kGreen);
    vertices->Unlock();
    indexBuffer->Lock(0, 0, &data, 0);
    std::memcpy(data, indices, sizeof indices);
    indexBuffer->Unlock();

    device->SetVertexShader(kScreenFvf);
    device->SetStreamSource(0, vertices, sizeof(ScreenVertex));
    device->SetIndices(indexBuffer, 4);  // the indices name the second quad
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
    ScreenVertex fromMemory[4];
    quad(fromMemory, 32, kBlue);
    ASSERT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, indices, D3DFMT_INDEX16, fromMemory,
                                             sizeof(ScreenVertex)),
              D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3DERR_INVALIDCALL);  // stream 0 is unbound now
    const Pixels pixels = Read();
    EXPECT_EQ(pixels.At(4, 4), kMagenta);
    EXPECT_EQ(pixels.At(20, 4), kGreen);
    EXPECT_EQ(pixels.At(36, 4), kBlue);
    vertices->Release();
    indexBuffer->Release();
}

// Ranged draws draw each range with its own base vertex, in the order given (the later range over
// the earlier), count as one indexed draw each, and draw nothing when any range runs past the indices.
TEST_F(DevicePixels, IndexedRangesDrawInOrderWithTheirBaseVertices)
{
    // Quads of 8 x 8 pixels: red and green on the same place at the left, blue further right.
    auto quad = [](ScreenVertex* out, int x0, DWORD colour) {
        const float l = x0 - 0.5f, r = x0 + 7.5f, t = -0.5f, b = 7.5f;
        const ScreenVertex corners[4] = {{l, t, 0.5f, 1, colour, 0, 0},
                                         {r, t, 0.5f, 1, colour, 0, 0},
                                         {r, b, 0.5f, 1, colour, 0, 0},
                                         {l, b, 0.5f, 1, colour, 0, 0}};
        std::memcpy(out, corners, sizeof corners);
    };
    const WORD indices[6] = {0, 1, 2, 0, 2, 3};
    IDirect3DVertexBuffer8* vertices = nullptr;
    IDirect3DIndexBuffer8* indexBuffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(12 * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY, kScreenFvf, D3DPOOL_MANAGED,
                                         &vertices),
              D3D_OK);
    ASSERT_EQ(
        device->CreateIndexBuffer(sizeof indices, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indexBuffer),
        D3D_OK);
    BYTE* data = nullptr;
    vertices->Lock(0, 0, &data, 0);
    quad(reinterpret_cast<ScreenVertex*>(data), 0, kRed);
    quad(reinterpret_cast<ScreenVertex*>(data) + 4, 0, kGreen);
    quad(reinterpret_cast<ScreenVertex*>(data) + 8, 32, kBlue);
    vertices->Unlock();
    indexBuffer->Lock(0, 0, &data, 0);
    std::memcpy(data, indices, sizeof indices);
    indexBuffer->Unlock();

    struct Case {
        std::vector<D3D8IndexedRange> ranges;
        HRESULT result;
        DWORD left, right;  // the pixels at (6, 1) and (36, 4)
    };
    const Case cases[] = {
        {{{0, 0, 2}, {4, 0, 2}, {8, 0, 2}}, D3D_OK, kGreen, kBlue},
        {{{4, 0, 2}, {0, 0, 2}}, D3D_OK, kRed, kMagenta},
        {{{8, 0, 2}, {4, 0, 0}}, D3D_OK, kMagenta, kBlue},  // an empty range draws nothing
        {{{0, 3, 1}}, D3D_OK, kMagenta, kMagenta},          // the second triangle misses (6, 1)
        {{{8, 0, 2}, {0, 3, 2}}, D3DERR_INVALIDCALL, kMagenta, kMagenta},
    };
    device->SetVertexShader(kScreenFvf);
    device->SetStreamSource(0, vertices, sizeof(ScreenVertex));
    device->SetIndices(indexBuffer, 0);
    for (const Case& c : cases) {
        ClearTo(kMagenta);
        D3D8TestClearCallCounts(device);
        EXPECT_EQ(D3D8DrawIndexedRanges(device, D3DPT_TRIANGLELIST, c.ranges.data(), UINT(c.ranges.size())), c.result);
        EXPECT_EQ(D3D8TestCallCounts(device).drawIndexedPrimitive, c.result == D3D_OK ? c.ranges.size() : 0u);
        const Pixels pixels = Read();
        EXPECT_EQ(pixels.At(6, 1), c.left) << c.ranges.size() << " ranges from base " << c.ranges[0].baseVertex;
        EXPECT_EQ(pixels.At(36, 4), c.right) << c.ranges.size() << " ranges from base " << c.ranges[0].baseVertex;
    }
    device->SetIndices(nullptr, 0);
    EXPECT_EQ(D3D8DrawIndexedRanges(device, D3DPT_TRIANGLELIST, cases[0].ranges.data(), 1), D3DERR_INVALIDCALL);
    vertices->Release();
    indexBuffer->Release();
}

TEST_F(DevicePixels, DepthTestKeepsTheNearerOrEqualByDefault)
{
    DrawScreenQuad(device, 0, 0, 32, 32, kRed, 0.5f);
    DrawScreenQuad(device, 0, 0, 16, 32, kGreen, 0.5f);  // equal depth passes less-or-equal
    DrawScreenQuad(device, 0, 0, 32, 16, kBlue, 0.7f);   // farther: fails
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    DrawScreenQuad(device, 16, 16, 32, 32, kBlue, 0.2f);  // nearer, drawn without writing depth
    DrawScreenQuad(device, 16, 16, 32, 32, kGreen, 0.4f);
    const Pixels pixels = Read();
    EXPECT_EQ(pixels.At(4, 20), kGreen);
    EXPECT_EQ(pixels.At(20, 4), kRed);
    EXPECT_EQ(pixels.At(4, 4), kGreen);
    EXPECT_EQ(pixels.At(20, 20), kGreen);
}

TEST_F(DevicePixels, AlphaTestDiscardsAndBlendingMixes)
{
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    device->SetRenderState(D3DRS_ALPHAREF, 0x80);
    DrawScreenQuad(device, 0, 0, 8, 8, 0x80FF0000u);   // alpha 0x80 is not greater: discarded
    DrawScreenQuad(device, 8, 0, 16, 8, 0x81FF0000u);  // drawn
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    DrawScreenQuad(device, 0, 16, 8, 24, 0x40FFFFFFu);  // a quarter of white over magenta
    const Pixels pixels = Read();
    EXPECT_EQ(pixels.At(4, 4), kMagenta);
    EXPECT_EQ(pixels.At(12, 4), kRed);
    EXPECT_TRUE(ColourNear(pixels.At(4, 20), 0xFFFF40FFu));
}

TEST_F(DevicePixels, StencilOperationsWrapOrSaturate)
{
    struct Case {
        DWORD clearValue;
        D3DSTENCILOP op;
        DWORD expected;
    };
    const Case cases[] = {
        {255, D3DSTENCILOP_INCR, 0},       {0, D3DSTENCILOP_DECR, 255},  {255, D3DSTENCILOP_INCRSAT, 255},
        {0, D3DSTENCILOP_DECRSAT, 0},      {7, D3DSTENCILOP_REPLACE, 3}, {7, D3DSTENCILOP_ZERO, 0},
        {0x0F, D3DSTENCILOP_INVERT, 0xF0}, {9, D3DSTENCILOP_KEEP, 9},
    };
    device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.op);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_STENCIL, kMagenta, 1.0f, c.clearValue);
        device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
        device->SetRenderState(D3DRS_STENCILREF, 3);
        device->SetRenderState(D3DRS_STENCILPASS, c.op);
        DrawScreenQuad(device, 0, 0, 16, 16, kRed);
        // Green lands only where the stencil now holds the expected value.
        device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
        device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
        device->SetRenderState(D3DRS_STENCILREF, c.expected);
        DrawScreenQuad(device, 0, 0, 32, 32, kGreen);
        const Pixels pixels = Read();
        EXPECT_EQ(pixels.At(8, 8), kGreen);
        EXPECT_EQ(pixels.At(24, 24), c.clearValue == c.expected ? kGreen : kMagenta);
    }
}

TEST_F(DevicePixels, ColourOperationsCombineTheirArguments)
{
    struct Case {
        D3DTEXTUREOP op;
        DWORD expected;  // 0xRRGGBB
    };
    // Diffuse (0x40, 0x80, 0xC0) with alpha 0x80 as argument 1, the texture factor (0x80, 0x40, 0x20)
    // with alpha 0xFF as argument 2 and as argument 0.
    const Case cases[] = {
        {D3DTOP_SELECTARG1, 0x4080C0u},
        {D3DTOP_SELECTARG2, 0x804020u},
        {D3DTOP_MODULATE, 0x202018u},
        {D3DTOP_MODULATE2X, 0x404030u},
        {D3DTOP_MODULATE4X, 0x818160u},
        {D3DTOP_ADD, 0xC0C0E0u},
        {D3DTOP_ADDSIGNED, 0x404060u},
        {D3DTOP_ADDSIGNED2X, 0x8181C1u},
        {D3DTOP_SUBTRACT, 0x0040A0u},
        {D3DTOP_ADDSMOOTH, 0xA0A0C8u},
        {D3DTOP_BLENDDIFFUSEALPHA, 0x606070u},
        {D3DTOP_BLENDFACTORALPHA, 0x4080C0u},
        {D3DTOP_BLENDCURRENTALPHA, 0x606070u},
        {D3DTOP_MODULATEALPHA_ADDCOLOR, 0x80A0D0u},
        {D3DTOP_MODULATECOLOR_ADDALPHA, 0xA0A098u},
        {D3DTOP_MODULATEINVALPHA_ADDCOLOR, 0x80A0D0u},
        {D3DTOP_MODULATEINVCOLOR_ADDALPHA, 0xE0A088u},
        {D3DTOP_MULTIPLYADD, 0xA06038u},
        {D3DTOP_LERP, 0x605034u},
    };
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF804020u);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    device->SetTextureStageState(0, D3DTSS_COLORARG0, D3DTA_TFACTOR);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.op);
        device->SetTextureStageState(0, D3DTSS_COLOROP, c.op);
        DrawScreenQuad(device, 0, 0, 8, 8, 0x804080C0u);
        EXPECT_TRUE(ColourNear(Read().At(4, 4), 0xFF000000u | c.expected));
    }
}

TEST_F(DevicePixels, TwoStagesModulateTheirTextures)
{
    // Stage 0 shows a 2 x 2 texture, stage 1 multiplies it by a second one; an unbound stage
    // reads opaque white.
    IDirect3DTexture8* first = MakeTexture(2, 2, {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu});
    IDirect3DTexture8* second = MakeTexture(1, 1, {0xFF808080u});
    device->SetTexture(0, first);
    device->SetTexture(1, second);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    DrawScreenQuad(device, 0, 0, 32, 32, 0xFFFFFFFFu);
    device->SetTexture(1, nullptr);
    DrawScreenQuad(device, 32, 0, 64, 32, 0xFFFFFFFFu);
    const Pixels pixels = Read();
    EXPECT_TRUE(ColourNear(pixels.At(8, 8), 0xFF800000u));
    EXPECT_TRUE(ColourNear(pixels.At(24, 8), 0xFF008000u));
    EXPECT_TRUE(ColourNear(pixels.At(8, 24), 0xFF000080u));
    EXPECT_TRUE(ColourNear(pixels.At(24, 24), 0xFF808080u));
    EXPECT_EQ(pixels.At(40, 8), kRed);
    EXPECT_EQ(pixels.At(56, 24), 0xFFFFFFFFu);
    first->Release();
    second->Release();
}

TEST_F(DevicePixels, CullingFollowsTheWindingOnScreen)
{
    struct Case {
        D3DCULL mode;
        bool clockwiseDrawn, counterClockwiseDrawn;
    };
    const Case cases[] = {{D3DCULL_CCW, true, false}, {D3DCULL_CW, false, true}, {D3DCULL_NONE, true, true}};
    // Clockwise as seen: top-left, top-right, bottom-left (y grows downwards).
    const ScreenVertex clockwise[3] = {
        {0, 0, 0.5f, 1, kRed, 0, 0}, {20, 0, 0.5f, 1, kRed, 0, 0}, {0, 20, 0.5f, 1, kRed, 0, 0}};
    const ScreenVertex counterClockwise[3] = {
        {30, 0, 0.5f, 1, kGreen, 0, 0}, {30, 20, 0.5f, 1, kGreen, 0, 0}, {50, 0, 0.5f, 1, kGreen, 0, 0}};
    device->SetVertexShader(kScreenFvf);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ClearTo(kMagenta);
        device->SetRenderState(D3DRS_CULLMODE, c.mode);
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, sizeof(ScreenVertex));
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counterClockwise, sizeof(ScreenVertex));
        const Pixels pixels = Read();
        EXPECT_EQ(pixels.At(4, 4), c.clockwiseDrawn ? kRed : kMagenta);
        EXPECT_EQ(pixels.At(34, 4), c.counterClockwiseDrawn ? kGreen : kMagenta);
    }
}

TEST_F(DevicePixels, PerspectiveQuadLandsWhereTheProjectionPutsIt)
{
    D3DXMATRIX view, projection, world;
    const D3DXVECTOR3 eye(0.0f, 0.0f, -5.0f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2.0f, float(kWidth) / float(kHeight), 1.0f, 100.0f);
    D3DXMatrixIdentity(&world);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    // An off-centre quad above and right of the view axis.
    struct Vertex {
        float x, y, z;
        DWORD colour;
    };
    const Vertex quad[4] = {
        {0.5f, 0.5f, 0.0f, kGreen}, {3.0f, 0.5f, 0.0f, kGreen}, {3.0f, 2.5f, 0.0f, kGreen}, {0.5f, 2.5f, 0.0f, kGreen}};
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(Vertex)), D3D_OK);

    const D3DVIEWPORT8 viewport = {0, 0, kWidth, kHeight, 0.0f, 1.0f};
    D3DXVECTOR3 low, high;
    const D3DXVECTOR3 bottomLeft(0.5f, 0.5f, 0.0f), topRight(3.0f, 2.5f, 0.0f);
    D3DXVec3Project(&low, &bottomLeft, &viewport, &projection, &view, &world);
    D3DXVec3Project(&high, &topRight, &viewport, &projection, &view, &world);
    ASSERT_LT(high.y, low.y);  // up in the world is up on the screen: smaller rows
    const Pixels pixels = Read();
    const int left = int(std::lround(low.x)), right = int(std::lround(high.x));
    const int top = int(std::lround(high.y)), bottom = int(std::lround(low.y));
    EXPECT_EQ(pixels.At((left + right) / 2, (top + bottom) / 2), kGreen);
    EXPECT_EQ(pixels.At(left + 1, top + 1), kGreen);
    EXPECT_EQ(pixels.At(right - 2, bottom - 2), kGreen);
    EXPECT_EQ(pixels.At(left - 2, (top + bottom) / 2), kMagenta);
    EXPECT_EQ(pixels.At(right + 1, (top + bottom) / 2), kMagenta);
    EXPECT_EQ(pixels.At((left + right) / 2, top - 2), kMagenta);
    EXPECT_EQ(pixels.At((left + right) / 2, bottom + 1), kMagenta);
}

TEST_F(DevicePixels, DirectionalLightShadesTheMaterial)
{
    struct Case {
        float angle;  // between the light and the surface normal
        DWORD expected;
    };
    const Case cases[] = {{0.0f, 0xFFFF9050u}, {D3DX_PI / 3.0f, 0xFF905030u}, {D3DX_PI * 0.6f, 0xFF101010u}};
    // Identity transforms: the vertices are already in clip space, facing the viewer (-z).
    struct Vertex {
        float x, y, z, nx, ny, nz;
    };
    const Vertex quad[4] = {
        {-1, 1, 0.5f, 0, 0, -1}, {1, 1, 0.5f, 0, 0, -1}, {1, -1, 0.5f, 0, 0, -1}, {-1, -1, 0.5f, 0, 0, -1}};
    D3DMATERIAL8 material = {};
    material.Diffuse = {1.0f, 0.5f, 0.25f, 1.0f};
    material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    device->SetMaterial(&material);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF101010u);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        D3DLIGHT8 light = {};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
        light.Direction = {std::sin(c.angle), 0.0f, std::cos(c.angle)};
        device->SetLight(0, &light);
        device->LightEnable(0, TRUE);
        device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(Vertex));
        // Emissive 0, plus ambient 0x10, plus the diffuse colour x cos(angle); clamped per channel.
        EXPECT_TRUE(ColourNear(Read().At(32, 24), c.expected, 2));
    }
}

TEST_F(DevicePixels, FogMixesTowardsTheFogColour)
{
    struct Vertex {
        float x, y, z;
        DWORD colour;
    };
    // Identity transforms: camera-space depth 0.5, clip w 1.
    const Vertex quad[4] = {{-1, 1, 0.5f, kRed}, {1, 1, 0.5f, kRed}, {1, -1, 0.5f, kRed}, {-1, -1, 0.5f, kRed}};
    const DWORD start = 0x00000000u, end = 0x3F800000u;  // 0.0f and 1.0f
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGCOLOR, kBlue);
    device->SetRenderState(D3DRS_FOGSTART, start);
    device->SetRenderState(D3DRS_FOGEND, end);
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);

    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);  // half way at depth 0.5
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(Vertex));
    EXPECT_TRUE(ColourNear(Read().At(32, 24), 0xFF800080u, 2));

    // Per pixel: the identity projection is affine, so the depth is the device z of 0.5, not w.
    device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(Vertex));
    EXPECT_TRUE(ColourNear(Read().At(32, 24), 0xFF800080u, 2));
}

TEST_F(DevicePixels, TextureTransformMovesTwoDimensionalCoordinates)
{
    IDirect3DTexture8* texture = MakeTexture(2, 1, {kRed, kGreen});
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    struct Vertex {
        float x, y, z, u, v;
    };
    const Vertex quad[4] = {{-1, 1, 0.5f, 0, 0}, {1, 1, 0.5f, 1, 0}, {1, -1, 0.5f, 1, 1}, {-1, -1, 0.5f, 0, 1}};
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_TEX1);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(Vertex));
    Pixels pixels = Read();
    EXPECT_EQ(pixels.At(8, 24), kRed);
    EXPECT_EQ(pixels.At(56, 24), kGreen);

    // A 2D set is moved by the matrix's third row.
    D3DXMATRIX shift;
    D3DXMatrixIdentity(&shift);
    shift._31 = 0.5f;
    device->SetTransform(D3DTS_TEXTURE0, &shift);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(Vertex));
    pixels = Read();
    EXPECT_EQ(pixels.At(8, 24), kGreen);
    EXPECT_EQ(pixels.At(56, 24), kRed);
    texture->Release();
}

TEST_F(DevicePixels, RenderTargetTextureKeepsRowZeroAtTheTop)
{
    IDirect3DTexture8* target = nullptr;
    ASSERT_EQ(device->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT, &target), D3D_OK);
    IDirect3DSurface8* surface = nullptr;
    IDirect3DSurface8* backBuffer = nullptr;
    IDirect3DSurface8* depth = nullptr;
    target->GetSurfaceLevel(0, &surface);
    device->GetRenderTarget(&backBuffer);
    device->GetDepthStencilSurface(&depth);
    D3DVIEWPORT8 small = {2, 2, 8, 8, 0.0f, 1.0f};
    device->SetViewport(&small);

    ASSERT_EQ(device->SetRenderTarget(surface, nullptr), D3D_OK);
    D3DVIEWPORT8 viewport;
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 32u);  // a new target gets a viewport over all of it
    EXPECT_EQ(viewport.Height, 32u);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kRed, 1.0f, 0);
    DrawScreenQuad(device, 0, 0, 16, 8, kGreen);
    const Pixels texels = ReadSurface(surface);
    EXPECT_EQ(texels.At(2, 2), kGreen);
    EXPECT_EQ(texels.At(2, 20), kRed);
    EXPECT_EQ(texels.At(20, 2), kRed);

    // Sampled over the whole back buffer, the top-left corner stays on top.
    ASSERT_EQ(device->SetRenderTarget(backBuffer, depth), D3D_OK);
    device->SetTexture(0, target);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    DrawScreenQuad(device, 0, 0, kWidth, kHeight, 0xFFFFFFFFu);
    const Pixels pixels = Read();
    EXPECT_EQ(pixels.At(4, 3), kGreen);
    EXPECT_EQ(pixels.At(4, 40), kRed);
    device->SetTexture(0, nullptr);
    surface->Release();
    backBuffer->Release();
    depth->Release();
    target->Release();
}

}  // namespace
