// Video players on a real device: GUI videos opened by name from "component\gui\", frames copied into
// the texture bottom-up in their true colours, unplayable videos, and players that outlive VideoShutdown.
#include <gtest/gtest.h>

#include "core/video/video.h"
#include "platform/file_system.h"
#include "support/render_test_support.h"
#include "support/archive_builder.h"
#include "support/temp_dir.h"
#include "tests/core/video/video_fixture.h"

namespace {

using namespace video_test;

// Texel words of level 0, rows as the texture stores them (row 0 first).
render_test::Pixels ReadTexture(IDirect3DTexture8* texture)
{
    IDirect3DSurface8* level = nullptr;
    texture->GetSurfaceLevel(0, &level);
    render_test::Pixels pixels = render_test::ReadSurface(level);
    if (level)
        level->Release();
    return pixels;
}

class VideoPlayerTest : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        render_test::RenderCore::SetUp();
        for (const char* name : {"colours", "no_frames", "too_fast"}) {
            ASSERT_TRUE(WriteFileBytes(std::string("component/gui/") + name + ".avi",
                                       ReadFileBytes(FixturePath((std::string(name) + ".avi").c_str()))));
        }
        VideoInit();
    }
    void TearDown() override
    {
        VideoShutdown();
        render_test::RenderCore::TearDown();
    }

private:
    TempDir m_folder;
};

TEST_F(VideoPlayerTest, OpensWithSizesTimingAndAPowerOfTwoTexture)
{
    VideoPlayer* player = VideoOpenGui("colours");
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->width, kVideoWidth);
    EXPECT_EQ(player->height, kVideoHeight);
    EXPECT_EQ(player->frameCount, kFrames);
    EXPECT_EQ(player->msPerFrame, static_cast<u32_t>(kMsPerFrame));
    EXPECT_EQ(player->dibStride, 92);
    EXPECT_FLOAT_EQ(player->uExtent, 30.0f / 32.0f);
    EXPECT_FLOAT_EQ(player->vExtent, 22.0f / 32.0f);
    ASSERT_NE(player->texture, nullptr);
    D3DSURFACE_DESC level = {};
    ASSERT_EQ(player->texture->GetLevelDesc(0, &level), D3D_OK);
    EXPECT_EQ(level.Width, 32u);
    EXPECT_EQ(level.Height, 32u);
    EXPECT_EQ(level.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(player->textureFormat, D3DFMT_A8R8G8B8);
    EXPECT_EQ(player->texture->GetLevelCount(), 1u);
}

TEST_F(VideoPlayerTest, FramesLandInTheTextureBottomUpInTheirTrueColours)
{
    VideoPlayer* player = VideoOpenGui("colours");
    ASSERT_NE(player, nullptr);
    for (int frame : {0, 7, 3, 11}) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        IDirect3DTexture8* texture = player->DrawFrame(frame);
        ASSERT_EQ(texture, player->texture);
        const render_test::Pixels texels = ReadTexture(texture);
        ASSERT_EQ(texels.width, 32u);
        for (UINT x : {0u, 14u, 29u}) {
            // Texel row 0 is the picture's bottom line; the coloured rows are the top 11 of 22.
            EXPECT_EQ(texels.At(x, kVideoHeight - 1), FrameColourWord(frame));
            EXPECT_EQ(texels.At(x, kVideoHeight - kColouredRows), FrameColourWord(frame));
            EXPECT_EQ(texels.At(x, kVideoHeight - kColouredRows - 1), 0xFF000000u);
            EXPECT_EQ(texels.At(x, 0), 0xFF000000u);
        }
    }
    // Frame 0 is pure red, and red it stays.
    EXPECT_EQ(ReadTexture(player->DrawFrame(0)).At(5, kVideoHeight - 1), 0xFFFF0000u);
    EXPECT_EQ(player->DrawFrame(kFrames), nullptr);
}

TEST_F(VideoPlayerTest, NamesCompareWithoutCaseAndUnplayableVideosGiveNoPlayer)
{
    VideoPlayer* player = VideoOpenGui("colours");
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(VideoOpenGui("Colours"), player);
    EXPECT_EQ(VideoOpenGui(EngineString("COLOURS")), player);
    EXPECT_EQ(VideoOpenGui("colour"), nullptr);
    EXPECT_EQ(VideoOpenGui("missing"), nullptr);
    // No frames, and half a millisecond per frame: no player rather than a division by zero.
    EXPECT_EQ(VideoOpenGui("no_frames"), nullptr);
    EXPECT_EQ(VideoOpenGui("too_fast"), nullptr);
}

TEST_F(VideoPlayerTest, PlayersStayValidAcrossVideoShutdown)
{
    VideoPlayer* player = VideoOpenGui("colours");
    ASSERT_NE(player, nullptr);
    // Leaving a mission shuts video down while GUI controls still hold their players.
    VideoShutdown();
    EXPECT_FALSE(player->IsOpen());
    EXPECT_EQ(player->texture, nullptr);
    EXPECT_EQ(player->frameCount, kFrames);
    EXPECT_EQ(player->msPerFrame, static_cast<u32_t>(kMsPerFrame));

    IDirect3DTexture8* texture = player->DrawFrame(5);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(ReadTexture(texture).At(3, kVideoHeight - 1), FrameColourWord(5));
    EXPECT_EQ(VideoOpenGui("colours"), player);

    // A player whose file went away stays a valid record that draws nothing.
    VideoShutdown();
    ASSERT_TRUE(PlatformRemoveFile("component/gui/colours.avi"));
    EXPECT_EQ(player->DrawFrame(5), nullptr);
    EXPECT_EQ(VideoOpenGui("colours"), nullptr);
    EXPECT_EQ(player->frameCount, kFrames);
}

TEST(VideoTexture, SidesArePowersOfTwoAndRowsFourByteAligned)
{
    const std::pair<s32_t, s32_t> sides[] = {{320, 512}, {240, 256}, {256, 256}, {257, 512}, {1, 1}, {0, 1}};
    for (const auto& [frame, texture] : sides)
        EXPECT_EQ(VideoTextureSide(frame), texture) << frame;
    const std::pair<s32_t, s32_t> strides[] = {{322, 968}, {320, 960}, {30, 92}, {1, 4}};
    for (const auto& [width, stride] : strides)
        EXPECT_EQ(VideoDibStride(width), stride) << width;
}

}  // namespace
