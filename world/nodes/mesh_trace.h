// Rays against the faces of one mesh of an animated mesh, in the mesh's own space. The graphic
// node's trace (GraphNode::TraceRay) runs them on its selected meshes; the indoor bridge runs them
// on meshes that belong to no node.
#pragma once
#include "core/types.h"

class AnimMesh;
struct MapGrid;

// The nearest face of mesh meshIndex at frame that the ray hits strictly nearer than
// *bestDistance (a ray parameter, in units of direction): its index, with *bestDistance lowered
// and barycentric (2 floats) set; -1 when none. A one-sided face is hit only from its front, with
// the origin on or in front of its plane; a two-sided mesh (bit 31 of its texture word) from both.
s32_t MeshTraceRay(const AnimMesh* mesh, u32_t meshIndex, u32_t frame, const Vector3& origin, const Vector3& direction,
                   float* bestDistance, float* barycentric);
// The same, where the texel of the alpha map under the hit must be at least threshold; a ray
// through a lower texel passes on.
s32_t MeshTraceRayGrid(const AnimMesh* mesh, u32_t meshIndex, u32_t frame, const MapGrid* alphaMap, u8_t threshold,
                       const Vector3& origin, const Vector3& direction, float* bestDistance, float* barycentric);
// A texture coordinate wrapped into [0, 1).
float WrapTexCoord(float value);
