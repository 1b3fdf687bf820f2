// The occluder grid of the loaded map: for each of resolution x resolution cells of the base tile
// and each of the 25 world tiles round it, the list of octree leaves that can be seen from the
// cell, as leaf numbers (positions in the occluder leaf table) ended by OCCLUDER_LIST_END. List k
// of cell (row, column) is entry (row x resolution + column) x 25 + k, k = (dz + 2) x 5 + (dx + 2).
// Until the map load builds the lists there are none: the grid answers "no occluders".
#pragma once
#include "core/types.h"

struct OctreeNode;

constexpr u16_t OCCLUDER_LIST_END = 0xFFFF;
// The part of a list entry that numbers a leaf.
constexpr u16_t OCCLUDER_LEAF_NUMBER_MASK = 0x0FFF;
constexpr u32_t OCCLUDER_TILE_LISTS = 25;

struct OccluderGrid {
    u32_t resolution = 0;           // cells per side; 0: no occluders
    u16_t** lists = nullptr;        // resolution x resolution x 25 lists
    OctreeNode** leaves = nullptr;  // the leaf table the numbers index
    u32_t leafCount = 0;
};

inline OccluderGrid g_occluderGrid;

// The resolution and the lists; resolution 0 and no lists while there are no occluders.
inline void MapGetOccluderGrid(u32_t* outResolution, u16_t*** outLists)
{
    const bool present = g_occluderGrid.resolution != 0 && g_occluderGrid.lists != nullptr;
    *outResolution = present ? g_occluderGrid.resolution : 0;
    *outLists = present ? g_occluderGrid.lists : nullptr;
}

// The leaf table the list entries number.
inline void MapGetOccluderLeaves(OctreeNode*** outLeaves, u32_t* outCount)
{
    *outLeaves = g_occluderGrid.leaves;
    *outCount = g_occluderGrid.leaves ? g_occluderGrid.leafCount : 0;
}
