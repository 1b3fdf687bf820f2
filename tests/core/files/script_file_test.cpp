// Sectioned script files: the tree a text gives, section paths, the cache, and damaged input.
#include "core/files/script_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/random.h"
#include "support/vfs_fixture.h"
#include "support/run_program.h"

namespace {

// The example tree: a holds the command x 1 2 and the child b with y; the root holds z.
const char* const kExample =
    "<a>\r\n"
    "  x 1 2;\r\n"
    "  <b>\r\n"
    "    y;\r\n"
    "  </b>\r\n"
    "</a>\r\n"
    "z;\r\n";

std::vector<std::string> Words(const ScriptCommand& command)
{
    std::vector<std::string> words;
    for (int i = 0; i < command.WordCount(); ++i)
        words.push_back(command.Word(i));
    return words;
}

// Each command of a section as its words, each followed by '|', and a ';'.
std::string Commands(const ScriptSection* section)
{
    std::string text;
    for (const ScriptCommand& command : section->commands) {
        for (const std::string& word : Words(command))
            text += word + "|";
        text += ";";
    }
    return text;
}

// The commands, then each child as "<name>".
std::string Describe(const ScriptSection* section)
{
    std::string text = Commands(section);
    for (const ScriptSection* child : section->children)
        text += std::string("<") + child->Name() + ">";
    return text;
}

// The commands, then each child's tree as <name>{...}.
std::string DescribeTree(const ScriptSection* section)
{
    std::string text = Commands(section);
    for (const ScriptSection* child : section->children)
        text += std::string("<") + child->Name() + ">{" + DescribeTree(child) + "}";
    return text;
}

// Describe of every section, depth first, without recursion (damaged input nests deeply).
std::string DescribeAll(const ScriptSection* root)
{
    std::string text;
    std::vector<const ScriptSection*> pending{root};
    while (!pending.empty()) {
        const ScriptSection* section = pending.back();
        pending.pop_back();
        text += std::string("[") + section->Name() + "]" + Describe(section);
        for (auto child = section->children.rbegin(); child != section->children.rend(); ++child)
            pending.push_back(*child);
    }
    return text;
}

std::unique_ptr<ScriptFile> Parsed(const std::string& text)
{
    auto file = std::make_unique<ScriptFile>("test");
    file->Parse(text.data(), text.size());
    return file;
}

TEST(ScriptFileTest, ExampleTreeAndPaths)
{
    ScriptFile file("script\\example.scr");
    file.Parse(kExample, std::strlen(kExample));
    ScriptSection* root = file.Root();
    EXPECT_STREQ(root->Name(), "GLOBAL");
    EXPECT_EQ(root->parent, nullptr);
    EXPECT_EQ(Describe(root), "z|;<a>");
    ScriptSection* a = root->FindChild("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->parent, root);
    EXPECT_EQ(Describe(a), "x|1|2|;<b>");
    ScriptSection* b = a->FindChild("B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Describe(b), "y|;");
    ASSERT_NE(a->FindCommand("X"), nullptr);
    EXPECT_EQ(Words(*a->FindCommand("X")), (std::vector<std::string>{"x", "1", "2"}));
    EXPECT_EQ(a->FindCommand("y"), nullptr);

    struct Case {
        const char* path;
        const ScriptSection* section;
        bool warns;
    };
    const Case cases[] = {
        {"a", a, false},
        {"a.b", b, false},
        {"A.B", b, false},
        {"GLOBAL.a", a, false},
        {"a.global.a.b", b, false},
        {"a.c", a, false},    // a missing later step gives the deepest section found
        {"a.c.b", b, false},  // and the walk goes on from there
        {"c", root, true},
        {"GLOBAL", root, true},
        {"", root, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const int warningsBefore = file.WarningCount();
        EXPECT_EQ(file.FindSection(c.path), c.section);
        EXPECT_EQ(file.WarningCount() - warningsBefore, c.warns ? 1 : 0);
    }
}

TEST(ScriptFileTest, WordsAreSharedWithoutRegardToCase)
{
    const auto file = Parsed("Font Arial; FONT arial; <global> font x; </Global>");
    const ScriptSection* root = file->Root();
    ASSERT_EQ(root->commands.size(), 2u);
    EXPECT_EQ(root->commands[0].words[0], root->commands[1].words[0]);
    EXPECT_STREQ(root->commands[1].Keyword(), "Font");
    EXPECT_STREQ(root->commands[1].Word(1), "Arial");
    // "global" is the root's word, spelled as the table has it.
    ASSERT_EQ(root->children.size(), 1u);
    EXPECT_STREQ(root->children[0]->Name(), "GLOBAL");
    EXPECT_EQ(file->WordCount(), 4);  // GLOBAL, Font, Arial, x
}

TEST(ScriptFileTest, Syntax)
{
    struct Case {
        const char* text;
        const char* tree;
        int warnings;
    };
    const Case cases[] = {
        // A command may span lines; it is kept whole, with a warning.
        {"cmd 1\r\n2\r\n3;\r\n", "cmd|1|2|3|;", 1},
        {"a 1;\r\nb 2", "a|1|;", 0},  // the last command lacks its ';' and is lost
        {"a ;", "a||;", 0},           // a blank before ';' adds an empty word
        {";;", "|;|;", 0},
        {"// note; <x>\r\na; // b;\r\nc;", "a|;c|;", 0},
        {"a//note\nb;", "a|b|;", 1},                   // a comment ends the word and runs to the line end
        {"a/b c;", "a|c|;", 1},                        // a single '/' drops itself and the next character
        {"a b <s> c;", "<s>{a|b|c|;}", 1},             // a command open at a tag goes on inside the section
        {"</x> a; <s>b;</> c;", "a|;c|;<s>{b|;}", 0},  // a closing tag at the root stays at the root
        {"<s>a;<t>b;</t>c;</s>d;", "d|;<s>{a|;c|;<t>{b|;}}", 0},
        {"<s t>", "<s t>{}", 1},
        {"<\xFFs\r\n>", "<\xFFs\r\n>{}", 3},
        {"\ttab\tsep;", "tab|sep|;", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto file = Parsed(c.text);
        EXPECT_EQ(DescribeTree(file->Root()), c.tree);
        EXPECT_EQ(file->WarningCount(), c.warnings);
    }
}

TEST(ScriptFileTest, LongWordsAreCutAt127Characters)
{
    const std::string longWord(300, 'w');
    const auto file = Parsed(longWord + " <" + std::string(200, 's') + ">" + longWord + ";");
    ASSERT_EQ(file->Root()->children.size(), 1u);
    const ScriptSection* section = file->Root()->children[0];
    EXPECT_EQ(std::string(section->Name()), std::string(127, 's'));
    ASSERT_EQ(section->commands.size(), 1u);
    EXPECT_EQ(std::string(section->commands[0].Keyword()), std::string(127, 'w'));
    EXPECT_EQ(section->commands[0].WordCount(), 2);
    EXPECT_EQ(file->FindSection(std::string(127, 's').c_str()), section);
    EXPECT_EQ(file->FindSection(std::string(200, 's').c_str()), file->Root());
}

class ScriptCacheTest : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        CreateScriptCache();
    }
    void TearDown() override
    {
        DestroyScriptCache();
        VfsTest::TearDown();
    }
};

TEST_F(ScriptCacheTest, FilesComeFromDiskOrTheArchivesAndStayCached)
{
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"script\\fonts.scr", "<big> size 20; </big>"},
                                              {"script\\guigame.scr", "<archive> x; </archive>"}}));
    ASSERT_TRUE(VFSInit());
    ASSERT_TRUE(WriteFileBytes("script/guigame.scr", kExample));

    ScriptFile* gui = GetScriptFile("guigame", false);
    ASSERT_NE(gui, nullptr);
    EXPECT_STREQ(gui->Name().Text(), "script\\guigame.scr");
    EXPECT_NE(gui->Root()->FindChild("a"), nullptr);
    ScriptFile* fonts = GetScriptFile("FONTS", false);
    ASSERT_NE(fonts, nullptr);
    EXPECT_STREQ(fonts->FindSection("big")->FindCommand("size")->Word(1), "20");
    EXPECT_EQ(ScriptCacheCount(), 2);

    ASSERT_TRUE(WriteFileBytes("script/guigame.scr", "<changed> x; </changed>"));
    EXPECT_EQ(GetScriptFile("GuiGame", false), gui);
    ScriptFile* reloaded = GetScriptFile("guigame", true);
    ASSERT_NE(reloaded, nullptr);
    EXPECT_NE(reloaded->Root()->FindChild("changed"), nullptr);
    EXPECT_EQ(ScriptCacheCount(), 2);
    EXPECT_EQ(GetScriptFile("guigame", false), reloaded);

    EXPECT_EQ(GetScriptFile("nothere", false), nullptr);
    EXPECT_EQ(ScriptCacheCount(), 2);
}

// The log opens "zintar.log" in the working folder before main; a child in a folder of its own
// writes a log that the test can read.
int LoadMissingScript()
{
    CreateScriptCache();
    const bool missing = GetScriptFile("menus\\nothere", false) == nullptr;
    DestroyScriptCache();
    return missing ? 0 : 1;
}

const bool g_missingScriptJob = RegisterChildJob("script-missing", LoadMissingScript);

TEST_F(ScriptCacheTest, AMissingScriptIsReportedInTheLog)
{
    const ProgramResult result = RunChildJob("script-missing", TempPath());
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0);
    const std::string log = ReadFileBytes(std::filesystem::path(TempPath()) / "zintar.log");
    EXPECT_NE(log.find("WARNING: Couldn't load script 'script\\menus\\nothere.scr'\n"), std::string::npos) << log;
}

class ScriptFileRobustness : public ScriptCacheTest {};

TEST_F(ScriptFileRobustness, DamagedFilesParseWithinTheirBytes)
{
    std::vector<std::string> inputs = {"",
                                       "<",
                                       "</",
                                       "<a",
                                       "</a",
                                       "/",
                                       "//",
                                       "// open comment",
                                       ";",
                                       "a",
                                       "<<<<",
                                       std::string(100000, '<'),
                                       std::string(3000, 'w'),
                                       "<" + std::string(3000, 'n')};
    const std::string good = kExample;
    for (size_t cut = 0; cut < good.size(); ++cut)
        inputs.push_back(good.substr(0, cut));
    EngineSRand(11);
    for (int i = 0; i < 200; ++i) {
        std::string junk(static_cast<size_t>(EngineRand() % 4000), '\0');
        for (char& c : junk)
            c = static_cast<char>(EngineRand() & 0xFF);
        inputs.push_back(junk);
    }
    for (const std::string& input : inputs) {
        // Exactly the input's bytes, in a block of their own, so that a read past them shows.
        std::vector<char> exact(input.begin(), input.end());
        ScriptFile file("junk");
        file.Parse(exact.data(), exact.size());
        file.FindSection("a.b.c");

        ASSERT_TRUE(WriteFileBytes("script/junk.scr", input));
        ScriptFile* loaded = GetScriptFile("junk", true);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(DescribeAll(loaded->Root()), DescribeAll(file.Root()));
    }
}

}  // namespace
