#include "platform/gl/d3d8_formats.h"

namespace {

constexpr GLint kIdentity[4] = {0, 0, 0, 0};
constexpr GLint kAlphaOnly[4] = {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED};
constexpr GLint kLuminance[4] = {GL_RED, GL_RED, GL_RED, GL_ONE};
constexpr GLint kLuminanceAlpha[4] = {GL_RED, GL_RED, GL_RED, GL_GREEN};

struct Row {
    D3DFORMAT format;
    GLenum internalFormat, pixelFormat, pixelType;
    BYTE bytesPerPixel, blockBytes;
    bool depth, stencil;
    const GLint* swizzle;
};

// 0xAARRGGBB words are the bytes B, G, R, A in memory: GL_BGRA with byte or reversed packed types.
// Formats without alpha use an internal format without alpha, so that blending reads 1 there.
constexpr Row kRows[] = {
    {D3DFMT_A8R8G8B8, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 4, 0, false, false, kIdentity},
    {D3DFMT_X8R8G8B8, GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE, 4, 0, false, false, kIdentity},
    {D3DFMT_R8G8B8, GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE, 3, 0, false, false, kIdentity},
    {D3DFMT_R5G6B5, GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 2, 0, false, false, kIdentity},
    {D3DFMT_X1R5G5B5, GL_RGB5, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 2, 0, false, false, kIdentity},
    {D3DFMT_A1R5G5B5, GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 2, 0, false, false, kIdentity},
    {D3DFMT_A4R4G4B4, GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 2, 0, false, false, kIdentity},
    {D3DFMT_X4R4G4B4, GL_RGB4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 2, 0, false, false, kIdentity},
    {D3DFMT_R3G3B2, GL_R3_G3_B2, GL_RGB, GL_UNSIGNED_BYTE_3_3_2, 1, 0, false, false, kIdentity},
    {D3DFMT_A2B10G10R10, GL_RGB10_A2, GL_RGBA, GL_UNSIGNED_INT_2_10_10_10_REV, 4, 0, false, false, kIdentity},
    {D3DFMT_G16R16, GL_RG16, GL_RG, GL_UNSIGNED_SHORT, 4, 0, false, false, kIdentity},
    {D3DFMT_A8, GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1, 0, false, false, kAlphaOnly},
    {D3DFMT_L8, GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1, 0, false, false, kLuminance},
    {D3DFMT_A8L8, GL_RG8, GL_RG, GL_UNSIGNED_BYTE, 2, 0, false, false, kLuminanceAlpha},
    {D3DFMT_DXT1, GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0, 0, 8, false, false, kIdentity},
    {D3DFMT_DXT2, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, 0, 16, false, false, kIdentity},
    {D3DFMT_DXT3, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, 0, 16, false, false, kIdentity},
    {D3DFMT_DXT4, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, 0, 16, false, false, kIdentity},
    {D3DFMT_DXT5, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, 0, 16, false, false, kIdentity},
    {D3DFMT_D16_LOCKABLE, GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, 2, 0, true, false, kIdentity},
    {D3DFMT_D16, GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, 2, 0, true, false, kIdentity},
    {D3DFMT_D24X8, GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, 4, 0, true, false, kIdentity},
    {D3DFMT_D32, GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, 4, 0, true, false, kIdentity},
    // GL offers no 1- or 4-bit stencil: those formats get 8 stencil bits.
    {D3DFMT_D24S8, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, 4, 0, true, true, kIdentity},
    {D3DFMT_D24X4S4, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, 4, 0, true, true, kIdentity},
    {D3DFMT_D15S1, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, 2, 0, true, true, kIdentity},
};

struct Table {
    GlFormat entries[sizeof kRows / sizeof kRows[0]];
    Table()
    {
        int i = 0;
        for (const Row& row : kRows) {
            GlFormat& entry = entries[i++];
            entry.format = row.format;
            entry.internalFormat = row.internalFormat;
            entry.pixelFormat = row.pixelFormat;
            entry.pixelType = row.pixelType;
            entry.bytesPerPixel = row.bytesPerPixel;
            entry.blockBytes = row.blockBytes;
            entry.depth = row.depth;
            entry.stencil = row.stencil;
            for (int c = 0; c < 4; ++c)
                entry.swizzle[c] = row.swizzle[c];
        }
    }
};

const Table& Formats()
{
    static const Table table;
    return table;
}

}  // namespace

const GlFormat* GlFindFormat(D3DFORMAT format)
{
    for (const GlFormat& entry : Formats().entries) {
        if (entry.format == format)
            return &entry;
    }
    return nullptr;
}

bool FormatIsCompressed(D3DFORMAT format)
{
    const GlFormat* entry = GlFindFormat(format);
    return entry && entry->blockBytes != 0;
}

bool FormatIsDepth(D3DFORMAT format)
{
    const GlFormat* entry = GlFindFormat(format);
    return entry && entry->depth;
}

bool FormatHasStencil(D3DFORMAT format)
{
    const GlFormat* entry = GlFindFormat(format);
    return entry && entry->stencil;
}

UINT FormatRowPitch(const GlFormat& format, UINT width)
{
    if (format.blockBytes)
        return ((width + 3) / 4) * format.blockBytes;
    return width * format.bytesPerPixel;
}

UINT FormatRowCount(const GlFormat& format, UINT height)
{
    return format.blockBytes ? (height + 3) / 4 : height;
}

UINT FormatLevelBytes(const GlFormat& format, UINT width, UINT height)
{
    return FormatRowPitch(format, width) * FormatRowCount(format, height);
}

UINT FullLevelCount(UINT width, UINT height)
{
    UINT extent = width > height ? width : height;
    UINT levels = 1;
    while (extent > 1) {
        extent >>= 1;
        ++levels;
    }
    return levels;
}
