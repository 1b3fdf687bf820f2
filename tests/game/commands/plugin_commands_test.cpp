// The plug-in list screen's commands over a loaded plug-in: the information variables, stop and run,
// unload and reload, and a name that matches no plug-in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/plugins/plugin_host.h"
#include "game/commands/game_mod_registry.h"
#include "support/keep_var.h"

namespace {

constexpr const char* kInfoVariables[] = {"gs_plgdesc", "gs_plgauthor", "gs_plgcompany",
                                          "gs_plgver",  "gs_plgstate",  "gs_plgloadstate"};

class PluginCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ConStartup();
        RegisterHostInterface(g_pluginHost);
        m_record = g_pluginHost.LoadPluginFile(ZINTAR_TEST_PLUGIN_DIR, "game_mode_test.plg");
        ASSERT_NE(m_record, nullptr);
        for (const char* name : kInfoVariables)
            ASSERT_NE(FindCVar(name), nullptr) << name;
    }
    void TearDown() override
    {
        FindCVar("gs_plgname")->SetString("");
        for (const char* name : kInfoVariables)
            FindCVar(name)->SetString("");
        GameModRegistryFree();
        g_pluginHost.Clear();
        ConShutdown();
    }
    static s32_t Run(const char* command) { return FindCVar(command)->value.handler(nullptr); }
    static std::vector<std::string> Info()
    {
        std::vector<std::string> values;
        for (const char* name : kInfoVariables)
            values.emplace_back(FindCVar(name)->String());
        return values;
    }
    PluginRecord* m_record = nullptr;
};

TEST_F(PluginCommands, ANameOfNoLoadedPluginChangesNoVariable)
{
    for (const char* name : kInfoVariables)
        FindCVar(name)->SetString("before");
    FindCVar("gs_plgname")->SetString("Game mode test");  // only the start of the name
    for (const char* command : {"gx_fillplginfo", "gx_plgstoprun", "gx_plgunloadreload"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(Run(command), 0);
        EXPECT_EQ(Info(), std::vector<std::string>(std::size(kInfoVariables), "before"));
    }
    EXPECT_TRUE(m_record->IsLoaded());
    EXPECT_FALSE(m_record->IsStopped());
}

TEST_F(PluginCommands, FillStopRunAndUnloadReloadShowThePluginsState)
{
    FindCVar("gs_plgname")->SetString("GAME MODE TEST PLUGIN");
    EXPECT_EQ(Run("gx_fillplginfo"), 0);
    EXPECT_EQ(Info(), (std::vector<std::string>{"Two modes for the tests", "zintar tests", "zintar", "0,1", "Running",
                                                "Loaded"}));
    EXPECT_STREQ(FindCVar("gs_plgname")->String(), "GAME MODE TEST PLUGIN") << "the name is not rewritten";

    Run("gx_plgstoprun");
    EXPECT_STREQ(FindCVar("gs_plgstate")->String(), "Stopped");
    EXPECT_TRUE(m_record->IsStopped());
    Run("gx_plgstoprun");
    EXPECT_STREQ(FindCVar("gs_plgstate")->String(), "Running");
    EXPECT_FALSE(m_record->IsStopped());

    ASSERT_NE(FindCVar("respawn"), nullptr) << "the plug-in's own command";
    Run("gx_plgunloadreload");
    EXPECT_FALSE(m_record->IsLoaded());
    EXPECT_STREQ(FindCVar("gs_plgloadstate")->String(), "Unloaded");
    EXPECT_STREQ(FindCVar("gs_plgstate")->String(), "Stopped");
    EXPECT_EQ(FindCVar("respawn"), nullptr) << "no command may call into a library that is gone";

    Run("gx_plgunloadreload");
    EXPECT_TRUE(m_record->IsLoaded());
    EXPECT_STREQ(FindCVar("gs_plgloadstate")->String(), "Loaded");
    EXPECT_STREQ(FindCVar("gs_plgstate")->String(), "Running");
    EXPECT_NE(FindCVar("respawn"), nullptr);
}

}  // namespace
