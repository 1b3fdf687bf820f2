// What a graphic object hands out of its node tree to other parts of the program: the current
// world-space geometry of each visible mesh (to the shadow-volume builder and the actor), and the
// search for a node and mesh by mesh name (particle pins, blood pools). Also the corners of a box.
#pragma once
#include "core/types.h"

class GraphNode;
class GraphObj;
struct AnimDummyFrame;

// The caller's record handed to GraphObj::EnumGeometry and passed to the callback once per mesh.
// The caller fills the first three fields; the enumeration fills the rest for each mesh.
struct GeometryEnumData {
    void* caller = nullptr;      // the caller's own word, left alone
    u8_t* workBuffer = nullptr;  // owned by the caller; reused for every mesh
    u32_t workBufferSize = 0;    // bytes
    float* vertices = nullptr;   // world-space positions, 3 floats each, at the start of the work buffer
    u32_t vertexCount = 0;
    u16_t* faces = nullptr;  // three vertex indices per face, in the work buffer after the vertices
    u32_t faceCount = 0;
    u32_t meshFlags = 0;  // the mesh's mode word for the object's level-of-detail step
    u32_t meshIndex = 0;  // the mesh's place in its frame's mesh list
    // Per face and edge k (corner k to k + 1) the face across it, 0xFFFF for none; null when the
    // mesh has no such table. Points into the mesh, not the work buffer.
    const u16_t* faceExtra = nullptr;
    u32_t reserved = 0;
    float shadowLength = 0.0f;  // the mesh's own shadow length, else the node's; 0 for none
    GraphNode* node = nullptr;
};

// Bytes of the work buffer one mesh takes: 6 per face and 12 per vertex. A mesh fits when this
// is below the buffer's size.
constexpr std::uint64_t GeometryEnumBytes(u32_t vertexCount, u32_t faceCount)
{
    return (static_cast<std::uint64_t>(faceCount) + 2ull * vertexCount) * 6ull;
}

// Depth first from the root, the last child first: the first node whose mesh has a frame-0 mesh of
// that name. On success writes the node and that mesh's local frame (null for a mesh that is not a
// three-vertex dummy) and returns true; otherwise leaves both outputs as they were.
bool GraphObjFindNodeMesh(const GraphObj* object, GraphNode** nodeOut, const AnimDummyFrame** frameOut,
                          const char* meshName);
// The same, but the local frame is read from the given frame of the mesh, clamped to the last
// frame when it is negative or not below the frame count.
bool GraphObjFindNodeMeshAtFrame(const GraphObj* object, GraphNode** nodeOut, const AnimDummyFrame** frameOut,
                                 const char* meshName, s32_t frame);

// The 8 corners of a box (min x, y, z, max x, y, z): (min x, min y, min z), (max x, min y, min z),
// (max x, max y, min z), (min x, max y, min z), then the same four at max z.
void BoxCorners(const float* box, Vector3 corners[8]);
