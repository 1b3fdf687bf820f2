// Static map chunk drawing: the landscape passes' draw calls over the static map buffers
// (render/device/static_buffers.h). A chunk is a leaf of the visible-node list (g_visible.nodes): its own
// faces, or the faces of one land layer. Its material sub-chunks are the map-mesh pieces hung on
// it, drawn with their own texture and filters. One indexed draw per chunk or sub-chunk, with its
// base vertex; every call binds the buffers once and unbinds stream 0 and the indices at the end.
#pragma once
#include "core/types.h"

class DynamicObject;

// The pass a chunk belongs to: 2 when it is drawn at the far level of detail, else 1.
constexpr u32_t MAP_CHUNK_PASS_NEAR = 1;
constexpr u32_t MAP_CHUNK_PASS_FAR = 2;

// While enabled, only chunks whose visibility bits (OctreeNode::planeMask) hold the bit (0 to 31)
// are drawn.
void MapChunksSetVisibilityFilter(bool enabled, u32_t bit);

// Each chunk with faces that passes the filter, is in a pass of passMask and, when flaggedOnly,
// lies beyond the fog start (OCTREE_NODE_BEYOND_FOG): its own faces.
void MapChunksDraw(bool flaggedOnly, u32_t passMask);
// The same without the fog test: the faces of one land layer (0 to 31); a chunk without faces in
// that layer is skipped.
void MapChunksDrawLayer(int layer, u32_t passMask);
// The material sub-chunks of every chunk that passes the filter: those stamped always visible or
// with the current view tile (g_visible.cellWord), each with its texture and filters on stage 0. Depth
// test on and depth writes off meanwhile, under the camera's projection with the near plane moved
// out by 0.005 and the far plane ten times as far; the camera's projection comes back afterwards.
void MapChunksDrawMaterials();
// The same for the chunks of the passes in passMask.
void MapChunksDrawMaterialsPass(u32_t passMask);
// For the wireframe view (the caller sets the fill mode): every chunk and sub-chunk that passes the
// filter, each with its own stable texture factor colour, green for chunks beyond the fog start.
void MapChunksDrawWireframe();

// Adds to the frame statistics.
void RenderAddStats(u32_t vertices, u32_t triangles, u32_t lines, u32_t indices);

// The objects the indoor plug-in reports visible this frame (g_visible.reportedObjects); the
// visibility pass resets the list. Appends the object; false (nothing added) for null or a full list.
bool RenderAddVisibleObject(DynamicObject* object);
void RenderResetVisibleObjects();
