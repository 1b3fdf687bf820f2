// Map mesh files for the reader tests: written with the map authoring tool's library or entry by entry
// with the UFF writer, read back by both readers, with the debugger output and console 0 captured.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/files/byte_io.h"
#include "core/console/console.h"
#include "core/files/uff_file.h"
#include "map/meshes/collision_mesh.h"
#include "map/meshes/map_mesh.h"
#include "map/meshes/map_mesh_reader.h"
#include "map/terrain/map_state.h"
#include "map/registry/world_registry.h"
#include "support/engine_log.h"
#include "support/temp_dir.h"
#include "tools/map_author/map_author.h"

namespace mesh_test {

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string Vertices(std::initializer_list<std::array<float, 3>> positions)
{
    std::string bytes(positions.size() * 32, '\0');
    ByteBufferWriter out(bytes.data(), bytes.size());
    for (const auto& p : positions) {
        for (float value : {p[0], p[1], p[2], 0.5f, 0.25f, 0.0f, 1.0f, 0.0f})
            out.WriteF32(value);
    }
    return bytes;
}

inline std::string Faces(std::initializer_list<std::array<u16_t, 3>> faces)
{
    std::string bytes(faces.size() * 6, '\0');
    ByteBufferWriter out(bytes.data(), bytes.size());
    for (const auto& f : faces) {
        for (u16_t index : f)
            out.WriteU16(index);
    }
    return bytes;
}

inline void Entry(UffWriter& writer, const char* name, s32_t parent, const std::string& data)
{
    writer.BeginEntry(name, parent);
    writer.Write(data.data(), static_cast<u32_t>(data.size()));
    writer.EndEntry();
}

// A file whose root holds what the callback writes under it.
inline void WriteLff(const std::string& path, const std::function<void(UffWriter&, s32_t)>& fill)
{
    UffWriter writer(path.c_str());
    const s32_t root = writer.BeginEntry("root", -1);
    writer.EndEntry();
    fill(writer, root);
}

// The land of one triangle, as most hand-written files have it.
inline void SmallLand(UffWriter& writer, s32_t root)
{
    const s32_t land = writer.BeginEntry("land0", root);
    writer.EndEntry();
    Entry(writer, "vertex-array", land, Vertices({{-100, 0, -100}, {100, 0, -100}, {0, 0, 100}}));
    Entry(writer, "face-array", land, Faces({{0, 1, 2}}));
}

inline void MeshObject(UffWriter& writer, s32_t root, const char* name, const char* texture = nullptr)
{
    const s32_t mesh = writer.BeginEntry(name, root);
    writer.EndEntry();
    Entry(writer, "vertex-array", mesh, Vertices({{0, 0, 0}, {10, 0, 0}, {0, 10, 0}}));
    Entry(writer, "face-array", mesh, Faces({{0, 1, 2}}));
    if (texture)
        Entry(writer, "texture", mesh, texture);
}

// What a reader made: the land and the meshes, in comparable form.
struct Loaded {
    std::vector<float> land;
    std::vector<u16_t> faces;
    std::vector<std::string> meshes;  // name | flags | texture | vertex count | face count
    bool operator==(const Loaded&) const = default;
};

inline Loaded Snapshot()
{
    Loaded loaded;
    for (u32_t i = 0; i < g_map.landVertexCount; ++i) {
        const MapVertex& v = g_map.landVertices[i];
        loaded.land.insert(loaded.land.end(),
                           {v.position.x, v.position.y, v.position.z, v.u, v.v, v.normal.x, v.normal.y, v.normal.z});
    }
    for (u32_t f = 0; f < g_map.landFaceCount; ++f) {
        for (int c = 0; c < 3; ++c)
            loaded.faces.push_back(g_map.landFaces[f].indices[c]);
    }
    for (u32_t m = 0; m < MapGetMeshCount(); ++m) {
        const MapMesh* mesh = MapGetMesh(m);
        loaded.meshes.push_back(std::string(mesh->name.Text()) + "|" + std::to_string(mesh->flags) + "|" +
                                mesh->textureName.Text() + "|" + std::to_string(mesh->collision->vertexCount) + "|" +
                                std::to_string(mesh->collision->faceCount));
    }
    return loaded;
}

// A fresh folder, console 0 running, nothing loaded before or after.
class MeshFileTest : public TempDirTest {
protected:
    MeshFileTest() { engine_log::StartFolder(); }
    void SetUp() override
    {
        TempDirTest::SetUp();
        ConStartup();
        setenv("ZINTAR_DEBUG", "1", 1);
    }
    void TearDown() override
    {
        unsetenv("ZINTAR_DEBUG");
        Unload();
        ConShutdown();
        TempDirTest::TearDown();
    }
    static void Unload()
    {
        MapMeshesFree();
        MapLandGeometryFree();
    }
    // Loads from the file, keeping the debugger output.
    int LoadFile(const std::string& path, std::string* debug = nullptr)
    {
        ::testing::internal::CaptureStderr();
        const int result = MapMeshesLoadFromFile(path.c_str(), "component\\land\\test\\");
        const std::string text = ::testing::internal::GetCapturedStderr();
        if (debug)
            *debug = text;
        return result;
    }
    int LoadImage(const std::string& path, std::string* debug = nullptr)
    {
        const std::string bytes = ReadBytes(path);
        ::testing::internal::CaptureStderr();
        const int result = MapMeshesLoadFromImage(bytes.data(), bytes.size(), "component\\land\\test\\");
        const std::string text = ::testing::internal::GetCapturedStderr();
        if (debug)
            *debug = text;
        return result;
    }
};

}  // namespace mesh_test
