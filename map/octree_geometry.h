// The triangle sets the octree holds: a leaf's own land triangles and the map-mesh pieces hung on it.
#pragma once
#include "core/types.h"

class IDirect3DTexture8;

// 32 bytes, as stored in memory and in the octree cache.
struct OctreeVertex {
    Vector3 position;
    float u, v;
    Vector3 normal;
};

struct OctreeFace {
    u16_t indices[3];  // into the set's vertex array
};

// A material stamp that every view counts as its own: the piece is drawn whatever view saw it.
constexpr u32_t OCTREE_ALWAYS_VISIBLE = 0x7FFF7FFF;

// How the material passes draw a map-mesh piece.
struct OctreeMaterialDraw {
    IDirect3DTexture8* texture;
    u32_t filter;       // minification and magnification filter
    u32_t mipFilter;
    float maxAnisotropy;
    u32_t visibleStamp;  // the packed view tile that last saw the piece, or OCTREE_ALWAYS_VISIBLE
};

// A triangle set; it owns both arrays (allocated with new[]).
struct OctreeGeometry {
    OctreeVertex* vertices;
    u32_t vertexCapacity;
    u32_t vertexCount;
    OctreeFace* faces;
    u32_t faceCapacity;
    u32_t faceCount;

    OctreeMaterialDraw material;  // map-mesh pieces only
    // Where the static map buffers hold the set: its first index and its first vertex.
    u32_t firstIndex;
    u32_t baseVertex;

    // Room for count more faces without another allocation; false when it cannot be made.
    bool ReserveFaces(u32_t count);
    // Appends a copy of the face, growing the array.
    bool AppendFace(const OctreeFace& face);
    // Appends the face unless two of its vertex numbers are equal (then true, nothing added).
    bool AddFace(const OctreeFace& face);
};
