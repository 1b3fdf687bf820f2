// The named sources that fill list boxes, over fresh working folders and archives: which entries of
// a folder each lists ("." and ".." never), the quick missions, the missions of the current game
// mode from disk and from an archive, the plug-ins asked for servers, and folders holding more names
// than the search keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/plugins/plugin_host.h"
#include "core/files/vfs.h"
#include "game/game_state.h"
#include "game/commands/game_mod_registry.h"
#include "gui/screens/gui.h"
#include "gui/lists/gui_list_box.h"
#include "gui/lists/list_sources.h"
#include "support/vfs_fixture.h"

namespace {

ConsoleVar g_sourceChoice("gui_test_source_choice", CVAR_STRING, "");

class ListSources : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        m_quickMissions = g_game.accounts.quickMissions;
        m_allMissions = CVarListFind("gballmissions")->Bool();
        m_mode = ModeVar();
        m_modeText = m_mode->String();
        g_sourceChoice.SetString("");
    }
    void TearDown() override
    {
        g_game.accounts.quickMissions = m_quickMissions;
        CVarListFind("gballmissions")->SetBool(m_allMissions);
        m_mode->SetString(m_modeText.c_str());
        DefFileFreeAll();
        VfsTest::TearDown();
    }

    // The game mode variable, made here while no part of the program registers it.
    ConsoleVar* ModeVar()
    {
        if (ConsoleVar* var = CVarListFind("gs_curmod"))
            return var;
        static ConsoleVar own("gs_curmod", CVAR_STRING, "");
        return &own;
    }

    static std::unique_ptr<GuiListBox> Refreshed(const char* source, ConsoleVar* bound = &g_sourceChoice)
    {
        auto list = std::make_unique<GuiListBox>();
        list->boundVar = bound;
        list->SetSource(source);
        list->RefreshData();
        return list;
    }
    static std::vector<std::string> Items(const GuiListBox& list, bool sorted = true)
    {
        std::vector<std::string> items;
        for (u32_t i = 0; i < list.ItemCount(); ++i)
            items.emplace_back(list.ItemText(i));
        if (sorted)
            std::sort(items.begin(), items.end());
        return items;
    }
    static void Write(const std::string& path, const std::string& bytes = "x")
    {
        ASSERT_TRUE(WriteFileBytes(path, bytes));
    }

    ConsoleVar* m_mode = nullptr;

private:
    std::vector<EngineString> m_quickMissions;
    bool m_allMissions = false;
    std::string m_modeText;
};

TEST_F(ListSources, PicturesAreTheDdsAndJpgFilesButTheDefault)
{
    for (const char* name : {"a.DDS", "b.dds", "default.dds", "c.jpg", "d.png"})
        Write(std::string("component/gui/player_picture/") + name);
    auto list = Refreshed("FILES_LIST");
    EXPECT_EQ(Items(*list), (std::vector<std::string>{"b.dds", "c.jpg"}));
    EXPECT_STREQ(list->folderPath.Text(), GUI_PLAYER_PICTURE_FOLDER);

    // Bound to the account's picture, the choice carries the folder.
    ConsoleVar* picture = CVarListFind("as_curimage");
    ASSERT_NE(picture, nullptr);
    const std::string kept = picture->String();
    picture->SetString("");
    auto pictures = Refreshed("files_list", picture);
    EXPECT_EQ(std::string(picture->String()), std::string(GUI_PLAYER_PICTURE_FOLDER) + pictures->SelectedText());
    picture->SetString(kept.c_str());
}

// A right click on a picture that went missing takes the list back to the top, reloaded.
TEST_F(ListSources, ARightClickOnAMissingPictureReloadsThePictures)
{
    Write("component/gui/player_picture/b.dds");
    Write("component/gui/player_picture/c.dds");
    auto list = Refreshed("files_list");
    ASSERT_EQ(list->ItemCount(), 2u);
    list->selectedRow = 1;
    const std::string chosen = list->ItemText(1);
    const std::string other = list->ItemText(0);
    list->OnRightClick(0, 0);
    EXPECT_EQ(list->SelectedItem(), 1) << "a picture that opens changes nothing";

    std::filesystem::remove("component/gui/player_picture/" + chosen);
    list->OnRightClick(0, 0);
    ASSERT_EQ(list->ItemCount(), 1u);
    EXPECT_EQ(list->SelectedItem(), 0);
    EXPECT_EQ(g_sourceChoice.String(), other);
}

TEST_F(ListSources, LanguagesAreTheLocaleFoldersButTheCommonOne)
{
    for (const char* folder : {"_common", "_COMMON2", "eng", "ger"})
        Write(std::string("locale/") + folder + "/texts.asc");
    EXPECT_EQ(Items(*Refreshed("language_list")), (std::vector<std::string>{"_COMMON2", "eng", "ger"}));
}

TEST_F(ListSources, QuickMissionsStartWithTheTutorialUnlessAllMissionsAreOffered)
{
    CVarListFind("gballmissions")->SetBool(false);
    g_game.accounts.quickMissions = {EngineString("q1"), EngineString("q2")};
    auto list = Refreshed("quick_mission_list");
    EXPECT_EQ(Items(*list, false), (std::vector<std::string>{"TUTORIAL", "q1", "q2"}));
    EXPECT_EQ(list->SelectedItem(), 0);
    EXPECT_STREQ(g_sourceChoice.String(), "TUTORIAL");

    // Once the list has a selection, a variable naming another item moves the bar there.
    g_sourceChoice.SetString("Q2");
    list->RefreshData();
    EXPECT_EQ(list->SelectedItem(), 2);
    EXPECT_STREQ(g_sourceChoice.String(), "q2");

    // All missions: every mission folder, without "." and "..".
    CVarListFind("gballmissions")->SetBool(true);
    Write("mission/m1/mission.inf");
    Write("mission/m2/mission.inf");
    EXPECT_EQ(Items(*Refreshed("quick_mission_list")), (std::vector<std::string>{"m1", "m2"}));
}

TEST_F(ListSources, GameModeMissionsNameTheModeInTheirDefinitionFromDiskOrArchive)
{
    m_mode->SetString("coop");
    Write("mission/m1/netmodes.def", "first COOP\n");
    Write("mission/m2/netmodes.def", "first deathmatch\n");
    Write("mission/m3/netmodes.def", "first deathmatch\nsecond Coop\n");
    Write("mission/m4/mission.inf");
    EXPECT_EQ(Items(*Refreshed("mpmap_list")), (std::vector<std::string>{"m1", "m3"}));

    // Without mission folders on disk the archives' are searched.
    std::filesystem::remove_all("mission");
    DefFileFreeAll();
    ASSERT_TRUE(WriteTestArchive(
        "main.bfs", {{"mission\\a1\\netmodes.def", "first coop\n"}, {"mission\\a2\\netmodes.def", "first other\n"}}));
    ASSERT_TRUE(VFSInit());
    EXPECT_EQ(Items(*Refreshed("mpmap_list")), (std::vector<std::string>{"a1"}));
}

TEST_F(ListSources, AFolderWithMoreNamesThanTheTablesKeepsTheFirstOnes)
{
    for (int i = 0; i < 300; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "component/gui/player_picture/p%03d.dds", i);
        Write(name);
    }
    EXPECT_EQ(Refreshed("files_list")->ItemCount(), LIST_FILE_NAME_SLOTS);

    m_mode->SetString("coop");
    for (int i = 0; i < 140; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "mission/m%03d/netmodes.def", i);
        Write(name, "mode coop\n");
    }
    EXPECT_EQ(Refreshed("mpmap_list")->ItemCount(), static_cast<u32_t>(kNetModeMissionSlots));
}

TEST_F(ListSources, ServersAreAskedForFromTheSecondRefreshOn)
{
    const std::string folder = std::string(ZINTAR_BIN_DIR) + "/../test_plugins";
    if (!std::filesystem::exists(folder + "/a_good.plg"))
        GTEST_SKIP() << "the recording test plug-in is not built";
    ASSERT_NE(g_pluginHost.LoadPluginFile(folder.c_str(), "a_good.plg"), nullptr);
    const auto asked = [] { return ReadFileBytes("plugin_trace.txt").find("event 50001") != std::string::npos; };

    auto list = Refreshed("server_list");
    EXPECT_FALSE(asked());
    list->RefreshData();
    EXPECT_TRUE(asked());
    // The plug-in gets the list's fill interface.
    char expected[64];
    std::snprintf(expected, sizeof expected, "event 50001 %zx",
                  reinterpret_cast<std::size_t>(static_cast<PluginListFill*>(list.get())));
    EXPECT_NE(ReadFileBytes("plugin_trace.txt").find(expected), std::string::npos);
    EXPECT_EQ(Items(*Refreshed("plugin_list")), (std::vector<std::string>{"Good plugin"}));
    g_pluginHost.Clear();
}

}  // namespace
