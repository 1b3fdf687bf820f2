// Damaged script texts through the reader, the argument parser and the condition compiler: no crash,
// no read past the text, no endless loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ai/script/script_condition.h"
#include "core/random.h"
#include "ai/script_fixture.h"
#include "support/text_mutation.h"

namespace {

const char kFixture[] =
    "# a rule file\n"
    "global int count = 0x1F; /* two\nlines */ float speed = -2.5;\n"
    "rule Watch { if (a & (b | c)) { Call(\"text\", 1, 2.0, count, sender) } }\n"
    "// the end\n"
    "name#glued { nested { deeper } }\n";

// Runs every reader over the text from start to end, as a compiler would, and parses every "(" as a
// call argument list. Each step must advance or stop.
void ReadAll(const std::string& bytes)
{
    const std::string text = bytes;  // zero-terminated by the string
    const char* cursor = text.c_str();
    const char* end = text.c_str() + text.size();
    while (cursor < end && !LexAtEnd(cursor)) {
        const char* before = cursor;
        char* word = nullptr;
        s32_t number = 0;
        float real = 0.0f;
        if (LexReadQuotedString(cursor, &word) || LexReadIdentifier(cursor, &word)) {
            ScriptFreeText(word);
        } else if (LexReadFloat(cursor, &real) || LexReadNumber(cursor, &number)) {
        } else if (*cursor == '(') {
            ScriptArgs args;
            if (!ParseCallArgs(&args, cursor) && cursor == before)
                ++cursor;
        } else if (*cursor == '{') {
            ++cursor;
            LexSkipBalanced(cursor, '{', '}');
        } else if (!LexSkipBlanks(cursor)) {
            break;
        }
        if (cursor == before)
            ++cursor;
        ASSERT_LE(cursor, end);
    }
}

class ScriptReaderRobustness : public ScriptTest {
protected:
    void SetUp() override
    {
        ScriptTest::SetUp();
        ScriptGlobalObjects()->AddInt("count", 1);
    }
};

TEST_F(ScriptReaderRobustness, EveryTruncationAndNamedDamageReads)
{
    const std::string fixture = kFixture;
    for (size_t length = 0; length <= fixture.size(); ++length)
        ReadAll(fixture.substr(0, length));
    for (const test_support::TextDamage& damage : test_support::CommonTextDamages()) {
        SCOPED_TRACE(damage.what);
        ReadAll(damage.make(fixture));
    }
}

TEST_F(ScriptReaderRobustness, MutatedTextsRead)
{
    const u32_t seed = EngineRandState();
    EngineSRand(4711);
    for (int round = 0; round < 2000; ++round)
        ReadAll(test_support::MutateText(kFixture));
    EngineSRand(seed);
}

TEST_F(ScriptReaderRobustness, DeeplyNestedConditionsCompileWithoutRecursion)
{
    constexpr int kDepth = 100000;
    u8_t flag = 1;
    ScriptTokenList tokens(2 * kDepth + 1);
    for (int i = 0; i < kDepth; ++i)
        tokens.Add({ScriptToken::Open});
    tokens.Add(ScriptToken::MakeOperand(OPERAND_BOOL, new ScriptValueOperand(&flag)));
    for (int i = 0; i < kDepth; ++i)
        tokens.Add({ScriptToken::Close});
    ScriptCondition condition;
    ASSERT_TRUE(condition.Compile(tokens));
    EXPECT_TRUE(condition.Evaluate());

    ScriptTokenList open(kDepth + 1);
    for (int i = 0; i < kDepth; ++i)
        open.Add({ScriptToken::Open});
    open.Add(ScriptToken::MakeOperand(OPERAND_BOOL, new ScriptValueOperand(&flag)));
    EXPECT_FALSE(condition.Compile(open));
}

}  // namespace
