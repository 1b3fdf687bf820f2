// The boat: parameters, the drive and steering controls, the turn toward the view, gliding and the
// bank decay, and its own update that places it on the water.
//
// A boat whose model gives no wheelbase, or whose "max_angle" is 0, would divide by zero in the turn
// rate and the pivot distance: it is warned of at the first placement and then turns in place
// instead.
#include "actors/vehicles/boat.h"

#include "actors/vehicles/vehicle_kind_motion.h"

#include "core/frame_view.h"
#include "core/strings/text_case.h"

#include <cmath>
#include <cstdio>

#include "core/log.h"
#include "map/registry/world_registry.h"
#include "world/nodes/graph_node.h"
#include "world/objects/shadow_object.h"

namespace {

constexpr float kThird = 0.3333333f;

}  // namespace

Boat::Boat()
{
    slow = 1;
    forwardGear = 1;
    wheelbase = 0.0f;
    D3DXMatrixIdentity(orientation);
}

Boat::~Boat()
{
    controlState = BOAT_IDLE;
    up = tiltedUp = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    if (orientation)
        D3DXMatrixIdentity(orientation);
}

bool Boat::SetParam(const char* keyword, const EngineString* values, int count)
{
    if (Vehicle::SetParam(keyword, values, count))
        return true;
    if (!keyword || count != 1)
        return false;
    float* field = nullptr;
    if (CompareNoCase(keyword, "speed") == 0)
        field = &pushSpeed;
    else if (CompareNoCase(keyword, "rotspeed") == 0)
        field = &rotspeed;
    else if (CompareNoCase(keyword, "max_angle") == 0)
        field = &max_angle;
    else if (CompareNoCase(keyword, "max_rot_z") == 0)
        field = &max_rot_z;
    if (!field)
        return false;
    *field = VehicleReadFloat(values[0]);
    return true;
}

void Boat::ComputeAxes()
{
    D3DXVECTOR3 across;
    D3DXVec3Cross(&across, &forward, &up);
    if (D3DXVec3Length(&across) > 0.0f)
        D3DXVec3Normalize(&side, &across);
}

void Boat::BuildOrientation()
{
    D3DXMATRIX& m = *orientation;
    D3DXMatrixIdentity(&m);
    const D3DXVECTOR3 columns[3] = {side, up, -forward};
    for (int c = 0; c < 3; ++c) {
        m.m[0][c] = columns[c].x;
        m.m[1][c] = columns[c].y;
        m.m[2][c] = columns[c].z;
    }
}

void Boat::TiltAndPush(float factor)
{
    tiltedUp = VehicleTilt(up, side, -pitchAngle);
    const float length = D3DXVec3Length(&tiltedUp);
    float cosine = length > 0.0f ? D3DXVec3Dot(&tiltedUp, &up) / length : 1.0f;
    cosine = cosine > 1.0f ? 1.0f : (cosine < -1.0f ? -1.0f : cosine);
    slow = std::acos(cosine) < 0.1f;
    push = VehiclePush(up, tiltedUp);
    position += push * (factor * g_frameView.frameTime);
}

void Boat::ControlForward()
{
    controlState = BOAT_FORWARD;
    forwardGear = 1;
    pitchAngle = VehicleRise(pitchAngle, max_rot_z, g_frameView.frameTime * kThird);
    TiltAndPush(pushSpeed);
}

void Boat::ControlBackward()
{
    controlState = BOAT_BACKWARD;
    forwardGear = 0;
    pitchAngle = VehicleFall(pitchAngle, -max_rot_z, g_frameView.frameTime * kThird);
    TiltAndPush(pushSpeed);
}

void Boat::SwingAboutPivot(bool left)
{
    if (!(controlState & (BOAT_FORWARD | BOAT_BACKWARD)))
        return;
    controlState |= left ? BOAT_LEFT : BOAT_RIGHT;
    const float angle =
        VehicleSwingStep(left, forwardGear != 0, turnRate, max_angle, max_rot_z, &bankAngle, &pitchAngle);
    const D3DXMATRIX r = VehicleRotationAbout(VehicleSwingPivot(position, side, wheelbase, max_angle, left), up, angle);
    forward = VehicleTurned(forward, up, angle);
    const D3DXVECTOR3 at = position;
    D3DXVec3TransformCoord(&position, &at, &r);
}

void Boat::SteerLeft()
{
    SwingAboutPivot(true);
}

void Boat::SteerRight()
{
    SwingAboutPivot(false);
}

void Boat::SteerBy(bool negative, float /*amount*/)
{
    const float frameTime = g_frameView.frameTime;
    float heading = std::atan2(forward.x, forward.z);
    if (negative) {
        bankAngle = VehicleRise(bankAngle, 2.0f * max_angle, 0.5f * frameTime);
        heading -= 0.48f * frameTime;
        controlState |= BOAT_LEFT;
    } else {
        bankAngle = VehicleFall(bankAngle, -2.0f * max_angle, 0.5f * frameTime);
        heading += 0.48f * frameTime;
        controlState |= BOAT_RIGHT;
    }
    forward.x = std::sin(heading);
    forward.z = std::cos(heading);
    ComputeAxes();
    BuildOrientation();
}

void Boat::Glide()
{
    if (std::fabs(pitchAngle) <= 0.001f) {
        pitchAngle = 0.0f;
        tiltedUp = up;
        return;
    }
    pitchAngle *= 0.97f;
    TiltAndPush(rotspeed);
}

void Boat::DecayBank()
{
    if (std::fabs(bankAngle) <= 0.000001f)
        bankAngle = 0.0f;
    else
        bankAngle *= 0.96f;
}

void Boat::PlaceOnWater()
{
    const Vector3 at = StandOnGroundAtStart();

    GraphNode* top = GetRootNode();
    GraphNode* frame = VehicleNodeHasChildren(top, 1) ? top->GetChild(0) : nullptr;
    if (!VehicleNodeHasChildren(frame, 3) || !VehicleNodeHasChildren(frame->GetChild(1), 1) ||
        !VehicleNodeHasChildren(frame->GetChild(1)->GetChild(0), 1) || !VehicleNodeHasChildren(frame->GetChild(2), 1)) {
        Log("WARNING: boat %s has no body and axles in its model\n", name.Text());
        bodyNode = nullptr;
        return;
    }
    bodyNode = frame->GetChild(0);
    frontAxleNode = frame->GetChild(1);
    rearAxleNode = frame->GetChild(2);
    GraphNode* bow = frontAxleNode->GetChild(0)->GetChild(0);
    const D3DXVECTOR3 p = VehicleReferencePoint(bow);
    D3DXMATRIX bowMatrix, sternMatrix;
    bow->UpdateTransform(&bowMatrix);
    rearAxleNode->GetChild(0)->UpdateTransform(&sternMatrix);
    D3DXVECTOR3 a, b;
    D3DXVec3TransformCoord(&a, &p, &bowMatrix);
    D3DXVec3TransformCoord(&b, &p, &sternMatrix);
    const D3DXVECTOR3 along = a - b;
    wheelbase = D3DXVec3Length(&along);
    if (wheelbase > 0.0f)
        D3DXVec3Normalize(&forward, &along);
    else
        forward = D3DXVECTOR3(0.0f, 0.0f, -1.0f);
    position = D3DXVECTOR3(at.x, at.y, at.z);
    if (wheelbase <= 0.0f || std::sin(max_angle) == 0.0f)
        Log("WARNING: boat %s has no wheelbase or a max_angle of 0: it turns in place\n", name.Text());
    turnRate = wheelbase > 0.0f ? std::sin(0.1f * max_angle) * rotspeed / wheelbase : 0.0f;
    ComputeAxes();
    BuildOrientation();
}

void Boat::MoveOnWater()
{
    const float yaw = g_frameView.yaw;
    const bool drivingTurn =
        (controlState & (BOAT_FORWARD | BOAT_BACKWARD)) && (controlState & (BOAT_LEFT | BOAT_RIGHT));
    if (std::fabs(yaw) > 0.000001f && mouseSteering && selfCentringAllowed && !drivingTurn)
        SteerBy(yaw < 0.0f, 0.0f);
    ComputeAxes();
    BuildOrientation();
    position.y = VehicleTerrainHeight(position.x, position.z);
    SetPosition({position.x, position.y, position.z});
    Vector3 angles = bodyNode->GetRotation();
    angles.x = bankAngle;
    angles.z = pitchAngle;
    bodyNode->SetRotation(angles);
    if (occupantCount != 0) {
        if (!(controlState & (BOAT_FORWARD | BOAT_BACKWARD)) && pitchAngle != 0.0f)
            Glide();
        if (!(controlState & (BOAT_LEFT | BOAT_RIGHT)) && bankAngle != 0.0f)
            DecayBank();
    }
    D3DXMATRIX inverse, place;
    D3DXMatrixInverse(&inverse, nullptr, orientation);
    D3DXMatrixTranslation(&place, position.x, position.y, position.z);
    const D3DXMATRIX m = inverse * place;
    if (GraphNode* top = GetRootNode())
        top->SetMatrix(&m.m[0][0]);
    boundsValid = 0;
}

void Boat::Update()
{
    if (firstUpdatePending)
        PlaceOnWater();
    // A model that cannot be placed stays where it stands.
    if (!bodyNode) {
        controlState = BOAT_IDLE;
        return;
    }
    MoveOnWater();
    DynObjectUpdateGrid(this);
    if (!(controlState & BOAT_IDLE))
        InvalidateShadows();
    controlState = BOAT_IDLE;
}
