#include "ai/envelopes/envelope.h"

#include "game/player/command_menu.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "actors/actor.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope_retire.h"
#include "ai/envelopes/event_handlers.h"
#include "ai/rules/script_events.h"
#include "world/objects/dynamic_object.h"

EnvelopeObjectList::EnvelopeObjectList(u32_t listCapacity)
    : items(listCapacity ? new DynamicObject*[listCapacity]() : nullptr), capacity(listCapacity)
{}

EnvelopeObjectList::~EnvelopeObjectList()
{
    delete[] items;
}

bool EnvelopeObjectList::Add(DynamicObject* object)
{
    if (!object || count >= capacity)
        return false;
    items[count++] = object;
    return true;
}

namespace {

// The handler events running (and the scopes held), and the envelopes retired meanwhile.
u32_t g_eventDepth = 0;
std::vector<Envelope*> g_retired;

}  // namespace

Envelope::Envelope() = default;

Envelope::~Envelope()
{
    // A shared handler's "this" must not lead to a deleted envelope.
    if (g_ai.handlerEventObject == this)
        g_ai.handlerEventObject = nullptr;
    // Deleted directly while retired (the whole table at mission end): not a second time.
    if (!g_retired.empty())
        g_retired.erase(std::remove(g_retired.begin(), g_retired.end(), this), g_retired.end());
    if (inGlobalObjects) {
        // The global table keeps no pointer to a deleted envelope: a later lookup finds the name
        // without an object.
        if (NamedValueTable* globals = ScriptGlobalObjects()) {
            ScriptValue* value = globals->Find(name.Text());
            if (value && value->data == this)
                value->data = nullptr;
        }
    }
    // One reference less: an instance bound here is deleted, a loaded handler stays with its list.
    EventHandlerUnbind(handler);
    handler = nullptr;
    delete objectList;
    objectList = nullptr;
    std::free(children);
    children = nullptr;
}

void Envelope::IsDestroyed(ScriptArgWord*)
{
    g_scriptResult.asBool = destroyed;
}

void Envelope::IsVisible(ScriptArgWord*)
{
    g_scriptResult.asBool = visible;
}

void Envelope::IsPlayer(ScriptArgWord*)
{
    g_scriptResult.asBool = 0;
}

void Envelope::Destroy(ScriptArgWord*)
{
    destroyed = 1;
    disabled = 1;
}

void Envelope::Disable(ScriptArgWord*)
{
    disabled = 1;
}

void Envelope::Enable(ScriptArgWord*)
{
    disabled = 0;
}

void Envelope::Show(ScriptArgWord*)
{
    visible = 1;
}

void Envelope::Hide(ScriptArgWord*)
{
    visible = 0;
}

void Envelope::ExecMenuItem(ScriptArgWord* args)
{
    // The command menu's item of that index, its target picked by the item's mode.
    if (args && args[0])
        InteractExecuteItem(*static_cast<const s32_t*>(args[0]), this);
}

void Envelope::Slot87(ScriptArgWord*)
{
    g_scriptResult.asBool = disabled;
}

void Envelope::SetDisplayName(const char* text)
{
    displayName.Assign(text ? text : "");
}

bool Envelope::Interact()
{
    ScriptEvent* interact = HandlerEvent(ENVELOPE_EVENT_ON_INTERACT);
    if (!interact)
        return false;
    // The waiters are what the event has queued; its first firing runs each once and empties them.
    const bool queued = interact->WaiterCount() > 0;
    FireEvent(nullptr, ENVELOPE_EVENT_ON_INTERACT);
    return queued;
}

void Envelope::AddChild(Envelope* child)
{
    void* grown = std::realloc(children, sizeof(Envelope*) * (childCount + 1));
    if (!grown)
        return;
    children = static_cast<Envelope**>(grown);
    children[childCount++] = child;
}

EnvelopeObjectList* Envelope::CreateObjectList(u32_t capacity)
{
    if (!objectList)
        objectList = new EnvelopeObjectList(capacity);
    return objectList;
}

void Envelope::CompleteMSALCommand()
{
    if (!msalNotifyPending || !msalCompletion || !msalCompletion->function || !msalCompletion->runner)
        return;
    msalCompletion->function(msalCompletion->runner);
}

void Envelope::EnterGlobalObjects()
{
    NamedValueTable* globals = ScriptGlobalObjects();
    if (!globals || name.Length() == 0)
        return;
    // The first envelope of a name keeps it (the table refuses a name already there).
    if (globals->AddObject(name.Text(), static_cast<ScriptObject*>(this)))
        inGlobalObjects = true;
}

bool EnvelopeActorAlive(const Envelope* envelope)
{
    if (!envelope || envelope->kind != ENVELOPE_KIND_OBJECT)
        return false;
    const DynamicObject* object = static_cast<const DOEnvelope*>(envelope)->object;
    return object && object->GetTypeId() == OBJECT_TYPE_ACTOR && !static_cast<const Actor*>(object)->isDead;
}

s32_t EnvelopeRegister(Envelope* envelope)
{
    if (!envelope)
        return -1;
    s32_t freeSlot = -1;
    for (u32_t slot = 0; slot < ENVELOPE_TABLE_SLOTS; ++slot) {
        if (g_ai.envelopes[slot] == envelope)
            return static_cast<s32_t>(slot);
        if (!g_ai.envelopes[slot] && freeSlot < 0)
            freeSlot = static_cast<s32_t>(slot);
    }
    if (freeSlot >= 0)
        g_ai.envelopes[freeSlot] = envelope;
    return freeSlot;
}

void EnvelopeUnregister(Envelope* envelope)
{
    for (Envelope*& entry : g_ai.envelopes) {
        if (entry == envelope)
            entry = nullptr;
    }
}

void EnvelopeRetire(Envelope* envelope)
{
    if (!envelope)
        return;
    EnvelopeUnregister(envelope);
    if (g_eventDepth == 0) {
        delete envelope;
        return;
    }
    if (!EnvelopeRetired(envelope))
        g_retired.push_back(envelope);
}

bool EnvelopeRetired(const Envelope* envelope)
{
    return std::find(g_retired.begin(), g_retired.end(), envelope) != g_retired.end();
}

EnvelopeEventScope::EnvelopeEventScope()
{
    ++g_eventDepth;
}

EnvelopeEventScope::~EnvelopeEventScope()
{
    if (g_eventDepth > 0)
        --g_eventDepth;
    while (g_eventDepth == 0 && !g_retired.empty()) {
        Envelope* envelope = g_retired.back();
        g_retired.pop_back();
        delete envelope;
    }
}

void EnvelopeTableDeleteAll()
{
    for (Envelope*& entry : g_ai.envelopes) {
        Envelope* envelope = entry;
        entry = nullptr;
        delete envelope;
    }
}
