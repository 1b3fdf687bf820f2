// Small synthetic octrees for the map render tests: leaves holding grids of quads, map-mesh pieces
// hung on leaves, layer ranges appended by hand, and the faces of a leaf as comparable triples.
#pragma once
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "map/octree/octree.h"

namespace map_test {

using Triple = std::array<u16_t, 3>;

// Eight leaf children over the octants of the node's box, as the build makes them (child index
// bits: x 4, y 2, z 1).
inline void Split(OctreeNode* node)
{
    node->CreateChildren();
}

// Splits the node, then its child 7 (the child a leaf walk takes first, leaving its seven siblings
// on the walk's stack), and so on: a chain of that many inner nodes. Returns the last leaf of it.
inline OctreeNode* SplitChain(OctreeNode* node, int splits)
{
    for (int i = 0; i < splits; ++i) {
        Split(node);
        node = node->children[7];
    }
    return node;
}
// The longest chain a leaf walk's 256-entry stack takes: the inner node at depth 35 finds 7 x 35
// entries on the stack and pushes eight more; one split more fails the walk's depth check.
constexpr int kLongestWalkableChain = 36;

// How a grid's texture coordinates follow x and z: u = uBase + uScale * (x - x0) / (x1 - x0).
struct GridUv {
    float uBase = 0.0f, uScale = 1.0f;
    float vBase = 0.0f, vScale = 1.0f;
};

// Replaces the set's triangles by a grid of cellsX x cellsZ quads over [x0, x1] x [z0, z1] at height
// y, two faces per quad (a, d, c) and (a, b, d), quads row by row, wound counter-clockwise seen from
// above as the map passes draw the land. The bounds follow the vertices.
inline void FillGrid(OctreeGeometry& geometry, float x0, float x1, float z0, float z1, float y, int cellsX, int cellsZ,
                     GridUv uv = {})
{
    delete[] geometry.vertices;
    delete[] geometry.faces;
    const int across = cellsX + 1, down = cellsZ + 1;
    geometry.vertexCount = geometry.vertexCapacity = static_cast<u32_t>(across * down);
    geometry.vertices = new MapVertex[geometry.vertexCount];
    for (int j = 0; j < down; ++j) {
        for (int i = 0; i < across; ++i) {
            const float fx = float(i) / float(cellsX), fz = float(j) / float(cellsZ);
            geometry.vertices[j * across + i] = MapVertex{{x0 + (x1 - x0) * fx, y, z0 + (z1 - z0) * fz},
                                                          uv.uBase + uv.uScale * fx,
                                                          uv.vBase + uv.vScale * fz,
                                                          {0, 1, 0}};
        }
    }
    geometry.faceCount = geometry.faceCapacity = static_cast<u32_t>(cellsX * cellsZ * 2);
    geometry.faces = new MapFace[geometry.faceCount];
    u32_t f = 0;
    for (int j = 0; j < cellsZ; ++j) {
        for (int i = 0; i < cellsX; ++i) {
            const u16_t a = static_cast<u16_t>(j * across + i);
            const u16_t b = static_cast<u16_t>(a + 1), c = static_cast<u16_t>(a + across),
                        d = static_cast<u16_t>(c + 1);
            geometry.faces[f++] = MapFace{{a, d, c}};
            geometry.faces[f++] = MapFace{{a, b, d}};
        }
    }
    geometry.boundsMin = {std::min(x0, x1), y, std::min(z0, z1)};
    geometry.boundsMax = {std::max(x0, x1), y, std::max(z0, z1)};
    const float dx = x1 - x0, dz = z1 - z0;
    geometry.boundsRadius = 0.5f * std::sqrt(dx * dx + dz * dz);
}

// Hangs a new map-mesh piece on the leaf (the leaf owns it).
inline OctreeGeometry* AddPiece(OctreeNode* leaf)
{
    OctreeGeometry* piece = new OctreeGeometry();
    piece->material.visibleStamp = OCTREE_ALWAYS_VISIBLE;
    leaf->AddSecondarySet(piece);
    return piece;
}

// Appends copies of the leaf's own faces as the layer's range (the layer builder's result by hand).
inline void AppendLayer(OctreeNode* leaf, int layer, const std::vector<u32_t>& ownFaces)
{
    OctreeGeometry& geometry = leaf->geometry;
    if (!geometry.traceFaceCount)
        geometry.traceFaceCount = geometry.faceCount;
    const u32_t first = geometry.faceCount;
    for (u32_t face : ownFaces)
        geometry.AppendFace(geometry.faces[face]);
    leaf->layerRanges[layer] = OctreeLayerRange(first, static_cast<u32_t>(ownFaces.size()));
}

inline Triple TripleOf(const MapFace& face)
{
    return {face.indices[0], face.indices[1], face.indices[2]};
}

// The faces of a range, sorted.
inline std::vector<Triple> FacesOf(const OctreeGeometry& geometry, u32_t first, u32_t count)
{
    std::vector<Triple> faces;
    for (u32_t f = first; f < first + count && f < geometry.faceCount; ++f)
        faces.push_back(TripleOf(geometry.faces[f]));
    std::sort(faces.begin(), faces.end());
    return faces;
}

inline std::vector<Triple> LayerFaces(const OctreeNode* leaf, int layer)
{
    const u32_t range = leaf->layerRanges[layer];
    return FacesOf(leaf->geometry, OctreeLayerFirst(range), OctreeLayerCount(range));
}

// Every leaf of the current tree in cache order.
inline std::vector<OctreeNode*> Leaves()
{
    std::vector<OctreeNode*> leaves;
    OctreeForEachLeaf(OctreeGetRoot(), OCTREE_WALK_ROOM_CHECK, [&](OctreeNode* leaf) { leaves.push_back(leaf); });
    return leaves;
}

}  // namespace map_test
