// What the accounts and the campaign chronology keep for the whole run (a part of the game's state).
#pragma once
#include <vector>

#include "core/strings/engine_string.h"
#include "core/types.h"

struct PlayerAccount;

constexpr s32_t CHRONOLOGY_OFFERED_SLOTS = 15;
constexpr s32_t QUICK_MISSION_SLOTS = 128;

struct AccountState {
    std::vector<PlayerAccount*> list;  // owned, in load and creation order
    s32_t singlePlayerMode = 0;        // 0 "ZEZOD", 1 "TACTICAL"
    // The missions the chosen campaign offers, and their display names.
    std::vector<EngineString> missionFiles;
    std::vector<EngineString> missionNames;
    s32_t lastMissionIndex = -1;
    std::vector<EngineString> quickMissions;
    // The offered mission that plays next, and whether it ends the chronology.
    EngineString currentMission;
    bool finalMission = false;
};
