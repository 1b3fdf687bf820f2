// Drawing an actor of the sample soldier class through the world renderer's recorded mesh draws:
// a standing soldier draws its nodes, rbactors off draws nothing, a lying corpse is drawn flat with
// rbshowbodys on and not at all with it off.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/actors/actor_test_support.h"
#include "actors/actor_cvars.h"
#include "actors/actor_motion.h"
#include "actors/anim_name_tables.h"
#include "platform/test_clock.h"
#include "render/draw2d/debug_primitives.h"
#include "render/render_cvars.h"
#include "scene/meshes/object_draw.h"
#include "scene/scene_state.h"
#include "world/nodes/graph_node.h"

namespace {

class ActorDrawing : public actor_test::ClassFixture {
protected:
    void SetUp() override
    {
        ClassFixture::SetUp();
        PlatformTestClockStart(20000);
        m_info = Load("soldier", "default");
        ASSERT_NE(m_info, nullptr);
        const u8_t legsCell = m_info->legsNames[LEGS_IDLE * ACTOR_POSES];
        const u8_t torsoCell = m_info->torsoNames[TORSO_POSE * ACTOR_POSES];
        ASSERT_NE(legsCell, ANIM_CELL_NONE);
        ASSERT_NE(torsoCell, ANIM_CELL_NONE);
        AnimMesh* legs = m_info->legsGroups[0].entries[legsCell].animations[0];
        AnimMesh* torso = m_info->torsoGroups[0].entries[torsoCell].animations[0];
        ASSERT_NE(legs, nullptr);
        ASSERT_NE(torso, nullptr);
        m_actor = new Actor();
        m_actor->classInfo = m_info;
        actor_test::AttachSoldierBody(m_actor, legs, torso, false);
        m_actor->SetPosition({0, 0, 30});
        m_actor->UpdateViewDistance();
        SceneDrawLogClear();
    }
    void TearDown() override
    {
        delete m_actor;
        SceneDrawLogClear();
        PlatformTestClockStop();
        ClassFixture::TearDown();
    }
    s32_t Draws()
    {
        SceneDrawLogClear();
        m_actor->Render();
        return g_scene.drawLog.meshDrawCount;
    }

    ActorClassInfo* m_info = nullptr;
    Actor* m_actor = nullptr;
};

TEST_F(ActorDrawing, StandingItDrawsAndRbactorsOffDrawsNothing)
{
    KeepVar keepActors(rbactors);
    KeepVar keepDirs(rbactordirs);
    rbactors.SetBool(true);
    rbactordirs.SetBool(false);
    EXPECT_GT(Draws(), 0);
    EXPECT_EQ(ActorTorsoNode(m_actor)->swapPivotAxes, 0);
    rbactors.SetBool(false);
    EXPECT_EQ(Draws(), 0);
    rbactors.SetBool(true);
    m_actor->drawn = 0;
    EXPECT_EQ(Draws(), 0);
}

TEST_F(ActorDrawing, ALyingCorpseIsDrawnFlatOnlyWithRbshowbodys)
{
    KeepVar keepActors(rbactors);
    KeepVar keepBodies(rbshowbodys);
    rbactors.SetBool(true);
    m_actor->die(1, 0.0f);
    m_actor->deathDone = true;
    rbshowbodys.SetBool(true);
    EXPECT_GT(Draws(), 0);
    EXPECT_EQ(ActorTorsoNode(m_actor)->swapPivotAxes, 1);
    rbshowbodys.SetBool(false);
    EXPECT_EQ(Draws(), 0);
}

TEST_F(ActorDrawing, RbactordirsAddsFourTwentyUnitLinesFromTheEye)
{
    KeepVar keepDirs(rbactordirs);
    DebugListsReset();
    rbactordirs.SetBool(true);
    m_actor->crouched = true;
    m_actor->pose = ACTOR_POSE_CROUCH;
    Draws();
    ASSERT_EQ(g_debugPrimitives.lines.count, 4u);
    // Newest first: the aim line (heading 0, pitch 0 looks along -z).
    const DebugLine* aim = g_debugPrimitives.lines.active;
    EXPECT_EQ(aim->startColour, 0xFFFFFF00u);
    EXPECT_FLOAT_EQ(aim->start.y, 12.0f);
    EXPECT_NEAR(aim->end.z, 30.0f - 20.0f, 1e-4f);
    for (const DebugLine* line = aim; line; line = line->next) {
        const float dx = line->end.x - line->start.x, dy = line->end.y - line->start.y,
                    dz = line->end.z - line->start.z;
        EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 20.0f, 1e-3f);
        EXPECT_FALSE(line->permanent);
    }
    DebugListsFree();
}

TEST_F(ActorDrawing, AProneActorLiesFlatWhileNoPoseChangeRuns)
{
    KeepVar keepActors(rbactors);
    rbactors.SetBool(true);
    m_actor->prone = true;
    m_actor->poseChanging = true;
    Draws();
    EXPECT_EQ(ActorTorsoNode(m_actor)->swapPivotAxes, 0);
    m_actor->poseChanging = false;
    Draws();
    EXPECT_EQ(ActorTorsoNode(m_actor)->swapPivotAxes, 1);
}

}  // namespace
