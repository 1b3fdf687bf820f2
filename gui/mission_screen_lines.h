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

// Empties the list of that name on the screen "OBJECTIVES".
void GuiClearObjectives(const char* listName = nullptr);
// Appends to that list the text of the key in the mission's locale texts ("locale\" + language +
// "\" + dsmap + ".asc"; the key itself while there is no such text), coloured by the colour given
// (the list's text colour without one).
void GuiAddObjective(const char* listName, const char* textKey = nullptr, const u32_t* colour = nullptr);
void GuiAddRecord(s32_t time);
void GuiAddResponse(s32_t time);
void MissionScreenReset();
