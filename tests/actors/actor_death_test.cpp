// Death: the hit angle in degrees, the death entry by pose, angle and weapon in hand (bounds
// inclusive, exclusions honoured, a missing set or entry still a death), what a death lets go of and
// whom it tells, and the host function "die" as plug-ins call it.
#include <gtest/gtest.h>

#include <set>

#include "actors/actor.h"
#include "actors/actor_class.h"
#include "actors/actor_death.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_events.h"
#include "ai/soldier/ai_interface.h"
#include "ai/envelopes/envelope.h"
#include "ai/msal/mission_script_runner.h"
#include "ai/msal/msal_runtime.h"
#include "core/plugins/plugin_api.h"
#include "core/random.h"

namespace {

TEST(ActorDeath, HitAnglesInDegrees)
{
    struct Case {
        float radians;
        float degrees;
    };
    for (const Case& c : {Case{0.0f, 0.0f}, Case{-1.5707964f, 270.0f}, Case{3.1415927f, 180.0f}, Case{7.0f, 41.07f},
                          Case{-7.0f, 318.93f}}) {
        SCOPED_TRACE(c.radians);
        EXPECT_NEAR(ActorDeathAngleDegrees(c.radians), c.degrees, 0.01f);
    }
}

DeathAnim Entry(u8_t pose, float minAngle, float maxAngle, const char* excluded = nullptr)
{
    DeathAnim entry;
    entry.pose = pose;
    entry.minAngle = minAngle;
    entry.maxAngle = maxAngle;
    if (excluded) {
        entry.excludeNames.emplace_back(excluded);
        entry.excludeCount = 1;
    }
    return entry;
}

class DeathChoice : public testing::Test {
protected:
    void SetUp() override
    {
        DeathGroup group;
        group.anims = {Entry(0, 0.0f, 90.0f), Entry(0, 90.0f, 180.0f, "RIFLE"), Entry(1, 0.0f, 360.0f),
                       Entry(0, 45.0f, 45.0f)};
        group.count = 4;
        m_info.deathGroups.push_back(group);
        m_actor.classInfo = &m_info;
        m_weapon.name.Assign("rifle");
        m_actor.weapons[0] = &m_weapon;
        m_seed = EngineRandState();
    }
    void TearDown() override
    {
        m_actor.weapons[0] = nullptr;
        m_actor.classInfo = nullptr;
        EngineSRand(m_seed);
    }
    std::set<s32_t> Drawn(s32_t set, float degrees)
    {
        std::set<s32_t> seen;
        for (u32_t seed = 1; seed < 40; ++seed) {
            EngineSRand(seed);
            seen.insert(ActorChooseDeath(&m_actor, set, degrees));
        }
        return seen;
    }
    ActorClassInfo m_info;
    Actor m_actor;
    Weapon m_weapon;
    u32_t m_seed = 0;
};

TEST_F(DeathChoice, CandidatesByPoseAngleAndWeapon)
{
    // Both bounds are inclusive: at 45 degrees the wide entry and the exact one are drawn.
    EXPECT_EQ(Drawn(0, 45.0f), (std::set<s32_t>{0, 3}));
    EXPECT_EQ(Drawn(0, 90.0f), (std::set<s32_t>{0}));
    // The only entry at 135 degrees excludes the rifle in hand: no death animation.
    EXPECT_EQ(Drawn(0, 135.0f), (std::set<s32_t>{-1}));
    m_weapon.name.Assign("pistol");
    EXPECT_EQ(Drawn(0, 135.0f), (std::set<s32_t>{1}));
    m_actor.crouched = true;
    EXPECT_EQ(Drawn(0, 300.0f), (std::set<s32_t>{2}));
    m_actor.crouched = false;
    m_actor.prone = true;
    EXPECT_EQ(Drawn(0, 45.0f), (std::set<s32_t>{-1}));
    // A set the class lacks; an empty slot in hand (or none at all) excludes nothing.
    EXPECT_EQ(Drawn(1, 45.0f), (std::set<s32_t>{-1}));
    m_actor.prone = false;
    m_actor.selectedSlot = 3;
    EXPECT_EQ(Drawn(0, 135.0f), (std::set<s32_t>{1}));
    m_actor.selectedSlot = 255;
    EXPECT_EQ(Drawn(0, 135.0f), (std::set<s32_t>{1}));
}

// Run under the address checker as well: a death set the class lacks, no fitting entry, or no
// weapon slot in hand must read nothing beyond the class's tables.
class DeathChoiceRobustness : public DeathChoice {};

TEST_F(DeathChoiceRobustness, ADeathWithoutAnEntryStillCompletes)
{
    struct Case {
        s32_t set;
        float angle;
        u8_t slot;
    };
    for (const Case& c : {Case{7, 1.0f, 0}, Case{-1, 1.0f, 0}, Case{0, 2.4f, 0}, Case{0, 0.5f, 255}}) {
        SCOPED_TRACE(testing::Message() << c.set << " " << c.angle << " " << int(c.slot));
        Actor actor;
        actor.classInfo = &m_info;
        actor.weapons[0] = &m_weapon;
        actor.selectedSlot = c.slot;
        actor.die(c.set, c.angle);
        EXPECT_TRUE(actor.isDead);
        EXPECT_EQ(actor.deathSet, c.set);
        if (c.slot == 255) {
            EXPECT_EQ(actor.deathVariant, 0);
        } else {
            EXPECT_EQ(actor.deathVariant, -1);
        }
        actor.weapons[0] = nullptr;
        actor.classInfo = nullptr;
    }
}

TEST(ActorDeath, WhatADeathLetsGoOfAndWhomItTells)
{
    AIEventsClear();
    AIInterface* ai = new AIInterface();
    Actor* soldier = ai->body;
    soldier->SetPosition({1.0f, 2.0f, 3.0f});
    DOEnvelope envelope("guard");
    MSALRunner runner;
    envelope.runner = &runner;
    MSALSyncGroup* group = MSALJoinGroup(&runner, 7);
    soldier->envelope = &envelope;
    envelope.visible = 1;  // shown, so that the death's hiding shows
    Weapon mounted;
    mounted.mountRotation = {0.0f, 1.0f, 0.0f};
    mounted.SetRotation({0.3f, 2.0f, 0.0f});
    mounted.owner = soldier;
    soldier->usesMountedWeapon = true;
    soldier->mountedWeapon = &mounted;
    soldier->fallSpeed = 30.0f;

    soldier->die(1, 0.5f);
    EXPECT_TRUE(soldier->isDead);
    EXPECT_EQ(soldier->fallSpeed, 0.0f);
    EXPECT_EQ(mounted.owner, nullptr);
    EXPECT_FLOAT_EQ(mounted.GetRotation().x, 0.0f);
    EXPECT_FLOAT_EQ(mounted.GetRotation().y, 1.0f);
    EXPECT_FALSE(mounted.drawn);
    EXPECT_FALSE(soldier->usesMountedWeapon);
    EXPECT_EQ(soldier->mountedWeapon, nullptr);
    EXPECT_EQ(soldier->lastMountedWeapon, &mounted);
    EXPECT_EQ(envelope.visible, 0);
    EXPECT_EQ(runner.group, nullptr);
    EXPECT_TRUE(group->members.empty());
    EXPECT_EQ(ai->deathReports, 1u);
    EXPECT_EQ(g_aiEvents.last.kind, AI_EVENT_DEATH);
    EXPECT_FLOAT_EQ(g_aiEvents.last.radius, 15.0f);
    EXPECT_TRUE(g_aiEvents.last.skipEnemies);
    EXPECT_EQ(g_aiEvents.last.source, soldier);

    // Dying twice does nothing more.
    soldier->die(0, 0.0f);
    EXPECT_EQ(soldier->deathSet, 1);
    EXPECT_EQ(ai->deathReports, 1u);
    EXPECT_EQ(g_aiEvents.raised, 1u);

    soldier->envelope = nullptr;
    delete soldier;
    delete ai;
    AIEventsClear();
    MSALRuntimeFree();
}

TEST(ActorDieEntry, PlugInsCallItWithTheDeathSetAndTheAngle)
{
    const HostDieFn entry = &die;
    entry(nullptr, 1, 0.5f);
    Actor actor;
    entry(&actor, 2, 0.5f);
    EXPECT_TRUE(actor.isDead);
    EXPECT_EQ(actor.deathSet, 2);
}

}  // namespace
