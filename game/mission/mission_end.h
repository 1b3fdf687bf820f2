// The end of a mission and its restart: gx_accomplishmission, gx_failmission and gx_restartmission
// (reached by the script functions AccomplishMission and FailMission and by name from the screens).
#pragma once
#include "core/types.h"

s32_t MissionAccomplishCommand(const char* arguments);
s32_t MissionFailCommand(const char* arguments);
s32_t MissionRestartCommand(const char* arguments);
