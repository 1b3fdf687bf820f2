// The object envelope's mission-script methods. Their arguments are MSAL cells (ai/msal/msal_cell.h); a
// method that finishes its command completes it through the runner's record. Only an actor's
// envelope acts on them: on any other object the command never completes.
#include "actors/actor.h"
#include "ai/soldier/ai_interface.h"
#include "ai/envelopes/envelope.h"
#include "ai/msal/msal_cell.h"
#include "ai/envelopes/zone_envelope.h"
#include "core/console/console.h"
#include "core/random.h"

namespace {

// A uniform value in [low, high).
float UniformBelow(float low, float high)
{
    return low + (high - low) * (static_cast<float>(EngineRand()) / (ENGINE_RAND_MAX + 1.0f));
}

// Calls an interface method that reads an integer argument with the cell's value as an integer (a
// float cell handed on as it is would be read as the float's bits).
void CallWithInt(AIInterface* ai, void (ScriptObject::*method)(ScriptArgWord*), MSALCell cell)
{
    s32_t value = cell.AsInt();
    ScriptArgWord word = &value;
    (ai->*method)(&word);
}

}  // namespace

void DOEnvelope::MSALMoveTo(ScriptArgWord* args)
{
    Actor* actor = BoundActor();
    Envelope* target = MSALArg(args, 0).AsEnvelope();
    if (!actor || !target)
        return;
    const Vector3 offset = {UniformBelow(-30.0f, 30.0f), 0.0f, UniformBelow(-30.0f, 30.0f)};
    if (target->kind == ENVELOPE_KIND_OBJECT) {
        actor->MoveToEnvelope(offset, static_cast<DOEnvelope*>(target));
    } else {
        // An envelope without an object to follow: its place with the offset.
        const Vector3 at = target->GetPosition();
        actor->MoveTo({at.x + offset.x, at.y + offset.y, at.z + offset.z});
    }
}

void DOEnvelope::MSALMoveToPt(ScriptArgWord* args)
{
    Actor* actor = BoundActor();
    if (!actor || !args)
        return;
    Envelope* relative = MSALArg(args, 0).AsEnvelope();
    const Vector3 point = {MSALArg(args, 1).AsFloat(), MSALArg(args, 2).AsFloat(), MSALArg(args, 3).AsFloat()};
    if (relative && relative->kind == ENVELOPE_KIND_OBJECT) {
        actor->MoveToEnvelope(point, static_cast<DOEnvelope*>(relative));
    } else if (relative) {
        const Vector3 at = relative->GetPosition();
        actor->MoveTo({at.x + point.x, at.y + point.y, at.z + point.z});
    } else {
        actor->MoveTo(point);
    }
}

void DOEnvelope::MSALUse(ScriptArgWord* args)
{
    Envelope* used = MSALArg(args, 0).AsEnvelope();
    if (!BoundActor() || !used)
        return;
    used->FireEvent(this, ENVELOPE_EVENT_ON_INTERACT);
    ::ConPrint(0, "'%s': object used!\n", object->name.Text());
    CompleteMSALCommand();
}

void DOEnvelope::MSALTake(ScriptArgWord* args)
{
    Actor* actor = BoundActor();
    Envelope* taken = MSALArg(args, 0).AsEnvelope();
    if (!actor || !taken || taken->kind != ENVELOPE_KIND_OBJECT)
        return;
    DynamicObject* item = static_cast<DOEnvelope*>(taken)->object;
    if (!item)
        return;
    actor->TakeItem(item);
    ::ConPrint(0, "'%s': object taken!\n", displayName.Length() > 0 ? displayName.Text() : actor->name.Text());
    CompleteMSALCommand();
}

void DOEnvelope::MSALEliminate(ScriptArgWord* args)
{
    Envelope* zone = MSALArg(args, 0).AsEnvelope();
    if (!BoundActor() || !zone || zone->kind != ENVELOPE_KIND_ZONE)
        return;
    targetZone = static_cast<ZoneEnvelope*>(zone);
    if (targetZone->HasLivingActor())
        return;
    CompleteMSALCommand();
    Say("messages._gm_sector_clear");
    targetZone = nullptr;
}

void DOEnvelope::MSALSetPoseMode(ScriptArgWord* args)
{
    Actor* actor = BoundActor();
    if (!actor || !actor->ai)
        return;
    CallWithInt(actor->ai, &ScriptObject::SetPoseMode, MSALArg(args, 0));
    CompleteMSALCommand();
}

void DOEnvelope::MSALSetMovementMode(ScriptArgWord* args)
{
    Actor* actor = BoundActor();
    if (!actor || !actor->ai)
        return;
    CallWithInt(actor->ai, &ScriptObject::SetMovementMode, MSALArg(args, 0));
    CompleteMSALCommand();
}

void DOEnvelope::MSALFireObjectEvent(ScriptArgWord* args)
{
    Envelope* target = MSALArg(args, 0).AsEnvelope();
    if (!BoundActor() || !target)
        return;
    // The index arrives as a float cell: as an integer, or event 8 could never be fired.
    target->FireEvent(this, MSALArg(args, 1).AsInt());
    CompleteMSALCommand();
}
