// The octree cache ".oct": written, read back through the virtual file system, written again.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "core/files/byte_io.h"
#include "core/files/vfs.h"
#include "map/octree/octree.h"
#include "map/octree/octree_cache.h"
#include "support/archive_builder.h"
#include "support/vfs_fixture.h"
#include "tests/map/octree/octree_fixture.h"

using namespace octree_test;

namespace {

const Vector3 kBoxMin = {-200, -40, -200}, kBoxMax = {200, 40, 200};

float Hills(float x, float z)
{
    return 25.0f * std::sin(x * 0.02f) * std::sin(z * 0.017f);
}

// A built tree of a few levels over the map box, with a map-mesh piece (which the file leaves out).
OctreeNode* BuildTree()
{
    OctreeNode* root = OctreeCreateRoot(kBoxMin, kBoxMax);
    FillLand(root->geometry, 24, -200, 200, -200, 200, Hills);
    OctreeGeometry* piece = new OctreeGeometry();
    FillLand(*piece, 3, -30, 30, -30, 30, [](float, float) { return 1.0f; });
    root->AddSecondarySet(piece);
    root->Build();
    return root;
}

class OctreeCache : public VfsTest {
protected:
    void TearDown() override
    {
        OctreeDestroy();
        VfsTest::TearDown();
    }
};

TEST_F(OctreeCache, WriteReadWriteGivesTheSameFile)
{
    BuildTree();
    ASSERT_TRUE(OctreeCacheWrite("land.oct"));
    const std::string first = ReadFileBytes("land.oct");
    ASSERT_GT(first.size(), 4u);
    EXPECT_EQ(LoadU32(reinterpret_cast<const u8_t*>(first.data())), 1u);

    // As a load does it: a new root over the same box, its land given, then the cache read.
    OctreeNode* root = OctreeCreateRoot(kBoxMin, kBoxMax);
    FillLand(root->geometry, 2, -200, 200, -200, 200, Hills);
    OctreeGeometry* piece = new OctreeGeometry();
    root->AddSecondarySet(piece);
    ASSERT_TRUE(OctreeCacheRead("land.oct"));
    EXPECT_EQ(OctreeGetRoot(), root);
    EXPECT_FALSE(root->IsLeaf());
    EXPECT_EQ(root->geometry.faceCount, 24u * 24u * 2u);
    ASSERT_EQ(root->secondarySetCount, 1u);  // the root's pieces stay
    EXPECT_EQ(root->secondarySets[0], piece);
    ForEachNode(root, [&](OctreeNode* node) {
        for (OctreeNode* child : node->children) {
            if (child) {
                EXPECT_EQ(child->parent, node);
                EXPECT_EQ(child->Depth(), node->Depth() + 1);
            }
        }
        EXPECT_EQ(node->geometry.vertexCapacity, node->geometry.vertexCount);
    });
    ASSERT_TRUE(OctreeCacheWrite("again.oct"));
    EXPECT_EQ(ReadFileBytes("again.oct"), first);
}

// Only the root: one node record with no children.
TEST_F(OctreeCache, ARootAloneIsOneRecord)
{
    OctreeNode* root = OctreeCreateRoot(kBoxMin, kBoxMax);
    FillLand(root->geometry, 2, -10, 10, -10, 10, Hills);
    root->geometry.traceFaceCount = 6;
    ASSERT_TRUE(OctreeCacheWrite("root.oct"));
    const std::string bytes = ReadFileBytes("root.oct");
    ASSERT_EQ(bytes.size(), 4u + 33 + 48 + 32 * 9 + 41 * 8);
    EXPECT_EQ(bytes[4 + 32], 0);  // has children
    root->geometry.traceFaceCount = 0;
    ASSERT_TRUE(OctreeCacheRead("root.oct"));
    EXPECT_TRUE(root->IsLeaf());
    EXPECT_EQ(root->geometry.faceCount, 8u);
    EXPECT_EQ(root->geometry.traceFaceCount, 6u);
    EXPECT_EQ(root->OwnFaceCount(), 6u);
    EXPECT_EQ(root->geometry.boundsMax.x, 10.0f);
}

// The face's surface handle is written but not read: every face read gets the default one.
TEST_F(OctreeCache, FacesReadBackWithTheDefaultSurface)
{
    OctreeNode* root = OctreeCreateRoot(kBoxMin, kBoxMax);
    FillLand(root->geometry, 1, -10, 10, -10, 10, Hills);
    root->geometry.faces[1].surface = 0xDEADBEEF;
    root->geometry.faces[1].words[2] = 0x01020304;
    root->geometry.faces[1].data[18] = 0x7F;
    ASSERT_TRUE(OctreeCacheWrite("root.oct"));
    const std::string bytes = ReadFileBytes("root.oct");
    const size_t face1 = 4 + 33 + 8 + 32 * 4 + 12 + 41;
    EXPECT_EQ(LoadU32(reinterpret_cast<const u8_t*>(bytes.data()) + face1 + 18), 0xDEADBEEFu);
    ASSERT_TRUE(OctreeCacheRead("root.oct"));
    EXPECT_EQ(root->geometry.faces[1].surface, MAP_SURFACE_DEFAULT);
    EXPECT_EQ(root->geometry.faces[1].words[2], 0x01020304u);
    EXPECT_EQ(root->geometry.faces[1].data[18], 0x7F);
}

TEST_F(OctreeCache, OtherVersionsAndMissingFilesAreRefused)
{
    BuildTree();
    ASSERT_TRUE(OctreeCacheWrite("land.oct"));
    std::string bytes = ReadFileBytes("land.oct");
    bytes[0] = 2;
    ASSERT_TRUE(WriteFileBytes("v2.oct", bytes));
    OctreeNode* root = OctreeCreateRoot(kBoxMin, kBoxMax);
    EXPECT_FALSE(OctreeCacheRead("v2.oct"));
    EXPECT_FALSE(OctreeCacheRead("missing.oct"));
    EXPECT_TRUE(root->IsLeaf());
    // A cache of another map box is not this map's tree.
    OctreeCreateRoot({-100, -40, -100}, {100, 40, 100});
    EXPECT_FALSE(OctreeCacheRead("land.oct"));
    OctreeDestroy();
    EXPECT_FALSE(OctreeCacheRead("land.oct"));
    EXPECT_FALSE(OctreeCacheWrite("none.oct"));
}

TEST_F(OctreeCache, ReadsFromTheArchives)
{
    BuildTree();
    ASSERT_TRUE(OctreeCacheWrite("land.oct"));
    const std::string bytes = ReadFileBytes("land.oct");
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"component/land/test/test.oct", bytes}}));
    ASSERT_TRUE(VFSInit());
    OctreeCreateRoot(kBoxMin, kBoxMax);
    ASSERT_TRUE(OctreeCacheRead("component\\land\\test\\test.oct"));
    ASSERT_TRUE(OctreeCacheWrite("again.oct"));
    EXPECT_EQ(ReadFileBytes("again.oct"), bytes);
}

}  // namespace
