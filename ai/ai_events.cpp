#include "ai/ai_events.h"

AIEventState g_aiEvents;

void AIRaiseEventInRadius(s32_t kind, const Vector3& position, float radius, DynamicObject* source, s32_t)
{
    g_aiEvents.last = {kind, position, radius, source};
    ++g_aiEvents.raised;
}

void AIEventsClear()
{
    g_aiEvents = AIEventState{};
}
