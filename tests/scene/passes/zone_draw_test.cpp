// The zones drawn as debug lines on the terrain: every edge of the polygon, and the hull's edges
// where the polygon is not convex, each end lifted above the ground; other envelopes draw nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "ai/envelopes/envelope.h"
#include "ai/envelopes/shape_envelopes.h"
#include "ai/envelopes/zone_envelope.h"
#include "render/draw2d/debug_primitives.h"
#include "scene/passes/zone_draw.h"

namespace {

class ZoneDraw : public ::testing::Test {
protected:
    void TearDown() override
    {
        EnvelopeTableDeleteAll();
        DebugListsFree();
    }

    // An edge whatever way round it runs (a zone keeps its polygon counter-clockwise).
    static std::tuple<u32_t, float, float, float, float> Edge(u32_t colour, float x0, float z0, float x1, float z1)
    {
        if (std::tie(x1, z1) < std::tie(x0, z0)) {
            std::swap(x0, x1);
            std::swap(z0, z1);
        }
        return {colour, x0, z0, x1, z1};
    }

    // The active lines as edges, sorted; every end must lie at the lift (no map is loaded).
    static std::vector<std::tuple<u32_t, float, float, float, float>> Lines()
    {
        std::vector<std::tuple<u32_t, float, float, float, float>> lines;
        for (const DebugLine* line = g_debugPrimitives.lines.active; line; line = line->next) {
            EXPECT_EQ(line->startColour, line->endColour);
            EXPECT_FLOAT_EQ(line->start.y, ZONE_DRAW_LIFT);
            EXPECT_FLOAT_EQ(line->end.y, ZONE_DRAW_LIFT);
            EXPECT_FALSE(line->permanent);
            lines.push_back(Edge(line->startColour, line->start.x, line->start.z, line->end.x, line->end.z));
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }
};

TEST_F(ZoneDraw, EveryZoneEdgeLiesOnTheTerrain)
{
    // An L: its hull cuts the inner corner (5, 5) off.
    const float ell[12] = {0, 0, 10, 0, 10, 5, 5, 5, 5, 10, 0, 10};
    ASSERT_GE(EnvelopeRegister(CreateZoneEnvelope("ell", ell, 6, 0)), 0);
    const float square[8] = {20, 0, 30, 0, 30, 10, 20, 10};
    ASSERT_GE(EnvelopeRegister(CreateZoneEnvelope(nullptr, square, 4, 1)), 0);
    PointEnvelope* point = new PointEnvelope("marker");
    ASSERT_GE(EnvelopeRegister(point), 0);

    RenderDrawZones();

    constexpr u32_t P = ZONE_DRAW_POLYGON_COLOUR, H = ZONE_DRAW_HULL_COLOUR;
    std::vector<std::tuple<u32_t, float, float, float, float>> expected = {
        // The L's six edges.
        {P, 0, 0, 10, 0},
        {P, 10, 0, 10, 5},
        {P, 10, 5, 5, 5},
        {P, 5, 5, 5, 10},
        {P, 5, 10, 0, 10},
        {P, 0, 10, 0, 0},
        // Its hull's five.
        {H, 0, 0, 10, 0},
        {H, 10, 0, 10, 5},
        {H, 10, 5, 5, 10},
        {H, 5, 10, 0, 10},
        {H, 0, 10, 0, 0},
        // The square is its own hull: four edges.
        {P, 20, 0, 30, 0},
        {P, 30, 0, 30, 10},
        {P, 30, 10, 20, 10},
        {P, 20, 10, 20, 0},
    };
    for (auto& [colour, x0, z0, x1, z1] : expected)
        std::tie(colour, x0, z0, x1, z1) = Edge(colour, x0, z0, x1, z1);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Lines(), expected);
}

}  // namespace
