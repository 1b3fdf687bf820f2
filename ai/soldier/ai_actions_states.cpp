// The soldier's state and defence methods: watch and fight states, the AI state word, patrol and
// idle questions, the defend point, the locked zone, sight of the target and the soldier's sounds.
#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_actions.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "ai/squads/defend_points.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/zone_envelope.h"
#include "core/assert.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "core/sound/sound_source.h"
#include "core/strings/text_case.h"

namespace {

// PlaySound takes the sound of the soldier's set at this level of detail.
constexpr s32_t kSoundLevel = 1;

}  // namespace

void AIInterface::SetWatchState(ScriptArgWord* /*args*/)
{
    watchState = 1;
    fightState = 0;
}

void AIInterface::ResetWatchState(ScriptArgWord* /*args*/)
{
    watchState = 0;
    fightState = 0;
}

void AIInterface::SetFightState(ScriptArgWord* /*args*/)
{
    fightState = 1;
    watchState = 0;
}

void AIInterface::ResetFightState(ScriptArgWord* /*args*/)
{
    fightState = 0;
    watchState = 0;
}

void AIInterface::SetAIState(ScriptArgWord* args)
{
    if (entity && AIArgGiven(args, 0))
        entity->aiState = static_cast<u32_t>(AIArgInt(args, 0));
}

void AIInterface::PatrolMode(ScriptArgWord* /*args*/)
{
    g_scriptResult.asBool = entity && entity->patrolAllowed && entity->currentPatrolPath ? 1 : 0;
}

void AIInterface::Idle(ScriptArgWord* /*args*/)
{
    const bool patrolling = entity && entity->patrolAllowed && entity->currentPatrolPath;
    const bool alert = entity && entity->inAlert;
    g_scriptResult.asBool = !patrolling && !alert && !BodyBusyMoving() ? 1 : 0;
}

void AIInterface::SetDefendPoint(ScriptArgWord* args)
{
    if (!AIArgGiven(args, 0))
        return;
    const char* name = AIArgText(args, 0);
    defendPoint = CompareNoCase(name, "random") == 0 ? AIRandomDefendPoint() : AIFindDefendPoint(name);
}

void AIInterface::ResetDefendPoint(ScriptArgWord* /*args*/)
{
    defendPoint = nullptr;
}

void AIInterface::LockedZoneRelevant(ScriptArgWord* /*args*/)
{
    const ZoneEnvelope* zone = body && body->envelope ? body->envelope->targetZone : nullptr;
    g_scriptResult.asBool = zone && zone->AllActorsDead() ? 1 : 0;
}

void AIInterface::CanSeeTarget(ScriptArgWord* /*args*/)
{
    g_scriptResult.asBool = 0;
    if (!lockedTarget || !lockedTarget->body || !entity || !entity->CanSee(lockedTarget->body, false))
        return;
    targetSeenTime = g_frameView.aiTime;
    targetLastPos = lockedTarget->body->GetPosition();
    g_scriptResult.asBool = 1;
}

void AIInterface::PlaySound(ScriptArgWord* args)
{
    ENGINE_ASSERT_TEXT(AIArgGiven(args, 0), "par");
    if (!AIArgGiven(args, 0) || !body || !body->sound || !body->sound->soundTable)
        return;
    const s32_t index = AIArgInt(args, 0);
    SoundInstance* sound = body->sound->soundTable->Pick(index, false, kSoundLevel);
    if (!sound || sound->IsPlaying())
        return;
    sound->PlayOnPath(body->sound->audioPath, false);
    // The soldier is named by its place in the AI table: an address says nothing to a reader and
    // does not fit the number it is printed as.
    s32_t place = -1;
    for (u32_t i = 0; i < g_ai.interfaceCount; ++i) {
        if (g_ai.interfaces[i] == this)
            place = static_cast<s32_t>(i);
    }
    ::ConPrint(0, "%d playing sound %d\n", place, index);
}
