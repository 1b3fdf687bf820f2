// The per-leaf data prepared once the map's octree is built or read back: the overlay sets among a
// leaf's secondary sets (roads) cut to the shape of the leaf's own faces and laid onto them, and the
// water squares of every water layer filed in the leaves that hold their centres.
#pragma once

#include "core/types.h"

struct OctreeNode;

// Over the tree below the root (null: the loaded map's root; nothing without one). A square whose
// centre lies in no leaf, and a leaf's squares beyond OCTREE_MAX_WATER_SQUARES, are left out.
void MapPrepareLeafData(OctreeNode* root = nullptr);
// The leaf that holds the point (its box, bounds included); null when none.
OctreeNode* OctreeFindLeaf(OctreeNode* root, const Vector3& point);
