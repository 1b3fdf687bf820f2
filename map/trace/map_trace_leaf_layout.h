// The memory layout of a leaf's prepared triangles (map_trace_leaf.h): the header, the four-wide box
// tree the traces walk and the packets of four triangles, in one block. Shared by the preparation
// and by the tree walks built for each instruction set.
#pragma once
#include "core/types.h"

struct MapFace;
struct MapVertex;
struct PacketTreeNode;

struct alignas(16) TrianglePacket {
    float p0[3][4];  // the face's first vertex, per lane
    float e1[3][4];  // third vertex - first vertex
    float e2[3][4];  // second vertex - first vertex
    u32_t face[4];   // kTraceNoFace in unused lanes
};

// Four children side by side, tested against a ray with one set of vector instructions. A child
// is an inner node (count 0, child its node) or a run of packets (count packets from child); an
// unused slot has an empty box.
// Boxes are kept as 16-bit steps of the leaf's grid (rounded outwards), so that a node fills one
// cache line.
struct alignas(64) QuadNode {
    s16_t low[3][4];
    s16_t high[3][4];
    u16_t child[4];
    u8_t count[4];  // kTraceEmptySlot for an unused slot
};
static_assert(sizeof(QuadNode) == 64);

// One leaf's prepared triangles. The key fields tell whether the leaf's geometry is still the one
// the data were made from.
struct MapTraceLeafData {
    const MapVertex* vertices = nullptr;
    const MapFace* faces = nullptr;
    u32_t vertexCount = 0;
    u32_t ownFaces = 0;
    u32_t epoch = 0;
    // The box of the traced faces' corners, for the traces' box probe. Made from the faces rather than
    // taken from the set's recorded bounds: a set filled directly (not through AddVertex) has none,
    // and the faces' box is never larger.
    Vector3 boundsMin, boundsMax;
    TrianglePacket* packets = nullptr;
    u32_t packetCount = 0;
    PacketTreeNode* nodes = nullptr;  // the binary tree, only while building
    u32_t nodeCount = 0;
    QuadNode* quads = nullptr;  // the tree the traces walk; node 0 is the root
    u32_t quadCount = 0;
    // Position = gridOrigin + step x gridScale on each axis.
    float gridOrigin[3] = {0.0f, 0.0f, 0.0f};
    float gridScale[3] = {1.0f, 1.0f, 1.0f};
};

constexpr u32_t kTraceNoFace = 0xFFFFFFFFu;
constexpr u8_t kTraceEmptySlot = 0xFF;
constexpr u32_t kTraceLanes = 4;
constexpr int kTraceMaxTreeDepth = 64;
