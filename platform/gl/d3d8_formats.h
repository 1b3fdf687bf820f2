// How each Direct3D surface format is stored in OpenGL, and Direct3D's level sizes and pitches.
#pragma once
#include "platform/d3d8.h"
#include "platform/gl/d3d8_gl.h"

struct GlFormat {
    D3DFORMAT format;
    GLenum internalFormat;
    GLenum pixelFormat;  // transfer format; 0 for block-compressed formats
    GLenum pixelType;
    BYTE bytesPerPixel;  // 0 for block-compressed formats
    BYTE blockBytes;     // bytes per 4x4 block of a compressed format
    bool depth;
    bool stencil;
    GLint swizzle[4];  // GL_RED... per channel; all 0 keeps the identity
};

// Null for formats the device does not store.
const GlFormat* GlFindFormat(D3DFORMAT format);
bool FormatIsCompressed(D3DFORMAT format);
bool FormatIsDepth(D3DFORMAT format);
bool FormatHasStencil(D3DFORMAT format);
// Direct3D's bytes per row of a level (per row of 4x4 blocks for compressed formats).
UINT FormatRowPitch(const GlFormat& format, UINT width);
// Rows of a level (rows of blocks for compressed formats).
UINT FormatRowCount(const GlFormat& format, UINT height);
UINT FormatLevelBytes(const GlFormat& format, UINT width, UINT height);
// Size of a level: halved per level, never below 1.
inline UINT LevelExtent(UINT extent, UINT level)
{
    return (extent >> level) ? (extent >> level) : 1;
}
// Levels of a full chain down to 1 x 1.
UINT FullLevelCount(UINT width, UINT height);
