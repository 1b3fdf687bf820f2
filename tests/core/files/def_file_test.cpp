// Definition files: lines into entries, the cache by name, and damaged input.
#include "core/files/def_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/random.h"
#include "support/vfs_fixture.h"

namespace {

struct ExpectedEntry {
    std::string key;
    std::vector<std::string> values;
    int line;
};

std::vector<ExpectedEntry> Entries(const DefFile* file)
{
    std::vector<ExpectedEntry> entries;
    for (const DefEntry* entry = file->first; entry; entry = entry->next) {
        ExpectedEntry e{entry->key.Text(), {}, entry->line};
        for (int i = 0; i < entry->valueCount; ++i)
            e.values.push_back(entry->values[i].Text());
        EXPECT_EQ(entry->values == nullptr, entry->valueCount == 0);
        entries.push_back(e);
    }
    return entries;
}

void ExpectEntries(const DefFile* file, const std::vector<ExpectedEntry>& expected)
{
    ASSERT_NE(file, nullptr);
    const std::vector<ExpectedEntry> actual = Entries(file);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        EXPECT_EQ(actual[i].key, expected[i].key);
        EXPECT_EQ(actual[i].values, expected[i].values);
        EXPECT_EQ(actual[i].line, expected[i].line);
    }
}

class DefFileTest : public VfsTest {
protected:
    void TearDown() override
    {
        DefFileFreeAll();
        VfsTest::TearDown();
    }
};

TEST_F(DefFileTest, LinesGiveKeysAndValues)
{
    struct Case {
        std::string text;
        std::vector<ExpectedEntry> entries;
    };
    const Case cases[] = {
        {"mesh = \"object\\tree 01.aff\"\n", {{"mesh", {"object\\tree 01.aff"}, 1}}},
        {"pos 1.5 -2 3\r\n", {{"pos", {"1.5", "-2", "3"}, 1}}},
        {"team: 2\n", {{"team", {":", "2"}, 1}}},
        {"x = $12, \"a b, c: d\"\n", {{"x", {"$12", "a b, c: d"}, 1}}},
        {"k $ $7x a:b\n", {{"k", {"$", "$7", "x", "a", ":", "b"}, 1}}},
        // A ',' belongs to a plain value; one ',' after a value is skipped.
        {"v 1,2 1, 2 3 ,4\n", {{"v", {"1,2", "1,", "2", "3", "4"}, 1}}},
        // Only a '#' in the first column marks a comment; a line with no key is skipped but counted.
        {"# note\n  # not a note\n\nkey\n#x 1\n", {{"key", {}, 4}}},
        {"a-b c\n", {{"a", {"-b", "c"}, 1}}},
        {"__k9 = x\n-not a key\n", {{"__k9", {"x"}, 1}}},
        // Bytes of 128 and above are blanks.
        {"k\xE9v\xFFw\x80\n", {{"k", {"v", "w"}, 1}}},
        // A quote left open runs to the end of its line, line end excluded.
        {"k \"open value\r\nnext 1\n", {{"k", {"open value"}, 1}, {"next", {"1"}, 2}}},
        {"k \"\" \"", {{"k", {"", ""}, 1}}},
        // A zero byte ends what the line holds; the next line is read as usual.
        {std::string("k a\0b c\nz 1", 11), {{"k", {"a"}, 1}, {"z", {"1"}, 2}}},
        {"dup 1\nother\ndup 2\n", {{"dup", {"1"}, 1}, {"other", {}, 2}, {"dup", {"2"}, 3}}},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string name = "case" + std::to_string(index++) + ".def";
        ASSERT_TRUE(WriteFileBytes(name, c.text));
        ExpectEntries(DefFileLoad(name.c_str()), c.entries);
    }
}

TEST_F(DefFileTest, ValuesBeyond256AreDropped)
{
    std::string text = "many";
    for (int i = 0; i < 300; ++i)
        text += " " + std::to_string(i);
    ASSERT_TRUE(WriteFileBytes("many.def", text + "\nafter 1\n"));
    const DefFile* file = DefFileLoad("many.def");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->first->valueCount, DEF_MAX_VALUES);
    EXPECT_STREQ(file->first->Value(255), "255");
    EXPECT_STREQ(file->first->Value(256), "");
    ASSERT_NE(file->first->next, nullptr);
    EXPECT_EQ(file->first->next->line, 2);
}

TEST_F(DefFileTest, LongLinesAreReadInPiecesOf2047Characters)
{
    const std::string first = "a " + std::string(2045, 'x');  // 2047 characters: a whole piece
    ASSERT_TRUE(WriteFileBytes("long.def", first + "yy zz\nb\n" + std::string(5000, ' ') + "c 1\n"));
    ExpectEntries(DefFileLoad("long.def"),
                  {{"a", {std::string(2045, 'x')}, 1}, {"yy", {"zz"}, 2}, {"b", {}, 3}, {"c", {"1"}, 6}});
}

TEST_F(DefFileTest, KeysAreExactAndRepeatedKeysAreFoundInTurn)
{
    ASSERT_TRUE(WriteFileBytes("keys.def", "Mesh a\nmesh b\nx\nmesh c\n"));
    DefFile* file = DefFileLoad("keys.def");
    ASSERT_NE(file, nullptr);
    DefEntry* found = DefFileFindEntry(file->first, "mesh");
    ASSERT_NE(found, nullptr);
    EXPECT_STREQ(found->Value(0), "b");
    found = DefFileFindEntry(found->next, "mesh");
    ASSERT_NE(found, nullptr);
    EXPECT_STREQ(found->Value(0), "c");
    EXPECT_EQ(DefFileFindEntry(found->next, "mesh"), nullptr);
    EXPECT_EQ(DefFileFindEntry(file->first, "MESH"), nullptr);
    EXPECT_EQ(DefFileFindEntry(file->first, "Mesh"), file->first);
}

TEST_F(DefFileTest, CacheByNameWithoutRegardToCase)
{
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"object\\crate.def", "mass 12\n"}}));
    ASSERT_TRUE(VFSInit());
    ASSERT_TRUE(WriteFileBytes("object/barrel.def", "mass 40\n"));

    DefFile* barrel = DefFileLoad("object\\barrel.def");
    DefFile* crate = DefFileLoad("object\\crate.def");
    ASSERT_NE(barrel, nullptr);
    ASSERT_NE(crate, nullptr);
    EXPECT_STREQ(crate->first->Value(0), "12");
    EXPECT_TRUE(barrel->registered);
    EXPECT_EQ(DefFileCacheCount(), 2);

    // Changes on disk are not seen while the file is cached; another spelling gives the same file.
    ASSERT_TRUE(WriteFileBytes("object/barrel.def", "mass 99\n"));
    EXPECT_EQ(DefFileLoad("OBJECT\\Barrel.DEF"), barrel);
    EXPECT_STREQ(barrel->first->Value(0), "40");
    DefFileRelease(barrel);  // a cached file stays
    EXPECT_EQ(DefFileLoad("object\\barrel.def"), barrel);

    EXPECT_EQ(DefFileLoad("object\\missing.def"), nullptr);
    EXPECT_EQ(DefFileCacheCount(), 2);

    DefFileFreeAll();
    EXPECT_EQ(DefFileCacheCount(), 0);
    barrel = DefFileLoad("object\\barrel.def");
    ASSERT_NE(barrel, nullptr);
    EXPECT_STREQ(barrel->first->Value(0), "99");
}

TEST_F(DefFileTest, AFullCacheHandsOutFilesThatReleaseFrees)
{
    for (int i = 0; i <= DEF_FILE_CACHE_SIZE; ++i)
        ASSERT_TRUE(WriteFileBytes("f" + std::to_string(i) + ".def", "k " + std::to_string(i) + "\n"));
    for (int i = 0; i < DEF_FILE_CACHE_SIZE; ++i)
        ASSERT_NE(DefFileLoad(("f" + std::to_string(i) + ".def").c_str()), nullptr);
    ASSERT_EQ(DefFileCacheCount(), DEF_FILE_CACHE_SIZE);

    const std::string lastName = "f" + std::to_string(DEF_FILE_CACHE_SIZE) + ".def";
    DefFile* extra = DefFileLoad(lastName.c_str());
    ASSERT_NE(extra, nullptr);
    EXPECT_FALSE(extra->registered);
    EXPECT_EQ(extra->first->Value(0), std::to_string(DEF_FILE_CACHE_SIZE));
    EXPECT_EQ(DefFileCacheCount(), DEF_FILE_CACHE_SIZE);
    DefFileRelease(extra);  // freed here: the sanitizer build reports a leak otherwise
}

// Damaged files never make the parser read outside its input.
class DefFileRobustness : public DefFileTest {};

TEST_F(DefFileRobustness, DamagedFilesParseWithinTheirBytes)
{
    std::vector<std::string> inputs = {"",
                                       "\"",
                                       "k \"",
                                       "k \"unclosed",
                                       "#",
                                       "k $",
                                       "k :",
                                       "k ,",
                                       "k=",
                                       std::string(1, '\0'),
                                       std::string(5000, '"'),
                                       "k " + std::string(4095, 'v'),
                                       std::string(3000, '\xFF')};
    const std::string good = "mesh = \"a b\"\npos 1 2 3\nteam: 2\nx = $12, \"q\"\n";
    for (size_t cut = 0; cut < good.size(); ++cut)
        inputs.push_back(good.substr(0, cut));
    EngineSRand(7);
    for (int i = 0; i < 200; ++i) {
        std::string junk(static_cast<size_t>(EngineRand() % 3000), '\0');
        for (char& c : junk)
            c = static_cast<char>(EngineRand() & 0xFF);
        inputs.push_back(junk);
    }
    auto check = [](const DefFile* file) {
        ASSERT_NE(file, nullptr);
        for (const DefEntry* entry = file->first; entry; entry = entry->next) {
            EXPECT_FALSE(entry->key.IsEmpty());
            EXPECT_LE(entry->valueCount, DEF_MAX_VALUES);
            EXPECT_GE(entry->line, 1);
        }
    };
    for (const std::string& input : inputs) {
        // Exactly the input's bytes, in a block of their own, so that a read past them shows.
        std::vector<char> exact(input.begin(), input.end());
        DefFile* file = DefFileParse("junk", exact.data(), static_cast<u32_t>(exact.size()));
        check(file);
        DefFileRelease(file);

        ASSERT_TRUE(WriteFileBytes("junk.def", input));
        check(DefFileLoad("junk.def"));
        DefFileFreeAll();
    }
}

}  // namespace
