// Pixels between Direct3D surface formats and 0xAARRGGBB words, and resampling: the working
// parts of the D3DX surface loads, mip filtering and saves.
#pragma once
#include <vector>

#include "platform/d3d8.h"

// Pixels as 0xAARRGGBB words, rows from the top.
struct ArgbImage {
    UINT width = 0, height = 0;
    std::vector<DWORD> pixels;

    void Resize(UINT w, UINT h)
    {
        width = w;
        height = h;
        pixels.resize(static_cast<std::size_t>(w) * h);
    }
    DWORD* Row(UINT y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
    const DWORD* Row(UINT y) const { return pixels.data() + static_cast<std::size_t>(y) * width; }
};

// A level's pixels in memory as Direct3D lays them out: bits point at texel (0, 0), pitch is the
// bytes per row (per row of 4x4 blocks for DXT formats).
struct PixelLevel {
    D3DFORMAT format;
    BYTE* bits;
    UINT pitch;
    UINT width, height;
};

// Formats the conversions read and write.
bool PixelFormatConvertible(D3DFORMAT format);
// Bytes per pixel of an uncompressed convertible format, 0 for DXT formats and the rest.
UINT PixelFormatBytes(D3DFORMAT format);
// Bytes per row of pixels (of 4x4 blocks for DXT) and rows (of blocks) of a level, as Direct3D has them.
UINT PixelRowPitch(D3DFORMAT format, UINT width);
UINT PixelRowCount(D3DFORMAT format, UINT height);

void ReadPixelRow(D3DFORMAT format, const BYTE* source, UINT count, DWORD* out);
void WritePixelRow(D3DFORMAT format, const DWORD* pixels, UINT count, BYTE* out);

// The pixels of rect (within the level) into out, sized to the rect.
void ReadPixels(const PixelLevel& level, const RECT& rect, ArgbImage& out);
// image (the size of rect) into rect of the level. DXT blocks that the rect covers only in part
// keep their other texels (decoded and encoded again).
void WritePixels(const ArgbImage& image, const RECT& rect, const PixelLevel& level);

// Texels equal to colorKey become transparent black.
void ApplyColourKey(ArgbImage& image, D3DCOLOR colorKey);

// Filter kinds (the low byte of a D3DX_FILTER_* value); false for a value D3DX refuses.
bool FilterValid(DWORD filter);
// src resampled to width x height: none copies without scaling (outside the source is transparent
// black), point takes the nearest texel, linear interpolates, box and triangle average the area a
// texel covers when shrinking and interpolate when enlarging.
void ResampleImage(const ArgbImage& src, UINT width, UINT height, DWORD filter, ArgbImage& out);
