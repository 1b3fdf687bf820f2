#include "game/player/vehicle_control.h"

#include <cmath>

#include "actors/actor.h"
#include "actors/actor_cvars.h"
#include "actors/vehicles/vehicle.h"
#include "actors/weapons/weapon.h"
#include "core/input/actions.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "game/accounts/account_cvars.h"
#include "game/mission/game_messages.h"
#include "game/game_state.h"
#include "game/view/game_view.h"
#include "game/player/player_control.h"
#include "game/player/player_control_state.h"
#include "game/player/player_foot_control.h"
#include "game/view/player_view.h"
#include "game/player/player_weapon.h"
#include "game/view/view_keys.h"
#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "scene/views/camera_angles.h"
#include "scene/render_services.h"
#include "world/nodes/graph_node.h"

VehicleControlState g_vehicleControl;

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr float kTwoOverPi = 0.63661977f;
constexpr float kDegree = 3.14159265f / 180.0f;

bool Released(u8_t action)
{
    return g_input.actionReleased[action] != 0;
}

bool Held(u8_t action)
{
    return g_input.actionDown[action] != 0;
}

void SetLookFactor(float factor)
{
    g_game.mouseLookFactorX = factor;
    g_game.mouseLookFactorY = factor;
}

void SetPositions(const float* at)
{
    GameSetPlayerPos(at);
    float* view = GameGetViewPos();
    for (int i = 0; i < 3; ++i) {
        view[i] = at[i];
        g_vehicleControl.previousPosition[i] = at[i];
    }
}

// A point of the vehicle's frame carried into the world by its root node's matrix.
D3DXVECTOR3 VehiclePointToWorld(const Vehicle* vehicle, const Vector3& local)
{
    D3DXVECTOR3 point(local.x, local.y, local.z);
    GraphNode* root = vehicle->GetRootNode();
    if (!root)
        return point;
    D3DXMATRIX world;
    root->UpdateTransform(&world);
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &point, &world);
    return out;
}

// The seat's node: it carries the view, and its own position in the world is the player's.
void FollowSeat(Actor* player, const VehicleSeat* seat)
{
    GraphNode* node = seat ? seat->attachNode : nullptr;
    if (!node)
        return;
    RenderSetCameraObject(node);
    D3DXMATRIX world;
    node->UpdateTransform(&world);
    const Vector3& local = node->GetPosition();
    const D3DXVECTOR3 point(local.x, local.y, local.z);
    D3DXVECTOR3 at;
    D3DXVec3TransformCoord(&at, &point, &world);
    const float position[3] = {at.x, at.y, at.z};
    SetPositions(position);
    player->SetPosition({at.x, at.y + kVehicleSeatSoldierLift, at.z});
}

void QueueLeaveSound(Vehicle* vehicle)
{
    if (!vehicle->sound || !vehicle->sound->soundTable)
        return;
    SoundInstance* instance = vehicle->sound->soundTable->Pick(kVehicleLeaveSound, false, 1);
    const float* at = GameGetPlayerPos();
    const Vector3 point = {at[0], at[1], at[2]};
    if (instance && SoundLodForPoint(point) == 0 && SoundTravelDelay(point) == 0)
        QueueTempSound(GetTickCount() + kVehicleLeaveSoundDelayMs, instance->segment, point, false);
}

void LeaveVehicle(Actor* player, Vehicle* vehicle, VehicleSeat* seat)
{
    if (seat && seat->driver)
        QueueLeaveSound(vehicle);
    if (seat) {
        const D3DXVECTOR3 exit = VehiclePointToWorld(vehicle, seat->stepOut);
        const float position[3] = {exit.x, exit.y, exit.z};
        GameSetPlayerPos(position);
        for (int i = 0; i < 3; ++i)
            g_vehicleControl.previousPosition[i] = position[i];
    }
    VehicleControlReleaseSeat(player, vehicle);
    GameShowMessage(as_playername.String(), "messages._gm_vehicle_left");
    SoundResumeAll();
}

// Free look while "zoom" is held; without it the view swings back to straight ahead unless the seat
// keeps a fixed view.
void DriverView(Vehicle* vehicle)
{
    VehicleControlState& s = g_vehicleControl;
    float yaw = GameGetYaw();
    if (Held(ACTION_ZOOM)) {
        vehicle->lookCentring = 0;
    } else if (!vehicle->fixedView) {
        vehicle->lookCentring = 1;
        if (std::fabs(yaw) > 1e-6f) {
            vehicle->yawChange = std::fabs(yaw - s.lastYaw);
            const float step = kVehicleViewCentringRate * g_frameView.frameTime;
            yaw = yaw > 0.0f ? std::fmax(0.0f, yaw - step) : std::fmin(0.0f, yaw + step);
        }
        yaw = std::fmax(-kHalfPi, std::fmin(kHalfPi, yaw));
        GameSetYaw(yaw);
    } else {
        vehicle->lookCentring = 0;
        return;
    }
    s.lastYaw = GameGetYaw();
    s.lastPitch = GameGetPitch();
}

// The drive keys replace the vehicle's whole drive state, so the steering keys come after them.
void DriverKeys(Vehicle* vehicle)
{
    const bool forward = Held(ACTION_MOVE_FORWARD);
    const bool backward = Held(ACTION_MOVE_BACKWARD);
    const bool left = Held(ACTION_STRAFE_LEFT);
    const bool right = Held(ACTION_STRAFE_RIGHT);
    if (Released(ACTION_MOVE_FORWARD) || Released(ACTION_MOVE_BACKWARD))
        vehicle->SetGearChangeArmed(true);
    vehicle->steeringFree = (left || right) && (forward || backward) ? 0 : 1;
    if (forward != backward) {
        if (forward)
            vehicle->ControlForward();
        else
            vehicle->ControlBackward();
    }
    if (left != right) {
        if (left)
            vehicle->SteerLeft();
        else
            vehicle->SteerRight();
    }
    const bool leanLeft = Held(ACTION_LEAN_LEFT);
    const bool leanRight = Held(ACTION_LEAN_RIGHT);
    if (leanLeft != leanRight) {
        if (leanLeft)
            vehicle->ControlLeanLeft();
        else
            vehicle->ControlLeanRight();
    }
    DriverView(vehicle);
    if (gbalwaysrun.Bool())
        vehicle->ControlFast();
}

// A passenger looks through the weapon's sight while "zoom" is held, and shoots from the seat.
void PassengerWeapon(Actor* player)
{
    PlayerControlState& s = g_playerControl;
    s.firedThisFrame = 0;
    float fieldOfView = kNormalFieldOfView;
    if (Held(ACTION_ZOOM) && PlayerZoomPossible(player)) {
        fieldOfView = PlayerFiringUnit(PlayerWeaponInHand(player))->zoom * kDegree;
        SetLookFactor(fieldOfView * s.baseLookFactor * kTwoOverPi);
    } else {
        SetLookFactor(s.baseLookFactor);
    }
    GameSetFieldOfView(fieldOfView);
    if (fieldOfView != s.lastAppliedFieldOfView) {
        ShadowsUpdateDynamic();
        s.lastAppliedFieldOfView = fieldOfView;
    }
    float aimYaw = GameGetYaw();
    float aimPitch = GameGetPitch();
    float aimRoll = 0.0f;
    CameraGetYawPitch(&aimYaw, &aimPitch, &aimRoll);
    // The fire step itself refuses while the object-use mode is on or on a ladder.
    PlayerFireStep(aimYaw, aimPitch);
    // Single shots from a seat hold no trigger lock, as at a mounted weapon.
    s.triggerLockArmed = 0;
    s.triggerLockCounter = 0;
    if (Held(ACTION_CYCLE_MODE)) {
        if (Weapon* weapon = PlayerWeaponInHand(player))
            weapon->NextFireMode();
    }
    if (PlayerWeaponViewBusy())
        g_input.actionDown[ACTION_ZOOM] = 0;
    PlayerReloadStep();
}

}  // namespace

void VehicleControlUpdate()
{
    Vehicle* vehicle = g_game.playerVehicle;
    Actor* player = PlayerActor();
    if (!vehicle || !player)
        return;
    VehicleSeat* seat = player->seat;

    SetLookFactor(GameGetFieldOfView() * g_playerControl.baseLookFactor * kTwoOverPi);
    g_hudInput.flags.quickMode = 0;
    GameSetFieldOfView(kNormalFieldOfView);

    FollowSeat(player, seat);

    if (Released(ACTION_DROP_WEAPON) && vehicle->GetSpeed() < kVehicleLeaveSpeed) {
        LeaveVehicle(player, vehicle, seat);
        return;
    }

    if (seat && seat->driver)
        DriverKeys(vehicle);
    else
        PassengerWeapon(player);

    NightVisionKeyUpdate();
    SatelliteKeyUpdate();
    ObjectivesKeyUpdate();
    NavigationKeyUpdate();
}

void VehicleControlReleaseSeat(Actor* player, Vehicle* vehicle)
{
    vehicle->LeaveSeat(player);
    GameSetPlayerVehicle(nullptr);
    GameUnlinkActorBody(player);
    player->inVehicle = false;
    player->vehicle = nullptr;
    player->seat = nullptr;
    RenderSetCameraObject(nullptr);
}
