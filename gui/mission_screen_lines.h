// What rule scripts put on the mission screen: the objectives list. The mission screen builds it
// out; until then the calls are recorded (records and responses: gui/gui_in_game.h).
#pragma once
#include "core/types.h"

// The front end's time for a record or response given without one (milliseconds).
constexpr s32_t GUI_DEFAULT_LINE_TIME = 1500;

struct MissionScreenRecord {
    s32_t objectiveClears = 0;
    s32_t objectivesAdded = 0;
    const char* lastObjective = nullptr;  // not copied
};

extern MissionScreenRecord g_missionScreen;

void GuiClearObjectives();
void GuiAddObjective(const char* objective);
void MissionScreenReset();
