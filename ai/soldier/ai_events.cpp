#include "ai/soldier/ai_events.h"

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "platform/win32.h"

AIEventState g_aiEvents;

namespace {

// A soldier that can hear nothing: out of play, without a body, or the source itself.
bool Deaf(const AIInterface* interface, const DynamicObject* source)
{
    return interface->outOfPlay || !interface->body || interface->body == source;
}

bool RecordsPosition(s32_t kind)
{
    return kind == AI_EVENT_IMPACT || kind == AI_EVENT_SHOT || kind == AI_EVENT_EXPLOSION;
}

}  // namespace

void AIRaiseEventInRadius(s32_t kind, const Vector3& position, float radius, DynamicObject* source,
                          AIInterface* sourceAI)
{
    g_aiEvents.last = {kind, position, radius, source, sourceAI, false};
    ++g_aiEvents.raised;
    const u32_t now = GetTickCount();
    for (u32_t i = 0; i < g_ai.interfaceCount; ++i) {
        AIInterface* interface = g_ai.interfaces[i];
        if (Deaf(interface, source))
            continue;
        // A friend's shots and impacts alarm nobody.
        if ((kind == AI_EVENT_IMPACT || kind == AI_EVENT_SHOT) && sourceAI && sourceAI->entity && interface->entity &&
            sourceAI->entity->IsFriendOf(interface->entity))
            continue;
        if (!AIIsNear(interface, position, radius))
            continue;
        interface->RaiseEvent(kind, now);
        if (RecordsPosition(kind))
            interface->SetEventPosition(position, kind);
    }
}

void AIRaiseEventInRadiusForTeam(s32_t kind, const Vector3& position, float radius, DynamicObject* source,
                                 AIInterface* sourceAI, bool skipEnemies)
{
    g_aiEvents.last = {kind, position, radius, source, sourceAI, skipEnemies};
    ++g_aiEvents.raised;
    const u32_t now = GetTickCount();
    for (u32_t i = 0; i < g_ai.interfaceCount; ++i) {
        AIInterface* interface = g_ai.interfaces[i];
        if (Deaf(interface, source))
            continue;
        if (skipEnemies && sourceAI && sourceAI->entity && interface->entity &&
            sourceAI->entity->IsEnemyOf(interface->entity))
            continue;
        if (AIIsNear(interface, position, radius))
            interface->RaiseEvent(kind, now);
    }
}

void AINotifyGrenade(const Vector3& position, float radius, DynamicObject* leftOut)
{
    g_aiEvents.lastGrenade = {position, radius, leftOut};
    ++g_aiEvents.grenades;
    for (u32_t i = 0; i < g_ai.interfaceCount; ++i) {
        AIInterface* interface = g_ai.interfaces[i];
        if (!Deaf(interface, leftOut) && AIIsNear(interface, position, radius))
            interface->SetGrenade(position);
    }
}

void AIEventsClear()
{
    g_aiEvents = AIEventState{};
}
