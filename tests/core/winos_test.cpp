// The program's whole road: start-up in order, the menu loop, and the one shutdown that every road
// out takes, with the plug-ins unloaded on the way.
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <thread>
#include <unistd.h>
#include <vector>
#include "core/console/console_var.h"
#include "core/core_cvars.h"
#include "core/log.h"
#include "core/plugins/plugin_host.h"
#include "core/winos.h"
#include "gui/gui_test_hooks.h"
#include "platform/d3d8_test_hooks.h"
#include "platform/test_input.h"
#include "render/render_cvars.h"
#include "support/archive_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

// The log is opened in the folder the test process starts in, before any test changes folder.
const std::string g_logPath = [] {
    char folder[4096];
    return std::string(getcwd(folder, sizeof folder) ? folder : ".") + "/zintar.log";
}();

constexpr int kEscapeKey = 0x01;

// Presses Escape every 100 ms and holds it 30 ms until stopped, so that the key arrives whenever the
// program's loop is ready for it, and a loop that polls the key's state finds it down.
class EscapePresser {
public:
    EscapePresser()
        : m_thread([this] {
              while (!m_stop) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(70));
                  PlatformInjectKey(kEscapeKey, true);
                  std::this_thread::sleep_for(std::chrono::milliseconds(30));
                  PlatformInjectKey(kEscapeKey, false);
              }
          })
    {}
    ~EscapePresser()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The log text written after the marker.
std::string LogSince(const std::string& marker)
{
    std::string log = ReadFileBytes(g_logPath);
    size_t at = log.rfind(marker);
    return at == std::string::npos ? std::string() : log.substr(at);
}

// True when the lines appear in this order.
::testing::AssertionResult AppearInOrder(const std::string& text, const std::vector<std::string>& lines)
{
    size_t from = 0;
    for (const std::string& line : lines) {
        size_t at = text.find(line, from);
        if (at == std::string::npos)
            return ::testing::AssertionFailure() << "missing or out of order: \"" << line << "\"\nlog:\n" << text;
        from = at + line.size();
    }
    return ::testing::AssertionSuccess();
}

class ProgramRun : public TempDirTest {};

TEST_F(ProgramRun, WithoutArchivesEndsAtOnceWithALog)
{
    // A separate process in an empty folder: the log it leaves is its own.
    const ProgramResult result = RunProgram({ZINTAR_BIN_DIR "/zintar"}, {}, TempPath(), std::chrono::seconds(60));
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 1);  // a start that failed does not report success
    std::string log = ReadFileBytes("zintar.log");
    EXPECT_EQ(log.rfind("Zintar Log File\nBuild: ", 0), 0u) << log;
}

TEST_F(ProgramRun, StartsUpRunsTheMenuAndShutsDownOnEscape)
{
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"config.def", "riwidth = 640\r\nriheight = 480\nrbwindowed = 1\n"}}));
    const std::string marker = "-- start-up road --\n";
    Log("%s", marker.c_str());

    // The first menu frame notes the window's title and presses Escape, then hands the frame back to
    // the menu's own rule, which quits on the released key: all on the program's thread, no waiting.
    static std::string windowTitle;
    windowTitle.clear();
    GuiSetTestFrameHook([](s32_t*) {
        windowTitle = PlatformWindowTitle(g_program.mainWindow);
        PlatformInjectKey(kEscapeKey, true);
        PlatformInjectKey(kEscapeKey, false);
        GuiSetTestFrameHook(nullptr);
        return true;
    });
    char commandLine[] = "";
    const int exitCode = WinMain(nullptr, nullptr, commandLine, SW_SHOW);
    GuiSetTestFrameHook(nullptr);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(g_program.loopState, LOOP_QUIT);
    EXPECT_EQ(windowTitle, "Zintar Engine");
    EXPECT_EQ(g_program.mainWindow, nullptr);  // the shutdown destroyed it
    EXPECT_EQ(riwidth.Int(), 640);
    EXPECT_EQ(riheight.Int(), 480);
    EXPECT_TRUE(rbwindowed.Bool());

    EXPECT_TRUE(AppearInOrder(LogSince(marker), {
                                                    "Initializing virtual file system...",
                                                    "Initializing input...",
                                                    "Loading plugins...",
                                                    "Resolution set to 640x480 0Hz.",
                                                    "Initializing sound system...",
                                                    "Initializing video subsystem...",
                                                    "Destroying sound...",
                                                    "Destroying video subsystem...",
                                                    "Destroying input...",
                                                    "Destroying device buffers and vegetation...",
                                                    "Destroying virtual file system...",
                                                }));
}

// A road out of the program: how it is taken, the exit code, and the shutdown lines the log shows
// (in this order) and must not show.
struct Road {
    const char* name;
    const char* commandLine;
    bool noDisplayMode;  // every depth format is refused, so no display mode can be set
    int exitCode;
    std::vector<std::string> shutdownLines;
    std::vector<std::string> absentLines;
};

void PrintTo(const Road& road, std::ostream* out)
{
    *out << road.name;
}

const std::vector<std::string> kWholeShutdown = {
    "Destroying sound...",
    "Destroying video subsystem...",
    "Destroying input...",
    "Destroying device buffers and vegetation...",
    "Destroying virtual file system...",
};

const Road kRoads[] = {
    {"QuitFromTheMenu", "", false, 0, kWholeShutdown, {}},
    {"HaltAfterAMapThatCannotLoad", "-m missing_map", false, -1, kWholeShutdown, {}},
    {"NoDisplayMode",
     "",
     true,
     -1,
     {"Destroying input...", "Destroying device buffers and vegetation...", "Destroying virtual file system..."},
     {"Initializing sound system...", "Destroying sound...", "Destroying video subsystem..."}},
};

// Each road runs WinMain in this process with two test plug-ins in its "plugins" folder.
class ProgramRoad : public ProgramRun, public ::testing::WithParamInterface<Road> {
protected:
    void SetUp() override
    {
        ProgramRun::SetUp();
        for (ConsoleVar* var : {&dsmap, &riwidth, &riheight, &rbwindowed})
            m_saved.emplace_back(var, var->ValueToText());
    }
    void TearDown() override
    {
        D3D8TestFailDepthFormats(nullptr, 0);
        for (auto& [var, text] : m_saved)
            var->SetFromText(text.c_str());
        ProgramRun::TearDown();
    }

private:
    std::vector<std::pair<ConsoleVar*, std::string>> m_saved;
};

TEST_P(ProgramRoad, EndsThroughTheOneShutdownAndUnloadsThePlugins)
{
    const Road& road = GetParam();
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"config.def", "rbwindowed = 1\n"}}));
    std::filesystem::create_directories("plugins");
    for (const char* plugin : {"a_good.plg", "f_unload.plg"})
        std::filesystem::copy_file(std::filesystem::path(ZINTAR_TEST_PLUGIN_DIR) / plugin,
                                   std::filesystem::path("plugins") / plugin);
    const D3DFORMAT depthFormats[] = {D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D24X4S4, D3DFMT_D16};
    if (road.noDisplayMode)
        D3D8TestFailDepthFormats(depthFormats, 4);
    const std::string marker = std::string("-- road ") + road.name + " --\n";
    Log("%s", marker.c_str());

    int exitCode = -99;
    {
        EscapePresser presser;
        std::string commandLine = road.commandLine;
        exitCode = WinMain(nullptr, nullptr, commandLine.data(), SW_SHOW);
    }
    EXPECT_EQ(exitCode, road.exitCode);
    const std::string log = LogSince(marker);
    EXPECT_TRUE(AppearInOrder(log, road.shutdownLines));
    for (const std::string& line : road.absentLines)
        EXPECT_EQ(log.find(line), std::string::npos) << line;

    // Both plug-ins were loaded, and the shutdown let them go before WinMain returned: the libraries
    // are closed, their records and the command the good one made are gone.
    const std::string trace = ReadFileBytes("plugin_trace.txt");
    EXPECT_TRUE(AppearInOrder(trace, {"Good plugin: init", "Unload plugin: init", "Unload plugin: unloaded"}));
    EXPECT_EQ(g_pluginHost.PluginCount(), 0);
    EXPECT_EQ(g_pluginHost.HostEntryCount(), 0);
    EXPECT_EQ(CVarListFind("plgtest_cmd_a_good"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(EveryRoadOut, ProgramRoad, ::testing::ValuesIn(kRoads),
                         [](const ::testing::TestParamInfo<Road>& road) { return std::string(road.param.name); });

}  // namespace
