// Making, templating and deleting world objects for the game and for plug-ins.
#pragma once
#include "core/types.h"

class Actor;
class DynamicObject;

// Creates a world object from its class keyword; null for a keyword no class answers to.
DynamicObject* CreateDynamicObjectByClass(const char* classKeyword);
// Sets the game's force-actor-creation flag (cleared when a mission is left).
void ForceActorCreation(bool force);
bool GameActorCreationForced();
// Applies the object definition template "object\<name>.def" to the object; false when it cannot.
bool GameApplyTemplateToObject(const char* templateName, DynamicObject* object);
// Deletes the object through its virtual deleting destructor; null is ignored.
void DeleteDynamicObject(DynamicObject* object);
// Gives the actor the weapon "weapons\<name>"; the weapon object, or null when it cannot.
DynamicObject* GameAddWeaponToActor(Actor* actor, const char* weaponName);
// Seeds the engine's pseudo-random generator.
void GameSetSRand(u32_t seed);
