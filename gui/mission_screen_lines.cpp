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

void GuiAddRecord(s32_t time)
{
    ++g_missionScreen.records;
    g_missionScreen.lastRecordTime = time;
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
