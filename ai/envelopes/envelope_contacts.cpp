#include "ai/envelopes/envelope_contacts.h"

#include "actors/actor.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_retire.h"
#include "core/frame_view.h"
#include "map/registry/world_registry.h"

namespace {

bool TakesPart(Envelope* envelope)
{
    return !envelope->disabled && !envelope->IsDestroyedState();
}

s32_t Test(Envelope* moving, Envelope* other)
{
    switch (other->kind) {
        case ENVELOPE_KIND_OBJECT:
            return moving->Overlaps(other);
        case ENVELOPE_KIND_BOX:
            return moving->OverlapsBox(other);
        case ENVELOPE_KIND_POINT:
            return moving->TestAgainstPoint(other);
        default:
            return 0;
    }
}

}  // namespace

void EnvelopeTestContacts(Envelope* moving)
{
    if (!moving || !TakesPart(moving))
        return;
    // A handler may take either side away (a soldier's "OnCollision" taking the weapon it touches):
    // both stay valid until the pass of this envelope is over, and one taken away hears no more.
    const EnvelopeEventScope scope;
    for (Envelope* other : g_ai.envelopes) {
        if (EnvelopeRetired(moving))
            return;
        if (!other || other == moving || !TakesPart(other))
            continue;
        if (Test(moving, other) != ENVELOPE_HIT)
            continue;
        moving->FireEvent(other, ENVELOPE_EVENT_ON_COLLISION);
        if (!EnvelopeRetired(other) && !EnvelopeRetired(moving))
            other->FireEvent(moving, ENVELOPE_EVENT_ON_COLLISION);
    }
}

void EnvelopeUpdateContacts()
{
    DynamicObject* player = g_frameView.player;
    if (player)
        EnvelopeTestContacts(player->envelope);
    // A handler may take actors out of the table: the count is read anew for each.
    for (u32_t i = 0; i < ActorTableCount(); ++i) {
        Actor* actor = ActorTableGet(i);
        if (actor && actor != player)
            EnvelopeTestContacts(actor->envelope);
    }
}
