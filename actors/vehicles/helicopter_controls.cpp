// The helicopter's flight controls: take-off and climb, forward, backward and sideways flight, the
// banked turn and the turn toward the view, sinking and landing, and the decays of each tilt. Every
// control waits until the rotor has wound up.
//
// A "max_angle" of 0 would put the banked turn's pivot at an infinite distance: the helicopter then
// turns about itself (its turn rate is 0 then anyway).
#include "actors/vehicles/vehicle_kind_motion.h"
#include "actors/vehicles/helicopter.h"

#include <cmath>

#include "core/frame_view.h"
#include "world/nodes/graph_node.h"

namespace {

constexpr float kThird = 0.3333333f;

}  // namespace

void Helicopter::AddControl(u32_t bit)
{
    controlState = controlState == HELI_IDLE ? bit : controlState | bit;
}

void Helicopter::MoveBy(const D3DXVECTOR3& offset)
{
    groundPosition += offset;
    for (D3DXVECTOR3& point : points)
        point += offset;
}

void Helicopter::ComputePush()
{
    push = VehiclePush(up, tiltedUp);
}

void Helicopter::FlyForward()
{
    const float frameTime = g_frameView.frameTime;
    pitchAngle = VehicleRise(pitchAngle, max_rot_z, frameTime * kThird);
    tiltedUp = VehicleTilt(up, side, -pitchAngle);
    ComputePush();
    MoveBy(push * (rotspeed * frameTime));
}

void Helicopter::FlyBackward()
{
    const float frameTime = g_frameView.frameTime;
    pitchAngle = VehicleFall(pitchAngle, -max_rot_z, frameTime * kThird);
    tiltedUp = VehicleTilt(up, side, -pitchAngle);
    ComputePush();
    MoveBy(push * (rotspeed * frameTime));
}

void Helicopter::FlySideways(bool left)
{
    const float frameTime = g_frameView.frameTime;
    bankAngle = left ? VehicleRise(bankAngle, max_rot_x, frameTime * kThird)
                     : VehicleFall(bankAngle, -max_rot_x, frameTime * kThird);
    tiltedUp = VehicleTilt(up, direction, bankAngle);
    ComputePush();
    MoveBy(push * (strafespeed * frameTime));
}

void Helicopter::BankedTurn(bool left)
{
    const float angle = VehicleSwingStep(left, flyingForward, turnRate, max_angle, max_rot_z, &bankAngle, &pitchAngle);
    const D3DXVECTOR3 pivot = VehicleSwingPivot(groundPosition, side, wheelbase, max_angle, left);
    direction = VehicleTurned(direction, up, angle);
    const D3DXMATRIX about = VehicleTurnPoints(*this, pivot, up, angle);
    const D3DXVECTOR3 from = groundPosition;
    D3DXVec3TransformCoord(&groundPosition, &from, &about);
}

void Helicopter::Climb()
{
    const float frameTime = g_frameView.frameTime;
    verticalSpeed = VehicleRise(verticalSpeed, max_y, frameTime);
    liftVector = up * (lift * verticalSpeed);
    MoveBy(liftVector * frameTime);
}

void Helicopter::Descend()
{
    const float frameTime = g_frameView.frameTime;
    verticalSpeed = VehicleFall(verticalSpeed, -max_y, frameTime);
    liftVector = up * (lift * verticalSpeed);
    MoveBy(liftVector * frameTime);
}

void Helicopter::UpdateAltitude()
{
    altitude = std::fabs(groundPosition.y - VehicleTerrainHeight(groundPosition.x, groundPosition.z));
}

bool Helicopter::CanLand() const
{
    float heights[4];
    float highest = -1e30f;
    for (int i = 0; i < 4; ++i) {
        heights[i] = VehicleTerrainHeight(points[i].x, points[i].z);
        highest = std::fmax(highest, heights[i]);
    }
    for (int i = 0; i < 4; ++i) {
        if (heights[i] == highest)
            return points[i].y - highest <= 5.0f;
    }
    return false;
}

void Helicopter::LevelBody()
{
    if (bodyNode)
        bodyNode->SetRotation({0.0f, 0.0f, 0.0f});
}

void Helicopter::LandByControl()
{
    airborne = false;
    takeoffPending = true;
    speed = (controlState & (HELI_FORWARD | HELI_BACKWARD)) ? rotspeed * 0.1f : 0.0f;
    altitude = 0.0f;
    slow = 1;
    LevelBody();
    bankAngle = pitchAngle = 0.0f;
    verticalSpeed = 1.0f;
}

void Helicopter::DecayPitch()
{
    if (std::fabs(pitchAngle) <= 0.001f) {
        pitchAngle = 0.0f;
        tiltedUp = up;
        return;
    }
    pitchAngle *= 0.97f;
    tiltedUp = VehicleTilt(up, side, -pitchAngle);
    ComputePush();
    MoveBy(push * (rotspeed * g_frameView.frameTime));
}

void Helicopter::DecayBank()
{
    if (std::fabs(bankAngle) <= 0.000001f) {
        bankAngle = 0.0f;
        tiltedUp = up;
        return;
    }
    bankAngle *= 0.96f;
    tiltedUp = VehicleTilt(up, direction, bankAngle);
    ComputePush();
    MoveBy(push * (strafespeed * g_frameView.frameTime));
}

void Helicopter::DecayVertical()
{
    if (std::fabs(verticalSpeed) <= 0.000001f) {
        verticalSpeed = 0.0f;
        return;
    }
    verticalSpeed *= 0.97f;
    if (CanLand()) {
        takeoffPending = true;
        airborne = false;
        speed = 0.0f;
        altitude = 0.0f;
        LevelBody();
        bankAngle = pitchAngle = verticalSpeed = 0.0f;
        return;
    }
    liftVector = up * (lift * verticalSpeed);
    MoveBy(liftVector * g_frameView.frameTime);
    UpdateAltitude();
}

// ---- the controls ----

void Helicopter::ControlForward()
{
    if (!RotorReady())
        return;
    if (!airborne) {
        Vehicle::ControlForward();
        return;
    }
    flyingForward = true;
    AddControl(HELI_FORWARD);
    FlyForward();
}

void Helicopter::ControlBackward()
{
    if (!RotorReady())
        return;
    if (!airborne) {
        Vehicle::ControlBackward();
        return;
    }
    flyingForward = false;
    AddControl(HELI_BACKWARD);
    FlyBackward();
}

void Helicopter::SteerLeft()
{
    if (!RotorReady())
        return;
    if (!airborne) {
        Vehicle::SteerLeft();
        return;
    }
    controlState |= HELI_LEFT;
    if (controlState & (HELI_FORWARD | HELI_BACKWARD))
        BankedTurn(true);
    else
        FlySideways(true);
}

void Helicopter::SteerRight()
{
    if (!RotorReady())
        return;
    if (!airborne) {
        Vehicle::SteerRight();
        return;
    }
    controlState |= HELI_RIGHT;
    if (controlState & (HELI_FORWARD | HELI_BACKWARD))
        BankedTurn(false);
    else
        FlySideways(false);
}

void Helicopter::ControlLeanLeft()
{
    if (!RotorReady())
        return;
    if (altitude >= HELI_CEILING) {
        altitude = HELI_CEILING;
        return;
    }
    airborne = true;
    AddControl(HELI_VERTICAL);
    Climb();
    UpdateAltitude();
    slow = 0;
}

void Helicopter::ControlLeanRight()
{
    if (!RotorReady() || !airborne)
        return;
    if (CanLand()) {
        LandByControl();
        return;
    }
    AddControl(HELI_VERTICAL);
    Descend();
    UpdateAltitude();
}

void Helicopter::SteerBy(bool negative, float /*amount*/)
{
    if (!RotorReady())
        return;
    const float frameTime = g_frameView.frameTime;
    const bool banks = pitchAngle != 0.0f && !(controlState & (HELI_LEFT | HELI_RIGHT));
    float d;
    if (negative) {
        if (banks)
            bankAngle = VehicleRise(bankAngle, 2.0f * max_angle, 0.5f * frameTime);
        d = -0.48f * frameTime;
    } else {
        if (banks)
            bankAngle = VehicleFall(bankAngle, -2.0f * max_angle, 0.5f * frameTime);
        d = 0.48f * frameTime;
    }
    controlState |= HELI_VIEW_TURN;
    VehicleTurnHeading(*this, up, d);
}
