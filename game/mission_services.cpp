#include "game/mission_services.h"

MissionServiceRecord g_missionServices;

void GameAccomplishMission()
{
    g_missionServices.accomplished = true;
}

void GameFailMission()
{
    g_missionServices.failed = true;
}

void GameCompleteObjective(s32_t index)
{
    if (index >= 0 && index < MISSION_OBJECTIVE_SLOTS)
        g_missionServices.objectiveComplete[index] = true;
}

bool GameIsObjectiveComplete(s32_t index)
{
    return index >= 0 && index < MISSION_OBJECTIVE_SLOTS && g_missionServices.objectiveComplete[index];
}

void MissionServicesReset()
{
    g_missionServices = MissionServiceRecord();
}
