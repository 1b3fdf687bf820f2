// The sample mission's own handlers: the supplies and the gate complete the two objectives and the
// watcher then accomplishes the mission once; the code red countdown ends on its envelope.
#include <gtest/gtest.h>

#include <string>

#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_table.h"
#include "ai/script/global_functions.h"
#include "ai/envelopes/handler_fixture.h"
#include "core/console/console.h"
#include "game/mission/code_signal.h"
#include "game/game_state.h"
#include "game/mission/objectives.h"
#include "game/view/player_view.h"
#include "gui/screens/gui.h"
#include "platform/test_clock.h"

namespace {

class SampleMissionCourse : public HandlerTest {
protected:
    void SetUp() override
    {
        HandlerTest::SetUp();
        ConStartup();
        RegisterGlobalScriptFunctions();
        m_map = GameCurrentMapName().Text();
        GameCurrentMapName().Assign("map_01");
        for (const auto& [name, handler] : {std::pair{"supplies", "hSupplyCrate"}, std::pair{"spare", "hSpareCrate"},
                                            std::pair{"mission_watch", "hMission"}, std::pair{"codered", "hCodeRed"}}) {
            auto* envelope = new DOEnvelope(name);
            envelope->handlerName.Assign(handler);
            ASSERT_GE(EnvelopeRegister(envelope), 0);
        }
        const std::string text = ReadFileBytes(ZINTAR_TEST_DATA_DIR "/../../data/sample/mission/map_01/mission.hnd");
        ASSERT_FALSE(text.empty());
        ASSERT_TRUE(CompileMission(text)) << LogText();
        EnvelopeResetAll();
    }
    void TearDown() override
    {
        EnvelopeTableDeleteAll();
        ObjectivesReset();
        GameCodeReset();
        g_gui.screenRequested = false;
        g_gui.currentScreen = nullptr;
        GameCurrentMapName().Assign(m_map.c_str());
        ConShutdown();
        HandlerTest::TearDown();
    }
    static s32_t Count(const char* text)
    {
        s32_t n = 0;
        char** lines = ConLines(0);
        for (int i = 0; lines && i < ConLineCapacity(0); ++i)
            n += lines[i] && std::string(lines[i]).find(text) != std::string::npos ? 1 : 0;
        return n;
    }
    void Frame() { EnvelopeFind("mission_watch")->FireEvent(nullptr, ENVELOPE_EVENT_ON_FRAME); }
    std::string m_map;
};

TEST_F(SampleMissionCourse, TheTwoObjectivesAccomplishTheMissionOnce)
{
    Frame();
    EXPECT_EQ(Count("acomplished"), 0);
    EnvelopeFind("supplies")->Interact();
    EXPECT_TRUE(ObjectiveGet(0));
    Frame();
    EXPECT_EQ(Count("acomplished"), 0) << "one objective is not enough";
    ObjectiveComplete(1);  // what the gate trigger does for the player
    Frame();
    Frame();
    EXPECT_EQ(Count("Mission 'map_01' succesfully acomplished!"), 1);
    EXPECT_TRUE(g_gui.screenRequested);
}

TEST_F(SampleMissionCourse, CodeRedAlertsTheOutpostAtTheEndOfItsCountdown)
{
    PlatformTestClockStart(10000);
    GameCodeCountdown(CODE_SIGNAL_RED, true);
    for (int step = 0; step < 70; ++step) {
        PlatformTestClockAdvance(100);
        GameCodeFrame();
    }
    EXPECT_EQ(Count("Code red: the outpost is alerted."), 1);
    EXPECT_EQ(g_codeCountdowns[CODE_SIGNAL_RED].active, 0u);
    PlatformTestClockStop();
}

}  // namespace
