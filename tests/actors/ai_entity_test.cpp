// A soldier's sensing record: its start values, its "aiparam" keywords, its teams and the lists it
// moves between, and the relation tests between teams.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "ai/squads/patrol_path.h"
#include "core/random.h"
#include "map/registry/actor_lists.h"
#include "map/registry/actor_side_lists.h"
#include "map/map_cvars.h"
#include "map/trace/map_sight.h"
#include "map/terrain/map_state.h"
#include "platform/test_clock.h"
#include "tests/actors/actor_test_support.h"

namespace {

using actor_test::LogFrom;
using actor_test::LogSize;

// A soldier: its interface, body and entity; the body is deleted with it.
class AIEntities : public ::testing::Test {
protected:
    void SetUp() override { actor_test::StartFolder(); }
    void TearDown() override
    {
        for (AIInterface* interface : m_soldiers) {
            Actor* body = interface->body;
            delete interface;
            delete body;
        }
        ActorListsFree();
        mfrange.SetFromText("1500.0");
        mffogstart.SetFromText("1000.0");
        mcmapambient.SetFromText("(128.0, 128.0, 128.0, 255.0)");
        MapSightFactorsReset();
        EngineSRand(m_seed);
        EXPECT_EQ(g_ai.interfaceCount, 0u);
    }
    AIEntity* Soldier()
    {
        m_soldiers.push_back(new AIInterface());
        return m_soldiers.back()->entity;
    }
    // SetParam with the words as its values.
    static bool Set(AIEntity* entity, const char* keyword, const std::vector<std::string>& words)
    {
        std::vector<EngineString> values;
        for (const std::string& word : words)
            values.emplace_back(word.c_str());
        return entity->SetParam(keyword, values.data(), static_cast<int>(values.size()));
    }

    std::vector<AIInterface*> m_soldiers;
    u32_t m_seed = EngineRandState();
};

TEST_F(AIEntities, AFreshEntityIsAFriendlyScoutAtFullHealth)
{
    AIEntity* entity = Soldier();
    EXPECT_EQ(entity->team, ACTOR_TEAM_FRIEND);
    EXPECT_EQ(entity->soldierClass, SOLDIER_CLASS_SCOUT);
    EXPECT_EQ(entity->health, 100.0f);
    EXPECT_EQ(entity->reactionDelay, 500u);
    EXPECT_EQ(entity->rotationSpeed, 0.0872664675f);
    EXPECT_EQ(entity->configuredRotationSpeed, 0.0872664675f);
    EXPECT_EQ(entity->patrolAllowed, 0);
    EXPECT_EQ(entity->inAlert, 0);
    EXPECT_EQ(entity->assignedPatrolPath, nullptr);
    EXPECT_EQ(entity->currentPatrolPath, nullptr);
    EXPECT_EQ(entity->GetSniperBonus(), 0.0f);
    // The sight range is the view range x 10/3, and the projection's far plane.
    const float range = 1500.0f * 3.3333333f;
    EXPECT_EQ(entity->sightRange, range);
    D3DXMATRIX expected;
    D3DXMatrixPerspectiveFovLH(&expected, 1.5707964f, 1.33f, 0.2f, range);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(entity->projection.m[i / 4][i % 4], expected.m[i / 4][i % 4]) << i;
}

TEST_F(AIEntities, TheFirstViewIsTheBodysPositionHeadingPitchAndPose)
{
    Actor body;
    body.SetPosition({3.0f, 4.0f, 5.0f});
    body.heading = 1.25f;
    body.pitch = -0.5f;
    body.crouched = true;
    AIEntity entity(&body);
    EXPECT_EQ(entity.viewHeading, 1.25f);
    EXPECT_EQ(entity.viewPitch, -0.5f);
    EXPECT_EQ(entity.viewPosition.x, 3.0f);
    EXPECT_EQ(entity.viewPosition.y, 4.0f);
    EXPECT_EQ(entity.viewPosition.z, 5.0f);
    EXPECT_EQ(entity.viewPose, ACTOR_POSE_CROUCH);
    // A later update follows the body only when something changed, or when forced.
    body.SetPosition({6.0f, 4.0f, 5.0f});
    entity.UpdateFrustum(false);
    EXPECT_EQ(entity.viewPosition.x, 6.0f);
    body.crouched = false;
    body.prone = true;
    entity.UpdateFrustum(false);
    EXPECT_EQ(entity.viewPose, ACTOR_POSE_PRONE);
}

TEST_F(AIEntities, ParametersTakeTheirValuesAndRefuseWrongCounts)
{
    struct Case {
        const char* what;
        const char* keyword;
        std::vector<std::string> values;
        bool result;
        void (*check)(const AIEntity&);
    };
    const Case cases[] = {
        {"class sniper",
         "class",
         {"sniper"},
         true,
         [](const AIEntity& e) { EXPECT_EQ(e.soldierClass, SOLDIER_CLASS_SNIPER); }},
        {"class SCOUT",
         "CLASS",
         {"SCOUT"},
         true,
         [](const AIEntity& e) { EXPECT_EQ(e.soldierClass, SOLDIER_CLASS_SCOUT); }},
        {"class of another word",
         "class",
         {"medic"},
         true,
         [](const AIEntity& e) { EXPECT_EQ(e.soldierClass, SOLDIER_CLASS_SCOUT); }},
        {"class without a value", "class", {}, false, [](const AIEntity&) {}},
        {"max_sight", "max_sight", {"300"}, true, [](const AIEntity& e) { EXPECT_FLOAT_EQ(e.sightRange, 3000.0f); }},
        {"max_sight with two values",
         "max_sight",
         {"300", "1"},
         false,
         [](const AIEntity& e) { EXPECT_FLOAT_EQ(e.sightRange, 1500.0f * 3.3333333f); }},
        {"player_rel neutral",
         "player_rel",
         {"neutral"},
         true,
         [](const AIEntity& e) {
             EXPECT_EQ(e.team, ACTOR_TEAM_NEUTRAL);
             EXPECT_EQ(e.patrolAllowed, 1);
         }},
        {"player_rel ENEMY",
         "player_rel",
         {"ENEMY"},
         true,
         [](const AIEntity& e) {
             EXPECT_EQ(e.team, ACTOR_TEAM_ENEMY);
             EXPECT_EQ(e.patrolAllowed, 1);
         }},
        {"player_rel FRIEND",
         "player_rel",
         {"FRIEND"},
         true,
         [](const AIEntity& e) {
             EXPECT_EQ(e.team, ACTOR_TEAM_FRIEND);
             EXPECT_EQ(e.patrolAllowed, 0);
         }},
        {"player_rel FOE",
         "player_rel",
         {"FOE"},
         true,
         [](const AIEntity& e) {
             EXPECT_EQ(e.team, ACTOR_TEAM_FRIEND);
             EXPECT_EQ(e.patrolAllowed, 0);
         }},
        {"rot_speed",
         "rot_speed",
         {"0.25"},
         true,
         [](const AIEntity& e) {
             EXPECT_EQ(e.rotationSpeed, 0.25f);
             EXPECT_EQ(e.configuredRotationSpeed, 0.25f);
         }},
        {"rot_speed not a number",
         "rot_speed",
         {"fast"},
         true,
         [](const AIEntity& e) { EXPECT_EQ(e.rotationSpeed, 0.0f); }},
        {"patrol_path unknown",
         "patrol_path",
         {"north"},
         false,
         [](const AIEntity& e) { EXPECT_EQ(e.assignedPatrolPath, nullptr); }},
        {"health",
         "health",
         {"35.5"},
         true,
         [](const AIEntity& e) {
             EXPECT_EQ(e.health, 35.5f);
             EXPECT_EQ(e.actor->energy, 35.5f);
         }},
        {"health with no value", "health", {}, false, [](const AIEntity& e) { EXPECT_EQ(e.health, 100.0f); }},
        {"aim_time",
         "aim_time",
         {"700"},
         true,
         [](const AIEntity& e) {
             EXPECT_EQ(e.aimTimes[0], 700u);
             EXPECT_EQ(e.aimTimes[1], 0u) << "the entry has no second value";
         }},
        {"aim_time with two values",
         "aim_time",
         {"700", "900"},
         false,
         [](const AIEntity& e) { EXPECT_EQ(e.aimTimes[0], 0u); }},
        {"scatter",
         "scatter",
         {"10", "20"},
         true,
         [](const AIEntity& e) {
             EXPECT_NEAR(e.scatter[0], 0.122173f, 1e-6f);
             EXPECT_NEAR(e.scatter[1], 0.244346f, 1e-6f);
         }},
        {"scatter with one value", "scatter", {"10"}, false, [](const AIEntity& e) { EXPECT_EQ(e.scatter[0], 0.0f); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AIEntity* entity = Soldier();
        const size_t logBefore = LogSize();
        EXPECT_EQ(Set(entity, c.keyword, c.values), c.result);
        c.check(*entity);
        EXPECT_EQ(LogFrom(logBefore), "") << "known keywords report nothing";
    }
}

TEST_F(AIEntities, AnUnknownKeywordIsReportedAndRefused)
{
    AIEntity* entity = Soldier();
    const size_t logBefore = LogSize();
    EXPECT_FALSE(Set(entity, "courage", {"high"}));
    EXPECT_EQ(LogFrom(logBefore), "WARNING: Unknow AIEntity param courage [actor:1196]\n");
}

TEST_F(AIEntities, SightRangeFollowsTheMapsRangeFogAndLight)
{
    mfrange.SetFromText("1500");
    mffogstart.SetFromText("1000");
    mcmapambient.SetFromText("(127.5, 127.5, 127.5, 255)");
    MapSightFactorsCompute();
    EXPECT_FLOAT_EQ(MapSightRangeFactor(), 1.25f);
    EXPECT_FLOAT_EQ(MapSightLightFactor(), 1.0f);
    AIEntity* entity = Soldier();
    ASSERT_TRUE(Set(entity, "max_sight", {"300"}));
    EXPECT_FLOAT_EQ(entity->sightRange, 3750.0f);
    D3DXMATRIX expected;
    D3DXMatrixPerspectiveFovLH(&expected, 1.5707964f, 1.33f, 0.2f, entity->sightRange);
    EXPECT_EQ(entity->projection._33, expected._33) << "the far plane moves with the sight range";
    EXPECT_EQ(entity->projection._43, expected._43);
    ASSERT_TRUE(Set(entity, "max_sight", {"2000"}));
    EXPECT_EQ(entity->sightRange, 15000.0f) << "capped at ten times the view range";
}

TEST_F(AIEntities, ATeamChangeMovesAListedBodyOnce)
{
    AIEntity* entity = Soldier();
    Actor* body = entity->actor;
    ActorSideListAdd(body);
    ASSERT_EQ(g_map.FriendActorList.Count(), 1);

    ASSERT_TRUE(Set(entity, "player_rel", {"ENEMY"}));
    EXPECT_EQ(g_map.FriendActorList.Count(), 0);
    ASSERT_EQ(g_map.EnemyActorList.Count(), 1);
    EXPECT_EQ(g_map.EnemyActorList.Get(0), body);
    ASSERT_TRUE(Set(entity, "player_rel", {"ENEMY"}));
    EXPECT_EQ(g_map.EnemyActorList.Count(), 1) << "the same team again changes no list";
    ASSERT_TRUE(Set(entity, "player_rel", {"FOE"}));
    EXPECT_EQ(entity->team, ACTOR_TEAM_ENEMY);
    EXPECT_EQ(g_map.EnemyActorList.Count(), 1);
    ASSERT_TRUE(Set(entity, "player_rel", {"NEUTRAL"}));
    EXPECT_EQ(g_map.EnemyActorList.Count(), 0);
    EXPECT_EQ(g_map.NeutralActorList.Count(), 1);

    // A body that is not in the world is listed by the world when it enters, under the team it has
    // then; a team change before that lists it nowhere.
    AIEntity* newcomer = Soldier();
    ASSERT_TRUE(Set(newcomer, "player_rel", {"ENEMY"}));
    EXPECT_EQ(g_map.EnemyActorList.Count(), 0);
    ActorSideListAdd(newcomer->actor);
    EXPECT_EQ(g_map.EnemyActorList.Count(), 1);
}

TEST_F(AIEntities, RelationTestsCoverEveryPairOfTeams)
{
    // [this team][other team]: enemy, friend.
    const bool enemy[3][3] = {{false, true, true}, {false, false, false}, {true, true, false}};
    const bool friendly[3][3] = {{true, false, false}, {false, false, false}, {false, false, true}};
    AIEntity* a = Soldier();
    AIEntity* b = Soldier();
    for (s32_t mine = 0; mine < 3; ++mine) {
        for (s32_t theirs = 0; theirs < 3; ++theirs) {
            SCOPED_TRACE(std::to_string(mine) + " toward " + std::to_string(theirs));
            a->team = mine;
            b->team = theirs;
            EXPECT_EQ(a->IsNeutral(), mine == ACTOR_TEAM_NEUTRAL);
            EXPECT_EQ(a->IsEnemyOf(b), enemy[mine][theirs]);
            EXPECT_EQ(a->IsFriendOf(b), friendly[mine][theirs]);
        }
    }
}

TEST_F(AIEntities, SniperBonusAndRotationSpeedReset)
{
    AIEntity* entity = Soldier();
    ASSERT_TRUE(Set(entity, "class", {"sniper"}));
    EXPECT_EQ(entity->GetSniperBonus(), 50.0f);
    ASSERT_TRUE(Set(entity, "rot_speed", {"0.5"}));
    entity->rotationSpeed = 2.0f;
    EXPECT_EQ(entity->ResetRotationSpeed(), 0.5f);
    EXPECT_EQ(entity->rotationSpeed, 0.5f);
}

TEST_F(AIEntities, AlertModeClearsAndRestoresThePatrol)
{
    AIInterface* soldier = (Soldier(), m_soldiers.back());
    AIEntity* entity = soldier->entity;
    PatrolPath path;
    entity->assignedPatrolPath = entity->currentPatrolPath = &path;
    entity->patrolAllowed = 1;
    soldier->alertStateByte = 1;
    PlatformTestClockStart(4321);
    soldier->SetAlertMode();
    PlatformTestClockStop();
    EXPECT_EQ(entity->inAlert, 1);
    EXPECT_EQ(entity->lastAlertTick, 4321u);
    EXPECT_EQ(entity->patrolAllowed, 0);
    EXPECT_EQ(entity->currentPatrolPath, nullptr);
    soldier->ResetAlertMode();
    EXPECT_EQ(entity->inAlert, 0);
    EXPECT_EQ(entity->patrolAllowed, 1);
    EXPECT_EQ(entity->currentPatrolPath, &path);
    EXPECT_EQ(soldier->alertStateByte, 0);
}

}  // namespace
