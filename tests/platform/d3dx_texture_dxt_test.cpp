// Block compression: our decoder on hand-made blocks and against the device's own sampling of
// random blocks, and compression round trips through the D3DX surface loads.
#include <algorithm>
#include <cstdlib>

#include "core/random.h"
#include "platform/d3dx/dxt_codec.h"
#include "tests/platform/d3dx_texture_fixture.h"

using namespace d3dx_test;

namespace {

struct BlockCase {
    const char* what;
    D3DFORMAT format;
    BYTE block[16];
    DWORD texels[4];  // texels 0, 5, 10 and 15
};

// Colour endpoints 0xF800 (red) and 0x001F (blue); every row of indices is 0, 1, 2, 3, so the
// checked diagonal shows each index once.
const BlockCase kBlocks[] = {
    {"four colours (c0 > c1)",
     D3DFMT_DXT1,
     {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4},
     {0xFFFF0000u, 0xFF0000FFu, 0xFFAA0055u, 0xFF5500AAu}},
    {"three colours and transparent (c0 <= c1)",
     D3DFMT_DXT1,
     {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xE4, 0xE4, 0xE4},
     {0xFF0000FFu, 0xFFFF0000u, 0xFF7F007Fu, 0x00000000u}},
    // Nibbles F, F, 5, A on the diagonal; the colour block always has four colours here.
    {"explicit alpha nibbles",
     D3DFMT_DXT3,
     {0x0F, 0x00, 0xF0, 0x00, 0x00, 0x05, 0x00, 0xA0, 0xE0, 0x07, 0xE0, 0x07, 0, 0, 0, 0},
     {0xFF00FF00u, 0xFF00FF00u, 0x5500FF00u, 0xAA00FF00u}},
    // a0 = 255, a1 = 3; texel i has alpha index i % 8.
    {"eight interpolated alphas (a0 > a1)",
     D3DFMT_DXT5,
     {0xFF, 0x03, 0x88, 0xC6, 0xFA, 0x88, 0xC6, 0xFA, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0},
     {0xFFFFFFFFu, 0x6FFFFFFFu, 0xDBFFFFFFu, 0x27FFFFFFu}},
    // a0 = 10, a1 = 100; alpha indices 0, 6, 2, 7 on the diagonal.
    {"six interpolated alphas with 0 and 255 (a0 <= a1)",
     D3DFMT_DXT5,
     {0x0A, 0x64, 0x00, 0x00, 0x03, 0x80, 0x00, 0xE0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0},
     {0x0AFFFFFFu, 0x00FFFFFFu, 0x1CFFFFFFu, 0xFFFFFFFFu}},
};

TEST(DxtCodec, DecodesHandMadeBlocks)
{
    for (const BlockCase& c : kBlocks) {
        SCOPED_TRACE(c.what);
        DWORD texels[16];
        DxtDecodeBlock(c.format, c.block, texels);
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(render_test::ColourNear(texels[i * 5], c.texels[i], 1)) << "texel " << i * 5;
    }
}

class DxtDevice : public DeviceTest {
protected:
    // The texture drawn 1:1 over the top left of the back buffer with point sampling.
    render_test::Pixels Draw(IDirect3DTexture8* texture, UINT side, bool alpha)
    {
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        device->SetTexture(0, texture);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE | (alpha ? D3DTA_ALPHAREPLICATE : 0));
        render_test::DrawScreenQuad(device, 0, 0, static_cast<int>(side), static_cast<int>(side), 0xFFFFFFFFu);
        device->SetTexture(0, nullptr);
        device->EndScene();
        return render_test::ReadBackBuffer(device);
    }
};

TEST_F(DxtDevice, DecoderAgreesWithTheDeviceOnRandomBlocks)
{
    constexpr UINT kSide = 32;
    EngineSRand(7);
    for (D3DFORMAT format : {D3DFMT_DXT1, D3DFMT_DXT3, D3DFMT_DXT5}) {
        SCOPED_TRACE(format == D3DFMT_DXT1 ? "DXT1" : format == D3DFMT_DXT3 ? "DXT3" : "DXT5");
        Released<IDirect3DTexture8> texture;
        ASSERT_EQ(device->CreateTexture(kSide, kSide, 1, 0, format, D3DPOOL_MANAGED, &texture), D3D_OK);
        D3DLOCKED_RECT locked = {};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        const UINT bytes = PixelRowPitch(format, kSide) * PixelRowCount(format, kSide);
        BYTE* blocks = static_cast<BYTE*>(locked.pBits);
        for (UINT i = 0; i < bytes; ++i)
            blocks[i] = static_cast<BYTE>(EngineRand());
        std::vector<DWORD> decoded(kSide * kSide);
        DxtDecodeImage(format, blocks, static_cast<UINT>(locked.Pitch), kSide, kSide, decoded.data(), kSide);
        texture->UnlockRect(0);

        const render_test::Pixels colour = Draw(texture, kSide, false);
        const render_test::Pixels alpha = Draw(texture, kSide, true);
        int worst = 0;
        for (UINT y = 0; y < kSide; ++y) {
            for (UINT x = 0; x < kSide; ++x) {
                const DWORD ours = decoded[y * kSide + x];
                const DWORD theirs = (colour.At(x, y) & 0x00FFFFFFu) | (alpha.At(x, y) & 0xFFu) << 24;
                for (int shift = 0; shift < 32; shift += 8)
                    worst = std::max(worst, std::abs(static_cast<int>((ours >> shift) & 0xFF) -
                                                     static_cast<int>((theirs >> shift) & 0xFF)));
            }
        }
        // Decoders round the interpolated colours their own way: one unit at most.
        EXPECT_LE(worst, 1);
    }
}

// The largest channel difference over two images.
int LargestError(const ArgbImage& a, const ArgbImage& b, int shiftFrom, int shiftTo)
{
    int worst = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        for (int shift = shiftFrom; shift <= shiftTo; shift += 8)
            worst = std::max(worst, std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) -
                                             static_cast<int>((b.pixels[i] >> shift) & 0xFF)));
    }
    return worst;
}

TEST_F(DxtDevice, RoundTripsStayWithinTheirTolerance)
{
    // Smooth colour ramps with an alpha ramp; DXT1 gets a cut-out instead (alpha 0 or 255).
    constexpr UINT kSide = 64;
    ArgbImage smooth, cutout;
    smooth.Resize(kSide, kSide);
    cutout.Resize(kSide, kSide);
    for (UINT y = 0; y < kSide; ++y) {
        for (UINT x = 0; x < kSide; ++x) {
            const DWORD r = x * 4, g = y * 4, b = 255 - (x + y) * 2, a = (x * 3 + y) & 0xFF;
            smooth.Row(y)[x] = a << 24 | r << 16 | g << 8 | b;
            cutout.Row(y)[x] = ((x / 4 + y / 4) % 3 == 0 ? 0u : 0xFF000000u) | r << 16 | g << 8 | b;
        }
    }
    struct Case {
        D3DFORMAT format;
        const ArgbImage* source;
        int colourTolerance, alphaTolerance;
    };
    // Colours: 5-6-5 endpoints and two interpolated steps between them. Alpha: DXT3 keeps 4 bits
    // (half a step: 9); DXT5 spreads 8 levels over each block's range; DXT1 alpha is exact.
    const Case cases[] = {
        {D3DFMT_DXT1, &cutout, 12, 0},
        {D3DFMT_DXT3, &smooth, 12, 9},
        {D3DFMT_DXT5, &smooth, 12, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format == D3DFMT_DXT1 ? "DXT1" : c.format == D3DFMT_DXT3 ? "DXT3" : "DXT5");
        Released<IDirect3DSurface8> source;
        source.object = ImageSurface(device, *c.source);
        ASSERT_NE(source.object, nullptr);
        Released<IDirect3DTexture8> compressed;
        ASSERT_EQ(device->CreateTexture(kSide, kSide, 1, 0, c.format, D3DPOOL_MANAGED, &compressed), D3D_OK);
        Released<IDirect3DSurface8> level;
        ASSERT_EQ(compressed->GetSurfaceLevel(0, &level), D3D_OK);
        ASSERT_EQ(D3DXLoadSurfaceFromSurface(level, nullptr, nullptr, source, nullptr, nullptr, D3DX_FILTER_NONE, 0),
                  D3D_OK);
        // Back to A8R8G8B8 the way the engine converts, then compared.
        Released<IDirect3DTexture8> back;
        ASSERT_EQ(device->CreateTexture(kSide, kSide, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &back), D3D_OK);
        Released<IDirect3DSurface8> backLevel;
        ASSERT_EQ(back->GetSurfaceLevel(0, &backLevel), D3D_OK);
        ASSERT_EQ(D3DXLoadSurfaceFromSurface(backLevel, nullptr, nullptr, level, nullptr, nullptr, D3DX_FILTER_NONE, 0),
                  D3D_OK);
        const ArgbImage result = SurfacePixels(backLevel);
        ArgbImage expected = *c.source;
        if (c.format == D3DFMT_DXT1) {
            // Transparent texels come back transparent black.
            for (DWORD& pixel : expected.pixels)
                pixel = (pixel >> 24) ? pixel : 0;
        }
        EXPECT_LE(LargestError(result, expected, 0, 16), c.colourTolerance);
        EXPECT_LE(LargestError(result, expected, 24, 24), c.alphaTolerance);
    }
}

}  // namespace
