#include "core/log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/win32.h"
#include "support/temp_dir.h"
#include "support/run_program.h"

namespace {

const std::string kLongLog(2000, 'x');
const std::string kLongDebug(3000, 'y');

int WriteLogAndDebugLines()
{
    Log("file %s\n", "a%sb%dc%n.txt");
    Log("%s\n", kLongLog.c_str());
    Log("after\n");
    DebugPrint("debug %d %s\n", 7, "%s");
    DebugPrint("%s\n", kLongDebug.c_str());
    DebugPrint("end\n");
    return 0;
}

int LogWithoutAFile()
{
    const int result = Log("nowhere %d\n", 1);
    return LogIsOpen() ? 10 : result;
}

// ShowCursor returns the display counter after its change; one step up and down reads it unchanged.
int DisplayCounter()
{
    ShowCursor(TRUE);
    return ShowCursor(FALSE);
}

int ReportCursorCounter()
{
    const int start = DisplayCounter();
    SetCursorVisible(true);
    const int afterShow = DisplayCounter() - start;
    SetCursorVisible(false);
    SetCursorVisible(false);
    const int afterHideTwice = DisplayCounter() - start;
    SetCursorVisible(true);
    const int afterShowAgain = DisplayCounter() - start;
    std::printf("%d %d %d", afterShow, afterHideTwice, afterShowAgain);
    return 0;
}

const bool g_logJob = RegisterChildJob("log-lines", WriteLogAndDebugLines);
const bool g_noFileJob = RegisterChildJob("log-no-file", LogWithoutAFile);
const bool g_cursorJob = RegisterChildJob("cursor", ReportCursorCounter);

// One child writes the lines in a folder of its own; each test checks a part of what it left.
class LogFileTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const TempDir folder;
        const std::filesystem::path path = folder.Path();
        s_result = RunChildJob("log-lines", path, {{"ZINTAR_DEBUG", "1"}});
        s_log = ReadFileBytes(path / "zintar.log");
        s_debug = ReadFileBytes(path / "stderr.txt");
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_result.exited);
        ASSERT_EQ(s_result.exitCode, 0);
    }

    static inline ProgramResult s_result;
    static inline std::string s_log;
    static inline std::string s_debug;
};

TEST_F(LogFileTest, StartsWithTheHeaderAndBuildLine)
{
    const std::string header = "Zintar Log File\nBuild: ";
    ASSERT_EQ(s_log.compare(0, header.size(), header), 0) << s_log.substr(0, 80);
    const size_t buildEnd = s_log.find('\n', header.size());
    ASSERT_NE(buildEnd, std::string::npos);
    EXPECT_EQ(s_log.compare(buildEnd, 2, "\n\n"), 0);
}

TEST_F(LogFileTest, ArgumentsWithPercentSignsAreWrittenUnchanged)
{
    EXPECT_NE(s_log.find("\nfile a%sb%dc%n.txt\n"), std::string::npos);
    EXPECT_NE(s_debug.find("debug 7 %s\n"), std::string::npos) << s_debug.substr(0, 80);
}

TEST_F(LogFileTest, TextLongerThanTheBufferIsCut)
{
    // 1023 characters and the buffer's terminating zero; the cut line loses its newline.
    EXPECT_NE(s_log.find("\n" + std::string(1023, 'x') + "after\n"), std::string::npos);
    EXPECT_EQ(s_log.find(std::string(1024, 'x')), std::string::npos);
    EXPECT_NE(s_debug.find("\n" + std::string(2047, 'y') + "end\n"), std::string::npos);
    EXPECT_EQ(s_debug.find(std::string(2048, 'y')), std::string::npos);
}

TEST(LogTest, WithoutALogFileLinesAreDiscarded)
{
    const TempDir folder;
    const std::filesystem::path path = folder.Path();
    // A folder in the log's place: the file cannot be created.
    std::filesystem::create_directory(path / "zintar.log");

    const ProgramResult result = RunChildJob("log-no-file", path);
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0);
}

TEST(CursorTest, ShowCursorIsCalledOnlyWhenTheStateChanges)
{
    const TempDir folder;
    const std::filesystem::path path = folder.Path();
    const ProgramResult result = RunChildJob("cursor", path);
    ASSERT_TRUE(result.exited);
    ASSERT_EQ(result.exitCode, 0);
    // Visible from the start: showing does nothing, hiding twice moves the counter once.
    EXPECT_EQ(ReadFileBytes(path / "stdout.txt"), "0 -1 0");
}

}  // namespace
