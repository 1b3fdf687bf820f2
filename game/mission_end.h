// The end of a mission and its restart: gx_accomplishmission, gx_failmission and gx_restartmission
// (reached by the script functions AccomplishMission and FailMission and by name from the screens).
#pragma once
#include "core/types.h"

class ConsoleVar;

extern ConsoleVar gx_accomplishmission;
extern ConsoleVar gx_failmission;
extern ConsoleVar gx_restartmission;

s32_t MissionAccomplishCommand(const char* arguments);
s32_t MissionFailCommand(const char* arguments);
s32_t MissionRestartCommand(const char* arguments);
