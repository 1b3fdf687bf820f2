// The AI of one soldier as the rest of the program reaches it: the interface that owns the
// soldier's actor and its AI entity, the record of the soldier's sensing and team values.
#pragma once
#include "core/types.h"

// Team values: the team lists of the world registry are numbered by them.
constexpr s32_t AI_TEAM_FRIEND = 0;
constexpr s32_t AI_TEAM_NEUTRAL = 1;
constexpr s32_t AI_TEAM_ENEMY = 2;

struct AIEntity {
    s32_t team = AI_TEAM_NEUTRAL;
};

class AIInterface {
public:
    AIEntity entity;
};
