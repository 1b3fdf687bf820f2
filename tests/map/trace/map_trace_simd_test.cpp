// The map trace's leaf walks for each instruction set give the same answers bit for bit: over seeded
// hills, segments of many kinds (long sight lines, short steps, vertical columns, level rays,
// rays through the land's vertices where neighbouring faces tie) traced at every level the
// processor offers, each against the scalar walk. The level chosen at start-up is the widest offered.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "map/trace/map_trace.h"
#include "map/trace/map_trace_simd.h"
#include "support/land_octree.h"
#include "support/temp_dir.h"

namespace {

struct Segment {
    float start[3];
    float end[3];
};

// What a trace reports that depends on the leaf walk: the hit, its parameter, face, point and normal.
struct Answer {
    bool hit = false;
    float fraction = 0.0f;
    u32_t face = 0;
    float point[3] = {};
    float normal[3] = {};

    bool operator==(const Answer& other) const
    {
        return hit == other.hit &&
               (!hit || (std::memcmp(&fraction, &other.fraction, sizeof(float)) == 0 && face == other.face &&
                         std::memcmp(point, other.point, sizeof(point)) == 0 &&
                         std::memcmp(normal, other.normal, sizeof(normal)) == 0));
    }
};

// Puts the level back for the next test.
class LevelRestorer {
public:
    LevelRestorer() : m_saved(MapTraceSimdLevel()) {}
    ~LevelRestorer() { MapTraceSimdUse(m_saved); }

private:
    TraceSimdLevel m_saved;
};

class MapTraceSimd : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_plan.grid = 65;
        m_plan.size = 1280.0f;
        MapAuthorSeededHeights(m_plan, 11, 80.0f);
        std::string error;
        ASSERT_TRUE(land_test::LoadLand(m_plan, "land.lff", error)) << error;
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
    float Ground(float x, float z) const { return MapAuthorLandHeight(m_plan, x, z); }

    // The kinds of segment, a few hundred of each.
    std::vector<Segment> Segments()
    {
        std::vector<Segment> segments;
        const float step = m_plan.size / static_cast<float>(m_plan.grid - 1);
        for (int n = 0; n < 300; ++n) {
            const float x = Next(-600, 600), z = Next(-600, 600);
            // A sight line from eye height to a point far away, a little over its ground.
            const float angle = Next(0, 6.2831853f), distance = Next(200, 900);
            const float tx = std::fmax(-630.0f, std::fmin(630.0f, x + std::cos(angle) * distance));
            const float tz = std::fmax(-630.0f, std::fmin(630.0f, z + std::sin(angle) * distance));
            segments.push_back({{x, Ground(x, z) + 18.0f, z}, {tx, Ground(tx, tz) + 2.0f, tz}});
            // A projectile's step, mostly downwards.
            const float y = Ground(x, z) + Next(1, 40), length = Next(30, 150);
            const float dx = Next(-1, 1), dy = Next(-0.8f, 0.2f), dz = Next(-1, 1);
            const float norm = std::sqrt(dx * dx + dy * dy + dz * dz);
            segments.push_back({{x, y, z}, {x + dx / norm * length, y + dy / norm * length, z + dz / norm * length}});
            // A vertical column: no direction on two axes.
            segments.push_back({{x, 400.0f, z}, {x, -400.0f, z}});
            // A level ray a little over the ground: no direction upwards.
            const float h = Ground(x, z) + Next(0.5f, 20);
            segments.push_back({{x, h, z}, {tx, h, tz}});
            // Down through a vertex of the land grid, where the faces around it meet.
            const float vx = std::round(x / step) * step, vz = std::round(z / step) * step;
            segments.push_back({{vx, 400.0f, vz}, {vx, -400.0f, vz}});
            segments.push_back({{vx + 30.0f, Ground(vx, vz) + 30.0f, vz}, {vx - 30.0f, Ground(vx, vz) - 30.0f, vz}});
        }
        return segments;
    }

    static std::vector<Answer> TraceAll(const std::vector<Segment>& segments)
    {
        std::vector<Answer> answers;
        for (const Segment& s : segments) {
            MapTraceInfo info;
            std::memset(static_cast<void*>(&info), 0, sizeof(info));
            info.flags = TRACE_NORMAL;
            Answer a;
            a.hit = MapTrace(s.start, s.end, &info);
            if (a.hit) {
                a.fraction = info.fraction;
                a.face = info.faceIndex;
                std::memcpy(a.point, &info.hitPoint, sizeof(a.point));
                std::memcpy(a.normal, &info.normal, sizeof(a.normal));
            }
            answers.push_back(a);
        }
        return answers;
    }

    MapAuthorPlan m_plan;
    std::uint32_t m_random = 7;
};

TEST_F(MapTraceSimd, EveryOfferedLevelAnswersAsTheScalarWalk)
{
    LevelRestorer restore;
    const std::vector<Segment> segments = Segments();
    ASSERT_EQ(MapTraceSimdUse(TraceSimdLevel::Scalar), TraceSimdLevel::Scalar);
    const std::vector<Answer> scalar = TraceAll(segments);
    int hits = 0;
    for (const Answer& a : scalar)
        hits += a.hit ? 1 : 0;
    // The set reaches the land often and misses it often.
    EXPECT_GT(hits, static_cast<int>(segments.size()) / 3);
    EXPECT_LT(hits, static_cast<int>(segments.size()) * 9 / 10);
    for (TraceSimdLevel level : {TraceSimdLevel::Sse41, TraceSimdLevel::Avx2}) {
        if (static_cast<int>(level) > static_cast<int>(MapTraceSimdOffered()))
            continue;
        ASSERT_EQ(MapTraceSimdUse(level), level);
        const std::vector<Answer> answers = TraceAll(segments);
        for (size_t i = 0; i < segments.size(); ++i) {
            ASSERT_TRUE(answers[i] == scalar[i])
                << MapTraceSimdName(level) << ", segment " << i << " (kind " << i % 6 << "): hit " << answers[i].hit
                << " t " << answers[i].fraction << " face " << answers[i].face << ", scalar hit " << scalar[i].hit
                << " t " << scalar[i].fraction << " face " << scalar[i].face;
        }
    }
}

TEST_F(MapTraceSimd, TheWidestOfferedLevelIsChosenAndNoWiderOneIsUsed)
{
    LevelRestorer restore;
    // No test before this one changed the level for good (each puts it back).
    EXPECT_EQ(MapTraceSimdLevel(), MapTraceSimdOffered());
    EXPECT_EQ(MapTraceSimdUse(TraceSimdLevel::Avx2), MapTraceSimdOffered());
    EXPECT_EQ(MapTraceSimdUse(TraceSimdLevel::Scalar), TraceSimdLevel::Scalar);
    EXPECT_EQ(MapTraceSimdLevel(), TraceSimdLevel::Scalar);
    EXPECT_STREQ(MapTraceSimdName(TraceSimdLevel::Avx2), "avx2");
}

}  // namespace
