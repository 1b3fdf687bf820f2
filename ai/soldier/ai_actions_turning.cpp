// The soldier's turning and pose methods.
#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_actions.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "core/assert.h"
#include "core/frame_view.h"
#include "core/random.h"

namespace {

// A prone soldier turns a little further left to bring its weapon to bear (2.5 degrees).
constexpr float kProneAimCorrection = -0.0436332f;
// RotateToPlayer looks at the player's eyes, not at his feet.
constexpr float kPlayerEyeHeight = 17.0f;
constexpr float kRadiansPerDegree = 0.0174533f;

// The aim kinds of RotateToTarget: 0 the eye point, 1 the body point, any other the position.
constexpr s32_t kAimAtEye = 0;
constexpr s32_t kAimAtBody = 1;

}  // namespace

void AIInterface::TurnBodyTo(const Vector3& point, const ScriptArgWord speed)
{
    if (!body)
        return;
    if (entity) {
        if (speed)
            entity->rotationSpeed = *static_cast<const float*>(speed);
        else
            entity->ResetRotationSpeed();
    }
    body->TurnToPoint(point);
    body->AimAtPoint(point);
}

void AIInterface::RotateToTarget(ScriptArgWord* args)
{
    if (!lockedTarget || !lockedTarget->body || !body)
        return;
    ENGINE_ASSERT_TEXT(AIArgGiven(args, 0), "par");
    if (!AIArgGiven(args, 0))
        return;
    const Actor* target = lockedTarget->body;
    const s32_t aimKind = AIArgInt(args, 0);
    Vector3 point = target->GetPosition();
    if (aimKind == kAimAtEye)
        target->GetAimPoint(&point, ACTOR_AIM_EYE);
    else if (aimKind == kAimAtBody)
        target->GetAimPoint(&point, ACTOR_AIM_BODY);
    TurnBodyTo(point, AIArgGiven(args, 1) ? args[1] : nullptr);
    if (body->prone)
        body->SetTargetHeading(body->targetHeading + kProneAimCorrection);
}

void AIInterface::RotateToPoint(ScriptArgWord* args)
{
    if (!body || !AIArgGiven(args, 0))
        return;
    if (entity) {
        if (AIArgGiven(args, 1))
            entity->rotationSpeed = AIArgFloat(args, 1);
        else
            entity->ResetRotationSpeed();
    }
    body->SetTargetHeading(AIArgFloat(args, 0));
}

void AIInterface::RotateToPlayer(ScriptArgWord* /*args*/)
{
    const Actor* player = PlayerActor();
    if (!player)
        return;
    Vector3 point = player->GetPosition();
    point.y += kPlayerEyeHeight;
    TurnBodyTo(point, nullptr);
}

void AIInterface::RotateToTargetLastPos(ScriptArgWord* args)
{
    TurnBodyTo(targetLastPos, AIArgGiven(args, 0) ? args[0] : nullptr);
}

void AIInterface::RotateToRecentSoundSource(ScriptArgWord* args)
{
    ENGINE_ASSERT_TEXT(AIArgGiven(args, 0), "par");
    if (!AIArgGiven(args, 0))
        return;
    const s32_t id = AIEventIdArg(args);
    if (id >= 0)
        TurnBodyTo(eventPositions[id], AIArgGiven(args, 1) ? args[1] : nullptr);
}

void AIInterface::RotateRandom(ScriptArgWord* args)
{
    ENGINE_ASSERT_TEXT(AIArgGiven(args, 0), "par");
    if (!body || !AIArgGiven(args, 1))
        return;
    if (body->turnTime + static_cast<u32_t>(AIArgInt(args, 1)) > g_frameView.aiTime)
        return;
    const float range = AIArgFloat(args, 0) * kRadiansPerDegree;
    if (AIArgGiven(args, 2) && entity)
        entity->rotationSpeed = AIArgFloat(args, 2) * kRadiansPerDegree;
    const float uniform = static_cast<float>(EngineRand()) * (2.0f / ENGINE_RAND_MAX) - 1.0f;
    body->SetTargetHeading(body->GetHeading() + uniform * range);
}

void AIInterface::SetPoseMode(ScriptArgWord* args)
{
    if (legInjured)
        return;
    ENGINE_ASSERT_TEXT(AIArgGiven(args, 0), "par");
    if (!body || !AIArgGiven(args, 0))
        return;
    const s32_t wanted = AIArgInt(args, 0);
    const s32_t current = body->GetActorPose();
    if (wanted > current)
        body->PoseDown();
    else if (wanted < current)
        body->PoseUp();
}

void AIInterface::GetPoseMode(ScriptArgWord* /*args*/)
{
    g_scriptResult.asInt = body ? body->GetActorPose() : ACTOR_POSE_STAND;
}
