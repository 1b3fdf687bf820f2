// The statistics pass over the octree: leaf tops and node radii, and the totals it prints.
#pragma once
#include "core/types.h"

struct OctreeStats {
    u32_t faces = 0;     // own faces of the leaves
    u32_t vertices = 0;  // own vertices of the leaves
    u32_t nodes = 0;
    u32_t bytes = 0;     // 492 per node, and the leaves' vertices and faces as the cache stores them
    u32_t maxDepth = 0;  // of the leaves
};

// Walks the tree from the root (parent before children, children 0 to 7): sets every node's radius
// and every leaf's top, counts, then prints the totals to the debugger output.
void OctreePrintStats();
// The totals of the last pass.
const OctreeStats& OctreeGetStats();
