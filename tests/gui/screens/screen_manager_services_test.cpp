// The screen manager's services around the frame: records and responses that scripts ask for, form
// texts and the rebuild (gui_refresh).
#include <gtest/gtest.h>

#include <string>

#include "ai/script/global_functions.h"
#include "ai/script/script_functions.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/frame_view.h"
#include "core/files/script_file.h"
#include "game/accounts/accounts.h"
#include "game/accounts/campaign_chronology.h"
#include "game/accounts/player_account.h"
#include "gui/screens/gui.h"
#include "gui/screens/gui_live_values.h"
#include "gui/screens/screen_manager.h"
#include "platform/test_clock.h"
#include "render/draw2d/hud_input.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace {

constexpr u32_t kStart = 200000;

class ScreenServices : public TempDirTest {
protected:
    void SetUp() override
    {
        engine_log::StartFolder();
        TempDirTest::SetUp();
        PlatformTestClockStart(kStart);
        g_gui = {};
    }
    void TearDown() override
    {
        GuiShutdown();
        g_gui = {};
        DestroyScriptCache();
        DefFileFreeAll();
        AccountsShutdown();
        ScriptFunctionTable::Clear();
        SetSinglePlayerMode(0);
        g_frameView.screenOpen = false;
        PlatformTestClockStop();
        TempDirTest::TearDown();
    }
    void WriteScript(const std::string& name, const std::string& text)
    {
        ASSERT_TRUE(WriteFileBytes(TempPath() + "/script/" + name + ".scr", text));
    }
};

// Calls the script function of that name as a script does: with its argument words, or none.
void CallScript(const char* name, ScriptArgWord* args)
{
    const ScriptFunctionEntry* entry = ScriptFunctionTable::Find(name);
    ASSERT_NE(entry, nullptr) << name;
    entry->function(args);
}

TEST_F(ScreenServices, ScriptRecordsWaitFiveSecondsWithADurationAndShowAtOnceWithoutResponsesShowAtOnce)
{
    GuiAddScreen(new GuiScreen("layer12"));
    GuiAddScreen(new GuiScreen("LAYER13"));
    RegisterGlobalScriptFunctions();
    struct Case {
        const char* what;
        const char* function;
        bool withDuration;
        s32_t duration;
        u8_t recordDue;
        u32_t recordDuration;  // armed
        GuiMessageSlot record;
        GuiMessageSlot response;
    };
    const Case cases[] = {
        {"record with a duration: armed", "Gui_AddRecord", true, 3000, 1, 3000, {}, {}},
        {"record without: shown at once", "Gui_AddRecord", false, 0, 0, 0, {1, kStart, 1500}, {}},
        {"response with a duration", "Gui_AddResponse", true, 2500, 0, 0, {}, {1, kStart, 2500}},
        {"response without", "Gui_AddResponse", false, 0, 0, 0, {}, {1, kStart, 1500}},
        {"a negative duration shows for no time", "Gui_AddResponse", true, -40, 0, 0, {}, {1, kStart, 0}},
    };
    for (const Case& c : cases) {
        g_gui.recordDue = 0;
        g_gui.recordStamp = 0;
        g_gui.recordDuration = 0;
        g_gui.recordSlot = g_gui.responseSlot = {};
        s32_t duration = c.duration;
        ScriptArgWord args[2] = {&duration, nullptr};
        CallScript(c.function, c.withDuration ? args : nullptr);
        EXPECT_EQ(g_gui.recordDue, c.recordDue) << c.what;
        EXPECT_EQ(g_gui.recordStamp, c.recordDue ? kStart : 0u) << c.what;
        EXPECT_EQ(g_gui.recordDuration, c.recordDuration) << c.what;
        EXPECT_EQ(g_gui.recordSlot.shown, c.record.shown) << c.what;
        EXPECT_EQ(g_gui.recordSlot.start, c.record.start) << c.what;
        EXPECT_EQ(g_gui.recordSlot.duration, c.record.duration) << c.what;
        EXPECT_EQ(g_gui.responseSlot.shown, c.response.shown) << c.what;
        EXPECT_EQ(g_gui.responseSlot.start, c.response.start) << c.what;
        EXPECT_EQ(g_gui.responseSlot.duration, c.response.duration) << c.what;
    }
    // Without their layers loaded nothing shows.
    GuiFreeScreens();
    g_gui.responseSlot = {};
    CallScript("Gui_AddResponse", nullptr);
    EXPECT_EQ(g_gui.responseSlot.shown, 0);
}

// A control whose text names a form, keeping what it is given.
class FormProbe : public GuiControl, public GuiFormTextTarget {
public:
    FormProbe(const char* controlName, const char* source) : m_source(source) { SetName(controlName); }
    const char* FormSource() const override { return m_source.c_str(); }
    void SetForm(const char* path, const char* key, const char* text) override
    {
        calls += 1;
        formPath = path;
        formKey = key;
        gotText = text != nullptr;
    }
    int calls = 0;
    std::string formPath;
    std::string formKey;
    bool gotText = false;

private:
    std::string m_source;
};

TEST_F(ScreenServices, ItemFormsNameTheirFileAndTheKeySuffixedByTheCampaign)
{
    auto* screen = new GuiScreen("LOADSCREEN");
    GuiAddScreen(screen);
    struct Case {
        const char* what;
        const char* screenName;
        const char* controlName;
        const char* source;
        s32_t campaign;
        const char* path;  // null: nothing given
        const char* key;
    };
    const Case cases[] = {
        {"campaign 0", "LOADSCREEN", "LOADBRIEFING", "briefing.intro", 0, "script\\briefing.frm", "intro_0"},
        {"campaign 2 reads _1", "loadscreen", "loadbriefing", "briefing.intro", 2, "script\\briefing.frm", "intro_1"},
        {"campaign 1 reads _2", "LOADSCREEN", "LOADBRIEFING", "briefing.intro", 1, "script\\briefing.frm", "intro_2"},
        {"campaign 7 reads _2", "LOADSCREEN", "LOADBRIEFING", "briefing.intro", 7, "script\\briefing.frm", "intro_2"},
        {"the file ends at the first dot", "LOADSCREEN", "LOADBRIEFING", "m.a.b", 0, "script\\m.frm", "a.b_0"},
        {"no dot: no key", "LOADSCREEN", "LOADBRIEFING", "briefing", 0, nullptr, nullptr},
        {"nothing after the dot", "LOADSCREEN", "LOADBRIEFING", "briefing.", 0, nullptr, nullptr},
        {"a screen not loaded", "NOWHERE", "LOADBRIEFING", "briefing.intro", 0, nullptr, nullptr},
        {"a control not there", "LOADSCREEN", "OTHER", "briefing.intro", 0, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        auto* probe = new FormProbe("LOADBRIEFING", c.source);
        screen->AddControl(probe);
        SetSinglePlayerMode(c.campaign);
        GuiSetItemForm(c.screenName, c.controlName);
        if (!c.path) {
            EXPECT_EQ(probe->calls, 0) << c.what;
        } else {
            EXPECT_EQ(probe->calls, 1) << c.what;
            EXPECT_EQ(probe->formPath, c.path) << c.what;
            EXPECT_EQ(probe->formKey, c.key) << c.what;
            // No markup texts are read yet: the control keeps its text.
            EXPECT_FALSE(probe->gotText) << c.what;
        }
        probe->SetName("used");  // the next case's control is found first
    }
    // A control that takes no form is left alone.
    screen->AddControl(new GuiControl());
    GuiSetItemForm("LOADSCREEN", "");
}

TEST_F(ScreenServices, RefreshRebuildsFromTheFilesKeepsTheWayBackAndIsRefusedDuringAMission)
{
    const std::string menus =
        "<MAINMENU>\n<IMG> property name logo; </IMG>\n</MAINMENU>\n"
        "<OPTIONS>\n<IMG> property name a; </IMG>\n</OPTIONS>\n"
        "<VIDEO>\n<IMG> property name b; </IMG>\n</VIDEO>\n";
    WriteScript("gui", menus);
    // With an account the history is the player's own.
    AccountsAdd(new PlayerAccount());
    ASSERT_TRUE(GuiInit(nullptr, 320, 240));
    GuiOpenScreen("OPTIONS");
    GuiOpenScreen("VIDEO");
    ASSERT_EQ(g_gui.historyDepth, 2);

    // The files changed meanwhile (a new language): the rebuild reads them again.
    WriteScript("gui", menus + "<EXTRA>\n</EXTRA>\n");
    const ConsoleVar* command = CVarListFind("gui_refresh");
    ASSERT_NE(command, nullptr);
    ASSERT_EQ(command->type, CVAR_COMMAND);
    g_gui.leftHeld = true;
    EXPECT_EQ(command->value.handler(nullptr), 0);
    EXPECT_NE(GuiFindLoadedScreen("EXTRA"), nullptr);
    ASSERT_NE(g_gui.currentScreen, nullptr);
    EXPECT_STREQ(g_gui.currentScreen->name.Text(), "MAINMENU");
    EXPECT_NE(g_gui.currentScreen->FindControl("logo"), nullptr);
    EXPECT_TRUE(g_gui.refreshed);
    EXPECT_FALSE(g_gui.leftHeld);
    EXPECT_EQ(g_gui.historyDepth, 2);
    EXPECT_EQ(g_gui.history[0], GuiFindLoadedScreen("MAINMENU"));
    EXPECT_EQ(g_gui.history[1], GuiFindLoadedScreen("OPTIONS"));
    EXPECT_NE(g_gui.history[1], nullptr);

    // "back" from the main menu goes where it went before the rebuild.
    g_gui.refreshed = false;
    GuiOpenScreen("PREVIOUS");
    g_gui.exitAction = GUI_EXIT_PREVIOUS;
    s32_t state = 0;
    EXPECT_TRUE(GuiInputStep(0, 0, WM_NULL, 0, 0, &state));
    ASSERT_NE(g_gui.currentScreen, nullptr);
    EXPECT_STREQ(g_gui.currentScreen->name.Text(), "OPTIONS");

    // A mission's screens loaded: refused, nothing freed.
    WriteScript("guigame", "<LAYER10>\n</LAYER10>\n");
    GuiLoadGameScreens();
    GuiScreen* current = g_gui.currentScreen;
    const u32_t count = GuiScreenCount();
    EXPECT_EQ(command->value.handler(nullptr), -1);
    EXPECT_EQ(g_gui.currentScreen, current);
    EXPECT_EQ(GuiScreenCount(), count);
    EXPECT_FALSE(g_gui.refreshed);
    GuiFreeGameScreens();
}

TEST_F(ScreenServices, LeavingAMissionFreesItsScreensAloneWhateverWasLoadedBefore)
{
    // A screen added outside the menu script's load (a test's, a plug-in's) stays with the menus.
    auto* before = new GuiScreen("LOADSCREEN");
    GuiAddScreen(before);
    WriteScript("guigame", "<LAYER10>\n</LAYER10>\n<layer11>\n</layer11>\n");
    GuiLoadGameScreens();
    EXPECT_EQ(GuiScreenCount(), 3u);
    EXPECT_EQ(g_hudInput.flags.markersReady, 1);
    GuiFreeGameScreens();
    ASSERT_EQ(GuiScreenCount(), 1u);
    EXPECT_EQ(GuiScreenAt(0), before);
    EXPECT_EQ(GuiFindLoadedScreen("LAYER10"), nullptr);
    EXPECT_EQ(g_hudInput.flags.markersReady, 0);
}

}  // namespace
