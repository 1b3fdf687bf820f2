// The soldier AI of a mission: the interface's script class, the start-up and shutdown, the dormancy
// rule, the frame's rule step over the AI table, and the restart of the rules with their profiles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "core/frame_view.h"
#include "ai/soldier/ai_runtime.h"
#include "ai/soldier/ai_state.h"
#include "ai/rules/rules.h"
#include "ai/script/script_functions.h"
#include "ai/script/script_object.h"
#include "ai/envelopes/zone_envelope.h"
#include "core/random.h"
#include "core/files/vfs.h"
#include "game/mission/game_flow.h"
#include "game/game_state.h"
#include "game/view/player_view.h"
#include "map/map_cvars.h"
#include "platform/test_clock.h"
#include "support/files.h"
#include "ai/ai_mission_fixture.h"
#include "support/temp_dir.h"
#include "world/wires/wire_state.h"

namespace {

struct MethodRecord {
    const char* name;
    s32_t returnType;
};

// The script methods of a soldier in their order of registration, with their return types.
const MethodRecord kSoldierMethods[] = {
    {"EvaluateSituation", 4},
    {"Test", 1},
    {"GetDistToNearestEnemy", 4},
    {"GetEnemiesVisCount", 3},
    {"ConPrint", 1},
    {"CanSeePlayer", 2},
    {"LockTarget", 2},
    {"UnlockTarget", 1},
    {"HasTarget", 2},
    {"RotateToTarget", 1},
    {"RotateToPoint", 1},
    {"Fire", 1},
    {"FireWithoutTarget", 1},
    {"MoveToTarget", 1},
    {"MoveToPlayer", 1},
    {"MoveToFixedWeapon", 1},
    {"SetFixedWeapon", 1},
    {"HasFixedWeapon", 2},
    {"FollowTarget", 1},
    {"Hold", 1},
    {"SetCoverTarget", 1},
    {"HasCoverTarget", 1},
    {"HasAmmo", 2},
    {"HasMagazines", 2},
    {"HasDefendPoint", 2},
    {"Reload", 1},
    {"IsTargetDead", 2},
    {"SetDefendPoint", 1},
    {"ResetDefendPoint", 1},
    {"IsInAlert", 2},
    {"GetEvent", 2},
    {"SetAlertMode", 1},
    {"ResetAlertMode", 1},
    {"TimeFromLastAlert", 3},
    {"SetWatchState", 1},
    {"ResetWatchState", 1},
    {"SetFightState", 1},
    {"ResetFightState", 1},
    {"SetPoseMode", 1},
    {"GetPoseMode", 3},
    {"HasDestination", 2},
    {"GetTargetDist", 4},
    {"GetPlayerDist", 4},
    {"GetFixedWeaponDist", 4},
    {"GetHitProbability", 4},
    {"StopMovement", 1},
    {"CanSeeTarget", 2},
    {"TraceTarget", 2},
    {"RotateToRecentSoundSource", 1},
    {"TimeFromEvent", 3},
    {"SetWeaponMode", 1},
    {"WeaponModePresent", 2},
    {"ReleaseFixedWeapon", 1},
    {"SwitchToPrimaryWeapon", 1},
    {"SwitchToSecondaryWeapon", 1},
    {"SwitchToGrenade", 1},
    {"SetAIState", 1},
    {"MoveToRandomPointInRadius", 1},
    {"TakeCurrentObject", 1},
    {"MoveToTakeObject", 1},
    {"GetTakeObjectDist", 4},
    {"HasTakeObject", 2},
    {"SetFrame", 1},
    {"ActivateJink", 1},
    {"DeactivateJink", 1},
    {"HasLegInjured", 2},
    {"SetMovementMode", 1},
    {"MoveToNearestActorInZone", 1},
    {"LockedZoneRelevant", 2},
    {"MoveToRecentSoundSource", 1},
    {"CanSeeDeadBody", 2},
    {"MoveToDeadBody", 1},
    {"MoveAwayFromRecentSoundSource", 1},
    {"MoveAwayFromTarget", 1},
    {"SetBackwardMovement", 1},
    {"PlaySound", 1},
    {"GetMovementMode", 3},
    {"RotateToPlayer", 1},
    {"MoveToTargetLastPos", 1},
    {"RotateToTargetLastPos", 1},
    {"DistFromTargetLastPos", 4},
    {"RandomMove", 1},
    {"GetRandMoveDuration", 3},
    {"ResetRandMoveDuration", 1},
    {"TargetSeenTimeout", 3},
    {"DistFromHome", 4},
    {"MoveHome", 1},
    {"RotateRandom", 1},
    {"GetHealth", 4},
    {"ResetGrenadeEvent", 1},
    {"IsGrenadeNearby", 2},
    {"MoveAwayFromGrenade", 2},
    {"PatrolMode", 2},
    {"Idle", 2},
};

TEST_F(AIMission, TheSoldierClassHoldsItsMethodsInOrderAndPublishesTheSituationValue)
{
    AIInterface* soldier = Soldier("alpha", 0.0f);
    ScriptClass* soldierClass = ScriptClassRegistry::FindClass("AIInterface");
    ASSERT_NE(soldierClass, nullptr);
    EXPECT_EQ(soldier->scriptClass, soldierClass);
    const s32_t expected = static_cast<s32_t>(sizeof(kSoldierMethods) / sizeof(kSoldierMethods[0]));
    ASSERT_EQ(soldierClass->methods.Count(), expected);
    for (s32_t i = 0; i < expected; ++i) {
        const ScriptMethod* method = soldierClass->methods.At(i);
        EXPECT_STREQ(method->name, kSoldierMethods[i].name) << i;
        EXPECT_EQ(method->returnType, kSoldierMethods[i].returnType) << kSoldierMethods[i].name;
    }
    // A second soldier finds the same records: nothing is added twice.
    Soldier("bravo", 0.0f);
    EXPECT_EQ(soldierClass->methods.Count(), expected);

    ScriptValue* situation = soldier->FindMember("sit_val");
    ASSERT_NE(situation, nullptr);
    soldier->situationValue = 2.5f;
    EXPECT_EQ(*static_cast<float*>(situation->data), 2.5f);

    // Records bound to a slot reach the soldier's own methods.
    soldier->lockedTarget = g_ai.interfaces[1];
    EXPECT_TRUE(soldier->CallMethodByName("UnlockTarget", "()"));
    EXPECT_EQ(soldier->lockedTarget, nullptr);
    EXPECT_TRUE(soldier->CallMethodByName("Test", "(7)"));
    EXPECT_TRUE(soldier->CallMethodByName("Test", "()"));
    const std::string log = LogText();
    EXPECT_NE(log.find("AIInterface::Test for: alpha 7 \n"), std::string::npos) << log;
    EXPECT_NE(log.find("AIInterface::Test for: alpha\n"), std::string::npos) << log;
}

TEST_F(AIMission, StartUpAndShutdownFrameTheLogAndEmptyTheTables)
{
    WireRegisterScriptFunctions();
    AIStartup();
    WireRegisterScriptFunctions();
    EXPECT_EQ(ScriptFunctionTable::Count(), 24)
        << "a second start-up empties the function table, then adds the 20 global functions";
    ASSERT_NE(ScriptGlobalObjects(), nullptr);
    Soldier("alpha", 0.0f);
    AIShutdown();
    EXPECT_EQ(g_ai.interfaceCount, 0u);
    EXPECT_EQ(ScriptClassRegistry::FindClass("AIInterface"), nullptr);
    EXPECT_EQ(ScriptGlobalObjects(), nullptr);
    EXPECT_EQ(ScriptFunctionTable::Count(), 0);
    EXPECT_EQ(m_bodies[0]->ai, nullptr) << "the body stays with the world, unlinked";
    // The second start-up opened the log anew: one start line, then the compiler's reset of "this".
    EXPECT_EQ(LogText(), "=========== LOG start ===========\n0 TYP_CLASS\n=========== LOG end ===========\n");
}

TEST_F(AIMission, AFriendNeverSleepsHoweverFar)
{
    AIInterface* friendly = Soldier("friend", 100000.0f, 0);
    ASSERT_EQ(friendly->dormant, 0);
    for (u32_t now : {5000u, 50000u, 500000u}) {
        AIDormancyStep(now);
        EXPECT_EQ(friendly->dormant, 0) << now;
    }
}

TEST_F(AIMission, TheDormancyRuleUsesTheWakeRangeAndTheSoldiersJitter)
{
    struct Case {
        const char* what;
        u8_t dormant;
        float x;
        u32_t afterJitter;  // now - jitter
        float viewRange;    // mfrange
        u8_t expected;
        bool checked;  // the check time moves to now
    };
    const Case cases[] = {
        {"awake at exactly R", 0, 3000.0f, 3001, 1500.0f, 0, true},
        {"awake beyond R, not yet due", 0, 3001.0f, 3000, 1500.0f, 0, false},
        {"awake beyond R, due", 0, 3001.0f, 3001, 1500.0f, 1, true},
        {"asleep at exactly R", 1, 3000.0f, 1001, 1500.0f, 1, true},
        {"asleep inside R, not yet due", 1, 2999.0f, 1000, 1500.0f, 1, false},
        {"asleep inside R, due", 1, 2999.0f, 1001, 1500.0f, 0, true},
        {"a short view range shortens R", 0, 2001.0f, 3001, 200.0f, 1, true},
        {"R is at most 3000", 1, 3001.0f, 1001, 5000.0f, 1, true},
    };
    for (const Case& c : cases) {
        mfrange.SetFloat(c.viewRange);
        AIInterface* soldier = Soldier(c.what, c.x);
        ASSERT_GE(soldier->dormancyJitter, 0);
        ASSERT_LT(soldier->dormancyJitter, 500);
        soldier->dormant = c.dormant;
        soldier->lastDormancyCheck = 0;
        const u32_t now = static_cast<u32_t>(soldier->dormancyJitter) + c.afterJitter;
        AIDormancyStep(now);
        EXPECT_EQ(soldier->dormant, c.expected) << c.what;
        EXPECT_EQ(soldier->lastDormancyCheck, c.checked ? now : 0u) << c.what;
        AIRemoveInterface(soldier);
        delete soldier;
    }
}

TEST_F(AIMission, TheFrameRunsTheRulesOfAwakeLivingSoldiersOnly)
{
    WriteFileBytes(TempPath() + "/script/ai/script.txt", "rule Report{ OnTrue{ Test(1); } }\n");
    WriteFileBytes(TempPath() + "/script/guard.txt", "Report\n");
    AIInterface* awake = Soldier("awake", 10.0f);
    AIInterface* asleep = Soldier("asleep", 5000.0f);
    AIInterface* gone = Soldier("gone", 10.0f);
    AIInterface* player = Soldier("player", 10.0f);
    AIInterface* dead = Soldier("dead", 10.0f);
    AIInterface* unscripted = Soldier("unscripted", 10.0f);
    for (AIInterface* soldier : {awake, asleep, gone, player, dead}) {
        soldier->SetScriptFile("guard.txt");
        soldier->dormant = 0;
    }
    unscripted->dormant = 0;
    asleep->dormant = 1;
    gone->outOfPlay = 1;
    dead->body->isDead = true;
    g_frameView.player = player->body;

    EXPECT_EQ(unscripted->LoadScript(), 0);
    AILoadScripts();
    EXPECT_EQ(unscripted->ruleSet->rules.Count(), 0);
    ASSERT_EQ(awake->ruleSet->rules.Count(), 1) << LogText();
    AIRestartAll();
    EXPECT_EQ(g_frameView.aiTime, 100000u);
    ASSERT_TRUE(awake->ruleSet->rules.Find("Report")->enabled) << "the profile enables the rule";

    PlatformTestClockAdvance(50);
    AIFrame();
    EXPECT_EQ(g_frameView.aiTime, 100050u);
    const std::string log = LogText();
    EXPECT_NE(log.find("AIInterface::Test for: awake 1 \n"), std::string::npos) << log;
    for (const char* skipped : {"asleep", "gone", "player", "dead"})
        EXPECT_EQ(log.find(std::string("for: ") + skipped), std::string::npos) << skipped;
    EXPECT_EQ(dead->outOfPlay, 1) << "a dead soldier is taken out of play";
    EXPECT_EQ(asleep->dormant, 1);

    // A game mode whose AI flag is clear stops the step, the clock included.
    GameMod mode;
    g_frameView.currentGameMod = &mode;
    PlatformTestClockAdvance(50);
    AIFrame();
    EXPECT_EQ(g_frameView.aiTime, 100050u);
    mode.aiSoldiers = 1;
    AIFrame();
    EXPECT_EQ(g_frameView.aiTime, 100100u);
}

// Soldiers with the same profile start their rules out of step: the same period rule runs for each
// in a frame of its own.
TEST_F(AIMission, SoldiersRunTheSamePeriodRuleInFramesOfTheirOwn)
{
    WriteFileBytes(TempPath() + "/script/ai/script.txt", "rule Look{ period = 500 OnTrue{ Test(1); } }\n");
    WriteFileBytes(TempPath() + "/script/guard.txt", "Look\n");
    const char* names[] = {"first", "second"};
    for (const char* name : names) {
        AIInterface* soldier = Soldier(name, 10.0f);
        soldier->SetScriptFile("guard.txt");
        soldier->dormant = 0;
    }
    AILoadScripts();
    AIRestartAll();
    s32_t firstFrame[2] = {-1, -1};
    for (s32_t frame = 0; frame < 60; ++frame) {
        PlatformTestClockAdvance(20);
        AIFrame();
        const std::string log = LogText();
        for (int i = 0; i < 2; ++i) {
            if (firstFrame[i] < 0 && log.find(std::string("for: ") + names[i] + " ") != std::string::npos)
                firstFrame[i] = frame;
        }
    }
    EXPECT_GE(firstFrame[0], 0) << LogText();
    EXPECT_GE(firstFrame[1], 0) << LogText();
    EXPECT_NE(firstFrame[0], firstFrame[1]) << "both ran first in frame " << firstFrame[0];
}

TEST_F(AIMission, NearnessNeedsSoldiersInTheTable)
{
    AIInterface* soldier = Soldier("alpha", 50.0f);
    EXPECT_TRUE(AIIsNear(soldier, {0, 0, 0}, 5.0f)) << "radius 5 reaches 50 units";
    EXPECT_FALSE(AIIsNear(soldier, {0, 0, 0}, 4.9f));
    AIRemoveInterface(soldier);
    EXPECT_FALSE(AIIsNear(soldier, {50, 0, 0}, 5.0f)) << "an empty table";
    delete soldier;
}

TEST_F(AIMission, ResettingASoldierClearsItsEventsLockersAndLists)
{
    AIInterface* soldier = Soldier("alpha", 0.0f);
    AIInterface* other = Soldier("bravo", 0.0f);
    soldier->eventFlags[3] = 1;
    soldier->eventDueTimes[3] = 99;
    soldier->lockers[0] = other;
    soldier->lockerCount = 1;
    soldier->lockedTarget = other;
    soldier->situationValue = 4.0f;
    soldier->watchState = 1;
    soldier->movementMode = 3;
    soldier->grenadeNearby = 1;
    soldier->visibleEnemies.Add(other);
    soldier->visibleBodies.Add(other->body);
    soldier->entity->inAlert = 1;
    // The zone of a running elimination order, on the body's envelope.
    ZoneEnvelope zone;
    DOEnvelope envelope("alpha");
    envelope.Attach(soldier->body);
    soldier->body->envelope = &envelope;
    envelope.targetZone = &zone;
    soldier->ResetState();
    EXPECT_EQ(envelope.targetZone, nullptr);
    soldier->body->envelope = nullptr;
    EXPECT_EQ(soldier->eventFlags[3], 0);
    EXPECT_EQ(soldier->eventDueTimes[3], 0u);
    EXPECT_EQ(soldier->lockerCount, 0u);
    EXPECT_EQ(soldier->lockedTarget, nullptr);
    EXPECT_EQ(soldier->situationValue, 0.0f);
    EXPECT_EQ(soldier->watchState, 0);
    EXPECT_EQ(soldier->movementMode, 1);
    EXPECT_EQ(soldier->grenadeNearby, 0);
    EXPECT_EQ(soldier->visibleEnemies.count, 0);
    EXPECT_EQ(soldier->visibleBodies.cursor, -1);
    EXPECT_EQ(soldier->entity->inAlert, 0);
    // The bodies the soldier saw are the world's: emptying its list leaves them alive and linked.
    EXPECT_EQ(other->body->ai, other);
}

}  // namespace
