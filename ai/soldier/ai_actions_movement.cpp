// The soldier's movement methods: every move gives the body a destination through MoveBodyTo.
#include <cmath>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_actions.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/soldier/path_follower.h"
#include "ai/envelopes/zone_envelope.h"
#include "core/assert.h"
#include "core/frame_view.h"
#include "core/random.h"

namespace {

constexpr float kTwoPi = 6.2831855f;
// MoveToRandomPointInRadius never picks a point nearer than this (world units).
constexpr float kRandomMoveNearest = 20.0f;
constexpr u32_t kRadiusMoveInterval = 5000;
constexpr u32_t kRandomMoveInterval = 2000;
// MoveAwayFromGrenade runs 100 world units and up to 50 more.
constexpr float kGrenadeFleeDistance = 100.0f;
constexpr float kGrenadeFleeSpread = 50.0f;

float RandUnit()
{
    return static_cast<float>(EngineRand()) / static_cast<float>(ENGINE_RAND_MAX);
}

// The unit vector from the point to the body; false when they coincide (no direction to flee in).
bool AwayFrom(const Vector3& from, const Vector3& point, Vector3* direction)
{
    const float dx = from.x - point.x, dy = from.y - point.y, dz = from.z - point.z;
    const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(length > 0.0f))
        return false;
    *direction = {dx / length, dy / length, dz / length};
    return true;
}

Vector3 Along(const Vector3& from, const Vector3& direction, float distance)
{
    return {from.x + direction.x * distance, from.y + direction.y * distance, from.z + direction.z * distance};
}

}  // namespace

void AIInterface::MoveBodyTo(const Vector3& point)
{
    if (!body)
        return;
    body->MoveTo(point);
    // A move of the rule script must not pass for the end of the mission script's command.
    if (body->envelope)
        body->envelope->msalNotifyPending = 0;
}

bool AIInterface::BodyBusyMoving() const
{
    return body && body->follower && body->follower->moving;
}

void AIInterface::RandomMoveStep(float nearest, float farthest, u32_t interval)
{
    if (g_frameView.aiTime - lastRandomMove < interval)
        return;
    randomMoveRequest = 1;
    lastRandomMove = g_frameView.aiTime;
    const float angle = RandUnit() * kTwoPi;
    const float distance = nearest + RandUnit() * (farthest - nearest);
    const Vector3 at = body->GetPosition();
    MoveBodyTo({at.x + std::sin(angle) * distance, at.y, at.z + std::cos(angle) * distance});
}

void AIInterface::MoveToTarget(ScriptArgWord* /*args*/)
{
    if (lockedTarget && lockedTarget->body)
        MoveBodyTo(lockedTarget->body->GetPosition());
}

void AIInterface::MoveToPlayer(ScriptArgWord* /*args*/)
{
    if (const Actor* player = PlayerActor())
        MoveBodyTo(player->GetPosition());
}

void AIInterface::MoveHome(ScriptArgWord* /*args*/)
{
    MoveBodyTo(homePosition);
}

void AIInterface::MoveToTargetLastPos(ScriptArgWord* /*args*/)
{
    MoveBodyTo(targetLastPos);
}

void AIInterface::MoveToRecentSoundSource(ScriptArgWord* args)
{
    ENGINE_ASSERT_TEXT(AIArgGiven(args, 0), "par");
    if (!AIArgGiven(args, 0))
        return;
    const s32_t id = AIEventIdArg(args);
    if (id >= 0)
        MoveBodyTo(eventPositions[id]);
}

void AIInterface::MoveToDeadBody(ScriptArgWord* /*args*/)
{
    if (visibleBodies.count > 0 && visibleBodies.items[0])
        MoveBodyTo(visibleBodies.items[0]->GetPosition());
}

void AIInterface::MoveToNearestActorInZone(ScriptArgWord* /*args*/)
{
    const ZoneEnvelope* zone = body && body->envelope ? body->envelope->targetZone : nullptr;
    const EnvelopeObjectList* objects = zone ? zone->GetObjectList() : nullptr;
    for (u32_t i = 0; objects && i < objects->Count(); ++i) {
        const DynamicObject* object = objects->At(i);
        if (object && object->GetTypeId() == OBJECT_TYPE_ACTOR && !static_cast<const Actor*>(object)->isDead) {
            MoveBodyTo(object->GetPosition());
            return;
        }
    }
}

void AIInterface::MoveAwayFromRecentSoundSource(ScriptArgWord* args)
{
    ENGINE_ASSERT_TEXT(AIArgGiven(args, 0), "par");
    if (!AIArgGiven(args, 1) || !body)
        return;
    const s32_t id = AIEventIdArg(args);
    Vector3 direction;
    if (id < 0 || !AwayFrom(body->GetPosition(), eventPositions[id], &direction))
        return;
    MoveBodyTo(Along(body->GetPosition(), direction, AIArgFloat(args, 1) * AI_WORLD_UNITS_PER_SCRIPT_UNIT));
}

void AIInterface::MoveAwayFromTarget(ScriptArgWord* args)
{
    if (!lockedTarget || !lockedTarget->body || !body)
        return;
    ENGINE_ASSERT_TEXT(AIArgGiven(args, 0), "par");
    Vector3 direction;
    if (!AIArgGiven(args, 0) || !AwayFrom(body->GetPosition(), lockedTarget->body->GetPosition(), &direction))
        return;
    MoveBodyTo(Along(body->GetPosition(), direction, AIArgFloat(args, 0) * AI_WORLD_UNITS_PER_SCRIPT_UNIT));
}

void AIInterface::MoveAwayFromGrenade(ScriptArgWord* /*args*/)
{
    // Registered as bool, but it answers nothing: the bool cell keeps its value.
    Vector3 direction;
    if (!body || !AwayFrom(body->GetPosition(), grenadePos, &direction))
        return;
    const float distance = kGrenadeFleeDistance +
                           static_cast<float>(EngineRand()) * kGrenadeFleeSpread / static_cast<float>(ENGINE_RAND_MAX);
    MoveBodyTo(Along(body->GetPosition(), direction, distance));
}

void AIInterface::MoveToRandomPointInRadius(ScriptArgWord* args)
{
    if (!body || BodyBusyMoving() || !AIArgGiven(args, 0))
        return;
    const u32_t interval = AIArgGiven(args, 1) ? static_cast<u32_t>(AIArgInt(args, 1)) : kRadiusMoveInterval;
    const float radius = AIArgFloat(args, 0) * AI_WORLD_UNITS_PER_SCRIPT_UNIT;
    RandomMoveStep(kRandomMoveNearest, kRandomMoveNearest + radius, interval);
}

void AIInterface::RandomMove(ScriptArgWord* args)
{
    if (!body || BodyBusyMoving())
        return;
    body->TurnToPoint(targetLastPos);
    if (!AIArgGiven(args, 1))
        return;
    const u32_t interval = AIArgGiven(args, 2) ? static_cast<u32_t>(AIArgInt(args, 2)) : kRandomMoveInterval;
    RandomMoveStep(AIArgFloat(args, 0) * AI_WORLD_UNITS_PER_SCRIPT_UNIT,
                   AIArgFloat(args, 1) * AI_WORLD_UNITS_PER_SCRIPT_UNIT, interval);
}

void AIInterface::Hold(ScriptArgWord* /*args*/)
{
    StopMovement();
    if (lockedTarget)
        lockedTarget->RemoveLocker(this);
    lockedTarget = nullptr;
}

void AIInterface::HasDestination(ScriptArgWord* /*args*/)
{
    g_scriptResult.asBool = BodyBusyMoving() ? 1 : 0;
}

void AIInterface::SetBackwardMovement(ScriptArgWord* args)
{
    ENGINE_ASSERT_TEXT(AIArgGiven(args, 0), "par");
    if (AIArgGiven(args, 0))
        backwardMovement = AIArgInt(args, 0) != 0 ? 1 : 0;
}
