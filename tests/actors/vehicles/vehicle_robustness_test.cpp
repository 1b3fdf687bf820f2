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
#include "core/files/byte_io.h"
#include "core/random.h"
#include "core/files/script_file.h"
#include "tests/actors/vehicles/vehicle_test_support.h"
#include "tests/support/text_mutation.h"
#include "world/animation/anim_cache.h"
#include "world/objects/saved_object_state.h"

namespace {

struct SampleFile {
    const char* diskName;
};

const SampleFile kJeep = {"object/vehicles/jeep.def"};
const SampleFile kSeats = {"script/seats.scr"};

class VehicleRobustness : public vehicle_test::VehicleFixture {
protected:
    // Lays the bytes over the sample file, builds a jeep and uses it: a soldier gets in, it drives,
    // turns, is saved and loaded, and the soldier gets out.
    void BuildWith(const SampleFile& file, const std::string& bytes)
    {
        ASSERT_TRUE(actor_test::LayOverArchive(file.diskName, bytes));
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
    using namespace test_support;
    const TextDamage damages[] = {
        {"empty", Emptied},
        {"one byte", FirstByteOnly},
        {"cut in half", CutInHalf},
        {"zero bytes inside", ZeroBytesInside},
        {"closing marks removed", ClosingMarksRemoved},
        {"numbers made huge", NumbersMadeHuge},
        {"numbers made zero", NumbersMadeZero},
        {"lines doubled", LinesDoubled},
        {"a very long word", LongWordInFront},
        {"seats in their own sections",
         [](const std::string& o) {
             return o + "\n<jeep_driver> seat jeep_driver seats seat_d driver; capacity 9; </jeep_driver>\n";
         }},
    };
    for (const SampleFile* file : {&kJeep, &kSeats}) {
        const std::string original = actor_test::SampleBytes(file->diskName);
        ASSERT_FALSE(original.empty()) << file->diskName;
        for (const TextDamage& damage : damages) {
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
        const std::string original = actor_test::SampleBytes(file->diskName);
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
