// The actor's saved state for savegames and the restart information, the reset for a new start, the
// seat placement of passengers, and the points an actor looks from and is aimed at.
#include "actors/actor.h"

#include "core/frame_view.h"
#include "core/strings/text_case.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "actors/actor_class.h"
#include "actors/actor_motion.h"
#include "actors/ai_entity.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_interface.h"
#include "ai/msal/mission_script_runner.h"
#include "ai/soldier/path_follower.h"
#include "core/files/byte_io.h"
#include "core/random.h"
#include "platform/d3dx8_math.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/saved_object_state.h"

namespace {

constexpr float kSeatDrop = 12.0f;

bool Excludes(const DeathAnim& entry, const char* weaponName)
{
    for (const EngineString& excluded : entry.excludeNames)
        if (CompareNoCase(excluded.Text(), weaponName) == 0)
            return true;
    return false;
}

// The weapon of the selected slot; null for none (or slot 255).
const Weapon* SelectedWeapon(const Actor* actor)
{
    return actor->selectedSlot < kActorWeaponSlots ? actor->weapons[actor->selectedSlot] : nullptr;
}

void SetLastFrame(GraphNode* node, AnimMesh* mesh, float* kept)
{
    if (!node || !mesh)
        return;
    node->SwitchAnim(mesh, false);
    const float frame = static_cast<float>(mesh->frames_c) - 2.0f;
    *kept = frame < 0.0f ? 0.0f : frame;
    node->SetFrame(*kept);
}

// Lays the living actor down dead in the last pose of a death of its pose that its weapon allows,
// without sound, message or script event. No fitting death keeps the current animation.
void LayDown(Actor* actor)
{
    actor->isDead = true;
    actor->deathSet = 0;
    actor->deathVariant = -1;
    const ActorClassInfo* info = actor->classInfo;
    if (info && !info->deathGroups.empty()) {
        const Weapon* weapon = SelectedWeapon(actor);
        const char* weaponName = weapon ? weapon->name.Text() : "";
        const DeathGroup& group = info->deathGroups[0];
        std::vector<s32_t> candidates;
        for (size_t i = 0; i < group.anims.size(); ++i) {
            const DeathAnim& entry = group.anims[i];
            if (entry.pose == static_cast<u8_t>(actor->GetActorPose()) && !Excludes(entry, weaponName))
                candidates.push_back(static_cast<s32_t>(i));
        }
        if (!candidates.empty()) {
            actor->deathVariant = candidates[static_cast<u32_t>(EngineRand()) % static_cast<u32_t>(candidates.size())];
            const DeathAnim& chosen = group.anims[static_cast<size_t>(actor->deathVariant)];
            SetLastFrame(ActorBodyNode(actor), chosen.legs, &actor->deathLegsFrame);
            SetLastFrame(ActorTorsoNode(actor), chosen.torso, &actor->deathTorsoFrame);
        }
    }
    actor->isCollidable = false;
    actor->isMovable = false;
    if (actor->ai)
        AIDisableInterface(actor->ai);
    if (actor->envelope)
        actor->envelope->Hide(nullptr);
}

}  // namespace

float ActorPoseHeight(s32_t pose, s32_t kind)
{
    static const float kHeights[2][3] = {{14.0f, 7.0f, 2.0f}, {16.0f, 12.0f, 2.0f}};
    if (kind < ACTOR_AIM_BODY || kind > ACTOR_AIM_EYE || pose < ACTOR_POSE_STAND || pose > ACTOR_POSE_PRONE)
        return 0.0f;
    return kHeights[kind - ACTOR_AIM_BODY][pose];
}

float Actor::GetPoseHeight(s32_t kind) const
{
    return ActorPoseHeight(GetActorPose(), kind);
}

Vector3* Actor::GetAimPointForPose(Vector3* out, s32_t poseCode, s32_t kind) const
{
    *out = GetPosition();
    out->y += ActorPoseHeight(poseCode, kind);
    return out;
}

Vector3* Actor::GetAimPoint(Vector3* out, s32_t kind) const
{
    return GetAimPointForPose(out, GetActorPose(), kind);
}

void Actor::FollowSeatPoint()
{
    if (this == g_frameView.player || !seat || !seat->attachNode)
        return;
    D3DXMATRIX world;
    seat->attachNode->UpdateTransform(&world);
    SetPosition({world._41, world._42 - kSeatDrop, world._43});
}

void Actor::ResetPoseAndWeapons()
{
    for (Weapon* weapon : weapons) {
        if (weapon)
            weapon->ResetAmmo();
    }
    ClearDecals();
    pose = ACTOR_POSE_STAND;
    crouched = false;
    prone = false;
    momentaryCrouch = false;
    poseChanging = false;
    poseChanged = false;
    animVariant = 0;
}

void Actor::SaveState(SavedObjectState* state)
{
    if (!state)
        return;
    u8_t* area = state->kindArea;
    std::memset(area, 0, ACTOR_STATE_SIZE);
    const AIEntity* entity = GetAIEntity();
    // The whole part of the health; a value beyond the 32-bit range is held at its end.
    const float health = entity ? entity->health : 0.0f;
    s32_t whole = 0;
    if (health >= 2147483520.0f)
        whole = 2147483647;
    else if (health <= -2147483648.0f)
        whole = -2147483647 - 1;
    else if (std::isfinite(health))
        whole = static_cast<s32_t>(health);
    StoreU32(area + ACTOR_STATE_HEALTH, static_cast<u32_t>(whole));
    // No weapon in hand is written as kind 0.
    const Weapon* weapon = SelectedWeapon(this);
    StoreU32(area + ACTOR_STATE_SLOT_KIND, weapon ? weapon->slotType : 0u);
    area[ACTOR_STATE_PATROL] = entity ? entity->patrolAllowed : 0;
    area[ACTOR_STATE_ALERT] = entity ? entity->inAlert : 0;
    area[ACTOR_STATE_AI_BYTE] = ai ? ai->alertStateByte : 0;
    StoreU32(area + ACTOR_STATE_MOVEMENT, static_cast<u32_t>(movementMode));
    StoreU32(area + ACTOR_STATE_POSE, static_cast<u32_t>(pose));
    area[ACTOR_STATE_FOLLOWER_BYTE] = follower ? follower->moving : 0;
    StoreU32(area + ACTOR_STATE_FOLLOWER_WORD, follower ? follower->stateWord : 0u);
}

void Actor::LoadState(SavedObjectState* state)
{
    if (!state)
        return;
    const u8_t* area = state->kindArea;
    const s32_t health = static_cast<s32_t>(LoadU32(area + ACTOR_STATE_HEALTH));
    const u32_t slotKind = LoadU32(area + ACTOR_STATE_SLOT_KIND);
    const s32_t savedPose = static_cast<s32_t>(LoadU32(area + ACTOR_STATE_POSE));
    const s32_t savedMode = static_cast<s32_t>(LoadU32(area + ACTOR_STATE_MOVEMENT));
    if (isDead && health > 0) {
        Revive();
        if (ai)
            ai->outOfPlay = 0;
        sensedFlag = false;
    } else if (!isDead && health <= 0) {
        LayDown(this);
    }
    AIEntity* entity = GetAIEntity();
    if (ai)
        ai->ResetState();
    if (entity)
        entity->health = static_cast<float>(health);
    if (follower) {
        follower->Reset();
        follower->Stop();
    }
    // The soldier's mission script starts its list again with the restored soldier; a command of the
    // old run that would still complete must not move the new one on.
    if (envelope) {
        MSALRunner* running = MSALEnvelopeRunner(envelope);
        if (running)
            running->Reset();
        if (envelope->runner && envelope->runner != running)
            envelope->runner->Reset();
        envelope->msalNotifyPending = 0;
    }
    // A kind beyond the five slot kinds names no weapon: the hand stays as it is.
    if (slotKind <= WEAPON_SLOT_EXPLOSIVE && SelectWeaponKind(static_cast<s32_t>(slotKind)))
        SwapWeaponNodes(static_cast<u16_t>(slotKind));
    if (isDead)
        HolsterWeaponInHand();
    if (entity) {
        entity->ResetRotationSpeed();
        entity->currentPatrolPath = entity->assignedPatrolPath;
        entity->patrolAllowed = area[ACTOR_STATE_PATROL];
        entity->inAlert = area[ACTOR_STATE_ALERT];
    }
    if (ai)
        ai->alertStateByte = area[ACTOR_STATE_AI_BYTE];
    // Poses and modes beyond their codes are not taken from a damaged record.
    if (savedMode >= ACTOR_MOVE_IDLE && savedMode <= ACTOR_MOVE_PATROL)
        movementMode = savedMode;
    if (savedPose >= ACTOR_POSE_STAND && savedPose <= ACTOR_POSE_PRONE)
        pose = savedPose;
    if (follower) {
        follower->moving = area[ACTOR_STATE_FOLLOWER_BYTE];
        follower->stateWord = LoadU32(area + ACTOR_STATE_FOLLOWER_WORD);
    }
}
