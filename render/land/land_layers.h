// Landscape layers: for every leaf of the land octree, the faces each of the 32 land texture layers
// really shows, appended to the leaf as copies with one range per layer (OctreeNode::layerRanges),
// so that the landscape draws each layer over those faces only. They are worked out by drawing the
// leaf's faces, numbered in the vertex colour, through each layer's alpha texture into a 256 x 256
// target and reading the pixels back, and cached in a ".lvi" file beside the map data:
//
//   "VisibleLayers" (13 bytes), version u32 1, then per leaf in OctreeForEachLeaf order:
//   face count n after the layer faces (u32; 0 for a leaf without faces, nothing else follows),
//   the 32 layer ranges (u32 each), the three u16 vertex numbers of each appended face.
#pragma once
#include <cstddef>
#include <string>

#include "core/types.h"

struct OctreeGeometry;
struct OctreeNode;

enum LandLayersResult {
    LAND_LAYERS_NO_MAP,          // no octree: nothing to do
    LAND_LAYERS_LOADED,          // from a valid, current cache
    LAND_LAYERS_BUILT,           // built and the cache written
    LAND_LAYERS_BUILT_UNCACHED,  // built, but nothing written: a pass could not render, or no file
};

// The cache of a land: the folder of MapGetDataPath() (up to its last separator) + name + ".lvi".
std::string LandLayersCachePath(const char* name);

// Loads the cache when it is valid and current (on disk and not stale, or in the archives); else
// builds the layers of every leaf and writes the cache. A leaf's earlier layer faces are dropped
// first, so a rebuild gives the same result.
LandLayersResult LandLayersBuild(const char* name);

// The layers whose alpha map covers a face, as a mask: bit 0 to start with; then for each layer
// with a grid (MapGetVegetationLayerGrid), in rising order, the grid sampled bilinearly (wrapping,
// texel centres at half texels) at the mean of the face's texture coordinates: above 254 the layer
// hides every layer below it, above 1 it shows. 0 for a face the geometry does not hold. The build
// does not consult it: faces that no pass saw join every layer that shows any face.
u32_t LandLayerFaceMask(const OctreeGeometry& geometry, u32_t face);

// The cache ------------------------------------------------------------------------------------------

// Drops the tree's layer faces, then applies a whole cache to it. False, with own faces only left,
// unless the bytes are a cache of exactly this tree: magic, version, one record per leaf whose count
// fits the leaf's own faces, layer ranges within the record, vertex numbers within the leaf, nothing
// left over.
bool LandLayersReadCache(OctreeNode* root, const void* data, size_t size);
// Writes the layer faces of the tree below root; false (and no file left) when it cannot.
bool LandLayersWriteCache(OctreeNode* root, const char* path);

// Drops the layer faces of every leaf below root: own faces only, empty ranges.
void LandLayersForget(OctreeNode* root);
