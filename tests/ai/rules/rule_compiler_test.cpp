// The rule-script compiler: top-level forms, declarations, rule bodies, statements and their errors.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ai/rules/rule_actions.h"
#include "core/frame_view.h"
#include "rule_script_fixture.h"

namespace {

using RuleCompiler = RuleScriptTest;

struct CompileCase {
    const char* what;
    const char* text;
    bool compiles;
    const char* logged;  // a piece of the AI log the compile must write (empty: none asked)
};

TEST_F(RuleCompiler, ScriptsAndTheirErrorLines)
{
    const CompileCase cases[] = {
        {"empty", "", true, ""},
        {"only a comment", "\n# c\n", true, ""},
        {"a # at the very start is no comment", "# c\nrule A{}", false, "Expecting identifier 'rule' but found '#'"},
        {"a second body", "rule A;\nrule A{}\nrule A{}", false, "Rule 'A' already has body\n"},
        {"no ';' after an attribute", "rule A{ priority = 5; }", false, "Expecting identifier but found ';'"},
        {"a bool without a global", "bool b;", false, "Variable type not supported yet\n"},
        {"an unknown top-level word", "fule A{}", false, "Expecting identifier 'rule' but found 'fule'\n"},
        {"a block word with '('", "rule A{OnEnable(", false, "Expecting '{' but found '('\n"},
        {"if with '{'", "rule A{if{", false, "Expecting '(' but found '{'"},
        {"a float given an int constant", "float f; rule A{ OnTrue{ f = 1; } }", false,
         "Expecting float const but found '1;'"},
        {"a string into an int", "int a; str s; rule A{ OnTrue{ a = s; } }", false, "Incompatible types 'a' and 's'\n"},
        {"void into a variable", "int x; rule A{ OnTrue{ x = Disable(); } }", false,
         "cannot assign return type void from Disable()\n"},
        {"else alone", "rule A{ OnTrue{ else {} } }", false, "IDENT TYPE NOT SUPPORTED YET\n"},
        {"an unknown function last", "rule A{ OnTrue{ Mark(1); Nope() } }", true,
         "Unknow function 'Nope'\nWARNING : Skipping unknow function call\n"},
        {"an unknown function in the middle", "rule A{ OnTrue{ Mark(1); Nope(); Mark(2); } }", false,
         "Expecting '}' but found ';'\n"},
        {"an and over an int", "int x; rule A{ if (Yes() & x < 5) OnTrue{} }", false,
         "Incompatible type of arguments\n"},
        {"a rule word without a rule", "event MoveTo { Enable(); }", false, "No rule specified for 'Enable'\n"},
        {"an event not in the list", "event Nowhere { }", false, "Unknow event 'Nowhere'\n"},
        {"a dotted name of 11 parts", "rule A{ OnTrue{ a.b.c.d.e.f.g.h.i.j.k = 1; } }", false, "more than 10 parts"},
        {"17 arguments", "rule A{ OnTrue{ Mark(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17); } }", false,
         "Too many arguments"},
        {"a condition left open", "rule A{ if (Yes() ", false, "Unexpected end of file\n"},
        {"a single '='", "int x; rule A{ if (x = 1) }", false, "Wrong operator ' '\n"},
        {"a type conflict reported on the name's line", "global int gx;\nglobal float gx\n;", false,
         " at line 2 Global variable 'gx' type conflict !!!\n"},
    };
    for (const CompileCase& c : cases) {
        SCOPED_TRACE(c.what);
        set = std::make_unique<RuleSet>();
        AILogClose();
        ASSERT_TRUE(AILogOpen("log.txt"));
        EXPECT_EQ(Compile(c.text), c.compiles);
        const std::string log = LogText();
        if (*c.logged) {
            EXPECT_NE(log.find(c.logged), std::string::npos) << log;
        }
        if (!c.compiles) {
            EXPECT_NE(log.find("ERROR : "), std::string::npos) << log;
        } else if (!*c.logged) {
            EXPECT_EQ(log.find("ERROR : "), std::string::npos) << log;
        }
    }
    set = std::make_unique<RuleSet>();
    EXPECT_TRUE(Compile("\n# c\n"));
    EXPECT_EQ(set->rules.Count(), 0);
}

TEST_F(RuleCompiler, GlobalsIncludesAndSharedStorage)
{
    WriteFileBytes(TempPath() + "/script/ai/one.txt", "global int x=1;\n");
    WriteFileBytes(TempPath() + "/script/ai/two.txt", "global int x = 2;\nrule B{}\n");
    ASSERT_TRUE(Compile("include \"one.txt\"\ninclude \"two.txt\"\nint y=x;\nint z;\n")) << LogText();
    EXPECT_EQ(Int("x"), 1) << "a redeclaration keeps the first value";
    EXPECT_EQ(set->variables.Find("y")->data, ScriptGlobalObjects()->Find("x")->data) << "y shares x's storage";
    EXPECT_EQ(Int("z"), 0);
    EXPECT_NE(RuleNamed("B"), nullptr) << "an include adds to the including script's rules";
    EXPECT_NE(LogText().find("Success\n"), std::string::npos);

    EXPECT_FALSE(Compile("global float x;"));
    EXPECT_NE(LogText().find("Global variable 'x' type conflict !!!\n"), std::string::npos);
    EXPECT_FALSE(Compile("int w=q;"));
    EXPECT_NE(LogText().find("Unknow variable 'q'\n"), std::string::npos);

    WriteFileBytes(TempPath() + "/script/ai/outer.txt", "include \"missing.txt\"\n");
    EXPECT_FALSE(Compile("include \"outer.txt\""));
    const std::string log = LogText();
    EXPECT_NE(log.find(" Could not open file missing.txt\n"), std::string::npos) << log;
    EXPECT_NE(log.find("FAILED to compile outer.txt !\n"), std::string::npos) << log;
}

TEST_F(RuleCompiler, IncludeCyclesFailInsteadOfRecursing)
{
    WriteFileBytes(TempPath() + "/script/ai/self.txt", "include \"self.txt\"\n");
    WriteFileBytes(TempPath() + "/script/ai/a.txt", "include \"b.txt\"\n");
    WriteFileBytes(TempPath() + "/script/ai/b.txt", "include \"a.txt\"\n");
    EXPECT_FALSE(Compile("include \"self.txt\""));
    EXPECT_FALSE(Compile("include \"a.txt\""));
    EXPECT_NE(LogText().find("Include cycle: 'a.txt'"), std::string::npos) << LogText();
}

TEST_F(RuleCompiler, AssignmentsCopyAddAndCall)
{
    ASSERT_TRUE(
        Compile("int a; float b = 1.5; int x; int n; str s;\n"
                "rule A{ OnTrue{ a = b; x++; x += 2; n = Seven(); s = Seven(); x -= 1; x--; } }"))
        << LogText();
    Rule* rule = RuleNamed("A");
    ASSERT_NE(rule, nullptr);
    rule->Enable(nullptr);
    RunAt(1001);
    float b = 1.5f;
    s32_t bits;
    std::memcpy(&bits, &b, sizeof bits);
    EXPECT_EQ(Int("a"), bits) << "a float into an int keeps its bits";
    EXPECT_EQ(Int("x"), 1);
    EXPECT_EQ(Int("n"), 7);
    EXPECT_EQ(set->variables.Find("s")->data, nullptr) << "a result into a string is dropped";
}

// Arguments are passed by address from every scope a statement sees: a block's local keeps its value
// between runs, the rule's and the soldier's own variables are each soldier's, globals are shared.
TEST_F(RuleCompiler, CallArgumentsNameVariablesOfEveryScope)
{
    const char* script =
        "global int shared;\nint mine;\n"
        "rule R{ int own; OnTrue{ int loc; loc++; own += 10; mine += 100; shared += 1000;"
        " Mark(loc); Mark(own); Mark(mine); Mark(shared); } }\n";
    ASSERT_TRUE(Compile(script)) << LogText();
    auto other = std::make_unique<RuleSet>();
    SetCurrentRuleSet(other.get());
    SetCompileMemberTable(&other->variables);
    SetCompileRuleList(&other->rules);
    SetCompileEventList(&other->events);
    ASSERT_TRUE(CompileRuleScript(script)) << LogText();
    other->rules.Find("R")->Enable(nullptr);
    SetCurrentRuleSet(set.get());
    RuleNamed("R")->Enable(nullptr);
    RunAt(1001);
    RunAt(1002);
    EXPECT_EQ(marks, (std::vector<s32_t>{1, 10, 100, 1000, 2, 20, 200, 2000}));
    marks.clear();
    g_frameView.aiTime = 1003;
    other->Run();
    EXPECT_EQ(marks, (std::vector<s32_t>{1, 10, 100, 3000})) << "the other soldier's own variables, the same global";
    SetCurrentRuleSet(nullptr);
}

TEST_F(RuleCompiler, EnableFillsMissingArgumentsWithTheRulesDefaults)
{
    ASSERT_TRUE(
        Compile("rule B;\n"
                "rule A{ OnTrue{ B.Enable(3,100); } }\n"
                "rule B{ priority = 1 timeout = 400 start = 50 period = 20 }\n"))
        << LogText();
    Rule* a = RuleNamed("A");
    Rule* b = RuleNamed("B");
    a->Enable(nullptr);
    RunAt(1001);
    EXPECT_TRUE(b->enabled);
    EXPECT_EQ(b->pendingPriority, 3);
    EXPECT_EQ(b->period, 100);
    EXPECT_EQ(b->timeout, 400);
    EXPECT_EQ(b->startTime, 1001u + 50u);
}

TEST_F(RuleCompiler, ConditionsAndTheirShortCut)
{
    ASSERT_TRUE(
        Compile("rule A{ if (No() & Yes()) OnTrue{ Mark(1); } OnFalse{ Mark(2); } }\n"
                "rule B{ if (!(Yes() & No())) OnTrue{ Mark(3); } }\n"
                "rule C{ if ((Seven() == 7) | No()) OnTrue{ Mark(4); } }\n"))
        << LogText();
    RuleNamed("A")->Enable(nullptr);
    RunAt(1001);
    EXPECT_EQ(marks, (std::vector<s32_t>{200, 2})) << "Yes() is not called after a false No()";
    marks.clear();
    RuleNamed("A")->Disable(false);
    RuleNamed("B")->Enable(nullptr);
    RuleNamed("C")->Enable(nullptr);
    RunAt(1002);
    EXPECT_EQ(marks, (std::vector<s32_t>{100, 200, 3, 4}));
}

TEST_F(RuleCompiler, CompiledConditionsFollowTheirTruthTables)
{
    u8_t bits[3] = {};
    ScriptGlobalObjects()->AddTyped("a", TYP_BOOL, &bits[0]);
    ScriptGlobalObjects()->AddTyped("b", TYP_BOOL, &bits[1]);
    ScriptGlobalObjects()->AddTyped("c", TYP_BOOL, &bits[2]);
    ASSERT_TRUE(
        Compile("rule L{ if (a|b&c) OnTrue{ Mark(1); } OnFalse{ Mark(0); } }\n"
                "rule N{ if (!(a&b)) OnTrue{ Mark(11); } OnFalse{ Mark(10); } }\n"))
        << LogText();
    RuleNamed("L")->Enable(nullptr);
    RuleNamed("N")->Enable(nullptr);
    for (int combination = 0; combination < 8; ++combination) {
        const bool a = combination & 1, b = combination & 2, c = combination & 4;
        bits[0] = a;
        bits[1] = b;
        bits[2] = c;
        marks.clear();
        RunAt(2000u + static_cast<u32_t>(combination));
        // No precedence: (a or b) and c.
        EXPECT_EQ(marks, (std::vector<s32_t>{(a || b) && c ? 1 : 0, !(a && b) ? 11 : 10})) << combination;
    }
}

TEST_F(RuleCompiler, TheCmdCommandCallsARegisteredObject)
{
    struct Counter : ScriptObject {
        Counter()
        {
            scriptClass = ScriptClassRegistry::RegisterClass("Counter");
            AddMethod(ScriptMethodOf(&Counter::Bump), "Bump", TYP_VOID);
        }
        void Bump(ScriptArgWord* args) { total += *static_cast<s32_t*>(args[0]); }
        s32_t total = 0;
    } counter;
    ScriptGlobalObjects()->AddObject("Obj", &counter);
    EXPECT_EQ(ConsoleCmdCallMethod("Obj.Bump(4)"), 1);
    EXPECT_EQ(counter.total, 4);
    EXPECT_EQ(ConsoleCmdCallMethod("Obj .Bump(1)"), 0);
    EXPECT_EQ(ConsoleCmdCallMethod("Nobody.Bump(1)"), 0);
    EXPECT_EQ(ConsoleCmdCallMethod("Obj.Nothing(1)"), 0);
    EXPECT_EQ(counter.total, 4);
}

}  // namespace
