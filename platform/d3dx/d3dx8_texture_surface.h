// The shared steps of the D3DX surface and texture functions: filling a surface from pixels in
// memory, reading and writing whole surfaces as 0xAARRGGBB words, and building mip chains.
#pragma once
#include "platform/d3dx8_texture.h"
#include "platform/d3dx/d3dx8_texture_pixels.h"

// A level's surface of a 2D texture (face 0) or of a cube face, with a reference the caller
// releases; null when there is none.
IDirect3DSurface8* TextureSurface(IDirect3DBaseTexture8* texture, UINT face, UINT level);
// 6 for a cube texture, 1 for a 2D texture, 0 for anything else.
UINT TextureFaceCount(IDirect3DBaseTexture8* texture);

// srcRect of src converted, colour-keyed and resampled with filter into destRect (null: whole) of dest.
// Same size and format with no colour key copies the bytes as they are.
HRESULT LoadSurfaceFromLevel(IDirect3DSurface8* dest, const RECT* destRect, const PixelLevel& src, const RECT& srcRect,
                             DWORD filter, D3DCOLOR colorKey);

HRESULT ReadSurfacePixels(IDirect3DSurface8* surface, const RECT* rect, ArgbImage& out);
HRESULT WriteSurfacePixels(IDirect3DSurface8* surface, const ArgbImage& image);

// Levels level + 1 onwards of one face, each filtered down from the one above, starting from
// image (the pixels of `level`). D3DX_FILTER_NONE leaves them as they are.
HRESULT BuildMipChain(IDirect3DBaseTexture8* texture, UINT face, UINT level, ArgbImage image, DWORD filter);
