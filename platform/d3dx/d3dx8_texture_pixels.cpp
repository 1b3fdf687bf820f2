#include "platform/d3dx/d3dx8_texture_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/d3dx8_texture.h"
#include "platform/d3dx/dxt_codec.h"

namespace {

// n-bit value to 8 bits and back, rounded.
inline DWORD Expand(DWORD value, DWORD bits)
{
    const DWORD top = (1u << bits) - 1;
    return (value * 255 + top / 2) / top;
}
inline DWORD Pack(DWORD channel, DWORD bits)
{
    const DWORD top = (1u << bits) - 1;
    return (channel * top + 127) / 255;
}

inline DWORD Argb(DWORD a, DWORD r, DWORD g, DWORD b)
{
    return a << 24 | r << 16 | g << 8 | b;
}
inline DWORD A(DWORD c)
{
    return c >> 24;
}
inline DWORD R(DWORD c)
{
    return (c >> 16) & 0xFF;
}
inline DWORD G(DWORD c)
{
    return (c >> 8) & 0xFF;
}
inline DWORD B(DWORD c)
{
    return c & 0xFF;
}
// Rec. 709 weights summing to 256, so that greys stay exact.
inline DWORD Luminance(DWORD c)
{
    return (R(c) * 54 + G(c) * 183 + B(c) * 19 + 128) >> 8;
}

inline WORD Word16(const BYTE* p)
{
    return static_cast<WORD>(p[0] | p[1] << 8);
}
inline DWORD Word32(const BYTE* p)
{
    return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
           static_cast<DWORD>(p[3]) << 24;
}
inline void Put16(BYTE* p, DWORD v)
{
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}
inline void Put32(BYTE* p, DWORD v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

struct Taps {
    std::vector<UINT> first, count, index;
    std::vector<float> weight;
    void Add(UINT i, double w)
    {
        index.push_back(i);
        weight.push_back(static_cast<float>(w));
    }
};

// Source texels and weights for each of `to` texels made from `from`.
void BuildTaps(UINT from, UINT to, DWORD kind, Taps& taps)
{
    taps.first.resize(to);
    taps.count.resize(to);
    const double scale = static_cast<double>(from) / to;
    for (UINT i = 0; i < to; ++i) {
        taps.first[i] = static_cast<UINT>(taps.index.size());
        if (kind == D3DX_FILTER_POINT) {
            taps.Add(std::min(static_cast<UINT>((i + 0.5) * scale), from - 1), 1.0);
        } else if (kind == D3DX_FILTER_LINEAR || to >= from) {
            const double centre = std::clamp((i + 0.5) * scale - 0.5, 0.0, static_cast<double>(from - 1));
            const UINT j0 = static_cast<UINT>(centre);
            const UINT j1 = std::min(j0 + 1, from - 1);
            const double t = centre - j0;
            taps.Add(j0, 1.0 - t);
            if (j1 != j0 && t > 0.0)
                taps.Add(j1, t);
        } else {
            const double start = i * scale, end = (i + 1) * scale;
            for (UINT j = static_cast<UINT>(start); j < from && j < end; ++j) {
                const double overlap = std::min(end, j + 1.0) - std::max(start, static_cast<double>(j));
                if (overlap > 0.0)
                    taps.Add(j, overlap / scale);
            }
        }
        taps.count[i] = static_cast<UINT>(taps.index.size()) - taps.first[i];
    }
}

inline DWORD ToByte(float v)
{
    const int rounded = static_cast<int>(v + 0.5f);
    return static_cast<DWORD>(rounded < 0 ? 0 : rounded > 255 ? 255 : rounded);
}

void CopyUnscaled(const ArgbImage& src, UINT width, UINT height, ArgbImage& out)
{
    out.Resize(width, height);
    std::fill(out.pixels.begin(), out.pixels.end(), 0u);
    const UINT columns = std::min(width, src.width);
    for (UINT y = 0; y < height && y < src.height; ++y)
        std::memcpy(out.Row(y), src.Row(y), columns * sizeof(DWORD));
}

// Rounded means of 4 or 2 texels, two channels at a time in 16-bit lanes.
inline DWORD Mean4(DWORD a, DWORD b, DWORD c, DWORD d)
{
    constexpr DWORD kLanes = 0x00FF00FFu;
    const DWORD even = (a & kLanes) + (b & kLanes) + (c & kLanes) + (d & kLanes) + 0x00020002u;
    const DWORD odd = (a >> 8 & kLanes) + (b >> 8 & kLanes) + (c >> 8 & kLanes) + (d >> 8 & kLanes) + 0x00020002u;
    return (even >> 2 & kLanes) | (odd >> 2 & kLanes) << 8;
}
inline DWORD Mean2(DWORD a, DWORD b)
{
    constexpr DWORD kLanes = 0x00FF00FFu;
    const DWORD even = (a & kLanes) + (b & kLanes) + 0x00010001u;
    const DWORD odd = (a >> 8 & kLanes) + (b >> 8 & kLanes) + 0x00010001u;
    return (even >> 1 & kLanes) | (odd >> 1 & kLanes) << 8;
}

// The common mip step: each texel the rounded mean of the 2 x 2 (or 2 x 1) it covers.
bool HalveExactly(const ArgbImage& src, UINT width, UINT height, ArgbImage& out)
{
    const bool halfAcross = width * 2 == src.width || (width == 1 && src.width == 1);
    const bool halfDown = height * 2 == src.height || (height == 1 && src.height == 1);
    if (!halfAcross || !halfDown)
        return false;
    const bool pairsAcross = src.width == width * 2, pairsDown = src.height == height * 2;
    out.Resize(width, height);
    for (UINT y = 0; y < height; ++y) {
        const DWORD* top = src.Row(pairsDown ? y * 2 : y);
        const DWORD* bottom = pairsDown ? top + src.width : top;
        DWORD* row = out.Row(y);
        if (pairsAcross && pairsDown) {
            for (UINT x = 0; x < width; ++x)
                row[x] = Mean4(top[2 * x], top[2 * x + 1], bottom[2 * x], bottom[2 * x + 1]);
        } else if (pairsAcross) {
            for (UINT x = 0; x < width; ++x)
                row[x] = Mean2(top[2 * x], top[2 * x + 1]);
        } else {
            for (UINT x = 0; x < width; ++x)
                row[x] = Mean2(top[x], bottom[x]);
        }
    }
    return true;
}

}  // namespace

bool PixelFormatConvertible(D3DFORMAT format)
{
    return PixelFormatBytes(format) != 0 || DxtBlockBytes(format) != 0;
}

UINT PixelFormatBytes(D3DFORMAT format)
{
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
        case D3DFMT_A2B10G10R10:
        case D3DFMT_G16R16:
            return 4;
        case D3DFMT_R8G8B8:
            return 3;
        case D3DFMT_R5G6B5:
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
        case D3DFMT_A4R4G4B4:
        case D3DFMT_X4R4G4B4:
        case D3DFMT_A8R3G3B2:
        case D3DFMT_A8L8:
            return 2;
        case D3DFMT_R3G3B2:
        case D3DFMT_A8:
        case D3DFMT_L8:
        case D3DFMT_A4L4:
            return 1;
        default:
            return 0;
    }
}

UINT PixelRowPitch(D3DFORMAT format, UINT width)
{
    if (const UINT block = DxtBlockBytes(format))
        return (width + 3) / 4 * block;
    return width * PixelFormatBytes(format);
}

UINT PixelRowCount(D3DFORMAT format, UINT height)
{
    return DxtBlockBytes(format) ? (height + 3) / 4 : height;
}

void ReadPixelRow(D3DFORMAT format, const BYTE* p, UINT count, DWORD* out)
{
    switch (format) {
        case D3DFMT_A8R8G8B8:
            for (UINT i = 0; i < count; ++i)
                out[i] = Word32(p + i * 4);
            break;
        case D3DFMT_X8R8G8B8:
            for (UINT i = 0; i < count; ++i)
                out[i] = Word32(p + i * 4) | 0xFF000000u;
            break;
        case D3DFMT_R8G8B8:
            for (UINT i = 0; i < count; ++i, p += 3)
                out[i] = Argb(255, p[2], p[1], p[0]);
            break;
        case D3DFMT_A2B10G10R10:
            for (UINT i = 0; i < count; ++i) {
                const DWORD v = Word32(p + i * 4);
                out[i] = Argb(Expand(v >> 30, 2), Expand(v & 0x3FF, 10), Expand((v >> 10) & 0x3FF, 10),
                              Expand((v >> 20) & 0x3FF, 10));
            }
            break;
        case D3DFMT_G16R16:
            for (UINT i = 0; i < count; ++i) {
                const DWORD v = Word32(p + i * 4);
                out[i] = Argb(255, Expand(v & 0xFFFF, 16), Expand(v >> 16, 16), 255);
            }
            break;
        case D3DFMT_R5G6B5:
            for (UINT i = 0; i < count; ++i) {
                const DWORD v = Word16(p + i * 2);
                out[i] = Argb(255, Expand(v >> 11, 5), Expand((v >> 5) & 63, 6), Expand(v & 31, 5));
            }
            break;
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
            for (UINT i = 0; i < count; ++i) {
                const DWORD v = Word16(p + i * 2);
                const DWORD alpha = format == D3DFMT_X1R5G5B5 || (v & 0x8000) ? 255 : 0;
                out[i] = Argb(alpha, Expand((v >> 10) & 31, 5), Expand((v >> 5) & 31, 5), Expand(v & 31, 5));
            }
            break;
        case D3DFMT_A4R4G4B4:
        case D3DFMT_X4R4G4B4:
            for (UINT i = 0; i < count; ++i) {
                const DWORD v = Word16(p + i * 2);
                const DWORD alpha = format == D3DFMT_X4R4G4B4 ? 255 : Expand(v >> 12, 4);
                out[i] = Argb(alpha, Expand((v >> 8) & 15, 4), Expand((v >> 4) & 15, 4), Expand(v & 15, 4));
            }
            break;
        case D3DFMT_A8R3G3B2:
        case D3DFMT_R3G3B2:
            for (UINT i = 0; i < count; ++i) {
                const bool wide = format == D3DFMT_A8R3G3B2;
                const DWORD v = wide ? Word16(p + i * 2) : p[i];
                out[i] = Argb(wide ? v >> 8 : 255, Expand((v >> 5) & 7, 3), Expand((v >> 2) & 7, 3), Expand(v & 3, 2));
            }
            break;
        case D3DFMT_A8L8:
            for (UINT i = 0; i < count; ++i)
                out[i] = Argb(p[i * 2 + 1], p[i * 2], p[i * 2], p[i * 2]);
            break;
        case D3DFMT_A8:
            for (UINT i = 0; i < count; ++i)
                out[i] = Argb(p[i], 0, 0, 0);
            break;
        case D3DFMT_L8:
            for (UINT i = 0; i < count; ++i)
                out[i] = Argb(255, p[i], p[i], p[i]);
            break;
        case D3DFMT_A4L4:
            for (UINT i = 0; i < count; ++i) {
                const DWORD l = Expand(p[i] & 15, 4);
                out[i] = Argb(Expand(p[i] >> 4, 4), l, l, l);
            }
            break;
        default:
            std::fill(out, out + count, 0u);
            break;
    }
}

void WritePixelRow(D3DFORMAT format, const DWORD* in, UINT count, BYTE* p)
{
    switch (format) {
        case D3DFMT_A8R8G8B8:
            for (UINT i = 0; i < count; ++i)
                Put32(p + i * 4, in[i]);
            break;
        case D3DFMT_X8R8G8B8:
            for (UINT i = 0; i < count; ++i)
                Put32(p + i * 4, in[i] | 0xFF000000u);
            break;
        case D3DFMT_R8G8B8:
            for (UINT i = 0; i < count; ++i, p += 3) {
                p[0] = static_cast<BYTE>(B(in[i]));
                p[1] = static_cast<BYTE>(G(in[i]));
                p[2] = static_cast<BYTE>(R(in[i]));
            }
            break;
        case D3DFMT_A2B10G10R10:
            for (UINT i = 0; i < count; ++i) {
                const DWORD c = in[i];
                Put32(p + i * 4, Pack(A(c), 2) << 30 | Pack(B(c), 10) << 20 | Pack(G(c), 10) << 10 | Pack(R(c), 10));
            }
            break;
        case D3DFMT_G16R16:
            for (UINT i = 0; i < count; ++i)
                Put32(p + i * 4, G(in[i]) * 257 << 16 | R(in[i]) * 257);
            break;
        case D3DFMT_R5G6B5:
            for (UINT i = 0; i < count; ++i)
                Put16(p + i * 2, Pack(R(in[i]), 5) << 11 | Pack(G(in[i]), 6) << 5 | Pack(B(in[i]), 5));
            break;
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
            for (UINT i = 0; i < count; ++i) {
                const DWORD alpha = format == D3DFMT_X1R5G5B5 || A(in[i]) >= 128 ? 0x8000 : 0;
                Put16(p + i * 2, alpha | Pack(R(in[i]), 5) << 10 | Pack(G(in[i]), 5) << 5 | Pack(B(in[i]), 5));
            }
            break;
        case D3DFMT_A4R4G4B4:
        case D3DFMT_X4R4G4B4:
            for (UINT i = 0; i < count; ++i) {
                const DWORD alpha = format == D3DFMT_X4R4G4B4 ? 15 : Pack(A(in[i]), 4);
                Put16(p + i * 2, alpha << 12 | Pack(R(in[i]), 4) << 8 | Pack(G(in[i]), 4) << 4 | Pack(B(in[i]), 4));
            }
            break;
        case D3DFMT_A8R3G3B2:
            for (UINT i = 0; i < count; ++i)
                Put16(p + i * 2, A(in[i]) << 8 | Pack(R(in[i]), 3) << 5 | Pack(G(in[i]), 3) << 2 | Pack(B(in[i]), 2));
            break;
        case D3DFMT_R3G3B2:
            for (UINT i = 0; i < count; ++i)
                p[i] = static_cast<BYTE>(Pack(R(in[i]), 3) << 5 | Pack(G(in[i]), 3) << 2 | Pack(B(in[i]), 2));
            break;
        case D3DFMT_A8L8:
            for (UINT i = 0; i < count; ++i) {
                p[i * 2] = static_cast<BYTE>(Luminance(in[i]));
                p[i * 2 + 1] = static_cast<BYTE>(A(in[i]));
            }
            break;
        case D3DFMT_A8:
            for (UINT i = 0; i < count; ++i)
                p[i] = static_cast<BYTE>(A(in[i]));
            break;
        case D3DFMT_L8:
            for (UINT i = 0; i < count; ++i)
                p[i] = static_cast<BYTE>(Luminance(in[i]));
            break;
        case D3DFMT_A4L4:
            for (UINT i = 0; i < count; ++i)
                p[i] = static_cast<BYTE>(Pack(A(in[i]), 4) << 4 | Pack(Luminance(in[i]), 4));
            break;
        default:
            break;
    }
}

void ReadPixels(const PixelLevel& level, const RECT& rect, ArgbImage& out)
{
    const UINT width = static_cast<UINT>(rect.right - rect.left);
    const UINT height = static_cast<UINT>(rect.bottom - rect.top);
    out.Resize(width, height);
    const UINT blockBytes = DxtBlockBytes(level.format);
    if (!blockBytes) {
        const UINT pixelBytes = PixelFormatBytes(level.format);
        for (UINT y = 0; y < height; ++y) {
            const BYTE* row = level.bits + static_cast<std::size_t>(rect.top + y) * level.pitch +
                              static_cast<std::size_t>(rect.left) * pixelBytes;
            ReadPixelRow(level.format, row, width, out.Row(y));
        }
        return;
    }
    DWORD texels[16];
    for (LONG by = rect.top / 4; by * 4 < rect.bottom; ++by) {
        for (LONG bx = rect.left / 4; bx * 4 < rect.right; ++bx) {
            DxtDecodeBlock(level.format, level.bits + static_cast<std::size_t>(by) * level.pitch + bx * blockBytes,
                           texels);
            for (LONG y = std::max(by * 4, rect.top); y < std::min(by * 4 + 4, rect.bottom); ++y) {
                for (LONG x = std::max(bx * 4, rect.left); x < std::min(bx * 4 + 4, rect.right); ++x)
                    out.Row(static_cast<UINT>(y - rect.top))[x - rect.left] = texels[(y - by * 4) * 4 + (x - bx * 4)];
            }
        }
    }
}

void WritePixels(const ArgbImage& image, const RECT& rect, const PixelLevel& level)
{
    const UINT blockBytes = DxtBlockBytes(level.format);
    if (!blockBytes) {
        const UINT pixelBytes = PixelFormatBytes(level.format);
        for (UINT y = 0; y < image.height; ++y) {
            BYTE* row = level.bits + static_cast<std::size_t>(rect.top + y) * level.pitch +
                        static_cast<std::size_t>(rect.left) * pixelBytes;
            WritePixelRow(level.format, image.Row(y), image.width, row);
        }
        return;
    }
    const LONG levelRight = static_cast<LONG>(level.width), levelBottom = static_cast<LONG>(level.height);
    DWORD texels[16];
    for (LONG by = rect.top / 4; by * 4 < rect.bottom; ++by) {
        for (LONG bx = rect.left / 4; bx * 4 < rect.right; ++bx) {
            BYTE* block = level.bits + static_cast<std::size_t>(by) * level.pitch + bx * blockBytes;
            // The texels of the block that lie inside the level.
            const LONG x0 = bx * 4, y0 = by * 4;
            const LONG x1 = std::min(x0 + 4, levelRight), y1 = std::min(y0 + 4, levelBottom);
            const bool whole = rect.left <= x0 && rect.top <= y0 && rect.right >= x1 && rect.bottom >= y1;
            if (!whole)
                DxtDecodeBlock(level.format, block, texels);
            for (LONG y = y0; y < y0 + 4; ++y) {
                for (LONG x = x0; x < x0 + 4; ++x) {
                    // Texels past the level's edge repeat its last row and column.
                    const LONG sx = std::min(x, x1 - 1), sy = std::min(y, y1 - 1);
                    if (sx >= rect.left && sx < rect.right && sy >= rect.top && sy < rect.bottom)
                        texels[(y - y0) * 4 + (x - x0)] = image.Row(static_cast<UINT>(sy - rect.top))[sx - rect.left];
                }
            }
            DxtEncodeBlock(level.format, texels, block);
        }
    }
}

void ApplyColourKey(ArgbImage& image, D3DCOLOR colorKey)
{
    for (DWORD& pixel : image.pixels) {
        if (pixel == colorKey)
            pixel = 0;
    }
}

bool FilterValid(DWORD filter)
{
    if (filter == D3DX_DEFAULT)
        return true;
    const DWORD kind = filter & 0xFF;
    return kind >= D3DX_FILTER_NONE && kind <= D3DX_FILTER_BOX &&
           (filter & ~0xFFu & ~(D3DX_FILTER_MIRROR | D3DX_FILTER_DITHER)) == 0;
}

void ResampleImage(const ArgbImage& src, UINT width, UINT height, DWORD filter, ArgbImage& out)
{
    const DWORD kind = filter == D3DX_DEFAULT ? D3DX_FILTER_TRIANGLE : filter & 0xFF;
    if (kind == D3DX_FILTER_NONE || (width == src.width && height == src.height) || src.width == 0 || src.height == 0) {
        CopyUnscaled(src, width, height, out);
        return;
    }
    if ((kind == D3DX_FILTER_BOX || kind == D3DX_FILTER_TRIANGLE) && HalveExactly(src, width, height, out))
        return;
    Taps across, down;
    BuildTaps(src.width, width, kind, across);
    BuildTaps(src.height, height, kind, down);
    // Across each source row, then down each column; four float channels in between.
    std::vector<float> middle(static_cast<std::size_t>(width) * src.height * 4);
    for (UINT y = 0; y < src.height; ++y) {
        const DWORD* row = src.Row(y);
        float* target = middle.data() + static_cast<std::size_t>(y) * width * 4;
        for (UINT x = 0; x < width; ++x, target += 4) {
            float sum[4] = {0, 0, 0, 0};
            for (UINT t = across.first[x]; t < across.first[x] + across.count[x]; ++t) {
                const DWORD c = row[across.index[t]];
                const float w = across.weight[t];
                sum[0] += w * A(c);
                sum[1] += w * R(c);
                sum[2] += w * G(c);
                sum[3] += w * B(c);
            }
            std::memcpy(target, sum, sizeof sum);
        }
    }
    out.Resize(width, height);
    for (UINT y = 0; y < height; ++y) {
        DWORD* row = out.Row(y);
        for (UINT x = 0; x < width; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (UINT t = down.first[y]; t < down.first[y] + down.count[y]; ++t) {
                const float* source = middle.data() + (static_cast<std::size_t>(down.index[t]) * width + x) * 4;
                const float w = down.weight[t];
                for (int c = 0; c < 4; ++c)
                    sum[c] += w * source[c];
            }
            row[x] = Argb(ToByte(sum[0]), ToByte(sum[1]), ToByte(sum[2]), ToByte(sum[3]));
        }
    }
}
