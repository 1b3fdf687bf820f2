// The map subsystem's state record: the octree's per-pass visit mark, the actors' relation lists, the
// sight factors of the loaded map, the object grid's link pool, the world registry's tables, the loaded
// land's geometry and map meshes, and the trace state.
#pragma once
#include "core/strings/ptr_ref_array.h"
#include "core/types.h"
#include "map/meshes/map_face.h"
#include "map/octree/object_grid.h"

class Actor;
class DynamicObject;
struct MapMesh;
struct OctreeNode;

// The octree as the map traces walk it: the nodes in one array, the 8 children of a node side by side.
struct TraceTreeNode {
    u32_t firstChild;  // 0 for a leaf (the root is entry 0 and no node's child)
    OctreeNode* node;
    // The leaf's prepared faces as the last trace through it found them; only ever used to fetch
    // memory ahead (a stale value costs nothing but the fetch).
    const void* preparedHint;
};

// The world registry's bounds (the names the checks give them).
constexpr u32_t DYN_MAX_OBJECTS = 4096;
constexpr u32_t MAX_ACTORS = 256;
// Map meshes a land can hold.
constexpr u32_t MAP_MAX_MESHES = 2048;

struct MapState {
    // Bumped by each pass that walks the octree; an object whose octree link carries the current mark
    // counts as already handled in this pass. Plug-ins read it through the host data entry
    // "octree_object_checked".
    u32_t octreeVisitMark = 0;
    // Set by the map load and "mxrebuild": the landscape drawing refreshes what it keeps of the land.
    bool landscapeNeedsRefresh = false;
    // The actors in the world by the team of their AI (0 FRIEND, 1 NEUTRAL, 2 ENEMY), kept by
    // ActorSideListAdd and ActorSideListRemove (map/registry/actor_side_lists.h). They only reference: the world
    // owns the actors, and emptying a list deletes nothing.
    PtrRefArray<Actor> FriendActorList;
    PtrRefArray<Actor> NeutralActorList;
    PtrRefArray<Actor> EnemyActorList;
    // Set by the map load from the view range, the fog start and the ambient light
    // (MapSightFactorsCompute, map/trace/map_sight.h); 1.0 while no map is loaded.
    float sightRangeFactor = 1.0f;
    float sightLightFactor = 1.0f;

    // The object grid's link pool: links addressed by index, the free list threaded through next.
    GridLink* gridLinks = nullptr;
    u32_t gridLinkCapacity = 0;
    u32_t gridLinkFree = GRID_LINK_NONE;

    // The world registry: objects in the world, the actors among them, and the objects taken out
    // of the world that stay in memory until the map is unloaded.
    DynamicObject* objects[DYN_MAX_OBJECTS] = {};
    u32_t objectCount = 0;
    Actor* actorTable[MAX_ACTORS] = {};
    u32_t actorCount = 0;
    DynamicObject* destroyQueue[DYN_MAX_OBJECTS] = {};
    u32_t destroyCount = 0;
    // The world's lowest and highest points of the frame (DynObjectsUpdate).
    float lowestPoint = 0.0f;
    float highestPoint = 0.0f;

    // The land geometry as the map mesh reader left it, until the octree takes the arrays over.
    MapVertex* landVertices = nullptr;
    u32_t landVertexCount = 0;
    MapFace* landFaces = nullptr;
    u32_t landFaceCount = 0;
    // The map meshes of the land (owned records).
    MapMesh* meshes[MAP_MAX_MESHES] = {};
    u32_t meshCount = 0;
    // The map box: the bounds of the land vertices (MapComputeBounds), min then max, and their
    // inverse x and z extents.
    Vector3 bounds[2] = {{1e30f, 1e30f, 1e30f}, {-1e30f, -1e30f, -1e30f}};
    float inverseExtentX = 0.0f;
    float inverseExtentZ = 0.0f;
    // Identity unless the land is mirrored or rotated: turns texture coordinates about (0.5, 0.5).
    float textureMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    // Counts the changes to octree triangle sets (OctreeGeometryChanged) and to the tree's shape.
    u32_t geometryEpoch = 0;
    u32_t treeEpoch = 0;
    // The trace walk's copy of the tree's shape, made again when treeEpoch moved on.
    TraceTreeNode* traceTree = nullptr;
    u32_t traceTreeCount = 0;
    u32_t traceTreeEpoch = 0;
    bool traceTreeValid = false;
    // Incremented by every MapTrace: an object accepted by a trace is not tested again in it.
    u32_t traceStamp = 0;
    // The x and z offset of the world tile the current trace walks.
    float traceTileOffset[2] = {0.0f, 0.0f};
};

extern MapState g_map;
