// Turning and aiming an actor: the short way round, the frame's largest turn, the small turn that
// only twists the torso, the pitch limits, the heading toward a point, revival and the body angle.
#include <gtest/gtest.h>

#include <cmath>

#include "core/frame_view.h"
#include "tests/actors/actor_motion_support.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope.h"

namespace {

using motion_test::AddBodyNodes;
using motion_test::MotionGuard;

constexpr float kDt = 0.1f;

class ActorTurningTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AddBodyNodes(&m_actor);
        m_actor.movementMode = ACTOR_MOVE_IDLE;
    }
    MotionGuard m_guard{kDt, 9000, 1};
    Actor m_actor;
};

TEST_F(ActorTurningTest, TurnsTheShortWayAndNoFurtherThanTheFrameAllows)
{
    // The largest turn of a frame: frame time x rotation speed x 100.
    const float largest = kDt * AI_ENTITY_ROTATION_SPEED * 100.0f;
    struct Case {
        const char* name;
        float from;
        float to;
        bool instant;
        float heading;
    };
    const Case cases[] = {
        {"three halves of pi, instant", 0.0f, 3.0f * 3.1415927f / 2.0f, true, -1.5707964f},
        {"three halves of pi, capped", 0.0f, 3.0f * 3.1415927f / 2.0f, false, -largest},
        {"half pi, capped", 0.0f, 1.5707964f, false, largest},
        {"across pi, wrapped", 3.0f, -3.0f, true, -3.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Actor actor;
        AddBodyNodes(&actor);
        actor.heading = c.from;
        actor.TurnTo(c.to, c.instant);
        EXPECT_NEAR(actor.heading, c.heading, 1e-5f);
        EXPECT_FLOAT_EQ(actor.previousHeading, c.from);
        // A large turn straightens the body and turns it by the difference.
        EXPECT_NEAR(std::remainder(ActorNodeAngle(ActorBodyNode(&actor), 2) + c.heading, 6.2831855f), 0.0f, 1e-5f);
    }
}

TEST_F(ActorTurningTest, SmallTurnsTwistTheTorsoOrStartATurnOnTheSpot)
{
    const float five = 5.0f * 0.017453292f;
    // Torso straight: torso and head take half each, the heading follows.
    m_actor.TurnTo(-five, false);
    EXPECT_NEAR(m_actor.heading, -five, 1e-6f);
    EXPECT_NEAR(ActorNodeAngle(ActorTorsoNode(&m_actor), 1), five / 2.0f, 1e-6f);
    EXPECT_NEAR(ActorNodeAngle(ActorHeadNode(&m_actor), 1), five / 2.0f, 1e-6f);

    // Torso twisted 30 degrees: the heading stays; idle starts a turn on the spot, moving does not.
    for (const s32_t mode : {ACTOR_MOVE_IDLE, ACTOR_MOVE_WALK}) {
        SCOPED_TRACE(mode);
        Actor actor;
        AddBodyNodes(&actor);
        actor.movementMode = mode;
        ActorSetNodeAngle(ActorTorsoNode(&actor), 1, 30.0f * 0.017453292f);
        actor.TurnTo(five, false);
        EXPECT_EQ(actor.heading, 0.0f);
        EXPECT_EQ(actor.turnInPlaceStart, mode == ACTOR_MOVE_IDLE ? 9000u : 0u);
    }
}

TEST_F(ActorTurningTest, DeadActorsTurnOnlyInstantly)
{
    m_actor.isDead = true;
    m_actor.TurnTo(1.0f, false);
    EXPECT_EQ(m_actor.heading, 0.0f);
    m_actor.TurnTo(1.0f, true);
    EXPECT_FLOAT_EQ(m_actor.heading, 1.0f);
}

TEST_F(ActorTurningTest, PitchIsClampedAndSharedByHeadAndTorso)
{
    m_actor.SetPitch(2.0f);
    EXPECT_EQ(m_actor.pitch, 1.5707964f);
    m_actor.SetPitch(-2.0f);
    EXPECT_EQ(m_actor.pitch, -1.5707964f);
    EXPECT_EQ(m_actor.previousPitch, 1.5707964f);
    m_actor.SetPitch(0.6f);
    EXPECT_FLOAT_EQ(ActorNodeAngle(ActorHeadNode(&m_actor), 0), 0.6f * 0.33333334f);
    EXPECT_FLOAT_EQ(ActorNodeAngle(ActorTorsoNode(&m_actor), 0), 0.6f * 0.33333334f * 0.5f);
    m_actor.isDead = true;
    m_actor.SetPitch(0.1f);
    EXPECT_FLOAT_EQ(m_actor.pitch, 0.6f);
}

TEST_F(ActorTurningTest, HeadingAndPitchTowardAPoint)
{
    m_actor.SetPosition({0.0f, 0.0f, 0.0f});
    // A point straight ahead along -z (heading 0).
    m_actor.TurnToPoint({0.0f, 0.0f, -10.0f});
    EXPECT_NEAR(std::remainder(m_actor.targetHeading, 6.2831855f), 0.0f, 1e-5f);
    EXPECT_FALSE(m_actor.turning);
    m_actor.TurnToPoint({10.0f, 0.0f, 0.0f});
    EXPECT_NEAR(m_actor.targetHeading, -1.5707964f, 1e-5f);
    EXPECT_TRUE(m_actor.turning);
    EXPECT_EQ(m_actor.turnTime, g_frameView.aiTime);

    // The pitch is pi/2 - arccos of the height of the direction from the point to the eye: level
    // with the eye 0, 10 above it at 10 units -pi/4.
    m_actor.AimAtPoint({0.0f, 17.0f, -10.0f});
    EXPECT_NEAR(m_actor.pitch, 0.0f, 1e-5f);
    m_actor.AimAtPoint({0.0f, 27.0f, -10.0f});
    EXPECT_NEAR(m_actor.pitch, -0.7853982f, 1e-5f);
}

TEST_F(ActorTurningTest, SetHeadingStraightensTheBody)
{
    ActorSetNodeAngle(ActorTorsoNode(&m_actor), 1, 0.3f);
    m_actor.SetHeading(1.25f);
    EXPECT_EQ(m_actor.heading, 1.25f);
    EXPECT_EQ(ActorNodeAngle(ActorBodyNode(&m_actor), 2), -1.25f);
    EXPECT_EQ(ActorNodeAngle(ActorTorsoNode(&m_actor), 1), 0.0f);
}

TEST_F(ActorTurningTest, ReviveOnALivingFriendShowsItsEnvelope)
{
    AIInterface* playerAi = new AIInterface();
    AIInterface* friendAi = new AIInterface();
    g_frameView.player = playerAi->body;
    DOEnvelope envelope;
    Actor* soldier = friendAi->body;
    soldier->envelope = &envelope;
    soldier->weaponCueA = 3;
    soldier->bloodPending = false;
    soldier->isCollidable = false;
    envelope.Hide(nullptr);  // as death hides it
    soldier->Revive();
    EXPECT_EQ(soldier->weaponCueA, 255);
    EXPECT_EQ(soldier->weaponCueB, 255);
    EXPECT_TRUE(soldier->bloodPending);
    EXPECT_TRUE(soldier->isCollidable && soldier->isMovable);
    EXPECT_FALSE(soldier->isDead || soldier->isCorpse || soldier->deathDone);
    EXPECT_EQ(envelope.visible, 1);

    // An enemy's envelope stays hidden.
    envelope.Hide(nullptr);
    friendAi->entity->team = 2;
    soldier->Revive();
    EXPECT_EQ(envelope.visible, 0);

    EXPECT_FLOAT_EQ(soldier->SetBodyAngle(0.5f), 0.5f);
    EXPECT_FLOAT_EQ(soldier->bodyAngle, 0.5f);
    g_frameView.player = nullptr;
    for (AIInterface* ai : {playerAi, friendAi}) {
        delete ai->body;
        delete ai;
    }
}

TEST_F(ActorTurningTest, DeathFirstStepsOnce)
{
    m_actor.fallSpeed = 5.0f;
    m_actor.die(1, 0.0f);
    EXPECT_TRUE(m_actor.isDead);
    EXPECT_EQ(m_actor.fallSpeed, 0.0f);
    EXPECT_EQ(m_actor.deathSet, 1);
    m_actor.die(0, 0.0f);
    EXPECT_EQ(m_actor.deathSet, 1);
}

}  // namespace
