// The animation step on classes that lack what a cell asks for: a missing cell (255), an entry whose
// slot for the variant is empty, a death set or death the class lacks, and a phase without variants.
// The node keeps its animation, the variant is 0, and nothing reads past the class's lists.
#include <gtest/gtest.h>

#include <vector>

#include "tests/actors/actor_motion_support.h"
#include "actors/actor_class.h"
#include "actors/anim_name_tables.h"
#include "actors/vehicles/vehicle.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/path_follower.h"
#include "platform/win32.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

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

TEST_F(AnimStepFaults, TheIdleVariantChangesAtMostEveryTenSeconds)
{
    m_info.torsoGroups[0].entries[0].animationCount = 3;
    m_actor.idleTick = 0;
    std::vector<s32_t> drawn;
    for (int second = 0; second < 60; ++second) {
        const s32_t before = m_actor.animVariant;
        const u32_t tickBefore = m_actor.idleTick;
        ActorAnimationStep(&m_actor);
        if (m_actor.idleTick != tickBefore)
            drawn.push_back(m_actor.animVariant);
        else
            EXPECT_EQ(m_actor.animVariant, before);
        EXPECT_GE(m_actor.animVariant, 0);
        EXPECT_LT(m_actor.animVariant, 3);
        PlatformTestClockAdvance(1000);
    }
    // Drawn at 0, 10, 20, 30, 40 and 50 seconds.
    EXPECT_EQ(drawn.size(), 6u);
}

TEST_F(AnimStepFaults, ATurnOnTheSpotTurnsTheBodyTowardTheHead)
{
    motion_test::AddBodyNodes(&m_actor);
    m_actor.bodyAngle = 0.0f;
    ActorSetNodeAngle(ActorHeadNode(&m_actor), 1, 0.2f);
    m_actor.turnInPlaceStart = GetTickCount();
    const float rate = ActorTurnInPlace(&m_actor);
    EXPECT_EQ(rate, 0.0f);  // no idle animation in this class
    // 50 degrees per turn time (250 ms) for the body, 25 for the head back toward 0.
    const float d50 = 0.02f * 50.0f / 0.25f * 0.017453292f;
    const float d25 = 0.02f * 25.0f / 0.25f * 0.017453292f;
    EXPECT_NEAR(ActorNodeAngle(ActorBodyNode(&m_actor), 2), d50, 1e-6f);
    EXPECT_NEAR(ActorNodeAngle(ActorHeadNode(&m_actor), 1), 0.2f - d25, 1e-6f);
    EXPECT_EQ(ActorNodeAngle(ActorTorsoNode(&m_actor), 1), 0.0f);
    // In the animation step the turn marks the body for a re-fit, which the same step carries out.
    ActorAnimationStep(&m_actor);
    EXPECT_FALSE(m_actor.fitBody);
    EXPECT_FALSE(m_actor.turningInPlace);
}

TEST_F(AnimStepFaults, AMountedWeaponHoldsTheBody)
{
    Weapon gun;
    GraphNode* mount = new GraphNode("x01");
    gun.GetRootNode()->AddChild(mount);
    mount->SetParent(gun.GetRootNode());
    gun.SetPosition({5, 1, 7});
    motion_test::AddBodyNodes(&m_actor);
    m_actor.usesMountedWeapon = true;
    m_actor.mountedWeapon = &gun;
    ActorAnimationStep(&m_actor);
    EXPECT_EQ(ActorBodyNode(&m_actor)->GetParent(), gun.GetRootNode());
    const Vector3 p = m_actor.GetPosition();
    EXPECT_FLOAT_EQ(p.x, 5.0f);
    EXPECT_FLOAT_EQ(p.y, 1.0f);
    EXPECT_FLOAT_EQ(p.z, 7.0f);
    // Walking a route, the soldier leaves the weapon where it is.
    m_actor.follower->moving = 1;
    gun.SetPosition({9, 1, 9});
    ActorAnimationStep(&m_actor);
    EXPECT_FLOAT_EQ(m_actor.GetPosition().x, 5.0f);
    ActorBodyNode(&m_actor)->SetParent(m_actor.GetRootNode());
}

// The echo of a shot plays once the weapon in hand has been quiet for 300 ms, not before.
TEST_F(AnimStepFaults, TheEchoFollows300MillisecondsAfterTheLastShot)
{
    Weapon gun;
    m_actor.weapons[0] = &gun;
    m_actor.selectedSlot = 0;
    for (const u32_t quiet : {299u, 300u}) {
        SCOPED_TRACE(quiet);
        gun.fireReady = false;
        gun.lastShotTime = GetTickCount() - quiet;
        ActorAnimationStep(&m_actor);
        EXPECT_EQ(gun.fireReady, quiet >= 300);
    }
    m_actor.weapons[0] = nullptr;
}

// In a vehicle the body plays the class's drive record that the seat's "actor_anim" names (without
// regard to case); a seat naming none the class has leaves the body as it was.
TEST_F(AnimStepFaults, ASeatedSoldierPlaysTheDriveAnimationHisSeatNames)
{
    AnimMesh drivingLegs, drivingTorso, ridingLegs;
    m_info.driveGroups.resize(1);
    m_info.driveGroups[0].anims.resize(2);
    m_info.driveGroups[0].anims[0].name.Assign("jeep_driver");
    m_info.driveGroups[0].anims[0].legs = &drivingLegs;
    m_info.driveGroups[0].anims[0].torso = &drivingTorso;
    m_info.driveGroups[0].anims[1].name.Assign("jeep_passenger");
    m_info.driveGroups[0].anims[1].legs = &ridingLegs;
    m_info.driveGroups[0].count = 2;
    motion_test::AddBodyNodes(&m_actor);
    VehicleSeat seat;
    m_actor.inVehicle = true;
    m_actor.seat = &seat;
    struct Case {
        const char* seatAnim;
        AnimMesh* legs;
        AnimMesh* torso;
    };
    const Case cases[] = {
        {"JEEP_PASSENGER", &ridingLegs, nullptr},
        {"jeep_driver", &drivingLegs, &drivingTorso},
        {"boat_driver", &drivingLegs, &drivingTorso},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seatAnim);
        seat.actorAnim.Assign(c.seatAnim);
        ActorAnimationStep(&m_actor);
        EXPECT_EQ(ActorBodyNode(&m_actor)->GetAnimMesh(), c.legs);
        EXPECT_EQ(ActorTorsoNode(&m_actor)->GetAnimMesh(), c.torso);
    }
    m_actor.inVehicle = false;
    m_actor.seat = nullptr;
}

}  // namespace
