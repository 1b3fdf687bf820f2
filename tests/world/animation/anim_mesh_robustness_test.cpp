// Randomly damaged ".aff" files: neither reader may crash or read outside the data, and whatever
// a reader accepts must be safe to post-process and to walk through the accessors.
#include <gtest/gtest.h>

#include <string>

#include "core/random.h"
#include "support/temp_dir.h"
#include "tests/world/aff_writer.h"
#include "world/animation/anim_cache.h"
#include "world/animation/anim_mesh.h"

using namespace aff_test;

namespace {

// Two frames of shared and owned meshes, zones, boxes and portal values: every chunk kind.
AffFile RichFile()
{
    AffFile file;
    file.strings = {"body2", "dummy", "glass0"};
    file.textures = {"skin", "metal"};
    Frame first;
    first.meshes.push_back(QuadMesh(0, {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}}));
    first.meshes.push_back(TriangleMesh(1, {0, 0, 0}, {2, 0, 0}, {0, 0, 1}));
    first.meshes.push_back(QuadMesh(2, {{{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}}));
    Frame second = first;
    second.meshes[0].faceRef = second.meshes[0].texCoordRef = second.meshes[0].materialRef = AnimMeshRef(0, 0);
    second.meshes[2].vertexRef = AnimMeshRef(0, 2);
    file.frames = {first, second};
    file.zones = std::vector<Zone>{{"cross_a", 1, -1, {{1, 2, 3}}}, {"b", 0, 0, {{4, 5, 6}, {7, 8, 9}}}};
    file.dummies = std::vector<DummyBox>{{"con_1", {}, {}, {1, 2, 3}}};
    file.portal = std::make_pair(std::vector<u8_t>{1, 2, 3}, std::vector<u32_t>{4, 5, 6});
    return file;
}

// Three frames that share face and vertex blocks back and forth, the sharing meshes having more
// or fewer vertices than the blocks they draw reach.
AffFile SharedBlockFile()
{
    AffFile file;
    file.strings = {"hull", "fin", "tip1"};
    file.textures = {"skin"};
    Frame first;
    first.meshes.push_back(QuadMesh(0, {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}}));
    first.meshes.push_back(TriangleMesh(1, {0, 0, 0}, {2, 0, 0}, {0, 0, 1}));
    first.meshes.push_back(QuadMesh(2, {{{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}}));
    first.meshes[2].positions.push_back({2, 2, 2});
    Frame second = first;
    second.meshes[0].faceRef = AnimMeshRef(0, 2);
    second.meshes[1].faceRef = second.meshes[1].vertexRef = second.meshes[1].texCoordRef = AnimMeshRef(0, 1);
    second.meshes[1].headerVertexCount = 3;
    second.meshes[1].headerFaceCount = 1;
    second.meshes[2].faceRef = AnimMeshRef(0, 0);
    Frame third = second;
    third.meshes[0].faceRef = AnimMeshRef(1, 0);
    third.meshes[2].vertexRef = third.meshes[2].texCoordRef = AnimMeshRef(1, 2);
    third.meshes[2].headerVertexCount = 5;
    file.frames = {first, second, third};
    return file;
}

// Reads every byte an accepted mesh offers to its users, so that the sanitizer sees any overrun.
float Touch(const AnimMesh& mesh)
{
    float sum = 0.0f;
    for (u32_t f = 0; f < mesh.frames_c; ++f) {
        for (u32_t m = 0; m < mesh.frames[f].meshes_c; ++m) {
            const AnimFrameMesh& frameMesh = mesh.frames[f].meshes[m];
            const AnimVertexData* vertices = mesh.GetMeshVertices(f, m);
            const AnimTexCoords* coords = mesh.GetMeshTexCoords(f, m);
            const AnimFaces* faces = mesh.GetMeshFaces(f, m);
            sum += mesh.GetMeshTextureRef(f, m)->diffuse[2];
            for (u32_t v = 0; v < frameMesh.vertexCount; ++v)
                sum += vertices->positions[v * 3 + 2] + vertices->normals[v * 3 + 2] + coords->uv[v * 2 + 1];
            // Hit tests walk the whole face block over the mesh's own positions, shared block or
            // not; welding only ever lowers an index.
            bool inside = true;
            for (u32_t i = 0; i < faces->count * 3; ++i)
                inside = inside && faces->indices[i] < vertices->count;
            EXPECT_TRUE(inside) << "frame " << f << " mesh " << m;
            if (!inside)
                continue;
            for (u32_t i = 0; i < faces->count * 3; ++i)
                sum += vertices->positions[faces->indices[i] * 3];
            if (faces->neighbours) {
                for (u32_t i = 0; i < faces->count * 3; ++i)
                    sum += vertices->positions[faces->welded[i] * 3] + static_cast<float>(faces->neighbours[i]);
            }
            sum += static_cast<float>(mesh.MeshName(frameMesh)[0]);
        }
    }
    std::vector<const AnimZone*> zones = {mesh.zoneRoot};
    while (!zones.empty()) {
        const AnimZone* zone = zones.back();
        zones.pop_back();
        sum += static_cast<float>(zone->name[0]);
        for (u16_t p = 0; p < zone->pointCount; ++p)
            sum += zone->points[p].z;
        for (u16_t c = 0; c < zone->childCount; ++c) {
            EXPECT_EQ(zone->children[c]->parent, zone);
            zones.push_back(zone->children[c]);
        }
    }
    for (u32_t b = 0; b < mesh.dummyBoxes_c; ++b)
        sum += mesh.dummyBoxes[b].position.x + static_cast<float>(mesh.dummyBoxes[b].name[15]);
    for (u32_t s = 0; s < mesh.strings_c; ++s)
        sum += static_cast<float>(mesh.strings[s].Length());
    return sum;
}

using AnimMeshRobustness = TempDirTest;

TEST_F(AnimMeshRobustness, MutatedImagesAndFilesNeverCrash)
{
    const std::string good = AffImage(RichFile());
    ASSERT_FALSE(good.empty());
    AnimMesh mesh;
    ASSERT_EQ(AnimMeshReadImage(&mesh, good.data(), static_cast<u32_t>(good.size())), ANIM_READ_OK);
    EngineSRand(20240611u);
    int accepted = 0;
    for (int round = 0; round < 10000; ++round) {
        std::string bytes = good;
        const int flips = 1 + EngineRand() % 6;
        for (int i = 0; i < flips; ++i) {
            const size_t at = static_cast<size_t>(EngineRand()) % bytes.size();
            // Small values, all-ones and random bytes: counts, references and indices all get hit.
            const int kind = EngineRand() % 3;
            bytes[at] = static_cast<char>(kind == 0 ? EngineRand() % 4 : kind == 1 ? 0xFF : EngineRand() & 0xFF);
        }
        if (round % 7 == 0)
            bytes.resize(static_cast<size_t>(EngineRand()) % bytes.size());
        const bool viaFile = round % 10 == 0;
        int result;
        if (viaFile) {
            ASSERT_TRUE(WriteFileBytes("mutated.aff", bytes));
            result = AnimMeshReadFile(&mesh, "mutated.aff");
        } else {
            result = AnimMeshReadImage(&mesh, bytes.data(), static_cast<u32_t>(bytes.size()));
        }
        if (result != ANIM_READ_OK) {
            ASSERT_EQ(mesh.frames_c, 0u);
            continue;
        }
        ++accepted;
        AnimMeshBuildDummyFrames(&mesh);
        AnimMeshBuildAdjacency(&mesh);
        Touch(mesh);
    }
    // The loop must also exercise the accepted road, not only refusals.
    EXPECT_GT(accepted, 100);
}

// The same files damaged in their structure rather than their bytes: references, vertex counts,
// face indices and drawn faces changed at random, so that blocks end up drawn by meshes they do not
// fit. Every mesh a reader accepts must reach only its own vertices with its whole face block.
TEST_F(AnimMeshRobustness, RearrangedSharedBlocksStayInsideTheMeshesThatDrawThem)
{
    const AffFile good = SharedBlockFile();
    AnimMesh mesh;
    const std::string goodImage = AffImage(good);
    ASSERT_EQ(AnimMeshReadImage(&mesh, goodImage.data(), static_cast<u32_t>(goodImage.size())), ANIM_READ_OK);
    EngineSRand(20240907u);
    int accepted = 0;
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        AffFile file = good;
        auto pick = [&]() -> Mesh& {
            Frame& frame = file.frames[static_cast<size_t>(EngineRand()) % file.frames.size()];
            return frame.meshes[static_cast<size_t>(EngineRand()) % frame.meshes.size()];
        };
        auto anyRef = [&]() {
            return AnimMeshRef(static_cast<u32_t>(EngineRand() % 3), static_cast<u32_t>(EngineRand() % 3));
        };
        const int edits = 1 + EngineRand() % 3;
        for (int e = 0; e < edits; ++e) {
            Mesh& target = pick();
            switch (EngineRand() % 5) {
                case 0:
                    if (target.faceRef != -1)
                        target.faceRef = anyRef();
                    break;
                case 1:
                    if (target.vertexRef != -1)
                        target.vertexRef = target.texCoordRef = anyRef();
                    break;
                case 2:
                    if (target.vertexRef == -1)
                        target.positions.resize(1 + static_cast<size_t>(EngineRand()) % 6, {3, 1, 2});
                    break;
                case 3:
                    if (!target.indices.empty())
                        target.indices[static_cast<size_t>(EngineRand()) % target.indices.size()] =
                            static_cast<u16_t>(EngineRand() % 7);
                    break;
                default:
                    target.headerFaceCount = static_cast<u32_t>(EngineRand() % 3);
                    target.headerVertexCount = static_cast<u32_t>(EngineRand() % 6);
                    break;
            }
        }
        int result;
        if (round % 10 == 0) {
            ASSERT_TRUE(WriteAff("rearranged.aff", file));
            result = AnimMeshReadFile(&mesh, "rearranged.aff");
        } else {
            const std::string image = AffImage(file);
            result = AnimMeshReadImage(&mesh, image.data(), static_cast<u32_t>(image.size()));
        }
        if (result != ANIM_READ_OK) {
            ASSERT_EQ(mesh.frames_c, 0u);
            ++refused;
            continue;
        }
        ++accepted;
        AnimMeshBuildDummyFrames(&mesh);
        AnimMeshBuildAdjacency(&mesh);
        Touch(mesh);
    }
    // Both roads are taken often.
    EXPECT_GT(accepted, 300);
    EXPECT_GT(refused, 300);
}

}  // namespace
