// The land triangles of an octree leaf prepared for map traces: edges worked out once, triangles
// in groups of four that one set of vector instructions tests together, and a small box tree over
// the groups so that a segment tests only the groups its ray comes near. The answer is the one a
// plain pass over the faces in index order gives: the nearest hit with 0 <= t <= 1, and of equal
// hits the lowest face.
#pragma once
#include "core/types.h"

struct OctreeNode;
struct MapTraceLeafData;

struct LeafTriangleHit {
    float t;  // parameter along the segment
    float u;  // barycentric weight of the face's third vertex
    float v;  // barycentric weight of the face's second vertex
    u32_t face;
};

// The nearest of the leaf's own faces (OwnFaceCount) that the segment from start along
// direction (end - start, not normalised) hits with a parameter in [0, 1] and below hit->t.
// Faces are intersected with vertex order first, third, second, as the map trace defines. True
// when one was found (hit then holds it). The leaf's prepared data are made on first use and made
// again when its geometry changed.
bool MapTraceLeafTriangles(OctreeNode* leaf, const Vector3& start, const Vector3& direction, LeafTriangleHit* hit);
// The leaf's prepared data, made (again) when missing or when the leaf's geometry changed; null
// when they cannot be made.
MapTraceLeafData* MapTraceLeafPrepared(OctreeNode* leaf);
// The box of the leaf's traced faces as they were when the data were made.
void MapTraceLeafBounds(const MapTraceLeafData* data, Vector3* boundsMin, Vector3* boundsMax);
// MapTraceLeafTriangles on data already prepared.
bool MapTraceLeafDataTriangles(const MapTraceLeafData* data, const Vector3& start, const Vector3& direction,
                               LeafTriangleHit* hit);
// Frees a leaf's prepared data (the octree's destruction of the node).
void MapTraceLeafDataFree(MapTraceLeafData* data);
// Frees the trace walk's copy of the tree's shape (the octree's destruction).
void MapTraceTreeFree();
