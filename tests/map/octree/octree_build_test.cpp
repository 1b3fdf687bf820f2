// Building the octree: the root, the split rule and its limits, the map-mesh pieces, neighbours and
// the statistics pass.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "map/octree/octree.h"
#include "map/octree/octree_stats.h"
#include "map/terrain/world_tiles.h"
#include "tests/map/octree/octree_fixture.h"

using namespace octree_test;

namespace {

using OctreeBuild = OctreeTest;

float Wavy(float x, float z)
{
    return 20.0f * std::sin(x * 0.013f) * std::cos(z * 0.021f) - 5.0f;
}

TEST_F(OctreeBuild, TheRootIsTheCubeAroundTheMapBox)
{
    OctreeNode* root = OctreeCreateRoot({-300, 10, 200}, {700, 60, 1200});
    EXPECT_EQ(root, OctreeGetRoot());
    EXPECT_EQ(MapGetWorldSize(), 1000.0f);
    EXPECT_EQ(root->boxMin.x, -300.0f);
    EXPECT_EQ(root->boxMax.x, 700.0f);
    EXPECT_EQ(root->boxMin.y, 35.0f - 500.0f);
    EXPECT_EQ(root->boxMax.y, 35.0f + 500.0f);
    EXPECT_EQ(root->boxMin.z, 200.0f);
    EXPECT_EQ(root->boxMax.z, 1200.0f);
    EXPECT_EQ(root->Depth(), 0u);
    EXPECT_EQ(root->parent, nullptr);
    EXPECT_EQ(root->linkHead, 0xFFFFFFFFu);
    EXPECT_EQ(root->top, 0.0f);
    EXPECT_EQ(root->radius, 0.0f);
    OctreeDestroy();
    EXPECT_EQ(OctreeGetRoot(), nullptr);
    EXPECT_EQ(MapGetWorldSize(), 0.0f);
}

// 256 faces of the root's own geometry keep it a leaf; one more splits it, with the children
// over the octants by the index bits x 4, y 2, z 1, one level deeper.
TEST_F(OctreeBuild, MoreThan256FacesSplitANode)
{
    for (const u32_t faces : {256u, 257u}) {
        SCOPED_TRACE(faces);
        OctreeNode* root = OctreeCreateRoot({-64, -64, -64}, {64, 64, 64});
        FillLand(root->geometry, 16, -60, 60, -60, 20, Wavy);  // 512 faces
        root->geometry.faceCount = faces;
        root->Build();
        ASSERT_EQ(root->IsLeaf(), faces == 256u);
        if (root->IsLeaf())
            continue;
        for (int i = 0; i < 8; ++i) {
            const OctreeNode* child = root->children[i];
            EXPECT_EQ(child->parent, root);
            EXPECT_EQ(child->Depth(), 1u);
            EXPECT_EQ(child->boxMin.x, (i & 4) ? 0.0f : -64.0f);
            EXPECT_EQ(child->boxMin.y, (i & 2) ? 0.0f : -64.0f);
            EXPECT_EQ(child->boxMin.z, (i & 1) ? 0.0f : -64.0f);
            EXPECT_EQ(child->boxMax.x, (i & 4) ? 64.0f : 0.0f);
        }
    }
}

// The leaves cut the land without losing or adding any of it, every piece inside its leaf; inner
// nodes keep their whole geometry; no leaf keeps more than 256 faces.
TEST_F(OctreeBuild, LeavesPartitionTheLand)
{
    OctreeNode* root = OctreeCreateRoot({-500, -50, -500}, {500, 50, 500});
    FillLand(root->geometry, 40, -500, 500, -500, 500, Wavy);
    const MapFace* rootFaces = root->geometry.faces;
    const double area = TotalArea(root->geometry);
    root->Build();
    EXPECT_EQ(root->geometry.faces, rootFaces);
    EXPECT_EQ(root->geometry.faceCount, 3200u);
    double leafArea = 0.0;
    u32_t deepest = 0;
    for (OctreeNode* leaf : AllLeaves(root)) {
        const OctreeGeometry& g = leaf->geometry;
        EXPECT_LE(g.faceCount, 256u);
        EXPECT_EQ(g.faceCapacity, g.faceCount);
        leafArea += TotalArea(g);
        deepest = std::max(deepest, leaf->Depth());
        for (u32_t v = 0; v < g.vertexCount; ++v)
            ASSERT_TRUE(leaf->IsPointInside(g.vertices[v].position));
    }
    EXPECT_NEAR(leafArea, area, area * 1e-5);
    EXPECT_GE(deepest, 2u);
    ForEachNode(root, [&](OctreeNode* node) {
        if (!node->IsLeaf()) {
            EXPECT_GT(node->geometry.faceCount, 256u);
        }
    });
}

// Faces piled where no plane separates them would split forever; the depth field holds 15 at most.
TEST_F(OctreeBuild, SplittingStopsAtDepth15)
{
    OctreeNode* root = OctreeCreateRoot({0, 0, 0}, {1000, 1000, 1000});
    // A triangle of 0.005 (its corners too far apart to merge) inside one box of the deepest level.
    std::vector<MapFace> faces(300, Face(0, 1, 2));
    Fill(root->geometry, {Vertex(1, 1, 1), Vertex(1.005f, 1, 1), Vertex(1, 1, 1.005f)}, faces);
    root->Build();
    std::vector<OctreeNode*> holding;
    for (OctreeNode* leaf : AllLeaves(root)) {
        if (leaf->geometry.faceCount)
            holding.push_back(leaf);
    }
    ASSERT_EQ(holding.size(), 1u);
    EXPECT_EQ(holding[0]->Depth(), 15u);
    EXPECT_EQ(holding[0]->geometry.faceCount, 300u);
    OctreePrintStats();
    EXPECT_EQ(OctreeGetStats().maxDepth, 15u);
    EXPECT_EQ(OctreeGetStats().nodes, 1u + 15 * 8);
}

// A node whose cut would give a set more vertices than 16-bit indices reach stays a leaf.
TEST_F(OctreeBuild, ANodeWhoseCutOverflowsIndicesStaysALeaf)
{
    OctreeNode* root = OctreeCreateRoot({-400, -400, -400}, {400, 400, 400});
    std::vector<MapVertex> vertices;
    std::vector<MapFace> faces;
    const u32_t k = 257;
    for (u32_t i = 0; i < k; ++i)
        vertices.push_back(Vertex(-1.0f, float(i), float(i * i % 97)));
    for (u32_t j = 0; j < k; ++j)
        vertices.push_back(Vertex(1.0f, float(j) * 1.37f + 0.5f, float(j % 13) * 3.1f - 7.0f));
    for (u32_t i = 0; i < k; ++i) {
        for (u32_t j = 0; j < k; ++j)
            faces.push_back(Face(i, k + j, k + (j + 1) % k));
    }
    Fill(root->geometry, vertices, faces);
    OctreeGeometry* piece = new OctreeGeometry();
    FillLand(*piece, 2, -10, 10, -10, 10, Wavy);
    root->AddSecondarySet(piece);
    root->Build();
    EXPECT_TRUE(root->IsLeaf());
    EXPECT_EQ(root->geometry.faceCount, k * k);
    ASSERT_EQ(root->secondarySetCount, 1u);
    EXPECT_EQ(root->secondarySets[0]->faceCount, 8u);  // left whole where it was
}

struct PieceData {
    std::vector<float> positions;
    std::vector<u32_t> indices;
    bool operator==(const PieceData&) const = default;
};

PieceData DataOf(const OctreeGeometry& set)
{
    PieceData data;
    for (u32_t v = 0; v < set.vertexCount; ++v) {
        const Vector3& p = set.vertices[v].position;
        data.positions.insert(data.positions.end(), {p.x, p.y, p.z});
    }
    for (u32_t f = 0; f < set.faceCount; ++f) {
        for (int c = 0; c < 3; ++c)
            data.indices.push_back(set.faces[f].indices[c]);
    }
    return data;
}

// A land of 288 faces low in the root, an overlay piece and a vertical wall piece through the
// centre: one split.
OctreeNode* RootWithPieces()
{
    OctreeNode* root = OctreeCreateRoot({-100, -100, -100}, {100, 100, 100});
    FillLand(root->geometry, 12, -90, 90, -90, 90, [](float, float) { return -30.0f; });
    OctreeGeometry* overlay = new OctreeGeometry();
    FillLand(*overlay, 4, -40, 40, -40, 40, [](float, float) { return -29.0f; });
    overlay->material.filter = 3;
    overlay->material.visibleStamp = OCTREE_ALWAYS_VISIBLE;
    OctreeGeometry* wall = new OctreeGeometry();
    Fill(*wall, {Vertex(-50, -50, 10), Vertex(50, -50, 10), Vertex(50, 50, 10), Vertex(-50, 50, 10)},
         {Face(0, 1, 2), Face(0, 2, 3)});
    wall->splitVertical = 1;
    wall->material.mipFilter = 2;
    root->AddSecondarySet(overlay);
    root->AddSecondarySet(wall);
    return root;
}

TEST_F(OctreeBuild, PiecesFollowTheSplitDownToTheLeaves)
{
    OctreeNode* root = RootWithPieces();
    root->Build();
    ASSERT_FALSE(root->IsLeaf());
    ASSERT_EQ(root->secondarySetCount, 2u);
    EXPECT_EQ(root->secondarySets[0]->faceCount, 0u);  // the inner node gives its triangles away
    EXPECT_EQ(root->secondarySets[0]->vertices, nullptr);
    EXPECT_EQ(root->secondarySets[0]->material.filter, 3u);
    double overlayArea = 0.0;
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const OctreeNode* child = root->children[i];
        ASSERT_EQ(child->secondarySetCount, 2u);
        const OctreeGeometry& overlay = *child->secondarySets[0];
        const OctreeGeometry& wall = *child->secondarySets[1];
        EXPECT_EQ(overlay.material.filter, 3u);
        EXPECT_EQ(overlay.material.visibleStamp, OCTREE_ALWAYS_VISIBLE);
        EXPECT_EQ(overlay.splitVertical, 0u);
        EXPECT_EQ(wall.splitVertical, 1u);
        EXPECT_EQ(wall.material.mipFilter, 2u);
        // An overlay is not cut on y: the two children that differ only on y hold the same pieces.
        if (!(i & OCTREE_CHILD_Y)) {
            EXPECT_GT(overlay.faceCount, 0u);
            EXPECT_EQ(DataOf(overlay), DataOf(*root->children[i | OCTREE_CHILD_Y]->secondarySets[0]));
            overlayArea += TotalArea(overlay);
        }
        // The wall is cut on y as well: each child keeps the part in its box.
        for (u32_t v = 0; v < wall.vertexCount; ++v)
            EXPECT_TRUE(child->IsPointInside(wall.vertices[v].position));
        EXPECT_NEAR(TotalArea(wall), (i & OCTREE_CHILD_Z) ? 2500.0 : 0.0, 1e-2);
    }
    EXPECT_NEAR(overlayArea, 6400.0, 1e-1);
}

// A tree read back from the cache holds its pieces in the root; handing them down gives what the
// build gave.
TEST_F(OctreeBuild, DistributingPiecesMatchesTheBuild)
{
    OctreeNode* root = RootWithPieces();
    root->Build();
    std::vector<PieceData> built;
    for (OctreeNode* leaf : AllLeaves(root)) {
        for (u32_t s = 0; s < leaf->secondarySetCount; ++s)
            built.push_back(DataOf(*leaf->secondarySets[s]));
    }
    // The same tree built without its pieces, then given them.
    root = RootWithPieces();
    OctreeGeometry* pieces[2] = {root->secondarySets[0], root->secondarySets[1]};
    root->secondarySetCount = 0;
    root->Build();
    root->AddSecondarySet(pieces[0]);
    root->AddSecondarySet(pieces[1]);
    root->DistributeSecondarySets();
    std::vector<PieceData> distributed;
    for (OctreeNode* leaf : AllLeaves(root)) {
        for (u32_t s = 0; s < leaf->secondarySetCount; ++s)
            distributed.push_back(DataOf(*leaf->secondarySets[s]));
    }
    EXPECT_EQ(distributed, built);
}

// The node that LinkNeighbours must give: the deepest node, no deeper than the node itself, that
// holds a point just across the middle of the node's face.
OctreeNode* ExpectedNeighbour(OctreeNode* root, OctreeNode* node, int direction)
{
    const Vector3 c = {(node->boxMin.x + node->boxMax.x) / 2, (node->boxMin.y + node->boxMax.y) / 2,
                       (node->boxMin.z + node->boxMax.z) / 2};
    const float step = 0.01f;
    Vector3 p = c;
    switch (direction) {
        case OCTREE_POS_Z:
            p.z = node->boxMax.z + step;
            break;
        case OCTREE_NEG_Z:
            p.z = node->boxMin.z - step;
            break;
        case OCTREE_POS_Y:
            p.y = node->boxMax.y + step;
            break;
        case OCTREE_NEG_Y:
            p.y = node->boxMin.y - step;
            break;
        case OCTREE_NEG_X:
            p.x = node->boxMin.x - step;
            break;
        default:
            p.x = node->boxMax.x + step;
            break;
    }
    if (!root->IsPointInside(p))
        return nullptr;
    OctreeNode* at = root;
    while (!at->IsLeaf() && at->Depth() < node->Depth()) {
        for (OctreeNode* child : at->children) {
            if (child->IsPointInside(p)) {
                at = child;
                break;
            }
        }
    }
    return at;
}

TEST_F(OctreeBuild, NeighboursLinkAcrossTheTree)
{
    OctreeNode* root = OctreeCreateRoot({0, 0, 0}, {16, 16, 16});
    root->CreateChildren();
    root->children[0]->CreateChildren();
    root->children[0]->children[7]->CreateChildren();
    root->children[5]->CreateChildren();
    root->children[6]->CreateChildren();
    root->LinkNeighbours();
    int links = 0;
    ForEachNode(root, [&](OctreeNode* node) {
        for (int d = 0; d < 6; ++d) {
            SCOPED_TRACE(testing::Message() << "depth " << node->Depth() << " box " << node->boxMin.x << ","
                                            << node->boxMin.y << "," << node->boxMin.z << " direction " << d);
            EXPECT_EQ(node->neighbours[d], ExpectedNeighbour(root, node, d));
            links += node->neighbours[d] != nullptr;
        }
    });
    EXPECT_GT(links, 100);
    // Child 0's +x neighbour is child 4, and the +x face of child 0's children meets it too.
    EXPECT_EQ(root->children[0]->neighbours[OCTREE_POS_X], root->children[4]);
    EXPECT_EQ(root->children[0]->children[7]->neighbours[OCTREE_POS_X], root->children[4]);
    EXPECT_EQ(root->children[4]->neighbours[OCTREE_NEG_X], root->children[0]);
}

// A root over 0..64 with 2 faces of its own (not counted: only leaves are) and two filled leaves.
TEST_F(OctreeBuild, TheStatisticsPassCountsLeavesAndPrintsItsLines)
{
    OctreeNode* root = OctreeCreateRoot({0, 0, 0}, {64, 64, 64});
    FillLand(root->geometry, 1, 0, 1, 0, 1, [](float, float) { return 0.0f; });
    root->CreateChildren();
    FillLand(root->children[0]->geometry, 2, 0, 2, 0, 1, [](float x, float) { return 5.0f + x; });
    FillLand(root->children[5]->geometry, 1, 40, 41, 0, 1, [](float, float) { return 40.0f; });
    setenv("ZINTAR_DEBUG", "1", 1);
    testing::internal::CaptureStderr();
    OctreePrintStats();
    const std::string printed = testing::internal::GetCapturedStderr();
    unsetenv("ZINTAR_DEBUG");
    // 9 nodes of 492 bytes, 13 vertices of 32 and 10 faces of 41: 5254 bytes.
    EXPECT_EQ(
        printed,
        "\n\n---OctreeCheck---\nall-faces: 10\nall-vertices: 13\nall-nodes: 9\nused-memory: 5 kB\nmax-depth: 1\n");
    EXPECT_EQ(OctreeGetStats().bytes, 5254u);
    EXPECT_EQ(root->children[0]->top, 7.0f);
    EXPECT_EQ(root->children[5]->top, 40.0f);
    EXPECT_EQ(root->children[2]->top, 32.0f);  // no vertices: the bottom of its box
    EXPECT_EQ(root->top, 0.0f);                // inner nodes keep theirs
    EXPECT_NEAR(root->radius, 32.0f * std::sqrt(3.0f), 1e-4f);
    EXPECT_NEAR(root->children[3]->radius, 16.0f * std::sqrt(3.0f), 1e-4f);
}

}  // namespace
