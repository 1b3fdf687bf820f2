// Surface loads between formats and sizes, rectangles placed into compressed levels (the atlas),
// box-filtered mip chains, and the locks of textures that keep no CPU copy.
#include <cstring>

#include "core/random.h"
#include "tests/platform/d3dx_texture_fixture.h"

using namespace d3dx_test;

namespace {

ArgbImage Solid(UINT width, UINT height, DWORD colour)
{
    ArgbImage image;
    image.Resize(width, height);
    std::fill(image.pixels.begin(), image.pixels.end(), colour);
    return image;
}

class D3dxSurfaceLoad : public DeviceTest {
protected:
    // A managed texture of the format filled from image with the filter.
    IDirect3DTexture8* Converted(const ArgbImage& image, D3DFORMAT format, UINT width, UINT height, DWORD filter,
                                 UINT levels = 1)
    {
        IDirect3DTexture8* texture = nullptr;
        if (FAILED(device->CreateTexture(width, height, levels, 0, format, D3DPOOL_MANAGED, &texture)))
            return nullptr;
        Released<IDirect3DSurface8> source, level;
        source.object = ImageSurface(device, image);
        texture->GetSurfaceLevel(0, &level);
        if (FAILED(D3DXLoadSurfaceFromSurface(level, nullptr, nullptr, source, nullptr, nullptr, filter, 0))) {
            texture->Release();
            return nullptr;
        }
        return texture;
    }
    // Copies image into rect of level 0.
    HRESULT Place(IDirect3DTexture8* texture, const ArgbImage& image, RECT rect)
    {
        Released<IDirect3DSurface8> source, level;
        source.object = ImageSurface(device, image);
        texture->GetSurfaceLevel(0, &level);
        return D3DXLoadSurfaceFromSurface(level, nullptr, &rect, source, nullptr, nullptr, D3DX_DEFAULT, 0);
    }
};

TEST_F(D3dxSurfaceLoad, ConvertsToEachFormatWithDirect3DsBitLayout)
{
    // One texel with a different value in each channel: alpha 0x80, red 0xFF, green 0x80, blue 0x40.
    struct Case {
        const char* name;
        D3DFORMAT format;
        std::vector<BYTE> stored;
        DWORD readBack;
    };
    const Case cases[] = {
        {"X8R8G8B8", D3DFMT_X8R8G8B8, {0x40, 0x80, 0xFF, 0xFF}, 0xFFFF8040u},
        {"R8G8B8", D3DFMT_R8G8B8, {0x40, 0x80, 0xFF}, 0xFFFF8040u},
        {"R5G6B5", D3DFMT_R5G6B5, {0x08, 0xFC}, 0xFFFF8242u},
        {"X1R5G5B5", D3DFMT_X1R5G5B5, {0x08, 0xFE}, 0xFFFF8442u},
        {"A1R5G5B5", D3DFMT_A1R5G5B5, {0x08, 0xFE}, 0xFFFF8442u},
        {"A4R4G4B4", D3DFMT_A4R4G4B4, {0x84, 0x8F}, 0x88FF8844u},
        {"X4R4G4B4", D3DFMT_X4R4G4B4, {0x84, 0xFF}, 0xFFFF8844u},
        {"A8", D3DFMT_A8, {0x80}, 0x80000000u},
        // Luminance weighs red, green and blue as 54, 183 and 19 of 256.
        {"L8", D3DFMT_L8, {0x96}, 0xFF969696u},
        {"A8L8", D3DFMT_A8L8, {0x96, 0x80}, 0x80969696u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Released<IDirect3DTexture8> texture;
        texture.object = Converted(Solid(1, 1, 0x80FF8040u), c.format, 1, 1, D3DX_FILTER_NONE);
        ASSERT_NE(texture.object, nullptr);
        EXPECT_EQ(LevelBytes(texture, 0), c.stored);
        EXPECT_EQ(LevelPixels(texture, 0).pixels[0], c.readBack);
    }
}

TEST_F(D3dxSurfaceLoad, RectanglesLandInACompressedLevelAndKeepTheRest)
{
    // As the texture atlas is built: a DXT3 level filled piece by piece, then filtered down.
    Released<IDirect3DTexture8> atlas;
    atlas.object = Converted(Solid(64, 64, kRed), D3DFMT_DXT3, 64, 64, D3DX_DEFAULT, 0);
    ASSERT_NE(atlas.object, nullptr);
    constexpr DWORD kYellow = 0xFFFFFF00u;
    ASSERT_EQ(Place(atlas, Solid(8, 8, kGreen), {8, 16, 16, 24}), D3D_OK);
    ASSERT_EQ(Place(atlas, Solid(4, 4, kBlue), {60, 60, 64, 64}), D3D_OK);
    // Across four blocks: each is decoded, merged and encoded again.
    ASSERT_EQ(Place(atlas, Solid(4, 4, kYellow), {2, 2, 6, 6}), D3D_OK);
    // A smaller source is resampled to the rectangle.
    ASSERT_EQ(Place(atlas, Solid(2, 2, kWhite), {32, 32, 40, 40}), D3D_OK);

    const ArgbImage level = LevelPixels(atlas, 0);
    struct Probe {
        LONG x, y;
        DWORD colour;
    };
    const Probe probes[] = {{8, 16, kGreen}, {15, 23, kGreen}, {7, 16, kRed},    {16, 23, kRed},
                            {60, 60, kBlue}, {63, 63, kBlue},  {59, 60, kRed},   {2, 2, kYellow},
                            {5, 5, kYellow}, {1, 1, kRed},     {6, 5, kRed},     {5, 6, kRed},
                            {0, 7, kRed},    {32, 32, kWhite}, {39, 39, kWhite}, {40, 39, kRed}};
    for (const Probe& p : probes)
        EXPECT_EQ(level.Row(static_cast<UINT>(p.y))[p.x], p.colour) << p.x << ", " << p.y;

    ASSERT_EQ(D3DXFilterTexture(atlas, nullptr, 0, D3DX_DEFAULT), D3D_OK);
    const ArgbImage half = LevelPixels(atlas, 1);
    EXPECT_EQ(half.Row(8)[4], kGreen);
    EXPECT_EQ(half.Row(30)[30], kBlue);
    EXPECT_EQ(half.Row(20)[20], kRed);
}

TEST_F(D3dxSurfaceLoad, ResamplesWithTheFilterAsked)
{
    ArgbImage ramp;  // red rises along x, green along y
    ramp.Resize(4, 4);
    for (UINT y = 0; y < 4; ++y)
        for (UINT x = 0; x < 4; ++x)
            ramp.Row(y)[x] = 0xFF000000u | (x * 80) << 16 | (y * 40) << 8;
    const auto red = [](DWORD c) { return (c >> 16) & 0xFF; };
    const auto green = [](DWORD c) { return (c >> 8) & 0xFF; };

    Released<IDirect3DTexture8> box, point, none, linear;
    box.object = Converted(ramp, D3DFMT_A8R8G8B8, 2, 2, D3DX_FILTER_BOX);
    point.object = Converted(ramp, D3DFMT_A8R8G8B8, 2, 2, D3DX_FILTER_POINT);
    none.object = Converted(Solid(2, 2, kBlue), D3DFMT_A8R8G8B8, 4, 4, D3DX_FILTER_NONE);
    ArgbImage edge;
    edge.Resize(2, 1);
    edge.pixels = {0xFF000000u, 0xFFFF0000u};
    linear.object = Converted(edge, D3DFMT_A8R8G8B8, 4, 1, D3DX_FILTER_LINEAR);
    ASSERT_TRUE(box.object && point.object && none.object && linear.object);

    // Box: each texel averages the 2 x 2 it covers.
    const ArgbImage boxed = LevelPixels(box, 0);
    EXPECT_EQ(red(boxed.Row(0)[0]), 40u);
    EXPECT_EQ(red(boxed.Row(0)[1]), 200u);
    EXPECT_EQ(green(boxed.Row(1)[0]), 100u);
    // Point: the source texel under each centre.
    const ArgbImage pointed = LevelPixels(point, 0);
    EXPECT_EQ(pointed.Row(0)[0], ramp.Row(1)[1]);
    EXPECT_EQ(pointed.Row(1)[1], ramp.Row(3)[3]);
    // None: copied unscaled; what the source does not cover is transparent black.
    const ArgbImage copied = LevelPixels(none, 0);
    EXPECT_EQ(copied.Row(1)[1], kBlue);
    EXPECT_EQ(copied.Row(1)[2], 0u);
    EXPECT_EQ(copied.Row(3)[0], 0u);
    // Linear: texel centres interpolated, the ends clamped.
    const ArgbImage stretched = LevelPixels(linear, 0);
    EXPECT_EQ(red(stretched.Row(0)[0]), 0u);
    EXPECT_EQ(red(stretched.Row(0)[1]), 64u);
    EXPECT_EQ(red(stretched.Row(0)[2]), 191u);
    EXPECT_EQ(red(stretched.Row(0)[3]), 255u);
}

TEST_F(D3dxSurfaceLoad, FilterTextureAveragesEachTwoByTwoDownTheChain)
{
    ArgbImage random;
    random.Resize(4, 2);
    EngineSRand(11);
    for (DWORD& pixel : random.pixels)
        pixel = static_cast<DWORD>(EngineRand()) << 17 ^ static_cast<DWORD>(EngineRand());
    Released<IDirect3DTexture8> texture;
    texture.object = Converted(random, D3DFMT_A8R8G8B8, 4, 2, D3DX_FILTER_NONE, 0);
    ASSERT_NE(texture.object, nullptr);
    ASSERT_EQ(texture->GetLevelCount(), 3u);
    ASSERT_EQ(D3DXFilterTexture(texture, nullptr, 0, D3DX_FILTER_BOX), D3D_OK);

    const auto average = [](std::initializer_list<DWORD> texels) {
        DWORD out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            DWORD sum = 0;
            for (DWORD t : texels)
                sum += (t >> shift) & 0xFF;
            out |= ((sum + static_cast<DWORD>(texels.size()) / 2) / static_cast<DWORD>(texels.size())) << shift;
        }
        return out;
    };
    const ArgbImage half = LevelPixels(texture, 1);
    const DWORD left = average({random.Row(0)[0], random.Row(0)[1], random.Row(1)[0], random.Row(1)[1]});
    const DWORD right = average({random.Row(0)[2], random.Row(0)[3], random.Row(1)[2], random.Row(1)[3]});
    EXPECT_TRUE(render_test::ColourNear(half.Row(0)[0], left, 0));
    EXPECT_TRUE(render_test::ColourNear(half.Row(0)[1], right, 0));
    EXPECT_TRUE(render_test::ColourNear(LevelPixels(texture, 2).Row(0)[0], average({left, right}), 1));

    EXPECT_EQ(D3DXFilterTexture(texture, nullptr, 3, D3DX_FILTER_BOX), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXFilterTexture(texture, nullptr, 0, 9), D3DERR_INVALIDCALL);
}

class TextureLocks : public DeviceTest {};

TEST_F(TextureLocks, LevelsWithoutACpuCopyReadBackFromTheDevice)
{
    // A default-pool level keeps no copy after its unlock: a later lock reads the device's texels.
    Released<IDirect3DTexture8> texture;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture), D3D_OK);
    D3DLOCKED_RECT locked = {};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT i = 0; i < 64; ++i)
        static_cast<DWORD*>(locked.pBits)[i] = 0xFF000000u | i * 0x010203u;
    texture->UnlockRect(0);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<DWORD*>(locked.pBits)[63], 0xFF000000u | 63 * 0x010203u);
    texture->UnlockRect(0);

    // A compressed level goes up whole: a discarding lock of one block must keep the others.
    Released<IDirect3DTexture8> blocks;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_DXT1, D3DPOOL_DEFAULT, &blocks), D3D_OK);
    ASSERT_EQ(blocks->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT i = 0; i < 32; ++i)
        static_cast<BYTE*>(locked.pBits)[i] = static_cast<BYTE>(i + 1);
    blocks->UnlockRect(0);
    const RECT lastBlock = {4, 4, 8, 8};
    ASSERT_EQ(blocks->LockRect(0, &locked, &lastBlock, D3DLOCK_DISCARD), D3D_OK);
    std::memset(locked.pBits, 0xEE, 8);
    blocks->UnlockRect(0);
    const std::vector<BYTE> bytes = LevelBytes(blocks, 0);
    ASSERT_EQ(bytes.size(), 32u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[23], 24);
    EXPECT_EQ(bytes[24], 0xEE);
}

}  // namespace
