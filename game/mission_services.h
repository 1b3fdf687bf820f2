// The mission services that rule scripts reach through global functions: the mission's outcome and objectives. The mission flow builds them out; until then
// they record what they are given, and the objective flags answer from that record.
#pragma once
#include "core/types.h"

constexpr s32_t MISSION_OBJECTIVE_SLOTS = 32;

struct MissionServiceRecord {
    bool accomplished = false;
    bool failed = false;
    bool objectiveComplete[MISSION_OBJECTIVE_SLOTS] = {};
};

extern MissionServiceRecord g_missionServices;

void GameAccomplishMission();
void GameFailMission();
// Indices outside the objective slots are ignored (and read as not complete).
void GameCompleteObjective(s32_t index);
bool GameIsObjectiveComplete(s32_t index);
void MissionServicesReset();
