#include "game/mission_services.h"

#include "game/mission_end.h"
#include "game/objectives.h"

MissionServiceRecord g_missionServices;

void GameAccomplishMission()
{
    MissionAccomplishCommand(nullptr);
}

void GameFailMission()
{
    MissionFailCommand(nullptr);
}

void GameCompleteObjective(s32_t index)
{
    ObjectiveComplete(index);
}

bool GameIsObjectiveComplete(s32_t index)
{
    return ObjectiveGet(index);
}

void GameLinkCamera(const char* camera)
{
    ++g_missionServices.cameraLinks;
    g_missionServices.linkedCamera = camera;
}

void GameUnlinkCamera()
{
    ++g_missionServices.cameraUnlinks;
}

void MissionServicesReset()
{
    g_missionServices = MissionServiceRecord();
}
