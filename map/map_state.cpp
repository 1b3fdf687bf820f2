#include "map/map_state.h"

MapState g_map;
