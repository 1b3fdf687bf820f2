// Meshes made by aff_make from plain-text descriptions, read back by the engine's ".aff" reader and
// the animation cache: boxes, dummies, frames and zones as described; faulty descriptions fail with
// a message that names their line. Also: the sample data's meshes are those their descriptions make.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "support/temp_dir.h"
#include "support/vfs_fixture.h"
#include "tools/aff_make/aff_description.h"
#include "world/animation/anim_cache.h"
#include "world/animation/anim_mesh.h"

namespace {

Vector3 Sub(Vector3 a, Vector3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vector3 Cross(Vector3 a, Vector3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(Vector3 a, Vector3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector3 Position(const AnimVertexData& vertices, u32_t index)
{
    return {vertices.positions[index * 3], vertices.positions[index * 3 + 1], vertices.positions[index * 3 + 2]};
}

// A box mesh of the frame: 24 vertices, 12 faces, each face wound counter-clockwise seen from
// outside (the mesh passes cull clockwise faces: the cross product of its edges points towards the
// centre), its extent as described.
::testing::AssertionResult IsBox(const AnimMesh& mesh, u32_t frame, u32_t index, Vector3 centre, Vector3 size)
{
    const AnimVertexData* vertices = mesh.GetMeshVertices(frame, index);
    const AnimFaces* faces = mesh.GetMeshFaces(frame, index);
    if (vertices->count != 24 || faces->count != 12)
        return ::testing::AssertionFailure() << vertices->count << " vertices and " << faces->count << " faces";
    const Vector3 low{centre.x - size.x / 2, centre.y - size.y / 2, centre.z - size.z / 2};
    const Vector3 high{centre.x + size.x / 2, centre.y + size.y / 2, centre.z + size.z / 2};
    if (std::fabs(vertices->boxMin.x - low.x) > 1e-5f || std::fabs(vertices->boxMin.y - low.y) > 1e-5f ||
        std::fabs(vertices->boxMin.z - low.z) > 1e-5f || std::fabs(vertices->boxMax.x - high.x) > 1e-5f ||
        std::fabs(vertices->boxMax.y - high.y) > 1e-5f || std::fabs(vertices->boxMax.z - high.z) > 1e-5f)
        return ::testing::AssertionFailure()
               << "the box spans (" << vertices->boxMin.x << ", " << vertices->boxMin.y << ", " << vertices->boxMin.z
               << ") to (" << vertices->boxMax.x << ", " << vertices->boxMax.y << ", " << vertices->boxMax.z << ")";
    for (u32_t f = 0; f < faces->count; ++f) {
        const Vector3 a = Position(*vertices, faces->indices[f * 3]);
        const Vector3 b = Position(*vertices, faces->indices[f * 3 + 1]);
        const Vector3 c = Position(*vertices, faces->indices[f * 3 + 2]);
        const Vector3 middle{(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
        if (Dot(Cross(Sub(b, a), Sub(c, a)), Sub(middle, centre)) >= 0.0f)
            return ::testing::AssertionFailure() << "face " << f << " winds clockwise seen from outside";
    }
    return ::testing::AssertionSuccess();
}

class AffMake : public VfsTest {
protected:
    void TearDown() override
    {
        AnimCacheFreeAll();
        VfsTest::TearDown();
    }
    // The description made into "made.aff" and read through the animation cache.
    AnimMesh* Make(const std::string& description)
    {
        aff::AffFile file;
        std::string error;
        EXPECT_TRUE(aff::ParseAffDescription(description, &file, &error)) << error;
        const std::string name = "made" + std::to_string(++m_files) + ".aff";
        EXPECT_TRUE(aff::WriteAff(name, file));
        AnimMesh* mesh = AnimCacheAcquire(name.c_str(), false);
        EXPECT_NE(mesh, nullptr);
        return mesh;
    }
    int m_files = 0;
};

TEST_F(AffMake, DescribedBoxesDummiesFramesAndZonesReadBack)
{
    struct Case {
        const char* what;
        const char* description;
        std::function<void(const AnimMesh&)> check;
    };
    const Case cases[] = {
        {"one textured box", "frames 1\nbox crate 2 4 6 wood.tga 1 2 3\n",
         [](const AnimMesh& m) {
             ASSERT_EQ(m.frames_c, 1u);
             ASSERT_EQ(m.frames[0].meshes_c, 1u);
             EXPECT_STREQ(m.MeshName(m.frames[0].meshes[0]), "crate");
             EXPECT_TRUE(IsBox(m, 0, 0, {1, 2, 3}, {2, 4, 6}));
             ASSERT_EQ(m.textures_c, 1u);
             EXPECT_STREQ(m.textures[0].Text(), "wood.tga");
             EXPECT_EQ(m.GetMeshTextureRef(0, 0)->textureWord, 0u);
             EXPECT_EQ(m.zoneRoot->childCount, 0);
         }},
        {"a box moving over five frames", "# moves along x\nframes 5 10\nbox b 2 2 2 none 0 0 0 8 0 0  # comment\n",
         [](const AnimMesh& m) {
             ASSERT_EQ(m.frames_c, 5u);
             EXPECT_EQ(m.frameRate, 10.0f);
             EXPECT_TRUE(IsBox(m, 0, 0, {0, 0, 0}, {2, 2, 2}));
             EXPECT_TRUE(IsBox(m, 2, 0, {4, 0, 0}, {2, 2, 2}));
             EXPECT_TRUE(IsBox(m, 4, 0, {8, 0, 0}, {2, 2, 2}));
             EXPECT_EQ(m.GetMeshTextureRef(0, 0)->textureWord, ANIM_TEXTURE_NONE);
             // What does not move is kept once.
             EXPECT_EQ(m.GetMeshTextureRef(3, 0), m.GetMeshTextureRef(0, 0));
             EXPECT_EQ(m.GetMeshFaces(3, 0), m.GetMeshFaces(0, 0));
             EXPECT_NE(m.GetMeshVertices(3, 0), m.GetMeshVertices(0, 0));
         }},
        {"a dummy moving over three frames", "frames 3\ndummy xa 0 9 0 0 12 0\n",
         [](const AnimMesh& m) {
             for (u32_t frame = 0; frame < 3; ++frame) {
                 const AnimDummyFrame* dummy = m.frames[frame].meshes[0].dummyFrame;
                 ASSERT_NE(dummy, nullptr) << frame;
                 EXPECT_FLOAT_EQ(dummy->origin.y, 9.0f + 1.5f * static_cast<float>(frame)) << frame;
                 EXPECT_FLOAT_EQ(dummy->x.z, 1.0f);
                 EXPECT_FLOAT_EQ(dummy->y.y, 1.0f);
                 EXPECT_FLOAT_EQ(dummy->z.x, 1.0f);
             }
             EXPECT_EQ(m.FindMesh(static_cast<u32_t>(m.FindName("XA")), 2), 0);
         }},
        {"a still dummy shares its vertices", "frames 2\ndummy xb1 1 2 3\n",
         [](const AnimMesh& m) {
             EXPECT_EQ(m.GetMeshVertices(1, 0), m.GetMeshVertices(0, 0));
             EXPECT_FLOAT_EQ(m.frames[1].meshes[0].dummyFrame->origin.z, 3.0f);
         }},
        {"boxes and dummies in order, textures once each",
         "frames 1\nbox a 1 1 1 one.tga 0 0 0\ndummy d 0 0 0\nbox b 1 1 1 two.tga 0 0 0\nbox c 1 1 1 one.tga 0 0 0\n",
         [](const AnimMesh& m) {
             ASSERT_EQ(m.frames[0].meshes_c, 4u);
             EXPECT_STREQ(m.MeshName(m.frames[0].meshes[1]), "d");
             EXPECT_STREQ(m.MeshName(m.frames[0].meshes[3]), "c");
             ASSERT_EQ(m.textures_c, 2u);
             EXPECT_EQ(m.GetMeshTextureRef(0, 2)->textureWord, 1u);
             EXPECT_EQ(m.GetMeshTextureRef(0, 3)->textureWord, 0u);
         }},
        {"zones with their points, children and inside flags",
         "frames 1\ndummy d 0 0 0\nzone room 0 0 0 10 0 0 10 5 10\nzone door parent room inside 4 0 0 6 0 0 6 0 1\n"
         "zone crossing_yard inside 20 0 20\n",
         [](const AnimMesh& m) {
             ASSERT_EQ(m.zoneRoot->childCount, 2);
             const AnimZone& room = *m.zoneRoot->children[0];
             EXPECT_STREQ(room.name, "room");
             EXPECT_EQ(room.cross, 0);
             ASSERT_EQ(room.pointCount, 3);
             EXPECT_EQ(room.points[2].x, 10.0f);
             EXPECT_EQ(room.points[2].y, 5.0f);
             EXPECT_EQ(room.points[2].z, 10.0f);
             ASSERT_EQ(room.childCount, 1);
             const AnimZone& door = *room.children[0];
             EXPECT_STREQ(door.name, "door_cross");
             EXPECT_EQ(door.cross, 1);
             EXPECT_EQ(door.points[2].z, 1.0f);
             EXPECT_STREQ(m.zoneRoot->children[1]->name, "crossing_yard");
             EXPECT_EQ(m.zoneRoot->children[1]->cross, 1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const AnimMesh* mesh = Make(c.description);
        ASSERT_NE(mesh, nullptr);
        c.check(*mesh);
    }
}

TEST_F(AffMake, AFaultyDescriptionFailsNamingItsLine)
{
    const struct {
        const char* description;
        const char* message;
    } cases[] = {
        {"", "no box or dummy described"},
        {"# nothing\n\n", "no box or dummy described"},
        {"box a 1 1 1 none 0 0 0\n", "line 1: 'frames' must come before the boxes and dummies"},
        {"frames 0\n", "line 1: the frame count must be a whole number from 1 to 1000"},
        {"frames 2.5\n", "line 1: the frame count must be a whole number from 1 to 1000"},
        {"frames 1001\n", "line 1: the frame count must be a whole number from 1 to 1000"},
        {"frames 2\nframes 3\n", "line 2: 'frames' given twice"},
        {"frames 2 -1\n", "line 1: the frame rate must be above 0"},
        {"frames 2 3 4\n", "line 1: 'frames' takes a count and an optional rate"},
        {"frames 2\nbox a 1 1 x none 0 0 0\n", "line 2: 'x' is not a number"},
        {"frames 2\nbox a 1 0 1 none 0 0 0\n", "line 2: the sizes of box 'a' must be above 0"},
        {"frames 2\nbox a 1 1 1\n", "line 2: box 'a' needs a texture name or none"},
        {"frames 2\nbox a 1 1 1 none 0 0\n", "line 2: 'a' needs a first placement and an optional last one"},
        {"frames 2\ndummy a 0 0 0 1 1 1 2\n", "line 2: 'a' needs a first placement and an optional last one"},
        {"frames 2\ndummy a 0 0 0\n\ndummy a 1 1 1\n", "line 4: 'a' is described twice"},
        {"frames 2\nsphere a 1\n", "line 2: unknown statement 'sphere'"},
        {"frames 2\ndummy a 0 0 0\nzone z 1 2\n", "line 3: zone 'z' needs points of 3 numbers each"},
        {"frames 2\ndummy a 0 0 0\nzone z\n", "line 3: zone 'z' needs points of 3 numbers each"},
        {"frames 2\ndummy a 0 0 0\nzone z parent nope 0 0 0\n", "line 3: zone 'nope' is not described before 'z'"},
        {"frames 2\ndummy a 0 0 0\nzone crossing 0 0 0\n", "line 3: zone 'crossing' has \"cross\" in its name"},
        {"frames 2\ndummy a 0 0 0\nzone z 0 0 0\nzone z 1 1 1\n", "line 4: zone 'z' is described twice"},
        {"frames 2\ndummy "
         "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"
         " 0 0 0\n",
         "line 2: name 'nnnn"},
        {"frames 2\ndummy a 0 inf 0\n", "line 2: 'inf' is not a number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        aff::AffFile file;
        std::string error;
        EXPECT_FALSE(aff::ParseAffDescription(c.description, &file, &error));
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
    }
}

TEST_F(AffMake, TheCommandWritesTheFileOrFailsWithAMessage)
{
    const std::string command = std::string(ZINTAR_BIN_DIR) + "/aff_make";
    ASSERT_TRUE(std::filesystem::exists(command)) << command;
    ASSERT_TRUE(WriteFileBytes("good.txt", "frames 2\nbox b 1 1 1 none 0 0 0 0 1 0\n"));
    ASSERT_TRUE(WriteFileBytes("bad.txt", "frames 2\nbox b 1 1 1 none 0 0 zero\n"));
    const int good = std::system((command + " good.txt good.aff 2> good.err").c_str());
    ASSERT_TRUE(WIFEXITED(good));
    EXPECT_EQ(WEXITSTATUS(good), 0);
    EXPECT_EQ(ReadFileBytes("good.err"), "");
    AnimMesh* mesh = AnimCacheAcquire("good.aff", false);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->frames_c, 2u);

    const int bad = std::system((command + " bad.txt bad.aff 2> bad.err").c_str());
    ASSERT_TRUE(WIFEXITED(bad));
    EXPECT_NE(WEXITSTATUS(bad), 0);
    EXPECT_EQ(ReadFileBytes("bad.err"), "aff_make: bad.txt: line 2: 'zero' is not a number\n");
    EXPECT_FALSE(std::filesystem::exists("bad.aff"));

    const int missing = std::system((command + " none.txt none.aff 2> missing.err").c_str());
    EXPECT_NE(WEXITSTATUS(missing), 0);
    EXPECT_EQ(ReadFileBytes("missing.err"), "aff_make: cannot read none.txt\n");
    const int usage = std::system((command + " 2> usage.err").c_str());
    EXPECT_NE(WEXITSTATUS(usage), 0);
    EXPECT_NE(ReadFileBytes("usage.err").find("usage: aff_make <description> <out.aff>"), std::string::npos);
}

// The sample vegetation's meshes (component/extras) are what their descriptions make: after changing
// one, scripts/sample_veg makes them anew.
TEST(SampleMeshes, TheVegetationMeshesAreThoseTheirDescriptionsMake)
{
    namespace fs = std::filesystem;
    const fs::path data = fs::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data";
    int made = 0;
    for (const fs::directory_entry& description : fs::directory_iterator(data / "sample_veg")) {
        const fs::path mesh = data / "sample" / "component" / "extras" / (description.path().stem().string() + ".aff");
        SCOPED_TRACE(mesh.string());
        aff::AffFile file;
        std::string error;
        ASSERT_TRUE(aff::ParseAffDescription(ReadFileBytes(description.path().string()), &file, &error)) << error;
        EXPECT_TRUE(aff::AffImage(file) == ReadFileBytes(mesh.string())) << "not current: run scripts/sample_veg";
        ++made;
    }
    EXPECT_GT(made, 0);
}

// The sample data's meshes are exactly what their descriptions make: after changing a description or
// the writer, scripts/sample_meshes makes them anew.
TEST(SampleMeshes, AreThoseTheirDescriptionsMake)
{
    namespace fs = std::filesystem;
    const fs::path data = fs::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data";
    const fs::path descriptions = data / "sample_meshes";
    const fs::path meshes = data / "sample" / "component" / "model";
    TempDir folder;
    int made = 0;
    for (const fs::directory_entry& classFolder : fs::directory_iterator(descriptions)) {
        for (const fs::directory_entry& description : fs::directory_iterator(classFolder.path())) {
            const std::string name = description.path().stem().string();
            const fs::path mesh = meshes / classFolder.path().filename() / (name + ".aff");
            SCOPED_TRACE(mesh.string());
            aff::AffFile file;
            std::string error;
            ASSERT_TRUE(aff::ParseAffDescription(ReadFileBytes(description.path().string()), &file, &error)) << error;
            EXPECT_TRUE(aff::AffImage(file) == ReadFileBytes(mesh.string()))
                << "not current: run scripts/sample_meshes";
            ++made;
        }
    }
    EXPECT_GT(made, 0);
    // No mesh is left without its description.
    for (const fs::directory_entry& classFolder : fs::directory_iterator(meshes)) {
        for (const fs::directory_entry& mesh : fs::directory_iterator(classFolder.path())) {
            const fs::path description =
                descriptions / classFolder.path().filename() / (mesh.path().stem().string() + ".txt");
            EXPECT_TRUE(fs::exists(description)) << mesh.path() << " has no description";
        }
    }
}

}  // namespace
