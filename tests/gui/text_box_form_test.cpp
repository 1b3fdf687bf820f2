// Text boxes filled from forms: the box's text names the form ("file.key"), the campaign stage picks
// the key's suffix, and what the form holds replaces the box's text; the sample's loading screen
// gets the mission briefing this way.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "core/console/console_var.h"
#include "game/accounts/campaign_chronology.h"
#include "gui/texts/def_script.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_text_box.h"
#include "gui/screens/screen_manager.h"
#include "tests/gui/screen_scripts/control_script_support.h"
#include "tests/gui/screens/gui_draw_support.h"

using namespace gui_test;

namespace {

const std::string kSample = ZINTAR_TEST_DATA_DIR "/../../data/sample/";

class TextBoxForms : public GuiDraw {
protected:
    void SetUp() override
    {
        GuiDraw::SetUp();
        // Parsed files of another test's folder must not answer for this one's.
        DefScriptsFree();
        DefScriptsInit();
    }
    void TearDown() override
    {
        SetSinglePlayerMode(0);
        DefScriptsFree();
        DestroyScriptCache();
        GuiDraw::TearDown();
    }
    static GuiTextBox* Find(const char* screenName, const char* controlName)
    {
        GuiScreen* screen = GuiFindLoadedScreen(screenName);
        return screen ? dynamic_cast<GuiTextBox*>(screen->FindControl(controlName)) : nullptr;
    }
};

TEST_F(TextBoxForms, TheCampaignStagePicksTheFormsTextAndAMissingKeyKeepsTheBoxsText)
{
    ASSERT_TRUE(WriteFileBytes("script/orders.frm",
                               "<start_0>\nFirst orders.\n</start_0>\n"
                               "<start_1>\nSecond orders.\n</start_1>\n"
                               "<start_2>\nLast orders.\n</start_2>\n"
                               "<lone_0>\nOnly the first.\n</lone_0>\n"));
    ASSERT_NE(BuildScreens("<WAIT>\n"
                           "<TEXTBOX> property name orders; property text orders.start; </TEXTBOX>\n"
                           "<TEXTBOX> property name lone; property text orders.lone; </TEXTBOX>\n"
                           "<TEXTBOX> property name plain; property text plain; </TEXTBOX>\n"
                           "</WAIT>\n",
                           "gui"),
              nullptr);
    struct Case {
        const char* control;
        const char* source;  // as the screen script gave it
        s32_t campaign;
        const char* text;  // the box's text afterwards
    };
    const Case cases[] = {
        {"orders", "orders.start", 0, "First orders."},
        {"orders", "orders.start", 2, "Second orders."},
        {"orders", "orders.start", 1, "Last orders."},
        {"orders", "orders.start", 5, "Last orders."},
        // The form has no "lone_2": the box keeps the text that names the form.
        {"lone", "orders.lone", 1, "orders.lone"},
        {"lone", "orders.lone", 0, "Only the first."},
        // A text without a dot names no form.
        {"plain", "plain", 0, "plain"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " in campaign " + std::to_string(c.campaign));
        GuiTextBox* box = Find("WAIT", c.control);
        ASSERT_NE(box, nullptr);
        // A filled box no longer names its form: each case starts from the script's text.
        box->SetSourceText(c.source);
        SetSinglePlayerMode(c.campaign);
        GuiSetItemForm("wait", c.control);
        ASSERT_NE(box->SourceText(), nullptr);
        EXPECT_EQ(std::string(box->SourceText()).find(c.text), 0u) << box->SourceText();
    }
}

TEST_F(TextBoxForms, TheSampleLoadingScreenShowsTheBriefingOfTheFirstStage)
{
    for (const char* file : {"script/briefing.frm", "locale/eng/map_01.asc", "script/gui.scr", "script/guimedia.scr",
                             "script/guiparts.scr"})
        ASSERT_TRUE(WriteFileBytes(file, ReadFileBytes(kSample + file))) << file;
    ASSERT_NE(BuildScreens(ReadFileBytes("script/gui.scr"), "gui"), nullptr);
    GuiTextBox* box = Find("LOADSCREEN", "LOADBRIEFING");
    ASSERT_NE(box, nullptr);
    // Whatever the campaign's mode (a new soldier's first play included), the one sample mission's text.
    for (const s32_t mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        SetSinglePlayerMode(mode);
        GuiSetItemForm("LOADSCREEN", "LOADBRIEFING");
        ASSERT_NE(box->SourceText(), nullptr);
        const std::string text = box->SourceText();
        EXPECT_NE(text.find("Outpost at the crossing"), std::string::npos) << text;
        // The objectives come in from the map's locale texts.
        EXPECT_NE(text.find("Take the supplies: the crate by the road, on your left at the start"), std::string::npos)
            << text;
        EXPECT_NE(text.find("Then reach the outpost's gate."), std::string::npos) << text;
        for (const char* other : {"The outpost again", "Last stand", "Clear the huts"})
            EXPECT_EQ(text.find(other), std::string::npos) << "another stage's text: " << text;
    }
}

TEST_F(TextBoxForms, TheSampleCaptionLayerNamesTheMissionFromTheMapsTexts)
{
    for (const char* file : {"script/layers.frm", "locale/eng/map_01.asc", "script/guigame.scr"})
        ASSERT_TRUE(WriteFileBytes(file, ReadFileBytes(kSample + file))) << file;
    ASSERT_NE(BuildScreens(ReadFileBytes("script/guigame.scr"), "guigame"), nullptr);
    ConsoleVar* map = CVarListFind("dsmap");
    ASSERT_NE(map, nullptr);
    const std::string kept = map->String();
    map->SetString("map_01");
    SetSinglePlayerMode(2);
    GuiSetItemForm("layer11", "missionmsg");
    map->SetString(kept.c_str());
    GuiTextBox* caption = Find("layer11", "missionmsg");
    ASSERT_NE(caption, nullptr);
    ASSERT_NE(caption->SourceText(), nullptr);
    EXPECT_STREQ(caption->SourceText(), "Outpost at the crossing");
    for (const auto& [screen, control] : {std::pair{"layer12", "accomplishmsg"}, std::pair{"layer13", "response"}}) {
        GuiSetItemForm(screen, control);
        GuiTextBox* box = Find(screen, control);
        ASSERT_NE(box, nullptr) << control;
        ASSERT_NE(box->SourceText(), nullptr) << control;
        EXPECT_EQ(std::string(box->SourceText()).find("layers."), std::string::npos) << control << " got no form text";
    }
}

}  // namespace
