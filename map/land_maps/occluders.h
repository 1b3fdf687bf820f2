// Which octree leaves can be seen from where. The map is cut into a square grid of R x R cells;
// for every cell and each of the 25 world tiles around it (offsets -2..2 on x and z) a list of the
// leaves visible from that cell is built once per map by tracing segments through the map, and
// kept in the cache file "map.ocl" of the mission folder.
//
// "map.ocl", little-endian: u32 leaf count, u32 R, then R x R x 25 lists (row 0..R-1, column
// 0..R-1, dz -2..2, dx -2..2, dx fastest), each a u16 count n and n u16 leaf indices. In memory a
// list ends with OCCLUDER_LIST_END instead of its count.
#pragma once
#include <cstddef>

#include "core/types.h"

struct OctreeNode;

constexpr u16_t OCCLUDER_LIST_END = 0xFFFF;
constexpr u32_t OCCLUDER_TILE_LISTS = 25;

// Sample points stand this far above the terrain.
constexpr float OCCLUDER_EYE_HEIGHT = 80.0f;

// The list of world-tile offset (dx, dz), each -2..2.
constexpr u32_t OccluderTileList(s32_t dx, s32_t dz)
{
    return static_cast<u32_t>((dz + 2) * 5 + (dx + 2));
}

// Reads "<mission>\map.ocl" or builds (and writes) it for the loaded octree. With a resolution
// ("mioccres") of 0 or in editor mode the occluders are disabled: a warning on console 0, no grid
// and no file touched. A file that does not match the octree or the resolution, or is damaged, is
// built anew; when the file cannot be created the grid is built in memory only.
void OccludersLoadOrBuild(const char* missionFolder, const char* landFolder);
// Frees the lists, the grid and the leaf list.
void OccludersFree();
// The resolution the grid was made with and the grid: R x R x 25 lists, cell (row, column) at
// (row x R + column) x 25. Both 0 / null while occluders are disabled or no map is loaded.
void MapGetOccluderGrid(u32_t* resolution, u16_t*** grid);
// The leaves the lists index, in the order of the octree's leaf walk, and their number.
OctreeNode* const* OccludersGetLeaves(u32_t* count);

// Parses the file's bytes into the grid for the current leaf list and resolution; false, with no
// grid change, when the sizes, the counts or an index do not fit.
bool OccludersReadBytes(const void* data, size_t size);
