// Colour channels (floats, 1.0 = full) packed into the bytes of a D3DCOLOR (0xAARRGGBB). The
// renderer packs by two rules: rounded (v x 255 + 0.5, as colour console variables and material
// colours are packed) and truncated (v x 255 cut to an integer). Both saturate: a channel at 1.0 or
// above gives 255, one at 0 or below (or not a number) gives 0, so no value spills into the next
// byte or converts out of range.
#pragma once
#include "core/types.h"

inline u32_t ColourByteRounded(float channel)
{
    if (!(channel > 0.0f))
        return 0;
    if (channel >= 1.0f)
        return 255;
    return static_cast<u32_t>(channel * 255.0f + 0.5f);
}

inline u32_t ColourByteTruncated(float channel)
{
    if (!(channel > 0.0f))
        return 0;
    if (channel >= 1.0f)
        return 255;
    return static_cast<u32_t>(channel * 255.0f);
}

inline u32_t ColourPackRounded(float r, float g, float b, float a)
{
    return (ColourByteRounded(a) << 24) | (ColourByteRounded(r) << 16) | (ColourByteRounded(g) << 8) |
           ColourByteRounded(b);
}

inline u32_t ColourPackTruncated(float r, float g, float b, float a)
{
    return (ColourByteTruncated(a) << 24) | (ColourByteTruncated(r) << 16) | (ColourByteTruncated(g) << 8) |
           ColourByteTruncated(b);
}

// Four channels in the order red, green, blue, alpha (the layout of colour console variables).
inline u32_t ColourPackRounded(const float* rgba)
{
    return ColourPackRounded(rgba[0], rgba[1], rgba[2], rgba[3]);
}

inline u32_t ColourPackTruncated(const float* rgba)
{
    return ColourPackTruncated(rgba[0], rgba[1], rgba[2], rgba[3]);
}
