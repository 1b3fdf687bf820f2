// Putting dynamic objects into the world with their shadow companions and taking them out again.
#pragma once

class DynamicObject;

// DynObjectAdd, then a new shadow volume for the object, added too and kept in its shadowVolume
// (shadowCompanion becomes none). When the registry refuses the object nothing else happens and
// the caller keeps it. Null is ignored.
void InsertToWorld(DynamicObject* object);
// Removes and deletes the object's two companions, then removes the object (the caller keeps it).
// Returns the position the object held, as DynObjectRemove; 0 for null.
unsigned RemoveFromWorld(DynamicObject* object);
