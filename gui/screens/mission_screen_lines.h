// What rule scripts put on the mission screen: the objectives list ("OBJECTIVES"). The calls are also
// counted for the tests (records and responses: gui/screens/gui_in_game.h).
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

// Empties the list of that name on the screen "OBJECTIVES".
void GuiClearObjectives(const char* listName = nullptr);
// Appends to that list the text of the key in the mission's locale texts ("locale\" + language +
// "\" + dsmap + ".asc"; the key itself while there is no such text), coloured by the colour given
// (the list's text colour without one).
void GuiAddObjective(const char* listName, const char* textKey = nullptr, const u32_t* colour = nullptr);
void MissionScreenReset();
