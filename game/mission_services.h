// The mission services that rule scripts reach through global functions: the mission's outcome and
// objectives (the mission flow's commands and variables), and the linked camera, which until the
// camera work is built records what it is given.
#pragma once
#include "core/types.h"

struct MissionServiceRecord {
    s32_t cameraLinks = 0;
    s32_t cameraUnlinks = 0;
    const char* linkedCamera = nullptr;  // the camera name of the last link, not copied
};

extern MissionServiceRecord g_missionServices;

void GameAccomplishMission();
void GameFailMission();
// Numbers without an objective variable are ignored (and read as not complete).
void GameCompleteObjective(s32_t index);
bool GameIsObjectiveComplete(s32_t index);
void GameLinkCamera(const char* camera);
void GameUnlinkCamera();
void MissionServicesReset();
