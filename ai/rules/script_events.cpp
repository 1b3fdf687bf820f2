#include "ai/rules/script_events.h"

#include <cstring>

#include "ai/soldier/ai_log.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope_retire.h"
#include "ai/envelopes/event_handlers.h"
#include "ai/rules/rule_actions.h"
#include "ai/rules/rule_compiler.h"
#include "ai/script/script_lexer.h"
#include "ai/script/source_files.h"
#include "core/files/vfs.h"

ScriptEvent::ScriptEvent(const char* eventName) : name(ScriptCopyText(eventName))
{
    values.AddObjectRef("sender", &sender);
    values.AddPointer("data", &data);
}

ScriptEvent::~ScriptEvent()
{
    delete action;
    ScriptFreeText(name);
}

void ScriptEvent::SetAction(ActionBlock* block)
{
    if (block == action)
        return;
    delete action;
    action = block;
}

void ScriptEvent::Fire(ScriptObject* fireSender, void* fireData)
{
    // An envelope the event takes away (the one it runs for among them) lives until it is over.
    const EnvelopeEventScope scope;
    sender = fireSender;
    data = fireData;
    if (action)
        action->Execute();
    if (fired)
        return;
    // Latched before the waiters run: a waiter that fires the event again does not run them twice.
    fired = 1;
    const s32_t n = waiterCount;
    waiterCount = 0;
    for (s32_t i = 0; i < n; ++i) {
        ScriptEventWaiter* waiter = waiters[i];
        waiters[i] = nullptr;
        if (waiter->callback && waiter->active)
            waiter->callback(waiter->target);
    }
}

void ScriptEvent::Subscribe(ScriptEventWaiter* waiter)
{
    if (!waiter)
        return;
    if (fired) {
        if (waiter->callback && waiter->active)
            waiter->callback(waiter->target);
        return;
    }
    for (s32_t i = 0; i < waiterCount; ++i) {
        if (waiters[i] == waiter)
            return;
    }
    if (waiterCount < kWaiterCapacity)
        waiters[waiterCount++] = waiter;
}

ScriptEventList::ScriptEventList(s32_t listCapacity)
    : capacity(listCapacity > 0 ? listCapacity : 0), events(new ScriptEvent*[capacity > 0 ? capacity : 1]())
{}

ScriptEventList::~ScriptEventList()
{
    for (s32_t i = 0; i < count; ++i)
        delete events[i];
    delete[] events;
}

ScriptEvent* ScriptEventList::Add(const char* name)
{
    if (count >= capacity)
        return nullptr;
    events[count] = new ScriptEvent(name);
    return events[count++];
}

bool ScriptEventList::Append(ScriptEvent* event)
{
    if (!event)
        return false;
    if (count >= capacity) {
        delete event;
        return false;
    }
    events[count++] = event;
    return true;
}

ScriptEvent* ScriptEventList::Find(const char* name) const
{
    if (!name)
        return nullptr;
    for (s32_t i = 0; i < count; ++i) {
        if (events[i]->name && std::strcmp(events[i]->name, name) == 0)
            return events[i];
    }
    return nullptr;
}

void ScriptCreateEventList()
{
    if (!g_ai.eventList)
        g_ai.eventList = new ScriptEventList(50);
}

void ScriptDestroyEventList()
{
    delete g_ai.eventList;
    g_ai.eventList = nullptr;
}

ScriptEventList* ScriptGlobalEventList()
{
    return g_ai.eventList;
}

bool ScriptParseEventFile(const char* text)
{
    SetCompileMemberTable(nullptr);
    const char* cursor = text;
    for (;;) {
        LexSkipBlanks(cursor);
        if (LexAtEnd(cursor))
            return true;
        char* word = nullptr;
        if (!LexReadIdentifier(cursor, &word)) {
            RULE_ERROR(cursor, "Expecting identifier but found");
            return false;
        }
        bool ok;
        if (std::strcmp(word, "Event") == 0) {
            ScriptEvent* event = ParseEventDefinition(cursor);
            ok = event != nullptr;
            if (event && g_ai.eventList)
                g_ai.eventList->Append(event);
            else
                delete event;
        } else {
            ok = DeclareGlobalVariable(word, cursor);
        }
        ScriptFreeText(word);
        if (!ok)
            return false;
    }
}

bool ScriptLoadEventFile(const char* path)
{
    char* text = VFSLoadTextFile(path);
    if (!text) {
        AILogPrintf("ERROR : file %snot open\n", path);
        return false;
    }
    SetScriptLine(1);
    ScriptParseEventFile(text);
    delete[] text;
    return true;
}

void ScriptDestroyRegistries()
{
    // The texts first: the templates only point into them.
    ScriptSourceFilesFree();
    EventHandlerListFreeAll();
}
