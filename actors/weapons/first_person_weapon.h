// The player's weapon's share of the first-person view: the view's animations decide when a reload
// ends and which weapon sounds a slot asks for; the player's update does both, so that the view only
// draws.
#pragma once

class Actor;

// Runs the reload whose animation ended and posts the sound requests the view gathered since the
// last call, then clears them.
void FirstPersonWeaponUpdate(Actor& player);
