// The sample data's sky: its faces are what their description makes, its environment script names
// the sample environment, and the backdrop shows the faces with the sky above the horizon.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/script_file.h"
#include "game/player_view.h"
#include "render/camera.h"
#include "render/map_render_setup.h"
#include "scene/sky_backdrop.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "tests/render/texture_test_support.h"
#include "tools/sky_make/sky_description.h"

namespace {

namespace fs = std::filesystem;

fs::path DataFolder()
{
    return fs::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data";
}

TEST(SampleSky, FacesAreThoseTheirDescriptionMakes)
{
    int made = 0;
    for (const fs::directory_entry& description : fs::directory_iterator(DataFolder() / "sample_sky")) {
        const fs::path folder = DataFolder() / "sample" / "mission" / description.path().stem();
        sky::SkyDescription sky;
        std::string error;
        ASSERT_TRUE(sky::ParseSkyDescription(ReadFileBytes(description.path().string()), &sky, &error)) << error;
        EXPECT_EQ(sky.faces.size(), 6u) << description.path();
        for (const sky::SkyFace& face : sky.faces) {
            const fs::path image = folder / ("env_" + face.suffix + ".tga");
            EXPECT_TRUE(sky::FaceImage(sky, face) == ReadFileBytes(image.string()))
                << image << " not current: run scripts/sample_sky";
            ++made;
        }
    }
    EXPECT_EQ(made, 6);
}

TEST(SampleSky, DescriptionFaultsNameTheirLine)
{
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"size 0", "line 1: size"},
        {"\nface xx vertical 0 1 2 3", "line 2: face wants one of the suffixes"},
        {"face up sideways 0 1 2 3", "line 1: face wants vertical or radial"},
        {"face up radial", "line 1: a face needs at least one colour stop"},
        {"face up radial 0 1 2", "line 1: a colour stop"},
        {"face up radial 0 1 2 256", "line 1: channels"},
        {"face up radial 0.5 1 2 3 0.2 1 2 3", "line 1: stop positions must rise"},
        {"# c\nsky 1", "line 2: unknown keyword 'sky'"},
    };
    for (const Case& c : cases) {
        sky::SkyDescription sky;
        std::string error;
        EXPECT_FALSE(sky::ParseSkyDescription(c.text, &sky, &error)) << c.text;
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
    }
}

TEST(SampleSky, GradientsRunDownTheFaceOrOutFromItsCentre)
{
    sky::SkyDescription sky;
    std::string error;
    ASSERT_TRUE(
        sky::ParseSkyDescription("size 4\nface rt vertical 0 0 0 0 1 200 100 40\n"
                                 "face up radial 0 255 255 255 1 0 0 0",
                                 &sky, &error))
        << error;
    const std::string vertical = sky::FaceImage(sky, sky.faces[0]);
    ASSERT_EQ(vertical.size(), 18u + 4 * 4 * 3);
    EXPECT_EQ(static_cast<u8_t>(vertical[17]), 0x20);  // top row first
    // Rows at 1/8, 3/8, 5/8, 7/8 of the way down; pixels stored blue, green, red.
    const int red[4] = {25, 75, 125, 175};
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(static_cast<u8_t>(vertical[18 + row * 12 + 2]), red[row]) << row;
    const std::string radial = sky::FaceImage(sky, sky.faces[1]);
    const auto at = [&](int x, int y) { return static_cast<u8_t>(radial[18 + (y * 4 + x) * 3]); };
    EXPECT_EQ(at(1, 1), at(2, 2));
    EXPECT_GT(at(1, 1), at(0, 1));
    EXPECT_EQ(at(0, 0), 0);  // the corners lie beyond the last stop
}

TEST(SampleSky, TheEnvironmentScriptHoldsTheSampleEnvironment)
{
    const std::string text = ReadFileBytes((DataFolder() / "sample" / "script" / "env.scr").string());
    ASSERT_FALSE(text.empty());
    ScriptFile file("script\\env.scr");
    file.Parse(text.data(), text.size());
    EXPECT_EQ(file.WarningCount(), 0);
    for (const char* word : {"before", "after"}) {
        const ScriptSection* section = file.Root()->FindChild(word);
        ASSERT_NE(section, nullptr) << word;
        EXPECT_NE(section->FindChild("map_01"), nullptr) << word;
    }
}

class SampleSkyOnScreen : public texture_test::TextureTest {
protected:
    void TearDown() override
    {
        EnvironmentRelease();
        texture_test::TextureTest::TearDown();
    }
};

TEST_F(SampleSkyOnScreen, ShowsSkyAboveTheHorizonAndHazeAtIt)
{
    fs::create_directories("mission/map_01");
    for (const char* suffix : {"rt", "lf", "up", "dn", "bk", "fr"}) {
        const std::string name = std::string("env_") + suffix + ".tga";
        fs::copy_file(DataFolder() / "sample" / "mission" / "map_01" / name, fs::path("mission/map_01") / name);
    }
    ASSERT_EQ(MissionEnvironmentLoad("map_01", nullptr), 1);
    for (IDirect3DTexture8* face : g_mapRender.envMaps)
        ASSERT_NE(face, nullptr);
    float* viewer = GameGetViewPos();
    viewer[0] = viewer[1] = viewer[2] = 0.0f;
    RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 2.4f, 1);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    SkyBackdropDraw();
    const render_test::Pixels pixels = render_test::ReadBackBuffer(Device());
    const DWORD top = pixels.At(kWidth / 2, 0);
    const DWORD horizon = pixels.At(kWidth / 2, kHeight / 2);
    // Blue above, paler and warmer at the horizon.
    EXPECT_GT(top & 0xFF, (top >> 16) & 0xFF) << std::hex << top;
    EXPECT_GT((horizon >> 16) & 0xFF, (top >> 16) & 0xFF) << std::hex << horizon;
    EXPECT_TRUE(render_test::ColourNear(pixels.At(kWidth / 2, kHeight - 1), 0xFF000000)) << "below the horizon";
}

}  // namespace
