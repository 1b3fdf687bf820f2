#include "ai/envelopes/event_handlers.h"

#include <cstring>

#include "ai/soldier/ai_log.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/rules/script_events.h"
#include "ai/script/script_lexer.h"

namespace {

const char* const kEventNames[HANDLER_EVENT_NAME_COUNT] = {
    "OnCollision", "OnHit",     "OnInit",  "OnDestroy", "OnTrace",   "OnEnter", "OnLeave", "OnPickup",
    "OnInteract",  "OnTimeout", "OnFrame", "OnEnable",  "OnDisable", "OnShow",  "OnHide",
};

bool InSlots(s32_t index)
{
    return index >= 0 && index < HANDLER_EVENT_SLOTS;
}

}  // namespace

s32_t HandlerEventIndex(const char* name)
{
    if (!name)
        return -1;
    for (s32_t i = 0; i < HANDLER_EVENT_NAME_COUNT; ++i) {
        if (std::strcmp(kEventNames[i], name) == 0)
            return i;
    }
    return -1;
}

const char* HandlerEventName(s32_t index)
{
    return index >= 0 && index < HANDLER_EVENT_NAME_COUNT ? kEventNames[index] : nullptr;
}

EventHandler::EventHandler(const char* handlerName) : definitionLine(ScriptLine())
{
    name.Assign(handlerName ? handlerName : "");
    AILogPrintf("Handler '%s' defined at line %d\n", name.Text(), definitionLine);
}

EventHandler::~EventHandler()
{
    for (ScriptEvent*& event : ownEvents) {
        delete event;
        event = nullptr;
    }
}

EventHandler* EventHandler::CreateInstance(EventHandler* from)
{
    if (!from)
        return nullptr;
    auto* instance = new EventHandler();
    instance->name.Assign(from->name.Text());
    instance->definitionLine = from->definitionLine;
    instance->bodyStart = from->bodyStart;
    instance->bodyLine = from->bodyLine;
    instance->templateOf = from;
    return instance;
}

void EventHandler::AddRef()
{
    for (EventHandler* handler = this; handler; handler = handler->templateOf)
        ++handler->references;
}

void EventHandler::Release()
{
    for (EventHandler* handler = this; handler; handler = handler->templateOf) {
        if (handler->references > 0)
            --handler->references;
    }
}

void EventHandler::SetTimeout(s32_t value)
{
    timeout = value;
    timeoutSet = 1;
}

void EventHandler::SetEvent(s32_t index, ScriptEvent* event)
{
    if (!InSlots(index)) {
        delete event;
        return;
    }
    if (ownEvents[index] != event)
        delete ownEvents[index];
    ownEvents[index] = event;
    events[index] = event;
}

void EventHandler::SetEventRemap(s32_t index, EventHandler* other, s32_t otherIndex)
{
    if (!InSlots(index) || !InSlots(otherIndex))
        return;
    remaps[index].handler = other;
    remaps[index].index = otherIndex;
}

ScriptEvent* EventHandler::GetEvent(s32_t index) const
{
    return InSlots(index) ? events[index] : nullptr;
}

EventHandlerList::EventHandlerList(s32_t listCapacity)
    : capacity(listCapacity > 0 ? listCapacity : 0), handlers(new EventHandler*[capacity > 0 ? capacity : 1]())
{}

EventHandlerList::~EventHandlerList()
{
    for (s32_t i = 0; i < count; ++i)
        delete handlers[i];
    delete[] handlers;
}

s32_t EventHandlerList::Add(EventHandler* handler)
{
    if (!handler)
        return -1;
    for (s32_t i = 0; i < count; ++i) {
        if (handlers[i] == handler)
            return i;
    }
    if (count >= capacity)
        return -1;
    handlers[count] = handler;
    return count++;
}

EventHandler* EventHandlerList::Find(const char* name) const
{
    const char* wanted = name ? name : "";
    for (s32_t i = 0; i < count; ++i) {
        if (std::strcmp(handlers[i]->Name(), wanted) == 0)
            return handlers[i];
    }
    return nullptr;
}

EventHandlerList* HandlerList()
{
    return g_ai.eventHandlers;
}

void HandlerListCreate()
{
    if (!g_ai.eventHandlers)
        g_ai.eventHandlers = new EventHandlerList(HANDLER_LIST_CAPACITY);
}

s32_t EventHandlerListAdd(EventHandler* handler)
{
    if (!handler)
        return -1;
    HandlerListCreate();
    const s32_t index = g_ai.eventHandlers->Add(handler);
    if (index < 0)
        delete handler;
    return index;
}

EventHandler* EventHandlerFind(const char* name)
{
    return g_ai.eventHandlers ? g_ai.eventHandlers->Find(name) : nullptr;
}

void EventHandlerListFreeAll()
{
    // Envelopes still bound let go first: their instances point at templates about to go, and a
    // later binding or the envelope's end would release a freed template.
    const auto letGo = [](Envelope* envelope) {
        if (envelope && envelope->handler) {
            EventHandlerUnbind(envelope->handler);
            envelope->handler = nullptr;
        }
    };
    for (Envelope* envelope : g_ai.envelopes)
        letGo(envelope);
    letGo(g_ai.playerEnvelope);
    letGo(g_ai.teskEnvelope);
    delete g_ai.eventHandlers;
    g_ai.eventHandlers = nullptr;
}

void EventHandlerUnbind(EventHandler* handler)
{
    if (!handler)
        return;
    handler->Release();
    if (handler->GetTemplate())
        delete handler;
}

void HandlerSetEventObject(ScriptObject* object)
{
    g_ai.handlerEventObject = object;
}

ScriptObject* HandlerEventObject()
{
    return g_ai.handlerEventObject;
}

ScriptObject** HandlerEventObjectVariable()
{
    return &g_ai.handlerEventObject;
}
