#include "platform/d3dx/dds_file.h"
#include "platform/d3dx/dxt_codec.h"

namespace {

constexpr DWORD kFlagCaps = 0x1;
constexpr DWORD kFlagHeight = 0x2;
constexpr DWORD kFlagWidth = 0x4;
constexpr DWORD kFlagPitch = 0x8;
constexpr DWORD kFlagPixelFormat = 0x1000;
constexpr DWORD kFlagMipMapCount = 0x20000;
constexpr DWORD kFlagLinearSize = 0x80000;
constexpr DWORD kCapsComplex = 0x8;
constexpr DWORD kCapsTexture = 0x1000;
constexpr DWORD kCapsMipMap = 0x400000;

void Put32(std::vector<BYTE>& out, DWORD value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<BYTE>(value >> (8 * i)));
}

}  // namespace

bool DdsFormatWritable(D3DFORMAT format)
{
    return DxtBlockBytes(format) != 0 || DdsLayoutOf(format) != nullptr;
}

bool DdsWriteHeader(D3DFORMAT format, UINT width, UINT height, UINT levels, std::vector<BYTE>& out)
{
    if (!DdsFormatWritable(format) || width == 0 || height == 0 || levels == 0)
        return false;
    const bool compressed = DxtBlockBytes(format) != 0;
    const DdsPixelLayout* layout = DdsLayoutOf(format);
    DWORD flags = kFlagCaps | kFlagHeight | kFlagWidth | kFlagPixelFormat;
    flags |= compressed ? kFlagLinearSize : kFlagPitch;
    if (levels > 1)
        flags |= kFlagMipMapCount;
    DWORD caps = kCapsTexture;
    if (levels > 1)
        caps |= kCapsComplex | kCapsMipMap;
    // Compressed: the bytes of level 0; otherwise the bytes of one row.
    const std::size_t pitchOrSize =
        compressed ? DdsLevelBytes(format, width, height, 0) : DdsLevelBytes(format, width, 1, 0);

    out.reserve(out.size() + kDdsHeaderBytes);
    Put32(out, MakeFourCC('D', 'D', 'S', ' '));
    Put32(out, 124);
    Put32(out, flags);
    Put32(out, height);
    Put32(out, width);
    Put32(out, static_cast<DWORD>(pitchOrSize));
    Put32(out, 0);  // depth
    Put32(out, levels);
    for (int i = 0; i < 11; ++i)
        Put32(out, 0);
    Put32(out, 32);
    if (compressed) {
        Put32(out, kDdpfFourCC);
        Put32(out, format);
        for (int i = 0; i < 5; ++i)
            Put32(out, 0);
    } else {
        Put32(out, layout->flags);
        Put32(out, 0);
        Put32(out, layout->bitCount);
        Put32(out, layout->redMask);
        Put32(out, layout->greenMask);
        Put32(out, layout->blueMask);
        Put32(out, layout->alphaMask);
    }
    Put32(out, caps);
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);  // caps2, caps3, caps4, reserved
    return true;
}
