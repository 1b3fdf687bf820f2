#include "ai/ai_interface.h"

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "actors/tesk_actor.h"
#include "ai/ai_state.h"
#include "core/assert.h"
#include "core/random.h"
#include "platform/win32.h"

AIInterface::AIInterface(bool teskBody)
{
    outOfPlay = 0;
    dormant = 1;
    body = teskBody ? new TeskActor() : new Actor();
    entity = new AIEntity(body);
    dormancyJitter = EngineRand() % 500;
    lastDormancyCheck = 0;
    body->ai = this;
    if (entity->team == 0)
        dormant = 0;
    ENGINE_ASSERT_TEXT(g_ai.interfaceCount < MAX_AI_INTERFACES, "aii_c <= MAX_AI_INTERFACES");
    g_ai.interfaces[g_ai.interfaceCount++] = this;
}

AIInterface::~AIInterface()
{
    AIRemoveInterface(this);
    delete entity;
    entity = nullptr;
    if (body && body->ai == this)
        body->ai = nullptr;
    body = nullptr;
}

s32_t AIInterface::SetScriptFile(const char* name)
{
    scriptFile.Assign(name);
    return 1;
}

void AIInterface::ResetState()
{
    lockedTarget = nullptr;
    defendPoint = nullptr;
    randomMoveRequest = 0;
    jinkActive = 0;
    jinkSide = 0;
    legInjured = 0;
    movementMode = 1;
    if (entity) {
        entity->inAlert = 0;
        entity->lastAlertTick = 0;
    }
}

void AIInterface::SetAlertMode()
{
    if (!entity)
        return;
    entity->inAlert = 1;
    entity->lastAlertTick = GetTickCount();
    entity->patrolAllowed = 0;
    entity->currentPatrolPath = nullptr;
}

void AIInterface::ResetAlertMode()
{
    alertStateByte = 0;
    if (!entity)
        return;
    entity->inAlert = 0;
    entity->patrolAllowed = 1;
    entity->currentPatrolPath = entity->assignedPatrolPath;
}

u32_t AIRemoveInterface(AIInterface* interface)
{
    for (u32_t i = 0; i < g_ai.interfaceCount; ++i) {
        if (g_ai.interfaces[i] != interface)
            continue;
        --g_ai.interfaceCount;
        g_ai.interfaces[i] = g_ai.interfaces[g_ai.interfaceCount];
        g_ai.interfaces[g_ai.interfaceCount] = nullptr;
        return i;
    }
    return g_ai.interfaceCount;
}

void AIDisableInterface(AIInterface* interface)
{
    if (interface)
        interface->outOfPlay = 1;
}
