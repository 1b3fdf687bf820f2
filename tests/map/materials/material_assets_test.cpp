// What materials load besides numbers: the sound sets on the null sound driver, the decal textures
// on the offscreen device, the textures' own materials and properties, and decal textures that
// stay live when the textures are recreated on a new device.
#include <gtest/gtest.h>

#include <string>

#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "map/terrain/map_grid.h"
#include "map/materials/material.h"
#include "map/materials/material_table.h"
#include "render/textures/texture_manager.h"
#include "support/wave_bytes.h"
#include "tests/map/materials/material_fixture.h"
#include "tests/render/texture_test_support.h"

using material_test::LoadScripts;

namespace {

class MaterialSounds : public MaterialTest {
protected:
    void TearDown() override
    {
        MaterialsFree();
        SoundShutdown();
        MaterialTest::TearDown();
    }
};

TEST_F(MaterialSounds, SetsTakeTheSoundThenItsNumberedVariantsUpToTheFirstGap)
{
    const std::string wave = ShortWaveBytes();
    for (const char* name : {"thud", "thud_0", "thud_1", "thud_3", "step_0", "step_1"})
        ASSERT_TRUE(WriteFileBytes(std::string("sound/material/") + name + ".wav", wave));
    ASSERT_TRUE(SoundInit(nullptr));
    LoadScripts(
        "<wood>\n"
        "  <HIT>\n"
        "    sound 100 thud;\n"
        "  </HIT>\n"
        "  <STEP>\n"
        "    walk 300 step;\n"
        "    run 200 none;\n"
        "  </STEP>\n"
        "</wood>\n",
        "");
    const Material* wood = MaterialFind("wood");
    ASSERT_NE(wood, nullptr);
    EXPECT_EQ(wood->hit.sounds.Count(0), 3);  // "thud", "thud_0", "thud_1"
    EXPECT_EQ(wood->hit.sounds.Count(1), 0);
    EXPECT_EQ(wood->step[0].sounds.Count(0), 2);  // no plain "step": the numbered ones still count
    EXPECT_EQ(wood->step[1].sounds.Count(0), 0);
}

class MaterialTextures : public texture_test::TextureTest {
protected:
    void SetUp() override
    {
        texture_test::TextureTest::SetUp();
        CreateScriptCache();
    }
    void TearDown() override
    {
        MaterialsFree();
        TexturesReleaseAll();
        DestroyScriptCache();
        texture_test::TextureTest::TearDown();
    }
    static void WriteDecals(const std::string& base, const std::vector<std::string>& suffixes, DWORD argb)
    {
        for (const std::string& suffix : suffixes)
            ASSERT_TRUE(texture_test::WriteTga("component/extras/" + base + suffix + ".tga", 4, 4, argb));
    }
};

const char* const kDecalMaterial =
    "<wood>\n"
    "  <HIT>\n"
    "    sound 100;\n"
    "    decal hole;\n"
    "  </HIT>\n"
    "  <EXPLOSION>\n"
    "    boom;\n"
    "    decal scorch;\n"
    "  </EXPLOSION>\n"
    "  <GRENADE>\n"
    "    sound 1;\n"
    "    decal splinter;\n"
    "  </GRENADE>\n"
    "</wood>\n";

TEST_F(MaterialTextures, DecalTexturesTakeTheNameThenItsNumberedVariantsUpToFive)
{
    WriteDecals("hole", {"", "_1", "_2", "_3", "_4", "_5", "_6"}, 0xFFFF0000u);
    WriteDecals("scorch", {"_0", "_1", "_3"}, 0xFF00FF00u);
    WriteDecals("splinter", {""}, 0xFF0000FFu);
    LoadScripts(kDecalMaterial, "");
    const Material* wood = MaterialFind("wood");
    ASSERT_NE(wood, nullptr);
    ASSERT_EQ(wood->hit.decalTextureCount, 5);
    const char* hits[] = {"", "_1", "_2", "_3", "_4"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(wood->hit.decalTextures[i], TextureFind((std::string("component\\extras\\hole") + hits[i]).c_str()))
            << i;
    EXPECT_EQ(TextureFind("component\\extras\\hole_5"), nullptr);
    ASSERT_EQ(wood->explosion.decalTextureCount, 2);
    EXPECT_EQ(wood->explosion.decalTextures[1], TextureFind("component\\extras\\scorch_1"));
    EXPECT_EQ(wood->grenade.decalTextureCount, 1);
    EXPECT_STREQ(wood->grenade.effect, "splinter");
}

TEST_F(MaterialTextures, DecalTexturesStayLiveWhenTexturesAreRecreated)
{
    WriteDecals("hole", {"", "_1"}, 0xFFFF0000u);
    LoadScripts(kDecalMaterial, "");
    const Material* wood = MaterialFind("wood");
    ASSERT_NE(wood, nullptr);
    ASSERT_EQ(wood->hit.decalTextureCount, 2);
    IDirect3DTexture8* held[2] = {wood->hit.decalTextures[0], wood->hit.decalTextures[1]};

    // The files change and the display mode with them (a new device): the material keeps its
    // handles, which now hold the textures reloaded on the new device.
    WriteDecals("hole", {"", "_1"}, 0xFF0000FFu);
    ASSERT_EQ(RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    TexturesRecreate();
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        IDirect3DTexture8* texture = wood->hit.decalTextures[i];
        EXPECT_EQ(texture, held[i]);
        EXPECT_GE(TextureFindSlot(texture), 0);
        IDirect3DDevice8* device = nullptr;
        ASSERT_EQ(texture->GetDevice(&device), D3D_OK);
        EXPECT_EQ(device, Device());
        device->Release();
        EXPECT_EQ(texture_test::ReadTexture(Device(), texture).At(1, 1), 0xFF0000FFu);
    }
}

TEST_F(MaterialTextures, TexturesKnowTheirMaterialAndTakeTheirPropertiesFromDetect)
{
    for (const char* name : {"crate", "sky1", "sky2"})
        ASSERT_TRUE(texture_test::WriteTga(std::string("component/_common/") + name + ".tga", 4, 4, 0xFF808080u));
    ASSERT_TRUE(texture_test::WriteTga("component/_common/crate_mask.tga", 4, 4, 0x00000000u));
    LoadScripts("<wood>\n</wood>\n<metal>\n</metal>\n",
                "<MATERIALS>\n"
                "  assign crate wood;\n"
                "  property sub 0 0 0.5 0.5 metal;\n"
                "  property reflect sky1 sky2;\n"
                "  property alpha crate_mask;\n"
                "  detect crate metal;\n"
                "  property reflect sky2 sky1;\n"
                "</MATERIALS>\n");
    IDirect3DTexture8* crate = TextureFindOrLoad("crate");
    ASSERT_NE(crate, nullptr);
    EXPECT_EQ(TextureGetMaterial(crate), MaterialFind("wood"));
    EXPECT_EQ(MaterialAtTexturePoint(crate, 0.25f, 0.25f), MaterialFind("metal"));
    EXPECT_EQ(MaterialAtTexturePoint(crate, 0.75f, 0.25f), MaterialFind("wood"));
    EXPECT_EQ(MaterialAtTexturePoint(nullptr, 0.25f, 0.25f), nullptr);

    ASSERT_NE(TextureGetAlphaMap(crate), nullptr);
    EXPECT_EQ(TextureGetAlphaMap(crate)->data[0], 0xFF);  // its own alpha
    MaterialsLoadTextureProperties();
    // Only the lines after an "assign" apply.
    EXPECT_EQ(TextureGetReflectMap(crate), TextureFind("component\\_common\\sky1"));
    EXPECT_EQ(TextureGetSecondReflectMap(crate), TextureFind("component\\_common\\sky2"));
    ASSERT_NE(TextureGetAlphaMap(crate), nullptr);
    EXPECT_EQ(TextureGetAlphaMap(crate)->data[0], 0x00);
}

// The material table is made anew for every mission while loaded textures stay: a texture's material
// is the one of the table in force, never a pointer into the table freed with the last mission.
TEST_F(MaterialTextures, TexturesTakeTheirMaterialFromTheTableInForce)
{
    ASSERT_TRUE(texture_test::WriteTga("component/_common/crate.tga", 4, 4, 0xFF808080u));
    const char* const kAssign = "<MATERIALS>\n  assign crate wood;\n</MATERIALS>\n";
    LoadScripts("<wood>\n</wood>\n", kAssign);
    IDirect3DTexture8* crate = TextureFindOrLoad("crate");
    ASSERT_NE(crate, nullptr);
    ASSERT_EQ(TextureGetMaterial(crate), MaterialFind("wood"));
    struct Case {
        const char* what;
        const char* materials;
        const char* expected;  // the material the crate has afterwards, or null
    };
    const Case cases[] = {
        {"the next mission's table, with more materials before", "<metal>\n</metal>\n<wood>\n</wood>\n", "wood"},
        {"a table without the crate's material", "<metal>\n</metal>\n", nullptr},
        {"the crate's material again", "<wood>\n</wood>\n", "wood"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MaterialsFree();
        EXPECT_EQ(TextureGetMaterial(crate), nullptr);
        LoadScripts(c.materials, kAssign);
        EXPECT_EQ(TextureGetMaterial(crate), c.expected ? MaterialFind(c.expected) : nullptr);
    }
}

}  // namespace
