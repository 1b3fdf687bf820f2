#include "ai/event_handlers.h"

#include <cstring>

#include "ai/ai_state.h"

void EventHandlerListAdd(EventHandler* handler)
{
    if (!handler)
        return;
    if (g_ai.eventHandlerCount == g_ai.eventHandlerCapacity) {
        const u32_t capacity = g_ai.eventHandlerCapacity ? g_ai.eventHandlerCapacity * 2 : 8;
        EventHandler** grown = new EventHandler*[capacity]();
        for (u32_t i = 0; i < g_ai.eventHandlerCount; ++i)
            grown[i] = g_ai.eventHandlers[i];
        delete[] g_ai.eventHandlers;
        g_ai.eventHandlers = grown;
        g_ai.eventHandlerCapacity = capacity;
    }
    g_ai.eventHandlers[g_ai.eventHandlerCount++] = handler;
}

EventHandler* EventHandlerFind(const char* name)
{
    for (u32_t i = 0; i < g_ai.eventHandlerCount; ++i) {
        EventHandler* handler = g_ai.eventHandlers[i];
        if (std::strcmp(handler->name.Text(), name ? name : "") == 0)
            return handler;
    }
    return nullptr;
}

u32_t EventHandlerListCount()
{
    return g_ai.eventHandlerCount;
}

void EventHandlerListFreeAll()
{
    for (u32_t i = 0; i < g_ai.eventHandlerCount; ++i)
        delete g_ai.eventHandlers[i];
    delete[] g_ai.eventHandlers;
    g_ai.eventHandlers = nullptr;
    g_ai.eventHandlerCount = 0;
    g_ai.eventHandlerCapacity = 0;
}
