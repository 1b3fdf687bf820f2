// A small flat map made with the map authoring tool, loaded as a mission loads it and drawn
// offscreen at 160 x 120 through the frame's own steps (sky backdrop, then the visibility pass with
// the static map) looking at the horizon: the clear colour (or, once the mission has its sky box,
// the sky) above, a band of fog towards the horizon, the lit layer near the camera; the same
// picture from a camera one world size away; and a golden image.
// Set ZINTAR_UPDATE_GOLDEN=1 to write the golden image anew into tests/data/scene/ (then commit it).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/files/byte_io.h"
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "game/view/player_view.h"
#include "map/terrain/map_caches.h"
#include "map/terrain/map_load.h"
#include "map/trace/map_sight.h"
#include "map/materials/material_table.h"
#include "render/camera.h"
#include "render/land/map_render_setup.h"
#include "render/render_cvars.h"
#include "render/device/static_buffers.h"
#include "scene/meshes/object_draw.h"
#include "scene/sky/sky_backdrop.h"
#include "scene/passes/visibility_pass.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/keep_var.h"
#include "support/map_world.h"
#include "support/temp_dir.h"
#include "support/render_test_support.h"
#include "tools/map_author/map_author.h"
#include "tools/sky_make/sky_description.h"
#include "scene/draw_records/draw_lists.h"
#include "scene/passes/prepare_buffers.h"

namespace {

namespace fs = std::filesystem;

constexpr UINT kWidth = 160;
constexpr UINT kHeight = 120;
constexpr int kTolerance = 3;
constexpr float kHalfPi = 1.5707964f;
constexpr float kWorldSize = 1000.0f;
// High enough for the fogged ground to span rows.
constexpr float kEyeHeight = 100.0f;

constexpr DWORD kLayer = 0xFFC8A064;     // the land's one layer
constexpr DWORD kLightmap = 0xFFCCA37A;  // ambient (255, 204, 153) x 0.8, no sun
constexpr DWORD kFog = 0xFF5A6E8C;
constexpr DWORD kSky = 0xFF4682DC;  // every face of the sky box
// With alpha 0 the frame begins by clearing to it; the back buffer reads back with alpha 255.
constexpr DWORD kClear = 0x00203040;

const char* const kGolden = ZINTAR_TEST_DATA_DIR "/scene/flat_map_160x120.tga";

int Channel(DWORD colour, int shift)
{
    return int((colour >> shift) & 0xFF);
}

// The layer lit by the lightmap: the multiply pass scales each channel by the lightmap's / 255.
DWORD Lit(DWORD layer, DWORD light)
{
    DWORD out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
        out |= DWORD(Channel(layer, shift) * Channel(light, shift) / 255) << shift;
    return out;
}

// A plain 24-bit TGA face or texture of one colour, as the sky tool writes them.
std::string SolidImage(DWORD colour, int size)
{
    sky::SkyDescription description;
    description.size = size;
    sky::SkyFace face;
    face.suffix = "up";
    face.stops.push_back({0.0f, Channel(colour, 16), Channel(colour, 8), Channel(colour, 0)});
    description.faces.push_back(face);
    return sky::FaceImage(description, description.faces[0]);
}

// The picture as an uncompressed 24-bit TGA, top row first.
std::string ImageBytes(const render_test::Pixels& pixels)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;  // uncompressed true colour
    StoreU16(reinterpret_cast<u8_t*>(&bytes[12]), u16_t(pixels.width));
    StoreU16(reinterpret_cast<u8_t*>(&bytes[14]), u16_t(pixels.height));
    bytes[16] = 24;
    bytes[17] = 0x20;  // top row first
    for (DWORD word : pixels.words) {
        bytes.push_back(char(word & 0xFF));
        bytes.push_back(char((word >> 8) & 0xFF));
        bytes.push_back(char((word >> 16) & 0xFF));
    }
    return bytes;
}

// The golden image read back; empty when the file is not an image of that kind and size.
render_test::Pixels ReadImage(const std::string& bytes)
{
    render_test::Pixels pixels;
    if (bytes.size() < 18)
        return pixels;
    const u8_t* header = reinterpret_cast<const u8_t*>(bytes.data());
    const UINT width = LoadU16(header + 12), height = LoadU16(header + 14);
    if (header[2] != 2 || header[16] != 24 || !(header[17] & 0x20) || header[0] != 0 ||
        bytes.size() != 18 + size_t(width) * height * 3)
        return pixels;
    pixels.width = width;
    pixels.height = height;
    for (size_t at = 18; at + 3 <= bytes.size(); at += 3)
        pixels.words.push_back(0xFF000000u | DWORD(header[at + 2]) << 16 | DWORD(header[at + 1]) << 8 |
                               DWORD(header[at]));
    return pixels;
}

class FlatMapScreenshot : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_keptSelector = RenderGetPassSelector();
        engine_log::StartFolder();
        m_folder = std::make_unique<TempDir>();
        ConStartup();
        CreateScriptCache();
        ASSERT_EQ(RenderInit(m_window.Handle()), 0);
        SceneDrawListsInit();
        ASSERT_EQ(RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
        WriteFileBytes("script/material.scr", "<ground>\n</ground>\n");
        MaterialsLoad();

        MapAuthorPlan plan;
        plan.land = "flat";
        plan.mission = "m1";
        plan.size = kWorldSize;
        plan.grid = 9;
        MapAuthorFlatHeights(plan, 0.0f);
        plan.layers = {{"ground", "ground_a", 4.0f}};
        // A lightmap of the ambient colour alone; distance fog that sets in at 300 units and is whole
        // soon after, up to the far plane at 1500.
        plan.configLines = {"milmapsize = 16",
                            "migisamples = 0",
                            "mvsundir = (0, 1, 0)",
                            "mcmapambient = (255, 204, 153, 255)",
                            "mcmapdiffuse = (0, 0, 0, 0)",
                            "mfrange = 150",
                            "mffogstart = 30",
                            "mffogpow = 0.01",
                            "mcfogcolor = (90, 110, 140, 255)"};
        std::string error;
        ASSERT_TRUE(MapAuthorWrite(plan, ".", error)) << error;
        ASSERT_TRUE(WriteFileBytes("component/land/ground.tga", SolidImage(kLayer, 8)));
        DestroyScriptCache();
        CreateScriptCache();
        ASSERT_EQ(MapLoad(EngineString("flat"), EngineString("mission\\m1")), 0);
        RenderPrepareBuffers();  // the static map's buffers, as the mission start makes them
    }
    void TearDown() override
    {
        float* viewer = GameGetViewPos();
        viewer[0] = viewer[1] = viewer[2] = 0.0f;
        test_support::ShutDownMapWorld();
        m_folder.reset();
        // The sky backdrop leaves the pass selector at 0: later tests draw with the one they found.
        RenderSetPassSelector(m_keptSelector);
    }

    // One frame of the mission's drawing from the eye, looking along +z at the horizon.
    render_test::Pixels Frame(float x, float z)
    {
        float* viewer = GameGetViewPos();
        viewer[0] = x;
        viewer[1] = kEyeHeight;
        viewer[2] = z;
        RenderSetClearColor(kClear);
        EXPECT_EQ(RenderBeginFrame(), 0);
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, kHalfPi, 1);
        SkyBackdropDraw();
        RenderVisibilityPass(x, kEyeHeight, z, 0.0f, 0.0f, 0.0f, kHalfPi);
        render_test::Pixels pixels = render_test::ReadBackBuffer(g_render.device);
        RenderEndFrame(false);
        return pixels;
    }

    u32_t m_keptSelector = 0;
    KeepAllVars m_keptVars;  // the load's reset and "mission.cfg" set map variables
    std::unique_ptr<TempDir> m_folder;
    TestWindow m_window;
};

TEST_F(FlatMapScreenshot, SkyFogAndLitLayerInTheirRowsTheSameOneWorldSizeAwayAndAsTheGoldenImage)
{
    // The lightmap is the one asked for.
    IDirect3DTexture8* lightmap = MapGetLightmapTexture();
    ASSERT_NE(lightmap, nullptr);
    D3DLOCKED_RECT locked = {};
    ASSERT_EQ(lightmap->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const DWORD texel = *static_cast<const DWORD*>(locked.pBits) | 0xFF000000u;
    lightmap->UnlockRect(0);
    EXPECT_TRUE(render_test::ColourNear(texel, kLightmap));

    // Without a sky box the clear colour stands above the ground, which ends at the far plane 6 rows
    // below the horizon (row 60); the fog, whole at once, sets in 300 units away (about row 90).
    const render_test::Pixels bare = Frame(0.0f, 0.0f);
    ASSERT_EQ(bare.width, kWidth);
    ASSERT_EQ(bare.height, kHeight);
    // With the sky box its colour takes the place of the clear colour; the ground stays as it was.
    for (const char* suffix : {"rt", "lf", "up", "dn", "bk", "fr"})
        ASSERT_TRUE(WriteFileBytes(std::string("mission/m1/env_") + suffix + ".tga", SolidImage(kSky, 8)));
    ASSERT_EQ(MissionEnvironmentLoad("m1", nullptr), 1);
    const render_test::Pixels picture = Frame(0.0f, 0.0f);
    ASSERT_EQ(picture.words.size(), bare.words.size());

    const DWORD clear = kClear | 0xFF000000u, lit = Lit(kLayer, kLightmap);
    struct Row {
        const char* what;
        UINT y;
        DWORD withoutSky, withSky;
    };
    const Row rows[] = {
        {"the top", 0, clear, kSky},
        {"above the horizon", 40, clear, kSky},
        {"just above the far plane's ground", 64, clear, kSky},
        {"fogged ground near the horizon", 68, kFog, kFog},
        {"fogged ground before the fog sets in", 82, kFog, kFog},
        {"layer times lightmap at the bottom", kHeight - 1, lit, lit},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (UINT x : {0u, kWidth / 2, kWidth - 1}) {
            EXPECT_TRUE(render_test::ColourNear(bare.At(x, row.y), row.withoutSky, kTolerance)) << x << ", " << row.y;
            EXPECT_TRUE(render_test::ColourNear(picture.At(x, row.y), row.withSky, kTolerance)) << x << ", " << row.y;
        }
    }
    for (size_t i = 66 * kWidth; i < picture.words.size(); ++i)
        ASSERT_TRUE(render_test::ColourNear(picture.words[i], bare.words[i], kTolerance))
            << "pixel " << i % kWidth << ", " << i / kWidth;

    // One world size away on either axis the map repeats: the same picture.
    for (const auto& offset : {std::pair{kWorldSize, 0.0f}, std::pair{0.0f, -kWorldSize}}) {
        const render_test::Pixels moved = Frame(offset.first, offset.second);
        ASSERT_EQ(moved.words.size(), picture.words.size());
        for (size_t i = 0; i < picture.words.size(); ++i)
            ASSERT_TRUE(render_test::ColourNear(moved.words[i], picture.words[i], kTolerance))
                << "pixel " << i % kWidth << ", " << i / kWidth;
    }

    const char* update = std::getenv("ZINTAR_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        fs::create_directories(fs::path(kGolden).parent_path());
        ASSERT_TRUE(WriteFileBytes(kGolden, ImageBytes(picture)));
    }
    const render_test::Pixels golden = ReadImage(ReadFileBytes(kGolden));
    ASSERT_EQ(golden.width, kWidth) << kGolden << " missing: run with ZINTAR_UPDATE_GOLDEN=1";
    ASSERT_EQ(golden.height, kHeight);
    for (size_t i = 0; i < picture.words.size(); ++i)
        ASSERT_TRUE(render_test::ColourNear(picture.words[i], golden.words[i], kTolerance))
            << "pixel " << i % kWidth << ", " << i / kWidth;
}

}  // namespace
