// The sample data's sky: its faces and its sky objects' meshes are what their descriptions make, its
// environment script names the sample environment, and the backdrop shows the faces with the sky
// above the horizon, the mountains of the "before" object at it and the clouds of the "after" one.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "core/files/script_file.h"
#include "game/view/player_view.h"
#include "render/camera.h"
#include "render/land/map_render_setup.h"
#include "scene/sky/sky_backdrop.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "tests/render/texture_test_support.h"
#include "tools/aff_make/aff_description.h"
#include "tools/aff_make/aff_writer.h"
#include "tools/sky_make/sky_description.h"
#include "world/animation/anim_cache.h"
#include "world/objects/graph_obj.h"

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

TEST(SampleSky, SkyObjectMeshesAreThoseTheirDescriptionsMake)
{
    const fs::path descriptions = DataFolder() / ".." / "tools" / "sky_objects" / "sky";
    const fs::path meshes = DataFolder() / "sample" / "component" / "sky";
    int made = 0;
    for (const fs::directory_entry& description : fs::directory_iterator(descriptions)) {
        const fs::path mesh = meshes / (description.path().stem().string() + ".aff");
        SCOPED_TRACE(mesh.string());
        aff::AffFile file;
        std::string error;
        ASSERT_TRUE(aff::ParseAffDescription(ReadFileBytes(description.path()), &file, &error)) << error;
        EXPECT_TRUE(aff::AffImage(file) == ReadFileBytes(mesh)) << "not current: run tools/sky_objects/make";
        ++made;
    }
    // No mesh is left without its description.
    for (const fs::directory_entry& mesh : fs::directory_iterator(meshes)) {
        if (mesh.path().extension() == ".aff") {
            EXPECT_TRUE(fs::exists(descriptions / (mesh.path().stem().string() + ".txt"))) << mesh.path();
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
    ASSERT_EQ(vertical.size(), 18u + 4 * 4 * 4);
    EXPECT_EQ(static_cast<u8_t>(vertical[16]), 32);
    EXPECT_EQ(static_cast<u8_t>(vertical[17]), 0x28);  // top row first, 8 alpha bits
    // Rows at 1/8, 3/8, 5/8, 7/8 of the way down; pixels stored blue, green, red, alpha (opaque).
    const int red[4] = {25, 75, 125, 175};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(static_cast<u8_t>(vertical[18 + row * 16 + 2]), red[row]) << row;
        EXPECT_EQ(static_cast<u8_t>(vertical[18 + row * 16 + 3]), 255) << row;
    }
    const std::string radial = sky::FaceImage(sky, sky.faces[1]);
    const auto at = [&](int x, int y) { return static_cast<u8_t>(radial[18 + (y * 4 + x) * 4]); };
    EXPECT_EQ(at(1, 1), at(2, 2));
    EXPECT_GT(at(1, 1), at(0, 1));
    EXPECT_EQ(at(0, 0), 0);  // the corners lie beyond the last stop
}

// The faces of a whole box agree where they meet, however different their gradients: the side faces'
// edge columns row by row, their top rows with the top face's rim and their bottom rows with the
// bottom face's; inside, each face keeps its own gradient.
TEST(SampleSky, TheFacesOfAWholeBoxMeetWithoutASeam)
{
    sky::SkyDescription sky;
    std::string error;
    ASSERT_TRUE(
        sky::ParseSkyDescription("size 32\n"
                                 "face up radial 0 255 255 255 1 0 0 200\n"
                                 "face rt vertical 0 10 20 30 1 200 100 40\n"
                                 "face lf vertical 0 90 20 30 0.5 250 250 250 1 20 100 40\n"
                                 "face bk vertical 0 10 200 30 1 200 100 240\n"
                                 "face fr vertical 0 50 20 230 1 0 0 0\n"
                                 "face dn radial 0 0 0 0 1 255 0 0\n",
                                 &sky, &error))
        << error;
    const int n = sky.size;
    std::map<std::string, std::string> images;
    for (const sky::SkyFace& face : sky.faces)
        images[face.suffix] = sky::FaceImage(sky, face);
    const auto pixel = [&](const std::string& suffix, int x, int y) {
        return images[suffix].substr(18 + std::size_t(y * n + x) * 4, 4);
    };
    const std::string rim = pixel("up", 0, 0), floor = pixel("dn", 0, 0);
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(pixel("up", i, 0), rim);
        EXPECT_EQ(pixel("up", 0, i), rim);
        EXPECT_EQ(pixel("up", n - 1, i), rim);
        EXPECT_EQ(pixel("up", i, n - 1), rim);
        EXPECT_EQ(pixel("dn", i, 0), floor);
        EXPECT_EQ(pixel("dn", n - 1, i), floor);
        for (const char* side : {"rt", "lf", "bk", "fr"}) {
            EXPECT_EQ(pixel(side, i, 0), rim) << side;
            EXPECT_EQ(pixel(side, i, n - 1), floor) << side;
            EXPECT_EQ(pixel(side, 0, i), pixel("rt", 0, i)) << side;
            EXPECT_EQ(pixel(side, n - 1, i), pixel("rt", 0, i)) << side;
        }
    }
    // The middle of each side face is still its own: the four differ there.
    std::set<std::string> middles;
    for (const char* side : {"rt", "lf", "bk", "fr"})
        middles.insert(pixel(side, n / 2, n / 2));
    EXPECT_EQ(middles.size(), 4u);
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
    static constexpr float kView = 1.5708f;  // a quarter turn across

    void SetUp() override
    {
        texture_test::TextureTest::SetUp();
        CopySampleFolder("mission/map_01");
        CopySampleFolder("component/sky");
        CopySampleFolder("script");
    }
    void TearDown() override
    {
        EnvironmentRelease();
        // The fog floor keeps the last environment's box; later backdrops start from none.
        for (float& value : g_mapRender.skyBox)
            value = 0.0f;
        for (float& value : g_mapRender.skyAfterBox)
            value = 0.0f;
        AnimCacheFreeAll();
        DestroyScriptCache();
        texture_test::TextureTest::TearDown();
    }
    static void CopySampleFolder(const char* folder)
    {
        fs::create_directories(folder);
        // The files of the folder only: its subfolders (the AI's scripts) are nothing the sky reads.
        for (const fs::directory_entry& file : fs::directory_iterator(DataFolder() / "sample" / folder))
            if (file.is_regular_file())
                fs::copy_file(file.path(), fs::path(folder) / file.path().filename());
    }
    // The backdrop seen from the origin looking along +z with that field of view.
    render_test::Pixels Draw(float fov)
    {
        float* viewer = GameGetViewPos();
        viewer[0] = viewer[1] = viewer[2] = 0.0f;
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, fov, 1);
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        SkyBackdropDraw();
        return render_test::ReadBackBuffer(Device());
    }
};

TEST_F(SampleSkyOnScreen, ShowsSkyAboveTheHorizonAndHazeAtIt)
{
    ASSERT_EQ(MissionEnvironmentLoad("map_01", nullptr), 1);
    for (IDirect3DTexture8* face : g_mapRender.envMaps)
        ASSERT_NE(face, nullptr);
    const render_test::Pixels pixels = Draw(2.4f);
    const DWORD top = pixels.At(kWidth / 2, 0);
    const DWORD horizon = pixels.At(kWidth / 2, kHeight / 2);
    // Blue above, paler and warmer at the horizon.
    EXPECT_GT(top & 0xFF, (top >> 16) & 0xFF) << std::hex << top;
    EXPECT_GT((horizon >> 16) & 0xFF, (top >> 16) & 0xFF) << std::hex << horizon;
    EXPECT_TRUE(render_test::ColourNear(pixels.At(kWidth / 2, kHeight - 1), 0xFF000000)) << "below the horizon";
}

// Looking along +z: the rows just over the horizon hold mountains where the bare sky box shows
// pale sky, and the clouds of the "after" object show white overhead, which the sky box never is.
TEST_F(SampleSkyOnScreen, ShowsTheMountainsAtTheHorizonAndTheCloudsOverhead)
{
    ASSERT_EQ(MissionEnvironmentLoad("map_01", nullptr), 1);
    const render_test::Pixels bare = Draw(kView);
    ASSERT_EQ(MissionEnvironmentLoad("map_01", "map_01"), 1);
    for (const char* node : {"far_n", "far_e", "far_s", "far_w", "near_n", "near_e", "near_s", "near_w", "haze"})
        ASSERT_NE(g_mapRender.skyBefore->FindChild(node), nullptr) << node;
    ASSERT_NE(g_mapRender.skyAfter->FindChild("clouds"), nullptr);
    const render_test::Pixels sky = Draw(kView);
    const auto red = [](DWORD colour) { return int((colour >> 16) & 0xFF); };
    const auto blue = [](DWORD colour) { return int(colour & 0xFF); };
    const auto white = [&](DWORD colour) { return red(colour) > 215 && blue(colour) > 215; };
    int mountains = 0, bareClouds = 0, clouds = 0;
    for (int x = 0; x < kWidth; ++x) {
        // Pale sky over the bare horizon; the mountains are darker, yet not black (they are unlit).
        const int row = kHeight / 2 - 3;
        EXPECT_GT(red(bare.At(x, row)), 150) << x;
        const int mountain = red(sky.At(x, row));
        if (mountain > 40 && mountain < 140)
            ++mountains;
        for (int y = 0; y < kHeight / 4; ++y) {
            bareClouds += white(bare.At(x, y));
            clouds += white(sky.At(x, y));
        }
    }
    EXPECT_GT(mountains, kWidth / 2);
    EXPECT_EQ(bareClouds, 0);
    EXPECT_GT(clouds, kWidth * kHeight / 4 / 10);
}

}  // namespace
