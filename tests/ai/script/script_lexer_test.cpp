// The script text reader: blanks, comments and line counting, and the token readers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ai/script_fixture.h"

namespace {

using ScriptReader = ScriptTest;

TEST_F(ScriptReader, CommentsStartOnlyAfterABlank)
{
    const char* text = "word # comment\nnext";
    const char* cursor = text + 4;
    ASSERT_TRUE(LexSkipBlanks(cursor));
    EXPECT_EQ(std::string(cursor), "next");
    EXPECT_EQ(ScriptLine(), 2);

    const char* glued = "word#comment";
    cursor = glued + 4;
    ASSERT_TRUE(LexSkipBlanks(cursor));
    EXPECT_EQ(*cursor, '#');
    const char* atCursor = "// not skipped";
    cursor = atCursor;
    ASSERT_TRUE(LexSkipBlanks(cursor));
    EXPECT_EQ(cursor, atCursor);

    SetScriptLine(1);
    const char* block = " /* a\nb\nc */x";
    cursor = block;
    ASSERT_TRUE(LexSkipBlanks(cursor));
    EXPECT_EQ(*cursor, 'x');
    EXPECT_EQ(ScriptLine(), 3) << "a comment over three lines adds 2";

    const char* tail = "  \n ";
    cursor = tail;
    EXPECT_FALSE(LexSkipBlanks(cursor));
    EXPECT_TRUE(LexAtEnd(cursor));
}

struct NumberCase {
    const char* text;
    bool read;
    s32_t value;   // the output after the read (starting from 77)
    int consumed;  // characters the cursor moved
};

TEST_F(ScriptReader, NumbersReadOrLeaveTheCursor)
{
    const NumberCase cases[] = {
        {"-12;", true, -12, 3}, {"- 12;", true, 77, 4},  // the sign parted from its digits converts nothing
        {"+7", true, 7, 2},     {"0x1F)", true, 31, 4}, {"0x)", false, 77, 0},
        {"x1", false, 77, 0},   {"-x", false, 77, 0},   {"99999999999", true, 2147483647, 11},
        {"0X1F)", true, 0, 1},  // only a lower-case "0x" starts a hexadecimal number
    };
    for (const NumberCase& c : cases) {
        const char* cursor = c.text;
        s32_t value = 77;
        EXPECT_EQ(LexReadNumber(cursor, &value), c.read) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(cursor - c.text, c.consumed) << c.text;
    }
}

TEST_F(ScriptReader, FloatsNeedDigitsOnBothSidesOfThePoint)
{
    const char* texts[] = {"3.", ".5", "5", "-", "3.e2"};
    for (const char* text : texts) {
        const char* cursor = text;
        float value = 9.0f;
        EXPECT_FALSE(LexReadFloat(cursor, &value)) << text;
        EXPECT_EQ(cursor, text) << text;
        EXPECT_EQ(value, 9.0f) << text;
    }
    const char* text = "-3.5e7";
    const char* cursor = text;
    float value = 0.0f;
    ASSERT_TRUE(LexReadFloat(cursor, &value));
    EXPECT_EQ(value, -3.5f);
    EXPECT_EQ(*cursor, 'e') << "no exponent form";
}

TEST_F(ScriptReader, StringsAndIdentifiers)
{
    const char* text = "\"two\nlines\" rest";
    const char* cursor = text;
    char* out = nullptr;
    ASSERT_TRUE(LexReadQuotedString(cursor, &out));
    EXPECT_STREQ(out, "two\nlines");
    EXPECT_EQ(ScriptLine(), 1) << "line ends inside a string are not counted";
    ScriptFreeText(out);

    const char* open = "\"never closed";
    cursor = open;
    EXPECT_FALSE(LexReadQuotedString(cursor, &out));
    EXPECT_EQ(cursor, open);
    EXPECT_NE(LogText().find("ERROR : lex 1: at line 1  Unexpected end of line\n"), std::string::npos) << LogText();

    const char* ident = "Hold_2(x)";
    cursor = ident;
    ASSERT_TRUE(LexReadIdentifier(cursor, &out));
    EXPECT_STREQ(out, "Hold_2");
    EXPECT_EQ(*cursor, '(');
    ScriptFreeText(out);
    const char* digit = "2abc";
    cursor = digit;
    EXPECT_FALSE(LexReadIdentifier(cursor, &out));

    const char* until = "abc;def";
    cursor = until;
    ASSERT_TRUE(LexReadUntil(cursor, ';', true, &out));
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(*cursor, ';');
    ScriptFreeText(out);
}

TEST_F(ScriptReader, BalancedSkipsEndEvenOverGluedHashes)
{
    const char* texts[] = {"a#b} tail", "#} tail", "a { b # c\n } } tail", "x /* } */ } tail"};
    for (const char* text : texts) {
        const char* cursor = text;
        ASSERT_TRUE(LexSkipBalanced(cursor, '{', '}')) << text;
        EXPECT_EQ(std::string(cursor), " tail") << text;
    }
    const char* open = "a { b";
    const char* cursor = open;
    EXPECT_FALSE(LexSkipBalanced(cursor, '{', '}'));
    EXPECT_TRUE(LexIsBlankOrComment('#'));
    EXPECT_TRUE(LexIsBlankOrComment('\t'));
    EXPECT_FALSE(LexIsBlankOrComment('\0'));
}

TEST_F(ScriptReader, EchoWritesTheNextWordWithoutMoving)
{
    const char* text = "found( it";
    LexEchoWord(text);
    EXPECT_EQ(LogText(), " 'found('\n");
}

}  // namespace
