// The player's control at a mounted weapon: the weapon's muzzle carries the view, the aim stays
// within the weapon's limits, the fire, zoom, fire-mode and reload keys work the weapon, and "fire"
// with "quickmode" held lets go of it. It runs instead of the on-foot control while the player holds
// a mounted weapon.
#pragma once
#include "core/types.h"

// The soldier stands this far below the muzzle (the view).
constexpr float kMountedSoldierDrop = 17.0f;

// Clear at first use of a mount: the first frame links the camera to the weapon and turns the view
// round. The on-foot control clears it every frame it runs.
struct MountedControlState {
    u8_t firstFrameDone = 0;
};
extern MountedControlState g_mountedControl;

// One frame at the mounted weapon; nothing when the player holds none.
void MountedWeaponControlUpdate();
