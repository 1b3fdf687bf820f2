#include "gui/mission_screen_lines.h"

#include "gui/gui.h"
#include "platform/win32.h"

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
