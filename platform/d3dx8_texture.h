// Our D3DX 8 texture and surface functions: creating textures, loading them from image files
// (BMP, JPEG, PNG, TGA, DDS) on disk or in memory, format conversion between surfaces (to and
// from DXT), box-filtered mip chains, and saving surfaces and textures as DDS or BMP.
// Sizes, levels, pitches and formats follow Direct3D's rules; failures return a negative HRESULT.
#pragma once
#include "platform/d3d8.h"

// A palette colour (palettised formats are not stored; the parameters are accepted and ignored).
struct PALETTEENTRY {
    BYTE peRed, peGreen, peBlue, peFlags;
};

// "Take it from the file" / "the whole chain" for sizes, level counts and filters.
constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;

// Filters: the low byte chooses the resampling, the high bits add mirroring and dithering.
constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;
constexpr DWORD D3DX_FILTER_MIRROR_U = 0x00010000;
constexpr DWORD D3DX_FILTER_MIRROR_V = 0x00020000;
constexpr DWORD D3DX_FILTER_MIRROR_W = 0x00040000;
constexpr DWORD D3DX_FILTER_MIRROR = 0x00070000;
constexpr DWORD D3DX_FILTER_DITHER = 0x00080000;

// The image is damaged or of a kind no loader reads.
constexpr HRESULT D3DXERR_INVALIDDATA = static_cast<HRESULT>(0x88760B59u);

enum D3DXIMAGE_FILEFORMAT : std::uint32_t {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_PPM = 5,
    D3DXIFF_DIB = 6,
};

// What a file holds: its own size, level count (1 for all but DDS) and the format a texture
// made from it takes when the caller asks for D3DFMT_UNKNOWN.
struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

// Adjusts the requested size, level count and format to what the device can make:
// D3DX_DEFAULT or 0 sizes become 256, levels 0 or D3DX_DEFAULT the full chain.
HRESULT D3DXCheckTextureRequirements(IDirect3DDevice8* device, UINT* width, UINT* height, UINT* mipLevels, DWORD usage,
                                     D3DFORMAT* format, D3DPOOL pool);

HRESULT D3DXCreateTexture(IDirect3DDevice8* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8** texture);

HRESULT D3DXGetImageInfoFromFileA(const char* file, D3DXIMAGE_INFO* info);
HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, UINT dataSize, D3DXIMAGE_INFO* info);

// width, height 0 or D3DX_DEFAULT: the file's size; mipLevels 0 or D3DX_DEFAULT: the full chain.
// When the size is kept, the levels a DDS file holds are loaded (converted when the format differs)
// and the rest are built with mipFilter. format D3DFMT_UNKNOWN: the file's format, or the nearest
// one the device stores. colorKey (0 = none) makes texels of that A8R8G8B8 colour transparent black.
// info, when given, receives what the file holds.
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8* device, const char* file, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                     DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                     IDirect3DTexture8** texture);
HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice8* device, const void* data, UINT dataSize, UINT width,
                                            UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            DWORD filter, DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                            PALETTEENTRY* palette, IDirect3DTexture8** texture);
// All defaults, managed pool.
HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice8* device, const char* file, IDirect3DTexture8** texture);
HRESULT D3DXCreateTextureFromFileInMemory(IDirect3DDevice8* device, const void* data, UINT dataSize,
                                          IDirect3DTexture8** texture);

// Surface loads: the source rectangle (null = whole) is converted and resampled with filter into the
// destination rectangle (null = whole). D3DX_DEFAULT filter means triangle (here: the area average
// when shrinking, bilinear when enlarging). Same size, same format and no colour key copy the bytes.
HRESULT D3DXLoadSurfaceFromFileA(IDirect3DSurface8* dest, const PALETTEENTRY* destPalette, const RECT* destRect,
                                 const char* file, const RECT* srcRect, DWORD filter, D3DCOLOR colorKey,
                                 D3DXIMAGE_INFO* info);
HRESULT D3DXLoadSurfaceFromFileInMemory(IDirect3DSurface8* dest, const PALETTEENTRY* destPalette, const RECT* destRect,
                                        const void* data, UINT dataSize, const RECT* srcRect, DWORD filter,
                                        D3DCOLOR colorKey, D3DXIMAGE_INFO* info);
HRESULT D3DXLoadSurfaceFromSurface(IDirect3DSurface8* dest, const PALETTEENTRY* destPalette, const RECT* destRect,
                                   IDirect3DSurface8* src, const PALETTEENTRY* srcPalette, const RECT* srcRect,
                                   DWORD filter, D3DCOLOR colorKey);
// srcPitch: bytes per row (per row of 4x4 blocks for DXT formats).
HRESULT D3DXLoadSurfaceFromMemory(IDirect3DSurface8* dest, const PALETTEENTRY* destPalette, const RECT* destRect,
                                  const void* srcMemory, D3DFORMAT srcFormat, UINT srcPitch,
                                  const PALETTEENTRY* srcPalette, const RECT* srcRect, DWORD filter, D3DCOLOR colorKey);

// Rebuilds every level below srcLevel from the one above it (D3DX_DEFAULT filter: box).
HRESULT D3DXFilterTexture(IDirect3DBaseTexture8* texture, const PALETTEENTRY* palette, UINT srcLevel, DWORD filter);

// Writes D3DXIFF_DDS (the surface's own format; a 2D texture with its whole chain) or D3DXIFF_BMP
// (24-bit, level 0; alpha dropped). Other file formats and cube textures: D3DERR_INVALIDCALL.
HRESULT D3DXSaveSurfaceToFileA(const char* file, D3DXIMAGE_FILEFORMAT fileFormat, IDirect3DSurface8* src,
                               const PALETTEENTRY* srcPalette, const RECT* srcRect);
HRESULT D3DXSaveTextureToFileA(const char* file, D3DXIMAGE_FILEFORMAT fileFormat, IDirect3DBaseTexture8* texture,
                               const PALETTEENTRY* palette);
