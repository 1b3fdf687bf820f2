// Helpers of the vehicle tests: the sample jeep and sample soldiers built from their definitions, a
// fixed frame time, and the game state the vehicles touch put back after each test.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actors/vehicles/vehicle.h"
#include "ai/soldier/ai_interface.h"
#include "core/frame_view.h"
#include "game/game_state.h"
#include "game/view/player_view.h"
#include "map/registry/world_registry.h"
#include "platform/test_clock.h"
#include "support/def_apply.h"
#include "support/land_octree.h"
#include "tests/actors/weapons/weapon_test_support.h"

namespace vehicle_test {

constexpr float kFrameTime = 0.02f;

class VehicleFixture : public weapon_test::WeaponFixture {
protected:
    void SetUp() override
    {
        WeaponFixture::SetUp();
        m_savedGame = {g_frameView.player, g_game.playerVehicle, g_frameView.frameTime};
        g_frameView.frameTime = kFrameTime;
        g_vehicleSway = VehicleSwayState();
        GameSetYawPitch(0.0f, 0.0f);
    }
    void TearDown() override
    {
        // Soldiers leave the AI table with their bodies.
        DynamicObject** objects = nullptr;
        s32_t count = 0;
        DynObjectsGet(&objects, &count);
        for (s32_t i = count - 1; i >= 0; --i) {
            if (objects[i]->GetTypeId() != OBJECT_TYPE_ACTOR)
                continue;
            Actor* soldier = static_cast<Actor*>(objects[i]);
            DynObjectRemove(soldier);
            soldier->DetachAI();
            delete soldier;
            DynObjectsGet(&objects, &count);
            i = count;
        }
        g_frameView.player = m_savedGame.player;
        g_game.playerVehicle = m_savedGame.vehicle;
        g_frameView.frameTime = m_savedGame.frameTime;
        g_game.vehicleBarred = false;
        g_game.savingRestart = false;
        g_vehicleSway = VehicleSwayState();
        GameSetYawPitch(0.0f, 0.0f);
        WeaponFixture::TearDown();
    }

    // The sample jeep at the point, not registered; every definition line must be taken.
    Vehicle* Jeep(const Vector3& at, const char* objectName = "jeep")
    {
        Vehicle* jeep = new Vehicle;
        jeep->name.Assign(objectName);
        const std::vector<bool> results = ApplyDefFile("object\\vehicles\\jeep.def", jeep);
        EXPECT_FALSE(results.empty());
        for (size_t i = 0; i < results.size(); ++i)
            EXPECT_TRUE(results[i]) << "jeep.def entry " << i;
        jeep->SetPosition(at);
        return jeep;
    }
    // A sample soldier with its AI, registered in the world.
    Actor* Soldier(const Vector3& at, const char* objectName = "soldier")
    {
        AIInterface* ai = new AIInterface();
        Actor* soldier = ai->body;
        soldier->name.Assign(objectName);
        ApplyDefFile("object\\actors\\soldier.def", soldier);
        soldier->SetPosition(at);
        DynObjectAdd(soldier);
        return soldier;
    }

private:
    struct Saved {
        DynamicObject* player;
        Vehicle* vehicle;
        float frameTime;
    } m_savedGame = {};
};

// On the flat test land (land_test::FlatPlan) with its octree and object grid, the test clock started.
class FlatLandFixture : public VehicleFixture {
protected:
    void SetUp() override
    {
        VehicleFixture::SetUp();
        PlatformTestClockStart(500000);
        std::string error;
        ASSERT_TRUE(land_test::LoadLand(land_test::FlatPlan(), "land.lff", error)) << error;
    }
    void TearDown() override
    {
        VehicleFixture::TearDown();
        land_test::UnloadLand();
        PlatformTestClockStop();
    }
};

// On the sample map's hills with their octree, the test clock started.
class HillsFixture : public VehicleFixture {
protected:
    void SetUp() override
    {
        VehicleFixture::SetUp();
        PlatformTestClockStart(800000);
        const std::string path = actor_test::SampleFolder() + "/component/land/hills.lff";
        ASSERT_EQ(MapMeshesLoadFromFile(path.c_str(), "component\\land\\"), 0);
        MapGeometryApplyTransformValues(false, nullptr, false, 0.0f);
        land_test::BuildLandOctree();
    }
    void TearDown() override
    {
        VehicleFixture::TearDown();
        land_test::UnloadLand();
        PlatformTestClockStop();
    }
};

}  // namespace vehicle_test
