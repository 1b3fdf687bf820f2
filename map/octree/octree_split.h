// Cutting a triangle set at an axis-aligned plane: the octree build cuts every node's triangles at
// the centre planes of its box, and the map caches cut map meshes at the edges of the base tile.
#pragma once
#include "core/types.h"

struct OctreeGeometry;

// Cuts the source at the plane where coordinate `axis` (0 x, 1 y, 2 z) equals value. A vertex below
// the value is lower, any other (one on the plane too) upper. A triangle wholly on one side goes
// there whole; a crossing one is cut into a triangle and a quadrilateral (two triangles), the new
// vertices interpolated along the edges (and put on the plane exactly) with their normals
// normalised. Vertices merge as they are
// added; the faces made carry default face fields. Faces naming a missing vertex or one that is
// not finite are dropped. lower and upper must be empty; both end shrunk to fit.
// False (both left empty) when they are not empty, when memory runs out, or when a result would
// need more vertices than 16-bit indices reach.
bool OctreeGeometrySplitAxis(int axis, float value, const OctreeGeometry& source, OctreeGeometry* lower,
                             OctreeGeometry* upper);
bool OctreeGeometrySplitX(float value, const OctreeGeometry& source, OctreeGeometry* lower, OctreeGeometry* upper);
bool OctreeGeometrySplitY(float value, const OctreeGeometry& source, OctreeGeometry* lower, OctreeGeometry* upper);
bool OctreeGeometrySplitZ(float value, const OctreeGeometry& source, OctreeGeometry* lower, OctreeGeometry* upper);
