// The player's weapon handling: how the fire, zoom, reload, weapon-slot and fire-mode keys reach the
// weapon in hand, the view kick of a shot and its slow recovery. The player control runs the steps
// each frame in this order: the trigger gate and the fire step (with the soldier at the eye), the
// zoom and the reload, the weapon keys, and after the movement the recoil.
//
// The weapon in hand is the player actor's (Actor::WeaponInHand); a weapon without sub-weapons is its
// own current one. With no player or an empty hand every step leaves the weapon state alone: nothing
// fires, no burst runs on, nothing reloads, and the field of view goes back to normal.
#pragma once
#include "core/types.h"

class Actor;
class Weapon;

// The recovery of the pitch after a kick, radians per second.
constexpr float kPitchRecoveryRate = 0.028571429f;
// The least time between two sub-weapon steps of a held weapon key.
constexpr u32_t kWeaponKeyRepeatMs = 300;

// The weapon in hand of the actor and the unit that fires (its current sub-weapon, else itself);
// null for none.
Weapon* PlayerWeaponInHand(const Actor* actor);
Weapon* PlayerFiringUnit(const Weapon* weapon);
// Zoom is possible with a weapon in hand whose no-zoom flag ("button2_off") is clear.
bool PlayerZoomPossible(const Actor* actor);

// The first-person weapon view's busy states that hold the player's hands: a weapon switch runs, a
// reload animation runs, a shot animation has not finished.
bool PlayerWeaponSwitchRunning();
bool PlayerWeaponViewBusy();
bool PlayerShotAnimationHolding();

// The trigger gate: a weapon with a trigger lock lets go of "fire" while the lock counts down or
// its refire interval has not passed since its last shot.
void PlayerTriggerGate();
// The fire modes, the trigger-lock countdown and the burst continuation, aimed at (yaw, pitch). The
// fired flag starts each frame clear here; the step shows the first-person view what it did.
void PlayerFireStep(float aimYaw, float aimPitch);
// Zoom (the weapon's zoom angle while "zoom" is held, else the normal field of view), skipped while
// the binocular is up; the look factor follows the field of view.
void PlayerZoomStep();
// "reload" starts the soldier's reload when nothing holds the hands.
void PlayerReloadStep();
// The view kick of this frame's shot, or the pitch's recovery toward where it was before the kick.
void PlayerRecoilStep();
// The weapon-slot keys (sub-weapons of the slot in hand, at most one step every 300 ms) and the
// fire-mode key.
void PlayerWeaponKeysUpdate();
