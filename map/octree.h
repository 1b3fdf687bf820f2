// The octree over the map geometry: its node record and the walks over it. The map loader builds
// the tree; until it does there is no root and every walk visits nothing.
#pragma once
#include "core/assert.h"
#include "core/types.h"
#include "map/octree_geometry.h"

struct D3DXPLANE;
struct ObjectGridEntry;

// Bits of OctreeNode::flags.
constexpr u32_t OCTREE_NODE_FULL_VISIBILITY = 0x10;  // the node needs the full visibility callback
constexpr u32_t OCTREE_NODE_BEYOND_FOG = 0x20;       // the node's geometry lies wholly beyond the fog start
constexpr u32_t OCTREE_NODE_FAR_DETAIL = 0x40;       // the node's geometry is drawn at the far level of detail

// Land texture layers of a leaf.
constexpr int OCTREE_LAYER_COUNT = 32;
// Face numbers of a leaf (and the halves of a layer range) are 16-bit.
constexpr u32_t OCTREE_MAX_LEAF_FACES = 0xFFFF;

// A layer range: first face in the high 16 bits, number of faces in the low 16 bits.
constexpr u32_t OctreeLayerRange(u32_t firstFace, u32_t count) { return (firstFace << 16) | (count & 0xFFFF); }
constexpr u32_t OctreeLayerFirst(u32_t range) { return range >> 16; }
constexpr u32_t OctreeLayerCount(u32_t range) { return range & 0xFFFF; }

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

    // Map-mesh pieces hung on the leaf: the array and every record in it are owned.
    u32_t attachedCount;
    OctreeGeometry** attached;

    // Land layers. The leaf's own faces come first; the faces each layer shows follow as copies,
    // one range per layer. firstLayerFace 0: no layer faces were appended, every face is its own.
    u32_t firstLayerFace;
    u32_t layerRanges[OCTREE_LAYER_COUNT];

    // Where the static map buffers hold the leaf: the first index of its own faces, of each
    // layer's faces, and its first vertex.
    u32_t firstIndex;
    u32_t layerFirstIndex[OCTREE_LAYER_COUNT];
    u32_t baseVertex;

    bool IsLeaf() const { return children[0] == nullptr; }

    // The leaf's own faces, without the layer copies.
    u32_t OwnFaceCount() const
    {
        return firstLayerFace && firstLayerFace < geometry.faceCount ? firstLayerFace : geometry.faceCount;
    }
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
// Frees the tree with the geometry of its nodes; there is no root afterwards.
void OctreeDestroy();
// Walks from the root: a node outside one plane is dropped, a node inside all planes hands every
// leaf below it to the callback untested, a crossing node is split into its children 0..7.
void OctreeCullFrustum(const D3DXPLANE* planes, u32_t planeCount, OctreeNodeCallback callback);
// The same walk from any node (the map loader's root or a test's own tree).
void OctreeNodeCullFrustum(OctreeNode* node, const D3DXPLANE* planes, u32_t planeCount, OctreeNodeCallback callback);
