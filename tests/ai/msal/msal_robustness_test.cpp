// Damaged and oversized "mission.msal" files read and run for a few frames on test envelopes whose
// methods complete at once ("Step"), never ("Hold") or record nothing ("Note"): every truncation, the
// named damages, end marks and zero bytes inside, fixed-seed mutation rounds, and long runs of
// commands and calls. No crash, no deep recursion, and every runner stays on a command of its list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ai/soldier/ai_runtime.h"
#include "ai/msal/mission_script_runner.h"
#include "ai/msal/msal_reader.h"
#include "ai/msal/msal_runtime.h"
#include "ai/rules/script_events.h"
#include "core/mission_timers.h"
#include "core/random.h"
#include "ai/script_mission_fixture.h"
#include "support/text_mutation.h"

namespace {

class StepEnvelope : public Envelope {
public:
    explicit StepEnvelope(const char* envelopeName)
    {
        kind = ENVELOPE_KIND_CODE;
        name.Assign(envelopeName);
        scriptClass = ScriptClassRegistry::RegisterClass("CodeEnvelope");
        AddMethod(ScriptMethodOf(&StepEnvelope::MSALStep), "MSALStep", 1);
        AddMethod(ScriptMethodOf(&StepEnvelope::MSALHold), "MSALHold", 1);
        AddMethod(ScriptMethodOf(&StepEnvelope::MSALNote), "MSALNote", 1);
        EnvelopeRegister(this);
    }
    void MSALStep(ScriptArgWord* args)
    {
        steps.push_back(MSALArg(args, 0).AsInt());
        CompleteMSALCommand();
    }
    void MSALHold(ScriptArgWord*) { ++holds; }
    void MSALNote(ScriptArgWord*) { CompleteMSALCommand(); }
    std::vector<int> steps;
    int holds = 0;
};

// Every statement kind, a called list, a sync between two lists, members named in and after a list.
const char kMission[] =
    "# the yard at night\n"
    "Weather { }\n"
    "List Sub { Step(5) CriticalBegin() CriticalEnd() }\n"
    "List Guard {\n"
    "  Begin(1) Step(1) Wait(100) End(1)\n"
    "  Call(Sub) Note(B,0,-0,3.5) ITFSync(clock,1)\n"
    "  WaitForEvent(alarm) Step(2)\n"
    "  Members { A }\n"
    "}\n"
    "List Walk { Begin(1) Hold() End(1) Call(Sub) Foo() Step(3) }\n"
    "Members { B C }\n";

struct CommandShape {
    s32_t kind;
    s32_t value;
    size_t arguments;
    bool operator==(const CommandShape&) const = default;
};

class MSALRobustness : public ScriptMission {
protected:
    void SetUp() override
    {
        ScriptMission::SetUp();
        m_alarm = ScriptGlobalEventList()->Add("alarm");
        for (const char* envelopeName : {"A", "B", "C"})
            m_envelopes.push_back(new StepEnvelope(envelopeName));
        m_seed = EngineRandState();
    }
    void TearDown() override
    {
        EngineSRand(m_seed);
        ScriptMission::TearDown();
    }

    void Load(const std::string& text) { LoadScript(text); }

    // The commands each list was read with, by list name.
    static std::vector<std::pair<std::string, std::vector<CommandShape>>> Shapes()
    {
        std::vector<std::pair<std::string, std::vector<CommandShape>>> shapes;
        for (const MSALCommandList* list : MSALLists()) {
            std::vector<CommandShape> commands;
            for (const MSALCommand* c = list->first; c; c = c->next)
                commands.push_back({c->kind, c->value, c->arguments.size()});
            shapes.emplace_back(list->name, commands);
        }
        return shapes;
    }

    // Checks that each runner stands on a command of the list it runs (or is idle) within the depth cap.
    static void ExpectRunnersInTheirLists()
    {
        for (const MSALCommandList* list : MSALLists()) {
            for (const MSALRunner* runner : list->runners) {
                EXPECT_LE(runner->Sublists().size(), static_cast<size_t>(MSAL_MAX_SUBLIST_DEPTH));
                if (!runner->command)
                    continue;
                ASSERT_NE(runner->commands, nullptr);
                bool found = false;
                for (const MSALCommand* c = runner->commands->first; c && !found; c = c->next)
                    found = c == runner->command;
                EXPECT_TRUE(found) << "list " << list->name;
            }
        }
    }

    // Starts the script and plays frames as its owners do: each runner re-executes its command, held
    // commands complete now and then, the alarm fires once, timers count and the clock moves on.
    void PlayFrames(int frames)
    {
        MSALStartAll();
        for (int frame = 0; frame < frames; ++frame) {
            for (MSALCommandList* list : MSALLists()) {
                for (MSALRunner* runner : list->runners)
                    runner->ExecuteCurrent();
            }
            if (frame % 2 == 1) {
                m_envelopes[1]->CompleteMSALCommand();
                m_envelopes[2]->CompleteMSALCommand();
            }
            if (frame == 3)
                m_alarm->Fire(nullptr, nullptr);
            TimersTick(0.5f);
            PlatformTestClockAdvance(60);
        }
        ExpectRunnersInTheirLists();
    }

    // Reads and plays one text, then clears what it made.
    void ReadAndPlay(const std::string& text)
    {
        Load(text);
        PlayFrames(6);
        ClearTimers();
        MSALUnloadMission();
        ConClear(0);
    }

    std::vector<StepEnvelope*> m_envelopes;  // owned by the envelope table
    ScriptEvent* m_alarm = nullptr;
    u32_t m_seed = 0;
};

TEST_F(MSALRobustness, EveryTruncationReadsAsAPrefixOfTheWholeFile)
{
    Load(kMission);
    const auto whole = Shapes();
    ASSERT_EQ(whole.size(), 3u);
    ASSERT_EQ(MSALFindList("Walk")->runners.size(), 2u);
    PlayFrames(8);
    EXPECT_EQ(m_envelopes[0]->steps, (std::vector<int>{1, 5, 2}));
    EXPECT_EQ(m_envelopes[1]->steps, (std::vector<int>{5, 3}));
    ClearTimers();
    MSALUnloadMission();

    const std::string text = kMission;
    for (size_t length = 0; length <= text.size(); ++length) {
        SCOPED_TRACE(length);
        Load(text.substr(0, length));
        // A cut file may lose commands at its end, never gain or change any.
        for (const auto& [name, commands] : Shapes()) {
            size_t w = 0;
            while (w < whole.size() && whole[w].first != name)
                ++w;
            ASSERT_LT(w, whole.size()) << "list '" << name << "'";
            ASSERT_LE(commands.size(), whole[w].second.size());
            EXPECT_TRUE(std::equal(commands.begin(), commands.end(), whole[w].second.begin()));
        }
        PlayFrames(4);
        ClearTimers();
        MSALUnloadMission();
        ConClear(0);
    }
}

// End marks (0xFF) every 29th byte from the 11th on.
std::string EndMarksInside(const std::string& o)
{
    std::string d = o;
    for (size_t i = 10; i < d.size(); i += 29)
        d[i] = '\xFF';
    return d;
}
// Bytes above 0x7F and control bytes in place of every 7th byte.
std::string JunkBytesInside(const std::string& o)
{
    std::string d = o;
    for (size_t i = 3; i < d.size(); i += 7)
        d[i] = static_cast<char>(0x80 + (i * 37) % 0x7F);
    return d;
}
// Brackets and commas only.
std::string PunctuationOnly(const std::string& o)
{
    std::string d;
    for (size_t i = 0; i < o.size(); ++i)
        d += "{}(),#"[i % 6];
    return d;
}
// A statement whose arguments never close and a "Members" block that never ends.
std::string OpenBrackets(const std::string& o)
{
    return o + "List Z { Step(1,2,3 Members { A B";
}

TEST_F(MSALRobustness, NamedDamagesReadAndRun)
{
    std::vector<test_support::TextDamage> damages = test_support::CommonTextDamages();
    damages.push_back({"end marks inside", EndMarksInside});
    damages.push_back({"junk bytes inside", JunkBytesInside});
    damages.push_back({"punctuation only", PunctuationOnly});
    damages.push_back({"brackets left open", OpenBrackets});
    for (const test_support::TextDamage& damage : damages) {
        SCOPED_TRACE(damage.what);
        ReadAndPlay(damage.make(kMission));
    }

    // Text after an end mark is not read: only what comes before it makes lists.
    Load(std::string("List L { Step(1) } Members { A }\xFF List M { Step(2) } Members { B }"));
    EXPECT_NE(MSALFindList("L"), nullptr);
    EXPECT_EQ(MSALFindList("M"), nullptr);
    MSALUnloadMission();

    // A zero byte is a character of its word, not an end: the statement after it is read.
    m_envelopes[0]->steps.clear();
    Load(std::string("List L { St\0ep(1) Step(2) } Members { A }", 40));
    MSALStartAll();
    EXPECT_EQ(m_envelopes[0]->steps, std::vector<int>{2});
}

TEST_F(MSALRobustness, NumbersBeyondTheIntegerRangeSaturate)
{
    Load(
        "List L { Step(99999999999) Step(-99999999999) Step(inf) Step(-inf) Step(2147483520) Step(-7.9) }"
        " Members { A }");
    MSALStartAll();
    EXPECT_EQ(m_envelopes[0]->steps, (std::vector<int>{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN, 2147483520, -7}));
}

TEST_F(MSALRobustness, MutatedFilesReadAndRun)
{
    EngineSRand(6611);
    for (int round = 0; round < 300; ++round)
        ReadAndPlay(test_support::MutateText(kMission));
}

TEST_F(MSALRobustness, LongRunsOfCallsAndImmediateCommandsComplete)
{
    // 10,000 calls one after another of a list that completes at once, and 100,000 methods that
    // complete at once: all run in one execution, none nests in another.
    std::string text = "List S { Step(1) }\nList Calls { ";
    for (int i = 0; i < 10000; ++i)
        text += "Call(S) ";
    text += "} Members { A }\nList Steps { ";
    for (int i = 0; i < 100000; ++i)
        text += "Step(2) ";
    text += "} Members { B }\n";
    Load(text);
    MSALStartAll();
    EXPECT_EQ(m_envelopes[0]->steps.size(), 10000u);
    EXPECT_EQ(m_envelopes[1]->steps.size(), 100000u);
    EXPECT_EQ(MSALFindList("Calls")->runners[0]->command, nullptr);
    EXPECT_TRUE(MSALFindList("Calls")->runners[0]->Sublists().empty());
}

TEST_F(MSALRobustness, SelfCallingListsStopAtTheDepthCapAndUnwind)
{
    struct Case {
        const char* text;
        size_t stepsOfA;  // one per level the depth cap lets in
    };
    const Case cases[] = {
        {"List Self { Call(Self) Step(1) } Members { A }", 65},
        // Two runners meeting at a sync before each call: each release moves the other on.
        {"List Self { Begin(1) End(1) Step(1) Call(Self) } Members { A B }", 65},
        // Each level calls two deep before it calls itself: the last level's chain meets the cap.
        {"List P { Step(1) }\nList Q { Call(P) }\nList Self { Call(Q) Call(Self) } Members { A }", 63},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        m_envelopes[0]->steps.clear();
        Load(c.text);
        MSALStartAll();
        EXPECT_EQ(m_envelopes[0]->steps.size(), c.stepsOfA);
        for (const MSALRunner* runner : MSALFindList("Self")->runners) {
            EXPECT_EQ(runner->command, nullptr);
            EXPECT_TRUE(runner->Sublists().empty());
        }
        EXPECT_EQ(MSALActiveGroupCount(), 0);
        MSALUnloadMission();
        ConClear(0);
    }
}

TEST_F(MSALRobustness, ATimerMovesItsRunnerOnceAndNeverAfterTheRunnerWent)
{
    enum class Then { ReExecuteEachFrame, ResetTheRunner, UnloadTheScript };
    for (const Then then : {Then::ReExecuteEachFrame, Then::ResetTheRunner, Then::UnloadTheScript}) {
        SCOPED_TRACE(static_cast<int>(then));
        StepEnvelope* a = m_envelopes[0];
        a->steps.clear();
        a->holds = 0;
        Load("List L { ITFSync(clock,1) Hold() Step(9) } Members { A }");
        MSALStartAll();
        MSALRunner* runner = MSALFindList("L")->runners[0];
        if (then == Then::ResetTheRunner)
            runner->Reset();
        if (then == Then::UnloadTheScript)
            MSALUnloadMission();
        for (int frame = 0; frame < 8; ++frame) {
            if (then != Then::UnloadTheScript)
                runner->ExecuteCurrent();
            TimersTick(0.5f);
        }
        // The one wait ends in the Hold, which never completes: nothing may move the runner past it.
        if (then != Then::UnloadTheScript) {
            EXPECT_EQ(a->steps, std::vector<int>{});
            EXPECT_GE(a->holds, 1);
            EXPECT_EQ(runner->command, MSALFindList("L")->first->next);
        }
        EXPECT_FALSE(AnyTimerRunning());
        ClearTimers();
        MSALUnloadMission();
    }
}

}  // namespace
