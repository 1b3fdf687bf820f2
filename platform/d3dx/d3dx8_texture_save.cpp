#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/gl/d3d8_formats.h"
#include "platform/d3dx/d3dx8_texture_surface.h"
#include "platform/d3dx/dds_file.h"
#include "platform/d3dx/dxt_codec.h"
#include "platform/file_system.h"

namespace {

void Put16(std::vector<BYTE>& out, DWORD value)
{
    out.push_back(static_cast<BYTE>(value));
    out.push_back(static_cast<BYTE>(value >> 8));
}
void Put32(std::vector<BYTE>& out, DWORD value)
{
    Put16(out, value);
    Put16(out, value >> 16);
}

HRESULT WriteFileBytes(const char* path, const std::vector<BYTE>& bytes)
{
    std::FILE* file = path ? PlatformOpenFile(path, "wb") : nullptr;
    if (!file)
        return E_FAIL;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written ? D3D_OK : E_FAIL;
}

// A 24-bit bottom-up BMP; alpha is dropped.
void AppendBmp(const ArgbImage& image, std::vector<BYTE>& out)
{
    const DWORD rowBytes = (image.width * 3 + 3) & ~3u;
    const DWORD pixelBytes = rowBytes * image.height;
    out.reserve(54 + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + pixelBytes);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, image.width);
    Put32(out, image.height);
    Put16(out, 1);   // planes
    Put16(out, 24);  // bits per pixel
    Put32(out, 0);   // uncompressed
    Put32(out, pixelBytes);
    Put32(out, 2835);  // 72 dots per inch
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (UINT y = image.height; y-- > 0;) {
        const DWORD* row = image.Row(y);
        for (UINT x = 0; x < image.width; ++x) {
            out.push_back(static_cast<BYTE>(row[x]));
            out.push_back(static_cast<BYTE>(row[x] >> 8));
            out.push_back(static_cast<BYTE>(row[x] >> 16));
        }
        out.insert(out.end(), rowBytes - image.width * 3, 0);
    }
}

// The bytes of rect of a locked level appended as a DDS level (tight rows).
void AppendLevel(D3DFORMAT format, const D3DLOCKED_RECT& locked, const RECT& rect, std::vector<BYTE>& out)
{
    const UINT blockBytes = DxtBlockBytes(format);
    const LONG step = blockBytes ? 4 : 1;
    const UINT unit = blockBytes ? blockBytes : PixelFormatBytes(format);
    const std::size_t rowBytes = static_cast<std::size_t>((rect.right - rect.left + step - 1) / step) * unit;
    const LONG rows = (rect.bottom - rect.top + step - 1) / step;
    for (LONG row = 0; row < rows; ++row) {
        const BYTE* from = static_cast<const BYTE*>(locked.pBits) +
                           static_cast<std::size_t>(rect.top / step + row) * locked.Pitch +
                           static_cast<std::size_t>(rect.left / step) * unit;
        out.insert(out.end(), from, from + rowBytes);
    }
}

HRESULT AppendSurfaceDds(IDirect3DSurface8* surface, const RECT* srcRect, std::vector<BYTE>& out)
{
    D3DSURFACE_DESC desc = {};
    if (!surface || FAILED(surface->GetDesc(&desc)) || !DdsFormatWritable(desc.Format))
        return D3DERR_INVALIDCALL;
    const RECT whole = {0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    const RECT rect = srcRect ? *srcRect : whole;
    if (rect.left < 0 || rect.top < 0 || rect.left >= rect.right || rect.top >= rect.bottom ||
        rect.right > whole.right || rect.bottom > whole.bottom)
        return D3DERR_INVALIDCALL;
    // Compressed surfaces are cut on block boundaries only.
    if (DxtBlockBytes(desc.Format) && srcRect &&
        ((rect.left | rect.top) & 3 || (rect.right & 3 && rect.right != whole.right) ||
         (rect.bottom & 3 && rect.bottom != whole.bottom)))
        return D3DERR_INVALIDCALL;
    D3DLOCKED_RECT locked = {};
    if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return D3DERR_INVALIDCALL;
    DdsWriteHeader(desc.Format, static_cast<UINT>(rect.right - rect.left), static_cast<UINT>(rect.bottom - rect.top), 1,
                   out);
    AppendLevel(desc.Format, locked, rect, out);
    surface->UnlockRect();
    return D3D_OK;
}

HRESULT AppendTextureDds(IDirect3DTexture8* texture, std::vector<BYTE>& out)
{
    D3DSURFACE_DESC desc = {};
    if (FAILED(texture->GetLevelDesc(0, &desc)) || !DdsFormatWritable(desc.Format))
        return D3DERR_INVALIDCALL;
    const UINT levels = texture->GetLevelCount();
    DdsWriteHeader(desc.Format, desc.Width, desc.Height, levels, out);
    for (UINT level = 0; level < levels; ++level) {
        D3DLOCKED_RECT locked = {};
        if (FAILED(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY)))
            return D3DERR_INVALIDCALL;
        const RECT rect = {0, 0, static_cast<LONG>(LevelExtent(desc.Width, level)),
                           static_cast<LONG>(LevelExtent(desc.Height, level))};
        AppendLevel(desc.Format, locked, rect, out);
        texture->UnlockRect(level);
    }
    return D3D_OK;
}

}  // namespace

HRESULT D3DXSaveSurfaceToFileA(const char* file, D3DXIMAGE_FILEFORMAT fileFormat, IDirect3DSurface8* src,
                               const PALETTEENTRY*, const RECT* srcRect)
{
    if (!file || !src)
        return D3DERR_INVALIDCALL;
    std::vector<BYTE> bytes;
    HRESULT result = D3DERR_INVALIDCALL;
    if (fileFormat == D3DXIFF_DDS) {
        result = AppendSurfaceDds(src, srcRect, bytes);
    } else if (fileFormat == D3DXIFF_BMP) {
        ArgbImage image;
        result = ReadSurfacePixels(src, srcRect, image);
        if (SUCCEEDED(result))
            AppendBmp(image, bytes);
    }
    return FAILED(result) ? result : WriteFileBytes(file, bytes);
}

HRESULT D3DXSaveTextureToFileA(const char* file, D3DXIMAGE_FILEFORMAT fileFormat, IDirect3DBaseTexture8* texture,
                               const PALETTEENTRY* palette)
{
    if (!file || TextureFaceCount(texture) != 1)
        return D3DERR_INVALIDCALL;
    auto* texture2d = static_cast<IDirect3DTexture8*>(texture);
    if (fileFormat == D3DXIFF_DDS) {
        std::vector<BYTE> bytes;
        const HRESULT result = AppendTextureDds(texture2d, bytes);
        return FAILED(result) ? result : WriteFileBytes(file, bytes);
    }
    IDirect3DSurface8* surface = TextureSurface(texture, 0, 0);
    if (!surface)
        return D3DERR_INVALIDCALL;
    const HRESULT result = D3DXSaveSurfaceToFileA(file, fileFormat, surface, palette, nullptr);
    surface->Release();
    return result;
}
