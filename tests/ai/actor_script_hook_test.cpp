// A soldier's mission-script runner as the soldier's own update drives it: the pending command is
// executed again when the soldier is idle or in a critical section (which makes it let go of its
// target), a move of the script completes when the route ends, and a loaded state starts the list
// again.
#include <gtest/gtest.h>

#include <string>

#include "actors/actor_motion.h"
#include "ai/msal/mission_script_runner.h"
#include "ai/msal/msal_reader.h"
#include "ai/soldier/path_follower.h"
#include "ai/rules/script_events.h"
#include "script_mission_fixture.h"
#include "world/objects/saved_object_state.h"

namespace {

class ActorScriptHookTest : public ScriptMission {
protected:
    void SetUp() override
    {
        ScriptMission::SetUp();
        m_body = Body("S", 0.0f);
        m_envelope = new DOEnvelope("S");
        EnvelopeRegister(m_envelope);
        m_envelope->Attach(m_body);
        m_body->envelope = m_envelope;
    }
    MSALRunner* Start(const std::string& list)
    {
        LoadScript("List L { " + list + " } Members { S }\n");
        MSALStartAll();
        return MSALFindList("L")->runners.at(0);
    }

    Actor* m_body = nullptr;
    DOEnvelope* m_envelope = nullptr;
};

struct HookCase {
    const char* name;
    bool critical;
    bool moving;
    bool locked;
    bool destroyed;
    bool disabled;
    bool runs;      // the pending command is executed again
    bool unlocked;  // the soldier let go of its target
};

TEST_F(ActorScriptHookTest, ThePendingCommandRunsAgainWhenIdleOrInACriticalSection)
{
    AIInterface* soldier = m_body->ai;
    AIInterface* target = Soldier("T", 50.0f);
    MSALRunner* runner = Start("Wait(100) SetMovementMode(2)");
    const HookCase cases[] = {
        {"idle", false, false, false, false, false, true, false},
        {"moving", false, true, false, false, false, false, false},
        {"locked on a target", false, false, true, false, false, false, false},
        {"disabled", false, false, false, false, true, false, false},
        {"critical, locked", true, false, true, false, false, true, true},
        {"critical, moving and disabled", true, true, false, false, true, true, false},
        {"critical, destroyed, locked", true, false, true, true, false, false, false},
        {"critical, destroyed", true, false, false, true, false, true, false},
    };
    for (const HookCase& c : cases) {
        SCOPED_TRACE(c.name);
        runner->Reset();
        runner->ExecuteCurrent();  // the wait starts
        PlatformTestClockAdvance(150);
        runner->critical = c.critical ? 1 : 0;
        m_body->follower->moving = c.moving ? 1 : 0;
        m_envelope->destroyed = c.destroyed ? 1 : 0;
        m_envelope->disabled = c.disabled ? 1 : 0;
        soldier->movementMode = 1;
        if (c.locked)
            soldier->LockOnInterface(target);
        ActorScriptHook(m_body);
        EXPECT_EQ(soldier->movementMode, c.runs ? 2 : 1);
        EXPECT_EQ(soldier->lockedTarget == nullptr, !c.locked || c.unlocked);
        EXPECT_EQ(target->lockerCount, c.locked && !c.unlocked ? 1u : 0u);
        soldier->UnlockTarget();
        m_body->follower->moving = 0;
    }
    // A soldier without an envelope, and an envelope without a runner, have nothing to run.
    m_body->envelope = nullptr;
    ActorScriptHook(m_body);
    m_body->envelope = m_envelope;
    MSALUnloadMission();
    ActorScriptHook(m_body);
}

TEST_F(ActorScriptHookTest, TheSoldiersUpdateWaitsAndMovesTheScriptOn)
{
    AIInterface* soldier = m_body->ai;
    // The wait ends on the soldier's own update after its time.
    Start("Wait(100) SetMovementMode(2)");
    PlatformTestClockAdvance(100);
    ActorAiMoveStep(m_body);
    EXPECT_EQ(soldier->movementMode, 1);
    PlatformTestClockAdvance(1);
    ActorAiMoveStep(m_body);
    EXPECT_EQ(soldier->movementMode, 2);

    // A move of the script holds the list while the soldier walks and completes when its route ends.
    MSALUnloadMission();
    soldier->movementMode = 1;
    MSALRunner* runner = Start("MoveToPt(0,60,0,0) SetMovementMode(3)");
    ASSERT_TRUE(m_body->follower->moving);
    EXPECT_TRUE(runner->WaitsForCompletion());
    ActorAiMoveStep(m_body);
    EXPECT_EQ(soldier->movementMode, 1);
    // Past the route's only waypoint: the follower takes its leave of it, then stops.
    m_body->SetPosition({70.0f, 0.0f, 0.0f});
    ActorAiMoveStep(m_body);
    EXPECT_EQ(soldier->movementMode, 1);
    ActorAiMoveStep(m_body);
    EXPECT_FALSE(m_body->follower->moving);
    EXPECT_EQ(soldier->movementMode, 3);
    EXPECT_EQ(runner->command, nullptr);
}

TEST_F(ActorScriptHookTest, ALoadedStateStartsTheListAgain)
{
    SavedObjectState state;
    m_body->SaveState(&state);
    MSALRunner* runner = Start("CriticalBegin() Wait(100000)");
    MSALCommandList* list = MSALFindList("L");
    EXPECT_TRUE(runner->InCriticalSection());
    EXPECT_NE(runner->command, list->first);
    m_envelope->msalNotifyPending = 1;
    m_body->LoadState(&state);
    EXPECT_EQ(runner->command, list->first);
    EXPECT_FALSE(runner->InCriticalSection());
    EXPECT_EQ(runner->waitStarted, 0);
    // A completion of the old run does not move the new one on.
    EXPECT_EQ(m_envelope->msalNotifyPending, 0);
    m_envelope->CompleteMSALCommand();
    EXPECT_EQ(runner->command, list->first);
    // The soldier's update runs the list from its start.
    ActorScriptHook(m_body);
    EXPECT_TRUE(runner->InCriticalSection());
}

}  // namespace
