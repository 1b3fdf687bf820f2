// The object envelope's script methods that rule scripts and the soldier commands call: orders to the
// soldier, reports by radio subtitle, behaviour profiles and the object's own state.
#include <cstdio>
#include <cstring>
#include "core/strings/text_case.h"

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_args.h"
#include "ai/soldier/path_follower.h"
#include "ai/rules/rules.h"
#include "ai/rules/script_events.h"
#include "core/console/console.h"
#include "core/random.h"
#include "gui/screens/gui_in_game.h"
#include "platform/win32.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

namespace {

constexpr u32_t kSubtitleMs = 1500;
constexpr u32_t kSightColour = 0xFF00FF00;

// A uniform value in [low, high].
float Uniform(float low, float high)
{
    return low + (high - low) * (static_cast<float>(EngineRand()) / ENGINE_RAND_MAX);
}

// The envelope of that name in the table (length first, then without regard to case).
Envelope* FindEnvelope(const char* name)
{
    const u32_t length = static_cast<u32_t>(std::strlen(name));
    for (Envelope* envelope : g_ai.envelopes) {
        if (envelope && envelope->name.Length() == length && CompareNoCase(envelope->name.Text(), name) == 0)
            return envelope;
    }
    return nullptr;
}

// Sets the soldier's behaviour mode and runs the rules of that profile alone.
void SetBehaviour(const DOEnvelope* envelope, s32_t mode, const char* ruleFile)
{
    const Actor* actor = envelope->BoundActor();
    AIInterface* ai = actor ? actor->ai : nullptr;
    if (!ai)
        return;
    ai->behaviourMode = mode;
    if (!ai->ruleSet)
        return;
    ai->ruleSet->SelectDisableAll();
    ai->ruleSet->LoadActiveRules(ruleFile);
}

}  // namespace

void DOEnvelope::Say(const char* textKey) const
{
    const char* speaker = displayName.Length() > 0 ? displayName.Text() : (object ? object->name.Text() : "");
    GuiShowSubtitle(speaker, textKey, kSubtitleMs);
}

void DOEnvelope::IsPlayer(ScriptArgWord*)
{
    g_scriptResult.asBool = object && object == static_cast<DynamicObject*>(PlayerActor()) ? 1 : 0;
}

void DOEnvelope::IsDestroyed(ScriptArgWord*)
{
    if (!object)
        return;
    if (const Actor* actor = BoundActor())
        g_scriptResult.asBool = actor->isDead ? 1 : 0;
    else
        g_scriptResult.asBool = destroyed;
}

void DOEnvelope::Destroy(ScriptArgWord*)
{
    destroyed = 1;
    disabled = 1;
    if (GraphObj* graphic = dynamic_cast<GraphObj*>(object))
        graphic->ClearDecals();
}

void DOEnvelope::LockTarget(ScriptArgWord* args)
{
    Actor* actor = BoundActor();
    DynamicObject* other = args ? static_cast<DynamicObject*>(args[0]) : nullptr;
    if (!actor || !actor->ai || !other || other->GetTypeId() != OBJECT_TYPE_ACTOR)
        return;
    AIInterface* target = static_cast<Actor*>(other)->ai;
    if (target)
        actor->ai->LockOnInterface(target);
}

void DOEnvelope::MoveTo(ScriptArgWord* args)
{
    Actor* actor = BoundActor();
    const Vector3* point = args ? static_cast<const Vector3*>(args[0]) : nullptr;
    if (!actor || !actor->ai || !point)
        return;
    if (AIEntity* entity = actor->GetAIEntity())
        entity->ResetRotationSpeed();
    Vector3 target = *point;
    target.x += Uniform(-10.0f, 10.0f);
    target.y += Uniform(-10.0f, 10.0f);
    target.z += Uniform(-10.0f, 10.0f);
    actor->ai->MoveToObject(target);
}

void DOEnvelope::Print(ScriptArgWord*)
{
    ::ConPrint(4, "%s: %u\n", name.Text(), static_cast<unsigned>(GetTickCount()));
}

void DOEnvelope::Hold(ScriptArgWord*)
{
    Actor* actor = BoundActor();
    if (actor && actor->ai)
        actor->ai->HoldOrder();
}

void DOEnvelope::RotateToPoint(ScriptArgWord* args)
{
    Actor* actor = BoundActor();
    if (!actor || !actor->ai)
        return;
    if (AIEntity* entity = actor->GetAIEntity())
        entity->ResetRotationSpeed();
    actor->ai->RotateToPoint(args);
}

void DOEnvelope::Take(ScriptArgWord* args)
{
    Actor* actor = BoundActor();
    Envelope* other = EnvelopeFromWord(args ? args[0] : nullptr);
    if (!actor || !other || other->kind != ENVELOPE_KIND_OBJECT)
        return;
    if (DynamicObject* item = static_cast<DOEnvelope*>(other)->object)
        actor->TakeItem(item);
}

void DOEnvelope::TakeObject(ScriptArgWord* args)
{
    Actor* actor = BoundActor();
    Envelope* other = EnvelopeFromWord(args ? args[0] : nullptr);
    if (!actor || !actor->ai || !other || other->kind != ENVELOPE_KIND_OBJECT)
        return;
    if (DynamicObject* item = static_cast<DOEnvelope*>(other)->object)
        actor->ai->TakeObjectOrder(item);
}

void DOEnvelope::HasItem(ScriptArgWord* args)
{
    const Actor* actor = BoundActor();
    const char* itemName = args ? static_cast<const char*>(args[0]) : nullptr;
    if (!actor || !itemName)
        return;
    g_scriptResult.asBool = actor->HasItem(itemName) ? 1 : 0;
}

void DOEnvelope::ExecParticleSet(ScriptArgWord* args)
{
    const char* setName = args ? static_cast<const char*>(args[0]) : nullptr;
    if (!object || !setName || !*setName)
        return;
    if (object->GetTypeId() == OBJECT_TYPE_ROOT || object->GetTypeId() == OBJECT_TYPE_GRAPHIC)
        return;
    if (GraphObj* graphic = dynamic_cast<GraphObj*>(object))
        graphic->ExecParticleSet(setName);
}

void DOEnvelope::SetFrame(ScriptArgWord* args)
{
    const s32_t* frame = args ? static_cast<const s32_t*>(args[0]) : nullptr;
    GraphObj* graphic = dynamic_cast<GraphObj*>(object);
    if (!graphic || !frame)
        return;
    const float value = static_cast<float>(*frame);
    graphic->ForEachNode([value](GraphNode* node) {
        if (node->GetAnimMesh())
            node->SetFrame(value);
    });
}

void DOEnvelope::LockTargetOrMoveTo(ScriptArgWord* args)
{
    if (!BoundActor())
        return;
    const EnvelopeTarget* target = args ? static_cast<const EnvelopeTarget*>(args[0]) : nullptr;
    if (target && target->tag == ENVELOPE_TARGET_OBJECT && target->object) {
        if (target->object->GetTypeId() == OBJECT_TYPE_ACTOR) {
            ScriptArgWord word = target->object;
            LockTarget(&word);
        } else {
            ScriptArgWord word = static_cast<ScriptObject*>(target->object->envelope);
            TakeObject(&word);
        }
    } else if (target && target->tag == ENVELOPE_TARGET_POINT) {
        ScriptArgWord word = const_cast<Vector3*>(&target->point);
        MoveTo(&word);
    }
    // An order by hand: the running mission-script command is not completed by it.
    msalNotifyPending = 0;
}

void DOEnvelope::SetBehavRecon(ScriptArgWord*)
{
    SetBehaviour(this, 2, "Dravnik_recon.txt");
}

void DOEnvelope::SetBehavAggres(ScriptArgWord*)
{
    SetBehaviour(this, 3, "Dravnik_agressive.txt");
}

void DOEnvelope::SetBehavNormal(ScriptArgWord*)
{
    SetBehaviour(this, 0, "Dravnik_rulez.txt");
}

// The two pose-lock bytes are the actor's crouched and prone flags: a pose is asked for only when the
// actor is not in it already.
void DOEnvelope::SetStandMode(ScriptArgWord*)
{
    Actor* actor = BoundActor();
    if (actor && (actor->crouched || actor->prone))
        actor->targetPose = ACTOR_POSE_STAND;
}

void DOEnvelope::SetCrouchMode(ScriptArgWord*)
{
    Actor* actor = BoundActor();
    if (actor && !actor->crouched)
        actor->targetPose = ACTOR_POSE_CROUCH;
}

void DOEnvelope::SetProneMode(ScriptArgWord*)
{
    Actor* actor = BoundActor();
    if (actor && !(!actor->crouched && actor->prone))
        actor->targetPose = ACTOR_POSE_PRONE;
}

void DOEnvelope::ReportHealth(ScriptArgWord*)
{
    const Actor* actor = BoundActor();
    if (!actor)
        return;
    s32_t health = static_cast<s32_t>(actor->GetHealth());
    if (health > 100)
        health = 100;
    char key[64];
    std::snprintf(key, sizeof key, "messages._gm_health%d", health);
    Say(key);
}

void DOEnvelope::FollowPlayer(ScriptArgWord*)
{
    const Actor* actor = BoundActor();
    RuleSet* rules = actor && actor->ai ? actor->ai->ruleSet : nullptr;
    Rule* rule = rules ? rules->rules.Find("follow_player") : nullptr;
    if (!rule)
        return;
    rule->Enable(nullptr);
    Say("messages._gm_follow_player");
}

void DOEnvelope::ReportPosition(ScriptArgWord*)
{
    const Actor* actor = BoundActor();
    if (!actor)
        return;
    const bool moving = actor->follower && actor->follower->moving;
    Say(moving ? "messages._gm_position_move" : "messages._gm_position");
}

void DOEnvelope::ReportSight(ScriptArgWord*)
{
    Actor* actor = BoundActor();
    AIEntity* entity = actor ? actor->GetAIEntity() : nullptr;
    if (!entity)
        return;
    DynamicObject* seen[64] = {};
    s32_t count = 64;
    entity->FindVisibleActors(VISIBLE_ENEMIES, seen, &count, true);
    if (count <= 0) {
        Say("messages._gm_target_free");
        return;
    }
    for (Envelope* envelope : g_ai.envelopes) {
        if (envelope)
            envelope->sightMark = 0;
    }
    const u32_t now = GetTickCount();
    for (s32_t i = 0; i < count && i < 64; ++i) {
        Envelope* mark = seen[i] ? seen[i]->envelope : nullptr;
        if (!mark)
            continue;
        mark->sightMark = 1;
        mark->sightStart = now + static_cast<u32_t>(Uniform(200.0f, 600.0f));
        mark->sightColour = kSightColour;
        mark->sightSetBy = this;
    }
    Say("messages._gm_target_sight");
}

void DOEnvelope::ReportStatus(ScriptArgWord*)
{
    if (!object)
        return;
    bool ready = false;
    for (const char* codeName : {"CodeRed", "CodeGreen", "CodeBlue"}) {
        const Envelope* code = FindEnvelope(codeName);
        const ScriptEvent* interact = code ? code->HandlerEvent(ENVELOPE_EVENT_ON_INTERACT) : nullptr;
        // A waiter of this envelope or of its soldier's mission-script runner.
        if (interact && (interact->HasWaiterFor(this) || (runner && interact->HasWaiterFor(runner)))) {
            ready = true;
            break;
        }
    }
    Say(ready ? "messages._gm_status_ready" : "messages._gm_status_noready");
}
