// The particle script tokenizer and the object language over it: what is a float, where comments
// start, blanks above 0x7F, exact keywords, the one error line, curves, Sin and Exp, and the
// nesting limit of function bodies.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "plugins/ptk/controllers.h"
#include "plugins/ptk/emitter_def.h"
#include "plugins/ptk/script_objects.h"
#include "plugins/ptk/script_reader.h"
#include "tests/ptk/recording_host.h"

using namespace ptk_test;

namespace {

class PtkScript : public PtkFixture {
protected:
    void SetUp() override
    {
        PtkFixture::SetUp();
        LoadMap();  // the type registry and the console entry
    }
};

TEST_F(PtkScript, FloatsNeedDigitsOnBothSidesOfThePoint)
{
    struct Case {
        const char* text;
        bool read;
        float value;
        const char* rest;
    };
    const Case cases[] = {
        {"2", false, 0.0f, "2"},     {"2.0", true, 2.0f, ""},         {".5", false, 0.0f, ".5"},
        {"1.", false, 0.0f, "1."},   {"-1.25 x", true, -1.25f, " x"}, {"+0.5", true, 0.5f, ""},
        {"3.5.1", true, 3.5f, ".1"}, {"- 1.0", false, 0.0f, "- 1.0"},
    };
    for (const Case& c : cases) {
        ptk::ScriptCursor cursor = ptk::ScriptBegin(c.text, "t");
        float value = 0.0f;
        EXPECT_EQ(ptk::ReadFloat(cursor, value), c.read) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_STREQ(cursor.at, c.rest) << c.text;
    }
}

TEST_F(PtkScript, IntegersAreDecimalWithAnOptionalSign)
{
    struct Case {
        const char* text;
        bool read;
        std::int32_t value;
    };
    const Case cases[] = {
        {"+7", true, 7}, {"-3", true, -3}, {"x", false, 0}, {"0x10", true, 0}, {"99999999999", true, 2147483647},
        {"-", false, 0}};
    for (const Case& c : cases) {
        ptk::ScriptCursor cursor = ptk::ScriptBegin(c.text, "t");
        std::int32_t value = 0;
        EXPECT_EQ(ptk::ReadInteger(cursor, value), c.read) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST_F(PtkScript, BlanksAndCommentsBetweenTokens)
{
    struct Case {
        const char* text;
        bool read;
        const char* word;
        std::int32_t lines;
    };
    const Case cases[] = {
        {"# note\nname", false, "", 0},               // "#" at the very start is no comment
        {" # note\nname", true, "name", 1},           // after a blank it is
        {"\xA0name", true, "name", 0},                // bytes above 0x7F are blanks
        {"\n\n  # a\n# b\n\tname", true, "name", 4},  // comments on successive lines
        {"_name", false, "", 0},                      // no identifier starts with "_"
        {"9name", false, "", 0},
        {"a_1b rest", true, "a_1b", 0},
    };
    for (const Case& c : cases) {
        ptk::ScriptCursor cursor = ptk::ScriptBegin(c.text, "t");
        std::string word;
        EXPECT_EQ(ptk::ReadIdentifier(cursor, word), c.read) << c.text;
        EXPECT_EQ(word, c.word) << c.text;
        if (c.read) {
            EXPECT_EQ(cursor.line, c.lines) << c.text;
        }
    }
}

TEST_F(PtkScript, KeywordsAreExact)
{
    float lifetime = 0.0f;
    struct Case {
        const char* body;
        bool read;
    };
    const Case cases[] = {
        {"{ Var { Lifetime = 2.0 } }", true},   {"{ var { Lifetime = 2.0 } }", false},
        {"{ Var { lifetime = 2.0 } }", false},  {"{ Var { Lifetime = 2 } }", false},
        {"{ Var { } Func { } Var { } }", true}, {"{ Other { } }", false},
    };
    for (const Case& c : cases) {
        ptk::ScriptObject object("o", nullptr);
        ASSERT_GE(object.Declare("float", "Lifetime", &lifetime), 0);
        ptk::ScriptCursor cursor = ptk::ScriptBegin(c.body, "t");
        EXPECT_EQ(object.ReadObjectBody(cursor), c.read) << c.body;
    }
}

TEST_F(PtkScript, AnUnterminatedStringPrintsTheErrorLineWithItsLineNumber)
{
    const char* text = "a\nb\n\n  \"never closed";
    ptk::ScriptCursor cursor = ptk::ScriptBegin(text, "object\\gfx\\spark.emt");
    std::string word;
    ASSERT_TRUE(ptk::ReadIdentifier(cursor, word));
    ASSERT_TRUE(ptk::ReadIdentifier(cursor, word));
    std::string quoted;
    EXPECT_FALSE(ptk::ReadQuoted(cursor, quoted));
    ASSERT_EQ(Host().lines.size(), 1u);
    EXPECT_EQ(Host().lines[0].console, 0);
    EXPECT_EQ(Host().lines[0].text,
              "ERROR : C:\\engine\\src\\PARTICLELIB\\script\\Basic:91  (object\\gfx\\spark.emt) at line 3  "
              "Unexpected end of line\n");
}

TEST_F(PtkScript, TheErrorLineIsPrintedAsTextNotAsAFormat)
{
    ptk::ScriptCursor cursor = ptk::ScriptBegin("\"%s%n", "%s%s%n.emt");
    std::string quoted;
    EXPECT_FALSE(ptk::ReadQuoted(cursor, quoted));
    ASSERT_EQ(Host().lines.size(), 1u);
    EXPECT_NE(Host().lines[0].text.find("(%s%s%n.emt) at line 0 "), std::string::npos);
}

// A float variable driven by the Func block text, evaluated at each time.
struct CurveCase {
    const char* func;
    float t;
    float expected;
};

void ExpectCurves(const CurveCase* cases, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const CurveCase& c = cases[i];
        float x = -100.0f;
        ptk::ScriptObject object("o", nullptr);
        ASSERT_GE(object.Declare("float", "x", &x), 0);
        ptk::ScriptCursor cursor = ptk::ScriptBegin(c.func, "t");
        ASSERT_TRUE(object.ReadFuncBlock(cursor)) << c.func;
        object.Evaluate(c.t);
        EXPECT_TRUE(std::isfinite(x)) << c.func << " at " << c.t;
        EXPECT_NEAR(x, c.expected, 1e-5f) << c.func << " at " << c.t;
    }
}

TEST_F(PtkScript, OneDimensionalCurvesAtTheirEdges)
{
    const CurveCase cases[] = {
        {"{ x = Linear1D { 0 : 0.0 10 : 1.0 } }", 5.7f, 0.5f},  // time truncated to 5
        {"{ x = Linear1D { 0 : 0.0 10 : 1.0 } }", -3.0f, 0.0f},
        {"{ x = Linear1D { 0 : 0.0 10 : 1.0 } }", 10.0f, 1.0f},
        {"{ x = Linear1D { 0 : 0.0 10 : 1.0 } }", 99.0f, 1.0f},
        {"{ x = Linear1D { 4 : 3.0 } }", 0.0f, 3.0f},  // one point: its value
        {"{ x = Linear1D { } }", 5.0f, -100.0f},       // no point: untouched
        {"{ x = Curve1D { 0 : 2.0 10 : 4.0 } }", 5.0f, 3.0f},
        {"{ x = Curve1D { 0 : 0.0 10 : 10.0 20 : 0.0 } }", 10.0f, 10.0f},
        // Hermite with both tangents: s = 0.5, M0 = (10 - 0) * 10 / 10, M1 = (0 - 0) * 10 / 20
        {"{ x = Curve1D { 0 : 0.0 10 : 10.0 20 : 0.0 } }", 5.0f, 0.5f * 0.0f + 0.125f * 10.0f + 0.5f * 10.0f},
        // Equal successive keys: the segment of no length gives its first value.
        {"{ x = Linear1D { 0 : 0.0 5 : 1.0 5 : 3.0 10 : 4.0 } }", 5.0f, 1.0f},
        {"{ x = Linear1D { 0 : 0.0 5 : 1.0 5 : 3.0 10 : 4.0 } }", 7.0f, 3.4f},
        {"{ x = Curve1D { 0 : 0.0 5 : 1.0 5 : 3.0 10 : 4.0 } }", 5.0f, 1.0f},
        {"{ x = Curve1D { 0 : 1.0 0 : 2.0 0 : 3.0 } }", 0.0f, 1.0f},
        {"{ x = Curve1D { 5 : 1.0 5 : 2.0 5 : 3.0 9 : 4.0 } }", 6.0f, 3.390625f},
    };
    ExpectCurves(cases, std::size(cases));
}

TEST_F(PtkScript, SinAndExpFollowTheirFormulas)
{
    const CurveCase cases[] = {
        {"{ x = Sin { } }", 3.0f, std::sin(3.0f * 62.831852f / 360.0f)},
        {"{ x = Sin { Var { Amp = 2.0 Per = 90.0 Phase = 0.5 } } }", 3.0f, 2.0f * std::sin(0.75f + 0.5f)},
        {"{ x = Sin { Var { Per = 360.0 } } }", 0.25f, std::sin(0.25f)},  // not truncated
        {"{ x = Exp { } }", 10.0f, 2.0f},
        {"{ x = Exp { Var { Base = 3.0 Scale = 2.0 } } }", 5.0f, 3.0f},
        // Amp driven by its own curve: 0.5 at t = 5, then the sine of 5 * 360 / 360.
        {"{ x = Sin { Var { Per = 360.0 } Func { Amp = Linear1D { 0 : 0.0 10 : 1.0 } } } }", 5.0f,
         0.5f * std::sin(5.0f)},
    };
    ExpectCurves(cases, std::size(cases));
}

TEST_F(PtkScript, StepColorAndVisCurves)
{
    std::int32_t whole = -1;
    float colour[3] = {};
    ptk::ScriptObject object("o", nullptr);
    ASSERT_GE(object.Declare("int", "n", &whole), 0);
    ASSERT_GE(object.Declare("color", "c", colour), 0);
    ptk::ScriptCursor cursor =
        ptk::ScriptBegin("{ n = Step { 0 : 5 10 : 7 } c = Color { 0 : (2.0, -1.0, 0.5) 10 : (0.0,0.0,0.0) } }", "t");
    ASSERT_TRUE(object.ReadFuncBlock(cursor));
    struct Case {
        float t;
        std::int32_t step;
    };
    for (const Case& c : {Case{9.9f, 5}, Case{10.0f, 7}, Case{40.0f, 7}, Case{0.0f, 5}}) {
        object.Evaluate(c.t);
        EXPECT_EQ(whole, c.step) << c.t;
    }
    object.Evaluate(0.0f);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 0.0f);
    EXPECT_EQ(colour[2], 0.5f);

    std::int32_t on = 0;
    ptk::ScriptVar var("on", ptk::FindType("int"), &on, false);
    ptk::KeyCurve vis(&var, ptk::CurveKind::Vis);
    cursor = ptk::ScriptBegin("{ 10 20 30 40 }", "t");
    ASSERT_TRUE(vis.Read(cursor));
    for (int t = 0; t < 50; ++t) {
        const std::int32_t expected = (t >= 10 && t < 20) || (t >= 30 && t < 40) ? 1 : 0;
        EXPECT_EQ(vis.VisibleAt(static_cast<float>(t)), expected) << t;
    }
}

TEST_F(PtkScript, KindsMustSuitTheVariableType)
{
    float x = 0.0f;
    float v[3] = {};
    const char* const failing[] = {
        "{ x = Linear3D { } }", "{ x = Step { } }",     "{ v = Linear1D { } }",       "{ v = Sin { } }",
        "{ x = VisCurve { } }", "{ y = Linear1D { } }", "{ x = Linear1D { 0 : 1 } }",
    };
    for (const char* text : failing) {
        ptk::ScriptObject object("o", nullptr);
        object.Declare("float", "x", &x);
        object.Declare("vec3", "v", v);
        ptk::ScriptCursor cursor = ptk::ScriptBegin(text, "t");
        EXPECT_FALSE(object.ReadFuncBlock(cursor)) << text;
        EXPECT_EQ(object.funcs.Count(), 0) << text;
    }
}

std::string NestedSins(int depth)
{
    std::string text = "{ x = ";
    for (int i = 0; i < depth; ++i)
        text += i + 1 < depth ? "Sin { Func { Amp = " : "Sin { ";
    for (int i = 0; i < depth; ++i)
        text += i == 0 ? "} " : "} } ";
    return text + "}";
}

TEST_F(PtkScript, FunctionBodiesNestThirtyTwoDeep)
{
    struct Case {
        int depth;
        bool read;
    };
    for (const Case& c : {Case{1, true}, Case{32, true}, Case{33, false}, Case{20000, false}}) {
        float x = 0.0f;
        ptk::ScriptObject object("o", nullptr);
        object.Declare("float", "x", &x);
        const std::string text = NestedSins(c.depth);
        ptk::ScriptCursor cursor = ptk::ScriptBegin(text.c_str(), "t");
        EXPECT_EQ(object.ReadFuncBlock(cursor), c.read) << c.depth;
    }
}

}  // namespace
