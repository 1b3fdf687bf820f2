// Putting dynamic objects into the world and taking them out again.
#pragma once

class DynamicObject;

// Puts the object into the world registry and its spatial links; null is ignored.
void InsertToWorld(DynamicObject* object);
// Takes the object out of the world and deletes the objects attached to it; null is ignored.
void RemoveFromWorld(DynamicObject* object);
// Relinks the object in the object grid after its box changed. No object grid exists yet, so
// there is nothing to relink.
void DynObjectUpdateGrid(DynamicObject* object);
