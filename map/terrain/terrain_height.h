// Terrain height queries.
#pragma once
#include "core/types.h"

// The height of the first surface below the column at (x, z) over the repeating world: a downward
// trace through the whole octree, and a second one 0.0134 further on x and z when the first finds
// nothing. 0 when neither hits, leaving the outputs unwritten. hit (may be null) tells whether a
// map-mesh piece of the hit leaf lies across the column; normal (may be null) gets the surface normal.
float MapTerrainHeight(float x, float z, bool* hit, Vector3* normal);
