// The sample's briefing, credits, menu and loading screens as data/sample holds them: the form's three
// campaign texts with their includes, the photo captions, the controls each screen builds, and the
// map view over the sample mission's patrol paths.
#include <gtest/gtest.h>

#include <string>

#include "core/console_var.h"
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

TEST_F(SampleBriefing, TheFormHoldsThreeStagesWithTheMapsObjectivesAndThePhotosHaveCaptions)
{
    for (const char* key : {"intro_0", "intro_1", "intro_2"}) {
        const char* text = DefScriptGetText("script\\briefing.frm", key);
        ASSERT_NE(text, nullptr) << key;
        EXPECT_NE(std::string(text).find("\\c"), std::string::npos) << key << ": a coloured heading";
    }
    const std::string first = DefScriptGetText("script\\briefing.frm", "intro_0");
    EXPECT_NE(first.find("Reach the gate of the outpost."), std::string::npos);
    EXPECT_NE(first.find("Clear the huts"), std::string::npos);
    for (const char* photo : {"photo_gate", "photo_huts"})
        EXPECT_NE(DefScriptGetText("locale\\eng\\map_01.asc", photo), nullptr) << photo;
}

TEST_F(SampleBriefing, TheScreensBuildTheirControlsAndTheMapShowsThePatrolPaths)
{
    ASSERT_NE(BuildScreens(ReadFileBytes("script/gui.scr"), "gui"), nullptr);
    auto* story = Find<GuiTextBox>("BRIEFING", "story");
    ASSERT_NE(story, nullptr);
    EXPECT_STREQ(story->FormText(), "briefing.intro");
    GuiScreen* briefing = GuiFindScreen("BRIEFING");
    bool barBound = false;
    for (u32_t i = 0; i < briefing->ControlCount(); ++i)
        if (auto* bar = dynamic_cast<GuiScrollBar*>(briefing->Control(i)))
            barBound = std::string(bar->boundName.Text()) == "story";
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
    EXPECT_EQ(map->paths[0].points[0].horizontal, -30.0f);
    EXPECT_EQ(map->paths[0].points[0].vertical, 110.0f);
}

}  // namespace
