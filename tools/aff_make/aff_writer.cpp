#include "tools/aff_make/aff_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace aff {

void PutU8(std::string& out, u8_t value)
{
    out.push_back(static_cast<char>(value));
}

void PutU16(std::string& out, u16_t value)
{
    PutU8(out, static_cast<u8_t>(value));
    PutU8(out, static_cast<u8_t>(value >> 8));
}

void PutU32(std::string& out, u32_t value)
{
    PutU16(out, static_cast<u16_t>(value));
    PutU16(out, static_cast<u16_t>(value >> 16));
}

void PutF32(std::string& out, float value)
{
    u32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    PutU32(out, bits);
}

namespace {

void PutVector(std::string& out, const Vector3& v)
{
    PutF32(out, v.x);
    PutF32(out, v.y);
    PutF32(out, v.z);
}

void PutFloats(std::string& out, const float* values, int count)
{
    for (int i = 0; i < count; ++i)
        PutF32(out, values[i]);
}

void PutMaterial(std::string& out, const Material& m)
{
    PutFloats(out, m.ambient, 3);
    PutFloats(out, m.diffuse, 3);
    PutF32(out, m.opacity);
    PutU32(out, m.textureWord);
    PutFloats(out, m.specular, 3);
    PutFloats(out, m.emissive, 3);
    PutF32(out, m.shininess);
    PutF32(out, m.specularStrength);
}

void PutMesh(std::string& out, const Mesh& mesh)
{
    const u32_t vertexCount = static_cast<u32_t>(mesh.positions.size());
    const u32_t faceCount = static_cast<u32_t>(mesh.indices.size() / 3);
    PutU32(out, mesh.name);
    PutU32(out, mesh.headerVertexCount.value_or(vertexCount));
    PutU32(out, mesh.headerFaceCount.value_or(faceCount));
    PutU32(out, static_cast<u32_t>(mesh.materialRef));
    PutU32(out, static_cast<u32_t>(mesh.vertexRef));
    PutU32(out, static_cast<u32_t>(mesh.texCoordRef));
    PutU32(out, static_cast<u32_t>(mesh.faceRef));
    if (mesh.materialRef == -1)
        PutMaterial(out, mesh.material);
    if (mesh.vertexRef == -1) {
        Vector3 lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
        for (const Vector3& p : mesh.positions) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
        if (mesh.positions.empty())
            lo = hi = {};
        PutU32(out, vertexCount);
        PutVector(out, lo);
        PutVector(out, hi);
        for (const Vector3& p : mesh.positions)
            PutVector(out, p);
        for (u32_t i = 0; i < vertexCount; ++i) {
            const std::array<s8_t, 3> n = i < mesh.normals.size() ? mesh.normals[i] : std::array<s8_t, 3>{0, 127, 0};
            for (s8_t c : n)
                PutU8(out, static_cast<u8_t>(c));
        }
    }
    if (mesh.texCoordRef == -1) {
        PutU32(out, vertexCount);
        for (u32_t i = 0; i < vertexCount; ++i) {
            const std::array<float, 2> uv = i < mesh.uvs.size() ? mesh.uvs[i] : std::array<float, 2>{0.0f, 0.0f};
            PutF32(out, uv[0]);
            PutF32(out, uv[1]);
        }
    }
    if (mesh.faceRef == -1) {
        PutU32(out, mesh.blockFaceCount.value_or(faceCount));
        for (u16_t index : mesh.indices)
            PutU16(out, index);
    }
}

}  // namespace

std::string TableChunk(const std::vector<std::string>& texts)
{
    std::string out;
    PutU32(out, static_cast<u32_t>(texts.size()));
    for (const std::string& text : texts) {
        PutU32(out, static_cast<u32_t>(text.size()));
        out += text;
        out.push_back('\0');
    }
    return out;
}

std::string AffFile::StringTable() const
{
    return TableChunk(strings);
}

std::string AffFile::TextureTable() const
{
    return TableChunk(textures);
}

std::string AffFile::FramesChunk() const
{
    std::string out;
    PutU32(out, static_cast<u32_t>(frames.size()));
    PutF32(out, frameRate);
    for (const Frame& frame : frames) {
        PutU32(out, static_cast<u32_t>(frame.meshes.size()));
        for (const Mesh& mesh : frame.meshes)
            PutMesh(out, mesh);
    }
    return out;
}

std::string AffFile::ZonesChunk() const
{
    std::string out;
    PutU32(out, static_cast<u32_t>(zones->size()));
    for (const Zone& zone : *zones) {
        PutU32(out, static_cast<u32_t>(zone.name.size()));
        out += zone.name;
        PutU8(out, zone.kind);
        PutU32(out, static_cast<u32_t>(zone.parent));
        PutU16(out, static_cast<u16_t>(zone.points.size()));
        for (const Vector3& p : zone.points)
            PutVector(out, p);
    }
    return out;
}

std::string AffFile::DummiesChunk() const
{
    std::string out;
    PutU32(out, static_cast<u32_t>(dummies->size()));
    for (const DummyBox& box : *dummies) {
        char name[16] = {};
        std::memcpy(name, box.name.data(), std::min<size_t>(box.name.size(), 15));
        out.append(name, sizeof name);
        PutVector(out, box.first);
        PutVector(out, box.second);
        PutVector(out, box.position);
    }
    return out;
}

std::string AffFile::PortalChunk() const
{
    std::string out;
    for (u8_t b : portal->first)
        PutU8(out, b);
    for (u32_t w : portal->second)
        PutU32(out, w);
    return out;
}

std::vector<UffChunk> AffFile::Entries(const std::string& root) const
{
    std::vector<std::pair<std::string, std::string>> chunks = {
        {"str-table", StringTable()}, {"tex-table", TextureTable()}, {"frames", FramesChunk()}};
    if (zones)
        chunks.emplace_back("zones", ZonesChunk());
    if (portal)
        chunks.emplace_back("portal_info", PortalChunk());
    if (dummies)
        chunks.emplace_back("dummy_boxes", DummiesChunk());
    std::vector<UffChunk> entries;
    for (auto& [name, bytes] : chunks) {
        if (std::find(omit.begin(), omit.end(), name) == omit.end())
            entries.push_back({root + "\\" + name, bytes});
    }
    if (entries.empty())
        entries.push_back({root + "\\", ""});
    return entries;
}

Mesh QuadMesh(u32_t name, const std::array<Vector3, 4>& corners)
{
    Mesh mesh;
    mesh.name = name;
    mesh.positions.assign(corners.begin(), corners.end());
    mesh.uvs = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    mesh.indices = {0, 1, 2, 0, 2, 3};
    return mesh;
}

Mesh TriangleMesh(u32_t name, const Vector3& a, const Vector3& b, const Vector3& c)
{
    Mesh mesh;
    mesh.name = name;
    mesh.positions = {a, b, c};
    mesh.indices = {0, 1, 2};
    return mesh;
}

bool WriteAff(const std::string& path, const AffFile& file)
{
    return WriteUffChunks(path, file.Entries());
}

std::string AffImage(const AffFile& file)
{
    const std::string path = "aff_image.tmp";
    if (!WriteAff(path, file))
        return {};
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::remove(path.c_str());
    return bytes;
}

}  // namespace aff
