// The roll of the player's view before lean is added: it settles back to level at one degree per
// second, rocks while a screen shake runs, and twitches by up to 0.7 degrees on a shot unless the
// weapon's projectile says otherwise.
#pragma once
#include "core/types.h"

// Once per frame, after the weapon steps (the fired flag of this frame is read).
void ViewRollUpdate();
// Starts a screen shake of that many milliseconds and degrees from now.
void ViewRollStartShake(u32_t duration, float amplitude);
