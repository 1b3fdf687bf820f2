// A soldier's sensing record: what the AI knows of its own body's senses and standing (the view
// frustum and sight range, team, class, health, rotation speed, patrol path, alert state and aim
// scatter). Its AIInterface owns it; it only points at its body.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"
#include "platform/d3dx8_math.h"

class Actor;
class DynamicObject;
struct PatrolPath;
template <class T>
class PtrRefArray;

// What FindVisibleActors collects.
enum VisibleSetKind : s32_t {
    VISIBLE_ANY_ACTOR = 0,  // every other actor, alive or dead
    VISIBLE_ENEMIES = 1,    // living actors, not neutral, that do not count this soldier a friend
    VISIBLE_FRIENDS = 2,    // living actors, not neutral, that do not count this soldier an enemy
    VISIBLE_STRUCTURES = 3,
    VISIBLE_CORPSES = 4,  // dead actors not found before; each is reported once
};

// The height of the frustum's eye above the body's position.
constexpr float AI_ENTITY_EYE_HEIGHT = 17.0f;

enum SoldierClass : u32_t {
    SOLDIER_CLASS_SCOUT = 0,
    SOLDIER_CLASS_SNIPER = 1,
};

// Five degrees.
constexpr float AI_ENTITY_ROTATION_SPEED = 0.0872664675f;

class AIEntity {
public:
    // The values of a fresh soldier, its projection, and a first view of its body.
    explicit AIEntity(Actor* body);
    AIEntity(const AIEntity&) = delete;
    AIEntity& operator=(const AIEntity&) = delete;

    // One "aiparam" entry: the keyword and its values. False for a wrong value count (silently) and
    // for an unknown keyword (with a warning in the log).
    bool SetParam(const char* keyword, const EngineString* values, int count);
    // A new team value moves the body from its team list to the new one when it is listed.
    void SetTeam(s32_t newTeam);
    bool IsNeutral() const { return team == 1; }
    // False for a neutral entity; else true when the other's team differs (a neutral other is the
    // enemy of both sides).
    bool IsEnemyOf(const AIEntity* other) const;
    // False for a neutral entity; else true when both teams are the same.
    bool IsFriendOf(const AIEntity* other) const;
    // 50.0 for a sniper, else 0.0.
    float GetSniperBonus() const;
    // The current rotation speed becomes the configured one; returns it.
    float ResetRotationSpeed();
    // Builds the view for the body's present heading, pitch, position and pose when forced or when
    // any of them changed since the last build.
    void UpdateFrustum(bool force);
    // Records the body's heading, pitch, position and pose as the view of the frustum.
    void SnapshotView();
    // True when the target's box lies in the frustum (unless skipped) and a sight line from the
    // body's eye reaches one of the box's four top corners.
    bool CanSee(DynamicObject* target, bool skipFrustum);
    // Collects the visible objects of a kind. On entry count is the array's capacity; on return the
    // number collected, at most capacity - 1. Without gbvo, enemies and friends come from the team
    // lists, with a chance of missing a soldier that falls with distance, fog and light.
    void FindVisibleActors(s32_t kind, DynamicObject** out, s32_t* count, bool acceptOutsideFrustum);
    // The team-list walk of FindVisibleActors; the same count convention.
    void CollectVisibleFromTeamList(const PtrRefArray<Actor>* list, DynamicObject** out, s32_t* count,
                                    bool acceptOutsideFrustum);

    Actor* actor;  // not owned; null once the body is gone
    D3DXMATRIX projection;
    D3DXMATRIX view;
    D3DXMATRIX viewWorld;
    D3DXPLANE frustumPlanes[6] = {};
    PatrolPath* assignedPatrolPath = nullptr;
    PatrolPath* currentPatrolPath = nullptr;  // null while in alert
    float viewHeading = 0.0f;
    float viewPitch = 0.0f;
    Vector3 viewPosition;
    u8_t viewPose = 0;
    float configuredRotationSpeed = AI_ENTITY_ROTATION_SPEED;
    u32_t aiState = 0;
    u32_t soldierClass = SOLDIER_CLASS_SCOUT;
    float sightRange = 0.0f;  // the frustum's far plane
    float scatter[2] = {};    // radians
    float rotationSpeed = AI_ENTITY_ROTATION_SPEED;
    s32_t team = 0;  // 0 FRIEND, 1 NEUTRAL, 2 ENEMY
    u8_t patrolAllowed = 0;
    u8_t inAlert = 0;
    u32_t lastAlertTick = 0;
    float health = 100.0f;
    u32_t aimTimes[2] = {};
    u32_t reactionDelay = 500;  // ms added to the due time of every AI event

private:
    void BuildFrustum();
    void BuildProjection();
    void SetMaxSight(float value);
};
