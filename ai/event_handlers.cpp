#include "ai/event_handlers.h"

#include <cstring>
#include <vector>

namespace {

std::vector<EventHandler*> g_handlers;

}  // namespace

void EventHandlerListAdd(EventHandler* handler)
{
    if (handler)
        g_handlers.push_back(handler);
}

EventHandler* EventHandlerFind(const char* name)
{
    for (EventHandler* handler : g_handlers) {
        if (std::strcmp(handler->name.Text(), name ? name : "") == 0)
            return handler;
    }
    return nullptr;
}

u32_t EventHandlerListCount()
{
    return static_cast<u32_t>(g_handlers.size());
}

void EventHandlerListFreeAll()
{
    for (EventHandler* handler : g_handlers)
        delete handler;
    g_handlers.clear();
}
