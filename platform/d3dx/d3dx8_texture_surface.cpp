#include "platform/d3dx/d3dx8_texture_surface.h"

#include <cstring>
#include <vector>

#include "platform/d3dx/d3dx8_texture_image.h"
#include "platform/d3dx/dxt_codec.h"

namespace {

bool RectInside(const RECT& rect, UINT width, UINT height)
{
    return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
           rect.right <= static_cast<LONG>(width) && rect.bottom <= static_cast<LONG>(height);
}

RECT WholeRect(UINT width, UINT height)
{
    return {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
}

// A rect of whole 4x4 blocks.
bool BlockAligned(const RECT& rect)
{
    return ((rect.left | rect.top | rect.right | rect.bottom) & 3) == 0;
}

// Rows of bytes from one level to another of the same format and size.
void CopyRaw(const PixelLevel& src, const RECT& srcRect, const PixelLevel& dest, const RECT& destRect)
{
    const UINT blockBytes = DxtBlockBytes(src.format);
    const UINT unit = blockBytes ? blockBytes : PixelFormatBytes(src.format);
    const LONG step = blockBytes ? 4 : 1;
    const std::size_t rowBytes = static_cast<std::size_t>((srcRect.right - srcRect.left + step - 1) / step) * unit;
    const LONG rows = (srcRect.bottom - srcRect.top + step - 1) / step;
    for (LONG row = 0; row < rows; ++row) {
        const BYTE* from = src.bits + static_cast<std::size_t>(srcRect.top / step + row) * src.pitch +
                           static_cast<std::size_t>(srcRect.left / step) * unit;
        BYTE* to = dest.bits + static_cast<std::size_t>(destRect.top / step + row) * dest.pitch +
                   static_cast<std::size_t>(destRect.left / step) * unit;
        std::memcpy(to, from, rowBytes);
    }
}

}  // namespace

UINT TextureFaceCount(IDirect3DBaseTexture8* texture)
{
    if (!texture)
        return 0;
    switch (texture->GetType()) {
        case D3DRTYPE_TEXTURE:
            return 1;
        case D3DRTYPE_CUBETEXTURE:
            return 6;
        default:
            return 0;
    }
}

IDirect3DSurface8* TextureSurface(IDirect3DBaseTexture8* texture, UINT face, UINT level)
{
    IDirect3DSurface8* surface = nullptr;
    if (TextureFaceCount(texture) == 1 && face == 0)
        static_cast<IDirect3DTexture8*>(texture)->GetSurfaceLevel(level, &surface);
    else if (TextureFaceCount(texture) == 6 && face < 6)
        static_cast<IDirect3DCubeTexture8*>(texture)->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(face), level,
                                                                        &surface);
    return surface;
}

HRESULT LoadSurfaceFromLevel(IDirect3DSurface8* dest, const RECT* destRect, const PixelLevel& src, const RECT& srcRect,
                             DWORD filter, D3DCOLOR colorKey)
{
    D3DSURFACE_DESC desc = {};
    if (!dest || !src.bits || !FilterValid(filter) || !PixelFormatConvertible(src.format) ||
        !RectInside(srcRect, src.width, src.height) || FAILED(dest->GetDesc(&desc)) ||
        !PixelFormatConvertible(desc.Format))
        return D3DERR_INVALIDCALL;
    const RECT target = destRect ? *destRect : WholeRect(desc.Width, desc.Height);
    if (!RectInside(target, desc.Width, desc.Height))
        return D3DERR_INVALIDCALL;
    const UINT width = static_cast<UINT>(target.right - target.left);
    const UINT height = static_cast<UINT>(target.bottom - target.top);
    const bool sameSize = width == static_cast<UINT>(srcRect.right - srcRect.left) &&
                          height == static_cast<UINT>(srcRect.bottom - srcRect.top);
    const bool compressed = DxtBlockBytes(desc.Format) != 0;
    const bool whole = width == desc.Width && height == desc.Height;

    // Compressed levels are locked whole; the blocks a partial rect touches are merged.
    D3DLOCKED_RECT locked = {};
    const RECT* lockRect = compressed || whole ? nullptr : &target;
    if (FAILED(dest->LockRect(&locked, lockRect, whole ? D3DLOCK_DISCARD : 0)))
        return D3DERR_INVALIDCALL;
    PixelLevel level = {desc.Format, static_cast<BYTE*>(locked.pBits), static_cast<UINT>(locked.Pitch), desc.Width,
                        desc.Height};
    RECT local = target;
    if (lockRect) {
        local = WholeRect(width, height);
        level.width = width;
        level.height = height;
    }

    const bool wholeSource = srcRect.left == 0 && srcRect.top == 0 && srcRect.right == static_cast<LONG>(src.width) &&
                             srcRect.bottom == static_cast<LONG>(src.height);
    const bool sameBlocks = (wholeSource && whole) || (BlockAligned(srcRect) && BlockAligned(target));
    if (sameSize && colorKey == 0 && src.format == desc.Format && (!compressed || sameBlocks)) {
        CopyRaw(src, srcRect, level, local);
    } else {
        ArgbImage pixels, scaled;
        ReadPixels(src, srcRect, pixels);
        if (colorKey)
            ApplyColourKey(pixels, colorKey);
        if (sameSize) {
            WritePixels(pixels, local, level);
        } else {
            ResampleImage(pixels, width, height, filter, scaled);
            WritePixels(scaled, local, level);
        }
    }
    dest->UnlockRect();
    return D3D_OK;
}

HRESULT ReadSurfacePixels(IDirect3DSurface8* surface, const RECT* rect, ArgbImage& out)
{
    D3DSURFACE_DESC desc = {};
    if (!surface || FAILED(surface->GetDesc(&desc)) || !PixelFormatConvertible(desc.Format))
        return D3DERR_INVALIDCALL;
    const RECT area = rect ? *rect : WholeRect(desc.Width, desc.Height);
    if (!RectInside(area, desc.Width, desc.Height))
        return D3DERR_INVALIDCALL;
    D3DLOCKED_RECT locked = {};
    if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return D3DERR_INVALIDCALL;
    const PixelLevel level = {desc.Format, static_cast<BYTE*>(locked.pBits), static_cast<UINT>(locked.Pitch),
                              desc.Width, desc.Height};
    ReadPixels(level, area, out);
    surface->UnlockRect();
    return D3D_OK;
}

HRESULT WriteSurfacePixels(IDirect3DSurface8* surface, const ArgbImage& image)
{
    D3DSURFACE_DESC desc = {};
    if (!surface || FAILED(surface->GetDesc(&desc)) || !PixelFormatConvertible(desc.Format) ||
        desc.Width != image.width || desc.Height != image.height)
        return D3DERR_INVALIDCALL;
    D3DLOCKED_RECT locked = {};
    if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_DISCARD)))
        return D3DERR_INVALIDCALL;
    const PixelLevel level = {desc.Format, static_cast<BYTE*>(locked.pBits), static_cast<UINT>(locked.Pitch),
                              desc.Width, desc.Height};
    WritePixels(image, WholeRect(desc.Width, desc.Height), level);
    surface->UnlockRect();
    return D3D_OK;
}

HRESULT BuildMipChain(IDirect3DBaseTexture8* texture, UINT face, UINT level, ArgbImage image, DWORD filter)
{
    if (!FilterValid(filter))
        return D3DERR_INVALIDCALL;
    const DWORD kind = filter == D3DX_DEFAULT ? D3DX_FILTER_BOX : filter & 0xFF;
    if (kind == D3DX_FILTER_NONE)
        return D3D_OK;
    // Shrinking by half: point keeps one texel of each 2x2, every other filter averages them.
    const DWORD shrink = kind == D3DX_FILTER_POINT ? D3DX_FILTER_POINT : D3DX_FILTER_BOX;
    ArgbImage smaller;
    for (UINT next = level + 1; next < texture->GetLevelCount(); ++next) {
        IDirect3DSurface8* surface = TextureSurface(texture, face, next);
        D3DSURFACE_DESC desc = {};
        if (!surface || FAILED(surface->GetDesc(&desc))) {
            if (surface)
                surface->Release();
            return D3DERR_INVALIDCALL;
        }
        ResampleImage(image, desc.Width, desc.Height, shrink, smaller);
        const HRESULT result = WriteSurfacePixels(surface, smaller);
        surface->Release();
        if (FAILED(result))
            return result;
        std::swap(image, smaller);
    }
    return D3D_OK;
}

// ---- the D3DX surface functions

HRESULT D3DXLoadSurfaceFromMemory(IDirect3DSurface8* dest, const PALETTEENTRY*, const RECT* destRect,
                                  const void* srcMemory, D3DFORMAT srcFormat, UINT srcPitch, const PALETTEENTRY*,
                                  const RECT* srcRect, DWORD filter, D3DCOLOR colorKey)
{
    if (!srcMemory || !srcRect || srcRect->left < 0 || srcRect->top < 0)
        return D3DERR_INVALIDCALL;
    // The memory is as large as the rect reaches.
    const PixelLevel src = {srcFormat, static_cast<BYTE*>(const_cast<void*>(srcMemory)), srcPitch,
                            static_cast<UINT>(srcRect->right > 0 ? srcRect->right : 0),
                            static_cast<UINT>(srcRect->bottom > 0 ? srcRect->bottom : 0)};
    return LoadSurfaceFromLevel(dest, destRect, src, *srcRect, filter, colorKey);
}

HRESULT D3DXLoadSurfaceFromSurface(IDirect3DSurface8* dest, const PALETTEENTRY*, const RECT* destRect,
                                   IDirect3DSurface8* src, const PALETTEENTRY*, const RECT* srcRect, DWORD filter,
                                   D3DCOLOR colorKey)
{
    D3DSURFACE_DESC desc = {};
    if (!dest || !src || dest == src || FAILED(src->GetDesc(&desc)))
        return D3DERR_INVALIDCALL;
    D3DLOCKED_RECT locked = {};
    if (FAILED(src->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return D3DERR_INVALIDCALL;
    const PixelLevel level = {desc.Format, static_cast<BYTE*>(locked.pBits), static_cast<UINT>(locked.Pitch),
                              desc.Width, desc.Height};
    const HRESULT result = LoadSurfaceFromLevel(
        dest, destRect, level, srcRect ? *srcRect : WholeRect(desc.Width, desc.Height), filter, colorKey);
    src->UnlockRect();
    return result;
}

HRESULT D3DXLoadSurfaceFromFileInMemory(IDirect3DSurface8* dest, const PALETTEENTRY*, const RECT* destRect,
                                        const void* data, UINT dataSize, const RECT* srcRect, DWORD filter,
                                        D3DCOLOR colorKey, D3DXIMAGE_INFO* info)
{
    if (info)
        *info = {};
    if (!dest || !data)
        return D3DERR_INVALIDCALL;
    DecodedImage image;
    const HRESULT decoded = DecodeImageFile(static_cast<const BYTE*>(data), dataSize, image);
    if (FAILED(decoded))
        return decoded;
    if (info)
        *info = image.info;
    return LoadSurfaceFromLevel(dest, destRect, image.Level(0),
                                srcRect ? *srcRect : WholeRect(image.info.Width, image.info.Height), filter, colorKey);
}

HRESULT D3DXLoadSurfaceFromFileA(IDirect3DSurface8* dest, const PALETTEENTRY* destPalette, const RECT* destRect,
                                 const char* file, const RECT* srcRect, DWORD filter, D3DCOLOR colorKey,
                                 D3DXIMAGE_INFO* info)
{
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(file, bytes)) {
        if (info)
            *info = {};
        return E_FAIL;
    }
    return D3DXLoadSurfaceFromFileInMemory(dest, destPalette, destRect, bytes.data(), static_cast<UINT>(bytes.size()),
                                           srcRect, filter, colorKey, info);
}

HRESULT D3DXFilterTexture(IDirect3DBaseTexture8* texture, const PALETTEENTRY*, UINT srcLevel, DWORD filter)
{
    const UINT faces = TextureFaceCount(texture);
    if (!faces || !FilterValid(filter))
        return D3DERR_INVALIDCALL;
    if (srcLevel == D3DX_DEFAULT)
        srcLevel = 0;
    if (srcLevel >= texture->GetLevelCount())
        return D3DERR_INVALIDCALL;
    ArgbImage image;
    for (UINT face = 0; face < faces; ++face) {
        IDirect3DSurface8* surface = TextureSurface(texture, face, srcLevel);
        const HRESULT read = surface ? ReadSurfacePixels(surface, nullptr, image) : D3DERR_INVALIDCALL;
        if (surface)
            surface->Release();
        if (FAILED(read))
            return read;
        const HRESULT built = BuildMipChain(texture, face, srcLevel, std::move(image), filter);
        if (FAILED(built))
            return built;
    }
    return D3D_OK;
}
