// The helicopter object: parameters, the rotor wind-up, the first placement, the update on the ground
// (driving with spinning rotors) and in the air (flight, the assemblies, the tilted body), the dust
// effect and the collisions in flight.
//
// A model without wheelbase, or a definition without "max_angle", maximum speed or steer speed,
// would divide by zero in the turn rate, the pivot distance, the steer rate and the centring: each is
// warned of at the first placement and the step concerned then stays still.
#include "actors/vehicles/helicopter.h"

#include "core/frame_view.h"
#include "core/strings/text_case.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "actors/actor.h"
#include "actors/vehicles/vehicle_kind_motion.h"
#include "core/log.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree_query.h"
#include "map/registry/world_registry.h"
#include "scene/plugin_bridges/particle_effects.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

namespace {

constexpr float kParkedTilt = 0.0872665f;  // 5 degrees
constexpr float kParkedDrop = 3.0f;

void AddSpin(GraphNode* node, float d)
{
    Vector3 angles = node->GetRotation();
    angles.y += d;
    node->SetRotation(angles);
}

// Shows mesh number index of the node and hides all its others.
void ShowRotorMesh(GraphNode* node, u32_t index)
{
    const AnimMesh* mesh = node ? node->GetAnimMesh() : nullptr;
    if (!mesh || mesh->frames_c == 0)
        return;
    const u32_t meshCount = node->FrameZeroMeshCount();
    if (index >= meshCount)
        return;
    if (!node->GetMeshSettings())
        node->GrowMeshTables(true);
    MeshSettings* settings = node->GetMeshSettings();
    if (!settings)
        return;
    for (u32_t i = 0; i < meshCount; ++i) {
        const u8_t hidden = i != index;
        if (settings[i].lodTagged) {
            settings[i].lodHidden[0] = hidden;
        } else {
            for (u8_t& flag : settings[i].lodHidden)
                flag = hidden;
        }
    }
}

}  // namespace

Helicopter::Helicopter()
{
    slow = 1;
    speed = 0.0f;
    mass = 0.0f;
    steerAngle = 0.0f;
    mouseSteerAmount = 0.0f;
}

Helicopter::~Helicopter()
{
    airborne = false;
    rotorSpeed = max_rotorspeed = lift = strafespeed = max_angle = max_rot_z = max_rot_x = 0.0f;
    mass = steerAngle = 0.0f;
    controlState = HELI_IDLE;
    flyingForward = true;
    side = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
}

bool Helicopter::SetParam(const char* keyword, const EngineString* values, int count)
{
    if (Vehicle::SetParam(keyword, values, count))
        return true;
    if (!keyword || count != 1)
        return false;
    struct FloatKey {
        const char* name;
        float Helicopter::*field;
    };
    static const FloatKey kKeys[] = {
        {"max_angle", &Helicopter::max_angle},           {"lift", &Helicopter::lift},
        {"strafespeed", &Helicopter::strafespeed},       {"rotspeed", &Helicopter::rotspeed},
        {"max_rotorspeed", &Helicopter::max_rotorspeed}, {"max_rot_z", &Helicopter::max_rot_z},
        {"max_rot_x", &Helicopter::max_rot_x},           {"max_y", &Helicopter::max_y},
        {"framespeed1", &Helicopter::framespeed1},       {"framespeed2", &Helicopter::framespeed2},
    };
    for (const FloatKey& key : kKeys) {
        if (CompareNoCase(keyword, key.name) == 0) {
            this->*key.field = VehicleReadFloat(values[0]);
            return true;
        }
    }
    if (CompareNoCase(keyword, "heli_particle") == 0) {
        // The name's field holds 130 characters: a longer name is cut to them.
        u32_t length = values[0].Length();
        if (length > HELI_EFFECT_NAME_LENGTH) {
            Log("WARNING: heli_particle of %s is longer than %u characters and is cut\n", name.Text(),
                HELI_EFFECT_NAME_LENGTH);
            length = HELI_EFFECT_NAME_LENGTH;
        }
        std::memcpy(effectName, values[0].Text(), length);
        effectName[length] = '\0';
        return true;
    }
    return false;
}

void Helicopter::EnterSeat(Actor* actor)
{
    Vehicle::EnterSeat(actor);
    if (rotorSpeed == 0.0f)
        rotorSpeed = 0.01f;
}

void Helicopter::ComputeAxes()
{
    D3DXVECTOR3 across;
    D3DXVec3Cross(&across, &direction, &up);
    if (D3DXVec3Length(&across) > 0.0f)
        D3DXVec3Normalize(&side, &across);
}

void Helicopter::BuildOrientation()
{
    D3DXMATRIX& m = *orientation;
    D3DXMatrixIdentity(&m);
    const D3DXVECTOR3 columns[3] = {side, up, -direction};
    for (int c = 0; c < 3; ++c) {
        m.m[0][c] = columns[c].x;
        m.m[1][c] = columns[c].y;
        m.m[2][c] = columns[c].z;
    }
}

void Helicopter::WindUpRotor()
{
    if (rotorSpeed < max_rotorspeed)
        rotorSpeed *= 1.02f;
    if (rotorSpeed > max_rotorspeed)
        rotorSpeed = max_rotorspeed;
    if (rotorSpeed < 0.01f)
        rotorSpeed = 0.0f;
}

void Helicopter::PlaceOnPad()
{
    Vector3 at = GetPosition();
    firstUpdatePending = 0;
    boundsValid = 0;
    if (!fly)
        at.y = VehicleTerrainHeight(at.x, at.z);
    DynObjectUpdateGrid(this);

    GraphNode* top = GetRootNode();
    GraphNode* body = VehicleNodeHasChildren(top, 1) ? top->GetChild(0) : nullptr;
    GraphNode* rotors = VehicleNodeHasChildren(body, 3) ? body->GetChild(0) : nullptr;
    GraphNode* front = rotors ? body->GetChild(1) : nullptr;
    GraphNode* rear = rotors ? body->GetChild(2) : nullptr;
    if (!VehicleNodeHasChildren(rotors, 2) || !VehicleHasWheels(front, rear)) {
        Log("WARNING: helicopter %s has no body, rotors and wheels in its model\n", name.Text());
        bodyNode = nullptr;
        return;
    }
    mainRotorNode = rotors->GetChild(0);
    tailRotorNode = rotors->GetChild(1);
    rotorPivot = VehicleReferencePoint(body);
    TakeWheelLayout(body, front, rear);
    if (wheelbase <= 0.0f || std::sin(max_angle) == 0.0f || maxSpeed <= 0.0f || steerSpeed <= 0.0f)
        Log("WARNING: helicopter %s lacks wheel spacing, max_angle, maxspeed or steerspeed: it will not "
            "turn in flight or self-centre\n",
            name.Text());
    turnRate = wheelbase > 0.0f ? std::sin(0.1f * max_angle) * rotspeed / wheelbase : 0.0f;
    Vehicle::ComputeAxes();
    Vehicle::BuildOrientation();
    if (!fly) {
        groundPosition = {at.x, at.y, at.z};
        SetPosition(at);
    }
    const D3DXVECTOR3 ahead = -lengthAxis;
    D3DXVec3Normalize(&direction, &ahead);
}

void Helicopter::SpinRotors(u32_t shownMesh)
{
    ShowRotorMesh(mainRotorNode, shownMesh);
    ShowRotorMesh(tailRotorNode, shownMesh);
    const float d = g_frameView.frameTime * rotorSpeed;
    AddSpin(mainRotorNode, d);
    AddSpin(tailRotorNode, d);
}

void Helicopter::FlyOnGround()
{
    const float frameTime = g_frameView.frameTime;
    if (occupantCount != 0) {
        const float yaw = g_frameView.yaw;
        if (std::fabs(yaw) > 0.000001f && mouseSteering && selfCentringAllowed)
            Vehicle::SteerBy(yaw < 0.0f, mouseSteerAmount);
        if (driveState & VEHICLE_DRIVE_IDLE)
            Coast();
        if (!(driveState & VEHICLE_DRIVE_STEERED)) {
            if (std::fabs(steerAngle) > 1.25f * steerSpeed)
                Steer(steerAngle > 0.0f, steerRate, steerRate != 0.0f ? 0.05f / steerRate : 0.0f);
            else
                Move();
        }
    } else {
        Coast();
        Move();
    }
    CollideWithObjects();
    if ((speed != 0.0f || rotorSpeed != 0.0f) && !fly)
        SettleOnTerrain();
    Vehicle::ComputeAxes();
    Vehicle::BuildOrientation();
    if (!fly) {
        groundPosition.y = VehicleTerrainHeight(groundPosition.x, groundPosition.z);
        SetPosition({groundPosition.x, groundPosition.y, groundPosition.z});
    }
    Vector3 angles = frontAxleNode->GetRotation();
    angles.x = -steerAngle;
    frontAxleNode->SetRotation(angles);
    const float d = (forwardGear ? -speed : speed) * frameTime * 0.14f;
    AddSpin(frontAxleNode->GetChild(0)->GetChild(0), d);
    AddSpin(rearAxleNode->GetChild(0), d);
    AddSpin(frontAxleNode->GetChild(1)->GetChild(0), -d);
    AddSpin(rearAxleNode->GetChild(1), -d);
    SpinRotors(1);

    D3DXMATRIX tilt, inverse, place;
    D3DXMatrixRotationX(&tilt, kParkedTilt);
    D3DXMatrixInverse(&inverse, nullptr, orientation);
    D3DXMatrixTranslation(&place, groundPosition.x, groundPosition.y - kParkedDrop, groundPosition.z);
    const D3DXMATRIX m = tilt * inverse * place;
    if (GraphNode* top = GetRootNode())
        top->SetMatrix(&m.m[0][0]);
    driveState = VEHICLE_DRIVE_IDLE;
    boundsValid = 0;
    steerRate = maxSpeed > 0.0f ? steerSpeed + (finalSteer - steerSpeed) * speed / maxSpeed : steerSpeed;
    slow = speed <= 10.0f;
}

void Helicopter::PlayAssemblies()
{
    const float frameTime = g_frameView.frameTime;
    const struct {
        GraphNode* node;
        float frameSpeed;
    } assemblies[2] = {{frontAxleNode, framespeed1}, {rearAxleNode, framespeed2}};
    for (const auto& assembly : assemblies) {
        const AnimMesh* mesh = assembly.node->GetAnimMesh();
        if (!mesh)
            continue;
        const float last = static_cast<float>(mesh->frames_c) - 2.0f;
        float f = assembly.node->GetFrame();
        if (!modeFlag) {
            if (f < last) {
                f += frameTime * assembly.frameSpeed;
                if (f > last)
                    f = last;
            }
        } else if (f > 0.0f) {
            f -= frameTime * assembly.frameSpeed;
            if (f < 0.0f)
                f = 0.0f;
        }
        assembly.node->SetFrame(f);
    }
}

void Helicopter::FlyInAir()
{
    const float yaw = g_frameView.yaw;
    const bool drivingTurn =
        (controlState & (HELI_FORWARD | HELI_BACKWARD)) && (controlState & (HELI_LEFT | HELI_RIGHT));
    if (std::fabs(yaw) > 0.000001f && mouseSteering && selfCentringAllowed && !drivingTurn)
        SteerBy(yaw < 0.0f, 0.0f);
    Collide();
    ComputeAxes();
    BuildOrientation();
    SetPosition({groundPosition.x, groundPosition.y, groundPosition.z});
    SpinRotors(2);
    PlayAssemblies();
    if (occupantCount != 0) {
        if (!(controlState & (HELI_FORWARD | HELI_BACKWARD)) && pitchAngle != 0.0f)
            DecayPitch();
        if (!(controlState & (HELI_LEFT | HELI_RIGHT | HELI_VIEW_TURN)) && bankAngle != 0.0f)
            DecayBank();
        if (!(controlState & HELI_VERTICAL) && verticalSpeed != 0.0f)
            DecayVertical();
    }
    D3DXMATRIX toPivot, tilt, fromPivot, inverse, place;
    D3DXMatrixTranslation(&toPivot, -rotorPivot.x, -rotorPivot.y, -rotorPivot.z);
    D3DXMatrixRotationYawPitchRoll(&tilt, 0.0f, -pitchAngle, -bankAngle);
    D3DXMatrixTranslation(&fromPivot, rotorPivot.x, rotorPivot.y, rotorPivot.z);
    D3DXMatrixInverse(&inverse, nullptr, orientation);
    D3DXMatrixTranslation(&place, groundPosition.x, groundPosition.y, groundPosition.z);
    const D3DXMATRIX m = toPivot * tilt * fromPivot * inverse * place;
    if (GraphNode* top = GetRootNode())
        top->SetMatrix(&m.m[0][0]);
    boundsValid = 0;
}

void Helicopter::Collide()
{
    // An empty helicopter at rest collides with nothing; its own passengers are never hurt by it.
    if (occupantCount == 0 && speed < 0.01f)
        return;
    PushOutOfObjects((wheelbase + 15.0f) * 0.5f);
}

void Helicopter::Update()
{
    WindUpRotor();
    if (!airborne) {
        if (firstUpdatePending)
            PlaceOnPad();
        // A model that cannot be placed stays where it stands.
        if (!bodyNode)
            return;
        if (rotorSpeed > 5.0f && !effectStarted) {
            effectStarted = true;
            ParticleSpawnEffect(effectName, {groundPosition.x, groundPosition.y, groundPosition.z}, {0.0f, 0.0f, 0.0f});
        }
        FlyOnGround();
        DynObjectUpdateGrid(this);
        if (speed != 0.0f || rotorSpeed != 0.0f)
            InvalidateShadows();
        return;
    }
    if (!bodyNode) {
        controlState = HELI_IDLE;
        return;
    }
    if (takeoffPending) {
        takeoffPending = false;
        direction.y = 0.0f;
        const D3DXVECTOR3 level = direction;
        D3DXVec3Normalize(&direction, &level);
    }
    FlyInAir();
    DynObjectUpdateGrid(this);
    if (controlState != HELI_IDLE || bankAngle != 0.0f || verticalSpeed != 0.0f || pitchAngle != 0.0f)
        InvalidateShadows();
    controlState = HELI_IDLE;
}
