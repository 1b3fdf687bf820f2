// What rule scripts put on the mission screen: the objectives list, records and responses. The
// mission screen builds them out; until then the calls are recorded.
#pragma once
#include "core/types.h"

// The front end's time for a record or response given without one (milliseconds).
constexpr s32_t GUI_DEFAULT_LINE_TIME = 1500;

struct MissionScreenRecord {
    s32_t objectiveClears = 0;
    s32_t objectivesAdded = 0;
    const char* lastObjective = nullptr;  // not copied
    s32_t records = 0;
    s32_t lastRecordTime = 0;
    s32_t responses = 0;
    s32_t lastResponseTime = 0;
};

extern MissionScreenRecord g_missionScreen;

void GuiClearObjectives();
void GuiAddObjective(const char* objective);
void GuiAddRecord(s32_t time);
void GuiAddResponse(s32_t time);
void MissionScreenReset();
