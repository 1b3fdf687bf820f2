// The soldier's weapon methods: ammunition, reloading, weapon choice and fire mode, the line of
// fire to the target, fixed weapons to man and objects to take.
#include <cmath>
#include <cstring>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_actions.h"
#include "ai/soldier/ai_interface.h"
#include "core/assert.h"
#include "map/trace/map_trace.h"
#include "map/registry/world_registry.h"
#include "world/nodes/graph_node.h"

namespace {

// Inventory slot kinds the switch methods select.
constexpr s32_t kPrimarySlot = 1;
constexpr s32_t kSecondarySlot = 2;
constexpr s32_t kGrenadeSlot = 3;

// The line of fire: the map and its objects (without the shooter), alpha-tested foliage letting it
// through below the threshold. It starts this far out of the shooter's body.
constexpr u32_t kFireLineFlags = TRACE_TILED | TRACE_OBJECTS;
constexpr u32_t kFireLineObjectOptions = OBJTRACE_ALPHA;
constexpr u8_t kFireLineAlphaThreshold = 0xA0;
constexpr float kFireLineStartOffset = 10.0f;

// TraceTarget's target kinds: 0 the eye point, 1 the body point, any other the position.
constexpr s32_t kTargetEye = 0;
constexpr s32_t kTargetBody = 1;

// The weapon unit whose rounds count: the current sub-weapon of the weapon in hand.
const Weapon* FireUnit(const Actor* body)
{
    const Weapon* weapon = body ? body->WeaponInHand() : nullptr;
    if (!weapon)
        return nullptr;
    return weapon->currentWeapon ? weapon->currentWeapon : weapon;
}

}  // namespace

void AIInterface::HasAmmo(ScriptArgWord* /*args*/)
{
    const Weapon* unit = FireUnit(body);
    g_scriptResult.asBool = unit && static_cast<s16_t>(unit->roundsInGun) > 0 ? 1 : 0;
}

void AIInterface::HasMagazines(ScriptArgWord* /*args*/)
{
    const Weapon* unit = FireUnit(body);
    g_scriptResult.asBool = unit && static_cast<s16_t>(unit->spareMagazines) > 0 ? 1 : 0;
}

void AIInterface::Reload(ScriptArgWord* /*args*/)
{
    if (!body)
        return;
    body->StartReload();
    const Actor* player = PlayerActor();
    const AIEntity* players = player ? player->GetAIEntity() : nullptr;
    if (!entity || !players || !entity->IsFriendOf(players))
        return;
    const Weapon* unit = FireUnit(body);
    const bool lastMagazine = !unit || static_cast<s16_t>(unit->spareMagazines) <= 0;
    AIShowRadioSubtitle(body, lastMagazine ? "messages._gm_low_ammo" : "messages._gm_reload");
}

void AIInterface::SwitchToPrimaryWeapon(ScriptArgWord* /*args*/)
{
    if (body)
        body->SelectWeaponKind(kPrimarySlot);
}

void AIInterface::SwitchToSecondaryWeapon(ScriptArgWord* /*args*/)
{
    if (body)
        body->SelectWeaponKind(kSecondarySlot);
}

void AIInterface::SwitchToGrenade(ScriptArgWord* /*args*/)
{
    if (body)
        body->SelectWeaponKind(kGrenadeSlot);
}

void AIInterface::SetWeaponMode(ScriptArgWord* args)
{
    Weapon* weapon = body ? body->WeaponInHand() : nullptr;
    if (!weapon || !AIArgGiven(args, 0))
        return;
    const u32_t mode = static_cast<u32_t>(AIArgInt(args, 0));
    if (weapon->fireMode != mode)
        weapon->SetFireMode(mode);
}

void AIInterface::WeaponModePresent(ScriptArgWord* args)
{
    const Weapon* weapon = body ? body->WeaponInHand() : nullptr;
    g_scriptResult.asBool =
        weapon && AIArgGiven(args, 0) && weapon->HasFireMode(static_cast<u32_t>(AIArgInt(args, 0))) ? 1 : 0;
}

void AIInterface::TraceTarget(ScriptArgWord* args)
{
    ENGINE_ASSERT_TEXT(AIArgGiven(args, 0), "par");
    g_scriptResult.asBool = 0;
    if (!lockedTarget || !lockedTarget->body || !body || !AIArgGiven(args, 0))
        return;
    Vector3 start;
    s32_t targetKind = 0;
    if (AIArgGiven(args, 1)) {
        body->GetAimPointForPose(&start, AIArgInt(args, 0), ACTOR_AIM_EYE);
        targetKind = AIArgInt(args, 1);
    } else {
        body->GetAimPoint(&start, ACTOR_AIM_EYE);
        targetKind = AIArgInt(args, 0);
    }
    const Actor* target = lockedTarget->body;
    Vector3 end = target->GetPosition();
    if (targetKind == kTargetEye)
        target->GetAimPoint(&end, ACTOR_AIM_EYE);
    else if (targetKind == kTargetBody)
        target->GetAimPoint(&end, ACTOR_AIM_BODY);
    const float dx = end.x - start.x, dy = end.y - start.y, dz = end.z - start.z;
    const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (length > 0.0f) {
        const float step = kFireLineStartOffset / length;
        start = {start.x + dx * step, start.y + dy * step, start.z + dz * step};
    }
    MapTraceInfo info;
    std::memset(static_cast<void*>(&info), 0, sizeof(info));
    info.flags = kFireLineFlags;
    info.objOptions = kFireLineObjectOptions;
    info.objAlphaThreshold = kFireLineAlphaThreshold;
    info.ignoreObject = body;
    const float from[3] = {start.x, start.y, start.z};
    const float to[3] = {end.x, end.y, end.z};
    if (!MapTrace(from, to, &info)) {
        g_scriptResult.asBool = 1;
        return;
    }
    const bool targetFirst =
        (info.resultKind & TRACE_RESULT_OBJECT_NEAREST) == TRACE_RESULT_OBJECT_NEAREST && info.hitObject == target;
    g_scriptResult.asBool = targetFirst ? 1 : 0;
}

void AIInterface::MoveToFixedWeapon(ScriptArgWord* args)
{
    if (!AIArgGiven(args, 0))
        return;
    fixedWeapon = FindWeaponByName(AIArgText(args, 0));
    if (fixedWeapon)
        MoveBodyTo(fixedWeapon->GetPosition());
}

void AIInterface::SetFixedWeapon(ScriptArgWord* /*args*/)
{
    if (fixedWeapon && body)
        body->TakeItem(fixedWeapon);
}

void AIInterface::HasFixedWeapon(ScriptArgWord* /*args*/)
{
    g_scriptResult.asBool = fixedWeapon ? 1 : 0;
}

void AIInterface::GetFixedWeaponDist(ScriptArgWord* /*args*/)
{
    g_scriptResult.asFloat = fixedWeapon && body
                                 ? AIScriptDistanceBetween(body->GetPosition(), fixedWeapon->GetPosition())
                                 : AI_FAR_DISTANCE;
}

void AIInterface::LetGoOfFixedWeapon()
{
    if (body)
        ActorLetGoOfMountedWeapon(body);
}

void AIInterface::ReleaseFixedWeapon(ScriptArgWord* /*args*/)
{
    LetGoOfFixedWeapon();
}

void AIInterface::MoveToTakeObject(ScriptArgWord* args)
{
    if (!AIArgGiven(args, 0))
        return;
    takeObject = DynObjectGet(DynObjectFindIndex(AIArgText(args, 0)));
    if (takeObject)
        MoveBodyTo(takeObject->GetPosition());
}

void AIInterface::TakeCurrentObject(ScriptArgWord* /*args*/)
{
    if (takeObject && body)
        body->TakeItem(takeObject);
}

void AIInterface::HasTakeObject(ScriptArgWord* /*args*/)
{
    g_scriptResult.asBool = takeObject ? 1 : 0;
}

void AIInterface::GetTakeObjectDist(ScriptArgWord* /*args*/)
{
    g_scriptResult.asFloat =
        takeObject && body ? AIScriptDistanceBetween(body->GetPosition(), takeObject->GetPosition()) : AI_FAR_DISTANCE;
}

void AIInterface::GetHealth(ScriptArgWord* /*args*/)
{
    g_scriptResult.asFloat = body ? body->GetHealth() : 0.0f;
}
