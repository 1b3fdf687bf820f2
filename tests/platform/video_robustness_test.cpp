// Damaged AVI files through the AVI stand-in: cut short or overwritten anywhere, a file either does
// not open or gives frames that are whole DIBs of the stream's size, or none.
#include <gtest/gtest.h>

#include <string>

#include "platform/video_for_windows.h"
#include "support/archive_builder.h"
#include "support/temp_dir.h"
#include "tests/core/video/video_fixture.h"

namespace {

using namespace video_test;

constexpr size_t kStep = 61;

// Opens the file and asks for every frame forward, then some backward; false when a frame's header
// does not describe the stream's size.
::testing::AssertionResult ReadEveryFrame(const std::string& bytes)
{
    if (!WriteFileBytes("damaged.avi", bytes))
        return ::testing::AssertionFailure() << "cannot write the file";
    PAVISTREAM stream = nullptr;
    if (AVIStreamOpenFromFileA(&stream, "damaged.avi", streamtypeVIDEO, 0, OF_READ, nullptr) != AVIERR_OK)
        return ::testing::AssertionSuccess();
    AVISTREAMINFOA info;
    AVIStreamInfoA(stream, &info, sizeof info);
    const LONG width = info.rcFrame.right, height = info.rcFrame.bottom;
    PGETFRAME decoder = AVIStreamGetFrameOpen(stream, nullptr);
    const LONG length = AVIStreamLength(stream);
    const LONG asked = length < 40 ? length : 40;
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    for (LONG i = 0; decoder && i < asked + 3; ++i) {
        const LONG frame = i < asked ? i : asked - 1 - (i - asked) * 5;
        if (const auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(decoder, frame))) {
            if (dib->biWidth != width || dib->biHeight != height || dib->biBitCount != 24)
                result = ::testing::AssertionFailure() << "frame " << frame << " is not " << width << " x " << height;
        }
    }
    if (decoder)
        AVIStreamGetFrameClose(decoder);
    AVIStreamRelease(stream);
    return result;
}

class VideoAviRobustness : public TempDirTest {
protected:
    const std::string whole = ReadFileBytes(FixturePath("colours.avi"));
};

TEST_F(VideoAviRobustness, FilesCutShort)
{
    ASSERT_FALSE(whole.empty());
    for (size_t length = 0; length < whole.size(); length += kStep)
        EXPECT_TRUE(ReadEveryFrame(whole.substr(0, length))) << "cut at " << length;
}

TEST_F(VideoAviRobustness, OverwrittenBytes)
{
    ASSERT_FALSE(whole.empty());
    for (size_t at = 0; at + 8 <= whole.size(); at += kStep) {
        for (const char fill : {'\0', '\xFF'}) {
            std::string damaged = whole;
            damaged.replace(at, 8, 8, fill);
            EXPECT_TRUE(ReadEveryFrame(damaged)) << "8 bytes of " << int(fill) << " at " << at;
        }
    }
}

}  // namespace
