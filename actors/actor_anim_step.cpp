// The actor's animation step, once a frame after its moves: the legs and torso animations of its
// class, their frames, the one-shot animations (death, jump, landing, pose changes, reload), the
// re-fit of the body after side steps and turns, the end of the held crouch, a pending stance
// request, and the ground.
//
// Every animation is reached through the class's name tables. A class may lack an animation (cell
// 255), an entry may lack the slot of the variant, and a variant count may be 0: then the node keeps
// the animation it has and the variant is 0; no table is ever indexed with a missing cell.
#include <cmath>

#include "actors/actor_class.h"
#include "actors/actor_motion.h"
#include "actors/anim_name_tables.h"
#include "actors/vehicles/vehicle.h"
#include "actors/weapons/weapon.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "core/strings/text_case.h"
#include "game/mission/game_messages.h"
#include "game/player/game_water.h"
#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "render/render_cvars.h"
#include "world/animation/anim_mesh.h"
#include "world/decals/decal_builders.h"

namespace {

constexpr u32_t kEchoDelayMs = 300;

// The entry a cell of a table row names in the group; null for a missing cell or entry.
const AnimEntry* EntryAt(const std::vector<u8_t>& table, size_t cellIndex, const std::vector<AnimGroup>& groups,
                         size_t group)
{
    if (cellIndex >= table.size() || group >= groups.size())
        return nullptr;
    const u8_t cell = table[cellIndex];
    if (cell == ANIM_CELL_NONE || cell >= groups[group].entries.size())
        return nullptr;
    return &groups[group].entries[cell];
}

const AnimEntry* LegsEntry(const Actor* a, s32_t id, s32_t pose)
{
    if (!a->classInfo || id < 0 || pose < 0 || pose >= ACTOR_POSES)
        return nullptr;
    const size_t cell = static_cast<size_t>(a->weaponKind) * LEGS_TABLE_ROW + static_cast<size_t>(id) * ACTOR_POSES +
                        static_cast<size_t>(pose);
    return EntryAt(a->classInfo->legsNames, cell, a->classInfo->legsGroups, a->weaponKind);
}

const AnimEntry* TorsoEntry(const Actor* a, s32_t id)
{
    if (!a->classInfo || a->pose < 0 || a->pose >= ACTOR_POSES)
        return nullptr;
    const size_t cell = static_cast<size_t>(a->torsoSet) * TORSO_TABLE_ROW + static_cast<size_t>(id) * ACTOR_POSES +
                        static_cast<size_t>(a->pose);
    return EntryAt(a->classInfo->torsoNames, cell, a->classInfo->torsoGroups, a->torsoSet);
}

const AnimEntry* TransitionEntry(const Actor* a, s32_t id)
{
    if (!a->classInfo)
        return nullptr;
    const size_t cell = static_cast<size_t>(a->torsoSet) * TORSO_TRANSITION_IDS + static_cast<size_t>(id);
    return EntryAt(a->classInfo->transitions, cell, a->classInfo->interphaseGroups, a->torsoSet);
}

const AnimEntry* PhaseEntry(const Actor* a, s32_t id)
{
    if (!a->classInfo)
        return nullptr;
    const size_t cell = static_cast<size_t>(a->torsoSet) * TORSO_MOVE_PHASE_IDS + static_cast<size_t>(id);
    return EntryAt(a->classInfo->phases, cell, a->classInfo->phaseGroups, a->torsoSet);
}

// The animation of the variant's slot; null when the slot is empty.
AnimMesh* EntryAnim(const AnimEntry* entry, s32_t variant)
{
    if (!entry || variant < 0 || variant >= entry->animationCount || variant >= MAX_ANIM_ALIASES)
        return nullptr;
    return entry->animations[variant];
}

// Puts the animation on the node unless it is already there; nothing without one.
void PutAnim(GraphNode* node, AnimMesh* mesh, bool blend)
{
    if (!node || !mesh || node->GetAnimMesh() == mesh)
        return;
    if (!node->GetAnimMesh())
        node->SetAnimMesh(mesh);
    else
        node->SwitchAnim(mesh, blend);
}

float LastFrame(const AnimMesh* mesh)
{
    return mesh ? static_cast<float>(mesh->frames_c) - 1.0f : 0.0f;
}

float EntryRate(const AnimEntry* entry, const AnimMesh* mesh)
{
    if (entry && entry->speed != 0.0f)
        return entry->speed;
    return mesh ? mesh->frameRate : 0.0f;
}

s32_t TorsoIdOf(const Actor* a)
{
    return a->weaponRaised ? TORSO_AIM : a->aiming ? TORSO_SHOT : a->reloading ? TORSO_RELOAD : TORSO_POSE;
}

void SetModeBracketed(Actor* a, s32_t mode)
{
    ActorAimAdjust(a, true);
    a->SetMovementMode(mode);
    ActorAimAdjust(a, false);
}

void RefreshShadowsAndCast(Actor* a)
{
    a->InvalidateShadows();
    a->SetCastsShadow(true);
}

// The class's drive record named by the seat's "actor_anim" (the first drive group, first equal name
// without regard to case); null when the seat names none the class has.
const DriveAnim* SeatAnim(const Actor* a)
{
    if (!a->seat || !a->classInfo || a->classInfo->driveGroups.empty() || a->seat->actorAnim.IsEmpty())
        return nullptr;
    for (const DriveAnim& record : a->classInfo->driveGroups[0].anims) {
        if (CompareNoCase(record.name.Text(), a->seat->actorAnim.Text()) == 0)
            return &record;
    }
    return nullptr;
}

void DeadStep(Actor* a)
{
    ActorFollowGround(a, false);
    const float dt = ActorFrameTime();
    const DeathAnim* death = nullptr;
    if (a->classInfo && a->deathSet >= 0 && static_cast<size_t>(a->deathSet) < a->classInfo->deathGroups.size()) {
        const DeathGroup& group = a->classInfo->deathGroups[static_cast<size_t>(a->deathSet)];
        if (a->deathVariant >= 0 && static_cast<size_t>(a->deathVariant) < group.anims.size())
            death = &group.anims[static_cast<size_t>(a->deathVariant)];
    }
    GraphNode* body = ActorBodyNode(a);
    GraphNode* torso = ActorTorsoNode(a);
    AnimMesh* legs = death ? death->legs : nullptr;
    AnimMesh* upper = death ? death->torso : nullptr;
    PutAnim(body, legs, true);
    PutAnim(torso, upper, true);
    a->deathLegsFrame += dt * (death ? death->legsSpeed : 0.0f);
    a->deathTorsoFrame += dt * (death ? death->torsoSpeed : 0.0f);
    // A death the class lacks counts as run out.
    const bool legsEnd = a->deathLegsFrame >= LastFrame(legs);
    const bool torsoEnd = a->deathTorsoFrame >= LastFrame(upper);
    if (!legsEnd && body)
        body->SetFrame(a->deathLegsFrame);
    if (!torsoEnd && torso)
        torso->SetFrame(a->deathTorsoFrame);
    bool corpseBegins = false;
    if (legsEnd) {
        corpseBegins = !a->isCorpse;
        a->isCorpse = true;
        a->isCollidable = false;
        a->isMovable = false;
        if (torsoEnd && !a->deathDone) {
            a->deathDone = true;
            a->shownMode = ACTOR_MOVE_IDLE;
            if (a->bloodPending) {
                const Vector3 p = a->GetPosition();
                const float point[3] = {p.x, p.y, p.z};
                u32_t surface = 0;
                if (!GameIsPointUnderWater(&surface, point) && rbdrawblood.Bool()) {
                    DecalCreateActorBlood(a);
                    a->bloodPending = false;
                }
            }
        }
    }
    if (!legsEnd || !torsoEnd || corpseBegins)
        RefreshShadowsAndCast(a);
    a->boundsValid = 0;
}

void TurnInPlaceIfDue(Actor* a, u32_t now)
{
    if (static_cast<float>(now - a->turnInPlaceStart) < a->turnInPlaceTime) {
        a->turningInPlace = true;
        ActorTurnInPlace(a);
    }
    if (a->turningInPlace) {
        a->fitBody = true;
        a->turningInPlace = false;
    }
}

void PoseTransition(Actor* a, float dt)
{
    const AnimEntry* legs = nullptr;
    const AnimEntry* upper = nullptr;
    if (a->transitionKind == 0 && a->crouched && !a->momentaryCrouch) {
        legs = LegsEntry(a, LEGS_STAY_TO_CROUCH, 0);
    } else if (a->transitionKind == 1 && !a->crouched && !a->prone) {
        legs = LegsEntry(a, LEGS_CROUCH_TO_STAY, 1);
    } else if (a->transitionKind == 1 && a->prone) {
        legs = LegsEntry(a, LEGS_CROUCH_TO_PRONE, 1);
        upper = TransitionEntry(a, TRANSITION_CROUCH_TO_PRONE);
    } else if (a->transitionKind == 2 && a->crouched) {
        legs = LegsEntry(a, LEGS_PRONE_TO_CROUCH, 2);
        upper = TransitionEntry(a, TRANSITION_PRONE_TO_CROUCH);
    }
    AnimMesh* mesh = EntryAnim(legs, 0);
    GraphNode* body = ActorBodyNode(a);
    PutAnim(body, mesh, false);
    PutAnim(ActorTorsoNode(a), EntryAnim(upper, 0), false);
    const float rate = EntryRate(legs, mesh);
    a->transitionFrame += (legs && legs->reverse ? -rate : rate) * dt;
    const float end = mesh ? static_cast<float>(mesh->frames_c) - 2.0f : 0.0f;
    if (std::fabs(a->transitionFrame) >= end) {
        a->poseChanging = false;
        a->transitionFrame = 0.0f;
    } else if (body) {
        body->SetFrame(std::fabs(a->transitionFrame));
    }
}

void StanceRequest(Actor* a)
{
    if (a->targetPose == -1)
        return;
    const s32_t s = a->GetActorPose();
    switch (a->targetPose) {
        case 0:
            if (s == 0)
                a->targetPose = -1;
            else
                a->PoseUp();
            break;
        case 1:
            if (s == 1)
                a->targetPose = -1;
            else if (s == 0)
                a->PoseDown();
            else
                a->PoseUp();
            break;
        case 2:
            if (s == 2)
                a->targetPose = -1;
            else
                a->PoseDown();
            break;
        default:
            break;
    }
}

// The body hangs from the weapon's "x01" node; the actor stands at the weapon's origin.
void HoldOnMountedWeapon(Actor* a)
{
    Weapon* weapon = a->mountedWeapon;
    GraphNode* body = ActorBodyNode(a);
    if (body && body->GetParent() == a->GetRootNode())
        GameLinkActorBodyRange(a, weapon->FindChild("x01"), "xdef", "xdef");
    GraphNode* root = weapon->GetRootNode();
    if (!root)
        return;
    D3DXMATRIX world;
    root->UpdateTransform(&world);
    a->SetPosition({world._41, world._42, world._43});
}

}  // namespace

float ActorTurnInPlace(Actor* a)
{
    ActorAimAdjust(a, true);
    const AnimEntry* idle = LegsEntry(a, LEGS_IDLE, a->pose);
    AnimMesh* mesh = EntryAnim(idle, 0);
    PutAnim(ActorBodyNode(a), mesh, true);
    const float dt = ActorFrameTime();
    const float seconds = a->turnInPlaceTime * 0.001f;
    const float d50 = dt * 50.0f / seconds * kActorDegToRad;
    const float d25 = dt * 25.0f / seconds * kActorDegToRad;
    GraphNode* body = ActorBodyNode(a);
    GraphNode* torso = ActorTorsoNode(a);
    GraphNode* head = ActorHeadNode(a);
    const bool headLeft = ActorNodeAngle(head, 1) > 0.0f;
    ActorSetNodeAngle(body, 2, ActorNodeAngle(body, 2) + (headLeft ? d50 : -d50));
    if (ActorNodeAngle(torso, 1) != 0.0f)
        ActorSetNodeAngle(torso, 1, ActorNodeAngle(torso, 1) + (headLeft ? -d25 : d25));
    if (ActorNodeAngle(head, 1) != 0.0f)
        ActorSetNodeAngle(head, 1, ActorNodeAngle(head, 1) + (headLeft ? -d25 : d25));
    ActorAimAdjust(a, false);
    return mesh ? mesh->frameRate : 0.0f;
}

void ActorAnimationStep(Actor* a)
{
    const u32_t now = GetTickCount();
    const float dt = ActorFrameTime();
    // 1. The dead only play their death.
    if (a->isDead) {
        DeadStep(a);
        return;
    }
    GraphNode* body = ActorBodyNode(a);
    GraphNode* torso = ActorTorsoNode(a);
    // 2. Jump.
    if (a->jumping) {
        if (static_cast<float>(now - a->jumpStart) > a->jumpDuration) {
            a->jumping = false;
            a->jumpPhase = 0.0f;
            a->jumpFrame = 0.0f;
            a->jumpStarted = false;
            a->jumpDirection = {0.0f, 0.0f, 0.0f};
            a->landing = true;
        } else {
            ActorJumpStep(a);
        }
    }
    // 3. A mounted weapon holds the body at its seat point.
    if (a->mountedWeapon && ActorMountedWithoutGoal(a))
        HoldOnMountedWeapon(a);
    // 4. In a vehicle the seat holds the body still.
    if (a->inVehicle) {
        SetModeBracketed(a, ACTOR_MOVE_IDLE);
        if (const DriveAnim* seated = SeatAnim(a)) {
            PutAnim(body, seated->legs, true);
            PutAnim(torso, seated->torso, true);
        }
        a->TurnTo(0.0f, true);
        a->SetPitch(0.0f);
        return;
    }
    // 5. The weapon is down until the pose raises it; a jump in motion falls back to idle.
    a->weaponRaised = false;
    if (a->jumping && a->movementMode != ACTOR_MOVE_IDLE)
        SetModeBracketed(a, ACTOR_MOVE_IDLE);
    // 6. Idle variant timer.
    bool newVariant = false;
    if (static_cast<float>(a->idleTick) + a->idleInterval <= static_cast<float>(now)) {
        a->idleTick = now;
        newVariant = true;
    }
    // 7. Legs animation of the mode in the pose.
    const AnimEntry* legs = LegsEntry(a, LegsIdOfMode(a->movementMode), a->pose);
    AnimMesh* legsMesh = EntryAnim(legs, 0);
    PutAnim(body, legsMesh, a->movementMode == ACTOR_MOVE_IDLE ? a->shownMode != ACTOR_MOVE_RUN : true);
    float legsRate = EntryRate(legs, legsMesh);
    if (a->movementMode == ACTOR_MOVE_IDLE)
        TurnInPlaceIfDue(a, now);
    // 8. A new phase starts at variant 0.
    if ((a->shownMode != a->movementMode || a->shownWeaponKind != a->weaponKind || a->shownTorsoSet != a->torsoSet ||
         a->poseChanged) &&
        !a->weaponRaised && !a->aiming) {
        ActorAimAdjust(a, true);
        a->animVariant = 0;
        ActorAimAdjust(a, false);
    }
    // 9. Torso animation.
    if (a->weaponRaiseRequest || a->aiming) {
        a->raiseTick = now;
        ActorAimAdjust(a, true);
        a->weaponRaised = true;
        ActorAimAdjust(a, false);
        PutAnim(torso, EntryAnim(TorsoEntry(a, TORSO_AIM), a->animVariant), true);
        if (a->aiming)
            ActorReapplyPitch(a);
    } else {
        const AnimEntry* normal = TorsoEntry(a, TorsoIdOf(a));
        if (newVariant) {
            const s32_t count = normal ? normal->animationCount : 0;
            ActorAimAdjust(a, true);
            a->animVariant = count > 0 ? EngineRand() % count : 0;
            ActorAimAdjust(a, false);
        }
        PutAnim(torso, EntryAnim(normal, a->animVariant), true);
        if (static_cast<float>(a->raiseTick) + a->raiseInterval >= static_cast<float>(now) && a->raiseTick != 0) {
            a->weaponRaised = true;
            PutAnim(torso, EntryAnim(TorsoEntry(a, TORSO_AIM), a->animVariant), true);
        } else {
            ActorReapplyPitch(a);
        }
    }
    // 10. Crawling.
    if (a->prone && (a->movementMode == ACTOR_MOVE_WALK || a->movementMode == ACTOR_MOVE_BACKWARD)) {
        const AnimEntry* phase =
            PhaseEntry(a, a->movementMode == ACTOR_MOVE_WALK ? PHASE_MOVE_FORWARD : PHASE_MOVE_BACKWARD);
        PutAnim(torso, EntryAnim(phase, 0), true);
    }
    // 11. Legs frame.
    if (body) {
        if (a->jumping) {
            const AnimEntry* jump = LegsEntry(a, LEGS_JUMP, 0);
            AnimMesh* mesh = EntryAnim(jump, 0);
            PutAnim(body, mesh, true);
            a->jumpFrame += EntryRate(jump, mesh) * dt;
            if (a->jumpFrame > LastFrame(mesh))
                a->jumpFrame = LastFrame(mesh);
            body->SetFrame(a->jumpFrame);
        } else if (a->shownMode == a->movementMode) {
            body->SetFrame(body->GetFrame() + legsRate * dt);
        } else {
            body->SetFrame(0.0f);
        }
    }
    // 12. Landing.
    if (a->landing) {
        const AnimEntry* fall = LegsEntry(a, LEGS_FALL, 0);
        AnimMesh* mesh = EntryAnim(fall, 0);
        PutAnim(body, mesh, true);
        a->landFrame += EntryRate(fall, mesh) * dt;
        if (a->landFrame >= LastFrame(mesh)) {
            a->landing = false;
            a->landFrame = 0.0f;
        } else if (body) {
            body->SetFrame(a->landFrame);
        }
    }
    // 13. Pose transition.
    if (a->poseChanging)
        PoseTransition(a, dt);
    // 14. Reload.
    if (a->reloading) {
        const AnimEntry* reload = TorsoEntry(a, TORSO_RELOAD);
        AnimMesh* mesh = EntryAnim(reload, a->animVariant);
        PutAnim(torso, mesh, true);
        a->reloadFrame += EntryRate(reload, mesh) * dt;
        if (a->reloadFrame >= (mesh ? static_cast<float>(mesh->frames_c) - 2.0f : 0.0f)) {
            ActorAimAdjust(a, true);
            a->reloading = false;
            ActorAimAdjust(a, false);
            a->reloadFrame = 0.0f;
            ActorReapplyPitch(a);
        } else if (torso) {
            torso->SetFrame(a->reloadFrame);
        }
    }
    // 15. Re-fit after side steps and turns: the offsets of the phase now shown.
    if (a->fitBody) {
        ActorAimAdjust(a, true);
        ActorAimAdjust(a, false);
        a->fitBody = false;
    }
    // 16. Bookkeeping.
    a->shownSideStep = a->sideStep;
    a->shownMode = a->movementMode;
    // The echo of the last shot follows once the weapon has been quiet for a while.
    if (Weapon* held = a->WeaponInHand(); held && now - held->lastShotTime >= kEchoDelayMs)
        held->PlayEcho();
    a->wasAiming = a->aiming;
    a->previousSpeed = a->currentSpeed;
    a->shownWeaponKind = a->weaponKind;
    a->shownTorsoSet = a->torsoSet;
    a->currentSpeed = 0.0f;
    a->slowMove = false;
    // 17. The held crouch lasts one step.
    if (a->momentaryCrouch) {
        ActorAimAdjust(a, true);
        a->crouched = false;
        a->momentaryCrouch = false;
        a->pose = ACTOR_POSE_STAND;
        ActorAimAdjust(a, false);
    }
    // 18. The aim is set and cleared again, and the frame's aiming and pose requests end.
    ActorAimAdjust(a, true);
    a->aiming = false;
    a->weaponRaiseRequest = false;
    a->poseChanged = false;
    ActorAimAdjust(a, false);
    SetModeBracketed(a, ACTOR_MOVE_IDLE);
    a->sideStep = -1;
    // 19. Weapon change.
    if (a->slotChangeRequest) {
        a->SwapWeaponNodes(a->pendingSlotKind);
        a->slotChangeRequest = false;
    }
    // 20. Ground for soldiers.
    if (a != g_frameView.player)
        ActorFollowGround(a, false);
    // 21. The body node turns to the body angle.
    ActorSetNodeAngle(body, 2, a->bodyAngle);
    // 22. One step of a pending stance request.
    StanceRequest(a);
}
