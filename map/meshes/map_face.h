// The vertex and face records of the map geometry, the roads and the octree, as they lie in memory
// and in the octree cache.
#pragma once
#include "core/types.h"

// 32 bytes: position, texture coordinates, normal.
struct MapVertex {
    Vector3 position;
    float u, v;
    Vector3 normal;
};
static_assert(sizeof(MapVertex) == 32);

// The handle of the shared default surface record that every new face carries.
constexpr u32_t MAP_SURFACE_DEFAULT = 0;

// 41 bytes, packed: the three vertex indices, three words, the surface handle and further face data
// that belong to the map meshes and the material users. Read its fields by value (face.indices[c]):
// a pointer or reference into a packed record may be misaligned.
struct __attribute__((packed)) MapFace {
    u16_t indices[3] = {};  // into the vertex array of the set that holds the face
    u32_t words[3] = {};
    u32_t surface = MAP_SURFACE_DEFAULT;
    u8_t data[19] = {};
};
static_assert(sizeof(MapFace) == 41);
