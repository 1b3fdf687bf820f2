#include "map/terrain/map_grid.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/files/byte_io.h"
#include "core/files/vfs.h"
#include "platform/file_system.h"

namespace {

constexpr size_t kTgaHeaderSize = 18;
constexpr u8_t kTgaTrueColour = 2;

}  // namespace

MapGrid* MapGridCreate(u32_t size)
{
    auto* grid = static_cast<MapGrid*>(std::malloc(sizeof(MapGrid)));
    if (!grid)
        return nullptr;
    grid->size = size;
    grid->data = static_cast<u8_t*>(std::calloc(size_t(size) * size + 1, 1));
    if (!grid->data) {
        std::free(grid);
        return nullptr;
    }
    return grid;
}

MapGrid* MapGridFromTga(const void* bytes, size_t byteCount)
{
    if (!bytes || byteCount < kTgaHeaderSize)
        return nullptr;
    const u8_t* header = static_cast<const u8_t*>(bytes);
    const u32_t width = LoadU16(header + 12);
    const u32_t height = LoadU16(header + 14);
    if (header[1] != 0 || header[2] != kTgaTrueColour || header[16] != 32 || width != height || width == 0)
        return nullptr;
    const size_t pixelBytes = size_t(width) * width * 4;
    if (pixelBytes > byteCount - kTgaHeaderSize)
        return nullptr;

    MapGrid* grid = MapGridCreate(width);
    if (!grid)
        return nullptr;
    const u8_t* pixels = header + kTgaHeaderSize;
    for (u32_t row = 0; row < width; ++row) {
        const u8_t* source = pixels + size_t(row) * width * 4;
        u8_t* target = grid->data + size_t(width - 1 - row) * width;
        for (u32_t x = 0; x < width; ++x)
            target[x] = source[x * 4 + 3];
    }
    return grid;
}

MapGrid* MapGridLoadTga(const char* name)
{
    if (!name)
        return nullptr;
    const std::string path = std::string(name) + ".tga";
    std::FILE* file = PlatformOpenFile(path.c_str(), "rb");
    if (!file)
        return nullptr;
    std::vector<u8_t> bytes;
    u8_t chunk[16384];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    return MapGridFromTga(bytes.data(), bytes.size());
}

MapGrid* MapGridLoad(const char* name)
{
    if (!name)
        return nullptr;
    if (MapGrid* grid = MapGridLoadTga(name))
        return grid;
    u32_t size = 0;
    char* bytes = VFSLoadFile((std::string(name) + ".tga").c_str(), &size);
    if (!bytes)
        return nullptr;
    MapGrid* grid = MapGridFromTga(bytes, size);
    delete[] bytes;
    return grid;
}

bool TgaWrite32(const void* pixels, u32_t size, const char* name)
{
    if (!pixels || !name || size > 0xFFFF)
        return false;
    u8_t header[kTgaHeaderSize] = {};
    header[2] = kTgaTrueColour;
    StoreU16(header + 12, static_cast<u16_t>(size));
    StoreU16(header + 14, static_cast<u16_t>(size));
    header[16] = 32;
    header[17] = 0x28;
    const std::string path = std::string(name) + ".tga";
    std::FILE* file = PlatformOpenFile(path.c_str(), "wb");
    if (!file)
        return false;
    const size_t pixelBytes = size_t(size) * size * 4;
    bool written = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
                   std::fwrite(pixels, 1, pixelBytes, file) == pixelBytes;
    written = std::fflush(file) == 0 && written;
    return std::fclose(file) == 0 && written;
}

void MapGridFree(MapGrid* grid)
{
    if (!grid)
        return;
    std::free(grid->data);
    grid->data = nullptr;
    grid->size = static_cast<u32_t>(-1);
    std::free(grid);
}
