// The octree walk of the map traces: the parametric traversal of OctreeTraceSegment over a compact
// copy of the tree's shape (the children of a node side by side in one array), so that a segment
// costs few memory reads besides the leaves it tests. Leaves come in the same order, with the same
// context; the visit also receives the parameter at which the segment's ray enters the leaf.
#pragma once
#include "core/types.h"

struct OctreeNode;
struct OctreeTraceContext;

using MapTraceLeafVisit = bool (*)(OctreeNode* leaf, OctreeTraceContext* context, float entry);

// As OctreeTraceSegment (octree_trace.h), over the loaded octree. When endAt is given, the walk
// also ends (false, *passedEnd set) at the first node the ray enters beyond that parameter: no
// leaf after it can hold anything nearer.
bool MapTraceWalkSegment(const float* start, const float* end, MapTraceLeafVisit visit, void* user, s32_t tileX,
                         s32_t tileZ, float endAt = 3.4e38f, bool* passedEnd = nullptr);
