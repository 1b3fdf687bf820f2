// The sample's menus driven as a new user drives them, over its packed archive and "config.def":
// "Missions" on the main menu, the sample mission clicked in the list, "Start": the menu closes to
// start the mission that "dsmap" names.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/input/input.h"
#include "core/files/vfs.h"
#include "gui/screens/gui.h"
#include "support/gui_driver.h"
#include "support/gui_fixture.h"
#include "support/keep_var.h"
#include "tools/bfs_pack/bfs_pack.h"

using namespace gui_test;

namespace {

class SampleQuickMissions : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        std::string error;
        const std::filesystem::path sample =
            std::filesystem::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data" / "sample";
        ASSERT_TRUE(BfsPackFolder(sample.string(), "main.bfs", error)) << error;
        ConStartup();
        ASSERT_TRUE(VFSInit());
        ASSERT_EQ(ConExecFile("config.def"), 0);
        ASSERT_TRUE(GuiInit(Window(), kScreenWidth, kScreenHeight));
    }
    void TearDown() override
    {
        GuiShutdown();
        g_input = InputState();
        VFSShutdown();
        DefFileFreeAll();
        ConShutdown();
        GuiTest::TearDown();
    }
    // One pass of the menu loop: at most one window message, then a GUI frame with it.
    bool Pass()
    {
        MSG message = {};
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            InputWindowMessage(message.hwnd, message.message, message.wParam, message.lParam);
        } else {
            message.pt = m_lastPoint;
        }
        m_lastPoint = message.pt;
        InputUpdate();
        return GuiFrame(message.pt.x, message.pt.y, message.message, message.lParam, message.wParam, &m_state);
    }

    KeepAllVars m_vars;
    s32_t m_state = 0;
    POINT m_lastPoint = {};
};

TEST_F(SampleQuickMissions, MissionsListAndStartCloseTheMenuOnTheSampleMission)
{
    CVarListFind("dsmap")->SetString("");
    GuiDriver driver;
    driver.ClickWhen("MAINMENU", "missions");
    driver.ClickWhen("QUICKMISSIONS", "missions");
    driver.ClickWhen("QUICKMISSIONS", "start");
    bool open = true;
    // A frame limit in place of a time limit: each step needs a handful of passes.
    for (int pass = 0; pass < 300 && open; ++pass)
        open = Pass();
    EXPECT_EQ(driver.Error(), "");
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(open) << "the menu stays open";
    EXPECT_EQ(m_state, 0) << "a start leaves the state word alone";
    EXPECT_STREQ(CVarListFind("dsmap")->String(), "map_01");
}

}  // namespace
