#include "game/player/mounted_control.h"

#include <cmath>

#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "core/input/actions.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "game/mission/game_messages.h"
#include "game/game_state.h"
#include "game/view/game_view.h"
#include "game/player/player_control.h"
#include "game/player/player_control_state.h"
#include "game/player/player_state.h"
#include "game/view/player_view.h"
#include "game/player/player_weapon.h"
#include "game/player/vehicle_control.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "scene/views/camera_angles.h"
#include "scene/render_services.h"
#include "world/nodes/graph_node.h"

MountedControlState g_mountedControl;

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTwoOverPi = 0.63661977f;
constexpr float kDegree = kPi / 180.0f;

bool Held(u8_t action)
{
    return g_input.actionDown[action] != 0;
}

void LetGo(Actor* player, Weapon* weapon)
{
    if (weapon->mountNode) {
        const u8_t shown[3] = {1, 1, 1};
        weapon->mountNode->SetLodRender(shown);
    }
    weapon->SetRotation(weapon->mountRotation);
    // The mount is free again for whoever takes it next.
    weapon->owner = nullptr;
    weapon->SetDrawn(false);
    player->usesMountedWeapon = false;
    player->lastMountedWeapon = weapon;
    player->mountedWeapon = nullptr;
    GameUnlinkActorBody(player);
    RenderSetCameraObject(nullptr);
    const float* at = GameGetPlayerPos();
    float* view = GameGetViewPos();
    for (int i = 0; i < 3; ++i) {
        view[i] = at[i];
        g_vehicleControl.previousPosition[i] = at[i];
    }
    float yaw = 0.0f, pitch = 0.0f, roll = 0.0f;
    CameraGetYawPitch(&yaw, &pitch, &roll);
    g_playerControl.baseRoll = roll;
    GameSetRoll(roll);
    GameSetYawPitch(yaw + kPi, pitch);
}

void ZoomStep(const Weapon* weapon, bool zoomPossible)
{
    PlayerControlState& s = g_playerControl;
    const float before = GameGetFieldOfView();
    float fieldOfView = kNormalFieldOfView;
    if (Held(ACTION_ZOOM) && zoomPossible)
        fieldOfView = PlayerFiringUnit(weapon)->zoom * kDegree;
    const float factor = before * s.baseLookFactor * kTwoOverPi;
    g_game.mouseLookFactorX = factor;
    g_game.mouseLookFactorY = factor;
    GameSetFieldOfView(fieldOfView);
    if (fieldOfView != before)
        ShadowsUpdateDynamic();
}

}  // namespace

void MountedWeaponControlUpdate()
{
    Actor* player = PlayerActor();
    Weapon* weapon = player && player->usesMountedWeapon ? player->mountedWeapon : nullptr;
    if (!weapon)
        return;
    const bool zoomPossible = !weapon->button2Off;

    if (!g_mountedControl.firstFrameDone) {
        g_hudInput.flags.quickMode = 0;
        g_mountedControl.firstFrameDone = 1;
        g_input.actionDown[ACTION_QUICKMODE] = 0;
        if (weapon->mountNode) {
            const u8_t hidden[3] = {0, 0, 0};
            weapon->mountNode->SetLodRender(hidden);
        }
        RenderSetCameraObject(weapon->mountNode);
        GameSetYaw(GameGetYaw() + kPi);
    }

    g_playerControl.firedThisFrame = 0;
    g_hudInput.flags.quickMode = Held(ACTION_QUICKMODE) ? 1 : 0;

    const Vector3 muzzle = weapon->GetMuzzlePosition();
    float* view = GameGetViewPos();
    view[0] = muzzle.x;
    view[1] = muzzle.y;
    view[2] = muzzle.z;
    player->SetPosition({muzzle.x, muzzle.y - kMountedSoldierDrop, muzzle.z});
    const float yaw = std::fmin(std::fmax(GameGetYaw(), weapon->aimLimits[0]), weapon->aimLimits[1]);
    const float pitch = std::fmin(std::fmax(GameGetPitch(), weapon->aimLimits[2]), weapon->aimLimits[3]);
    GameSetYawPitch(yaw, pitch);

    if (Held(ACTION_FIRE) && Held(ACTION_QUICKMODE) && !PlayerWeaponViewBusy()) {
        LetGo(player, weapon);
        return;
    }

    ZoomStep(weapon, zoomPossible);

    if (!Held(ACTION_QUICKMODE)) {
        float aimYaw = GameGetYaw(), aimPitch = GameGetPitch(), aimRoll = 0.0f;
        CameraGetYawPitch(&aimYaw, &aimPitch, &aimRoll);
        PlayerFireStep(aimYaw, aimPitch);
        // A mount's single shots hold no trigger lock.
        g_playerControl.triggerLockArmed = 0;
        g_playerControl.triggerLockCounter = 0;
    }

    if (Held(ACTION_CYCLE_MODE))
        weapon->NextFireMode();
    if (PlayerWeaponViewBusy())
        g_input.actionDown[ACTION_ZOOM] = 0;
    PlayerReloadStep();
}
