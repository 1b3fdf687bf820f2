// Zone envelopes: orientation, hull and vertex types, the crossing tests, the detour corner, and the
// question whether the zone's actors are all dead.
#include <gtest/gtest.h>

#include <vector>

#include "actors/actor.h"
#include "actors/actor_state.h"
#include "ai/envelopes/zone_envelope.h"

namespace {

std::vector<s32_t> OutlineList(const ZoneEnvelope& zone, int outline)
{
    std::vector<s32_t> list;
    const s32_t* indices = zone.Outline(outline);
    for (u32_t i = 0; i < zone.OutlineCount(outline); ++i)
        list.push_back(indices[i]);
    EXPECT_EQ(indices[zone.OutlineCount(outline)], -1) << "an outline ends in -1";
    return list;
}

std::vector<s32_t> Types(const ZoneEnvelope& zone)
{
    std::vector<s32_t> types;
    for (u32_t i = 0; i < zone.VertexCount(); ++i)
        types.push_back(zone.GetVertices()[i].type);
    return types;
}

// A "U" open to +z: the hull is its four outer corners, the notch lies between x 10 and 20 above z 10.
const float kU[16] = {0, 0, 30, 0, 30, 30, 20, 30, 20, 10, 10, 10, 10, 30, 0, 30};

TEST(ZoneShape, AConvexZoneHasEqualOutlinesAndEveryCornerOnTheHull)
{
    const float square[8] = {0, 0, 10, 0, 10, 10, 0, 10};
    ZoneEnvelope* zone = CreateZoneEnvelope("yard", square, 4, 0);
    EXPECT_EQ(zone->kind, ENVELOPE_KIND_ZONE);
    EXPECT_EQ(zone->outerDiffers, 0);
    EXPECT_EQ(OutlineList(*zone, ZONE_OUTLINE_OUTER), (std::vector<s32_t>{0, 1, 2, 3}));
    EXPECT_EQ(OutlineList(*zone, ZONE_OUTLINE_INNER), OutlineList(*zone, ZONE_OUTLINE_OUTER));
    EXPECT_EQ(Types(*zone), (std::vector<s32_t>{1, 1, 1, 1}));
    EXPECT_EQ(zone->GetVertices()[2].searchStamp, g_actors.routeNumber - 1);
    delete zone;
}

TEST(ZoneShape, AClockwiseListIsReversedInPlace)
{
    float clockwise[8] = {0, 0, 0, 10, 10, 10, 10, 0};
    ZoneEnvelope zone(nullptr, clockwise, 4, 0);
    EXPECT_EQ(std::vector<float>(clockwise, clockwise + 8), (std::vector<float>{10, 0, 10, 10, 0, 10, 0, 0}));
    const ZoneVertex* v = zone.GetVertices();
    EXPECT_EQ(v[0].x, 10.0f);
    EXPECT_EQ(v[1].z, 10.0f);
    EXPECT_EQ(v[3].x, 0.0f);
    EXPECT_EQ(v[3].z, 0.0f);
    EXPECT_TRUE(zone.ContainsPoint(ZONE_OUTLINE_INNER, 5, 5));
}

TEST(ZoneShape, AConcaveZoneGetsItsHullAndVertexTypes)
{
    ZoneEnvelope* zone = CreateZoneEnvelope("u", kU, 8, 0);
    EXPECT_EQ(zone->outerDiffers, 1);
    EXPECT_EQ(OutlineList(*zone, ZONE_OUTLINE_OUTER), (std::vector<s32_t>{0, 1, 2, 7}));
    EXPECT_EQ(OutlineList(*zone, ZONE_OUTLINE_INNER), (std::vector<s32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    // Hull corners 1; the notch's top corners convex (2); its bottom corners reflex (4).
    EXPECT_EQ(Types(*zone), (std::vector<s32_t>{1, 1, 1, 2, 4, 4, 2, 1}));
    EXPECT_EQ(zone->minX, 0.0f);
    EXPECT_EQ(zone->maxX, 30.0f);
    EXPECT_EQ(zone->minZ, 0.0f);
    EXPECT_EQ(zone->maxZ, 30.0f);
    // The notch is inside the hull, not inside the polygon.
    EXPECT_TRUE(zone->ContainsPoint(ZONE_OUTLINE_OUTER, 15, 20));
    EXPECT_FALSE(zone->ContainsPoint(ZONE_OUTLINE_INNER, 15, 20));
    EXPECT_TRUE(zone->ContainsPoint(ZONE_OUTLINE_INNER, 5, 20));
    delete zone;
}

TEST(ZoneShape, APointAtAHorizontalEdgesHeightIsNotCounted)
{
    const float square[8] = {0, 0, 10, 0, 10, 10, 0, 10};
    ZoneEnvelope* zone = CreateZoneEnvelope(nullptr, square, 4, 0);
    struct Case {
        float x, z;
        bool inside;
    };
    for (const Case& c : {Case{5, 0, false}, Case{5, 10, false}, Case{5, 0.01f, true}, Case{5, 9.99f, true},
                          Case{-1, 5, false}, Case{11, 5, false}}) {
        EXPECT_EQ(zone->ContainsPoint(ZONE_OUTLINE_OUTER, c.x, c.z), c.inside) << c.x << ", " << c.z;
    }
    delete zone;
}

TEST(ZoneShape, CrossingDistancesAreTheSmallestSegmentParameter)
{
    ZoneEnvelope* zone = CreateZoneEnvelope(nullptr, kU, 8, 0);
    struct Case {
        float a[2], b[2];
        int outline;
        bool crosses;
        float distance;
    };
    const Case cases[] = {
        {{15, 40}, {15, -10}, ZONE_OUTLINE_OUTER, true, 0.2f},  // the hull's top first
        {{15, 40}, {15, -10}, ZONE_OUTLINE_INNER, true, 0.6f},  // the notch's floor first
        {{-10, 5}, {40, 5}, ZONE_OUTLINE_INNER, true, 0.2f},
        {{-10, 40}, {40, 40}, ZONE_OUTLINE_OUTER, false, 1e30f},  // passes above
        {{5, 5}, {25, 5}, ZONE_OUTLINE_INNER, false, 1e30f},      // inside, no edge crossed
        {{-10, 0}, {40, 0}, ZONE_OUTLINE_OUTER, false, 1e30f},    // along the bottom edge: parallel
    };
    for (const Case& c : cases) {
        float distance = -1.0f;
        EXPECT_EQ(zone->IntersectOutline(c.outline, c.a, c.b, &distance), c.crosses) << c.a[0] << "," << c.a[1];
        EXPECT_NEAR(distance, c.distance, 1e-5f) << c.a[0] << "," << c.a[1];
    }
    delete zone;
}

TEST(ZoneShape, TheDetourCornerIsPushedOutAndUsedOncePerRoute)
{
    const float square[8] = {0, 0, 10, 0, 10, 10, 0, 10};
    ZoneEnvelope* zone = CreateZoneEnvelope(nullptr, square, 4, 0);
    ZoneRoute route;
    route.start[0] = -10;
    route.start[1] = 2;
    route.goal[0] = 20;
    route.goal[1] = 2;
    const float out = 3.0f / 1.41421356f;  // push 3 along the corner's diagonal
    ZoneDetour detour;
    // Both corners facing the start qualify; the lower one makes the shorter way.
    ASSERT_TRUE(zone->FindDetourPoint(ZONE_OUTLINE_OUTER, route, 3.0f, &detour));
    EXPECT_EQ(detour.corner, &zone->GetVertices()[0]);
    EXPECT_NEAR(detour.point[0], -out, 1e-4f);
    EXPECT_NEAR(detour.point[1], -out, 1e-4f);
    detour.corner->searchStamp = g_actors.routeNumber;
    ASSERT_TRUE(zone->FindDetourPoint(ZONE_OUTLINE_OUTER, route, 3.0f, &detour));
    EXPECT_EQ(detour.corner, &zone->GetVertices()[3]);
    EXPECT_NEAR(detour.point[0], -out, 1e-4f);
    EXPECT_NEAR(detour.point[1], 10 + out, 1e-4f);
    detour.corner->searchStamp = g_actors.routeNumber;
    EXPECT_FALSE(zone->FindDetourPoint(ZONE_OUTLINE_OUTER, route, 3.0f, &detour)) << "the far corners face away";
    // The next route may use them again.
    ++g_actors.routeNumber;
    EXPECT_TRUE(zone->FindDetourPoint(ZONE_OUTLINE_OUTER, route, 3.0f, &detour));
    delete zone;
}

TEST(ZoneShape, TheNotchsReflexCornersAreNoDetourAndTheInnerWayMustBeClear)
{
    ZoneEnvelope* zone = CreateZoneEnvelope(nullptr, kU, 8, 1);
    ZoneRoute route;
    // From inside the notch to below the "U": only the notch's top corners could be gone by.
    route.start[0] = 15;
    route.start[1] = 25;
    route.goal[0] = 15;
    route.goal[1] = -20;
    ZoneDetour detour;
    ASSERT_TRUE(zone->FindDetourPoint(ZONE_OUTLINE_INNER, route, 1.0f, &detour));
    EXPECT_TRUE(detour.corner == &zone->GetVertices()[3] || detour.corner == &zone->GetVertices()[6]);
    // The hull corners are out of sight from inside the notch (the way crosses the polygon).
    EXPECT_NE(detour.corner->type, ZONE_VERTEX_REFLEX);
    delete zone;
}

TEST(ZoneActors, AllActorsDeadWithoutAListOrALivingActor)
{
    ZoneEnvelope zone("sector");
    g_scriptResult.asBool = 0;
    zone.AllActorsDeadMethod(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 1) << "a zone without a \"mission.zns\" entry";
    EXPECT_FALSE(zone.HasLivingActor());

    Actor alive, dead;
    dead.isDead = true;
    EnvelopeObjectList* list = zone.CreateObjectList(2);
    EXPECT_TRUE(list->Add(&dead));
    zone.AllActorsDeadMethod(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 1);
    EXPECT_TRUE(list->Add(&alive));
    EXPECT_FALSE(list->Add(&alive)) << "the list keeps its capacity";
    zone.AllActorsDeadMethod(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 0);
    EXPECT_TRUE(zone.HasLivingActor());
    g_scriptResult = {};
}

}  // namespace
