// The mission script read from "mission.msal" and run on test envelopes whose methods complete at
// once ("Step"), never ("Hold") or record their argument cells ("Note").
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ai/msal/mission_script_runner.h"
#include "ai/msal/msal_reader.h"
#include "ai/msal/msal_runtime.h"
#include "ai/rules/script_events.h"
#include "core/mission_timers.h"
#include "ai/script_mission_fixture.h"

namespace {

class ScriptedEnvelope : public Envelope {
public:
    explicit ScriptedEnvelope(const char* envelopeName)
    {
        kind = ENVELOPE_KIND_CODE;
        name.Assign(envelopeName);
        scriptClass = ScriptClassRegistry::RegisterClass("CodeEnvelope");
        AddMethod(ScriptMethodOf(&ScriptedEnvelope::MSALStep), "MSALStep", 1);
        AddMethod(ScriptMethodOf(&ScriptedEnvelope::MSALHold), "MSALHold", 1);
        AddMethod(ScriptMethodOf(&ScriptedEnvelope::MSALNote), "MSALNote", 1);
        EnvelopeRegister(this);
    }
    void MSALStep(ScriptArgWord* args)
    {
        steps.push_back(MSALArg(args, 0).AsInt());
        CompleteMSALCommand();
    }
    void MSALHold(ScriptArgWord*) { ++holds; }
    void MSALNote(ScriptArgWord* args)
    {
        for (int i = 0; i < 4; ++i)
            notes.push_back(MSALArg(args, i));
    }
    std::vector<int> steps;
    int holds = 0;
    std::vector<MSALCell> notes;
};

class MSAL : public ScriptMission {
protected:
    ScriptedEnvelope* Scripted(const char* envelopeName) { return new ScriptedEnvelope(envelopeName); }
    void Load(const std::string& text) { LoadScript(text); }
    static MSALRunner* RunnerOf(const char* list) { return MSALFindList(list)->runners.at(0); }
    static bool ConsoleHas(const std::string& text)
    {
        for (const std::string& line : Console()) {
            if (line.find(text) != std::string::npos)
                return true;
        }
        return false;
    }
};

TEST_F(MSAL, TwoListsMeetAtTheirEndAndGoOnTogether)
{
    ScriptedEnvelope* a = Scripted("A");
    ScriptedEnvelope* b = Scripted("B");
    Load(
        "List LA { Begin(1) End(1) Step(1) } Members { A }\n"
        "List LB { Begin(1) Hold() End(1) Step(2) } Members { B }\n");
    MSALStartAll();
    EXPECT_TRUE(a->steps.empty());
    EXPECT_EQ(b->holds, 1);
    EXPECT_FALSE(ConsoleHas("Synchronized"));
    b->CompleteMSALCommand();
    EXPECT_EQ(a->steps, std::vector<int>{1});
    EXPECT_EQ(b->steps, std::vector<int>{2});
    EXPECT_TRUE(ConsoleHas("Synchronized: A B  "));
    EXPECT_EQ(MSALActiveGroupCount(), 0);
}

TEST_F(MSAL, ADestroyedPartnerDoesNotHoldTheGroupAndALoneMemberNeverGoesOn)
{
    for (const bool destroyed : {false, true}) {
        SCOPED_TRACE(destroyed);
        MSALUnloadMission();
        EnvelopeDestroyAll();
        ScriptedEnvelope* a = Scripted("A");
        ScriptedEnvelope* b = Scripted("B");
        ScriptedEnvelope* c = Scripted("C");
        b->destroyed = destroyed ? 1 : 0;
        Load(
            "List LA { Begin(1) End(1) Step(1) } Members { A }\n"
            "List LB { Hold() Begin(1) End(1) } Members { B }\n"
            "List LC { Begin(2) End(3) Step(3) } Members { C }\n");
        MSALStartAll();
        EXPECT_EQ(a->steps.size(), destroyed ? 1u : 0u);
        EXPECT_TRUE(c->steps.empty());
    }
}

TEST_F(MSAL, AWaitEndsOnTheFirstReExecutionAfterItsTime)
{
    for (const char* text : {"Wait(1000)", "Wait( 1000 )", "Wait (1000)"}) {
        SCOPED_TRACE(text);
        MSALUnloadMission();
        EnvelopeDestroyAll();
        ScriptedEnvelope* a = Scripted("A");
        Load(std::string("List L { ") + text + " Step(1) } Members { A }");
        MSALStartAll();
        MSALRunner* runner = RunnerOf("L");
        PlatformTestClockAdvance(1000);
        runner->ExecuteCurrent();
        EXPECT_TRUE(a->steps.empty());
        PlatformTestClockAdvance(1);
        EXPECT_TRUE(a->steps.empty());  // time alone moves nothing
        runner->ExecuteCurrent();
        EXPECT_EQ(a->steps, std::vector<int>{1});
    }
}

TEST_F(MSAL, CallFindsEarlierListsOnlyAndComesBackAfterTheCall)
{
    ScriptedEnvelope* a = Scripted("A");
    ScriptedEnvelope* c = Scripted("C");
    Load(
        "List B { CriticalBegin() CriticalEnd() }\n"
        "List LA { Call(B) Step(8) } Members { A }\n"
        "List LC { Call(D) Step(9) } Members { C }\n"
        "List D { Step(10) }\n");
    MSALStartAll();
    EXPECT_EQ(a->steps, std::vector<int>{8});
    EXPECT_TRUE(ConsoleHas("'0' sublist ended."));
    EXPECT_TRUE(c->steps.empty());
}

struct ReaderErrorCase {
    const char* text;
    const char* line;  // expected on console 0; empty: no line at all
};

TEST_F(MSAL, ReaderReportsEachFaultAndGoesOn)
{
    Scripted("A");
    const ReaderErrorCase cases[] = {
        {"List L { Foo() }", "MSAL Error: Could not map method 'MSALFoo' in the VTable"},
        {"Weather { }", ""},
        {"Xy", "MSAL Error: Unknown word 'Xy'!"},
        {"List L Wait", "MSAL Error: { expected!"},
        {"List L { Step(1) } Members { nobody }", "MSAL Error: Unknown envelope 'nobody'!"},
        {"List L { Step(1)", "MSAL Error: Unexpected end of file found!"},
        {"List L { Step(1) \xFF }", "MSAL Error: Unexpected end of file found!"},
    };
    for (const ReaderErrorCase& c : cases) {
        SCOPED_TRACE(c.text);
        MSALUnloadMission();
        ConClear(0);
        Load(c.text);
        if (c.line[0])
            EXPECT_TRUE(ConsoleHas(c.line));
        else
            EXPECT_TRUE(Console().empty());
    }
    MSALUnloadMission();
    MSALLoadMission("mission\\none");
    EXPECT_TRUE(ConsoleHas("Error loading MSAL 'mission\\none\\mission.msal'!"));
}

TEST_F(MSAL, MethodIdsAreMappedByNameForEveryKind)
{
    // A second class with only one of the methods: each name keeps one id, each kind its own method.
    struct Other : Envelope {
        Other()
        {
            kind = ENVELOPE_KIND_VIRTUAL;
            scriptClass = ScriptClassRegistry::RegisterClass("VirtualEnvelope");
            AddMethod(&ScriptObject::Hide, "MSALHold", 1);
        }
    } other;
    Scripted("A");
    Load("");
    EnvelopeTypeTable* table = MSALTypeTable();
    const s32_t step = table->MapMethod("MSALStep");
    const s32_t hold = table->MapMethod("MSALHold");
    EXPECT_NE(step, hold);
    EXPECT_EQ(table->MapMethod("MSALStep"), step);
    EXPECT_EQ(table->GetMethod(ENVELOPE_KIND_VIRTUAL, step), nullptr);
    ASSERT_NE(table->GetMethod(ENVELOPE_KIND_VIRTUAL, hold), nullptr);
    EXPECT_STREQ(table->GetMethod(ENVELOPE_KIND_VIRTUAL, hold)->name, "MSALHold");
    EXPECT_STREQ(table->GetMethod(ENVELOPE_KIND_CODE, step)->name, "MSALStep");
    EXPECT_EQ(table->MapMethod("MSALNothing"), -1);

    // A kind whose class is not known names that class, spelled as the table spells it.
    ASSERT_EQ(ScriptClassRegistry::FindClass("AABoxEnvenlope"), nullptr);
    for (const auto& [kind, line] :
         {std::pair{ENVELOPE_KIND_BOX, "for envelope type 'AABoxEnvenlope'"}, std::pair{1, "for envelope type ''"}}) {
        ConClear(0);
        EXPECT_EQ(table->GetMethod(kind, hold), nullptr);
        EXPECT_TRUE(ConsoleHas("MSAL Error: Unknown method id 'MSALStep' " + std::string(line))) << kind;
    }
}

TEST_F(MSAL, NumbersStayNumbersAndOtherTextNamesAnEnvelope)
{
    ScriptedEnvelope* a = Scripted("A");
    Load("List L { Note(A,0,-0,12) } Members { A }");
    MSALStartAll();
    ASSERT_EQ(a->notes.size(), 4u);
    EXPECT_EQ(a->notes[0].AsEnvelope(), a);
    for (int i = 1; i < 3; ++i) {
        EXPECT_TRUE(a->notes[i].IsFloat());
        EXPECT_EQ(a->notes[i].AsFloat(), 0.0f);
    }
    EXPECT_EQ(a->notes[3].AsFloat(), 12.0f);

    // A program-made list: names become the default envelope, "0" stays 0.0.
    a->notes.clear();
    MSALExtBegin(a);
    MSALExtAdd("Note(x,0,10,-700)", a);
    MSALExtEnd();
    ASSERT_EQ(a->notes.size(), 4u);
    EXPECT_EQ(a->notes[0].AsEnvelope(), a);
    EXPECT_TRUE(a->notes[1].IsFloat());
    EXPECT_EQ(a->notes[1].AsFloat(), 0.0f);
    EXPECT_EQ(a->notes[3].AsFloat(), -700.0f);
}

TEST_F(MSAL, ProgramMadeSyncIdsStartAtTheBaseAndOutsideASyncAreDropped)
{
    ScriptedEnvelope* a = Scripted("A");
    Load("");
    MSALExtSyncBegin();
    MSALExtBegin(a);
    MSALExtAdd("Begin(0)", a);
    MSALExtAdd("End(0)", a);
    MSALExtAdd("Hold()", a);
    MSALCommandList* list = MSALLists().back();
    MSALExtEnd();
    MSALExtSyncEnd();
    EXPECT_EQ(list->first->value, 1000);
    EXPECT_EQ(list->first->next->value, 1000);
    EXPECT_EQ(MSALSyncIdBase(), 1001);

    MSALExtBegin(a);
    MSALExtAdd("Begin(0)", a);
    MSALCommandList* unsynced = MSALLists().back();
    MSALExtEnd();
    EXPECT_EQ(unsynced->first, nullptr);
    EXPECT_TRUE(ConsoleHas("MSAL Warning: common sync not open while creating dynamic list (sync cmd ignored)!"));
}

TEST_F(MSAL, EventsAndTimersReleaseTheirWaiters)
{
    ScriptedEnvelope* a = Scripted("A");
    ScriptedEnvelope* b = Scripted("B");
    ScriptedEnvelope* c = Scripted("C");
    ScriptEvent* alarm = ScriptGlobalEventList()->Add("alarm");
    ScriptEvent* early = ScriptGlobalEventList()->Add("early");
    early->Fire(nullptr, nullptr);
    Load(
        "List LA { WaitForEvent(alarm) Step(1) } Members { A }\n"
        "List LB { WaitForEvent(early) Step(2) } Members { B }\n"
        "List LC { ITFSync(clock,1) Step(3) } Members { C }\n");
    MSALStartAll();
    EXPECT_TRUE(a->steps.empty());
    EXPECT_EQ(b->steps, std::vector<int>{2});
    alarm->Fire(nullptr, nullptr);
    EXPECT_EQ(a->steps, std::vector<int>{1});
    EXPECT_TRUE(c->steps.empty());
    for (int frame = 0; frame < 3; ++frame)
        TimersTick(1.0f);
    EXPECT_EQ(c->steps, std::vector<int>{3});
}

TEST_F(MSAL, LongChainsAndSelfCallsRunWithoutDeepRecursion)
{
    Scripted("A");
    std::string text = "List L0 { Step(1) }\n";
    for (int i = 1; i < 10000; ++i)
        text += "List L" + std::to_string(i) + " { Call(L" + std::to_string(i - 1) + ") }\n";
    text += "List Self { Call(Self) Step(2) } Members { A }\nList Many { ";
    for (int i = 0; i < 100000; ++i)
        text += "CriticalBegin() ";
    text += "Step(3) } Members { A }\nList Top { Call(L9999) } Members { A }\n";
    Load(text);
    MSALStartAll();
    EXPECT_TRUE(ConsoleHas("MSAL Error: lists nested deeper than 64"));
    EXPECT_FALSE(RunnerOf("Many")->command);
}

}  // namespace
