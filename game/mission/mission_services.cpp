#include "game/mission/mission_services.h"

#include "game/mission/mission_end.h"
#include "game/mission/objectives.h"

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
