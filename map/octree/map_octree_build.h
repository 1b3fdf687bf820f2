// The map load's octree step: the land triangles and the roads go into the octree, which is read
// from its cache beside the map data or built and written there; then the neighbours, the per-leaf
// data and the statistics.
#pragma once
#include <string>

#include "core/types.h"
#include "map/meshes/map_face.h"

// The land geometry the map load built, and the map's bounding box. The octree takes the arrays
// over: MapBuildOctree clears the pointers and counts.
struct MapLandGeometry {
    MapVertex* vertices = nullptr;
    u32_t vertexCount = 0;
    MapFace* faces = nullptr;
    u32_t faceCount = 0;
    Vector3 boxMin = {};
    Vector3 boxMax = {};
};

// The cache file: the folder of the map data path (up to its last separator) + land + ".oct".
std::string MapOctreeCachePath(const char* landName);

// On the root the map load made (OctreeCreateRoot): the land arrays become the root's own
// geometry; every road of the road list becomes an overlay set of its own, moved into the base
// tile and cut at the tile's far edges; then the cache is read (and the sets handed down to the
// leaves) or, when it is missing, stale or unsound, the tree is built and the cache written. Without
// a root it does nothing and the arrays stay the caller's. True when the cache was read.
bool MapBuildOctree(MapLandGeometry* land, const char* landName);
