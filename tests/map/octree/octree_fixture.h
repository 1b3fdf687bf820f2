// Helpers of the octree tests: triangle sets made by hand, land grids, and walks over the tree.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "map/octree/octree.h"

namespace octree_test {

// A triangle set that frees its arrays when it goes.
struct OwnedSet : OctreeGeometry {
    OwnedSet() = default;
    OwnedSet(const OwnedSet&) = delete;
    OwnedSet& operator=(const OwnedSet&) = delete;
    ~OwnedSet() { Reset(true); }
};

inline MapVertex Vertex(float x, float y, float z, float u = 0.0f, float v = 0.0f, Vector3 normal = {0, 1, 0})
{
    return MapVertex{{x, y, z}, u, v, normal};
}

inline MapFace Face(u32_t a, u32_t b, u32_t c)
{
    return MapFace{{static_cast<u16_t>(a), static_cast<u16_t>(b), static_cast<u16_t>(c)}};
}

// Replaces the set's arrays by copies of the vertices and faces, capacities equal to the counts;
// the bounds are the box of the vertices.
inline void Fill(OctreeGeometry& set, const std::vector<MapVertex>& vertices, const std::vector<MapFace>& faces)
{
    set.Reset(true);
    set.vertexCount = set.vertexCapacity = static_cast<u32_t>(vertices.size());
    set.vertices = vertices.empty() ? nullptr : new MapVertex[vertices.size()];
    for (size_t i = 0; i < vertices.size(); ++i)
        set.vertices[i] = vertices[i];
    set.faceCount = set.faceCapacity = static_cast<u32_t>(faces.size());
    set.faces = faces.empty() ? nullptr : new MapFace[faces.size()];
    for (size_t i = 0; i < faces.size(); ++i)
        set.faces[i] = faces[i];
    set.boundsMin = {1e30f, 1e30f, 1e30f};
    set.boundsMax = {-1e30f, -1e30f, -1e30f};
    for (const MapVertex& v : vertices) {
        const Vector3& p = v.position;
        set.boundsMin = {std::fmin(set.boundsMin.x, p.x), std::fmin(set.boundsMin.y, p.y),
                         std::fmin(set.boundsMin.z, p.z)};
        set.boundsMax = {std::fmax(set.boundsMax.x, p.x), std::fmax(set.boundsMax.y, p.y),
                         std::fmax(set.boundsMax.z, p.z)};
    }
    const float dx = set.boundsMax.x - set.boundsMin.x, dy = set.boundsMax.y - set.boundsMin.y,
                dz = set.boundsMax.z - set.boundsMin.z;
    set.boundsRadius = vertices.empty() ? 0.0f : 0.5f * std::sqrt(dx * dx + dy * dy + dz * dz);
}

// A land of cells x cells quads over [x0, x1] x [z0, z1] with its heights from the function, two
// faces per quad, texture coordinates 0..1 across it.
inline void FillLand(OctreeGeometry& set, int cells, float x0, float x1, float z0, float z1,
                     const std::function<float(float, float)>& height)
{
    std::vector<MapVertex> vertices;
    std::vector<MapFace> faces;
    const int across = cells + 1;
    for (int j = 0; j < across; ++j) {
        for (int i = 0; i < across; ++i) {
            const float fx = float(i) / float(cells), fz = float(j) / float(cells);
            const float x = x0 + (x1 - x0) * fx, z = z0 + (z1 - z0) * fz;
            vertices.push_back(Vertex(x, height(x, z), z, fx, fz));
        }
    }
    for (int j = 0; j < cells; ++j) {
        for (int i = 0; i < cells; ++i) {
            const u32_t a = j * across + i, b = a + 1, c = a + across, d = c + 1;
            faces.push_back(Face(a, c, d));
            faces.push_back(Face(a, d, b));
        }
    }
    Fill(set, vertices, faces);
}

inline float Area(const OctreeGeometry& set, u32_t face)
{
    const MapFace& f = set.faces[face];
    const Vector3 a = set.vertices[f.indices[0]].position, b = set.vertices[f.indices[1]].position,
                  c = set.vertices[f.indices[2]].position;
    const Vector3 e = {b.x - a.x, b.y - a.y, b.z - a.z}, g = {c.x - a.x, c.y - a.y, c.z - a.z};
    const Vector3 n = {e.y * g.z - e.z * g.y, e.z * g.x - e.x * g.z, e.x * g.y - e.y * g.x};
    return 0.5f * std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
}

inline double TotalArea(const OctreeGeometry& set)
{
    double total = 0.0;
    for (u32_t f = 0; f < set.faceCount; ++f)
        total += Area(set, f);
    return total;
}

// Every node below (and with) the node, parent before children, children 0 to 7.
inline void ForEachNode(OctreeNode* node, const std::function<void(OctreeNode*)>& visit)
{
    visit(node);
    if (!node->IsLeaf()) {
        for (OctreeNode* child : node->children)
            ForEachNode(child, visit);
    }
}

inline std::vector<OctreeNode*> AllLeaves(OctreeNode* root)
{
    std::vector<OctreeNode*> leaves;
    ForEachNode(root, [&](OctreeNode* node) {
        if (node->IsLeaf())
            leaves.push_back(node);
    });
    return leaves;
}

// Tests that make the loaded octree; it is destroyed after each.
class OctreeTest : public ::testing::Test {
protected:
    void TearDown() override { OctreeDestroy(); }
};

}  // namespace octree_test
