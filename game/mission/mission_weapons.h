// The weapons of a mission when it starts: every weapon lying in the world and every weapon a soldier
// carries gets full magazines, as the restart snapshot of the mission start gives them.
#pragma once

// Fills the magazines of every registered weapon (mounted ones among them), of every weapon in an
// actor's slots, and of their sub-weapons.
void GameFillWeaponMagazines();
