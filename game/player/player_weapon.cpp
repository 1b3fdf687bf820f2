#include "game/player/player_weapon.h"

#include <cmath>

#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/random.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/view/game_view.h"
#include "game/player/player_control.h"
#include "game/player/player_control_state.h"
#include "game/view/player_view.h"
#include "platform/win32.h"
#include "render/draw2d/hud_input.h"
#include "scene/views/first_person_view.h"
#include "scene/render_services.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kDegree = kPi / 180.0f;
constexpr float kPitchLimit = kPi / 2.0f;

bool Held(u8_t action)
{
    return g_input.actionDown[action] == INPUT_STATE_DOWN;
}

bool BinocularUp()
{
    return g_hudInput.flags.binocularView != 0;
}

// The rounds of a unit as the magazine counts them (16-bit signed).
s32_t Rounds(const Weapon* unit)
{
    return static_cast<s16_t>(unit->roundsInGun);
}

// The trigger-lock time in milliseconds (unsigned: "firewait"); 0 is none.
u32_t TriggerLockTime(const Weapon* weapon)
{
    return static_cast<u32_t>(weapon->fireWait);
}

// One shot of the player: along the aim in the first-person view, along the body in the third.
bool Shoot(Actor* actor, float yaw, float pitch, bool continuing)
{
    if (gbthirdperson.Bool())
        return actor->Fire(true, false);
    return actor->FireAt(yaw, pitch, continuing, false);
}

float ClampPitch(float pitch)
{
    return std::fmax(-kPitchLimit, std::fmin(kPitchLimit, pitch));
}

// What the first-person view reads of the weapon handling.
void Publish()
{
    const PlayerControlState& s = g_playerControl;
    g_firstPersonControl.firedThisFrame = s.firedThisFrame != 0;
    g_firstPersonControl.burstRunning = s.burstRunning != 0;
    g_firstPersonControl.burstStartRounds = static_cast<s16_t>(s.burstStartRounds);
    g_firstPersonControl.semiShotCounter = s.triggerLockCounter;
}

void EndBurst()
{
    PlayerControlState& s = g_playerControl;
    s.firedThisFrame = 0;
    s.burstRunning = 0;
    s.burstStartRounds = 0;
}

}  // namespace

Weapon* PlayerWeaponInHand(const Actor* actor)
{
    return actor ? actor->WeaponInHand() : nullptr;
}

Weapon* PlayerFiringUnit(const Weapon* weapon)
{
    if (!weapon)
        return nullptr;
    return weapon->currentWeapon ? weapon->currentWeapon : const_cast<Weapon*>(weapon);
}

bool PlayerZoomPossible(const Actor* actor)
{
    const Weapon* weapon = PlayerWeaponInHand(actor);
    return weapon && !weapon->button2Off;
}

bool PlayerWeaponSwitchRunning()
{
    return g_firstPersonView.switching;
}

bool PlayerWeaponViewBusy()
{
    return g_firstPersonView.reloading;
}

bool PlayerShotAnimationHolding()
{
    return g_firstPersonView.shotDonePending;
}

void PlayerTriggerGate()
{
    const Weapon* unit = PlayerFiringUnit(PlayerWeaponInHand(PlayerActor()));
    if (!unit || TriggerLockTime(unit) == 0)
        return;
    const u32_t sinceShot = GetTickCount() - unit->lastShotTime;
    if (g_playerControl.triggerLockCounter > 0 || static_cast<float>(sinceShot) < unit->delay)
        g_input.actionDown[ACTION_FIRE] = 0;
}

void PlayerFireStep(float aimYaw, float aimPitch)
{
    PlayerControlState& s = g_playerControl;
    s.firedThisFrame = 0;
    s.autoShotResult = 0;
    Actor* actor = PlayerActor();
    Weapon* weapon = PlayerWeaponInHand(actor);
    if (!weapon) {
        // An empty hand: a burst or a trigger lock of the weapon that left it has nothing to go on
        // with, and left standing they would hold the weapon keys for good.
        EndBurst();
        s.triggerLockArmed = 0;
        s.triggerLockCounter = 0;
        Publish();
        return;
    }
    Weapon* unit = PlayerFiringUnit(weapon);
    const u32_t mode = unit->fireMode;

    const bool handsFree = !PlayerWeaponViewBusy() && !PlayerWeaponSwitchRunning() &&
                           (!PlayerShotAnimationHolding() || mode == kFireModeAuto);
    if (Held(ACTION_FIRE) && !BinocularUp() && !g_hudInput.flags.quickMode && !GameIsPlayerOnLadder() && handsFree) {
        switch (mode) {
            case kFireModeSingle:
                if (!s.triggerLockArmed && TriggerLockTime(weapon) > 0) {
                    s.triggerLockArmed = 1;
                    s.triggerLockCounter = static_cast<s32_t>(TriggerLockTime(weapon));
                }
                s.firedThisFrame = Shoot(actor, aimYaw, aimPitch, false) ? 1 : 0;
                break;
            case kFireModeBurst:
                if (!s.burstRunning) {
                    s.burstRunning = 1;
                    s.burstStartRounds = Rounds(unit);
                    s.firedThisFrame = 0;
                }
                break;
            case kFireModeAuto:
                s.firedThisFrame = Rounds(unit) > 0 ? 1 : 0;
                s.autoShotResult = Shoot(actor, aimYaw, aimPitch, false) ? 1 : 0;
                break;
            default:
                break;
        }
    }

    // The trigger lock counts down in whole milliseconds; at its end the trigger is let go.
    if (s.triggerLockArmed) {
        if (s.triggerLockCounter <= 0) {
            actor->FireAt(aimYaw, aimPitch, false, true);
            s.triggerLockArmed = 0;
        } else {
            s.triggerLockCounter += static_cast<s32_t>(std::trunc(g_frameView.frameTime * -1000.0f));
        }
    }

    // A burst fires until its length has left the magazine or the magazine is empty, held or not.
    if (s.burstRunning) {
        const s32_t rounds = Rounds(unit);
        const s32_t length = static_cast<s16_t>(weapon->burstCount);
        if (rounds == 0 || rounds <= s.burstStartRounds - length) {
            EndBurst();
        } else {
            const bool fired =
                gbthirdperson.Bool() ? actor->Fire(true, false) : actor->FireAt(aimYaw, aimPitch, true, false);
            s.firedThisFrame = fired ? 1 : 0;
        }
    }
    Publish();
}

void PlayerZoomStep()
{
    if (BinocularUp())
        return;
    PlayerControlState& s = g_playerControl;
    const Actor* actor = PlayerActor();
    const float lookFactor = GameGetFieldOfView() * s.baseLookFactor * 2.0f / kPi;
    g_game.mouseLookFactorX = lookFactor;
    g_game.mouseLookFactorY = lookFactor;
    const bool zoomed = Held(ACTION_ZOOM) && PlayerZoomPossible(actor);
    const float fieldOfView = zoomed ? PlayerFiringUnit(PlayerWeaponInHand(actor))->zoom * kDegree : kNormalFieldOfView;
    GameSetFieldOfView(fieldOfView);
    g_hudInput.flags.sightView = zoomed ? 1 : 0;
    g_frameView.zoomView = zoomed;
    if (fieldOfView != s.lastAppliedFieldOfView) {
        ShadowsUpdateDynamic();
        s.lastAppliedFieldOfView = fieldOfView;
    }
}

void PlayerReloadStep()
{
    Actor* actor = PlayerActor();
    const Weapon* weapon = PlayerWeaponInHand(actor);
    if (!weapon || !Held(ACTION_RELOAD) || BinocularUp() || PlayerWeaponSwitchRunning() || PlayerWeaponViewBusy() ||
        actor->reloading)
        return;
    g_firstPersonControl.reloadFromEmpty = weapon->roundsInGun == 0;
    actor->StartReload();
}

void PlayerRecoilStep()
{
    PlayerControlState& s = g_playerControl;
    const Actor* actor = PlayerActor();
    const Weapon* unit = PlayerFiringUnit(PlayerWeaponInHand(actor));
    bool shot = false;
    if (unit)
        shot = unit->fireMode == kFireModeAuto ? s.autoShotResult != 0 : s.firedThisFrame != 0;

    float yaw = GameGetYaw();
    float pitch = GameGetPitch();
    if (shot) {
        s.yawBeforeRecoil = yaw;
        s.pitchBeforeRecoil = pitch;
        const float* kick = unit->recoil[actor->GetActorPose()];
        // The yaw kick is a whole number of degrees.
        const float wholeDegrees =
            std::trunc(static_cast<float>(EngineRand()) / ENGINE_RAND_MAX * (kick[2] - kick[1]) + kick[1]);
        if (Held(ACTION_ZOOM) && PlayerZoomPossible(actor)) {
            pitch -= kick[0] * kDegree * 0.5f;
            yaw += wholeDegrees / 2.0f * kDegree;
        } else {
            pitch -= kick[0] * kDegree;
            yaw += wholeDegrees * kDegree;
        }
        pitch = ClampPitch(pitch);
        s.pitchRecoveryDone = 0;
    } else if (s.mouseMoved) {
        s.pitchRecoveryDone = 1;
    } else if (!s.pitchRecoveryDone) {
        pitch += kPitchRecoveryRate * g_frameView.frameTime;
        if (pitch >= s.pitchBeforeRecoil) {
            s.pitchRecoveryDone = 1;
            s.pitchBeforeRecoil = pitch;
        }
        pitch = ClampPitch(pitch);
    }
    GameSetYawPitch(yaw, pitch);
}

void PlayerWeaponKeysUpdate()
{
    PlayerControlState& s = g_playerControl;
    Actor* actor = PlayerActor();
    if (!actor)
        return;
    const bool keysFree = !PlayerWeaponViewBusy() && !PlayerWeaponSwitchRunning() && !s.burstRunning &&
                          !BinocularUp() && !g_hudInput.flags.commandMenuOpen && s.triggerLockCounter <= 0;
    if (keysFree) {
        static constexpr u8_t kSlotKeys[5] = {ACTION_SET_CSW, ACTION_SET_PRIMARY, ACTION_SET_SECONDARY,
                                              ACTION_SET_GRENADE, ACTION_SET_EXPLOSIVE};
        const u32_t now = GetTickCount();
        for (u32_t type = WEAPON_SLOT_CSW; type <= WEAPON_SLOT_EXPLOSIVE; ++type) {
            if (!Held(kSlotKeys[type]) || (type == WEAPON_SLOT_EXPLOSIVE && g_frameView.currentGameMod))
                continue;
            Weapon* weapon = PlayerWeaponInHand(actor);
            const Weapon* unit = PlayerFiringUnit(weapon);
            if (unit && unit->slotType == type) {
                if (now - s.lastWeaponKeyTime >= kWeaponKeyRepeatMs) {
                    weapon->NextSubWeapon();
                    s.lastWeaponKeyTime = now;
                }
            } else {
                // An empty hand takes the slot's weapon too: nothing else brings a weapon back to it.
                actor->SelectWeaponKind(static_cast<s32_t>(type));
            }
        }
    }
    if (Held(ACTION_CYCLE_MODE) && !BinocularUp()) {
        if (Weapon* weapon = PlayerWeaponInHand(actor))
            weapon->NextFireMode();
    }
}
