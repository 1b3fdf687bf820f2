#include "gui/screens/mission_screen_lines.h"

#include <string>

#include "core/console/console_var.h"
#include "gui/screens/game_screen_lists.h"
#include "gui/screens/gui.h"
#include "gui/lists/gui_list_box.h"
#include "gui/screens/screen_manager.h"
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

void MissionScreenReset()
{
    g_missionScreen = MissionScreenRecord();
}
