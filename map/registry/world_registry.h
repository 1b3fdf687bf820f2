// The world registry: the table of dynamic objects in the world, the actors among them with their
// team lists, the destroy queue of objects taken out of the world, the per-frame update pass, the
// lookups by name, and the table of map meshes. No table owns its objects while a map is loaded.
#pragma once
#include "core/types.h"

class Actor;
class DynamicObject;
struct MapMesh;

constexpr s32_t MAX_DYNAMIC_OBJECTS = 4096;

// The object table and its count (either out pointer may be null): the table itself, not a copy.
void DynObjectsGet(DynamicObject*** objects, s32_t* count);
// Appends the object, links its grid entry for its current box and, for an actor, adds it to the
// actor table and its team list. A full object table (or actor table, for an actor) refuses the
// object with a "WARNING: " log line and false; the caller keeps it. False for null.
bool DynObjectAdd(DynamicObject* object);
// Unlinks the object's grid entry, takes an actor out of the actor table and its team list, and
// removes the object's first table entry, moving the last entry in. Returns the position it held,
// or the table's count when it was not in the table (the object is then not touched at all: it may
// be gone already).
u32_t DynObjectRemove(DynamicObject* object);
// Relinks the object in the object grid when a corner of its box moved by more than 2^-23 (squared
// distance above 2^-46) since it was stored, and then stores the new box.
void DynObjectUpdateGrid(DynamicObject* object);
// Every object's Update, in table order, re-reading the count after each; then the world's lowest
// and highest points from the map box and the objects' boxes.
void DynObjectsUpdate();
// The lowest and highest world heights of the last DynObjectsUpdate.
float DynObjectsLowestPoint();
float DynObjectsHighestPoint();
// The first object with that name (same length, compared without regard to case); null when none.
DynamicObject* DynObjectFind(const char* name);
// Position of the first object with that name; -1 when none.
s32_t DynObjectFindIndex(const char* name);
// The object at the position; null at or past the count.
DynamicObject* DynObjectGet(s32_t index);
// Forgets every entry without touching the objects (map load).
void DynObjectsClear();
// Removes and deletes every object of the table (map unload).
void DynObjectsDeleteAll();

// The actor table; an actor entering or leaving it joins or leaves its team's relation list
// (map/registry/actor_side_lists.h).
void ActorTableAdd(Actor* actor);
void ActorTableRemove(Actor* actor);
u32_t ActorTableCount();
Actor* ActorTableGet(u32_t index);

// The destroy queue. A full queue refuses the object with a "WARNING: " log line and false.
bool DestroyQueueAdd(DynamicObject* object);
void DestroyQueueRemove(DynamicObject* object);
DynamicObject* DestroyQueueFind(const char* name);
u32_t DestroyQueueCount();
DynamicObject* DestroyQueueGet(u32_t index);
// Puts every destroyed object of the queue back into the world in place of its replacement, both at
// full energy; the replacements wait in the queue.
void DynObjectsRestoreReplaced();
void DestroyQueueClear();
// Deletes every queued object (map unload); they are not in the world, so nothing is unlinked.
void DestroyQueueDeleteAll();

// The map mesh table.
s32_t MapFindMeshIndex(const char* name);
MapMesh* MapGetMesh(u32_t index);
u32_t MapGetMeshCount();
// Appends a mesh record (the table takes it over); false, leaving it to the caller, when full.
bool MapMeshesAppend(MapMesh* mesh);
void MapMeshesClear();
// Frees every record with its collision mesh and grid entry (unlinked first); the count becomes 0.
void MapMeshesFree();
// Frees one record that is not in the table.
void MapMeshDelete(MapMesh* mesh);

// The vegetation layer (1 to 31) with the highest density at the point; on equal densities the
// lower layer; 0 when none has a density there.
u32_t MapVegetationLayerAt(const float* point);
