// Damaged rule scripts, event files and timelines: each compiles or fails with an error line; none
// crashes, reads past its text or hangs.
#include <gtest/gtest.h>

#include <string>

#include "core/random.h"
#include "rule_script_fixture.h"
#include "support/text_mutation.h"

namespace {

const char kScript[] =
    "include \"inc.txt\"\n"
    "global int level = 0x10;\nfloat speed = -1.5;\nstr name = \"guard\";\n"
    "rule Watch;\n"
    "rule Patrol { priority = 3 period = 100 int steps = 0;\n"
    "  if ((Seven() >= 7) & !(Yes() | No())) OnTrue { steps++; Mark(steps); if (Yes()) { Watch.Enable(2, 10); }"
    " else { Disable(); } }\n"
    "  OnFalse { priority += 2; level = Seven(); } }\n"
    "rule Watch { OnEnable { speed -= 0.5; } }\n"
    "event MoveTo { Mark(1); }\n";
const char kInclude[] = "global int shared = 1;\nrule Extra { OnFrame { shared++; } }\n";
const char kEvents[] = "int hits = 0;\nEvent Alarm { hits += 2; Mark(hits); }\nEvent Quiet { }\n";
const char kTimeline[] = "TimeEvent { StartTime 100 Periode 0x20 Times 3 Event Alarm }\nTimeEvent { Event Quiet }\n";

class RuleScriptRobustness : public RuleScriptTest {
protected:
    void SetUp() override
    {
        RuleScriptTest::SetUp();
        WriteFileBytes(TempPath() + "/script/ai/inc.txt", kInclude);
    }
    // Everything that reads these texts, on one damaged copy of each.
    void ReadDamaged(const std::string& script, const std::string& events, const std::string& timeline)
    {
        set = std::make_unique<RuleSet>();
        Compile(script);
        ScriptDestroyEventList();
        ScriptCreateEventList();
        ScriptParseEventFile(events.c_str());
        TimeEventList::Destroy();
        TimeEventList::Create();
        TimeEventList::Instance()->Parse(timeline.c_str());
        TimeEventList::Instance()->Update(200);
        for (s32_t i = 0; i < set->rules.Count(); ++i)
            set->rules.At(i)->Enable(nullptr);
        RunAt(1500);
        RunAt(1700);
    }
};

TEST_F(RuleScriptRobustness, TruncationsAndNamedDamages)
{
    const std::string script = kScript, events = kEvents, timeline = kTimeline;
    for (size_t n = 0; n <= script.size(); ++n)
        ReadDamaged(script.substr(0, n), events.substr(0, n % (events.size() + 1)),
                    timeline.substr(0, n % (timeline.size() + 1)));
    for (const test_support::TextDamage& damage : test_support::CommonTextDamages()) {
        SCOPED_TRACE(damage.what);
        ReadDamaged(damage.make(script), damage.make(events), damage.make(timeline));
    }
}

TEST_F(RuleScriptRobustness, MutatedTexts)
{
    const u32_t seed = EngineRandState();
    EngineSRand(9931);
    for (int round = 0; round < 1500; ++round)
        ReadDamaged(test_support::MutateText(kScript), test_support::MutateText(kEvents),
                    test_support::MutateText(kTimeline));
    EngineSRand(seed);
}

TEST_F(RuleScriptRobustness, DeepNestingFailsWithALine)
{
    constexpr int kDepth = 100000;
    std::string ifs = "rule A{ OnTrue{ ";
    for (int i = 0; i < kDepth; ++i)
        ifs += "if (Yes()) { ";
    ifs += "Mark(1); ";
    for (int i = 0; i < kDepth; ++i)
        ifs += "} ";
    ifs += "} }";
    EXPECT_FALSE(Compile(ifs));
    EXPECT_NE(LogText().find("Blocks nested deeper than"), std::string::npos);

    std::string parens = "rule B{ if ";
    parens += std::string(kDepth, '(') + "Yes()" + std::string(kDepth, ')') + " OnTrue{ } }";
    EXPECT_FALSE(Compile(parens));
    EXPECT_NE(LogText().find("Condition too long"), std::string::npos);
}

}  // namespace
