// Timed debug primitives without a device: the shapes the helpers add, expiry and the line limit.
// What they look like on screen is checked in debug_pixels_test.cpp.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>
#include <vector>

#include "platform/d3dx8_math.h"
#include "platform/test_clock.h"
#include "platform/win32.h"
#include "render/draw2d/debug_primitives.h"
#include "render/draw2d/debug_vertex.h"
#include "render/render_cvars.h"

namespace {

using Point = std::tuple<float, float, float>;
using Segment = std::pair<Point, Point>;

Point Rounded(const Vector3& v)
{
    auto round = [](float f) { return std::round(f * 1000.0f) / 1000.0f + 0.0f; };
    return {round(v.x), round(v.y), round(v.z)};
}

// The active lines, oldest first.
std::vector<DebugLine*> Lines()
{
    std::vector<DebugLine*> lines;
    for (DebugLine* line = g_debugPrimitives.lines.active; line; line = line->next)
        lines.insert(lines.begin(), line);
    return lines;
}

std::vector<Segment> Segments()
{
    std::vector<Segment> segments;
    for (const DebugLine* line : Lines())
        segments.push_back({Rounded(line->start), Rounded(line->end)});
    return segments;
}

// Time from the test clock: a Sleep moves it on at once, by exactly the time asked for.
class DebugPrimitives : public ::testing::Test {
protected:
    void SetUp() override
    {
        PlatformTestClockStart(0x30000);
        DebugListsReset();
    }
    void TearDown() override
    {
        DebugListsReset();
        PlatformTestClockStop();
    }
};

TEST_F(DebugPrimitives, ShapesAreMadeOfOneColouredLines)
{
    const Vector3 a{0, 0, 0}, b{1, 0, 0}, c{0, 2, 0};
    DebugTriangleAdd(&a, &b, &c, 0xFF112233u, 0);
    EXPECT_EQ(Segments(),
              (std::vector<Segment>{{{0, 0, 0}, {1, 0, 0}}, {{1, 0, 0}, {0, 2, 0}}, {{0, 2, 0}, {0, 0, 0}}}));
    for (const DebugLine* line : Lines()) {
        EXPECT_EQ(line->startColour, 0xFF112233u);
        EXPECT_EQ(line->endColour, 0xFF112233u);
    }

    DebugListsReset();
    const Vector3 point{1, 2, 3};
    DebugVertex(&point, 0xFFFFFFFFu, 0);  // the plug-ins' cross
    EXPECT_EQ(Segments(),
              (std::vector<Segment>{{{-4, 2, 3}, {6, 2, 3}}, {{1, -3, 3}, {1, 7, 3}}, {{1, 2, -2}, {1, 2, 8}}}));

    DebugListsReset();
    const Vector3 centre{10, 5, 20};
    DebugCircleAdd(&centre, 2, 0xFFFFFFFFu, 0);
    const std::vector<DebugLine*> circle = Lines();
    ASSERT_EQ(circle.size(), 10u);
    EXPECT_EQ(Rounded(circle.front()->start), Point(10, 5, 22));  // angle 0 lies along +z
    EXPECT_EQ(Rounded(circle[2]->start), Rounded({10 + 2 * std::sin(1.2566371f), 5, 20 + 2 * std::cos(1.2566371f)}));
    EXPECT_EQ(Rounded(circle.back()->end), Point(10, 5, 22));  // closed
    for (std::size_t i = 1; i < circle.size(); ++i)
        EXPECT_EQ(Rounded(circle[i]->start), Rounded(circle[i - 1]->end));
}

TEST_F(DebugPrimitives, BoxesHaveTheirTwelveEdgesInOrder)
{
    const Vector3 corners[2] = {{0, 0, 0}, {1, 2, 3}};
    // Corner i takes the maximum on x for bit 0, y for bit 1, z for bit 2.
    const std::vector<Segment> edges = {
        {{0, 0, 0}, {1, 0, 0}}, {{1, 0, 0}, {1, 2, 0}}, {{1, 2, 0}, {0, 2, 0}}, {{0, 2, 0}, {0, 0, 0}},
        {{0, 0, 0}, {0, 0, 3}}, {{0, 0, 3}, {1, 0, 3}}, {{1, 0, 3}, {1, 2, 3}}, {{1, 2, 3}, {0, 2, 3}},
        {{0, 2, 3}, {0, 0, 3}}, {{1, 0, 0}, {1, 0, 3}}, {{0, 2, 0}, {0, 2, 3}}, {{1, 2, 0}, {1, 2, 3}},
    };
    DebugBoxAdd(&corners[0], &corners[1], 0xFF00FF00u, 0);
    EXPECT_EQ(Segments(), edges);

    DebugListsReset();
    D3DXMATRIX moved;
    D3DXMatrixTranslation(&moved, 10, 20, 30);
    DebugBoxAddTransformed(corners, &moved, 0xFF00FF00u, 0);
    std::vector<Segment> movedEdges;
    for (const Segment& edge : edges) {
        auto shift = [](const Point& p) {
            return Point(std::get<0>(p) + 10, std::get<1>(p) + 20, std::get<2>(p) + 30);
        };
        movedEdges.push_back({shift(edge.first), shift(edge.second)});
    }
    EXPECT_EQ(Segments(), movedEdges);
}

TEST_F(DebugPrimitives, DrawingRemovesRecordsOnceTheirTimeIsUp)
{
    const Vector3 a{0, 0, 0}, b{1, 1, 1};
    DebugLineAdd(&a, &b, 1, 1, 0);            // until the lists are freed
    DebugLineAdd(&a, &b, 2, 2, 1);            // one draw
    DebugLineAdd(&a, &b, 3, 3, 60000);        // a minute
    DebugLineAdd(&a, &b, 4, 4, 200);          // 200 ms
    DebugLineAdd(&a, &b, 5, 5, 0xFFFFFFFFu);  // as long as ticks go: never wraps into "now"
    // Added at the start tick, a one-shot line has expiry 0: it must not become permanent.
    for (const DebugLine* line : Lines())
        EXPECT_EQ(line->permanent, line->startColour == 1) << line->startColour;
    EXPECT_EQ(g_debugPrimitives.lines.count, 5u);

    auto colours = [] {
        std::set<u32_t> alive;
        for (const DebugLine* line : Lines())
            alive.insert(line->startColour);
        return alive;
    };
    DebugLinesDraw();
    EXPECT_EQ(colours(), (std::set<u32_t>{1, 3, 4, 5}));
    // The 200 ms line is drawn a last time in its 200th millisecond.
    Sleep(198);
    DebugLinesDraw();
    EXPECT_EQ(colours(), (std::set<u32_t>{1, 3, 4, 5}));
    Sleep(1);
    DebugLinesDraw();
    EXPECT_EQ(colours(), (std::set<u32_t>{1, 3, 5}));
    EXPECT_EQ(g_debugPrimitives.lines.count, 3u);

    // Expired records are reused before anything new is allocated.
    std::set<DebugLine*> spare;
    for (DebugLine* line = g_debugPrimitives.lines.spare; line; line = line->next)
        spare.insert(line);
    ASSERT_EQ(spare.size(), 2u);
    DebugLineAdd(&a, &b, 6, 6, 0);
    DebugLineAdd(&a, &b, 7, 7, 0);
    EXPECT_TRUE(spare.count(g_debugPrimitives.lines.active) && spare.count(g_debugPrimitives.lines.active->next));
    EXPECT_EQ(g_debugPrimitives.lines.spare, nullptr);

    DebugListsFree();
    EXPECT_EQ(g_debugPrimitives.lines.active, nullptr);
    EXPECT_EQ(g_debugPrimitives.lines.count, 0u);
}

TEST_F(DebugPrimitives, FacesAgeLikeLinesButSurviveTheLineReset)
{
    const Vector3 p0{0, 0, 0}, p1{1, 0, 0}, p2{0, 1, 0};
    const u32_t facesBefore = g_debugPrimitives.faces.count;
    DebugFaceAdd(&p0, &p1, &p2, 0xFF0000FFu, 0);
    DebugFaceAdd(&p0, &p1, &p2, 0xFF0000FFu, 1);
    ASSERT_EQ(g_debugPrimitives.faces.count, facesBefore + 2);
    const DebugFace* face = g_debugPrimitives.faces.active;
    EXPECT_EQ(face->colours[0], 0xFF0000FFu);
    EXPECT_EQ(face->colours[2], 0xFF0000FFu);
    EXPECT_EQ(Rounded(face->corners[1]), Point(1, 0, 0));

    DebugFacesDraw();
    EXPECT_EQ(g_debugPrimitives.faces.count, facesBefore + 1);
    DebugListsFree();
    DebugListsReset();
    EXPECT_EQ(g_debugPrimitives.faces.count, facesBefore + 1);
}

TEST_F(DebugPrimitives, LinesStopAtTheLimitAndShapesAddWhatFits)
{
    const Vector3 a{0, 0, 0}, b{1, 0, 0};
    for (u32_t i = 0; i < kDebugLineLimit - 1; ++i)
        DebugLineAdd(&a, &b, 0, 0, 0);
    EXPECT_EQ(g_debugPrimitives.lines.count, kDebugLineLimit - 1);

    const Vector3 boxMax{1, 1, 1};
    DebugBoxAdd(&a, &boxMax, 0xFFFF0000u, 0);  // room for two of its twelve edges
    EXPECT_EQ(g_debugPrimitives.lines.count, kDebugLineLimit + 1);
    EXPECT_EQ(g_debugPrimitives.lines.active->startColour, 0xFFFF0000u);
    EXPECT_EQ(g_debugPrimitives.lines.active->next->startColour, 0xFFFF0000u);
    EXPECT_EQ(g_debugPrimitives.lines.active->next->next->startColour, 0u);

    DebugLineAdd(&a, &b, 0xFF00FF00u, 0xFF00FF00u, 0);
    EXPECT_EQ(g_debugPrimitives.lines.count, kDebugLineLimit + 1);
    EXPECT_EQ(g_debugPrimitives.lines.active->startColour, 0xFFFF0000u);
}

TEST(DebugSwitches, OnlyTheParticlesStartOn)
{
    const struct {
        const ConsoleVar* cvar;
        const char* name;
        bool on;
    } switches[] = {
        {&rbviewporttest, "rbviewporttest", false}, {&rbdrawfps, "rbdrawfps", false},
        {&rbdrawtimes, "rbdrawtimes", false},       {&rbict, "rbict", false},
        {&rbwireframe, "rbwireframe", false},       {&rbtraceraytest, "rbtraceraytest", false},
        {&rbdrawaxis, "rbdrawaxis", false},         {&rbdrawstats, "rbdrawstats", false},
        {&rbparticles, "rbparticles", true},
    };
    for (const auto& s : switches) {
        EXPECT_EQ(CVarListFind(s.name), s.cvar) << s.name;
        EXPECT_EQ(s.cvar->type, CVAR_BOOL) << s.name;
        EXPECT_EQ(s.cvar->Bool(), s.on) << s.name;
    }
}

}  // namespace
