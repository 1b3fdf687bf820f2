// The three sample kinds over the sample map's hills, made by their class keywords: the boat and the
// tank follow the ground under them while driven and steered; the helicopter takes off, flies ahead
// over the hills and lands again.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "actors/vehicles/boat.h"
#include "actors/vehicles/caterpillar.h"
#include "actors/vehicles/helicopter.h"
#include "game/mission_objects/object_factory.h"
#include "map/terrain/terrain_height.h"
#include "platform/test_clock.h"
#include "support/land_octree.h"
#include "tests/actors/vehicles/vehicle_kinds_support.h"

namespace {

class VehicleKindsOnHills : public vehicle_test::HillsFixture {
protected:
    // The kind made by its class keyword from its sample definition, registered and placed.
    template <class Kind>
    Kind* Made(const char* keyword, const char* def)
    {
        DynamicObject* object = CreateDynamicObjectByClass(keyword);
        Kind* kind = dynamic_cast<Kind*>(object);
        EXPECT_NE(kind, nullptr) << keyword;
        if (!kind) {
            DeleteDynamicObject(object);
            return nullptr;
        }
        kind->name.Assign(def);
        const std::vector<bool> results =
            ApplyDefFile((std::string("object\\vehicles\\") + def + ".def").c_str(), kind);
        for (size_t i = 0; i < results.size(); ++i)
            EXPECT_TRUE(results[i]) << def << " entry " << i;
        kind->SetPosition({0.0f, 0.0f, 0.0f});
        DynObjectAdd(kind);
        kind->Update();
        kind->occupantCount = 1;
        return kind;
    }
    static float Ground(const Vector3& at) { return MapTerrainHeight(at.x, at.z, nullptr, nullptr); }
    static void Free(Vehicle* vehicle)
    {
        DynObjectRemove(vehicle);
        DeleteDynamicObject(vehicle);
    }
};

TEST_F(VehicleKindsOnHills, TheBoatAndTheTankFollowTheGround)
{
    Boat* boat = Made<Boat>("boat", "boat");
    Caterpillar* tank = Made<Caterpillar>("caterpillar", "tank");
    ASSERT_TRUE(boat && tank);
    for (Vehicle* vehicle : {static_cast<Vehicle*>(boat), static_cast<Vehicle*>(tank)}) {
        SCOPED_TRACE(vehicle->name.Text());
        float lowest = 1e30f;
        float highest = -1e30f;
        Vector3 start = vehicle->GetPosition();
        for (int i = 0; i < 600; ++i) {
            vehicle->ControlForward();
            if ((i / 100) % 2)
                vehicle->SteerLeft();
            vehicle->Update();
            const Vector3 at = vehicle->GetPosition();
            ASSERT_FLOAT_EQ(at.y, Ground(at)) << i;
            lowest = std::min(lowest, at.y);
            highest = std::max(highest, at.y);
        }
        const Vector3 end = vehicle->GetPosition();
        EXPECT_GT(std::hypot(end.x - start.x, end.z - start.z), 50.0f);
        EXPECT_GT(highest - lowest, 1.0f);  // over the hills
    }
    Free(boat);
    Free(tank);
}

TEST_F(VehicleKindsOnHills, TheHelicopterTakesOffFliesAheadAndLands)
{
    Helicopter* heli = Made<Helicopter>("helicopter", "heli");
    ASSERT_TRUE(heli);
    heli->rotorSpeed = heli->max_rotorspeed;
    const Vector3 pad = heli->GetPosition();
    for (int i = 0; i < 150; ++i) {
        heli->ControlLeanLeft();
        heli->Update();
    }
    ASSERT_TRUE(heli->airborne);
    // Ahead without the vertical controls: it never sinks (the climb only dies away).
    float height = heli->GetPosition().y;
    for (int i = 0; i < 200; ++i) {
        heli->ControlForward();
        heli->Update();
        ASSERT_GE(heli->GetPosition().y, height) << i;
        height = heli->GetPosition().y;
    }
    const Vector3 away = heli->GetPosition();
    EXPECT_GT(std::hypot(away.x - pad.x, away.z - pad.z), 50.0f);
    for (int i = 0; i < 3000 && heli->airborne; ++i) {
        heli->ControlLeanRight();
        if (heli->airborne)
            heli->Update();
    }
    EXPECT_FALSE(heli->airborne);
    heli->Update();  // on the ground again it stands on the terrain
    const Vector3 landed = heli->GetPosition();
    EXPECT_FLOAT_EQ(landed.y, Ground(landed));
    Free(heli);
}

}  // namespace
