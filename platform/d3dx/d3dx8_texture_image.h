// Image files in memory: recognising BMP, JPEG, PNG, TGA and DDS, checking that a file holds all
// the data its header promises, and decoding it into levels of one format.
#pragma once
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/d3dx8_texture.h"
#include "platform/d3dx/d3dx8_texture_pixels.h"
#include "platform/d3dx/dds_file.h"

struct DecodedImage {
    D3DXIMAGE_INFO info = {};
    D3DFORMAT format = D3DFMT_UNKNOWN;  // of the levels below: the file's own for DDS, else A8R8G8B8
    UINT levels = 0;
    const BYTE* bits = nullptr;  // level 0 followed by the smaller ones, as DdsLevelOffset places them
    DdsImage dds;
    std::unique_ptr<BYTE, void (*)(void*)> decoded{nullptr, std::free};

    // Level `level` as a pixel level (the bits stay read-only for the callers).
    PixelLevel Level(UINT level) const;
};

// What the file holds, from its header; D3DXERR_INVALIDDATA for a damaged or unknown file.
HRESULT ReadImageInfo(const BYTE* data, std::size_t size, D3DXIMAGE_INFO& info);
// The whole file decoded. data must outlive image (DDS levels are read in place).
HRESULT DecodeImageFile(const BYTE* data, std::size_t size, DecodedImage& image);
// A file's bytes through the engine's path resolver; false when it cannot be read.
bool ReadWholeFile(const char* path, std::vector<BYTE>& bytes);
