#include "map/octree_geometry.h"

#include <algorithm>
#include <cstdint>
#include <new>

bool OctreeGeometry::ReserveFaces(u32_t count)
{
    const std::uint64_t needed = std::uint64_t(faceCount) + count;
    if (needed <= faceCapacity)
        return true;
    if (needed > 0xFFFFFFFFull)
        return false;
    const std::uint64_t grown = std::max<std::uint64_t>(needed, std::uint64_t(faceCapacity) * 2);
    const u32_t capacity = static_cast<u32_t>(std::min<std::uint64_t>(grown, 0xFFFFFFFFull));
    OctreeFace* larger = new (std::nothrow) OctreeFace[capacity];
    if (!larger)
        return false;
    std::copy_n(faces, faceCount, larger);
    delete[] faces;
    faces = larger;
    faceCapacity = capacity;
    return true;
}

bool OctreeGeometry::AppendFace(const OctreeFace& face)
{
    const OctreeFace copy = face;  // the face may lie in the array that is about to grow
    if (!ReserveFaces(1))
        return false;
    faces[faceCount++] = copy;
    return true;
}

bool OctreeGeometry::AddFace(const OctreeFace& face)
{
    const u16_t* i = face.indices;
    if (i[0] == i[1] || i[1] == i[2] || i[0] == i[2])
        return true;
    return AppendFace(face);
}
