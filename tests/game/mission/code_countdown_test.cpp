// Game messages on the message console and the three code countdowns, run on the test clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_table.h"
#include "ai/envelopes/handler_fixture.h"
#include "core/console/console.h"
#include "game/mission/code_signal.h"
#include "game/mission/game_messages.h"
#include "platform/test_clock.h"

namespace {

s32_t g_waiterRuns = 0;
void CountWaiter(void*)
{
    ++g_waiterRuns;
}

class CodeCountdowns : public HandlerTest {
protected:
    void SetUp() override
    {
        HandlerTest::SetUp();
        ConStartup();
        PlatformTestClockStart(50000);
        GameCodeReset();
        g_waiterRuns = 0;
    }
    void TearDown() override
    {
        GameCodeReset();
        EnvelopeTableDeleteAll();
        PlatformTestClockStop();
        ConShutdown();
        HandlerTest::TearDown();
    }
    // The message console's lines printed since the last call.
    std::vector<std::string> NewLines()
    {
        std::vector<std::string> lines;
        char** slots = ConLines(CON_MESSAGE_CONSOLE);
        for (int i = 0; slots && i < ConLineCapacity(CON_MESSAGE_CONSOLE); ++i) {
            if (slots[i]) {
                std::string line = slots[i];
                if (!line.empty() && line.back() == '\n')
                    line.pop_back();
                lines.push_back(line);
            }
        }
        std::vector<std::string> fresh(lines.begin() + static_cast<long>(std::min(m_seen, lines.size())), lines.end());
        m_seen = lines.size();
        return fresh;
    }
    // Frames every 100 ms for the given time.
    void RunFor(u32_t milliseconds)
    {
        for (u32_t t = 0; t < milliseconds; t += 100) {
            PlatformTestClockAdvance(100);
            GameCodeFrame();
        }
    }
    // The envelope "codered" with something waiting on its OnInteract.
    DOEnvelope* CodeRed()
    {
        auto* envelope = new DOEnvelope("CodeRed");
        envelope->handlerName.Assign("Code");
        EXPECT_GE(EnvelopeRegister(envelope), 0);
        EXPECT_TRUE(CompileMission("Code{ OnInteract{ Mark(1); } }\n")) << LogText();
        m_waiter.callback = CountWaiter;
        m_waiter.target = envelope;
        envelope->HandlerEvent(ENVELOPE_EVENT_ON_INTERACT)->Subscribe(&m_waiter);
        return envelope;
    }
    size_t m_seen = 0;
    ScriptEventWaiter m_waiter;
};

TEST_F(CodeCountdowns, MessagesNameTheirSender)
{
    GameShowMessage("Alpha", "radio_check");
    GameShowMessage(nullptr, "messages._gm_game_saved_x");
    EXPECT_EQ(NewLines(), (std::vector<std::string>{"Alpha: radio_check", "global: messages._gm_game_saved_x"}));
}

TEST_F(CodeCountdowns, ACodeCountsFiveToOneAndEndsASecondAfterZero)
{
    CodeRed();
    GameCodeCountdown(CODE_SIGNAL_RED, true);
    EXPECT_EQ(NewLines(), (std::vector<std::string>{"global: messages._gm_exe5_code_red"}));
    std::vector<std::string> counted;
    for (int second = 1; second <= 5; ++second) {
        RunFor(900);
        EXPECT_TRUE(NewLines().empty()) << "before second " << second;
        RunFor(100);
        const std::vector<std::string> lines = NewLines();
        counted.insert(counted.end(), lines.begin(), lines.end());
    }
    EXPECT_EQ(counted, (std::vector<std::string>{"global: messages._gm_count5", "global: messages._gm_count4",
                                                 "global: messages._gm_count3", "global: messages._gm_count2",
                                                 "global: messages._gm_count1"}));
    // The count is 0 now: a second later the envelope gets its event, without a count line.
    RunFor(900);
    EXPECT_EQ(g_waiterRuns, 0);
    EXPECT_NE(g_codeCountdowns[CODE_SIGNAL_RED].active, 0u);
    RunFor(100);
    EXPECT_EQ(g_waiterRuns, 1);
    EXPECT_EQ(NewLines(), (std::vector<std::string>{"global: messages._gm_exec_code_red"}));
    EXPECT_EQ(g_codeCountdowns[CODE_SIGNAL_RED].active, 0u);
    RunFor(3000);
    EXPECT_TRUE(NewLines().empty());
}

TEST_F(CodeCountdowns, ASecondCodeWaitsForTheFirst)
{
    CodeRed();
    GameCodeCountdown(CODE_SIGNAL_RED, true);
    NewLines();
    RunFor(2000);
    GameCodeCountdown(CODE_SIGNAL_BLUE, true);
    EXPECT_EQ(g_codeCountdowns[CODE_SIGNAL_BLUE].active, 0u);
    EXPECT_EQ(g_codeCountdowns[CODE_SIGNAL_RED].count, 3) << "the running code goes on unchanged";
    for (const std::string& line : NewLines())
        EXPECT_EQ(line.find("blue"), std::string::npos) << line;
}

TEST_F(CodeCountdowns, ACodeWithoutItsEnvelopeStillEnds)
{
    GameCodeCountdown(CODE_SIGNAL_GREEN, true);
    RunFor(6000);
    EXPECT_EQ(g_codeCountdowns[CODE_SIGNAL_GREEN].active, 0u);
    EXPECT_EQ(g_codeCountdowns[CODE_SIGNAL_GREEN].count, -1) << "no count below zero";
    RunFor(3000);
    EXPECT_EQ(g_codeCountdowns[CODE_SIGNAL_GREEN].count, -1);
    NewLines();
    GameCodeCountdown(CODE_SIGNAL_BLUE, true);
    EXPECT_NE(g_codeCountdowns[CODE_SIGNAL_BLUE].active, 0u);
    EXPECT_EQ(NewLines(), (std::vector<std::string>{"global: messages._gm_exe5_code_blue"}));
}

TEST_F(CodeCountdowns, TheNowKeyEndsAtOnce)
{
    CodeRed();
    GameCodeCountdown(CODE_SIGNAL_RED, false);
    EXPECT_EQ(g_waiterRuns, 1);
    EXPECT_EQ(NewLines(), (std::vector<std::string>{"global: messages._gm_exec_code_red"}));
    // Nothing waits any more: the event fires but the executed line is not shown again.
    GameCodeCountdown(CODE_SIGNAL_RED, false);
    EXPECT_TRUE(NewLines().empty());
}

}  // namespace
