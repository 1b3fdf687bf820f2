// Damaged ".lff" files fed to both readers: truncations, corrupted directory fields and sizes, and
// a fixed-seed mutation loop. No reader may crash or read outside the bytes it was given; what
// loads must be whole.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/map/meshes/map_mesh_fixture.h"

using namespace mesh_test;

namespace {

class MapMeshRobustness : public MeshFileTest {
protected:
    void SetUp() override
    {
        MeshFileTest::SetUp();
        MapAuthorPlan plan;
        plan.grid = 4;
        plan.size = 100.0f;
        MapAuthorSeededHeights(plan, 3, 5.0f);
        const float low[3] = {-5, 0, -5}, high[3] = {5, 10, 5};
        plan.meshes.push_back(MapAuthorBox("col_box", "box.tga", low, high));
        plan.meshes.push_back(MapAuthorBox("other", "", low, high));
        std::string error;
        ASSERT_TRUE(MapAuthorWriteLff(plan, "good.lff", error)) << error;
        m_good = ReadBytes("good.lff");
    }
    // Both readers on the bytes; whatever they accept must hold together.
    void ReadBoth(const std::string& bytes)
    {
        WriteBytes("damaged.lff", bytes);
        for (int reader = 0; reader < 2; ++reader) {
            int result;
            if (reader == 0) {
                result = LoadFile("damaged.lff");
            } else {
                // An exact-size heap copy, so that a read past the end is seen by the sanitizer.
                std::unique_ptr<char[]> image(new char[bytes.size() ? bytes.size() : 1]);
                std::memcpy(image.get(), bytes.data(), bytes.size());
                ::testing::internal::CaptureStderr();
                result = MapMeshesLoadFromImage(image.get(), bytes.size(), "");
                ::testing::internal::GetCapturedStderr();
            }
            if (result == 0)
                CheckWhole();
            Unload();
        }
    }
    static void CheckWhole()
    {
        for (u32_t f = 0; f < g_map.landFaceCount; ++f) {
            for (int c = 0; c < 3; ++c)
                ASSERT_LT(g_map.landFaces[f].indices[c], g_map.landVertexCount);
        }
        for (u32_t m = 0; m < MapGetMeshCount(); ++m) {
            const CollisionMesh* mesh = MapGetMesh(m)->collision;
            ASSERT_NE(mesh, nullptr);
            ASSERT_TRUE(mesh->vertexCount == 0 || mesh->vertices);
            // A trace over every face must stay inside the arrays.
            s32_t face = 0;
            mesh->TraceRay({0, 100, 0}, {0, -200, 0}, &face, nullptr);
        }
    }
    std::string m_good;
};

TEST_F(MapMeshRobustness, TruncatedFiles)
{
    for (size_t size : {size_t(0), size_t(4), size_t(8), size_t(20), m_good.size() / 2, m_good.size() - 40,
                        m_good.size() - 5, m_good.size() - 1})
        ReadBoth(m_good.substr(0, size));
}

TEST_F(MapMeshRobustness, CorruptedDirectoryFieldsAndSizes)
{
    const u32_t directory = LoadU32(reinterpret_cast<const u8_t*>(m_good.data() + m_good.size() - 4));
    struct Damage {
        size_t offset;  // from the directory's start
        u32_t value;
    };
    // Name count, entry count, then the first records' links, offsets and sizes (12-byte records:
    // next, child, parent, offset, size, name).
    for (const Damage& d :
         {Damage{0, 0xFFFFFFFF}, Damage{4, 0x7FFFFFFF}, Damage{4, 1}, Damage{8, 0x01010101},
          Damage{8 + 12 + 3, 0x7FFFFFF0}, Damage{8 + 12 + 7, 0xFFFFFFF0}, Damage{8 + 24 + 3, 0xFFFFFFFF},
          Damage{8 + 24 + 7, 0x10000000}, Damage{8 + 36 + 1, 0x00000000}, Damage{8 + 48 + 11, 0xFF}}) {
        std::string bytes = m_good;
        if (directory + d.offset + 4 > bytes.size())
            continue;
        StoreU32(reinterpret_cast<u8_t*>(&bytes[directory + d.offset]), d.value);
        ReadBoth(bytes);
    }
    // A directory offset that points anywhere.
    for (u32_t offset : {0u, 7u, 8u, directory - 1, u32_t(m_good.size()), 0xFFFFFFFFu}) {
        std::string bytes = m_good;
        StoreU32(reinterpret_cast<u8_t*>(&bytes[bytes.size() - 4]), offset);
        ReadBoth(bytes);
    }
}

TEST_F(MapMeshRobustness, FixedSeedMutations)
{
    u32_t state = 12345;
    auto next = [&state]() {
        state = state * 214013u + 2531011u;
        return (state >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 300; ++round) {
        std::string bytes = m_good;
        const int changes = 1 + static_cast<int>(next() % 8);
        for (int c = 0; c < changes; ++c) {
            // Half of the changes hit the directory, where they do the most harm.
            const size_t span = (next() & 1) ? 64 : bytes.size();
            const size_t at = bytes.size() - 1 - (static_cast<size_t>(next()) * 7919u) % span;
            bytes[at] = static_cast<char>(next() & 0xFF);
        }
        if (next() % 10 == 0)
            bytes.resize(static_cast<size_t>(next()) % bytes.size());
        ReadBoth(bytes);
    }
}

}  // namespace
