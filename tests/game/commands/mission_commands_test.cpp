// The mission flow's commands: the mode text, "config.def" and its whole-or-nothing write, the
// display-mode change on a device, the script listing, the briefing's weapons and where an added
// weapon is put on an actor.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/console/console.h"
#include "core/core_cvars.h"
#include "core/files/def_file.h"
#include "core/files/script_file.h"
#include "game/game_cvars.h"
#include "game/commands/mission_commands.h"
#include "game/mission_objects/object_factory.h"
#include "gui/screens/gui.h"
#include "platform/d3d8_test_hooks.h"
#include "platform/file_system.h"
#include "render/render_cvars.h"
#include "render/device/render_device.h"
#include "scene/draw_records/draw_lists.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/keep_var.h"
#include "support/temp_dir.h"
#include "support/test_window.h"
#include "world/objects/dynamic_object.h"

namespace {

// The console's lines from one on, each with its own line end; with a start given, only the lines
// that begin with it.
std::string JoinedConsole(int console, size_t from, const std::string& start = "")
{
    const std::vector<std::string> lines = engine_log::ConsoleLines(console);
    std::string text;
    for (size_t i = from; i < lines.size(); ++i) {
        if (lines[i].compare(0, start.size(), start) == 0)
            text += lines[i];
    }
    return text;
}

TEST(ModeText, UpToThreeNumbersEndedByBlanksXOrB)
{
    const struct {
        const char* text;
        int count;
        s32_t numbers[3];
    } cases[] = {
        {"800 600 32b", 3, {800, 600, 32}},
        {"1024x768x32", 3, {1024, 768, 32}},
        {"1280 x 1024 x 16", 3, {1280, 1024, 16}},
        {"640 480 16 99", 3, {640, 480, 16}},
        {"800 600", 2, {800, 600, 0}},
        {"800", 1, {800, 0, 0}},
        {"", 0, {0, 0, 0}},
        {"bx ", 0, {0, 0, 0}},
        {"99999999999999 5", 2, {999999999, 5, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        s32_t numbers[3] = {-1, -1, -1};
        EXPECT_EQ(ParseModeText(c.text, numbers), c.count);
        EXPECT_EQ(numbers[0], c.numbers[0]);
        EXPECT_EQ(numbers[1], c.numbers[1]);
        EXPECT_EQ(numbers[2], c.numbers[2]);
    }
    s32_t numbers[3] = {7, 7, 7};
    EXPECT_EQ(ParseModeText(nullptr, numbers), 0);
    EXPECT_EQ(numbers[0], 0);
}

class GraphSettings : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        ConStartup();
        // Known values for every line of the file.
        const char* const values[][2] = {
            {"rbwindowed", "true"},      {"riwidth", "800"},       {"riheight", "600"},
            {"rirefresh", "75"},         {"rbdrawstats", "false"}, {"rbshowboxes", "false"},
            {"rbtraceraytest", "false"}, {"rbactordirs", "false"}, {"rbdrawfps", "true"},
            {"rbshowpins", "false"},     {"rbshowzones", "false"}, {"gbtop", "false"},
            {"gbthirdperson", "false"},  {"gbfastmove", "false"},  {"gbghost", "false"},
            {"gbwalk", "true"},          {"gb_godmode", "true"},   {"gui_cursorinfo", "false"},
            {"gbteskenable", "false"},
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
        SetAtomicWriteTestHook(nullptr);
        ConShutdown();
        TempDirTest::TearDown();
    }
    KeepAllVars m_keep;
};

const char* const kGoldenConfig =
    "rbwindowed true\n"
    "riwidth 1024\n"
    "riheight 768\n"
    "rirefresh 75\n"
    "rbdrawstats false\n"
    "rbshowboxes false\n"
    "rbtraceraytest false\n"
    "rbactordirs false\n"
    "rbdrawfps true\n"
    "rbshowpins false\n"
    "rbshowzones false\n"
    "gbtop false\n"
    "gbthirdperson false\n"
    "gbfastmove false\n"
    "gbghost false\n"
    "gbwalk true\n"
    "gb_godmode true\n"
    "gui_cursorinfo false\n"
    "gbteskenable false\n";

TEST_F(GraphSettings, ANewSizeWritesTheNineteenLinesAndTheSameSizeWritesNothing)
{
    gs_graphmode.SetString("1024 768 32b");
    EXPECT_EQ(GameApplyGraphSettings(nullptr), 0);
    EXPECT_EQ(ReadFileBytes("config.def"), kGoldenConfig);
    EXPECT_EQ(riwidth.Int(), 1024);
    EXPECT_EQ(riheight.Int(), 768);
    EXPECT_STREQ(g_gui.lastMessageKey.Text(), "_fnmsg_restart_game");
    EXPECT_FALSE(std::filesystem::exists(std::string("config.def") + ATOMIC_WRITE_SUFFIX));

    std::filesystem::remove("config.def");
    g_gui.lastMessageKey.Assign("");
    gs_graphmode.SetString("1024x768x16");
    EXPECT_EQ(GameApplyGraphSettings(nullptr), 0);
    EXPECT_FALSE(std::filesystem::exists("config.def"));
    EXPECT_STREQ(g_gui.lastMessageKey.Text(), "");
}

TEST_F(GraphSettings, AModeTextWithoutASizeIsRefusedAndWritesNothing)
{
    ASSERT_TRUE(WriteFileBytes("config.def", "rbwindowed false\n"));
    for (const char* text : {"", "1024", "0 0 32", "x b"}) {
        SCOPED_TRACE(text);
        gs_graphmode.SetString(text);
        EXPECT_EQ(GameApplyGraphSettings(nullptr), -1);
        EXPECT_EQ(ReadFileBytes("config.def"), "rbwindowed false\n");
        EXPECT_EQ(riwidth.Int(), 800);
        EXPECT_STREQ(g_gui.lastMessageKey.Text(), "");
    }
}

TEST_F(GraphSettings, AWriteThatStopsHalfWayLeavesTheOldFileWhole)
{
    ASSERT_TRUE(WriteFileBytes("config.def", "rbwindowed false\n"));
    gs_graphmode.SetString("1024 768 32b");
    // The disk fails half-way through the temporary file.
    SetAtomicWriteTestHook([](AtomicWriteStage stage, const char*) { return stage != ATOMIC_WRITE_HALF_WRITTEN; });
    EXPECT_EQ(GameApplyGraphSettings(nullptr), -1);
    EXPECT_EQ(ReadFileBytes("config.def"), "rbwindowed false\n");
    EXPECT_FALSE(std::filesystem::exists(std::string("config.def") + ATOMIC_WRITE_SUFFIX));
    EXPECT_STREQ(g_gui.lastMessageKey.Text(), "");
}

TEST_F(GraphSettings, AProcessKilledInTheMiddleOfTheWriteLeavesTheOldFileWhole)
{
    ASSERT_TRUE(WriteFileBytes("config.def", "rbwindowed false\n"));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SetAtomicWriteTestHook([](AtomicWriteStage stage, const char*) {
            if (stage == ATOMIC_WRITE_HALF_WRITTEN)
                raise(SIGKILL);
            return true;
        });
        const std::string text = GameConfigText();
        PlatformWriteFileAtomically("config.def", text.data(), text.size());
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(ReadFileBytes("config.def"), "rbwindowed false\n");
    // The next write takes the torn temporary file's place.
    const std::string text = GameConfigText();
    ASSERT_TRUE(PlatformWriteFileAtomically("config.def", text.data(), text.size()));
    EXPECT_EQ(ReadFileBytes("config.def"), text);
    EXPECT_FALSE(std::filesystem::exists(std::string("config.def") + ATOMIC_WRITE_SUFFIX));
}

class SetMode : public ::testing::Test {
protected:
    void SetUp() override
    {
        ConStartup();
        ASSERT_EQ(RenderInit(m_window.Handle()), 0);
        SceneDrawListsInit();
        D3D8TestClearCreateAttempts();
        m_linesBefore = engine_log::ConsoleLines(0).size();
    }
    void TearDown() override
    {
        D3D8TestFailDepthFormats(nullptr, 0);
        RenderShutdown(false);
        ConShutdown();
    }
    static std::vector<D3DFORMAT> DepthFormatsTried()
    {
        const D3D8CreateAttempt* attempts = nullptr;
        const int count = D3D8TestCreateAttempts(&attempts);
        std::vector<D3DFORMAT> formats;
        for (int i = 0; i < count; ++i)
            formats.push_back(attempts[i].depthFormat);
        return formats;
    }
    TestWindow m_window;
    KeepVar m_width{riwidth};
    KeepVar m_height{riheight};
    KeepVar m_windowed{rbwindowed};
    size_t m_linesBefore = 0;
};

TEST_F(SetMode, TheSixFormatsAreTriedInOrderAndAFailurePrintsTheErrorLine)
{
    rbwindowed.SetBool(true);
    const D3DFORMAT all[] = {D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D24X4S4, D3DFMT_D16};
    D3D8TestFailDepthFormats(all, 4);
    riwidth.SetInt(64);
    EXPECT_EQ(GameSetMode("96 72 32"), -1);
    EXPECT_EQ(DepthFormatsTried(), (std::vector<D3DFORMAT>{D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D24X4S4, D3DFMT_D24X8,
                                                           D3DFMT_D16, D3DFMT_D16}));
    EXPECT_EQ(JoinedConsole(0, m_linesBefore),
              "\x0E\x02"
              "Error while setting display mode !\n");
    EXPECT_EQ(riwidth.Int(), 64);
}

TEST_F(SetMode, ASetModeReportsItselfAndMissingBitsCountAsZero)
{
    rbwindowed.SetBool(true);
    EXPECT_EQ(GameSetMode("96 72 32"), 0);
    EXPECT_EQ(riwidth.Int(), 96);
    EXPECT_EQ(riheight.Int(), 72);
    EXPECT_EQ(GameSetMode("80x60"), 0);
    EXPECT_EQ(JoinedConsole(0, m_linesBefore, "Mode set"), "Mode set to 96x72 32bit\nMode set to 80x60 0bit\n");
    EXPECT_EQ(riwidth.Int(), 80);

    D3D8TestClearCreateAttempts();
    EXPECT_EQ(GameSetMode("640"), -1);
    EXPECT_EQ(GameSetMode(nullptr), -1);
    EXPECT_TRUE(DepthFormatsTried().empty()) << "too few numbers try no mode";
    EXPECT_EQ(riwidth.Int(), 80);
}

class ScriptListing : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        ConStartup();
        CreateScriptCache();
    }
    void TearDown() override
    {
        DestroyScriptCache();
        ConShutdown();
        TempDirTest::TearDown();
    }
};

TEST_F(ScriptListing, TheTreeIsPrintedWithThreeBlanksPerLevel)
{
    ASSERT_TRUE(WriteFileBytes("script/listed.scr",
                               "<menu>\n"
                               "  title main;\n"
                               "  <button>\n"
                               "    pos 1 2 3;\n"
                               "    hidden;\n"
                               "  </button>\n"
                               "  <empty>\n"
                               "  </empty>\n"
                               "</menu>\n"
                               "version 2;\n"));
    const size_t before = engine_log::ConsoleLines(0).size();
    EXPECT_EQ(GamePrintScript("listed"), 0);
    EXPECT_EQ(JoinedConsole(0, before),
              "-----Script 'listed'-----\n"
              "<GLOBAL>\n"
              "   version 2;\n"
              "   <menu>\n"
              "      title main;\n"
              "      <button>\n"
              "         pos 1 2 3;\n"
              "         hidden;\n"
              "      </button>\n"
              "      <empty>\n"
              "      </empty>\n"
              "   </menu>\n"
              "</GLOBAL>\n");

    const size_t afterListing = engine_log::ConsoleLines(0).size();
    GamePrintScript("missing");
    ConPrint(0, "\n");
    EXPECT_EQ(JoinedConsole(0, afterListing), "No such script file: missing\n");
}

// An object that keeps what the weapon template sets on it.
class ArmedObject : public DynamicObject {
public:
    bool SetParam(const char* key, const EngineString* values, int count) override
    {
        if (std::string(key) == "attach") {
            attached.clear();
            for (int i = 0; i < count; ++i)
                attached.emplace_back(values[i].Text());
        }
        return true;
    }
    std::vector<std::string> attached;
};

TEST_F(ScriptListing, AnAddedWeaponGoesToTheHandOrWhereItsInactivePinSays)
{
    const struct {
        const char* pinLine;
        u8_t inHand;
        std::vector<std::string> attached;
    } cases[] = {
        {"", 1, {"torso", "xhand_r", "x1"}},
        {"pin_inactive xtorso_b\n", 1, {"torso", "xhand_r", "x1"}},
        {"", 0, {"legs", "xleg_r02", "x2"}},
        {"pin_inactive xtorso_b\n", 0, {"torso", "xtorso_b", "x2"}},
        {"pin_inactive xleg_l01\n", 0, {"legs", "xleg_l01", "x2"}},
        {"pin_inactive t\n", 0, {"legs", "t", "x2"}},
    };
    int round = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pinLine);
        SCOPED_TRACE(static_cast<int>(c.inHand));
        const std::string name = "gun" + std::to_string(round++);
        ASSERT_TRUE(WriteFileBytes("object/weapons/" + name + ".def", std::string(c.pinLine) + "attach $0 $1 $2\n"));
        ArmedObject actor;
        GameAddWeaponToActor(name.c_str(), &actor, c.inHand);
        EXPECT_EQ(actor.attached, c.attached);
    }
    DefFileFreeAll();
}

TEST_F(ScriptListing, TheBriefingTakesTheWeaponsTheMissionChooses)
{
    KeepAllVars keep;
    dsmap.SetString("m_brief");
    gs_curprimaryweapon.SetString("old_primary");
    gs_cursecondaryweapon.SetString("old_secondary");
    ASSERT_TRUE(WriteFileBytes("mission/m_brief/mission.wpn", "setprimary rifle\nsetexplosive\n"));
    ASSERT_TRUE(WriteFileBytes("mission/m_brief/mission.inf", "gs_briefing = read\n"));
    EXPECT_EQ(FindCVar("gx_fillquickmissioninfo")->value.handler(nullptr), 0);
    EXPECT_TRUE(GameQuickMissionChosen());
    EXPECT_STREQ(gs_curprimaryweapon.String(), "rifle");
    EXPECT_STREQ(gs_cursecondaryweapon.String(), "old_secondary") << "an absent key leaves its variable";
    EXPECT_STREQ(FindCVar("gs_briefing")->String(), "read");
    EXPECT_EQ(FindCVar("gx_fillmissioninfo")->value.handler(nullptr), 0);
    EXPECT_FALSE(GameQuickMissionChosen());
    DefFileFreeAll();
}

}  // namespace
