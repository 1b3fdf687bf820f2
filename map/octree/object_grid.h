// The object grid: which world things overlap each leaf of the octree. Each linked thing owns one
// entry; collection passes stamp it so that a thing linked to several leaves is reported once.
// Links live in one pool that grows by doubling and is addressed by index, so the pool can move
// while links exist.
#pragma once
#include "core/types.h"

struct OctreeNode;

// "No link" in every index of the pool.
constexpr u32_t GRID_LINK_NONE = 0xFFFFFFFFu;

// What an entry's owner is.
enum ObjectGridKind : u32_t {
    OBJECT_GRID_MAP_MESH = 0,  // a MapMesh
    OBJECT_GRID_OBJECT = 3,    // a graphic world object
    OBJECT_GRID_SHADOW = 4,    // a shadow companion
};

struct ObjectGridEntry {
    Vector3 boxMin;  // the box it was last linked with
    Vector3 boxMax;
    s8_t tileRect[4];  // min tile x, min tile z, max tile x, max tile z of that box
    // The map trace stamp at which a trace last accepted the entry.
    u32_t traceStamp;
    // The value of the octree visit mark (g_map.octreeVisitMark) at which a pass last reported (or
    // dropped) the entry: an entry stamped with the current value counts as handled in that pass.
    u32_t visitStamp;
    u32_t kind;   // ObjectGridKind
    void* owner;  // the map mesh record or the DynamicObject
    u32_t firstLink;
};

// An element of the link pool: one entry in one leaf. A leaf's links form a doubly linked list from
// its linkHead, an entry's links a singly linked list from its firstLink through entryNext.
struct GridLink {
    u32_t next;  // next link of the same leaf, or next free link
    u32_t prev;
    ObjectGridEntry* entry;
    u32_t entryNext;
    OctreeNode* node;
};

// One entry of a leaf's packed list: the leaf's links in their order, with what the map traces ask
// of an entry before anything else (its kind, owner, tile rectangle and linked box, which stay as
// they are while it is linked), side by side so that a trace reads no link and no entry it has no
// use for.
struct PackedGridEntry {
    Vector3 boxMin;
    Vector3 boxMax;
    void* owner;
    ObjectGridEntry* entry;
    u32_t kind;
    s8_t tileRect[4];
};

// A new unlinked entry: trace stamp one below the current map trace stamp, visit stamp 0.
ObjectGridEntry* ObjectGridEntryCreate(u32_t kind, void* owner);

// The empty pool (the octree's creation); the pool freed (its destruction). Freeing also marks
// every entry still linked as unlinked, so that no entry keeps an index into a pool that is gone.
void GridLinkPoolReset();
void GridLinkPoolFree();

// Links the entry into every leaf its box overlaps, in every repetition of the world the box
// touches (see ObjectGridSplitBox). The entry must not be linked. A box that is empty (min above
// max), not finite or beyond the tiles 8-bit tile numbers count is linked nowhere, and so is any
// box while there is no octree.
void ObjectGridLink(ObjectGridEntry* entry, const float* box);
// Returns all of the entry's links to the free list.
void ObjectGridUnlink(ObjectGridEntry* entry);
// Cuts the box into its pieces inside the base tile, x outer and z inner; at most 4. A box whose
// max corner lies two or more tiles beyond its min corner's tile is cut to one world size on that
// axis. The box must be finite and not empty.
int ObjectGridSplitBox(const float* box, float (*pieces)[6]);

// The leaf's newest entry (null when it has none); the iterator gets the next link's index.
ObjectGridEntry* ObjectGridFirst(const OctreeNode* node, u32_t* iterator);
// The entry of the link the iterator names, advancing it; null once the iterator is GRID_LINK_NONE.
ObjectGridEntry* ObjectGridNext(u32_t* iterator);

// True when the cell (tile x, tile z) lies in the tile rectangle (min x, min z, max x, max z), all
// signed bytes.
bool CellRangeContains(const s8_t* cell, const s8_t* rect);
