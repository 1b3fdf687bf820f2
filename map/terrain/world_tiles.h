// The world repeats on x and z with a period equal to the world size (the side of the square map);
// tile 0 is centred on the origin. The tile arithmetic (MapPosToCell) is core/world_repeat.h's.
#pragma once
#include "core/types.h"
#include "core/world_repeat.h"

// The side of the square world: the largest extent of the map box, 0 while no map is loaded. The
// frame view keeps it as worldSize for the subsystems below the map.
float MapGetWorldSize();
