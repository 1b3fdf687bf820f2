// What the renderer takes from a map and gives back: the land texture slots (a "reflect" layer
// borrows the GUI logo and is never looked up), the mission environment's maps and sky objects,
// and the release at map unload.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/env_maps.h"
#include "render/land/map_render_setup.h"
#include "render/textures/texture_manager.h"
#include "render/textures/texture_preload.h"
#include "tests/render/texture_test_support.h"
#include "world/objects/graph_obj.h"

using texture_test::WriteTga;

namespace {

int g_skyObjectsDeleted = 0;

class CountedSky : public GraphObj {
public:
    ~CountedSky() override { ++g_skyObjectsDeleted; }
};

class MapRenderSetup : public texture_test::TextureTest {
protected:
    void TearDown() override
    {
        RenderReleaseMapResources();
        texture_test::TextureTest::TearDown();
    }
};

TEST_F(MapRenderSetup, LandTexturesFillTheSlotsAndTheReleaseEmptiesThem)
{
    for (const char* name : {"component/land/grass.tga", "component/land/rock.tga", "component/land/reflect.tga",
                             "land/x/grass_a.tga", "component/gui/logo.tga"})
        ASSERT_TRUE(WriteTga(name, 2, 2, 0xFF406080u)) << name;
    GuiTexturesLoad();
    ASSERT_NE(g_preloadedTextures.guiLogo, nullptr);
    std::vector<EngineString> layers(LAND_LAYER_COUNT), variants(LAND_LAYER_COUNT);
    layers[0].Assign("grass");
    layers[1].Assign("reflect");
    layers[2].Assign("rock");
    variants[0].Assign("grass_a");
    variants[2].Assign("missing");

    LandTexturesLoad(EngineString("land\\x\\"), layers.data(), variants.data());
    EXPECT_EQ(g_mapRender.landTexturesLoaded, 1);
    EXPECT_NE(g_mapRender.landTextures[0].layer, nullptr);
    EXPECT_EQ(g_mapRender.landTextures[0].layer, TextureFind("component\\land\\grass"));
    EXPECT_EQ(g_mapRender.landTextures[0].variant, TextureFind("land\\x\\grass_a"));
    EXPECT_NE(g_mapRender.landTextures[0].variant, nullptr);
    EXPECT_EQ(g_mapRender.landTextures[1].layer, g_preloadedTextures.guiLogo);
    EXPECT_EQ(TextureFind("component\\land\\reflect"), nullptr);  // never looked up
    EXPECT_NE(g_mapRender.landTextures[2].layer, nullptr);
    EXPECT_EQ(g_mapRender.landTextures[2].variant, nullptr);
    EXPECT_EQ(g_mapRender.landTextures[3].layer, nullptr);

    LandTexturesRelease();
    EXPECT_EQ(g_mapRender.landTexturesLoaded, 0);
    for (const LandTextureSlot& slot : g_mapRender.landTextures) {
        EXPECT_EQ(slot.layer, nullptr);
        EXPECT_EQ(slot.variant, nullptr);
    }
    EXPECT_EQ(TextureFind("component\\land\\grass"), nullptr);
    EXPECT_EQ(TextureFind("land\\x\\grass_a"), nullptr);
    EXPECT_EQ(TextureFind("component\\gui\\logo"), g_preloadedTextures.guiLogo);  // the borrowed logo stays
}

TEST_F(MapRenderSetup, MissionEnvironmentReplacesSkyAndMapsAndTheUnloadReleasesThem)
{
    for (const char* face : {"rt", "up"})
        ASSERT_TRUE(WriteTga(std::string("mission/m1/env_") + face + ".tga", 2, 2, 0xFF102030u));
    g_skyObjectsDeleted = 0;
    g_mapRender.skyBefore = new CountedSky();
    g_mapRender.skyAfter = new CountedSky();
    GraphObj* before = g_mapRender.skyBefore;

    EXPECT_EQ(MissionEnvironmentLoad(nullptr, nullptr), 0);
    EXPECT_EQ(g_mapRender.skyBefore, before);
    EXPECT_EQ(g_skyObjectsDeleted, 0);

    EXPECT_EQ(MissionEnvironmentLoad("m1", nullptr), 1);
    EXPECT_EQ(g_skyObjectsDeleted, 2);
    EXPECT_EQ(g_mapRender.skyBefore, nullptr);
    EXPECT_EQ(g_mapRender.skyAfter, nullptr);
    EXPECT_NE(g_mapRender.envMaps[ENV_RIGHT], nullptr);
    EXPECT_NE(g_mapRender.envMaps[ENV_UP], nullptr);
    EXPECT_EQ(g_mapRender.envMaps[ENV_LEFT], nullptr);

    Device()->SetTexture(5, g_mapRender.envMaps[ENV_RIGHT]);
    RenderReleaseMapResources();
    for (IDirect3DTexture8* texture : g_mapRender.envMaps)
        EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(TextureFind("mission\\m1\\env_rt"), nullptr);
    IDirect3DBaseTexture8* bound = nullptr;
    Device()->GetTexture(5, &bound);
    EXPECT_EQ(bound, nullptr);
    if (bound)
        bound->Release();
}

}  // namespace
