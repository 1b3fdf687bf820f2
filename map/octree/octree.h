// The octree over the map geometry: its node record and the walks over it. The map loader builds
// the tree; until it does there is no root and every walk visits nothing.
#pragma once
#include "core/assert.h"
#include "core/types.h"
#include "map/octree/octree_geometry.h"

struct D3DXPLANE;
struct MapTraceLeafData;
struct ObjectGridEntry;
struct PackedGridEntry;
struct WaterSquare;

// Bits of OctreeNode::flags. Bits 0 to 3 hold the depth (root 0); the renderer owns bits 4 and up.
constexpr u32_t OCTREE_NODE_DEPTH_MASK = 0x0F;
constexpr u32_t OCTREE_NODE_FULL_VISIBILITY = 0x10;  // the node needs the full visibility callback
constexpr u32_t OCTREE_NODE_BEYOND_FOG = 0x20;       // the node's geometry lies wholly beyond the fog start
constexpr u32_t OCTREE_NODE_FAR_DETAIL = 0x40;       // the node's geometry is drawn at the far level of detail

// The deepest a node can be: its depth must fit the flag bits, so a node this deep is never split.
constexpr u32_t OCTREE_MAX_DEPTH = 15;
// A node whose own geometry holds more faces than this is split.
constexpr u32_t OCTREE_LEAF_FACES = 256;

// Child index bits: the child lies in the upper half of its parent on that axis.
constexpr int OCTREE_CHILD_X = 4;
constexpr int OCTREE_CHILD_Y = 2;
constexpr int OCTREE_CHILD_Z = 1;

// Directions of OctreeNode::neighbours.
enum OctreeDirection : int {
    OCTREE_POS_Z = 0,
    OCTREE_NEG_Z = 1,
    OCTREE_POS_Y = 2,
    OCTREE_NEG_Y = 3,
    OCTREE_NEG_X = 4,
    OCTREE_POS_X = 5,
};

// Land texture layers of a leaf.
constexpr int OCTREE_LAYER_COUNT = 32;
// Face numbers of a leaf (and the halves of a layer range) are 16-bit.
constexpr u32_t OCTREE_MAX_LEAF_FACES = 0xFFFF;
// Water squares a leaf can hold.
constexpr u32_t OCTREE_MAX_WATER_SQUARES = 256;

// A layer range: first face in the high 16 bits, number of faces in the low 16 bits.
constexpr u32_t OctreeLayerRange(u32_t firstFace, u32_t count)
{
    return (firstFace << 16) | (count & 0xFFFF);
}
constexpr u32_t OctreeLayerFirst(u32_t range)
{
    return range >> 16;
}
constexpr u32_t OctreeLayerCount(u32_t range)
{
    return range & 0xFFFF;
}

// One box of the tree. A plain record: a node is made with new, and the tree frees its nodes.
struct OctreeNode {
    // The fields a map trace reads at every leaf come first, so that they share the node's first
    // cache lines: the link head, the prepared faces and the geometry's arrays and counts.
    u32_t linkHead = 0xFFFFFFFFu;  // the first object link of the object grid; none
    // The same entries as the links from linkHead, in the same order, packed (object_grid.h); the
    // array is owned and only grows.
    u32_t packedCount = 0;
    u32_t packedCapacity = 0;
    PackedGridEntry* packedEntries = nullptr;
    // The leaf's own faces prepared for map traces (owned; made on the first trace that needs them).
    MapTraceLeafData* traceData = nullptr;
    // The land triangles that lie in the node's box (an inner node keeps all of them too).
    OctreeGeometry geometry;

    OctreeNode* neighbours[6] = {};  // across each face (OctreeDirection); null at the tree's edge
    OctreeNode* parent = nullptr;    // null for the root
    OctreeNode* children[8] = {};    // all null on a leaf, all set on an inner node
    Vector3 boxMin;                  // the node's own box
    Vector3 boxMax;
    float top = 0.0f;     // a leaf's highest own vertex, at least boxMin.y (set by the statistics pass)
    float radius = 0.0f;  // half the box diagonal (set by the statistics pass)
    u32_t flags = 0;
    u32_t queryStamp = 0;  // the visit stamp of the last view query that reached the node
    u32_t planeMask = 0;   // tiles of the indoor pass that reached the node under the current stamp

    // Map-mesh pieces in the box, in the order they were added: the array and every set in it are
    // owned. After a build only leaves hold non-empty sets.
    u32_t secondarySetCount = 0;
    OctreeGeometry** secondarySets = nullptr;

    // Water squares over the leaf: the array (room for OCTREE_MAX_WATER_SQUARES) is owned, the
    // squares are not.
    u32_t waterSquareCount = 0;
    WaterSquare** waterSquares = nullptr;

    // Land layers: the faces each layer shows follow the leaf's own faces as copies, one range per
    // layer (see OctreeGeometry::traceFaceCount).
    u32_t layerRanges[OCTREE_LAYER_COUNT] = {};

    // Where the static map buffers hold the leaf: the first index of its own faces, of each
    // layer's faces, and its first vertex.
    u32_t firstIndex = 0;
    u32_t layerFirstIndex[OCTREE_LAYER_COUNT] = {};
    u32_t baseVertex = 0;

    bool IsLeaf() const { return children[0] == nullptr; }
    u32_t Depth() const { return flags & OCTREE_NODE_DEPTH_MASK; }

    // The leaf's own faces, without the layer copies.
    u32_t OwnFaceCount() const { return geometry.OwnFaceCount(); }
    // The faces of the layer's range; 0 for a range that does not lie within the face array.
    u32_t LayerFaceCount(int layer) const
    {
        const u32_t range = layerRanges[layer];
        const u32_t count = OctreeLayerCount(range);
        return OctreeLayerFirst(range) + count <= geometry.faceCount ? count : 0;
    }
    // Own faces and layer faces together: the triangles the leaf index buffer holds for the leaf.
    u32_t IndexTriangleCount() const
    {
        u32_t total = OwnFaceCount();
        for (int layer = 0; layer < OCTREE_LAYER_COUNT; ++layer)
            total += LayerFaceCount(layer);
        return total;
    }

    // boxMin <= p <= boxMax on every axis.
    bool IsPointInside(const Vector3& p) const
    {
        return p.x >= boxMin.x && p.x <= boxMax.x && p.y >= boxMin.y && p.y <= boxMax.y && p.z >= boxMin.z &&
               p.z <= boxMax.z;
    }
    // BoxesOverlap with the box first and the node's box second (octree_query.h).
    bool OverlapsBox(const float* box) const;

    // 0 when the box lies outside one plane, 1 when inside all of them, 2 when it crosses; a
    // corner counts as inside a plane when a x + b y + c z + d >= 0. No planes give 1.
    int TestPlanes(const D3DXPLANE* planes, u32_t planeCount) const;

    // Box queries below the node for a box already in the base tile: 0 when the box misses the
    // node; for a leaf the callback's value; else 1 (the children are asked 0 to 7).
    int QueryBox(const float* box, s32_t tileX, s32_t tileZ, int (*callback)(OctreeNode*, s32_t, s32_t));

    // Makes the 8 children over the octants of the box (see the child index bits), one level deeper;
    // false when the node has children already or they cannot be made.
    bool CreateChildren();
    // Appends a set to the secondary sets (the node takes it over); false when the list cannot grow.
    bool AddSecondarySet(OctreeGeometry* set);
    // Splits the node and its descendants while a node holds more than OCTREE_LEAF_FACES faces of
    // its own: each child gets the pieces of the node's own geometry and of its secondary sets. A
    // node at OCTREE_MAX_DEPTH, or one whose cut would give a set more vertices than 16-bit indices
    // reach, stays a leaf.
    void Build();
    // On a tree read from the cache, hands the secondary sets of this node down to the leaves.
    void DistributeSecondarySets();
    // Sets the neighbours of every node below this one.
    void LinkNeighbours();
    // Frees what the node owns: children (recursively), secondary sets, the water-square array and
    // its own geometry arrays. The node itself stays.
    void Destroy();

    // Appends the node's linked entries that lie in the cell's tile rectangle and inside the 6 view
    // planes, once per visit stamp (g_map.octreeVisitMark), while the list has room. Actors,
    // structures, map objects and trees too small for their distance are stamped and left out;
    // the others get their full-detail flag by their distance. Both collections count each box they
    // test in the view's tests counter (g_visible.objectTests).
    void CollectDrawable(const D3DXPLANE* planes, ObjectGridEntry** list, u32_t* count, u32_t capacity,
                         const s8_t* cell);
    // The same against another plane set, without the distance rule; the count also counts the
    // entries that found no room (those are not stamped).
    void CollectInPlanes(const D3DXPLANE* planes, u32_t planeCount, ObjectGridEntry** list, u32_t* count,
                         u32_t capacity, const s8_t* cell);
};

using OctreeNodeCallback = void (*)(OctreeNode* node);

// The texts a leaf walk reports when the tree is too deep for its 256-entry stack: the landscape
// layers name the room the eight children need, the device buffers the depth the stack reaches.
// Both fail at the same depth.
inline constexpr const char* OCTREE_WALK_ROOM_CHECK = "(stack_c + 8) < 256";
inline constexpr const char* OCTREE_WALK_DEPTH_CHECK = "stack_c < 256";

// Every leaf below the node in the order the map caches are written in: an explicit stack, a node
// popped from it is a leaf or pushes its children 0 to 7 (so child 7 comes first). A tree too deep
// for 256 entries fails the assertion with the given text.
template <class Visit>
void OctreeForEachLeaf(OctreeNode* root, const char* depthCheck, Visit&& visit)
{
    if (!root)
        return;
    OctreeNode* stack[256];
    int stack_c = 0;
    stack[stack_c++] = root;
    while (stack_c > 0) {
        OctreeNode* node = stack[--stack_c];
        if (node->IsLeaf()) {
            visit(node);
            continue;
        }
        ENGINE_ASSERT_TEXT(stack_c + 8 < 256, depthCheck);
        for (OctreeNode* child : node->children) {
            if (child)
                stack[stack_c++] = child;
        }
    }
}

// The root of the loaded map's octree; null while no map is loaded.
OctreeNode* OctreeGetRoot();
// Makes the root a leaf over the cube around the box (side = the largest extent, same centre);
// an earlier tree is destroyed first. The side is the world size.
OctreeNode* OctreeCreateRoot(const Vector3& boxMin, const Vector3& boxMax);
// The side of the square base tile given to OctreeCreateRoot; 0 without a root.
float OctreeGetWorldSize();
// Frees the tree with the geometry of its nodes; there is no root afterwards.
void OctreeDestroy();
// Destroys a node that is no part of the loaded tree, with everything below it.
void OctreeNodeDelete(OctreeNode* node);
// Walks from the root: a node outside one plane is dropped, a node inside all planes hands every
// leaf below it to the callback untested, a crossing node is split into its children 0..7.
void OctreeCullFrustum(const D3DXPLANE* planes, u32_t planeCount, OctreeNodeCallback callback);
// The same walk from any node (the map loader's root or a test's own tree).
void OctreeNodeCullFrustum(OctreeNode* node, const D3DXPLANE* planes, u32_t planeCount, OctreeNodeCallback callback);
