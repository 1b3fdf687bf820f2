// Damaged material scripts: malformed lines and randomly mutated files must load without crashing
// or reading past a line's words, and whatever loads must be safe to look up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/random.h"
#include "map/materials/material.h"
#include "map/materials/material_table.h"
#include "tests/map/materials/material_fixture.h"

using material_test::LoadScripts;

namespace {

// Reads every text and count of the table, so that the sanitizer sees any overrun.
size_t TouchTable()
{
    size_t sum = 0;
    for (u32_t m = 0; m < MaterialCount(); ++m) {
        const Material& material = *MaterialAt(m);
        sum += std::string(material.name).size() + std::string(material.hit.effect).size() +
               std::string(material.explosion.firstName).size() + std::string(material.grenade.effect).size();
        for (const auto& name : material.crash)
            sum += std::string(name).size();
        for (u32_t t = 0; t < material.assignedTextureCount; ++t) {
            sum += material.assignedTextures[t].Length();
            EXPECT_EQ(MaterialFindByTexture(material.assignedTextures[t].Text()) != nullptr, true);
            MaterialRefineByRegion(const_cast<Material*>(&material), material.assignedTextures[t].Text(), 0.5f, 0.5f);
        }
        EXPECT_LE(material.regionCount, MATERIAL_MAX_REGIONS);
        for (u32_t r = 0; r < material.regionCount; ++r) {
            EXPECT_NE(material.regions[r].sub, nullptr);
            EXPECT_LT(material.regions[r].textureIndex, static_cast<s32_t>(material.assignedTextureCount));
        }
        EXPECT_EQ(MaterialFind(material.name) != nullptr, true);
    }
    return sum;
}

const char* const kMaterialScript =
    "<wood>\n"
    "  property resistance 5;\n"
    "  property density 0.7;\n"
    "  property color 1;\n"
    "  <HIT>\n"
    "    sound 100 thud;\n"
    "    decal hole;\n"
    "    effect chips;\n"
    "    property decal_size 0.5 0.25;\n"
    "    property decal_rand_rot 0;\n"
    "  </HIT>\n"
    "  <EXPLOSION>\n"
    "    boom first;\n"
    "    decal scorch;\n"
    "    smoke second;\n"
    "    property decal_stretch 2;\n"
    "  </EXPLOSION>\n"
    "  <GRENADE>\n"
    "    sound 80 nade;\n"
    "    decal splinter;\n"
    "    property no_particle 1;\n"
    "  </GRENADE>\n"
    "  <CRASH>\n    a c1;\n    b c2;\n    c c3;\n  </CRASH>\n"
    "  <STEP>\n    a 1 s1;\n    b 2 s2;\n    c 3 s3;\n    d 4 s4;\n  </STEP>\n"
    "  <FRICTION>\n    a f1;\n    b f2;\n    c f3;\n  </FRICTION>\n"
    "</wood>\n"
    "<metal>\n  property vel_resist 0.1;\n</metal>\n";

const char* const kDetectScript =
    "<MATERIALS>\n"
    "  assign crate wood;\n"
    "  property sub 0.25 0.25 0.75 0.75 metal;\n"
    "  property reflect sky1 sky2;\n"
    "  property alpha mask;\n"
    "  assign plate metal;\n"
    "  property sub 0 0 1 1 wood;\n"
    "</MATERIALS>\n";

using MaterialRobustness = MaterialTest;

TEST_F(MaterialRobustness, MalformedLinesReadOnlyTheWordsThereAre)
{
    struct Case {
        const char* what;
        std::string material;
        std::string detect;
    };
    const std::string longName(300, 'n');
    const Case cases[] = {
        {"empty lines", "<a>\n;\n;;\n<HIT>\n;\n;\n;\n;\n</HIT>\n</a>\n", "<MATERIALS>\n;\n;\n</MATERIALS>\n"},
        {"keywords alone", "<a>\nproperty;\n<HIT>\nsound;\ndecal;\neffect;\nproperty;\n</HIT>\n</a>\n",
         "<MATERIALS>\nassign;\nproperty;\nproperty sub;\n</MATERIALS>\n"},
        {"a sub line with too few words", "<a>\n</a>\n",
         "<MATERIALS>\nassign t a;\nproperty sub 0.1 0.2;\n</MATERIALS>\n"},
        {"a sub before any assign", "<a>\n</a>\n", "<MATERIALS>\nx y a;\nproperty sub 0 0 1 1 a;\n</MATERIALS>\n"},
        {"names as long as the parser allows",
         "<" + longName + ">\n<HIT>\nsound 1 " + longName + ";\ndecal " + longName + ";\neffect " + longName +
             ";\n</HIT>\n</" + longName + ">\n",
         "<MATERIALS>\nassign " + longName + " " + longName + ";\nproperty sub 0 0 1 1 " + longName +
             ";\n</MATERIALS>\n"},
        {"options with no value", "<a>\n<HIT>\n1;\n2;\n3;\nproperty decal_size;\nproperty no_decal;\n</HIT>\n</a>\n",
         ""},
        {"numbers that are none",
         "<a>\nproperty resistance 1e99;\nproperty density nan;\nproperty vel_resist -inf;\n</a>\n", ""},
        {"sections nested deeper", "<a>\n<HIT>\n<HIT>\nsound 1 x;\n</HIT>\n</HIT>\n<b>\n<c>\n</c>\n</b>\n</a>\n", ""},
        {"unclosed sections", "<a>\n<HIT>\nsound 1 x;\n", "<MATERIALS>\nassign t a;\nproperty sub 0 0 1 1 a"},
        {"no MATERIALS section", kMaterialScript, "assign crate wood;\nproperty sub 0 0 1 1 metal;\n"},
        {"the same material twice", "<a>\n</a>\n<A>\n</A>\n", "<MATERIALS>\nassign t a;\nassign t A;\n</MATERIALS>\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadScripts(c.material, c.detect);
        MaterialsLoadTextureProperties();
        TouchTable();
    }
    // A name longer than the record holds is cut to 127 characters.
    LoadScripts("<" + longName + ">\n</" + longName + ">\n", "");
    ASSERT_EQ(MaterialCount(), 1u);
    EXPECT_EQ(std::string(MaterialAt(0)->name), std::string(127, 'n'));
}

TEST_F(MaterialRobustness, MutatedScriptsLoadWithinTheirWords)
{
    const std::string goodMaterial = kMaterialScript;
    const std::string goodDetect = kDetectScript;
    LoadScripts(goodMaterial, goodDetect);
    ASSERT_EQ(MaterialCount(), 2u);
    ASSERT_EQ(MaterialAt(0)->regionCount, 1u);

    // Bytes that change the structure most: separators, section marks, digits and letters.
    const char kBytes[] = {';', '<', '>', '/', ' ', '\n', '\0', '0', '9', '.', '-', 'a', 'Z', '\xff'};
    EngineSRand(20240912u);
    for (int round = 0; round < 600; ++round) {
        std::string material = goodMaterial;
        std::string detect = goodDetect;
        std::string& target = round % 2 ? detect : material;
        const int edits = 1 + EngineRand() % 8;
        for (int i = 0; i < edits; ++i) {
            const size_t at = static_cast<size_t>(EngineRand()) % target.size();
            switch (EngineRand() % 4) {
                case 0:
                    target[at] = kBytes[EngineRand() % sizeof kBytes];
                    break;
                case 1:
                    target.erase(at, 1 + static_cast<size_t>(EngineRand() % 12));
                    break;
                case 2:
                    target.insert(at, target.substr(static_cast<size_t>(EngineRand()) % target.size(), 20));
                    break;
                default:
                    target.insert(at, 1, kBytes[EngineRand() % sizeof kBytes]);
                    break;
            }
            if (target.empty())
                target = ";";
        }
        if (round % 9 == 0)
            target.resize(static_cast<size_t>(EngineRand()) % target.size());
        LoadScripts(material, detect);
        MaterialsLoadTextureProperties();
        TouchTable();
    }
}

}  // namespace
