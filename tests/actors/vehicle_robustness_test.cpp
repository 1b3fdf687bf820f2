// Damaged vehicle input: the jeep's definition and the "seats" script cut short, corrupted by hand and
// mutated at random (fixed seed), laid as loose files over the sample archive, each built into a
// jeep that is then driven, entered, saved and freed; and damaged saved records of vehicles and
// actors loaded. Nothing may fault (the sanitizer build runs these suites) nor turn into NaN.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>

#include "actors/actor.h"
#include "core/byte_io.h"
#include "core/random.h"
#include "core/script_file.h"
#include "tests/actors/vehicle_test_support.h"
#include "tests/support/text_mutation.h"
#include "world/anim_cache.h"
#include "world/saved_object_state.h"

namespace {

struct SampleFile {
    const char* diskName;
};

const SampleFile kJeep = {"object/vehicles/jeep.def"};
const SampleFile kSeats = {"script/seats.scr"};

class VehicleRobustness : public vehicle_test::VehicleFixture {
protected:
    static std::string Original(const SampleFile& file)
    {
        return ReadFileBytes(actor_test::SampleFolder() + "/" + file.diskName);
    }
    // Lays the bytes over the sample file, builds a jeep and uses it: a soldier gets in, it drives,
    // turns, is saved and loaded, and the soldier gets out.
    void BuildWith(const SampleFile& file, const std::string& bytes)
    {
        const std::filesystem::path path(file.diskName);
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        DefFileFreeAll();
        DestroyScriptCache();
        CreateScriptCache();
        Vehicle* jeep = new Vehicle;
        jeep->name.Assign("jeep");
        ApplyDefFile("object\\vehicles\\jeep.def", jeep);
        DynObjectAdd(jeep);
        Actor* soldier = Soldier({0.0f, 0.0f, 0.0f});
        jeep->Update();
        soldier->TakeItem(jeep);
        if (!soldier->inVehicle)
            jeep->occupantCount = 1;
        for (int i = 0; i < 20; ++i) {
            jeep->ControlForward();
            if (i % 2)
                jeep->SteerLeft();
            jeep->Update();
        }
        SavedObjectState state;
        jeep->SaveState(&state);
        jeep->LoadState(&state);
        if (soldier->inVehicle)
            soldier->LeaveVehicle();
        else
            jeep->occupantCount = 0;
        EXPECT_TRUE(std::isfinite(jeep->GetPosition().x) && std::isfinite(jeep->GetPosition().z));
        DynObjectRemove(jeep);
        delete jeep;
        DynObjectRemove(soldier);
        soldier->DetachAI();
        delete soldier;
        ActorClassInfosFree();
        AnimCacheFreeAll();
    }
};

TEST_F(VehicleRobustness, TruncatedAndCorruptedFiles)
{
    struct Damage {
        const char* what;
        std::string (*make)(const std::string& original);
    };
    const Damage damages[] = {
        {"empty", [](const std::string&) { return std::string(); }},
        {"one byte", [](const std::string& o) { return o.substr(0, 1); }},
        {"cut in half", [](const std::string& o) { return o.substr(0, o.size() / 2); }},
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
        {"numbers made zero",
         [](const std::string& o) {
             std::string d = o;
             for (char& c : d)
                 if (c >= '1' && c <= '9')
                     c = '0';
             return d;
         }},
        {"lines doubled", [](const std::string& o) { return o + o; }},
        {"a very long word", [](const std::string& o) { return std::string(5000, 'w') + " " + o; }},
        {"seats in their own sections",
         [](const std::string& o) {
             return o + "\n<jeep_driver> seat jeep_driver seats seat_d driver; capacity 9; </jeep_driver>\n";
         }},
    };
    for (const SampleFile* file : {&kJeep, &kSeats}) {
        const std::string original = Original(*file);
        ASSERT_FALSE(original.empty()) << file->diskName;
        for (const Damage& damage : damages) {
            SCOPED_TRACE(std::string(file->diskName) + ": " + damage.what);
            BuildWith(*file, damage.make(original));
        }
        std::filesystem::remove(file->diskName);
    }
}

TEST_F(VehicleRobustness, MutatedFilesWithAFixedSeed)
{
    EngineSRand(3807);
    for (const SampleFile* file : {&kJeep, &kSeats}) {
        const std::string original = Original(*file);
        for (int round = 0; round < 40; ++round) {
            const std::string bytes = test_support::MutateText(original);
            SCOPED_TRACE(std::string(file->diskName) + " round " + std::to_string(round));
            BuildWith(*file, bytes);
        }
        std::filesystem::remove(file->diskName);
    }
}

TEST_F(VehicleRobustness, DamagedSavedRecords)
{
    Vehicle* jeep = Jeep({0.0f, 0.0f, 0.0f});
    jeep->Update();
    Actor* soldier = Soldier({20.0f, 0.0f, 0.0f});
    EngineSRand(1131);
    for (int round = 0; round < 200; ++round) {
        SavedObjectState state;
        for (u8_t& byte : state.kindArea)
            byte = static_cast<u8_t>(EngineRand() & 0xFF);
        if (round % 4 == 0) {  // a NaN among the vehicle's floats
            const u32_t nan = 0x7FC00000u;
            StoreU32(state.kindArea + 4 * static_cast<u32_t>(EngineRand() % 17), nan);
        }
        const Vector3 before = jeep->GetContactPoint0();
        jeep->LoadState(&state);
        const Vector3 after = jeep->GetContactPoint0();
        if (!std::isfinite(after.x) || !std::isfinite(after.y) || !std::isfinite(after.z)) {
            ADD_FAILURE() << "round " << round;
            break;
        }
        (void)before;
        soldier->LoadState(&state);
        EXPECT_GE(soldier->pose, ACTOR_POSE_STAND);
        EXPECT_LE(soldier->pose, ACTOR_POSE_PRONE);
        EXPECT_GE(soldier->movementMode, ACTOR_MOVE_IDLE);
        EXPECT_LE(soldier->movementMode, ACTOR_MOVE_PATROL);
    }
    delete jeep;
}

}  // namespace
