// Positions of named things of the mission, for definitions that place one object by another.
#pragma once
#include "core/types.h"

// The position of the named map object (the middle of the map mesh's box), else the centre of the
// geometry box of the first registered dynamic object of that name; false when neither exists.
bool GameGetNamedObjectPosition(const char* name, Vector3* out);
