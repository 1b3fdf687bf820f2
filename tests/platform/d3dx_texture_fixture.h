// Shared pieces of the D3DX texture tests: a device on a hidden window, the image fixtures, and
// reading a texture level back as 0xAARRGGBB words.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/d3dx8_texture.h"
#include "platform/d3dx/d3dx8_texture_pixels.h"
#include "support/render_test_support.h"

namespace d3dx_test {

// The fixtures are four quadrants: red, green, blue, and white (with alpha 0x88 where the file
// keeps alpha).
constexpr DWORD kRed = 0xFFFF0000u;
constexpr DWORD kGreen = 0xFF00FF00u;
constexpr DWORD kBlue = 0xFF0000FFu;
constexpr DWORD kWhite = 0xFFFFFFFFu;
constexpr DWORD kClearWhite = 0x88FFFFFFu;

inline std::string FixturePath(const std::string& name)
{
    return std::string(ZINTAR_TEST_DATA_DIR) + "/textures/" + name;
}

inline std::vector<BYTE> ReadBytes(const std::string& path)
{
    std::vector<BYTE> bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        BYTE buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.insert(bytes.end(), buffer, buffer + got);
        std::fclose(file);
    }
    return bytes;
}

// Every pixel of a surface through the D3DX conversions.
inline ArgbImage SurfacePixels(IDirect3DSurface8* surface)
{
    ArgbImage image;
    D3DSURFACE_DESC desc = {};
    D3DLOCKED_RECT locked = {};
    if (!surface || FAILED(surface->GetDesc(&desc)) || FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return image;
    const PixelLevel level = {desc.Format, static_cast<BYTE*>(locked.pBits), static_cast<UINT>(locked.Pitch),
                              desc.Width, desc.Height};
    ReadPixels(level, {0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)}, image);
    surface->UnlockRect();
    return image;
}

inline ArgbImage LevelPixels(IDirect3DTexture8* texture, UINT level)
{
    IDirect3DSurface8* surface = nullptr;
    if (!texture || FAILED(texture->GetSurfaceLevel(level, &surface)))
        return {};
    ArgbImage image = SurfacePixels(surface);
    surface->Release();
    return image;
}

// The raw bytes of a level as Direct3D lays it out.
inline std::vector<BYTE> LevelBytes(IDirect3DTexture8* texture, UINT level)
{
    D3DSURFACE_DESC desc = {};
    D3DLOCKED_RECT locked = {};
    if (FAILED(texture->GetLevelDesc(level, &desc)) ||
        FAILED(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY)))
        return {};
    const UINT rows = PixelRowCount(desc.Format, desc.Height);
    const UINT rowBytes = PixelRowPitch(desc.Format, desc.Width);
    std::vector<BYTE> bytes;
    for (UINT row = 0; row < rows; ++row) {
        const BYTE* from = static_cast<const BYTE*>(locked.pBits) + static_cast<std::size_t>(row) * locked.Pitch;
        bytes.insert(bytes.end(), from, from + rowBytes);
    }
    texture->UnlockRect(level);
    return bytes;
}

// An A8R8G8B8 system-memory surface holding image.
inline IDirect3DSurface8* ImageSurface(IDirect3DDevice8* device, const ArgbImage& image)
{
    IDirect3DSurface8* surface = nullptr;
    if (FAILED(device->CreateImageSurface(image.width, image.height, D3DFMT_A8R8G8B8, &surface)))
        return nullptr;
    D3DLOCKED_RECT locked = {};
    surface->LockRect(&locked, nullptr, 0);
    for (UINT y = 0; y < image.height; ++y)
        WritePixelRow(D3DFMT_A8R8G8B8, image.Row(y), image.width,
                      static_cast<BYTE*>(locked.pBits) + static_cast<std::size_t>(y) * locked.Pitch);
    surface->UnlockRect();
    return surface;
}

// A device of its own on a hidden window.
class DeviceTest : public RawDeviceTest {
protected:
    static constexpr UINT kWidth = 64;
    static constexpr UINT kHeight = 64;

    DeviceTest() : RawDeviceTest(kWidth, kHeight) {}
};

// Releases a Direct3D object at the end of a scope.
template <class T>
struct Released {
    T* object = nullptr;
    ~Released()
    {
        if (object)
            object->Release();
    }
    T** operator&() { return &object; }
    T* operator->() const { return object; }
    operator T*() const { return object; }
};

}  // namespace d3dx_test
