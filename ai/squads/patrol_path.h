// Patrol paths: named routes through point envelopes that soldiers walk while on patrol, read from
// the mission's "mission.ptl" and handed to soldiers by "mission.pta".
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

class Envelope;

enum PatrolPathMode : s32_t {
    PATROL_MODE_NONE = 0,
    PATROL_MODE_PINGPONG = 1,
    PATROL_MODE_LOOP = 2,
};

struct PatrolPath {
    PatrolPath() = default;
    PatrolPath(const PatrolPath&) = delete;
    PatrolPath& operator=(const PatrolPath&) = delete;
    ~PatrolPath();

    EngineString name;
    float* points = nullptr;  // pointCount pairs (x, z); owned
    u32_t pointCount = 0;
    s32_t mode = PATROL_MODE_NONE;
    Envelope** envelopes = nullptr;  // the point envelopes, one per point; the array is owned
};

// Reads "<folder>\mission.ptl" after clearing the table. A point naming no envelope, or an envelope
// that is not a point, is reported on console 0 and left out: a path keeps only the points found.
// A path beyond the table's 64 is refused with an error line. A missing file leaves no paths.
void AILoadPatrolPaths(const char* missionFolder);
// Deletes every path; the table is then empty.
void AIClearPatrolPaths();
// The first path whose name equals the text without regard to case; null when none (or for null).
PatrolPath* AIFindPatrolPath(const char* name);
// Reads "<folder>\mission.pta": each line's key names an actor, whose AI gets the parameter
// "patrol_path" with the line's values (the first actor of that name, case ignored).
void AILoadPatrolAssignments(const char* missionFolder);
