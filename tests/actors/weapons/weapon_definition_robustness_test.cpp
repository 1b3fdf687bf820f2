// Damaged sample definitions: the rifle's definition, the scripts "weapon" and "bullet" and the
// soldier's definition cut short, corrupted by hand and mutated at random (fixed seed), laid as loose
// files over the sample archive. Every one is read to the end without a fault (the sanitizer build
// runs these suites), and what is built can be freed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ai/soldier/ai_interface.h"
#include "core/random.h"
#include "core/files/script_file.h"
#include "tests/actors/weapons/weapon_test_support.h"
#include "tests/support/text_mutation.h"
#include "world/animation/anim_cache.h"

namespace {

struct SampleFile {
    const char* archiveName;  // as the engine asks for it
    const char* diskName;     // the loose file laid over it
};

const SampleFile kRifle = {"object\\weapons\\rifle.def", "object/weapons/rifle.def"};
const SampleFile kWeaponScript = {"script\\weapon.scr", "script/weapon.scr"};
const SampleFile kBulletScript = {"script\\bullet.scr", "script/bullet.scr"};
const SampleFile kSoldier = {"object\\actors\\soldier.def", "object/actors/soldier.def"};

class WeaponDefinitionRobustness : public weapon_test::WeaponFixture {
protected:
    // Lays the bytes over the sample file and builds a rifle and a soldier from scratch.
    void BuildWith(const SampleFile& file, const std::string& bytes)
    {
        ASSERT_TRUE(actor_test::LayOverArchive(file.diskName, bytes));
        Weapon* rifle = LoadSample("rifle");
        rifle->FillMagazines();
        rifle->NextSubWeapon();
        rifle->NextFireMode();
        u32_t starts[MAX_WEAPON_FP_ANIMS];
        rifle->GetFirstPersonAnims(starts, 3);
        delete rifle;
        AIInterface* ai = new AIInterface();
        Actor* soldier = ai->body;
        ApplyDefFile(kSoldier.archiveName, soldier);
        soldier->DetachAI();
        delete soldier;
        ActorClassInfosFree();
        AnimCacheFreeAll();
    }
};

TEST_F(WeaponDefinitionRobustness, TruncatedAndCorruptedFiles)
{
    using namespace test_support;
    const TextDamage damages[] = {
        {"empty", Emptied},
        {"one byte", FirstByteOnly},
        {"cut in half", CutInHalf},
        {"cut before the end", CutBeforeTheEnd},
        {"zero bytes inside", ZeroBytesInside},
        {"closing marks removed", ClosingMarksRemoved},
        {"numbers made huge", NumbersMadeHuge},
        {"lines doubled", LinesDoubled},
        {"a very long word", LongWordInFront},
    };
    for (const SampleFile* file : {&kRifle, &kWeaponScript, &kBulletScript, &kSoldier}) {
        const std::string original = actor_test::SampleBytes(file->diskName);
        ASSERT_FALSE(original.empty()) << file->diskName;
        for (const TextDamage& damage : damages) {
            SCOPED_TRACE(std::string(file->diskName) + ": " + damage.what);
            BuildWith(*file, damage.make(original));
        }
        std::filesystem::remove(file->diskName);
    }
}

TEST_F(WeaponDefinitionRobustness, MutatedFilesWithAFixedSeed)
{
    EngineSRand(3606);
    for (const SampleFile* file : {&kRifle, &kWeaponScript, &kBulletScript, &kSoldier}) {
        const std::string original = actor_test::SampleBytes(file->diskName);
        for (int round = 0; round < 40; ++round) {
            const std::string bytes = test_support::MutateText(original);
            SCOPED_TRACE(std::string(file->diskName) + " round " + std::to_string(round));
            BuildWith(*file, bytes);
        }
        std::filesystem::remove(file->diskName);
    }
}

}  // namespace

// A definition that names itself as a sub-weapon, at once or through a second file, is read once:
// the repeat is refused with a warning instead of being read without end.
TEST_F(WeaponDefinitionRobustness, SubWeaponCyclesAreRefused)
{
    struct Case {
        const char* what;
        std::string rifleLine;
        const char* otherFile;  // a second definition laid beside the rifle's, or null
        std::string otherBytes;
        int depth;  // sub-weapons nested under the rifle before the refusal
    };
    const Case cases[] = {
        {"the rifle names itself", "subweapon rifle", nullptr, "", 0},
        {"the rifle names a file that names the rifle", "subweapon echo", "object/weapons/echo.def",
         "weapon echo\nsubweapon rifle\n", 1},
        {"a file that names itself", "subweapon echo", "object/weapons/echo.def", "weapon echo\nsubweapon echo\n", 1},
    };
    const std::string original = actor_test::SampleBytes(kRifle.diskName);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.otherFile) {
            ASSERT_TRUE(actor_test::LayOverArchive(c.otherFile, c.otherBytes));
        }
        ASSERT_TRUE(actor_test::LayOverArchive(kRifle.diskName, original + "\n" + c.rifleLine + "\n"));
        const size_t logStart = actor_test::LogSize();
        Weapon* rifle = LoadSample("rifle");
        int depth = 0;
        for (const Weapon* w = rifle; w->subWeaponCount > 0; w = w->GetSubWeapon(0))
            ++depth;
        EXPECT_EQ(depth, c.depth);
        EXPECT_EQ(weapon_test::LogCount(logStart, "is already being read, refused\n"), 1);
        delete rifle;
        if (c.otherFile)
            std::filesystem::remove(c.otherFile);
    }
    std::filesystem::remove(kRifle.diskName);
}
