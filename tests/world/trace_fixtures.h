// Meshes for the trace and collision tests: a cube whose faces look outwards, and single quads
// across the axes, with their normals and texture coordinates.
#pragma once
#include <array>

#include "tests/world/aff_writer.h"

namespace trace_test {

// Appends a quad to the mesh: corners laid out clockwise seen from its front, the faces taking them
// the other way round (0-2-1 and 0-3-2) so that they run counter-clockwise seen from the front, as
// the mesh passes draw and the geometry tests take a front; the normal on every corner and texture
// coordinates (0,0) (1,0) (1,1) (0,1) unless uv is given.
inline void AddQuad(aff_test::Mesh& mesh, const std::array<Vector3, 4>& corners, std::array<s8_t, 3> normal,
                    const std::array<std::array<float, 2>, 4>* uv = nullptr)
{
    const u16_t base = static_cast<u16_t>(mesh.positions.size());
    static const std::array<std::array<float, 2>, 4> kUv = {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
    for (int k = 0; k < 4; ++k) {
        mesh.positions.push_back(corners[k]);
        mesh.normals.push_back(normal);
        mesh.uvs.push_back((uv ? *uv : kUv)[k]);
    }
    for (u16_t index : {0, 2, 1, 0, 3, 2})
        mesh.indices.push_back(static_cast<u16_t>(base + index));
}

// A quad from -1 to 1 on x and y at the depth z, facing -z (towards a ray travelling +z).
inline aff_test::Mesh FacingQuad(u32_t name, float z, const std::array<std::array<float, 2>, 4>* uv = nullptr)
{
    aff_test::Mesh mesh;
    mesh.name = name;
    AddQuad(mesh, {{{-1, -1, z}, {-1, 1, z}, {1, 1, z}, {1, -1, z}}}, {0, 0, -127}, uv);
    return mesh;
}

// A floor from -1 to 1 on x and z at the height y, facing up.
inline aff_test::Mesh FloorQuad(u32_t name, float y)
{
    aff_test::Mesh mesh;
    mesh.name = name;
    AddQuad(mesh, {{{-1, y, -1}, {-1, y, 1}, {1, y, 1}, {1, y, -1}}}, {0, 127, 0});
    return mesh;
}

// A cube of side 2 round the origin: the quads facing -z, +z, -x, +x, -y, +y, in that order.
inline aff_test::Mesh CubeMesh(u32_t name)
{
    aff_test::Mesh mesh;
    mesh.name = name;
    AddQuad(mesh, {{{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}}}, {0, 0, -127});
    AddQuad(mesh, {{{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}}}, {0, 0, 127});
    AddQuad(mesh, {{{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}}}, {-127, 0, 0});
    AddQuad(mesh, {{{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}}}, {127, 0, 0});
    AddQuad(mesh, {{{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}}, {0, -127, 0});
    AddQuad(mesh, {{{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}}}, {0, 127, 0});
    return mesh;
}

}  // namespace trace_test
