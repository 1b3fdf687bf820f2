// The obstacle tree and route detours: a tree of mission zones and of zones described in meshes,
// the choice of the zone a segment is detoured round, and routes that keep what the waypoint pool
// allowed. Routes go round real zones: by the corner seen from the segment's start that makes the
// shorter way, pushed 10 units out along the corner's diagonal.
#include <gtest/gtest.h>

#include <vector>

#include "actors/actor_state.h"
#include "actors/obstacle_tree.h"
#include "ai/soldier/ai_state.h"
#include "ai/soldier/path_follower.h"
#include "ai/envelopes/zone_envelope.h"
#include "map/registry/world_registry.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

namespace {

// A zone's corner pushed out along the diagonal by the detour distance (10).
constexpr float kOut = 7.0710678f;

// A square zone x0..x1, z0..z1, registered in the envelope table.
ZoneEnvelope* Square(float x0, float x1, float z0, float z1, u8_t inside)
{
    const float polygon[8] = {x0, z0, x1, z0, x1, z1, x0, z1};
    return CreateZoneEnvelope(nullptr, polygon, 4, inside);
}

using Points = std::vector<std::pair<float, float>>;

void ExpectRoute(const Points& route, const Points& expected)
{
    ASSERT_EQ(route.size(), expected.size());
    for (size_t i = 0; i < route.size(); ++i) {
        EXPECT_NEAR(route[i].first, expected[i].first, 0.001f) << "point " << i;
        EXPECT_NEAR(route[i].second, expected[i].second, 0.001f) << "point " << i;
    }
}

class ObstacleRoutes : public ::testing::Test {
protected:
    void TearDown() override
    {
        FreeObstacleTree();
        EnvelopeTableDeleteAll();
    }
    // The route's points after the start.
    std::vector<std::pair<float, float>> Route(float x, float z)
    {
        m_follower.Reset();
        m_follower.lastDestinationX = m_follower.lastDestinationZ = 1e30f;
        m_follower.PlanTo({0, 0, 0}, {x, 0, z});
        std::vector<std::pair<float, float>> points;
        for (const PathWaypoint* w = m_follower.waypoints[0].next; w; w = w->next)
            points.push_back({w->x, w->z});
        return points;
    }
    PathFollower m_follower;
};

TEST_F(ObstacleRoutes, WithoutZonesARouteIsTheStraightSegment)
{
    BuildObstacleTree();
    ASSERT_NE(g_actors.obstacleTree, nullptr);
    EXPECT_EQ(g_actors.obstacleTree->root.ChildCount(), 0u);
    EXPECT_EQ(Route(100, 0), (Points{{100, 0}}));
    const u32_t before = g_actors.routeNumber;
    Route(50, 50);
    EXPECT_EQ(g_actors.routeNumber, before + 1);
}

TEST_F(ObstacleRoutes, TheNearerObstacleIsDetouredFirst)
{
    ZoneEnvelope* far = Square(60, 70, -15, 15, 0);
    ZoneEnvelope* near = Square(20, 30, -15, 15, 0);
    EnvelopeRegister(far);
    EnvelopeRegister(near);
    BuildObstacleTree();
    EXPECT_EQ(g_actors.obstacleTree->root.ChildCount(), 2u);
    EXPECT_EQ(far->GetObstacleNode(), g_actors.obstacleTree->root.At(0));
    EXPECT_EQ(g_actors.obstacleTree->root.At(2), nullptr);
    // Round the near square's lower front corner (the first of two equal ways), then round the far
    // square's lower back corner (the shorter way from there), each pushed out along the diagonal.
    ExpectRoute(Route(100, 0), Points{{20 - kOut, -15 - kOut}, {70 + kOut, -15 - kOut}, {100, 0}});
    EXPECT_EQ(near->routeStamp, g_actors.routeNumber);
    EXPECT_EQ(far->routeStamp, g_actors.routeNumber);
}

TEST_F(ObstacleRoutes, AnEndInsideAnEnterableZoneSearchesItsInnerObstacles)
{
    ZoneEnvelope* yard = Square(-50, 200, -50, 50, 1);
    ZoneEnvelope* hut = Square(40, 60, -10, 10, 0);
    // The yard under the root, the hut nested in it.
    ObstacleTree* tree = new ObstacleTree();
    g_actors.obstacleTree = tree;
    ObstacleTreeNode* yardNode = new ObstacleTreeNode();
    yardNode->SetEnvelope(yard);
    tree->root.AddChild(yardNode);
    tree->root.AddChild(yardNode);  // a second add of the same node changes nothing
    EXPECT_EQ(tree->root.ChildCount(), 1u);
    ObstacleTreeNode* hutNode = new ObstacleTreeNode();
    hutNode->SetEnvelope(hut);
    yardNode->AddChild(hutNode);
    // The route goes round the hut and never round the yard it lies in.
    ExpectRoute(Route(100, 0), Points{{40 - kOut, -10 - kOut}, {100, 0}});
    EXPECT_NE(yard->routeStamp, g_actors.routeNumber);
    EXPECT_EQ(hut->routeStamp, g_actors.routeNumber);
    delete yard;
    delete hut;
}

TEST_F(ObstacleRoutes, AnExhaustedPoolKeepsTheDetoursMadeSoFar)
{
    // Three obstacles in a row; the pool leaves room for the start, the goal, one spare and one more.
    for (float x : {20.0f, 50.0f, 80.0f})
        EnvelopeRegister(Square(x, x + 10, -15, 15, 0));
    BuildObstacleTree();
    PathFollower follower;
    follower.waypointCount = PATH_WAYPOINT_POOL - 4;
    PathWaypoint* start = follower.AllocWaypoint(nullptr);
    BuildPathAroundObstacles(start, {120, 0, 0}, &follower);
    Points points;
    for (const PathWaypoint* w = start->next; w; w = w->next)
        points.push_back({w->x, w->z});
    ExpectRoute(points, Points{{20 - kOut, -15 - kOut}, {60 + kOut, -15 - kOut}, {120, 0}});
    EXPECT_EQ(follower.waypointCount, PATH_WAYPOINT_POOL);
}

TEST_F(ObstacleRoutes, AMeshZoneHasANodeUnderItsMeshParentAndOneUnderTheRoot)
{
    // A graphic object at (100, 0, 0) whose first node's mesh describes one zone with a child zone.
    AnimMesh mesh;
    AnimZone* outer = new AnimZone();
    AnimZone* inner = new AnimZone();
    outer->pointCount = 4;
    outer->points = new Vector3[4]{{-20, 0, -20}, {20, 0, -20}, {20, 0, 20}, {-20, 0, 20}};
    outer->cross = 1;
    inner->pointCount = 4;
    inner->points = new Vector3[4]{{-5, 0, -5}, {5, 0, -5}, {5, 0, 5}, {-5, 0, 5}};
    inner->cross = 0;
    outer->children = new AnimZone* [1] { inner };
    outer->childCount = 1;
    inner->parent = outer;
    mesh.zoneRoot->children = new AnimZone* [1] { outer };
    mesh.zoneRoot->childCount = 1;
    outer->parent = mesh.zoneRoot;

    GraphObj* object = new GraphObj();
    GraphNode* node = new GraphNode("house");
    object->GetRootNode()->AddChild(node);
    node->SetParent(object->GetRootNode());
    node->SetAnimMesh(&mesh);
    object->SetPosition({100, 0, 0});
    object->typeId = OBJECT_TYPE_STRUCTURE;
    ASSERT_TRUE(DynObjectAdd(object));

    BuildObstacleTree();
    ObstacleTreeNode& root = g_actors.obstacleTree->root;
    // The mesh's outer zone, then one node per registered zone (outer and inner again).
    ASSERT_EQ(root.ChildCount(), 3u);
    ObstacleTreeNode* meshOuter = root.At(0);
    ASSERT_EQ(meshOuter->ChildCount(), 1u);
    ZoneEnvelope* innerZone = meshOuter->At(0)->GetEnvelope();
    ZoneEnvelope* outerZone = meshOuter->GetEnvelope();
    EXPECT_EQ(root.At(1)->GetEnvelope(), outerZone);
    EXPECT_EQ(root.At(2)->GetEnvelope(), innerZone);
    // The back links point at the nodes directly under the root.
    EXPECT_EQ(outerZone->GetObstacleNode(), root.At(1));
    EXPECT_EQ(innerZone->GetObstacleNode(), root.At(2));
    EXPECT_TRUE(outerZone->GetInsideFlag());
    EXPECT_FALSE(innerZone->GetInsideFlag());
    // The polygons are in world space.
    EXPECT_TRUE(innerZone->ContainsPoint(ZONE_OUTLINE_OUTER, 100, 0));
    EXPECT_FALSE(innerZone->ContainsPoint(ZONE_OUTLINE_OUTER, 0, 0));

    DynObjectRemove(object);
    delete object;
}

// With the envelope table full a mesh's zone cannot be registered: it is no obstacle, and the tree
// holds no node of a zone that nothing owns.
TEST_F(ObstacleRoutes, AMeshZoneTheFullEnvelopeTableRefusesIsNoObstacle)
{
    AnimMesh mesh;
    AnimZone* zone = new AnimZone();
    zone->pointCount = 4;
    zone->points = new Vector3[4]{{-20, 0, -20}, {20, 0, -20}, {20, 0, 20}, {-20, 0, 20}};
    mesh.zoneRoot->children = new AnimZone* [1] { zone };
    mesh.zoneRoot->childCount = 1;
    zone->parent = mesh.zoneRoot;
    GraphObj* object = new GraphObj();
    GraphNode* node = new GraphNode("house");
    object->GetRootNode()->AddChild(node);
    node->SetParent(object->GetRootNode());
    node->SetAnimMesh(&mesh);
    object->SetPosition({50, 0, 0});
    object->typeId = OBJECT_TYPE_STRUCTURE;
    ASSERT_TRUE(DynObjectAdd(object));
    for (u32_t slot = 0; slot < ENVELOPE_TABLE_SLOTS; ++slot)
        ASSERT_GE(EnvelopeRegister(new Envelope()), 0);

    BuildObstacleTree();
    EXPECT_EQ(g_actors.obstacleTree->root.ChildCount(), 0u);
    EXPECT_EQ(Route(100, 0), (Points{{100, 0}}));

    DynObjectRemove(object);
    delete object;
}

TEST(ZoneOutlines, ContainsAndIntersect)
{
    const float square[8] = {0, 0, 10, 0, 10, 10, 0, 10};
    ZoneEnvelope* zone = CreateZoneEnvelope("yard", square, 4, 1);
    EXPECT_EQ(zone->kind, ENVELOPE_KIND_ZONE);
    EXPECT_TRUE(zone->ContainsPoint(ZONE_OUTLINE_OUTER, 5, 5));
    EXPECT_FALSE(zone->ContainsPoint(ZONE_OUTLINE_INNER, 15, 5));
    const float a[2] = {-10, 5}, b[2] = {20, 5}, c[2] = {-10, 20};
    float distance = 0.0f;
    // The distance is the crossing's parameter along the segment.
    EXPECT_TRUE(zone->IntersectOutline(ZONE_OUTLINE_OUTER, a, b, &distance));
    EXPECT_FLOAT_EQ(distance, 1.0f / 3.0f);
    EXPECT_FALSE(zone->IntersectOutline(ZONE_OUTLINE_OUTER, a, c, &distance));
    EXPECT_EQ(distance, 1e30f);
    delete zone;
}

}  // namespace
