#include "actors/ai_entity.h"

#include "core/strings/text_case.h"

#include "actors/actor.h"
#include "actors/actor_words.h"
#include "ai/squads/patrol_path.h"
#include "core/log.h"
#include "map/registry/actor_lists.h"
#include "map/registry/actor_side_lists.h"
#include "map/map_cvars.h"
#include "map/trace/map_sight.h"

namespace {

constexpr float kFieldOfView = 1.5707964f;
constexpr float kAspect = 1.33f;
constexpr float kNearPlane = 0.2f;
// The default sight range is the view range x 10/3.
constexpr float kSightRangeFactor = 3.3333333f;
constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kScatterFactor = 0.7f;
constexpr float kSniperBonus = 50.0f;
// The source and line the unknown-keyword warning names.
constexpr const char* kParamSource = "actor";
constexpr int kParamCheckLine = 1196;

enum class Key { Class, MaxSight, PlayerRel, RotSpeed, PatrolPath, Health, AimTime, Scatter };

struct KeyEntry {
    const char* name;
    int count;
    Key key;
};

constexpr KeyEntry kKeys[] = {
    {"class", 1, Key::Class},        {"max_sight", 1, Key::MaxSight},     {"player_rel", 1, Key::PlayerRel},
    {"rot_speed", 1, Key::RotSpeed}, {"patrol_path", 1, Key::PatrolPath}, {"health", 1, Key::Health},
    {"aim_time", 1, Key::AimTime},   {"scatter", 2, Key::Scatter},
};

bool Is(const EngineString& word, const char* text)
{
    return CompareNoCase(word.Text(), text) == 0;
}

}  // namespace

AIEntity::AIEntity(Actor* body) : actor(body)
{
    D3DXMatrixIdentity(&view);
    D3DXMatrixIdentity(&viewWorld);
    sightRange = mfrange.Float() * kSightRangeFactor;
    BuildProjection();
    UpdateFrustum(true);
}

void AIEntity::BuildProjection()
{
    D3DXMatrixPerspectiveFovLH(&projection, kFieldOfView, kAspect, kNearPlane, sightRange);
}

void AIEntity::SetMaxSight(float value)
{
    float range = value * MapSightRangeFactor() * MapSightLightFactor() * 10.0f;
    const float cap = mfrange.Float() * 10.0f;
    if (range > cap)
        range = cap;
    sightRange = range;
    BuildProjection();
}

bool AIEntity::SetParam(const char* keyword, const EngineString* values, int count)
{
    const KeyEntry* entry = nullptr;
    for (const KeyEntry& candidate : kKeys) {
        if (CompareNoCase(keyword ? keyword : "", candidate.name) == 0) {
            entry = &candidate;
            break;
        }
    }
    if (!entry) {
        Log("WARNING: Unknow AIEntity param %s [%s:%d]\n", keyword ? keyword : "", kParamSource, kParamCheckLine);
        return false;
    }
    if (count != entry->count)
        return false;

    switch (entry->key) {
        case Key::Class:
            if (Is(values[0], "SNIPER"))
                soldierClass = SOLDIER_CLASS_SNIPER;
            else if (Is(values[0], "SCOUT"))
                soldierClass = SOLDIER_CLASS_SCOUT;
            return true;
        case Key::MaxSight:
            SetMaxSight(ActorWordFloat(values[0].Text()));
            return true;
        case Key::PlayerRel:
            if (Is(values[0], "NEUTRAL")) {
                SetTeam(ACTOR_TEAM_NEUTRAL);
                patrolAllowed = 1;
            } else if (Is(values[0], "FRIEND")) {
                SetTeam(ACTOR_TEAM_FRIEND);
            } else if (Is(values[0], "ENEMY")) {
                SetTeam(ACTOR_TEAM_ENEMY);
                patrolAllowed = 1;
            }
            return true;
        case Key::RotSpeed:
            configuredRotationSpeed = rotationSpeed = ActorWordFloat(values[0].Text());
            return true;
        case Key::PatrolPath:
            if (PatrolPath* path = AIFindPatrolPath(values[0].Text())) {
                assignedPatrolPath = currentPatrolPath = path;
                return true;
            }
            assignedPatrolPath = nullptr;
            return false;
        case Key::Health:
            health = ActorWordFloat(values[0].Text());
            if (actor)
                actor->energy = health;
            return true;
        case Key::AimTime:
            // The entry holds one value: the second aim time has none to come from.
            aimTimes[0] = static_cast<u32_t>(ActorWordInt(values[0].Text()));
            aimTimes[1] = 0;
            return true;
        case Key::Scatter:
            for (int k = 0; k < 2; ++k)
                scatter[k] = ActorWordFloat(values[k].Text()) * kDegreesToRadians * kScatterFactor;
            return true;
    }
    return false;
}

void AIEntity::SetTeam(s32_t newTeam)
{
    if (newTeam == team)
        return;
    // Only a listed body changes lists: the world lists a body when it enters, under the team it has
    // then, so a body that has not entered the world must not be listed here.
    const PtrRefArray<Actor>* list = ActorTeamList(team);
    const bool listed = actor && list && list->Contains(actor);
    if (listed)
        ActorSideListRemove(actor);
    team = newTeam;
    if (listed)
        ActorSideListAdd(actor);
}

bool AIEntity::IsEnemyOf(const AIEntity* other) const
{
    if (IsNeutral() || !other)
        return false;
    return other->team != team;
}

bool AIEntity::IsFriendOf(const AIEntity* other) const
{
    if (IsNeutral() || !other)
        return false;
    return other->team == team;
}

float AIEntity::GetSniperBonus() const
{
    return soldierClass == SOLDIER_CLASS_SNIPER ? kSniperBonus : 0.0f;
}

float AIEntity::ResetRotationSpeed()
{
    rotationSpeed = configuredRotationSpeed;
    return rotationSpeed;
}
