// The sample's briefing, credits, menu and loading screens as data/sample holds them: the form's three
// campaign texts with their includes, the photo captions, the controls each screen builds, and the
// map view over the sample mission's patrol paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/console_var.h"
#include "core/script_file.h"
#include "core/text_case.h"
#include "game/campaign_chronology.h"
#include "gui/gui.h"
#include "gui/gui_button.h"
#include "gui/def_script.h"
#include "gui/gui_effect.h"
#include "gui/gui_map_view.h"
#include "gui/gui_progress_bar.h"
#include "gui/gui_scroll_indicators.h"
#include "gui/gui_slide_show.h"
#include "gui/gui_text_box.h"
#include "gui/gui_video.h"
#include "tests/gui/control_script_support.h"
#include "tests/gui/gui_draw_support.h"

using namespace gui_test;

namespace {

const std::string kSample = ZINTAR_TEST_DATA_DIR "/../../data/sample/";

class SampleBriefing : public GuiDraw {
protected:
    void SetUp() override
    {
        GuiDraw::SetUp();
        for (const char* file :
             {"script/briefing.frm", "locale/eng/map_01.asc", "script/gui.scr", "script/guimedia.scr",
              "script/guiparts.scr", "mission/map_01/mission.ptl", "mission/map_01/mission.env"})
            ASSERT_TRUE(WriteFileBytes(file, ReadFileBytes(kSample + file))) << file;
        DefScriptsInit();
    }
    void TearDown() override
    {
        DestroyScriptCache();
        DefScriptsFree();
        GuiDraw::TearDown();
    }
    template <typename Control>
    static Control* Find(const char* screenName, const char* controlName)
    {
        GuiScreen* screen = GuiFindScreen(screenName);
        return screen ? dynamic_cast<Control*>(screen->FindControl(controlName)) : nullptr;
    }
};

// The form's three texts (one a campaign mode) tell the one sample mission, each with the two
// objectives the mission script lists: the same words from the map's locale texts.
TEST_F(SampleBriefing, TheFormHoldsThreeStagesWithTheMapsObjectivesAndThePhotosHaveCaptions)
{
    const char* objective0 = DefScriptGetText("locale\\eng\\map_01.asc", "objectives.obj0");
    const char* objective1 = DefScriptGetText("locale\\eng\\map_01.asc", "objectives.obj1");
    ASSERT_NE(objective0, nullptr);
    ASSERT_NE(objective1, nullptr);
    EXPECT_NE(std::string(objective0).find("the crate by the road, on your left at the start"), std::string::npos);
    for (const char* key : {"intro_0", "intro_1", "intro_2"}) {
        const char* text = DefScriptGetText("script\\briefing.frm", key);
        ASSERT_NE(text, nullptr) << key;
        EXPECT_NE(std::string(text).find("\\c"), std::string::npos) << key << ": a coloured heading";
        EXPECT_NE(std::string(text).find(objective0), std::string::npos) << key;
        EXPECT_NE(std::string(text).find(objective1), std::string::npos) << key;
    }
    for (const char* photo : {"photo_gate", "photo_huts"})
        EXPECT_NE(DefScriptGetText("locale\\eng\\map_01.asc", photo), nullptr) << photo;
}

TEST_F(SampleBriefing, TheScreensBuildTheirControlsAndTheMapShowsThePatrolPaths)
{
    ASSERT_NE(BuildScreens(ReadFileBytes("script/gui.scr"), "gui"), nullptr);
    auto* story = Find<GuiTextBox>("BRIEFING", "BRIEFING");
    ASSERT_NE(story, nullptr);
    EXPECT_STREQ(story->FormText(), "briefing.intro");
    GuiScreen* briefing = GuiFindScreen("BRIEFING");
    bool barBound = false;
    for (u32_t i = 0; i < briefing->ControlCount(); ++i)
        if (auto* bar = dynamic_cast<GuiScrollBar*>(briefing->Control(i)))
            barBound = CompareNoCase(bar->boundName.Text(), "BRIEFING") == 0;
    EXPECT_TRUE(barBound);
    auto* photos = Find<GuiSlideShow>("BRIEFING", "photos");
    ASSERT_NE(photos, nullptr);
    EXPECT_EQ(photos->type, GUI_SLIDES_MANUAL);
    EXPECT_STREQ(photos->source.Text(), "photos");
    auto* roll = Find<GuiTextBox>("CREDITS", "roll");
    ASSERT_NE(roll, nullptr);
    EXPECT_TRUE(roll->smoothScroll);
    EXPECT_NE(Find<GuiVideo>("MAINMENU", "menuvideo"), nullptr);
    auto* shine = Find<GuiEffect>("MAINMENU", "menushine");
    ASSERT_NE(shine, nullptr);
    EXPECT_STREQ(shine->boundName.Text(), "menuvideo");
    auto* bar = Find<GuiProgressBar>("LOADSCREEN", "loadbar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->variable, CVarListFind("gi_maploadprogress"));
    auto* loadBriefing = Find<GuiTextBox>("LOADSCREEN", "LOADBRIEFING");
    ASSERT_NE(loadBriefing, nullptr);
    EXPECT_STREQ(loadBriefing->SourceText(), "briefing.intro") << "the form mission init reads";

    auto* map = Find<GuiMapView>("BRIEFING", "map");
    ASSERT_NE(map, nullptr);
    ConsoleVar* dsmap = CVarListFind("dsmap");
    const std::string kept = dsmap->String();
    dsmap->SetString("map_01");
    map->RefreshData();
    dsmap->SetString(kept.c_str());
    ASSERT_EQ(map->paths.size(), 2u);
    EXPECT_EQ(map->paths[0].points.size(), 4u) << "the ring round the huts";
    EXPECT_EQ(map->paths[1].points.size(), 3u) << "the fence walk";
    EXPECT_EQ(map->paths[0].points[0].horizontal, 40.0f);
    EXPECT_EQ(map->paths[0].points[0].vertical, 100.0f);
}

// A step that clicks a control by its name finds the control meant: no two controls of a sample
// screen share a name (a background picture named like the screen's "Back" button took its clicks).
TEST_F(SampleBriefing, NoTwoControlsOfASampleScreenShareAName)
{
    ASSERT_NE(BuildScreens(ReadFileBytes("script/gui.scr"), "gui"), nullptr);
    ScriptFile* file = GetScriptFile("gui", false);
    ASSERT_NE(file, nullptr);
    for (ScriptSection* section : file->Root()->children) {
        GuiScreen* screen = GuiFindScreen(section->Name());
        ASSERT_NE(screen, nullptr) << section->Name();
        std::vector<const char*> names;
        for (u32_t i = 0; i < screen->ControlCount(); ++i) {
            const char* name = screen->Control(i)->GetName();
            if (!name || !*name)
                continue;
            EXPECT_TRUE(std::none_of(names.begin(), names.end(),
                                     [name](const char* other) { return CompareNoCase(other, name) == 0; }))
                << section->Name() << ": " << name;
            names.push_back(name);
        }
    }
}

// The briefing's text box shows the form's text of the campaign stage, whichever road leads to it.
TEST_F(SampleBriefing, BriefingOpenedFromTheMainMenuOrTheCampaignShowsTheFormsText)
{
    ConsoleVar* dsmap = CVarListFind("dsmap");
    const std::string kept = dsmap->String();
    for (const char* from : {"MAINMENU", "CAMPAIGN"}) {
        SCOPED_TRACE(from);
        ASSERT_NE(BuildScreens(ReadFileBytes("script/gui.scr"), "gui"), nullptr);
        dsmap->SetString("map_01");
        SetSinglePlayerMode(0);
        g_gui.currentScreen = GuiFindScreen(from);
        auto* button = Find<GuiButton>(from, "briefing");
        ASSERT_NE(button, nullptr);
        button->OnClick(0, 0);
        ASSERT_NE(g_gui.currentScreen, nullptr);
        EXPECT_EQ(CompareNoCase(g_gui.currentScreen->name.Text(), "BRIEFING"), 0) << g_gui.currentScreen->name.Text();
        auto* story = Find<GuiTextBox>("BRIEFING", "BRIEFING");
        ASSERT_NE(story, nullptr);
        story->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        ASSERT_NE(story->DisplayText(), nullptr);
        const std::string shown = story->DisplayText();
        EXPECT_NE(shown.find("Outpost at the crossing"), std::string::npos) << shown;
        EXPECT_EQ(shown.find("briefing.intro"), std::string::npos) << shown;
        g_gui.currentScreen = nullptr;
        GuiFreeScreens();
        DestroyScriptCache();
    }
    dsmap->SetString(kept.c_str());
}

}  // namespace
