// The fog lookup textures: their texels from the fog settings, made and refilled on the offscreen
// device, made again after a display-mode change, and the near-ground test.
#include <gtest/gtest.h>

#include <string>

#include "core/console/console.h"
#include "map/land_maps/fog_textures.h"
#include "map/map_cvars.h"
#include "map/terrain/terrain_height.h"
#include "render/textures/texture_manager.h"
#include "tests/map/map_setting.h"
#include "support/render_test_support.h"
#include "tests/render/texture_test_support.h"

namespace {

using map_test::ScopedSetting;

TEST(FogTexels, DefaultsLeaveTheCentreClearAndTheCornersFull)
{
    constexpr u32_t n = FOG_TEXTURE_DEFAULT_SIZE;
    EXPECT_EQ(FogTexel(n, n / 2, n / 2, 1500.0f, 1000.0f, 2.0f), 0x00FFFFFFu);
    EXPECT_EQ(FogTexel(n, 0, 0, 1500.0f, 1000.0f, 2.0f), 0xFF000000u);
    EXPECT_EQ(FogTexel(n, n - 1, n - 1, 1500.0f, 1000.0f, 2.0f), 0xFF000000u);
    // The water fogs up fast: 255 x t^0.2 is about 103 at the texel next to the centre.
    EXPECT_NEAR(static_cast<int>(WaterFogTexel(n, n / 2, n / 2) >> 24), 103, 2);
    EXPECT_EQ(WaterFogTexel(n, 0, 0), 0xFF000000u);
    // Between the fog start and the edge the fog grows and the grey falls with it.
    u32_t previous = 0;
    for (u32_t column = n / 2; column < n; ++column) {
        const u32_t texel = FogTexel(n, column, n / 2, 1500.0f, 1000.0f, 2.0f);
        const u32_t alpha = texel >> 24, grey = texel & 0xFF;
        EXPECT_EQ(alpha + grey, 255u) << column;
        EXPECT_GE(alpha, previous) << column;
        EXPECT_EQ((texel >> 16) & 0xFF, grey);
        EXPECT_EQ((texel >> 8) & 0xFF, grey);
        previous = alpha;
    }
    EXPECT_EQ(previous, 255u);
}

TEST(FogTexels, AFogStartAtOrBeyondTheRangeLeavesEveryInnerTexelClear)
{
    constexpr u32_t n = 32;
    for (float fogStart : {1500.0f, 4000.0f}) {
        for (u32_t row = 0; row < n; ++row) {
            for (u32_t column = 0; column < n; ++column) {
                const u32_t texel = FogTexel(n, column, row, 1500.0f, fogStart, 2.0f);
                EXPECT_TRUE(texel == 0x00FFFFFFu || texel == 0xFF000000u) << column << "," << row;
                if (column > n / 4 && column < 3 * n / 4 && row > n / 4 && row < 3 * n / 4) {
                    EXPECT_EQ(texel, 0x00FFFFFFu);
                }
            }
        }
    }
}

TEST(NearGround, EightyAboveTheTerrainIsNoLongerNear)
{
    const float ground = MapTerrainHeight(30.0f, -20.0f, nullptr, nullptr);
    EXPECT_TRUE(MapIsNearGround({30.0f, ground + 79.9f, -20.0f}));
    EXPECT_FALSE(MapIsNearGround({30.0f, ground + 80.0f, -20.0f}));
    EXPECT_TRUE(MapIsNearGround({30.0f, ground - 5.0f, -20.0f}));
}

class FogTextures : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        ConStartup();
    }
    void TearDown() override
    {
        MapReleaseFogTextures();
        ConShutdown();
        RenderCore::TearDown();
    }

    static bool PrintedOnConsole0(const std::string& text)
    {
        char** lines = ConLines(0);
        for (int i = 0; lines && i < ConLineCapacity(0); ++i) {
            if (lines[i] && text == lines[i])
                return true;
        }
        return false;
    }
};

TEST_F(FogTextures, AreMadeFromTheSettingsAndRefilled)
{
    ScopedSetting size("mifogtexsize", CVAR_INT, "16");
    ScopedSetting fogStart("mffogstart", CVAR_FLOAT, "1000.0");
    MapCreateFogTexture();
    MapCreateWaterFogTexture();
    ASSERT_NE(MapGetFogTexture(), nullptr);
    ASSERT_NE(MapGetWaterFogTexture(), nullptr);
    const render_test::Pixels fog = texture_test::ReadTexture(Device(), MapGetFogTexture());
    ASSERT_EQ(fog.width, 16u);
    EXPECT_EQ(fog.At(8, 8), 0x00FFFFFFu);
    EXPECT_EQ(fog.At(0, 0), 0xFF000000u);
    const render_test::Pixels water = texture_test::ReadTexture(Device(), MapGetWaterFogTexture());
    EXPECT_EQ(water.At(0, 15), 0xFF000000u);
    for (u32_t column = 0; column < 16; ++column)
        EXPECT_EQ(water.At(column, 5), WaterFogTexel(16, column, 5)) << column;

    // A fog start at the range clears the fog inside the circle once the texture is refilled.
    const u32_t before = fog.At(14, 8);
    EXPECT_NE(before, 0x00FFFFFFu);
    fogStart.Set("1500.0");
    EXPECT_EQ(texture_test::ReadTexture(Device(), MapGetFogTexture()).At(14, 8), before);
    MapFillFogTexture();
    EXPECT_EQ(texture_test::ReadTexture(Device(), MapGetFogTexture()).At(14, 8), 0x00FFFFFFu);
}

TEST_F(FogTextures, AFailedCreationPrintsTheRedLineAndLeavesNone)
{
    ScopedSetting size("mifogtexsize", CVAR_INT, "0");
    MapCreateFogTexture();
    EXPECT_EQ(MapGetFogTexture(), nullptr);
    EXPECT_TRUE(
        PrintedOnConsole0("\x0E\x02"
                          "Failed to create fog texture\n"));
    MapFillFogTexture();  // nothing to fill
    MapCreateWaterFogTexture();
    EXPECT_EQ(MapGetWaterFogTexture(), nullptr);
}

TEST_F(FogTextures, BothAreMadeAgainAfterADisplayModeChange)
{
    ScopedSetting size("mifogtexsize", CVAR_INT, "8");
    MapCreateFogTexture();
    MapCreateWaterFogTexture();
    IDirect3DTexture8* fog = MapGetFogTexture();
    IDirect3DTexture8* water = MapGetWaterFogTexture();
    ASSERT_NE(fog, nullptr);
    ASSERT_NE(water, nullptr);
    ASSERT_EQ(RenderSetDisplayMode(kWidth * 2, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    TexturesRecreate();
    ASSERT_NE(MapGetFogTexture(), nullptr);
    ASSERT_NE(MapGetWaterFogTexture(), nullptr);
    EXPECT_EQ(texture_test::ReadTexture(Device(), MapGetFogTexture()).At(4, 4), 0x00FFFFFFu);
    EXPECT_EQ(texture_test::ReadTexture(Device(), MapGetWaterFogTexture()).At(0, 0), 0xFF000000u);
}

}  // namespace
