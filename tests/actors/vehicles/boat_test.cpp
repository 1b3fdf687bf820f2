// The sample boat over N frames of a fixed frame time: pitch and glide, steering about the pivot (only
// with a drive key, reversed when driving backward), the turn toward the view, the parameters, and a
// model or definition that would divide by zero.
#include <gtest/gtest.h>

#include <cmath>

#include "actors/vehicles/boat.h"
#include "game/view/player_view.h"
#include "tests/actors/vehicles/vehicle_kinds_support.h"
#include "world/nodes/graph_node.h"

namespace {

using vehicle_test::kFrameTime;
using vehicle_test::TurnBetween;
using weapon_test::ApplyLine;

class BoatControls : public vehicle_test::FlatLandFixture {
protected:
    // The sample boat placed, with a driver counted.
    Boat* Placed()
    {
        Boat* boat = vehicle_test::SampleKind<Boat>("boat", {300.0f, 0.0f, 300.0f});
        boat->Update();
        boat->occupantCount = 1;
        return boat;
    }
    static float Distance(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
    {
        const D3DXVECTOR3 d = a - b;
        return D3DXVec3Length(&d);
    }
};

TEST_F(BoatControls, IsPlacedFromItsBowAndSternMarks)
{
    Boat* boat = Placed();
    EXPECT_EQ(boat->GetTypeId(), OBJECT_TYPE_VEHICLE);
    EXPECT_NEAR(boat->wheelbase, 20.0f, 1e-4f);
    EXPECT_NEAR(boat->forward.z, -1.0f, 1e-5f);  // the bow lies at -z
    EXPECT_NEAR(boat->side.x, 1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(boat->turnRate, std::sin(0.1f * 0.348f) * 300.0f / 20.0f);
    EXPECT_FLOAT_EQ(boat->position.x, 300.0f);
    EXPECT_EQ(boat->controlState, BOAT_IDLE);
    // The orientation's rows hold side, up and the negated heading across.
    const D3DXMATRIX& o = *boat->orientation;
    const D3DXVECTOR3 rows[3] = {
        {o.m[0][0], o.m[0][1], o.m[0][2]}, {o.m[1][0], o.m[1][1], o.m[1][2]}, {o.m[2][0], o.m[2][1], o.m[2][2]}};
    for (int r = 0; r < 3; ++r) {
        const float s[3] = {boat->side.x, boat->side.y, boat->side.z};
        const float u[3] = {boat->up.x, boat->up.y, boat->up.z};
        const float f[3] = {boat->forward.x, boat->forward.y, boat->forward.z};
        EXPECT_EQ(rows[r].x, s[r]);
        EXPECT_EQ(rows[r].y, u[r]);
        EXPECT_EQ(rows[r].z, -f[r]);
    }
    delete boat;
}

TEST_F(BoatControls, ThePitchClimbsAtAThirdPerSecondThenGlidesAtThreePercentPerFrame)
{
    Boat* boat = Placed();
    const D3DXVECTOR3 start = boat->position;
    struct Step {
        int frames;
        float pitch;  // after the frames, holding forward
    };
    // 0.3 is reached after 45 frames of 0.02 s x 1/3.
    const Step steps[] = {{1, kFrameTime * 0.3333333f}, {14, 15 * kFrameTime * 0.3333333f}, {60, 0.3f}};
    for (const Step& step : steps) {
        for (int i = 0; i < step.frames; ++i) {
            boat->ControlForward();
            boat->Update();
        }
        EXPECT_NEAR(boat->pitchAngle, step.pitch, 2e-6f) << step.frames;
        EXPECT_EQ(boat->controlState, BOAT_IDLE);  // reset by every update
    }
    EXPECT_EQ(boat->pitchAngle, 0.3f);  // held at the limit
    EXPECT_FALSE(boat->slow);
    // The hull moved ahead (toward -z) and stays on the surface.
    EXPECT_LT(boat->position.z, start.z - 10.0f);
    EXPECT_NEAR(boat->position.x, start.x, 1e-3f);
    EXPECT_EQ(boat->GetPosition().y, 0.0f);
    // The body node shows the pitch as its third angle.
    EXPECT_EQ(boat->bodyNode->GetRotation().z, boat->pitchAngle);

    // Released: 3 % less pitch each frame, and the boat glides on.
    float expected = boat->pitchAngle;
    float z = boat->position.z;
    for (int i = 0; i < 10; ++i) {
        boat->Update();
        expected *= 0.97f;
        EXPECT_FLOAT_EQ(boat->pitchAngle, expected);
        EXPECT_LT(boat->position.z, z);
        z = boat->position.z;
    }
    // Until the pitch is at most 0.001: then it is 0 and the boat is still.
    for (int i = 0; i < 300; ++i)
        boat->Update();
    EXPECT_EQ(boat->pitchAngle, 0.0f);
    const D3DXVECTOR3 still = boat->position;
    boat->Update();
    EXPECT_EQ(Distance(still, boat->position), 0.0f);
    EXPECT_TRUE(boat->slow);
    delete boat;
}

TEST_F(BoatControls, AnEmptyBoatKeepsItsPitchAndBank)
{
    Boat* boat = Placed();
    for (int i = 0; i < 10; ++i) {
        boat->ControlForward();
        boat->SteerLeft();
        boat->Update();
    }
    boat->occupantCount = 0;
    const float pitch = boat->pitchAngle;
    const float bank = boat->bankAngle;
    for (int i = 0; i < 10; ++i)
        boat->Update();
    EXPECT_EQ(boat->pitchAngle, pitch);
    EXPECT_EQ(boat->bankAngle, bank);
    delete boat;
}

TEST_F(BoatControls, SteeringNeedsADriveKeyAndReversesWhenDrivingBackward)
{
    struct Case {
        const char* what;
        int drive;  // 0 none, 1 forward, -1 backward
        bool left;
        float turnSign;  // sign of the heading change; 0 none
    };
    const Case cases[] = {
        {"left alone", 0, true, 0.0f},     {"right alone", 0, false, 0.0f},   {"forward left", 1, true, -1.0f},
        {"forward right", 1, false, 1.0f}, {"backward left", -1, true, 1.0f}, {"backward right", -1, false, -1.0f},
    };
    constexpr int kFrames = 30;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Boat* boat = Placed();
        const D3DXVECTOR3 heading = boat->forward;
        for (int i = 0; i < kFrames; ++i) {
            if (c.drive > 0)
                boat->ControlForward();
            else if (c.drive < 0)
                boat->ControlBackward();
            if (c.left)
                boat->SteerLeft();
            else
                boat->SteerRight();
            boat->Update();
        }
        const float turned = TurnBetween(heading, boat->forward);
        if (c.turnSign == 0.0f) {
            EXPECT_EQ(turned, 0.0f);
            EXPECT_EQ(boat->bankAngle, 0.0f);
            EXPECT_EQ(boat->pitchAngle, 0.0f);
        } else {
            // turnRate per second, in the case's sense; the bank leans into the turn.
            EXPECT_NEAR(turned, c.turnSign * kFrames * kFrameTime * boat->turnRate, 1e-4f);
            EXPECT_NEAR(std::fabs(boat->bankAngle), kFrames * kFrameTime, 1e-4f);
            EXPECT_EQ(boat->bankAngle > 0.0f, c.left);
        }
        delete boat;
    }
}

TEST_F(BoatControls, TheBankStopsAtTwiceMaxAngleAndDecaysByFourPercent)
{
    Boat* boat = Placed();
    for (int i = 0; i < 60; ++i) {
        boat->ControlForward();
        boat->SteerLeft();
        boat->Update();
    }
    EXPECT_EQ(boat->bankAngle, 2.0f * boat->max_angle);
    EXPECT_EQ(boat->bodyNode->GetRotation().x, boat->bankAngle);
    const float bank = boat->bankAngle;
    boat->Update();
    EXPECT_FLOAT_EQ(boat->bankAngle, bank * 0.96f);
    delete boat;
}

TEST_F(BoatControls, AViewTurnNeitherMovesNorPitchesIt)
{
    for (float yaw : {0.2f, -0.2f}) {
        SCOPED_TRACE(yaw);
        Boat* boat = Placed();
        boat->occupantCount = 0;  // nothing decays
        boat->pitchAngle = 0.1f;
        boat->mouseSteering = 1;
        boat->selfCentringAllowed = 1;
        GameSetYawPitch(yaw, 0.0f);
        const D3DXVECTOR3 at = boat->position;
        const D3DXVECTOR3 heading = boat->forward;
        constexpr int kFrames = 20;
        for (int i = 0; i < kFrames; ++i)
            boat->Update();
        EXPECT_EQ(boat->pitchAngle, 0.1f);
        EXPECT_EQ(Distance(at, boat->position), 0.0f);
        // A negative yaw turns by -0.48 per second, a positive one by +0.48.
        EXPECT_NEAR(TurnBetween(heading, boat->forward), (yaw < 0.0f ? -0.48f : 0.48f) * kFrames * kFrameTime, 1e-4f);
        // The turn is refused without the mouse steering.
        boat->mouseSteering = 0;
        const D3DXVECTOR3 turned = boat->forward;
        boat->Update();
        EXPECT_EQ(TurnBetween(turned, boat->forward), 0.0f);
        GameSetYawPitch(0.0f, 0.0f);
        delete boat;
    }
}

TEST_F(BoatControls, ParametersTakeOneValueEach)
{
    Boat boat;
    EXPECT_TRUE(ApplyLine(boat, "SPEED 12.5"));
    EXPECT_EQ(boat.pushSpeed, 12.5f);
    EXPECT_TRUE(ApplyLine(boat, "speed fast"));  // not a number: 0 and taken
    EXPECT_EQ(boat.pushSpeed, 0.0f);
    for (const char* notFinite : {"rotspeed inf", "rotspeed nan", "rotspeed -infinity"}) {
        boat.rotspeed = 1.0f;
        EXPECT_TRUE(ApplyLine(boat, notFinite));
        EXPECT_EQ(boat.rotspeed, 0.0f) << notFinite;
    }
    EXPECT_TRUE(ApplyLine(boat, "max_rot_z 0.5"));
    EXPECT_EQ(boat.max_rot_z, 0.5f);
    EXPECT_FALSE(ApplyLine(boat, "rotspeed 1 2"));
    EXPECT_FALSE(ApplyLine(boat, "max_rot_x 0.1"));
    EXPECT_TRUE(ApplyLine(boat, "maxspeed 5"));  // the vehicle's own
    EXPECT_EQ(boat.GetMaxSpeed(), 5.0f);
    EXPECT_STREQ(boat.GetObjectFolder(), "object\\vehicles\\");
    EXPECT_STREQ(boat.GetComponentFolder(), "component\\vehicle\\");
    boat.SetGearChangeArmed(false);
    EXPECT_FALSE(boat.gearChangeArmed);
}

TEST_F(BoatControls, AZeroMaxAngleOrWheelbaseIsWarnedOfAndTurnsInPlace)
{
    struct Case {
        const char* what;
        const char* extra;
        bool sternOnBow;  // bow and stern marks on one spot: wheelbase 0
    };
    const Case cases[] = {{"max_angle 0", "max_angle 0", false}, {"no wheelbase", "rotspeed 300", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t logStart = actor_test::LogSize();
        Boat* boat = new Boat;
        boat->name.Assign("flat");
        for (const char* line : {"anim frame root boat_frame", "anim body frame : xbody boat_hull : xo",
                                 "anim bow frame : xbow jeep_holder : xo", "anim bowhub bow : xwheel jeep_holder : xo",
                                 "anim bowmark bowhub : xwheel jeep_mark : xo"})
            ASSERT_TRUE(ApplyLine(*boat, line)) << line;
        ASSERT_TRUE(ApplyLine(*boat, c.sternOnBow ? "anim stern frame : xbow jeep_holder : xo"
                                                  : "anim stern frame : xstern jeep_holder : xo"));
        ASSERT_TRUE(ApplyLine(*boat, "anim sternmark stern : xwheel jeep_mark : xo"));
        ASSERT_TRUE(ApplyLine(*boat, c.extra));
        boat->SetPosition({300.0f, 0.0f, 300.0f});
        boat->Update();
        boat->occupantCount = 1;
        for (int i = 0; i < 40; ++i) {
            boat->ControlForward();
            boat->SteerLeft();
            boat->Update();
        }
        EXPECT_EQ(weapon_test::LogCount(logStart, "WARNING: boat flat has no wheelbase or a max_angle of 0"), 1);
        EXPECT_TRUE(std::isfinite(boat->position.x) && std::isfinite(boat->position.z));
        EXPECT_TRUE(std::isfinite(boat->forward.x) && std::isfinite(boat->turnRate));
        EXPECT_EQ(boat->turnRate, 0.0f);
        delete boat;
    }
}

}  // namespace
