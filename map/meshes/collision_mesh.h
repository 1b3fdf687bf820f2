// The geometry of one map mesh: a plain triangle list with its box, read from the "vertex-array"
// and "face-array" children of a UFF entry, and tested against segments by the map trace.
#pragma once
#include <cstddef>

#include "core/types.h"
#include "map/meshes/map_face.h"

class UffFile;
struct UffEntry;

// A face as the file stores it: three vertex indices.
struct CollisionFace {
    u16_t indices[3];
};

// Bytes of one record in the two arrays.
constexpr u32_t MAP_VERTEX_RECORD_SIZE = 32;
constexpr u32_t MAP_FACE_RECORD_SIZE = 6;
// A trace that hits nothing gives this parameter.
constexpr float COLLISION_NO_HIT = 1e31f;

class CollisionMesh {
public:
    CollisionMesh() = default;
    ~CollisionMesh() { Free(); }
    CollisionMesh(const CollisionMesh&) = delete;
    CollisionMesh& operator=(const CollisionMesh&) = delete;

    // Reads the entry's children "vertex-array" and "face-array" from the open file. 0 on success;
    // -1 when either child is missing or cannot be read (nothing is kept then).
    int LoadFromUff(UffFile& file, s32_t entry);
    // The same from a memory image whose directory has been decoded into the entry and name tables
    // (the children are found by their exact names). Every offset and size is checked against the
    // image. 0 on success; -1 when an argument is null, a child is missing or does not fit.
    int LoadFromImage(const u8_t* image, size_t imageSize, s32_t entry, const char* const* names, s32_t nameCount,
                      const UffEntry* entries, s32_t entryCount);
    // Frees both arrays.
    void Free();
    // The nearest hit along the segment from origin to origin + segment: its parameter in [0, 1],
    // or COLLISION_NO_HIT. When the ray misses the box, faceOut is left alone; otherwise it is -1
    // or the hit face. normalOut (may be null) gets the interpolated normal of the hit.
    float TraceRay(const Vector3& origin, const Vector3& segment, s32_t* faceOut, Vector3* normalOut) const;
    // The box again over all vertex positions (minimum from 1e20, maximum from -1e20).
    void ComputeBounds();

    MapVertex* vertices = nullptr;
    CollisionFace* faces = nullptr;
    u32_t vertexCount = 0;
    u32_t faceCount = 0;
    Vector3 boxMin = {1e20f, 1e20f, 1e20f};
    Vector3 boxMax = {-1e20f, -1e20f, -1e20f};
};

// Decodes count packed 32-byte vertex records, little-endian.
void MapVerticesFromBytes(MapVertex* out, const u8_t* bytes, u32_t count);
