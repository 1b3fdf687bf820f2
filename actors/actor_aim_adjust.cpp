// The aim-adjust bracket: each animation phase may turn the head and torso by a few degrees for the
// weapon in hand, so that the weapon points where the actor looks. Every change of phase takes the
// old phase's offsets off and puts the new phase's on.

#include "actors/actor_class.h"
#include "actors/actor_motion.h"
#include "actors/anim_name_tables.h"
#include "actors/weapons/weapon.h"
#include "core/frame_view.h"
#include "core/strings/text_case.h"

namespace {

// The entry of the current phase, or null where the class lacks it (a cell of 255 or one past the
// group's entries is never followed).
const AnimEntry* CurrentPhaseEntry(const Actor* actor)
{
    const ActorClassInfo* info = actor->classInfo;
    if (!info || actor->pose < 0 || actor->pose >= ACTOR_POSES)
        return nullptr;
    const std::vector<u8_t>* table;
    const AnimGroup* group;
    size_t cellIndex;
    if (actor->movementMode != ACTOR_MOVE_IDLE) {
        const s32_t id = LegsIdOfMode(actor->movementMode);
        if (id < 0 || actor->weaponKind >= info->legsGroups.size())
            return nullptr;
        table = &info->legsNames;
        group = &info->legsGroups[actor->weaponKind];
        cellIndex = static_cast<size_t>(actor->weaponKind) * LEGS_TABLE_ROW + static_cast<size_t>(id) * ACTOR_POSES +
                    static_cast<size_t>(actor->pose);
    } else {
        const s32_t id = actor->aiming         ? TORSO_SHOT
                         : actor->weaponRaised ? TORSO_AIM
                         : actor->reloading    ? TORSO_RELOAD
                                               : TORSO_POSE;
        if (actor->torsoSet >= info->torsoGroups.size())
            return nullptr;
        table = &info->torsoNames;
        group = &info->torsoGroups[actor->torsoSet];
        cellIndex = static_cast<size_t>(actor->torsoSet) * TORSO_TABLE_ROW + static_cast<size_t>(id) * ACTOR_POSES +
                    static_cast<size_t>(actor->pose);
    }
    if (cellIndex >= table->size())
        return nullptr;
    const u8_t cell = (*table)[cellIndex];
    if (cell == ANIM_CELL_NONE || cell >= group->entries.size())
        return nullptr;
    return &group->entries[cell];
}

// The offsets (degrees) of the first item of a list named as the weapon with the variant's key.
Vector3 FindOffsets(const char (*names)[ANIM_ADJUST_NAME_SIZE], const u8_t* codes, const Vector3* offsets, u16_t count,
                    const char* weaponName, s32_t variant)
{
    const int n = count < ANIM_ADJUST_SLOTS ? count : ANIM_ADJUST_SLOTS;
    for (int i = 0; i < n; ++i) {
        if (CompareNoCase(names[i], weaponName) == 0 && codes[i] == static_cast<u8_t>(variant))
            return offsets[i];
    }
    return {0.0f, 0.0f, 0.0f};
}

}  // namespace

void ActorSetNodeAngle(GraphNode* node, int component, float value)
{
    if (!node)
        return;
    Vector3 r = node->GetRotation();
    (component == 0 ? r.x : component == 1 ? r.y : r.z) = value;
    node->SetRotation(r);
}

float ActorNodeAngle(const GraphNode* node, int component)
{
    if (!node)
        return 0.0f;
    const Vector3& r = node->GetRotation();
    return component == 0 ? r.x : component == 1 ? r.y : r.z;
}

void ActorApplyNodeOffsets(Actor* actor, const Vector3& headOffsets, const Vector3& torsoOffsets, bool applyHead,
                           bool remove)
{
    const float sign = remove ? -1.0f : 1.0f;
    auto add = [sign](GraphNode* node, const Vector3& degrees) {
        if (!node)
            return;
        Vector3 r = node->GetRotation();
        r.x += sign * degrees.x * kActorDegToRad;
        r.y += sign * degrees.y * kActorDegToRad;
        r.z += sign * degrees.z * kActorDegToRad;
        node->SetRotation(r);
    };
    if (applyHead)
        add(ActorHeadNode(actor), headOffsets);
    add(ActorTorsoNode(actor), torsoOffsets);
}

void ActorAimAdjust(Actor* actor, bool remove)
{
    if (actor->isDead || actor->weaponCount == 0)
        return;
    const AnimEntry* entry = CurrentPhaseEntry(actor);
    if (!entry)
        return;
    const Weapon* weapon = actor->selectedSlot < kActorWeaponSlots ? actor->weapons[actor->selectedSlot] : nullptr;
    if (!weapon)
        return;
    // Out-of-range variants use the first adjust block.
    const s32_t variant = actor->animVariant >= 0 && actor->animVariant < ANIM_TRIGGER_SLOTS ? actor->animVariant : 0;
    const AnimAdjustBlock& block = entry->adjustments[variant];
    const char* name = weapon->name.Text();
    const Vector3 head =
        FindOffsets(block.headNames, block.headCodes, block.headOffsets, block.headCount, name, actor->animVariant);
    const Vector3 torso =
        FindOffsets(block.torsoNames, block.torsoCodes, block.torsoOffsets, block.torsoCount, name, actor->animVariant);
    const bool applyHead =
        actor->movementMode == ACTOR_MOVE_IDLE || !(actor->reloading || actor->weaponRaised || actor->aiming);
    ActorApplyNodeOffsets(actor, head, torso, applyHead, remove);
}

void ActorAlignBody(Actor* actor)
{
    ActorSetNodeAngle(ActorBodyNode(actor), 2, -actor->heading);
    ActorSetNodeAngle(ActorTorsoNode(actor), 1, 0.0f);
    ActorSetNodeAngle(ActorHeadNode(actor), 1, 0.0f);
}

void ActorReapplyPitch(Actor* actor)
{
    actor->SetPitch(actor->pitch);
}

float ActorFrameTime()
{
    return g_frameView.frameTime;
}

s32_t LegsIdOfMode(s32_t mode)
{
    switch (mode) {
        case ACTOR_MOVE_IDLE:
            return LEGS_IDLE;
        case ACTOR_MOVE_WALK:
            return LEGS_MOVE_FORWARD;
        case ACTOR_MOVE_BACKWARD:
            return LEGS_MOVE_BACKWARD;
        case ACTOR_MOVE_RUN:
            return LEGS_FAST_FORWARD;
        case ACTOR_MOVE_RUN_BACKWARD:
            return LEGS_FAST_BACKWARD;
        case ACTOR_MOVE_LEFT:
            return LEGS_MOVE_LEFT;
        case ACTOR_MOVE_RIGHT:
            return LEGS_MOVE_RIGHT;
        case ACTOR_MOVE_PATROL:
            return LEGS_PATROL_FORWARD;
        default:
            return -1;
    }
}
