// Markup texts read through the file system: sections and the formatting tags, the typed
// attributes, texts that follow variables and includes, cycles of includes, and the bounds of the
// registries, sections, open tags and the cache.
#include <gtest/gtest.h>

#include <string>

#include "core/console/console_var.h"
#include "gui/texts/def_script.h"
#include "gui/texts/def_script_codes.h"
#include "support/vfs_fixture.h"

namespace {

ConsoleVar g_greeting("w64_markup_greeting", CVAR_STRING, "hello");
ConsoleVar g_includedFile("w64_markup_file", CVAR_STRING, "first");

class Markup : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        DefScriptsInit();
    }
    void TearDown() override
    {
        DefScriptsFree();
        g_greeting.SetString("hello");
        g_includedFile.SetString("first");
        VfsTest::TearDown();
    }
    // The text of the key in a file of that content, or "(null)".
    static std::string Text(const std::string& file, const char* key)
    {
        const char* text = DefScriptGetText(file.c_str(), key);
        return text ? text : "(null)";
    }
    std::string Parsed(const std::string& content, const char* key)
    {
        static int files = 0;
        const std::string name = "script/t" + std::to_string(++files) + ".frm";
        WriteFileBytes(name, content);
        return Text(name, key);
    }
};

std::string Colour(u32_t colour)
{
    std::string code;
    DefAppendColourCode(&code, colour);
    return code;
}

TEST_F(Markup, SectionsTagsAndAttributesGiveTheirTexts)
{
    const std::string br = "\\n";
    struct Case {
        const char* what;
        const char* content;
        const char* key;
        std::string expected;
    };
    const Case cases[] = {
        {"blanks kept as one", "<a><b>Hello   world</b></a>", "a.b", "Hello world"},
        {"keys without regard to case", "<a><b>x</b></a>", "A.B", "x"},
        {"line ends, tabs and a trailing blank dropped", "<a>one\n\ttwo  </a>", "a", "onetwo"},
        {"comments before a text", "# note\n// note\n<a>x</a>", "a", "x"},
        {"a break", "<a>one<br>two</a>", "a", "one" + br + "two"},
        {"a tab without offset", "<a>x<tab>y</a>", "a", "x    y"},
        {"a tab with offset 2", "<a>x<tab offset=2>y</a>", "a", "x  y"},
        {"a hexadecimal offset", "<a>x<tab offset = 0x3>y</a>", "a", "x   y"},
        {"an attribute given twice keeps the first", "<a>x<tab offset=1 offset=3>y</a>", "a", "x y"},
        {"colours nested and closed", "<a><font color=FFFF0000>r<font color=FF00FF00>g</font>r</font>w</a>", "a",
         Colour(0xFFFF0000u) + "r" + Colour(0xFF00FF00u) + "g" + Colour(0xFFFF0000u) + "r" + Colour(0xFFFFFFFFu) + "w"},
        {"the empty key is the root", "top<a>x</a>", "", "top"},
        {"a missing key", "<a>x</a>", "a.b", "(null)"},
        {"a mismatched closing tag", "<a><b>x</a></b>", "a", "(null)"},
        {"a closing tag at the root", "<a>x</a></a>", "a", "(null)"},
        {"a font closed by its section", "<a><font color=FF>x</a>", "a", "(null)"},
        {"a font closing tag of another kind", "<a><font color=FF>x</tab></a>", "a", "(null)"},
        {"an unknown attribute", "<a><tab width=3></a>", "a", "(null)"},
        {"an attribute without =", "<a><tab offset 3></a>", "a", "(null)"},
        {"a required attribute missing", "<a><font>x</font></a>", "a", "(null)"},
        {"a string value without quotes", "<a><var name=x></a>", "a", "(null)"},
        {"a colour that begins with no digit", "<a><font color=xFF>x</font></a>", "a", "(null)"},
        {"an unclosed tag", "<a><tab offset=3", "a", "(null)"},
        {"an unknown variable adds nothing", "<a>x<var name=\"w64_no_such_var\">y</a>", "a", "xy"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Parsed(c.content, c.key), c.expected) << c.what;
}

TEST_F(Markup, AVariableTextIsReadAgainOnEveryLookupAndAStaticOneIsNot)
{
    WriteFileBytes("script/live.frm", "<a>now <var name=\"w64_markup_greeting\"></a>");
    WriteFileBytes("script/still.frm", "<a>old</a>");
    const std::string first = Text("script/live.frm", "a");
    ASSERT_EQ(first.substr(0, 5), "now\\v");
    // The code names the variable, whose value is shown when the text is drawn.
    const DefInlineCode code = DefReadInlineCode(first.c_str() + 3);
    ASSERT_EQ(code.kind, DEF_CODE_VARIABLE);
    EXPECT_EQ(DefConsoleVarAt(code.value), &g_greeting);
    EXPECT_EQ(code.length, first.size() - 3);

    EXPECT_EQ(Text("script/still.frm", "a"), "old");
    WriteFileBytes("script/live.frm", "<a>later</a>");
    WriteFileBytes("script/still.frm", "<a>new</a>");
    EXPECT_EQ(Text("script/live.frm", "a"), "later");
    EXPECT_EQ(Text("script/still.frm", "a"), "old");
}

TEST_F(Markup, AnIncludeThroughAVariableFollowsIt)
{
    WriteFileBytes("locale/eng/first.asc", "<k>one</k>");
    WriteFileBytes("locale/eng/second.asc", "<k>two</k>");
    WriteFileBytes("locale/eng/plain.asc", "<k><font color=FF00FF00>green</font></k>");
    WriteFileBytes("script/inc.frm", "<a>[<inc source=\"$w64_markup_file.k\">]<inc source=\"plain.k\"></a>");
    EXPECT_EQ(Text("script/inc.frm", "a"), "[one]" + Colour(0xFF00FF00u) + "green" + Colour(0xFFFFFFFFu));
    g_includedFile.SetString("second");
    EXPECT_EQ(Text("script/inc.frm", "a"), "[two]" + Colour(0xFF00FF00u) + "green" + Colour(0xFFFFFFFFu));
    g_includedFile.SetString("missing");
    EXPECT_EQ(Text("script/inc.frm", "a"), "[]" + Colour(0xFF00FF00u) + "green" + Colour(0xFFFFFFFFu));
}

TEST_F(Markup, IncludeCyclesEndAndAddNothing)
{
    // a includes b, which includes a again; c includes itself; a chain deeper than 16 stops.
    WriteFileBytes("locale/eng/a.asc", "<k>a<inc source=\"b.k\"></k>");
    WriteFileBytes("locale/eng/b.asc", "<k>b<inc source=\"a.k\"></k>");
    WriteFileBytes("locale/eng/c.asc", "<k>c<inc source=\"c.k\"></k>");
    for (int i = 0; i < 40; ++i)
        WriteFileBytes("locale/eng/d" + std::to_string(i) + ".asc",
                       "<k>" + std::to_string(i % 10) + "<inc source=\"d" + std::to_string(i + 1) + ".k\"></k>");
    EXPECT_EQ(Text("locale\\eng\\a.asc", "k"), "ab");
    EXPECT_EQ(Text("locale\\eng\\b.asc", "k"), "b") << "a is cached, whole, with b inside";
    EXPECT_EQ(Text("locale\\eng\\c.asc", "k"), "c");
    EXPECT_EQ(Text("locale\\eng\\d0.asc", "k"), "0123456789012345");
}

TEST_F(Markup, RegistriesSectionsOpenTagsAndTheCacheHoldTheirBounds)
{
    class Nothing : public DefTagKind {
    public:
        Nothing() : DefTagKind("nothing", false) {}
        void Open(DefTag&) const override {}
    };
    class Number : public DefValueType {
    public:
        Number() : DefValueType("number") {}
        DefValue* Read(DefReader&) const override { return nullptr; }
    };
    EXPECT_EQ(DefTagKindCount(), 5u);
    EXPECT_EQ(DefValueTypeCount(), 3u);
    while (DefTagKindCount() < DEF_REGISTRY_SIZE)
        ASSERT_TRUE(DefRegisterTagKind(new Nothing()));
    EXPECT_FALSE(DefRegisterTagKind(new Nothing()));
    while (DefValueTypeCount() < DEF_REGISTRY_SIZE)
        ASSERT_TRUE(DefRegisterValueType(new Number()));
    EXPECT_FALSE(DefRegisterValueType(new Number()));
    EXPECT_EQ(DefTagKindCount(), DEF_REGISTRY_SIZE);

    // The 101st section is read but not kept; 120 open colours keep the first 100 and still close.
    std::string sections = "<all>";
    for (int i = 0; i < 101; ++i)
        sections += "<s" + std::to_string(i) + ">" + std::to_string(i) + "</s" + std::to_string(i) + ">";
    sections += "</all><after>z</after>";
    EXPECT_EQ(Parsed(sections, "all.s99"), "99");
    EXPECT_EQ(Parsed(sections, "all.s100"), "(null)");
    EXPECT_EQ(Parsed(sections, "after"), "z");
    std::string colours = "<a>";
    for (int i = 0; i < 120; ++i)
        colours += "<font color=FF000001>";
    colours += "x";
    for (int i = 0; i < 120; ++i)
        colours += "</font>";
    colours += "</a>";
    const std::string text = Parsed(colours, "a");
    EXPECT_EQ(text.size(), 100 * 10 + 1 + 100 * 10);

    for (int i = 0; i < 101; ++i)
        Parsed("<k>" + std::to_string(i) + "</k>", "k");
    EXPECT_EQ(DefCacheCount(), DEF_CACHE_SIZE);
    EXPECT_EQ(Parsed("<k>past the cache</k>", "k"), "past the cache");
}

TEST_F(Markup, NothingIsReadWithoutTheRegistriesOrAFile)
{
    EXPECT_EQ(DefScriptGetText("script/none.frm", "a"), nullptr);
    WriteFileBytes("script/here.frm", "<a>x</a>");
    DefScriptsFree();
    EXPECT_EQ(DefScriptGetText("script/here.frm", "a"), nullptr);
    DefScriptsInit();
    u32_t length = 0;
    ASSERT_NE(DefScriptGetText("script/here.frm", "a", &length), nullptr);
    EXPECT_EQ(length, 1u);
}

}  // namespace
