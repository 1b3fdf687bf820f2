// Textures made from image files as the texture manager asks for them: the file's size, format
// and levels reported, the texture's format and full chain, the pixels, and DDS levels as stored.
#include <cstring>

#include "platform/gl/d3d8_formats.h"
#include "tests/platform/d3dx_texture_fixture.h"

using namespace d3dx_test;

namespace {

struct FixtureCase {
    const char* file;
    UINT width, height, fileLevels;
    D3DFORMAT fileFormat;
    D3DXIMAGE_FILEFORMAT kind;
    D3DFORMAT textureFormat;
    DWORD quadrants[4];  // top left, top right, bottom left, bottom right
    int tolerance;
};

const FixtureCase kFixtures[] = {
    {"quad.png", 8, 8, 1, D3DFMT_A8R8G8B8, D3DXIFF_PNG, D3DFMT_A8R8G8B8, {kRed, kGreen, kBlue, kClearWhite}, 0},
    {"quad.tga", 8, 8, 1, D3DFMT_A8R8G8B8, D3DXIFF_TGA, D3DFMT_A8R8G8B8, {kRed, kGreen, kBlue, kClearWhite}, 0},
    {"quad_rle.tga", 8, 8, 1, D3DFMT_A8R8G8B8, D3DXIFF_TGA, D3DFMT_A8R8G8B8, {kRed, kGreen, kBlue, kClearWhite}, 0},
    // 6 x 4 at 24 bits: rows padded to 20 bytes.
    {"quad.bmp", 6, 4, 1, D3DFMT_R8G8B8, D3DXIFF_BMP, D3DFMT_X8R8G8B8, {kRed, kGreen, kBlue, kWhite}, 0},
    {"quad.jpg", 16, 16, 1, D3DFMT_X8R8G8B8, D3DXIFF_JPG, D3DFMT_X8R8G8B8, {kRed, kGreen, kBlue, kWhite}, 6},
    {"quad_dxt1.dds", 8, 8, 4, D3DFMT_DXT1, D3DXIFF_DDS, D3DFMT_DXT1, {kRed, kGreen, kBlue, kWhite}, 0},
    {"quad_dxt3.dds", 8, 8, 4, D3DFMT_DXT3, D3DXIFF_DDS, D3DFMT_DXT3, {kRed, kGreen, kBlue, kClearWhite}, 0},
    {"quad_dxt5.dds", 8, 8, 4, D3DFMT_DXT5, D3DXIFF_DDS, D3DFMT_DXT5, {kRed, kGreen, kBlue, kClearWhite}, 0},
    {"quad_argb.dds", 8, 8, 4, D3DFMT_A8R8G8B8, D3DXIFF_DDS, D3DFMT_A8R8G8B8, {kRed, kGreen, kBlue, kClearWhite}, 0},
};

class D3dxTextureLoad : public DeviceTest {};

TEST_F(D3dxTextureLoad, EachFixtureGivesItsSizeFormatLevelsAndPixels)
{
    for (const FixtureCase& fixture : kFixtures) {
        SCOPED_TRACE(fixture.file);
        const std::string path = FixturePath(fixture.file);
        D3DXIMAGE_INFO header = {};
        ASSERT_EQ(D3DXGetImageInfoFromFileA(path.c_str(), &header), D3D_OK);
        D3DXIMAGE_INFO info = {};
        Released<IDirect3DTexture8> texture;
        // As the texture manager loads: the file's size and format, every level, managed.
        ASSERT_EQ(D3DXCreateTextureFromFileExA(device, path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 0, 0, D3DFMT_UNKNOWN,
                                               D3DPOOL_MANAGED, D3DX_FILTER_TRIANGLE, D3DX_FILTER_BOX, 0, &info,
                                               nullptr, &texture),
                  D3D_OK);
        for (const D3DXIMAGE_INFO* reported : {&header, &info}) {
            EXPECT_EQ(reported->Width, fixture.width);
            EXPECT_EQ(reported->Height, fixture.height);
            EXPECT_EQ(reported->MipLevels, fixture.fileLevels);
            EXPECT_EQ(reported->Format, fixture.fileFormat);
            EXPECT_EQ(reported->ImageFileFormat, fixture.kind);
        }
        D3DSURFACE_DESC desc = {};
        ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
        EXPECT_EQ(desc.Format, fixture.textureFormat);
        EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
        EXPECT_EQ(texture->GetLevelCount(), FullLevelCount(fixture.width, fixture.height));

        const ArgbImage pixels = LevelPixels(texture, 0);
        ASSERT_EQ(pixels.width, fixture.width);
        const UINT left = fixture.width / 4, right = fixture.width * 3 / 4;
        const UINT top = fixture.height / 4, bottom = fixture.height * 3 / 4;
        const DWORD samples[4] = {pixels.Row(top)[left], pixels.Row(top)[right], pixels.Row(bottom)[left],
                                  pixels.Row(bottom)[right]};
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(render_test::ColourNear(samples[i], fixture.quadrants[i], fixture.tolerance))
                << "quadrant " << i;

        // The same file from memory makes the same texture.
        const std::vector<BYTE> bytes = ReadBytes(path);
        Released<IDirect3DTexture8> fromMemory;
        ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), static_cast<UINT>(bytes.size()),
                                                      D3DX_DEFAULT, D3DX_DEFAULT, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                      D3DX_FILTER_TRIANGLE, D3DX_FILTER_BOX, 0, nullptr, nullptr,
                                                      &fromMemory),
                  D3D_OK);
        for (UINT level = 0; level < texture->GetLevelCount(); ++level)
            EXPECT_EQ(LevelBytes(texture, level), LevelBytes(fromMemory, level)) << "level " << level;

        // A DDS keeps the levels it stores, byte for byte.
        if (fixture.kind == D3DXIFF_DDS) {
            std::size_t offset = 128;
            for (UINT level = 0; level < fixture.fileLevels; ++level) {
                const std::vector<BYTE> stored = LevelBytes(texture, level);
                ASSERT_LE(offset + stored.size(), bytes.size());
                EXPECT_EQ(0, std::memcmp(stored.data(), bytes.data() + offset, stored.size())) << "level " << level;
                offset += stored.size();
            }
        }
    }
}

TEST_F(D3dxTextureLoad, AnotherSizeAndFormatAreResampledWithAFilteredChain)
{
    const std::string path = FixturePath("quad.png");
    Released<IDirect3DTexture8> texture;
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device, path.c_str(), 16, 16, 0, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED,
                                           D3DX_FILTER_TRIANGLE, D3DX_FILTER_BOX, 0, nullptr, nullptr, &texture),
              D3D_OK);
    D3DSURFACE_DESC desc = {};
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Format, D3DFMT_A4R4G4B4);
    EXPECT_EQ(desc.Width, 16u);
    ASSERT_EQ(texture->GetLevelCount(), 5u);
    // Enlarged: the quadrant centres keep their colours (4-bit channels: white alpha 0x88 stays).
    const ArgbImage top = LevelPixels(texture, 0);
    EXPECT_EQ(top.Row(3)[3], kRed);
    EXPECT_EQ(top.Row(3)[12], kGreen);
    EXPECT_EQ(top.Row(12)[3], kBlue);
    EXPECT_EQ(top.Row(12)[12], kClearWhite);
    // The last level averages all four: alpha (3 x 255 + 136) / 4, each colour 510 / 4.
    const ArgbImage last = LevelPixels(texture, 4);
    EXPECT_TRUE(render_test::ColourNear(last.Row(0)[0], 0xE1808080u, 9));

    // One level asked for: one level made.
    Released<IDirect3DTexture8> single;
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device, FixturePath("quad_dxt5.dds").c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1,
                                           0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                           nullptr, &single),
              D3D_OK);
    EXPECT_EQ(single->GetLevelCount(), 1u);
}

TEST_F(D3dxTextureLoad, ConvertedDdsLevelsComeFromTheFileAndMissingOnesAreFiltered)
{
    // The file's 4x4 level is a blend its writer chose; an A8R8G8B8 copy must show that very blend.
    const std::string path = FixturePath("quad_dxt5.dds");
    Released<IDirect3DTexture8> original, converted;
    ASSERT_EQ(D3DXCreateTextureFromFileA(device, path.c_str(), &original), D3D_OK);
    ASSERT_EQ(
        D3DXCreateTextureFromFileExA(device, path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 0, 0, D3DFMT_A8R8G8B8,
                                     D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &converted),
        D3D_OK);
    for (UINT level = 0; level < 4; ++level)
        EXPECT_EQ(LevelPixels(original, level).pixels, LevelPixels(converted, level).pixels) << "level " << level;

    // A BMP has one level: the rest of the 6 x 4 chain (3 x 2, 1 x 1) is box-filtered from it.
    Released<IDirect3DTexture8> bitmap;
    ASSERT_EQ(D3DXCreateTextureFromFileA(device, FixturePath("quad.bmp").c_str(), &bitmap), D3D_OK);
    ASSERT_EQ(bitmap->GetLevelCount(), 3u);
    const ArgbImage half = LevelPixels(bitmap, 1);
    ASSERT_EQ(half.width, 3u);
    ASSERT_EQ(half.height, 2u);
    EXPECT_EQ(half.Row(0)[0], kRed);
    EXPECT_EQ(half.Row(1)[2], kWhite);
    // The middle column straddles two quadrants half and half.
    EXPECT_TRUE(render_test::ColourNear(half.Row(0)[1], 0xFF808000u, 1));
}

TEST_F(D3dxTextureLoad, TheColourKeyTurnsItsTexelsTransparentBlack)
{
    Released<IDirect3DTexture8> texture;
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device, FixturePath("quad.bmp").c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                           D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, kGreen,
                                           nullptr, nullptr, &texture),
              D3D_OK);
    const ArgbImage pixels = LevelPixels(texture, 0);
    EXPECT_EQ(pixels.Row(0)[4], 0u);
    EXPECT_EQ(pixels.Row(0)[0], kRed);
}

}  // namespace
