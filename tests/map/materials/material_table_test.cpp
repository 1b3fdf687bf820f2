// The material table on small script fixtures: defaults and properties, the impact sections, the
// textures and regions that "detect" assigns, and the lookups.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "map/materials/material.h"
#include "map/materials/material_table.h"
#include "tests/map/materials/material_fixture.h"

using material_test::LoadScripts;

namespace {

TEST_F(MaterialTest, PropertiesOverrideTheDefaultsAndWordsThatAreNoNumbersGiveZero)
{
    LoadScripts(
        "<plain>\n</plain>\n"
        "<soft>\n"
        "  property resistance hard;\n"
        "  property density 0.75;\n"
        "  property vel_resist 12x;\n"
        "  property color 2;\n"
        "  property unknown 9;\n"
        "  resistance 7;\n"
        "</soft>\n"
        "<short>\n"
        "  property resistance;\n"
        "  property density;\n"
        "</short>\n",
        "");
    ASSERT_EQ(MaterialCount(), 3u);
    struct Case {
        const char* name;
        s32_t resistance;
        float density, velocityResistance;
        u8_t color;
    };
    const Case cases[] = {
        {"plain", -1, 0.5f, 0.3f, 0},
        {"SOFT", 0, 0.75f, 12.0f, 1},
        {"short", 0, 0.0f, 0.3f, 0},  // a missing value word reads as no number
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Material* material = MaterialFind(c.name);
        ASSERT_NE(material, nullptr);
        EXPECT_EQ(material->resistance, c.resistance);
        EXPECT_EQ(material->density, c.density);
        EXPECT_EQ(material->velocityResistance, c.velocityResistance);
        EXPECT_EQ(material->color, c.color);
        // No impact sections: nothing set.
        EXPECT_EQ(material->hit.decalRandRot, 0);
        EXPECT_EQ(material->hit.decalTextureCount, 0);
    }
    EXPECT_EQ(MaterialAt(0), MaterialFind("PLAIN"));
    EXPECT_EQ(MaterialFind("plai"), nullptr);
    EXPECT_EQ(MaterialAt(3), nullptr);

    MaterialsFree();
    EXPECT_EQ(MaterialCount(), 0u);
    EXPECT_EQ(MaterialFind("plain"), nullptr);
}

TEST_F(MaterialTest, ImpactSectionsReadPositionalLinesThenOptions)
{
    LoadScripts(
        "<wood>\n"
        "  <HIT>\n"
        "    sound 120 wood_hit;\n"
        "    decal hole;\n"
        "    effect chips;\n"
        "    property decal_size 0.5 0.25;\n"
        "    property no_bullet_ric 1;\n"
        "    property decal_stretch 1.5;\n"
        "    no_decal 1;\n"
        "  </HIT>\n"
        "  <EXPLOSION>\n"
        "    first boom;\n"
        "    decal scorch;\n"
        "    second smoke;\n"
        "    property decal_stretch 2.5;\n"
        "    property decal_size 9 9;\n"
        "    property decal_rand_rot 0;\n"
        "    property no_bullet_ric 0;\n"
        "    property no_decal 1;\n"
        "  </EXPLOSION>\n"
        "  <GRENADE>\n"
        "    sound 80 wood_nade;\n"
        "    decal splinters;\n"
        "    property no_particle 1;\n"
        "    property decal_stretch 3;\n"
        "  </GRENADE>\n"
        "  <CRASH>\n"
        "    a crash1;\n"
        "    b crash2;\n"
        "  </CRASH>\n"
        "  <STEP>\n"
        "    walk 300 step_walk;\n"
        "    run 200;\n"
        "  </STEP>\n"
        "  <FRICTION>\n"
        "    x rub;\n"
        "  </FRICTION>\n"
        "  <OTHER>\n"
        "    property resistance 4;\n"
        "  </OTHER>\n"
        "</wood>\n",
        "");
    const Material* wood = MaterialFind("wood");
    ASSERT_NE(wood, nullptr);
    EXPECT_EQ(wood->resistance, -1);
    EXPECT_EQ(wood->hit.soundInterval, 120);
    EXPECT_STREQ(wood->hit.effect, "chips");
    EXPECT_EQ(wood->hit.decalSize[0], 0.5f);
    EXPECT_EQ(wood->hit.decalSize[1], 0.25f);
    EXPECT_EQ(wood->hit.noRicochet, 1);
    EXPECT_EQ(wood->hit.decalRandRot, 1);  // the section's default
    EXPECT_EQ(wood->hit.noDecal, 0);       // not a "property" line
    EXPECT_EQ(wood->hit.decalStretch, 1.5f);
    // The explosion's hit-only options change nothing of the hit settings.
    EXPECT_STREQ(wood->explosion.firstName, "boom");
    EXPECT_STREQ(wood->explosion.secondName, "smoke");
    EXPECT_EQ(wood->explosion.decalStretch, 2.5f);
    // The grenade's decal line is also its effect name.
    EXPECT_EQ(wood->grenade.soundInterval, 80);
    EXPECT_STREQ(wood->grenade.effect, "splinters");
    EXPECT_EQ(wood->grenade.noParticle, 1);
    EXPECT_EQ(wood->grenade.noDecal, 0);
    EXPECT_EQ(wood->grenade.decalStretch, 3.0f);
    EXPECT_STREQ(wood->crash[1], "crash2");
    EXPECT_STREQ(wood->crash[2], "");
    EXPECT_EQ(wood->step[0].interval, 300);
    EXPECT_EQ(wood->step[1].interval, 200);
    EXPECT_EQ(wood->step[2].interval, 0);
    // The footstep player reads STEP line k as its surface set k, held to the line's interval.
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(wood->surface.sets[k], &wood->step[k].sounds);
    EXPECT_EQ(wood->step[0].sounds.extraParam, 300);
    EXPECT_EQ(wood->step[1].sounds.extraParam, 200);
    EXPECT_STREQ(wood->friction[0], "rub");
}

TEST_F(MaterialTest, ImpactSectionsWithMissingLinesKeepTheirDefaults)
{
    LoadScripts(
        "<stone>\n"
        "  <HIT>\n"
        "    sound;\n"
        "  </HIT>\n"
        "  <EXPLOSION>\n"
        "  </EXPLOSION>\n"
        "  <GRENADE>\n"
        "    sound 5;\n"
        "  </GRENADE>\n"
        "</stone>\n",
        "");
    const Material* stone = MaterialFind("stone");
    ASSERT_NE(stone, nullptr);
    EXPECT_EQ(stone->hit.soundInterval, 0);
    EXPECT_EQ(stone->hit.decalRandRot, 1);
    EXPECT_EQ(stone->hit.decalStretch, 1.0f);
    EXPECT_STREQ(stone->hit.effect, "");
    EXPECT_STREQ(stone->explosion.firstName, "");
    EXPECT_EQ(stone->explosion.decalStretch, 1.0f);
    EXPECT_EQ(stone->grenade.soundInterval, 5);
    EXPECT_STREQ(stone->grenade.effect, "");
    EXPECT_EQ(stone->grenade.sounds.Count(0), 0);
}

const char* const kTwoMaterials = "<wood>\n</wood>\n<metal>\n</metal>\n<glass>\n</glass>\n";

TEST_F(MaterialTest, AssignedTexturesFindTheFirstMaterialThatNamesThem)
{
    LoadScripts(kTwoMaterials,
                "<MATERIALS>\n"
                "  assign crate metal;\n"
                "  assign crate wood;\n"
                "  assign plank wood;\n"
                "  assign window glass;\n"
                "  detect door wood;\n"
                "</MATERIALS>\n");
    Material* wood = MaterialFind("wood");
    Material* metal = MaterialFind("metal");
    ASSERT_NE(wood, nullptr);
    EXPECT_EQ(MaterialFindByTexture("CRATE"), wood);  // table order, not line order
    EXPECT_EQ(MaterialFindByTexture("plank"), wood);
    EXPECT_EQ(MaterialFindByTexture("window"), MaterialFind("glass"));
    EXPECT_EQ(MaterialFindByTexture("door"), nullptr);  // named, but not assigned
    EXPECT_EQ(MaterialFindByTexture("plan"), nullptr);
    EXPECT_EQ(wood->assignedTextureCount, 2u);
    EXPECT_EQ(metal->assignedTextureCount, 1u);
}

TEST_F(MaterialTest, SubRectanglesRefineTheMaterialOnlyStrictlyInside)
{
    // Glass is spelled "GLASS" throughout: the sub-material's name is compared with its case.
    LoadScripts(kTwoMaterials,
                "<MATERIALS>\n"
                "  property sub 0 0 1 1 metal;\n"
                "  detect crate wood;\n"
                "  property sub 0 0 1 1 metal;\n"
                "  assign crate wood;\n"
                "  property sub 0.25 0.25 0.75 0.5 metal;\n"
                "  property reflect sky1 sky2;\n"
                "  property sub 0.5 0.5 1 1 nothing;\n"
                "  property sub 0 0.75 0.5 1 GLASS;\n"
                "  assign window wood;\n"
                "  assign plank GLASS;\n"
                "  property sub 0 0 1 1 wood;\n"
                "  assign door wood;\n"
                "  assign planks wood;\n"
                "  property sub 0 0 1 1 metal;\n"
                "</MATERIALS>\n");
    Material* wood = MaterialFind("wood");
    Material* metal = MaterialFind("metal");
    Material* glass = MaterialFind("glass");
    ASSERT_NE(wood, nullptr);
    struct Case {
        const char* texture;
        float u, v;
        Material* expected;
    };
    const Case cases[] = {
        {"crate", 0.5f, 0.375f, metal}, {"CRATE", 0.3f, 0.3f, metal},    {"crate", 0.25f, 0.375f, wood},  // on an edge
        {"crate", 0.5f, 0.5f, wood},     // on the edges of two regions
        {"crate", 0.6f, 0.6f, wood},     // a region naming no material gives its owner
        {"crate", 0.2f, 0.9f, wood},     // "GLASS" is no material's name
        {"crate", 0.9f, 0.1f, wood},     // the region before the first assignment is no texture's
        {"window", 0.5f, 0.375f, wood},  // another texture of the material
        {"planks", 0.5f, 0.5f, metal},  {"nothing", 0.5f, 0.375f, wood},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.texture) + " " + std::to_string(c.u) + " " + std::to_string(c.v));
        EXPECT_EQ(MaterialRefineByRegion(wood, c.texture, c.u, c.v), c.expected);
    }
    EXPECT_EQ(MaterialRefineByRegion(nullptr, "crate", 0.5f, 0.375f), nullptr);
    EXPECT_EQ(MaterialRefineByRegion(glass, "plank", 0.5f, 0.5f), wood);
    ASSERT_EQ(wood->regionCount, 5u);
    EXPECT_EQ(wood->regions[0].textureIndex, -1);
    EXPECT_EQ(wood->regions[1].textureIndex, 0);
    EXPECT_EQ(wood->regions[1].owner, wood);
    EXPECT_EQ(wood->regions[2].sub, wood);
    EXPECT_EQ(wood->regions[4].textureIndex, 3);
}

TEST_F(MaterialTest, RegionsPastTheTablesRoomAreLeftOut)
{
    std::string detect = "<MATERIALS>\n  assign crate wood;\n";
    for (u32_t i = 0; i < MATERIAL_MAX_REGIONS + 10; ++i)
        detect += "  property sub " + std::to_string(i) + " 0 " + std::to_string(i + 1) + " 1 metal;\n";
    detect += "</MATERIALS>\n";
    LoadScripts(kTwoMaterials, detect);
    Material* wood = MaterialFind("wood");
    ASSERT_NE(wood, nullptr);
    EXPECT_EQ(wood->regionCount, MATERIAL_MAX_REGIONS);
    EXPECT_EQ(MaterialRefineByRegion(wood, "crate", 1023.5f, 0.5f), MaterialFind("metal"));
    EXPECT_EQ(MaterialRefineByRegion(wood, "crate", 1024.5f, 0.5f), wood);
}

TEST_F(MaterialTest, AMissingScriptOrOneWithoutSectionsGivesAnEmptyTable)
{
    LoadScripts("property resistance 1;\n", "");
    EXPECT_EQ(MaterialCount(), 0u);
    DestroyScriptCache();
    CreateScriptCache();
    std::filesystem::remove("script/material.scr");
    MaterialsLoad();
    EXPECT_EQ(MaterialCount(), 0u);
    MaterialsLoadTextureProperties();
}

}  // namespace
