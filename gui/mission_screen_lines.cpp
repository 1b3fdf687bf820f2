#include "gui/mission_screen_lines.h"

#include <string>

#include "core/console_var.h"
#include "gui/game_screen_lists.h"
#include "gui/gui.h"
#include "gui/gui_list_box.h"
#include "gui/screen_manager.h"
#include "platform/win32.h"

MissionScreenRecord g_missionScreen;

void GuiClearObjectives(const char* listName)
{
    ++g_missionScreen.objectiveClears;
    if (GuiListBox* list = GuiFindLoadedList("OBJECTIVES", listName))
        GuiEmptyList(*list);
}

void GuiAddObjective(const char* listName, const char* textKey, const u32_t* colour)
{
    ++g_missionScreen.objectivesAdded;
    g_missionScreen.lastObjective = listName;
    GuiListBox* list = GuiFindLoadedList("OBJECTIVES", listName);
    if (!list || !textKey)
        return;
    const ConsoleVar* languageVar = CVarListFind("language");
    const ConsoleVar* mapVar = CVarListFind("dsmap");
    const std::string path = std::string("locale\\") + (languageVar ? languageVar->String() : "") + "\\" +
                             (mapVar ? mapVar->String() : "") + ".asc";
    const char* text = DefScriptGetText(path.c_str(), textKey);
    list->AddString(text ? text : textKey);
    list->AddItemData(colour ? *colour : list->textColour);
}

void GuiAddRecord(s32_t time)
{
    ++g_missionScreen.records;
    g_missionScreen.lastRecordTime = time;
    // The game frame shows the armed record once 5 s have passed.
    g_gui.recordDue = 1;
    g_gui.recordStamp = GetTickCount();
    g_gui.recordDuration = time > 0 ? u32_t(time) : 0;
}

void GuiAddResponse(s32_t time)
{
    ++g_missionScreen.responses;
    g_missionScreen.lastResponseTime = time;
}

void MissionScreenReset()
{
    g_missionScreen = MissionScreenRecord();
}
