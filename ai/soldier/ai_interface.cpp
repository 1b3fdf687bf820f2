#include "ai/soldier/ai_interface.h"

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "actors/tesk_actor.h"
#include "ai/squads/ai_groups.h"
#include "ai/squads/commanders.h"
#include "ai/soldier/ai_log.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"
#include "ai/soldier/path_follower.h"
#include "ai/rules/rule_compiler.h"
#include "ai/rules/rules.h"
#include "core/assert.h"
#include "core/random.h"
#include "platform/win32.h"

namespace {

struct AIMethodRecord {
    const char* name;
    s32_t returnType;
    ScriptMethodPtr method;
};

#define AI_SLOT(name, code)              \
    {                                    \
#name, code, &ScriptObject::name \
    }
#define AI_DIRECT(name, code)                           \
    {                                                   \
#name, code, ScriptMethodOf(&AIInterface::name) \
    }

// The script methods in the order they are registered. A slot entry calls the virtual slot, so a
// class derived from the interface finds its own override; a direct entry calls the member itself.
const AIMethodRecord kAIMethods[] = {
    AI_SLOT(EvaluateSituation, 4),
    AI_SLOT(Test, 1),
    AI_SLOT(GetDistToNearestEnemy, 4),
    AI_SLOT(GetEnemiesVisCount, 3),
    AI_SLOT(ConPrint, 1),
    AI_SLOT(CanSeePlayer, 2),
    AI_SLOT(LockTarget, 2),
    AI_SLOT(UnlockTarget, 1),
    AI_SLOT(HasTarget, 2),
    AI_SLOT(RotateToTarget, 1),
    AI_SLOT(RotateToPoint, 1),
    AI_SLOT(Fire, 1),
    AI_SLOT(FireWithoutTarget, 1),
    AI_SLOT(MoveToTarget, 1),
    AI_SLOT(MoveToPlayer, 1),
    AI_SLOT(MoveToFixedWeapon, 1),
    AI_SLOT(SetFixedWeapon, 1),
    AI_SLOT(HasFixedWeapon, 2),
    AI_SLOT(FollowTarget, 1),
    AI_SLOT(Hold, 1),
    AI_SLOT(SetCoverTarget, 1),
    AI_SLOT(HasCoverTarget, 1),
    AI_SLOT(HasAmmo, 2),
    AI_SLOT(HasMagazines, 2),
    AI_SLOT(HasDefendPoint, 2),
    AI_SLOT(Reload, 1),
    AI_SLOT(IsTargetDead, 2),
    AI_SLOT(SetDefendPoint, 1),
    AI_SLOT(ResetDefendPoint, 1),
    AI_SLOT(IsInAlert, 2),
    AI_SLOT(GetEvent, 2),
    AI_SLOT(SetAlertMode, 1),
    AI_SLOT(ResetAlertMode, 1),
    AI_SLOT(TimeFromLastAlert, 3),
    AI_SLOT(SetWatchState, 1),
    AI_SLOT(ResetWatchState, 1),
    AI_SLOT(SetFightState, 1),
    AI_SLOT(ResetFightState, 1),
    AI_SLOT(SetPoseMode, 1),
    AI_SLOT(GetPoseMode, 3),
    AI_SLOT(HasDestination, 2),
    AI_SLOT(GetTargetDist, 4),
    AI_SLOT(GetPlayerDist, 4),
    AI_SLOT(GetFixedWeaponDist, 4),
    AI_SLOT(GetHitProbability, 4),
    AI_SLOT(StopMovement, 1),
    AI_SLOT(CanSeeTarget, 2),
    AI_SLOT(TraceTarget, 2),
    AI_SLOT(RotateToRecentSoundSource, 1),
    AI_SLOT(TimeFromEvent, 3),
    AI_SLOT(SetWeaponMode, 1),
    AI_SLOT(WeaponModePresent, 2),
    AI_SLOT(ReleaseFixedWeapon, 1),
    AI_SLOT(SwitchToPrimaryWeapon, 1),
    AI_SLOT(SwitchToSecondaryWeapon, 1),
    AI_SLOT(SwitchToGrenade, 1),
    AI_SLOT(SetAIState, 1),
    AI_SLOT(MoveToRandomPointInRadius, 1),
    AI_SLOT(TakeCurrentObject, 1),
    AI_SLOT(MoveToTakeObject, 1),
    AI_SLOT(GetTakeObjectDist, 4),
    AI_SLOT(HasTakeObject, 2),
    AI_SLOT(SetFrame, 1),
    AI_SLOT(ActivateJink, 1),
    AI_SLOT(DeactivateJink, 1),
    AI_SLOT(HasLegInjured, 2),
    AI_SLOT(SetMovementMode, 1),
    AI_SLOT(MoveToNearestActorInZone, 1),
    AI_SLOT(LockedZoneRelevant, 2),
    AI_SLOT(MoveToRecentSoundSource, 1),
    AI_SLOT(CanSeeDeadBody, 2),
    AI_SLOT(MoveToDeadBody, 1),
    AI_SLOT(MoveAwayFromRecentSoundSource, 1),
    AI_SLOT(MoveAwayFromTarget, 1),
    AI_SLOT(SetBackwardMovement, 1),
    AI_SLOT(PlaySound, 1),
    AI_SLOT(GetMovementMode, 3),
    AI_SLOT(RotateToPlayer, 1),
    AI_DIRECT(MoveToTargetLastPos, 1),
    AI_DIRECT(RotateToTargetLastPos, 1),
    AI_DIRECT(DistFromTargetLastPos, 4),
    AI_DIRECT(RandomMove, 1),
    AI_DIRECT(GetRandMoveDuration, 3),
    AI_DIRECT(ResetRandMoveDuration, 1),
    AI_DIRECT(TargetSeenTimeout, 3),
    AI_DIRECT(DistFromHome, 4),
    AI_DIRECT(MoveHome, 1),
    AI_DIRECT(RotateRandom, 1),
    AI_SLOT(GetHealth, 4),
    AI_SLOT(ResetGrenadeEvent, 1),
    AI_SLOT(IsGrenadeNearby, 2),
    AI_SLOT(MoveAwayFromGrenade, 2),
    AI_DIRECT(PatrolMode, 2),
    AI_DIRECT(Idle, 2),
};

#undef AI_SLOT
#undef AI_DIRECT

}  // namespace

AIInterface::AIInterface(bool teskBody)
{
    outOfPlay = 0;
    dormant = 1;
    body = teskBody ? new TeskActor() : new Actor();
    entity = new AIEntity(body);
    ruleSet = new RuleSet();
    visibleFriends.Empty();
    visibleEnemies.Empty();
    visibleBodies.Empty();
    movementMode = 1;
    dormancyJitter = EngineRand() % 500;
    lastDormancyCheck = 0;
    // The first soldier fixes the class's records; later ones find them (find-or-add).
    scriptClass = ScriptClassRegistry::RegisterClass("AIInterface");
    for (const AIMethodRecord& record : kAIMethods)
        AddMethod(record.method, record.name, record.returnType);
    AddMember(&situationValue, "sit_val", TYP_FLOAT);
    body->ai = this;
    if (entity->team == 0)
        dormant = 0;
    ENGINE_ASSERT_TEXT(g_ai.interfaceCount < MAX_AI_INTERFACES, "aii_c <= MAX_AI_INTERFACES");
    g_ai.interfaces[g_ai.interfaceCount++] = this;
}

AIInterface::~AIInterface()
{
    AIRemoveInterface(this);
    FreeCommandStack(commandStack);
    if (group)
        group->ForgetMember(this);
    group = nullptr;
    delete ruleSet;
    ruleSet = nullptr;
    delete entity;
    entity = nullptr;
    visibleFriends.Empty();
    visibleEnemies.Empty();
    visibleBodies.Empty();
    if (body && body->ai == this)
        body->ai = nullptr;
    body = nullptr;
}

s32_t AIInterface::SetScriptFile(const char* name)
{
    scriptFile.Assign(name);
    return 1;
}

s32_t AIInterface::LoadScript()
{
    if (!ruleSet || scriptFile.Length() == 0)
        return 0;
    SetCompileThisObject(this);
    const bool compiled = ruleSet->LoadScript();
    ClearCompileThis();
    return compiled ? 1 : 0;
}

void AIInterface::InjureLeg()
{
    legInjured = 1;
    if (body)
        body->targetPose = ACTOR_POSE_PRONE;
}

void AIInterface::ResetState()
{
    for (u32_t i = 0; i < MAX_AII_EVENTS; ++i) {
        eventFlags[i] = 0;
        eventDueTimes[i] = 0;
    }
    lockedTarget = nullptr;
    for (AIInterface*& locker : lockers)
        locker = nullptr;
    lockerCount = 0;
    situationValue = 0.0f;
    group = nullptr;
    moveToObjectPending = 0;
    defendPoint = nullptr;
    if (entity) {
        entity->inAlert = 0;
        entity->lastAlertTick = 0;
    }
    lastRandomMove = 0;
    targetSeenTime = 0;
    randomMoveStart = 0;
    watchState = 0;
    fightState = 0;
    legInjured = 0;
    jinkActive = 0;
    randomMoveRequest = 0;
    jinkSide = 0;
    grenadeNearby = 0;
    movementMode = 1;
    visibleFriends.Empty();
    visibleEnemies.Empty();
    visibleBodies.Empty();
    // A zone the soldier was sent to clear belongs to the mission it was given in.
    if (body && body->envelope)
        body->envelope->targetZone = nullptr;
}

void AIInterface::Test(ScriptArgWord* args)
{
    AILogWrite("AIInterface::Test");
    AILogWrite(" for: ");
    AILogWrite(body ? body->name.Text() : "");
    if (args && args[0]) {
        AILogWrite(" ");
        AILogPrintf("%d ", *static_cast<const s32_t*>(args[0]));
    }
    AILogWrite("\n");
}

void AIInterface::SetAlertMode(ScriptArgWord* /*args*/)
{
    if (!entity)
        return;
    entity->inAlert = 1;
    entity->lastAlertTick = GetTickCount();
    entity->patrolAllowed = 0;
    entity->currentPatrolPath = nullptr;
}

void AIInterface::ResetAlertMode(ScriptArgWord* /*args*/)
{
    alertStateByte = 0;
    watchState = 0;
    if (!entity)
        return;
    entity->inAlert = 0;
    entity->patrolAllowed = 1;
    entity->currentPatrolPath = entity->assignedPatrolPath;
}

void AIInterface::StopMovement(ScriptArgWord* /*args*/)
{
    if (body && body->follower)
        body->follower->Stop();
}

u32_t AIRemoveInterface(AIInterface* interface)
{
    for (u32_t i = 0; i < g_ai.interfaceCount; ++i) {
        if (g_ai.interfaces[i] != interface)
            continue;
        --g_ai.interfaceCount;
        g_ai.interfaces[i] = g_ai.interfaces[g_ai.interfaceCount];
        g_ai.interfaces[g_ai.interfaceCount] = nullptr;
        return i;
    }
    return g_ai.interfaceCount;
}

void AIDisableInterface(AIInterface* interface)
{
    if (interface)
        interface->outOfPlay = 1;
}

bool AIIsNear(const AIInterface* interface, const Vector3& point, float radius)
{
    if (g_ai.interfaceCount == 0 || !interface || !interface->body)
        return false;
    const Vector3 at = interface->body->GetPosition();
    const float dx = at.x - point.x;
    const float dy = at.y - point.y;
    const float dz = at.z - point.z;
    const float reach = radius * 10.0f;
    return dx * dx + dy * dy + dz * dz <= reach * reach;
}
