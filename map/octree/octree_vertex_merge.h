// The vertex lookup behind OctreeGeometry::AddVertex while a set is filled: it finds the same vertex
// that a search through the whole array in index order would find, from a hash of small position
// cells instead. Used by the octree's triangle sets only.
#pragma once
#include <vector>

#include "core/types.h"
#include "map/meshes/map_face.h"

// Each squared distance (position, texture coordinates, normal) is at most 1e-6.
inline bool OctreeVerticesMatch(const MapVertex& a, const MapVertex& b)
{
    const float px = a.position.x - b.position.x, py = a.position.y - b.position.y, pz = a.position.z - b.position.z;
    const float du = a.u - b.u, dv = a.v - b.v;
    const float nx = a.normal.x - b.normal.x, ny = a.normal.y - b.normal.y, nz = a.normal.z - b.normal.z;
    return px * px + py * py + pz * pz <= 1e-6f && du * du + dv * dv <= 1e-6f && nx * nx + ny * ny + nz * nz <= 1e-6f;
}

class OctreeVertexMerge {
public:
    // A lookup from the pool, empty, with room for about the given number of vertices; null when
    // none can be made (the set then searches its array).
    static OctreeVertexMerge* Acquire(u32_t expectedVertices);
    // Back to the pool.
    static void Release(OctreeVertexMerge* merge);

    // The lowest index of a vertex that matches v; -1 when none does.
    s32_t Find(const MapVertex* vertices, const MapVertex& v) const;
    // Records vertices[index], which must be the vertex appended after all recorded ones. False when
    // the lookup cannot grow (it is then of no further use).
    bool Insert(const MapVertex* vertices, u32_t index);

private:
    struct Slot {
        s32_t x, y, z;
        u32_t head;   // the newest vertex of the cell; older ones follow through m_next
        u32_t stamp;  // the slot is in use while it equals m_stamp
    };

    bool Prepare(u32_t expectedVertices);
    const Slot* FindSlot(s32_t x, s32_t y, s32_t z) const;
    Slot* FindOrAddSlot(s32_t x, s32_t y, s32_t z);
    bool Grow();

    std::vector<Slot> m_slots;  // open addressing, a power of two in size
    std::vector<u32_t> m_next;  // per vertex: the next older vertex of its cell
    u32_t m_used = 0;
    u32_t m_stamp = 1;
};
