// The land's map mesh file ".lff": a "UFF 1.0" file whose root holds "land0" (the land geometry:
// "vertex-array" of 32-byte vertices and "face-array" of three 16-bit indices) and one child per
// mesh object (its own "vertex-array", "face-array" and optional "texture" name). Read from disk or
// from a memory image of the whole file; both readers give the same land and meshes.
#pragma once
#include <cstddef>

#include "core/types.h"

struct MapVertex;
struct ScriptSection;

// Longest texture name kept; a longer "texture" entry is cut to this.
constexpr u32_t MAP_MESH_TEXTURE_NAME_MAX = 255;

// Reads the file from disk into the land arrays and the map mesh table; mesh textures are looked up
// under landFolder (for example "component\land\hills\"). 0 on success, -1 when the file cannot be
// opened, -2 when its root has no "land0" ("Invalid geometry format" on the debugger output).
int MapMeshesLoadFromFile(const char* path, const char* landFolder);
// The same from a memory image of the whole file (kept by the caller). 0 on success, -1 when the
// image is not a UFF file, -2 when it has no "land0".
int MapMeshesLoadFromImage(const void* image, size_t size, const char* landFolder);
// Frees the land arrays the octree has not taken over and zeroes their counts.
void MapLandGeometryFree();

// The land transform of the land section ("mirror" sx sy sz, "rotate" degrees), then the bounds,
// the matching of border normals and the texture coordinates.
void MapGeometryApplyTransform(const ScriptSection* landSection);
// The same with the values given (a missing command: scale 1 on every axis, angle 0).
void MapGeometryApplyTransformValues(bool mirrored, const float* scale, bool rotated, float degrees);
// Bounds over the land vertices; a height range below 10 is widened to 10.
void MapComputeBounds();
// Every land vertex's texture coordinates from its position (MapWorldToUV).
void MapGeometryComputeUV();
// u = (x - min x) / extent x, v = 1 - (z - min z) / extent z over the map bounds.
void MapWorldToUV(float* uv, const float* position);
// Links every map mesh into the object grid by its collision mesh's box (after the octree is made).
void MapMeshesLinkToGrid();

// Adds the offset to the position of each vertex; 1.
int VertexArrayTranslate(MapVertex* vertices, u32_t count, const float* offset);
// One Sutherland-Hodgman step of a convex polygon against the plane (kept where a x + b y + c z + d
// >= 0); out must hold count + 1 vertices. Returns the vertices written.
int PolygonClipByPlane(MapVertex* out, const float* plane, const MapVertex* in, int count);
