// The use key's interaction with an envelope and the "ReportStatus" radio line: both read what waits
// on the OnInteract event of a handler compiled from "mission.hnd".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ai/envelopes/envelope.h"
#include "gui/screens/gui.h"
#include "handler_fixture.h"
#include "map/meshes/map_object.h"
#include "support/subtitle_layer.h"

namespace {

s32_t g_waiterRuns = 0;
void CountWaiter(void*)
{
    ++g_waiterRuns;
}

class EnvelopeInteract : public HandlerTest {
protected:
    // Radio subtitles show only with their layer loaded.
    const SubtitleLayerScope m_subtitleLayer;

    void SetUp() override
    {
        HandlerTest::SetUp();
        g_waiterRuns = 0;
        m_radio.name.Assign("radio");
    }
    void TearDown() override
    {
        // The envelopes let go of their instances before the templates go.
        EnvelopeTableDeleteAll();
        m_radio.envelope = nullptr;
        g_gui.subtitleSpeaker.Assign("");
        g_gui.subtitleKey.Assign("");
        HandlerTest::TearDown();
    }
    DOEnvelope* Envelope(const char* name, const char* handlerName)
    {
        auto* envelope = new DOEnvelope(name);
        envelope->handlerName.Assign(handlerName);
        EXPECT_GE(EnvelopeRegister(envelope), 0);
        return envelope;
    }
    MapObject m_radio;
};

TEST_F(EnvelopeInteract, TheUseKeyRunsWhatWaitsOnOnInteractOnce)
{
    DOEnvelope* code = Envelope("CodeGreen", "Code");
    DOEnvelope* door = Envelope("Door", "Code");  // its own instance: an event not fired yet
    DOEnvelope* plain = Envelope("Plain", "");
    DOEnvelope* silent = Envelope("Silent", "Quiet");
    ASSERT_TRUE(CompileMission("Code{ OnInteract{ Mark(8); } }\nQuiet{ OnHit{ } }\n")) << LogText();
    EXPECT_FALSE(plain->Interact()) << "no handler";
    EXPECT_FALSE(silent->Interact()) << "no OnInteract";

    EXPECT_FALSE(code->Interact()) << "nothing waits, though the event fires";
    EXPECT_EQ(marks, (std::vector<s32_t>{8}));

    ScriptEventWaiter waiter;
    waiter.callback = CountWaiter;
    waiter.target = plain;
    door->HandlerEvent(ENVELOPE_EVENT_ON_INTERACT)->Subscribe(&waiter);
    marks.clear();
    EXPECT_TRUE(door->Interact());
    EXPECT_EQ(marks, (std::vector<s32_t>{8}));
    EXPECT_EQ(g_waiterRuns, 1);
    EXPECT_EQ(door->HandlerEvent(ENVELOPE_EVENT_ON_INTERACT)->WaiterCount(), 0);
    EXPECT_FALSE(door->Interact()) << "the queue was emptied";
    EXPECT_EQ(g_waiterRuns, 1);
}

TEST_F(EnvelopeInteract, ReportStatusIsReadyWhenACodeEnvelopeWaitsForThisOne)
{
    DOEnvelope* alpha = Envelope("Alpha", "");
    alpha->Attach(&m_radio);
    DOEnvelope* red = Envelope("codered", "Code");  // found without regard to case
    Envelope("CodeBlue", "Code");
    ASSERT_TRUE(CompileMission("Code{ OnInteract{ } }\n")) << LogText();
    alpha->ReportStatus(nullptr);
    EXPECT_STREQ(g_gui.subtitleKey.Text(), "messages._gm_status_noready");
    EXPECT_STREQ(g_gui.subtitleSpeaker.Text(), "radio");

    ScriptEventWaiter other;
    other.callback = CountWaiter;
    other.target = red;
    red->HandlerEvent(ENVELOPE_EVENT_ON_INTERACT)->Subscribe(&other);
    alpha->ReportStatus(nullptr);
    EXPECT_STREQ(g_gui.subtitleKey.Text(), "messages._gm_status_noready") << "a waiter of another envelope";

    ScriptEventWaiter mine;
    mine.callback = CountWaiter;
    mine.target = alpha;
    red->HandlerEvent(ENVELOPE_EVENT_ON_INTERACT)->Subscribe(&mine);
    alpha->ReportStatus(nullptr);
    EXPECT_STREQ(g_gui.subtitleKey.Text(), "messages._gm_status_ready");
    EXPECT_EQ(g_waiterRuns, 0);
}

}  // namespace
