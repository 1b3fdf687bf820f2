// Editor mode through the real program: "zintar -e" with the test editor library beside the program,
// in the working folder, without "Initialize", and with no library at all.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "support/archive_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kLibrary = "pravlin.so";
const std::string kProgram = std::string(ZINTAR_BIN_DIR) + "/zintar";

std::string EditorLibrary(const char* variant)
{
    return std::string(ZINTAR_TEST_EDITOR_DIR) + "/" + variant + "/" + kLibrary;
}

// Runs the program with "-e" in the folder; a run that has not ended after 30 s is killed.
ProgramResult RunEditorMode(const std::string& program, const fs::path& folder)
{
    return RunProgram({program, "-e"}, {}, folder.string(), std::chrono::seconds(30));
}

// What the program logged after opening its archives.
std::string LogAfterStartUp(const fs::path& folder)
{
    const std::string log = ReadFileBytes((folder / "zintar.log").string());
    const std::string opened = "Initializing virtual file system...done\n";
    const size_t at = log.find(opened);
    return at == std::string::npos ? "(no start-up line) " + log : log.substr(at + opened.size());
}

const std::string kClosingLine = "Destroying virtual file system...done\n";

struct EditorCase {
    const char* name;
    const char* variant;  // the test library, null for none
    bool besideProgram;   // else in the working folder
    std::string expectedLog;
    bool checked;  // the library wrote its verdict
};

void PrintTo(const EditorCase& run, std::ostream* out)
{
    *out << run.name;
}

class EditorModeRun : public TempDirTest, public ::testing::WithParamInterface<EditorCase> {};

TEST_P(EditorModeRun, LogsTheSessionAndEndsWithZero)
{
    const EditorCase& run = GetParam();
    const fs::path work = fs::path(TempPath()) / "work";
    const fs::path programFolder = fs::path(TempPath()) / "program";
    fs::create_directories(work);
    fs::create_directories(programFolder);
    ASSERT_TRUE(WriteTestArchive((work / "main.bfs").string(), {{"config.def", "rbwindowed = 1\n"}}));

    std::string program = kProgram;
    if (run.besideProgram) {
        program = (programFolder / "zintar").string();
        fs::copy_file(kProgram, program);
    }
    if (run.variant)
        fs::copy_file(EditorLibrary(run.variant), (run.besideProgram ? programFolder : work) / kLibrary);

    const ProgramResult result = RunEditorMode(program, work);
    ASSERT_TRUE(result.exited) << "the program did not end";
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(LogAfterStartUp(work), run.expectedLog + kClosingLine);
    const std::string verdict = ReadFileBytes((work / "editor_check.txt").string());
    EXPECT_EQ(verdict, run.checked ? "ok\n" : "");
}

const std::string kWholeSession =
    "Loading pravlin.so...done\n"
    "Initializing editor collaboration...done\n"
    // The test library starts video through the record while the program hands it over.
    "Providing zintar interface...Initializing video subsystem...done\n"
    "done\n"
    "Releasing pravlin.so...done\n";

INSTANTIATE_TEST_SUITE_P(
    Editor, EditorModeRun,
    ::testing::Values(EditorCase{"BesideTheProgram", "checking", true, kWholeSession, true},
                      EditorCase{"InTheWorkingFolder", "checking", false, kWholeSession, true},
                      EditorCase{"WithoutInitialize", "no_initialize", false,
                                 "Loading pravlin.so...done\nInitializing editor collaboration...", false},
                      EditorCase{"WithoutLibrary", nullptr, false, "Loading pravlin.so...", false}),
    [](const ::testing::TestParamInfo<EditorCase>& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
