// Meshes for the graphic-object tests, written with the ".aff" writer: quads, and dummy records
// made from right triangles whose frame the animation cache derives (origin at the right angle,
// X along the longer leg, Z along the shorter one, Y = X x Z).
#pragma once
#include <string>
#include <vector>

#include "tests/world/aff_writer.h"

namespace graph_test {

// A dummy with its origin at o and the axes X = +z, Y = +y, Z = +x.
inline aff_test::Mesh DummyAt(u32_t name, Vector3 o)
{
    return aff_test::TriangleMesh(name, o, {o.x, o.y, o.z + 2}, {o.x + 1, o.y, o.z});
}

// A unit-high quad from x0 to x1 at height y, in the plane z = 0.
inline aff_test::Mesh Quad(u32_t name, float x0, float x1, float y = 0.0f)
{
    return aff_test::QuadMesh(name, {{{x0, y, 0}, {x1, y, 0}, {x1, y + 1, 0}, {x0, y + 1, 0}}});
}

// A hand that carries things: the quad "hand" and the dummy "grip", one frame per grip position
// (the grip moves along x), and a zone tree of a room with a crossing below it.
inline aff_test::AffFile CarrierAff(const std::vector<float>& gripX)
{
    aff_test::AffFile file;
    file.strings = {"hand", "grip"};
    for (float x : gripX)
        file.frames.push_back({{Quad(0, 0, 1), DummyAt(1, {x, 0, 0})}});
    file.zones = std::vector<aff_test::Zone>{{"room", 0, -1, {{0, 0, 0}, {10, 0, 10}}},
                                             {"cross_door", 1, 0, {{4, 0, 0}, {6, 0, 0}}}};
    file.dummies = std::vector<aff_test::DummyBox>{{"muzzle", {}, {}, {0, 1, 0}}};
    return file;
}

// A held thing: the quad "barrel" and the dummy "handle" at x = handleX, in one frame.
inline aff_test::AffFile HeldAff(float handleX)
{
    aff_test::AffFile file;
    file.strings = {"barrel", "handle"};
    file.frames = {{{Quad(0, handleX, handleX + 2), DummyAt(1, {handleX, 0, 0})}}};
    return file;
}

}  // namespace graph_test
