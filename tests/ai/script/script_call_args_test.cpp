// Call argument lists: constants pooled, variables bound, and the errors with their echo.
#include <gtest/gtest.h>

#include <string>

#include "ai/script_fixture.h"

namespace {

using ScriptCallArgs = ScriptTest;

TEST_F(ScriptCallArgs, ConstantsAreReadAndPooled)
{
    ScriptArgs args;
    const char* text = "(\"go\", -1.5, 12, 0x10, 1, 1) tail";
    const char* cursor = text;
    ASSERT_TRUE(ParseCallArgs(&args, cursor)) << LogText();
    EXPECT_EQ(std::string(cursor), " tail");
    ASSERT_EQ(args.Count(), 6);
    ScriptArgWord* words = args.Resolve();
    EXPECT_STREQ(static_cast<const char*>(words[0]), "go");
    EXPECT_EQ(*static_cast<float*>(words[1]), -1.5f);
    EXPECT_EQ(*static_cast<s32_t*>(words[2]), 12);
    EXPECT_EQ(*static_cast<s32_t*>(words[3]), 16);
    EXPECT_EQ(words[4], words[5]) << "the constant 1 twice: one pooled int";
    EXPECT_EQ(LogText(), "(,,,,,)");
}

TEST_F(ScriptCallArgs, VariablesAndObjectsBindThroughTheLookUp)
{
    s32_t* countCell = static_cast<s32_t*>(ScriptGlobalObjects()->AddInt("count", 3)->data);
    void* held = nullptr;
    ScriptGlobalObjects()->AddObjectRef("sender", &held);
    ScriptArgs args;
    const char* cursor = "(count, sender)";
    ASSERT_TRUE(ParseCallArgs(&args, cursor)) << LogText();
    EXPECT_EQ(args.BoundCount(), 1);
    int target = 0;
    held = &target;
    ScriptArgWord* words = args.Resolve();
    EXPECT_EQ(words[0], countCell);
    EXPECT_EQ(words[1], &target);
}

struct ArgError {
    const char* text;
    const char* log;
};

TEST_F(ScriptCallArgs, ErrorsWriteTheirLineAndTheWordFound)
{
    const ArgError cases[] = {
        {"x)", "ERROR : func 6: at line 1  Expecting '(' but found 'x)'\n"},
        {"(1 2)", "(ERROR : func 7: at line 1  Expecting ')' but found '2)'\n"},
        {"(nobody)", "(ERROR : func 4: at line 1  Unknow parameter -  'nobody)'\n"},
        {"(,)", "(ERROR : func 3: at line 1  Expecting identifier\n"},
        {"(\"open)", "(ERROR : lex 1: at line 1  Unexpected end of line\n"},
    };
    for (const ArgError& c : cases) {
        AILogClose();
        ASSERT_TRUE(AILogOpen("log.txt"));
        ScriptArgs args;
        const char* cursor = c.text;
        EXPECT_FALSE(ParseCallArgs(&args, cursor)) << c.text;
        EXPECT_EQ(LogText(), c.log) << c.text;
    }
}

TEST_F(ScriptCallArgs, SixteenArgumentsPassAndSeventeenFail)
{
    std::string list = "(1";
    for (int i = 2; i <= 16; ++i)
        list += "," + std::to_string(i);
    ScriptArgs sixteen;
    const std::string full = list + ")";
    const char* cursor = full.c_str();
    EXPECT_TRUE(ParseCallArgs(&sixteen, cursor));
    EXPECT_EQ(sixteen.Count(), 16);

    const std::string over = list + ",17)";
    ScriptArgs seventeen;
    cursor = over.c_str();
    EXPECT_FALSE(ParseCallArgs(&seventeen, cursor));
    EXPECT_EQ(seventeen.Count(), 16);
    EXPECT_NE(LogText().find("Too many arguments"), std::string::npos);
}

}  // namespace
