// Roads: textured triangle strips laid over the land, read from the mission's "mission.rds" with
// the road types of the script "roads". Each becomes a Road record, which the octree build turns
// into a geometry set of its own, so roads are drawn and traced like the rest of the static map.
//
// Road vertices are taken as given, in world coordinates. Faces index a record's vertices with 16
// bits, so a strip that would take a record past ROAD_MAX_VERTICES goes on in a new record with
// the same settings, starting again from the strip's last cross-section.
#pragma once
#include "core/types.h"
#include "map/meshes/map_face.h"

class IDirect3DTexture8;

// A road bound to no single tile of the repeating world.
constexpr u32_t ROAD_TILE_NONE = 0x7FFF7FFF;
constexpr u32_t ROAD_MAX_VERTICES = 65536;

struct Road {
    u32_t vertexCount = 0;
    u32_t faceCount = 0;
    // Position and texture coordinates set, the normal zero. The octree build takes both arrays
    // over (and clears these pointers); RoadListFree frees what it still finds here.
    MapVertex* vertices = nullptr;
    MapFace* faces = nullptr;
    IDirect3DTexture8* texture = nullptr;  // not owned; null when the type names none
    s32_t mipFilter = 2;
    s32_t minMagFilter = 2;
    float maxAnisotropy = 1.0f;
    Vector3 boundsMin = {1e30f, 1e30f, 1e30f};  // over every vertex given for the record
    Vector3 boundsMax = {-1e30f, -1e30f, -1e30f};
    // The map tile of the road: low 16 bits the column along x, high 16 bits the row along z (0 the
    // map's own tile), or ROAD_TILE_NONE.
    u32_t tileWord = 0;
};

// Reads folder + "\mission.rds" into the road list. No file, or no script "roads": no roads.
void RoadsLoad(const char* missionFolder);

// The loaded roads in the order their records were started.
u32_t RoadListCount();
Road* RoadListGet(u32_t index);
// Adds one record (the list takes it over); grows by one entry.
void RoadListAdd(Road* road);
// Frees every record (and the arrays still held by them); the list is empty afterwards.
void RoadListFree();

// The geometry of the road being read: doubling arrays (first room for 100 elements).
void RoadBuilderAddVertex(const Vector3& position, float u, float v);
void RoadBuilderAddFace(u16_t i0, u16_t i1, u16_t i2);
// Hands an exact-size copy of the gathered vertices / faces over (null for none) and empties the
// builder. Return 1.
int RoadBuilderTakeVertices(MapVertex** outArray, u32_t* outCount);
int RoadBuilderTakeFaces(MapFace** outArray, u32_t* outCount);
u32_t RoadBuilderVertexCount();

// out = component-wise maximum of a and b; returns out.
Vector3* Vec3Max(Vector3* out, const Vector3& a, const Vector3& b);
