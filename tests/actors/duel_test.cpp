// A duel on flat ground: one sample soldier shoots another in the head; the target dies with a
// death animation of its pose and becomes a corpse when the animation has run out, its nodes' mesh
// tables grown to the death meshes.
#include <gtest/gtest.h>

#include <cmath>

#include "actors/actor.h"
#include "actors/actor_class.h"
#include "actors/actor_motion.h"
#include "ai/soldier/ai_interface.h"
#include "core/frame_view.h"
#include "game/game_state.h"
#include "platform/test_clock.h"
#include "support/land_octree.h"
#include "tests/actors/weapons/weapon_test_support.h"
#include "platform/d3dx8_math.h"
#include "world/nodes/graph_node.h"

namespace {

class Duel : public weapon_test::WeaponFixture {};

Actor* SampleSoldier(const Vector3& at)
{
    AIInterface* ai = new AIInterface();
    Actor* soldier = ai->body;
    ApplyDefFile("object\\actors\\soldier.def", soldier);
    soldier->SetPosition(at);
    DynObjectAdd(soldier);
    return soldier;
}

TEST_F(Duel, AShotInTheHeadKillsAndLeavesACorpse)
{
    PlatformTestClockStart(500000);
    std::string error;
    ASSERT_TRUE(land_test::LoadLand(land_test::FlatPlan(), "land.lff", error)) << error;

    Actor* shooter = SampleSoldier({0.0f, 0.0f, 0.0f});
    Actor* target = SampleSoldier({100.0f, 0.0f, 0.0f});
    ASSERT_NE(target->classInfo, nullptr);
    GraphNode* head = target->FindChild("head");
    ASSERT_NE(head, nullptr);
    D3DXMATRIX world;
    head->UpdateTransform(&world);
    float local[6] = {1e30f, 1e30f, 1e30f, -1e30f, -1e30f, -1e30f};
    head->GetFrameBounds(local);
    const D3DXVECTOR3 centre((local[0] + local[3]) * 0.5f, (local[1] + local[4]) * 0.5f, (local[2] + local[5]) * 0.5f);
    D3DXVECTOR3 placed;
    D3DXVec3TransformCoord(&placed, &centre, &world);
    const Vector3 aimAt = {placed.x, placed.y, placed.z};
    const Vector3 eye = shooter->EyeOrigin();
    Vector3 d = {aimAt.x - eye.x, aimAt.y - eye.y, aimAt.z - eye.z};
    const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    d = {d.x / length, d.y / length, d.z / length};
    Weapon* rifle = shooter->weapons[0];
    rifle->fpmFirst = 0.0f;
    WeaponFireRequest shot;
    shot.muzzle = eye;
    shot.aim = d;
    shot.newPull = true;
    ASSERT_TRUE(rifle->Fire(shot));

    for (int frame = 0; frame < 20 && !target->isDead; ++frame) {
        PlatformTestClockAdvance(5);
        DynamicObject** objects = nullptr;
        s32_t count = 0;
        DynObjectsGet(&objects, &count);
        for (s32_t i = count - 1; i >= 0; --i)
            if (objects[i]->typeId == OBJECT_TYPE_PROJECTILE)
                objects[i]->Update();
    }
    ASSERT_TRUE(target->isDead);
    EXPECT_FALSE(shooter->isDead);
    // A head hit: 101 from full health, and the head-hit deaths.
    EXPECT_FLOAT_EQ(target->GetHealth(), -1.0f);
    EXPECT_EQ(target->deathSet, 0);
    ASSERT_GE(target->deathVariant, 0);
    const DeathAnim& chosen = target->classInfo->deathGroups[0].anims[static_cast<size_t>(target->deathVariant)];
    EXPECT_EQ(chosen.pose, 0);

    g_frameView.frameTime = 0.05f;
    for (int frame = 0; frame < 2000 && !target->isCorpse; ++frame) {
        PlatformTestClockAdvance(50);
        ActorAnimationStep(target);
    }
    EXPECT_TRUE(target->isCorpse);
    EXPECT_FALSE(target->isCollidable);
    // The sample death legs have a mesh more than the standing legs: the node's per-mesh tables,
    // read up to the shown mesh's count by the drawing, traces and collisions, grew with the switch.
    for (const char* part : {"legs", "torso", "head"}) {
        SCOPED_TRACE(part);
        const GraphNode* node = target->FindChild(part);
        ASSERT_NE(node, nullptr);
        EXPECT_GE(node->meshTableCount, node->FrameZeroMeshCount());
        EXPECT_GE(node->meshSettingsCount, node->FrameZeroMeshCount());
    }
    EXPECT_GT(target->FindChild("legs")->FrameZeroMeshCount(), shooter->FindChild("legs")->FrameZeroMeshCount());

    for (Actor* soldier : {shooter, target}) {
        DynObjectRemove(soldier);
        soldier->DetachAI();
        delete soldier;
    }
    land_test::UnloadLand();
    PlatformTestClockStop();
}

}  // namespace
