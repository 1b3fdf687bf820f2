// Objects that come to rest inside an indoor mesh are handed to the indoor plug-in, which keeps them
// with its cell.
#pragma once
#include "core/types.h"

class DynamicObject;

// Hands the object, lying at the position inside an indoor mesh, to the indoor plug-in. False while
// no indoor plug-in takes objects: the caller keeps the object in the world.
bool IndoorObjectAdd(DynamicObject* object, const Vector3& position);
