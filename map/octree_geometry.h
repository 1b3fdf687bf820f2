// The triangle sets the octree holds: a leaf's own land triangles and the map-mesh pieces hung on it.
#pragma once
#include "core/types.h"

// 32 bytes, as stored in memory and in the octree cache.
struct OctreeVertex {
    Vector3 position;
    float u, v;
    Vector3 normal;
};

struct OctreeFace {
    u16_t indices[3];  // into the set's vertex array
};

// A triangle set; it owns both arrays (allocated with new[]).
struct OctreeGeometry {
    OctreeVertex* vertices;
    u32_t vertexCapacity;
    u32_t vertexCount;
    OctreeFace* faces;
    u32_t faceCapacity;
    u32_t faceCount;
};
