// What a soldier's rule script perceives and fights with: events with their reaction delay, target
// locking and the lockers, the hit probability, the radius broadcasts and a mission without player.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <string>
#include <vector>

#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_events.h"
#include "core/frame_view.h"
#include "map/terrain/map_state.h"
#include "ai/script/script_functions.h"
#include "ai/ai_mission_fixture.h"

namespace {

using AIPerception = AIMission;

bool Event(AIInterface* soldier, s32_t id)
{
    void* args[1] = {&id};
    g_scriptResult.asBool = 7;
    soldier->GetEvent(args);
    return g_scriptResult.asBool != 0;
}

TEST_F(AIPerception, AnEventIsSeenOnceAfterTheReactionDelay)
{
    AIInterface* soldier = Soldier("alpha", 0.0f);
    soldier->RaiseEvent(2, 1000);
    u32_t firstSeen = 0;
    for (u32_t t = 1000; t < 3000 && !firstSeen; ++t) {
        g_frameView.aiTime = t;
        if (Event(soldier, 2))
            firstSeen = t;
    }
    EXPECT_GE(firstSeen, 1500u) << "500 ms of reaction delay at least";
    EXPECT_LE(firstSeen, 1500u + 749u);
    g_frameView.aiTime = firstSeen + 10000;
    EXPECT_FALSE(Event(soldier, 2)) << "consumed";
    for (s32_t id : {40, 32, -1})
        EXPECT_FALSE(Event(soldier, id)) << id;
    g_scriptResult.asBool = 1;
    soldier->GetEvent(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 0) << "no argument";
}

TEST_F(AIPerception, LockTargetPrefersAFreeEnemyAndKeepsTheOldOneWhenNoneIsInSight)
{
    struct Case {
        const char* what;
        float lockedAt;  // the enemy someone already aims at
        float freeAt;
        int expected;  // 0 none, 1 the aimed-at one, 2 the free one
    };
    const Case cases[] = {
        {"a free enemy farther away wins", 40.0f, 80.0f, 2},
        {"an aimed-at enemy counts only within a third of the reach", 20.0f, 80.0f, 1},
        {"the reach is strict", 40.0f, 100.0f, 0},
    };
    for (const Case& c : cases) {
        AIInterface* soldier = Soldier("shooter", 0.0f);
        AIInterface* aimedAt = Soldier("aimedAt", c.lockedAt);
        AIInterface* free = Soldier("free", c.freeAt);
        AIInterface* other = Soldier("other", 500.0f);
        aimedAt->AddLocker(other);
        g_frameView.aiTime = 5000;
        soldier->queryStamps[1] = g_frameView.aiTime;  // what it sees this tick
        soldier->visibleEnemies.Add(aimedAt);
        soldier->visibleEnemies.Add(free);
        float reach = 10.0f;
        void* args[1] = {&reach};
        soldier->LockTarget(args);
        AIInterface* expected = c.expected == 0 ? nullptr : c.expected == 1 ? aimedAt : free;
        EXPECT_EQ(g_scriptResult.asBool, expected ? 1 : 0) << c.what;
        EXPECT_EQ(soldier->lockedTarget, expected) << c.what;
        if (expected) {
            EXPECT_EQ(expected->lockers[expected->lockerCount - 1], soldier) << c.what;
        }
        for (AIInterface* s : {soldier, aimedAt, free, other}) {
            AIRemoveInterface(s);
            delete s;
        }
    }

    AIInterface* soldier = Soldier("shooter", 0.0f);
    AIInterface* old = Soldier("old", 30.0f);
    soldier->LockOnInterface(old);
    g_frameView.aiTime = 6000;
    soldier->queryStamps[1] = g_frameView.aiTime;
    float reach = 10.0f;
    void* args[1] = {&reach};
    g_scriptResult.asBool = 1;
    soldier->LockTarget(args);
    EXPECT_EQ(g_scriptResult.asBool, 0);
    EXPECT_EQ(soldier->lockedTarget, old);
    soldier->UnlockTarget();
    EXPECT_EQ(soldier->lockedTarget, nullptr);
    EXPECT_EQ(old->lockerCount, 0u) << "unlocking leaves the target's lockers";
}

TEST_F(AIPerception, ASeventeenthOrRepeatedLockerIsIgnored)
{
    AIInterface* target = Soldier("target", 0.0f);
    std::vector<AIInterface*> hunters;
    for (int i = 0; i < 17; ++i)
        hunters.push_back(Soldier("hunter", 10.0f));
    for (AIInterface* hunter : hunters)
        target->AddLocker(hunter);
    target->AddLocker(hunters[0]);
    EXPECT_EQ(target->lockerCount, AI_LOCKER_CAPACITY);
    for (u32_t i = 0; i < AI_LOCKER_CAPACITY; ++i)
        EXPECT_EQ(target->lockers[i], hunters[i]);
    target->RemoveLocker(hunters[2]);
    EXPECT_EQ(target->lockers[2], hunters[15]) << "the last moves into the freed place";
    target->AddLocker(hunters[16]);
    EXPECT_EQ(target->lockers[15], hunters[16]);
}

TEST_F(AIPerception, HitProbabilityFallsFromCertainAtFiftyToNoneAtAThousand)
{
    const struct {
        float distance;
        float expected;
    } cases[] = {{0.0f, 100.0f}, {50.0f, 100.0f}, {500.0f, 75.18797f}, {1000.0f, 0.0f}, {1500.0f, 0.0f}};
    AIInterface* soldier = Soldier("shooter", 0.0f);
    g_scriptResult.asFloat = 5.0f;
    soldier->GetHitProbability(nullptr);
    EXPECT_EQ(g_scriptResult.asFloat, 0.0f) << "no target";
    AIInterface* target = Soldier("target", 0.0f);
    soldier->lockedTarget = target;
    for (const auto& c : cases) {
        target->body->SetPosition({0.0f, 0.0f, c.distance});
        soldier->GetHitProbability(nullptr);
        EXPECT_NEAR(g_scriptResult.asFloat, c.expected, 1e-3f) << c.distance;
    }
}

// A body that records the aim it is asked to fire with.
class AimRecorder : public Actor {
public:
    bool FireAt(float yaw, float pitchAngle, bool, bool) override
    {
        shots.push_back({yaw, pitchAngle});
        return true;
    }
    std::vector<std::pair<float, float>> shots;
};

TEST_F(AIPerception, FireScattersWithLightAndFogAndTheSideWeaponTurnsFirst)
{
    AIInterface* soldier = Soldier("shooter", 0.0f);
    AIInterface* target = Soldier("target", 500.0f);
    auto* recorder = new AimRecorder();
    m_bodies.push_back(recorder);
    soldier->body->ai = nullptr;
    soldier->body = recorder;
    recorder->ai = soldier;
    auto* weapon = new Weapon();
    recorder->weapons[0] = weapon;
    recorder->weaponOwned[0] = true;
    recorder->selectedSlot = 0;
    soldier->entity->scatter[0] = 0.2f;
    soldier->entity->scatter[1] = 0.1f;
    soldier->Fire(nullptr);
    EXPECT_TRUE(recorder->shots.empty()) << "no target";
    soldier->lockedTarget = target;

    const float savedLight = g_map.sightLightFactor, savedRange = g_map.sightRangeFactor;
    struct Case {
        float light, fog;
        float bound;  // the largest yaw error: the scatter scaled by (1 - light) x (1 - fog)
    };
    for (const Case c :
         {Case{1.0f, 1.0f, 0.0f}, Case{0.0f, 0.0f, 0.2f}, Case{0.5f, 0.0f, 0.1f}, Case{0.5f, 0.5f, 0.05f}}) {
        g_map.sightLightFactor = c.light;
        g_map.sightRangeFactor = c.fog;
        float largest = 0.0f;
        for (int i = 0; i < 200; ++i) {
            recorder->shots.clear();
            soldier->Fire(nullptr);
            ASSERT_EQ(recorder->shots.size(), 1u);
            // The shot takes the angles of a view, which looks half a turn round from the body's heading.
            const float yawError = std::fabs(recorder->shots[0].first - (recorder->GetHeading() + 3.1415927f));
            EXPECT_LE(yawError, c.bound + 1e-6f);
            EXPECT_LE(std::fabs(recorder->shots[0].second - recorder->GetPitch()), c.bound / 2.0f + 1e-6f);
            largest = std::max(largest, yawError);
        }
        EXPECT_GE(largest, c.bound * 0.8f) << "the errors fill the range";
    }
    g_map.sightLightFactor = savedLight;
    g_map.sightRangeFactor = savedRange;

    // The side-firing weapon: a 30 degree turn, and no shot at a target within 60 units.
    weapon->aiType = 3;
    for (const float distance : {60.0f, 61.0f}) {
        target->body->SetPosition({distance, 0.0f, 0.0f});
        const float before = recorder->GetHeading();
        recorder->shots.clear();
        soldier->Fire(nullptr);
        EXPECT_NEAR(recorder->GetHeading(), before - 0.5235988f, 1e-5f) << distance;
        EXPECT_EQ(recorder->shots.size(), distance > 60.0f ? 1u : 0u) << distance;
    }
}

TEST_F(AIPerception, BroadcastsSkipFriendsOfTheSourceItsBodyAndSoldiersOutOfPlay)
{
    AIInterface* source = Soldier("source", 0.0f, 2);
    AIInterface* enemy = Soldier("enemy", 100.0f, 0);
    AIInterface* friendly = Soldier("friend", 100.0f, 2);
    AIInterface* gone = Soldier("gone", 100.0f, 0);
    AIInterface* far = Soldier("far", 1601.0f, 0);
    gone->outOfPlay = 1;
    struct Case {
        s32_t kind;
        bool friendHears;
    };
    for (const Case c : {Case{AI_EVENT_IMPACT, false}, Case{AI_EVENT_SHOT, false}, Case{AI_EVENT_DEATH, true},
                         Case{AI_EVENT_EXPLOSION, true}}) {
        for (AIInterface* s : {source, enemy, friendly, gone, far})
            s->eventFlags[c.kind] = 0;
        AIRaiseEventInRadius(c.kind, {100.0f, 0.0f, 0.0f}, 150.0f, source->body, source);
        EXPECT_EQ(source->eventFlags[c.kind], 0) << c.kind << ": the source's own body";
        EXPECT_EQ(enemy->eventFlags[c.kind], 1) << c.kind;
        EXPECT_EQ(friendly->eventFlags[c.kind], c.friendHears ? 1 : 0) << c.kind;
        EXPECT_EQ(gone->eventFlags[c.kind], 0) << c.kind;
        EXPECT_EQ(far->eventFlags[c.kind], 0) << c.kind << ": beyond 1500 units";
    }
    EXPECT_EQ(enemy->eventPositions[AI_EVENT_SHOT].x, 100.0f);
    EXPECT_EQ(g_aiEvents.last.kind, AI_EVENT_EXPLOSION) << "the world's record stays";

    AIRaiseEventInRadiusForTeam(AI_EVENT_DEATH, {100.0f, 0.0f, 0.0f}, 15.0f, nullptr, source, true);
    AINotifyGrenade({100.0f, 0.0f, 0.0f}, 20.0f, enemy->body);
    EXPECT_EQ(friendly->grenadeNearby, 1);
    EXPECT_EQ(enemy->grenadeNearby, 0) << "the thrower";
    EXPECT_EQ(gone->grenadeNearby, 0);
}

TEST_F(AIPerception, SightPercentIsNoneBehindAndBeyondAFifthOfTheSightRange)
{
    AIInterface* soldier = Soldier("alpha", 0.0f);
    soldier->entity->UpdateFrustum(true);
    const float range = soldier->entity->sightRange;
    ASSERT_GT(range, 0.0f);
    const auto& view = soldier->entity->viewWorld;
    const float length = std::sqrt(view._31 * view._31 + view._33 * view._33);
    const float fx = view._31 / length, fz = view._33 / length;
    struct Case {
        float along;  // along the view, in fractions of the sight range
        bool seen;
    };
    for (const Case c : {Case{0.05f, true}, Case{0.15f, true}, Case{0.21f, false}, Case{-0.05f, false}}) {
        const float d = c.along * range;
        const float percent = soldier->SightPercentAt({fx * d, 17.0f, fz * d});
        EXPECT_EQ(percent > 0.0f, c.seen) << c.along;
        EXPECT_LE(percent, 100.0f) << c.along;
    }
}

TEST_F(AIPerception, WithoutAPlayerNobodySeesOne)
{
    AIInterface* soldier = Soldier("alpha", 0.0f);
    g_frameView.player = nullptr;
    g_scriptResult.asBool = 1;
    soldier->CanSeePlayer(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 0);
    g_scriptResult.asFloat = 5.0f;
    soldier->GetPlayerDist(nullptr);
    EXPECT_EQ(g_scriptResult.asFloat, 0.0f) << "as without a target";

    AIInterface* player = Soldier("player", 300.0f, 0);
    g_frameView.player = player->body;
    soldier->GetPlayerDist(nullptr);
    EXPECT_FLOAT_EQ(g_scriptResult.asFloat, 30.0f) << "script units: a tenth of the world's";
}

}  // namespace
