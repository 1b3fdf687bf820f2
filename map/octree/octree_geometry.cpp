#include "map/octree/octree_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

#include "core/log.h"
#include "map/terrain/map_state.h"
#include "map/octree/octree_vertex_merge.h"

namespace {

// Live OctreeFaceLogPause scopes on this thread.
thread_local int g_faceLogPauses = 0;

// A new array of exactly the capacity holding the first count records of the old one (freed).
template <class T>
bool Reallocate(T*& array, u32_t count, u32_t capacity)
{
    T* larger = capacity ? new (std::nothrow) T[capacity] : nullptr;
    if (capacity && !larger)
        return false;
    std::copy_n(array, std::min(count, capacity), larger);
    delete[] array;
    array = larger;
    return true;
}

void ExtendBounds(OctreeGeometry& g, const Vector3& p)
{
    g.boundsMin = {std::min(g.boundsMin.x, p.x), std::min(g.boundsMin.y, p.y), std::min(g.boundsMin.z, p.z)};
    g.boundsMax = {std::max(g.boundsMax.x, p.x), std::max(g.boundsMax.y, p.y), std::max(g.boundsMax.z, p.z)};
    const float dx = g.boundsMax.x - g.boundsMin.x, dy = g.boundsMax.y - g.boundsMin.y,
                dz = g.boundsMax.z - g.boundsMin.z;
    g.boundsRadius = 0.5f * std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

bool OctreeGeometry::Init(u32_t maxVertices, u32_t maxFaces)
{
    OctreeGeometryChanged();
    if (vertices || faces || vertexCount || faceCount)
        return false;
    maxVertices = std::min(maxVertices, OCTREE_MAX_SET_VERTICES);
    if (!Reallocate(vertices, 0, maxVertices) || !Reallocate(faces, 0, maxFaces)) {
        Reset(true);
        return false;
    }
    vertexCapacity = maxVertices;
    faceCapacity = maxFaces;
    boundsMin = {1e30f, 1e30f, 1e30f};
    boundsMax = {-1e30f, -1e30f, -1e30f};
    boundsRadius = 0.0f;
    OctreeVertexMerge::Release(merge);
    merge = OctreeVertexMerge::Acquire(maxVertices);
    return true;
}

s32_t OctreeGeometry::AddVertex(const MapVertex& v)
{
    OctreeGeometryChanged();
    if (merge) {
        const s32_t found = merge->Find(vertices, v);
        if (found >= 0)
            return found;
    } else {
        for (u32_t i = 0; i < vertexCount && i < OCTREE_MAX_SET_VERTICES; ++i) {
            if (OctreeVerticesMatch(vertices[i], v))
                return static_cast<s32_t>(i);
        }
    }
    if (vertexCount >= OCTREE_MAX_SET_VERTICES)
        return -1;
    if (vertexCount == vertexCapacity) {
        const u32_t grown = std::min(std::max(vertexCapacity * 2, 64u), OCTREE_MAX_SET_VERTICES);
        if (!Reallocate(vertices, vertexCount, grown))
            return -1;
        vertexCapacity = grown;
    }
    const u32_t index = vertexCount++;
    vertices[index] = v;
    ExtendBounds(*this, v.position);
    if (merge && !merge->Insert(vertices, index)) {
        OctreeVertexMerge::Release(merge);  // out of step with the array: search the array instead
        merge = nullptr;
    }
    return static_cast<s32_t>(index);
}

bool OctreeGeometry::AddFace(const MapFace& face)
{
    OctreeGeometryChanged();
    if (face.indices[0] == face.indices[1] || face.indices[1] == face.indices[2] || face.indices[0] == face.indices[2])
        return true;
    if (faceCount == faceCapacity) {
        const std::uint64_t grown = faceCapacity ? 2ull * faceCapacity : 128u;
        if (grown > 0xFFFFFFFFull)
            return false;
        const MapFace copy = face;  // the face may lie in the array that is about to move
        if (!Reallocate(faces, faceCount, static_cast<u32_t>(grown)))
            return false;
        faceCapacity = static_cast<u32_t>(grown);
        faces[faceCount] = copy;
    } else {
        faces[faceCount] = face;
    }
    const MapFace& added = faces[faceCount++];
    if (g_faceLogPauses == 0)
        Log("ONMAF 0x%x TJ 0x%x\n", static_cast<u32_t>(reinterpret_cast<std::uintptr_t>(&added)), added.surface);
    return true;
}

bool OctreeGeometry::Shrink()
{
    OctreeGeometryChanged();
    OctreeVertexMerge::Release(merge);
    merge = nullptr;
    if (vertexCapacity != vertexCount) {
        if (!Reallocate(vertices, vertexCount, vertexCount))
            return false;
        vertexCapacity = vertexCount;
    }
    if (faceCapacity != faceCount) {
        if (!Reallocate(faces, faceCount, faceCount))
            return false;
        faceCapacity = faceCount;
    }
    return true;
}

void OctreeGeometry::Reset(bool freeArrays)
{
    OctreeGeometryChanged();
    if (freeArrays) {
        delete[] vertices;
        delete[] faces;
    }
    OctreeVertexMerge::Release(merge);
    merge = nullptr;
    vertices = nullptr;
    faces = nullptr;
    vertexCapacity = vertexCount = 0;
    faceCapacity = faceCount = 0;
}

bool OctreeGeometry::ReserveFaces(u32_t count)
{
    OctreeGeometryChanged();
    const std::uint64_t needed = std::uint64_t(faceCount) + count;
    if (needed <= faceCapacity)
        return true;
    if (needed > 0xFFFFFFFFull)
        return false;
    const std::uint64_t grown = std::max<std::uint64_t>(needed, std::uint64_t(faceCapacity) * 2);
    const u32_t capacity = static_cast<u32_t>(std::min<std::uint64_t>(grown, 0xFFFFFFFFull));
    if (!Reallocate(faces, faceCount, capacity))
        return false;
    faceCapacity = capacity;
    return true;
}

bool OctreeGeometry::AppendFace(const MapFace& face)
{
    OctreeGeometryChanged();
    const MapFace copy = face;  // the face may lie in the array that is about to grow
    if (!ReserveFaces(1))
        return false;
    faces[faceCount++] = copy;
    return true;
}

OctreeFaceLogPause::OctreeFaceLogPause()
{
    ++g_faceLogPauses;
}

OctreeFaceLogPause::~OctreeFaceLogPause()
{
    --g_faceLogPauses;
}

OctreeGeometry* OctreeGeometryNewPiece(const OctreeGeometry& source)
{
    OctreeGeometry* piece = new (std::nothrow) OctreeGeometry();
    if (piece) {
        piece->material = source.material;
        piece->splitVertical = source.splitVertical;
    }
    return piece;
}

void OctreeGeometryDelete(OctreeGeometry* set)
{
    if (!set)
        return;
    set->Reset(true);
    delete set;
}

void OctreeGeometryChanged()
{
    ++g_map.geometryEpoch;
}
