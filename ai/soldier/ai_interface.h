// The AI of one soldier: a script object whose methods the soldier's rule script calls by name. It
// makes the soldier's body (an Actor), its sensing record (AIEntity) and its rule set, and keeps the
// AI state that the body's movement polls each frame.
//
// Ownership: the interface owns its AIEntity and its RuleSet. The body belongs to the world once it
// is there, and whoever takes it out of the world deletes it; the visible lists only refer to other
// soldiers and bodies. Deleting either the body or the interface first clears the other's link.
#pragma once
#include "ai/script/script_object.h"
#include "core/strings/engine_string.h"
#include "core/types.h"

class Actor;
class AIEntity;
struct AICommandStack;
struct AIGroup;
class AIInterface;
class DynamicObject;
class Envelope;
class RuleSet;

constexpr u32_t MAX_AII_EVENTS = 32;
constexpr u32_t AI_LOCKER_CAPACITY = 16;

// The defend point a soldier holds: its x and z and its envelope's object position.
struct DefendPoint {
    EngineString name;
    float x = 0.0f;
    float z = 0.0f;
    Vector3 objectPosition;
    Envelope* envelope = nullptr;  // the point envelope it stands at; not owned
};

// What a soldier saw at its last look: other soldiers or dead bodies. It refers to them only: the
// world owns the bodies and the AI table the interfaces, so emptying the list deletes nothing.
template <class T>
struct AIVisibleList {
    static constexpr s32_t kCapacity = 64;
    void Empty()
    {
        count = 0;
        cursor = -1;
    }
    bool Add(T* item)
    {
        if (count >= kCapacity)
            return false;
        items[count++] = item;
        return true;
    }
    T* items[kCapacity] = {};
    s32_t count = 0;
    s32_t cursor = -1;
};

class AIInterface : public ScriptObject {
public:
    // Makes the body (a TeskActor for the Tesk team's soldier, else a plain actor), its entity and
    // rule set, registers the script class "AIInterface" with its methods, links the body back, and
    // appends the interface to the AI table.
    explicit AIInterface(bool teskBody = false);
    // Leaves the AI table, deletes the entity and the rule set and clears the body's link.
    ~AIInterface() override;

    bool HasLockedTarget() const { return lockedTarget != nullptr; }
    AIInterface* GetLockedTarget() const { return lockedTarget; }
    // Marks the event pending, due after the entity's reaction delay and a random part of 750 ms
    // (event 1 is a hit). An id outside 0-31 is reported and changes nothing.
    void RaiseEvent(s32_t eventId, u32_t tick);
    // Where the event came from.
    void SetEventPosition(const Vector3& point, s32_t eventId);
    // Refreshes the visible list of a sight-query kind (1 enemies, 2 friends, 4 dead bodies) at most
    // once per AI clock tick.
    void UpdateVisible(s32_t kind);
    // The soldiers that locked this one as their target: at most 16, each once.
    void AddLocker(AIInterface* other);
    void RemoveLocker(AIInterface* other);
    // Makes the other soldier the target and tells console 0.
    void LockOnInterface(AIInterface* other);
    // A grenade lies near.
    void SetGrenade(const Vector3& point);
    // How well the soldier sees the point, in percent: 0 behind it and beyond a fifth of its sight
    // range, falling with the angle from its view and the distance.
    float SightPercentAt(const Vector3& point) const;
    // Marks the leg and takes the body down to prone, a step per frame: SetPoseMode does nothing
    // while the leg is injured, so the soldier stays low for the rest of its life.
    void InjureLeg();
    void ClearDefendPoint() { defendPoint = nullptr; }
    bool HasRandomMoveRequest() const { return randomMoveRequest != 0; }
    void ClearRandomMoveRequest() { randomMoveRequest = 0; }
    bool IsJinkActive() const { return jinkActive != 0; }
    s32_t GetJinkSide() const { return jinkSide; }
    s32_t CurrentMovementMode() const { return movementMode; }
    bool IsBackwardMovement() const { return backwardMovement != 0; }
    void SetHomePosition(const Vector3& point) { homePosition = point; }
    // The rule script profile the soldier runs; returns 1.
    s32_t SetScriptFile(const char* name);
    // Compiles the common rule script into the rule set with this interface as "this"; 0 without a
    // rule set or a profile.
    s32_t LoadScript();
    // Clears the per-mission AI state of the soldier.
    void ResetState();
    // The soldier died: its commander loses it, its group's radio announces it when the group reports
    // deaths (the member's place, or the whole group when none lives), and its locked target forgets
    // it as a locker.
    void ReportDeath();

    // The order entry points of the envelopes and the squad orders. MoveToObject and HoldOrder first
    // switch off the rules that would take the soldier elsewhere ("moveto_fixed_weapon",
    // "follow_player"), let go of a manned fixed weapon and leave a vehicle.
    void MoveToObject(const Vector3& point);
    void HoldOrder();
    void TakeObjectOrder(DynamicObject* object);

    // Script methods. ConPrint, FollowTarget, SetCoverTarget, HasCoverTarget and SetFrame stay at the
    // shared no-op for a soldier.
    void Test(ScriptArgWord* args) override;
    void EvaluateSituation(ScriptArgWord* args) override;
    void GetEnemiesVisCount(ScriptArgWord* args) override;
    void CanSeePlayer(ScriptArgWord* args) override;
    void LockTarget(ScriptArgWord* args) override;
    void HasTarget(ScriptArgWord* args) override;
    void IsTargetDead(ScriptArgWord* args) override;
    void HasDefendPoint(ScriptArgWord* args) override;
    void GetEvent(ScriptArgWord* args) override;
    void TimeFromEvent(ScriptArgWord* args) override;
    void GetHitProbability(ScriptArgWord* args) override;
    void Fire(ScriptArgWord* args) override;
    void CanSeeDeadBody(ScriptArgWord* args) override;
    void ActivateJink(ScriptArgWord* args) override;
    void DeactivateJink(ScriptArgWord* args) override;
    void IsGrenadeNearby(ScriptArgWord* args) override;
    void ResetGrenadeEvent(ScriptArgWord* args) override;
    void HasLegInjured(ScriptArgWord* args) override;
    void SetMovementMode(ScriptArgWord* args) override;
    void GetTargetDist(ScriptArgWord* args) override;
    void GetPlayerDist(ScriptArgWord* args) override;
    void GetDistToNearestEnemy(ScriptArgWord* args) override;
    void IsInAlert(ScriptArgWord* args) override;
    void TimeFromLastAlert(ScriptArgWord* args) override;
    void GetMovementMode(ScriptArgWord* args) override;
    void UnlockTarget(ScriptArgWord* args = nullptr) override;
    // Alert mode: the entity's alert fields, and the state byte that the end of alert clears.
    void SetAlertMode(ScriptArgWord* args = nullptr) override;
    void ResetAlertMode(ScriptArgWord* args = nullptr) override;
    void StopMovement(ScriptArgWord* args = nullptr) override;
    // Movement (ai/soldier/ai_actions_movement.cpp).
    void MoveToTarget(ScriptArgWord* args) override;
    void MoveToPlayer(ScriptArgWord* args) override;
    void MoveToRecentSoundSource(ScriptArgWord* args) override;
    void MoveToDeadBody(ScriptArgWord* args) override;
    void MoveToNearestActorInZone(ScriptArgWord* args) override;
    void MoveAwayFromRecentSoundSource(ScriptArgWord* args) override;
    void MoveAwayFromTarget(ScriptArgWord* args) override;
    void MoveAwayFromGrenade(ScriptArgWord* args) override;
    void MoveToRandomPointInRadius(ScriptArgWord* args) override;
    void Hold(ScriptArgWord* args) override;
    void HasDestination(ScriptArgWord* args) override;
    void SetBackwardMovement(ScriptArgWord* args) override;
    // Turning and pose (ai/soldier/ai_actions_turning.cpp).
    void RotateToTarget(ScriptArgWord* args) override;
    void RotateToPoint(ScriptArgWord* args) override;
    void RotateToPlayer(ScriptArgWord* args) override;
    void RotateToRecentSoundSource(ScriptArgWord* args) override;
    void SetPoseMode(ScriptArgWord* args) override;
    void GetPoseMode(ScriptArgWord* args) override;
    // Weapons, fixed weapons and objects to take (ai/soldier/ai_actions_weapons.cpp).
    void HasAmmo(ScriptArgWord* args) override;
    void HasMagazines(ScriptArgWord* args) override;
    void Reload(ScriptArgWord* args) override;
    void SwitchToPrimaryWeapon(ScriptArgWord* args) override;
    void SwitchToSecondaryWeapon(ScriptArgWord* args) override;
    void SwitchToGrenade(ScriptArgWord* args) override;
    void SetWeaponMode(ScriptArgWord* args) override;
    void WeaponModePresent(ScriptArgWord* args) override;
    void TraceTarget(ScriptArgWord* args) override;
    void MoveToFixedWeapon(ScriptArgWord* args) override;
    void SetFixedWeapon(ScriptArgWord* args) override;
    void HasFixedWeapon(ScriptArgWord* args) override;
    void GetFixedWeaponDist(ScriptArgWord* args) override;
    void ReleaseFixedWeapon(ScriptArgWord* args) override;
    void MoveToTakeObject(ScriptArgWord* args) override;
    void TakeCurrentObject(ScriptArgWord* args) override;
    void HasTakeObject(ScriptArgWord* args) override;
    void GetTakeObjectDist(ScriptArgWord* args) override;
    void GetHealth(ScriptArgWord* args) override;
    // States and defence (ai/soldier/ai_actions_states.cpp).
    void SetWatchState(ScriptArgWord* args) override;
    void ResetWatchState(ScriptArgWord* args) override;
    void SetFightState(ScriptArgWord* args) override;
    void ResetFightState(ScriptArgWord* args) override;
    void SetAIState(ScriptArgWord* args) override;
    void SetDefendPoint(ScriptArgWord* args) override;
    void ResetDefendPoint(ScriptArgWord* args) override;
    void LockedZoneRelevant(ScriptArgWord* args) override;
    void CanSeeTarget(ScriptArgWord* args) override;
    void PlaySound(ScriptArgWord* args) override;
    // The methods bound directly (not through a slot).
    void MoveToTargetLastPos(ScriptArgWord* args);
    void RotateToTargetLastPos(ScriptArgWord* args);
    void DistFromTargetLastPos(ScriptArgWord* args);
    void RandomMove(ScriptArgWord* args);
    void GetRandMoveDuration(ScriptArgWord* args);
    void ResetRandMoveDuration(ScriptArgWord* args);
    void TargetSeenTimeout(ScriptArgWord* args);
    void DistFromHome(ScriptArgWord* args);
    void MoveHome(ScriptArgWord* args);
    void RotateRandom(ScriptArgWord* args);
    void PatrolMode(ScriptArgWord* args);
    void Idle(ScriptArgWord* args);

    AIVisibleList<AIInterface> visibleFriends;
    AIVisibleList<AIInterface> visibleEnemies;
    AIVisibleList<Actor> visibleBodies;
    AIInterface* lockedTarget = nullptr;
    AIInterface* lockers[AI_LOCKER_CAPACITY] = {};
    u32_t lockerCount = 0;
    u32_t queryStamps[MAX_AII_EVENTS] = {};
    u8_t eventFlags[MAX_AII_EVENTS] = {};
    u32_t eventDueTimes[MAX_AII_EVENTS] = {};
    DefendPoint* defendPoint = nullptr;
    Vector3 eventPositions[MAX_AII_EVENTS];
    AICommandStack* commandStack = nullptr;  // its place under its group's commander; null: none
    u32_t lastRandomMove = 0;
    u32_t targetSeenTime = 0;
    Vector3 targetLastPos;
    Vector3 homePosition;
    u32_t randomMoveStart = 0;
    EngineString scriptFile;
    u8_t collision = 0;
    u8_t cautious = 0;
    u8_t randomMoveRequest = 0;
    u8_t jinkActive = 0;
    s32_t jinkSide = 0;
    u8_t grenadeNearby = 0;
    Vector3 grenadePos;
    u8_t legInjured = 0;
    s32_t movementMode = 1;
    u8_t backwardMovement = 0;
    u8_t outOfPlay = 0;          // taken out of play
    u8_t dormant = 1;            // too far from the viewer to be simulated
    Actor* body = nullptr;       // not owned; null once the body is gone
    AIEntity* entity = nullptr;  // owned
    RuleSet* ruleSet = nullptr;  // owned
    AIGroup* group = nullptr;
    float situationValue = 0.0f;   // published to scripts as "sit_val"
    u8_t moveToObjectPending = 0;  // an order's move: its route end is reported ("messages._gm_move_end")
    u8_t watchState = 0;           // at most one of watchState and fightState is 1
    u8_t fightState = 0;
    DynamicObject* fixedWeapon = nullptr;
    DynamicObject* takeObject = nullptr;
    s32_t dormancyJitter = 0;  // 0..499 ms, spreads the dormancy checks of the soldiers
    u32_t lastDormancyCheck = 0;

    s32_t lastEvent = -1;
    u32_t lastEventTick = 0;
    u32_t eventCount = 0;
    u32_t deathReports = 0;
    u8_t alertStateByte = 0;
    s32_t behaviourMode = 0;  // 0 normal, 2 recon, 3 aggressive (the envelope's behaviour methods)

private:
    // Gives the body the destination and keeps the body envelope's running mission-script command
    // from being completed by this move.
    void MoveBodyTo(const Vector3& point);
    // The rotation speed from the speed word when one is given (else the configured one), then the
    // body's heading and aim towards the point.
    void TurnBodyTo(const Vector3& point, const ScriptArgWord speed);
    // The body has a destination it is walking to.
    bool BodyBusyMoving() const;
    // The random destination of MoveToRandomPointInRadius and RandomMove, once per interval.
    void RandomMoveStep(float nearest, float farthest, u32_t interval);
    // Disables "moveto_fixed_weapon" and "follow_player" with their disable blocks run.
    void DisableOrderRules();
    void LetGoOfFixedWeapon();
};

// Takes the interface out of the AI table: the last entry moves into its place. Returns the index it
// had, or the table's count when it was not there.
u32_t AIRemoveInterface(AIInterface* interface);
// Marks the interface out of play.
void AIDisableInterface(AIInterface* interface);
// True when the table is not empty and the interface's body lies within radius x 10 of the point.
bool AIIsNear(const AIInterface* interface, const Vector3& point, float radius);
