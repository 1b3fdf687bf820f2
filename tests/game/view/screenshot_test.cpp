// Screenshots: the BMP written under "screenshots\" holds the frame's pixels, the names count up
// within a minute, the console reports, and a lost device is reported without a file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/console/console.h"
#include "game/view/screenshot.h"
#include "platform/win32.h"
#include "render/device/frame.h"
#include "render/render_cvars.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "support/render_test_support.h"

namespace {

u32_t ReadU32(const std::string& bytes, size_t at)
{
    return u32_t(u8_t(bytes[at])) | u32_t(u8_t(bytes[at + 1])) << 8 | u32_t(u8_t(bytes[at + 2])) << 16 |
           u32_t(u8_t(bytes[at + 3])) << 24;
}

// The pixels of a 24-bit BMP as opaque 0xAARRGGBB words, rows from the top.
render_test::Pixels ReadBmp(const std::string& path)
{
    render_test::Pixels pixels;
    const std::string bytes = ReadFileBytes(path);
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || (u8_t(bytes[28]) != 24))
        return pixels;
    const u32_t offset = ReadU32(bytes, 10), width = ReadU32(bytes, 18);
    const s32_t height = s32_t(ReadU32(bytes, 22));
    const u32_t rows = u32_t(height < 0 ? -height : height), pitch = (width * 3 + 3) & ~3u;
    if (bytes.size() < offset + size_t(pitch) * rows)
        return pixels;
    pixels.width = width;
    pixels.height = rows;
    for (u32_t y = 0; y < rows; ++y) {
        const u32_t fileRow = height < 0 ? y : rows - 1 - y;
        const char* row = bytes.data() + offset + size_t(fileRow) * pitch;
        for (u32_t x = 0; x < width; ++x)
            pixels.words.push_back(0xFF000000u | u32_t(u8_t(row[3 * x + 2])) << 16 | u32_t(u8_t(row[3 * x + 1])) << 8 |
                                   u32_t(u8_t(row[3 * x])));
    }
    return pixels;
}

std::string NameAt(const SYSTEMTIME& time, u32_t number)
{
    char name[64];
    std::snprintf(name, sizeof name, "screenshots\\%04u%02u%02u%02u%02u_%03u.bmp", time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, number);
    return name;
}

std::string NewestLine()
{
    const char* line = ConLines(0)[ConLineCapacity(0) - 1];
    return line ? line : "";
}

class Screenshot : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        render_test::RenderCore::SetUp();
        ConStartup();
        m_windowed = rbwindowed.Bool();
    }
    void TearDown() override
    {
        rbwindowed.SetBool(m_windowed);
        D3D8TestSetCooperativeLevel(Device(), D3D_OK);
        ConShutdown();
        render_test::RenderCore::TearDown();
    }

    // A frame with a pattern: cleared, then a quad in another colour over part of it.
    void DrawPattern()
    {
        RenderSetClearColor(0x00203040u);
        ASSERT_EQ(RenderBeginFrame(), 0);
        const D3DRECT rect = {10, 5, 40, 30};
        Device()->Clear(1, &rect, D3DCLEAR_TARGET, 0xFFC08010u, 1.0f, 0);
    }

    TempDir m_folder;
    bool m_windowed = true;
};

TEST_F(Screenshot, WritesTheFrameAsABmpNamedByTimeAndCounter)
{
    rbwindowed.SetBool(true);
    DrawPattern();
    const render_test::Pixels frame = render_test::ReadBackBuffer(Device());
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    const u32_t first = GameScreenshotCount();
    GameTakeScreenshot();
    GameTakeScreenshot();
    GetLocalTime(&after);
    RenderEndFrame(false);
    EXPECT_EQ(GameScreenshotCount(), first + 2);

    for (u32_t number : {first, first + 1}) {
        std::string name = NameAt(before, number);
        if (!std::filesystem::exists(m_folder / "screenshots/" + name.substr(12)))
            name = NameAt(after, number);
        SCOPED_TRACE(name);
        const render_test::Pixels saved = ReadBmp(m_folder / "screenshots/" + name.substr(12));
        ASSERT_EQ(saved.width, frame.width);
        ASSERT_EQ(saved.height, frame.height);
        for (size_t i = 0; i < frame.words.size(); ++i)
            ASSERT_EQ(saved.words[i], frame.words[i] | 0xFF000000u) << i;
        if (number == first + 1) {
            EXPECT_EQ(NewestLine(), "Screenshot " + name + " saved.\n");
        }
    }
}

// A second run in the same minute starts its counter where the first one did: the names the first run
// wrote are skipped and their pictures stay as they were.
TEST_F(Screenshot, NamesThatExistAreSkippedNotOverwritten)
{
    rbwindowed.SetBool(true);
    DrawPattern();
    SYSTEMTIME now;
    GetLocalTime(&now);
    SYSTEMTIME nextMinute = now;
    nextMinute.wMinute = static_cast<WORD>((now.wMinute + 1) % 60);
    const u32_t first = GameScreenshotCount();
    std::filesystem::create_directories(m_folder / "screenshots");
    for (const SYSTEMTIME& time : {now, nextMinute}) {
        for (u32_t number : {first, first + 1})
            ASSERT_TRUE(WriteFileBytes(m_folder / "screenshots/" + NameAt(time, number).substr(12), "earlier"));
    }
    GameTakeScreenshot();
    RenderEndFrame(false);

    EXPECT_EQ(GameScreenshotCount(), first + 3);
    for (const SYSTEMTIME& time : {now, nextMinute}) {
        for (u32_t number : {first, first + 1})
            EXPECT_EQ(ReadFileBytes(m_folder / "screenshots/" + NameAt(time, number).substr(12)), "earlier");
    }
    const std::string line = NewestLine();
    EXPECT_TRUE(line == "Screenshot " + NameAt(now, first + 2) + " saved.\n" ||
                line == "Screenshot " + NameAt(nextMinute, first + 2) + " saved.\n")
        << line;
}

TEST_F(Screenshot, LostDeviceInFullScreenSavesNothing)
{
    rbwindowed.SetBool(false);
    DrawPattern();
    RenderEndFrame(true);
    const u32_t count = GameScreenshotCount();
    D3D8TestSetCooperativeLevel(Device(), D3DERR_DEVICELOST);
    GameTakeScreenshot();
    EXPECT_EQ(NewestLine(),
              "\x0e\x02"
              "Could not save screenshot - device is lost!\n");
    EXPECT_EQ(GameScreenshotCount(), count);
    EXPECT_FALSE(std::filesystem::exists(m_folder / "screenshots"));
}

TEST(PadWithZeros, FillsTheFrontToTheWidth)
{
    struct Case {
        const char* text;
        int width;
        const char* padded;
    };
    const Case cases[] = {{"7", 3, "007"}, {"1000", 3, "1000"}, {"42", 2, "42"}, {"5", 1, "5"}, {"", 2, "00"}};
    for (const Case& c : cases) {
        char text[16];
        std::strcpy(text, c.text);
        PadWithZeros(text, c.width);
        EXPECT_STREQ(text, c.padded) << c.text << " " << c.width;
    }
}

// A folder that cannot be made (a file stands in its place): the error line in the error colour, and
// the counter still counts, so the next name is a new one.
TEST_F(Screenshot, AnUnwritableFolderIsReportedAndTheCounterGoesOn)
{
    rbwindowed.SetBool(true);
    DrawPattern();
    ASSERT_TRUE(WriteFileBytes(m_folder / "screenshots", "a file where the folder should be"));
    const u32_t first = GameScreenshotCount();
    GameTakeScreenshot();
    RenderEndFrame(false);
    EXPECT_EQ(GameScreenshotCount(), first + 1);
    const std::string line = NewestLine();
    EXPECT_EQ(line.rfind("\x0E\x02"
                         "Could not save 'screenshots\\",
                         0),
              0u)
        << line;
    char ending[32];
    std::snprintf(ending, sizeof ending, "_%03u.bmp'!\n", first);
    ASSERT_GE(line.size(), std::strlen(ending));
    EXPECT_EQ(line.substr(line.size() - std::strlen(ending)), ending);
}

}  // namespace
