// The sample data's particle files, read as a map load reads them: every set with its links, every
// template and definition loaded once, the names the sample's scripts start, and the atlas and mesh
// particles they promise.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "plugins/ptk/effect_sets.h"
#include "plugins/ptk/emitter_def.h"
#include "support/files.h"
#include "tests/ptk/recording_host.h"

using namespace ptk_test;
namespace fs = std::filesystem;

namespace {

class PtkSampleEffects : public PtkFixture {};

TEST_F(PtkSampleEffects, EverySampleSetLoadsWithItsTemplatesAndDefinitions)
{
    const fs::path folder = fs::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data" / "sample" / "object" / "gfx";
    std::set<std::string> definitions, sets;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        Host().files[GfxName(name, "")] = ReadFileBytes(entry.path().string());
        if (entry.path().extension() == ".emt")
            definitions.insert(name);
        if (entry.path().extension() == ".set")
            sets.insert(entry.path().stem().string());
    }
    LoadMap();
    EXPECT_EQ(ptk::g_emitterDefs->Count(), static_cast<std::int32_t>(definitions.size()));
    for (const std::string& name : sets) {
        const ptk::ParticleSet* set = ptk::FindParticleSet(name.c_str());
        ASSERT_NE(set, nullptr) << name;
        ASSERT_GT(set->links.Count(), 0) << name;
        for (std::int32_t i = 0; i < set->links.Count(); ++i)
            EXPECT_NE(set->links.At(i)->system, nullptr) << name;
    }
    // The names the sample's weapon, bullet, material, helicopter, jeep and mission start.
    for (const char* name : {"muzzle_flash", "trail", "explosion", "airburst", "heli_dust", "impact_ground",
                             "impact_wood", "smoke_column", "jeep_trail"})
        EXPECT_TRUE(sets.count(name)) << name;
    EXPECT_TRUE(ptk::FindParticleSet("jeep_trail")->links.At(0)->pinned);
    const ptk::EmitterDef* fire = ptk::LoadEmitterDef("object\\gfx\\fire.emt");
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire->ptkType, 4);
    EXPECT_EQ(fire->texScale, 4);
    const ptk::EmitterDef* chips = ptk::LoadEmitterDef("object\\gfx\\chips.emt");
    ASSERT_NE(chips, nullptr);
    EXPECT_EQ(chips->ptkType, 7);
    EXPECT_EQ(chips->meshName, "chip");
    EXPECT_TRUE(Host().lines.empty()) << Host().lines[0].text;
}

}  // namespace
