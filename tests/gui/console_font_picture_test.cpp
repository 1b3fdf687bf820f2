// The open console drawn in the sample's font "gui" on an 800 x 600 screen (its text at scale 0.4),
// held against a golden picture of the console's part of the screen (the bottom 84 rows). Every pixel
// stays within kChannelTolerance of the golden picture in each channel, except at most kLoosePixels
// pixels (a rasteriser may round an edge or a blend a unit apart), whose channels stay within
// kLooseTolerance. Set ZINTAR_UPDATE_GOLDEN=1 to write the golden picture anew into tests/data/gui/
// (then commit it, after looking at it); ZINTAR_KEEP_PICTURE=<file> keeps the picture taken.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/files/byte_io.h"
#include "gui/texts/fonts.h"
#include "platform/test_clock.h"
#include "render/device/frame.h"
#include "render/draw2d/text_draw.h"
#include "support/files.h"
#include "support/gui_fixture.h"

using namespace gui_test;
namespace fs = std::filesystem;

namespace {

constexpr int kPictureWidth = 800;
constexpr int kPictureHeight = 600;
constexpr int kRows = 84;
constexpr int kChannelTolerance = 2;
constexpr int kLooseTolerance = 24;
constexpr int kLoosePixels = 40;
const char* const kGolden = ZINTAR_TEST_DATA_DIR "/gui/console_sample_font_800x84.tga";

// The bottom rows as an uncompressed 24-bit TGA, top row first.
std::string PictureBytes(const render_test::Pixels& pixels)
{
    std::string bytes(18 + std::size_t(kPictureWidth) * kRows * 3, '\0');
    ByteBufferWriter writer(bytes.data(), bytes.size());
    const u8_t header[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    writer.WriteBytes(header, sizeof header);
    writer.WriteU16(kPictureWidth);
    writer.WriteU16(kRows);
    writer.WriteU8(24);
    writer.WriteU8(0x20);
    for (int y = kPictureHeight - kRows; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const DWORD word = pixels.At(UINT(x), UINT(y));
            const u8_t bgr[3] = {u8_t(word), u8_t(word >> 8), u8_t(word >> 16)};
            writer.WriteBytes(bgr, 3);
        }
    }
    return bytes;
}

class ConsoleFontPicture : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        ASSERT_EQ(RenderSetDisplayMode(kPictureWidth, kPictureHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
        const fs::path sample = fs::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data" / "sample";
        Temp().Write("script/font.scr", ReadFileBytes(sample / "script" / "font.scr"));
        for (const fs::directory_entry& texture : fs::directory_iterator(sample / "component" / "gui"))
            if (texture.is_regular_file())  // the briefing pictures have a folder of their own
                Temp().Write("component/gui/" + texture.path().filename().string(), ReadFileBytes(texture.path()));
        // The command line's cursor blinks with the tick: shown at this one.
        PlatformTestClockStart(0x100);
    }
    void TearDown() override
    {
        PlatformTestClockStop();
        GuiTest::TearDown();
    }

    // The console panel with its lines and command line over a dark blue frame, read back.
    render_test::Pixels Draw()
    {
        // Console lines keep their line feed, which brings the next line back to the margin.
        char first[] = "zintar console: the sample font\n";
        char second[] = "map_01 loaded, 12 objects\n";
        char third[] = "Quick brown fox jumps over; 0123456789 !?\n";
        char* lines[] = {first, second, third};
        RenderSetClearColor(0x102040);
        EXPECT_EQ(RenderBeginFrame(), 0);
        DrawConsolePanel(lines, 3, "echo abc", 8, 0x60000000u, 0xFF40FF40u);
        render_test::Pixels pixels = render_test::ReadBackBuffer(Device());
        RenderEndFrame(false);
        return pixels;
    }
};

TEST_F(ConsoleFontPicture, ConsoleInTheSampleFontStaysTheGoldenPicture)
{
    FontsLoad();
    ASSERT_NE(FontDefault(), nullptr);
    ASSERT_STREQ(FontDefault()->GetName(), "gui");
    const render_test::Pixels pixels = Draw();
    ASSERT_EQ(pixels.width, UINT(kPictureWidth));
    ASSERT_EQ(pixels.height, UINT(kPictureHeight));
    const std::string picture = PictureBytes(pixels);
    // Lines 13 pixels apart (33 x 0.4): the newest starts 39 rows above the bottom, its glyphs 2 rows
    // lower ((33 - 26) x 0.4); the command line half a line lower than the next line would be.
    auto ink = [&](int top, int bottom) {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < kPictureWidth; ++x) {
                const DWORD word = pixels.At(UINT(x), UINT(y));
                count += ((word >> 8) & 0xFF) > 150 && ((word >> 16) & 0xFF) < 120;
            }
        return count;
    };
    EXPECT_GT(ink(563, 576), 100);
    EXPECT_GT(ink(583, 596), 30);
    EXPECT_EQ(ink(0, 520), 0);
    if (const char* keep = std::getenv("ZINTAR_KEEP_PICTURE"))
        WriteFileBytes(keep, picture);

    // Not the grid font: with no font loaded the console draws otherwise.
    FontsFree();
    EXPECT_NE(PictureBytes(Draw()), picture);

    if (std::getenv("ZINTAR_UPDATE_GOLDEN")) {
        fs::create_directories(fs::path(kGolden).parent_path());
        ASSERT_TRUE(WriteFileBytes(kGolden, picture));
    }
    const std::string golden = ReadFileBytes(kGolden);
    ASSERT_EQ(golden.size(), picture.size()) << kGolden << " missing: run with ZINTAR_UPDATE_GOLDEN=1";
    int loose = 0, worst = 0;
    for (std::size_t i = 18; i < picture.size(); ++i) {
        const int difference = std::abs(u8_t(picture[i]) - u8_t(golden[i]));
        worst = std::max(worst, difference);
        if (difference > kChannelTolerance && (i - 18) % 3 == 0)
            ++loose;
    }
    EXPECT_LE(worst, kLooseTolerance);
    EXPECT_LE(loose, kLoosePixels);
}

}  // namespace
