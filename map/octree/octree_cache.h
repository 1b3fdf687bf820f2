// The octree cache file ".oct": the tree as the build left it, so that a later load of the same land
// reads it back instead of building it again.
//
// Little-endian, no padding: u32 version 1, then the root's node record; a node record with
// children is followed by its 8 child records in order 0 to 7. Node record: box min and max
// (6 x f32), top and radius (f32 each, kept only until the statistics pass), has-children (u8: 0 or
// 1), then the geometry record of its own triangles: vertex capacity and count (u32 each, equal),
// the vertices (32 bytes each), face capacity and count (u32 each, equal), the trace face count
// (u32), the faces (41 bytes each; the surface handle is written and not read back), the bounds
// min and max (6 x f32) and radius (f32). Secondary sets, water squares, links, neighbours and the
// renderer's fields are not stored.
#pragma once
#include <cstddef>

#include "core/types.h"

constexpr u32_t OCTREE_CACHE_VERSION = 1;

// Writes the loaded tree; false (and no file left) when there is no tree or the file cannot be
// written.
bool OctreeCacheWrite(const char* path);
// Reads the file through the virtual file system into the loaded root (made by OctreeCreateRoot):
// on success the root's own geometry and its children are those of the file, the earlier ones
// freed; its secondary sets stay. False, with the tree as it was, when the file is missing, of
// another version, or does not hold a sound tree for the root's box.
bool OctreeCacheRead(const char* path);
// The same from the file's bytes.
bool OctreeCacheReadBytes(const void* data, size_t size);
