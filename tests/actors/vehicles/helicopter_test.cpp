// The sample helicopter over N frames of a fixed frame time: the rotor wind-up that gates every
// control, take-off, climb and the ceiling, landing by the control and by the vertical decay, forward
// flight with the banked turn about its pivot, sideways flight, the turn rate, the rotor meshes and
// the gear assemblies, the dust effect and its flag, the name of the effect, and collisions in
// flight that spare the helicopter's own occupants.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "actors/actor.h"
#include "actors/vehicles/helicopter.h"
#include "game/mission_objects/object_factory.h"
#include "game/view/player_view.h"
#include "tests/actors/vehicles/vehicle_kinds_support.h"
#include "world/nodes/graph_node.h"

namespace {

using vehicle_test::kFrameTime;
using vehicle_test::TurnBetween;
using weapon_test::ApplyLine;

constexpr Vector3 kPad = {300.0f, 0.0f, 300.0f};

class HelicopterFlight : public vehicle_test::FlatLandFixture {
protected:
    // The sample helicopter placed, its rotor at full speed unless asked otherwise, a pilot counted.
    Helicopter* Placed(bool woundUp = true)
    {
        Helicopter* heli = vehicle_test::SampleKind<Helicopter>("heli", kPad);
        heli->Update();
        if (woundUp)
            heli->rotorSpeed = heli->max_rotorspeed;
        heli->occupantCount = 1;
        return heli;
    }
    // Frames of the controls, each followed by the update.
    template <class Controls>
    static void Frames(Helicopter* heli, int count, Controls controls)
    {
        for (int i = 0; i < count; ++i) {
            controls(heli);
            heli->Update();
        }
    }
    // Up and away from the ground: lean_left held for the frames.
    static void TakeOff(Helicopter* heli, int frames = 120)
    {
        Frames(heli, frames, [](Helicopter* h) { h->ControlLeanLeft(); });
        ASSERT_TRUE(heli->airborne);
        ASSERT_FALSE(heli->CanLand());
    }
    static bool Shown(GraphNode* node, u32_t mesh)
    {
        return node->GetMeshSettings() && !node->GetMeshSettings()[mesh].lodHidden[0];
    }
};

TEST_F(HelicopterFlight, TheRotorWindsUpInAbout466FramesAndEveryControlWaitsForIt)
{
    Helicopter* heli = Placed(false);
    EXPECT_FLOAT_EQ(heli->rotorSpeed, 0.01f * 1.02f);
    int frames = 1;
    while (heli->rotorSpeed < 100.0f && frames < 1000) {
        heli->ControlLeanLeft();
        heli->ControlForward();
        heli->SteerLeft();
        heli->SteerBy(true, 0.0f);
        EXPECT_FALSE(heli->airborne);
        EXPECT_EQ(heli->GetSpeed(), 0.0f);
        EXPECT_EQ(heli->GetSteerAngle(), 0.0f);
        heli->Update();
        ++frames;
    }
    EXPECT_NEAR(frames, 466, 1);
    EXPECT_EQ(heli->rotorSpeed, 100.0f);  // held at the maximum
    heli->ControlForward();
    EXPECT_GT(heli->GetSpeed(), 0.0f);  // on the ground it drives as a vehicle
    heli->ControlLeanLeft();
    EXPECT_TRUE(heli->airborne);
    delete heli;
}

TEST_F(HelicopterFlight, WithoutMaxRotorspeedTheControlsActAtOnceAndTheRotorStandsStill)
{
    Helicopter* heli = vehicle_test::SampleKind<Helicopter>("heli", kPad);
    ASSERT_TRUE(ApplyLine(*heli, "max_rotorspeed 0"));
    heli->Update();
    EXPECT_EQ(heli->rotorSpeed, 0.0f);
    EXPECT_FALSE(heli->effectStarted);
    heli->occupantCount = 1;
    heli->ControlLeanLeft();
    EXPECT_TRUE(heli->airborne);
    EXPECT_EQ(heli->mainRotorNode->GetRotation().y, 0.0f);
    delete heli;
}

TEST_F(HelicopterFlight, LeanLeftClimbsBelowFiveHundredAndReleasingItNearTheGroundLands)
{
    Helicopter* heli = Placed();
    // Below the ceiling the vertical speed grows by 1 per second up to max_y.
    struct Step {
        int frames;
        float verticalSpeed;
    };
    const Step steps[] = {{1, kFrameTime}, {9, 10 * kFrameTime}, {300, 5.0f}};
    float height = heli->groundPosition.y;
    for (const Step& step : steps) {
        Frames(heli, step.frames, [](Helicopter* h) { h->ControlLeanLeft(); });
        EXPECT_NEAR(heli->verticalSpeed, step.verticalSpeed, 1e-5f) << step.frames;
        EXPECT_GT(heli->groundPosition.y, height);
        EXPECT_NEAR(heli->altitude, heli->groundPosition.y, 1e-3f);  // flat land at 0
        height = heli->groundPosition.y;
    }
    EXPECT_TRUE(heli->airborne);
    EXPECT_FALSE(heli->slow);
    // At 500 or more above the terrain it climbs no more.
    heli->altitude = 520.0f;
    heli->ControlLeanLeft();
    EXPECT_EQ(heli->altitude, 500.0f);
    EXPECT_EQ(heli->groundPosition.y, height);
    delete heli;

    // A short hop: released within 5 of the ground, the vertical decay lands it at once.
    heli = Placed();
    Frames(heli, 3, [](Helicopter* h) { h->ControlLeanLeft(); });
    ASSERT_TRUE(heli->airborne);
    heli->Update();
    EXPECT_FALSE(heli->airborne);
    EXPECT_TRUE(heli->takeoffPending);
    EXPECT_EQ(heli->verticalSpeed, 0.0f);
    EXPECT_EQ(heli->altitude, 0.0f);
    delete heli;
}

TEST_F(HelicopterFlight, LeanRightSinksAndLandsWithATenthOfRotspeedWhenMovingAhead)
{
    struct Case {
        const char* what;
        bool forward;
        float speed;
    };
    const Case cases[] = {{"hovering", false, 0.0f}, {"moving ahead", true, 10.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Helicopter* heli = Placed();
        TakeOff(heli);
        int frames = 0;
        while (heli->airborne && frames < 2000) {
            if (c.forward)
                heli->ControlForward();
            heli->ControlLeanRight();
            if (heli->airborne)
                heli->Update();
            ++frames;
        }
        ASSERT_FALSE(heli->airborne);
        EXPECT_FLOAT_EQ(heli->GetSpeed(), c.speed);
        EXPECT_EQ(heli->verticalSpeed, 1.0f);
        EXPECT_TRUE(heli->slow);
        EXPECT_EQ(heli->pitchAngle, 0.0f);
        EXPECT_EQ(heli->bankAngle, 0.0f);
        const Vector3 body = heli->bodyNode->GetRotation();
        EXPECT_TRUE(body.x == 0.0f && body.y == 0.0f && body.z == 0.0f);
        // Nothing more happens on the ground.
        heli->ControlLeanRight();
        EXPECT_FALSE(heli->airborne);
        delete heli;
    }
}

TEST_F(HelicopterFlight, ForwardFlightPitchesAtAThirdPerSecondAndTheDecaysRightIt)
{
    Helicopter* heli = Placed();
    TakeOff(heli);
    const D3DXVECTOR3 start = heli->groundPosition;
    Frames(heli, 10, [](Helicopter* h) { h->ControlForward(); });
    EXPECT_NEAR(heli->pitchAngle, 10 * kFrameTime * 0.3333333f, 1e-5f);
    EXPECT_TRUE(heli->flyingForward);
    // Ahead along the direction (-z), level.
    EXPECT_LT(heli->groundPosition.z, start.z);
    float pitch = heli->pitchAngle;
    heli->Update();
    EXPECT_FLOAT_EQ(heli->pitchAngle, pitch * 0.97f);
    // Backward flight pitches the other way.
    Frames(heli, 60, [](Helicopter* h) { h->ControlBackward(); });
    EXPECT_EQ(heli->pitchAngle, -heli->max_rot_z);
    EXPECT_FALSE(heli->flyingForward);
    delete heli;
}

TEST_F(HelicopterFlight, StrafeWithForwardBanksAboutTheLeftPivotAndWithoutSlidesSideways)
{
    Helicopter* heli = Placed();
    TakeOff(heli);
    // One frame by hand: the turn rotates the helicopter about the pivot on its left side.
    heli->ControlForward();
    const float k = heli->wheelbase / std::sin(heli->max_angle);
    const D3DXVECTOR3 pivot = heli->groundPosition + heli->side * k;
    const D3DXVECTOR3 heading = heli->direction;
    heli->SteerLeft();
    const D3DXVECTOR3 offset = heli->groundPosition - pivot;
    EXPECT_NEAR(D3DXVec3Length(&offset), k, 1e-3f);
    EXPECT_NEAR(TurnBetween(heading, heli->direction), -kFrameTime * heli->turnRate, 1e-6f);
    heli->Update();
    // Held: the bank climbs at 1 per second to twice max_angle.
    Frames(heli, 80, [](Helicopter* h) {
        h->ControlForward();
        h->SteerLeft();
    });
    EXPECT_EQ(heli->bankAngle, 2.0f * heli->max_angle);
    EXPECT_EQ(heli->pitchAngle, heli->max_rot_z);
    delete heli;

    // Without a drive key: a slide along the side, banked up to max_rot_x, the heading kept.
    heli = Placed();
    TakeOff(heli);
    const D3DXVECTOR3 from = heli->groundPosition;
    const D3DXVECTOR3 facing = heli->direction;
    const D3DXVECTOR3 side = heli->side;
    Frames(heli, 100, [](Helicopter* h) { h->SteerLeft(); });
    EXPECT_EQ(heli->bankAngle, heli->max_rot_x);
    EXPECT_NEAR(TurnBetween(facing, heli->direction), 0.0f, 1e-6f);
    const D3DXVECTOR3 moved = heli->groundPosition - from;
    const float along = D3DXVec3Dot(&moved, &side);
    EXPECT_GT(std::fabs(along), 10.0f);
    EXPECT_NEAR(moved.z, 0.0f, 1e-2f);  // not ahead
    // The right key slides the other way.
    const float alongLeft = along;
    Frames(heli, 200, [](Helicopter* h) { h->SteerRight(); });
    const D3DXVECTOR3 back = heli->groundPosition - from;
    EXPECT_LT(D3DXVec3Dot(&back, &side) * alongLeft, alongLeft * alongLeft);
    delete heli;
}

TEST_F(HelicopterFlight, TheViewTurnsItInTheAirAndBanksOnlyWhilePitched)
{
    Helicopter* heli = Placed();
    TakeOff(heli);
    heli->mouseSteering = 1;
    heli->selfCentringAllowed = 1;
    GameSetYawPitch(0.2f, 0.0f);
    const D3DXVECTOR3 heading = heli->direction;
    const D3DXVECTOR3 at = heli->groundPosition;
    Frames(heli, 10, [](Helicopter*) {});
    EXPECT_NEAR(TurnBetween(heading, heli->direction), 0.48f * 10 * kFrameTime, 1e-4f);
    EXPECT_EQ(heli->bankAngle, 0.0f);
    EXPECT_NEAR(heli->groundPosition.x, at.x, 1e-3f);
    EXPECT_NEAR(heli->groundPosition.z, at.z, 1e-3f);
    heli->pitchAngle = 0.2f;
    heli->SteerBy(false, 0.0f);
    EXPECT_FLOAT_EQ(heli->bankAngle, -0.5f * kFrameTime);
    GameSetYawPitch(0.0f, 0.0f);
    delete heli;
}

TEST_F(HelicopterFlight, InFlightTheBodyTiltsAboutTheRotorPivot)
{
    Helicopter* heli = Placed();
    TakeOff(heli);
    heli->ControlForward();
    heli->SteerLeft();
    heli->Update();
    ASSERT_NE(heli->pitchAngle, 0.0f);
    ASSERT_NE(heli->bankAngle, 0.0f);
    // Rows of the orientation: side, up and the negated direction across.
    const D3DXMATRIX& o = *heli->orientation;
    EXPECT_EQ(o.m[0][0], heli->side.x);
    EXPECT_EQ(o.m[1][1], heli->up.y);
    EXPECT_EQ(o.m[2][2], -heli->direction.z);
    // translation(-pivot) x YPR(0, -pitch, -bank) x translation(pivot) x inverse(orientation) x
    // translation(ground)
    const D3DXVECTOR3& p = heli->rotorPivot;
    const D3DXVECTOR3& g = heli->groundPosition;
    D3DXMATRIX toPivot, tilt, fromPivot, inverse, place;
    D3DXMatrixTranslation(&toPivot, -p.x, -p.y, -p.z);
    D3DXMatrixRotationYawPitchRoll(&tilt, 0.0f, -heli->pitchAngle, -heli->bankAngle);
    D3DXMatrixTranslation(&fromPivot, p.x, p.y, p.z);
    D3DXMatrixInverse(&inverse, nullptr, heli->orientation);
    D3DXMatrixTranslation(&place, g.x, g.y, g.z);
    const D3DXMATRIX expected = toPivot * tilt * fromPivot * inverse * place;
    D3DXMATRIX root;
    heli->GetRootNode()->UpdateTransform(&root);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(root.m[r][c], expected.m[r][c], 1e-4f) << r << c;
    EXPECT_NE(p.y, 0.0f);  // the middle of the body's box, not its origin
    delete heli;
}

TEST_F(HelicopterFlight, TurnRateComesFromMaxAngleRotspeedAndTheWheelbase)
{
    Helicopter* heli = vehicle_test::SampleKind<Helicopter>("heli", kPad);
    ASSERT_TRUE(ApplyLine(*heli, "max_angle 0.5"));
    ASSERT_TRUE(ApplyLine(*heli, "rotspeed 10"));
    heli->Update();
    EXPECT_NEAR(heli->wheelbase, 5.0f, 1e-4f);
    EXPECT_NEAR(heli->turnRate, 0.0999583f, 1e-6f);
    delete heli;

    // A new helicopter has no turn rate nor rotspeed until the definition gives them.
    Helicopter bare;
    EXPECT_EQ(bare.turnRate, 0.0f);
    EXPECT_EQ(bare.rotspeed, 0.0f);
}

TEST_F(HelicopterFlight, AZeroMaxAngleIsWarnedOfAndTheTurnStaysFinite)
{
    const size_t logStart = actor_test::LogSize();
    Helicopter* heli = vehicle_test::SampleKind<Helicopter>("heli", kPad);
    ASSERT_TRUE(ApplyLine(*heli, "max_angle 0"));
    heli->Update();
    EXPECT_EQ(weapon_test::LogCount(logStart, "WARNING: helicopter heli lacks wheel spacing, max_angle"), 1);
    heli->rotorSpeed = heli->max_rotorspeed;
    heli->occupantCount = 1;
    TakeOff(heli);
    Frames(heli, 20, [](Helicopter* h) {
        h->ControlForward();
        h->SteerLeft();
    });
    EXPECT_TRUE(std::isfinite(heli->groundPosition.x) && std::isfinite(heli->groundPosition.z));
    for (const D3DXVECTOR3& p : heli->points)
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.z));
    delete heli;
}

TEST_F(HelicopterFlight, RotorMeshesAndGearAssembliesFollowTheMode)
{
    Helicopter* heli = Placed();
    heli->Update();
    EXPECT_TRUE(Shown(heli->mainRotorNode, 1));
    EXPECT_FALSE(Shown(heli->mainRotorNode, 2));
    EXPECT_FALSE(Shown(heli->tailRotorNode, 0));
    const float spin = heli->mainRotorNode->GetRotation().y;
    TakeOff(heli);
    EXPECT_FALSE(Shown(heli->mainRotorNode, 1));
    EXPECT_TRUE(Shown(heli->mainRotorNode, 2));
    EXPECT_TRUE(Shown(heli->tailRotorNode, 2));
    EXPECT_GT(heli->mainRotorNode->GetRotation().y, spin);
    // The mode flag starts true: the gear stays at frame 0.
    EXPECT_EQ(heli->frontAxleNode->GetFrame(), 0.0f);
    heli->ToggleMode();
    Frames(heli, 4, [](Helicopter*) {});
    EXPECT_NEAR(heli->frontAxleNode->GetFrame(), 4 * kFrameTime * heli->framespeed1, 1e-4f);
    Frames(heli, 100, [](Helicopter*) {});
    EXPECT_EQ(heli->frontAxleNode->GetFrame(), 8.0f);  // one before the last of its ten frames
    EXPECT_EQ(heli->rearAxleNode->GetFrame(), 8.0f);
    heli->ToggleMode();
    Frames(heli, 100, [](Helicopter*) {});
    EXPECT_EQ(heli->frontAxleNode->GetFrame(), 0.0f);
    delete heli;
}

TEST_F(HelicopterFlight, TheDustStartsOnceAndAgainAfterTheGameClearsTheFlag)
{
    Helicopter* heli = Placed(false);
    DynObjectAdd(heli);
    heli->rotorSpeed = 4.0f;
    heli->Update();
    EXPECT_FALSE(heli->effectStarted);  // wound up to 4.08 only
    heli->rotorSpeed = 5.0f;
    heli->Update();  // 5.1
    EXPECT_TRUE(heli->effectStarted);
    GameClearVehicleAuxFlags();
    EXPECT_FALSE(heli->effectStarted);
    heli->Update();
    EXPECT_TRUE(heli->effectStarted);
    DynObjectRemove(heli);
    delete heli;
}

TEST_F(HelicopterFlight, TheEffectNameIsCutTo130CharactersAndTheDetailStepAnimates)
{
    Helicopter heli;
    EXPECT_TRUE(ApplyLine(heli, "heli_particle heli_dust"));
    EXPECT_STREQ(heli.effectName, "heli_dust");
    const std::string longName(300, 'd');
    EXPECT_TRUE(ApplyLine(heli, "heli_particle " + longName));
    EXPECT_EQ(std::string(heli.effectName), longName.substr(0, 130));
    EXPECT_FALSE(ApplyLine(heli, "heli_particle a b"));
    EXPECT_FALSE(ApplyLine(heli, "speed 4"));
    EXPECT_TRUE(ApplyLine(heli, "LIFT 3"));
    EXPECT_EQ(heli.lift, 3.0f);
    // Animated while near the camera (level-of-detail step below 2), whatever "animate" says.
    heli.lodLevel = 1;
    EXPECT_TRUE(heli.IsAnimated());
    heli.lodLevel = 2;
    EXPECT_FALSE(heli.IsAnimated());
}

TEST_F(HelicopterFlight, InFlightItHurtsWhatIsUnderItButNotItsOwnOccupants)
{
    struct Case {
        const char* what;
        bool occupied;
        bool hurts;
    };
    const Case cases[] = {{"occupied", true, true}, {"empty and at rest", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Helicopter* heli = Placed();
        heli->occupantCount = 0;
        DynObjectAdd(heli);
        Actor* pilot = Soldier({330.0f, 0.0f, 330.0f}, "pilot");
        Actor* passenger = Soldier({330.0f, 0.0f, 340.0f}, "passenger");
        Actor* under = Soldier({kPad.x, 0.0f, kPad.z + 2.0f}, "under");
        if (c.occupied) {
            pilot->TakeItem(heli);
            passenger->TakeItem(heli);
            ASSERT_EQ(heli->occupantCount, 2);
            Frames(heli, 1, [](Helicopter* h) { h->ControlLeanLeft(); });
        } else {
            // Lifted by hand: nobody at the controls.
            heli->airborne = true;
            Frames(heli, 1, [](Helicopter*) {});
        }
        EXPECT_TRUE(heli->airborne);
        EXPECT_EQ(under->isDead, c.hurts);
        if (c.hurts) {
            EXPECT_FLOAT_EQ(under->GetHealth(), 100.0f - 1000.0f);
        }
        EXPECT_FALSE(pilot->isDead);
        EXPECT_FALSE(passenger->isDead);
        EXPECT_FLOAT_EQ(passenger->GetHealth(), 100.0f);
        if (c.occupied) {
            pilot->LeaveVehicle();
            passenger->LeaveVehicle();
        }
        DynObjectRemove(heli);
        delete heli;
        for (Actor* soldier : {pilot, passenger, under}) {
            DynObjectRemove(soldier);
            soldier->DetachAI();
            delete soldier;
        }
    }
}

}  // namespace
