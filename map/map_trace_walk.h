// The octree walk of the map traces: the parametric traversal of OctreeTraceSegment over a compact
// copy of the tree's shape (the children of a node side by side in one array), so that a segment
// costs few memory reads besides the leaves it tests. Leaves come in the same order, with the same
// context; the visit also receives the parameter at which the segment's ray enters the leaf.
#pragma once
#include "core/types.h"

struct OctreeNode;
struct OctreeTraceContext;

using MapTraceLeafVisit = bool (*)(OctreeNode* leaf, OctreeTraceContext* context, float entry);

// As OctreeTraceSegment (octree_trace.h), over the loaded octree.
bool MapTraceWalkSegment(const float* start, const float* end, MapTraceLeafVisit visit, void* user, s32_t tileX,
                         s32_t tileZ);
