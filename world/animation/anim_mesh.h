// Animated meshes: a list of frames, each holding the same meshes (triangle lists with material,
// positions, normals and texture coordinates) in that frame's pose. Data that does not change
// between frames is stored once and referenced by the other frames. Besides the frames a mesh
// carries its name and texture tables, named dummy boxes, a tree of zones and per-mesh portal values.
// Read from ".aff" files ("UFF 1.0") on disk or from a file image in memory.
#pragma once
#include <cstddef>

#include "core/strings/engine_string.h"
#include "core/types.h"

// Reader results.
constexpr int ANIM_READ_OK = 0;
constexpr int ANIM_READ_NOT_OPEN = -1;  // not a UFF file (disk reader only)
constexpr int ANIM_READ_ERROR = -2;     // a required chunk is missing or the data do not hold together

// A reference of -1 means the block follows in place; any other value names the mesh that holds
// the data: frame index in the high 16 bits, mesh index in the low 16 bits.
constexpr s32_t ANIM_REF_OWN = -1;
constexpr s32_t AnimMeshRef(u32_t frame, u32_t mesh)
{
    return static_cast<s32_t>((frame << 16) | (mesh & 0xFFFF));
}

// The texture word of a material: texture index in the low 31 bits, 0xFFFF for none; bit 31 marks
// a two-sided mesh. The whole word -1 also means no texture.
constexpr u32_t ANIM_TEXTURE_NONE = 0xFFFF;
constexpr u32_t ANIM_TEXTURE_INDEX_MASK = 0x7FFFFFFFu;
constexpr u32_t ANIM_TEXTURE_TWO_SIDED = 0x80000000u;

// Mesh flags: bit value 2 lets the mesh take decals; bit 3 marks the mesh whose texture an object
// reports as its flagged texture.
constexpr u32_t ANIM_MESH_DEFAULT_FLAGS = 3;
constexpr u32_t ANIM_MESH_TAKES_DECALS = 2;
constexpr u32_t ANIM_MESH_FLAGGED_TEXTURE = 8;

constexpr u8_t ANIM_GPU_SLOT_NONE = 0xFF;
constexpr u16_t ANIM_NO_NEIGHBOUR = 0xFFFF;

// The 64-byte material block.
struct AnimMaterial {
    float ambient[3];
    float diffuse[3];
    float opacity;  // the material's opacity, 1 for opaque
    u32_t textureWord;
    float specular[3];
    float emissive[3];
    float shininess;         // specular power = 4 x 2^(10 x shininess)
    float specularStrength;  // multiplies the specular colour; 0 or less: no specular light
};

struct AnimVertexData {
    Vector3 boxMin;
    Vector3 boxMax;
    Vector3 size;                // boxMax - boxMin
    Vector3 centre;              // (boxMin + boxMax) / 2
    float* positions = nullptr;  // count x 3 floats
    s8_t* normals = nullptr;     // count x 3 signed bytes, component = byte / 127
    u32_t count = 0;

    // The position of a vertex below count.
    Vector3 Position(u32_t index) const
    {
        const float* p = positions + static_cast<std::size_t>(index) * 3;
        return {p[0], p[1], p[2]};
    }
    // True when the three corners of a face name vertices of this block.
    bool HoldsFace(const u16_t* corners) const
    {
        return corners[0] < count && corners[1] < count && corners[2] < count;
    }

    ~AnimVertexData();
};

struct AnimTexCoords {
    float* uv = nullptr;  // count (u, v) pairs
    u32_t count = 0;

    ~AnimTexCoords();
};

struct AnimFaces {
    u16_t* indices = nullptr;  // count index triples
    u32_t count = 0;
    u16_t* neighbours = nullptr;  // per face and edge k (corner k to k + 1): the face across, or 0xFFFF
    u16_t* welded = nullptr;      // the index triples with positions closer than 0.01 merged

    ~AnimFaces();
};

// The frame of a mesh with exactly three vertices, used to hang nodes and effects on it.
struct AnimDummyFrame {
    Vector3 origin;
    Vector3 x;
    Vector3 y;
    Vector3 z;
};

struct AnimFrameMesh {
    u32_t nameIndex = 0xFFFFFFFFu;
    u32_t flags = 0;
    s32_t detailLevel = -1;  // 0, 1 or 2 from the last character of the name, else -1
    u32_t vertexCount = 0;   // vertices of draw calls
    u32_t faceCount = 0;     // triangles; 0 draws nothing
    s32_t materialRef = ANIM_REF_OWN;
    AnimMaterial* material = nullptr;
    s32_t vertexRef = ANIM_REF_OWN;
    AnimVertexData* vertices = nullptr;
    s32_t texCoordRef = ANIM_REF_OWN;
    AnimTexCoords* texCoords = nullptr;
    s32_t faceRef = ANIM_REF_OWN;
    AnimFaces* faces = nullptr;
    // Where the GPU animation buffers hold the mesh (scene/meshes/gpu_anim_buffers.h): the buffer slots
    // (ANIM_GPU_SLOT_NONE: drawn through the dynamic buffers), the first vertex in the vertex
    // buffer and the first index in the index buffer. The indices count from the first vertex.
    u8_t gpuVertexSlot = ANIM_GPU_SLOT_NONE;
    u8_t gpuIndexSlot = ANIM_GPU_SLOT_NONE;
    u16_t gpuFirstVertex = 0;
    u16_t gpuFirstIndex = 0;
    AnimDummyFrame* dummyFrame = nullptr;

    AnimFrameMesh() = default;
    // Frees the blocks the mesh owns (those whose reference is -1) and its dummy frame.
    ~AnimFrameMesh();
    AnimFrameMesh(const AnimFrameMesh&) = delete;
    AnimFrameMesh& operator=(const AnimFrameMesh&) = delete;
};

struct AnimFrame {
    AnimFrameMesh* meshes = nullptr;
    u32_t meshes_c = 0;
};

// A named box as the file stores it (52 bytes).
struct AnimDummyBox {
    char name[16];     // always zero-terminated
    Vector3 first;     // held as read
    Vector3 second;    // held as read
    Vector3 position;  // the box's position in mesh space
};

struct AnimZone {
    char* name = nullptr;
    u8_t kind = 0;  // held as read
    Vector3* points = nullptr;
    u16_t pointCount = 0;
    AnimZone** children = nullptr;
    u16_t childCount = 0;
    AnimZone* parent = nullptr;
    u8_t cross = 1;  // set from the name for file zones ("cross" anywhere in it)

    // Frees the whole subtree below and the zone's own name and points.
    ~AnimZone();
};

class AnimMesh {
public:
    // An empty mesh with its zone root "root".
    AnimMesh();
    ~AnimMesh();
    AnimMesh(const AnimMesh&) = delete;
    AnimMesh& operator=(const AnimMesh&) = delete;

    // Frees frames, tables, boxes, portal arrays and zones; leaves an empty zone root, as constructed.
    void Clear();

    // The block that holds a mesh's data, following the mesh's reference once. A frame or mesh out
    // of range fails the assertion.
    AnimVertexData* GetMeshVertices(u32_t frame, u32_t mesh) const;
    AnimTexCoords* GetMeshTexCoords(u32_t frame, u32_t mesh) const;
    AnimFaces* GetMeshFaces(u32_t frame, u32_t mesh) const;
    AnimMaterial* GetMeshTextureRef(u32_t frame, u32_t mesh) const;

    // Index of the name in the string table (without regard to case); -1 when absent.
    s32_t FindName(const char* text) const;
    // Index of the first mesh of the frame with that name index; -1 when none or the frame is out of range.
    s32_t FindMesh(u32_t nameIndex, u32_t frame) const;
    // The frame-0 mesh of that name (a dummy that nodes attach at); -1 for none, a null or empty name.
    s32_t FindDummy(const char* dummyName) const;
    // The mesh's name from the string table; "" when its index names none.
    const char* MeshName(const AnimFrameMesh& mesh) const;

    EngineString name;  // the file name under which the cache found it
    AnimFrame* frames = nullptr;
    u32_t frames_c = 0;
    float frameRate = 0.0f;
    AnimDummyBox* dummyBoxes = nullptr;
    u32_t dummyBoxes_c = 0;
    AnimZone* zoneRoot = nullptr;
    u32_t* portalWords = nullptr;  // one per mesh of frame 0, null when absent
    u8_t* portalBytes = nullptr;
    EngineString* strings = nullptr;
    u32_t strings_c = 0;
    EngineString* textures = nullptr;
    u32_t textures_c = 0;
};

// Reads a loose ".aff" file from disk: ANIM_READ_OK, ANIM_READ_NOT_OPEN when it is not a UFF file,
// ANIM_READ_ERROR when a required chunk is missing or any count, length, reference or index does
// not fit the data. On failure the mesh is left empty.
int AnimMeshReadFile(AnimMesh* mesh, const char* fileName);
// The same from a complete file image in memory (as the file system returns it); portal values
// are not read. ANIM_READ_OK or ANIM_READ_ERROR.
int AnimMeshReadImage(AnimMesh* mesh, const void* image, u32_t size);
// Sets the flags and detail level of a mesh just read.
void AnimMeshClassifyMesh(const AnimMesh* mesh, AnimFrameMesh* frameMesh);

// The mesh's dummy of that name (AnimMesh::FindDummy); -1 without a mesh.
inline s32_t AnimMeshFindDummy(const AnimMesh* mesh, const char* name)
{
    return mesh ? mesh->FindDummy(name) : -1;
}
