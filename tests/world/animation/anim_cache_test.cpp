// The animation cache through real files and archives: lookup by name, the table limit, the
// archive road, post-processing (dummy frames, welding, neighbours) and dummy interpolation.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/files/vfs.h"
#include "platform/d3dx8_math.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "support/vfs_fixture.h"
#include "tests/world/aff_writer.h"
#include "world/animation/anim_cache.h"
#include "world/animation/anim_mesh.h"

using namespace aff_test;

namespace {

AffFile OneTriangle(float x = 0.0f)
{
    AffFile file;
    file.strings = {"tri"};
    file.textures = {};
    file.frames = {{{TriangleMesh(0, {x, 0, 0}, {x + 1, 0, 0}, {x, 1, 0})}}};
    return file;
}

class AnimCache : public VfsTest {
protected:
    void TearDown() override
    {
        AnimCacheFreeAll();
        VfsTest::TearDown();
    }
};

TEST_F(AnimCache, NamesMatchWithoutRegardToCaseAndOtherPathsLoadAgain)
{
    ASSERT_TRUE(WriteAff("component/crate.aff", OneTriangle()));
    AnimMesh* first = AnimCacheAcquire("component\\crate.aff", false);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->name.Text(), "component\\crate.aff");
    EXPECT_EQ(AnimCacheAcquire("COMPONENT\\Crate.AFF", false), first);
    AnimMesh* other = AnimCacheAcquire("component/crate.aff", false);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, first);
    EXPECT_EQ(AnimCacheCount(), 2u);
    EXPECT_EQ(AnimCacheAcquire("component\\missing.aff", false), nullptr);
    EXPECT_EQ(AnimCacheCount(), 2u);
    AnimCacheFreeAll();
    EXPECT_EQ(AnimCacheCount(), 0u);
}

TEST_F(AnimCache, AFullTableStillFindsCachedNamesButLoadsNoMore)
{
    const std::string bytes = AffImage(OneTriangle());
    for (u32_t i = 0; i <= MAX_ANIMATIONS; ++i)
        ASSERT_TRUE(WriteFileBytes("m" + std::to_string(i) + ".aff", bytes));
    for (u32_t i = 0; i < MAX_ANIMATIONS; ++i)
        ASSERT_NE(AnimCacheAcquire(("m" + std::to_string(i) + ".aff").c_str(), false), nullptr) << i;
    const std::string name = "m" + std::to_string(MAX_ANIMATIONS) + ".aff";
    EXPECT_EQ(AnimCacheCount(), MAX_ANIMATIONS);
    EXPECT_EQ(AnimCacheAcquire(name.c_str(), false), nullptr);
    EXPECT_EQ(AnimCacheCount(), MAX_ANIMATIONS);
    EXPECT_NE(AnimCacheAcquire("M7.AFF", false), nullptr);
    // A new mission empties the table; the meshes were freed at the end of the last one.
    AnimCacheFreeAll();
    AnimCacheReset();
    EXPECT_NE(AnimCacheAcquire(name.c_str(), false), nullptr);
}

TEST_F(AnimCache, ArchiveImagesLoadAndABrokenLooseFileShadowsThem)
{
    const std::string good = AffImage(OneTriangle(5.0f));
    AffFile broken = OneTriangle();
    broken.omit = {"frames"};
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"component\\packed.aff", good}, {"component\\shadowed.aff", good}}));
    ASSERT_TRUE(WriteAff("component/shadowed.aff", broken));
    ASSERT_TRUE(VFSInit());

    AnimMesh* packed = AnimCacheAcquire("component\\packed.aff", false);
    ASSERT_NE(packed, nullptr);
    EXPECT_EQ(packed->GetMeshVertices(0, 0)->positions[0], 5.0f);
    // The loose file is read first by both roads, so the archive's copy is never reached.
    EXPECT_EQ(AnimCacheAcquire("component\\shadowed.aff", false), nullptr);
    EXPECT_EQ(AnimCacheCount(), 1u);
}

TEST_F(AnimCache, OnlyNewlyLoadedMeshesAreQueuedForTheGpu)
{
    GpuAnimRelease();
    ASSERT_TRUE(WriteAff("cpu.aff", OneTriangle()));
    ASSERT_TRUE(WriteAff("gpu.aff", OneTriangle()));
    AnimMesh* cpu = AnimCacheAcquire("cpu.aff", false);
    ASSERT_NE(cpu, nullptr);
    EXPECT_EQ(AnimCacheAcquire("cpu.aff", true), cpu);
    EXPECT_EQ(GpuAnimQueuedCount(), 0);
    AnimMesh* gpu = AnimCacheAcquire("gpu.aff", true);
    ASSERT_NE(gpu, nullptr);
    AnimCacheAcquire("GPU.aff", true);
    ASSERT_EQ(GpuAnimQueuedCount(), 1);
    EXPECT_EQ(GpuAnimQueuedAt(0), gpu);
    // Destroyed meshes leave the upload queue.
    AnimCacheFreeAll();
    EXPECT_EQ(GpuAnimQueuedCount(), 0);
}

void ExpectVector(const Vector3& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, 1e-6f);
    EXPECT_NEAR(v.y, y, 1e-6f);
    EXPECT_NEAR(v.z, z, 1e-6f);
}

TEST_F(AnimCache, ThreeVertexMeshesGetDummyFramesWhateverTheirCornerOrder)
{
    // A right triangle with legs 2 along +x and 1 along +z from the origin, listed from each corner.
    const Vector3 o{0, 0, 0}, x{2, 0, 0}, z{0, 0, 1};
    AffFile file;
    file.strings = {"con_a", "con_b", "con_c", "quad"};
    file.frames = {{{TriangleMesh(0, o, x, z), TriangleMesh(1, x, z, o), TriangleMesh(2, z, o, x),
                     QuadMesh(3, {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}})}}};
    ASSERT_TRUE(WriteAff("dummies.aff", file));
    AnimMesh* mesh = AnimCacheAcquire("dummies.aff", false);
    ASSERT_NE(mesh, nullptr);
    for (u32_t m = 0; m < 3; ++m) {
        SCOPED_TRACE(m);
        const AnimDummyFrame* frame = mesh->frames[0].meshes[m].dummyFrame;
        ASSERT_NE(frame, nullptr);
        ExpectVector(frame->origin, 0, 0, 0);
        ExpectVector(frame->x, 1, 0, 0);
        ExpectVector(frame->z, 0, 0, 1);
        ExpectVector(frame->y, 0, -1, 0);
    }
    EXPECT_EQ(mesh->frames[0].meshes[3].dummyFrame, nullptr);
}

TEST_F(AnimCache, FacesAcrossASeamAreNeighboursAndOpenEdgesHaveNone)
{
    // Two triangles of a unit square with the diagonal's vertices duplicated (a texture seam), plus
    // a third vertex a hair away from vertex 0 that welds onto it.
    Mesh seam;
    seam.name = 0;
    seam.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0.005f}};
    seam.indices = {0, 1, 2, 5, 3, 4};
    AffFile file;
    file.strings = {"floor"};
    file.frames = {{{seam}}};
    ASSERT_TRUE(WriteAff("seam.aff", file));
    AnimMesh* mesh = AnimCacheAcquire("seam.aff", false);
    ASSERT_NE(mesh, nullptr);
    const AnimFaces* faces = mesh->GetMeshFaces(0, 0);
    ASSERT_NE(faces->welded, nullptr);
    const u16_t welded[6] = {0, 1, 2, 0, 2, 4};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(faces->welded[i], welded[i]) << i;
    // Face 0: edges 0-1 open, 1-2 open, 2-0 shared with face 1's edge 0-2 (its edge 0 runs 0 to 2).
    const u16_t neighbours[6] = {ANIM_NO_NEIGHBOUR, ANIM_NO_NEIGHBOUR, 1, 0, ANIM_NO_NEIGHBOUR, ANIM_NO_NEIGHBOUR};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(faces->neighbours[i], neighbours[i]) << i;
    // Running the step again replaces the tables.
    AnimMeshBuildAdjacency(mesh);
    EXPECT_EQ(faces->neighbours[2], 1);
}

TEST_F(AnimCache, ShapesOnlyTheMeshesThatOwnTheirFaces)
{
    AffFile file = OneTriangle();
    Mesh shared = file.frames[0].meshes[0];
    shared.faceRef = AnimMeshRef(0, 0);
    file.frames.push_back({{shared}});
    ASSERT_TRUE(WriteAff("shared.aff", file));
    AnimMesh* mesh = AnimCacheAcquire("shared.aff", false);
    ASSERT_NE(mesh, nullptr);
    EXPECT_NE(mesh->frames[0].meshes[0].faces->neighbours, nullptr);
    EXPECT_EQ(mesh->frames[1].meshes[0].faces, nullptr);
    EXPECT_EQ(mesh->GetMeshFaces(1, 0), mesh->frames[0].meshes[0].faces);
}

TEST(DummyInterpolation, BlendsOriginsAndRenormalisesAxes)
{
    AnimDummyFrame a{{0, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, 1}};
    AnimDummyFrame b{{4, 2, 0}, {0, 0, 1}, {0, -1, 0}, {-1, 0, 0}};
    struct Case {
        float t;
        Vector3 origin, x, z;
    };
    const float h = std::sqrt(0.5f);
    const Case cases[] = {
        {0.0f, {0, 0, 0}, {1, 0, 0}, {0, 0, 1}},
        {1.0f, {4, 2, 0}, {0, 0, 1}, {-1, 0, 0}},
        {0.5f, {2, 1, 0}, {h, 0, h}, {-h, 0, h}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        Vector3 origin, axes[3];
        DummyFrameLerp(&a, &b, c.t, &origin, axes);
        ExpectVector(origin, c.origin.x, c.origin.y, c.origin.z);
        ExpectVector(axes[0], c.x.x, c.x.y, c.x.z);
        ExpectVector(axes[1], 0, -1, 0);
        ExpectVector(axes[2], c.z.x, c.z.y, c.z.z);

        // The matrix takes the dummy's origin to 0 and its axes X, Z, Y to the three unit vectors.
        D3DXMATRIX m;
        DummyFrameLerpMatrix(&a, &m, c.t, &b);
        const D3DXVECTOR3 points[4] = {
            {origin.x, origin.y, origin.z},
            {origin.x + axes[0].x, origin.y + axes[0].y, origin.z + axes[0].z},
            {origin.x + axes[2].x, origin.y + axes[2].y, origin.z + axes[2].z},
            {origin.x + axes[1].x, origin.y + axes[1].y, origin.z + axes[1].z},
        };
        const Vector3 expected[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        for (int i = 0; i < 4; ++i) {
            D3DXVECTOR3 out;
            D3DXVec3TransformCoord(&out, &points[i], &m);
            ExpectVector({out.x, out.y, out.z}, expected[i].x, expected[i].y, expected[i].z);
        }
    }
}

TEST(AnimMeshAccessors, IndicesOutOfRangeEndTheProgram)
{
    AnimMesh mesh;
    EXPECT_DEATH(mesh.GetMeshVertices(0, 0), "Assertion 'frame < frames_c' failed");
}

TEST_F(AnimCache, AMeshIndexPastTheFramesMeshesEndsTheProgram)
{
    ASSERT_TRUE(WriteAff("tri.aff", OneTriangle()));
    const AnimMesh* mesh = AnimCacheAcquire("tri.aff", false);
    ASSERT_NE(mesh, nullptr);
    EXPECT_NE(mesh->GetMeshFaces(0, 0), nullptr);
    EXPECT_EXIT(mesh->GetMeshFaces(0, 1), ::testing::ExitedWithCode(3),
                "Assertion 'mesh < frames\\[frame\\]\\.meshes_c' failed");
}

}  // namespace
