// Emitter definitions, effect templates and particle sets as the map load reads them: what loads,
// what fails, the shared definition registry, link lines, and the dump of a definition.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "plugins/ptk/effect_sets.h"
#include "plugins/ptk/emitter_def.h"
#include "tests/ptk/recording_host.h"

using namespace ptk_test;

namespace {

class PtkFiles : public PtkFixture {};

TEST_F(PtkFiles, WhatFollowsTheSettingsDecidesWhetherADefinitionLoads)
{
    struct Case {
        const char* tail;
        bool loads;
    };
    const Case cases[] = {
        {"Textures { smoke 0 }", true},
        {"Textures { }", true},
        {"Objects { \"bolt\" } Textures { smoke 0 }", true},
        {"Objects { bolt } Textures { smoke 0 }", true},
        {"Objects { bolt }", false},  // the textures block ends a definition
        {"Texture { smoke 0 }", false},
        {"Meshes { bolt } Textures { smoke 0 }", false},
        {"Textures { smoke }", false},
        {"Textures { smoke 0.0 }", false},
    };
    LoadMap();
    for (const Case& c : cases) {
        const std::string text = std::string("Layer l { emiter_def e { } { } ") + c.tail + " }";
        std::unique_ptr<ptk::EmitterDef> def(ptk::ReadEmitterDefText(text.c_str(), "t"));
        EXPECT_EQ(def != nullptr, c.loads) << c.tail;
    }
}

TEST_F(PtkFiles, SettingsAcceptTheirKeysOnly)
{
    struct Case {
        const char* settings;
        bool loads;
    };
    const Case cases[] = {
        {"Srcblend = 9 Destblend = 8 EmtType = 6 PtkType = 4 TexScale = 4", true},
        {"RVel = 1.5 RLife = 20.0", true},
        {"RVel = 1", false},    // a float
        {"Loop = 1.0", false},  // an integer
        {"Lifetime = 10", false},
        {"srcblend = 1", false},
    };
    LoadMap();
    for (const Case& c : cases) {
        const std::string text = std::string("Layer l { emiter_def e { } { ") + c.settings + " } Textures { } }";
        std::unique_ptr<ptk::EmitterDef> def(ptk::ReadEmitterDefText(text.c_str(), "t"));
        EXPECT_EQ(def != nullptr, c.loads) << c.settings;
    }
}

TEST_F(PtkFiles, ADefinitionDumpsInItsWrittenForm)
{
    LoadMap();
    const char* text =
        "Layer l\n{\n  emiter_def spark\n  {\n"
        "    Var { Lifetime = 500.0 Dir = (0.0, 1.0, 0.0) RGB = (1.0,0.5,0.25) Texture = 2 }\n"
        "    Func { A = Linear1D { 0 : 1.0 5 : 0.0 } Texture = Step { 0 : 1 3 : 2 } }\n"
        "  }\n"
        "  { Srcblend = 4 Destblend = 2 PtkType = 7 RVel = 1.5 Loop = 1 }\n"
        "  Objects { \"bolt\" }\n"
        "  Textures { spark_a 0 spark_b 1 }\n"
        "}\n";
    std::unique_ptr<ptk::EmitterDef> def(ptk::ReadEmitterDefText(text, "t"));
    ASSERT_TRUE(def);
    std::string dump;
    def->Write(dump);
    const char* golden =
        "emiter_def spark\n{\n\tVar\n\t{\n"
        "\t\tTexture = 2\n\t\tLifetime = 500.000000\n\t\tPtkLife = 0.000000\n\t\tFreq = 1.000000\n"
        "\t\tGrav = 0.000000\n\t\tQuant = 2.000000\n\t\tVel = 0.000000\n\t\tRot = 0.000000\n"
        "\t\tDir = (0.000000,1.000000,0.000000)\n\t\tScale = 1.000000\n\t\tMinSiz = 1.000000\n"
        "\t\tMaxSiz = 1.000000\n\t\tRGB = (1.000000,0.500000,0.250000)\n\t\tA = 1.000000\n"
        "\t\tRadius = 0.000000\n\t\tWidth = 0.000000\n\t\tHeight = 0.000000\n\t\tLength = 0.000000\n"
        "\t}\n\tFunc\n\t{\n"
        "\t\tA = Linear1D\n\t\t{\n\t\t\t0 : 1.000000\n\t\t\t5 : 0.000000\n\t\t}\n"
        "\t\tTexture = Step\n\t\t{\n\t\t\t0 : 1\n\t\t\t3 : 2\n\t\t}\n"
        "\t}\n}\n{\n"
        "\tSrcblend = 4\n\tDestblend = 2\n\tAlphatest = 0\n\tColorbyenv = 0\n\tEmtType = 0\n\tPtkType = 7\n"
        "\tTexScale = 1\n\tLoop = 1\n\tTransform = 0\n\tColor = 1\n\tDir = 1\n\tScale = 1\n\tVelocity = 1\n"
        "\tRotation = 1\n\tAlpha = 1\n\tRVel = 1.500000\n\tRLife = 0.000000\n}\n"
        "Objects\n{\n\t\"bolt\"\n}\n"
        "Textures\n{\n\tspark_a   10\n\tspark_b   11\n}\n";
    EXPECT_EQ(dump, golden);
    EXPECT_EQ(Host().meshes, std::vector<std::string>{"bolt"});
    EXPECT_EQ(Host().textures, (std::vector<std::string>{"spark_a", "spark_b"}));
}

TEST_F(PtkFiles, TwoTemplatesShareOneDefinition)
{
    Host().files[GfxName("e", ".emt")] = EmitterText("", "");
    Host().files[GfxName("t1", ".pst")] = SystemText("t1", "e");
    Host().files[GfxName("t2", ".pst")] = SystemText("t2", "e", "100 1.0 0.0 0.0");
    Host().files[GfxName("both", ".set")] = "name both { link t1 0.0 0.0 0.0 0 link t2 0.0 0.0 0.0 0 link t1 a 5 }";
    LoadMap();
    ASSERT_EQ(ptk::g_emitterDefs->Count(), 1);
    ASSERT_EQ(ptk::g_systems->Count(), 2);
    EXPECT_EQ(ptk::g_systems->At(0)->entries.At(0)->def, ptk::g_systems->At(1)->entries.At(0)->def);
    EXPECT_EQ(ptk::g_systems->At(1)->entries.At(0)->delay, 100);
    const ptk::ParticleSet* set = ptk::FindParticleSet("both");
    ASSERT_TRUE(set);
    ASSERT_EQ(set->links.Count(), 3);
    EXPECT_EQ(set->links.At(0)->system, set->links.At(2)->system);
    // One texture registration per definition, however many templates name it.
    EXPECT_EQ(Host().textures, std::vector<std::string>{"smoke"});
}

TEST_F(PtkFiles, LinkLinesArePositionalOrPinned)
{
    Host().files[GfxName("e", ".emt")] = EmitterText("", "");
    Host().files[GfxName("t", ".pst")] = SystemText("t", "e");
    LoadMap();
    struct Case {
        const char* text;
        bool read;
        int links;
        bool pinned;
        const char* node;
        float x;
        std::int32_t delay;
    };
    const Case cases[] = {
        {"name s { link t 1.0 2.0 3.0 40 }", true, 1, false, "", 1.0f, 40},
        {"name s { link t muzzle 7 }", true, 1, true, "muzzle", 0.0f, 7},
        {"name s { link t 1.0 2.0 3 }", false, 0, false, "", 0.0f, 0},  // a first float needs three
        {"name s { link t 1.0 2.0 3.0 }", false, 0, false, "", 0.0f, 0},
        {"name s { link t 1 2 3 4 }", false, 0, false, "", 0.0f, 0},
        {"name s { link t 0.0 0.0 0.0 0 link missing 0.0 0.0 0.0 0 }", false, 1, false, "", 0.0f, 0},
        {"name s\n{\n  link t 0.5 0.0 0.0 0\n}", true, 1, false, "", 0.5f, 0},  // no final newline
        {"name s { Link t 0.0 0.0 0.0 0 }", false, 0, false, "", 0.0f, 0},
        {"name s { }", true, 0, false, "", 0.0f, 0},
    };
    for (const Case& c : cases) {
        ptk::ParticleSet set;
        EXPECT_EQ(set.Read(c.text, "t"), c.read) << c.text;
        ASSERT_EQ(set.links.Count(), c.links) << c.text;
        if (c.links == 0)
            continue;
        const ptk::Link& link = *set.links.At(0);
        EXPECT_EQ(link.pinned, c.pinned) << c.text;
        EXPECT_EQ(link.node, c.node) << c.text;
        EXPECT_EQ(link.pos[0], c.x) << c.text;
        EXPECT_EQ(link.delay, c.delay) << c.text;
    }
}

TEST_F(PtkFiles, AFailedSetStaysRegisteredWithTheLinksReadSoFar)
{
    Host().files[GfxName("e", ".emt")] = EmitterText("", "");
    Host().files[GfxName("t", ".pst")] = SystemText("t", "e");
    Host().files[GfxName("half", ".set")] = "name half { link t 0.0 0.0 0.0 0 link t 1.0 oops }";
    Host().files[GfxName("bad_def", ".emt")] = "Layer l { emiter_def e { } { Unknown = 1 } Textures { } }";
    Host().files[GfxName("bad", ".pst")] = SystemText("bad", "bad_def");
    Host().files[GfxName("uses_bad", ".set")] = "name uses_bad { link bad 0.0 0.0 0.0 0 }";
    LoadMap();
    const ptk::ParticleSet* half = ptk::FindParticleSet("half");
    ASSERT_TRUE(half);
    EXPECT_EQ(half->links.Count(), 1);
    const ptk::ParticleSet* usesBad = ptk::FindParticleSet("uses_bad");
    ASSERT_TRUE(usesBad);
    EXPECT_EQ(usesBad->links.Count(), 0);
    // The failed template and definition are not kept.
    EXPECT_EQ(ptk::LoadParticleSystem("object\\gfx\\bad.pst"), nullptr);
}

TEST_F(PtkFiles, ANameTooLongForThePathBufferIsSkipped)
{
    const std::string longName(300, 'a');
    Host().files[GfxName("e", ".emt")] = EmitterText("", "");
    Host().files[GfxName("t", ".pst")] = SystemText("t", "e");
    Host().files[GfxName(longName, ".set")] = "name toolong { link t 0.0 0.0 0.0 0 }";
    Host().files[GfxName("short", ".set")] = "name fits { link t 0.0 0.0 0.0 0 }";
    LoadMap();
    EXPECT_EQ(ptk::FindParticleSet("toolong"), nullptr);
    EXPECT_NE(ptk::FindParticleSet("fits"), nullptr);
}

}  // namespace
