// Controls reach the console commands they call by name at each call: a button or list bound to a
// plug-in's own command calls it while the plug-in is loaded and does nothing once it is unloaded
// (the command went with it), instead of jumping into a library that is gone.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/plugins/plugin_host.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_button.h"
#include "gui/lists/gui_list_box.h"
#include "support/temp_dir.h"

namespace {

constexpr const char* kPluginCommand = "plgtest_cmd_a_good";

class ControlCommands : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        const std::string folder = std::string(ZINTAR_BIN_DIR) + "/../test_plugins";
        if (!std::filesystem::exists(folder + "/a_good.plg"))
            GTEST_SKIP() << "the recording test plug-in is not built";
        RegisterHostInterface(g_pluginHost);
        m_plugin = g_pluginHost.LoadPluginFile(folder.c_str(), "a_good.plg");
        ASSERT_NE(m_plugin, nullptr);
        g_gui.currentScreen = &m_screen;
    }
    void TearDown() override
    {
        g_gui.currentScreen = nullptr;
        g_pluginHost.Clear();
        TempDirTest::TearDown();
    }
    static int CommandCalls()
    {
        const std::string trace = ReadFileBytes("plugin_trace.txt");
        int calls = 0;
        for (std::size_t at = trace.find("command "); at != std::string::npos; at = trace.find("command ", at + 1))
            ++calls;
        return calls;
    }

    PluginRecord* m_plugin = nullptr;
    GuiScreen m_screen{"COMMANDS"};
};

TEST_F(ControlCommands, AButtonBoundToAPluginCommandDoesNothingAfterTheUnload)
{
    GuiButton button;
    button.command.Assign(kPluginCommand);
    button.OnClick(0, 0);
    EXPECT_EQ(CommandCalls(), 1);
    EXPECT_NE(ReadFileBytes("plugin_trace.txt").find("command -m"), std::string::npos);

    m_plugin->Unload();
    ASSERT_FALSE(m_plugin->IsLoaded());
    button.OnClick(0, 0);
    EXPECT_EQ(CommandCalls(), 1);
}

TEST_F(ControlCommands, AListBoundToAPluginCommandDoesNothingAfterTheUnload)
{
    GuiListBox list;
    list.SetSelectionCommand(kPluginCommand);
    list.AddString("first");
    list.AddString("second");
    EXPECT_EQ(CommandCalls(), 1);

    m_plugin->Unload();
    list.OnClick(0, 0);
    list.OnScrollDown();
    list.DeleteSelection();
    EXPECT_EQ(CommandCalls(), 1);
    EXPECT_EQ(list.ItemCount(), 1u);
}

}  // namespace
