#include "core/assert.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "support/run_program.h"

namespace {

int g_two = 2;
constexpr int kFailingLine = __LINE__ + 4;

int FailTheMacro()
{
    ENGINE_ASSERT(g_two == 3);
    return 0;
}

int g_checks = 0;
constexpr int kFailingTextLine = __LINE__ + 6;

// The condition is evaluated once, and a passing one reports nothing.
int FailTheTextMacro()
{
    ENGINE_ASSERT_TEXT(++g_checks == 1, "never shown");
    ENGINE_ASSERT_TEXT(++g_checks == 3, "two_c < 3");
    return 0;
}

int FailWithGivenSource()
{
    AssertionFailed("x > 0", std::getenv("TEST_ASSERT_SOURCE"), 42);
}

const bool g_macroJob = RegisterChildJob("assert-macro", FailTheMacro);
const bool g_sourceJob = RegisterChildJob("assert-source", FailWithGivenSource);
const bool g_textJob = RegisterChildJob("assert-text", FailTheTextMacro);

struct FailedChild {
    std::string log;
    std::string messageBox;  // headless, the message box text goes to stderr
};

// The child is to end at once with code 3.
FailedChild RunFailingChild(const char* job, const ProgramEnvironment& environment = {})
{
    const TempDir folder;
    const std::filesystem::path path = folder.Path();
    const ProgramResult result = RunChildJob(job, path, environment);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 3);
    return {ReadFileBytes(path / "zintar.log"), ReadFileBytes(path / "stderr.txt")};
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(AssertDeathTest, FailedAssertionLogsItsLineAndEndsWithCode3)
{
    struct Case {
        const char* job;
        std::string message;
    };
    const Case cases[] = {
        {"assert-macro", "Assertion 'g_two == 3' failed in assert_test, line " + std::to_string(kFailingLine)},
        // The form with a fixed text reports the text in place of the condition.
        {"assert-text", "Assertion 'two_c < 3' failed in assert_test, line " + std::to_string(kFailingTextLine)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.job);
        const FailedChild child = RunFailingChild(c.job);
        EXPECT_TRUE(EndsWith(child.log, "\n-- " + c.message + "\n")) << child.log;
        EXPECT_NE(child.messageBox.find("ERROR"), std::string::npos) << child.messageBox;
        EXPECT_NE(child.messageBox.find(c.message), std::string::npos) << child.messageBox;
    }
}

TEST(AssertDeathTest, SourceIsNamedWithoutFoldersOrExtension)
{
    struct Case {
        const char* path;
        const char* name;
    };
    const Case cases[] = {
        {"core/winos.cpp", "winos"}, {"render\\decal.cpp", "decal"}, {"a.dir/b/plain", "plain"},
        {"noext", "noext"},          {"two.dots.cpp", "two.dots"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string log = RunFailingChild("assert-source", {{"TEST_ASSERT_SOURCE", c.path}}).log;
        const std::string line = std::string("\n-- Assertion 'x > 0' failed in ") + c.name + ", line 42\n";
        EXPECT_TRUE(EndsWith(log, line)) << log;
    }
}

}  // namespace
