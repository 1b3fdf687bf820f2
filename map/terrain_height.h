// Terrain height queries.
#pragma once
#include "core/types.h"

// Terrain height at x, z; 0 when nothing is hit. hit and normal may be null.
float MapTerrainHeight(float x, float z, bool* hit, Vector3* normal);
