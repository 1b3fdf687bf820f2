// The plug-in host with real ".plg" libraries built from tests/plugins: loading order, events,
// faults of plug-ins, version warnings, the lookups a plug-in makes, and unloading and reloading.
// Each test plug-in writes what it receives to "plugin_trace.txt" in the working folder.
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#include <unistd.h>
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/frame_view.h"
#include "core/log.h"
#include "core/plugins/plugin_host.h"
#include "core/winos.h"
#include "game/game_state.h"
#include "platform/test_input.h"
#include "support/archive_builder.h"
#include "support/temp_dir.h"
#include "support/run_program.h"

namespace fs = std::filesystem;

namespace {

// The log is opened in the folder the test process starts in, before any test changes folder.
const std::string g_logPath = [] {
    char folder[4096];
    return std::string(getcwd(folder, sizeof folder) ? folder : ".") + "/zintar.log";
}();

constexpr u32_t kCallHostEntry = 0x7F0001;  // the trace plug-in calls the host entry named by the parameter

std::vector<std::string> g_printed;

int CapturePrint(const char* format, ...)
{
    char text[2048];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    g_printed.emplace_back(text);
    return 0;
}

void CopyPlugin(const fs::path& folder, const char* fileName)
{
    fs::create_directories(folder / "plugins");
    fs::copy_file(fs::path(ZINTAR_TEST_PLUGIN_DIR) / fileName, folder / "plugins" / fileName);
}

std::vector<std::string> ReadLines(const fs::path& path)
{
    std::istringstream text(ReadFileBytes(path.string()));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

// The trace with the details of "init" lines dropped.
std::vector<std::string> TraceSummary(const fs::path& path = "plugin_trace.txt")
{
    std::vector<std::string> lines = ReadLines(path);
    for (std::string& line : lines) {
        const size_t details = line.find(": init ");
        if (details != std::string::npos)
            line.resize(details + 6);
    }
    return lines;
}

size_t CountLines(const std::vector<std::string>& lines, const std::string& wanted)
{
    size_t count = 0;
    for (const std::string& line : lines)
        count += line == wanted ? 1 : 0;
    return count;
}

// The key=value words of each "init" line of the plug-in.
std::vector<std::map<std::string, std::string>> InitReports(const std::string& pluginName)
{
    std::vector<std::map<std::string, std::string>> reports;
    const std::string prefix = pluginName + ": init ";
    for (const std::string& line : ReadLines("plugin_trace.txt")) {
        if (line.rfind(prefix, 0) != 0)
            continue;
        std::map<std::string, std::string> words;
        std::istringstream text(line.substr(prefix.size()));
        for (std::string word; text >> word;) {
            const size_t equals = word.find('=');
            words[word.substr(0, equals)] = word.substr(equals + 1);
        }
        reports.push_back(words);
    }
    return reports;
}

std::uintptr_t Hex(const std::string& text)
{
    return static_cast<std::uintptr_t>(std::stoull(text, nullptr, 16));
}

std::uintptr_t Address(const void* pointer)
{
    return reinterpret_cast<std::uintptr_t>(pointer);
}

s32_t CommandsNamed(const char* name)
{
    s32_t count = 0;
    for (ConsoleVar* var = CVarListHead(); var; var = var->next)
        count += std::string(var->name.Text()) == name ? 1 : 0;
    return count;
}

class PluginHostTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        // The plug-ins look the host up through the global dictionary.
        RegisterHostInterface(g_pluginHost);
        m_previousHook = GetPluginPrintHook();
        SetPluginPrintHook(CapturePrint);
        g_printed.clear();
    }
    void TearDown() override
    {
        SetPluginPrintHook(m_previousHook);
        TempDirTest::TearDown();
    }
    void Copy(const char* fileName) { CopyPlugin(fs::current_path(), fileName); }

private:
    PluginPrintFn m_previousHook = nullptr;
};

TEST_F(PluginHostTest, LoadsPluginsInNameOrderAndSendsEventsInThatOrder)
{
    Copy("b_thrower.plg");
    Copy("a_good.plg");
    ASSERT_TRUE(WriteFileBytes("plugins/notes.txt", "not a plug-in"));

    PluginHost host;
    host.LoadFolder("plugins");
    ASSERT_EQ(host.PluginCount(), 2);
    EXPECT_STREQ(host.Plugin(0)->Name(), "Good plugin");
    EXPECT_STREQ(host.Plugin(0)->Path(), "plugins\\a_good.plg");
    EXPECT_STREQ(host.Plugin(1)->Name(), "Thrower plugin");
    EXPECT_EQ(host.Plugin(0)->Type(), 7);

    // The result is the last answering plug-in's.
    EXPECT_EQ(host.Broadcast(HookGameModsInit, 0), 22);
    EXPECT_EQ(TraceSummary(), (std::vector<std::string>{
                                  "Good plugin: init",
                                  "Thrower plugin: init",
                                  "Good plugin: event 30003 0",
                                  "Thrower plugin: event 30003 0",
                              }));
    EXPECT_TRUE(g_printed.empty());
}

TEST_F(PluginHostTest, ThrowingPluginIsStoppedAndTheOthersGoOn)
{
    Copy("a_good.plg");
    Copy("b_thrower.plg");
    PluginHost host;
    host.LoadFolder("plugins");
    ASSERT_EQ(host.PluginCount(), 2);

    EXPECT_EQ(host.Broadcast(HookFrame, 0), 11);
    host.Broadcast(HookFrame, 0);
    host.Broadcast(HookGuiReady, 0);

    EXPECT_EQ(g_printed, std::vector<std::string>{"Exception occured in plugin 'Thrower plugin'. Plugin stopped.\n"});
    EXPECT_TRUE(host.Plugin(1)->IsStopped());
    EXPECT_TRUE(host.Plugin(1)->IsLoaded());
    EXPECT_FALSE(host.Plugin(0)->IsStopped());
    const std::vector<std::string> trace = TraceSummary();
    EXPECT_EQ(CountLines(trace, "Good plugin: event 40000 0"), 2u);
    EXPECT_EQ(CountLines(trace, "Good plugin: event 50000 0"), 1u);
    EXPECT_EQ(CountLines(trace, "Thrower plugin: event 40000 0"), 1u);
    EXPECT_EQ(CountLines(trace, "Thrower plugin: event 50000 0"), 0u);
}

struct VersionCase {
    const char* file;
    int major;
    int minor;
    const char* warning;  // null: none
};

void PrintTo(const VersionCase& c, std::ostream* out)
{
    *out << c.file;
}

class PluginVersions : public PluginHostTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(PluginVersions, NewerPluginsAreWarnedAboutAndUsedAnyway)
{
    const VersionCase& c = GetParam();
    Copy(c.file);
    PluginHost host;
    PluginRecord* record = host.LoadPluginFile("plugins", c.file);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->VersionMajor(), c.major);
    EXPECT_EQ(record->VersionMinor(), c.minor);
    EXPECT_EQ(g_printed, c.warning ? std::vector<std::string>{c.warning} : std::vector<std::string>{});
    EXPECT_FALSE(record->IsStopped());
    EXPECT_NE(host.Broadcast(HookFrame, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, PluginVersions,
    ::testing::Values(VersionCase{"a_good.plg", 0, 1, nullptr},
                      VersionCase{"c_newer_minor.plg", 0, 2,
                                  "Warning, version of plugin 'Minor plugin' is newer than server(.2 > .1).\n"},
                      VersionCase{"c_newer_major.plg", 1, 0,
                                  "Warning, version of plugin 'Major plugin' is newer than server(1 > 0).\n"}));

// Broken plug-in files and plug-ins without required exports (also run under the sanitizers).
class PluginHostRobustness : public PluginHostTest {};

TEST_F(PluginHostRobustness, MissingInfoExportsReportTheLibraryHandleAndKeepTheRecord)
{
    Copy("d_no_info.plg");
    PluginHost host;
    PluginRecord* record = host.LoadPluginFile("plugins", "d_no_info.plg");
    ASSERT_NE(record, nullptr);
    ASSERT_TRUE(record->IsLoaded());
    EXPECT_EQ(g_printed,
              std::vector<std::string>{"Error loading plugin '" + std::to_string(Address(record->Module())) + "'\n"});
    EXPECT_EQ(record->Name(), nullptr);
    EXPECT_EQ(host.PluginCount(), 1);
    // What the bind had set stays: the hook answers.
    EXPECT_EQ(host.Broadcast(HookFrame, 0), 55);
    EXPECT_EQ(TraceSummary(), (std::vector<std::string>{"No info plugin: init", "No info plugin: event 40000 0"}));
}

TEST_F(PluginHostRobustness, MissingHookProcStopsThePluginAtItsFirstEvent)
{
    Copy("e_no_hook.plg");
    PluginHost host;
    PluginRecord* record = host.LoadPluginFile("plugins", "e_no_hook.plg");
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(g_printed.empty());
    EXPECT_FALSE(record->IsStopped());

    EXPECT_EQ(host.Broadcast(HookFrame, 0), 0);
    host.Broadcast(HookFrame, 0);
    EXPECT_EQ(g_printed, std::vector<std::string>{"Exception occured in plugin 'No hook plugin'. Plugin stopped.\n"});
    EXPECT_TRUE(record->IsStopped());
}

TEST_F(PluginHostRobustness, FilesThatAreNoPluginsLoadNothing)
{
    PluginHost host;
    host.LoadFolder("plugins");  // no such folder
    fs::create_directories("plugins");
    host.LoadFolder("plugins");
    ASSERT_TRUE(WriteFileBytes("plugins/empty.plg", ""));
    ASSERT_TRUE(WriteFileBytes("plugins/text.plg", "not a library"));
    ASSERT_TRUE(WriteFileBytes("plugins/elf.plg", std::string("\x7f"
                                                              "ELF\x02\x01\x01",
                                                              7) +
                                                      std::string(64, '\xff')));
    fs::create_directories("plugins/folder.plg");
    host.LoadFolder("plugins");
    EXPECT_EQ(host.LoadPluginFile("plugins", "missing.plg"), nullptr);
    EXPECT_EQ(host.LoadPluginFile(std::string(300, 'x').c_str(), "a_good.plg"), nullptr);
    EXPECT_EQ(host.PluginCount(), 0);
    EXPECT_EQ(host.Broadcast(HookFrame, 0), 0);
    EXPECT_TRUE(g_printed.empty());
}

TEST_F(PluginHostTest, PluginFindsHostEntriesThroughItsCallbackBlock)
{
    static ConsoleVar probe("plgtest_probe", CVAR_INT, "7");
    g_frameView.frameTime = 0.025f;
    Copy("a_good.plg");
    PluginHost host;
    PluginRecord* record = host.LoadPluginFile("plugins", "a_good.plg");
    ASSERT_NE(record, nullptr);

    const auto reports = InitReports("Good plugin");
    ASSERT_EQ(reports.size(), 1u);
    const auto& found = reports[0];
    EXPECT_EQ(Hex(found.at("block")), Address(record->CallbackBlock()));
    EXPECT_EQ(Hex(found.at("framedtime")), Address(&g_frameView.frameTime));
    EXPECT_EQ(found.at("value"), "0.025");
    EXPECT_EQ(Hex(found.at("cvar")), Address(CVarListHeadAddress()));
    EXPECT_EQ(Hex(found.at("FindCVar")), reinterpret_cast<std::uintptr_t>(&FindCVar));
    EXPECT_EQ(Hex(found.at("probe")), Address(&probe));
    EXPECT_EQ(Hex(found.at("ConPrint")), reinterpret_cast<std::uintptr_t>(&ConPrint));
    EXPECT_EQ(Hex(found.at("conprint")), 0u);
    EXPECT_EQ(Hex(found.at("getValue")), 0u);
}

TEST_F(PluginHostTest, UnloadRemovesThePluginsCommandsAndLoadBindsItAgain)
{
    const char* command = "plgtest_cmd_a_good";
    Copy("a_good.plg");
    {
        PluginHost host;
        PluginRecord* record = host.LoadPluginFile("plugins", "a_good.plg");
        ASSERT_NE(record, nullptr);
        ASSERT_EQ(CommandsNamed(command), 1);
        EXPECT_EQ(record->CreatedCommandCount(), 1);
        CVarListFind(command)->value.handler("first");

        record->SetEnabled(false);
        host.Broadcast(HookFrame, 1);
        record->SetEnabled(true);
        host.Broadcast(HookFrame, 2);

        record->Unload();
        EXPECT_FALSE(record->IsLoaded());
        EXPECT_TRUE(record->IsStopped());
        EXPECT_EQ(CommandsNamed(command), 0);
        EXPECT_STREQ(record->Name(), "Good plugin");
        record->SetEnabled(true);  // no library: nothing to enable
        EXPECT_TRUE(record->IsStopped());
        host.Broadcast(HookFrame, 3);

        ASSERT_TRUE(record->Load());
        EXPECT_TRUE(record->IsLoaded());
        EXPECT_FALSE(record->IsStopped());
        EXPECT_EQ(CommandsNamed(command), 1);
        CVarListFind(command)->value.handler("second");
        host.Broadcast(HookFrame, 4);

        // Bound twice, with the same block both times.
        const auto reports = InitReports("Good plugin");
        ASSERT_EQ(reports.size(), 2u);
        EXPECT_EQ(Hex(reports[0].at("block")), Address(record->CallbackBlock()));
        EXPECT_EQ(Hex(reports[1].at("block")), Address(record->CallbackBlock()));
    }
    EXPECT_EQ(CommandsNamed(command), 0);
    EXPECT_EQ(TraceSummary(), (std::vector<std::string>{
                                  "Good plugin: init",
                                  "Good plugin: command first",
                                  "Good plugin: event 40000 2",
                                  "Good plugin: init",
                                  "Good plugin: command second",
                                  "Good plugin: event 40000 4",
                              }));
}

// The plug-ins load before the consoles exist: what the host reports on them at start-up must reach
// the log, or a plug-in that failed to bind is reported nowhere.
TEST_F(PluginHostTest, StartUpReportsBindErrorsAndVersionWarningsInTheLog)
{
    Copy("c_newer_major.plg");
    Copy("c_newer_minor.plg");
    Copy("d_no_info.plg");
    const std::string marker = "-- plug-ins at start-up --\n";
    Log("%s", marker.c_str());

    LoadPlugins();
    ASSERT_EQ(g_pluginHost.PluginCount(), 3);
    const std::string handle = std::to_string(Address(g_pluginHost.Plugin(2)->Module()));
    UnloadPlugins();

    const std::string log = ReadFileBytes(g_logPath);
    const size_t start = log.rfind(marker);
    ASSERT_NE(start, std::string::npos);
    EXPECT_EQ(log.substr(start + marker.size()),
              "Loading plugins..."
              "Warning, version of plugin 'Major plugin' is newer than server(1 > 0).\n"
              "Warning, version of plugin 'Minor plugin' is newer than server(.2 > .1).\n"
              "Error loading plugin '" +
                  handle +
                  "'\n"
                  "done\n");
}

PluginRecord* g_recordToUnload = nullptr;

void UnloadRecordUnderCall()
{
    g_recordToUnload->Unload();
}

TEST_F(PluginHostTest, UnloadAskedDuringThePluginsOwnCallWaitsUntilTheCallReturns)
{
    static bool registered = [] {
        g_pluginHost.RegisterHostEntry(reinterpret_cast<void*>(&UnloadRecordUnderCall), "plgtest_unload");
        return true;
    }();
    ASSERT_TRUE(registered);
    Copy("a_good.plg");
    PluginHost host;
    g_recordToUnload = host.LoadPluginFile("plugins", "a_good.plg");
    ASSERT_NE(g_recordToUnload, nullptr);

    host.Broadcast(kCallHostEntry, reinterpret_cast<std::uintptr_t>("plgtest_unload"));
    EXPECT_FALSE(g_recordToUnload->IsLoaded());
    EXPECT_TRUE(g_recordToUnload->IsStopped());
    EXPECT_EQ(TraceSummary().back(), "Good plugin: called back");
    EXPECT_TRUE(g_printed.empty());
}

// The whole program with two plug-ins in its folder "plugins", run in a child process of its own:
// start-up events, then the frame event on every pass of the menu loop until Escape quits.
int RunProgramWithPlugins()
{
    std::atomic<bool> stop{false};
    std::thread escape([&stop] {
        for (int pass = 0; !stop && pass < 600; ++pass) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            PlatformInjectKey(0x01, true);
            PlatformInjectKey(0x01, false);
        }
    });
    char commandLine[] = "";
    const int exitCode = WinMain(nullptr, nullptr, commandLine, SW_SHOW);
    stop = true;
    escape.join();
    return exitCode;
}

const bool g_programJob = RegisterChildJob("plugin_host_program", RunProgramWithPlugins);

TEST(PluginHostProgram, PluginsGetStartUpEventsAndTheFrameEventOnEveryMenuPass)
{
    TempDir folder;
    const fs::path path = folder.Path();
    ASSERT_TRUE(WriteTestArchive((path / "main.bfs").string(), {{"config.def", "rbwindowed = 1\n"}}));
    CopyPlugin(path, "a_good.plg");
    CopyPlugin(path, "b_thrower.plg");

    const ProgramResult result = RunChildJob("plugin_host_program", path);
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << ReadFileBytes((path / "stderr.txt").string());
    EXPECT_NE(ReadFileBytes((path / "zintar.log").string()).find("Loading plugins...done\n"), std::string::npos);

    std::vector<std::string> good, thrower;
    for (const std::string& line : TraceSummary(path / "plugin_trace.txt"))
        (line.rfind("Good", 0) == 0 ? good : thrower).push_back(line);
    const std::vector<std::string> startUp = {"init", "event 30003 0", "event 50000 0"};
    ASSERT_GE(good.size(), startUp.size() + 2) << "too few menu passes";
    for (size_t i = 0; i < good.size(); ++i)
        EXPECT_EQ(good[i], "Good plugin: " + (i < startUp.size() ? startUp[i] : "event 40000 0")) << i;
    EXPECT_EQ(thrower, (std::vector<std::string>{"Thrower plugin: init", "Thrower plugin: event 30003 0",
                                                 "Thrower plugin: event 50000 0", "Thrower plugin: event 40000 0"}));
}

}  // namespace
