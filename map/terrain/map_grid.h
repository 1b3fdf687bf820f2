// Square byte grids read from 32-bit TGA images: alpha maps of textures, vegetation layers, water
// masks, the heightmap.
#pragma once
#include <cstddef>

#include "core/types.h"

struct MapGrid {
    u8_t* data;  // size x size bytes, row y at offset y * size
    u32_t size;
};

// The grid of a whole TGA file in memory: an uncompressed true-colour (type 2), square, 32-bit image
// without colour map; the grid keeps each pixel's alpha byte, file row r as grid row size - 1 - r.
// Null for any other image, or one whose pixels the bytes do not hold.
MapGrid* MapGridFromTga(const void* bytes, size_t byteCount);
// The same from the disk file name + ".tga"; null when it is missing or not acceptable.
MapGrid* MapGridLoadTga(const char* name);
// The grid of name + ".tga": from disk, else through the virtual file system; null when neither
// gives an acceptable image.
MapGrid* MapGridLoad(const char* name);
// A new grid of size x size zero bytes; null when it cannot be made.
MapGrid* MapGridCreate(u32_t size);
// Writes name + ".tga": an uncompressed 32-bit true-colour header (size x size, top-down rows
// marked by descriptor 0x28) and the size x size pixels of 4 bytes as given. False when the file
// cannot be created or written.
bool TgaWrite32(const void* pixels, u32_t size, const char* name);
// Frees the data (data set to null, size to -1), then the grid. Null is ignored.
void MapGridFree(MapGrid* grid);
