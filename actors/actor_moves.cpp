// The one-frame moves of an actor (walk, run and side steps), its movement mode, the pose commands,
// the held crouch, the jump and the always-run setting. Each move only shifts the root node and
// records what it did; the animation step reads the records, picks the animations and clears them.
#include <cmath>

#include "actors/actor_cvars.h"
#include "actors/actor_motion.h"
#include "actors/ai_entity.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"

namespace {

constexpr float kSlowMoveFactor = 1.4142135f * 0.5f;
constexpr float kStepPointDistance = 2.0f;
constexpr float kStrafeTwistAlone = 1.5707964f;
constexpr float kStrafeTwistCombined = 0.7853982f;
constexpr float kStrafeTwistProne = 0.62831855f;
constexpr float kRunStrafeTwist = 0.34906587f;

bool OnPatrol(const Actor* actor)
{
    const AIEntity* entity = actor->GetAIEntity();
    return entity && entity->patrolAllowed;
}

bool ForwardOrBackwardMode(s32_t mode)
{
    return mode == ACTOR_MOVE_WALK || mode == ACTOR_MOVE_RUN || mode == ACTOR_MOVE_BACKWARD ||
           mode == ACTOR_MOVE_RUN_BACKWARD;
}

// Sets stepPoint two units from the root along the angle and moves the root by the distance along
// that direction (height of the direction 0).
void StepAlong(Actor* actor, float angle, float distance)
{
    const Vector3 p = actor->GetPosition();
    actor->stepPoint = {p.x + kStepPointDistance * std::sin(angle), 0.0f, p.z - kStepPointDistance * std::cos(angle)};
    Vector3 d = {actor->stepPoint.x - p.x, 0.0f, actor->stepPoint.z - p.z};
    const float length = std::sqrt(d.x * d.x + d.z * d.z);
    if (length > 0.0f) {
        d.x /= length;
        d.z /= length;
    }
    actor->SetPosition({p.x + d.x * distance, p.y, p.z + d.z * distance});
}

enum StraightKind { STRAIGHT_WALK_FORWARD, STRAIGHT_WALK_BACKWARD, STRAIGHT_RUN_FORWARD, STRAIGHT_RUN_BACKWARD };

void StraightStep(Actor* actor, StraightKind kind)
{
    if (actor->isDead)
        return;
    if (actor->pose != ACTOR_POSE_STAND) {
        if (kind == STRAIGHT_RUN_FORWARD)
            kind = STRAIGHT_WALK_FORWARD;
        else if (kind == STRAIGHT_RUN_BACKWARD)
            kind = STRAIGHT_WALK_BACKWARD;
    }
    ActorAimAdjust(actor, true);
    ActorAlignBody(actor);
    const float r = ActorNodeAngle(ActorBodyNode(actor), 2);
    const bool patrol = OnPatrol(actor);
    float speed = 0.0f;
    s32_t mode = ACTOR_MOVE_WALK;
    switch (kind) {
        case STRAIGHT_WALK_FORWARD:
            speed = patrol ? actor->cautiousSpeed : actor->walkSpeed;
            mode = ACTOR_MOVE_WALK;
            break;
        case STRAIGHT_WALK_BACKWARD:
            speed = actor->walkSpeed;
            mode = ACTOR_MOVE_BACKWARD;
            break;
        case STRAIGHT_RUN_FORWARD:
            speed = patrol ? actor->cautiousSpeed : actor->runSpeed;
            mode = ACTOR_MOVE_RUN;
            break;
        case STRAIGHT_RUN_BACKWARD:
            speed = actor->runBackSpeed;
            mode = ACTOR_MOVE_RUN_BACKWARD;
            break;
    }
    if (actor->slowMove)
        speed = speed * kSlowMoveFactor;
    actor->currentSpeed = speed;
    const bool backward = kind == STRAIGHT_WALK_BACKWARD || kind == STRAIGHT_RUN_BACKWARD;
    const float distance = speed * ActorFrameTime();
    StepAlong(actor, r, backward ? -distance : distance);
    actor->SetMovementMode(mode);
    ActorAimAdjust(actor, false);
    DynObjectUpdateGrid(actor);
}

// The body straightened to the heading before a side step twists it.
void StraightenForSideStep(Actor* actor)
{
    ActorSetNodeAngle(ActorBodyNode(actor), 2, -actor->heading);
    GraphNode* torso = ActorTorsoNode(actor);
    ActorSetNodeAngle(torso, 0, 0.0f);
    ActorSetNodeAngle(torso, 1, 0.0f);
    GraphNode* head = ActorHeadNode(actor);
    ActorSetNodeAngle(head, 1, 0.0f);
    ActorSetNodeAngle(head, 2, 0.0f);
}

// Body third angle gains the twist, torso second angle gets its negation.
void Twist(Actor* actor, float twist)
{
    GraphNode* body = ActorBodyNode(actor);
    ActorSetNodeAngle(body, 2, ActorNodeAngle(body, 2) + twist);
    ActorSetNodeAngle(ActorTorsoNode(actor), 1, -twist);
}

void SideStep(Actor* actor, bool left)
{
    if (actor->isDead)
        return;
    ActorAimAdjust(actor, true);
    StraightenForSideStep(actor);
    const s32_t mode = actor->movementMode;
    float twist = ForwardOrBackwardMode(mode) ? kStrafeTwistCombined : kStrafeTwistAlone;
    if (actor->pose == ACTOR_POSE_PRONE)
        twist = kStrafeTwistProne;
    bool gains;
    if (left)
        gains = mode == ACTOR_MOVE_WALK || mode == ACTOR_MOVE_RUN;
    else
        gains = mode == ACTOR_MOVE_BACKWARD || mode == ACTOR_MOVE_RUN_BACKWARD;
    const float r = ActorNodeAngle(ActorBodyNode(actor), 2);
    Twist(actor, gains ? twist : -twist);
    float speed = actor->walkSpeed;
    if (actor->slowMove)
        speed = speed * kSlowMoveFactor;
    actor->currentSpeed = speed;
    StepAlong(actor, left ? r + kActorHalfPi : r - kActorHalfPi, speed * ActorFrameTime());
    actor->fitBody = true;
    if (mode == ACTOR_MOVE_IDLE)
        actor->SetMovementMode(left ? ACTOR_MOVE_LEFT : ACTOR_MOVE_RIGHT);
    actor->sideStep = left ? 2 : 3;
    ActorAimAdjust(actor, false);
    DynObjectUpdateGrid(actor);
}

void RunSideStep(Actor* actor, bool left)
{
    if (actor->isDead)
        return;
    if (actor->pose != ACTOR_POSE_STAND) {
        if (left)
            actor->StrafeLeft();
        else
            actor->StrafeRight();
        return;
    }
    ActorAimAdjust(actor, true);
    StraightenForSideStep(actor);
    const s32_t mode = actor->movementMode;
    const float t =
        (mode == ACTOR_MOVE_BACKWARD || mode == ACTOR_MOVE_RUN_BACKWARD) ? -kRunStrafeTwist : kRunStrafeTwist;
    const float r = ActorNodeAngle(ActorBodyNode(actor), 2);
    Twist(actor, left ? t : -t);
    const float speed = mode == ACTOR_MOVE_RUN_BACKWARD ? actor->runBackSpeed : actor->runSpeed;
    float distance;
    if (actor->slowMove) {
        // The slow factor goes into the stored speed and once more into the distance.
        actor->currentSpeed = speed * kSlowMoveFactor;
        distance = actor->currentSpeed * kSlowMoveFactor * ActorFrameTime();
    } else {
        actor->currentSpeed = speed;
        distance = speed * ActorFrameTime();
    }
    StepAlong(actor, left ? r + kActorHalfPi : r - kActorHalfPi, distance);
    actor->fitBody = true;
    if (mode == ACTOR_MOVE_IDLE) {
        actor->SetMovementMode(ACTOR_MOVE_RUN);
        actor->sideStep = left ? 9 : 10;
    } else {
        actor->sideStep = left ? 2 : 3;
    }
    ActorAimAdjust(actor, false);
    DynObjectUpdateGrid(actor);
}

// Pose commands are refused during a change, and while a mounted weapon is worked with no goal.
bool PoseCommandRefused(const Actor* actor)
{
    if (actor->poseChanging)
        return true;
    return ActorMountedWithoutGoal(actor);
}

void StartPoseChange(Actor* actor)
{
    actor->poseChanging = true;
    actor->momentaryCrouch = false;
    actor->poseChanged = true;
    actor->transitionFrame = 0.0f;
}

}  // namespace

s32_t Actor::SetMovementMode(s32_t mode)
{
    const s32_t previous = movementMode;
    if (OnPatrol(this) && (mode == ACTOR_MOVE_WALK || mode == ACTOR_MOVE_RUN) && pose == ACTOR_POSE_STAND)
        movementMode = ACTOR_MOVE_PATROL;
    else
        movementMode = mode;
    return previous;
}

void Actor::MoveForward()
{
    StraightStep(this, STRAIGHT_WALK_FORWARD);
}

void Actor::MoveBackward()
{
    StraightStep(this, STRAIGHT_WALK_BACKWARD);
}

void Actor::RunForward()
{
    StraightStep(this, STRAIGHT_RUN_FORWARD);
}

void Actor::RunBackward()
{
    StraightStep(this, STRAIGHT_RUN_BACKWARD);
}

void Actor::StrafeLeft()
{
    SideStep(this, true);
}

void Actor::StrafeRight()
{
    SideStep(this, false);
}

void Actor::RunStrafeLeft()
{
    RunSideStep(this, true);
}

void Actor::RunStrafeRight()
{
    RunSideStep(this, false);
}

bool Actor::PoseDown()
{
    if (PoseCommandRefused(this))
        return false;
    transitionKind = (crouched && !momentaryCrouch) ? 1 : 0;
    if (prone) {
        transitionKind = 2;
        return false;
    }
    ActorAimAdjust(this, true);
    if (!crouched) {
        crouched = true;
        pose = ACTOR_POSE_CROUCH;
    } else if (!momentaryCrouch) {
        crouched = false;
        prone = true;
        pose = ACTOR_POSE_PRONE;
    } else {
        ActorAimAdjust(this, false);
        return false;
    }
    StartPoseChange(this);
    ActorAimAdjust(this, false);
    return true;
}

bool Actor::PoseUp()
{
    if (PoseCommandRefused(this))
        return false;
    transitionKind = (crouched && !momentaryCrouch) ? 1 : 0;
    if (prone)
        transitionKind = 2;
    if (!crouched && !prone)
        return false;
    ActorAimAdjust(this, true);
    if (prone) {
        crouched = true;
        momentaryCrouch = false;
        prone = false;
        pose = ACTOR_POSE_CROUCH;
    } else if (!momentaryCrouch) {
        crouched = false;
        prone = false;
        momentaryCrouch = false;
        pose = ACTOR_POSE_STAND;
    } else {
        ActorAimAdjust(this, false);
        return false;
    }
    StartPoseChange(this);
    ActorAimAdjust(this, false);
    return true;
}

void Actor::Crouch(bool hold)
{
    if (crouched || prone || jumping)
        return;
    ActorAimAdjust(this, true);
    crouched = hold;
    momentaryCrouch = true;
    pose = ACTOR_POSE_CROUCH;
    poseChanged = true;
    ActorAimAdjust(this, false);
}

void Actor::Jump()
{
    if (jumping || crouched || prone || landing)
        return;
    jumpStart = GetTickCount();
    jumping = true;
}

void Actor::ApplyAlwaysRunSetting()
{
    alwaysRun = gbalwaysrun.Bool();
}
