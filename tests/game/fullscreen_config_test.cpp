// gx_fullscreen's "config.def" held against the file the next start runs: the inverted window line
// first, then the eighteen settings in their order, each with its value as text. Every line has a
// value that differs from its neighbours' so that a swapped or repeated line shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/console/console.h"
#include "core/console/console_var.h"
#include "game/commands/game_commands.h"
#include "gui/screens/gui.h"
#include "platform/file_system.h"
#include "render/render_cvars.h"
#include "support/files.h"
#include "support/keep_var.h"
#include "support/temp_dir.h"

namespace {

class FullscreenConfig : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        ConStartup();
        const char* const values[][2] = {
            {"rbwindowed", "true"},    {"riwidth", "640"},         {"riheight", "480"},        {"rirefresh", "85"},
            {"rbdrawstats", "true"},   {"rbshowboxes", "false"},   {"rbtraceraytest", "true"}, {"rbactordirs", "false"},
            {"rbdrawfps", "false"},    {"rbshowpins", "true"},     {"rbshowzones", "true"},    {"gbtop", "false"},
            {"gbthirdperson", "true"}, {"gbfastmove", "false"},    {"gbghost", "true"},        {"gbwalk", "false"},
            {"gb_godmode", "false"},   {"gui_cursorinfo", "true"}, {"gbteskenable", "true"},
        };
        for (const auto& value : values) {
            ConsoleVar* variable = FindCVar(value[0]);
            ASSERT_NE(variable, nullptr) << value[0];
            variable->SetFromText(value[1]);
        }
        g_gui.lastMessageKey.Assign("");
    }
    void TearDown() override
    {
        g_gui.lastMessageKey.Assign("");
        ConShutdown();
        TempDirTest::TearDown();
    }
    KeepAllVars m_keep;
};

const char* const kGoldenTail =
    "riwidth 640\n"
    "riheight 480\n"
    "rirefresh 85\n"
    "rbdrawstats true\n"
    "rbshowboxes false\n"
    "rbtraceraytest true\n"
    "rbactordirs false\n"
    "rbdrawfps false\n"
    "rbshowpins true\n"
    "rbshowzones true\n"
    "gbtop false\n"
    "gbthirdperson true\n"
    "gbfastmove false\n"
    "gbghost true\n"
    "gbwalk false\n"
    "gb_godmode false\n"
    "gui_cursorinfo true\n"
    "gbteskenable true\n";

TEST_F(FullscreenConfig, WritesTheNineteenLinesWithTheWindowModeInverted)
{
    // Run twice in a windowed session: the mode in use is unchanged, so the same file both times.
    for (int call = 0; call < 2; ++call) {
        EXPECT_EQ(GameFullscreen(nullptr), 0);
        EXPECT_EQ(ReadFileBytes("config.def"), std::string("rbwindowed false\n") + kGoldenTail) << "call " << call;
        EXPECT_STREQ(g_gui.lastMessageKey.Text(), "_fnmsg_restart_game");
        EXPECT_FALSE(std::filesystem::exists(std::string("config.def") + ATOMIC_WRITE_SUFFIX));
        EXPECT_TRUE(rbwindowed.Bool()) << "the mode changes at the next start, not now";
    }
    rbwindowed.SetBool(false);
    EXPECT_EQ(GameFullscreen(nullptr), 0);
    EXPECT_EQ(ReadFileBytes("config.def"), std::string("rbwindowed true\n") + kGoldenTail);
}

// A "config.def" that cannot be replaced (a folder stands in its place) answers -1 and shows nothing.
TEST_F(FullscreenConfig, AFileThatCannotBeWrittenAnswersMinusOne)
{
    ASSERT_TRUE(std::filesystem::create_directory("config.def"));
    EXPECT_EQ(GameFullscreen(nullptr), -1);
    EXPECT_STREQ(g_gui.lastMessageKey.Text(), "");
    EXPECT_TRUE(std::filesystem::is_directory("config.def"));
}

}  // namespace
