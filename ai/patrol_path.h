// Patrol paths: named routes through point envelopes that soldiers walk while on patrol.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"

class DOEnvelope;

enum PatrolPathMode : s32_t {
    PATROL_MODE_NONE = 0,
    PATROL_MODE_PINGPONG = 1,
    PATROL_MODE_LOOP = 2,
};

struct PatrolPath {
    EngineString name;
    float* points = nullptr;  // pointCount pairs (x, z)
    u32_t pointCount = 0;
    s32_t mode = PATROL_MODE_NONE;
    DOEnvelope** envelopes = nullptr;  // the point envelopes, one per point
};

// The patrol path of that name; none while the mission's paths are not read.
PatrolPath* AIFindPatrolPath(const char* name);
