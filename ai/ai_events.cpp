#include "ai/ai_events.h"

AIEventState g_aiEvents;

void AIRaiseEventInRadius(s32_t kind, const Vector3& position, float radius, DynamicObject* source,
                          AIInterface* sourceAI)
{
    g_aiEvents.last = {kind, position, radius, source, sourceAI, false};
    ++g_aiEvents.raised;
}

void AIRaiseEventInRadiusForTeam(s32_t kind, const Vector3& position, float radius, DynamicObject* source,
                                 AIInterface* sourceAI, bool skipEnemies)
{
    g_aiEvents.last = {kind, position, radius, source, sourceAI, skipEnemies};
    ++g_aiEvents.raised;
}

void AINotifyGrenade(const Vector3& position, float radius, DynamicObject* leftOut)
{
    g_aiEvents.lastGrenade = {position, radius, leftOut};
    ++g_aiEvents.grenades;
}

void AIEventsClear()
{
    g_aiEvents = AIEventState{};
}
