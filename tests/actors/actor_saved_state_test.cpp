// The actor's saved record, laying down and reviving by a loaded record, the pose heights and aim
// points, and an actor whose AI was taken away.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "actors/actor.h"
#include "actors/actor_class.h"
#include "actors/actor_motion.h"
#include "actors/ai_entity.h"
#include "ai/soldier/path_follower.h"
#include "core/files/byte_io.h"
#include "tests/actors/vehicles/vehicle_test_support.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/saved_object_state.h"

namespace {

class ActorSavedState : public vehicle_test::VehicleFixture {
protected:
    static SavedObjectState Saved(Actor* actor)
    {
        SavedObjectState state;
        std::memset(state.kindArea, 0xAB, sizeof state.kindArea);
        actor->SaveState(&state);
        return state;
    }
    static SavedObjectState WithHealth(s32_t health)
    {
        SavedObjectState state;
        StoreU32(state.kindArea + ACTOR_STATE_HEALTH, static_cast<u32_t>(health));
        StoreU32(state.kindArea + ACTOR_STATE_SLOT_KIND, 1);
        StoreU32(state.kindArea + ACTOR_STATE_MOVEMENT, static_cast<u32_t>(ACTOR_MOVE_RUN));
        return state;
    }
};

TEST_F(ActorSavedState, TheRecordIsWrittenFieldByFieldAndReadBack)
{
    Actor* soldier = Soldier({0.0f, 0.0f, 0.0f});
    AIEntity* entity = soldier->GetAIEntity();
    entity->health = 57.9f;
    entity->patrolAllowed = 1;
    entity->inAlert = 0;
    soldier->ai->alertStateByte = 3;
    soldier->movementMode = ACTOR_MOVE_RUN;
    soldier->pose = ACTOR_POSE_CROUCH;
    soldier->follower->moving = 1;
    soldier->follower->stateWord = 0x01020304;
    SavedObjectState state = Saved(soldier);
    const std::vector<u8_t> expected = {57, 0, 0, 0, 1, 0, 0, 0, 1, 0, 3, 0, 1, 0,
                                        0,  0, 1, 0, 0, 0, 1, 0, 0, 0, 4, 3, 2, 1};
    EXPECT_EQ(std::vector<u8_t>(state.kindArea, state.kindArea + ACTOR_STATE_SIZE), expected);
    EXPECT_EQ(state.kindArea[ACTOR_STATE_SIZE], 0xAB);  // the rest of the area is not the actor's

    Actor* other = Soldier({50.0f, 0.0f, 0.0f}, "other");
    other->follower->moving = 0;
    other->LoadState(&state);
    EXPECT_FALSE(other->isDead);
    EXPECT_FLOAT_EQ(other->GetHealth(), 57.0f);
    EXPECT_EQ(other->GetAIEntity()->patrolAllowed, 1);
    EXPECT_EQ(other->ai->alertStateByte, 3);
    EXPECT_EQ(other->movementMode, ACTOR_MOVE_RUN);
    EXPECT_EQ(other->pose, ACTOR_POSE_CROUCH);
    EXPECT_FALSE(other->crouched);  // the stance flags stay as they were
    EXPECT_EQ(other->follower->moving, 1);
    EXPECT_EQ(other->follower->stateWord, 0x01020304u);
    EXPECT_EQ(Saved(other).kindArea[0], 57);

    // No weapon in hand is written as kind 0.
    soldier->selectedSlot = 255;
    EXPECT_EQ(LoadU32(Saved(soldier).kindArea + ACTOR_STATE_SLOT_KIND), 0u);
    soldier->selectedSlot = 3;  // an empty slot
    EXPECT_EQ(LoadU32(Saved(soldier).kindArea + ACTOR_STATE_SLOT_KIND), 0u);
    soldier->selectedSlot = 0;
}

TEST_F(ActorSavedState, HealthZeroLaysALivingActorDownAndAboveZeroRevivesADeadOne)
{
    Actor* soldier = Soldier({0.0f, 0.0f, 0.0f});
    ASSERT_NE(soldier->classInfo, nullptr);
    // The first standing death excludes the soldier's rifle: the other one must be taken.
    std::vector<DeathAnim>& deaths = soldier->classInfo->deathGroups[0].anims;
    s32_t allowed = -1;
    bool excludedOne = false;
    for (size_t i = 0; i < deaths.size(); ++i) {
        if (deaths[i].pose != ACTOR_POSE_STAND)
            continue;
        if (!excludedOne) {
            deaths[i].excludeNames.emplace_back("RIFLE");
            ++deaths[i].excludeCount;
            excludedOne = true;
        } else if (allowed < 0) {
            allowed = static_cast<s32_t>(i);
        }
    }
    ASSERT_GE(allowed, 0);
    SavedObjectState dead = WithHealth(0);
    soldier->LoadState(&dead);
    EXPECT_TRUE(soldier->isDead);
    EXPECT_EQ(soldier->deathSet, 0);
    EXPECT_EQ(soldier->deathVariant, allowed);
    EXPECT_FALSE(soldier->isCollidable);
    EXPECT_FALSE(soldier->isMovable);
    EXPECT_EQ(soldier->ai->outOfPlay, 1);
    const DeathAnim& chosen = deaths[static_cast<size_t>(allowed)];
    GraphNode* legs = ActorBodyNode(soldier);
    GraphNode* torso = ActorTorsoNode(soldier);
    EXPECT_EQ(legs->GetAnimMesh(), chosen.legs);
    EXPECT_EQ(torso->GetAnimMesh(), chosen.torso);
    EXPECT_FLOAT_EQ(soldier->deathLegsFrame, static_cast<float>(chosen.legs->frames_c) - 2.0f);
    EXPECT_FLOAT_EQ(legs->GetFrame(), soldier->deathLegsFrame);
    EXPECT_FLOAT_EQ(soldier->deathTorsoFrame, static_cast<float>(chosen.torso->frames_c) - 2.0f);
    EXPECT_FLOAT_EQ(soldier->GetHealth(), 0.0f);
    // The other fields still come from the record.
    EXPECT_EQ(soldier->movementMode, ACTOR_MOVE_RUN);

    // Health -5 leaves the dead dead.
    SavedObjectState stillDead = WithHealth(-5);
    soldier->LoadState(&stillDead);
    EXPECT_TRUE(soldier->isDead);
    EXPECT_FLOAT_EQ(soldier->GetHealth(), -5.0f);
    // Health 30 revives.
    SavedObjectState alive = WithHealth(30);
    soldier->sensedFlag = true;
    soldier->LoadState(&alive);
    EXPECT_FALSE(soldier->isDead);
    EXPECT_TRUE(soldier->isCollidable);
    EXPECT_EQ(soldier->ai->outOfPlay, 0);
    EXPECT_FALSE(soldier->sensedFlag);
    EXPECT_FLOAT_EQ(soldier->GetHealth(), 30.0f);
}

TEST_F(ActorSavedState, WithNoFittingDeathTheActorDiesInItsCurrentAnimation)
{
    Actor* soldier = Soldier({0.0f, 0.0f, 0.0f});
    for (DeathAnim& death : soldier->classInfo->deathGroups[0].anims) {
        death.excludeNames.emplace_back("rifle");
        ++death.excludeCount;
    }
    AnimMesh* before = ActorBodyNode(soldier)->GetAnimMesh();
    SavedObjectState dead = WithHealth(0);
    soldier->LoadState(&dead);
    EXPECT_TRUE(soldier->isDead);
    EXPECT_EQ(soldier->deathVariant, -1);
    EXPECT_EQ(ActorBodyNode(soldier)->GetAnimMesh(), before);
}

TEST_F(ActorSavedState, PoseHeightsAndAimPoints)
{
    struct Case {
        s32_t pose, kind;
        float height;
    };
    const Case cases[] = {{0, 1, 14.0f}, {1, 1, 7.0f}, {2, 1, 2.0f}, {0, 2, 16.0f}, {1, 2, 12.0f},
                          {2, 2, 2.0f},  {0, 3, 0.0f}, {3, 1, 0.0f}, {-1, 2, 0.0f}, {1, 0, 0.0f}};
    for (const Case& c : cases)
        EXPECT_EQ(ActorPoseHeight(c.pose, c.kind), c.height) << c.pose << " " << c.kind;
    Actor actor;
    actor.SetPosition({100.0f, 50.0f, 20.0f});
    Vector3 point;
    actor.crouched = true;
    EXPECT_FLOAT_EQ(actor.GetAimPoint(&point, ACTOR_AIM_EYE)->y, 62.0f);
    EXPECT_FLOAT_EQ(point.x, 100.0f);
    EXPECT_FLOAT_EQ(point.z, 20.0f);
    actor.crouched = false;
    actor.prone = true;
    EXPECT_FLOAT_EQ(actor.GetAimPoint(&point, ACTOR_AIM_BODY)->y, 52.0f);
    EXPECT_FLOAT_EQ(actor.GetPoseHeight(ACTOR_AIM_EYE), 2.0f);
    EXPECT_FLOAT_EQ(actor.GetAimPoint(&point, 3)->y, 50.0f);
    EXPECT_FLOAT_EQ(actor.GetAimPointForPose(&point, ACTOR_POSE_STAND, ACTOR_AIM_EYE)->y, 66.0f);
}

TEST_F(ActorSavedState, ResetPutsThePoseBackAndRefillsTheWeapons)
{
    Actor* soldier = Soldier({0.0f, 0.0f, 0.0f});
    Weapon* rifle = soldier->weapons[0];
    rifle->FillMagazines();
    ASSERT_GT(rifle->RingSize(), 0u);
    const u16_t full = rifle->GetMagazineRounds(0);
    ASSERT_GT(full, 0);
    rifle->SetMagazineRounds(0, 0);
    soldier->crouched = true;
    soldier->pose = ACTOR_POSE_CROUCH;
    soldier->poseChanging = true;
    soldier->animVariant = 2;
    soldier->ResetPoseAndWeapons();
    EXPECT_EQ(soldier->pose, ACTOR_POSE_STAND);
    EXPECT_FALSE(soldier->crouched);
    EXPECT_FALSE(soldier->poseChanging);
    EXPECT_EQ(soldier->animVariant, 0);
    EXPECT_EQ(rifle->GetMagazineRounds(0), full);
}

TEST_F(ActorSavedState, AnActorWithoutAIGetsHurtDiesAndIsSavedWithoutIt)
{
    Actor* soldier = Soldier({0.0f, 0.0f, 0.0f});
    soldier->DetachAI();
    EXPECT_EQ(soldier->ai, nullptr);
    soldier->DetachAI();  // twice is nothing
    EXPECT_FLOAT_EQ(soldier->GetHealth(), 0.0f);
    soldier->ApplyDamage(1, 0.0f, 50.0f);
    EXPECT_FALSE(soldier->isDead);  // no health to take
    SavedObjectState state = Saved(soldier);
    EXPECT_EQ(LoadU32(state.kindArea + ACTOR_STATE_HEALTH), 0u);
    EXPECT_EQ(state.kindArea[ACTOR_STATE_AI_BYTE], 0);
    soldier->LoadState(&state);  // health 0: laid down without AI
    EXPECT_TRUE(soldier->isDead);
    SavedObjectState alive = WithHealth(40);
    soldier->LoadState(&alive);
    EXPECT_FALSE(soldier->isDead);
    soldier->die(0, 0.0f);
    EXPECT_TRUE(soldier->isDead);
}

}  // namespace
