#include <gtest/gtest.h>
#include <string>
#include "core/core_cvars.h"
#include "core/winos.h"

namespace {

struct ParsedLine {
    StartOptions options = {};
    bool editor = false;
};

ParsedLine Parse(const char* line)
{
    dsmap.SetString("map_01");
    ParsedLine parsed;
    SplitCommandLine(line, parsed.options);
    parsed.editor = ApplyCommandLineOptions(parsed.options);
    return parsed;
}

TEST(CommandLine, SplitsAtBlanksAndStoresSlashAsDash)
{
    StartOptions options = {};
    SplitCommandLine("/M  map_02", options);
    EXPECT_EQ(options.lastWord, 2);
    EXPECT_STREQ(options.words[0], "-M");
    EXPECT_STREQ(options.words[1], "");  // two blanks make an empty word
    EXPECT_STREQ(options.words[2], "map_02");
}

TEST(CommandLine, EmptyLineIsOneEmptyWord)
{
    ParsedLine parsed = Parse("");
    EXPECT_EQ(parsed.options.lastWord, 0);
    EXPECT_STREQ(parsed.options.words[0], "");
    EXPECT_FALSE(parsed.options.directStart);
    EXPECT_FALSE(parsed.editor);
}

struct OptionCase {
    const char* line;
    const char* expectedMap;
    bool directStart;
    const char* account;  // null: none
    float x, y, z;
};

class CommandLineOptions : public testing::TestWithParam<OptionCase> {};

TEST_P(CommandLineOptions, AppliesOptionsInOrder)
{
    const OptionCase& c = GetParam();
    ParsedLine parsed = Parse(c.line);
    EXPECT_STREQ(dsmap.String(), c.expectedMap);
    EXPECT_EQ(parsed.options.directStart != 0, c.directStart);
    if (c.account)
        EXPECT_STREQ(parsed.options.accountName, c.account);
    else
        EXPECT_EQ(parsed.options.accountName, nullptr);
    EXPECT_FLOAT_EQ(parsed.options.startPosition.x, c.x);
    EXPECT_FLOAT_EQ(parsed.options.startPosition.y, c.y);
    EXPECT_FLOAT_EQ(parsed.options.startPosition.z, c.z);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineOptions,
                         testing::Values(OptionCase{"-m map_07", "map_07", true, nullptr, 0, 0, 0},
                                         OptionCase{"/M map_07", "map_07", true, nullptr, 0, 0, 0},
                                         OptionCase{"-m", "map_01", false, nullptr, 0, 0,
                                                    0},  // last word: nothing follows
                                         OptionCase{"-a bob", "map_01", false, "bob", 0, 0, 0},
                                         OptionCase{"-A bob -m x", "x", true, "bob", 0, 0, 0},
                                         // "-a" takes "-m" as its name; the later options then look at that same word.
                                         OptionCase{"-a -m x", "x", true, "-m", 0, 0, 0},
                                         OptionCase{"-p 1 2", "map_01", false, nullptr, 1, 2, 0},
                                         OptionCase{"-p 1.5 -2 3", "map_01", false, nullptr, 1.5f, -2, 3},
                                         OptionCase{"-unknown -p 4 5 6 -m m", "m", true, nullptr, 4, 5, 6}));

TEST(CommandLine, EditorOptionRunsAfterTheOptionsBeforeIt)
{
    ParsedLine parsed = Parse("-m map_09 -e -m map_10");
    EXPECT_TRUE(parsed.editor);
    EXPECT_TRUE(parsed.options.editorMode);
    EXPECT_STREQ(dsmap.String(), "map_09");
}

TEST(CommandLine, StopsStoringAfterThirtySixWords)
{
    std::string line;
    for (int i = 0; i < 50; ++i)
        line += "w" + std::to_string(i) + " ";
    line += "-m late";
    ParsedLine parsed = Parse(line.c_str());
    EXPECT_EQ(parsed.options.lastWord, PARAM_MAX_COUNT - 1);
    EXPECT_STREQ(parsed.options.words[35], "w35");
    EXPECT_FALSE(parsed.options.directStart);
}

TEST(CommandLine, WordOfSixtyThreeCharactersFits)
{
    std::string word(63, 'x');
    StartOptions options = {};
    SplitCommandLine(word.c_str(), options);
    EXPECT_EQ(std::string(options.words[0]), word);
}

// A word the table cannot hold is refused, not cut and not asserted on; the program then ends with a
// line (the whole road is in start_failures_test.cpp).
TEST(CommandLine, WordOfSixtyFourCharactersIsRefused)
{
    StartOptions options = {};
    std::string line = "-m " + std::string(64, 'x');
    EXPECT_FALSE(SplitCommandLine(line.c_str(), options));
    EXPECT_STREQ(options.words[0], "");
    EXPECT_TRUE(SplitCommandLine(("-m " + std::string(63, 'x')).c_str(), options));
}

TEST(CommandLine, StartPositionMustBeFinite)
{
    struct Case {
        const char* line;
        bool valid;
    };
    const Case cases[] = {
        {"-p 1 2 3", true},        {"-p nan 2 3", false},  {"-p 1 inf 3", false}, {"-m x -p 1 2 -INF", false},
        {"-p 1 2", true},          {"-p abc 2 3", true},    // not a number at all: the coordinate stays as it was
        {"-m nan -p 1 2 3", true}, {"-p 1e39 0 0", false},  // beyond a float: infinite
    };
    for (const Case& c : cases) {
        StartOptions options = {};
        ASSERT_TRUE(SplitCommandLine(c.line, options));
        EXPECT_EQ(CommandLineOptionsValid(options), c.valid) << c.line;
    }
}

TEST(WindowProcedure, KeyMessageScanCodeAddsExtendedBit)
{
    EXPECT_EQ(KeyMessageScanCode(0x29 << 16), 0x29);
    EXPECT_EQ(KeyMessageScanCode((0x48 << 16) | (1 << 24)), 0xC8);
}

}  // namespace
