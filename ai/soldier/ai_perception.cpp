// What a soldier's rule script perceives and fights with: the visible lists, the AI events with
// their reaction delay, target locking, the situation value and the hit probability.
#include <cmath>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "ai/script/script_functions.h"
#include "core/assert.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "map/trace/map_sight.h"
#include "platform/win32.h"
#include "world/objects/dynamic_object.h"

namespace {

constexpr s32_t kSeeEnemies = 1;
constexpr s32_t kSeeFriends = 2;
constexpr s32_t kSeeBodies = 4;
// Squared world distances of the hit probability: certain within 50 units, none from 1000 on.
constexpr float kSureHitDistance2 = 2500.0f;
constexpr float kHitFalloff = 1.0f / 997500.0f;
// The weapon kinds with their own fire checks: kind 3 turns the body aside first and keeps from
// firing at a target this near; kind 4 always fires.
constexpr s32_t kSideFireWeaponKind = 3;
constexpr float kSideFireTurn = -0.5235988f;
constexpr float kSideFireMinDistance2 = 60.0f * 60.0f;
constexpr float kAimViewYaw = 3.1415927f;  // a view's yaw less a body's heading
// The height above the body from which the HUD's sight readout looks.
constexpr float kSightEyeHeight = 17.0f;

float Distance2(const Actor* a, const Actor* b)
{
    const Vector3 p = a->GetPosition();
    const Vector3 q = b->GetPosition();
    const float dx = p.x - q.x;
    const float dy = p.y - q.y;
    const float dz = p.z - q.z;
    return dx * dx + dy * dy + dz * dz;
}

const char* BodyName(const Actor* body)
{
    return body ? body->name.Text() : "";
}

bool ValidEvent(s32_t id)
{
    return id >= 0 && static_cast<u32_t>(id) < MAX_AII_EVENTS;
}

}  // namespace

void AIInterface::RaiseEvent(s32_t eventId, u32_t tick)
{
    ENGINE_ASSERT_TEXT(ValidEvent(eventId), "event_id < MAX_AII_EVENTS");
    if (!ValidEvent(eventId))
        return;
    const u32_t delay = entity ? entity->reactionDelay : 500u;
    eventFlags[eventId] = 1;
    eventDueTimes[eventId] = tick + delay + static_cast<u32_t>(EngineRand() % 750);
    lastEvent = eventId;
    lastEventTick = tick;
    ++eventCount;
}

void AIInterface::SetEventPosition(const Vector3& point, s32_t eventId)
{
    ENGINE_ASSERT_TEXT(ValidEvent(eventId), "flag < MAX_AII_EVENTS");
    if (ValidEvent(eventId))
        eventPositions[eventId] = point;
}

void AIInterface::UpdateVisible(s32_t kind)
{
    if (kind < 0 || static_cast<u32_t>(kind) >= MAX_AII_EVENTS || queryStamps[kind] == g_frameView.aiTime)
        return;
    queryStamps[kind] = g_frameView.aiTime;
    if (kind == kSeeEnemies)
        visibleEnemies.Empty();
    else if (kind == kSeeFriends)
        visibleFriends.Empty();
    else if (kind == kSeeBodies)
        visibleBodies.Empty();
    if (!entity)
        return;
    DynamicObject* found[AIVisibleList<Actor>::kCapacity] = {};
    s32_t count = AIVisibleList<Actor>::kCapacity;
    entity->FindVisibleActors(kind, found, &count, false);
    for (s32_t i = 0; i < count; ++i) {
        if (!found[i] || found[i]->GetTypeId() != OBJECT_TYPE_ACTOR)
            continue;
        auto* actor = static_cast<Actor*>(found[i]);
        if (actor->isDead) {
            visibleBodies.Add(actor);
            continue;
        }
        AIInterface* other = actor->ai;
        if (!other || !other->entity)
            continue;
        if (entity->IsEnemyOf(other->entity))
            visibleEnemies.Add(other);
        else
            visibleFriends.Add(other);
    }
}

void AIInterface::AddLocker(AIInterface* other)
{
    if (lockerCount >= AI_LOCKER_CAPACITY)
        return;
    for (u32_t i = 0; i < lockerCount; ++i) {
        if (lockers[i] == other)
            return;
    }
    lockers[lockerCount++] = other;
}

void AIInterface::RemoveLocker(AIInterface* other)
{
    for (u32_t i = 0; i < lockerCount; ++i) {
        if (lockers[i] != other)
            continue;
        --lockerCount;
        lockers[i] = lockers[lockerCount];
        lockers[lockerCount] = nullptr;
        return;
    }
}

void AIInterface::LockOnInterface(AIInterface* other)
{
    lockedTarget = other;
    if (!other)
        return;
    ::ConPrint(0, "%s: '%s' locked..\n", BodyName(body), BodyName(other->body));
    other->AddLocker(this);
}

void AIInterface::SetGrenade(const Vector3& point)
{
    grenadeNearby = 1;
    grenadePos = point;
}

float AIInterface::SightPercentAt(const Vector3& point) const
{
    if (!body || !entity || !(entity->sightRange > 0.0f))
        return 0.0f;
    const Vector3 at = body->GetPosition();
    const float vx = entity->viewWorld._31, vy = entity->viewWorld._32, vz = entity->viewWorld._33;
    const float viewLength = std::sqrt(vx * vx + vy * vy + vz * vz);
    const float ex = point.x - at.x, ey = point.y - (at.y + kSightEyeHeight), ez = point.z - at.z;
    const float eyeLength = std::sqrt(ex * ex + ey * ey + ez * ez);
    if (viewLength <= 0.0f || eyeLength <= 0.0f)
        return 0.0f;
    const float c = (vx * ex + vy * ey + vz * ez) / (viewLength * eyeLength);
    if (c <= 0.0f)
        return 0.0f;
    const float dx = point.x - at.x, dy = point.y - at.y, dz = point.z - at.z;
    const float r = std::sqrt(dx * dx + dy * dy + dz * dz) / entity->sightRange;
    const float percent = (c - 25.0f * r * r) * 100.0f;
    return percent < 0.0f ? 0.0f : percent;
}

void AIInterface::GetEvent(ScriptArgWord* args)
{
    g_scriptResult.asBool = 0;
    if (!args || !args[0])
        return;
    // The id comes from the script: one outside the table is simply not pending.
    const s32_t id = *static_cast<const s32_t*>(args[0]);
    if (!ValidEvent(id) || !eventFlags[id] || static_cast<s32_t>(eventDueTimes[id] - g_frameView.aiTime) > 0)
        return;
    eventFlags[id] = 0;
    g_scriptResult.asBool = 1;
}

void AIInterface::TimeFromEvent(ScriptArgWord* args)
{
    ENGINE_ASSERT_TEXT(args && args[0], "par");
    if (!args || !args[0])
        return;
    const s32_t id = *static_cast<const s32_t*>(args[0]);
    ENGINE_ASSERT_TEXT(ValidEvent(id), "i < MAX_AII_EVENTS");
    if (ValidEvent(id))
        g_scriptResult.asInt = static_cast<s32_t>(GetTickCount() - eventDueTimes[id]);
}

void AIInterface::LockTarget(ScriptArgWord* args)
{
    g_scriptResult.asBool = 0;
    if (!args || !args[0] || !body)
        return;
    const float reach = *static_cast<const float*>(args[0]) * 10.0f;
    const float reach2 = reach * reach;
    UpdateVisible(kSeeEnemies);
    AIInterface* best = nullptr;
    float bestDistance2 = 0.0f;
    for (s32_t i = 0; i < visibleEnemies.count; ++i) {
        AIInterface* enemy = visibleEnemies.items[i];
        if (!enemy->body || enemy->body->isDead)
            continue;
        const float d2 = Distance2(body, enemy->body);
        // An enemy someone already aims at counts only much nearer: free ones are shared out first.
        const float limit = enemy->lockerCount != 0 ? reach2 * 0.1f : reach2;
        if (d2 >= limit || (best && d2 >= bestDistance2))
            continue;
        best = enemy;
        bestDistance2 = d2;
    }
    if (!best)
        return;
    if (best != lockedTarget)
        LockOnInterface(best);
    g_scriptResult.asBool = 1;
}

void AIInterface::UnlockTarget(ScriptArgWord* /*args*/)
{
    if (!lockedTarget)
        return;
    ::ConPrint(0, "%s: '%s' unlocked..\n", BodyName(body), BodyName(lockedTarget->body));
    lockedTarget->RemoveLocker(this);
    lockedTarget = nullptr;
}

void AIInterface::HasTarget(ScriptArgWord* /*args*/)
{
    g_scriptResult.asBool = lockedTarget ? 1 : 0;
}

void AIInterface::IsTargetDead(ScriptArgWord* /*args*/)
{
    g_scriptResult.asBool = lockedTarget && lockedTarget->body && lockedTarget->body->isDead ? 1 : 0;
}

void AIInterface::HasDefendPoint(ScriptArgWord* /*args*/)
{
    g_scriptResult.asBool = defendPoint ? 1 : 0;
}

void AIInterface::GetEnemiesVisCount(ScriptArgWord* /*args*/)
{
    UpdateVisible(kSeeEnemies);
    g_scriptResult.asInt = visibleEnemies.count;
}

void AIInterface::CanSeePlayer(ScriptArgWord* /*args*/)
{
    g_scriptResult.asBool = 0;
    // Without a player (the front end, a mission still loading) there is nobody to see.
    Actor* player = PlayerActor();
    if (!player || !player->ai || !player->ai->entity || !entity)
        return;
    const bool enemy = player->ai->entity->IsEnemyOf(entity);
    UpdateVisible(enemy ? kSeeEnemies : kSeeFriends);
    const AIVisibleList<AIInterface>& seen = enemy ? visibleEnemies : visibleFriends;
    for (s32_t i = 0; i < seen.count; ++i) {
        if (seen.items[i]->body == player) {
            g_scriptResult.asBool = 1;
            return;
        }
    }
}

void AIInterface::CanSeeDeadBody(ScriptArgWord* /*args*/)
{
    UpdateVisible(kSeeBodies);
    g_scriptResult.asBool = visibleBodies.count > 0 ? 1 : 0;
}

void AIInterface::EvaluateSituation(ScriptArgWord* /*args*/)
{
    UpdateVisible(kSeeEnemies);
    float sum = 0.0f;
    const float sight = entity ? entity->sightRange : 0.0f;
    for (s32_t i = 0; i < visibleEnemies.count; ++i) {
        AIInterface* enemy = visibleEnemies.items[i];
        if (!body || !enemy->body || !enemy->entity)
            continue;
        const float d = std::sqrt(Distance2(body, enemy->body));
        sum += enemy->entity->GetSniperBonus() * (sight / (d + 1.0f));
    }
    ::ConPrint(4, "%g\n", static_cast<double>(sum));
    situationValue = sum;
    g_scriptResult.asFloat = sum;
}

void AIInterface::GetHitProbability(ScriptArgWord* /*args*/)
{
    if (!lockedTarget || !body || !lockedTarget->body) {
        g_scriptResult.asFloat = 0.0f;
        return;
    }
    const float d2 = Distance2(body, lockedTarget->body);
    if (d2 <= kSureHitDistance2) {
        g_scriptResult.asFloat = 100.0f;
        return;
    }
    const float chance = (1.0f - (d2 - kSureHitDistance2) * kHitFalloff) * 100.0f;
    g_scriptResult.asFloat = chance < 0.0f ? 0.0f : chance;
}

void AIInterface::Fire(ScriptArgWord* /*args*/)
{
    if (!lockedTarget || !lockedTarget->body || !body || !entity)
        return;
    Weapon* weapon = body->WeaponInHand();
    if (!weapon)
        return;
    if (weapon->aiType == kSideFireWeaponKind) {
        body->SetHeading(body->GetHeading() + kSideFireTurn);
        if (Distance2(body, lockedTarget->body) <= kSideFireMinDistance2)
            return;
    }
    // Good light and clear air make a soldier's aim steadier.
    const float dim = (1.0f - MapSightLightFactor()) * (1.0f - MapSightRangeFactor());
    const float yawError = (EngineRand() * (2.0f / ENGINE_RAND_MAX) - 1.0f) * entity->scatter[0] * dim;
    const float pitchError = (EngineRand() * (2.0f / ENGINE_RAND_MAX) - 1.0f) * entity->scatter[1] * dim;
    // The body refuses the shot itself while it is busy (reloading, changing weapon or pose).
    // FireAt takes the angles of a view; a body's heading faces the other way round its view (the
    // player's body turns to the view's yaw less a half turn).
    body->FireAt(body->GetHeading() + kAimViewYaw + yawError, body->GetPitch() + pitchError, false, false);
}

void AIInterface::ActivateJink(ScriptArgWord* /*args*/)
{
    jinkActive = 1;
    jinkSide = EngineRand() & 1;
}

void AIInterface::DeactivateJink(ScriptArgWord* /*args*/)
{
    jinkActive = 0;
}

void AIInterface::IsGrenadeNearby(ScriptArgWord* /*args*/)
{
    g_scriptResult.asBool = grenadeNearby;
}

void AIInterface::ResetGrenadeEvent(ScriptArgWord* /*args*/)
{
    grenadeNearby = 0;
}

void AIInterface::HasLegInjured(ScriptArgWord* /*args*/)
{
    g_scriptResult.asBool = legInjured;
}

void AIInterface::SetMovementMode(ScriptArgWord* args)
{
    if (args && args[0])
        movementMode = *static_cast<const s32_t*>(args[0]);
}

void AIInterface::GetMovementMode(ScriptArgWord* /*args*/)
{
    g_scriptResult.asInt = movementMode;
}

void AIInterface::ResetRandMoveDuration(ScriptArgWord* /*args*/)
{
    randomMoveStart = g_frameView.aiTime;
}

void AIInterface::GetRandMoveDuration(ScriptArgWord* /*args*/)
{
    g_scriptResult.asInt = static_cast<s32_t>(g_frameView.aiTime - randomMoveStart);
}
