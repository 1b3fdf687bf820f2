// The octree nodes and objects a view sees: the callbacks that the octree walk calls for each
// node it reaches, and the lists they fill. The visibility pass resets the lists and counters
// before each walk and draws from them afterwards.
#pragma once
#include "core/types.h"
#include "platform/d3dx8_math.h"

class DynamicObject;
struct ObjectGridEntry;
struct OctreeNode;

constexpr u32_t kMaxVisibleNodes = 1024;
constexpr u32_t kMaxVisibleObjects = 4096;
constexpr u32_t MAX_REPORTED_VISIBLE_OBJECTS = 4096;

// What the view being drawn sees. RenderShutdown starts it afresh.
struct VisibleSet {
    OctreeNode* nodes[kMaxVisibleNodes];
    u32_t nodeCount = 0;
    ObjectGridEntry* objects[kMaxVisibleObjects];
    u32_t objectCount = 0;

    // Water squares of the visible nodes, and the distance from the eye to the nearest of their
    // nodes (never below 0).
    u32_t waterTotal = 0;
    float nearestWater = 1e30f;

    // The world tile the camera stands in: (x, z) as bytes, and packed (z in the high 16 bits, x in
    // the low).
    s8_t cell[2] = {0, 0};
    u32_t cellWord = 0;

    // The camera of the visibility pass at its own (unwrapped) position: the eye and the 6 planes
    // that objects are collected against and measured from.
    D3DXVECTOR3 visibilityEye = {0.0f, 0.0f, 0.0f};
    D3DXPLANE visibilityFrustum[6] = {};
    // Object boxes tested against the frustum in the current pass (the object collectors add them).
    u32_t objectTests = 0;

    // The extra plane set (indoor clip planes) of the stamped callbacks.
    const D3DXPLANE* extraPlanes = nullptr;
    u32_t extraPlaneCount = 0;

    // The objects the indoor plug-in reports visible this frame (render/land/map_chunks.h); the
    // visibility pass resets the list.
    DynamicObject* reportedObjects[MAX_REPORTED_VISIBLE_OBJECTS];
    u32_t reportedObjectCount = 0;
};

extern VisibleSet g_visible;

// The full callback: sets the node's fog and detail flags from its geometry, lists the node,
// collects its objects and adds up its water. Does nothing once the list holds 1024 nodes.
void ViewNodeVisible(OctreeNode* node);
// Nodes flagged for full visibility get ViewNodeVisible; others only have their objects collected.
void ViewNodeVisibleChecked(OctreeNode* node);
// Lists the node while there is room; the new count.
u32_t ViewNodeAppend(OctreeNode* node);
// Once per visit stamp: clears the node's tile mask and runs the callback; then adds the mask and
// collects the node's objects inside the extra planes.
void ViewNodeVisibleStamped(OctreeNode* node, u32_t mask);
void ViewNodeVisibleCheckedStamped(OctreeNode* node, u32_t mask);
void ViewGetVisibleNodes(OctreeNode*** outList, u32_t* outCount);
// The nodes seen from the position moved by whole world tiles: tileIndex (x, z) 0 to 4 select the
// offsets -2 to 2.
void EditorCollectVisibleNodes(const float* position, const s32_t* tileIndex, OctreeNode*** outList, u32_t* outCount);
