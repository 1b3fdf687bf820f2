// The mission's event handlers of "mission.hnd": named handlers with member variables, an optional
// time-out and bodies for some of the 15 handler events. A handler read from the file is a template,
// kept in the handler list in file order; an object that binds a handler gets its own compiled
// instance of it. A handler may take its events from a parent handler, and remap one event to
// another handler's event.
#pragma once
#include "ai/script/named_values.h"
#include "core/strings/engine_string.h"
#include "core/types.h"

class ScriptEvent;
class ScriptObject;

constexpr s32_t HANDLER_EVENT_SLOTS = 64;
constexpr s32_t HANDLER_EVENT_NAME_COUNT = 15;
constexpr s32_t HANDLER_LIST_CAPACITY = 500;
constexpr s32_t HANDLER_MEMBER_CAPACITY = 100;

// The index of a handler event name ("OnCollision" 0 ... "OnHide" 14; exact), or -1.
s32_t HandlerEventIndex(const char* name);
// The name of a handler event index; null outside 0-14.
const char* HandlerEventName(s32_t index);

class EventHandler {
public:
    // A template: its definition line is the script line now, which the log tells.
    explicit EventHandler(const char* handlerName);
    // Deletes the events its own body compiled; slots filled from a parent or a remap belong to
    // their handlers.
    ~EventHandler();
    EventHandler(const EventHandler&) = delete;
    EventHandler& operator=(const EventHandler&) = delete;

    // A new, uncompiled instance of the template: its name, definition line and body start, with
    // empty slots and a member table of its own; null without a template.
    static EventHandler* CreateInstance(EventHandler* from);

    // One more or one less user, on this handler and on the template it was made from.
    void AddRef();
    void Release();
    bool IsReferenced() const { return references > 0; }

    NamedValueTable* GetMembers() { return &members; }
    // The time-out when set, else -1.
    s32_t GetTimeout() const { return timeoutSet ? timeout : -1; }
    void SetTimeout(s32_t value);
    // Stores an event the handler's own body compiled (owned); a later one of the same slot replaces
    // it. Nothing outside slots 0-63 (the event is deleted then).
    void SetEvent(s32_t index, ScriptEvent* event);
    // The slot takes the other handler's event of the other index when inheritance is resolved.
    void SetEventRemap(s32_t index, EventHandler* other, s32_t otherIndex);
    // The event a firing of the slot runs; null for an empty slot or outside 0-63.
    ScriptEvent* GetEvent(s32_t index) const;
    void SetParent(EventHandler* handler) { parent = handler; }
    EventHandler* GetParent() const { return parent; }
    bool IsCompiled() const { return compiled != 0; }
    bool HasBody() const { return bodyStart != nullptr; }
    s32_t GetDefinitionLine() const { return definitionLine; }
    EventHandler* GetTemplate() const { return templateOf; }
    const char* Name() const { return name.Text(); }

    EngineString name;
    // The '{' of the body in the loaded text of "mission.hnd"; null while only declared.
    const char* bodyStart = nullptr;
    s32_t bodyLine = 0;  // the script line of the body's '{'
    s32_t definitionLine = 0;
    s32_t timeout = -1;
    u8_t timeoutSet = 0;
    u8_t compiled = 0;
    // Set when the template's own compile ran, so that a failed one is not tried a second time.
    u8_t compileTried = 0;
    u32_t references = 0;

private:
    friend bool ResolveHandlerInheritance(EventHandler* handler);
    struct Remap {
        EventHandler* handler = nullptr;
        s32_t index = -1;
    };
    EventHandler() = default;

    ScriptEvent* events[HANDLER_EVENT_SLOTS] = {};
    ScriptEvent* ownEvents[HANDLER_EVENT_SLOTS] = {};  // what this handler's body compiled
    Remap remaps[HANDLER_EVENT_SLOTS];
    EventHandler* parent = nullptr;
    EventHandler* templateOf = nullptr;
    NamedValueTable members{HANDLER_MEMBER_CAPACITY};
};

// The handler templates in file order; owning. Adding a listed handler gives its index; a full list
// refuses (-1).
class EventHandlerList {
public:
    explicit EventHandlerList(s32_t listCapacity);
    ~EventHandlerList();
    EventHandlerList(const EventHandlerList&) = delete;
    EventHandlerList& operator=(const EventHandlerList&) = delete;

    s32_t Add(EventHandler* handler);
    // The first handler of exactly that name (case counts); null when none.
    EventHandler* Find(const char* name) const;
    s32_t Count() const { return count; }
    EventHandler* At(s32_t index) const { return index >= 0 && index < count ? handlers[index] : nullptr; }

private:
    s32_t count = 0;
    s32_t capacity = 0;
    EventHandler** handlers = nullptr;
};

// The mission's handler list; null until made.
EventHandlerList* HandlerList();
// Makes an empty handler list (capacity 500) when there is none.
void HandlerListCreate();
// Appends a template to the handler list (made when missing), which owns it from then on; -1 (the
// handler deleted) when the list is full.
s32_t EventHandlerListAdd(EventHandler* handler);
// The template of exactly that name (case counts); null when none.
EventHandler* EventHandlerFind(const char* name);
// Deletes the handler list with every template.
void EventHandlerListFreeAll();

// Lets go of the handler an object had bound: one reference less; an instance, which belongs to the
// object that bound it, is deleted, while a template stays with the handler list.
void EventHandlerUnbind(EventHandler* handler);

// The object that handler templates' "this" calls reach: the game sets it to the acting object
// before it runs a template's event.
void HandlerSetEventObject(ScriptObject* object);
ScriptObject* HandlerEventObject();
// The address of that object variable, which templates compile as their "this".
ScriptObject** HandlerEventObjectVariable();
