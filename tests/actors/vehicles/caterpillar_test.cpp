// The sample tank over N frames of a fixed frame time: the pivot turn by a fixed step per frame below
// speed 10 and steering from 10 on, the view turn, the track wheels and the hull's lean, the
// parameters, and a model or definition that would divide by zero.
#include <gtest/gtest.h>

#include <cmath>

#include "actors/vehicles/caterpillar.h"
#include "core/frame_view.h"
#include "game/view/player_view.h"
#include "tests/actors/vehicles/vehicle_kinds_support.h"
#include "world/nodes/graph_node.h"

namespace {

using vehicle_test::TurnBetween;
using weapon_test::ApplyLine;

class CaterpillarControls : public vehicle_test::FlatLandFixture {
protected:
    Caterpillar* Placed()
    {
        Caterpillar* tank = vehicle_test::SampleKind<Caterpillar>("tank", {300.0f, 0.0f, 300.0f});
        tank->Update();
        tank->occupantCount = 1;
        return tank;
    }
};

TEST_F(CaterpillarControls, IsPlacedOnItsFourTrackWheels)
{
    Caterpillar* tank = Placed();
    EXPECT_NEAR(tank->wheelbase, 20.0f, 1e-3f);
    EXPECT_NEAR(tank->track, 11.0f, 1e-3f);
    EXPECT_NEAR(tank->GetDirection().z, -1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(tank->turnStep, 0.05f);
    EXPECT_FALSE(tank->slow);
    EXPECT_FLOAT_EQ(tank->GetPosition().x, 300.0f);
    delete tank;
}

TEST_F(CaterpillarControls, PivotsByTurnStepPerFrameBelowTenAndSteersFromTen)
{
    struct Case {
        float speed;
        float frameTime;
        bool left;
        bool pivots;
    };
    const Case cases[] = {
        {0.0f, 0.02f, true, true}, {9.9f, 0.02f, true, true},   {9.9f, 0.05f, false, true},
        {9.9f, 0.01f, true, true}, {10.0f, 0.02f, true, false}, {10.0f, 0.02f, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "speed " << c.speed << " frame " << c.frameTime << " left " << c.left);
        g_frameView.frameTime = c.frameTime;
        Caterpillar* tank = Placed();
        const D3DXVECTOR3 heading = tank->direction;
        const D3DXVECTOR3 ground = tank->groundPosition;
        tank->SetSpeed(c.speed);
        if (c.left)
            tank->SteerLeft();
        else
            tank->SteerRight();
        EXPECT_TRUE(tank->controlState & CATERPILLAR_TURNING);
        const float turned = TurnBetween(heading, tank->direction);
        if (c.pivots) {
            // Whatever the frame time, one step; the ground position stays.
            EXPECT_NEAR(turned, c.left ? -tank->turnStep : tank->turnStep, 1e-5f);
            EXPECT_TRUE(tank->groundPosition.x == ground.x && tank->groundPosition.z == ground.z);
            EXPECT_EQ(tank->GetSteerAngle(), 0.0f);
        } else {
            // The wheels steer instead.
            EXPECT_NE(tank->GetSteerAngle(), 0.0f);
            EXPECT_EQ(tank->GetSteerAngle() < 0.0f, c.left);
        }
        // The contact points turned with the hull: the frame stays rigid.
        const D3DXVECTOR3 across = tank->points[3] - tank->points[2];
        EXPECT_NEAR(D3DXVec3Length(&across), tank->track, 1e-3f);
        tank->Update();
        EXPECT_EQ(tank->controlState, CATERPILLAR_IDLE);
        delete tank;
    }
}

TEST_F(CaterpillarControls, HoldingAPivotKeyTurnsEveryFrameAndTheUpdateKeepsIt)
{
    Caterpillar* tank = Placed();
    const D3DXVECTOR3 heading = tank->direction;
    for (int i = 0; i < 10; ++i) {
        tank->SteerRight();
        tank->Update();
    }
    EXPECT_NEAR(TurnBetween(heading, tank->direction), 10 * tank->turnStep, 1e-4f);
    EXPECT_NEAR(tank->GetPosition().x, 300.0f, 1e-3f);
    delete tank;
}

TEST_F(CaterpillarControls, TheViewTurnsItBelowTenAtPointFourEightPerSecond)
{
    Caterpillar* tank = Placed();
    tank->selfCentringAllowed = 1;
    GameSetYawPitch(-0.3f, 0.0f);
    const D3DXVECTOR3 heading = tank->direction;
    for (int i = 0; i < 25; ++i)
        tank->Update();
    EXPECT_NEAR(TurnBetween(heading, tank->direction), -0.48f * 25 * vehicle_test::kFrameTime, 1e-4f);
    GameSetYawPitch(0.0f, 0.0f);
    delete tank;
}

TEST_F(CaterpillarControls, TheHullLeansAtMostATenthAndNotWhenStraight)
{
    struct Case {
        float speed;
        float angle;
        float lean;
    };
    const Case cases[] = {
        {30.0f, 0.3f, 0.1f},
        {30.0f, -0.3f, -0.1f},
        {30.0f, 0.0f, 0.0f},
        {1.0f, 0.3f, 20000.0f * 1.0f * std::sin(0.3f) / 20.0f * 0.000001f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.speed << " " << c.angle);
        Caterpillar* tank = Placed();
        tank->occupantCount = 0;
        tank->SetSpeed(c.speed);
        tank->SetSteerAngle(c.angle);
        tank->Update();
        const float lean = tank->bodyNode->GetRotation().x;
        EXPECT_LE(std::fabs(lean), 0.1f);
        EXPECT_NEAR(lean, c.lean, 1e-4f);
        delete tank;
    }
}

TEST_F(CaterpillarControls, DrivingTurnsTheTrackWheelsOppositeOnEachSide)
{
    Caterpillar* tank = Placed();
    for (int i = 0; i < 30; ++i) {
        tank->ControlForward();
        tank->Update();
    }
    EXPECT_GT(tank->GetSpeed(), 0.0f);
    EXPECT_LT(tank->GetPosition().z, 300.0f);
    const float left = tank->rearAxleNode->GetChild(0)->GetRotation().y;
    const float right = tank->rearAxleNode->GetChild(1)->GetRotation().y;
    EXPECT_LT(left, 0.0f);  // forward gear: negated
    EXPECT_FLOAT_EQ(left, -right);
    EXPECT_FLOAT_EQ(tank->frontAxleNode->GetChild(0)->GetChild(0)->GetRotation().y, left);
    delete tank;
}

TEST_F(CaterpillarControls, ParametersAndTheRefusedMaxRotX)
{
    Caterpillar tank;
    EXPECT_TRUE(ApplyLine(tank, "max_angle 0.2"));
    EXPECT_EQ(tank.turnStep, 0.2f);
    EXPECT_TRUE(ApplyLine(tank, "ROTSPEED 5"));
    EXPECT_EQ(tank.rotspeed, 5.0f);
    EXPECT_TRUE(ApplyLine(tank, "rotspeed many"));
    EXPECT_EQ(tank.rotspeed, 0.0f);
    EXPECT_FALSE(ApplyLine(tank, "max_rot_x 0.3"));
    EXPECT_FALSE(ApplyLine(tank, "max_angle 1 2"));
    EXPECT_FALSE(ApplyLine(tank, "speed 3"));
}

TEST_F(CaterpillarControls, MissingDivisorsAreWarnedOfAndKeepItFinite)
{
    const size_t logStart = actor_test::LogSize();
    Caterpillar* tank = new Caterpillar;
    tank->name.Assign("bare");
    for (const char* line : {"anim frame root tank_frame", "anim body frame : xbody tank_hull : xo",
                             "anim front frame : xfront tank_axle : xo", "anim rear frame : xfront tank_axle : xo",
                             "anim hub0 front : xw0 jeep_holder : xo", "anim hub1 front : xw1 jeep_holder : xo",
                             "anim wheel0 hub0 : xwheel tank_wheel : xo", "anim wheel1 hub1 : xwheel tank_wheel : xo",
                             "anim wheel2 rear : xw0 tank_wheel : xo", "anim wheel3 rear : xw1 tank_wheel : xo",
                             "mass 100", "engineforce 60"})
        ASSERT_TRUE(ApplyLine(*tank, line)) << line;
    tank->SetPosition({300.0f, 0.0f, 300.0f});
    tank->Update();
    EXPECT_EQ(weapon_test::LogCount(logStart, "WARNING: caterpillar bare lacks wheel spacing"), 1);
    tank->occupantCount = 1;
    tank->SetSpeed(12.0f);
    tank->SetSteerAngle(0.3f);
    for (int i = 0; i < 30; ++i) {
        if (i % 2)
            tank->SteerLeft();
        tank->Update();
    }
    for (const D3DXVECTOR3& p : tank->points)
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
    EXPECT_TRUE(std::isfinite(tank->steerRate));
    EXPECT_TRUE(std::isfinite(tank->bodyNode->GetRotation().x));
    delete tank;
}

}  // namespace
