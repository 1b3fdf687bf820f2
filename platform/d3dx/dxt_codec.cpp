#include "platform/d3dx/dxt_codec.h"

#include <cstring>

#define STB_DXT_IMPLEMENTATION
#include <stb/stb_dxt.h>

namespace {

DWORD Expand565(WORD colour)
{
    const DWORD r = (colour >> 11) & 31, g = (colour >> 5) & 63, b = colour & 31;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

WORD ReadWord(const BYTE* p)
{
    return static_cast<WORD>(p[0] | p[1] << 8);
}

DWORD Mix(DWORD a, DWORD b, DWORD weightA, DWORD weightB, DWORD divisor)
{
    DWORD out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const DWORD channel = (((a >> shift) & 0xFF) * weightA + ((b >> shift) & 0xFF) * weightB) / divisor;
        out |= channel << shift;
    }
    return out;
}

// The four colours of a colour block; alpha 255 except the transparent entry.
void ColourPalette(const BYTE* block, bool allowThreeColour, DWORD palette[4])
{
    const WORD c0 = ReadWord(block), c1 = ReadWord(block + 2);
    const DWORD e0 = Expand565(c0), e1 = Expand565(c1);
    palette[0] = 0xFF000000u | e0;
    palette[1] = 0xFF000000u | e1;
    if (c0 > c1 || !allowThreeColour) {
        palette[2] = 0xFF000000u | Mix(e0, e1, 2, 1, 3);
        palette[3] = 0xFF000000u | Mix(e0, e1, 1, 2, 3);
    } else {
        palette[2] = 0xFF000000u | Mix(e0, e1, 1, 1, 2);
        palette[3] = 0;
    }
}

void DecodeColour(const BYTE* block, bool allowThreeColour, DWORD texels[16])
{
    DWORD palette[4];
    ColourPalette(block, allowThreeColour, palette);
    DWORD indices = static_cast<DWORD>(block[4] | block[5] << 8 | block[6] << 16) | static_cast<DWORD>(block[7]) << 24;
    for (int i = 0; i < 16; ++i, indices >>= 2)
        texels[i] = palette[indices & 3];
}

void DecodeExplicitAlpha(const BYTE* block, DWORD texels[16])
{
    for (int i = 0; i < 16; ++i) {
        const DWORD nibble = (block[i / 2] >> ((i & 1) * 4)) & 15;
        texels[i] = (texels[i] & 0x00FFFFFFu) | (nibble * 17) << 24;
    }
}

void DecodeInterpolatedAlpha(const BYTE* block, DWORD texels[16])
{
    const DWORD a0 = block[0], a1 = block[1];
    DWORD levels[8] = {a0, a1};
    if (a0 > a1) {
        for (DWORD i = 2; i < 8; ++i)
            levels[i] = ((8 - i) * a0 + (i - 1) * a1) / 7;
    } else {
        for (DWORD i = 2; i < 6; ++i)
            levels[i] = ((6 - i) * a0 + (i - 1) * a1) / 5;
        levels[6] = 0;
        levels[7] = 255;
    }
    std::uint64_t indices = 0;
    for (int i = 0; i < 6; ++i)
        indices |= static_cast<std::uint64_t>(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i, indices >>= 3)
        texels[i] = (texels[i] & 0x00FFFFFFu) | levels[indices & 7] << 24;
}

void ToRgba(const DWORD texels[16], BYTE rgba[64])
{
    for (int i = 0; i < 16; ++i) {
        rgba[i * 4 + 0] = static_cast<BYTE>(texels[i] >> 16);
        rgba[i * 4 + 1] = static_cast<BYTE>(texels[i] >> 8);
        rgba[i * 4 + 2] = static_cast<BYTE>(texels[i]);
        rgba[i * 4 + 3] = static_cast<BYTE>(texels[i] >> 24);
    }
}

int Distance(DWORD a, DWORD b)
{
    int sum = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        sum += d * d;
    }
    return sum;
}

// DXT1 with transparent texels: the endpoints stb finds for the opaque texels, ordered for the
// three-colour mode, with each opaque texel matched to the nearest of the three colours.
void EncodeDxt1WithTransparency(const DWORD texels[16], BYTE* block)
{
    DWORD opaque[16];
    DWORD fill = 0;
    bool any = false;
    for (int i = 0; i < 16; ++i) {
        if ((texels[i] >> 24) >= 128) {
            fill = texels[i];
            any = true;
            break;
        }
    }
    if (!any) {
        static const BYTE kTransparent[8] = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
        std::memcpy(block, kTransparent, 8);
        return;
    }
    for (int i = 0; i < 16; ++i)
        opaque[i] = ((texels[i] >> 24) >= 128 ? texels[i] : fill) | 0xFF000000u;
    BYTE rgba[64];
    ToRgba(opaque, rgba);
    stb_compress_dxt_block(block, rgba, 0, STB_DXT_HIGHQUAL);
    // stb writes c0 >= c1; the three-colour mode wants c0 <= c1.
    BYTE swapped[4] = {block[2], block[3], block[0], block[1]};
    std::memcpy(block, swapped, 4);
    DWORD palette[4];
    ColourPalette(block, true, palette);
    DWORD indices = 0;
    for (int i = 0; i < 16; ++i) {
        DWORD index = 3;
        if ((texels[i] >> 24) >= 128) {
            index = 0;
            for (DWORD candidate = 1; candidate < 3; ++candidate) {
                if (Distance(texels[i], palette[candidate]) < Distance(texels[i], palette[index]))
                    index = candidate;
            }
        }
        indices |= index << (2 * i);
    }
    for (int i = 0; i < 4; ++i)
        block[4 + i] = static_cast<BYTE>(indices >> (8 * i));
}

}  // namespace

UINT DxtBlockBytes(D3DFORMAT format)
{
    switch (format) {
        case D3DFMT_DXT1:
            return 8;
        case D3DFMT_DXT2:
        case D3DFMT_DXT3:
        case D3DFMT_DXT4:
        case D3DFMT_DXT5:
            return 16;
        default:
            return 0;
    }
}

void DxtDecodeBlock(D3DFORMAT format, const BYTE* block, DWORD texels[16])
{
    switch (format) {
        case D3DFMT_DXT1:
            DecodeColour(block, true, texels);
            break;
        case D3DFMT_DXT2:
        case D3DFMT_DXT3:
            DecodeColour(block + 8, false, texels);
            DecodeExplicitAlpha(block, texels);
            break;
        case D3DFMT_DXT4:
        case D3DFMT_DXT5:
            DecodeColour(block + 8, false, texels);
            DecodeInterpolatedAlpha(block, texels);
            break;
        default:
            std::memset(texels, 0, 16 * sizeof(DWORD));
            break;
    }
}

void DxtEncodeBlock(D3DFORMAT format, const DWORD texels[16], BYTE* block)
{
    BYTE rgba[64];
    switch (format) {
        case D3DFMT_DXT1:
            for (int i = 0; i < 16; ++i) {
                if ((texels[i] >> 24) < 128) {
                    EncodeDxt1WithTransparency(texels, block);
                    return;
                }
            }
            ToRgba(texels, rgba);
            stb_compress_dxt_block(block, rgba, 0, STB_DXT_HIGHQUAL);
            break;
        case D3DFMT_DXT2:
        case D3DFMT_DXT3:
            for (int i = 0; i < 8; ++i) {
                // Round each alpha to its nearest 4-bit step.
                const DWORD low = ((texels[2 * i] >> 24) * 15 + 127) / 255;
                const DWORD high = ((texels[2 * i + 1] >> 24) * 15 + 127) / 255;
                block[i] = static_cast<BYTE>(low | high << 4);
            }
            ToRgba(texels, rgba);
            stb_compress_dxt_block(block + 8, rgba, 0, STB_DXT_HIGHQUAL);
            break;
        case D3DFMT_DXT4:
        case D3DFMT_DXT5:
            ToRgba(texels, rgba);
            stb_compress_dxt_block(block, rgba, 1, STB_DXT_HIGHQUAL);
            break;
        default:
            break;
    }
}

void DxtDecodeImage(D3DFORMAT format, const BYTE* blocks, UINT blockPitch, UINT width, UINT height, DWORD* pixels,
                    UINT pixelPitch)
{
    const UINT blockBytes = DxtBlockBytes(format);
    DWORD texels[16];
    for (UINT by = 0; by < height; by += 4) {
        const BYTE* block = blocks + static_cast<std::size_t>(by / 4) * blockPitch;
        for (UINT bx = 0; bx < width; bx += 4, block += blockBytes) {
            DxtDecodeBlock(format, block, texels);
            const UINT rows = height - by < 4 ? height - by : 4;
            const UINT columns = width - bx < 4 ? width - bx : 4;
            for (UINT y = 0; y < rows; ++y)
                std::memcpy(pixels + static_cast<std::size_t>(by + y) * pixelPitch + bx, texels + y * 4,
                            columns * sizeof(DWORD));
        }
    }
}

void DxtEncodeImage(D3DFORMAT format, const DWORD* pixels, UINT pixelPitch, UINT width, UINT height, BYTE* blocks,
                    UINT blockPitch)
{
    const UINT blockBytes = DxtBlockBytes(format);
    DWORD texels[16];
    for (UINT by = 0; by < height; by += 4) {
        BYTE* block = blocks + static_cast<std::size_t>(by / 4) * blockPitch;
        for (UINT bx = 0; bx < width; bx += 4, block += blockBytes) {
            for (UINT y = 0; y < 4; ++y) {
                const UINT sy = by + y < height ? by + y : height - 1;
                for (UINT x = 0; x < 4; ++x) {
                    const UINT sx = bx + x < width ? bx + x : width - 1;
                    texels[y * 4 + x] = pixels[static_cast<std::size_t>(sy) * pixelPitch + sx];
                }
            }
            DxtEncodeBlock(format, texels, block);
        }
    }
}
