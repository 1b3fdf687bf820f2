#include "map/map_state.h"

#include "actors/actor.h"

MapState g_map;
