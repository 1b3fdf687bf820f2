// The caterpillar: parameters, the pivot turn and the view turn below speed 10, and its own update
// with the track wheels and the hull's lean.
//
// A model without wheelbase, or a definition without maximum speed or steer speed, would divide by
// zero in the lean, the steer rate and the centring: each is warned of at the first placement, and
// the lean then stays 0, the steer rate at the steer speed and the centring still.
#include "actors/vehicles/caterpillar.h"

#include "core/frame_view.h"
#include "core/strings/text_case.h"

#include <cmath>

#include "actors/vehicles/vehicle_kind_motion.h"
#include "core/log.h"
#include "map/registry/world_registry.h"
#include "world/nodes/graph_node.h"

namespace {

void AddSpin(GraphNode* node, float d)
{
    Vector3 angles = node->GetRotation();
    angles.y += d;
    node->SetRotation(angles);
}

}  // namespace

Caterpillar::Caterpillar()
{
    slow = 0;
}

Caterpillar::~Caterpillar()
{
    controlState = CATERPILLAR_IDLE;
    turnStep = 0.0f;
    rotspeed = 0.0f;
    movedFlag = false;
}

bool Caterpillar::SetParam(const char* keyword, const EngineString* values, int count)
{
    if (Vehicle::SetParam(keyword, values, count))
        return true;
    if (!keyword || count != 1)
        return false;
    if (CompareNoCase(keyword, "max_angle") == 0) {
        turnStep = VehicleReadFloat(values[0]);
        return true;
    }
    if (CompareNoCase(keyword, "rotspeed") == 0) {
        rotspeed = VehicleReadFloat(values[0]);
        return true;
    }
    // "max_rot_x" is listed for caterpillars too, but no field takes it.
    return false;
}

void Caterpillar::ControlForward()
{
    controlState = CATERPILLAR_FORWARD;
    Vehicle::ControlForward();
}

void Caterpillar::ControlBackward()
{
    controlState = CATERPILLAR_BACKWARD;
    Vehicle::ControlBackward();
}

void Caterpillar::PivotTurn(bool left)
{
    movedFlag = true;
    // Before the first placement there is no normal axis to turn about.
    if (D3DXVec3Length(&normalAxis) == 0.0f)
        return;
    const float angle = left ? -turnStep : turnStep;
    direction = VehicleTurned(direction, normalAxis, angle);
    VehicleTurnPoints(*this, groundPosition, normalAxis, angle);
}

void Caterpillar::TurnTowardView(bool negative)
{
    if (D3DXVec3Length(&normalAxis) == 0.0f)
        return;
    const float d = (negative ? -0.48f : 0.48f) * g_frameView.frameTime;
    VehicleTurnHeading(*this, normalAxis, d);
    movedFlag = true;
}

void Caterpillar::SteerLeft()
{
    if (speed < CATERPILLAR_PIVOT_SPEED)
        PivotTurn(true);
    else
        Steer(true, steerRate, 0.0f);
    controlState |= CATERPILLAR_TURNING;
}

void Caterpillar::SteerRight()
{
    if (speed < CATERPILLAR_PIVOT_SPEED)
        PivotTurn(false);
    else
        Steer(false, steerRate, 0.0f);
    controlState |= CATERPILLAR_TURNING;
}

void Caterpillar::SteerBy(bool negative, float amount)
{
    if (speed < CATERPILLAR_PIVOT_SPEED)
        TurnTowardView(negative);
    else
        Steer(negative, amount, 0.0f);
    controlState |= CATERPILLAR_TURNING;
}

void Caterpillar::PlaceOnTracks()
{
    const Vector3 at = StandOnGroundAtStart();

    GraphNode* top = GetRootNode();
    GraphNode* frame = VehicleNodeHasChildren(top, 1) ? top->GetChild(0) : nullptr;
    GraphNode* front = VehicleNodeHasChildren(frame, 3) ? frame->GetChild(1) : nullptr;
    GraphNode* rear = front ? frame->GetChild(2) : nullptr;
    if (!VehicleHasWheels(front, rear)) {
        Log("WARNING: caterpillar %s has no body, axles and track wheels in its model\n", name.Text());
        bodyNode = nullptr;
        return;
    }
    TakeWheelLayout(frame->GetChild(0), front, rear);
    groundPosition = {at.x, at.y, at.z};
    if (wheelbase <= 0.0f || maxSpeed <= 0.0f || steerSpeed <= 0.0f)
        Log("WARNING: caterpillar %s lacks wheel spacing, maxspeed or steerspeed: it will not lean or "
            "self-centre\n",
            name.Text());
    SettleOnTerrain();
    ComputeAxes();
    BuildOrientation();
    direction = -lengthAxis;
}

void Caterpillar::Drive()
{
    const float frameTime = g_frameView.frameTime;
    if (occupantCount != 0) {
        const float yaw = g_frameView.yaw;
        if (std::fabs(yaw) > 0.000001f && selfCentringAllowed)
            SteerBy(yaw < 0.0f, mouseSteerAmount);
        if (controlState & CATERPILLAR_IDLE)
            Coast();
        if (!(controlState & CATERPILLAR_TURNING)) {
            if (std::fabs(steerAngle) > 1.25f * steerSpeed)
                Steer(steerAngle > 0.0f, steerRate, steerRate != 0.0f ? 0.05f / steerRate : 0.0f);
            else
                Move();
        }
    } else {
        Coast();
        Move();
    }
    if (speed != 0.0f)
        movedFlag = true;
    SettleOnTerrain();
    if (!firstUpdatePending) {
        ComputeAxes();
        BuildOrientation();
    }
    groundPosition.y = VehicleTerrainHeight(groundPosition.x, groundPosition.z);
    SetPosition({groundPosition.x, groundPosition.y, groundPosition.z});

    const float d = (forwardGear ? -speed : speed) * frameTime * 0.14f;
    AddSpin(frontAxleNode->GetChild(0)->GetChild(0), d);
    AddSpin(rearAxleNode->GetChild(0), d);
    AddSpin(frontAxleNode->GetChild(1)->GetChild(0), -d);
    AddSpin(rearAxleNode->GetChild(1), -d);

    const float lean = wheelbase > 0.0f ? mass * speed * speed * std::sin(steerAngle) / wheelbase * 0.000001f : 0.0f;
    Vector3 angles = bodyNode->GetRotation();
    angles.x = steerAngle > 0.0f ? std::fmin(lean, 0.1f) : std::fmax(lean, -0.1f);
    bodyNode->SetRotation(angles);

    D3DXMATRIX inverse, place;
    D3DXMatrixInverse(&inverse, nullptr, orientation);
    D3DXMatrixTranslation(&place, groundPosition.x, groundPosition.y, groundPosition.z);
    const D3DXMATRIX m = inverse * place;
    if (GraphNode* top = GetRootNode())
        top->SetMatrix(&m.m[0][0]);
    boundsValid = 0;
    controlState = CATERPILLAR_IDLE;
    steerRate = maxSpeed > 0.0f ? steerSpeed + (finalSteer - steerSpeed) * speed / maxSpeed : steerSpeed;
}

void Caterpillar::Update()
{
    if (firstUpdatePending)
        PlaceOnTracks();
    // A model that cannot be placed stays where it stands.
    if (!bodyNode) {
        controlState = CATERPILLAR_IDLE;
        return;
    }
    Drive();
    DynObjectUpdateGrid(this);
    if (movedFlag) {
        InvalidateShadows();
        movedFlag = false;
    }
}
