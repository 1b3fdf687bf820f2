#include "map/meshes/geometry_cut.h"

#include <cmath>

#include "map/octree/octree_geometry.h"
#include "map/octree/octree_split.h"

u32_t TileOffsetAdvance(u32_t offset, s32_t dx, s32_t dz)
{
    if (offset == OCTREE_ALWAYS_VISIBLE)
        return offset;
    const u32_t low = (offset + static_cast<u32_t>(dx)) & 0xFFFFu;
    const u32_t high = ((offset >> 16) + static_cast<u32_t>(dz)) & 0xFFFFu;
    return low | (high << 16);
}

void GeometryShiftTile(OctreeGeometry* geometry, const Vector3& offset, s32_t dx, s32_t dz)
{
    geometry->material.visibleStamp = TileOffsetAdvance(geometry->material.visibleStamp, dx, dz);
    for (u32_t i = 0; i < geometry->vertexCount; ++i) {
        Vector3& p = geometry->vertices[i].position;
        p = {p.x + offset.x, p.y + offset.y, p.z + offset.z};
    }
    if (geometry->boundsMin.x <= geometry->boundsMax.x) {
        geometry->boundsMin = {geometry->boundsMin.x + offset.x, geometry->boundsMin.y + offset.y,
                               geometry->boundsMin.z + offset.z};
        geometry->boundsMax = {geometry->boundsMax.x + offset.x, geometry->boundsMax.y + offset.y,
                               geometry->boundsMax.z + offset.z};
    }
}

void GeometryRecentreToBaseTile(OctreeGeometry* geometry, float worldSize)
{
    if (!(worldSize > 0.0f) || geometry->boundsMin.x > geometry->boundsMax.x)
        return;
    const float tx = std::floor(geometry->boundsMin.x / worldSize + 0.5f);
    const float tz = std::floor(geometry->boundsMin.z / worldSize + 0.5f);
    if (!std::isfinite(tx) || !std::isfinite(tz) || std::fabs(tx) > 32767.0f || std::fabs(tz) > 32767.0f)
        return;
    const s32_t ix = static_cast<s32_t>(tx), iz = static_cast<s32_t>(tz);
    if (ix == 0 && iz == 0)
        return;
    GeometryShiftTile(geometry, {-tx * worldSize, 0.0f, -tz * worldSize}, ix, iz);
}

OctreeGeometry* GeometrySplitAtPlane(OctreeGeometry* source, int axis, float value, OctreeGeometry** far)
{
    *far = nullptr;
    OctreeGeometry* lower = OctreeGeometryNewPiece(*source);
    OctreeGeometry* upper = OctreeGeometryNewPiece(*source);
    if (!lower || !upper || !OctreeGeometrySplitAxis(axis, value, *source, lower, upper)) {
        OctreeGeometryDelete(lower);
        OctreeGeometryDelete(upper);
        return nullptr;
    }
    OctreeGeometryDelete(source);
    *far = upper;
    return lower;
}
