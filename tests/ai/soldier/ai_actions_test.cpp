// What a sample soldier's action methods do: random moves with their interval and range, pose steps,
// the far answers of the distance queries, looking at the player, the line of fire past boxes of the
// map, weapons and reloading, the sound line, and the orders of the envelopes and squad commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_interface.h"
#include "ai/envelopes/envelope.h"
#include "ai/soldier/path_follower.h"
#include "ai/squads/patrol_path.h"
#include "ai/rules/rule_compiler.h"
#include "ai/rules/rules.h"
#include "ai/envelopes/zone_envelope.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "core/sound/sound_source.h"
#include "gui/screens/gui.h"
#include "map/trace/map_trace.h"
#include "support/engine_log.h"
#include "ai_actions_fixture.h"

namespace {

constexpr float kPi = 3.14159265f;

float Float(AIInterface* soldier, void (AIInterface::*method)(ScriptArgWord*), ScriptArgWord* args = nullptr)
{
    g_scriptResult.asFloat = -7.0f;
    (soldier->*method)(args);
    return g_scriptResult.asFloat;
}

bool Bool(AIInterface* soldier, void (AIInterface::*method)(ScriptArgWord*), ScriptArgWord* args = nullptr)
{
    g_scriptResult.asBool = 7;
    (soldier->*method)(args);
    EXPECT_LE(g_scriptResult.asBool, 1) << "the bool cell was not written";
    return g_scriptResult.asBool != 0;
}

void ClearSubtitle()
{
    g_gui.subtitleSlot = {};
    g_gui.subtitleSpeaker.Assign("");
    g_gui.subtitleKey.Assign("");
}

// Where the body's last planned route leads, and how far that is from the body across the ground.
float PlannedDistance(const Actor* body)
{
    const Vector3 at = body->GetPosition();
    return std::hypot(body->follower->lastDestinationX - at.x, body->follower->lastDestinationZ - at.z);
}

// Forgets the last planned destination, so that a new plan is seen even when it lies near the old one.
void ForgetPlan(Actor* body)
{
    body->follower->Stop();
    body->follower->lastDestinationX = 1e30f;
    body->follower->lastDestinationZ = 1e30f;
}

TEST_F(AIActions, ARandomPointInTheRadiusIsTakenOncePerIntervalAtLeast20Away)
{
    LoadLand();
    AIInterface* soldier = SampleSoldier({100.0f, 0.0f, 100.0f});
    Actor* body = soldier->body;
    struct Case {
        const char* what;
        bool intervalGiven;
        s32_t interval;
        u32_t wait;  // the interval in force
    };
    const Case cases[] = {{"the interval of the call", true, 3000, 3000}, {"the 5000 ms without one", false, 0, 5000}};
    for (const Case& c : cases) {
        float radius = 5.0f;  // 50 world units
        s32_t interval = c.interval;
        void* args[3] = {&radius, c.intervalGiven ? &interval : nullptr, nullptr};
        float nearest = 1e9f, farthest = 0.0f;
        for (int draw = 0; draw < 40; ++draw) {
            g_frameView.aiTime += c.wait;
            ForgetPlan(body);
            soldier->randomMoveRequest = 0;
            soldier->MoveToRandomPointInRadius(args);
            ASSERT_TRUE(body->follower->moving) << c.what;
            EXPECT_EQ(soldier->randomMoveRequest, 1) << c.what;
            EXPECT_EQ(soldier->lastRandomMove, g_frameView.aiTime) << c.what;
            const float d = PlannedDistance(body);
            nearest = std::min(nearest, d);
            farthest = std::max(farthest, d);
            // Within the interval, nothing new, even with the body standing.
            g_frameView.aiTime += c.wait - 1;
            ForgetPlan(body);
            soldier->MoveToRandomPointInRadius(args);
            EXPECT_FALSE(body->follower->moving) << c.what;
            g_frameView.aiTime -= c.wait - 1;
        }
        EXPECT_GE(nearest, 20.0f - 1e-3f) << c.what;
        EXPECT_LE(farthest, 70.0f + 1e-3f) << c.what;
        EXPECT_LT(nearest, 35.0f) << c.what << ": the draws spread over the range";
        EXPECT_GT(farthest, 55.0f) << c.what;
    }
    // A body on its way picks no new point, however long ago the last one was.
    float radius = 5.0f;
    void* args[2] = {&radius, nullptr};
    g_frameView.aiTime += 100000;
    ForgetPlan(body);
    body->follower->moving = 1;
    const u32_t before = soldier->lastRandomMove;
    soldier->MoveToRandomPointInRadius(args);
    EXPECT_EQ(soldier->lastRandomMove, before);
    EXPECT_EQ(body->follower->lastDestinationX, 1e30f);
}

TEST_F(AIActions, SetPoseModeTakesOneStepPerCallAndNoneWithAnInjuredLeg)
{
    AIInterface* soldier = SampleSoldier({0.0f, 0.0f, 0.0f});
    Actor* body = soldier->body;
    auto pose = [&] {
        g_scriptResult.asInt = -1;
        soldier->GetPoseMode(nullptr);
        return g_scriptResult.asInt;
    };
    auto setPose = [&](s32_t wanted) {
        void* args[2] = {&wanted, nullptr};
        soldier->SetPoseMode(args);
        body->poseChanging = false;  // the change's animation has run
    };
    struct Step {
        s32_t wanted;
        s32_t after;
    };
    // Down to prone in two calls, a call at the wanted pose changes nothing, then up again step by step.
    const Step steps[] = {{2, 1}, {2, 2}, {2, 2}, {0, 1}, {1, 1}, {0, 0}, {0, 0}, {1, 1}};
    for (const Step& step : steps) {
        setPose(step.wanted);
        EXPECT_EQ(pose(), step.after) << "wanted " << step.wanted;
    }
    setPose(0);
    soldier->InjureLeg();
    setPose(2);
    EXPECT_EQ(pose(), 0) << "an injured leg keeps the pose";
}

// A hit in the legs takes the soldier down to prone a step per frame, from whatever pose, and keeps
// it there: its script can no longer raise it.
TEST_F(AIActions, AnInjuredLegTakesTheSoldierDownToProne)
{
    LoadLand();
    for (s32_t start : {ACTOR_POSE_STAND, ACTOR_POSE_CROUCH, ACTOR_POSE_PRONE}) {
        AIInterface* soldier = SampleSoldier({0.0f, 0.0f, 0.0f});
        Actor* body = soldier->body;
        while (body->GetActorPose() < start) {
            body->PoseDown();
            body->poseChanging = false;
        }
        soldier->InjureLeg();
        for (int frame = 0; frame < 200 && (body->GetActorPose() != ACTOR_POSE_PRONE || body->poseChanging); ++frame) {
            body->Update();
            PlatformTestClockAdvance(20);
        }
        EXPECT_EQ(body->GetActorPose(), ACTOR_POSE_PRONE) << "from " << start;
        s32_t stand = ACTOR_POSE_STAND;
        void* args[2] = {&stand, nullptr};
        soldier->SetPoseMode(args);
        EXPECT_EQ(body->GetActorPose(), ACTOR_POSE_PRONE) << "from " << start;
    }
}

TEST_F(AIActions, DistancesToWhatIsNotThereAreFar)
{
    LoadLand();
    AIInterface* soldier = SampleSoldier({0.0f, 0.0f, 0.0f});
    EXPECT_EQ(Float(soldier, &AIInterface::GetFixedWeaponDist), 1e30f);
    EXPECT_EQ(Float(soldier, &AIInterface::GetTakeObjectDist), 1e30f);
    EXPECT_EQ(Float(soldier, &AIInterface::GetDistToNearestEnemy), 1e29f);
    EXPECT_FALSE(Bool(soldier, &AIInterface::HasFixedWeapon));
    EXPECT_FALSE(Bool(soldier, &AIInterface::HasTakeObject));
    // Named objects of the world are found and measured in script units.
    Weapon* gun = LoadSample("rifle");
    gun->name.Assign("mg_nest");
    gun->SetPosition({30.0f, 0.0f, 40.0f});
    ASSERT_TRUE(DynObjectAdd(gun));
    Actor* crate = Soldier({0.0f, 0.0f, -120.0f}, "ammo_box");
    char gunName[] = "MG_NEST";
    void* gunArgs[2] = {gunName, nullptr};
    soldier->MoveToFixedWeapon(gunArgs);
    EXPECT_EQ(soldier->fixedWeapon, gun) << "names compare without regard to case";
    char crateName[] = "ammo_box";
    void* crateArgs[2] = {crateName, nullptr};
    soldier->MoveToTakeObject(crateArgs);
    EXPECT_EQ(soldier->takeObject, crate);
    EXPECT_NEAR(Float(soldier, &AIInterface::GetFixedWeaponDist), 5.0f, 1e-4f);
    EXPECT_NEAR(Float(soldier, &AIInterface::GetTakeObjectDist), 12.0f, 1e-4f);
    EXPECT_TRUE(Bool(soldier, &AIInterface::HasFixedWeapon));
    EXPECT_TRUE(Bool(soldier, &AIInterface::HasTakeObject));
    char missing[] = "nothing_here";
    void* missingArgs[2] = {missing, nullptr};
    soldier->MoveToTakeObject(missingArgs);
    EXPECT_EQ(Float(soldier, &AIInterface::GetTakeObjectDist), 1e30f) << "a missing name clears the object";
}

TEST_F(AIActions, ASoldierSentIntoAZoneGoesToItsLivingActorsUntilAllHaveFallen)
{
    LoadLand();
    AIInterface* soldier = SampleSoldier({0.0f, 0.0f, 0.0f}, "hunter");
    Actor* fallen = Soldier({50.0f, 0.0f, 50.0f}, "fallen");
    fallen->isDead = true;
    Weapon* gun = LoadSample("rifle");
    gun->SetPosition({60.0f, 0.0f, 60.0f});
    ASSERT_TRUE(DynObjectAdd(gun));
    Actor* first = Soldier({70.0f, 0.0f, 80.0f}, "first");
    Actor* second = Soldier({90.0f, 0.0f, 40.0f}, "second");
    const float square[8] = {0.0f, 0.0f, 100.0f, 0.0f, 100.0f, 100.0f, 0.0f, 100.0f};
    ZoneEnvelope* zone = CreateZoneEnvelope("yard", square, 4, 0);
    EnvelopeRegister(zone);
    EnvelopeObjectList* objects = zone->CreateObjectList(8);
    for (DynamicObject* object : std::vector<DynamicObject*>{fallen, gun, first, second})
        objects->Add(object);
    auto* envelope = new DOEnvelope("Hunter");
    EnvelopeRegister(envelope);
    envelope->Attach(soldier->body);
    soldier->body->envelope = envelope;

    soldier->MoveToNearestActorInZone(nullptr);
    EXPECT_FALSE(soldier->body->follower->moving) << "no zone to clear";
    EXPECT_FALSE(Bool(soldier, &AIInterface::LockedZoneRelevant)) << "no zone";
    envelope->targetZone = zone;
    envelope->msalNotifyPending = 1;
    soldier->MoveToNearestActorInZone(nullptr);
    EXPECT_TRUE(soldier->body->follower->moving);
    EXPECT_EQ(soldier->body->follower->lastDestinationX, 70.0f) << "the dead one and the weapon are passed over";
    EXPECT_EQ(soldier->body->follower->lastDestinationZ, 80.0f);
    EXPECT_EQ(envelope->msalNotifyPending, 0);
    EXPECT_FALSE(Bool(soldier, &AIInterface::LockedZoneRelevant)) << "actors of the zone live";
    // The first one falls: the next living one is the goal; once all have fallen the zone is cleared.
    first->isDead = true;
    ForgetPlan(soldier->body);
    soldier->MoveToNearestActorInZone(nullptr);
    EXPECT_EQ(soldier->body->follower->lastDestinationX, 90.0f);
    EXPECT_FALSE(Bool(soldier, &AIInterface::LockedZoneRelevant));
    second->isDead = true;
    EXPECT_TRUE(Bool(soldier, &AIInterface::LockedZoneRelevant));
}

TEST_F(AIActions, RotateToPlayerLooksAtThePlayersEyesAtTheConfiguredSpeed)
{
    AIInterface* soldier = SampleSoldier({0.0f, 0.0f, 0.0f});
    Actor* player = Soldier({60.0f, 0.0f, 80.0f}, "player");
    g_frameView.player = player;
    AIEntity* entity = soldier->entity;
    entity->rotationSpeed = 1.5f;
    soldier->RotateToPlayer(nullptr);
    EXPECT_EQ(entity->rotationSpeed, entity->configuredRotationSpeed);
    // Eyes at 17 over the feet on both sides: a level look.
    EXPECT_NEAR(soldier->body->GetPitch(), 0.0f, 1e-4f);
    // The heading convention of actors: pi past the direction to the point.
    const float h = soldier->body->targetHeading - kPi;
    EXPECT_NEAR(std::sin(h), 0.6f, 1e-4f);
    EXPECT_NEAR(std::cos(h), 0.8f, 1e-4f);
    // The player on a rise 17 higher is looked up at, as his eyes are (the pitch grows downwards).
    player->SetPosition({60.0f, 17.0f, 80.0f});
    soldier->RotateToPlayer(nullptr);
    EXPECT_NEAR(soldier->body->GetPitch(), -std::atan2(17.0f, 100.0f), 1e-4f);
}

TEST_F(AIActions, TraceTargetSeesTheTargetUnlessABoxOfTheMapStandsInTheLine)
{
    // The shooter stands at the origin; each target stands 200 away in its own direction.
    LoadLand({
        {{-30.0f, 0.0f, -110.0f}, {30.0f, 60.0f, -100.0f}},  // a wall towards -z
        {{-6.0f, 0.0f, -30.0f}, {-4.0f, 60.0f, 30.0f}},      // a wall right at the shooter towards -x
        {{-30.0f, 0.0f, 100.0f}, {30.0f, 12.0f, 110.0f}},    // a low wall towards +z
    });
    AIInterface* shooter = SampleSoldier({0.0f, 0.0f, 0.0f}, "shooter");
    // A target without a body mesh: nothing at all is hit on the way to it.
    AIInterface* bare = new AIInterface();
    bare->body->name.Assign("bare");
    bare->body->SetPosition({141.0f, 0.0f, -141.0f});
    ASSERT_TRUE(DynObjectAdd(bare->body));
    AIInterface* open = SampleSoldier({200.0f, 0.0f, 0.0f}, "open");
    AIInterface* walled = SampleSoldier({0.0f, 0.0f, -200.0f}, "walled");
    AIInterface* pastNear = SampleSoldier({-200.0f, 0.0f, 0.0f}, "past_near");
    AIInterface* lowWalled = SampleSoldier({0.0f, 0.0f, 200.0f}, "low_walled");

    // The target's own body is met on the way to its eyes: a plain trace stops at it.
    MapTraceInfo probe{};
    probe.flags = TRACE_TILED | TRACE_OBJECTS;
    probe.objOptions = OBJTRACE_ALPHA;
    probe.objAlphaThreshold = 0xA0;
    probe.ignoreObject = shooter->body;
    const float from[3] = {10.0f, 16.0f, 0.0f}, to[3] = {200.0f, 16.0f, 0.0f};
    ASSERT_TRUE(MapTrace(from, to, &probe));
    ASSERT_EQ(probe.hitObject, open->body);

    struct Case {
        const char* what;
        AIInterface* target;
        bool poseGiven;
        s32_t pose;
        s32_t targetKind;
        bool clear;
    };
    const Case cases[] = {
        {"nothing in the way", bare, false, 0, 0, true},
        {"the target's body is hit first", open, false, 0, 0, true},
        {"the target's body point", open, false, 0, 1, true},
        {"a wall in the line", walled, false, 0, 0, false},
        {"a wall within 10 units of the eyes is stepped over", pastNear, false, 0, 0, true},
        {"over the low wall standing", lowWalled, true, 0, 0, true},
        {"into the low wall from prone", lowWalled, true, 2, 0, false},
    };
    for (const Case& c : cases) {
        shooter->lockedTarget = c.target;
        s32_t pose = c.pose, kind = c.targetKind;
        void* args[3] = {c.poseGiven ? &pose : &kind, c.poseGiven ? &kind : nullptr, nullptr};
        EXPECT_EQ(Bool(shooter, &AIInterface::TraceTarget, args), c.clear) << c.what;
    }
    shooter->lockedTarget = nullptr;
    s32_t kind = 0;
    void* args[2] = {&kind, nullptr};
    EXPECT_FALSE(Bool(shooter, &AIInterface::TraceTarget, args)) << "no target";
}

TEST_F(AIActions, AmmunitionAndFireModeOfTheWeaponInHand)
{
    AIInterface* soldier = SampleSoldier({0.0f, 0.0f, 0.0f});
    Weapon* rifle = soldier->body->WeaponInHand();
    ASSERT_NE(rifle, nullptr);
    Weapon* unit = rifle->currentWeapon;
    struct Case {
        u16_t rounds;
        u16_t spares;
        bool hasAmmo;
        bool hasMagazines;
    };
    // The counts read as signed 16-bit numbers: the top half counts as below zero.
    const Case cases[] = {
        {30, 3, true, true}, {0, 0, false, false}, {1, 1, true, true}, {0x8000, 0xFFFF, false, false}};
    for (const Case& c : cases) {
        unit->roundsInGun = c.rounds;
        unit->spareMagazines = c.spares;
        EXPECT_EQ(Bool(soldier, &AIInterface::HasAmmo), c.hasAmmo) << c.rounds;
        EXPECT_EQ(Bool(soldier, &AIInterface::HasMagazines), c.hasMagazines) << c.spares;
    }
    s32_t semi = 16, burst = 256;
    void* semiArgs[2] = {&semi, nullptr};
    void* burstArgs[2] = {&burst, nullptr};
    EXPECT_TRUE(Bool(soldier, &AIInterface::WeaponModePresent, semiArgs));
    EXPECT_FALSE(Bool(soldier, &AIInterface::WeaponModePresent, burstArgs)) << "the rifle has SEMI and AUTO";
    soldier->SetWeaponMode(semiArgs);
    EXPECT_EQ(rifle->fireMode, 16u);
    soldier->body->weapons[soldier->body->selectedSlot] = nullptr;
    EXPECT_FALSE(Bool(soldier, &AIInterface::HasAmmo)) << "no weapon in hand";
    EXPECT_FALSE(Bool(soldier, &AIInterface::HasMagazines));
    soldier->body->weapons[soldier->body->selectedSlot] = rifle;
}

TEST_F(AIActions, ReloadIsAnnouncedByFriendsOfThePlayerOnly)
{
    g_frameView.player = Soldier({0.0f, 0.0f, 50.0f}, "player");
    struct Case {
        const char* what;
        s32_t team;
        u16_t spares;
        const char* key;  // null: nothing said
    };
    const Case cases[] = {
        {"a friend with magazines left", 0, 3, "messages._gm_reload"},
        {"a friend on his last one", 0, 0, "messages._gm_low_ammo"},
        {"an enemy", 2, 3, nullptr},
    };
    for (const Case& c : cases) {
        AIInterface* soldier = SampleSoldier({0.0f, 0.0f, 0.0f}, "rifleman");
        soldier->entity->team = c.team;
        Weapon* unit = soldier->body->WeaponInHand()->currentWeapon;
        unit->roundsInGun = 2;
        unit->spareMagazines = c.spares;
        ClearSubtitle();
        soldier->Reload(nullptr);
        EXPECT_EQ(soldier->body->reloading, c.spares > 0) << c.what;
        EXPECT_STREQ(g_gui.subtitleKey.Text(), c.key ? c.key : "") << c.what;
        if (c.key) {
            EXPECT_STREQ(g_gui.subtitleSpeaker.Text(), "rifleman") << c.what;
            EXPECT_EQ(g_gui.subtitleSlot.duration, 1500u) << c.what;
        }
    }
}

// A radio line is shown once: one subtitle, which plays the line's sound, and no copy on the
// message console.
TEST_F(AIActions, EachRadioLineIsSaidOnce)
{
    LoadLand();
    const bool consoles = !ConIsReady();
    if (consoles)
        ConStartup();
    g_frameView.player = Soldier({0.0f, 0.0f, 50.0f}, "player");
    Actor* box = Soldier({0.0f, 0.0f, -120.0f}, "box");
    const struct {
        const char* key;
        void (*say)(AIInterface* soldier, Actor* box);
    } lines[] = {
        {"messages._gm_reload", [](AIInterface* soldier, Actor*) { soldier->Reload(nullptr); }},
        {"messages._gm_move_start",
         [](AIInterface* soldier, Actor*) {
             soldier->MoveToObject({0.0f, 0.0f, -100.0f});
         }},
        {"messages._gm_follow_player", [](AIInterface* soldier, Actor* object) { soldier->TakeObjectOrder(object); }},
    };
    auto messageLines = [] {
        int count = 0;
        char** console = ConLines(4);
        for (int i = 0; console && i < ConLineCapacity(4); ++i)
            count += console[i] && *console[i];
        return count;
    };
    for (const auto& line : lines) {
        AIInterface* soldier = SampleSoldier({0.0f, 0.0f, 0.0f}, "speaker");
        soldier->entity->team = 0;
        Weapon* unit = soldier->body->WeaponInHand()->currentWeapon;
        unit->roundsInGun = 2;
        unit->spareMagazines = 3;
        ConClear(4);
        const u32_t before = g_gui.subtitleCount;
        line.say(soldier, box);
        EXPECT_EQ(g_gui.subtitleCount - before, 1u) << line.key;
        EXPECT_STREQ(g_gui.subtitleKey.Text(), line.key);
        EXPECT_EQ(messageLines(), 0) << line.key;
    }
    g_frameView.player = nullptr;
    if (consoles)
        ConShutdown();
}

TEST_F(AIActions, WatchFightAndIdleStates)
{
    LoadLand();
    AIInterface* soldier = SampleSoldier({0.0f, 0.0f, 0.0f});
    struct Step {
        void (AIInterface::*method)(ScriptArgWord*);
        u8_t watch;
        u8_t fight;
    };
    // At most one of the two is set: each setter clears the other, each reset clears both.
    const Step steps[] = {{&AIInterface::SetWatchState, 1, 0}, {&AIInterface::SetFightState, 0, 1},
                          {&AIInterface::SetWatchState, 1, 0}, {&AIInterface::ResetFightState, 0, 0},
                          {&AIInterface::SetFightState, 0, 1}, {&AIInterface::ResetWatchState, 0, 0},
                          {&AIInterface::SetWatchState, 1, 0}, {&AIInterface::ResetAlertMode, 0, 0}};
    for (const Step& step : steps) {
        (soldier->*step.method)(nullptr);
        EXPECT_EQ(soldier->watchState, step.watch);
        EXPECT_EQ(soldier->fightState, step.fight);
    }
    // Idle: neither patrolling nor alert nor on the way somewhere.
    PatrolPath path;
    soldier->entity->assignedPatrolPath = &path;
    soldier->ResetAlertMode(nullptr);
    EXPECT_TRUE(Bool(soldier, &AIInterface::PatrolMode));
    EXPECT_FALSE(Bool(soldier, &AIInterface::Idle)) << "patrolling";
    soldier->SetAlertMode(nullptr);
    EXPECT_FALSE(Bool(soldier, &AIInterface::PatrolMode));
    EXPECT_FALSE(Bool(soldier, &AIInterface::Idle)) << "alert";
    soldier->entity->assignedPatrolPath = nullptr;
    soldier->ResetAlertMode(nullptr);
    EXPECT_TRUE(Bool(soldier, &AIInterface::Idle));
    soldier->body->MoveTo({0.0f, 0.0f, -100.0f});
    EXPECT_FALSE(Bool(soldier, &AIInterface::Idle)) << "on the way";
    EXPECT_TRUE(Bool(soldier, &AIInterface::HasDestination));
    soldier->StopMovement();
    EXPECT_FALSE(Bool(soldier, &AIInterface::HasDestination));
    // No defend point is known until the mission's defend points exist.
    DefendPoint point;
    soldier->defendPoint = &point;
    char random[] = "RANDOM";
    void* args[2] = {random, nullptr};
    soldier->SetDefendPoint(args);
    EXPECT_EQ(soldier->defendPoint, nullptr);
}

TEST_F(AIActions, CanSeeTargetRemembersWhereAndWhenTheTargetWasSeen)
{
    LoadLand({{{-30.0f, 0.0f, -110.0f}, {30.0f, 60.0f, -100.0f}}});
    AIInterface* soldier = SampleSoldier({200.0f, 0.0f, 0.0f}, "watcher");
    AIInterface* target = SampleSoldier({200.0f, 0.0f, -150.0f}, "target");
    soldier->entity->UpdateFrustum(true);
    soldier->lockedTarget = target;
    g_frameView.aiTime = 123456;
    EXPECT_TRUE(Bool(soldier, &AIInterface::CanSeeTarget)) << "straight ahead (a heading of 0 looks down -z)";
    EXPECT_EQ(soldier->targetSeenTime, 123456u);
    EXPECT_EQ(soldier->targetLastPos.z, -150.0f);
    // Behind the wall: not seen, and what was remembered stays.
    AIInterface* hidden = SampleSoldier({0.0f, 0.0f, -200.0f}, "hidden");
    soldier->body->SetPosition({0.0f, 0.0f, 0.0f});
    soldier->entity->UpdateFrustum(true);
    soldier->lockedTarget = hidden;
    g_frameView.aiTime = 200000;
    EXPECT_FALSE(Bool(soldier, &AIInterface::CanSeeTarget));
    EXPECT_EQ(soldier->targetSeenTime, 123456u);
    EXPECT_EQ(soldier->targetLastPos.z, -150.0f);
    g_scriptResult.asInt = 0;
    soldier->TargetSeenTimeout(nullptr);
    EXPECT_EQ(g_scriptResult.asInt, 200000 - 123456);
}

TEST_F(AIActions, PlaySoundNamesTheSoldierByItsPlaceInTheAITable)
{
    const bool consoles = !ConIsReady();
    if (consoles)
        ConStartup();
    SampleSoldier({0.0f, 0.0f, 0.0f}, "first");
    AIInterface* soldier = SampleSoldier({10.0f, 0.0f, 0.0f}, "second");
    auto* table = new SoundSetTable("soldier");
    auto* set = new SoundSet();
    SoundInstance sound;
    set->Add(&sound, 1);
    ASSERT_TRUE(table->AddSet("reload", set));
    soldier->body->sound->SetSoundTable(table);
    s32_t index = SoundPropertyIndex("reload");
    void* args[2] = {&index, nullptr};
    soldier->PlaySound(args);
    // The soldier's place in the table, then the sound's index; no address.
    const std::string line = "1 playing sound " + std::to_string(index);
    const std::vector<std::string> lines = engine_log::ConsoleLines(0);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
        return l == line || l == line + "\n";
    })) << line;
    if (consoles)
        ConShutdown();
}

std::vector<s32_t> g_marks;

void Mark(ScriptArgWord* args)
{
    g_marks.push_back(args && args[0] ? *static_cast<s32_t*>(args[0]) : -1);
}

// The soldier's rules as a profile would have them: following the player, going to the fixed weapon
// and patrolling enabled, each marking its disable block; going to an object to take marks its enabling.
void CompileOrderRules(AIInterface* soldier)
{
    ScriptFunctionTable::Add("Mark", Mark, TYP_VOID);
    RuleSet* set = soldier->ruleSet;
    SetCurrentRuleSet(set);
    SetCompileMemberTable(&set->variables);
    SetCompileRuleList(&set->rules);
    SetCompileEventList(&set->events);
    ASSERT_TRUE(
        CompileRuleScript("rule follow_player{ OnDisable{ Mark(1); } }\n"
                          "rule moveto_fixed_weapon{ OnDisable{ Mark(2); } }\n"
                          "rule patrol{ OnDisable{ Mark(3); } }\n"
                          "rule moveto_take_object{ OnEnable{ Mark(4); } }\n"));
    SetCompileMemberTable(nullptr);
    SetCompileRuleList(nullptr);
    SetCompileEventList(nullptr);
    for (const char* name : {"follow_player", "moveto_fixed_weapon", "patrol"})
        set->rules.Find(name)->Enable(nullptr);
    SetCurrentRuleSet(nullptr);
    g_marks.clear();
}

bool Enabled(AIInterface* soldier, const char* rule)
{
    return soldier->ruleSet->rules.Find(rule)->enabled != 0;
}

// A soldier with rules, an envelope named "Alpha" whose mission-script command waits, and a target.
struct Ordered {
    AIInterface* soldier;
    AIInterface* target;
    DOEnvelope* envelope;
};

TEST_F(AIActions, OrdersSwitchOffTheRulesThatLeadTheSoldierElsewhere)
{
    LoadLand();
    const bool consoles = !ConIsReady();
    if (consoles)
        ConStartup();
    auto make = [&](const char* name, float x) {
        Ordered o{SampleSoldier({x, 0.0f, 0.0f}, name), SampleSoldier({x, 0.0f, 300.0f}, "target"),
                  new DOEnvelope("Alpha")};
        CompileOrderRules(o.soldier);
        EnvelopeRegister(o.envelope);
        o.envelope->Attach(o.soldier->body);
        o.soldier->body->envelope = o.envelope;
        o.envelope->msalNotifyPending = 1;
        o.soldier->LockOnInterface(o.target);
        ClearSubtitle();
        return o;
    };

    Ordered moved = make("mover", 0.0f);
    moved.soldier->MoveToObject({0.0f, 0.0f, -150.0f});
    EXPECT_EQ(g_marks, (std::vector<s32_t>{2, 1})) << "both disable blocks run, the fixed weapon's first";
    EXPECT_FALSE(Enabled(moved.soldier, "follow_player"));
    EXPECT_FALSE(Enabled(moved.soldier, "moveto_fixed_weapon"));
    EXPECT_TRUE(Enabled(moved.soldier, "patrol"));
    EXPECT_TRUE(moved.soldier->body->follower->moving);
    EXPECT_EQ(moved.soldier->body->follower->lastDestinationZ, -150.0f);
    EXPECT_EQ(moved.soldier->moveToObjectPending, 1);
    EXPECT_EQ(moved.envelope->msalNotifyPending, 0) << "the order is not the end of the mission script's command";
    EXPECT_STREQ(g_gui.subtitleSpeaker.Text(), "Alpha");
    EXPECT_STREQ(g_gui.subtitleKey.Text(), "messages._gm_move_start");
    EXPECT_EQ(g_gui.subtitleSlot.duration, 1500u);
    const std::vector<std::string> messages = engine_log::ConsoleLines(4);
    EXPECT_FALSE(std::any_of(messages.begin(), messages.end(), [](const std::string& line) {
        return line.rfind("Alpha: ", 0) == 0;
    })) << "the subtitle alone carries the line";
    EXPECT_EQ(moved.soldier->lockedTarget, moved.target) << "a move keeps the target";

    Ordered held = make("holder", 100.0f);
    held.soldier->body->MoveTo({100.0f, 0.0f, -150.0f});
    held.soldier->HoldOrder();
    EXPECT_EQ(g_marks, (std::vector<s32_t>{2, 1}));
    EXPECT_FALSE(Enabled(held.soldier, "follow_player"));
    EXPECT_TRUE(Enabled(held.soldier, "patrol"));
    EXPECT_FALSE(held.soldier->body->follower->moving);
    EXPECT_EQ(held.soldier->lockedTarget, nullptr);
    EXPECT_EQ(held.target->lockerCount, 0u) << "the target no longer counts the soldier among its lockers";
    EXPECT_EQ(g_gui.subtitleSlot.duration, 0u) << "holding says nothing";
    if (consoles)
        ConShutdown();
}

TEST_F(AIActions, AFixedWeaponIsLetGoOfTurnedBackAndRemembered)
{
    LoadLand();
    struct Case {
        const char* what;
        void (*release)(AIInterface* soldier);
    };
    const Case cases[] = {
        {"ReleaseFixedWeapon", [](AIInterface* soldier) { soldier->ReleaseFixedWeapon(nullptr); }},
        {"a move order",
         [](AIInterface* soldier) {
             soldier->MoveToObject({0.0f, 0.0f, -100.0f});
         }},
        {"a hold order", [](AIInterface* soldier) { soldier->HoldOrder(); }},
    };
    for (const Case& c : cases) {
        AIInterface* soldier = SampleSoldier({0.0f, 0.0f, 0.0f}, "gunner");
        Weapon mounted;
        mounted.mountRotation = {0.0f, 1.0f, 0.0f};
        mounted.SetRotation({0.3f, 2.0f, 0.0f});
        mounted.owner = soldier->body;
        soldier->body->usesMountedWeapon = true;
        soldier->body->mountedWeapon = &mounted;
        c.release(soldier);
        EXPECT_FALSE(soldier->body->usesMountedWeapon) << c.what;
        EXPECT_EQ(soldier->body->mountedWeapon, nullptr) << c.what;
        EXPECT_EQ(soldier->body->lastMountedWeapon, &mounted) << c.what;
        EXPECT_EQ(mounted.owner, nullptr) << c.what;
        EXPECT_FLOAT_EQ(mounted.GetRotation().x, 0.0f) << c.what;
        EXPECT_FLOAT_EQ(mounted.GetRotation().y, 1.0f) << c.what;
        soldier->body->lastMountedWeapon = nullptr;
    }
}

TEST_F(AIActions, TakeObjectOrderEnablesItsRuleAndSpeaksUnlessTheBodyIsThePlayers)
{
    LoadLand();
    Actor* box = Soldier({0.0f, 0.0f, -120.0f}, "box");
    for (bool player : {false, true}) {
        AIInterface* soldier = SampleSoldier({player ? 50.0f : 0.0f, 0.0f, 0.0f}, "taker");
        CompileOrderRules(soldier);
        g_frameView.player = player ? soldier->body : nullptr;
        ClearSubtitle();
        soldier->TakeObjectOrder(box);
        EXPECT_EQ(soldier->takeObject, box);
        EXPECT_TRUE(soldier->body->follower->moving) << player;
        EXPECT_EQ(soldier->body->follower->lastDestinationZ, -120.0f) << player;
        EXPECT_EQ(Enabled(soldier, "moveto_take_object"), !player) << player;
        EXPECT_EQ(g_marks, player ? std::vector<s32_t>{} : std::vector<s32_t>{4}) << player;
        EXPECT_STREQ(g_gui.subtitleKey.Text(), player ? "" : "messages._gm_follow_player");
        if (!player) {
            EXPECT_STREQ(g_gui.subtitleSpeaker.Text(), "taker") << "without an envelope, the body's name";
        }
    }
    g_frameView.player = nullptr;
}

}  // namespace
