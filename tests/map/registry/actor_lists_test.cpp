// The actors' relation lists: an actor is listed under the team of its AI and taken out again by the
// registry's operations; the lists only reference, so emptying them deletes nothing.
#include <gtest/gtest.h>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "core/random.h"
#include "map/registry/actor_lists.h"
#include "map/registry/actor_side_lists.h"
#include "map/terrain/map_state.h"

namespace {

class ActorLists : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (AIInterface* soldier : m_soldiers) {
            Actor* body = soldier->body;
            delete soldier;
            delete body;
        }
        ActorListsFree();
        EngineSRand(m_seed);
    }
    Actor* Soldier(s32_t team)
    {
        m_soldiers.push_back(new AIInterface());
        m_soldiers.back()->entity->team = team;
        return m_soldiers.back()->body;
    }

    std::vector<AIInterface*> m_soldiers;
    u32_t m_seed = EngineRandState();
};

TEST_F(ActorLists, ActorsAreListedUnderTheTeamOfTheirAI)
{
    Actor* a = Soldier(ACTOR_TEAM_FRIEND);
    Actor* b = Soldier(ACTOR_TEAM_NEUTRAL);
    Actor* c = Soldier(ACTOR_TEAM_ENEMY);
    Actor* d = Soldier(ACTOR_TEAM_ENEMY);
    Actor* odd = Soldier(7);
    Actor plain;  // without AI
    for (Actor* actor : {a, b, c, d, odd, &plain})
        ActorSideListAdd(actor);
    ActorSideListAdd(nullptr);
    ASSERT_EQ(g_map.FriendActorList.Count(), 1);
    ASSERT_EQ(g_map.NeutralActorList.Count(), 1);
    ASSERT_EQ(g_map.EnemyActorList.Count(), 2);
    EXPECT_EQ(g_map.FriendActorList.Get(0), a);
    EXPECT_EQ(g_map.NeutralActorList.Get(0), b);
    EXPECT_EQ(g_map.EnemyActorList.Get(1), d);
    EXPECT_EQ(g_map.EnemyActorList.Cursor(), 1);
    EXPECT_EQ(ActorTeamList(ACTOR_TEAM_ENEMY), &g_map.EnemyActorList);
    EXPECT_EQ(ActorTeamList(3), nullptr);
    EXPECT_EQ(ActorTeamList(-1), nullptr);

    // Removal: the last entry moves into the place, the cursor follows the new last one.
    Actor* e = Soldier(ACTOR_TEAM_ENEMY);
    ActorSideListAdd(e);
    ActorSideListRemove(c);
    ASSERT_EQ(g_map.EnemyActorList.Count(), 2);
    EXPECT_EQ(g_map.EnemyActorList.Get(0), e);
    EXPECT_EQ(g_map.EnemyActorList.Get(1), d);
    EXPECT_EQ(g_map.EnemyActorList.Cursor(), 1);
    ActorSideListRemove(c);  // not listed any more
    EXPECT_EQ(g_map.EnemyActorList.Count(), 2);
}

TEST_F(ActorLists, AnActorWithoutAILeavesEveryList)
{
    Actor plain;
    g_map.FriendActorList.Append(&plain);
    g_map.EnemyActorList.Append(&plain);
    g_map.NeutralActorList.Append(&plain);
    ActorSideListRemove(&plain);
    EXPECT_EQ(g_map.FriendActorList.Count(), 0);
    EXPECT_EQ(g_map.NeutralActorList.Count(), 0);
    EXPECT_EQ(g_map.EnemyActorList.Count(), 0);
}

TEST_F(ActorLists, FreeingTheListsReleasesTheBlocksOnly)
{
    Actor* a = Soldier(ACTOR_TEAM_FRIEND);
    Actor* b = Soldier(ACTOR_TEAM_ENEMY);
    ActorSideListAdd(a);
    ActorSideListAdd(b);
    ActorListsFree();
    for (PtrRefArray<Actor>* list : {&g_map.FriendActorList, &g_map.NeutralActorList, &g_map.EnemyActorList}) {
        EXPECT_EQ(list->Count(), 0);
        EXPECT_EQ(list->Capacity(), 0);
        EXPECT_EQ(list->Cursor(), -1);
    }
    // The actors are untouched and the lists take them again.
    a->name.Assign("a");
    b->name.Assign("b");
    ActorSideListAdd(a);
    ActorSideListAdd(a);
    ActorSideListAdd(b);
    EXPECT_EQ(g_map.FriendActorList.Count(), 2);
    // A destroyed actor leaves no entry behind; forgetting takes every entry.
    delete b;
    EXPECT_EQ(g_map.EnemyActorList.Count(), 0);
    ActorSideListsForget(a);
    EXPECT_EQ(g_map.FriendActorList.Count(), 0);
}

}  // namespace
