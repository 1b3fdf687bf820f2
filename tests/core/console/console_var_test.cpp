#include "core/console/console_var.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace {

// Registered by a static initialiser of this file, in whatever order the files' initialisers run.
ConsoleVar g_registeredBeforeMain("test_static_int", CVAR_INT, "3");

TEST(ConsoleVarTest, StaticVariablesAreRegisteredBeforeMain)
{
    ConsoleVar* found = CVarListFind("test_static_int");
    ASSERT_EQ(found, &g_registeredBeforeMain);
    EXPECT_EQ(found->Int(), 3);
}

TEST(ConsoleVarTest, DefaultTextSetsTheValue)
{
    struct Case {
        ConsoleVarType type;
        const char* defaultText;
        const char* text;
    };
    const Case cases[] = {
        {CVAR_INT, "5", "5"},
        {CVAR_BOOL, "true", "true"},
        {CVAR_BOOL, "false", "false"},
        {CVAR_BOOL, nullptr, "false"},  // no default: never toggled to true
        {CVAR_FLOAT, "0.25", "0.25"},
        {CVAR_STRING, "\"quoted\" as given", "\"quoted\" as given"},  // taken whole
        {CVAR_VECTOR, "(1,2,3)", "(1, 2, 3)"},
        {CVAR_COLOUR, "(255,0,0,255)", "(255, 0, 0, 255)"},
        {CVAR_COLOUR, "", "(0, 0, 0, 0)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + (c.defaultText ? c.defaultText : "null"));
        ConsoleVar cvar("test_default", c.type, c.defaultText);
        EXPECT_STREQ(cvar.ValueToText(), c.text);
    }
}

TEST(ConsoleVarTest, SetFromTextReadsTheTextByType)
{
    struct Case {
        ConsoleVarType type;
        const char* before;  // default text
        const char* input;
        const char* after;  // text form
    };
    const Case cases[] = {
        {CVAR_INT, "0", " \t\x01-42x", "-42"},
        {CVAR_INT, "9", "abc", "0"},
        {CVAR_INT, "0", "99999999999", "2147483647"},  // held to the 32-bit range
        {CVAR_BOOL, "false", "", "true"},              // nothing left: toggles
        {CVAR_BOOL, "true", "  ", "false"},
        {CVAR_BOOL, "false", " true", "true"},
        {CVAR_BOOL, "false", "trueish", "true"},
        {CVAR_BOOL, "true", "True", "false"},  // only the lower-case word counts
        {CVAR_BOOL, "false", "7", "true"},
        {CVAR_BOOL, "true", "0", "false"},
        {CVAR_BOOL, "true", "false", "false"},
        {CVAR_FLOAT, "0", " 2.5", "2.5"},
        {CVAR_FLOAT, "1", "1e3", "1000"},
        {CVAR_FLOAT, "1", "junk", "0"},
        {CVAR_FLOAT, "7", "1e300", "7"},  // past the float range: refused, the value kept
        {CVAR_FLOAT, "7", "nan", "7"},
        {CVAR_STRING, "old", "two words", "two words"},
        {CVAR_STRING, "old", "", ""},
        {CVAR_STRING, "old", "say \"hi there\" now", "hi there"},
        {CVAR_STRING, "old", "a\"b\"c\"d", "b\"c"},  // first quote to last quote
        {CVAR_STRING, "old", "\"\"", "old"},
        {CVAR_STRING, "old", "\"open", "old"},
        {CVAR_VECTOR, "(9,9,9)", "(1,2)", "(1, 2, 0)"},
        {CVAR_VECTOR, "(9,9,9)", "no numbers", "(0, 0, 0)"},
        {CVAR_VECTOR, "(0,0,0)", "(1.5, -2, 3)", "(1.5, -2, 3)"},
        {CVAR_COLOUR, "(0,0,0,0)", "(255,128,0)", "(255, 128, 0, 1)"},
        {CVAR_COLOUR, "(0,0,0,0)", "", "(1, 1, 1, 1)"},
        {CVAR_COLOUR, "(0,0,0,0)", "(1e30,0,0,0)", "(2147483647, 0, 0, 0)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " '" + c.input + "'");
        ConsoleVar cvar("test_set", c.type, c.before);
        EXPECT_EQ(cvar.SetFromText(c.input), 0);
        EXPECT_STREQ(cvar.ValueToText(), c.after);
    }
}

TEST(ConsoleVarTest, ColourTextIsScaledBy1Over255)
{
    ConsoleVar colour("test_colour", CVAR_COLOUR, nullptr);
    colour.SetFromText("(255,128,0)");
    EXPECT_FLOAT_EQ(colour.Colour()[0], 1.0f);
    EXPECT_NEAR(colour.Colour()[1], 0.502f, 0.0005f);
    EXPECT_EQ(colour.Colour()[2], 0.0f);
    EXPECT_EQ(colour.Colour()[3], 0.003921569f);
}

TEST(ConsoleVarTest, StringValueTakesItsOwnText)
{
    ConsoleVar s("test_string", CVAR_STRING, std::string(300, 's').c_str());
    s.SetFromText(s.String());
    EXPECT_EQ(s.String(), std::string(300, 's'));

    // The text form is cut to the shared 128-byte buffer.
    EXPECT_EQ(s.ValueToText(), std::string(127, 's'));
}

s32_t g_handlerCalls = 0;
std::string g_handlerArgument;

s32_t RecordingHandler(const char* arguments)
{
    ++g_handlerCalls;
    g_handlerArgument = arguments ? arguments : "(null)";
    return 1;
}

TEST(ConsoleVarTest, CommandRunsItsHandlerAndReadsAsFunction)
{
    g_handlerCalls = 0;
    ConsoleVar command("test_command", RecordingHandler);
    EXPECT_EQ(command.type, CVAR_COMMAND);
    EXPECT_STREQ(command.ValueToText(), "function");

    EXPECT_EQ(command.SetFromText("map alpha"), 0);
    EXPECT_EQ(g_handlerArgument, "map alpha");
    command.SetFromText(nullptr);
    EXPECT_EQ(g_handlerArgument, "(null)");
    EXPECT_EQ(g_handlerCalls, 2);

    ConsoleVar noHandler("test_no_handler", CVAR_COMMAND, nullptr);
    EXPECT_EQ(noHandler.SetFromText("x"), 0);
}

TEST(ConsoleVarTest, NewestRegistrationHeadsTheListAndUnlinksOnDestruction)
{
    ConsoleVar* const oldHead = CVarListHead();
    ConsoleVar* const oldTail = CVarListTail();
    EXPECT_EQ(*CVarListHeadAddress(), oldHead);

    auto first = std::make_unique<ConsoleVar>("test_first", CVAR_INT, "1");
    auto middle = std::make_unique<ConsoleVar>("test_middle", CVAR_INT, "2");
    auto last = std::make_unique<ConsoleVar>("test_last", CVAR_INT, "3");
    EXPECT_EQ(CVarListHead(), last.get());
    EXPECT_EQ(last->prev, nullptr);
    EXPECT_EQ(last->next, middle.get());
    EXPECT_EQ(middle->next, first.get());
    EXPECT_EQ(first->prev, middle.get());
    EXPECT_EQ(first->next, oldHead);
    EXPECT_EQ(CVarListTail(), oldHead ? oldTail : first.get());

    middle.reset();
    EXPECT_EQ(last->next, first.get());
    EXPECT_EQ(first->prev, last.get());

    first.reset();
    EXPECT_EQ(last->next, oldHead);
    EXPECT_EQ(CVarListTail(), oldHead ? oldTail : last.get());

    last.reset();
    EXPECT_EQ(CVarListHead(), oldHead);
    EXPECT_EQ(CVarListTail(), oldTail);
}

TEST(ConsoleVarTest, FindMatchesNamesExactlyNewestFirst)
{
    ConsoleVar older("test_dup", CVAR_INT, "1");
    auto newer = std::make_unique<ConsoleVar>("test_dup", CVAR_INT, "2");

    EXPECT_EQ(CVarListFind("test_dup"), newer.get());
    EXPECT_EQ(FindCVar("test_dup"), newer.get());
    EXPECT_EQ(CVarListFind("TEST_DUP"), nullptr);
    EXPECT_EQ(CVarListFind("test_du"), nullptr);
    EXPECT_EQ(CVarListFind(nullptr), nullptr);

    newer.reset();
    EXPECT_EQ(CVarListFind("test_dup"), &older);
}

// The program's own list: every folder registers its variables and commands from static objects, and
// a name registered twice would leave the older entry unreachable by name.
TEST(ConsoleVarTest, EveryNameOfTheProgramIsRegisteredOnce)
{
    std::map<std::string, int> registrations;
    for (const ConsoleVar* cvar = CVarListHead(); cvar; cvar = cvar->next) {
        ASSERT_NE(cvar->name.Text(), nullptr);
        ++registrations[cvar->name.Text()];
    }
    for (const auto& [name, count] : registrations)
        EXPECT_EQ(count, 1) << name;
    // The list is the whole program's: one name from each folder that declares any.
    for (const char* name : {"gbconsoles", "rbfog", "mvsundir", "rbremovedecals", "gbthirdperson"})
        EXPECT_EQ(registrations.count(name), 1u) << name;
}

}  // namespace
