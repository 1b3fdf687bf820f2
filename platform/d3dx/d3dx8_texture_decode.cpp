#include <array>
#include <cstdio>
#include <cstring>

#include "platform/gl/d3d8_formats.h"
#include "platform/d3dx/d3dx8_texture_image.h"
#include "platform/file_system.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 16384
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#include <stb/stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

constexpr UINT kLargestSide = 16384;
// Deflate never packs more than 1032 bytes into one, and a JPEG spends at least a bit or two on
// each 8x8 block: images that claim more pixels than their file could hold are damaged.
constexpr std::uint64_t kDeflateRatio = 1032;
constexpr std::uint64_t kJpegPixelsPerByte = 1024;

WORD Le16(const BYTE* p)
{
    return static_cast<WORD>(p[0] | p[1] << 8);
}
DWORD Le32(const BYTE* p)
{
    return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
           static_cast<DWORD>(p[3]) << 24;
}
DWORD Be32(const BYTE* p)
{
    return static_cast<DWORD>(p[0]) << 24 | static_cast<DWORD>(p[1]) << 16 | static_cast<DWORD>(p[2]) << 8 |
           static_cast<DWORD>(p[3]);
}

bool SideValid(std::int64_t side)
{
    return side > 0 && side <= kLargestSide;
}

void SetInfo(D3DXIMAGE_INFO& info, UINT width, UINT height, UINT levels, D3DFORMAT format,
             D3DXIMAGE_FILEFORMAT fileFormat)
{
    info.Width = width;
    info.Height = height;
    info.Depth = 1;
    info.MipLevels = levels;
    info.Format = format;
    info.ResourceType = D3DRTYPE_TEXTURE;
    info.ImageFileFormat = fileFormat;
}

bool IsDds(const BYTE* data, std::size_t size)
{
    return size >= 4 && std::memcmp(data, "DDS ", 4) == 0;
}
bool IsBmp(const BYTE* data, std::size_t size)
{
    return size >= 2 && data[0] == 'B' && data[1] == 'M';
}
bool IsPng(const BYTE* data, std::size_t size)
{
    static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return size >= 8 && std::memcmp(data, kSignature, 8) == 0;
}
bool IsJpeg(const BYTE* data, std::size_t size)
{
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

// Uncompressed or bit-field BMPs whose rows are all in the file.
bool CheckBmp(const BYTE* data, std::size_t size, D3DXIMAGE_INFO& info)
{
    if (size < 26)
        return false;
    const DWORD pixelOffset = Le32(data + 10);
    const DWORD headerSize = Le32(data + 14);
    std::int64_t width, height;
    DWORD bitCount, compression = 0, alphaMask = 0, greenMask = 0;
    if (headerSize == 12) {
        width = Le16(data + 18);
        height = Le16(data + 20);
        bitCount = Le16(data + 24);
    } else {
        if (headerSize < 40 || size < 14 + static_cast<std::size_t>(headerSize))
            return false;
        width = static_cast<std::int32_t>(Le32(data + 18));
        height = static_cast<std::int32_t>(Le32(data + 22));
        bitCount = Le16(data + 28);
        compression = Le32(data + 30);
        if (compression == 3 && size >= 54 + 12)
            greenMask = Le32(data + 58);
        if (headerSize >= 56 || (compression == 3 && size >= 54 + 16 && pixelOffset >= 54 + 16))
            alphaMask = Le32(data + 66);
    }
    if (height < 0)
        height = -height;  // rows stored from the top
    if (!SideValid(width) || !SideValid(height) || (compression != 0 && compression != 3))
        return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return false;
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
    if (pixelOffset < 14 + headerSize || pixelOffset + rowBytes * static_cast<std::uint64_t>(height) > size)
        return false;
    D3DFORMAT format = D3DFMT_P8;
    if (bitCount == 16)
        format = alphaMask == 0x8000 ? D3DFMT_A1R5G5B5 : greenMask == 0x07E0 ? D3DFMT_R5G6B5 : D3DFMT_X1R5G5B5;
    else if (bitCount == 24)
        format = D3DFMT_R8G8B8;
    else if (bitCount == 32)
        format = alphaMask ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    SetInfo(info, static_cast<UINT>(width), static_cast<UINT>(height), 1, format, D3DXIFF_BMP);
    return true;
}

// A TGA header of a kind the decoder reads, with all its pixels in the file (run-length packets
// walked to find where they end).
bool CheckTga(const BYTE* data, std::size_t size, D3DXIMAGE_INFO& info)
{
    if (size < 18)
        return false;
    const DWORD idLength = data[0], colourMapType = data[1], imageType = data[2];
    const DWORD mapLength = Le16(data + 5), mapEntryBits = data[7];
    const UINT width = Le16(data + 12), height = Le16(data + 14);
    const DWORD bitCount = data[16], descriptor = data[17];
    const bool mapped = imageType == 1 || imageType == 9;
    const bool grey = imageType == 3 || imageType == 11;
    const bool runLength = imageType >= 9;
    if (colourMapType > 1 || !(mapped || grey || imageType == 2 || imageType == 10))
        return false;
    if (mapped != (colourMapType == 1) || !SideValid(width) || !SideValid(height))
        return false;
    if (bitCount != 8 && bitCount != 15 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return false;
    if (mapped &&
        (bitCount != 8 || (mapEntryBits != 15 && mapEntryBits != 16 && mapEntryBits != 24 && mapEntryBits != 32)))
        return false;
    std::uint64_t position = 18 + idLength;
    if (colourMapType == 1)
        position += static_cast<std::uint64_t>(mapLength) * ((mapEntryBits + 7) / 8);
    const std::uint64_t pixelBytes = (bitCount + 7) / 8;
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * height;
    if (!runLength) {
        position += pixels * pixelBytes;
    } else {
        for (std::uint64_t done = 0; done < pixels;) {
            if (position >= size)
                return false;
            const BYTE packet = data[position++];
            const std::uint64_t count = (packet & 0x7F) + 1u;
            position += (packet & 0x80) ? pixelBytes : count * pixelBytes;
            done += count;
        }
    }
    if (position > size)
        return false;
    const bool alphaBits = (descriptor & 15) != 0;
    D3DFORMAT format = D3DFMT_P8;
    if (grey)
        format = bitCount == 16 ? D3DFMT_A8L8 : D3DFMT_L8;
    else if (!mapped && bitCount == 32)
        format = alphaBits ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    else if (!mapped && bitCount == 24)
        format = D3DFMT_R8G8B8;
    else if (!mapped)
        format = alphaBits && bitCount == 16 ? D3DFMT_A1R5G5B5 : D3DFMT_X1R5G5B5;
    SetInfo(info, width, height, 1, format, D3DXIFF_TGA);
    return true;
}

DWORD Crc32(const BYTE* data, std::size_t size)
{
    static const auto table = [] {
        std::array<DWORD, 256> entries{};
        for (DWORD n = 0; n < 256; ++n) {
            DWORD c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    DWORD crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

// Every chunk up to the end chunk lies inside the file, and the critical ones (upper-case first
// letter) carry their right checksum, as PNG readers demand. An empty image-data chunk is refused
// too: the decoder would copy its no bytes from a buffer it has not made yet.
bool PngChunksIntact(const BYTE* data, std::size_t size)
{
    std::size_t at = 8;
    while (at + 12 <= size) {
        const std::size_t length = Be32(data + at);
        if (length > size - at - 12)
            return false;
        const BYTE* type = data + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0 && length == 0)
            return false;
        if (!(type[0] & 0x20) && Crc32(type, length + 4) != Be32(type + 4 + length))
            return false;
        if (std::memcmp(type, "IEND", 4) == 0)
            return true;
        at += length + 12;
    }
    return false;
}

// The header chunk's size and kind, and no more pixels than the compressed data could hold.
bool CheckPng(const BYTE* data, std::size_t size, D3DXIMAGE_INFO& info)
{
    if (size < 33 || Be32(data + 8) != 13 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return false;
    const std::uint64_t width = Be32(data + 16), height = Be32(data + 20);
    const DWORD depth = data[24], colourType = data[25];
    static const DWORD kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
    if (!SideValid(static_cast<std::int64_t>(width)) || !SideValid(static_cast<std::int64_t>(height)) ||
        colourType > 6 || kChannels[colourType] == 0)
        return false;
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16)
        return false;
    const std::uint64_t rowBytes = (width * kChannels[colourType] * depth + 7) / 8 + 1;
    if (rowBytes * height > kDeflateRatio * size + 4096)
        return false;
    if (!PngChunksIntact(data, size))
        return false;
    static const D3DFORMAT kFormats[7] = {D3DFMT_L8,   D3DFMT_UNKNOWN, D3DFMT_X8R8G8B8, D3DFMT_P8,
                                          D3DFMT_A8L8, D3DFMT_UNKNOWN, D3DFMT_A8R8G8B8};
    SetInfo(info, static_cast<UINT>(width), static_cast<UINT>(height), 1, kFormats[colourType], D3DXIFF_PNG);
    return true;
}

// Walks the marker segments (and skips the entropy-coded data after each scan header) checking
// every Huffman table: one whose code counts add up to more than 256 symbols would overrun the
// decoder's tables, which trust the counts.
bool JpegHuffmanTablesValid(const BYTE* data, std::size_t size)
{
    std::size_t at = 2;  // after the start-of-image marker
    while (at + 2 <= size) {
        if (data[at] != 0xFF)
            return false;
        const BYTE marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD9)
            return true;
        if (at + 4 > size)
            return false;
        const std::size_t length = static_cast<std::size_t>(data[at + 2]) << 8 | data[at + 3];
        if (length < 2 || at + 2 + length > size)
            return false;
        if (marker == 0xC4) {
            const BYTE* table = data + at + 4;
            std::size_t left = length - 2;
            while (left > 0) {
                if (left < 17)
                    return false;
                std::size_t symbols = 0;
                for (int i = 1; i <= 16; ++i)
                    symbols += table[i];
                if (symbols > 256 || left < 17 + symbols)
                    return false;
                table += 17 + symbols;
                left -= 17 + symbols;
            }
        }
        at += 2 + length;
        if (marker == 0xDA) {
            // Entropy-coded data runs to the next marker that is neither a stuffed 0xFF nor a restart.
            while (at + 1 < size && !(data[at] == 0xFF && data[at + 1] != 0 && (data[at + 1] & 0xF8) != 0xD0))
                ++at;
        }
    }
    return false;
}

// A JPEG must end its scan with the end-of-image marker; a file cut short has none.
bool CheckJpeg(const BYTE* data, std::size_t size, D3DXIMAGE_INFO& info)
{
    std::size_t end = size;
    while (end >= 2 && !(data[end - 2] == 0xFF && data[end - 1] == 0xD9))
        --end;
    if (end < 2)
        return false;
    bool scan = false;
    for (std::size_t i = 2; i + 1 < end - 2 && !scan; ++i)
        scan = data[i] == 0xFF && data[i + 1] == 0xDA;
    int width = 0, height = 0, components = 0;
    if (!scan || !JpegHuffmanTablesValid(data, size) ||
        !stbi_info_from_memory(data, static_cast<int>(size), &width, &height, &components))
        return false;
    if (!SideValid(width) || !SideValid(height) ||
        static_cast<std::uint64_t>(width) * height > kJpegPixelsPerByte * size + 65536)
        return false;
    SetInfo(info, static_cast<UINT>(width), static_cast<UINT>(height), 1, components == 1 ? D3DFMT_L8 : D3DFMT_X8R8G8B8,
            D3DXIFF_JPG);
    return true;
}

bool CheckStbImage(const BYTE* data, std::size_t size, D3DXIMAGE_INFO& info)
{
    if (size > 0x7FFFFFFF)
        return false;
    if (IsBmp(data, size))
        return CheckBmp(data, size, info);
    if (IsPng(data, size))
        return CheckPng(data, size, info);
    if (IsJpeg(data, size))
        return CheckJpeg(data, size, info);
    return CheckTga(data, size, info);
}

}  // namespace

PixelLevel DecodedImage::Level(UINT level) const
{
    PixelLevel out;
    out.format = format;
    out.bits = const_cast<BYTE*>(bits) + DdsLevelOffset(format, info.Width, info.Height, level);
    out.width = LevelExtent(info.Width, level);
    out.height = LevelExtent(info.Height, level);
    out.pitch = PixelRowPitch(format, out.width);
    return out;
}

HRESULT ReadImageInfo(const BYTE* data, std::size_t size, D3DXIMAGE_INFO& info)
{
    info = {};
    if (!data)
        return D3DXERR_INVALIDDATA;
    if (IsDds(data, size)) {
        DdsImage dds;
        if (!DdsRead(data, size, dds))
            return D3DXERR_INVALIDDATA;
        SetInfo(info, dds.width, dds.height, dds.levels, dds.format, D3DXIFF_DDS);
        return D3D_OK;
    }
    return CheckStbImage(data, size, info) ? D3D_OK : D3DXERR_INVALIDDATA;
}

HRESULT DecodeImageFile(const BYTE* data, std::size_t size, DecodedImage& image)
{
    image.decoded.reset();
    image.info = {};
    if (!data)
        return D3DXERR_INVALIDDATA;
    if (IsDds(data, size)) {
        if (!DdsRead(data, size, image.dds))
            return D3DXERR_INVALIDDATA;
        SetInfo(image.info, image.dds.width, image.dds.height, image.dds.levels, image.dds.format, D3DXIFF_DDS);
        image.format = image.dds.format;
        image.levels = image.dds.levels;
        image.bits = image.dds.bits;
        return D3D_OK;
    }
    if (!CheckStbImage(data, size, image.info))
        return D3DXERR_INVALIDDATA;
    int width = 0, height = 0, channels = 0;
    BYTE* pixels = stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4);
    if (!pixels)
        return D3DXERR_INVALIDDATA;
    image.decoded.reset(pixels);
    if (static_cast<UINT>(width) != image.info.Width || static_cast<UINT>(height) != image.info.Height)
        return D3DXERR_INVALIDDATA;
    // RGBA bytes to A8R8G8B8 words (the bytes B, G, R, A).
    const std::size_t count = static_cast<std::size_t>(width) * height;
    for (std::size_t i = 0; i < count; ++i)
        std::swap(pixels[i * 4], pixels[i * 4 + 2]);
    image.format = D3DFMT_A8R8G8B8;
    image.levels = 1;
    image.bits = pixels;
    return D3D_OK;
}

bool ReadWholeFile(const char* path, std::vector<BYTE>& bytes)
{
    bytes.clear();
    if (!path)
        return false;
    std::FILE* file = PlatformOpenFile(path, "rb");
    if (!file)
        return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size));
        ok = bytes.empty() || std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    if (!ok)
        bytes.clear();
    return ok;
}
