// The AI interface stand-in: its table, and the path follower embedded in every soldier's body.
#include <gtest/gtest.h>

#include <vector>

#include "actors/actor.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/camera_envelope.h"
#include "ai/envelopes/envelope.h"
#include "ai/soldier/path_follower.h"
#include "ai/squads/patrol_path.h"
#include "actors/actor_cvars.h"
#include "core/random.h"
#include "render/draw2d/debug_primitives.h"
#include "support/keep_var.h"

namespace {

TEST(AIInterfaces, TheTableKeepsEveryInterfaceAndRemovalMovesTheLastIn)
{
    const u32_t seed = EngineRandState();
    std::vector<AIInterface*> soldiers;
    for (int i = 0; i < 4; ++i)
        soldiers.push_back(new AIInterface());
    ASSERT_EQ(g_ai.interfaceCount, 4u);
    EXPECT_EQ(AIRemoveInterface(soldiers[1]), 1u);
    EXPECT_EQ(g_ai.interfaces[1], soldiers[3]);
    EXPECT_EQ(g_ai.interfaces[3], nullptr);
    EXPECT_EQ(g_ai.interfaceCount, 3u);
    EXPECT_EQ(AIRemoveInterface(soldiers[1]), 3u) << "not in the table: the count";
    AIDisableInterface(soldiers[2]);
    EXPECT_EQ(soldiers[2]->outOfPlay, 1);
    AIDisableInterface(nullptr);
    EXPECT_EQ(soldiers[0]->SetScriptFile("guard"), 1);
    EXPECT_STREQ(soldiers[0]->scriptFile.Text(), "guard");
    for (AIInterface* soldier : soldiers) {
        Actor* body = soldier->body;
        delete soldier;
        delete body;
    }
    EXPECT_EQ(g_ai.interfaceCount, 0u);
    EXPECT_EQ(AIFindPatrolPath("north"), nullptr);
    EngineSRand(seed);
}

TEST(PathFollowers, APlannedRouteLeadsToItsDestination)
{
    PathFollower follower;
    follower.PlanTo({0, 0, 0}, {30, 2, 40});
    EXPECT_EQ(follower.moving, 1);
    Vector3 goal;
    follower.GetGoal(&goal);
    EXPECT_EQ(goal.x, 30.0f);
    EXPECT_EQ(goal.z, 40.0f);
    ASSERT_NE(follower.current, nullptr);
    // The start, the goal and the spare that the detour search holds ready.
    EXPECT_EQ(follower.waypointCount, 3u);
    // A destination within 5 units of the last keeps the route.
    follower.PlanTo({1, 0, 1}, {33, 0, 43});
    EXPECT_EQ(follower.waypointCount, 3u);
    follower.GetGoal(&goal);
    EXPECT_EQ(goal.x, 30.0f);
    // The route's last waypoint, then none: the follower stops.
    follower.NextWaypoint();
    EXPECT_EQ(follower.current, nullptr);
    follower.NextWaypoint();
    EXPECT_EQ(follower.stopped, 1);
    EXPECT_EQ(follower.moving, 0);
    follower.Reset();
    EXPECT_EQ(follower.waypointCount, 0u);
}

TEST(PathFollowers, ThePoolHoldsSixtyFourWaypoints)
{
    PathFollower follower;
    const Vector3 at{5, 6, 7};
    for (u32_t i = 0; i < PATH_WAYPOINT_POOL; ++i) {
        PathWaypoint* waypoint = follower.AllocWaypoint(i == 0 ? &at : nullptr);
        ASSERT_NE(waypoint, nullptr) << i;
        if (i == 0) {
            EXPECT_EQ(waypoint->x, 5.0f);
            EXPECT_EQ(waypoint->z, 7.0f);
        }
    }
    EXPECT_EQ(follower.AllocWaypoint(&at), nullptr);
    Vector3 tracked{1, 1, 1};
    follower.TrackEnvelopeGoal(&tracked);
    EXPECT_EQ(tracked.x, 0.0f) << "no envelope followed";
}

// A followed envelope's offset turns with its object's heading: a soldier's yaw a quarter turn on,
// another object's rotation about the vertical.
TEST(PathFollowers, AnEnvelopesOffsetTurnsWithItsObject)
{
    Actor soldier;
    soldier.SetPosition({100.0f, 5.0f, 200.0f});
    DOEnvelope envelope("escort");
    envelope.Attach(&soldier);
    PathFollower follower;
    const struct {
        float yaw;
        Vector3 expected;  // for the offset (10, 1, 0)
    } cases[] = {
        {-1.5707963f, {100.0f, 6.0f, 210.0f}},  // heading 0: x goes along z
        {0.0f, {110.0f, 6.0f, 200.0f}},
        {1.5707963f, {100.0f, 6.0f, 190.0f}},
    };
    follower.MoveToEnvelope({0, 0, 0}, {10.0f, 1.0f, 0.0f}, &envelope);
    for (const auto& c : cases) {
        soldier.SetHeading(c.yaw);
        Vector3 tracked;
        follower.TrackEnvelopeGoal(&tracked);
        EXPECT_NEAR(tracked.x, c.expected.x, 1e-3f) << c.yaw;
        EXPECT_NEAR(tracked.y, c.expected.y, 1e-3f) << c.yaw;
        EXPECT_NEAR(tracked.z, c.expected.z, 1e-3f) << c.yaw;
    }
    // The plan went to the envelope's position plus the offset, not turned.
    EXPECT_EQ(follower.lastDestinationX, 110.0f);
    EXPECT_EQ(follower.lastDestinationZ, 200.0f);
    envelope.object = nullptr;
    soldier.envelope = nullptr;
}

// A camera envelope followed at an offset turns the offset with its own angle.
TEST(PathFollowers, ACameraEnvelopesOffsetTurnsWithItsAngle)
{
    CameraEnvelope camera("cam");
    camera.position = {100.0f, 5.0f, 200.0f};
    PathFollower follower;
    follower.MoveToEnvelope({0, 0, 0}, {10.0f, 1.0f, 0.0f}, &camera);
    const struct {
        float angle;
        Vector3 expected;  // for the offset (10, 1, 0)
    } cases[] = {
        {0.0f, {100.0f, 6.0f, 210.0f}},
        {1.5707963f, {110.0f, 6.0f, 200.0f}},
        {3.1415927f, {100.0f, 6.0f, 190.0f}},
    };
    for (const auto& c : cases) {
        camera.heading = c.angle;
        Vector3 tracked;
        follower.TrackEnvelopeGoal(&tracked);
        EXPECT_NEAR(tracked.x, c.expected.x, 1e-3f) << c.angle;
        EXPECT_NEAR(tracked.y, c.expected.y, 1e-3f) << c.angle;
        EXPECT_NEAR(tracked.z, c.expected.z, 1e-3f) << c.angle;
    }
}

// With the AI debug display on, a planned route is drawn in opaque black, its end cross too.
TEST(PathFollowers, TheDebugDisplayDrawsTheRouteInOpaqueBlack)
{
    KeepVar keep(gbdebugai);
    gbdebugai.SetBool(true);
    DebugListsReset();
    PathFollower follower;
    follower.PlanTo({0, 0, 0}, {30, 2, 40});
    ASSERT_GT(g_debugPrimitives.lines.count, 0u);
    for (const DebugLine* line = g_debugPrimitives.lines.active; line; line = line->next) {
        EXPECT_EQ(line->startColour, 0xFF000000u);
        EXPECT_EQ(line->endColour, 0xFF000000u);
    }
    DebugListsReset();
}

}  // namespace
