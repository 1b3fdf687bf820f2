// Cutting map-mesh pieces into the base tile of the repeating world: the octree build moves each
// piece by whole world sizes until it starts in the base tile, then cuts what reaches past the
// tile's far edges and moves those parts back one world size. A piece's packed tile offset (its
// OctreeMaterialDraw::visibleStamp: low 16 bits the x tile, high 16 bits the z tile, each wrapping
// at 16 bits) follows every move; OCTREE_ALWAYS_VISIBLE is never changed.
#pragma once
#include "core/types.h"

struct OctreeGeometry;

// The offset advanced by (dx, dz) tiles; OCTREE_ALWAYS_VISIBLE stays.
u32_t TileOffsetAdvance(u32_t offset, s32_t dx, s32_t dz);

// Tile index on x and z = floor(bounds min / world size + 0.5); when either is non-zero every
// vertex and the bounds move back by index x size and the tile offset advances by the indices.
void GeometryRecentreToBaseTile(OctreeGeometry* geometry, float worldSize);
// Cuts the set at coordinate axis (0 x, 2 z) = value into two new sets that carry what it carries,
// and frees it. Returns the part below the value and gives the rest in far; null (far null, the
// source untouched) when the cut cannot be made.
OctreeGeometry* GeometrySplitAtPlane(OctreeGeometry* source, int axis, float value, OctreeGeometry** far);
// Moves every vertex and the bounds by the offset and advances the tile offset by (dx, dz).
void GeometryShiftTile(OctreeGeometry* geometry, const Vector3& offset, s32_t dx, s32_t dz);
