// The consoles: line stores, the typed command line, console lines and console scripts.
#include "core/console/console.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/console/console_var.h"
#include "core/core_cvars.h"
#include "platform/file_system.h"
#include "platform/win32.h"
#include "render/render_cvars.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/vfs_fixture.h"

namespace {

ConsoleVar tbconflag("tbconflag", CVAR_BOOL, "false");
ConsoleVar ticonnumber("ticonnumber", CVAR_INT, "0");
ConsoleVar tsconname("tsconname", CVAR_STRING, "");
ConsoleVar tfconmatch_a("tfconmatch_a", CVAR_FLOAT, "1.5");
ConsoleVar tfconmatch_b("tfconmatch_b", CVAR_FLOAT, "2.5");

std::string Line(int console, int fromNewest)
{
    const char* line = ConLines(console)[ConLineCapacity(console) - 1 - fromNewest];
    return line ? line : "<empty>";
}

void Type(const std::string& text)
{
    for (char c : text)
        ConKeyInput(static_cast<unsigned char>(c));
}

class ConsoleTest : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        ConStartup();
    }
    void TearDown() override
    {
        ConSetCurrent(-1);
        ConShutdown();
        VfsTest::TearDown();
    }
};

TEST_F(ConsoleTest, EachConsoleKeepsItsNewestLinesInTheLastSlot)
{
    const int capacities[] = {1024, 1024, 1024, 10, 10};
    for (int console = 0; console < 5; ++console) {
        SCOPED_TRACE(console);
        ASSERT_EQ(ConLineCapacity(console), capacities[console]);
        for (int i = 1; i <= capacities[console] + 1; ++i)
            ConPrint(console, "line %d\n", i);
        EXPECT_EQ(Line(console, 0), "line " + std::to_string(capacities[console] + 1) + "\n");
        // The first line went out when the store was full.
        EXPECT_STREQ(ConLines(console)[0], "line 2\n");
        ConClear(console);
        EXPECT_EQ(Line(console, 0), "<empty>");
    }
}

TEST_F(ConsoleTest, AnIndexThatIsNoConsoleEndsTheProgram)
{
    // Indices are unsigned: -1 is past the last console as well.
    for (const int console : {static_cast<int>(CON_MAX_CONSOLES), -1}) {
        SCOPED_TRACE(console);
        EXPECT_EXIT(ConClear(console), ::testing::ExitedWithCode(3), "Assertion 'con_index < CON_MAX_CONSOLES' failed");
    }
    ConClear(static_cast<int>(CON_MAX_CONSOLES) - 1);
}

TEST_F(ConsoleTest, PiecesJoinAnOpenLineOrScroll)
{
    struct Case {
        std::vector<std::string> prints;
        std::vector<std::string> newestFirst;
    };
    const Case cases[] = {
        {{"abc", "def\n"}, {"abcdef\n", "<empty>"}},
        {{"one\n", "two\n"}, {"two\n", "one\n"}},
        // Text after the last newline stays as an open line and the next print continues it.
        {{"a\nb"}, {"b", "a\n"}},
        {{"a\nb", "c\nd\n"}, {"d\n", "bc\n", "a\n"}},
        // A leading carriage return replaces the newest line.
        {{"old\n", "keep\n", "\rnew\n"}, {"new\n", "old\n"}},
        {{"\rfirst"}, {"first", "<empty>"}},
        {{""}, {"<empty>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prints.back());
        ConClear(3);
        for (const std::string& text : c.prints)
            ConPrint(3, "%s", text.c_str());
        for (size_t i = 0; i < c.newestFirst.size(); ++i)
            EXPECT_EQ(Line(3, static_cast<int>(i)), c.newestFirst[i]) << "line " << i;
    }
}

TEST_F(ConsoleTest, ProgressBarReplacesTheNewestLine)
{
    ConPrint(1, "Loading\n");
    ConPrintProgressBar(1, 4, 1);
    ConPrintProgressBar(1, 4, 3);
    EXPECT_EQ(Line(1, 0), "\x0E\x04\x80\x81\x81\x81\x85\x82\n");
    EXPECT_EQ(Line(1, 1), "<empty>");
}

TEST_F(ConsoleTest, MessageLinesCarryTheirTickStamps)
{
    const u32_t before = GetTickCount();
    ConPrint(CON_MESSAGE_CONSOLE, "first\n");
    const u32_t stamp = ConMessageStamps()[9];
    EXPECT_LE(stamp - before, GetTickCount() - before);
    ConPrint(CON_MESSAGE_CONSOLE, "second\n");
    EXPECT_EQ(ConMessageStamps()[8], stamp);
    EXPECT_NE(ConMessageStamps()[9], 0u);
    EXPECT_EQ(ConMessageStamps()[7], 0u);
}

TEST_F(ConsoleTest, PrintingBeforeStartupOrAfterShutdownKeepsNothing)
{
    ConShutdown();
    ConPrint(0, "lost\n");
    EXPECT_EQ(ConLines(0), nullptr);
    ConStartup();
    EXPECT_EQ(Line(0, 0), "<empty>");
}

TEST_F(ConsoleTest, ExecLinesSetVariables)
{
    struct Case {
        const char* line;
        ConsoleVar* cvar;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"tbconflag", &tbconflag, "false", "true"},  // only the name: a boolean flips
        {"tbconflag", &tbconflag, "true", "false"},
        {"tbconflag = 1", &tbconflag, "false", "true"},
        {"tbconflag true", &tbconflag, "false", "true"},
        {"tbconflag=0\r\n", &tbconflag, "true", "false"},
        {" tbconflag = 1", &tbconflag, "false", "false"},  // a leading blank: no name, nothing happens
        {"tbconflag == 1", &tbconflag, "true", "false"},   // one '=' is skipped; "= 1" reads as 0
        {"TBCONFLAG = 1", &tbconflag, "false", "false"},   // names are exact
        {"ticonnumber\t=\t-17\n", &ticonnumber, "0", "-17"},
        {"tsconname = map_02\r\n", &tsconname, "x", "map_02"},
        {"tsconname = \"two words\"\r\n", &tsconname, "x", "two words"},
        {"tsconname=  spaced out  \n", &tsconname, "x", "spaced out  "},
        {"tsconname = \r\n", &tsconname, "x", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        c.cvar->SetFromText(c.before);
        ConExec(c.line, true);
        EXPECT_STREQ(c.cvar->ValueToText(), c.after);
    }
}

TEST_F(ConsoleTest, ExecEchoesAndReportsUnknownNamesOnTheShownPage)
{
    ConSetCurrent(2);
    ConExec("nosuchname = 3", false);
    EXPECT_EQ(Line(2, 2), "nosuchname = 3\n");
    EXPECT_EQ(Line(2, 1), "\n");
    EXPECT_EQ(Line(2, 0), "Error: No such variable\n");

    ConExec("nosuchname = 3", true);
    EXPECT_EQ(Line(2, 2), "nosuchname = 3\n");  // nothing more printed
    EXPECT_EQ(Line(2, 0), "Error: No such variable\n");

    // With no page shown, output goes to console 0.
    ConSetCurrent(-1);
    ConExec("tbconflag", false);
    EXPECT_EQ(Line(0, 0), "tbconflag\n");
}

TEST_F(ConsoleTest, TypingCompletesAndRunsTheCommandLine)
{
    const bool consolesBefore = gbconsoles.Bool();
    ConSetCurrent(0);
    Type("gbcon\t");
    EXPECT_STREQ(ConCommandLine(), "gbconsoles ");
    Type("tru");
    Type("x\b");  // Backspace drops the last character
    Type("e\r");
    EXPECT_TRUE(gbconsoles.Bool());
    EXPECT_EQ(ConCommandLength(), 0);
    EXPECT_EQ(Line(0, 0), "gbconsoles true\n");
    gbconsoles.SetBool(consolesBefore);
}

TEST_F(ConsoleTest, TabCompletion)
{
    struct Case {
        const char* typed;
        const char* commandLine;
        std::vector<std::string> newestFirst;
    };
    const Case cases[] = {
        {"tsconn", "tsconname ", {"<empty>"}},
        {"zzznothing", "zzznothing", {"No such command/variable\n"}},
        // Matches are listed from the list head: the variable registered last comes first.
        {"tfconmatch", "tfconmatch", {"tfconmatch_a 1.5\n", "tfconmatch_b 2.5\n", "\n"}},
    };
    ConSetCurrent(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ConClear(1);
        Type(c.typed);
        Type("\t");
        EXPECT_STREQ(ConCommandLine(), c.commandLine);
        for (size_t i = 0; i < c.newestFirst.size(); ++i)
            EXPECT_EQ(Line(1, static_cast<int>(i)), c.newestFirst[i]) << "line " << i;
        while (ConCommandLength() > 0)
            ConKeyInput('\b');
    }
}

TEST_F(ConsoleTest, CommandLineHoldsAtMost256Characters)
{
    ConSetCurrent(4);
    Type(std::string(256, 'a'));
    EXPECT_EQ(ConCommandLength(), 256);
    Type("b");
    EXPECT_EQ(ConCommandLength(), 256);
    EXPECT_EQ(Line(4, 0), "Command line is limited to 256 characters.\n");
    // Characters outside 32..127 are ignored.
    ConKeyInput('\b');
    ConKeyInput(0x01);
    ConKeyInput(0xE9);
    EXPECT_EQ(ConCommandLength(), 255);
    Type("\r");
}

TEST_F(ConsoleTest, KeysActOnlyWhileAPageIsShown)
{
    ConSetCurrent(-1);
    Type("abc");
    EXPECT_EQ(ConCommandLength(), 0);

    ConSetCurrent(4);
    ConPageKey(VK_PRIOR);
    EXPECT_EQ(ConScrollOffset(), 0);

    ConSetCurrent(3);
    for (int i = 0; i < 12; ++i)
        ConPageKey(VK_PRIOR);
    EXPECT_EQ(ConScrollOffset(), 10);
    ConPageKey(VK_NEXT);
    EXPECT_EQ(ConScrollOffset(), 9);
    ConExec("tbconflag", true);
    EXPECT_EQ(ConScrollOffset(), 0);
    ConPageKey(VK_NEXT);
    EXPECT_EQ(ConScrollOffset(), 0);

    ConTogglePage(3);
    EXPECT_EQ(ConCurrentPage(), -1);
    ConTogglePage(2);
    EXPECT_EQ(ConCurrentPage(), 2);
}

TEST_F(ConsoleTest, ScriptsRunFromDiskThenTheArchives)
{
    struct Saved {
        ConsoleVar& cvar;
        std::string text;
    };
    Saved saved[] = {{riwidth, riwidth.ValueToText()},
                     {riheight, riheight.ValueToText()},
                     {rbwindowed, rbwindowed.ValueToText()},
                     {tsconname, tsconname.String()}};

    const std::string windowsScript =
        "riwidth = 1024\r\nriheight = 768\r\nrbwindowed = true\r\ntsconname = from_disk\r\n";
    const std::string archiveScript = "riwidth = 640\nriheight = 480\nrbwindowed = false\ntsconname = from_archive\n";
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"config.def", archiveScript}, {"other.cfg", "riwidth = 320\n"}}));
    ASSERT_TRUE(VFSInit());
    ASSERT_TRUE(WriteFileBytes("config.def", windowsScript));

    EXPECT_EQ(ConExecFile("config.def"), 0);
    EXPECT_EQ(riwidth.Int(), 1024);
    EXPECT_EQ(riheight.Int(), 768);
    EXPECT_TRUE(rbwindowed.Bool());
    EXPECT_STREQ(tsconname.String(), "from_disk");

    ASSERT_TRUE(PlatformRemoveFile("config.def"));
    EXPECT_EQ(ConExecFile("config.def"), 0);
    EXPECT_EQ(riwidth.Int(), 640);
    EXPECT_EQ(riheight.Int(), 480);
    EXPECT_FALSE(rbwindowed.Bool());
    EXPECT_STREQ(tsconname.String(), "from_archive");

    EXPECT_EQ(ConExecFile("missing.cfg"), -1);
    EXPECT_EQ(riwidth.Int(), 640);

    for (Saved& s : saved)
        s.cvar.SetFromText(s.text.c_str());
}

// A script line that names no console variable is left out, and the log says which (file and line);
// settings, blank lines and comments are not reported, and damaged bytes show as '?'.
TEST_F(ConsoleTest, ScriptLinesThatNameNoVariableAreLoggedWithTheirPlace)
{
    struct Saved {
        ConsoleVar& cvar;
        std::string text;
    } saved[] = {{riwidth, riwidth.ValueToText()}};
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"other.cfg", "riwidth = 320\n"}}));
    ASSERT_TRUE(VFSInit());
    ASSERT_TRUE(WriteFileBytes("junk.def",
                               "riwidth = 640\n\n# a note\nriwdth = 800\n\xfe\xff junk\n"
                               "// another note\nzzz\n"));
    const size_t log = engine_log::LogSize();
    EXPECT_EQ(ConExecFile("junk.def"), 0);
    EXPECT_EQ(riwidth.Int(), 640);
    const std::string written = engine_log::LogFrom(log);
    EXPECT_EQ(written,
              "junk.def:4: no console variable \"riwdth\": the line is left out\n"
              "junk.def:5: no console variable \"??\": the line is left out\n"
              "junk.def:7: no console variable \"zzz\": the line is left out\n");
    for (Saved& s : saved)
        s.cvar.SetFromText(s.text.c_str());
}

}  // namespace
