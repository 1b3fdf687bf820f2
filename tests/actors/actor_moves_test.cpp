// The one-frame moves of an actor and its pose commands: what each records, how far it moves, and
// the refusals that leave the stance as it was.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/actors/actor_motion_support.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/path_follower.h"
#include "game/game_cvars.h"

namespace {

using motion_test::AddBodyNodes;
using motion_test::MotionGuard;

constexpr float kDt = 0.1f;
constexpr float kSlow = 1.4142135f * 0.5f;

class ActorMovesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AddBodyNodes(&m_actor);
        m_actor.movementMode = ACTOR_MOVE_IDLE;
    }
    float Moved() const
    {
        const Vector3 p = m_actor.GetPosition();
        return std::sqrt(p.x * p.x + p.z * p.z);
    }
    float BodyTwist() const { return ActorNodeAngle(ActorBodyNode(&m_actor), 2); }
    float TorsoTwist() const { return ActorNodeAngle(ActorTorsoNode(&m_actor), 1); }

    MotionGuard m_guard{kDt, 5000, 1};
    Actor m_actor;
};

// The stance fields a refused pose command must leave as they were.
struct Stance {
    s32_t pose;
    bool crouched, prone, momentaryCrouch, poseChanging, poseChanged;
    float transitionFrame;
    bool operator==(const Stance&) const = default;
};
Stance StanceOf(const Actor& a)
{
    return {a.pose, a.crouched, a.prone, a.momentaryCrouch, a.poseChanging, a.poseChanged, a.transitionFrame};
}

TEST_F(ActorMovesTest, RefusedPoseCommandsChangeOnlyTheTransitionKind)
{
    struct Case {
        const char* name;
        bool crouched, prone, momentary, changing;
        bool up;
        s32_t kind;
    };
    const Case cases[] = {
        {"up while standing", false, false, false, false, true, 0},
        {"down while prone", false, true, false, false, false, 2},
        {"down during a change", true, false, false, true, false, 0},
        {"up during a change", true, false, false, true, true, 0},
        {"down with the held crouch", true, false, true, false, false, 0},
        {"up with the held crouch", true, false, true, false, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Actor actor;
        actor.crouched = c.crouched;
        actor.prone = c.prone;
        actor.momentaryCrouch = c.momentary;
        actor.poseChanging = c.changing;
        actor.pose = actor.GetActorPose();
        actor.transitionFrame = 3.0f;
        actor.transitionKind = 7;
        const Stance before = StanceOf(actor);
        EXPECT_FALSE(c.up ? actor.PoseUp() : actor.PoseDown());
        EXPECT_EQ(StanceOf(actor), before);
        if (!c.changing)
            EXPECT_EQ(actor.transitionKind, c.kind);
        else
            EXPECT_EQ(actor.transitionKind, 7);
    }
}

TEST_F(ActorMovesTest, PoseCommandsWalkTheStancesOneStepAtATime)
{
    EXPECT_TRUE(m_actor.PoseDown());
    EXPECT_EQ(m_actor.pose, ACTOR_POSE_CROUCH);
    EXPECT_TRUE(m_actor.crouched);
    EXPECT_TRUE(m_actor.poseChanging);
    EXPECT_TRUE(m_actor.poseChanged);
    EXPECT_EQ(m_actor.transitionKind, 0);
    m_actor.poseChanging = false;
    EXPECT_TRUE(m_actor.PoseDown());
    EXPECT_EQ(m_actor.pose, ACTOR_POSE_PRONE);
    EXPECT_TRUE(m_actor.prone);
    EXPECT_FALSE(m_actor.crouched);
    EXPECT_EQ(m_actor.transitionKind, 1);
    m_actor.poseChanging = false;
    EXPECT_TRUE(m_actor.PoseUp());
    EXPECT_EQ(m_actor.pose, ACTOR_POSE_CROUCH);
    EXPECT_EQ(m_actor.transitionKind, 2);
    m_actor.poseChanging = false;
    EXPECT_TRUE(m_actor.PoseUp());
    EXPECT_EQ(m_actor.pose, ACTOR_POSE_STAND);
    EXPECT_FALSE(m_actor.crouched || m_actor.prone);
}

TEST_F(ActorMovesTest, AMountedWeaponWithoutGoalRefusesPoseCommands)
{
    m_actor.usesMountedWeapon = true;
    EXPECT_FALSE(m_actor.PoseDown());
    m_actor.follower->moving = 1;
    EXPECT_TRUE(m_actor.PoseDown());
}

TEST_F(ActorMovesTest, HeldCrouchAndJumpRefusals)
{
    m_actor.Crouch(true);
    EXPECT_TRUE(m_actor.crouched && m_actor.momentaryCrouch && m_actor.poseChanged);
    EXPECT_EQ(m_actor.pose, ACTOR_POSE_CROUCH);
    EXPECT_FALSE(m_actor.poseChanging);

    Actor jumper;
    jumper.landing = true;
    jumper.jumpStart = 77;
    jumper.Jump();
    EXPECT_FALSE(jumper.jumping);
    EXPECT_EQ(jumper.jumpStart, 77u);
    jumper.landing = false;
    jumper.Jump();
    EXPECT_TRUE(jumper.jumping);
    EXPECT_EQ(jumper.jumpStart, 5000u);
}

TEST_F(ActorMovesTest, StraightStepsBySpeedDirectionAndStance)
{
    struct Case {
        const char* name;
        void (Actor::*move)();
        bool crouched;
        bool slow;
        s32_t mode;
        float speed;
        float dz;  // sign of the z movement with heading 0
    };
    const Case cases[] = {
        {"walk", &Actor::MoveForward, false, false, ACTOR_MOVE_WALK, 17.0f, -1.0f},
        {"run", &Actor::RunForward, false, false, ACTOR_MOVE_RUN, 44.0f, -1.0f},
        {"walk back", &Actor::MoveBackward, false, false, ACTOR_MOVE_BACKWARD, 17.0f, 1.0f},
        {"run back", &Actor::RunBackward, false, false, ACTOR_MOVE_RUN_BACKWARD, 25.5f, 1.0f},
        {"run crouched walks", &Actor::RunForward, true, false, ACTOR_MOVE_WALK, 17.0f, -1.0f},
        {"run back crouched walks back", &Actor::RunBackward, true, false, ACTOR_MOVE_BACKWARD, 17.0f, 1.0f},
        {"slow walk", &Actor::MoveForward, false, true, ACTOR_MOVE_WALK, 17.0f * kSlow, -1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Actor actor;
        AddBodyNodes(&actor);
        actor.movementMode = ACTOR_MOVE_IDLE;
        actor.crouched = c.crouched;
        actor.pose = actor.GetActorPose();
        actor.slowMove = c.slow;
        (actor.*c.move)();
        EXPECT_EQ(actor.movementMode, c.mode);
        EXPECT_FLOAT_EQ(actor.currentSpeed, c.speed);
        const Vector3 p = actor.GetPosition();
        EXPECT_NEAR(p.x, 0.0f, 1e-5f);
        EXPECT_NEAR(p.z, c.dz * c.speed * kDt, 1e-5f);
        EXPECT_NEAR(actor.stepPoint.z, -2.0f, 1e-5f);
    }
}

TEST_F(ActorMovesTest, ADeadActorDoesNotMove)
{
    m_actor.isDead = true;
    m_actor.RunForward();
    m_actor.StrafeLeft();
    m_actor.RunStrafeRight();
    EXPECT_EQ(Moved(), 0.0f);
    EXPECT_EQ(m_actor.movementMode, ACTOR_MOVE_IDLE);
}

TEST_F(ActorMovesTest, PatrolModeOnlyWhenStanding)
{
    AIInterface* ai = new AIInterface();
    Actor* soldier = ai->body;
    ai->entity->patrolAllowed = 1;
    EXPECT_EQ(soldier->SetMovementMode(ACTOR_MOVE_RUN), ACTOR_MOVE_WALK);
    EXPECT_EQ(soldier->movementMode, ACTOR_MOVE_PATROL);
    soldier->SetMovementMode(ACTOR_MOVE_BACKWARD);
    EXPECT_EQ(soldier->movementMode, ACTOR_MOVE_BACKWARD);
    soldier->crouched = true;
    soldier->pose = ACTOR_POSE_CROUCH;
    soldier->SetMovementMode(ACTOR_MOVE_WALK);
    EXPECT_EQ(soldier->movementMode, ACTOR_MOVE_WALK);
    // On patrol the forward walk goes at the cautious speed.
    soldier->crouched = false;
    soldier->pose = ACTOR_POSE_STAND;
    AddBodyNodes(soldier);
    soldier->MoveForward();
    EXPECT_EQ(soldier->movementMode, ACTOR_MOVE_PATROL);
    EXPECT_FLOAT_EQ(soldier->currentSpeed, 10.0f);
    delete soldier;
    delete ai;
}

TEST_F(ActorMovesTest, ForwardWithStrafeTwistsAndSlowsBothSteps)
{
    for (const bool prone : {false, true}) {
        SCOPED_TRACE(prone ? "prone" : "standing");
        Actor actor;
        AddBodyNodes(&actor);
        actor.movementMode = ACTOR_MOVE_IDLE;
        actor.prone = prone;
        actor.pose = actor.GetActorPose();
        actor.slowMove = true;
        actor.MoveForward();
        EXPECT_FLOAT_EQ(actor.currentSpeed, 17.0f * kSlow);
        actor.StrafeLeft();
        EXPECT_EQ(actor.movementMode, ACTOR_MOVE_WALK);
        EXPECT_EQ(actor.sideStep, 2);
        EXPECT_TRUE(actor.fitBody);
        EXPECT_FLOAT_EQ(actor.currentSpeed, 17.0f * kSlow);
        const float twist = prone ? 0.62831855f : 0.7853982f;
        EXPECT_FLOAT_EQ(ActorNodeAngle(ActorBodyNode(&actor), 2), twist);
        EXPECT_FLOAT_EQ(ActorNodeAngle(ActorTorsoNode(&actor), 1), -twist);
        // Forward along -z, then sideways along -x (heading + pi/2 from the straightened body).
        const Vector3 p = actor.GetPosition();
        EXPECT_NEAR(p.z, -17.0f * kSlow * kDt, 1e-4f);
        EXPECT_NEAR(p.x, 17.0f * kSlow * kDt, 1e-4f);
    }
}

TEST_F(ActorMovesTest, SideStepsAloneAndCombined)
{
    struct Case {
        const char* name;
        void (Actor::*move)();
        s32_t modeBefore;
        s32_t mode;
        s32_t side;
        float bodyTwist;
    };
    const Case cases[] = {
        {"left alone", &Actor::StrafeLeft, ACTOR_MOVE_IDLE, ACTOR_MOVE_LEFT, 2, -1.5707964f},
        {"right alone", &Actor::StrafeRight, ACTOR_MOVE_IDLE, ACTOR_MOVE_RIGHT, 3, -1.5707964f},
        {"right while backward", &Actor::StrafeRight, ACTOR_MOVE_BACKWARD, ACTOR_MOVE_BACKWARD, 3, 0.7853982f},
        {"run left alone", &Actor::RunStrafeLeft, ACTOR_MOVE_IDLE, ACTOR_MOVE_RUN, 9, 0.34906587f},
        {"run right alone", &Actor::RunStrafeRight, ACTOR_MOVE_IDLE, ACTOR_MOVE_RUN, 10, -0.34906587f},
        {"run left with run", &Actor::RunStrafeLeft, ACTOR_MOVE_RUN, ACTOR_MOVE_RUN, 2, 0.34906587f},
        {"run right with run back", &Actor::RunStrafeRight, ACTOR_MOVE_RUN_BACKWARD, ACTOR_MOVE_RUN_BACKWARD, 3,
         0.34906587f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Actor actor;
        AddBodyNodes(&actor);
        actor.movementMode = c.modeBefore;
        (actor.*c.move)();
        EXPECT_EQ(actor.movementMode, c.mode);
        EXPECT_EQ(actor.sideStep, c.side);
        EXPECT_FLOAT_EQ(ActorNodeAngle(ActorBodyNode(&actor), 2), c.bodyTwist);
    }
}

TEST_F(ActorMovesTest, RunningSideStepSpeeds)
{
    // Slow: the stored speed carries the factor once, the distance twice.
    m_actor.slowMove = true;
    m_actor.RunStrafeLeft();
    EXPECT_FLOAT_EQ(m_actor.currentSpeed, 44.0f * kSlow);
    EXPECT_NEAR(Moved(), 44.0f * kSlow * kSlow * kDt, 1e-4f);

    Actor back;
    AddBodyNodes(&back);
    back.movementMode = ACTOR_MOVE_RUN_BACKWARD;
    back.RunStrafeRight();
    EXPECT_FLOAT_EQ(back.currentSpeed, 25.5f);

    // Crouched, a running side step is a plain one.
    Actor crouched;
    AddBodyNodes(&crouched);
    crouched.movementMode = ACTOR_MOVE_IDLE;
    crouched.crouched = true;
    crouched.pose = ACTOR_POSE_CROUCH;
    crouched.RunStrafeLeft();
    EXPECT_EQ(crouched.movementMode, ACTOR_MOVE_LEFT);
    EXPECT_FLOAT_EQ(crouched.currentSpeed, 17.0f);
}

TEST_F(ActorMovesTest, AlwaysRunFollowsTheConsoleVariable)
{
    const bool saved = gbalwaysrun.Bool();
    gbalwaysrun.SetBool(true);
    m_actor.ApplyAlwaysRunSetting();
    EXPECT_TRUE(m_actor.alwaysRun);
    gbalwaysrun.SetBool(false);
    m_actor.ApplyAlwaysRunSetting();
    EXPECT_FALSE(m_actor.alwaysRun);
    gbalwaysrun.SetBool(saved);
}

}  // namespace
