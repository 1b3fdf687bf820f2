// What savegames and the restart information share: sorting the world's objects by kind, taking
// every item out of the actors' hands and giving it back, one record per object, and putting a
// weapon or an actor back from its record.
#pragma once
#include <vector>

#include "core/types.h"
#include "world/objects/saved_object_state.h"

class Actor;
class DynamicObject;
class Projectile;
class Vehicle;
class Weapon;

struct WorldObjects {
    std::vector<Actor*> actors;
    std::vector<Weapon*> weapons;
    std::vector<Vehicle*> vehicles;
    std::vector<Projectile*> projectiles;
    std::vector<DynamicObject*> destroyed;  // structures and map objects replaced on destruction
};

// The world's objects by kind, in registry order (destroyed structures and map objects only when
// asked for).
void CollectWorldObjects(WorldObjects& objects, bool withDestroyed);
// Clears both links of every collected weapon.
void ClearWeaponLinks(const std::vector<Weapon*>& weapons);
// Every actor drops every item it carries (with force); the dropped weapons are appended.
void DropAllItems(const std::vector<Actor*>& actors, std::vector<Weapon*>& weapons);
// Every weapon dropped by an actor goes back to it; each actor then has the kind in hand that its
// record holds.
void GiveItemsBack(const std::vector<Weapon*>& weapons);
// The record of one object: name, position, rotation (an actor's: pitch, heading and the z part of
// its rotation), kind, and the object's own saved area.
void FillRecord(SavedObjectState& record, DynamicObject* object);
// Puts the weapon of the record's name that is first in the list back (holder, place, state) and
// takes it out of the list; nothing when none bears the name.
void ApplyWeaponRecord(const SavedObjectState& record, std::vector<Weapon*>& weapons);
// Position, heading, pitch, decals, grid entry and saved state of an actor.
void ApplyActorRecord(Actor* actor, const SavedObjectState& record);
// Removes every projectile in flight from the world.
void RemoveAllProjectiles();
// The slot kind each actor has in hand (0 for none), and that kind taken in hand again.
std::vector<u32_t> HandKinds(const std::vector<Actor*>& actors);
// The first records (the actors', in the same order) keep the kind each actor had in hand before
// its items were dropped.
void StoreHandKinds(std::vector<SavedObjectState>& records, const std::vector<u32_t>& kinds);
void RestoreHandKinds(const std::vector<Actor*>& actors, const std::vector<u32_t>& kinds);
