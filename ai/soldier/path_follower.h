// The movement controller of a soldier's body: the goal it walks to, the route of waypoints that
// leads there around obstacles, and an envelope it may follow. With the AI debug display on, each
// planned route is drawn for a second.
#pragma once
#include "core/types.h"

class Envelope;

constexpr u32_t PATH_WAYPOINT_POOL = 64;

// One point of a route: the zone that produced it, its x and z, and its neighbours.
struct PathWaypoint {
    void* zone = nullptr;
    u32_t word = 0;
    float x = 0.0f;
    float z = 0.0f;
    PathWaypoint* previous = nullptr;
    PathWaypoint* next = nullptr;
};

// A goal: x, z, the ground height at (x, z), and how near counts as reached.
struct PathGoal {
    float x = 0.0f;
    float z = 0.0f;
    float y = 0.0f;
    float tolerance = 0.0f;
    u32_t words[3] = {};
};

class PathFollower {
public:
    // Stops, forgets the route (no current waypoint, the pool empty) and clears the state words.
    void Reset();
    // Sets the stopped flag and clears the moving state.
    void Stop();
    // The current goal as (x, ground height, z).
    void GetGoal(Vector3* out) const;
    // The next free record of the pool, cleared, at the position when one is given; null when all
    // 64 are in use.
    PathWaypoint* AllocWaypoint(const Vector3* position);
    // Plans a route from one point to another round the obstacles (a start waypoint at the first
    // point, then the detours) and makes the first waypoint after the start the goal. A destination
    // within 5 units of the last one planned keeps the current route.
    void PlanTo(const Vector3& from, const Vector3& to);
    // Follows the envelope at the offset: stores both and plans to the envelope's position plus the
    // offset (not turned).
    void MoveToEnvelope(const Vector3& from, const Vector3& offset, Envelope* envelope);
    // The followed point: the envelope's position plus the offset turned by its heading (an object's
    // yaw, a camera envelope's own angle, else none); (0, 0, 0) without a target envelope.
    void TrackEnvelopeGoal(Vector3* out) const;
    // Advances to the next waypoint of the route; stops when there is none.
    void NextWaypoint();

    u8_t moving = 0;
    u32_t stateWord = 0;
    PathGoal previousGoal;
    PathGoal goal;
    Envelope* targetEnvelope = nullptr;  // not owned
    Vector3 targetOffset;
    PathWaypoint waypoints[PATH_WAYPOINT_POOL];
    u32_t waypointCount = 0;
    PathWaypoint* current = nullptr;  // null when no route is followed
    float lastDestinationX = 1e30f;
    float lastDestinationZ = 1e30f;
    float arrivalRadius = 20.0f;
    u8_t stopped = 0;
    u32_t replanTick = 0;  // when the route to a target envelope was last planned
    // Patrol: on the path, walking it backward (back-and-forth paths), the current point, and a pause.
    u8_t patrolActive = 0;
    u8_t patrolBackward = 0;
    u32_t patrolIndex = 0;
    u8_t patrolWaiting = 0;
    u32_t patrolWaitTime = 0;
    u32_t patrolWaitStart = 0;
};
