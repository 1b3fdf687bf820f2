#include "ai/path_follower.h"

#include "actors/obstacle_tree.h"

namespace {

constexpr float kGoalTolerance = 0.1f;
constexpr float kReplanDistanceSq = 25.0f;

}  // namespace

void PathFollower::Reset()
{
    Stop();
    current = nullptr;
    waypointCount = 0;
    stateWord = 0;
    stopped = 0;
    lastDestinationX = lastDestinationZ = 1e30f;
}

void PathFollower::Stop()
{
    stopped = 1;
    moving = 0;
    stateWord = 0;
}

void PathFollower::GetGoal(Vector3* out) const
{
    *out = {goal.x, goal.y, goal.z};
}

PathWaypoint* PathFollower::AllocWaypoint(const Vector3* position)
{
    if (waypointCount >= PATH_WAYPOINT_POOL)
        return nullptr;
    PathWaypoint* waypoint = &waypoints[waypointCount++];
    *waypoint = PathWaypoint();
    if (position) {
        waypoint->x = position->x;
        waypoint->z = position->z;
    }
    return waypoint;
}

void PathFollower::PlanTo(const Vector3& from, const Vector3& to)
{
    moving = 1;
    stateWord = 0;
    stopped = 0;
    previousGoal.x = from.x;
    previousGoal.z = from.z;
    previousGoal.y = from.y;
    previousGoal.tolerance = kGoalTolerance;
    goal.tolerance = kGoalTolerance;
    const float dx = to.x - lastDestinationX;
    const float dz = to.z - lastDestinationZ;
    if (dx * dx + dz * dz < kReplanDistanceSq)
        return;

    waypointCount = 0;
    PathWaypoint* start = AllocWaypoint(&from);
    BuildPathAroundObstacles(start, to, this);
    PathWaypoint* first = start->next ? start->next : start;
    goal.x = first->x;
    goal.z = first->z;
    goal.y = to.y;
    lastDestinationX = to.x;
    lastDestinationZ = to.z;
    current = first;
}

void PathFollower::MoveToEnvelope(const Vector3&, const Vector3& offset, DOEnvelope* envelope)
{
    targetEnvelope = envelope;
    targetOffset = offset;
}

void PathFollower::TrackEnvelopeGoal(Vector3* out) const
{
    *out = targetEnvelope ? targetOffset : Vector3{};
}

void PathFollower::NextWaypoint()
{
    if (!current) {
        Stop();
        return;
    }
    previousGoal = goal;
    const PathWaypoint* target = current->next ? current->next : current;
    goal.x = target->x;
    goal.z = target->z;
    goal.tolerance = kGoalTolerance;
    current = current->next;
}
