// Hits on soldiers and on the player: damage by body part, the leg injury, the hit event, the god
// mode, the hit shake, the friendly-fire notice, hits on the dead, bounds by stance, and hits from
// a projectile whose weapon is gone.
#include <gtest/gtest.h>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "core/frame_view.h"
#include "game/game_cvars.h"
#include "game/view/game_hits.h"
#include "game/game_state.h"
#include "gui/screens/gui.h"
#include "platform/test_clock.h"
#include "support/subtitle_layer.h"
#include "tests/actors/weapons/weapon_test_support.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/object_trace.h"

namespace {

class ActorHits : public weapon_test::WeaponFixture {
protected:
    void SetUp() override
    {
        WeaponFixture::SetUp();
        PlatformTestClockStart(400000);
        GameHitsClear();
        g_gui.subtitleSlot = {};
        m_playerAi = new AIInterface();
        m_player = m_playerAi->body;
        m_gun = new Weapon;
        m_gun->SetOwner(m_player);
        m_gun->bulletTemplate = new Projectile;
    }
    void TearDown() override
    {
        g_frameView.player = nullptr;
        delete m_gun;
        for (AIInterface* ai : m_ais) {
            delete ai->body;
            delete ai;
        }
        delete m_player;
        delete m_playerAi;
        GameHitsClear();
        PlatformTestClockStop();
        WeaponFixture::TearDown();
    }
    AIInterface* Soldier(s32_t team = 0)
    {
        AIInterface* ai = new AIInterface();
        ai->entity->team = team;
        m_ais.push_back(ai);
        return ai;
    }
    // A bullet of the player's gun (or of no weapon) hitting the node of that name.
    void Hit(Actor* target, const char* part, bool fromPlayer = true, float damage = 40.0f)
    {
        Projectile bullet;
        bullet.LinkToTemplate(m_gun->bulletTemplate);
        bullet.weapon = fromPlayer ? m_gun : nullptr;
        bullet.damage = damage;
        bullet.flightDirection = {1.0f, 0.0f, 0.0f};
        GraphNode node(part);
        ObjectTraceBlock record = {};
        record.objHitNode = &node;
        target->OnProjectileHit(&record, bullet.HitRecord());
    }
    AIInterface* m_playerAi = nullptr;
    Actor* m_player = nullptr;
    Weapon* m_gun = nullptr;
    std::vector<AIInterface*> m_ais;
    const SubtitleLayerScope m_subtitles;
};

TEST_F(ActorHits, ASoldierByBodyPart)
{
    struct Case {
        const char* part;
        float health;
        bool dead;
        s32_t deathSet;
        u8_t leg;
    };
    const Case cases[] = {
        {"head", -1.0f, true, 0, 0},  {"HEAD", -1.0f, true, 0, 0},    {"torso", -1.0f, true, 1, 0},
        {"legs", 90.0f, false, 0, 1}, {"rifle", 100.0f, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.part);
        AIInterface* ai = Soldier();
        Hit(ai->body, c.part);
        EXPECT_FLOAT_EQ(ai->entity->health, c.health);
        EXPECT_EQ(ai->body->isDead, c.dead);
        if (c.dead) {
            EXPECT_EQ(ai->body->deathSet, c.deathSet);
        }
        EXPECT_EQ(ai->legInjured, c.leg);
        // Every hit is an event, whatever it cost.
        EXPECT_EQ(ai->eventCount, 1u);
        EXPECT_EQ(ai->lastEvent, 1);
    }
    // The dead feel nothing more; a lying charge does nothing.
    AIInterface* dead = Soldier();
    dead->body->isDead = true;
    Hit(dead->body, "head");
    EXPECT_EQ(dead->eventCount, 0u);
    EXPECT_FLOAT_EQ(dead->entity->health, 100.0f);
}

TEST_F(ActorHits, ThePlayerByItsOwnTable)
{
    KeepVar god(gb_godmode);
    KeepVar shake(gbshake);
    g_frameView.player = m_player;
    gbshake.SetInt(1);
    struct Case {
        const char* part;
        bool godMode;
        float loss;
    };
    for (const Case& c : {Case{"head", false, 50.0f}, Case{"legs", false, 33.0f}, Case{"gun", false, 33.0f},
                          Case{"head", true, 0.0f}}) {
        SCOPED_TRACE(c.part);
        gb_godmode.SetInt(c.godMode ? 1 : 0);
        m_playerAi->entity->health = 100.0f;
        const u32_t events = m_playerAi->eventCount;
        const u32_t shakes = g_gameHits.playerShakes;
        Hit(m_player, c.part, false, 1000.0f);
        EXPECT_FLOAT_EQ(m_playerAi->entity->health, 100.0f - c.loss);
        EXPECT_EQ(m_playerAi->eventCount, events + 1);
        EXPECT_EQ(g_gameHits.playerShakes, shakes + 1);
    }
}

TEST_F(ActorHits, FriendlyFireIsReportedForASurvivingFriendOnly)
{
    g_frameView.player = m_player;
    struct Case {
        const char* name;
        s32_t team;
        const char* part;
        bool fromPlayer;
        bool reported;
    };
    const Case cases[] = {
        {"a friend survives", 0, "legs", true, true},
        {"a friend dies", 0, "head", true, false},
        {"an enemy", 2, "legs", true, false},
        {"not the player's shot", 0, "legs", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_gui.subtitleSlot = {};
        g_gui.subtitleKey.Assign("");
        AIInterface* ai = Soldier(c.team);
        ai->body->name.Assign("rifleman");
        Hit(ai->body, c.part, c.fromPlayer);
        EXPECT_EQ(g_gui.subtitleSlot.shown != 0, c.reported);
        if (c.reported) {
            EXPECT_EQ(g_gui.subtitleSlot.duration, 1500u);
            // The friend speaks the warning under its own name, having no envelope.
            EXPECT_STREQ(g_gui.subtitleKey.Text(), "messages._gm_checkfire");
            EXPECT_STREQ(g_gui.subtitleSpeaker.Text(), "rifleman");
        }
    }
}

TEST_F(ActorHits, BoundsByStance)
{
    Actor actor;
    actor.SetPosition({100.0f, 10.0f, -50.0f});
    struct Case {
        const char* name;
        s32_t pose;
        bool dead;
        bool deathDone;
        float half;
        float height;
    };
    const Case cases[] = {
        {"standing", ACTOR_POSE_STAND, false, false, 5.0f, 20.0f},
        {"crouched", ACTOR_POSE_CROUCH, false, false, 5.0f, 14.0f},
        {"prone", ACTOR_POSE_PRONE, false, false, 15.0f, 5.0f},
        {"a lying corpse", ACTOR_POSE_STAND, true, true, 15.0f, 5.0f},
        {"dying", ACTOR_POSE_STAND, true, false, 5.0f, 20.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        actor.pose = c.pose;
        actor.isDead = c.dead;
        actor.deathDone = c.deathDone;
        float box[6];
        actor.GetGeometryBounds(box);
        const float expected[6] = {100.0f - c.half,  10.0f,          -50.0f - c.half, 100.0f + c.half,
                                   10.0f + c.height, -50.0f + c.half};
        for (int i = 0; i < 6; ++i)
            EXPECT_FLOAT_EQ(box[i], expected[i]) << i;
    }
    // No body nodes: nothing to hit.
    ObjectTraceBlock record = {};
    EXPECT_EQ(actor.TraceRay({0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, &record), OBJTRACE_NO_HIT);
}

}  // namespace
