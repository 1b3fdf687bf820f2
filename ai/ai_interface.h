// The AI of one soldier: it makes the soldier's body (an Actor) and its sensing record (AIEntity),
// and keeps the AI state that the body's movement polls. The rule script, the events and the script
// methods come later; until then the queries answer as for a soldier with nothing to do.
//
// Ownership: the interface owns its AIEntity only. The body belongs to the world once it is there,
// and whoever takes it out of the world deletes it. Deleting either first clears the other's link.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"

class Actor;
class AIEntity;
class AIInterface;

// The defend point a soldier holds: its x and z and its envelope's object position.
struct DefendPoint {
    EngineString name;
    float x = 0.0f;
    float z = 0.0f;
    Vector3 objectPosition;
};

class AIInterface {
public:
    // Makes the body (a TeskActor for the Tesk team's soldier, else a plain actor) and its entity,
    // links the body back, and appends the interface to the AI table.
    explicit AIInterface(bool teskBody = false);
    // Leaves the AI table, deletes the entity and clears the body's link to this interface.
    virtual ~AIInterface();
    AIInterface(const AIInterface&) = delete;
    AIInterface& operator=(const AIInterface&) = delete;

    bool HasLockedTarget() const { return lockedTarget != nullptr; }
    AIInterface* GetLockedTarget() const { return lockedTarget; }
    void UnlockTarget() { lockedTarget = nullptr; }
    // Records an event for the rule script (event 1 is a hit); the rule script reads the latest.
    void RaiseEvent(s32_t eventId, u32_t tick)
    {
        lastEvent = eventId;
        lastEventTick = tick;
        ++eventCount;
    }
    void InjureLeg() { legInjured = 1; }
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
    // Clears the per-mission AI state of the soldier.
    void ResetState();
    // Tells the squad commander of the death (counted until the squads exist).
    void ReportDeath() { ++deathReports; }
    // Alert mode: the entity's alert fields, and the state byte that the end of alert clears.
    void SetAlertMode();
    void ResetAlertMode();

    Actor* body = nullptr;       // not owned; null once the body is gone
    AIEntity* entity = nullptr;  // owned
    AIInterface* lockedTarget = nullptr;
    DefendPoint* defendPoint = nullptr;
    EngineString scriptFile;
    Vector3 homePosition;
    u8_t reportArrival = 0;
    u8_t collision = 0;
    u8_t cautious = 0;
    u8_t randomMoveRequest = 0;
    u8_t jinkActive = 0;
    s32_t jinkSide = 0;
    u8_t legInjured = 0;
    s32_t lastEvent = -1;
    u32_t lastEventTick = 0;
    u32_t eventCount = 0;
    u32_t deathReports = 0;
    s32_t movementMode = 1;
    u8_t backwardMovement = 0;
    u8_t alertStateByte = 0;
    u8_t outOfPlay = 0;  // taken out of play
    u8_t dormant = 1;    // too far from the viewer to be simulated
    s32_t dormancyJitter = 0;
    u32_t lastDormancyCheck = 0;
};

// Takes the interface out of the AI table: the last entry moves into its place. Returns the index it
// had, or the table's count when it was not there.
u32_t AIRemoveInterface(AIInterface* interface);
// Marks the interface out of play.
void AIDisableInterface(AIInterface* interface);
