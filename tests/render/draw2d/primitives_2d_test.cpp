// Screen-space primitives read back from the offscreen device: texel-exact quads, corner colours
// and texture rectangles, corner brackets, edge arrows and the logo frame.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/camera.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/state_cache.h"
#include "render/textures/texture_manager.h"
#include "render/textures/texture_preload.h"
#include "tests/render/texture_test_support.h"

using namespace render_test;

namespace {

constexpr DWORD kBlack = 0xFF000000u;
constexpr float kPi = 3.14159265f;

class Primitives2D : public texture_test::TextureTest {
protected:
    void SetUp() override
    {
        texture_test::TextureTest::SetUp();
        RenderSetClearColor(0);
        ASSERT_EQ(RenderBeginFrame(), 0);
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
        RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
        RenderSetState(D3DRS_ZENABLE, FALSE);
        RenderSetState(D3DRS_LIGHTING, FALSE);
    }
    void TearDown() override
    {
        RenderSetTexture(0, nullptr);
        for (IDirect3DTexture8* texture : m_textures)
            texture->Release();
        RenderEndFrame(false);
        texture_test::TextureTest::TearDown();
    }

    // A texture of distinct texels: texel (x, y) is 0xFF000000 | x << 20 | y << 12 | 0x40 scaled up.
    IDirect3DTexture8* NumberedTexture(UINT width, UINT height)
    {
        IDirect3DTexture8* texture = nullptr;
        EXPECT_EQ(Device()->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
        D3DLOCKED_RECT locked;
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < height; ++y)
            for (UINT x = 0; x < width; ++x)
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = Texel(x, y);
        texture->UnlockRect(0);
        m_textures.push_back(texture);
        return texture;
    }
    static DWORD Texel(UINT x, UINT y) { return 0xFF000000u | (x * 0x30 + 0x10) << 16 | (y * 0x30 + 0x10) << 8 | 0x80; }

    IDirect3DTexture8* White() { return texture_test::SolidTexture(Device(), 2, 2, 1, 0xFFFFFFFFu); }

    std::vector<IDirect3DTexture8*> m_textures;
};

TEST_F(Primitives2D, QuadSamplesEachTexelOnItsPixelAndCoversExactlyItsRectangle)
{
    RenderSetTexture(0, NumberedTexture(4, 4));
    Draw2DQuad(8, 12, 6, 10);   // one pixel a texel
    Draw2DQuad(20, 28, 6, 14);  // two pixels a texel
    const Pixels pixels = ReadBackBuffer(Device());
    for (UINT y = 0; y < 4; ++y)
        for (UINT x = 0; x < 4; ++x)
            EXPECT_EQ(pixels.At(8 + x, 6 + y), Texel(x, y)) << x << ", " << y;
    for (UINT y = 0; y < 8; ++y)
        for (UINT x = 0; x < 8; ++x)
            EXPECT_EQ(pixels.At(20 + x, 6 + y), Texel(x / 2, y / 2)) << x << ", " << y;
    for (UINT i = 0; i < 4; ++i) {
        EXPECT_EQ(pixels.At(7, 6 + i), kBlack);
        EXPECT_EQ(pixels.At(12, 6 + i), kBlack);
        EXPECT_EQ(pixels.At(8 + i, 5), kBlack);
        EXPECT_EQ(pixels.At(8 + i, 10), kBlack);
    }
}

TEST_F(Primitives2D, FullScreenQuadCoversEveryPixel)
{
    m_textures.push_back(White());
    RenderSetTexture(0, m_textures.back());
    Draw2DQuad(0, kWidth, 0, kHeight);
    const Pixels pixels = ReadBackBuffer(Device());
    for (DWORD word : pixels.words)
        ASSERT_EQ(word, 0xFFFFFFFFu);
}

TEST_F(Primitives2D, QuadExTakesCornerColoursClockwiseAndATextureRectangle)
{
    RenderSetTexture(0, NumberedTexture(4, 4));
    // The lower-right quarter of the texture, white corners: texel (2, 2) on the first pixel.
    Draw2DQuadEx(2, 4, 2, 4, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0.5f, 0.5f, 1.0f, 1.0f);
    m_textures.push_back(White());
    RenderSetTexture(0, m_textures.back());
    Draw2DQuadEx(10, 50, 4, 44, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu, 0.0f, 0.0f, 1.0f, 1.0f);
    const Pixels pixels = ReadBackBuffer(Device());
    EXPECT_EQ(pixels.At(2, 2), Texel(2, 2));
    EXPECT_EQ(pixels.At(3, 3), Texel(3, 3));
    EXPECT_TRUE(ColourNear(pixels.At(10, 4), 0xFFFF0000u, 16));   // c0 top-left
    EXPECT_TRUE(ColourNear(pixels.At(49, 4), 0xFF00FF00u, 16));   // c1 top-right
    EXPECT_TRUE(ColourNear(pixels.At(49, 43), 0xFF0000FFu, 16));  // c2 bottom-right
    EXPECT_TRUE(ColourNear(pixels.At(10, 43), 0xFFFFFFFFu, 16));  // c3 bottom-left
}

TEST_F(Primitives2D, CornerBracketArmsAreAQuarterOfTheSideAndAtLeastTwo)
{
    const struct {
        int cx, cy, half, arm;
    } cases[] = {{16, 12, 4, 2}, {40, 24, 16, 4}};
    for (const auto& c : cases)
        Draw2DCornerBrackets(c.cx, c.cy, c.half, c.half, 0xFFFF0000u);
    const Pixels pixels = ReadBackBuffer(Device());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.half);
        for (int corner = 0; corner < 4; ++corner) {
            const int x = (corner & 1) ? c.cx + c.half : c.cx - c.half;
            const int y = (corner >> 1) ? c.cy + c.half : c.cy - c.half;
            const int sx = (corner & 1) ? -1 : 1, sy = (corner >> 1) ? -1 : 1;
            // Along each arm from the corner, and nothing just past its end or inside the corner.
            EXPECT_EQ(pixels.At(UINT(x + sx * (c.arm - 1)), UINT(y)), 0xFFFF0000u) << corner;
            EXPECT_EQ(pixels.At(UINT(x), UINT(y + sy * (c.arm - 1))), 0xFFFF0000u) << corner;
            EXPECT_EQ(pixels.At(UINT(x + sx * (c.arm + 1)), UINT(y)), kBlack) << corner;
            EXPECT_EQ(pixels.At(UINT(x), UINT(y + sy * (c.arm + 1))), kBlack) << corner;
            EXPECT_EQ(pixels.At(UINT(x + sx), UINT(y + sy)), kBlack) << corner;
        }
    }
}

TEST_F(Primitives2D, EdgeArrowPointsOutOfTheBorderItTouches)
{
    const u32_t W = 640, H = 480;
    const struct {
        u32_t x, y;
        float angle;
        u32_t cx, cy;
    } cases[] = {
        {0, 0, -kPi / 4, 10, 10},         {W, 0, kPi / 4, W - 10, 10}, {W, H, 3 * kPi / 4, W - 10, H - 10},
        {0, H, -3 * kPi / 4, 10, H - 10}, {300, 0, 0.0f, 300, 10},     {W, 200, kPi / 2, W - 10, 200},
        {300, H, kPi, 300, H - 10},       {0, 200, -kPi / 2, 10, 200}, {300, 200, -kPi / 2, 300, 200},
    };
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(EdgeArrowAngle(c.x, c.y, W, H), c.angle) << c.x << ", " << c.y;
        u32_t x = c.x, y = c.y;
        EdgeArrowCentre(&x, &y, 21, W, H);  // halved to 10
        EXPECT_EQ(x, c.cx);
        EXPECT_EQ(y, c.cy);
    }

    // Drawn at the bottom-right corner of the view: inside, tip towards the corner.
    ASSERT_EQ(g_camera.viewWidth, u32_t(kWidth));
    ASSERT_EQ(g_camera.viewHeight, u32_t(kHeight));
    Draw2DEdgeArrow(kWidth, kHeight, 20, 0xFF00FF00u);
    const Pixels pixels = ReadBackBuffer(Device());
    const UINT cx = kWidth - 10, cy = kHeight - 10;
    EXPECT_EQ(pixels.At(cx, cy), 0xFF00FF00u);
    EXPECT_EQ(pixels.At(cx + 5, cy + 5), 0xFF00FF00u);
    EXPECT_EQ(pixels.At(cx - 6, cy - 6), kBlack);
}

TEST_F(Primitives2D, ModeChangeShowsTheLogoInTheCornerOnBlack)
{
    RenderEndFrame(false);
    // Without a logo no frame is shown.
    const UINT presents = Counts().present;
    RenderShowLogoFrame();
    EXPECT_EQ(Counts().present, presents);

    ASSERT_TRUE(texture_test::WriteTga("component/gui/logo.tga", 128, 128, 0xFFFF0000u));
    RenderSetClearColor(0x00FFFFFFu);
    ASSERT_EQ(RenderSetDisplayMode(320, 240, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    ASSERT_NE(g_preloadedTextures.guiLogo, nullptr);
    EXPECT_EQ(Counts().present, 1u);  // the new device's first frame
    EXPECT_EQ(g_render.clearColor, 0u);
    const Pixels pixels = ReadBackBuffer(Device());
    EXPECT_EQ(pixels.At(192, 112), 0xFFFF0000u);
    EXPECT_EQ(pixels.At(319, 239), 0xFFFF0000u);
    EXPECT_EQ(pixels.At(191, 239), kBlack);
    EXPECT_EQ(pixels.At(319, 111), kBlack);

    // Another mode: the registered logo belongs to the old device until the textures are recreated.
    ASSERT_EQ(RenderSetDisplayMode(320, 240, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    EXPECT_EQ(Counts().present, 0u);
    TexturesRecreate();
    RenderShowLogoFrame();
    EXPECT_EQ(Counts().present, 1u);
    EXPECT_EQ(ReadBackBuffer(Device()).At(319, 239), 0xFFFF0000u);
    ASSERT_EQ(RenderBeginFrame(), 0);  // for the fixture's frame end
}

}  // namespace
