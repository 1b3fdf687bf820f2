// The sample mission's objectives screen over the packed sample data: the mission's handlers list
// the two objectives with the map's own texts when the mission starts, and again, not twice, when it
// is restarted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_table.h"
#include "ai/script/global_functions.h"
#include "ai/envelopes/handler_fixture.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "game/mission/objectives.h"
#include "gui/texts/def_script.h"
#include "gui/screens/game_screen_lists.h"
#include "gui/screens/gui.h"
#include "gui/lists/gui_list_box.h"
#include "gui/screens/screen_manager.h"
#include "support/files.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace {

class SampleObjectives : public HandlerTest {
protected:
    void SetUp() override
    {
        HandlerTest::SetUp();
        std::string error;
        ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
        ConStartup();
        ASSERT_TRUE(VFSInit());
        RegisterGlobalScriptFunctions();
        m_keptMap = CVarListFind("dsmap")->String();
        m_keptLanguage = CVarListFind("language")->String();
        CVarListFind("dsmap")->SetString("map_01");
        CVarListFind("language")->SetString("eng");
        DefScriptsInit();  // the markup texts the GUI's start-up makes ready
        GuiLoadGameScreens();
        auto* envelope = new DOEnvelope("mission_watch");
        envelope->handlerName.Assign("hMission");
        ASSERT_GE(EnvelopeRegister(envelope), 0);
        const std::string text = ReadFileBytes(ZINTAR_TEST_DATA_DIR "/../../data/sample/mission/map_01/mission.hnd");
        ASSERT_FALSE(text.empty());
        ASSERT_TRUE(CompileMission(text)) << LogText();
    }
    void TearDown() override
    {
        EnvelopeTableDeleteAll();
        ObjectivesReset();
        GuiShutdown();
        DestroyScriptCache();
        VFSShutdown();
        ConShutdown();
        CVarListFind("dsmap")->SetString(m_keptMap.c_str());
        CVarListFind("language")->SetString(m_keptLanguage.c_str());
        HandlerTest::TearDown();
    }
    static std::vector<std::string> Rows(const GuiListBox& list)
    {
        std::vector<std::string> rows;
        for (u32_t i = 0; i < list.ItemCount(); ++i)
            rows.emplace_back(list.ItemText(i));
        return rows;
    }

    std::string m_keptMap;
    std::string m_keptLanguage;
};

TEST_F(SampleObjectives, TheStartAndEveryRestartListTheTwoObjectivesWithTheMapsTexts)
{
    GuiListBox* list = GuiFindLoadedList("OBJECTIVES", "objectives");
    ASSERT_NE(list, nullptr) << "the objectives screen holds the list the mission names";
    EXPECT_EQ(list->ItemCount(), 0u);
    const std::vector<std::string> expected = {
        "Take the supplies: the crate by the road, on your left at the start (hold the use key and click on "
        "it).",
        "Then reach the outpost's gate."};
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        EnvelopeResetAll();  // the mission start's, then the restart's
        EXPECT_EQ(Rows(*list), expected);
        ASSERT_EQ(list->ItemColourCount(), 2u);
        EXPECT_EQ(list->ItemColour(0), list->textColour);
        EXPECT_EQ(list->ItemColour(1), list->textColour);
    }
}

}  // namespace
