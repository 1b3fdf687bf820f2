// The static map buffers (StaticMapBuffers in the render context): the triangles of every octree
// leaf, own faces then each land layer's faces, and the map-mesh pieces hung on the leaves. The map
// builds them (map/terrain/static_map_buffers.h); the renderer draws them.
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
