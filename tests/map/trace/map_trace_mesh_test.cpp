// Map traces among many map meshes: a mesh met in an early leaf whose hit lies farther along must
// not hide a nearer mesh or land face in a leaf between. Long sight lines over seeded hills with
// boxes of many sizes, each against the nearest hit of every land and mesh triangle.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "map/trace/map_trace.h"
#include "platform/d3dx8_math.h"
#include "support/land_octree.h"
#include "support/temp_dir.h"

namespace {

constexpr int kBoxes = 200;
constexpr int kSegments = 600;

class MapTraceMeshes : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_plan.grid = 65;
        m_plan.size = 1280.0f;
        MapAuthorSeededHeights(m_plan, 5, 60.0f);
        for (int i = 0; i < kBoxes; ++i) {
            const float x = Next(-600, 600), z = Next(-600, 600);
            const float half = Next(3, 40), height = Next(5, 60);
            const float ground = MapAuthorLandHeight(m_plan, x, z);
            const float low[3] = {x - half, ground - 2, z - half}, high[3] = {x + half, ground + height, z + half};
            m_plan.meshes.push_back(MapAuthorBox("col_box" + std::to_string(i), "", low, high));
        }
        std::string error;
        ASSERT_TRUE(land_test::LoadLand(m_plan, "land.lff", error)) << error;
        MapAuthorMesh land;
        ASSERT_TRUE(MapAuthorLandMesh(m_plan, land, error)) << error;
        AddTriangles(land);
        for (const MapAuthorMesh& mesh : m_plan.meshes)
            AddTriangles(mesh);
    }
    void TearDown() override
    {
        land_test::UnloadLand();
        TempDirTest::TearDown();
    }

    float Next(float low, float high)
    {
        m_random = m_random * 214013u + 2531011u;
        return low + (high - low) * static_cast<float>((m_random >> 16) & 0x7FFF) / 32767.0f;
    }
    void AddTriangles(const MapAuthorMesh& mesh)
    {
        for (const auto& face : mesh.faces) {
            for (std::uint16_t index : face) {
                for (float c : mesh.vertices[index].position)
                    m_positions.push_back(c);
            }
        }
    }
    // The nearest hit parameter in [0, 1] over every triangle (vertex order first, third, second, as
    // the trace takes them); negative for none.
    float Nearest(const float* start, const float* end) const
    {
        const D3DXVECTOR3 origin(start[0], start[1], start[2]);
        const D3DXVECTOR3 direction(end[0] - start[0], end[1] - start[1], end[2] - start[2]);
        float best = 2.0f;
        const float* p = m_positions.data();
        for (size_t i = 0; i < m_positions.size(); i += 9) {
            const D3DXVECTOR3 a(p[i], p[i + 1], p[i + 2]), b(p[i + 3], p[i + 4], p[i + 5]),
                c(p[i + 6], p[i + 7], p[i + 8]);
            float u, v, t;
            if (D3DXIntersectTri(&a, &c, &b, &origin, &direction, &u, &v, &t) && t <= 1.0f && t < best)
                best = t;
        }
        return best <= 1.0f ? best : -1.0f;
    }

    MapAuthorPlan m_plan;
    std::vector<float> m_positions;
    std::uint32_t m_random = 99;
};

TEST_F(MapTraceMeshes, ALongLineStopsAtTheNearestMeshOrFace)
{
    for (int n = 0; n < kSegments; ++n) {
        // From eye height to a point up to 900 units away, a little over its ground.
        const float x = Next(-600, 600), z = Next(-600, 600);
        const float angle = Next(0, 6.2831853f), distance = Next(200, 900);
        const float tx = std::fmax(-630.0f, std::fmin(630.0f, x + std::cos(angle) * distance));
        const float tz = std::fmax(-630.0f, std::fmin(630.0f, z + std::sin(angle) * distance));
        const float start[3] = {x, MapAuthorLandHeight(m_plan, x, z) + 18.0f, z};
        const float end[3] = {tx, MapAuthorLandHeight(m_plan, tx, tz) + 2.0f, tz};
        MapTraceInfo info;
        info.flags = 0;
        info.objOptions = 0;
        info.ignoreObject = nullptr;
        const bool hit = MapTrace(start, end, &info);
        const float expected = Nearest(start, end);
        ASSERT_EQ(hit, expected >= 0.0f) << "segment " << n;
        if (hit) {
            ASSERT_NEAR(info.fraction, expected, 1e-6f) << "segment " << n;
        }
    }
}

}  // namespace
