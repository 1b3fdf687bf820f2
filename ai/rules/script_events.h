// Named script events: an event runs its action each time it fires and releases its waiters at the
// first firing only. The mission's events come from its "events.txt"; each rule set has its own list.
#pragma once
#include "ai/script/named_values.h"
#include "core/types.h"

class ActionBlock;
class ScriptObject;

// Something waiting for an event's first firing: its callback runs on the target while it is active.
struct ScriptEventWaiter {
    void (*callback)(void* target) = nullptr;
    void* target = nullptr;
    u8_t active = 1;
};

class ScriptEvent {
public:
    static constexpr s32_t kWaiterCapacity = 16;

    explicit ScriptEvent(const char* eventName);
    ~ScriptEvent();
    ScriptEvent(const ScriptEvent&) = delete;
    ScriptEvent& operator=(const ScriptEvent&) = delete;

    // Runs the action with the sender and data stored; the first firing also releases the waiters.
    void Fire(ScriptObject* fireSender, void* fireData);
    // Called at once when the event has fired already; else kept (once, while there is room).
    void Subscribe(ScriptEventWaiter* waiter);
    // Replaces the action (owned).
    void SetAction(ActionBlock* block);
    ActionBlock* Action() const { return action; }
    s32_t WaiterCount() const { return waiterCount; }
    // True when a waiter held for the next firing has that target.
    bool HasWaiterFor(const void* target) const
    {
        for (s32_t i = 0; i < waiterCount; ++i) {
            if (waiters[i] && waiters[i]->target == target)
                return true;
        }
        return false;
    }

    char* name = nullptr;  // owned; null for an unnamed event
    // "sender" (the address of `sender`) and "data" entries, for the event's body.
    NamedValueTable values{100};
    u8_t fired = 0;
    ScriptObject* sender = nullptr;
    void* data = nullptr;

private:
    ActionBlock* action = nullptr;
    ScriptEventWaiter* waiters[kWaiterCapacity] = {};
    s32_t waiterCount = 0;
};

class ScriptEventList {
public:
    explicit ScriptEventList(s32_t listCapacity);
    ~ScriptEventList();
    ScriptEventList(const ScriptEventList&) = delete;
    ScriptEventList& operator=(const ScriptEventList&) = delete;

    // A new event of that name; null (nothing stored) when the list is full.
    ScriptEvent* Add(const char* name);
    // Appends an event made elsewhere; false (and the event deleted) when the list is full.
    bool Append(ScriptEvent* event);
    ScriptEvent* Find(const char* name) const;
    s32_t Count() const { return count; }

private:
    s32_t capacity;
    s32_t count = 0;
    ScriptEvent** events;
};

// The mission's global event list (capacity 50).
void ScriptCreateEventList();
void ScriptDestroyEventList();
ScriptEventList* ScriptGlobalEventList();
// Reads "events.txt" at the path: true once the file was read, even when reading stopped early.
bool ScriptLoadEventFile(const char* path);
bool ScriptParseEventFile(const char* text);
// At mission end: the handler list and the source-file list go with everything they hold.
void ScriptDestroyRegistries();
