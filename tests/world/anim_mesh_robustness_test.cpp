// Randomly damaged ".aff" files: neither reader may crash or read outside the data, and whatever
// a reader accepts must be safe to post-process and to walk through the accessors.
#include <gtest/gtest.h>

#include <string>

#include "core/random.h"
#include "support/temp_dir.h"
#include "tests/world/aff_writer.h"
#include "world/anim_cache.h"
#include "world/anim_mesh.h"

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
            for (u32_t i = 0; i < frameMesh.faceCount * 3; ++i)
                sum += vertices->positions[faces->indices[i] * 3];
            if (frameMesh.faceRef == ANIM_REF_OWN && faces->neighbours) {
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

}  // namespace
