// Script events and their waiters, the mission's event file, and timed events.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ai/rules/rule_actions.h"
#include "rule_script_fixture.h"

namespace {

using ScriptEvents = RuleScriptTest;

void CountCall(void* target)
{
    ++*static_cast<int*>(target);
}

TEST_F(ScriptEvents, ActionsRunEachFiringAndWaitersOnce)
{
    ScriptEvent event("Alarm");
    auto* block = new ActionBlock(4);
    s32_t count = 0;
    block->Append(new AddIntAction(&count, 1));
    event.SetAction(block);
    int calls = 0;
    ScriptEventWaiter waiters[17];
    for (ScriptEventWaiter& waiter : waiters) {
        waiter.callback = CountCall;
        waiter.target = &calls;
        event.Subscribe(&waiter);
    }
    event.Subscribe(&waiters[0]);
    EXPECT_EQ(event.WaiterCount(), 16) << "the 17th is not kept, a repeat is not added";
    event.Fire(nullptr, nullptr);
    event.Fire(nullptr, nullptr);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(calls, 16);
    ScriptEventWaiter late{CountCall, &calls, 1};
    event.Subscribe(&late);
    EXPECT_EQ(calls, 17) << "a waiter after the first firing is called at once";
}

TEST_F(ScriptEvents, TheEventFileDefinesEventsAndGlobals)
{
    WriteFileBytes(TempPath() + "/mission/events.txt",
                   "int hits = 2;\nint shots;\nEvent Alarm { hits++; Mark(hits); }\nEvent Quiet { }\n");
    ASSERT_TRUE(ScriptLoadEventFile("mission\\events.txt")) << LogText();
    ScriptEvent* alarm = ScriptGlobalEventList()->Find("Alarm");
    ASSERT_NE(alarm, nullptr) << LogText();
    EXPECT_NE(ScriptGlobalEventList()->Find("Quiet"), nullptr);
    alarm->Fire(nullptr, nullptr);
    EXPECT_EQ(marks, (std::vector<s32_t>{3}));
    EXPECT_EQ(ScriptGlobalObjects()->Find("shots")->Type(), TYP_INT);

    EXPECT_FALSE(ScriptLoadEventFile("mission\\none.txt"));
    EXPECT_NE(LogText().find("ERROR : file mission\\none.txtnot open\n"), std::string::npos) << LogText();

    WriteFileBytes(TempPath() + "/mission/bad.txt", "Event Early { }\nnumber x;\nEvent Late { }\n");
    EXPECT_TRUE(ScriptLoadEventFile("mission\\bad.txt")) << "read, though it stopped early";
    EXPECT_NE(ScriptGlobalEventList()->Find("Early"), nullptr);
    EXPECT_EQ(ScriptGlobalEventList()->Find("Late"), nullptr);
    EXPECT_NE(LogText().find("Unknow global variable type 'number'\n"), std::string::npos);
}

struct TimelineCase {
    const char* what;
    const char* entry;
    u32_t firstUpdate;       // the mission time of the first update
    std::vector<int> fires;  // firings after each of five updates, 10 ms apart
};

TEST_F(ScriptEvents, TimedEventsFireOnTheirSchedule)
{
    const TimelineCase cases[] = {
        {"no period: every frame, as often as Times allows", "StartTime 20 Times 3", 0, {0, 0, 1, 2, 3}},
        {"Times 0 fires once", "StartTime 0 Times 0", 0, {1, 1, 1, 1, 1}},
        {"Times 1 fires once", "Times 1", 0, {1, 1, 1, 1, 1}},
        {"a start already past fires at once", "StartTime 5 Periode 15", 100, {1, 1, 2, 2, 3}},
        {"unlimited", "Periode 0", 0, {1, 2, 3, 4, 5}},
    };
    for (const TimelineCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptDestroyEventList();
        ScriptCreateEventList();
        ScriptEvent* tick = ScriptGlobalEventList()->Add("Tick");
        auto* block = new ActionBlock(2);
        s32_t fired = 0;
        block->Append(new AddIntAction(&fired, 1));
        tick->SetAction(block);
        TimeEventList::Destroy();
        TimeEventList::Create();
        const std::string text = std::string("TimeEvent { ") + c.entry + " Event Tick }";
        ASSERT_TRUE(TimeEventList::Instance()->Parse(text.c_str()));
        for (int i = 0; i < 5; ++i) {
            TimeEventList::Instance()->Update(c.firstUpdate + 10u * i);
            EXPECT_EQ(fired, c.fires[i]) << "update " << i;
        }
    }
}

TEST_F(ScriptEvents, TimelineEntriesWithoutAnEventOrBrokenOnesGo)
{
    ScriptGlobalEventList()->Add("Tick");
    TimeEventList::Create();
    WriteFileBytes(TempPath() + "/mission/timeline.txt",
                   "TimeEvent { StartTime 0 }\nTimeEvent { Event Tick Periode 10 }\nTimeEvent { Event Nowhere }\n"
                   "TimeEvent { Event Tick }\n");
    EXPECT_TRUE(TimeEventList::Load("mission\\timeline.txt"));
    EXPECT_EQ(TimeEventList::Instance()->Count(), 2) << "the entries before the broken one stay";
    TimeEventList::Instance()->Update(0);
    EXPECT_EQ(TimeEventList::Instance()->Count(), 1) << "no Event: removed without firing";
    EXPECT_FALSE(TimeEventList::Load("mission\\missing.txt"));
    EXPECT_NE(LogText().find("ERROR : file mission\\missing.txtnot open\n"), std::string::npos);
}

}  // namespace
