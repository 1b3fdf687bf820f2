// Animated meshes for the scene tests, written with the ".aff" writer and read back by the engine's
// own reader.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "tools/aff_make/aff_writer.h"
#include "world/animation/anim_mesh.h"

namespace scene_test {

inline std::unique_ptr<AnimMesh> ReadAff(const aff::AffFile& file)
{
    auto mesh = std::make_unique<AnimMesh>();
    const std::string image = aff::AffImage(file);
    EXPECT_EQ(AnimMeshReadImage(mesh.get(), image.data(), static_cast<u32_t>(image.size())), ANIM_READ_OK);
    return mesh;
}

// A mesh of that many vertices along x (normal (0, 127, 0) unless given) whose faces all name
// vertices 0, 1 and 2.
inline aff::Mesh SizedMesh(u32_t vertices, u32_t faces)
{
    aff::Mesh mesh;
    mesh.positions.resize(vertices);
    for (u32_t i = 0; i < vertices; ++i)
        mesh.positions[i] = {static_cast<float>(i), 0.0f, 0.0f};
    for (u32_t f = 0; f < faces; ++f)
        mesh.indices.insert(mesh.indices.end(), {0, 1, 2});
    return mesh;
}

// One frame holding the meshes.
inline aff::AffFile OneFrame(std::initializer_list<aff::Mesh> meshes)
{
    aff::AffFile file;
    file.strings = {"mesh"};
    file.frames.push_back({std::vector<aff::Mesh>(meshes)});
    return file;
}

}  // namespace scene_test
