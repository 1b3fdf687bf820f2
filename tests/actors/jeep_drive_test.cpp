// A ride over the sample map's hills without a window: a sample soldier gets into the sample jeep's
// driver's seat, drives it round a course of waypoints (the test steers and works the pedals as a
// driver would), stops and gets out at the seat's step-out point.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "actors/actor.h"
#include "map/terrain/terrain_height.h"
#include "platform/test_clock.h"
#include "support/land_octree.h"
#include "tests/actors/vehicles/vehicle_test_support.h"
#include "world/nodes/graph_node.h"

namespace {

class JeepDrive : public vehicle_test::HillsFixture {
protected:
    // One frame of driving towards the point at about the cruising speed.
    static void DriveTowards(Vehicle* jeep, float x, float z, float cruise)
    {
        const Vector3 d = jeep->GetDirection();
        const Vector3 c = jeep->GetCentre();
        const float toX = x - c.x;
        const float toZ = z - c.z;
        const float cross = d.x * toZ - d.z * toX;
        const float dot = d.x * toX + d.z * toZ;
        const float error = std::atan2(cross, dot);
        // In the player control's order: the drive key first (it sets the drive state anew), then
        // the steering.
        if (jeep->GetSpeed() < cruise)
            jeep->ControlForward();
        if (error > 0.05f)
            jeep->SteerLeft();
        else if (error < -0.05f)
            jeep->SteerRight();
        jeep->Update();
        PlatformTestClockAdvance(20);
    }
    static float DistanceXZ(const Vector3& a, float x, float z)
    {
        return std::sqrt((a.x - x) * (a.x - x) + (a.z - z) * (a.z - z));
    }
};

TEST_F(JeepDrive, ASoldierDrivesTheJeepRoundACourseAndStepsOut)
{
    Vehicle* jeep = Jeep({0.0f, 0.0f, 0.0f});
    DynObjectAdd(jeep);
    jeep->Update();
    Actor* soldier = Soldier({15.0f, MapTerrainHeight(15.0f, 0.0f, nullptr, nullptr), 0.0f}, "driver");
    soldier->TakeItem(jeep);
    ASSERT_TRUE(soldier->IsDriver());

    const float course[][2] = {
        {0.0f, -150.0f}, {150.0f, -150.0f}, {150.0f, 100.0f}, {-100.0f, 100.0f}, {-100.0f, -50.0f}};
    int reached = 0;
    int frames = 0;
    float fastest = 0.0f;
    float lowest = 1e30f;
    float highest = -1e30f;
    for (const auto& point : course) {
        while (DistanceXZ(jeep->GetCentre(), point[0], point[1]) > 25.0f && frames < 6000) {
            DriveTowards(jeep, point[0], point[1], 9.0f);
            ++frames;
            fastest = std::max(fastest, jeep->GetSpeed());
            const Vector3 at = jeep->GetPosition();
            lowest = std::min(lowest, at.y);
            highest = std::max(highest, at.y);
            // The jeep stands on the hills and its driver rides in it.
            ASSERT_FLOAT_EQ(at.y, MapTerrainHeight(at.x, at.z, nullptr, nullptr)) << frames;
            ASSERT_LT(DistanceXZ(soldier->GetPosition(), at.x, at.z), 15.0f) << frames;
        }
        if (frames >= 6000)
            break;
        ++reached;
    }
    EXPECT_EQ(reached, 5);
    EXPECT_GT(fastest, 8.0f);
    EXPECT_GT(highest - lowest, 5.0f);  // over the hills, not on a plain
    // The frame stays rigid over the hills.
    const D3DXVECTOR3 across = jeep->points[3] - jeep->points[2];
    EXPECT_NEAR(D3DXVec3Length(&across), 9.0f, 0.01f);

    // Braking to a stop, then out at the step-out point, on the ground there.
    for (int i = 0; i < 500 && jeep->GetSpeed() > 0.0f; ++i) {
        jeep->ControlBackward();
        jeep->Update();
    }
    EXPECT_EQ(jeep->GetSpeed(), 0.0f);
    D3DXMATRIX seat;
    jeep->seats[0].attachNode->UpdateTransform(&seat);
    const D3DXVECTOR3 stepOut(10.0f, -7.5f, 0.0f);
    D3DXVECTOR3 expected;
    D3DXVec3TransformCoord(&expected, &stepOut, &seat);
    soldier->LeaveVehicle();
    EXPECT_FALSE(soldier->inVehicle);
    EXPECT_EQ(jeep->occupantCount, 0);
    const Vector3 out = soldier->GetPosition();
    EXPECT_FLOAT_EQ(out.x, expected.x);
    EXPECT_FLOAT_EQ(out.y, expected.y);
    EXPECT_FLOAT_EQ(out.z, expected.z);
    EXPECT_NEAR(out.y, MapTerrainHeight(out.x, out.z, nullptr, nullptr), 6.0f);
    EXPECT_FALSE(soldier->isDead);
}

}  // namespace
