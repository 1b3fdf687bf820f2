// The per-frame rule pass: order by priority and enabling, periods, time-outs, priority changes,
// the "rbrules" switch, and behaviour files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "rule_script_fixture.h"

namespace {

using RulePass = RuleScriptTest;

TEST_F(RulePass, HigherLevelsRunFirstAndEqualOnesInEnableOrder)
{
    ASSERT_TRUE(
        Compile("rule A{ OnTrue{ Mark(1); } }\nrule B{ OnTrue{ Mark(2); } }\n"
                "rule C{ priority = 5 OnTrue{ Mark(3); } }\n"))
        << LogText();
    RuleNamed("B")->Enable(nullptr);
    RuleNamed("A")->Enable(nullptr);
    RunAt(1001);
    EXPECT_EQ(marks, (std::vector<s32_t>{2, 1}));
    RuleNamed("C")->Enable(nullptr);
    RunAt(1002);  // C's priority is pending until the end of its first update
    marks.clear();
    RunAt(1003);
    EXPECT_EQ(marks, (std::vector<s32_t>{3, 2, 1}));
    EXPECT_EQ(set->LevelCount(), 2);
}

TEST_F(RulePass, PeriodsKeepAGridAndPeriodZeroRunsWhenTheClockMoves)
{
    ASSERT_TRUE(Compile("rule P{ period = 10 OnTrue{ Mark(1); } }\nrule Z{ OnTrue{ Mark(2); } }\n")) << LogText();
    Rule* p = RuleNamed("P");
    p->Enable(nullptr);
    int runs = 0;
    for (u32_t t = 1000; t < 1100; t += 3) {
        const u32_t gridBefore = p->lastRun;
        marks.clear();
        RunAt(t);
        const bool ran = !marks.empty();
        EXPECT_EQ(ran, t - gridBefore > 10u) << "at " << t << ": runs only when more than the period has passed";
        if (ran) {
            ++runs;
            // The grid of period + 1 ms that starts at the initial last-run time (-1).
            EXPECT_EQ((p->lastRun + 1u) % 11u, 0u) << t;
            EXPECT_LE(t - p->lastRun, 10u);
        }
    }
    EXPECT_GE(runs, 8);

    RuleNamed("P")->Disable(false);
    RuleNamed("Z")->Enable(nullptr);
    marks.clear();
    RunAt(2000);
    RunAt(2000);
    RunAt(2001);
    EXPECT_EQ(marks, (std::vector<s32_t>{2, 2}));
}

// A start phase puts the last run ahead of the clock: the rule waits the phase and its period.
TEST_F(RulePass, ALastRunAheadOfTheClockIsWaitedFor)
{
    ASSERT_TRUE(Compile("rule P{ period = 500 OnTrue{ Mark(1); } }")) << LogText();
    Rule* p = RuleNamed("P");
    p->Enable(nullptr);
    p->lastRun = 1300;
    const struct {
        u32_t at;
        bool runs;
    } steps[] = {{1001, false}, {1300, false}, {1800, false}, {1801, true}, {1802, false}, {2301, false}, {2302, true}};
    for (const auto& step : steps) {
        marks.clear();
        RunAt(step.at);
        EXPECT_EQ(!marks.empty(), step.runs) << "at " << step.at;
    }
}

TEST_F(RulePass, ATimeOutRunsOnTimeOutAndOnDisableNotOnTrue)
{
    ASSERT_TRUE(Compile("rule T{ timeout = 50 OnTrue{ Mark(1); } OnTimeOut{ Mark(2); } OnDisable{ Mark(3); } }"))
        << LogText();
    RuleNamed("T")->Enable(nullptr);
    RunAt(1040);
    EXPECT_EQ(marks, (std::vector<s32_t>{1}));
    marks.clear();
    RunAt(1051);
    EXPECT_EQ(marks, (std::vector<s32_t>{2, 3}));
    EXPECT_FALSE(RuleNamed("T")->enabled);
}

TEST_F(RulePass, PriorityChanges)
{
    ASSERT_TRUE(
        Compile("rule T{ }\n"
                "rule A{ priority = 9 OnTrue{ T.priority = 4; } }\n"
                "rule B{ priority = 8 OnTrue{ T.priority = 6; } }\n"
                "rule S{ OnTrue{ priority = 3; priority = 7; } }\n"
                "rule N{ OnTrue{ priority -= 20; } }\n"))
        << LogText();
    for (const char* name : {"T", "A", "B", "S", "N"})
        RuleNamed(name)->Enable(nullptr);
    RunAt(1001);  // A and B's own priorities settle
    RunAt(1002);  // A runs first and changes T; B's change in the same frame is ignored
    EXPECT_EQ(RuleNamed("T")->pendingPriority, 4);
    EXPECT_EQ(RuleNamed("S")->priority, 7) << "changes of a rule on itself: the last wins";
    EXPECT_EQ(RuleNamed("N")->priority, 0) << "a negative priority becomes 0";
    const std::string log = LogText();
    EXPECT_NE(log.find("ChangePriority 4 \n"), std::string::npos);
    EXPECT_NE(log.find("UpdatePriority -20 \n"), std::string::npos);
}

TEST_F(RulePass, RulesOffRunNoBlockButEnableStillRunsOnEnable)
{
    ASSERT_TRUE(Compile("rule R{ OnEnable{ Mark(1); } OnTrue{ Mark(2); } }")) << LogText();
    rbrules.value.asBool = false;
    RuleNamed("R")->Enable(nullptr);
    RunAt(1001);
    EXPECT_EQ(marks, (std::vector<s32_t>{1}));
    rbrules.value.asBool = true;
    RunAt(1002);
    EXPECT_EQ(marks, (std::vector<s32_t>{1, 2}));

    // Enable with 2 and 4 arguments.
    s32_t priority = 2, period = 30, timeout = 500, delay = 40;
    ScriptArgWord four[4] = {&priority, &period, &timeout, &delay};
    Rule* rule = RuleNamed("R");
    rule->Enable(four);
    EXPECT_EQ(rule->period, 30);
    EXPECT_EQ(rule->timeout, 500);
    EXPECT_EQ(rule->startTime, 1002u + 40u);
    EXPECT_EQ(rule->pendingPriority, 2);

    // An emptied level goes at the next pass.
    rule->Disable(false);
    RunAt(1003);
    EXPECT_EQ(set->LevelCount(), 0);
    EXPECT_NE(LogText().find("~CLevel priority=0 \n"), std::string::npos);
}

TEST_F(RulePass, LoadScriptAndBehaviourFiles)
{
    WriteFileBytes(TempPath() + "/script/ai/script.txt", "rule x{ OnTrue{ Mark(1); } }\nrule y{ }\nrule w;\n");
    WriteFileBytes(TempPath() + "/script/behaviour.txt", "#x y\n z\n");
    ASSERT_TRUE(set->LoadScript());
    std::string log = LogText();
    EXPECT_NE(log.find("Parsing rule...\n"), std::string::npos);
    EXPECT_NE(log.find("WARNING: rule w has no body!\n"), std::string::npos) << log;
    ASSERT_TRUE(set->LoadActiveRules("behaviour.txt"));
    EXPECT_FALSE(RuleNamed("x")->enabled) << "a word beginning with '#' is skipped alone";
    EXPECT_TRUE(RuleNamed("y")->enabled);
    log = LogText();
    EXPECT_NE(log.find("WARNING: rule 'z' not found\n"), std::string::npos) << log;
    EXPECT_FALSE(set->LoadActiveRules("nothing.txt"));
    EXPECT_NE(LogText().find("ERROR : File 'nothing.txt' could not be open\n"), std::string::npos);

    RuleSet other;
    WriteFileBytes(TempPath() + "/script/ai/script.txt", "rule a{ } rule b{ }");
    ASSERT_TRUE(other.LoadScript());
    EXPECT_NE(LogText().find("All OK\n"), std::string::npos);
    std::remove((TempPath() + "/script/ai/script.txt").c_str());
    RuleSet missing;
    EXPECT_FALSE(missing.LoadScript());
    EXPECT_NE(LogText().find("ERROR : file script\\script.txt not open\n"), std::string::npos);
}

}  // namespace
