// Damaged image files of every kind are refused cleanly: cut short anywhere, headers that lie,
// and random bytes changed (which may still make some image, but never read out of bounds).
#include <cstring>

#include "core/random.h"
#include "tests/platform/d3dx_texture_fixture.h"

using namespace d3dx_test;

namespace {

const char* const kFixtureFiles[] = {"quad.png",      "quad.tga",      "quad_rle.tga",  "quad.bmp",     "quad.jpg",
                                     "quad_dxt1.dds", "quad_dxt3.dds", "quad_dxt5.dds", "quad_argb.dds"};

class D3dxTextureRobustness : public DeviceTest {
protected:
    HRESULT Create(const std::vector<BYTE>& bytes, IDirect3DTexture8** texture)
    {
        return D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), static_cast<UINT>(bytes.size()), D3DX_DEFAULT,
                                                   D3DX_DEFAULT, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                   D3DX_FILTER_TRIANGLE, D3DX_FILTER_BOX, 0, nullptr, nullptr, texture);
    }
};

TEST_F(D3dxTextureRobustness, EveryFileCutShortIsRefused)
{
    for (const char* name : kFixtureFiles) {
        SCOPED_TRACE(name);
        const std::vector<BYTE> whole = ReadBytes(FixturePath(name));
        ASSERT_FALSE(whole.empty());
        for (std::size_t length = 0; length < whole.size(); ++length) {
            const std::vector<BYTE> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
            D3DXIMAGE_INFO info = {};
            IDirect3DTexture8* texture = nullptr;
            EXPECT_TRUE(FAILED(D3DXGetImageInfoFromFileInMemory(cut.data(), static_cast<UINT>(cut.size()), &info)))
                << "length " << length;
            EXPECT_TRUE(FAILED(Create(cut, &texture))) << "length " << length;
            EXPECT_EQ(texture, nullptr);
            if (texture)
                texture->Release();
        }
    }
}

struct HeaderEdit {
    const char* what;
    const char* file;
    std::size_t offset;
    std::vector<BYTE> bytes;
};

const HeaderEdit kEdits[] = {
    {"DDS width 0", "quad_dxt5.dds", 16, {0, 0, 0, 0}},
    {"DDS width beyond any texture", "quad_dxt5.dds", 16, {0, 0, 0, 1}},
    {"DDS height beyond the data", "quad_dxt5.dds", 12, {0, 4, 0, 0}},
    {"DDS more levels than a chain has", "quad_dxt5.dds", 28, {200, 0, 0, 0}},
    {"DDS header size", "quad_dxt5.dds", 4, {0, 0, 0, 0}},
    {"DDS pixel format size", "quad_dxt5.dds", 76, {0, 0, 0, 0}},
    {"DDS unknown four-character code", "quad_dxt5.dds", 84, {'D', 'X', 'T', '9'}},
    {"DDS extended header", "quad_dxt5.dds", 84, {'D', 'X', '1', '0'}},
    {"DDS cube map", "quad_dxt5.dds", 112, {0, 0x02, 0, 0}},
    {"DDS volume", "quad_dxt5.dds", 112, {0, 0, 0x20, 0}},
    {"DDS palette", "quad_argb.dds", 80, {0x20, 0, 0, 0}},
    {"DDS 7 bits per pixel", "quad_argb.dds", 88, {7, 0, 0, 0}},
    {"DDS mask wider than the pixel", "quad_argb.dds", 88, {16, 0, 0, 0}},
    {"BMP width beyond the data", "quad.bmp", 18, {0, 1, 0, 0}},
    {"BMP height of minus two billion", "quad.bmp", 22, {0, 0, 0, 0x80}},
    {"BMP 7 bits per pixel", "quad.bmp", 28, {7, 0}},
    {"BMP run-length compression", "quad.bmp", 30, {1, 0, 0, 0}},
    {"BMP pixels beyond the end", "quad.bmp", 10, {0x40, 0, 0, 0}},
    {"BMP header size", "quad.bmp", 14, {0xFF, 0xFF, 0xFF, 0x7F}},
    {"TGA no image", "quad.tga", 2, {0}},
    {"TGA unknown type", "quad.tga", 2, {4}},
    {"TGA width 0", "quad.tga", 12, {0, 0}},
    {"TGA width beyond the data", "quad.tga", 12, {0xFF, 0xFF}},
    {"TGA 7 bits per pixel", "quad.tga", 16, {7}},
    {"TGA colour map on a true-colour image", "quad.tga", 1, {1}},
    {"TGA run-length pixels beyond the data", "quad_rle.tga", 14, {0x10, 0}},
    {"PNG width 0", "quad.png", 16, {0, 0, 0, 0}},
    {"PNG size no data could hold", "quad.png", 16, {0, 0, 0x40, 0}},
    {"PNG colour type 5", "quad.png", 25, {5}},
    {"PNG bit depth 3", "quad.png", 24, {3}},
    {"PNG header chunk length", "quad.png", 8, {0, 0, 0, 14}},
    {"JPEG without its end marker", "quad.jpg", static_cast<std::size_t>(-2), {0, 0}},
    {"an unknown kind of file", "quad.png", 0, {'G', 'I', 'F', '8'}},
};

TEST_F(D3dxTextureRobustness, HeadersThatLieAreRefused)
{
    for (const HeaderEdit& edit : kEdits) {
        SCOPED_TRACE(edit.what);
        std::vector<BYTE> bytes = ReadBytes(FixturePath(edit.file));
        const std::size_t offset = edit.offset == static_cast<std::size_t>(-2) ? bytes.size() - 2 : edit.offset;
        ASSERT_LE(offset + edit.bytes.size(), bytes.size());
        std::memcpy(bytes.data() + offset, edit.bytes.data(), edit.bytes.size());
        D3DXIMAGE_INFO info = {};
        IDirect3DTexture8* texture = nullptr;
        EXPECT_TRUE(FAILED(D3DXGetImageInfoFromFileInMemory(bytes.data(), static_cast<UINT>(bytes.size()), &info)));
        EXPECT_TRUE(FAILED(Create(bytes, &texture)));
        EXPECT_EQ(texture, nullptr);
        if (texture)
            texture->Release();
    }
}

TEST_F(D3dxTextureRobustness, RandomlyChangedBytesNeverReachOutOfBounds)
{
    EngineSRand(2024);
    for (const char* name : kFixtureFiles) {
        SCOPED_TRACE(name);
        const std::vector<BYTE> whole = ReadBytes(FixturePath(name));
        for (int round = 0; round < 200; ++round) {
            std::vector<BYTE> bytes = whole;
            const int changes = 1 + EngineRand() % 4;
            for (int i = 0; i < changes; ++i)
                bytes[static_cast<std::size_t>(EngineRand()) % bytes.size()] = static_cast<BYTE>(EngineRand());
            IDirect3DTexture8* texture = nullptr;
            if (SUCCEEDED(Create(bytes, &texture))) {
                ASSERT_NE(texture, nullptr);
                texture->Release();
            }
        }
    }
}

TEST_F(D3dxTextureRobustness, MissingFilesAndBadArgumentsFailWithoutATexture)
{
    IDirect3DTexture8* texture = reinterpret_cast<IDirect3DTexture8*>(1);
    EXPECT_TRUE(FAILED(D3DXCreateTextureFromFileA(device, "no_such_texture.dds", &texture)));
    EXPECT_EQ(texture, nullptr);
    const std::vector<BYTE> bytes = ReadBytes(FixturePath("quad.png"));
    EXPECT_EQ(D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), static_cast<UINT>(bytes.size()), 0, 0, 0, 0,
                                                  D3DFMT_UNKNOWN, D3DPOOL_MANAGED, 0, D3DX_DEFAULT, 0, nullptr, nullptr,
                                                  &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(device, nullptr, 10, &texture), D3DERR_INVALIDCALL);
    D3DXIMAGE_INFO info = {};
    EXPECT_TRUE(FAILED(D3DXGetImageInfoFromFileA("no_such_texture.png", &info)));
    // A source rectangle outside the image.
    Released<IDirect3DTexture8> target;
    ASSERT_EQ(D3DXCreateTexture(device, 8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &target), D3D_OK);
    Released<IDirect3DSurface8> level;
    target->GetSurfaceLevel(0, &level);
    const RECT outside = {4, 4, 12, 12};
    EXPECT_EQ(D3DXLoadSurfaceFromFileInMemory(level, nullptr, nullptr, bytes.data(), static_cast<UINT>(bytes.size()),
                                              &outside, D3DX_DEFAULT, 0, nullptr),
              D3DERR_INVALIDCALL);
}

}  // namespace
