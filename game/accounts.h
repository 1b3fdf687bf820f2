// User accounts.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"

void AccountsInit();
void AccountsShutdown();
s32_t AccountLogIn(const char* arguments);
s32_t GameFillMissionInfo(const char* arguments);
s32_t AccountDetermineNextMission(const char* arguments);
// Resets the current account's stored value for the current campaign mission.
void AccountResetCurrentMissionValue();
