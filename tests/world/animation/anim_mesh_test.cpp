// The ".aff" readers on generated files, from disk and from a memory image: shared data, mesh
// classification, zones, boxes, portal values, and the read errors.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "support/temp_dir.h"
#include "tests/world/aff_writer.h"
#include "world/animation/anim_mesh.h"

using namespace aff_test;

namespace {

enum class Reader { File, Image };

int Read(Reader reader, AnimMesh& mesh, const AffFile& file)
{
    if (reader == Reader::File) {
        if (!WriteAff("mesh.aff", file))
            return 1;
        return AnimMeshReadFile(&mesh, "mesh.aff");
    }
    const std::string image = AffImage(file);
    return AnimMeshReadImage(&mesh, image.data(), static_cast<u32_t>(image.size()));
}

// A file with one frame of one triangle named "tri".
AffFile OneTriangle()
{
    AffFile file;
    file.strings = {"tri"};
    file.textures = {"brick"};
    file.frames = {{{TriangleMesh(0, {0, 0, 0}, {1, 0, 0}, {0, 1, 0})}}};
    return file;
}

void ExpectEmpty(const AnimMesh& mesh)
{
    EXPECT_EQ(mesh.frames, nullptr);
    EXPECT_EQ(mesh.frames_c, 0u);
    EXPECT_EQ(mesh.strings, nullptr);
    EXPECT_EQ(mesh.textures, nullptr);
    EXPECT_EQ(mesh.dummyBoxes, nullptr);
    EXPECT_EQ(mesh.portalBytes, nullptr);
    ASSERT_NE(mesh.zoneRoot, nullptr);
    EXPECT_STREQ(mesh.zoneRoot->name, "root");
    EXPECT_EQ(mesh.zoneRoot->childCount, 0);
}

class AnimMeshReaders : public TempDirTest, public ::testing::WithParamInterface<Reader> {};

INSTANTIATE_TEST_SUITE_P(BothReaders, AnimMeshReaders, ::testing::Values(Reader::File, Reader::Image),
                         [](const auto& testInfo) { return testInfo.param == Reader::File ? "File" : "Image"; });

TEST_P(AnimMeshReaders, SharedReferencesResolveToTheMeshThatHoldsTheData)
{
    AffFile file;
    file.strings = {"a", "b", "c", "d", "e", "f"};
    file.textures = {"t"};
    // Frame 0: six owning meshes; frame 1: mesh 0 shares everything with mesh 5 of frame 0; mesh 1
    // shares with mesh 0 of frame 1, which is itself shared.
    Frame first;
    for (u32_t m = 0; m < 6; ++m) {
        Mesh mesh = TriangleMesh(m, {float(m), 0, 0}, {float(m) + 1, 0, 0}, {float(m), 1, 0});
        mesh.material.textureWord = m;
        first.meshes.push_back(mesh);
    }
    Mesh sharedAll;
    sharedAll.materialRef = sharedAll.vertexRef = sharedAll.texCoordRef = sharedAll.faceRef = AnimMeshRef(0, 5);
    sharedAll.headerVertexCount = 3;
    sharedAll.headerFaceCount = 1;
    Mesh sharedChain = sharedAll;
    sharedChain.materialRef = sharedChain.vertexRef = sharedChain.texCoordRef = sharedChain.faceRef = AnimMeshRef(1, 0);
    // Its own positions, the rest shared: blocks follow only for -1.
    Mesh ownPositions = sharedAll;
    ownPositions.vertexRef = -1;
    ownPositions.positions = {{7, 7, 7}, {8, 7, 7}, {7, 8, 7}};
    file.frames = {first, {{sharedAll, sharedChain, ownPositions}}};

    AnimMesh mesh;
    ASSERT_EQ(Read(GetParam(), mesh, file), ANIM_READ_OK);
    ASSERT_EQ(mesh.frames_c, 2u);
    ASSERT_EQ(mesh.frames[1].meshes_c, 3u);
    for (u32_t m = 0; m < 2; ++m) {
        EXPECT_EQ(mesh.GetMeshVertices(1, m), mesh.GetMeshVertices(0, 5));
        EXPECT_EQ(mesh.GetMeshTexCoords(1, m), mesh.GetMeshTexCoords(0, 5));
        EXPECT_EQ(mesh.GetMeshFaces(1, m), mesh.GetMeshFaces(0, 5));
        EXPECT_EQ(mesh.GetMeshTextureRef(1, m), mesh.GetMeshTextureRef(0, 5));
        // A shared mesh holds no blocks of its own.
        EXPECT_EQ(mesh.frames[1].meshes[m].vertices, nullptr);
    }
    EXPECT_EQ(mesh.GetMeshTextureRef(1, 1)->textureWord, 5u);
    EXPECT_EQ(mesh.GetMeshVertices(1, 1)->positions[0], 5.0f);
    const AnimVertexData* own = mesh.GetMeshVertices(1, 2);
    ASSERT_NE(own, mesh.GetMeshVertices(0, 5));
    EXPECT_EQ(own->positions[3], 8.0f);
    EXPECT_EQ(mesh.GetMeshFaces(1, 2), mesh.GetMeshFaces(0, 5));
    // Box, size and centre of a vertex block.
    EXPECT_EQ(own->boxMin.x, 7.0f);
    EXPECT_EQ(own->size.y, 1.0f);
    EXPECT_EQ(own->centre.x, 7.5f);
}

// A mesh with its own fan of positions that draws the first faces of another mesh's face block.
Mesh FaceUser(u32_t vertices, s32_t faceRef, u32_t drawnFaces)
{
    Mesh mesh;
    mesh.name = 1;
    for (u32_t i = 0; i < vertices; ++i)
        mesh.positions.push_back({float(i), float(i % 2), 0});
    mesh.faceRef = faceRef;
    mesh.headerFaceCount = drawnFaces;
    return mesh;
}

// A face block is walked whole over the positions of every mesh that draws it, not only the faces
// its header draws: each of them must have every vertex the block names.
TEST_P(AnimMeshReaders, SharedFaceBlocksMustFitEveryMeshThatUsesThem)
{
    struct Case {
        const char* what;
        std::function<void(AffFile&)> build;
        int expected;
    };
    // Frame 0 holds the blocks: a quad whose faces (0 1 2) (0 2 3) reach four vertices, and a triangle.
    const Case cases[] = {
        {"user with as many vertices as the block reaches",
         [](AffFile& f) { f.frames.push_back({{FaceUser(4, AnimMeshRef(0, 0), 2)}}); }, ANIM_READ_OK},
        {"user with more vertices, drawing the first face only",
         [](AffFile& f) { f.frames.push_back({{FaceUser(6, AnimMeshRef(0, 0), 1)}}); }, ANIM_READ_OK},
        {"block names the vertex at the user's count, fewer faces drawn than the block holds",
         [](AffFile& f) { f.frames.push_back({{FaceUser(3, AnimMeshRef(0, 0), 1)}}); }, ANIM_READ_ERROR},
        {"block names the vertex at the user's count, every face drawn",
         [](AffFile& f) { f.frames.push_back({{FaceUser(3, AnimMeshRef(0, 0), 2)}}); }, ANIM_READ_ERROR},
        {"block names a vertex past the user's count",
         [](AffFile& f) {
             Mesh& quad = f.frames[0].meshes[0];
             quad.positions.push_back({2, 2, 0});
             quad.positions.push_back({3, 2, 0});
             quad.indices[5] = 5;
             f.frames.push_back({{FaceUser(4, AnimMeshRef(0, 0), 1)}});
         },
         ANIM_READ_ERROR},
        {"user whose shared vertices are fewer than the block reaches",
         [](AffFile& f) {
             Mesh user = FaceUser(0, AnimMeshRef(0, 0), 1);
             user.vertexRef = user.texCoordRef = AnimMeshRef(0, 1);
             user.headerVertexCount = 3;
             f.frames.push_back({{user}});
         },
         ANIM_READ_ERROR},
        {"chain of references that fits at every link",
         [](AffFile& f) {
             f.frames.push_back({{FaceUser(4, AnimMeshRef(0, 0), 2)}});
             f.frames.push_back({{FaceUser(5, AnimMeshRef(1, 0), 1)}});
         },
         ANIM_READ_OK},
        {"chain of references whose end has too few vertices",
         [](AffFile& f) {
             f.frames.push_back({{FaceUser(4, AnimMeshRef(0, 0), 2)}});
             f.frames.push_back({{FaceUser(3, AnimMeshRef(1, 0), 1)}});
         },
         ANIM_READ_ERROR},
        {"chain of references whose middle has too few vertices",
         [](AffFile& f) {
             f.frames.push_back({{FaceUser(3, AnimMeshRef(0, 0), 1)}});
             f.frames.push_back({{FaceUser(4, AnimMeshRef(1, 0), 2)}});
         },
         ANIM_READ_ERROR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AffFile file;
        file.strings = {"quad", "user", "tri"};
        file.textures = {"t"};
        file.frames = {{{QuadMesh(0, {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}}),
                         TriangleMesh(2, {0, 0, 0}, {1, 0, 0}, {0, 1, 0})}}};
        c.build(file);
        AnimMesh mesh;
        ASSERT_EQ(Read(GetParam(), mesh, OneTriangle()), ANIM_READ_OK);
        const int result = Read(GetParam(), mesh, file);
        EXPECT_EQ(result, c.expected);
        if (result != ANIM_READ_OK) {
            ExpectEmpty(mesh);
            continue;
        }
        for (u32_t f = 1; f < mesh.frames_c; ++f) {
            const AnimFaces* faces = mesh.GetMeshFaces(f, 0);
            EXPECT_EQ(faces, mesh.GetMeshFaces(0, 0));
            for (u32_t i = 0; i < faces->count * 3; ++i)
                EXPECT_LT(faces->indices[i], mesh.GetMeshVertices(f, 0)->count);
        }
    }
}

TEST_P(AnimMeshReaders, MeshFlagsAndDetailLevelsComeFromFacesAndNames)
{
    struct Case {
        const char* name;
        int faces;
        s32_t detail;
        u32_t flags;
    };
    const Case cases[] = {
        {"wall0", 2, 0, 3},  {"wall1", 2, 1, 3}, {"wall2", 2, 2, 3},  {"wall7", 2, -1, 3},
        {"walls", 2, -1, 3}, {"", 2, -1, 3},     {"glass2", 1, 2, 0}, {"deck", 3, -1, 3},
    };
    AffFile file;
    file.textures = {};
    Frame frame;
    for (const Case& c : cases) {
        Mesh mesh;
        mesh.name = static_cast<u32_t>(file.strings.size());
        file.strings.push_back(c.name);
        mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
        for (int f = 0; f < c.faces; ++f)
            mesh.indices.insert(mesh.indices.end(), {0, 1, static_cast<u16_t>(2 + f % 2)});
        frame.meshes.push_back(mesh);
    }
    file.frames = {frame};
    AnimMesh mesh;
    ASSERT_EQ(Read(GetParam(), mesh, file), ANIM_READ_OK);
    for (u32_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(mesh.frames[0].meshes[i].detailLevel, cases[i].detail);
        EXPECT_EQ(mesh.frames[0].meshes[i].flags, cases[i].flags);
        EXPECT_STREQ(mesh.MeshName(mesh.frames[0].meshes[i]), cases[i].name);
    }
    EXPECT_EQ(mesh.FindName("WALL2"), 2);
    EXPECT_EQ(mesh.FindName("wall"), -1);
    EXPECT_EQ(mesh.FindMesh(2, 0), 2);
    EXPECT_EQ(mesh.FindMesh(2, 1), -1);
    EXPECT_EQ(mesh.FindMesh(99, 0), -1);
}

TEST_P(AnimMeshReaders, ZonesHangInFileOrderWithSwappedPointsAndCrossFlags)
{
    AffFile file = OneTriangle();
    file.frames[0].meshes[0].positions = {{1, 2, 3}, {1, 0, 0}, {0, 1, 0}};
    // Zone 2 names a later parent: the tree is built after every zone is read.
    file.zones = std::vector<Zone>{
        {"crossing", 4, -1, {{1, 2, 3}, {4, 5, 6}}},
        {"Cross", 0, -1, {}},
        {"inner_cross_b", 1, 3, {{7, 8, 9}}},
        {"hall", 0, 0, {}},
    };
    AnimMesh mesh;
    ASSERT_EQ(Read(GetParam(), mesh, file), ANIM_READ_OK);
    const AnimZone* root = mesh.zoneRoot;
    ASSERT_EQ(root->childCount, 2);
    EXPECT_EQ(root->cross, 1);
    const AnimZone* crossing = root->children[0];
    const AnimZone* capital = root->children[1];
    EXPECT_STREQ(crossing->name, "crossing");
    EXPECT_EQ(crossing->cross, 1);
    EXPECT_EQ(crossing->kind, 4);
    EXPECT_EQ(crossing->parent, root);
    EXPECT_EQ(capital->cross, 0);
    ASSERT_EQ(crossing->pointCount, 2);
    EXPECT_EQ(crossing->points[0].x, 1.0f);
    EXPECT_EQ(crossing->points[0].y, 3.0f);
    EXPECT_EQ(crossing->points[0].z, 2.0f);
    EXPECT_EQ(crossing->points[1].y, 6.0f);
    ASSERT_EQ(crossing->childCount, 1);
    const AnimZone* hall = crossing->children[0];
    EXPECT_STREQ(hall->name, "hall");
    EXPECT_EQ(hall->cross, 0);
    ASSERT_EQ(hall->childCount, 1);
    EXPECT_STREQ(hall->children[0]->name, "inner_cross_b");
    EXPECT_EQ(hall->children[0]->cross, 1);
    EXPECT_EQ(hall->children[0]->parent, hall);
    // Mesh positions keep their order.
    EXPECT_EQ(mesh.GetMeshVertices(0, 0)->positions[1], 2.0f);
}

TEST_P(AnimMeshReaders, OptionalChunksMayBeAbsentAndBoxesAreReadAsStored)
{
    AnimMesh mesh;
    ASSERT_EQ(Read(GetParam(), mesh, OneTriangle()), ANIM_READ_OK);
    EXPECT_STREQ(mesh.zoneRoot->name, "root");
    EXPECT_EQ(mesh.zoneRoot->childCount, 0);
    EXPECT_EQ(mesh.dummyBoxes_c, 0u);
    EXPECT_EQ(mesh.portalWords, nullptr);
    EXPECT_EQ(mesh.frameRate, 25.0f);
    ASSERT_EQ(mesh.textures_c, 1u);
    EXPECT_STREQ(mesh.textures[0].Text(), "brick");

    AffFile file = OneTriangle();
    file.dummies =
        std::vector<DummyBox>{{"con_a", {1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, {"fifteen_chars_x", {}, {}, {1, 1, 1}}};
    file.portal = std::make_pair(std::vector<u8_t>{9}, std::vector<u32_t>{0xDEADBEEF});
    // A second read replaces everything the record held.
    ASSERT_EQ(Read(GetParam(), mesh, file), ANIM_READ_OK);
    ASSERT_EQ(mesh.dummyBoxes_c, 2u);
    EXPECT_STREQ(mesh.dummyBoxes[0].name, "con_a");
    EXPECT_EQ(mesh.dummyBoxes[0].first.y, 2.0f);
    EXPECT_EQ(mesh.dummyBoxes[0].position.z, 9.0f);
    EXPECT_STREQ(mesh.dummyBoxes[1].name, "fifteen_chars_x");
    if (GetParam() == Reader::File) {
        ASSERT_NE(mesh.portalBytes, nullptr);
        EXPECT_EQ(mesh.portalBytes[0], 9);
        EXPECT_EQ(mesh.portalWords[0], 0xDEADBEEFu);
    } else {
        // Archive images carry no portal values.
        EXPECT_EQ(mesh.portalBytes, nullptr);
    }
}

TEST_P(AnimMeshReaders, LongStringsAreKeptWhole)
{
    AffFile file = OneTriangle();
    file.strings[0] = std::string(300, 'n') + "2";
    file.textures[0] = std::string(700, 't');
    AnimMesh mesh;
    ASSERT_EQ(Read(GetParam(), mesh, file), ANIM_READ_OK);
    EXPECT_EQ(mesh.strings[0].Length(), 301u);
    EXPECT_EQ(mesh.frames[0].meshes[0].detailLevel, 2);
    EXPECT_EQ(std::string(mesh.textures[0].Text()), file.textures[0]);
}

TEST_P(AnimMeshReaders, MissingRequiredChunksAreReadErrors)
{
    for (const char* chunk : {"str-table", "tex-table", "frames"}) {
        SCOPED_TRACE(chunk);
        AffFile file = OneTriangle();
        file.omit = {chunk};
        AnimMesh mesh;
        EXPECT_EQ(Read(GetParam(), mesh, file), ANIM_READ_ERROR);
        ExpectEmpty(mesh);
    }
}

// Each kind of damage, applied to a sound file; the reader refuses it and leaves the record empty
// even when it held an earlier mesh.
struct Damage {
    const char* what;
    std::function<void(AffFile&)> apply;
};

const Damage kDamages[] = {
    {"name index past the string table", [](AffFile& f) { f.frames[0].meshes[0].name = 1; }},
    {"reference to a frame that does not exist",
     [](AffFile& f) {
         f.frames.push_back(f.frames[0]);
         f.frames[1].meshes[0].vertexRef = AnimMeshRef(5, 0);
     }},
    {"reference to a mesh that does not exist",
     [](AffFile& f) {
         f.frames.push_back(f.frames[0]);
         f.frames[1].meshes[0].faceRef = AnimMeshRef(0, 1);
     }},
    {"negative reference other than -1", [](AffFile& f) { f.frames[0].meshes[0].texCoordRef = -2; }},
    {"mesh that shares with itself", [](AffFile& f) { f.frames[0].meshes[0].materialRef = AnimMeshRef(0, 0); }},
    {"two meshes that share with each other",
     [](AffFile& f) {
         f.frames[0].meshes.push_back(f.frames[0].meshes[0]);
         f.frames[0].meshes[0].vertexRef = AnimMeshRef(0, 1);
         f.frames[0].meshes[1].vertexRef = AnimMeshRef(0, 0);
     }},
    {"face index past the vertices", [](AffFile& f) { f.frames[0].meshes[0].indices[2] = 3; }},
    {"header vertex count past the vertex block", [](AffFile& f) { f.frames[0].meshes[0].headerVertexCount = 4; }},
    {"header face count past the face block", [](AffFile& f) { f.frames[0].meshes[0].headerFaceCount = 2; }},
    {"texture coordinates fewer than the vertices",
     [](AffFile& f) {
         f.frames.push_back(f.frames[0]);
         Mesh& big = f.frames[1].meshes[0];
         big.positions.push_back({2, 2, 2});
         big.texCoordRef = AnimMeshRef(0, 0);
     }},
    {"face block count past the data", [](AffFile& f) { f.frames[0].meshes[0].blockFaceCount = 1000; }},
    {"zone parent past the zones",
     [](AffFile& f) {
         f.zones = std::vector<Zone>{{"a", 0, 1, {}}};
     }},
    {"zone that is its own parent",
     [](AffFile& f) {
         f.zones = std::vector<Zone>{{"a", 0, 0, {}}};
     }},
    {"zones that are each other's parent",
     [](AffFile& f) {
         f.zones = std::vector<Zone>{{"a", 0, 1, {}}, {"b", 0, 0, {}}, {"c", 0, -1, {}}};
     }},
    {"zone parent below -1",
     [](AffFile& f) {
         f.zones = std::vector<Zone>{{"a", 0, -7, {}}};
     }},
};

TEST_P(AnimMeshReaders, DamagedContentIsRefusedWithNothingHalfBuilt)
{
    for (const Damage& damage : kDamages) {
        SCOPED_TRACE(damage.what);
        AffFile file = OneTriangle();
        damage.apply(file);
        AnimMesh mesh;
        ASSERT_EQ(Read(GetParam(), mesh, OneTriangle()), ANIM_READ_OK);
        EXPECT_EQ(Read(GetParam(), mesh, file), ANIM_READ_ERROR);
        ExpectEmpty(mesh);
    }
}

// Chunks replaced by hand-made bytes whose counts and lengths claim more than there is.
TEST_P(AnimMeshReaders, CountsAndLengthsPastTheChunkAreRefused)
{
    struct RawCase {
        const char* what;
        const char* chunk;
        std::function<std::string(const AffFile&)> bytes;
    };
    auto u32 = [](u32_t v) {
        std::string s;
        PutU32(s, v);
        return s;
    };
    const RawCase cases[] = {
        {"string count", "str-table", [&](const AffFile&) { return u32(3) + u32(1) + std::string("a\0", 2); }},
        {"string length", "str-table", [&](const AffFile&) { return u32(1) + u32(0xFFFFFFFFu) + "tri"; }},
        {"string without its terminating byte", "tex-table", [&](const AffFile&) { return u32(1) + u32(5) + "brick"; }},
        {"frame count", "frames", [&](const AffFile&) { return u32(0x40000000u) + u32(0) + u32(0); }},
        {"mesh count", "frames",
         [&](const AffFile& f) { return u32(1) + f.FramesChunk().substr(4, 4) + u32(2) + f.FramesChunk().substr(12); }},
        {"vertex count", "frames",
         [&](const AffFile& f) {
             std::string bytes = f.FramesChunk();
             // The vertex block's count follows the frame header (12), the mesh header (28) and the material (64).
             bytes.replace(12 + 28 + 64, 4, u32(0x20000000u));
             return bytes;
         }},
        {"truncated frames", "frames",
         [&](const AffFile& f) { return f.FramesChunk().substr(0, f.FramesChunk().size() - 1); }},
        {"zone count", "zones",
         [&](const AffFile&) {
             return u32(2) + u32(1) + "a" + std::string(1, '\0') + u32(~0u) + std::string(2, '\0');
         }},
        {"zone name length", "zones", [&](const AffFile&) { return u32(1) + u32(0xFFFFFFF0u) + "abc"; }},
        {"zone point count", "zones",
         [&](const AffFile&) {
             return u32(1) + u32(1) + "a" + std::string(1, '\0') + u32(~0u) + std::string("\x05\x00", 2) +
                    std::string(12, '\0');
         }},
        {"dummy box count", "dummy_boxes", [&](const AffFile&) { return u32(2) + std::string(52, '\0'); }},
    };
    for (const RawCase& c : cases) {
        SCOPED_TRACE(c.what);
        AffFile base = OneTriangle();
        const std::string bytes = c.bytes(base);
        std::vector<TestFile> entries = base.Entries();
        bool replaced = false;
        for (TestFile& entry : entries) {
            if (entry.path == std::string("aff\\") + c.chunk) {
                entry.data = bytes;
                replaced = true;
            }
        }
        if (!replaced)
            entries.push_back({std::string("aff\\") + c.chunk, bytes});
        ASSERT_TRUE(WriteTestUff("raw.aff", entries));
        AnimMesh mesh;
        if (GetParam() == Reader::File) {
            EXPECT_EQ(AnimMeshReadFile(&mesh, "raw.aff"), ANIM_READ_ERROR);
        } else {
            const std::string image = ReadFileBytes("raw.aff");
            EXPECT_EQ(AnimMeshReadImage(&mesh, image.data(), static_cast<u32_t>(image.size())), ANIM_READ_ERROR);
        }
        ExpectEmpty(mesh);
    }
}

using AnimMeshFileReader = TempDirTest;

TEST_F(AnimMeshFileReader, OpenFailuresAndRootLookupFollowTheUffReader)
{
    AnimMesh mesh;
    EXPECT_EQ(AnimMeshReadFile(&mesh, "missing.aff"), ANIM_READ_NOT_OPEN);
    ASSERT_TRUE(WriteFileBytes("text.aff", "not a chunk file at all"));
    EXPECT_EQ(AnimMeshReadFile(&mesh, "text.aff"), ANIM_READ_NOT_OPEN);
    // The file reader finds chunks under the root entry without regard to case; the image reader
    // takes the first entry of exactly that name anywhere in the tree.
    AffFile file = OneTriangle();
    std::vector<TestFile> entries = file.Entries();
    entries[2].path = "aff\\FRAMES";
    ASSERT_TRUE(WriteTestUff("caps.aff", entries));
    EXPECT_EQ(AnimMeshReadFile(&mesh, "caps.aff"), ANIM_READ_OK);
    const std::string image = ReadFileBytes("caps.aff");
    EXPECT_EQ(AnimMeshReadImage(&mesh, image.data(), static_cast<u32_t>(image.size())), ANIM_READ_ERROR);
    entries = file.Entries();
    entries[2].path = "aff\\deeper\\frames";
    ASSERT_TRUE(WriteTestUff("deep.aff", entries));
    EXPECT_EQ(AnimMeshReadFile(&mesh, "deep.aff"), ANIM_READ_ERROR);
    const std::string deep = ReadFileBytes("deep.aff");
    EXPECT_EQ(AnimMeshReadImage(&mesh, deep.data(), static_cast<u32_t>(deep.size())), ANIM_READ_OK);
}

TEST_F(AnimMeshFileReader, PortalValuesMustCoverEveryMeshOfTheFirstFrame)
{
    AffFile file = OneTriangle();
    file.frames[0].meshes.push_back(file.frames[0].meshes[0]);
    file.portal = std::make_pair(std::vector<u8_t>{1, 2}, std::vector<u32_t>{3});
    ASSERT_TRUE(WriteAff("short.aff", file));
    AnimMesh mesh;
    EXPECT_EQ(AnimMeshReadFile(&mesh, "short.aff"), ANIM_READ_ERROR);
    ExpectEmpty(mesh);
}

TEST_F(AnimMeshFileReader, ImagesWithABrokenDirectoryAreReadErrors)
{
    const std::string good = AffImage(OneTriangle());
    AnimMesh mesh;
    ASSERT_EQ(AnimMeshReadImage(&mesh, good.data(), static_cast<u32_t>(good.size())), ANIM_READ_OK);
    struct Cut {
        const char* what;
        std::string bytes;
    };
    std::string badOffset = good;
    badOffset[badOffset.size() - 1] = '\x7F';
    std::string badCounts = good;
    const u32_t dirOffset = static_cast<u8_t>(good[good.size() - 4]) | static_cast<u8_t>(good[good.size() - 3]) << 8;
    badCounts[dirOffset + 4] = '\x60';  // more entries than the directory holds
    const Cut cuts[] = {
        {"directory offset past the end", badOffset},
        {"entry count past the directory", badCounts},
        {"truncated", good.substr(0, good.size() / 2)},
        {"empty", std::string()},
    };
    for (const Cut& cut : cuts) {
        SCOPED_TRACE(cut.what);
        EXPECT_EQ(AnimMeshReadImage(&mesh, cut.bytes.data(), static_cast<u32_t>(cut.bytes.size())), ANIM_READ_ERROR);
        ExpectEmpty(mesh);
    }
    EXPECT_EQ(AnimMeshReadImage(&mesh, nullptr, 100), ANIM_READ_ERROR);
}

}  // namespace
