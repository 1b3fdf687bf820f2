// The mission services that rule scripts reach through global functions: the mission's outcome and
// its objectives (game/mission/mission_end.h, game/mission/objectives.h).
#pragma once
#include "core/types.h"

void GameAccomplishMission();
void GameFailMission();
// Numbers without an objective variable are ignored (and read as not complete).
void GameCompleteObjective(s32_t index);
bool GameIsObjectiveComplete(s32_t index);
