// Truncated and damaged ".oct" files: the reader refuses them and keeps the tree it had, or accepts
// a tree that every query can walk.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/files/byte_io.h"
#include "core/random.h"
#include "map/octree/octree.h"
#include "map/octree/octree_cache.h"
#include "map/octree/octree_query.h"
#include "map/octree/octree_trace.h"
#include "support/archive_builder.h"
#include "support/temp_dir.h"
#include "tests/map/octree/octree_fixture.h"

using namespace octree_test;

namespace {

const Vector3 kBoxMin = {-8, -8, -8}, kBoxMax = {8, 8, 8};

// A small tree of three levels with geometry in the root, in some leaves and in an inner node.
void MakeTree()
{
    OctreeNode* root = OctreeCreateRoot(kBoxMin, kBoxMax);
    FillLand(root->geometry, 2, -8, 8, -8, 8, [](float x, float z) { return 0.25f * x - 0.1f * z; });
    root->CreateChildren();
    root->children[3]->CreateChildren();
    FillLand(root->children[3]->geometry, 1, -8, 0, 0, 8, [](float, float) { return 4.0f; });
    FillLand(root->children[3]->children[5]->geometry, 1, -4, 0, 4, 8, [](float, float) { return 2.0f; });
    FillLand(root->children[6]->geometry, 1, 0, 8, -8, 0, [](float, float) { return 3.0f; });
    root->children[6]->geometry.traceFaceCount = 1;
}

std::string FileOfTree()
{
    EXPECT_TRUE(OctreeCacheWrite("tree.oct"));
    return ReadFileBytes("tree.oct");
}

// Whatever a reader accepted must be a tree the rest of the program can rely on.
void ExpectSound(OctreeNode* root)
{
    ForEachNode(root, [](OctreeNode* node) {
        ASSERT_LE(node->Depth(), OCTREE_MAX_DEPTH);
        const OctreeGeometry& g = node->geometry;
        ASSERT_LE(g.traceFaceCount, g.faceCount);
        for (u32_t f = 0; f < g.faceCount; ++f) {
            for (int c = 0; c < 3; ++c)
                ASSERT_LT(g.faces[f].indices[c], g.vertexCount);
        }
        if (node->IsLeaf())
            return;
        const Vector3 c = {(node->boxMin.x + node->boxMax.x) / 2, (node->boxMin.y + node->boxMax.y) / 2,
                           (node->boxMin.z + node->boxMax.z) / 2};
        for (int i = 0; i < 8; ++i) {
            const OctreeNode* child = node->children[i];
            ASSERT_NE(child, nullptr);
            ASSERT_EQ(child->parent, node);
            ASSERT_EQ(child->boxMin.x, (i & OCTREE_CHILD_X) ? c.x : node->boxMin.x);
            ASSERT_EQ(child->boxMax.y, (i & OCTREE_CHILD_Y) ? node->boxMax.y : c.y);
            ASSERT_EQ(child->boxMin.z, (i & OCTREE_CHILD_Z) ? c.z : node->boxMin.z);
        }
    });
}

int g_visits = 0;

bool CountLeaf(OctreeNode* leaf, OctreeTraceContext*)
{
    ++g_visits;
    const OctreeGeometry& g = leaf->geometry;
    for (u32_t f = 0; f < g.OwnFaceCount(); ++f)
        g_visits += g.vertices[g.faces[f].indices[2]].position.y > 100.0f;
    return false;
}

int CountBoxLeaf(OctreeNode*, s32_t, s32_t)
{
    ++g_visits;
    return 1;
}

// Walks the accepted tree the way the program does.
void Query()
{
    g_visits = 0;
    const float a[3] = {-9, 3, -7}, b[3] = {9, -5, 8}, down[3] = {1, -20, 1}, up[3] = {1, 20, 1};
    OctreeTraceSegment(a, b, CountLeaf, nullptr, 0, 0);
    OctreeTraceSegment(up, down, CountLeaf, nullptr, 0, 0);
    const float box[6] = {-5, -5, -5, 12, 1, 2};
    OctreeQueryBox(box, CountBoxLeaf);
    s32_t tile[2];
    const float points[][3] = {{-3, 1, 5}, {7.5f, -7.9f, 0.1f}, {20, 0, -30}};
    for (const auto& point : points)
        OctreeFindLeaf(point, tile);
    EXPECT_GT(g_visits, 0);
}

using Edit = std::function<void(std::string&)>;

void PutU32(std::string& bytes, size_t at, u32_t value)
{
    StoreU32(reinterpret_cast<u8_t*>(&bytes[at]), value);
}

// Offsets in the file of MakeTree: the root record and its geometry.
constexpr size_t kRoot = 4;
constexpr size_t kRootGeometry = kRoot + 33;
constexpr size_t kRootVertices = kRootGeometry + 8;
constexpr size_t kRootFaceWords = kRootVertices + 9 * 32;
constexpr size_t kRootFaces = kRootFaceWords + 12;
constexpr size_t kChild0 = kRootFaces + 8 * 41 + 28;

class OctreeCacheRobustness : public TempDirTest {
protected:
    void TearDown() override
    {
        OctreeDestroy();
        TempDirTest::TearDown();
    }
};

TEST_F(OctreeCacheRobustness, TruncatedAndCorruptedFilesAreRefused)
{
    MakeTree();
    const std::string good = FileOfTree();
    ASSERT_EQ(good.size(), kChild0 + 16 * 81 + 3 * (32 * 4 + 41 * 2));
    ASSERT_EQ(good[kRoot + 32], 1);
    ASSERT_EQ(LoadU32(reinterpret_cast<const u8_t*>(&good[kRootFaceWords + 4])), 8u);
    ASSERT_EQ(LoadU32(reinterpret_cast<const u8_t*>(&good[kChild0])),
              LoadU32(reinterpret_cast<const u8_t*>(&good[kRoot])));

    const struct {
        const char* name;
        Edit edit;
    } cases[] = {
        {"version 0", [](std::string& b) { b[0] = 0; }},
        {"version 2", [](std::string& b) { b[0] = 2; }},
        {"root box moved", [](std::string& b) { PutU32(b, kRoot, 0xC1000001u); }},
        {"root box not a number", [](std::string& b) { PutU32(b, kRoot + 16, 0x7FC00000u); }},
        {"child box moved", [](std::string& b) { b[kChild0 + 13] ^= 0x40; }},
        {"has-children 2", [](std::string& b) { b[kRoot + 32] = 2; }},
        {"has-children 0 on an inner node", [](std::string& b) { b[kRoot + 32] = 0; }},
        {"has-children 1 on a leaf", [](std::string& b) { b[kChild0 + 32] = 1; }},
        {"vertex capacity above the count", [](std::string& b) { PutU32(b, kRootGeometry, 10); }},
        {"vertex count past the file",
         [](std::string& b) {
             PutU32(b, kRootGeometry, 0x7FFFFFFF);
             PutU32(b, kRootGeometry + 4, 0x7FFFFFFF);
         }},
        {"vertex count of every byte",
         [](std::string& b) {
             PutU32(b, kRootGeometry, 0xFFFFFFFF);
             PutU32(b, kRootGeometry + 4, 0xFFFFFFFF);
         }},
        {"face capacity below the count", [](std::string& b) { PutU32(b, kRootFaceWords, 7); }},
        {"face count past the file",
         [](std::string& b) {
             PutU32(b, kRootFaceWords, 0x10000000);
             PutU32(b, kRootFaceWords + 4, 0x10000000);
         }},
        {"trace faces above the faces", [](std::string& b) { PutU32(b, kRootFaceWords + 8, 9); }},
        {"a face naming a missing vertex", [](std::string& b) { b[kRootFaces + 41 * 3 + 2] = 9; }},
        {"one byte more", [](std::string& b) { b.push_back(0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = good;
        c.edit(bytes);
        ASSERT_TRUE(WriteFileBytes("damaged.oct", bytes));
        EXPECT_FALSE(OctreeCacheRead("damaged.oct"));
        EXPECT_EQ(FileOfTree(), good);  // the tree is the one it was
    }
    for (size_t size = 0; size < good.size(); ++size) {
        ASSERT_FALSE(OctreeCacheReadBytes(good.data(), size)) << size;
    }
    EXPECT_EQ(FileOfTree(), good);
    ASSERT_TRUE(OctreeCacheReadBytes(good.data(), good.size()));
    ExpectSound(OctreeGetRoot());
}

// A file written by hand after the layout: a chain of nodes whose child 0 has children, down to the
// given depth, no geometry anywhere.
void PutNode(std::string& out, Vector3 min, Vector3 max, int depth, int deepest)
{
    auto f32 = [&](float v) {
        u32_t bits;
        std::memcpy(&bits, &v, 4);
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<char>(bits >> (8 * i)));
    };
    f32(min.x), f32(min.y), f32(min.z), f32(max.x), f32(max.y), f32(max.z), f32(0), f32(0);
    out.push_back(depth < deepest ? 1 : 0);
    for (int i = 0; i < 5; ++i)
        f32(0);  // empty geometry: capacities, counts and trace faces
    for (int i = 0; i < 7; ++i)
        f32(0);  // bounds and radius
    if (depth == deepest)
        return;
    const Vector3 c = {(min.x + max.x) / 2, (min.y + max.y) / 2, (min.z + max.z) / 2};
    for (int i = 0; i < 8; ++i) {
        const Vector3 lo = {(i & 4) ? c.x : min.x, (i & 2) ? c.y : min.y, (i & 1) ? c.z : min.z};
        const Vector3 hi = {(i & 4) ? max.x : c.x, (i & 2) ? max.y : c.y, (i & 1) ? max.z : c.z};
        PutNode(out, lo, hi, depth + 1, i == 0 ? deepest : depth + 1);
    }
}

TEST_F(OctreeCacheRobustness, NodesDeeperThanTheDepthFieldAreRefused)
{
    for (const int deepest : {16, 15}) {
        SCOPED_TRACE(deepest);
        OctreeCreateRoot(kBoxMin, kBoxMax);
        std::string bytes = std::string("\x01\0\0\0", 4);
        PutNode(bytes, kBoxMin, kBoxMax, 0, deepest);
        EXPECT_EQ(OctreeCacheReadBytes(bytes.data(), bytes.size()), deepest == 15);
    }
    int depth = 0;
    for (OctreeNode* node = OctreeGetRoot(); !node->IsLeaf(); node = node->children[0])
        depth = static_cast<int>(node->children[0]->Depth());
    EXPECT_EQ(depth, 15);
}

TEST_F(OctreeCacheRobustness, MutatedFilesNeverCrash)
{
    MakeTree();
    const std::string good = FileOfTree();
    EngineSRand(20240917u);
    int accepted = 0, refused = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string bytes = good;
        const int flips = 1 + EngineRand() % 4;
        for (int i = 0; i < flips; ++i) {
            const size_t at = static_cast<size_t>(EngineRand()) % bytes.size();
            const int kind = EngineRand() % 4;
            bytes[at] = static_cast<char>(kind == 0 ? EngineRand() % 4 : kind == 1 ? 0xFF : EngineRand() & 0xFF);
        }
        if (round % 9 == 0)
            bytes.resize(static_cast<size_t>(EngineRand()) % bytes.size());
        if (round % 13 == 0 && !bytes.empty())
            bytes.insert(static_cast<size_t>(EngineRand()) % bytes.size(), 1 + EngineRand() % 41, '\0');
        ASSERT_TRUE(OctreeCacheReadBytes(good.data(), good.size()));
        if (!OctreeCacheReadBytes(bytes.data(), bytes.size())) {
            ++refused;
            if (round % 50 == 0) {
                ASSERT_EQ(FileOfTree(), good);
            }
            continue;
        }
        ++accepted;
        ExpectSound(OctreeGetRoot());
        if (HasFatalFailure())
            return;
        Query();
    }
    // The loop must take the accepting road as well as the refusing one.
    EXPECT_GT(accepted, 200);
    EXPECT_GT(refused, 200);
}

}  // namespace
