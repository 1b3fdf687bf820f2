// Texture memory reports, usage lists, the preloaded texture sets and the land layer composites.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

#include "core/console/console.h"
#include "core/winos.h"
#include "map/terrain/map_caches.h"
#include "render/device/device_hooks.h"
#include "render/device/render_device.h"
#include "render/draw2d/grid_font.h"
#include "render/land/land_composite.h"
#include "render/land/map_render_setup.h"
#include "render/textures/texture_manager.h"
#include "render/textures/texture_preload.h"
#include "render/textures/texture_reports.h"
#include "tests/render/texture_test_support.h"

using namespace texture_test;

namespace {

using TextureReports = TextureTest;

TEST_F(TextureReports, MemoryEstimateFollowsTheFileLevelCount)
{
    const struct {
        const char* name;
        UINT side, fileLevels;
        u32_t expectedBytes;  // truncate((1 - 2^-levels) x 2 x level-0 bytes)
        bool common;
    } cases[] = {
        {"one", 16, 1, 1024, false},
        {"chain", 16, 5, 1984, false},
        {"component\\_common\\shared", 8, 4, 480, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TexturesReleaseAll();
        g_textures.totalBytes = g_textures.commonBytes = 0;
        std::string path = c.name;
        for (char& ch : path)
            if (ch == '\\')
                ch = '/';
        ASSERT_TRUE(WriteDds(Device(), path + ".dds", c.side, c.side, c.fileLevels, 0xFFFFFFFFu));
        ASSERT_NE(TextureFindOrLoad(c.name), nullptr);
        EXPECT_EQ(g_textures.totalBytes, c.expectedBytes);
        EXPECT_EQ(g_textures.commonBytes, c.common ? c.expectedBytes : 0u);
    }
}

TEST_F(TextureReports, MemoryLineCountsWholeThousands)
{
    const struct {
        u32_t bytes;
        const char* line;
    } cases[] = {{0, "Textures: 0 kB\n"},
                 {999, "Textures: 0 kB\n"},
                 {1000, "Textures: 1 kB\n"},
                 {1999999, "Textures: 1999 kB\n"}};
    ConStartup();
    for (const auto& c : cases) {
        g_textures.totalBytes = c.bytes;
        TexturesPrintMemory();
        EXPECT_STREQ(ConLines(0)[ConLineCapacity(0) - 1], c.line);
    }
    ConShutdown();
}

TEST_F(TextureReports, UsageListsNameEveryTextureAndTheSharedOnes)
{
    const char* names[] = {"a", "component\\_common\\b", "c", "d", "component\\_common\\e", "f", "g", "x_common", "i",
                           "j"};
    for (const char* name : names)
        TextureRegister(SolidTexture(Device(), 4, 4, 1, 0xFFFFFFFFu), name);
    g_textures.totalBytes = 1999999;
    g_textures.commonBytes = 5500;

    TexturesWriteUsageList("mission\\m1");
    std::string all = "Size:    1999 kB\n\n\n";
    for (const char* name : names)
        all += std::string(name) + "\n";
    all += "Count:  10\n";
    EXPECT_EQ(ReadFileBytes("mission/m1/textures.txt"), all);
    EXPECT_EQ(ReadFileBytes("mission/m1/common_textures.txt"),
              "Size:    5 kB\n\n\ncomponent\\_common\\b\ncomponent\\_common\\e\nx_common\nCount:  3\n");

    // When one list cannot be created, neither is written.
    ASSERT_TRUE(WriteFileBytes("blocked/common_textures.txt/keep", ""));
    TexturesWriteUsageList("blocked");
    EXPECT_EQ(ReadFileBytes("blocked/textures.txt"), "");
}

using TexturePreloads = TextureTest;

TEST_F(TexturePreloads, SetsLoadTheirNamesAndFollowReloadsAndReleases)
{
    ASSERT_TRUE(WriteTga("component/gui/logo.tga", 8, 8, 0xFFFFFFFFu));
    ASSERT_TRUE(WriteTga("component/gui/indicator.tga", 8, 8, 0xFFFFFFFFu));
    ASSERT_TRUE(WriteTga("component/_common/water_nf_01.tga", 4, 4, 0xFF0000FFu));
    ASSERT_TRUE(WriteTga("component/_common/water_nf_32.tga", 4, 4, 0xFF0000FFu));
    ASSERT_TRUE(WriteTga("component/_common/select.tga", 4, 4, 0xFF0000FFu));

    GuiTexturesLoad();
    EXPECT_EQ(g_preloadedTextures.guiLogo, TextureFind("component\\gui\\logo"));
    EXPECT_NE(g_preloadedTextures.guiIndicator, nullptr);
    // No font image: the built-in grid font stands in, outside the registry.
    EXPECT_EQ(g_preloadedTextures.guiFont, GridFontBuiltinTexture());
    EXPECT_EQ(TextureFindSlot(g_preloadedTextures.guiFont), -1);

    CompassAndWaterTexturesLoad();
    EXPECT_EQ(g_preloadedTextures.compass, nullptr);
    EXPECT_EQ(g_preloadedTextures.select, TextureFind("component\\_common\\select"));
    for (int i = 0; i < WATER_FRAME_COUNT; ++i)
        EXPECT_EQ(g_preloadedTextures.water[i] != nullptr, i == 0 || i == 31) << i;
    EXPECT_EQ(g_preloadedTextures.water[31], TextureFind("component\\_common\\water_nf_32"));

    TexturesRecreate();
    EXPECT_EQ(g_preloadedTextures.guiLogo, TextureFind("component\\gui\\logo"));
    EXPECT_EQ(g_preloadedTextures.water[0], TextureFind("component\\_common\\water_nf_01"));
    EXPECT_EQ(g_preloadedTextures.select, TextureFind("component\\_common\\select"));

    TexturesReleaseAll();
    EXPECT_EQ(g_preloadedTextures.guiLogo, nullptr);
    EXPECT_EQ(g_preloadedTextures.water[0], nullptr);
}

using LandComposite = TextureTest;

TEST_F(LandComposite, TileSideStaysWithinOneAndTheLimit)
{
    const struct {
        int size;
        float var;
        int side;
    } cases[] = {{512, 0.0f, 512}, {512, -3.0f, 512}, {512, std::nanf(""), 512},
                 {512, 4.0f, 128}, {512, 3.0f, 170},  {512, 0.5f, 512},
                 {512, 1e6f, 1},   {8, 2.0f, 4},      {512, std::numeric_limits<float>::infinity(), 1}};
    for (const auto& c : cases)
        EXPECT_EQ(LandLayerTileSide(c.size, c.var), c.side) << c.size << " / " << c.var;
}

TEST_F(LandComposite, LayersBlendByTheirAlphaTexturesAndTheLightmapDarkens)
{
    IDirect3DTexture8* red = SolidTexture(Device(), 8, 8, 1, 0xFFFF0000u);
    IDirect3DTexture8* green = SolidTexture(Device(), 8, 8, 1, 0xFF00FF00u);
    IDirect3DTexture8* halfCover = SolidTexture(Device(), 8, 8, 1, 0x80FFFFFFu);
    IDirect3DTexture8* greyLight = SolidTexture(Device(), 8, 8, 1, 0xFF808080u);
    const LandLayerSource layers[] = {
        {red, nullptr, 0.0f},        // covers everything, a var of 0 counts as 1
        {nullptr, halfCover, 1.0f},  // no colour texture: left out
        {green, halfCover, 2.0f},    // half over the red
    };
    IDirect3DTexture8* plain = nullptr;
    IDirect3DTexture8* lit = nullptr;
    ASSERT_TRUE(LandLayersCompositeFrom(layers, 3, greyLight, 8, &plain, &lit));

    D3DSURFACE_DESC desc;
    plain->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_DXT1);
    EXPECT_EQ(plain->GetLevelCount(), 4u);
    // a = 128 / 255: red x (1 - a) + green x a. DXT1 keeps 5 or 6 bits a channel.
    const render_test::Pixels plainPixels = ReadTexture(Device(), plain);
    EXPECT_TRUE(render_test::ColourNear(plainPixels.At(3, 5), 0xFF7F8000u, 8));
    const render_test::Pixels smallest = ReadTexture(Device(), plain, 3);
    EXPECT_TRUE(render_test::ColourNear(smallest.At(0, 0), 0xFF7F8000u, 8));
    const render_test::Pixels litPixels = ReadTexture(Device(), lit);
    EXPECT_TRUE(render_test::ColourNear(litPixels.At(3, 5), 0xFF404000u, 8));

    for (IDirect3DTexture8* texture : {red, green, halfCover, greyLight, plain, lit})
        texture->Release();
}

TEST_F(LandComposite, CachedFilesAreLoadedUnlessARebuildIsForced)
{
    ASSERT_TRUE(WriteDds(Device(), "mission/m1/m1_layers.dds", 8, 8, 1, 0xFF0000FFu));
    ASSERT_TRUE(WriteDds(Device(), "land/l1/layers.dds", 8, 8, 1, 0xFF00FF00u));
    IDirect3DTexture8* red = SolidTexture(Device(), 8, 8, 1, 0xFFFF0000u);
    g_mapRender.landTextures[0].layer = red;

    // Both caches exist: they are the composites, nothing is built.
    EXPECT_EQ(LandLayersTextureSave("land\\l1", "mission\\m1", "m1"), 1);
    EXPECT_EQ(g_mapRender.landCompositeReady, 1);
    const MapRenderState& map = g_mapRender;
    EXPECT_TRUE(render_test::ColourNear(ReadTexture(Device(), map.landCompositeLit).At(0, 0), 0xFF0000FFu, 0));
    EXPECT_TRUE(render_test::ColourNear(ReadTexture(Device(), map.landCompositePlain).At(0, 0), 0xFF00FF00u, 0));

    // A forced rebuild builds from the layers and writes both caches.
    MapForceCacheRebuild(true);
    EXPECT_EQ(LandLayersTextureSave("land\\l1", "mission\\m1", "m1"), 1);
    MapForceCacheRebuild(false);
    EXPECT_TRUE(render_test::ColourNear(ReadTexture(Device(), map.landCompositePlain).At(100, 200), 0xFFFF0000u, 0));
    D3DXIMAGE_INFO info = {};
    ASSERT_TRUE(SUCCEEDED(D3DXGetImageInfoFromFileA("land/l1/layers.dds", &info)));
    EXPECT_EQ(info.Width, UINT(LAND_COMPOSITE_SIZE));
    EXPECT_EQ(info.Format, D3DFMT_DXT1);
    EXPECT_EQ(LandLayersTextureLoad("mission\\m1\\m1_layers.dds", "land\\l1\\layers.dds"), 1);
    EXPECT_TRUE(render_test::ColourNear(ReadTexture(Device(), g_mapRender.landCompositeLit).At(7, 7), 0xFFFF0000u, 0));

    // One cache missing: nothing is taken from the other.
    EXPECT_EQ(LandLayersTextureLoad("mission\\m1\\m1_layers.dds", "land\\l1\\none.dds"), 0);
    // The editor builds its own.
    g_program.editorMode = 1;
    EXPECT_EQ(LandLayersTextureSave("land\\l1", "mission\\m1", "m1"), 0);
    g_program.editorMode = 0;

    g_mapRender.landTextures[0].layer = nullptr;
    red->Release();
}

// The composites are no textures of the table, so the reload leaves them on the old device: they are
// made again on the new one from the reloaded layers, and letting them go ends that.
TEST_F(LandComposite, TheCompositesAreMadeAgainOnTheNewDeviceAfterADisplayModeChange)
{
    ASSERT_TRUE(WriteTga("component/land/red.tga", 8, 8, 0xFFFF0000u));
    IDirect3DTexture8* red = TextureFindOrLoad("component\\land\\red");
    ASSERT_NE(red, nullptr);
    g_mapRender.landTextures[0].layer = red;
    ASSERT_EQ(LandLayersComposite(8), 1);

    ASSERT_EQ(RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    TexturesRecreate();
    EXPECT_EQ(g_mapRender.landCompositeReady, 1);
    for (IDirect3DTexture8* composite : {g_mapRender.landCompositePlain, g_mapRender.landCompositeLit}) {
        ASSERT_NE(composite, nullptr);
        IDirect3DDevice8* owner = nullptr;
        ASSERT_EQ(composite->GetDevice(&owner), D3D_OK);
        EXPECT_EQ(owner, Device());
        owner->Release();
        EXPECT_TRUE(render_test::ColourNear(ReadTexture(Device(), composite).At(5, 5), 0xFFFF0000u, 0));
    }

    LandLayersRelease();
    EXPECT_FALSE(RenderDeviceHooksRegistered(RENDER_HOOK_LAND_COMPOSITES));
    g_mapRender.landTextures[0].layer = nullptr;
}

}  // namespace
