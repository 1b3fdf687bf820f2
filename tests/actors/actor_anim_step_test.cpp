// The animation step on classes that lack what a cell asks for: a missing cell (255), an entry whose
// slot for the variant is empty, a death set or death the class lacks, and a phase without variants.
// The node keeps its animation, the variant is 0, and nothing reads past the class's lists.
#include <gtest/gtest.h>

#include "actor_motion_support.h"
#include "actors/actor_class.h"
#include "actors/anim_name_tables.h"
#include "world/anim_mesh.h"

namespace {

using motion_test::MotionGuard;

class AnimStepFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_info.legsNames.assign(LEGS_TABLE_ROW, ANIM_CELL_NONE);
        m_info.torsoNames.assign(TORSO_TABLE_ROW, ANIM_CELL_NONE);
        m_info.legsGroups.resize(1);
        m_info.torsoGroups.resize(1);
        // Idle names entry 0, which has no animation in any slot; walking names entry 7, which the
        // group does not hold.
        m_info.legsGroups[0].entries.resize(1);
        m_info.legsNames[LEGS_IDLE * ACTOR_POSES] = 0;
        m_info.legsNames[LEGS_MOVE_FORWARD * ACTOR_POSES] = 7;
        // The torso pose entry exists with no variants.
        m_info.torsoGroups[0].entries.resize(1);
        m_info.torsoNames[TORSO_POSE * ACTOR_POSES] = 0;
        m_actor.classInfo = &m_info;
        m_actor.movementMode = ACTOR_MOVE_IDLE;
    }
    void TearDown() override { m_actor.classInfo = nullptr; }

    MotionGuard m_guard{0.02f, 50000, 3};
    ActorClassInfo m_info;
    Actor m_actor;
};

TEST_F(AnimStepFaults, MissingCellsEmptySlotsAndNoVariantsKeepTheAnimation)
{
    for (const s32_t mode : {ACTOR_MOVE_IDLE, ACTOR_MOVE_WALK, ACTOR_MOVE_RUN, ACTOR_MOVE_PATROL}) {
        SCOPED_TRACE(mode);
        m_actor.movementMode = mode;
        m_actor.idleTick = 0;  // a new torso variant is due
        m_actor.animVariant = 3;
        m_actor.poseChanged = false;
        ActorAnimationStep(&m_actor);
        EXPECT_EQ(m_actor.animVariant, 0);
        EXPECT_EQ(m_actor.movementMode, ACTOR_MOVE_IDLE);
    }
    // Transitions, landing and reload the class lacks end at once.
    m_actor.PoseDown();
    m_actor.landing = true;
    m_actor.reloading = true;
    ActorAnimationStep(&m_actor);
    EXPECT_FALSE(m_actor.poseChanging || m_actor.landing || m_actor.reloading);
}

TEST_F(AnimStepFaults, AMissingDeathEndsAsACorpse)
{
    for (const s32_t set : {0, 1, 200}) {
        SCOPED_TRACE(set);
        Actor actor;
        actor.classInfo = &m_info;
        actor.die(set, 0.0f);
        actor.deathVariant = 9;
        ActorAnimationStep(&actor);
        EXPECT_TRUE(actor.isCorpse && actor.deathDone);
        EXPECT_FALSE(actor.IsCollidable() || actor.IsMovable());
        actor.classInfo = nullptr;
    }
}

TEST_F(AnimStepFaults, SteeringAndPushOutWithoutAI)
{
    m_actor.shownMode = ACTOR_MOVE_WALK;
    m_actor.SetPosition({1.0f, 2.0f, 3.0f});
    ActorAiMoveStep(&m_actor);
    ActorCollide(&m_actor);
    const Vector3 p = m_actor.GetPosition();
    EXPECT_FLOAT_EQ(p.x, 1.0f);
    EXPECT_FLOAT_EQ(p.y, 2.0f);
    EXPECT_FLOAT_EQ(p.z, 3.0f);
}

}  // namespace
