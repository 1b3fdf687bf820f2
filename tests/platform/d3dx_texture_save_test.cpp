// Saving: DDS files that read back equal in every format and level, surfaces saved and loaded
// again as the lightmap cache does, and BMP screenshots.
#include <cstring>

#include "core/random.h"
#include "tests/platform/d3dx_texture_fixture.h"
#include "support/temp_dir.h"

using namespace d3dx_test;

namespace {

class D3dxTextureSave : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        m_folder = std::make_unique<TempDir>();
    }
    void TearDown() override
    {
        m_folder.reset();
        DeviceTest::TearDown();
    }

private:
    std::unique_ptr<TempDir> m_folder;
};

TEST_F(D3dxTextureSave, DdsFilesReadBackEqualInEveryFormatAndLevel)
{
    const D3DFORMAT formats[] = {D3DFMT_DXT1,     D3DFMT_DXT3,   D3DFMT_DXT5,     D3DFMT_A8R8G8B8,
                                 D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4,
                                 D3DFMT_A8,       D3DFMT_L8,     D3DFMT_A8L8,     D3DFMT_X1R5G5B5};
    EngineSRand(3);
    for (D3DFORMAT format : formats) {
        SCOPED_TRACE(static_cast<unsigned>(format));
        // 12 x 8: levels 12x8, 6x4, 3x2, 1x1 (partial blocks for DXT below the first).
        Released<IDirect3DTexture8> texture;
        ASSERT_EQ(device->CreateTexture(12, 8, 0, 0, format, D3DPOOL_MANAGED, &texture), D3D_OK);
        ASSERT_EQ(texture->GetLevelCount(), 4u);
        for (UINT level = 0; level < 4; ++level) {
            D3DSURFACE_DESC desc = {};
            texture->GetLevelDesc(level, &desc);
            D3DLOCKED_RECT locked = {};
            ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
            for (UINT i = 0; i < desc.Size; ++i)
                static_cast<BYTE*>(locked.pBits)[i] = static_cast<BYTE>(EngineRand());
            texture->UnlockRect(level);
        }
        ASSERT_EQ(D3DXSaveTextureToFileA("saved.dds", D3DXIFF_DDS, texture, nullptr), D3D_OK);

        D3DXIMAGE_INFO info = {};
        Released<IDirect3DTexture8> loaded;
        ASSERT_EQ(D3DXCreateTextureFromFileExA(device, "saved.dds", D3DX_DEFAULT, D3DX_DEFAULT, 0, 0, D3DFMT_UNKNOWN,
                                               D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &loaded),
                  D3D_OK);
        EXPECT_EQ(info.Format, format);
        EXPECT_EQ(info.MipLevels, 4u);
        EXPECT_EQ(info.Width, 12u);
        ASSERT_EQ(loaded->GetLevelCount(), 4u);
        for (UINT level = 0; level < 4; ++level)
            EXPECT_EQ(LevelBytes(texture, level), LevelBytes(loaded, level)) << "level " << level;
    }
}

TEST_F(D3dxTextureSave, ASavedSurfaceLoadsIntoASurfaceAgain)
{
    // The lightmap cache: level 0 of an A8R8G8B8 texture saved, later loaded into a new texture.
    Released<IDirect3DTexture8> lightmap, reloaded;
    ASSERT_EQ(D3DXCreateTexture(device, 16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &lightmap), D3D_OK);
    D3DLOCKED_RECT locked = {};
    ASSERT_EQ(lightmap->LockRect(0, &locked, nullptr, D3DLOCK_NOSYSLOCK), D3D_OK);
    for (UINT y = 0; y < 16; ++y)
        for (UINT x = 0; x < 16; ++x)
            reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] =
                0x80000000u | y << 16 | x;
    lightmap->UnlockRect(0);
    Released<IDirect3DSurface8> level, target;
    ASSERT_EQ(lightmap->GetSurfaceLevel(0, &level), D3D_OK);
    ASSERT_EQ(D3DXSaveSurfaceToFileA("lmap.dds", D3DXIFF_DDS, level, nullptr, nullptr), D3D_OK);

    ASSERT_EQ(D3DXCreateTexture(device, 16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &reloaded), D3D_OK);
    ASSERT_EQ(reloaded->GetSurfaceLevel(0, &target), D3D_OK);
    const RECT whole = {0, 0, 16, 16};
    D3DXIMAGE_INFO info = {};
    ASSERT_EQ(D3DXLoadSurfaceFromFileA(target, nullptr, nullptr, "lmap.dds", &whole, D3DX_DEFAULT, 0, &info), D3D_OK);
    EXPECT_EQ(info.Width, 16u);
    EXPECT_EQ(LevelBytes(lightmap, 0), LevelBytes(reloaded, 0));

    // From memory the same; a missing file reports no width.
    const std::vector<BYTE> bytes = ReadBytes("lmap.dds");
    EXPECT_EQ(D3DXLoadSurfaceFromFileInMemory(target, nullptr, nullptr, bytes.data(), static_cast<UINT>(bytes.size()),
                                              &whole, D3DX_DEFAULT, 0, &info),
              D3D_OK);
    EXPECT_TRUE(FAILED(D3DXLoadSurfaceFromFileA(target, nullptr, nullptr, "none.dds", &whole, D3DX_DEFAULT, 0, &info)));
    EXPECT_EQ(info.Width, 0u);
}

TEST_F(D3dxTextureSave, BmpScreenshotsHoldTheSurfaceRowsFromTheTop)
{
    // 5 x 3 at 24 bits: 15 bytes a row, padded to 16.
    ArgbImage image;
    image.Resize(5, 3);
    for (UINT y = 0; y < 3; ++y)
        for (UINT x = 0; x < 5; ++x)
            image.Row(y)[x] = 0x40000000u | (x * 50) << 16 | (y * 100) << 8 | (x + y);
    Released<IDirect3DSurface8> surface;
    surface.object = ImageSurface(device, image);
    ASSERT_EQ(D3DXSaveSurfaceToFileA("shot.bmp", D3DXIFF_BMP, surface, nullptr, nullptr), D3D_OK);

    const std::vector<BYTE> bytes = ReadBytes("shot.bmp");
    ASSERT_EQ(bytes.size(), 54u + 3 * 16);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[28], 24);  // bits per pixel
    // The first row stored is the bottom one.
    EXPECT_EQ(bytes[54], 0 + 2);
    EXPECT_EQ(bytes[55], 200);

    Released<IDirect3DTexture8> loaded;
    ASSERT_EQ(D3DXCreateTextureFromFileA(device, "shot.bmp", &loaded), D3D_OK);
    const ArgbImage back = LevelPixels(loaded, 0);
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        EXPECT_EQ(back.pixels[i], image.pixels[i] | 0xFF000000u) << i;
}

TEST_F(D3dxTextureSave, WhatCannotBeWrittenIsRefused)
{
    Released<IDirect3DTexture8> texture;
    ASSERT_EQ(D3DXCreateTexture(device, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    EXPECT_EQ(D3DXSaveTextureToFileA("out.png", D3DXIFF_PNG, texture, nullptr), D3DERR_INVALIDCALL);
    // A folder that cannot be made (a file stands in its way).
    std::FILE* blocker = std::fopen("blocker", "wb");
    ASSERT_NE(blocker, nullptr);
    std::fclose(blocker);
    EXPECT_TRUE(FAILED(D3DXSaveTextureToFileA("blocker/out.dds", D3DXIFF_DDS, texture, nullptr)));
    // A DXT surface is cut only on block boundaries.
    Released<IDirect3DTexture8> blocks;
    ASSERT_EQ(D3DXCreateTexture(device, 8, 8, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &blocks), D3D_OK);
    Released<IDirect3DSurface8> level;
    blocks->GetSurfaceLevel(0, &level);
    const RECT uneven = {2, 0, 8, 8};
    EXPECT_EQ(D3DXSaveSurfaceToFileA("cut.dds", D3DXIFF_DDS, level, nullptr, &uneven), D3DERR_INVALIDCALL);
}

}  // namespace
