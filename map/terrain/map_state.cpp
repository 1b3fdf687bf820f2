#include "map/terrain/map_state.h"

MapState g_map;
