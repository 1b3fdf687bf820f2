// The AVI stand-in on real files: stream header, timing, and frames by index as 24-bit bottom-up DIBs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/video_for_windows.h"
#include "support/archive_builder.h"
#include "support/temp_dir.h"
#include "tests/core/video/video_fixture.h"

namespace {

using namespace video_test;

constexpr LONG kStride = 92;  // 30 pixels of 3 bytes, rounded up to 4

// Opens a fixture's video stream and its frame decoder; closes both at the end.
class AviFile {
public:
    explicit AviFile(const std::string& path)
    {
        result = AVIStreamOpenFromFileA(&stream, path.c_str(), streamtypeVIDEO, 0, OF_READ, nullptr);
        if (stream)
            decoder = AVIStreamGetFrameOpen(stream, nullptr);
    }
    ~AviFile()
    {
        if (decoder)
            AVIStreamGetFrameClose(decoder);
        if (stream)
            AVIStreamRelease(stream);
    }
    AviFile(const AviFile&) = delete;
    AviFile& operator=(const AviFile&) = delete;

    HRESULT result = 0;
    PAVISTREAM stream = nullptr;
    PGETFRAME decoder = nullptr;
};

// The pixel at column x of DIB row r (row 0 is the picture's bottom line) as red, green, blue.
Rgb DibPixel(const void* dib, int x, int row)
{
    const auto* pixels = static_cast<const BYTE*>(dib) + sizeof(BITMAPINFOHEADER);
    const BYTE* pixel = pixels + row * kStride + x * 3;
    return {pixel[2], pixel[1], pixel[0]};
}

::testing::AssertionResult SameColour(Rgb actual, Rgb expected)
{
    if (actual.red == expected.red && actual.green == expected.green && actual.blue == expected.blue)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.red << ", " << actual.green << ", " << actual.blue
                                         << ") is not (" << expected.red << ", " << expected.green << ", "
                                         << expected.blue << ")";
}

TEST(VideoAvi, StreamHeaderGivesSizeFramesAndTiming)
{
    AviFile file(FixturePath("colours.avi"));
    ASSERT_EQ(file.result, AVIERR_OK);
    AVISTREAMINFOA info;
    ASSERT_EQ(AVIStreamInfoA(file.stream, &info, sizeof info), AVIERR_OK);
    EXPECT_EQ(info.fccType, streamtypeVIDEO);
    EXPECT_EQ(info.rcFrame.right - info.rcFrame.left, kVideoWidth);
    EXPECT_EQ(info.rcFrame.bottom - info.rcFrame.top, kVideoHeight);
    EXPECT_EQ(info.dwLength, static_cast<DWORD>(kFrames));
    EXPECT_EQ(info.dwRate / info.dwScale, 10u);
    EXPECT_EQ(AVIStreamLength(file.stream), kFrames);
    EXPECT_EQ(AVIStreamSampleToTime(file.stream, kFrames), kFrames * kMsPerFrame);
    EXPECT_EQ(AVIStreamSampleToTime(file.stream, 1), kMsPerFrame);
}

TEST(VideoAvi, FramesInAnyOrderDecodeToTheirColoursBottomUp)
{
    AviFile file(FixturePath("colours.avi"));
    ASSERT_NE(file.decoder, nullptr);
    // Forward, repeated, backward across key frames (0, 4, 8), and frames past a key frame that need
    // the ones before them.
    for (int frame : {0, 1, 5, 5, 11, 3, 2, 9, 4, 7, 0, 10, 6}) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        const void* dib = AVIStreamGetFrame(file.decoder, frame);
        ASSERT_NE(dib, nullptr);
        const auto* header = static_cast<const BITMAPINFOHEADER*>(dib);
        EXPECT_EQ(header->biSize, 40u);
        EXPECT_EQ(header->biWidth, kVideoWidth);
        EXPECT_EQ(header->biHeight, kVideoHeight);  // positive: bottom-up
        EXPECT_EQ(header->biBitCount, 24);
        EXPECT_EQ(header->biCompression, BI_RGB);
        EXPECT_EQ(header->biClrUsed, 0u);
        EXPECT_EQ(header->biSizeImage, static_cast<DWORD>(kStride * kVideoHeight));
        for (int x : {0, 15, kVideoWidth - 1}) {
            EXPECT_TRUE(SameColour(DibPixel(dib, x, kVideoHeight - 1), FrameColour(frame)));  // top line
            EXPECT_TRUE(SameColour(DibPixel(dib, x, kVideoHeight - kColouredRows), FrameColour(frame)));
            EXPECT_TRUE(SameColour(DibPixel(dib, x, 0), Rgb{0, 0, 0}));  // bottom line
        }
    }
}

TEST(VideoAvi, RowPaddingStaysZero)
{
    AviFile file(FixturePath("colours.avi"));
    ASSERT_NE(file.decoder, nullptr);
    const auto* dib = static_cast<const BYTE*>(AVIStreamGetFrame(file.decoder, 0));
    ASSERT_NE(dib, nullptr);
    const BYTE* pixels = dib + sizeof(BITMAPINFOHEADER);
    for (int row = 0; row < kVideoHeight; ++row) {
        EXPECT_EQ(pixels[row * kStride + 90], 0) << row;
        EXPECT_EQ(pixels[row * kStride + 91], 0) << row;
    }
}

TEST(VideoAvi, RefusedRequests)
{
    AviFile file(FixturePath("colours.avi"));
    ASSERT_NE(file.decoder, nullptr);
    EXPECT_EQ(AVIStreamGetFrame(file.decoder, -1), nullptr);
    EXPECT_EQ(AVIStreamGetFrame(file.decoder, kFrames), nullptr);
    EXPECT_EQ(AVIStreamGetFrame(nullptr, 0), nullptr);
    // The decoder is still usable after them.
    EXPECT_NE(AVIStreamGetFrame(file.decoder, 2), nullptr);

    BITMAPINFOHEADER wanted = {};
    wanted.biSize = sizeof wanted;
    wanted.biWidth = kVideoWidth;
    wanted.biHeight = kVideoHeight;
    wanted.biPlanes = 1;
    wanted.biBitCount = 24;
    wanted.biCompression = BI_RGB;
    PGETFRAME exact = AVIStreamGetFrameOpen(file.stream, &wanted);
    EXPECT_NE(exact, nullptr);
    AVIStreamGetFrameClose(exact);
    wanted.biBitCount = 32;
    EXPECT_EQ(AVIStreamGetFrameOpen(file.stream, &wanted), nullptr);
    wanted.biBitCount = 24;
    wanted.biWidth = kVideoWidth * 2;
    EXPECT_EQ(AVIStreamGetFrameOpen(file.stream, &wanted), nullptr);

    PAVISTREAM stream = nullptr;
    EXPECT_EQ(AVIStreamOpenFromFileA(&stream, FixturePath("colours.avi").c_str(), AviFourCC('a', 'u', 'd', 's'), 0,
                                     OF_READ, nullptr),
              AVIERR_BADPARAM);
    EXPECT_EQ(stream, nullptr);
}

TEST(VideoAvi, TheStreamOutlivesItsReleaseWhileADecoderIsOpen)
{
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIStreamOpenFromFileA(&stream, FixturePath("colours.avi").c_str(), streamtypeVIDEO, 0, OF_READ, nullptr),
              AVIERR_OK);
    PGETFRAME decoder = AVIStreamGetFrameOpen(stream, nullptr);
    ASSERT_NE(decoder, nullptr);
    EXPECT_EQ(AVIStreamRelease(stream), 1u);
    const void* dib = AVIStreamGetFrame(decoder, 6);
    ASSERT_NE(dib, nullptr);
    EXPECT_TRUE(SameColour(DibPixel(dib, 3, kVideoHeight - 1), FrameColour(6)));
    EXPECT_EQ(AVIStreamGetFrameClose(decoder), AVIERR_OK);
}

TEST(VideoAvi, DegenerateTimingIsReportedAsItIs)
{
    AviFile empty(FixturePath("no_frames.avi"));
    ASSERT_EQ(empty.result, AVIERR_OK);
    EXPECT_EQ(AVIStreamLength(empty.stream), 0);
    EXPECT_EQ(AVIStreamGetFrame(empty.decoder, 0), nullptr);

    AviFile fast(FixturePath("too_fast.avi"));
    ASSERT_EQ(fast.result, AVIERR_OK);
    EXPECT_EQ(AVIStreamLength(fast.stream), 3);
    EXPECT_EQ(AVIStreamSampleToTime(fast.stream, 3), 1);  // 1.5 ms, rounded down
}

class VideoAviFiles : public TempDirTest {};

TEST_F(VideoAviFiles, PathsResolveWithBackslashesAndAnyCase)
{
    ASSERT_TRUE(WriteFileBytes("Component/GUI/Colours.AVI", ReadFileBytes(FixturePath("colours.avi"))));
    AviFile file("component\\gui\\colours.avi");
    EXPECT_EQ(file.result, AVIERR_OK);
    EXPECT_EQ(AVIStreamLength(file.stream), kFrames);
}

TEST_F(VideoAviFiles, MissingAndForeignFilesDoNotOpen)
{
    ASSERT_TRUE(WriteFileBytes("text.avi", "RIFF but not really an AVI file at all"));
    ASSERT_TRUE(WriteFileBytes("empty.avi", ""));
    for (const char* name : {"missing.avi", "text.avi", "empty.avi"}) {
        AviFile file(name);
        EXPECT_LT(file.result, 0) << name;
        EXPECT_EQ(file.stream, nullptr) << name;
    }
}

}  // namespace
