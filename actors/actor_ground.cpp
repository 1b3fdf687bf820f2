// Moving an actor's root through the world once its moves have pushed it: ground following and
// falling with a deadly landing speed, the jump arc, the push-out from other objects, the heading
// to turn to, and the AI steering of soldiers along routes, patrol paths and to defend points.
#include <cmath>
#include <vector>

#include "actors/actor_motion.h"
#include "actors/ai_entity.h"
#include "ai/envelopes/envelope.h"
#include "ai/soldier/ai_interface.h"
#include "ai/msal/mission_script_runner.h"
#include "ai/soldier/path_follower.h"
#include "ai/squads/patrol_path.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "gui/screens/gui_in_game.h"
#include "map/trace/map_trace.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree_query.h"
#include "map/terrain/terrain_height.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"

namespace {

constexpr float kGravity = 9.81f;
constexpr float kFatalLandingSpeed = 12.0f;
constexpr float kGroundTraceUp = 17.0f;
constexpr float kGroundTraceDown = 1000.0f;
constexpr float kCollideHalfXZ = 8.5f;
constexpr float kCollideHalfY = 10.0f;
constexpr float kCollideRadius = 4.5f;
constexpr float kCollideLift = 2.0f * 4.5f + 4.0f;
constexpr float kJumpArc = 3140.0f;
constexpr float kArrivalSq = 9.0f;
constexpr u32_t kReplanMs = 200;
constexpr float kHeadingTolerance = 0.001f;
constexpr float kPatrolPauseChance = 0.25f;
constexpr float kRandUnit = 3.0518509e-5f;
constexpr float kPauseScale = 0.22888882f;
constexpr float kPauseMin = 2500.0f;
constexpr u32_t kMoveEndSubtitleMs = 1500;

// The angle brought within pi of the reference.
float WrapNear(float angle, float reference)
{
    while (angle - reference > kActorPi)
        angle -= kActorTwoPi;
    while (angle - reference < -kActorPi)
        angle += kActorTwoPi;
    return angle;
}

// The push-out's work lists, kept between frames so that their storage is reused.
std::vector<OctreeNode*> g_collideLeaves;
std::vector<const DynamicObject*> g_collideSeen;

int CollectCollideLeaf(OctreeNode* leaf, s32_t /*tileX*/, s32_t /*tileZ*/)
{
    g_collideLeaves.push_back(leaf);
    return 0;
}

float DistanceSqXZ(float ax, float az, float bx, float bz)
{
    const float dx = ax - bx;
    const float dz = az - bz;
    return dx * dx + dz * dz;
}

// One movement operation toward the goal as the AI's settings ask for it.
void StepTowardGoal(Actor* actor, AIInterface* ai)
{
    const s32_t mode = ai->CurrentMovementMode();
    if (ai->HasLockedTarget() && ai->HasRandomMoveRequest()) {
        actor->RunForward();
        return;
    }
    if (ai->IsJinkActive()) {
        const bool left = ai->GetJinkSide() == 0;
        if (mode == 0) {
            if (left)
                actor->StrafeLeft();
            else
                actor->StrafeRight();
        } else if (mode == 1) {
            if (left)
                actor->RunStrafeLeft();
            else
                actor->RunStrafeRight();
        }
        return;
    }
    const bool backward = ai->IsBackwardMovement();
    if (mode == 0) {
        if (backward)
            actor->MoveBackward();
        else
            actor->MoveForward();
    } else if (backward) {
        actor->RunBackward();
    } else {
        actor->RunForward();
    }
}

void FollowRoute(Actor* actor, AIInterface* ai, const Vector3& p)
{
    PathFollower* follower = actor->follower;
    const u32_t now = GetTickCount();
    if (follower->targetEnvelope && now - follower->replanTick > kReplanMs) {
        Vector3 target;
        follower->TrackEnvelopeGoal(&target);
        follower->PlanTo(p, target);
        follower->replanTick = now;
    }
    Vector3 w;
    follower->GetGoal(&w);
    const float sx = follower->previousGoal.x;
    const float sz = follower->previousGoal.z;
    if (DistanceSqXZ(sx, sz, p.x, p.z) <= DistanceSqXZ(sx, sz, w.x, w.z)) {
        float h = std::atan2(w.x - p.x, w.z - p.z) + kActorPi;
        if (ai->IsBackwardMovement())
            h += kActorPi;
        h = WrapNear(h, actor->heading);
        if (actor->turning)
            actor->TurnTo(actor->targetHeading, false);
        actor->targetHeading = h;
        actor->TurnTo(h, false);
        StepTowardGoal(actor, ai);
        return;
    }
    const bool last = follower->current && !follower->current->next;
    if (last && ai->moveToObjectPending) {
        const char* speaker = actor->envelope ? actor->envelope->name.Text() : actor->name.Text();
        GuiShowSubtitle(speaker, "messages._gm_move_end", kMoveEndSubtitleMs);
        ai->moveToObjectPending = 0;
    }
    follower->NextWaypoint();
    ai->ClearRandomMoveRequest();
    // The route is done: a mission-script move waiting for it completes, and its list goes on.
    if (!follower->moving && actor->envelope) {
        const MSALRunner* runner = MSALEnvelopeRunner(actor->envelope);
        if (runner && runner->WaitsForCompletion())
            actor->envelope->CompleteMSALCommand();
    }
}

void Patrol(Actor* actor, AIEntity* entity, const PatrolPath* path, const Vector3& p)
{
    PathFollower* f = actor->follower;
    const u32_t now = GetTickCount();
    if (path->pointCount == 0)
        return;
    if (!f->patrolActive) {
        u32_t nearest = 0;
        float best = 0.0f;
        for (u32_t i = 0; i < path->pointCount; ++i) {
            const float d = DistanceSqXZ(path->points[2 * i], path->points[2 * i + 1], p.x, p.z);
            if (i == 0 || d < best) {
                best = d;
                nearest = i;
            }
        }
        f->patrolIndex = nearest;
        if (best < kArrivalSq)
            f->patrolActive = 1;
    } else if (!f->patrolWaiting && f->patrolIndex < path->pointCount &&
               DistanceSqXZ(path->points[2 * f->patrolIndex], path->points[2 * f->patrolIndex + 1], p.x, p.z) <
                   kArrivalSq) {
        const u32_t count = path->pointCount;
        if (path->mode == PATROL_MODE_PINGPONG) {
            if (!f->patrolBackward) {
                if (f->patrolIndex + 1 < count) {
                    ++f->patrolIndex;
                } else {
                    f->patrolBackward = 1;
                    f->patrolIndex = count >= 2 ? count - 2 : 0;
                }
            } else if (f->patrolIndex > 0) {
                --f->patrolIndex;
            } else {
                f->patrolBackward = 0;
                f->patrolIndex = count > 1 ? 1 : 0;
            }
        } else {
            f->patrolIndex = f->patrolIndex + 1 < count ? f->patrolIndex + 1 : 0;
        }
        const float r = static_cast<float>(EngineRand()) * kRandUnit;
        if (r >= kPatrolPauseChance) {
            entity->ResetRotationSpeed();
        } else {
            f->patrolWaiting = 1;
            f->patrolWaitTime = static_cast<u32_t>(static_cast<float>(EngineRand()) * kPauseScale + kPauseMin);
            f->patrolWaitStart = now;
        }
    }
    if (f->patrolIndex >= path->pointCount)
        return;
    const float qx = path->points[2 * f->patrolIndex];
    const float qz = path->points[2 * f->patrolIndex + 1];
    actor->stepPoint = {qx, MapTerrainHeight(qx, qz, nullptr, nullptr), qz};
    actor->targetHeading = std::atan2(qx - p.x, qz - p.z) + kActorPi;
    actor->TurnTo(actor->targetHeading, false);
    if (!f->patrolWaiting) {
        actor->MoveForward();
    } else if (now - f->patrolWaitStart > f->patrolWaitTime) {
        f->patrolWaiting = 0;
        entity->ResetRotationSpeed();
    }
}

}  // namespace

void ActorFollowGround(Actor* actor, bool snap)
{
    Vector3 p = actor->GetPosition();
    if (snap) {
        p.y = MapTerrainHeight(p.x, p.z, nullptr, nullptr);
        actor->SetPosition(p);
        return;
    }
    if ((actor->jumping || actor->shownMode == ACTOR_MOVE_IDLE || actor->noCollision) && actor->onGround)
        return;
    const float start[3] = {p.x, p.y + kGroundTraceUp, p.z};
    const float end[3] = {p.x, p.y - kGroundTraceDown, p.z};
    MapTraceInfo hit;
    hit.flags = 0;
    hit.ignoreObject = actor;
    hit.objOptions = 0;
    if (!MapTrace(start, end, &hit))
        return;
    // An object nearer than the land gives its own hit point.
    const float ground = hit.resultKind == TRACE_RESULT_OBJECT_NEAREST ? hit.objHitPoint.y : hit.hitPoint.y;
    const float dt = ActorFrameTime();
    if (ground < p.y) {
        const float next = p.y - (kGravity * dt * 0.5f + actor->fallSpeed) * dt * 10.0f;
        actor->fallSpeed += kGravity * dt;
        if (ground <= next) {
            p.y = next;
            actor->SetPosition(p);
            return;
        }
        if (actor->fallSpeed > kFatalLandingSpeed && !actor->isDead) {
            if (AIEntity* entity = actor->GetAIEntity())
                entity->health = 0.0f;
            actor->die(1, 0.0f);
        }
    }
    p.y = ground;
    actor->fallSpeed = 0.0f;
    actor->onGround = true;
    actor->SetPosition(p);
}

void ActorJumpStep(Actor* actor)
{
    ActorAimAdjust(actor, true);
    Vector3 p = actor->GetPosition();
    if (!actor->jumpStarted) {
        actor->jumpStarted = true;
        // The actor leaves the ground: ground following pulls it down again (an idle actor that
        // stayed marked on the ground would hang in the air after the arc).
        actor->onGround = false;
        const s32_t mode = actor->movementMode;
        if (mode != ACTOR_MOVE_IDLE) {
            Vector3 d = {actor->stepPoint.x - p.x, 0.0f, actor->stepPoint.z - p.z};
            if (mode == ACTOR_MOVE_BACKWARD || mode == ACTOR_MOVE_RUN_BACKWARD) {
                d.x = -d.x;
                d.z = -d.z;
            }
            const float length = std::sqrt(d.x * d.x + d.z * d.z);
            if (length > 0.0f) {
                d.x /= length;
                d.z /= length;
            }
            actor->jumpDirection = d;
        }
        if (mode == ACTOR_MOVE_WALK || mode == ACTOR_MOVE_LEFT || mode == ACTOR_MOVE_RIGHT ||
            mode == ACTOR_MOVE_BACKWARD)
            actor->jumpSpeed = actor->walkSpeed;
        else if (mode == ACTOR_MOVE_RUN || mode == ACTOR_MOVE_RUN_BACKWARD)
            actor->jumpSpeed = actor->runSpeed;
        else
            actor->jumpSpeed = 0.0f;
    }
    const float dt = ActorFrameTime();
    const float s = dt * actor->jumpSpeed;
    p.x += s * actor->jumpDirection.x * 10.0f;
    p.z += s * actor->jumpDirection.z * 10.0f;
    actor->currentSpeed = actor->jumpSpeed * 10.0f;
    actor->jumpPhase += dt * kJumpArc / actor->jumpDuration;
    p.y += std::sin(actor->jumpPhase) * kActorThird * 10.0f;
    actor->SetPosition(p);
    ActorAimAdjust(actor, false);
}

// Two soldiers standing at one point: the test sphere's centre lies inside the other body, where no
// face of it is met from the front, so the mesh test alone would leave them together. The one being
// moved first steps a sphere radius to its right; from there the mesh test pushes it clear.
static void StepAsideFromCoincident(const Actor* actor, const DynamicObject* other, Vector3* centre)
{
    constexpr float kSamePoint = 1e-3f;
    if (other->typeId != actor->typeId)
        return;
    const Vector3 q = other->GetPosition();
    if (std::fabs(q.x - centre->x) > kSamePoint || std::fabs(q.z - centre->z) > kSamePoint)
        return;
    centre->x += kCollideRadius * std::cos(actor->heading);
    centre->z += kCollideRadius * std::sin(actor->heading);
}

void ActorCollide(Actor* actor)
{
    if (actor == g_frameView.player || actor->shownMode == ACTOR_MOVE_IDLE || actor->deathDone)
        return;
    if (actor->ai && actor->ai->collision)
        return;
    const Vector3 p = actor->GetPosition();
    const float query[6] = {p.x - kCollideHalfXZ, p.y - kCollideHalfY, p.z - kCollideHalfXZ,
                            p.x + kCollideHalfXZ, p.y + kCollideHalfY, p.z + kCollideHalfXZ};
    const bool envelopeDestroyed = actor->envelope && actor->envelope->IsDestroyedState();
    // The cells of the object grid under the query box; none: nothing happens.
    g_collideLeaves.clear();
    OctreeQueryBox(query, CollectCollideLeaf);
    if (g_collideLeaves.empty())
        return;
    Vector3 c = {p.x, p.y + kCollideLift, p.z};
    g_collideSeen.clear();
    for (OctreeNode* leaf : g_collideLeaves) {
        u32_t iterator = GRID_LINK_NONE;
        for (ObjectGridEntry* entry = ObjectGridFirst(leaf, &iterator); entry; entry = ObjectGridNext(&iterator)) {
            if (entry->kind != OBJECT_GRID_OBJECT || !entry->owner)
                continue;
            DynamicObject* other = static_cast<DynamicObject*>(entry->owner);
            if (other == actor || other->typeId == OBJECT_TYPE_ROOT || other->typeId == OBJECT_TYPE_GRAPHIC ||
                !other->IsCollidable() || envelopeDestroyed)
                continue;
            bool seen = false;
            for (const DynamicObject* earlier : g_collideSeen)
                seen = seen || earlier == other;
            if (seen)
                continue;
            g_collideSeen.push_back(other);
            float box[6];
            other->GetGeometryBounds(box);
            if (!BoxesOverlap(box, query))
                continue;
            StepAsideFromCoincident(actor, other, &c);
            other->SphereCollision(c, kCollideRadius, &c);
        }
    }
    g_collideLeaves.clear();
    g_collideSeen.clear();
    actor->SetPosition({c.x, c.y - kCollideLift, c.z});
}

void Actor::SetTargetHeading(float angle)
{
    targetHeading = angle;
    turnTime = g_frameView.aiTime;
    // Whole turns are taken off so that the difference lies within -pi..pi.
    targetHeading = WrapNear(angle, heading);
    turning = !(std::fabs(targetHeading - heading) <= kHeadingTolerance);
}

void ActorSteer(Actor* actor)
{
    AIInterface* ai = actor->ai;
    AIEntity* entity = actor->GetAIEntity();
    if (!ai || !entity)
        return;
    const Vector3 p = actor->GetPosition();
    DefendPoint* defend = ai->defendPoint;
    ai->ClearRandomMoveRequest();
    PathFollower* follower = actor->follower;
    if (follower->moving) {
        FollowRoute(actor, ai, p);
        return;
    }
    const PatrolPath* path = entity->currentPatrolPath;
    if (!entity->patrolAllowed || !path) {
        if (defend) {
            actor->stepPoint = {defend->x, MapTerrainHeight(defend->x, defend->z, nullptr, nullptr), defend->z};
            const Vector3 target = defend->objectPosition;
            if (DistanceSqXZ(p.x, p.z, defend->x, defend->z) < kArrivalSq)
                ai->ClearDefendPoint();
            actor->MoveTo(target);
        } else if (actor->turning) {
            actor->targetHeading = WrapNear(actor->targetHeading, actor->heading);
            if (std::fabs(actor->targetHeading - actor->heading) <= kHeadingTolerance) {
                actor->turning = false;
                actor->turnTime = g_frameView.aiTime;
            } else {
                actor->TurnTo(actor->targetHeading, false);
            }
        }
        return;
    }
    Patrol(actor, entity, path, p);
}

void ActorScriptHook(Actor* actor)
{
    Envelope* envelope = actor->envelope;
    if (!envelope)
        return;
    AIInterface* ai = actor->ai;
    MSALRunner* runner = MSALEnvelopeRunner(envelope);
    if (runner && runner->InCriticalSection() && !envelope->destroyed) {
        // Inside a critical section the script, not the soldier's own fight, decides what it does.
        if (ai && ai->HasLockedTarget())
            ai->UnlockTarget(nullptr);
    } else if ((actor->follower && actor->follower->moving) || (ai && ai->HasLockedTarget()) || envelope->disabled) {
        return;
    }
    if (runner && runner->command)
        runner->ExecuteCurrent();
}

void ActorAiMoveStep(Actor* actor)
{
    ActorSteer(actor);
    if (actor->envelope)
        ActorScriptHook(actor);
}

bool ActorMountedWithoutGoal(const Actor* actor)
{
    return actor->usesMountedWeapon && !(actor->follower && actor->follower->moving);
}
