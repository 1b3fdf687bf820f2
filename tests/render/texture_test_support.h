// Shared pieces of the texture and text tests: the render core in a fresh working folder, small
// image files written on the spot, textures filled with colours, and the engine log's new lines.
#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/files/vfs.h"
#include "platform/d3dx8_texture.h"
#include "support/archive_builder.h"
#include "support/engine_log.h"
#include "support/temp_dir.h"
#include "support/render_test_support.h"

namespace texture_test {

using engine_log::LogFrom;
using engine_log::LogSize;
using engine_log::StartFolder;

// An uncompressed 32-bit true-colour TGA, every pixel the same 0xAARRGGBB colour.
inline std::string TgaBytes(int width, int height, DWORD argb)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(width & 0xFF);
    bytes[13] = static_cast<char>(width >> 8);
    bytes[14] = static_cast<char>(height & 0xFF);
    bytes[15] = static_cast<char>(height >> 8);
    bytes[16] = 32;
    bytes[17] = 0x28;  // top-left origin, 8 alpha bits
    for (int i = 0; i < width * height; ++i)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>((argb >> shift) & 0xFF));
    return bytes;
}

inline bool WriteTga(const std::string& path, int width, int height, DWORD argb)
{
    return WriteFileBytes(path, TgaBytes(width, height, argb));
}

// A managed texture with every texel of every level the given colour.
inline IDirect3DTexture8* SolidTexture(IDirect3DDevice8* device, UINT width, UINT height, UINT levels, DWORD argb)
{
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(device->CreateTexture(width, height, levels, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture)))
        return nullptr;
    for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(level, &desc);
        D3DLOCKED_RECT locked;
        if (FAILED(texture->LockRect(level, &locked, nullptr, 0)))
            continue;
        for (UINT y = 0; y < desc.Height; ++y)
            for (UINT x = 0; x < desc.Width; ++x)
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = argb;
        texture->UnlockRect(level);
    }
    return texture;
}

// A DDS file of a solid A8R8G8B8 texture with the given level count.
inline bool WriteDds(IDirect3DDevice8* device, const std::string& path, UINT width, UINT height, UINT levels,
                     DWORD argb)
{
    IDirect3DTexture8* texture = SolidTexture(device, width, height, levels, argb);
    if (!texture)
        return false;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder);
    const bool written = SUCCEEDED(D3DXSaveTextureToFileA(path.c_str(), D3DXIFF_DDS, texture, nullptr));
    texture->Release();
    return written;
}

// Level 0 of a texture of any format, converted to 0xAARRGGBB words.
inline render_test::Pixels ReadTexture(IDirect3DDevice8* device, IDirect3DTexture8* texture, UINT level = 0)
{
    render_test::Pixels pixels;
    D3DSURFACE_DESC desc;
    if (!texture || FAILED(texture->GetLevelDesc(level, &desc)))
        return pixels;
    IDirect3DTexture8* plain = nullptr;
    if (FAILED(device->CreateTexture(desc.Width, desc.Height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &plain)))
        return pixels;
    IDirect3DSurface8* source = nullptr;
    IDirect3DSurface8* target = nullptr;
    texture->GetSurfaceLevel(level, &source);
    plain->GetSurfaceLevel(0, &target);
    if (SUCCEEDED(D3DXLoadSurfaceFromSurface(target, nullptr, nullptr, source, nullptr, nullptr, D3DX_FILTER_NONE, 0)))
        pixels = render_test::ReadSurface(target);
    source->Release();
    target->Release();
    plain->Release();
    return pixels;
}

// The render core on a 64 x 48 window, in a fresh working folder; the file system is shut down
// after each test.
class TextureTest : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        StartFolder();
        m_folder = std::make_unique<TempDir>();
        render_test::RenderCore::SetUp();
    }
    void TearDown() override
    {
        render_test::RenderCore::TearDown();
        VFSShutdown();
        m_folder.reset();
    }

    // Packs the files into "main.bfs" in the working folder and opens the file system on it.
    static void MountArchive(const std::vector<TestFile>& files)
    {
        ASSERT_TRUE(WriteTestArchive("main.bfs", files));
        ASSERT_TRUE(VFSInit());
    }

private:
    std::unique_ptr<TempDir> m_folder;
};

}  // namespace texture_test
