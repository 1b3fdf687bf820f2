// The land lightmap on a real device: built from the land's traces with ambient and sun light,
// filtered across the grid's edges, written as "lmap.dds" and loaded from it again.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/files/byte_io.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "core/files/vfs.h"
#include "map/land_maps/lightmap.h"
#include "map/map_cvars.h"
#include "map/terrain/map_caches.h"
#include "map/map_cvars.h"
#include "render/device/device_hooks.h"
#include "render/device/render_context.h"
#include "support/archive_builder.h"
#include "support/files.h"
#include "support/raw_device.h"
#include "support/temp_dir.h"
#include "tests/map/cache_land.h"

namespace {

namespace fs = std::filesystem;

constexpr u32_t kSide = 8;
const float kAmbient[4] = {0.25f, 0.5f, 0.15f, 1.0f};
const float kDiffuse[4] = {0.35f, 0.2f, 0.7f, 0.5f};

// The texel's channels (red, green, blue, alpha) for light falling at cosine k (0: ambient only).
std::vector<u32_t> Lit(float k)
{
    std::vector<u32_t> channels;
    for (int i = 0; i < 4; ++i) {
        const float c = kAmbient[i] * 0.8f + kDiffuse[i] * k;
        channels.push_back(c >= 1.0f ? 255u : static_cast<u32_t>(std::lround(c * 255.0f)));
    }
    return channels;
}

std::vector<u32_t> Channels(u32_t pixel)
{
    return {pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF, pixel >> 24};
}

class Lightmap : public RawDeviceTest {
protected:
    void SetUp() override
    {
        RawDeviceTest::SetUp();
        m_folder = std::make_unique<TempDir>();
        ConStartup();
        g_render.device = device;
        cache_test::MakeLand([](float, float) { return 0.0f; }, 0.0f, 0.0f);
        fs::create_directories("mission/m1");
        milmapsize.SetInt(kSide);
        migisamples.SetInt(0);
        mishadowsmooth.SetInt(1);
        dblm.SetBool(false);
        SunDirection(0, 1, 0);
        for (int i = 0; i < 4; ++i) {
            mcmapambient.value.asColour[i] = kAmbient[i];
            mcmapdiffuse.value.asColour[i] = kDiffuse[i];
        }
    }
    void TearDown() override
    {
        MapReleaseLightmap();
        MapForceCacheRebuild(false);
        MapSetFolders(nullptr, nullptr);
        g_frameView.screenOpen = false;
        g_render.device = nullptr;
        cache_test::ForgetLand();
        ConShutdown();
        VFSShutdown();
        m_folder.reset();
        RawDeviceTest::TearDown();
    }

    static void SunDirection(float x, float y, float z)
    {
        mvsundir.value.asVector[0] = x;
        mvsundir.value.asVector[1] = y;
        mvsundir.value.asVector[2] = z;
    }

    // Builds or loads the map's lightmap; true when it was built.
    static bool Make()
    {
        ConClear(0);
        MapBuildLightmap("mission\\m1", "component\\land\\");
        return BuildLogged();
    }
    // True when console 0 shows the build's line.
    static bool BuildLogged()
    {
        const char* const* lines = ConLines(0);
        for (int i = 0; lines && i < ConLineCapacity(0); ++i) {
            if (lines[i] && std::string(lines[i]) == "Building lightmap: 'mission\\m1\\lmap.dds'\n")
                return true;
        }
        return false;
    }

    // The lightmap's texels, row by row.
    static std::vector<u32_t> Texels()
    {
        std::vector<u32_t> texels;
        IDirect3DTexture8* texture = MapGetLightmapTexture();
        D3DLOCKED_RECT locked = {};
        if (!texture || FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY)))
            return texels;
        for (u32_t row = 0; row < kSide; ++row) {
            for (u32_t column = 0; column < kSide; ++column)
                texels.push_back(LoadU32(static_cast<const u8_t*>(locked.pBits) + row * locked.Pitch + column * 4));
        }
        texture->UnlockRect(0);
        return texels;
    }

    KeepVar m_kept[8] = {KeepVar{milmapsize}, KeepVar{migisamples},  KeepVar{mishadowsmooth}, KeepVar{dblm},
                         KeepVar{mvsundir},   KeepVar{mcmapambient}, KeepVar{mcmapdiffuse},   KeepVar{mfgiradius}};
    std::unique_ptr<TempDir> m_folder;
};

// Flat open land without occlusion: every texel is the ambient share plus the sun's cosine share;
// texels without land under them get no sun.
TEST_F(Lightmap, FlatLandIsAmbientPlusSunByItsCosine)
{
    struct Case {
        const char* what;
        Vector3 sun;
        float k;
    };
    const Case cases[] = {
        {"sun straight up", {0, 1, 0}, 1.0f},
        {"sun at 45 degrees, not normalised", {2, 2, 0}, std::sqrt(0.5f)},
        {"sun below the horizon", {1, -0.2f, 0}, 0.0f},
    };
    for (const Case& c : cases) {
        SunDirection(c.sun.x, c.sun.y, c.sun.z);
        dblm.SetBool(true);
        EXPECT_TRUE(Make()) << c.what;
        const std::vector<u32_t> texels = Texels();
        ASSERT_EQ(texels.size(), kSide * kSide);
        for (u32_t texel : texels)
            ASSERT_EQ(Channels(texel), Lit(c.k)) << c.what;
    }

    // Land only on the west half (x < 0, columns 0 to 3).
    cache_test::MakeLand([](float, float) { return 0.0f; }, 0.0f, 0.0f, -50.0f, 0.0f);
    SunDirection(0, 1, 0);
    mishadowsmooth.SetInt(0);
    EXPECT_TRUE(Make());
    const std::vector<u32_t> texels = Texels();
    ASSERT_EQ(texels.size(), kSide * kSide);
    for (u32_t i = 0; i < texels.size(); ++i)
        ASSERT_EQ(Channels(texels[i]), Lit(i % kSide < 4 ? 1.0f : 0.0f)) << i;
}

// Occlusion rays on a grid of fewer than 20 rows: the progress steps stay defined, the open land
// is darkened only by the rays that meet it.
TEST_F(Lightmap, OcclusionOnASmallGridStaysBetweenSunAndFullLight)
{
    migisamples.SetInt(3);
    mfgiradius.SetFloat(5.0f);
    dblm.SetBool(true);
    EXPECT_TRUE(Make());
    const std::vector<u32_t> texels = Texels();
    ASSERT_EQ(texels.size(), kSide * kSide);
    const std::vector<u32_t> full = Lit(1.0f);
    for (u32_t texel : texels) {
        const std::vector<u32_t> channels = Channels(texel);
        for (int i = 0; i < 3; ++i) {
            EXPECT_LE(channels[i], full[i]);
            EXPECT_GE(channels[i] + 1, static_cast<u32_t>(std::lround(kDiffuse[i] * 255.0f)));
        }
    }
}

// "lmap.dds" is written by the build and loaded afterwards, up to date or stale, from disk or from
// an archive; "dblm" or a missing file builds.
TEST_F(Lightmap, TheCacheIsWrittenThenLoadedEvenWhenStale)
{
    EXPECT_TRUE(Make());
    ASSERT_TRUE(fs::is_regular_file("mission/m1/lmap.dds"));
    const std::vector<u32_t> sunlit = Texels();
    SunDirection(0, -1, 0);  // a build would give the ambient share only now

    const auto cacheTime = fs::last_write_time("mission/m1/lmap.dds");
    struct Case {
        const char* what;
        int meshAge;  // seconds before the cache; negative: newer; 0: no mesh file
        bool forced;
    };
    const Case cases[] = {
        {"no mesh file", 0, false},
        {"older mesh", 10, false},
        {"newer mesh", -10, false},
        {"forced rebuild", 10, true},
    };
    for (const Case& c : cases) {
        fs::remove("component/land/mesh.lff");
        if (c.meshAge) {
            WriteFileBytes("component/land/mesh.lff", "mesh");
            fs::last_write_time("component/land/mesh.lff", cacheTime - std::chrono::seconds(c.meshAge));
        }
        MapForceCacheRebuild(c.forced);
        EXPECT_FALSE(Make()) << c.what;
        EXPECT_EQ(Texels(), sunlit) << c.what;
    }
    MapForceCacheRebuild(false);

    const std::string bytes = ReadFileBytes("mission/m1/lmap.dds");
    fs::remove("mission/m1/lmap.dds");
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"mission\\m1\\lmap.dds", bytes}}));
    ASSERT_TRUE(VFSInit());
    EXPECT_FALSE(Make()) << "from the archive";
    EXPECT_EQ(Texels(), sunlit);
    VFSShutdown();

    dblm.SetBool(true);
    EXPECT_TRUE(Make()) << "dblm";
    EXPECT_EQ(Channels(Texels()[0]), Lit(0.0f));
    dblm.SetBool(false);
    fs::remove("mission/m1/lmap.dds");
    SunDirection(0, 1, 0);
    EXPECT_TRUE(Make()) << "missing file";
    EXPECT_EQ(Texels(), sunlit);
}

// Once a new device's textures are in, the land's lightmap is built again, but not while a screen is
// open over the mission.
TEST_F(Lightmap, TheNewDeviceRebuildWaitsWhileAScreenIsOpen)
{
    EXPECT_TRUE(Make());
    MapSetFolders("mission\\m1", "flat");
    fs::remove("mission/m1/lmap.dds");  // the rebuild cannot load it: it builds and logs
    IDirect3DTexture8* const built = MapGetLightmapTexture();

    g_frameView.screenOpen = true;
    ConClear(0);
    RenderRunTexturesReloadedHooks();
    EXPECT_FALSE(BuildLogged());
    EXPECT_EQ(MapGetLightmapTexture(), built);
    EXPECT_FALSE(fs::exists("mission/m1/lmap.dds"));

    g_frameView.screenOpen = false;
    ConClear(0);
    RenderRunTexturesReloadedHooks();
    EXPECT_TRUE(BuildLogged());
    EXPECT_TRUE(fs::is_regular_file("mission/m1/lmap.dds"));
}

// The filters reach past each edge to the opposite one: a single bright texel at (0, 0) of a 4 x 4
// grid spreads to the last row and column.
TEST(LightmapFilter, KernelsWrapAroundTheGridEdges)
{
    std::vector<float> spike(16, 0.0f), out(16, -1.0f);
    spike[0] = 1.0f;
    const float sunKernel[9] = {0, 1, 0, 1, 2, 1, 0, 1, 0};
    LightmapFilterWrapped(spike.data(), out.data(), 4, 1, sunKernel, 3);
    EXPECT_FLOAT_EQ(out[0], 2.0f / 6.0f);
    EXPECT_FLOAT_EQ(out[1], 1.0f / 6.0f);
    EXPECT_FLOAT_EQ(out[3], 1.0f / 6.0f);   // row 0, last column
    EXPECT_FLOAT_EQ(out[12], 1.0f / 6.0f);  // last row, column 0
    EXPECT_FLOAT_EQ(out[15], 0.0f);
    EXPECT_FLOAT_EQ(out[5], 0.0f);

    const float occlusionKernel[25] = {16, 22, 25, 22, 16, 22, 35, 50, 35, 22, 25, 50, 100,
                                       50, 25, 22, 35, 50, 35, 22, 16, 22, 25, 22, 16};
    LightmapFilterWrapped(spike.data(), out.data(), 4, 1, occlusionKernel, 5);
    EXPECT_FLOAT_EQ(out[15], 35.0f / 780.0f);  // one step on across the corner
    // Two steps either way land on the same texel of a 4-wide grid.
    EXPECT_FLOAT_EQ(out[2], 50.0f / 780.0f);
    EXPECT_FLOAT_EQ(out[10], 64.0f / 780.0f);

    // Three components a texel are filtered apart.
    std::vector<float> normals(48, 0.0f), filtered(48);
    for (int t = 0; t < 16; ++t)
        normals[t * 3 + 1] = 1.0f;
    normals[2] = 4.0f;
    const float normalKernel[9] = {0.5f, 1, 0.5f, 1, 3, 1, 0.5f, 1, 0.5f};
    LightmapFilterWrapped(normals.data(), filtered.data(), 4, 3, normalKernel, 3);
    EXPECT_FLOAT_EQ(filtered[15 * 3 + 1], 1.0f);
    EXPECT_FLOAT_EQ(filtered[15 * 3 + 2], 4.0f * 0.5f / 9.0f);
    EXPECT_FLOAT_EQ(filtered[15 * 3], 0.0f);
}

}  // namespace
