// Envelopes and the handlers of "mission.hnd": each envelope that names a handler gets its own
// compiled instance, whose "this" is the envelope; the events fire by index.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_table.h"
#include "handler_fixture.h"

namespace {

constexpr s32_t kOnCollision = 0, kOnHit = 1, kOnInit = 2;

class EnvelopeHandlers : public HandlerTest {
protected:
    void TearDown() override
    {
        // The envelopes let go of their instances before the templates go.
        EnvelopeTableDeleteAll();
        HandlerTest::TearDown();
    }
    DOEnvelope* Envelope(const char* name, const char* handlerName)
    {
        auto* envelope = new DOEnvelope(name);
        envelope->handlerName.Assign(handlerName);
        EXPECT_GE(EnvelopeRegister(envelope), 0);
        return envelope;
    }
};

TEST_F(EnvelopeHandlers, EachEnvelopeCompilesItsOwnInstance)
{
    DOEnvelope* first = Envelope("CrateA", "Crate");
    DOEnvelope* second = Envelope("CrateB", "Crate");
    DOEnvelope* plain = Envelope("Plain", "");
    DOEnvelope* otherCase = Envelope("Wrong", "crate");
    DOEnvelope* declaredOnly = Envelope("Early", "Later");
    ASSERT_TRUE(
        CompileMission("Later;\n"
                       "Crate{ int hits = 0; OnCollision{ hits++; Mark(hits); Disable(); }\n"
                       "  OnHit{ sender.Hide(); } }\n"
                       "Free{ OnInit{ Disable(); Mark(9); } }\n"))
        << LogText();
    EventHandler* crate = EventHandlerFind("Crate");
    ASSERT_NE(first->handler, nullptr) << LogText();
    ASSERT_NE(second->handler, nullptr);
    EXPECT_NE(first->handler, second->handler);
    EXPECT_EQ(first->handler->GetTemplate(), crate);
    EXPECT_NE(first->handler->GetMembers()->Find("hits"), second->handler->GetMembers()->Find("hits"));
    EXPECT_EQ(crate->references, 2u);
    EXPECT_FALSE(crate->IsCompiled()) << "a template an envelope took is never compiled itself";
    EXPECT_EQ(plain->handler, nullptr);
    EXPECT_EQ(otherCase->handler, nullptr) << "handler names compare exactly";
    EXPECT_EQ(declaredOnly->handler, nullptr) << "a handler without a body binds nothing";

    // Each instance counts its own hits and disables its own envelope.
    first->FireEvent(second, kOnCollision);
    first->FireEvent(second, kOnCollision);
    EXPECT_EQ(second->disabled, 0);
    second->FireEvent(first, kOnCollision);
    EXPECT_EQ(marks, (std::vector<s32_t>{1, 2, 1}));
    EXPECT_EQ(first->disabled, 1);
    EXPECT_EQ(second->disabled, 1);
    // "sender" reaches the firing envelope's own method.
    second->visible = 1;
    first->FireEvent(second, kOnHit);
    EXPECT_EQ(second->visible, 0);
    // Empty slots, indices outside the slots and envelopes without a handler fire nothing.
    marks.clear();
    for (s32_t index : {-1, kOnInit, 63, 64, 1000})
        first->FireEvent(nullptr, index);
    plain->FireEvent(nullptr, kOnCollision);
    EXPECT_TRUE(marks.empty());
    EXPECT_EQ(first->HandlerEvent(kOnCollision), first->handler->GetEvent(kOnCollision));
    EXPECT_EQ(first->HandlerEvent(64), nullptr);

    // The template nothing took runs on whatever the event object holds.
    HandlerSetEventObject(plain);
    ASSERT_TRUE(Fire(EventHandlerFind("Free"), kOnInit));
    EXPECT_EQ(plain->disabled, 1);
    EXPECT_EQ(marks, (std::vector<s32_t>{9}));
}

TEST_F(EnvelopeHandlers, TheResetRunsEveryBoundOnInit)
{
    DOEnvelope* gate = Envelope("Gate", "Counter");
    DOEnvelope* tower = Envelope("Tower", "Counter");
    DOEnvelope* plain = Envelope("Plain", "");
    DOEnvelope* alarm = Envelope("Alarm", "Alarm");
    ASSERT_TRUE(
        CompileMission("Counter{ int starts = 10; OnInit{ starts++; Mark(starts); } }\n"
                       "Alarm{ OnInit{ Mark(1); Hide(); } }\n"
                       "Unused{ OnInit{ Mark(99); } }\n"))
        << LogText();
    gate->destroyed = 1;
    plain->destroyed = 1;
    alarm->visible = 1;
    EnvelopeResetAll();
    EXPECT_EQ(marks, (std::vector<s32_t>{11, 11, 1})) << "in table order, each with its own members";
    EXPECT_EQ(gate->destroyed, 0);
    EXPECT_EQ(plain->destroyed, 0);
    EXPECT_EQ(alarm->visible, 0);
    EXPECT_EQ(tower->disabled, 0);
    // A restart runs them again, on the members as the last run left them.
    EnvelopeResetAll();
    EXPECT_EQ(marks, (std::vector<s32_t>{11, 11, 1, 12, 12, 1}));
}

TEST_F(EnvelopeHandlers, CompileFailuresBindNothingOrOnlyTheBrokenOne)
{
    DOEnvelope* good = Envelope("Good", "Good");
    DOEnvelope* broken = Envelope("Broken", "Broken");
    ASSERT_TRUE(CompileMission("Good{ OnInit{ Mark(1); } }\nBroken{ OnInit{ Nothing(); } }")) << LogText();
    EXPECT_NE(good->handler, nullptr);
    EXPECT_EQ(broken->handler, nullptr);
    EXPECT_FALSE(EventHandlerFind("Broken")->IsReferenced()) << "a failed instance counts no reference";
    EXPECT_TRUE(LogHas("Unknow function 'Nothing'\n")) << LogText();

    // A header error fails the file: no envelope is bound. (A new compile begins with new lists: the
    // envelopes of the last one are gone first, as at every mission start.)
    EnvelopeTableDeleteAll();
    DOEnvelope* late = Envelope("Late", "Good");
    EXPECT_FALSE(CompileMission("Good{ OnInit{ Mark(1); } }\nGood{}"));
    EXPECT_EQ(late->handler, nullptr);
}

TEST_F(EnvelopeHandlers, BindingAgainReplacesTheInstance)
{
    DOEnvelope* envelope = Envelope("Door", "Door");
    ASSERT_TRUE(CompileMission("Door{ OnInit{ Mark(1); } }"));
    EventHandler* before = envelope->handler;
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(envelope->BindHandler(), 1);
    EXPECT_NE(envelope->handler, before);
    EXPECT_EQ(EventHandlerFind("Door")->references, 1u) << "the old instance gave its reference back";
    envelope->handlerName.Assign("Nobody");
    EXPECT_EQ(envelope->BindHandler(), 0);
    EXPECT_NE(envelope->handler, nullptr) << "a failed binding keeps the handler bound";
}

TEST_F(EnvelopeHandlers, ParentsAndRemapsReachTheEnvelopesAtMissionStart)
{
    // The envelopes bind before any template compiles: a parent or remap target is compiled when an
    // instance first needs it, and the instance keeps its whole handler, its own OnInit included.
    struct Case {
        const char* what;
        const char* text;
        std::vector<s32_t> marks;  // OnInit, then OnHit
    };
    const Case cases[] = {
        {"a parent declared first", "B;\nA : B{ OnInit{ Mark(1); } }\nB{ OnHit{ Mark(2); } }\n", {1, 2}},
        {"a remap to a later handler", "A{ OnInit{ Mark(1); } OnHit : B; }\nB{ OnHit{ Mark(3); } }\n", {1, 3}},
        {"a remap to an event of a handler another envelope took",
         "B{ OnInit{ Mark(4); } }\nA{ OnInit{ Mark(1); } OnHit : B.OnInit; }\n",
         {1, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EnvelopeTableDeleteAll();
        marks.clear();
        DOEnvelope* crate = Envelope("Crate", "A");
        Envelope("Other", "B");
        ASSERT_TRUE(CompileMission(c.text)) << LogText();
        ASSERT_NE(crate->handler, nullptr) << LogText();
        EXPECT_FALSE(LogHas("not defined")) << LogText();
        crate->FireEvent(nullptr, kOnInit);
        crate->FireEvent(nullptr, kOnHit);
        EXPECT_EQ(marks, c.marks);
    }
}

}  // namespace

TEST_F(EnvelopeHandlers, CompilingAgainWhileBoundLetsTheOldInstancesGoFirst)
{
    // A second compile frees the templates the first one made; the envelopes' old instances must
    // not outlive them (ASan sees a release of a freed template otherwise).
    DOEnvelope* envelope = Envelope("Door", "Door");
    ASSERT_TRUE(CompileMission("Door{ OnInit{ Mark(1); } }"));
    ASSERT_NE(envelope->handler, nullptr);
    ASSERT_TRUE(CompileMission("Door{ OnInit{ Mark(2); } }"));
    ASSERT_NE(envelope->handler, nullptr);
    EnvelopeResetAll();
    EXPECT_EQ(marks, (std::vector<s32_t>{2}));
    EXPECT_EQ(EventHandlerFind("Door")->references, 1u);
}
