#include "ai/envelopes/envelope_table.h"

#include <cstring>

#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_markers.h"
#include "core/strings/text_case.h"
#include "map/registry/world_registry.h"
#include "world/objects/dynamic_object.h"

namespace {

// The envelope is about to be deleted: an object of the world that still names it forgets it.
// Objects taken out of the world are gone by now, so only the registry's are asked.
void ForgetInWorld(const Envelope* envelope)
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        if (objects[i] && (!envelope || objects[i]->envelope == envelope))
            objects[i]->envelope = nullptr;
    }
}

}  // namespace

DOEnvelope* EnvelopeGiveOutside(DOEnvelope** slot, DynamicObject* object, const char* name, const char* handlerName)
{
    if (*slot) {
        ForgetInWorld(*slot);
        delete *slot;
    }
    DOEnvelope* envelope = new DOEnvelope(name);
    envelope->handlerName.Assign(handlerName ? handlerName : "");
    envelope->Attach(object);
    if (object)
        object->envelope = envelope;
    *slot = envelope;
    return envelope;
}

Envelope* EnvelopeFind(const char* name)
{
    // The commanders' command points have no name: no name from a file may reach them.
    if (!name || !*name)
        return nullptr;
    const size_t length = std::strlen(name);
    for (Envelope* envelope : g_ai.envelopes) {
        if (envelope && envelope->name.Length() == length && CompareNoCase(envelope->name.Text(), name) == 0)
            return envelope;
    }
    return nullptr;
}

void EnvelopeResetAll()
{
    for (Envelope* envelope : g_ai.envelopes) {
        if (!envelope)
            continue;
        envelope->FireEvent(nullptr, ENVELOPE_EVENT_ON_INIT);
        envelope->SetDestroyedState(false);
    }
}

void EnvelopeFireFrameEvents()
{
    for (Envelope* envelope : g_ai.envelopes) {
        if (envelope && !envelope->disabled && !envelope->IsDestroyedState())
            envelope->FireEvent(nullptr, ENVELOPE_EVENT_ON_FRAME);
    }
}

void EnvelopeDestroyAll()
{
    // Every envelope goes: no object left in the world may keep one (an object that owns its
    // envelope would delete it a second time).
    ForgetInWorld(nullptr);
    EnvelopeTableDeleteAll();
    delete g_ai.playerEnvelope;
    g_ai.playerEnvelope = nullptr;
    delete g_ai.teskEnvelope;
    g_ai.teskEnvelope = nullptr;
    EnvelopeMarkersFree();
}
