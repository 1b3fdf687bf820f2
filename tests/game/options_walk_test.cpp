// The sample's options, plug-in and multiplayer screens walked as a player walks them, in a child
// process on the packed sample data with the particle plug-in in "plugins": from the main menu through
// the set-up screen to the display options, a display mode of the two the adapter offers chosen and applied (which writes "config.def"), the plug-in list with the
// first plug-in selected and stopped, the multiplayer screen, and back to the main menu to quit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/console/console_var.h"
#include "core/winos.h"
#include "game/commands/mission_commands.h"
#include "platform/d3d8_test_hooks.h"
#include "render/render_cvars.h"
#include "support/files.h"
#include "support/gui_driver.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace {

int WalkTheOptions()
{
    // The adapter offers two of the modes the options list shows.
    const D3DDISPLAYMODE modes[] = {{800, 600, 60, D3DFMT_X8R8G8B8}, {1024, 768, 60, D3DFMT_X8R8G8B8}};
    D3D8TestSetAdapterModes(modes, 2);
    gui_test::GuiDriver driver;
    driver.ClickWhen("MAINMENU", "setup");
    driver.ClickWhen("SETUP", "display");
    driver.ClickWhen("DISPLAY", "modes");
    driver.ClickWhen("DISPLAY", "apply");
    driver.ClickWhen("DISPLAY", "plugins");
    driver.ClickWhen("PLUGINS", "plugin_names");
    driver.ClickWhen("PLUGINS", "stoprun");
    driver.ClickWhen("PLUGINS", "return");
    driver.ClickWhen("DISPLAY", "multiplayer");
    driver.ClickWhen("MULTIPLAYER", "return");
    // "Back" leads to the screen that opened the display modes.
    driver.ClickWhen("DISPLAY", "return");
    driver.ClickWhen("SETUP", "back");
    driver.ClickWhen("MAINMENU", "quit");
    char commandLine[] = "";
    const int exitCode = WinMain(nullptr, nullptr, commandLine, SW_SHOW);
    std::string notes;
    for (const char* name : {"gs_graphmode", "gs_plgname", "gs_plgdesc", "gs_plgstate", "gs_plgloadstate"})
        notes += std::string(name) + ": " + FindCVar(name)->String() + "\n";
    notes += std::string("driver: ") + (driver.Done() ? "all steps taken" : "steps left") + driver.Error() + "\n";
    WriteFileBytes("walk.txt", notes);
    return exitCode;
}

const bool g_walkJob = RegisterChildJob("options_walk", WalkTheOptions);

TEST(OptionsWalk, AModeAppliedWritesConfigAndThePluginScreenStopsThePlugin)
{
    TempDir folder;
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    const std::string config = ReadFileBytes(ZINTAR_TEST_DATA_DIR "/../../data/sample/config.def") +
                               "riwidth = 400\nriheight = 300\nrbwindowed = true\n";
    ASSERT_TRUE(WriteFileBytes("config.def", config));
    const std::filesystem::path particles = std::filesystem::path(ZINTAR_BIN_DIR) / "plugins" / "ptk.plg";
    const bool withPlugin = std::filesystem::exists(particles);
    if (withPlugin) {
        std::filesystem::create_directories("plugins");
        std::filesystem::copy_file(particles, "plugins/ptk.plg");
    }

    const ProgramResult run = RunChildJob("options_walk", folder.Path(), {{"ALSOFT_DRIVERS", "null"}});
    ASSERT_TRUE(run.exited) << ReadFileBytes("stderr.txt");
    EXPECT_EQ(run.exitCode, 0);
    const std::string notes = ReadFileBytes("walk.txt");
    EXPECT_NE(notes.find("driver: all steps taken\n"), std::string::npos) << notes;

    // The chosen mode ("W x H Nbit") is what "apply" wrote.
    const std::string modeLine = "gs_graphmode: ";
    const std::size_t at = notes.find(modeLine);
    ASSERT_NE(at, std::string::npos);
    s32_t mode[3];
    ASSERT_GE(ParseModeText(notes.c_str() + at + modeLine.size(), mode), 2) << notes;
    const std::string written = ReadFileBytes("config.def");
    EXPECT_EQ(
        written.rfind(
            "rbwindowed true\nriwidth " + std::to_string(mode[0]) + "\nriheight " + std::to_string(mode[1]) + "\n", 0),
        0u)
        << written;
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 19);

    if (withPlugin) {
        EXPECT_NE(notes.find("gs_plgstate: Stopped\n"), std::string::npos) << notes;
        EXPECT_NE(notes.find("gs_plgloadstate: Loaded\n"), std::string::npos) << notes;
        EXPECT_EQ(notes.find("gs_plgname: \n"), std::string::npos) << notes;
    }
}

}  // namespace
