// Firing with the clock pinned: the trigger delay, the fire rate, "firewait", free fire, the pieces of
// one shot and their spread, tracers, rounds shared under "common_stats", blanks and reloads.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "actors/actor.h"
#include "ai/soldier/ai_events.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "game/game_state.h"
#include "map/terrain/map_state.h"
#include "platform/test_clock.h"
#include "tests/actors/weapons/weapon_test_support.h"

namespace {

using weapon_test::ApplyLine;

constexpr u32_t kStart = 100000;
const Vector3 kMuzzle = {0.0f, 10.0f, 0.0f};
const Vector3 kAim = {0.0f, 0.0f, 1.0f};

class WeaponFire : public weapon_test::WeaponFixture {
protected:
    void SetUp() override
    {
        WeaponFixture::SetUp();
        PlatformTestClockStart(kStart);
        AIEventsClear();
    }
    void TearDown() override
    {
        g_frameView.player = nullptr;
        AIEventsClear();
        PlatformTestClockStop();
        WeaponFixture::TearDown();
    }
    static bool Pull(Weapon& weapon, bool newPull, bool forced = false, bool alternate = false)
    {
        WeaponFireRequest request = Request();
        request.newPull = newPull;
        request.alternateRate = alternate;
        request.forced = forced;
        return weapon.Fire(request);
    }
    // A pull from kMuzzle along kAim, outdoors.
    static WeaponFireRequest Request()
    {
        WeaponFireRequest request;
        request.muzzle = kMuzzle;
        request.aim = kAim;
        return request;
    }
    // The projectiles in the registry, in the order they were added.
    static std::vector<Projectile*> Flying()
    {
        DynamicObject** objects = nullptr;
        s32_t count = 0;
        DynObjectsGet(&objects, &count);
        std::vector<Projectile*> out;
        for (s32_t i = 0; i < count; ++i)
            if (objects[i]->typeId == OBJECT_TYPE_PROJECTILE)
                out.push_back(static_cast<Projectile*>(objects[i]));
        return out;
    }
    Actor m_owner;
};

struct FireStep {
    u32_t advance;  // milliseconds after the previous step
    bool newPull;
    bool forced;
    bool fires;
};

struct FireCase {
    const char* name;
    float fpm;
    float delay;
    s32_t fireWait;
    bool player;
    bool freeFire;
    u16_t rounds;
    std::vector<FireStep> steps;
    u16_t roundsAfter;
};

TEST_F(WeaponFire, TriggerDelayRateAndFireWait)
{
    const FireCase cases[] = {
        // 600 rounds a minute: 100 ms between shots, the 100th refused, the 101st allowed.
        {"rate 600",
         600.0f,
         0.0f,
         0,
         false,
         false,
         5,
         {{0, true, false, true}, {100, false, false, false}, {1, false, false, true}},
         3},
        // A new pull within the delay starts it and waits; a second pull while waiting is refused;
        // the held trigger fires once the delay since the pull is over.
        {"trigger delay",
         0.0f,
         50.0f,
         0,
         false,
         false,
         5,
         {{0, true, false, true},
          {10, true, false, false},
          {30, true, false, false},
          {10, false, false, false},
          {11, false, false, true}},
         3},
        {"firewait of the player",
         0.0f,
         0.0f,
         100,
         true,
         false,
         5,
         {{1, true, false, false}, {1, true, true, true}},
         4},
        {"firewait of a soldier", 0.0f, 0.0f, 100, false, false, 5, {{1, true, false, true}}, 4},
        // A free-firing owner shoots from an empty magazine at any pace; the count stays at 0.
        {"free fire", 600.0f, 50.0f, 0, false, true, 0, {{1, true, false, true}, {0, true, false, true}}, 0},
        {"empty magazine", 0.0f, 0.0f, 0, false, false, 0, {{1, true, false, false}}, 0},
        // A rate of 0 sets no limit.
        {"rate 0", 0.0f, 0.0f, 0, false, false, 5, {{1, true, false, true}, {0, false, false, true}}, 3},
    };
    for (const FireCase& c : cases) {
        SCOPED_TRACE(c.name);
        PlatformTestClockStart(kStart);
        Weapon weapon;
        weapon.SetOwner(&m_owner);
        weapon.fpmFirst = c.fpm;
        weapon.delay = c.delay;
        weapon.fireWait = c.fireWait;
        weapon.roundsInGun = c.rounds;
        m_owner.noCollision = c.freeFire;
        g_frameView.player = c.player ? &m_owner : nullptr;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            PlatformTestClockAdvance(c.steps[i].advance);
            EXPECT_EQ(Pull(weapon, c.steps[i].newPull, c.steps[i].forced), c.steps[i].fires) << "step " << i;
        }
        EXPECT_EQ(weapon.roundsInGun, c.roundsAfter);
    }
}

TEST_F(WeaponFire, AlternateRateUsesTheSecondFigure)
{
    Weapon weapon;
    weapon.SetOwner(&m_owner);
    ASSERT_TRUE(ApplyLine(weapon, "fpm 600 1200"));
    weapon.roundsInGun = 5;
    EXPECT_TRUE(Pull(weapon, true));
    PlatformTestClockAdvance(51);
    EXPECT_FALSE(Pull(weapon, false));
    EXPECT_TRUE(Pull(weapon, false, false, true));
}

TEST_F(WeaponFire, PiecesSpreadRoundTheAimAndVaryTheirSpeed)
{
    Weapon* rifle = LoadSample("rifle");
    rifle->SetOwner(&m_owner);
    ASSERT_NE(rifle->bulletTemplate, nullptr);
    rifle->bulletTemplate->pieces = 8;
    rifle->roundsInGun = 30;
    EngineSRand(7);
    ASSERT_TRUE(Pull(*rifle, true));
    const std::vector<Projectile*> pieces = Flying();
    ASSERT_EQ(pieces.size(), 8u);
    EXPECT_EQ(ProjectileTableCountByName("rifle_bullet"), 8u);
    float lowest = 1e9f, highest = 0.0f, spreadX = 0.0f;
    for (Projectile* p : pieces) {
        // Along the aim (0, 0, 1) the side axes are x and -y: the jitter is the ratio to z.
        EXPECT_NEAR(std::sqrt(p->direction.x * p->direction.x + p->direction.y * p->direction.y +
                              p->direction.z * p->direction.z),
                    1.0f, 1e-5f);
        EXPECT_LE(std::fabs(p->direction.x / p->direction.z), 0.15f + 1e-5f);
        EXPECT_LE(std::fabs(p->direction.y / p->direction.z), 0.15f + 1e-5f);
        EXPECT_GE(p->muzzleVelocity, 800.0f * 0.85f - 0.01f);
        EXPECT_LE(p->muzzleVelocity, 800.0f * 1.15f + 0.01f);
        lowest = std::fmin(lowest, p->muzzleVelocity);
        highest = std::fmax(highest, p->muzzleVelocity);
        spreadX = std::fmax(spreadX, std::fabs(p->direction.x));
        EXPECT_EQ(p->weapon, rifle);
        EXPECT_EQ(p->shooter, &m_owner);
        EXPECT_EQ(p->source, rifle->bulletTemplate);
        EXPECT_FLOAT_EQ(p->GetPosition().y, 10.0f);
        EXPECT_FLOAT_EQ(p->launchPosition.y, 10.0f);
        EXPECT_EQ(p->arcStartTick, kStart);
    }
    EXPECT_GT(highest - lowest, 1.0f);
    EXPECT_GT(spreadX, 0.01f);
    EXPECT_EQ(rifle->roundsInGun, 29);
    // One shot, however many pieces: the soldiers near hear it once.
    EXPECT_EQ(g_aiEvents.raised, 1u);
    EXPECT_EQ(g_aiEvents.last.kind, AI_EVENT_SHOT);
    EXPECT_FLOAT_EQ(g_aiEvents.last.radius, 150.0f);
    EXPECT_EQ(g_aiEvents.last.source, &m_owner);
    delete rifle;
    // The copies in flight lost their weapon with it.
    for (Projectile* p : Flying())
        EXPECT_EQ(p->weapon, nullptr);
}

// A registry with room for three: three pieces fly and the rest of the shot is let go of, not left
// linked to the bullet block with no owner.
TEST_F(WeaponFire, PiecesTheRegistryRefusesAreLetGoOf)
{
    Weapon* rifle = LoadSample("rifle");
    rifle->SetOwner(&m_owner);
    ASSERT_NE(rifle->bulletTemplate, nullptr);
    rifle->bulletTemplate->pieces = 8;
    rifle->roundsInGun = 30;
    std::vector<GraphObj*> filler;
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    while (static_cast<u32_t>(count) < DYN_MAX_OBJECTS - 3) {
        filler.push_back(new GraphObj);
        ASSERT_TRUE(DynObjectAdd(filler.back()));
        DynObjectsGet(&objects, &count);
    }
    ASSERT_TRUE(Pull(*rifle, true));
    EXPECT_EQ(Flying().size(), 3u);
    int linked = 0;
    for (const Projectile* p = rifle->bulletTemplate->nextCopy; p; p = p->nextCopy)
        ++linked;
    EXPECT_EQ(linked, 3);
    for (GraphObj* object : filler) {
        DynObjectRemove(object);
        delete object;
    }
    delete rifle;
}

TEST_F(WeaponFire, EveryTraceCountthProjectileIsATracer)
{
    struct Case {
        s32_t traceCount;
        const char* pattern;
    };
    for (const Case& c : {Case{0, "000000"}, Case{1, "111111"}, Case{3, "001001"}}) {
        SCOPED_TRACE(c.traceCount);
        Weapon* rifle = LoadSample("rifle");
        rifle->SetOwner(&m_owner);
        rifle->traceCount = c.traceCount;
        rifle->fpmFirst = 0.0f;
        rifle->roundsInGun = 30;
        std::string seen;
        for (int shot = 0; shot < 6; ++shot) {
            ASSERT_TRUE(Pull(*rifle, false));
            seen += Flying().back()->visible ? '1' : '0';
        }
        EXPECT_EQ(seen, c.pattern);
        delete rifle;
    }
    // A grenade is always seen.
    Weapon* grenade = LoadSample("grenade");
    grenade->SetOwner(&m_owner);
    grenade->roundsInGun = 1;
    ASSERT_TRUE(Pull(*grenade, true));
    EXPECT_EQ(Flying().back()->visible, 1);
    delete grenade;
}

TEST_F(WeaponFire, CommonStatsSpendARoundOfEverySharingWeapon)
{
    Weapon* weapon = new Weapon;
    for (const char* line : {"common_stats 1", "magazinecap 30", "magazinecount 2"})
        ASSERT_TRUE(ApplyLine(*weapon, line));
    Weapon* first = new Weapon;
    Weapon* second = new Weapon;
    ASSERT_TRUE(weapon->AddSubWeapon(first));
    ASSERT_TRUE(weapon->AddSubWeapon(second));
    weapon->SetOwner(&m_owner);
    weapon->FillMagazines();
    weapon->ShareMagazines(weapon->magazines, weapon->RingSize());
    weapon->roundsInGun = first->roundsInGun = second->roundsInGun = 30;
    weapon->SelectSubWeapon(0);
    ASSERT_EQ(weapon->currentWeapon, first);
    ASSERT_TRUE(Pull(*weapon, true));
    EXPECT_EQ(weapon->roundsInGun, 29);
    EXPECT_EQ(first->roundsInGun, 29);
    EXPECT_EQ(second->roundsInGun, 29);
    EXPECT_EQ(weapon->GetMagazineRounds(0), 29);
    EXPECT_EQ(second->lastShotTime, kStart);
    delete weapon;
}

TEST_F(WeaponFire, ABlankOrMissingBulletSpendsTheRoundButLaunchesNothing)
{
    for (const char* bullet : {"bullet blank_round", ""}) {
        SCOPED_TRACE(bullet);
        AIEventsClear();
        Weapon weapon;
        weapon.SetOwner(&m_owner);
        if (*bullet) {
            ASSERT_TRUE(ApplyLine(weapon, bullet));
        }
        weapon.activateBullet.Assign("");
        weapon.roundsInGun = 2;
        EXPECT_TRUE(Pull(weapon, true));
        EXPECT_TRUE(Flying().empty());
        EXPECT_EQ(weapon.roundsInGun, 1);
        EXPECT_EQ(g_aiEvents.raised, 1u);
        EXPECT_FALSE(weapon.fireReady);
        weapon.PlayEcho();
        EXPECT_TRUE(weapon.fireReady);
    }
}

TEST_F(WeaponFire, EveryPieceStartsWhereTheRequestSays)
{
    // Inside a building: the cell is a number of its own, kept whole on the projectile.
    Weapon* rifle = LoadSample("rifle");
    rifle->SetOwner(&m_owner);
    ASSERT_NE(rifle->bulletTemplate, nullptr);
    rifle->bulletTemplate->pieces = 3;
    rifle->roundsInGun = 30;
    int building = 0;
    WeaponFireRequest request = Request();
    request.muzzle = {4.0f, 12.0f, -6.0f};
    request.indoorObject = &building;
    request.indoorCell = 70000;
    request.yaw = 1.25f;
    request.newPull = true;
    ASSERT_TRUE(rifle->Fire(request));
    const std::vector<Projectile*> pieces = Flying();
    ASSERT_EQ(pieces.size(), 3u);
    for (Projectile* p : pieces) {
        EXPECT_EQ(p->indoorObject, &building);
        EXPECT_EQ(p->indoorCell, 70000);
        EXPECT_FLOAT_EQ(p->GetRotation().y, 1.25f);
        EXPECT_FLOAT_EQ(p->GetPosition().x, 4.0f);
        EXPECT_FLOAT_EQ(p->GetPosition().z, -6.0f);
        EXPECT_FLOAT_EQ(p->launchPosition.y, 12.0f);
    }
    delete rifle;
}

TEST_F(WeaponFire, ASilentWeaponAlertsNoOne)
{
    Weapon weapon;
    weapon.SetOwner(&m_owner);
    weapon.silent = true;
    weapon.roundsInGun = 1;
    EXPECT_TRUE(Pull(weapon, true));
    EXPECT_EQ(g_aiEvents.raised, 0u);
}

TEST_F(WeaponFire, ReloadTakesTheNextMagazine)
{
    Weapon weapon;
    for (const char* line : {"magazinecap 30", "magazinecount 2"})
        ASSERT_TRUE(ApplyLine(weapon, line));
    weapon.magazineCountFull = weapon.spareMagazines = 2;
    weapon.FillMagazines();
    weapon.SetMagazineRounds(0, 0);
    weapon.roundsInGun = 0;
    EXPECT_TRUE(weapon.Reload());
    EXPECT_EQ(weapon.roundsInGun, 30);
    EXPECT_EQ(weapon.spareMagazines, 1);
    weapon.spareMagazines = 0;
    weapon.roundsInGun = 3;
    EXPECT_FALSE(weapon.Reload());
    EXPECT_EQ(weapon.roundsInGun, 3);
}

}  // namespace
