#include <bit>
#include <cstring>

#include "platform/gl/d3d8_formats.h"
#include "platform/d3dx/d3dx8_texture_pixels.h"
#include "platform/d3dx/dds_file.h"
#include "platform/d3dx/dxt_codec.h"

namespace {

constexpr DWORD kDdsMagic = 0x20534444;  // "DDS "
constexpr DWORD kHeaderSize = 124;
constexpr DWORD kPixelFormatSize = 32;
constexpr DWORD kFlagMipMapCount = 0x20000;
constexpr DWORD kCapsMipMap = 0x400000;
constexpr DWORD kCaps2CubeMap = 0x200;
constexpr DWORD kCaps2Volume = 0x200000;
constexpr UINT kLargestSide = 16384;

constexpr DdsPixelLayout kLayouts[] = {
    {D3DFMT_A8R8G8B8, kDdpfRgb | kDdpfAlphaPixels, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
    {D3DFMT_X8R8G8B8, kDdpfRgb, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0},
    {D3DFMT_R8G8B8, kDdpfRgb, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0},
    {D3DFMT_R5G6B5, kDdpfRgb, 16, 0xF800, 0x07E0, 0x001F, 0},
    {D3DFMT_A1R5G5B5, kDdpfRgb | kDdpfAlphaPixels, 16, 0x7C00, 0x03E0, 0x001F, 0x8000},
    {D3DFMT_X1R5G5B5, kDdpfRgb, 16, 0x7C00, 0x03E0, 0x001F, 0},
    {D3DFMT_A4R4G4B4, kDdpfRgb | kDdpfAlphaPixels, 16, 0x0F00, 0x00F0, 0x000F, 0xF000},
    {D3DFMT_X4R4G4B4, kDdpfRgb, 16, 0x0F00, 0x00F0, 0x000F, 0},
    {D3DFMT_R3G3B2, kDdpfRgb, 8, 0xE0, 0x1C, 0x03, 0},
    {D3DFMT_A8R3G3B2, kDdpfRgb | kDdpfAlphaPixels, 16, 0x00E0, 0x001C, 0x0003, 0xFF00},
    {D3DFMT_A2B10G10R10, kDdpfRgb | kDdpfAlphaPixels, 32, 0x000003FF, 0x000FFC00, 0x3FF00000, 0xC0000000},
    {D3DFMT_G16R16, kDdpfRgb, 32, 0x0000FFFF, 0xFFFF0000, 0, 0},
    {D3DFMT_A8, kDdpfAlpha, 8, 0, 0, 0, 0xFF},
    {D3DFMT_L8, kDdpfLuminance, 8, 0xFF, 0, 0, 0},
    {D3DFMT_A8L8, kDdpfLuminance | kDdpfAlphaPixels, 16, 0x00FF, 0, 0, 0xFF00},
    {D3DFMT_A4L4, kDdpfLuminance | kDdpfAlphaPixels, 8, 0x0F, 0, 0, 0xF0},
};

DWORD Read32(const BYTE* p)
{
    return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
           static_cast<DWORD>(p[3]) << 24;
}

struct PixelFormatFields {
    DWORD flags, fourCC, bitCount, red, green, blue, alpha;
};

constexpr DWORD kKindFlags = kDdpfRgb | kDdpfLuminance | kDdpfAlpha;

const DdsPixelLayout* MatchLayout(const PixelFormatFields& pf)
{
    const DWORD alpha = (pf.flags & (kDdpfAlphaPixels | kDdpfAlpha)) ? pf.alpha : 0;
    for (const DdsPixelLayout& layout : kLayouts) {
        if ((layout.flags & kKindFlags) == (pf.flags & kKindFlags) && layout.bitCount == pf.bitCount &&
            layout.redMask == pf.red && layout.greenMask == pf.green && layout.blueMask == pf.blue &&
            layout.alphaMask == alpha)
            return &layout;
    }
    return nullptr;
}

// One channel of a masked pixel, scaled to 8 bits; `missing` when the mask is empty.
DWORD MaskedChannel(DWORD pixel, DWORD mask, DWORD missing)
{
    if (!mask)
        return missing;
    const DWORD value = (pixel & mask) >> std::countr_zero(mask);
    const std::uint64_t top = mask >> std::countr_zero(mask);
    return static_cast<DWORD>((value * 255ull + top / 2) / top);
}

// A pixel layout with masks of its own: every level into A8R8G8B8.
bool ConvertMasked(const PixelFormatFields& pf, const BYTE* source, DdsImage& image)
{
    const DWORD bytes = pf.bitCount / 8;
    const DWORD alphaMask = (pf.flags & (kDdpfAlphaPixels | kDdpfAlpha)) ? pf.alpha : 0;
    image.converted.resize(DdsLevelOffset(D3DFMT_A8R8G8B8, image.width, image.height, image.levels));
    BYTE* out = image.converted.data();
    std::size_t pixels = 0;
    for (UINT level = 0; level < image.levels; ++level)
        pixels += static_cast<std::size_t>(LevelExtent(image.width, level)) * LevelExtent(image.height, level);
    for (std::size_t i = 0; i < pixels; ++i, source += bytes, out += 4) {
        DWORD pixel = 0;
        for (DWORD b = 0; b < bytes; ++b)
            pixel |= static_cast<DWORD>(source[b]) << (8 * b);
        DWORD r, g, b;
        if (pf.flags & kDdpfLuminance) {
            r = g = b = MaskedChannel(pixel, pf.red, 0);
        } else {
            r = MaskedChannel(pixel, pf.red, 0);
            g = MaskedChannel(pixel, pf.green, 0);
            b = MaskedChannel(pixel, pf.blue, 0);
        }
        const DWORD a = MaskedChannel(pixel, alphaMask, 255);
        out[0] = static_cast<BYTE>(b);
        out[1] = static_cast<BYTE>(g);
        out[2] = static_cast<BYTE>(r);
        out[3] = static_cast<BYTE>(a);
    }
    image.bits = image.converted.data();
    image.format = D3DFMT_A8R8G8B8;
    return true;
}

bool MasksFit(const PixelFormatFields& pf)
{
    if (pf.bitCount != 8 && pf.bitCount != 16 && pf.bitCount != 24 && pf.bitCount != 32)
        return false;
    const DWORD all = pf.red | pf.green | pf.blue | pf.alpha;
    return pf.bitCount == 32 || (all >> pf.bitCount) == 0;
}

}  // namespace

const DdsPixelLayout* DdsLayoutOf(D3DFORMAT format)
{
    for (const DdsPixelLayout& layout : kLayouts) {
        if (layout.format == format)
            return &layout;
    }
    return nullptr;
}

std::size_t DdsLevelBytes(D3DFORMAT format, UINT width, UINT height, UINT level)
{
    return static_cast<std::size_t>(PixelRowPitch(format, LevelExtent(width, level))) *
           PixelRowCount(format, LevelExtent(height, level));
}

std::size_t DdsLevelOffset(D3DFORMAT format, UINT width, UINT height, UINT level)
{
    std::size_t offset = 0;
    for (UINT i = 0; i < level; ++i)
        offset += DdsLevelBytes(format, width, height, i);
    return offset;
}

bool DdsRead(const BYTE* data, std::size_t size, DdsImage& image)
{
    image = DdsImage();
    if (!data || size < kDdsHeaderBytes || Read32(data) != kDdsMagic)
        return false;
    const BYTE* header = data + 4;
    if (Read32(header) != kHeaderSize || Read32(header + 72) != kPixelFormatSize)
        return false;
    const DWORD flags = Read32(header + 4);
    const UINT height = Read32(header + 8);
    const UINT width = Read32(header + 12);
    const UINT mipCount = Read32(header + 24);
    PixelFormatFields pf;
    pf.flags = Read32(header + 76);
    pf.fourCC = Read32(header + 80);
    pf.bitCount = Read32(header + 84);
    pf.red = Read32(header + 88);
    pf.green = Read32(header + 92);
    pf.blue = Read32(header + 96);
    pf.alpha = Read32(header + 100);
    const DWORD caps = Read32(header + 104);
    const DWORD caps2 = Read32(header + 108);

    if (width == 0 || height == 0 || width > kLargestSide || height > kLargestSide)
        return false;
    if (caps2 & (kCaps2CubeMap | kCaps2Volume))
        return false;
    UINT full = 1;
    for (UINT side = width > height ? width : height; side > 1; side >>= 1)
        ++full;
    UINT levels = 1;
    if ((flags & kFlagMipMapCount) || (caps & kCapsMipMap))
        levels = mipCount ? mipCount : 1;
    if (levels > full)
        return false;

    const DdsPixelLayout* layout = nullptr;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    if (pf.flags & kDdpfFourCC) {
        // DXT blocks, or a Direct3D format number in place of a four-character code.
        format = static_cast<D3DFORMAT>(pf.fourCC);
        if (!DxtBlockBytes(format) && !DdsLayoutOf(format))
            return false;
    } else if (pf.flags & kDdpfPaletteIndexed8) {
        return false;
    } else {
        if (!(pf.flags & kKindFlags) || !MasksFit(pf))
            return false;
        layout = MatchLayout(pf);
        format = layout ? layout->format : D3DFMT_UNKNOWN;
    }

    image.width = width;
    image.height = height;
    image.levels = levels;
    const BYTE* levelData = data + kDdsHeaderBytes;
    const std::size_t available = size - kDdsHeaderBytes;
    if (format != D3DFMT_UNKNOWN) {
        if (DdsLevelOffset(format, width, height, levels) > available)
            return false;
        image.format = format;
        image.bits = levelData;
        return true;
    }
    // A layout of its own: its bytes per pixel give the size the levels take in the file.
    std::size_t needed = 0;
    for (UINT level = 0; level < levels; ++level)
        needed += static_cast<std::size_t>(LevelExtent(width, level)) * LevelExtent(height, level) * (pf.bitCount / 8);
    if (needed > available)
        return false;
    return ConvertMasked(pf, levelData, image);
}
