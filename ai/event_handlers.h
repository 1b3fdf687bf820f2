// The loaded event handlers of a mission: named handlers that envelopes bind for their events,
// counted by their users. The list owns the handlers.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"

class EventHandler {
public:
    explicit EventHandler(const char* handlerName) { name.Assign(handlerName ? handlerName : ""); }

    // One more user of the handler.
    void AddRef() { ++references; }

    EngineString name;
    u32_t references = 1;
};

// Appends a handler to the loaded list, which owns it from then on.
void EventHandlerListAdd(EventHandler* handler);
// The first loaded handler whose name is exactly the text (case counts); null when none.
EventHandler* EventHandlerFind(const char* name);
u32_t EventHandlerListCount();
// Deletes every loaded handler.
void EventHandlerListFreeAll();
