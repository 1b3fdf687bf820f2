// What a person sees when the program cannot do what it was asked: each failure ends or goes on with
// a clear line in "zintar.log", and, where the program stops or is left with nothing to show, on
// stderr too. Each case is a process of its own in a folder of its own, so its log and its stderr are
// its own.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <thread>

#include "core/winos.h"
#include "platform/test_input.h"
#include "support/archive_builder.h"
#include "support/files.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "tools/map_author/map_author.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kCommandLineVariable = "ZINTAR_TEST_COMMAND_LINE";
constexpr int kEscapeKey = 0x01;

// Runs the program on the command line of the variable, with Escape pressed every 50 ms and held
// 20 ms so that a screen that waits for a key (the menu, the halt after a map that cannot load, which
// waits for Escape to be down) lets the run end.
int RunProgramWithKeys()
{
    const char* variable = std::getenv(kCommandLineVariable);
    std::string commandLine = variable ? variable : "";
    // The events subsystem starts on this thread before the presser pushes anything.
    PlatformInjectKey(kEscapeKey, false);
    std::atomic<bool> stop{false};
    std::thread presser([&stop] {
        while (!stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            PlatformInjectKey(kEscapeKey, true);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            PlatformInjectKey(kEscapeKey, false);
        }
    });
    const int exitCode = WinMain(nullptr, nullptr, commandLine.data(), SW_SHOW);
    stop = true;
    presser.join();
    return exitCode;
}

const bool g_runJob = RegisterChildJob("run-program-with-keys", RunProgramWithKeys);

enum class Folder {
    Empty,           // nothing: no archive
    DamagedArchive,  // "main.bfs" that is no archive
    Archive,         // an archive with a windowed "config.def"
    EmptyDefinition,
    TruncatedLand,
    UnwritableLog,  // the log cannot be created in the folder
};

struct FailureCase {
    const char* name;
    Folder folder;
    std::string commandLine;
    int exitCode;
    std::string logLine;  // empty: no log is expected
    std::string stderrLine;
};

void PrintTo(const FailureCase& failure, std::ostream* out)
{
    *out << failure.name;
}

void Prepare(Folder folder, const fs::path& at)
{
    if (folder == Folder::Empty)
        return;
    if (folder == Folder::DamagedArchive) {
        ASSERT_TRUE(WriteFileBytes(at / "main.bfs", std::string(300, '\x5a')));
        return;
    }
    ASSERT_TRUE(WriteTestArchive((at / "main.bfs").string(), {{"config.def", "rbwindowed = 1\n"}}));
    if (folder == Folder::EmptyDefinition) {
        ASSERT_TRUE(WriteFileBytes(at / "mission/blank/mission.def", ""));
    }
    if (folder == Folder::UnwritableLog)
        fs::create_directories(at / "zintar.log");
    if (folder == Folder::TruncatedLand) {
        MapAuthorPlan plan;
        plan.land = "flat";
        plan.mission = "cut";
        plan.size = 100.0f;
        plan.grid = 5;
        MapAuthorFlatHeights(plan, 0.0f);
        std::string error;
        ASSERT_TRUE(MapAuthorWrite(plan, at.string(), error)) << error;
        const fs::path land = at / "component/land/flat.lff";
        ASSERT_TRUE(fs::exists(land));
        fs::resize_file(land, fs::file_size(land) / 3);
    }
}

// A map that cannot load halts the program until Escape, which ends it with -1: status 255.
const FailureCase kFailures[] = {
    {"NoArchive", Folder::Empty, "", 1, "VFS: File 'main.bfs' not found!\n", "VFS: File 'main.bfs' not found!\n"},
    {"DamagedArchive", Folder::DamagedArchive, "", 1, "VFS: File 'main.bfs' has invalid format!\n",
     "VFS: File 'main.bfs' has invalid format!\n"},
    {"NoSuchMap", Folder::Archive, "-m nosuchmap", 255, "ERROR : Cannot read 'mission\\nosuchmap\\mission.def'\n",
     "Unable to load map 'nosuchmap'\n"},
    {"EmptyMissionDefinition", Folder::EmptyDefinition, "-m blank", 255,
     "ERROR : 'mission\\blank\\mission.def' names no land (no \"land\" line)\n", "Unable to load map 'blank'\n"},
    {"TruncatedLandFile", Folder::TruncatedLand, "-m cut", 255,
     "WARNING: Unable to load map 'component\\land\\flat.lff'\n", "Unable to load map 'cut'\n"},
    {"UnwritableWorkingFolder", Folder::UnwritableLog, "", 0, "",
     "WARNING: Cannot write \"zintar.log\" in the working folder: Is a directory\n"},
    {"EditorWithoutLibrary", Folder::Archive, "-e", 1,
     "Loading pravlin.so...\nERROR : Cannot load the editor library \"pravlin.so\"",
     "ERROR : Cannot load the editor library \"pravlin.so\""},
    {"WordOfSixtyFourCharacters", Folder::Archive, "-m " + std::string(64, 'w'), 1,
     "ERROR : Command-line word longer than 63 characters: '" + std::string(63, 'w') + "...'\n",
     "ERROR : Command-line word longer than 63 characters"},
    {"StartPositionNotANumber", Folder::Archive, "-p nan 0 0", 1, "ERROR : -p takes finite numbers, not 'nan'\n",
     "ERROR : -p takes finite numbers, not 'nan'\n"},
    {"StartPositionInfinite", Folder::Archive, "-p 1 2 -inf", 1, "ERROR : -p takes finite numbers, not '-inf'\n",
     "ERROR : -p takes finite numbers, not '-inf'\n"},
};

class StartFailure : public TempDirTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartFailure, SaysWhyInTheLogAndOnStderr)
{
    const FailureCase& failure = GetParam();
    const fs::path work = fs::path(TempPath()) / "work";
    fs::create_directories(work);
    ASSERT_NO_FATAL_FAILURE(Prepare(failure.folder, work));
    const ProgramResult result =
        RunChildJob("run-program-with-keys", work.string(), {{kCommandLineVariable, failure.commandLine}});
    ASSERT_TRUE(result.exited) << "the program did not end";
    EXPECT_EQ(result.exitCode, failure.exitCode);
    const std::string stderrText = ReadFileBytes(work / "stderr.txt");
    EXPECT_NE(stderrText.find(failure.stderrLine), std::string::npos) << stderrText;
    if (!failure.logLine.empty()) {
        const std::string log = ReadFileBytes(work / "zintar.log");
        EXPECT_NE(log.find(failure.logLine), std::string::npos) << log;
    }
}

INSTANTIATE_TEST_SUITE_P(EachFailure, StartFailure, ::testing::ValuesIn(kFailures),
                         [](const ::testing::TestParamInfo<FailureCase>& failure) {
                             return std::string(failure.param.name);
                         });

}  // namespace
