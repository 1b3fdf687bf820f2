// Damaged sample definitions: the rifle's definition, the scripts "weapon" and "bullet" and the
// soldier's definition cut short, corrupted by hand and mutated at random (fixed seed), laid as loose
// files over the sample archive. Every one is read to the end without a fault (the sanitizer build
// runs these suites), and what is built can be freed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ai/ai_interface.h"
#include "core/random.h"
#include "core/script_file.h"
#include "tests/actors/weapon_test_support.h"
#include "tests/support/text_mutation.h"
#include "world/anim_cache.h"

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
