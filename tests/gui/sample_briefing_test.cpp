// The sample's briefing, credits, menu and loading screens as data/sample holds them: the form's three
// campaign texts with their includes, the photo captions, the controls each screen builds, and the
// briefing map's landmarks: their names apart and each point on its place in the land picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/console/console_var.h"
#include "core/files/script_file.h"
#include "core/strings/text_case.h"
#include "game/accounts/campaign_chronology.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_button.h"
#include "gui/texts/def_script.h"
#include "gui/texts/fonts.h"
#include "gui/controls/gui_effect.h"
#include "gui/media/gui_map_view.h"
#include "gui/controls/gui_progress_bar.h"
#include "gui/screens/gui_scale.h"
#include "gui/controls/gui_scroll_indicators.h"
#include "gui/media/gui_slide_show.h"
#include "gui/controls/gui_text_box.h"
#include "gui/media/gui_video.h"
#include "tests/gui/screen_scripts/control_script_support.h"
#include "tests/gui/screens/gui_draw_support.h"

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
    ASSERT_EQ(map->paths.size(), 4u);
    EXPECT_EQ(map->paths[0].points.size(), 2u) << "the way from the start to the gate";
    for (std::size_t i = 1; i < 4; ++i)
        EXPECT_EQ(map->paths[i].points.size(), 1u) << "a landmark";
}

// The briefing map's landmarks, read as the map view reads them: its paths of the sample mission and
// the default font at its label size.
class SampleBriefingMap : public SampleBriefing {
protected:
    void SetUp() override
    {
        SampleBriefing::SetUp();
        ASSERT_TRUE(WriteFileBytes("script/font.scr", ReadFileBytes(kSample + "script/font.scr")));
        FontsLoad();
        ASSERT_NE(FontDefault(), nullptr);
        ASSERT_NE(BuildScreens(ReadFileBytes("script/gui.scr"), "gui"), nullptr);
        m_view = Find<GuiMapView>("BRIEFING", "map");
        ASSERT_NE(m_view, nullptr);
        ConsoleVar* dsmap = CVarListFind("dsmap");
        const std::string kept = dsmap->String();
        dsmap->SetString("map_01");
        m_view->RefreshData();
        dsmap->SetString(kept.c_str());
    }
    void TearDown() override
    {
        FontsFree();
        SampleBriefing::TearDown();
    }

    GuiMapView* m_view = nullptr;
};

struct LabelBox {
    std::string name;
    float left, top, right, bottom;
};

// Each point's name where the map view draws it: centred on the point, the glyphs' top at it.
std::vector<LabelBox> LabelBoxes(const GuiMapView& view)
{
    const Font* font = FontDefault();
    const float scale = GuiScaleToScreen(view.labelSize);
    std::vector<LabelBox> boxes;
    for (const GuiMapPath& path : view.paths)
        for (std::size_t i = 0; i < path.points.size(); ++i) {
            float x = 0.0f, y = 0.0f;
            view.Place(path.points[i], &x, &y);
            const char* name = path.pointNames[i].Text();
            const float width = static_cast<float>(font->GetTextWidth(name)) * scale;
            boxes.push_back(
                {name, x - width / 2.0f, y, x + width / 2.0f, y + static_cast<float>(font->GetCharHeight()) * scale});
        }
    return boxes;
}

// The names of the briefing map's points stand apart, each whole within the view, at the whole map
// and after a wheel step in (the sample's points once lay within a few pixels, their names one smear).
TEST_F(SampleBriefingMap, TheLabelsStandApartWithinTheViewAtTheWholeMapAndAfterAWheelStep)
{
    for (int steps = 0; steps < 2; ++steps) {
        SCOPED_TRACE("wheel steps in: " + std::to_string(steps));
        if (steps > 0)
            m_view->OnScrollUp();
        m_view->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        RECT rect = {};
        m_view->GetRect(&rect);
        const std::vector<LabelBox> boxes = LabelBoxes(*m_view);
        ASSERT_GE(boxes.size(), 2u);
        for (const LabelBox& box : boxes) {
            EXPECT_GE(box.left, static_cast<float>(rect.left)) << box.name;
            EXPECT_LE(box.right, static_cast<float>(rect.right)) << box.name;
            EXPECT_GE(box.top, static_cast<float>(rect.top)) << box.name;
            EXPECT_LE(box.bottom, static_cast<float>(rect.bottom)) << box.name;
        }
        for (std::size_t a = 0; a < boxes.size(); ++a)
            for (std::size_t b = a + 1; b < boxes.size(); ++b) {
                const LabelBox &one = boxes[a], &other = boxes[b];
                const bool apart = one.right <= other.left || other.right <= one.left || one.bottom <= other.top ||
                                   other.bottom <= one.top;
                EXPECT_TRUE(apart) << one.name << " and " << other.name;
            }
    }
}

// Each point lies on its landmark in the land picture the view shows: the map spans GUI_MAP_SPAN
// units over the picture, centred on its middle, larger vertical positions higher.
TEST_F(SampleBriefingMap, EachPointLiesOnItsLandmarkInTheLandPicture)
{
    const std::string picture = ReadFileBytes(kSample + "component/gui/briefing/map_01_land.tga");
    ASSERT_EQ(picture.size(), 18u + 256u * 256u * 4u);
    ASSERT_EQ(static_cast<u8_t>(picture[16]), 32u);
    ASSERT_NE(static_cast<u8_t>(picture[17]) & 0x20u, 0u) << "stored from the top row";
    struct Texel {
        int r, g, b;
    };
    auto at = [&picture](int column, int row) {
        const std::size_t i = 18u + (static_cast<std::size_t>(row) * 256u + static_cast<std::size_t>(column)) * 4u;
        return Texel{static_cast<u8_t>(picture[i + 2]), static_cast<u8_t>(picture[i + 1]),
                     static_cast<u8_t>(picture[i])};
    };
    auto water = [](Texel t) { return t.b > t.g && t.b > t.r; };
    auto highGround = [&water](Texel t) { return !water(t) && t.r > t.g; };
    auto colour = [](int r, int g, int b) { return [r, g, b](Texel t) { return t.r == r && t.g == g && t.b == b; }; };
    const auto crate = colour(154, 106, 58), hut = colour(92, 64, 40), fence = colour(200, 184, 144);
    // Whether a texel of the kind lies within the columns [from, to] of the point's row and the rows
    // next to it.
    auto near = [&at](int column, int row, int from, int to, auto kind) {
        for (int r = row - 1; r <= row + 1; ++r)
            for (int c = column + from; c <= column + to; ++c)
                if (c >= 0 && c < 256 && r >= 0 && r < 256 && kind(at(c, r)))
                    return true;
        return false;
    };
    std::vector<std::string> seen;
    for (const GuiMapPath& path : m_view->paths)
        for (std::size_t i = 0; i < path.points.size(); ++i) {
            const std::string name = path.pointNames[i].Text();
            SCOPED_TRACE(name);
            seen.push_back(name);
            const int column = static_cast<int>((0.5f + path.points[i].horizontal / GUI_MAP_SPAN) * 256.0f);
            const int row = static_cast<int>((0.5f - path.points[i].vertical / GUI_MAP_SPAN) * 256.0f);
            ASSERT_TRUE(column >= 0 && column < 256 && row >= 0 && row < 256);
            if (name == "Start") {
                EXPECT_TRUE(near(column, row, -12, 0, crate)) << "the supplies on the left";
            } else if (name == "Gateway") {
                EXPECT_TRUE(near(column, row, -20, -6, fence) && near(column, row, 6, 20, fence));
                EXPECT_FALSE(near(column, row, -5, 5, fence)) << "the gap in the fence";
            } else if (name == "Outpost") {
                EXPECT_TRUE(near(column, row, -40, -10, hut)) << "a hut on the left";
            } else if (name == "Lake") {
                EXPECT_TRUE(water(at(column, row)));
            } else if (name == "Hills") {
                EXPECT_TRUE(highGround(at(column, row)));
            } else {
                ADD_FAILURE() << "a point the test does not know";
            }
        }
    EXPECT_EQ(seen.size(), 5u);
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
