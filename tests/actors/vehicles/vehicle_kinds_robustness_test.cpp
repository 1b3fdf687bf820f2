// Damaged definitions of the boat, the tank and the helicopter: each sample definition cut short,
// corrupted by hand and mutated at random (fixed seed), laid as a loose file over the sample archive,
// built through the factory by its class keyword and then driven, flown, saved, loaded and freed.
// Nothing may fault (the sanitizer build runs these suites) nor turn into NaN.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "actors/actor.h"
#include "actors/vehicles/boat.h"
#include "actors/vehicles/caterpillar.h"
#include "actors/vehicles/helicopter.h"
#include "core/random.h"
#include "core/files/script_file.h"
#include "game/mission_objects/object_factory.h"
#include "tests/actors/vehicles/vehicle_kinds_support.h"
#include "tests/support/text_mutation.h"
#include "world/animation/anim_cache.h"
#include "world/objects/saved_object_state.h"

namespace {

struct KindFile {
    const char* classKeyword;
    const char* defName;
    const char* diskName;
};

const KindFile kKinds[] = {
    {"boat", "boat", "object/vehicles/boat.def"},
    {"caterpillar", "tank", "object/vehicles/tank.def"},
    {"helicopter", "heli", "object/vehicles/heli.def"},
};

class VehicleKindsRobustness : public vehicle_test::FlatLandFixture {
protected:
    // Lays the bytes over the sample file, builds the kind and works every control of it.
    void BuildWith(const KindFile& file, const std::string& bytes)
    {
        ASSERT_TRUE(actor_test::LayOverArchive(file.diskName, bytes));
        DynamicObject* object = CreateDynamicObjectByClass(file.classKeyword);
        ASSERT_NE(object, nullptr);
        ASSERT_EQ(object->GetTypeId(), OBJECT_TYPE_VEHICLE);
        Vehicle* vehicle = static_cast<Vehicle*>(object);
        vehicle->name.Assign(file.defName);
        ApplyDefFile((std::string("object\\vehicles\\") + file.defName + ".def").c_str(), vehicle);
        vehicle->SetPosition({300.0f, 0.0f, 300.0f});
        DynObjectAdd(vehicle);
        vehicle->Update();
        vehicle->occupantCount = 1;
        vehicle->mouseSteering = 1;
        vehicle->selfCentringAllowed = 1;
        for (int i = 0; i < 60; ++i) {
            // The rotor would take hundreds of frames to wind up: the flight begins at frame 20.
            if (i == 20 && std::string(file.classKeyword) == "helicopter")
                static_cast<Helicopter*>(vehicle)->rotorSpeed = static_cast<Helicopter*>(vehicle)->max_rotorspeed;
            GameSetYawPitch(i % 3 == 0 ? 0.1f : 0.0f, 0.0f);
            if (i < 30)
                vehicle->ControlLeanLeft();
            if (i % 4 != 3)
                vehicle->ControlForward();
            else
                vehicle->ControlBackward();
            if (i % 2)
                vehicle->SteerLeft();
            else if (i % 5 == 0)
                vehicle->SteerRight();
            if (i > 45)
                vehicle->ControlLeanRight();
            if (i == 25)
                vehicle->ToggleMode();
            vehicle->Update();
        }
        GameSetYawPitch(0.0f, 0.0f);
        SavedObjectState state;
        vehicle->SaveState(&state);
        vehicle->LoadState(&state);
        vehicle->SetAuxFlag(false);
        vehicle->Update();
        const Vector3 at = vehicle->GetPosition();
        EXPECT_TRUE(std::isfinite(at.x) && std::isfinite(at.y) && std::isfinite(at.z));
        vehicle->occupantCount = 0;
        DynObjectRemove(vehicle);
        DeleteDynamicObject(vehicle);
        AnimCacheFreeAll();
    }
};

TEST_F(VehicleKindsRobustness, TruncatedAndCorruptedDefinitions)
{
    using namespace test_support;
    const TextDamage damages[] = {
        {"empty", Emptied},
        {"one byte", FirstByteOnly},
        {"cut in half", CutInHalf},
        {"model lines only",
         [](const std::string& o) {
             std::string d;
             size_t at = 0;
             while (at < o.size()) {
                 const size_t end = o.find('\n', at);
                 const std::string line = o.substr(at, end == std::string::npos ? std::string::npos : end - at + 1);
                 if (line.rfind("anim", 0) == 0)
                     d += line;
                 at = end == std::string::npos ? o.size() : end + 1;
             }
             return d;
         }},
        {"zero bytes inside", ZeroBytesInside},
        {"numbers made huge", NumbersMadeHuge},
        {"numbers made zero", NumbersMadeZero},
        {"numbers negated", NumbersNegated},
        {"lines doubled", LinesDoubled},
        {"a very long word",
         [](const std::string& o) { return o + "\nheli_particle " + std::string(5000, 'w') + "\n"; }},
    };
    for (const KindFile& file : kKinds) {
        const std::string original = actor_test::SampleBytes(file.diskName);
        ASSERT_FALSE(original.empty()) << file.diskName;
        for (const TextDamage& damage : damages) {
            SCOPED_TRACE(std::string(file.diskName) + ": " + damage.what);
            BuildWith(file, damage.make(original));
        }
        std::filesystem::remove(file.diskName);
    }
}

TEST_F(VehicleKindsRobustness, MutatedDefinitionsWithAFixedSeed)
{
    EngineSRand(6160);
    for (const KindFile& file : kKinds) {
        const std::string original = actor_test::SampleBytes(file.diskName);
        for (int round = 0; round < 40; ++round) {
            const std::string bytes = test_support::MutateText(original);
            SCOPED_TRACE(std::string(file.diskName) + " round " + std::to_string(round));
            BuildWith(file, bytes);
        }
        std::filesystem::remove(file.diskName);
    }
}

}  // namespace
