// Making, templating and deleting world objects for the game and for plug-ins.
#pragma once
#include "core/types.h"

class Actor;
class DynamicObject;
struct DefEntry;

// Creates a world object from its class keyword (without regard to case); null for a keyword the
// factory's table does not hold (a test's object hook answers those, game/game_test_hooks.h). The
// object is not added to the world: the caller places it and adds it.
DynamicObject* CreateDynamicObjectByClass(const char* classKeyword);
// Sets the game's force-actor-creation flag (cleared when a mission is left).
void ForceActorCreation(bool force);
bool GameActorCreationForced();
// Applies the template "object\<name>.def" to the object (game/mission_objects/object_list.cpp): each line, in file
// order, goes to the object's SetParam as its keyword and at most 64 values, and a "template" line
// applies a nested template. With a template line, its values after the first (the template's name)
// are the arguments that "$n" values refer to. While it runs, g_frameView.applyingDefinition names the
// template. False when the template cannot be read (or for a null object).
bool GameApplyTemplateToObject(const char* templateName, DynamicObject* object, const DefEntry* templateLine = nullptr);
// Deletes the object through its virtual deleting destructor; null is ignored.
void DeleteDynamicObject(DynamicObject* object);
// Clears the one-time flag of every registered vehicle (the helicopter's dust effect starts again):
// the game calls it when the mission restarts and when a savegame is loaded.
void GameClearVehicleAuxFlags();
// Gives the actor the weapon by applying the template "weapons\<name>" with a body part, a node and
// an attachment: in the hand "torso", "xhand_r", "x1"; else the legs at "xleg_r02", "x2", unless the
// weapon's "pin_inactive" line names another node (a second letter "t" puts it on the torso).
// (game/commands/multiplayer_commands.cpp)
void GameAddWeaponToActor(const char* weaponName, DynamicObject* actor, u8_t inHand);
// Seeds the engine's pseudo-random generator.
void GameSetSRand(u32_t seed);
