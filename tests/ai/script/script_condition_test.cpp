// Conditions: compiling token lists into nodes, their errors, and evaluation with its short cut.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ai/script/script_condition.h"
#include "ai/script_fixture.h"

namespace {

// Builds token lists from a compact text: lower-case letters are the bool variables of the fixture,
// "i" "j" ints, "f" "g" floats, "o" "p" objects, "c" a call counting itself; operators and brackets
// as written ("<=" etc. as "L", "G", "E", "N" for <=, >=, ==, !=).
class ScriptConditions : public ScriptTest {
protected:
    void Fill(ScriptTokenList& list, const std::string& text)
    {
        for (char c : text) {
            switch (c) {
                case '(':
                    list.Add({ScriptToken::Open});
                    break;
                case ')':
                    list.Add({ScriptToken::Close});
                    break;
                case '!':
                    list.Add(ScriptToken::MakeOperator(OP_NOT));
                    break;
                case '&':
                    list.Add(ScriptToken::MakeOperator(OP_AND));
                    break;
                case '|':
                    list.Add(ScriptToken::MakeOperator(OP_OR));
                    break;
                case '<':
                    list.Add(ScriptToken::MakeOperator(OP_LESS));
                    break;
                case '>':
                    list.Add(ScriptToken::MakeOperator(OP_GREATER));
                    break;
                case 'L':
                    list.Add(ScriptToken::MakeOperator(OP_LESS_EQUAL));
                    break;
                case 'G':
                    list.Add(ScriptToken::MakeOperator(OP_GREATER_EQUAL));
                    break;
                case 'E':
                    list.Add(ScriptToken::MakeOperator(OP_EQUAL));
                    break;
                case 'N':
                    list.Add(ScriptToken::MakeOperator(OP_NOT_EQUAL));
                    break;
                case 'a':
                case 'b':
                case 'd':
                    list.Add(ScriptToken::MakeOperand(OPERAND_BOOL, new ScriptValueOperand(&bools[c - 'a'])));
                    break;
                case 'i':
                case 'j':
                    list.Add(ScriptToken::MakeOperand(OPERAND_INT, new ScriptValueOperand(&ints[c - 'i'])));
                    break;
                case 'f':
                case 'g':
                    list.Add(ScriptToken::MakeOperand(OPERAND_FLOAT, new ScriptValueOperand(&floats[c - 'f'])));
                    break;
                case 'o':
                case 'p': {
                    ScriptValue* value = ScriptGlobalObjects()->Find(c == 'o' ? "first" : "second");
                    list.Add(ScriptToken::MakeOperand(OPERAND_ADDRESS, new ScriptAddressOperand(value)));
                    break;
                }
                case 'c':
                    list.Add(ScriptToken::MakeOperand(OPERAND_BOOL, new ScriptCallOperand(CountCall, nullptr)));
                    break;
                default:
                    break;
            }
        }
    }
    bool Compiles(const std::string& text)
    {
        ScriptTokenList list(static_cast<s32_t>(text.size()) + 1);
        Fill(list, text);
        return condition.Compile(list);
    }
    static void CountCall(ScriptArgWord*)
    {
        ++calls;
        g_scriptResult.asBool = 1;
    }
    void SetUp() override
    {
        ScriptTest::SetUp();
        calls = 0;
        ScriptGlobalObjects()->AddObject("first", &objects[0]);
        ScriptGlobalObjects()->AddObject("second", &objects[1]);
    }

    ScriptCondition condition;
    u8_t bools[4] = {};
    s32_t ints[2] = {};
    float floats[2] = {};
    int objects[2] = {};
    static int calls;
};
int ScriptConditions::calls = 0;

TEST_F(ScriptConditions, OperatorsApplyLeftToRightWithoutPrecedence)
{
    ASSERT_TRUE(Compiles("a|b&d"));
    ASSERT_EQ(condition.NodeCount(), 2);
    EXPECT_EQ(condition.Node(0).code, OP_OR);
    EXPECT_EQ(condition.Node(1).code, OP_AND);
    bools[0] = 1;  // (a or b) and d: false while d is false, whatever a gives
    EXPECT_FALSE(condition.Evaluate());
    bools[3] = 1;
    EXPECT_TRUE(condition.Evaluate());

    ASSERT_TRUE(Compiles("!(a&b)"));
    ASSERT_EQ(condition.NodeCount(), 2);
    EXPECT_EQ(condition.Node(0).code, OP_AND);
    EXPECT_EQ(condition.Node(1).code, OP_NOT);
    EXPECT_TRUE(condition.Evaluate());

    ASSERT_TRUE(Compiles("a"));
    ASSERT_EQ(condition.NodeCount(), 1);
    EXPECT_EQ(condition.Node(0).code, OP_COPY);
    ASSERT_TRUE(Compiles("((a))"));
    EXPECT_EQ(condition.NodeCount(), 1);
}

struct CompileError {
    const char* tokens;
    const char* message;  // empty: fails without a message
};

TEST_F(ScriptConditions, EachCompileErrorWritesItsLine)
{
    const CompileError cases[] = {
        {"ab", "Expecting operator\n"},
        {"!i", "Expecting operator '!'\n"},
        {"&a", "Missing parameter for operator\n"},
        {"a&i", "Incompatible type of arguments\n"},
        {"i<f", "Incompatible type of arguments\n"},
        {"a<b", "Incompatible type of arguments\n"},
        {")", "Unexpected ')'\n"},
        {"a)", "Missing '('\n"},
        {"(!)", "Missing argument\n"},
        {"(a", "Incomplete expression\n"},
        {"", "Incomplete expression\n"},
        {"i", "Incomplete expression\n"},
        {"(i)<j", ""},
    };
    for (const CompileError& c : cases) {
        AILogClose();
        ASSERT_TRUE(AILogOpen("log.txt"));
        EXPECT_FALSE(Compiles(c.tokens)) << c.tokens;
        EXPECT_EQ(condition.NodeCount(), 0) << c.tokens;
        const std::string log = LogText();
        if (*c.message) {
            EXPECT_EQ(log.rfind("ERROR : booleval ", 0), 0u) << c.tokens << ": " << log;
            EXPECT_NE(log.find(std::string(": at line 1 ") + c.message), std::string::npos) << c.tokens << ": " << log;
        } else {
            EXPECT_EQ(log, "") << c.tokens;
        }
    }
}

TEST_F(ScriptConditions, TheShortCutSkipsOnlyDirectOperands)
{
    // False "&": the call on its right is not made.
    ASSERT_TRUE(Compiles("a&c"));
    EXPECT_FALSE(condition.Evaluate());
    EXPECT_EQ(calls, 0);
    // True "|": likewise.
    bools[0] = 1;
    ASSERT_TRUE(Compiles("a|c"));
    EXPECT_TRUE(condition.Evaluate());
    EXPECT_EQ(calls, 0);
    // A node completed earlier always runs: the "!" over the call is evaluated although the "&"
    // above it is cut short.
    bools[0] = 0;
    ASSERT_TRUE(Compiles("a&(!c)"));
    EXPECT_FALSE(condition.Evaluate());
    EXPECT_EQ(calls, 1);
}

TEST_F(ScriptConditions, ComparisonsByType)
{
    ints[0] = -3;
    ints[1] = 2;
    ASSERT_TRUE(Compiles("i<j"));
    EXPECT_TRUE(condition.Evaluate()) << "signed";
    floats[0] = std::nanf("");
    const char* floatOps[] = {"f<g", "fLg", "fEg", "f>g", "fGg"};
    for (const char* op : floatOps) {
        ASSERT_TRUE(Compiles(op));
        EXPECT_FALSE(condition.Evaluate()) << op << " with a NaN";
    }
    ASSERT_TRUE(Compiles("fNg"));
    EXPECT_TRUE(condition.Evaluate());

    ASSERT_TRUE(Compiles("oEp"));
    EXPECT_FALSE(condition.Evaluate());
    ASSERT_TRUE(Compiles("oEo"));
    EXPECT_TRUE(condition.Evaluate()) << "identity";
}

}  // namespace
