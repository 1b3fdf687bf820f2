// Positions of named things of the mission, for definitions that place one object by another.
#pragma once
#include "core/types.h"

// The position of the named map object, else the centre of the geometry box of the first registered
// dynamic object of that name; false when neither exists. The map's mesh records keep no position
// yet, so only dynamic objects are found.
bool GameGetNamedObjectPosition(const char* name, Vector3* out);
