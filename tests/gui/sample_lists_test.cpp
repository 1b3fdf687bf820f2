// The sample's list screens over its packed archive and its own "config.def", as a new user meets
// them: the main menu leads to the quick missions, whose list offers the sample mission and hands
// it to "dsmap" for "Start"; the language list offers the sample's one language folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "gui/screens/game_screen_lists.h"
#include "gui/controls/gui_button.h"
#include "gui/lists/gui_list_box.h"
#include "gui/screens/screen_manager.h"
#include "support/keep_var.h"
#include "tests/gui/screens/gui_draw_support.h"
#include "tools/bfs_pack/bfs_pack.h"

using namespace gui_test;

namespace {

class SampleLists : public GuiDraw {
protected:
    void SetUp() override
    {
        GuiDraw::SetUp();
        std::string error;
        const std::filesystem::path sample =
            std::filesystem::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data" / "sample";
        ASSERT_TRUE(BfsPackFolder(sample.string(), "main.bfs", error)) << error;
        ConStartup();
        ASSERT_TRUE(VFSInit());
        ASSERT_EQ(ConExecFile("config.def"), 0);
        // KeepAllVars keeps the value union only: the texts are put back by TearDown.
        m_keptMap = CVarListFind("dsmap")->String();
        m_keptLanguage = CVarListFind("language")->String();
        CVarListFind("dsmap")->SetString("named_by_the_command_line");
        CVarListFind("language")->SetString("xyz");
        GuiLoadScreens();
    }
    void TearDown() override
    {
        GuiShutdown();
        DestroyScriptCache();
        VFSShutdown();
        ConShutdown();
        CVarListFind("dsmap")->SetString(m_keptMap.c_str());
        CVarListFind("language")->SetString(m_keptLanguage.c_str());
        GuiDraw::TearDown();
    }

    KeepAllVars m_vars;
    std::string m_keptMap;
    std::string m_keptLanguage;
};

// The lists fill while the screens load; the map a "-m" start named and the language stay.
TEST_F(SampleLists, LoadingTheScreensChangesNeitherMapNorLanguage)
{
    EXPECT_STREQ(CVarListFind("dsmap")->String(), "named_by_the_command_line");
    EXPECT_STREQ(CVarListFind("language")->String(), "xyz");
}

TEST_F(SampleLists, QuickMissionsOfferTheSampleMissionToStart)
{
    GuiScreen* menu = GuiFindScreen("MAINMENU");
    ASSERT_NE(menu, nullptr);
    bool leadsThere = false;
    for (u32_t i = 0; i < menu->ControlCount(); ++i) {
        auto* button = dynamic_cast<GuiButton*>(menu->Control(i));
        leadsThere = leadsThere || (button && std::string(button->target.Text()) == "QUICKMISSIONS");
    }
    EXPECT_TRUE(leadsThere);

    GuiScreen* missions = GuiFindScreen("QUICKMISSIONS");
    ASSERT_NE(missions, nullptr);
    CVarListFind("dsmap")->SetString("");
    missions->Activate(menu);
    GuiListBox* list = GuiFindLoadedList("QUICKMISSIONS", "missions");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->ItemCount(), 1u);
    EXPECT_STREQ(list->ItemText(0), "map_01");
    EXPECT_STREQ(CVarListFind("dsmap")->String(), "map_01");
    auto* start = dynamic_cast<GuiButton*>(missions->FindControl("start"));
    ASSERT_NE(start, nullptr);
    EXPECT_STREQ(start->target.Text(), "STARTGAME");
}

// The list draws its selection over the selected row's text: the sample's selection picture tints
// the row and leaves its text about as bright as the others' (a solid cell font: every text pixel lit).
TEST_F(SampleLists, TheSelectedRowsTextStaysAsBrightAsTheOthers)
{
    GuiListBox* list = GuiFindLoadedList("QUICKMISSIONS", "missions");
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->selectionTexture, nullptr);
    list->Clear();
    list->AddItem("aaaa");
    list->AddItem("bbbb");
    list->firstVisible = 0;
    list->selectedRow = 0;
    list->font = CellFont();
    list->fontSize = 5.0f;  // scale 1 on the 160-wide display: rows of 8 pixels every 9
    list->Draw(0.0f, 0.0f, 1.0f, 1.0f);
    const render_test::Pixels pixels = Read();
    // The box starts at 48, 36; the texts are centred on x 80.
    auto brightness = [&](UINT x, UINT y) {
        const DWORD c = pixels.At(x, y);
        return static_cast<int>(((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF));
    };
    const int selectedText = brightness(80, 40);
    const int otherText = brightness(80, 49);
    EXPECT_GE(selectedText * 100, otherText * 85) << std::hex << pixels.At(80, 40) << " " << pixels.At(80, 49);
    EXPECT_NE(pixels.At(104, 40), pixels.At(104, 49)) << "the selected row is marked beside its text";
}

TEST_F(SampleLists, TheLanguageListOffersTheLanguageFoldersButTheCommonOne)
{
    GuiScreen* languages = GuiFindScreen("LANGUAGES");
    ASSERT_NE(languages, nullptr);
    languages->Activate(languages);
    GuiListBox* list = GuiFindLoadedList("LANGUAGES", "languages");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->ItemCount(), 1u);
    EXPECT_STREQ(list->ItemText(0), "eng");
    EXPECT_STREQ(CVarListFind("language")->String(), "eng");
}

}  // namespace
