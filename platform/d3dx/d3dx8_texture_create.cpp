#include <vector>

#include "platform/gl/d3d8_formats.h"
#include "platform/d3dx/d3dx8_texture_image.h"
#include "platform/d3dx/d3dx8_texture_surface.h"
#include "platform/d3dx/dxt_codec.h"

namespace {

constexpr UINT kDefaultSide = 256;
constexpr UINT kLargestSide = 16384;

// The nearest format the device stores as a texture (what hardware of the time offered).
D3DFORMAT StorableFormat(D3DFORMAT format, DWORD usage)
{
    switch (format) {
        case D3DFMT_UNKNOWN:
            return D3DFMT_A8R8G8B8;
        case D3DFMT_R8G8B8:
            return D3DFMT_X8R8G8B8;
        case D3DFMT_A4L4:
            return D3DFMT_A8L8;
        default:
            break;
    }
    const GlFormat* stored = GlFindFormat(format);
    if (!stored || stored->depth)
        return D3DFMT_A8R8G8B8;
    if ((usage & D3DUSAGE_RENDERTARGET) && stored->blockBytes)
        return D3DFMT_A8R8G8B8;
    return format;
}

bool SideFromRequest(UINT requested, UINT fallback, UINT& side)
{
    side = (requested == 0 || requested == D3DX_DEFAULT) ? fallback : requested;
    return side <= kLargestSide;
}

HRESULT FillFromImage(IDirect3DTexture8* texture, const DecodedImage& image, DWORD filter, DWORD mipFilter,
                      D3DCOLOR colorKey)
{
    D3DSURFACE_DESC top = {};
    texture->GetLevelDesc(0, &top);
    const UINT levels = texture->GetLevelCount();
    // The file's own levels serve when the size is kept; the rest are filtered down.
    const bool sameSize = top.Width == image.info.Width && top.Height == image.info.Height;
    const UINT fileLevels = sameSize ? (image.levels < levels ? image.levels : levels) : 1;
    for (UINT level = 0; level < fileLevels; ++level) {
        IDirect3DSurface8* surface = TextureSurface(texture, 0, level);
        const PixelLevel source = image.Level(level);
        const RECT whole = {0, 0, static_cast<LONG>(source.width), static_cast<LONG>(source.height)};
        const HRESULT result =
            surface ? LoadSurfaceFromLevel(surface, nullptr, source, whole, filter, colorKey) : D3DERR_INVALIDCALL;
        if (surface)
            surface->Release();
        if (FAILED(result))
            return result;
    }
    if (fileLevels >= levels)
        return D3D_OK;
    // The chain starts from the source pixels, not from the texture's (perhaps compressed) copy.
    const UINT last = fileLevels - 1;
    const PixelLevel source = image.Level(last);
    ArgbImage pixels, scaled;
    ReadPixels(source, {0, 0, static_cast<LONG>(source.width), static_cast<LONG>(source.height)}, pixels);
    if (colorKey)
        ApplyColourKey(pixels, colorKey);
    D3DSURFACE_DESC desc = {};
    texture->GetLevelDesc(last, &desc);
    if (desc.Width != pixels.width || desc.Height != pixels.height) {
        ResampleImage(pixels, desc.Width, desc.Height, filter, scaled);
        std::swap(pixels, scaled);
    }
    return BuildMipChain(texture, 0, last, std::move(pixels), mipFilter);
}

}  // namespace

HRESULT D3DXCheckTextureRequirements(IDirect3DDevice8* device, UINT* width, UINT* height, UINT* mipLevels, DWORD usage,
                                     D3DFORMAT* format, D3DPOOL)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    UINT w = kDefaultSide, h = kDefaultSide;
    if (width && !SideFromRequest(*width, kDefaultSide, w))
        w = kLargestSide;
    if (height && !SideFromRequest(*height, kDefaultSide, h))
        h = kLargestSide;
    if (width)
        *width = w;
    if (height)
        *height = h;
    if (mipLevels) {
        const UINT full = FullLevelCount(w, h);
        *mipLevels = (*mipLevels == 0 || *mipLevels == D3DX_DEFAULT || *mipLevels > full) ? full : *mipLevels;
    }
    if (format)
        *format = StorableFormat(*format, usage);
    return D3D_OK;
}

HRESULT D3DXCreateTexture(IDirect3DDevice8* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8** texture)
{
    if (!device || !texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    D3DXCheckTextureRequirements(device, &width, &height, &mipLevels, usage, &format, pool);
    return device->CreateTexture(width, height, mipLevels, usage, format, pool, texture);
}

HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, UINT dataSize, D3DXIMAGE_INFO* info)
{
    if (!data || !info)
        return D3DERR_INVALIDCALL;
    return ReadImageInfo(static_cast<const BYTE*>(data), dataSize, *info);
}

HRESULT D3DXGetImageInfoFromFileA(const char* file, D3DXIMAGE_INFO* info)
{
    std::vector<BYTE> bytes;
    if (!info || !ReadWholeFile(file, bytes))
        return info ? E_FAIL : D3DERR_INVALIDCALL;
    return ReadImageInfo(bytes.data(), bytes.size(), *info);
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice8* device, const void* data, UINT dataSize, UINT width,
                                            UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            DWORD filter, DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                            PALETTEENTRY*, IDirect3DTexture8** texture)
{
    if (info)
        *info = {};
    if (!device || !data || !texture || !FilterValid(filter) || !FilterValid(mipFilter))
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    DecodedImage image;
    const HRESULT decoded = DecodeImageFile(static_cast<const BYTE*>(data), dataSize, image);
    if (FAILED(decoded))
        return decoded;
    if (info)
        *info = image.info;
    UINT w, h;
    if (!SideFromRequest(width, image.info.Width, w) || !SideFromRequest(height, image.info.Height, h))
        return D3DERR_INVALIDCALL;
    if (format == D3DFMT_UNKNOWN)
        format = image.info.Format;
    D3DXCheckTextureRequirements(device, &w, &h, &mipLevels, usage, &format, pool);
    IDirect3DTexture8* created = nullptr;
    HRESULT result = device->CreateTexture(w, h, mipLevels, usage, format, pool, &created);
    if (FAILED(result))
        return result;
    result = FillFromImage(created, image, filter, mipFilter, colorKey);
    if (FAILED(result)) {
        created->Release();
        return result;
    }
    *texture = created;
    return D3D_OK;
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8* device, const char* file, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                     DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                     IDirect3DTexture8** texture)
{
    if (texture)
        *texture = nullptr;
    if (info)
        *info = {};
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(file, bytes))
        return E_FAIL;
    return D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), static_cast<UINT>(bytes.size()), width, height,
                                               mipLevels, usage, format, pool, filter, mipFilter, colorKey, info,
                                               palette, texture);
}

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice8* device, const char* file, IDirect3DTexture8** texture)
{
    return D3DXCreateTextureFromFileExA(device, file, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                        D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, texture);
}

HRESULT D3DXCreateTextureFromFileInMemory(IDirect3DDevice8* device, const void* data, UINT dataSize,
                                          IDirect3DTexture8** texture)
{
    return D3DXCreateTextureFromFileInMemoryEx(device, data, dataSize, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                               D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                               nullptr, texture);
}
