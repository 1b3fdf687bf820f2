#include "gui/mission_screen_lines.h"

MissionScreenRecord g_missionScreen;

void GuiClearObjectives()
{
    ++g_missionScreen.objectiveClears;
}

void GuiAddObjective(const char* objective)
{
    ++g_missionScreen.objectivesAdded;
    g_missionScreen.lastObjective = objective;
}

void MissionScreenReset()
{
    g_missionScreen = MissionScreenRecord();
}
