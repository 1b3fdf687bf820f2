// Campaign progress and the chronology: which campaign plays next and which missions it offers,
// the completed missions as quick missions, and the campaign's videos.
#pragma once
#include "core/types.h"

// The single-player mode: 0 "ZEZOD", 1 "TACTICAL".
s32_t SinglePlayerMode();
void SetSinglePlayerMode(s32_t mode);

// The console commands (argument text ignored).
s32_t AccountSetSinglePlayerMode(const char* arguments);
s32_t AccountDetermineNextMission(const char* arguments);
s32_t AccountSetMissionName(const char* arguments);
s32_t AccountDetermineQuickMissions(const char* arguments);
s32_t AccountPlayCutsceneBegin(const char* arguments);
s32_t AccountPlayCutsceneAccomplished(const char* arguments);
s32_t AccountPlayCutsceneFailed(const char* arguments);
s32_t AccountResetSinglePlayer(const char* arguments);

// Frees the offered-mission and quick-mission lists.
void CampaignChronologyFree();
