// The static map buffers (StaticMapBuffers in the render context): the triangles of every octree
// leaf, own faces then each land layer's faces, and the map-mesh pieces hung on the leaves, built
// once per mission and again after every device reset or mode change.
//
// Indices hold the vertex numbers of their own leaf or piece, not of the whole buffer: a draw
// passes the leaf's (or piece's) base vertex to SetIndices, so maps of any size draw right.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

// The 20-byte vertex of the static map buffers.
struct VertexPT {
    float x, y, z;
    float u, v;
};
constexpr DWORD STATIC_MAP_FVF = D3DFVF_XYZ | D3DFVF_TEX1;

// What the build reports when its filling walk wrote another number of leaf vertices or indices
// than its counting walk found (the two walks read the same tree, so this marks a broken build).
inline constexpr const char* STATIC_BUFFERS_VERTEX_CHECK = "(u32_t)((vb_out - vb_start) / 5) == vertices";
inline constexpr const char* STATIC_BUFFERS_INDEX_CHECK = "(u32_t)(ib_out - ib_start) == indices";

// Releases any earlier buffers, then builds the leaf pair (and the attached pair when the pieces
// have vertices and faces) from the current octree and writes each leaf's and piece's first index
// and base vertex. False, with an error line and no buffers, when one cannot be made or filled;
// true also when there is nothing to build. A tree too deep for the walks' stack fails the assertion
// OCTREE_WALK_DEPTH_CHECK.
bool RenderBuildStaticBuffers();
// RenderPrepareBuffers (declared with the device in render/render_device.h) builds them at mission start.
