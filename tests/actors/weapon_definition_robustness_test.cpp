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
    static std::string Original(const SampleFile& file)
    {
        std::string path = actor_test::SampleFolder() + "/" + file.diskName;
        return ReadFileBytes(path);
    }
    // Lays the bytes over the sample file and builds a rifle and a soldier from scratch.
    void BuildWith(const SampleFile& file, const std::string& bytes)
    {
        const std::filesystem::path path(file.diskName);
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        DefFileFreeAll();
        DestroyScriptCache();
        CreateScriptCache();
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
    struct Damage {
        const char* what;
        std::string (*make)(const std::string& original);
    };
    const Damage damages[] = {
        {"empty", [](const std::string&) { return std::string(); }},
        {"one byte", [](const std::string& o) { return o.substr(0, 1); }},
        {"cut in half", [](const std::string& o) { return o.substr(0, o.size() / 2); }},
        {"cut before the end", [](const std::string& o) { return o.substr(0, o.size() - 3); }},
        {"zero bytes inside",
         [](const std::string& o) {
             std::string d = o;
             for (size_t i = 7; i < d.size(); i += 23)
                 d[i] = '\0';
             return d;
         }},
        {"closing marks removed",
         [](const std::string& o) {
             std::string d = o;
             for (char& c : d)
                 if (c == '>' || c == ';')
                     c = ' ';
             return d;
         }},
        {"numbers made huge",
         [](const std::string& o) {
             std::string d;
             for (char c : o)
                 d += (c >= '0' && c <= '9') ? std::string("99999999999") : std::string(1, c);
             return d;
         }},
        {"lines doubled", [](const std::string& o) { return o + o; }},
        {"a very long word", [](const std::string& o) { return std::string(5000, 'w') + " " + o; }},
    };
    for (const SampleFile* file : {&kRifle, &kWeaponScript, &kBulletScript, &kSoldier}) {
        const std::string original = Original(*file);
        ASSERT_FALSE(original.empty()) << file->diskName;
        for (const Damage& damage : damages) {
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
        const std::string original = Original(*file);
        for (int round = 0; round < 40; ++round) {
            const std::string bytes = test_support::MutateText(original);
            SCOPED_TRACE(std::string(file->diskName) + " round " + std::to_string(round));
            BuildWith(*file, bytes);
        }
        std::filesystem::remove(file->diskName);
    }
}

}  // namespace
