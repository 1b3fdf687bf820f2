// The octree over the map geometry: its node record and the walks over it. The map loader builds
// the tree; until it does there is no root and every walk visits nothing.
#pragma once
#include "core/types.h"
#include "map/octree_geometry.h"

struct D3DXPLANE;
struct ObjectGridEntry;

// Bits of OctreeNode::flags.
constexpr u32_t OCTREE_NODE_FULL_VISIBILITY = 0x10;  // the node needs the full visibility callback
constexpr u32_t OCTREE_NODE_BEYOND_FOG = 0x20;       // the node's geometry lies wholly beyond the fog start
constexpr u32_t OCTREE_NODE_FAR_DETAIL = 0x40;       // the node's geometry is drawn at the far level of detail

struct OctreeNode {
    OctreeNode* children[8];  // all null on a leaf; an inner node has its first child set
    Vector3 boxMin;           // the node's own box
    Vector3 boxMax;
    u32_t flags;
    u32_t queryStamp;  // the visit stamp of the last view query that reached the node
    u32_t planeMask;   // tiles of the indoor pass that reached the node under the current stamp

    // Static map geometry embedded in a leaf: its count, bounding box and bounding radius.
    u32_t geometryCount;
    Vector3 geometryBoxMin;
    Vector3 geometryBoxMax;
    float geometryRadius;

    u32_t waterSquareCount;  // water squares of the leaf

    OctreeGeometry geometry;  // the land triangles that lie in the node's box (vertices and faces owned)

    bool IsLeaf() const { return children[0] == nullptr; }

    // 0 when the box lies outside one plane, 1 when inside all of them, 2 when it crosses; a
    // corner counts as inside a plane when a x + b y + c z + d >= 0. No planes give 1.
    int TestPlanes(const D3DXPLANE* planes, u32_t planeCount) const;

    // Appends the node's linked objects that lie inside the 6 view planes and in the camera's cell,
    // once per visit stamp, while the list has room.
    void CollectDrawable(const D3DXPLANE* planes, ObjectGridEntry** list, u32_t* count, u32_t capacity,
                         const s8_t* cell);
    // The same against another plane set; the count also counts entries that found no room.
    void CollectInPlanes(const D3DXPLANE* planes, u32_t planeCount, ObjectGridEntry** list, u32_t* count,
                         u32_t capacity, const s8_t* cell);
};

using OctreeNodeCallback = void (*)(OctreeNode* node);

// The root of the loaded map's octree; null while no map is loaded.
OctreeNode* OctreeGetRoot();
// Makes the root a leaf over the cube around the box (side = the largest extent, same centre);
// an earlier tree is destroyed first. The side is the world size.
OctreeNode* OctreeCreateRoot(const Vector3& boxMin, const Vector3& boxMax);
// Frees the tree with the geometry of its nodes; there is no root afterwards.
void OctreeDestroy();
// Walks from the root: a node outside one plane is dropped, a node inside all planes hands every
// leaf below it to the callback untested, a crossing node is split into its children 0..7.
void OctreeCullFrustum(const D3DXPLANE* planes, u32_t planeCount, OctreeNodeCallback callback);
// The same walk from any node (the map loader's root or a test's own tree).
void OctreeNodeCullFrustum(OctreeNode* node, const D3DXPLANE* planes, u32_t planeCount, OctreeNodeCallback callback);
