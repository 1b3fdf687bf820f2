// The object-method list: the methods that calls on object variables ("sender", handler templates)
// reach, each bound to its script slot so that the object's own override runs.
#pragma once
#include "ai/script/script_object.h"

// The slot method of that script name; null for a name no slot has.
ScriptMethodPtr ScriptSlotMethod(const char* name);

// Made at AI start-up with its 41 methods, freed at AI shutdown.
void MSALMethodListCreate();
void MSALMethodListFree();
// Null when the name is not in the list or there is no list.
ScriptMethod* MSALMethodListFind(const char* name);
