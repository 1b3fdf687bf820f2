// DDS files: a 4-byte magic, a 124-byte header with the pixel format, then every level of the
// surface from the largest down, each laid out as Direct3D lays out a locked level (tight rows;
// rows of 4x4 blocks for DXT). 2D surfaces only: cube maps, volumes and palettes are refused.
#pragma once
#include <cstddef>
#include <vector>

#include "platform/d3d8.h"

constexpr std::size_t kDdsHeaderBytes = 128;  // magic + header

struct DdsImage {
    UINT width = 0, height = 0, levels = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;  // the format of bits
    const BYTE* bits = nullptr;         // level 0 followed by the smaller levels
    // Holds the levels when the file's pixel layout is no Direct3D format (turned into A8R8G8B8).
    std::vector<BYTE> converted;
};

// Reads the file in data (which must outlive image.bits). False for a damaged or unsupported file.
bool DdsRead(const BYTE* data, std::size_t size, DdsImage& image);

// Bytes of level `level` (sizes halved per level, never below 1) and its offset from level 0.
std::size_t DdsLevelBytes(D3DFORMAT format, UINT width, UINT height, UINT level);
std::size_t DdsLevelOffset(D3DFORMAT format, UINT width, UINT height, UINT level);

// How the header's pixel format describes an uncompressed Direct3D format.
struct DdsPixelLayout {
    D3DFORMAT format;
    DWORD flags;  // DDPF_RGB, DDPF_LUMINANCE or DDPF_ALPHA, with DDPF_ALPHAPIXELS when there is alpha
    DWORD bitCount;
    DWORD redMask, greenMask, blueMask, alphaMask;
};
constexpr DWORD kDdpfAlphaPixels = 0x1;
constexpr DWORD kDdpfAlpha = 0x2;
constexpr DWORD kDdpfFourCC = 0x4;
constexpr DWORD kDdpfPaletteIndexed8 = 0x20;
constexpr DWORD kDdpfRgb = 0x40;
constexpr DWORD kDdpfLuminance = 0x20000;
// Null for DXT formats and formats no layout describes.
const DdsPixelLayout* DdsLayoutOf(D3DFORMAT format);

// Formats the writer can describe (those the reader maps to themselves).
bool DdsFormatWritable(D3DFORMAT format);
// Appends the magic and the header of a surface with levels levels; the caller appends the levels.
bool DdsWriteHeader(D3DFORMAT format, UINT width, UINT height, UINT levels, std::vector<BYTE>& out);
