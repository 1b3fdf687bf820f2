// The driving model with a fixed frame time: speed limits, braking, the gear change at standstill,
// coasting, steering and self-centring, the rigid frame on the terrain, and definitions that leave
// out the values the model divides by.
#include <gtest/gtest.h>

#include <cmath>

#include "actors/actor.h"
#include "tests/actors/vehicles/vehicle_test_support.h"
#include "world/nodes/graph_node.h"

namespace {

using weapon_test::ApplyLine;

class VehicleDrive : public vehicle_test::VehicleFixture {
protected:
    // The sample jeep placed, with a driver counted (the controls act as the player control's).
    Vehicle* Placed()
    {
        Vehicle* jeep = Jeep({0.0f, 0.0f, 0.0f});
        jeep->Update();
        jeep->occupantCount = 1;
        return jeep;
    }
    template <class Control>
    static void Frames(Vehicle* jeep, int count, Control control)
    {
        for (int i = 0; i < count; ++i) {
            control(jeep);
            jeep->Update();
        }
    }
    static float Distance(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
    {
        const D3DXVECTOR3 d = a - b;
        return D3DXVec3Length(&d);
    }
};

TEST(VehicleForces, FollowTheirFormulas)
{
    EXPECT_FLOAT_EQ(VehicleAirDrag(10.0f), 100.0f * 0.3f * 2.2f * 1.29f * 0.5f);
    EXPECT_FLOAT_EQ(VehicleRollingResistance(12.8f, 3.0f), 38.4f);
    EXPECT_FLOAT_EQ(VehicleScaledLength(D3DXVECTOR3(0.0f, 0.6f, 0.8f), 50.0f), 50.0f);
}

TEST_F(VehicleDrive, TheDriveKeysAccelerateBrakeAndChangeGearOnlyAtStandstill)
{
    Vehicle* jeep = Placed();
    // A new vehicle (gear change armed) reverses at the first press.
    jeep->ControlBackward();
    EXPECT_FALSE(jeep->IsForwardGear());
    EXPECT_GT(jeep->GetSpeed(), 0.0f);
    // Reversing stops at exactly the reverse speed.
    Frames(jeep, 400, [](Vehicle* v) { v->ControlBackward(); });
    EXPECT_EQ(jeep->GetSpeed(), jeep->GetReverseSpeed());
    EXPECT_GT(jeep->GetPosition().z, 0.0f);  // backward is +z for the jeep
    // Holding forward while rolling backward brakes to exactly 0 and stays there while held.
    Frames(jeep, 300, [](Vehicle* v) { v->ControlForward(); });
    EXPECT_EQ(jeep->GetSpeed(), 0.0f);
    EXPECT_FALSE(jeep->IsForwardGear());
    // Released and pressed again: the gear changes and the vehicle accelerates.
    jeep->SetGearChangeArmed(true);
    jeep->ControlForward();
    EXPECT_TRUE(jeep->IsForwardGear());
    EXPECT_GT(jeep->GetSpeed(), 0.0f);
    EXPECT_FALSE(jeep->gearChangeArmed);
    // Acceleration stops at exactly the maximum speed and stays there.
    Frames(jeep, 600, [](Vehicle* v) { v->ControlForward(); });
    EXPECT_EQ(jeep->GetSpeed(), jeep->GetMaxSpeed());
    EXPECT_GT(jeep->throttle, 100.0f);
    // Holding backward brakes to exactly 0, never below, and keeps the forward gear while held.
    Frames(jeep, 300, [](Vehicle* v) { v->ControlBackward(); });
    EXPECT_EQ(jeep->GetSpeed(), 0.0f);
    EXPECT_TRUE(jeep->IsForwardGear());
    EXPECT_EQ(jeep->throttle, 100.0f);
    jeep->SetGearChangeArmed(true);
    Frames(jeep, 5, [](Vehicle* v) { v->ControlBackward(); });
    EXPECT_FALSE(jeep->IsForwardGear());
    EXPECT_GT(jeep->GetSpeed(), 0.0f);
    delete jeep;
}

TEST_F(VehicleDrive, AnEmptyVehicleCoastsToZeroAndFollowsTheGround)
{
    Vehicle* jeep = Placed();
    jeep->occupantCount = 0;
    jeep->SetSpeed(10.0f);
    const float startZ = jeep->GetPosition().z;
    // The rolling resistance takes a share of the speed each frame: the speed falls steadily and
    // becomes 0 where it no longer moves the vehicle (below 0.001).
    int frames = 0;
    float last = jeep->GetSpeed();
    bool falling = true;
    while (jeep->GetSpeed() > 0.0f && frames < 2000) {
        jeep->Update();
        falling = falling && jeep->GetSpeed() < last;
        last = jeep->GetSpeed();
        ++frames;
    }
    EXPECT_TRUE(falling);
    EXPECT_EQ(jeep->GetSpeed(), 0.0f);
    EXPECT_LT(frames, 2000);
    EXPECT_LT(jeep->GetPosition().z, startZ);
    EXPECT_FLOAT_EQ(jeep->GetPosition().y, 0.0f);
    delete jeep;
}

TEST_F(VehicleDrive, ASmallAngleStaysAndTheVehicleGoesStraight)
{
    Vehicle* jeep = Placed();
    jeep->SetSpeed(10.0f);
    const float angle = 1.25f * 0.02f;  // exactly 1.25 x the steer speed: no centring
    jeep->SetSteerAngle(angle);
    const float x = jeep->GetPosition().x;
    const float z = jeep->GetPosition().z;
    Frames(jeep, 10, [](Vehicle* v) { v->driveState = VEHICLE_DRIVE_FORWARD; });
    EXPECT_EQ(jeep->GetSteerAngle(), angle);
    EXPECT_NEAR(jeep->GetPosition().x, x, 1e-4f);
    EXPECT_LT(jeep->GetPosition().z, z - 10.0f);
    // The wheels show the angle left.
    EXPECT_FLOAT_EQ(jeep->frontAxleNode->GetChild(0)->GetRotation().x, -angle);
    EXPECT_FLOAT_EQ(jeep->steeringWheelNode->GetRotation().y, -(1.5707964f / 0.5f) * angle);

    // A larger angle centres itself.
    jeep->SetSteerAngle(0.3f);
    Frames(jeep, 3, [](Vehicle* v) { v->driveState = VEHICLE_DRIVE_FORWARD; });
    EXPECT_LT(jeep->GetSteerAngle(), 0.3f);
    EXPECT_GT(jeep->GetSteerAngle(), 0.0f);
    delete jeep;
}

TEST_F(VehicleDrive, SteeringTurnsTheRigidFrameToEitherSide)
{
    for (bool left : {true, false}) {
        SCOPED_TRACE(left ? "left" : "right");
        Vehicle* jeep = Placed();
        jeep->SetSpeed(8.0f);
        Frames(jeep, 60, [left](Vehicle* v) {
            v->driveState = VEHICLE_DRIVE_FORWARD;
            if (left)
                v->SteerLeft();
            else
                v->SteerRight();
        });
        EXPECT_FLOAT_EQ(std::fabs(jeep->GetSteerAngle()), 0.5f);  // held at the maximum angle
        EXPECT_EQ(jeep->GetSteerAngle() < 0.0f, left);
        // The heading turned away from -z, to the side of the steering; the frame stays rigid.
        const Vector3 d = jeep->GetDirection();
        EXPECT_GT(std::fabs(d.x), 0.5f);
        EXPECT_NEAR(Distance(jeep->points[2], jeep->points[3]), 9.0f, 1e-3f);
        EXPECT_NEAR(Distance(jeep->points[0], jeep->points[2]), 18.0f, 1e-3f);
        EXPECT_NEAR(Distance(jeep->points[1], jeep->points[3]), 18.0f, 1e-3f);
        // The body rolls against the turn, within 0.1.
        const float roll = jeep->bodyNode->GetRotation().x;
        EXPECT_LE(std::fabs(roll), 0.1f);
        EXPECT_NE(roll, 0.0f);
        EXPECT_EQ(roll < 0.0f, left);
        // The steer rate slows with speed: between the final steer and the steer speed.
        EXPECT_NEAR(jeep->steerRate, 0.02f + (0.005f - 0.02f) * 8.0f / 15.0f, 1e-5f);
        delete jeep;
    }
    // Both sides turn by the same amount.
}

TEST_F(VehicleDrive, SettlingOnTheGroundKeepsTrackWheelbaseAndDiagonal)
{
    struct Pattern {
        float h[4];
    };
    const Pattern patterns[] = {
        {{1.0f, 0.5f, 2.0f, 1.0f}},  // rear anchor P2, front anchor P0
        {{0.5f, 1.0f, 2.0f, 1.0f}},  // rear anchor P2, front by the diagonal from P2
        {{1.0f, 0.5f, 1.0f, 2.0f}},  // rear anchor P3, front by the diagonal from P3
        {{0.5f, 1.0f, 1.0f, 2.0f}},  // rear anchor P3, front anchor P1
        {{1.0f, 1.0f, 1.0f, 1.0f}},  // ties count as P2 and P0
    };
    const float diagonal = std::sqrt(18.0f * 18.0f + 9.0f * 9.0f);
    for (const Pattern& pattern : patterns) {
        SCOPED_TRACE(testing::Message() << pattern.h[0] << " " << pattern.h[1] << " " << pattern.h[2] << " "
                                        << pattern.h[3]);
        Vehicle* jeep = Placed();
        jeep->SettleOnGround(pattern.h[0], pattern.h[1], pattern.h[2], pattern.h[3]);
        const D3DXVECTOR3* p = jeep->points;
        const bool rearP2 = pattern.h[2] >= pattern.h[3];
        EXPECT_FLOAT_EQ(p[rearP2 ? 2 : 3].y, pattern.h[rearP2 ? 2 : 3]);
        EXPECT_NEAR(Distance(p[2], p[3]), 9.0f, 1e-4f);
        EXPECT_NEAR(Distance(p[0], p[2]), 18.0f, 0.05f);
        EXPECT_NEAR(Distance(p[1], p[3]), 18.0f, 0.05f);
        EXPECT_NEAR(Distance(p[1], p[2]), diagonal, 0.05f);
        EXPECT_NEAR(Distance(p[0], p[3]), diagonal, 0.05f);
        const D3DXVECTOR3 mean = (p[0] + p[1] + p[2] + p[3]) * 0.25f;
        EXPECT_NEAR(Distance(jeep->centre, mean), 0.0f, 1e-4f);
        delete jeep;
    }
}

TEST_F(VehicleDrive, MissingDivisorsKeepTheVehicleStillInsteadOfNaN)
{
    const size_t logStart = actor_test::LogSize();
    Vehicle* vehicle = new Vehicle;
    vehicle->name.Assign("bare");
    for (const char* line :
         {"anim frame root jeep_frame", "anim body frame : xbody jeep_body : xo",
          "anim front frame : xfront jeep_axle : xo", "anim rear frame : xrear jeep_axle : xo",
          "anim hub0 front : xw0 jeep_holder : xo", "anim hub1 front : xw1 jeep_holder : xo",
          "anim wheel0 hub0 : xwheel jeep_wheel : xo", "anim wheel1 hub1 : xwheel jeep_wheel : xo",
          "anim wheel2 rear : xw0 jeep_wheel : xo", "anim wheel3 rear : xw1 jeep_wheel : xo", "engineforce 60"})
        ASSERT_TRUE(ApplyLine(*vehicle, line)) << line;
    vehicle->Update();
    EXPECT_EQ(weapon_test::LogCount(logStart, "WARNING: vehicle bare lacks mass"), 1);
    vehicle->occupantCount = 1;
    for (int i = 0; i < 50; ++i) {
        vehicle->ControlForward();
        vehicle->SteerLeft();
        vehicle->Update();
    }
    for (const D3DXVECTOR3& p : vehicle->points)
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
    EXPECT_TRUE(std::isfinite(vehicle->GetPosition().x));
    EXPECT_TRUE(std::isfinite(vehicle->steerRate));
    EXPECT_EQ(vehicle->GetSpeed(), 0.0f);
    EXPECT_TRUE(std::isfinite(vehicle->bodyNode->GetRotation().x));
    EXPECT_EQ(weapon_test::LogCount(logStart, "WARNING: vehicle bare lacks mass"), 1);  // warned once
    delete vehicle;
}

TEST_F(VehicleDrive, AModelWithoutItsAxlesIsReportedAndStaysPut)
{
    const size_t logStart = actor_test::LogSize();
    Vehicle* vehicle = new Vehicle;
    vehicle->name.Assign("boxy");
    ASSERT_TRUE(ApplyLine(*vehicle, "anim frame root jeep_frame"));
    vehicle->SetPosition({5.0f, 3.0f, 5.0f});
    vehicle->occupantCount = 1;
    vehicle->Update();
    vehicle->ControlForward();
    vehicle->Update();
    EXPECT_EQ(weapon_test::LogCount(logStart, "WARNING: vehicle boxy has no body and axles"), 1);
    EXPECT_EQ(vehicle->bodyNode, nullptr);
    EXPECT_FLOAT_EQ(vehicle->GetPosition().x, 5.0f);
    delete vehicle;
}

}  // namespace
