// Block compression of 4x4 texel blocks (DXT1 to DXT5) to and from 0xAARRGGBB words.
// Encoding uses stb_dxt for the colour endpoints; decoding is our own.
#pragma once
#include "platform/d3d8.h"

// Bytes of one 4x4 block: 8 for DXT1, 16 for DXT2 to DXT5, 0 for any other format.
UINT DxtBlockBytes(D3DFORMAT format);

// texels: the 16 texels of a block, row by row. DXT2 and DXT4 decode as DXT3 and DXT5 (the colour
// is not divided by alpha).
void DxtDecodeBlock(D3DFORMAT format, const BYTE* block, DWORD texels[16]);
// DXT1 texels with alpha below 128 become the transparent colour of the three-colour mode.
void DxtEncodeBlock(D3DFORMAT format, const DWORD texels[16], BYTE* block);

// Whole images: pixels hold width x height words at pixelPitch words per row; blocks hold the
// block rows at blockPitch bytes per row. Edge blocks repeat the last row and column.
void DxtDecodeImage(D3DFORMAT format, const BYTE* blocks, UINT blockPitch, UINT width, UINT height, DWORD* pixels,
                    UINT pixelPitch);
void DxtEncodeImage(D3DFORMAT format, const DWORD* pixels, UINT pixelPitch, UINT width, UINT height, BYTE* blocks,
                    UINT blockPitch);
