// The restart information: a snapshot of every actor, weapon (magazines full) and vehicle taken once
// the mission is loaded, applied by each restart of the mission. It stays in memory.
#pragma once
#include <vector>

#include "core/types.h"
#include "world/objects/saved_object_state.h"

struct RestartInfo {
    bool valid = false;
    float viewPosition[3] = {};
    float viewYaw = 0.0f;
    float viewPitch = 0.0f;
    std::vector<SavedObjectState> records;  // actors, then weapons, then vehicles
};
extern RestartInfo g_restartInfo;

// Takes the snapshot (a new one replaces the old).
void RestartInfoSave();
// Applies the snapshot: 0 when none was taken, else 1. The snapshot stays.
int RestartInfoLoad();
// Leaving the mission: the snapshot goes.
void RestartInfoFree();
