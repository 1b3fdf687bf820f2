// Soldiers of the sample class pushing each other apart: the body's sphere test walks the node tree
// of the actor's meshes, and the collision push-out moves one soldier out of the other.
#include <gtest/gtest.h>

#include <cmath>

#include "core/frame_view.h"
#include "tests/actors/actor_motion_support.h"
#include "tests/actors/actor_test_support.h"
#include "actors/actor_motion.h"
#include "actors/anim_name_tables.h"
#include "game/game_state.h"
#include "map/octree/octree.h"
#include "map/registry/world_registry.h"
#include "world/objects/dynamic_object.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

namespace {

class ActorCollision : public actor_test::ClassFixture {
protected:
    void SetUp() override
    {
        ClassFixture::SetUp();
        // The push-out finds the other bodies through the object grid of a map.
        OctreeCreateRoot({-500, -500, -500}, {500, 500, 500});
        m_info = Load("soldier", "default");
        ASSERT_NE(m_info, nullptr);
        const u8_t legsCell = m_info->legsNames[LEGS_IDLE * ACTOR_POSES];
        const u8_t torsoCell = m_info->torsoNames[TORSO_POSE * ACTOR_POSES];
        ASSERT_NE(legsCell, ANIM_CELL_NONE);
        ASSERT_NE(torsoCell, ANIM_CELL_NONE);
        m_legs = m_info->legsGroups[0].entries[legsCell].animations[0];
        m_torso = m_info->torsoGroups[0].entries[torsoCell].animations[0];
        ASSERT_NE(m_legs, nullptr);
        ASSERT_NE(m_torso, nullptr);
    }

    void TearDown() override
    {
        OctreeDestroy();
        ClassFixture::TearDown();
    }

    // A walking soldier of the class with its legs and torso meshes, at the point.
    Actor* Soldier(const Vector3& at)
    {
        Actor* actor = new Actor();
        actor->classInfo = m_info;
        // The torso stands on the legs, as an actor's definition links them.
        actor_test::AttachSoldierBody(actor, m_legs, m_torso, true);
        actor->SetPosition(at);
        actor->shownMode = ACTOR_MOVE_WALK;
        return actor;
    }

    ActorClassInfo* m_info = nullptr;
    AnimMesh* m_legs = nullptr;
    AnimMesh* m_torso = nullptr;
};

float Apart(const Vector3& a, const Vector3& b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.z - b.z) * (a.z - b.z));
}

TEST_F(ActorCollision, TheBodyPushesASphereOutOfItsMeshes)
{
    Actor* soldier = Soldier({0, 0, 0});
    // A sphere beside the torso is pushed out of its side, one below it out of its underside, one
    // above the legs in the torso is lifted off the top of the legs; one far off is left alone and
    // copied to the output.
    struct Case {
        const char* name;
        Vector3 centre, pushed;
    };
    const Case cases[] = {
        {"beside the torso", {5, 13, 0}, {7, 13, 0}},
        {"in the legs, under the torso", {1, 8, 0}, {1, 4.5f, 0}},
        {"in the torso", {0, 13, 0}, {0, 13.5f, 0}},
    };
    Vector3 out = {};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(soldier->SphereCollision(c.centre, 4.5f, &out));
        EXPECT_NEAR(out.x, c.pushed.x, 1e-3f);
        EXPECT_NEAR(out.y, c.pushed.y, 1e-3f);
        EXPECT_EQ(out.z, c.pushed.z);
    }
    EXPECT_FALSE(soldier->SphereCollision({60, 13, 0}, 4.5f, &out));
    EXPECT_EQ(out.x, 60.0f);
    EXPECT_EQ(out.y, 13.0f);
    EXPECT_EQ(out.z, 0.0f);
    // A body without nodes below its root has nothing to touch.
    Actor bare;
    EXPECT_FALSE(bare.SphereCollision({0, 13, 0}, 4.5f, &out));
    EXPECT_EQ(out.x, 0.0f);
    delete soldier;
}

// The first soldier's sphere (radius 4.5, 13 units up: in the torso, which stands 9 to 15 units up
// and 2.5 to either side) is pushed out of the second soldier's body, then the second's out of the
// first's. A sphere that overlaps the other body from outside ends 2.5 + 4.5 = 7 units from it.
// Soldiers at one point: the first steps a sphere radius to its right (+x at heading 0), where its
// sphere overlaps the other torso from outside, and is pushed clear to 7 as well.
TEST_F(ActorCollision, SoldiersOverlappingArePushedApart)
{
    motion_test::MotionGuard guard(0.02f, 1000, 1);
    g_frameView.player = nullptr;
    struct Case {
        const char* name;
        float gap;           // the second soldier's distance along x from the first
        bool otherCollides;  // false: the second soldier is a corpse
        float firstX, firstY;
    };
    const Case cases[] = {
        {"overlapping by 4", 3.0f, true, -4.0f, -1.0f},
        {"overlapping by 2", 5.0f, true, -2.0f, -1.0f},
        {"overlapping by a half", 6.5f, true, -0.5f, -1.0f},
        {"out of reach", 8.0f, true, 0.0f, 0.0f},
        {"far apart", 40.0f, true, 0.0f, 0.0f},
        {"at one point", 0.0f, true, 7.0f, 0.0f},
        {"over a corpse", 3.0f, false, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Actor* first = Soldier({0, 0, 0});
        Actor* second = Soldier({c.gap, 0, 0});
        second->isCollidable = c.otherCollides;
        ASSERT_TRUE(DynObjectAdd(first));
        ASSERT_TRUE(DynObjectAdd(second));
        ActorCollide(first);
        ActorCollide(second);
        const Vector3 a = first->GetPosition();
        const Vector3 b = second->GetPosition();
        EXPECT_NEAR(a.x, c.firstX, 1e-3f);
        EXPECT_FLOAT_EQ(a.z, 0.0f);
        // Pushes off the edges also move the sphere up or down a little (-1 marks such a case).
        if (c.firstY >= 0.0f)
            EXPECT_NEAR(a.y, c.firstY, 1e-3f);
        else
            EXPECT_NEAR(a.y, 0.0f, 1.5f);
        if (c.gap > 0.0f && c.otherCollides) {
            // The second soldier, now clear of the first, stays.
            EXPECT_EQ(b.x, c.gap);
            EXPECT_EQ(b.y, 0.0f);
        }
        if (c.firstX != 0.0f) {
            EXPECT_NEAR(Apart(a, b), 7.0f, 1e-3f);
        }
        DynObjectRemove(first);
        DynObjectRemove(second);
        delete first;
        delete second;
    }
}

}  // namespace
