#include "ai/soldier/path_follower.h"

#include <cmath>

#include "actors/actor.h"
#include "actors/actor_cvars.h"
#include "actors/obstacle_tree.h"
#include "ai/envelopes/camera_envelope.h"
#include "ai/envelopes/envelope.h"
#include "map/terrain/terrain_height.h"
#include "render/draw2d/debug_primitives.h"
#include "world/objects/dynamic_object.h"

namespace {

constexpr float kGoalTolerance = 0.1f;
constexpr float kReplanDistanceSq = 25.0f;
constexpr float kHalfPi = 1.5707963f;
// The planned route as the AI debug display shows it: opaque black lines a unit above the ground,
// and a cross at its end, each for a second.
constexpr u32_t kRouteShownMs = 1000;
constexpr u32_t kRouteColour = 0xFF000000u;

float GroundHeight(float x, float z)
{
    return MapTerrainHeight(x, z, nullptr, nullptr);
}

void DrawRoute(const PathWaypoint* start)
{
    const PathWaypoint* last = start;
    for (const PathWaypoint* w = start; w && w->next; w = w->next) {
        const Vector3 a{w->x, GroundHeight(w->x, w->z) + 1.0f, w->z};
        const Vector3 b{w->next->x, GroundHeight(w->next->x, w->next->z) + 1.0f, w->next->z};
        DebugLineAdd(&a, &b, kRouteColour, kRouteColour, kRouteShownMs);
        last = w->next;
    }
    const Vector3 end{last->x, GroundHeight(last->x, last->z) + 1.0f, last->z};
    DebugCrossAdd(&end, kRouteColour, kRouteShownMs);
}

// The heading an envelope's offset turns with: a soldier's yaw a quarter turn on, another object's
// rotation about the vertical, a camera envelope's own angle; none for other envelopes.
float EnvelopeHeading(const Envelope* envelope)
{
    if (envelope->kind == ENVELOPE_KIND_CAMERA)
        return static_cast<const CameraEnvelope*>(envelope)->heading;
    const DynamicObject* object =
        envelope->kind == ENVELOPE_KIND_OBJECT ? static_cast<const DOEnvelope*>(envelope)->object : nullptr;
    if (!object)
        return 0.0f;
    if (object->GetTypeId() == OBJECT_TYPE_ACTOR)
        return static_cast<const Actor*>(object)->GetHeading() + kHalfPi;
    return object->GetRotation().y;
}

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
    if (gbdebugai.Bool())
        DrawRoute(start);
    PathWaypoint* first = start->next ? start->next : start;
    goal.x = first->x;
    goal.z = first->z;
    goal.y = GroundHeight(first->x, first->z);
    lastDestinationX = to.x;
    lastDestinationZ = to.z;
    current = first;
}

void PathFollower::MoveToEnvelope(const Vector3& from, const Vector3& offset, Envelope* envelope)
{
    targetEnvelope = envelope;
    targetOffset = offset;
    if (!envelope)
        return;
    const Vector3 at = envelope->GetPosition();
    PlanTo(from, {at.x + offset.x, at.y + offset.y, at.z + offset.z});
}

void PathFollower::TrackEnvelopeGoal(Vector3* out) const
{
    if (!targetEnvelope) {
        *out = Vector3{};
        return;
    }
    const Vector3 at = targetEnvelope->GetPosition();
    const float h = EnvelopeHeading(targetEnvelope);
    const float s = std::sin(h), c = std::cos(h);
    const Vector3& o = targetOffset;
    *out = {at.x + o.x * s + o.z * c, at.y + o.y, at.z + o.x * c - o.z * s};
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
    goal.y = GroundHeight(target->x, target->z);
    goal.tolerance = kGoalTolerance;
    current = current->next;
}
