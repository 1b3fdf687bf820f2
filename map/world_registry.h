// The world's table of dynamic objects.
#pragma once
#include "core/types.h"

class DynamicObject;

constexpr s32_t MAX_DYNAMIC_OBJECTS = 4096;

// The object array and its count (either out pointer may be null).
void DynObjectsGet(DynamicObject*** objects, s32_t* count);
// Appends the object; its index, or -1 when the table is full or the object is null.
s32_t DynObjectAdd(DynamicObject* object);
// Removes the object keeping the order of the others; its former index, or -1 when it was not listed.
s32_t DynObjectRemove(DynamicObject* object);
// Index of the first object with that name (same length, compared without regard to case); -1 when none.
s32_t DynObjectFindIndex(const char* name);
// The object at the index; null past the end.
DynamicObject* DynObjectGet(s32_t index);
