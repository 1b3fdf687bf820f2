// A screenshot's 24-bit BMP as the screenshot key writes it: its size, the red, green and blue of a
// pixel counted from the top left (rows are stored bottom up), and its stored bytes.
#pragma once
#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/types.h"
#include "support/files.h"

struct ScreenshotBmp {
    std::string bytes;
    size_t offset = 0, stride = 0;
    int width = 0, height = 0;

    u32_t Word(size_t at) const
    {
        return u32_t(u8_t(bytes[at])) | u32_t(u8_t(bytes[at + 1])) << 8 | u32_t(u8_t(bytes[at + 2])) << 16 |
               u32_t(u8_t(bytes[at + 3])) << 24;
    }
    // False unless the bytes are a whole 24-bit picture.
    bool Parse(const std::string& file)
    {
        bytes = file;
        if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || u8_t(bytes[28]) != 24)
            return false;
        offset = Word(10);
        width = int(Word(18));
        height = int(Word(22));
        stride = (size_t(width) * 3 + 3) & ~size_t(3);
        return width > 0 && height > 0 && bytes.size() >= offset + stride * size_t(height);
    }
    bool Read(const std::filesystem::path& path) { return Parse(ReadFileBytes(path)); }
    std::array<int, 3> Pixel(int x, int y) const
    {
        const size_t at = offset + stride * size_t(height - 1 - y) + size_t(x) * 3;
        return {u8_t(bytes[at + 2]), u8_t(bytes[at + 1]), u8_t(bytes[at])};
    }
    // Channel c (blue, green, red) of the pixel stored at (x, y), rows bottom up as in the file.
    int Channel(int x, int y, int c) const { return u8_t(bytes[offset + stride * size_t(y) + size_t(x) * 3 + c]); }
};

// The screenshots the screenshot key wrote into "screenshots" of the working folder, in the order of
// their names (the order they were taken); none when the folder is missing.
inline std::vector<std::filesystem::path> ScreenshotFiles()
{
    std::vector<std::filesystem::path> shots;
    if (std::filesystem::exists("screenshots"))
        for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator("screenshots"))
            shots.push_back(entry.path());
    std::sort(shots.begin(), shots.end());
    return shots;
}
