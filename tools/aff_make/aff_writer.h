// Writes ".aff" animated-mesh files from a record of their chunks: string and texture tables, frames
// of meshes, zones, dummy boxes and portal values. Counts, references and lengths can be given
// explicitly instead of derived from the data, so that tests can damage a file on purpose.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/types.h"
#include "tools/aff_make/uff_chunks.h"

namespace aff {

struct Material {
    float ambient[3] = {0.2f, 0.2f, 0.2f};
    float diffuse[3] = {0.8f, 0.8f, 0.8f};
    float opacity = 1.0f;  // read by the translucent-record renderer: fully opaque unless set
    u32_t textureWord = 0xFFFF;
    float specular[3] = {0.0f, 0.0f, 0.0f};
    float emissive[3] = {0.0f, 0.0f, 0.0f};
    float shininess = 0.0f;
    float specularStrength = 0.0f;
};

struct Mesh {
    u32_t name = 0;
    s32_t materialRef = -1;
    s32_t vertexRef = -1;
    s32_t texCoordRef = -1;
    s32_t faceRef = -1;
    Material material;
    std::vector<Vector3> positions;
    std::vector<std::array<s8_t, 3>> normals;  // empty: (0, 127, 0) for every vertex
    std::vector<std::array<float, 2>> uvs;     // empty: (0, 0) for every vertex
    std::vector<u16_t> indices;                // index triples
    // Header and block counts as written; by default derived from the data.
    std::optional<u32_t> headerVertexCount;
    std::optional<u32_t> headerFaceCount;
    std::optional<u32_t> blockFaceCount;
};

struct Frame {
    std::vector<Mesh> meshes;
};

struct Zone {
    std::string name;
    u8_t kind = 0;
    s32_t parent = -1;
    std::vector<Vector3> points;
};

struct DummyBox {
    std::string name;  // at most 15 characters
    Vector3 first, second, position;
};

struct AffFile {
    std::vector<std::string> strings;
    std::vector<std::string> textures;
    float frameRate = 25.0f;
    std::vector<Frame> frames;
    std::optional<std::vector<Zone>> zones;
    std::optional<std::vector<DummyBox>> dummies;
    std::optional<std::pair<std::vector<u8_t>, std::vector<u32_t>>> portal;
    // Chunks left out, by name, and extra bytes appended to the named chunk.
    std::vector<std::string> omit;

    std::string StringTable() const;
    std::string TextureTable() const;
    std::string FramesChunk() const;
    std::string ZonesChunk() const;
    std::string DummiesChunk() const;
    std::string PortalChunk() const;
    // The chunks as UFF entries under a root entry of that name, in file order.
    std::vector<UffChunk> Entries(const std::string& root = "aff") const;
};

// A flat quad as one mesh of two faces: corners in order, texture coordinates (0,0) (1,0) (1,1) (0,1).
Mesh QuadMesh(u32_t name, const std::array<Vector3, 4>& corners);
// A single triangle mesh.
Mesh TriangleMesh(u32_t name, const Vector3& a, const Vector3& b, const Vector3& c);

// Writes the file; false when it cannot.
bool WriteAff(const std::string& path, const AffFile& file);
// The whole file as bytes (written through the real UFF writer into "aff_image.tmp" of the working
// folder, read back and removed).
std::string AffImage(const AffFile& file);

// Little-endian pieces for hand-made chunks.
void PutU8(std::string& out, u8_t value);
void PutU16(std::string& out, u16_t value);
void PutU32(std::string& out, u32_t value);
void PutF32(std::string& out, float value);
std::string TableChunk(const std::vector<std::string>& texts);

}  // namespace aff
