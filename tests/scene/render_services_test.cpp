// The small render services: the material listing's exact text, the land texture lookup's bound,
// the level-of-detail distances and the full-view viewport.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/console/console.h"
#include "map/registry/world_registry.h"
#include "render/camera.h"
#include "render/land/map_render_setup.h"
#include "scene/meshes/object_draw.h"
#include "scene/render_services.h"
#include "scene/scene_cvars.h"
#include "tests/map/materials/material_fixture.h"
#include "support/render_test_support.h"
#include "tests/scene/scene_fixture.h"
#include "world/objects/dynamic_object.h"

namespace {

// The newest count lines of console 0, oldest first.
std::vector<std::string> NewestLines(int count)
{
    const int capacity = ConLineCapacity(0);
    std::vector<std::string> lines;
    for (int i = capacity - count; i < capacity; ++i)
        lines.push_back(ConLines(0)[i] ? ConLines(0)[i] : "");
    return lines;
}

class MaterialListing : public MaterialTest {
protected:
    void SetUp() override
    {
        MaterialTest::SetUp();
        ConStartup();
    }
    void TearDown() override
    {
        ConShutdown();
        MaterialTest::TearDown();
    }
};

TEST_F(MaterialListing, ListsEachMaterialWithItsTexturesThenTheCounts)
{
    struct Case {
        const char* material;
        const char* detect;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", "", {"----Materials associatons----\n", "Materials: 0\n", "Textures: 0\n"}},
        {"<wood>\n</wood>\n<metal>\n</metal>\n",
         "<MATERIALS>\n  assign crate wood;\n  assign plank wood;\n  assign pipe metal;\n</MATERIALS>\n",
         {"----Materials associatons----\n", "wood\n", "     -crate\n", "     -plank\n", "metal\n", "     -pipe\n",
          "Materials: 2\n", "Textures: 3\n"}},
    };
    for (const Case& c : cases) {
        material_test::LoadScripts(c.material, c.detect);
        ConClear(0);
        rxprintmaterials.SetFromText("");
        EXPECT_EQ(NewestLines(int(c.lines.size())), c.lines);
    }
}

class RenderServices : public render_test::RenderCore {};

TEST_F(RenderServices, LandTextureLookupKeepsToTheTable)
{
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(Device()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    g_mapRender.landTextures[31].layer = texture;
    EXPECT_EQ(RenderGetLandTexture(31), texture);
    EXPECT_EQ(RenderGetLandTexture(0), nullptr);
    // Indices come from map data: anything outside 0..31 finds nothing.
    for (s32_t index : {32, -1, 1 << 20})
        EXPECT_EQ(RenderGetLandTexture(index), nullptr) << index;
    g_mapRender.landTextures[31].layer = nullptr;
    texture->Release();

    const float* distances = RenderGetLodDistances();
    EXPECT_EQ(distances[0], 0.0f);
    EXPECT_EQ(distances[1], 120.0f);
    EXPECT_EQ(distances[2], 250.0f);
}

TEST_F(RenderServices, FullViewportCoversTheScreenOrTheTargetWithTheDepthRangeAsked)
{
    struct Case {
        bool intoTexture, zeroDepth;
        DWORD width, height;
        float maxZ;
    };
    const Case cases[] = {
        {false, false, kWidth, kHeight, 1.0f}, {false, true, kWidth, kHeight, 0.0f}, {true, false, 32, 16, 1.0f}};
    for (const Case& c : cases) {
        g_camera.screenAspectOverride = c.intoTexture ? 1 : 0;
        CameraSetViewSize(32, 16);
        RenderSetFullViewport(c.zeroDepth);
        D3DVIEWPORT8 device = {};
        Device()->GetViewport(&device);
        for (const D3DVIEWPORT8& viewport : {device, g_camera.viewport}) {
            EXPECT_EQ(viewport.X, 0u);
            EXPECT_EQ(viewport.Width, c.width);
            EXPECT_EQ(viewport.Height, c.height);
            EXPECT_EQ(viewport.MinZ, 0.0f);
            EXPECT_EQ(viewport.MaxZ, c.maxZ);
        }
    }
    g_camera.screenAspectOverride = 0;
    CameraSetViewSize(kWidth, kHeight);
}

// An object that counts the shadow invalidations it is asked for.
class ShadowCounter : public DynamicObject {
public:
    void InvalidateShadows() override { ++invalidations; }
    int invalidations = 0;
};

TEST(ShadowsUpdate, EveryRegisteredObjectOnlyWhileTheSwitchIsOn)
{
    scene_test::SavedVars saved{&rbupdateshadows};
    ShadowCounter first, second;
    ASSERT_GE(DynObjectAdd(&first), 0);
    ASSERT_GE(DynObjectAdd(&second), 0);
    rbupdateshadows.SetBool(false);
    ShadowsUpdateDynamic();
    EXPECT_EQ(first.invalidations + second.invalidations, 0);
    rbupdateshadows.SetBool(true);
    ShadowsUpdateDynamic();
    EXPECT_EQ(first.invalidations, 1);
    EXPECT_EQ(second.invalidations, 1);
    DynObjectRemove(&first);
    DynObjectRemove(&second);
}

}  // namespace
