#include "ai/envelope.h"

#include "actors/actor.h"
#include "ai/ai_state.h"
#include "world/dynamic_object.h"

void DOEnvelope::Attach(DynamicObject* target)
{
    object = target;
    if (target)
        target->envelope = this;
}

Vector3 DOEnvelope::GetPosition() const
{
    return object ? object->GetPosition() : position;
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

void EnvelopeTableDeleteAll()
{
    for (Envelope*& entry : g_ai.envelopes) {
        delete entry;
        entry = nullptr;
    }
}
