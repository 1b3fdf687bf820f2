// The player's body with the chosen weapons hung on it, and the Tesk team's actor: both made once
// per mission load, after the mission's objects and before the connected objects.
#pragma once

class DynamicObject;

// Deletes the previous player, then makes an "actor" (with the running game mode set aside, so that
// no game-mode condition refuses it), named after the current account (after "as_accname" while
// nobody is logged in), placed at the viewer, inserted into the world without a shadow, and
// templated: "actors\player_common" (under a game mode the chosen actor model), then one weapon
// template per filled weapon variable with its body node, mount node and mount name.
void GameAssemblePlayer();
// Deletes the previous Tesk team's actor; with "gbteskenable" on makes a new one, "tesk", at the
// viewer, templated "actors\tesk_common".
void GameCreateTeskActor();
// Takes the object out of the world's registry (which would otherwise keep a pointer to freed memory
// until the map's unload deleted it a second time) and deletes it; a soldier's AI interface leaves
// the AI table and is deleted with it.
void GameDeleteWorldObject(DynamicObject* object);
// The Tesk team's actor, or null.
DynamicObject* GameTeskActor();
// The map's unload deleted the Tesk team's actor with every other object of the world: the pointer
// is dropped without deleting.
void GameForgetTeskActor();
