// User accounts.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"

// The accounts' current-name string: the account that AccountLogIn logs in.
extern EngineString g_accountCurrentName;

void AccountsInit();
void AccountsShutdown();
s32_t AccountLogIn(const char* arguments);
s32_t GameFillMissionInfo(const char* arguments);
s32_t AccountDetermineNextMission(const char* arguments);
// Resets the current account's stored value for the current campaign mission.
void AccountResetCurrentMissionValue();
