// Projectile flight and impacts with the clock pinned and the draws fixed: the closed-form arc, the
// trace requests, the record choice, object hits at the step's end, the stop table, ricochet and
// penetration by travelled distance, grenade bounces, the blast's radius damage, the debug path,
// the fly-by sound, and projectiles whose weapon is gone.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "actors/actor.h"
#include "actors/actor_cvars.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "core/sound/sound_sets.h"
#include "game/game_state.h"
#include "game/view/player_view.h"
#include "map/trace/map_trace.h"
#include "map/materials/material.h"
#include "platform/test_clock.h"
#include "render/draw2d/debug_primitives.h"
#include "support/land_octree.h"
#include "tests/actors/weapons/weapon_test_support.h"
#include "tests/world/aff_writer.h"
#include "tests/world/collidable_object.h"
#include "tests/world/node_tree.h"
#include "render/render_cvars.h"
#include "world/animation/anim_cache.h"
#include "world/nodes/graph_node.h"

namespace {

constexpr u32_t kStart = 300000;

// An actor that keeps the damage it is given.
class DamageTaker : public Actor {
public:
    void ApplyDamage(int, float, float amount) override
    {
        taken += amount;
        ++hits;
    }
    float taken = 0.0f;
    int hits = 0;
};

// A graphic object that keeps the damage of the hits it is told of.
class Target : public GraphObj {
public:
    void ApplyDamage(int, float, float amount) override { taken += amount; }
    float taken = 0.0f;
};

MapTraceInfo EmptyRecord()
{
    MapTraceInfo record;
    record.resultKind = TRACE_RESULT_NONE;
    record.hitObject = nullptr;
    record.hitMapMesh = nullptr;
    record.hitMesh = nullptr;
    record.hitWater = 0;
    record.objDistance = OBJTRACE_NO_HIT;
    record.objMaterial = nullptr;
    record.objHitNode = nullptr;
    record.objNormal = {0.0f, 1.0f, 0.0f};
    record.normal = {0.0f, 1.0f, 0.0f};
    return record;
}

// The record of an object hit at the distance along +x at the height the tests fly at (100); the
// object may be null.
MapTraceInfo ObjectHitAhead(float distance, DynamicObject* object)
{
    MapTraceInfo record = EmptyRecord();
    record.resultKind = TRACE_RESULT_OBJECT_NEAREST;
    record.objDistance = distance;
    record.objHitPoint = {distance, 100.0f, 0.0f};
    record.hitObject = object;
    return record;
}

class ProjectileFlight : public weapon_test::WeaponFixture {
protected:
    void SetUp() override
    {
        WeaponFixture::SetUp();
        PlatformTestClockStart(kStart);
        m_weapon = new Weapon;
        m_weapon->SetOwner(&m_owner);
        m_weapon->bulletTemplate = new Projectile;
    }
    void TearDown() override
    {
        delete m_weapon;
        g_frameView.player = nullptr;
        DebugListsFree();
        PlatformTestClockStop();
        WeaponFixture::TearDown();
    }
    // A bullet of the weapon flying along +x from (0, 100, 0), registered.
    Projectile* Launch(float speed = 100.0f)
    {
        Projectile* p = new Projectile;
        p->name.Assign("test_bullet");
        p->LinkToTemplate(m_weapon->bulletTemplate);
        p->weapon = m_weapon;
        p->shooter = &m_owner;
        p->muzzleVelocity = speed;
        p->lifeTime = 100000;
        p->direction = {1.0f, 0.0f, 0.0f};
        p->SetPosition({0.0f, 100.0f, 0.0f});
        p->arcStartPosition = p->previousPosition = p->launchPosition = p->GetPosition();
        p->arcStartTick = GetTickCount();
        p->lastUpdateTick = GetTickCount();
        DynObjectAdd(p);
        return p;
    }
    Actor m_owner;
    Weapon* m_weapon = nullptr;
};

TEST_F(ProjectileFlight, TheArcIsAClosedFunctionOfTime)
{
    Projectile* still = Launch(0.0f);
    still->SetPosition({1.0f, 100.0f, 2.0f});
    still->arcStartPosition = still->GetPosition();
    PlatformTestClockAdvance(1000);
    still->Update();
    // No muzzle velocity: straight down, half of 98.1 units/s2 over one second.
    EXPECT_FLOAT_EQ(still->GetPosition().x, 1.0f);
    EXPECT_FLOAT_EQ(still->GetPosition().z, 2.0f);
    EXPECT_NEAR(still->GetPosition().y, 100.0f - 49.05f, 1e-3f);
    EXPECT_NEAR(still->currentSpeed, 9.81f, 1e-4f);
    EXPECT_NEAR(still->flightDirection.y, -1.0f, 1e-5f);
    EXPECT_EQ(still->flightClock, 1000u);

    // The same time reached in one step or in many gives the same place.
    Projectile* fast = Launch(100.0f);
    Projectile* stepped = Launch(100.0f);
    for (int i = 0; i < 5; ++i) {
        PlatformTestClockAdvance(100);
        stepped->Update();
    }
    fast->Update();
    EXPECT_NEAR(fast->GetPosition().x, 500.0f, 1e-2f);
    EXPECT_NEAR(stepped->GetPosition().x, fast->GetPosition().x, 1e-3f);
    EXPECT_NEAR(stepped->GetPosition().y, fast->GetPosition().y, 1e-3f);
}

TEST_F(ProjectileFlight, LifeTimeRetiresAndTheFuseExplodes)
{
    Projectile* bullet = Launch();
    bullet->lifeTime = 500;
    PlatformTestClockAdvance(499);
    bullet->Update();
    EXPECT_EQ(ProjectileTableCount(), 0u);
    PlatformTestClockAdvance(1);
    bullet->Update();
    EXPECT_EQ(ProjectileTableCount(), 1u);
    // The clock of a retired projectile's last update is left as it was.
    EXPECT_EQ(bullet->lastUpdateTick, kStart + 499);
}

TEST_F(ProjectileFlight, TraceRequests)
{
    struct Case {
        const char* name;
        s32_t type;
        u32_t fuse;
        bool owned;
        u8_t mayContinue;
        u32_t options;
        bool ignoresOwner;
    };
    const Case cases[] = {
        {"a bullet", BULLET_TYPE_HIT, 0, true, 1, 0x07, true},
        {"a timed explosive", BULLET_TYPE_EXPLOSIVE, 4000, true, 1, 0x47, true},
        {"an impact explosive", BULLET_TYPE_EXPLOSIVE, 0, true, 1, 0x07, true},
        {"no owner", BULLET_TYPE_HIT, 0, false, 1, 0x07, false},
        {"may not continue", BULLET_TYPE_HIT, 0, true, 0, 0x07, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_weapon->owner = c.owned ? &m_owner : nullptr;
        Projectile* p = Launch();
        p->bulletType = c.type;
        p->fuseTime = c.fuse;
        p->mayContinue = c.mayContinue;
        PlatformTestClockAdvance(10);
        p->Update();
        EXPECT_EQ(p->lastTraceOptions, c.options);
        EXPECT_EQ(p->lastTraceIgnored, c.ignoresOwner ? &m_owner : nullptr);
    }
}

TEST_F(ProjectileFlight, TheRecordChoiceGivesTiesToTheMap)
{
    const Vector3 previous = {0.0f, 0.0f, 0.0f};
    struct Case {
        const char* name;
        bool mapHit;
        bool objectBit;
        float mapDistance;
        float indoorDistance;
        bool indoorWins;
    };
    const Case cases[] = {
        {"object nearer", true, true, 4.0f, 5.0f, false},
        {"object tie", true, true, 5.0f, 5.0f, false},
        {"indoor nearer than the object", true, true, 6.0f, 5.0f, true},
        {"surface nearer", true, false, 4.0f, 5.0f, false},
        {"surface tie", true, false, 5.0f, 5.0f, false},
        {"indoor nearer than the surface", true, false, 6.0f, 5.0f, true},
        {"no map hit", false, false, 0.0f, 5.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MapTraceInfo record = EmptyRecord();
        record.resultKind = c.objectBit ? TRACE_RESULT_OBJECT_NEAREST : TRACE_RESULT_NONE;
        record.objDistance = c.mapDistance;
        record.hitPoint = {c.mapDistance, 0.0f, 0.0f};
        EXPECT_EQ(ProjectileIndoorWins(c.mapHit, record, previous, c.indoorDistance), c.indoorWins);
    }
}

TEST_F(ProjectileFlight, AnObjectHitAtTheStepsEndWaitsForTheNextStep)
{
    Target target;
    target.energy = 1000.0f;
    for (float distance : {10.0f, 9.99f}) {
        SCOPED_TRACE(distance);
        Projectile* p = Launch();
        p->weight = 10.0f;
        p->currentSpeed = 40.0f;
        p->mayContinue = 0;  // stays where it hit
        p->previousPosition = {0.0f, 100.0f, 0.0f};
        p->SetPosition({10.0f, 100.0f, 0.0f});
        MapTraceInfo first = ObjectHitAhead(distance, &target);
        MapTraceInfo second = EmptyRecord();
        const float before = target.taken;
        p->TakeHit(first, true, second, false, 1.0f, 0.9f);
        const bool taken = distance < 10.0f;
        EXPECT_EQ(p->hitThisStep, taken ? 1 : 0);
        EXPECT_FLOAT_EQ(p->GetPosition().x, taken ? distance : 10.0f);
        // Told of the hit: weight x 0.01 x speed x 0.01 x 25; the stop draw is the hit-sound value.
        EXPECT_FLOAT_EQ(target.taken - before, taken ? 10.0f * 0.01f * 40.0f * 0.01f * 25.0f : 0.0f);
        if (taken) {
            EXPECT_FLOAT_EQ(p->hitSound, 0.9f);
            EXPECT_FALSE(p->IsActive());
        }
    }
    // A lying charge goes on from any hit: the object takes no damage from it.
    Projectile* grenade = Launch();
    grenade->bulletType = BULLET_TYPE_EXPLOSIVE;
    grenade->fuseTime = 4000;
    grenade->weight = 10.0f;
    grenade->previousPosition = {0.0f, 100.0f, 0.0f};
    grenade->SetPosition({10.0f, 100.0f, 0.0f});
    MapTraceInfo first = ObjectHitAhead(5.0f, &target);
    MapTraceInfo second = EmptyRecord();
    const float before = target.taken;
    grenade->TakeHit(first, true, second, false, 1.0f, 0.9f);
    EXPECT_TRUE(grenade->IsActive());
    EXPECT_FLOAT_EQ(target.taken, before);
}

// A wall of the world registry hit at the step's middle: a bullet cuts its impact decal onto it, a
// timed explosive (whose traces ask with 0x47) bounces off and leaves none.
TEST_F(ProjectileFlight, ATimedExplosiveLeavesNoDecal)
{
    KeepVar keepBlood(rbdrawblood);
    rbdrawblood.SetBool(false);
    aff_test::AffFile file;
    file.strings = {"wall"};
    // A wall at x = 20 facing -x, towards the shot (counter-clockwise seen from there).
    file.frames = {{{aff_test::QuadMesh(0, {{{20, 98, -2}, {20, 102, -2}, {20, 102, 2}, {20, 98, 2}}})}}};
    ASSERT_TRUE(aff_test::WriteAff("wall.aff", file));
    AnimMesh* mesh = AnimCacheAcquire("wall.aff", false);
    ASSERT_NE(mesh, nullptr);
    CollidableObject wall;
    wall.name.Assign("wall");
    wall.energy = 1e9f;
    GraphNode* node = AddChildNode(wall.GetRootNode(), "wall", mesh);
    ASSERT_TRUE(DynObjectAdd(&wall));
    Material material;
    struct Case {
        const char* name;
        s32_t type;
        u32_t fuse;
        u32_t options;
        u32_t decals;
    };
    const Case cases[] = {
        {"a timed explosive", BULLET_TYPE_EXPLOSIVE, 4000, 0x47, 0},
        {"a bullet", BULLET_TYPE_HIT, 0, 0x07, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Projectile* p = Launch();
        p->bulletType = c.type;
        p->fuseTime = c.fuse;
        p->mayContinue = 0;
        p->decalSize[0] = p->decalSize[1] = 1.0f;
        p->flightDirection = {1.0f, 0.0f, 0.0f};
        PlatformTestClockAdvance(10);
        p->Update();
        EXPECT_EQ(p->lastTraceOptions, c.options);
        p->previousPosition = {0.0f, 100.0f, 0.0f};
        p->SetPosition({30.0f, 100.0f, 0.0f});
        MapTraceInfo first = ObjectHitAhead(20.0f, &wall);
        MapTraceInfo second = EmptyRecord();
        first.objNormal = {-1.0f, 0.0f, 0.0f};
        first.objMaterial = &material;
        p->TakeHit(first, true, second, false, 1.0f, 0.9f);
        EXPECT_EQ(p->hitThisStep, 1);
        EXPECT_EQ(node->decalCount, c.decals);
    }
    DynObjectRemove(&wall);
}

TEST_F(ProjectileFlight, TheStopTable)
{
    struct Case {
        const char* name;
        s32_t resistance;  // -2: no material
        bool actor;
        float r;
        bool penetrate;
        bool retired;
        u8_t mayContinueAfter;
    };
    const Case cases[] = {
        {"an actor, no material", -2, true, 0.1f, false, true, 0},
        {"resistance 0", 0, false, 0.1f, false, true, 0},
        {"resistance 1, draw goes on", 1, false, 0.1f, false, false, 0},
        {"resistance 2", 2, false, 0.9f, false, false, 1},
        {"resistance 3", 3, false, 0.9f, false, false, 1},
        {"other, draw stops", -1, false, 0.6f, false, true, 0},
        {"other, draw goes on", -1, false, 0.59f, false, false, 0},
        {"no material, no object, draw goes on", -2, false, 0.1f, false, false, 0},
        {"rbpenetrate", 2, false, 0.1f, true, true, 1},
    };
    KeepVar penetrate(rbpenetrate);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectileTableClear();
        rbpenetrate.SetInt(c.penetrate ? 1 : 0);
        Material material;
        material.resistance = c.resistance;
        DamageTaker soldier;
        Projectile* p = Launch();
        p->previousPosition = {0.0f, 100.0f, 0.0f};
        p->SetPosition({10.0f, 100.0f, 0.0f});
        MapTraceInfo first = ObjectHitAhead(5.0f, c.actor ? &soldier : nullptr);
        MapTraceInfo second = EmptyRecord();
        first.objNormal = {-1.0f, 0.0f, 0.0f};
        first.objMaterial = c.resistance == -2 ? nullptr : &material;
        p->TakeHit(first, true, second, false, 1.0f, c.r);
        EXPECT_EQ(ProjectileTableCount() > 0, c.retired);
        EXPECT_EQ(p->mayContinue, c.mayContinueAfter);
        EXPECT_EQ(p->ricocheted, c.resistance == 1 ? 1 : p->ricocheted);
        DynObjectRemove(p);
        delete p;
    }
}

TEST_F(ProjectileFlight, ABulletRicochetsEarlyAndPassesLate)
{
    // Densities 1.0 to 0.0 over 100 m on a default material (0.5): 0.7 at 30 m, 0.4 at 60 m.
    struct Case {
        float metres;
        bool ricochets;
    };
    for (const Case& c : {Case{30.0f, true}, Case{60.0f, false}}) {
        SCOPED_TRACE(c.metres);
        Material material;
        Projectile* p = Launch(100.0f);
        p->initialDensity = 1.0f;
        p->finalDensity = 0.0f;
        p->range = 100.0f;
        const Vector3 hit = {c.metres * 10.0f, 100.0f, 0.0f};
        p->previousPosition = {hit.x - 5.0f, 100.0f, 0.0f};
        p->SetPosition(hit);
        p->hitNormal = {-1.0f, 0.0f, 0.0f};
        p->ResolveImpact(nullptr, hit, &material, false);
        EXPECT_EQ(p->ricocheted, c.ricochets ? 1 : 0);
        EXPECT_EQ(p->mayContinue, 0);
        EXPECT_LT(p->muzzleVelocity, 100.0f * 0.2f + 1e-3f);
        // A ricochet turns back from the wall; a pass goes on beyond it.
        EXPECT_EQ(p->direction.x < 0.0f, c.ricochets);
        EXPECT_FLOAT_EQ(p->arcStartPosition.x, c.ricochets ? hit.x : hit.x + p->direction.x * 0.01f);
        DynObjectRemove(p);
        delete p;
    }
}

TEST_F(ProjectileFlight, AGrenadeBouncesOffFlatGroundAndSlowsAfter200Metres)
{
    struct Case {
        float metres;
        float speedAfter;
    };
    for (const Case& c : {Case{100.0f, 20.0f * 0.3f}, Case{250.0f, 20.0f * 0.3f * 0.2f}}) {
        SCOPED_TRACE(c.metres);
        Material ground;
        Projectile* g = Launch(20.0f);
        g->bulletType = BULLET_TYPE_EXPLOSIVE;
        g->fuseTime = 4000;
        const Vector3 hit = {c.metres * 10.0f, 0.0f, 0.0f};
        g->previousPosition = {hit.x - 1.0f, 1.0f, 0.0f};
        g->SetPosition(hit);
        g->hitNormal = {0.0f, 1.0f, 0.0f};
        g->ResolveImpact(nullptr, hit, &ground, false);
        EXPECT_NEAR(g->muzzleVelocity, c.speedAfter, 1e-4f);
        // The normal used is (0, 0.999, 0), kept scaled by 0.01.
        EXPECT_FLOAT_EQ(g->hitNormal.y, 0.00999f);
        EXPECT_FLOAT_EQ(g->arcStartPosition.y, 0.00999f);
        // v = (-1, 1, 0) / sqrt 2 mirrored about the normal.
        const float v = 1.0f / std::sqrt(2.0f);
        EXPECT_NEAR(g->direction.x, v, 1e-5f);
        EXPECT_NEAR(g->direction.y, 2.0f * v * 0.999f * 0.999f - v, 1e-5f);
        EXPECT_EQ(ProjectileTableCount(), 0u);
        EXPECT_FLOAT_EQ(g->explosionPoint.x, hit.x);
        DynObjectRemove(g);
        delete g;
    }
}

TEST_F(ProjectileFlight, ABlastHurtsByDistanceAndHalvesForTheProne)
{
    DamageTaker* prone = new DamageTaker;
    prone->prone = true;
    prone->SetPosition({10.0f, 0.0f, 0.0f});
    DamageTaker* crouchedProne = new DamageTaker;
    crouchedProne->prone = crouchedProne->crouched = true;
    crouchedProne->SetPosition({0.0f, 0.0f, 10.0f});
    DamageTaker* far = new DamageTaker;
    far->SetPosition({51.0f, 0.0f, 0.0f});
    DamageTaker* dead = new DamageTaker;
    dead->isDead = true;
    for (Actor* a : {static_cast<Actor*>(prone), static_cast<Actor*>(crouchedProne), static_cast<Actor*>(far),
                     static_cast<Actor*>(dead)})
        DynObjectAdd(a);
    g_frameView.player = prone;
    Projectile* grenade = Launch(0.0f);
    grenade->SetPosition({0.0f, 0.0f, 0.0f});
    grenade->radius = 50.0f;
    grenade->damage = 300.0f;
    grenade->screenShake[0] = 2.0f;
    grenade->Explode();
    EXPECT_FLOAT_EQ(prone->taken, (1.0f - 100.0f / 2500.0f) * 300.0f * 0.5f);
    EXPECT_FLOAT_EQ(crouchedProne->taken, (1.0f - 100.0f / 2500.0f) * 300.0f);
    EXPECT_EQ(far->hits, 0);
    EXPECT_EQ(dead->hits, 0);

    // A radius of 0 hurts no one, not even at the centre.
    DamageTaker* centre = new DamageTaker;
    DynObjectAdd(centre);
    grenade->radius = 0.0f;
    grenade->Explode();
    EXPECT_EQ(centre->hits, 0);
}

TEST_F(ProjectileFlight, BehindCoverOnlyTheNearOnesAreHurt)
{
    // Flat ground at 0; the blast under it, the soldiers above: the ground covers every one of them.
    std::string error;
    ASSERT_TRUE(land_test::LoadLand(land_test::FlatPlan(), "land.lff", error)) << error;
    const float r2 = 2500.0f;
    struct Case {
        float share;  // d2 / R2
        bool hurt;
    };
    std::vector<DamageTaker*> soldiers;
    const Case cases[] = {{0.25f, true}, {0.39f, true}, {0.49f, false}, {0.9f, false}};
    for (const Case& c : cases) {
        DamageTaker* soldier = new DamageTaker;
        // 10 units above the centre, the rest along x.
        soldier->SetPosition({std::sqrt(c.share * r2 - 100.0f), 5.0f, 0.0f});
        DynObjectAdd(soldier);
        soldiers.push_back(soldier);
    }
    Projectile* grenade = Launch(0.0f);
    grenade->SetPosition({0.0f, -5.0f, 0.0f});
    grenade->radius = 50.0f;
    grenade->damage = 100.0f;
    grenade->Explode();
    for (size_t i = 0; i < soldiers.size(); ++i) {
        SCOPED_TRACE(cases[i].share);
        EXPECT_EQ(soldiers[i]->hits, cases[i].hurt ? 1 : 0);
        if (cases[i].hurt) {
            EXPECT_NEAR(soldiers[i]->taken, (1.0f - cases[i].share) * 100.0f, 1e-3f);
        }
    }
    // In the open the far one is hurt too.
    soldiers[2]->SetPosition({std::sqrt(0.49f * r2 - 100.0f), -5.0f, 10.0f});
    grenade->Explode();
    EXPECT_EQ(soldiers[2]->hits, 1);
    land_test::UnloadLand();
}

TEST_F(ProjectileFlight, TheDebugPathLeavesALineAndACrossPerFrame)
{
    KeepVar path(rbprojectile);
    rbprojectile.SetInt(1);
    DebugListsReset();
    Projectile* p = Launch(10.0f);
    for (int frame = 0; frame < 100; ++frame) {
        PlatformTestClockAdvance(10);
        p->Update();
    }
    int white = 0, cyan = 0, black = 0;
    for (const DebugLine* line = g_debugPrimitives.lines.active; line; line = line->next) {
        white += line->startColour == 0xFFFFFFFFu && line->endColour == 0xFFFFFFFFu;
        cyan += line->startColour == 0xFF00FFFFu;
        black += line->startColour == 0xFF000000u;
    }
    EXPECT_EQ(white, 100);
    // A cross is three lines; consecutive crosses alternate their colour.
    EXPECT_EQ(cyan, 150);
    EXPECT_EQ(black, 150);
}

TEST_F(ProjectileFlight, ThePlayersOwnBulletNeverWhistlesPast)
{
    SoundSet* fly = new SoundSet;
    fly->Add(new SoundInstance, 0);
    float* view = GameGetViewPos();
    const float saved[3] = {view[0], view[1], view[2]};
    view[0] = 0.0f;
    view[1] = 100.0f;
    view[2] = 0.0f;
    struct Case {
        bool player;
        bool orphaned;
        bool plays;
    };
    for (const Case& c : {Case{true, false, false}, Case{false, false, true}, Case{false, true, true}}) {
        SCOPED_TRACE(testing::Message() << c.player << c.orphaned);
        g_frameView.player = c.player ? &m_owner : nullptr;
        m_weapon->bulletTemplate->flySounds = fly;
        Projectile* p = Launch();
        if (c.orphaned)
            p->weapon = nullptr;
        for (int frame = 0; frame < 64; ++frame)
            p->UpdateSounds();
        EXPECT_EQ(p->flySoundPlayed, c.plays ? 1 : 0);
        m_weapon->bulletTemplate->flySounds = nullptr;
    }
    delete fly;
    view[0] = saved[0];
    view[1] = saved[1];
    view[2] = saved[2];
}

// Run under the address checker as well: every read of a gone weapon would show there.
class ProjectileFlightRobustness : public ProjectileFlight {};

TEST_F(ProjectileFlightRobustness, AProjectileOutlivesItsWeapon)
{
    Projectile* p = Launch();
    Target target;
    target.energy = 100.0f;
    p->lifeTime = 1000;
    delete m_weapon;
    m_weapon = nullptr;
    ASSERT_EQ(p->weapon, nullptr);
    // A hit on an object: told, not retired by the impact (no weapon), no read of a gone weapon.
    p->previousPosition = {0.0f, 100.0f, 0.0f};
    p->SetPosition({10.0f, 100.0f, 0.0f});
    MapTraceInfo first = ObjectHitAhead(5.0f, &target);
    MapTraceInfo second = EmptyRecord();
    p->TakeHit(first, true, second, false, 1.0f, 0.9f);
    EXPECT_EQ(p->hitThisStep, 1);
    EXPECT_EQ(ProjectileTableCount(), 0u);
    p->UpdateSounds();
    PlatformTestClockAdvance(10);
    p->Update();
    // Its life runs out: the retire table takes it directly.
    PlatformTestClockAdvance(1000);
    p->Update();
    EXPECT_EQ(ProjectileTableCount(), 1u);
}

// A grenade bounces off a material that then goes away (a map's materials go with the map); another
// grenade's fuse runs out in the air: its blast takes no scorch material from the other's impact,
// and reads nothing that is gone (ASan).
TEST_F(ProjectileFlightRobustness, AnAirBurstTakesNoScorchMaterialFromAnotherImpact)
{
    {
        Material ground;
        Projectile* bounced = Launch(20.0f);
        bounced->bulletType = BULLET_TYPE_EXPLOSIVE;
        bounced->fuseTime = 4000;
        bounced->previousPosition = {99.0f, 1.0f, 0.0f};
        bounced->SetPosition({100.0f, 0.0f, 0.0f});
        bounced->hitNormal = {0.0f, 1.0f, 0.0f};
        bounced->ResolveImpact(nullptr, {100.0f, 0.0f, 0.0f}, &ground, false);
        EXPECT_EQ(bounced->explosionDecalMaterial, &ground);
        DynObjectRemove(bounced);
        delete bounced;
    }
    Projectile* air = Launch(20.0f);
    air->bulletType = BULLET_TYPE_EXPLOSIVE;
    air->fuseTime = 500;
    air->radius = 5.0f;
    EXPECT_EQ(air->explosionDecalMaterial, nullptr);
    PlatformTestClockAdvance(600);
    air->Update();
    EXPECT_EQ(ProjectileTableCount(), 1u);
}

}  // namespace
