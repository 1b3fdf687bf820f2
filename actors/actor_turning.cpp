// Turning and aiming an actor (heading, pitch, toward a point), its revival, its body angle, its
// drawing and geometry walk, and the first steps of its death.
#include <cmath>

#include "actors/actor_cvars.h"
#include "actors/actor_motion.h"
#include "actors/ai_entity.h"
#include "ai/envelopes/envelope.h"
#include "core/frame_view.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"
#include "render/draw2d/debug_primitives.h"
#include "render/render_cvars.h"
#include "world/animation/anim_mesh.h"

namespace {

constexpr float kSmallTurn = 0.17453293f;       // 10 degrees
constexpr float kTorsoTwistLimit = 0.4363323f;  // 25 degrees
constexpr float kTurnRateScale = 100.0f;
constexpr float kOneOverPi = 0.31830987f;
constexpr float kEyeHeightStand = 17.0f;
constexpr float kEyeHeightCrouch = 12.0f;
constexpr float kEyeHeightProne = 3.0f;
constexpr float kDirLineLength = 20.0f;
constexpr u32_t kDirLineMs = 1;

float WrapPi(float angle)
{
    while (angle > kActorPi)
        angle -= kActorTwoPi;
    while (angle < -kActorPi)
        angle += kActorTwoPi;
    return angle;
}

// The point 20 units from the eye along the yaw and pitch, from (0, 0, -1).
Vector3 DirectionEnd(const Vector3& eye, float yaw, float pitchAngle)
{
    D3DXMATRIX m;
    D3DXMatrixRotationYawPitchRoll(&m, yaw, pitchAngle, 0.0f);
    const D3DXVECTOR3 forward(0.0f, 0.0f, -1.0f);
    D3DXVECTOR3 d;
    D3DXVec3TransformCoord(&d, &forward, &m);
    return {eye.x + d.x * kDirLineLength, eye.y + d.y * kDirLineLength, eye.z + d.z * kDirLineLength};
}

void DrawDirections(Actor* actor)
{
    ActorAimAdjust(actor, true);
    Vector3 eye = actor->GetPosition();
    eye.y += actor->pose == ACTOR_POSE_PRONE    ? kEyeHeightProne
             : actor->pose == ACTOR_POSE_CROUCH ? kEyeHeightCrouch
                                                : kEyeHeightStand;
    struct Line {
        GraphNode* node;
        u32_t from;
        u32_t to;
    };
    const Line lines[3] = {{ActorBodyNode(actor), 0x6000FF00u, 0x6000FF00u},
                           {ActorTorsoNode(actor), 0x60FF0000u, 0x60FF0000u},
                           {ActorHeadNode(actor), 0x0FF00000u, 0xFF000000u}};
    for (const Line& line : lines) {
        const Vector3 end = DirectionEnd(eye, -ActorNodeAngle(line.node, 2), ActorNodeAngle(line.node, 0));
        DebugLineAdd(&eye, &end, line.from, line.to, kDirLineMs);
    }
    const Vector3 aim = DirectionEnd(eye, actor->heading, -actor->pitch);
    DebugLineAdd(&eye, &aim, 0xFFFFFF00u, 0xFFFFFF00u, kDirLineMs);
    ActorAimAdjust(actor, false);
}

}  // namespace

void Actor::TurnTo(float targetAngle, bool instant)
{
    if (isDead && !instant)
        return;
    if (ActorMountedWithoutGoal(this))
        TurnMountedWeapon(targetAngle);
    ActorAimAdjust(this, true);
    previousHeading = heading;
    float d = heading - targetAngle;
    if (std::fabs(d) > kActorPi)
        d = d > 0.0f ? d - kActorTwoPi : d + kActorTwoPi;
    const AIEntity* entity = GetAIEntity();
    const float rate = entity ? entity->rotationSpeed : AI_ENTITY_ROTATION_SPEED;
    const float largest = ActorFrameTime() * rate * kTurnRateScale;
    if (std::fabs(d) > largest && !instant)
        d = d > 0.0f ? largest : -largest;
    const float next = WrapPi(heading - d);
    GraphNode* body = ActorBodyNode(this);
    GraphNode* torso = ActorTorsoNode(this);
    GraphNode* head = ActorHeadNode(this);
    if (!reloading && !weaponRaised && !aiming && std::fabs(d) <= kSmallTurn) {
        if (std::fabs(ActorNodeAngle(torso, 1)) < kTorsoTwistLimit) {
            ActorSetNodeAngle(torso, 1, ActorNodeAngle(torso, 1) + d * 0.5f);
            ActorSetNodeAngle(head, 1, ActorNodeAngle(head, 1) + d * 0.5f);
            heading = next;
        } else if (movementMode == ACTOR_MOVE_IDLE) {
            turnInPlaceStart = GetTickCount();
        }
        ActorAimAdjust(this, false);
        return;
    }
    if (!aiming) {
        ActorSetNodeAngle(body, 2, -heading);
        ActorSetNodeAngle(torso, 0, 0.0f);
        ActorSetNodeAngle(torso, 1, 0.0f);
        ActorSetNodeAngle(head, 1, 0.0f);
    }
    ActorSetNodeAngle(body, 2, ActorNodeAngle(body, 2) + d);
    ActorAimAdjust(this, false);
    heading = next;
}

void Actor::SetHeading(float value)
{
    ActorAimAdjust(this, true);
    previousHeading = heading;
    GraphNode* torso = ActorTorsoNode(this);
    ActorSetNodeAngle(torso, 0, 0.0f);
    ActorSetNodeAngle(torso, 1, 0.0f);
    ActorSetNodeAngle(ActorHeadNode(this), 1, 0.0f);
    ActorSetNodeAngle(ActorBodyNode(this), 2, -value);
    ActorAimAdjust(this, false);
    heading = value;
}

void Actor::SetPitch(float value)
{
    if (isDead)
        return;
    if (ActorMountedWithoutGoal(this))
        PitchMountedWeapon(value);
    previousPitch = pitch;
    pitch = value;
    if (value > kActorHalfPi)
        pitch = kActorHalfPi;
    else if (value < -kActorHalfPi)
        pitch = -kActorHalfPi;
    ActorAimAdjust(this, true);
    GraphNode* torso = ActorTorsoNode(this);
    if (!aiming && !weaponRaised && !reloading) {
        const float headPitch = pitch * kActorThird;
        ActorSetNodeAngle(ActorHeadNode(this), 0, headPitch);
        ActorSetNodeAngle(torso, 0, headPitch * 0.5f);
    } else if (aiming || weaponRaised) {
        const AnimMesh* mesh = torso ? torso->GetAnimMesh() : nullptr;
        const s32_t n = mesh ? static_cast<s32_t>(mesh->frames_c) - 2 : -2;
        if (n >= 0) {
            float frame = static_cast<float>(n) * pitch * kOneOverPi + static_cast<float>(n / 2);
            if (frame < 0.0f)
                frame = 0.0f;
            if (frame > static_cast<float>(n))
                frame = static_cast<float>(n);
            aimPitchFrame = frame;
        }
    }
    DynObjectUpdateGrid(this);
    ActorAimAdjust(this, false);
}

void Actor::TurnToPoint(const Vector3& point)
{
    const Vector3 q = GetPosition();
    SetTargetHeading(std::atan2(point.x - q.x, point.z - q.z) + kActorPi);
}

void Actor::AimAtPoint(const Vector3& point)
{
    Vector3 eye = GetPosition();
    eye.y += kEyeHeightStand;
    D3DXVECTOR3 d(eye.x - point.x, eye.y - point.y, eye.z - point.z);
    D3DXVec3Normalize(&d, &d);
    SetPitch(kActorHalfPi - std::acos(d.y));
}

void Actor::Revive()
{
    weaponCueA = 255;
    weaponCueB = 255;
    isDead = false;
    deathLegsFrame = 0.0f;
    deathTorsoFrame = 0.0f;
    isCorpse = false;
    SetCastsShadow(true);
    isCollidable = true;
    isMovable = true;
    deathDone = false;
    bloodPending = true;
    const Actor* player = PlayerActor();
    if (envelope && this != player && player) {
        const AIEntity* own = GetAIEntity();
        const AIEntity* theirs = player->GetAIEntity();
        // Death hid the envelope through its script method; the same road shows it again.
        if (own && theirs && own->IsFriendOf(theirs))
            envelope->Show(nullptr);
    }
}

void Actor::Render()
{
    if (!drawn)
        return;
    if (deathDone && !rbshowbodys.Bool())
        return;
    if (GraphNode* torso = ActorTorsoNode(this))
        torso->swapPivotAxes = ((prone && !poseChanging) || deathDone) ? 1 : 0;
    if (rbactors.Bool())
        GraphObj::Render();
    if (rbactordirs.Bool())
        DrawDirections(this);
}

bool Actor::EnumGeometry(GeometryEnumCallback callback, GeometryEnumData* data)
{
    // A dead body's geometry is walked as a still pose.
    const u8_t saved = animate;
    if (isDead)
        animate = 0;
    GraphObj::EnumGeometry(callback, data);
    animate = saved;
    return true;
}

bool Actor::IsAnimated() const
{
    return animate == 0 || animate == 1;
}
